// ferrolume-convert as a user runs it: a separate process, files in, files out, the editor's
// messages on stderr.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <string>

namespace {

struct TRun {
  int exitCode = -1;
  std::string out, err;
};

TRun Convert(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(30000);
  TRun r;
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

TRun Convert(const QStringList& args) {
  return Convert(QStringLiteral(FERROLUME_BINARY_DIR "/src/ferrolume-convert"), args);
}

// A run with a file size limit of one kilobyte, as a disk that is full past the first kilobyte.
// The shell ignores the signal the limit would kill the converter with, and the converter
// inherits that, so its writes past the limit fail as they would on a full disk.
TRun ConvertOnFullDisk(const QStringList& args) {
  return Convert(QStringLiteral("/bin/sh"),
                 QStringList{"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"",
                             QStringLiteral(FERROLUME_BINARY_DIR "/src/ferrolume-convert")} +
                     args);
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
  EXPECT_NE(help.out.find(".pdf"), std::string::npos);
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
  Put(Path("kept.pdf"), "old artwork");
  QDir(Dir.path()).mkdir("folder.wt5");
  QDir(Dir.path()).mkdir("folder.pdf");
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
      // The artwork fails as the board files do.
      {Path("big.pcb"), Path("kept.pdf"), "'4294967296' n'est pas une valeur entière correcte."},
      {Data("example.pcb"), "/dev/null/out.PDF",
       "Impossible de créer le fichier \"/dev/null/out.PDF\". Not a directory."},
      {Data("example.pcb"), Path("folder.pdf"),
       "Impossible de créer le fichier \"" + Path("folder.pdf").toStdString() +
           "\". Is a directory."},
      {Data("example.pcb"), Path("out.pdf.txt"), "Invalid file extention."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output.toStdString());
    TRun r = Convert({c.input, c.output});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, c.message + "\n");
    EXPECT_FALSE(QFileInfo::exists(Path("out.txt")));
    EXPECT_FALSE(QFileInfo::exists(Path("out.pcb")));
    EXPECT_EQ(Bytes(Path("kept.pcb")), "old board");
    EXPECT_EQ(Bytes(Path("kept.pdf")), "old artwork");
    EXPECT_TRUE(QFileInfo(Path("folder.wt5")).isDir());
    EXPECT_TRUE(QFileInfo(Path("folder.pdf")).isDir());
  }
  // Only the temporary files of the failed saves could be left; there are none.
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"big.pcb", "kept.pcb", "kept.pdf"}));
}

TEST_F(ConvertTest, AFullDiskLeavesTheOutputWhole) {
  // A board whose every output is larger than the kilobyte the disk has room for.
  std::string board = "*Solder*\n";
  for (int i = 0; i < 100; ++i) board += std::to_string(i * 32) + ", 0, 16, 48, 0\n";
  Put(Path("board.pcb"), board);
  for (const char* name : {"kept.pcb", "kept.wt5", "kept.pdf"}) {
    SCOPED_TRACE(name);
    Put(Path(name), "old file");
    TRun r = ConvertOnFullDisk({Path("board.pcb"), Path(name)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Impossible de créer le fichier \"" + Path(name).toStdString() +
                         "\". File too large.\n");
    EXPECT_EQ(Bytes(Path(name)), "old file");
  }
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"board.pcb", "kept.pcb", "kept.pdf", "kept.wt5"}));
}

// The artwork as a printer prints it at 100 %: rasterised by poppler at 200 dots per inch
// without smoothing, the pads' copper measured in pixels.
TEST_F(ConvertTest, PdfOutputIsTheArtworkAtTrueSize) {
  // Two pads 640 board units (four inches) apart; the board is placed at (80, 80) on loading.
  Put(Path("two.pcb"), "*Solder*\n0, 0, 16, 48, 0\n640, 0, 16, 48, 1\n");
  // The extension is told apart in any case of its letters, as the board files' are.
  TRun r = Convert({Path("two.pcb"), Path("two.Pdf")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(Bytes(Path("two.Pdf")).rfind("%PDF-", 0) == 0);

  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  ASSERT_FALSE(pdftoppm.isEmpty()) << "pdftoppm is missing: install poppler-utils";
  ASSERT_EQ(Convert(pdftoppm, {"-r", "200", "-gray", "-aa", "no", "-aaVector", "no", "-singlefile",
                               Path("two.Pdf"), Path("two")})
                .exitCode,
            0);
  const QImage page = QImage(Path("two.pgm")).convertToFormat(QImage::Format_Grayscale8);
  // One A4 page: 210 x 297 mm.
  ASSERT_NEAR(page.width(), 210 / 25.4 * 200, 1);
  ASSERT_NEAR(page.height(), 297 / 25.4 * 200, 1);

  // The copper of each pad, left and right of the middle of the page.
  QRect pads[2];
  for (int y = 0; y < page.height(); ++y) {
    const uchar* row = page.constScanLine(y);
    for (int x = 0; x < page.width(); ++x)
      if (row[x] < 128) pads[x < page.width() / 2] |= QRect(x, y, 1, 1);
  }
  const QRect left = pads[1], right = pads[0];
  ASSERT_FALSE(left.isNull());
  ASSERT_FALSE(right.isNull());
  const QPointF a = QRectF(left).center(), b = QRectF(right).center();
  // Four inches apart on one line, each 0.3 inch across.
  EXPECT_NEAR(b.x() - a.x(), 4 * 200, 1);
  EXPECT_NEAR(b.y(), a.y(), 1);
  for (const QRect& pad : {left, right}) {
    EXPECT_NEAR(pad.width(), 0.3 * 200, 1);
    EXPECT_NEAR(pad.height(), 0.3 * 200, 1);
  }
  // A quarter inch of margin, then half an inch to the first pad's centre.
  EXPECT_NEAR(a.x(), 0.75 * 200, 1);
  EXPECT_NEAR(a.y(), 0.75 * 200, 1);
}

TEST_F(ConvertTest, AFileConvertsOntoItself) {
  Put(Path("same.pcb"), "*Solder*\n80, 80, 4, 16, 0\n");
  TRun r = Convert({Path("same.pcb"), Path("same.pcb")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Bytes(Path("same.pcb")), "*Solder*\r\n80, 80, 4, 16, 0\r\n\r\n*Wire*\r\n");
}

}  // namespace
