#include "formats/BoardHelpers.h"

namespace {

TRun Convert(const QStringList& args, bool fullDisk = false) {
  return RunProgram(QStringLiteral(FERROLUME_BINARY_DIR "/src/ferrolume-convert"), args, fullDisk);
}

using ConvertTest = BoardTest;

TEST_F(ConvertTest, TheExampleBoardsComeOutByteForByte) {
  WriteBytes(Path("offset.pcb"), "*Wire*\n-16, 0, 0, 16, 1\n*Solder*\n-16, 16, 4, 16, 1\n");
  const std::string example = ReadBytes(DataFile("example.pcb"));
  WriteBytes(Path("smd.pcb"), ReadBytes(DataFile("example_wt5_board.pcb")) +
                                  "**\r\n@SMD 96, 96, 8, 4, 0\r\n@SMD 99, 96, 8, 4, 0\r\n"
                                  "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, 3, 80, 80, "
                                  "140, 80, 140, 120\r\n@SMD 102, 96, 8, 4, 0\r\n**\r\n");
  WriteBytes(Path("later.pcb"), example + "**\r\n@TEXT 1, 2, 3\r\n@SMD 1, 2\r\n**\r\n");
  WriteBytes(Path("text.pcb"), ReadBytes(DataFile("example_wt5_board.pcb")) +
                                   "**\r\n@SMD 96, 96, 8, 4, 0\r\n@TEXT 96, 112, 13, 2, 0, 1, "
                                   "+9V\r\n**\r\n");
  list.LoadFromFile(Path("text.pcb"));
  const std::tuple<QString, const char*, std::string, std::string> cases[] = {
      {Path("smd.pcb"), "smd.wt5", ReadBytes(DataFile("example.wt5")),
       "4 elements cannot be held by a .wt5 file and were left out\n"},
      {Path("text.pcb"), "text.wt5", WriteWinTyponText(list),
       "1 element cannot be held by a .wt5 file and was left out\n1 text will be kept in "
       "a .wt5 file only as its strokes, drawn as wires\n"},
      {Path("later.pcb"), "later.pcb", example,
       "2 records this version cannot read were passed over\n"},
      {DataFile("example.wt5"), "c.PCB",
       "*Solder*\r\n80, 80, 4, 12, 0\r\n\r\n*Wire*\r\n80, 80, 128, 80, 4\r\n", ""},
      {Path("offset.pcb"), "offset.pcb",
       "*Solder*\r\n80, 96, 4, 16, 1\r\n\r\n*Wire*\r\n80, 80, 96, 96, 2\r\n", ""}};
  for (const auto& [input, output, expected, err] : cases) {
    const TRun r = Convert({input, Path(output)});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, err);
    EXPECT_EQ(ReadBytes(Path(output)), expected) << output;
  }
}

TEST_F(ConvertTest, ErrorsExitWithOneOrTwoAndLeaveTheOutputAsItWas) {
  std::string board = "*Solder*\n";  // a board whose artwork is larger than a kilobyte
  for (int i = 0; i < 100; ++i) board += std::to_string(i * 32) + ", 0, 16, 48, 0\n";
  WriteBytes(Path("board.pcb"), board);
  WriteBytes(Path("kept.pcb"), "old board");
  WriteBytes(Path("kept.pdf"), "old artwork");
  QDir(dir.path()).mkdir("folder.wt5");
  const auto cannot = [&](const QString& path, const char* why) {
    return "Impossible de créer le fichier \"" + path.toStdString() + "\". " + why + ".";
  };
  const QString example = DataFile("example.pcb");
  const std::tuple<QString, QString, std::string, int> cases[] = {
      {Path("kept.pcb"), Path("kept.pdf"),  // refused as a bad input is
       "The file \"" + FullPath("kept.pcb") +
           "\" is not a board file: it has no *Solder* or *Wire* section.",
       2},
      {example, Path("out.pdf.txt"), "Invalid file extention.", 1},
      {example, "/dev/null/out.PDF", cannot("/dev/null/out.PDF", "Not a directory"), 1},
      {example, Path("folder.wt5"), cannot(Path("folder.wt5"), "Is a directory"), 1},
      {Path("board.pcb"), Path("kept.pdf"), cannot(Path("kept.pdf"), "File too large"), 1}};
  for (const auto& [input, output, message, exitCode] : cases) {
    const TRun r = Convert({input, output}, input == Path("board.pcb"));  // on a full disk
    EXPECT_EQ(r.exitCode, exitCode) << message;
    EXPECT_EQ(r.err, message + "\n");
    EXPECT_EQ(ReadBytes(Path("kept.pcb")), "old board");
    EXPECT_EQ(ReadBytes(Path("kept.pdf")), "old artwork");
    EXPECT_TRUE(QFileInfo(Path("folder.wt5")).isDir());
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"board.pcb", "kept.pcb", "kept.pdf"}));
}

TEST_F(ConvertTest, BadOptionsExitWithTwoAndWriteNothingAndHelpListsThem) {
  const QString in = DataFile("example.pcb");
  // IN is the board, a.* a file in the test's folder.
  const QString cases =
      "--copies 0x2 IN a.pdf;--copies 2*2 IN a.pdf;--scale-x 89.99 IN a.pdf;--scale-y abc IN a.svg;"
      "--scale-y 100.001 IN a.pdf;--frobnicate IN a.pdf;IN a.pdf --copies;--mirror IN a.pcb;"
      "--drill-marks IN a.zip;--calibration a.svg;--calibration --negative a.pdf;--calibration IN "
      "a.pdf;--passes 5 IN a.nc;--overlap 95 IN a.nc;--v-angle wide IN a.nc;--travel-height 9 IN "
      "a.nc;--feed 300 IN a.pdf;--no-mirror IN a.zip;--etch-compensation 0.25 IN a.pdf;"
      "--etch-compensation 0.1 IN a.nc";
  for (const QString& line : cases.split(';')) {
    QStringList args = line.split(' ');
    for (QString& a : args) a = a == "IN" ? in : a.startsWith("a.") ? Path(a.toUtf8()) : a;
    const TRun r = Convert(args);
    EXPECT_EQ(r.exitCode, 2) << line.toStdString();
    EXPECT_EQ(r.err.rfind("ferrolume-convert: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
  const TRun wrong = Convert({in});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.err.find("usage:"), std::string::npos);
  const TRun help = Convert({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: ferrolume-convert INPUT OUTPUT"), std::string::npos);
  for (const char* listed :
       {".pdf", ".svg", ".zip", "--mirror", "--negative", "--copies <RxC>", "--scale-x <PCT>",
        "--scale-y <PCT>", "--drill-marks", "--calibration"})
    EXPECT_NE(help.out.find(listed), std::string::npos) << listed;
}

TEST_F(ConvertTest, OptionsReachTheArtworkAndFabricationFilesNameWhatIsLeftOut) {
  WriteBytes(Path("two.pcb"), "*Solder*\n0, 0, 16, 48, 0\n640, 0, 16, 48, 1\n10, 10, 0, 0, 0\n");
  for (const bool mirror : {false, true}) {
    const QStringList options =
        mirror ? QStringList{"--mirror", "--scale-x", "100.00"} : QStringList{};
    const TRun r = Convert(options + QStringList{Path("two.pcb"), Path("two.Pdf")});  // any case
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err + r.out, "");
    const QImage page = RasterisePdf(Path("two.Pdf"), 200);
    ASSERT_FALSE(page.isNull()) << "no page: is pdftoppm (poppler-utils) there?";
    // Round and square pads at 150 and 950, holes 20 pixels in copper 60; the mirror swaps them.
    for (int x : {150, 950}) {
      EXPECT_EQ(qGray(page.pixel(x, 150)), 255) << x;
      for (int d : {12, 28}) EXPECT_EQ(qGray(page.pixel(x - d, 150)), 0) << x - d;
      EXPECT_EQ(qGray(page.pixel(x, 150 + 32)), 255) << x;
      EXPECT_EQ(qGray(page.pixel(x + 28, 150 + 28)), (x == 150) == mirror ? 0 : 255) << mirror;
    }
  }
  const std::string leftOut =
      "One element cannot be made and was left out of the files:\n90, 90, 0, 0, 0\n";
  for (const auto& [out, err, has] : {std::tuple{"two.zip", leftOut, "PK\x03\x04"},
                                      {"two.gbr", leftOut, "%TF.GenerationSoftware,Ferrolume"},
                                      {"two.drl", leftOut, "M48\n"},
                                      {"two.svg", std::string(), "<svg width=\"209.994500mm\""}}) {
    const TRun f = Convert({Path("two.pcb"), Path(out)});
    EXPECT_EQ(f.exitCode, 0) << out;
    EXPECT_EQ(f.err, err) << out;
    EXPECT_NE(ReadBytes(Path(out)).find(has), std::string::npos) << out;
  }
  // An .nc OUTPUT brings the drill and outline jobs beside it, the options in their header.
  ASSERT_EQ(
      Convert({"--bit-diameter", "0.4", "--passes", "2", Path("two.pcb"), Path("two.nc")}).exitCode,
      0);
  EXPECT_NE(ReadBytes(Path("two.nc"))
                .find("(isolation bit: flat, 0.4000 mm)\n(cut width 0.4000 mm, "
                      "cut depth 0.1000 mm, passes 2,"),
            std::string::npos);
  EXPECT_EQ(ReadBytes(Path("two-drill.nc")).rfind("(Ferrolume drilling for two)", 0), 0u);
  EXPECT_NE(ReadBytes(Path("two-outline.nc")).find("\nM30\n"), std::string::npos);
}

TEST_F(ConvertTest, CalibrationSquareIsAHundredMillimetres) {
  const TRun r = Convert({"--calibration", Path("cal.pdf")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err + r.out, "");
  constexpr int dpi = 300;
  const QImage page = RasterisePdf(Path("cal.pdf"), dpi);
  ASSERT_FALSE(page.isNull());
  const double pxPerMm = dpi / 25.4, corner = (6.35 + 10) * pxPerMm;
  const int middle = int(corner + 50 * pxPerMm);
  auto lineCentre = [&](double from, int step, bool across) {
    int k = int(from);
    while (!Black(page, across ? k : middle, across ? middle : k)) k += step;
    const auto run = RunAt(page, across ? k : middle, across ? middle : k, across, !across);
    return (run.first + run.second) / 2.0;
  };
  for (bool across : {true, false}) {
    const double side = (lineCentre(corner + 110 * pxPerMm, -1, across) -
                         lineCentre(corner - 10 * pxPerMm, 1, across)) /
                        pxPerMm;
    EXPECT_NEAR(side, 100, 1 / pxPerMm);
  }
}

}  // namespace
