// ferrolume-convert as a user runs it: a separate process, files in, files out, the editor's
// messages on stderr.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "formats/BoardHelpers.h"

namespace {

struct TRun {
  int exitCode = -1;
  std::string out, err;
};

// With fullDisk, the converter runs under a file size limit of one kilobyte, as on a disk full
// past its first kilobyte: the shell ignores the signal the limit would kill it with, the
// converter inherits that, and its writes past the limit fail.
TRun Convert(const QStringList& args, bool fullDisk = false) {
  const QString exe = QStringLiteral(FERROLUME_BINARY_DIR "/src/ferrolume-convert");
  QProcess p;
  if (fullDisk) {
    p.start("/bin/sh",
            QStringList{"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"", exe} + args);
  } else {
    p.start(exe, args);
  }
  p.waitForFinished(30000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

class ConvertTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return Dir.filePath(name); }
  QTemporaryDir Dir;
};

TEST_F(ConvertTest, HelpAndUsage) {
  const TRun help = Convert({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: ferrolume-convert INPUT OUTPUT"), std::string::npos);
  EXPECT_NE(help.out.find(".pdf"), std::string::npos);
  const TRun wrong = Convert({DataFile("example.pcb")});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.err.find("usage:"), std::string::npos);
}

TEST_F(ConvertTest, TheExampleBoardsComeOutByteForByte) {
  WriteBytes(Path("offset.pcb"), "*Wire*\n-16, 0, 0, 16, 1\n*Solder*\n-16, 16, 4, 16, 1\n");
  const struct {
    QString input;
    const char* output;
    std::string expected;
  } cases[] = {{DataFile("example.pcb"), "a.pcb", ReadBytes(DataFile("example.pcb"))},
               {DataFile("example_wt5_board.pcb"), "b.wt5", ReadBytes(DataFile("example.wt5"))},
               // WinTypon's hundredths of a millimetre take the diameters down to 11 and 3.
               {DataFile("example.wt5"), "c.PCB",
                "*Solder*\r\n80, 80, 3, 11, 0\r\n\r\n*Wire*\r\n80, 80, 128, 80, 4\r\n"},
               // Placed at (80, 80) as the editor's Open places it, onto itself.
               {Path("offset.pcb"), "offset.pcb",
                "*Solder*\r\n80, 96, 4, 16, 1\r\n\r\n*Wire*\r\n80, 80, 96, 96, 2\r\n"}};
  for (const auto& c : cases) {
    const TRun r = Convert({c.input, Path(c.output)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadBytes(Path(c.output)), c.expected) << c.output;
  }
}

TEST_F(ConvertTest, ErrorsExitWithOneAndLeaveTheOutputAsItWas) {
  std::string board = "*Solder*\n";  // a board whose artwork is larger than a kilobyte
  for (int i = 0; i < 100; ++i) board += std::to_string(i * 32) + ", 0, 16, 48, 0\n";
  WriteBytes(Path("board.pcb"), board);
  WriteBytes(Path("big.pcb"), "*Wire*\r\n0, 0, 1, 1, 4294967296\r\n");
  WriteBytes(Path("kept.pcb"), "old board");
  WriteBytes(Path("kept.pdf"), "old artwork");
  QDir(Dir.path()).mkdir("folder.wt5");
  const auto cannot = [&](const QString& path, const char* why) {
    return "Impossible de créer le fichier \"" + path.toStdString() + "\". " + why + ".";
  };
  const struct {
    QString input, output;
    std::string message;
    bool fullDisk;
  } cases[] = {
      {DataFile("example.pcb"), Path("out.pdf.txt"), "Invalid file extention.", false},
      {Path("missing.wt5"), Path("kept.pcb"),
       "Impossible d'ouvrir le fichier \"" +
           QFileInfo(Path("missing.wt5")).absoluteFilePath().toStdString() +
           "\". No such file or directory.",
       false},
      {Path("big.pcb"), Path("kept.pdf"), "'4294967296' n'est pas une valeur entière correcte.",
       false},
      {DataFile("example.pcb"), "/dev/null/out.PDF", cannot("/dev/null/out.PDF", "Not a directory"),
       false},
      {DataFile("example.pcb"), Path("folder.wt5"), cannot(Path("folder.wt5"), "Is a directory"),
       false},
      {Path("board.pcb"), Path("kept.pdf"), cannot(Path("kept.pdf"), "File too large"), true}};
  for (const auto& c : cases) {
    const TRun r = Convert({c.input, c.output}, c.fullDisk);
    EXPECT_EQ(r.exitCode, 1) << c.message;
    EXPECT_EQ(r.err, c.message + "\n");
    EXPECT_EQ(ReadBytes(Path("kept.pcb")), "old board");
    EXPECT_EQ(ReadBytes(Path("kept.pdf")), "old artwork");
    EXPECT_TRUE(QFileInfo(Path("folder.wt5")).isDir());
  }
  // Nothing was created, not even a temporary file.
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"big.pcb", "board.pcb", "kept.pcb", "kept.pdf"}));
}

TEST_F(ConvertTest, PdfOutputIsTheArtworkAtTrueSize) {
  // Two pads four inches apart, 0.3 inch across; the board is placed at (80, 80) on loading.
  WriteBytes(Path("two.pcb"), "*Solder*\n0, 0, 16, 48, 0\n640, 0, 16, 48, 1\n");
  const TRun r = Convert({Path("two.pcb"), Path("two.Pdf")});  // the extension in any case
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err + r.out, "");
  const QImage page = RasterisePdf(Path("two.Pdf"), 200);
  ASSERT_FALSE(page.isNull()) << "no page: is pdftoppm (poppler-utils) there?";
  // A quarter inch of margin, then half an inch to the first pad's centre, the second four
  // inches to its right: white holes 20 pixels across in copper 60 pixels across.
  for (int x : {150, 950}) {
    EXPECT_EQ(qGray(page.pixel(x, 150)), 255) << x;
    for (int d : {12, 28}) EXPECT_EQ(qGray(page.pixel(x - d, 150)), 0) << x - d;
    EXPECT_EQ(qGray(page.pixel(x, 150 + 32)), 255) << x;
  }
}

}  // namespace
