#include "formats/BoardHelpers.h"

namespace {

// Places as the editor opens the board, at (80, 80); islands as far apart as the bit cuts pass.
TEST(CheckTool, LinesSummaryAndExitCodes) {
  QTemporaryDir dir;
  auto board = [&](const char* name, const std::string& bytes) {
    WriteBytes(dir.filePath(name), bytes);
    return dir.filePath(name);
  };
  const std::string pads = "*Solder*\n0, 0, 4, 12, 0\n160, 0, 4, 12, 0\n";
  const QString clean = board("clean.pcb", pads + "*Wire*\n0, 0, 160, 0, 8\n");
  // The same wire one unit wide, left dangling; a pad one unit off the first one.
  const QString faults =
      board("faults.pcb", "*Solder*\n0, 0, 4, 12, 0\n0, 13, 4, 12, 0\n*Wire*\n0, 0, 100, 0, 16\n");
  const QString bad = board("bad.pcb", "*Wire*\n1, 2, 3, 4, 99999999999\n");
  const QString later = board("later.pcb", ReadBytes(clean) + "**\n@TEXT 0, 0, hello\n**\n");
  // A fill 0.5 mm clear of a pad of its own; seeded on bare board, it joins nothing.
  const std::string fill =
      "500000, 300000, 500000, 500000, 0, 4, -40, -40, 200, -40, 200, 100, -40, 100\n**\n";
  const QString filled = board(
      "filled.pcb", pads + "80, 48, 4, 12, 0\n*Wire*\n0, 0, 160, 0, 8\n**\n@FILL 1, 0, 0, " + fill);
  const QString unjoined = board("unjoined.pcb", ReadBytes(clean) + "**\n@FILL 1, 0, 40, " + fill);
  const QString none = board("none.pcb", "*Wire*\n0, 0, 100, 0, -4\n");  // no copper, no ends
  const QString bytes = board("bytes.pcb", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
  auto at = [](const QString& file, const char* line) { return file.toStdString() + ": " + line; };
  const std::string clearance =
      at(faults, "clearance at 12.700, 13.732 mm: copper 0.159 mm apart, 0.300 mm required\n");
  const std::string width =
      at(faults, "width at 20.638, 12.700 mm: wire 0.159 mm wide, 0.300 mm required\n");
  const std::string dangling =
      at(faults, "dangling at 28.575, 12.700 mm: wire end touches no other copper\n");
  const std::string one = "1 problem in 1 board\n", noProblems = "no problems in 1 board\n";
  const std::string notRead = "0 problems in 1 board, 1 board not read\n";
  const std::tuple<QStringList, int, std::string, std::string> cases[] = {
      {{clean}, 0, noProblems, ""},
      {{"--min-width", "0.35", clean},
       1,
       at(clean, "width at 25.400, 12.700 mm: wire 0.318 mm wide, 0.350 mm required\n") + one,
       ""},
      {{faults, clean}, 1, clearance + width + dangling + "3 problems in 2 boards\n", ""},
      {{"--clearance", "0.1", "--min-width=0.1", faults}, 1, dangling + one, ""},
      {{"--clearance", "0.1", "--min-width=0.1", "--cut-width", "0.1588", faults},
       1,
       dangling + at(faults,
                     "isolation at 12.700, 13.732 mm: islands 0.159 mm apart, the bit "
                     "cannot pass, 0.159 mm required\n2 problems in 1 board\n"),
       ""},
      {{"--cut-width", "0.15875", faults},
       1,
       clearance + width + dangling + "3 problems in 1 board\n",
       ""},
      {{none}, 1, at(none, "none at 20.638, 12.700 mm: makes no copper\n") + one, ""},
      {{later}, 0, noProblems, at(later, "1 record this version cannot read was passed over\n")},
      {{filled}, 0, noProblems, ""},
      {{"--clearance", "0.6", filled},
       1,
       at(filled, "clearance at 30.548, 26.670 mm: copper 0.500 mm apart, 0.600 mm required\n") +
           one,
       ""},
      {{unjoined}, 1, at(unjoined, "fill at 19.050, 25.400 mm: fill joins nothing\n") + one, ""},
      {{bad, clean}, 2, notRead, "bad.pcb: '99999999999' n'est pas une valeur"},
      {{dir.filePath("missing.pcb")},
       2,
       "0 problems in 0 boards, 1 board not read\n",
       "missing.pcb"},
      {{bytes, clean}, 2, notRead, "bytes.pcb\" is not a board file"},
      {{"--clearance", "-1", clean}, 2, "", "bad length for --clearance: '-1'"},
      {{"--frobnicate", clean}, 2, "", "Unknown option 'frobnicate'"},
      {{}, 2, "", "no board given"},
  };
  const QString exe = QStringLiteral(FERROLUME_BINARY_DIR "/src/ferrolume-check");
  for (const auto& [args, exitCode, out, err] : cases) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const TRun r = RunProgram(exe, args);
    EXPECT_EQ(r.exitCode, exitCode);
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err.empty(), err.empty()) << r.err;
    EXPECT_NE(r.err.find(err), std::string::npos) << r.err;
  }
  EXPECT_NE(RunProgram(exe, {"--help"}).out.find("--min-ring <MM>"), std::string::npos);
}

}  // namespace
