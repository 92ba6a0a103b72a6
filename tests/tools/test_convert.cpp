// ferrolume-convert as a user runs it: a separate process, files in, files out, the editor's
// messages on stderr.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <string>

namespace {

struct TRun {
  int exitCode = -1;
  std::string out, err;
};

TRun Convert(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(FERROLUME_BINARY_DIR "/src/ferrolume-convert"), args);
  p.waitForFinished(30000);
  TRun r;
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

QString Data(const char* name) { return QStringLiteral(FERROLUME_TEST_DATA "/") + name; }

std::string Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}

void Put(const QString& path, const std::string& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class ConvertTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return Dir.filePath(name); }
  QTemporaryDir Dir;
};

TEST_F(ConvertTest, HelpAndUsage) {
  TRun help = Convert({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: ferrolume-convert INPUT OUTPUT"), std::string::npos);
  TRun wrong = Convert({Data("example.pcb")});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.err.find("usage:"), std::string::npos);
}

TEST_F(ConvertTest, TheExampleBoardsComeOutByteForByte) {
  struct Case {
    const char* input;
    const char* output;
    std::string expected;
  };
  const Case cases[] = {
      {"example.pcb", "a.pcb", Bytes(Data("example.pcb"))},
      {"example_wt5_board.pcb", "b.wt5", Bytes(Data("example.wt5"))},
      // WinTypon's hundredths of a millimetre take the diameters down to 11 and 3.
      {"example.wt5", "c.PCB",
       "*Solder*\r\n80, 80, 3, 11, 0\r\n\r\n*Wire*\r\n80, 80, 128, 80, 4\r\n"},
      // The board is placed with its top-left point at (80, 80) as the editor's Open places it.
      {"offset.pcb", "d.pcb",
       "*Solder*\r\n80, 96, 4, 16, 1\r\n\r\n*Wire*\r\n80, 80, 96, 96, 2\r\n"},
  };
  Put(Path("offset.pcb"), "*Wire*\n-16, 0, 0, 16, 1\n*Solder*\n-16, 16, 4, 16, 1\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    const QString in = QFileInfo::exists(Path(c.input)) ? Path(c.input) : Data(c.input);
    TRun r = Convert({in, Path(c.output)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Bytes(Path(c.output)), c.expected);
  }
}

TEST_F(ConvertTest, ErrorsLeaveTheOutputAsItWas) {
  Put(Path("big.pcb"), "*Wire*\r\n0, 0, 1, 1, 4294967296\r\n");
  Put(Path("kept.pcb"), "old board");
  QDir(Dir.path()).mkdir("folder.wt5");
  const std::string missing = QFileInfo(Path("missing.wt5")).absoluteFilePath().toStdString();
  struct Case {
    QString input, output;
    std::string message;
  };
  const Case cases[] = {
      {Data("example.pcb"), Path("out.txt"), "Invalid file extention."},
      {Path("board.bak"), Path("out.pcb"), "Invalid file extention."},
      {Path("missing.wt5"), Path("kept.pcb"),
       "Impossible d'ouvrir le fichier \"" + missing + "\". No such file or directory."},
      {Path("big.pcb"), Path("kept.pcb"), "'4294967296' n'est pas une valeur entière correcte."},
      {Data("example.pcb"), "/dev/null/out.pcb",
       "Impossible de créer le fichier \"/dev/null/out.pcb\". Not a directory."},
      {Data("example.pcb"), Path("folder.wt5"),
       "Impossible de créer le fichier \"" + Path("folder.wt5").toStdString() +
           "\". Is a directory."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output.toStdString());
    TRun r = Convert({c.input, c.output});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, c.message + "\n");
    EXPECT_FALSE(QFileInfo::exists(Path("out.txt")));
    EXPECT_FALSE(QFileInfo::exists(Path("out.pcb")));
    EXPECT_EQ(Bytes(Path("kept.pcb")), "old board");
    EXPECT_TRUE(QFileInfo(Path("folder.wt5")).isDir());
  }
  // Only the temporary files of the failed saves could be left; there are none.
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"big.pcb", "kept.pcb"}));
}

TEST_F(ConvertTest, AFileConvertsOntoItself) {
  Put(Path("same.pcb"), "*Solder*\n80, 80, 4, 16, 0\n");
  TRun r = Convert({Path("same.pcb"), Path("same.pcb")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Bytes(Path("same.pcb")), "*Solder*\r\n80, 80, 4, 16, 0\r\n\r\n*Wire*\r\n");
}

}  // namespace
