// ferrolume-check as a CI job runs it: a separate process, boards in, lines and an exit code out.
#include <gtest/gtest.h>

#include <QDir>

#include "formats/BoardHelpers.h"

namespace {

struct TCheckRun {
  int exitCode = -1;
  std::string out, err;
};

TCheckRun Check(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(FERROLUME_BINARY_DIR "/src/ferrolume-check"), args);
  p.waitForFinished(30000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

// Boards open with their top-left point at (80, 80), as in the editor: places are given there.
TEST(CheckTool, LinesSummaryAndExitCodes) {
  QTemporaryDir dir;
  const QString clean = dir.filePath("clean.pcb"), faults = dir.filePath("faults.pcb");
  const QString bad = dir.filePath("bad.pcb"), missing = dir.filePath("missing.pcb");
  const QString none = dir.filePath("none.pcb");
  // Two pads joined by a wire 0.318 mm wide.
  WriteBytes(clean, "*Solder*\n0, 0, 4, 12, 0\n160, 0, 4, 12, 0\n*Wire*\n0, 0, 160, 0, 8\n");
  // The same wire one unit wide, left dangling; a pad one unit off the first one.
  WriteBytes(faults, "*Solder*\n0, 0, 4, 12, 0\n0, 13, 4, 12, 0\n*Wire*\n0, 0, 100, 0, 16\n");
  WriteBytes(bad, "*Wire*\n1, 2, 3, 4, 99999999999\n");
  // A record of a later version's kind is not checked, and the user is told so.
  const QString later = dir.filePath("later.pcb");
  WriteBytes(later, ReadBytes(clean) + "**\n@TEXT 0, 0, hello\n**\n");
  // A ground fill over the clean board and a pad of its own: clear of it by 0.5 mm, and, seeded
  // on bare board, joining nothing.
  const QString filled = dir.filePath("filled.pcb"), unjoined = dir.filePath("unjoined.pcb");
  const std::string fill =
      "500000, 300000, 500000, 500000, 0, 4, -40, -40, 200, -40, 200, 100, "
      "-40, 100\n**\n";
  WriteBytes(filled,
             "*Solder*\n0, 0, 4, 12, 0\n160, 0, 4, 12, 0\n80, 48, 4, 12, 0\n*Wire*\n0, "
             "0, 160, 0, 8\n**\n@FILL 1, 0, 0, " +
                 fill);
  WriteBytes(unjoined, ReadBytes(clean) + "**\n@FILL 1, 0, 40, " + fill);
  // A negative width divisor means nothing: no copper, and so no ends to dangle.
  WriteBytes(none, "*Wire*\n0, 0, 100, 0, -4\n");
  // Another program's board and a file of bytes are not boards: neither is clean.
  const QString other = dir.filePath("other.pcb"), bytes = dir.filePath("bytes.pcb");
  WriteBytes(other, "PCB[\"\" 6000000 5000000]\n");
  WriteBytes(bytes, std::string("\x89PNG\r\n\x1a\n\0\0", 10));
  const std::string f = faults.toStdString();
  const struct {
    QStringList args;
    int exitCode;
    std::string out;
    bool error;
  } cases[] = {
      {{clean}, 0, "no problems in 1 board\n", false},
      {{"--min-width", "0.35", clean},
       1,
       clean.toStdString() + ": width at 25.400, 12.700 mm: wire 0.318 mm wide, 0.350 mm "
                             "required\n1 problem in 1 board\n",
       false},
      {{faults, clean},
       1,
       f + ": clearance at 12.700, 13.732 mm: copper 0.159 mm apart, 0.300 mm required\n" + f +
           ": width at 20.638, 12.700 mm: wire 0.159 mm wide, 0.300 mm required\n" + f +
           ": dangling at 28.575, 12.700 mm: wire end touches no other copper\n3 problems in 2 "
           "boards\n",
       false},
      {{"--clearance", "0.1", "--min-width=0.1", faults},
       1,
       f + ": dangling at 28.575, 12.700 mm: wire end touches no other copper\n1 problem in 1 "
           "board\n",
       false},
      {{"--clearance", "0.1", "--min-width=0.1", "--cut-width", "0.2", faults},
       1,
       f + ": dangling at 28.575, 12.700 mm: wire end touches no other copper\n" + f +
           ": isolation at 12.700, 13.732 mm: islands 0.159 mm apart, the bit cannot pass, 0.200 "
           "mm required\n2 problems in 1 board\n",
       false},
      {{"--cut-width", "0.158", faults},
       1,
       f + ": clearance at 12.700, 13.732 mm: copper 0.159 mm apart, 0.300 mm required\n" + f +
           ": width at 20.638, 12.700 mm: wire 0.159 mm wide, 0.300 mm required\n" + f +
           ": dangling at 28.575, 12.700 mm: wire end touches no other copper\n3 problems in 1 "
           "board\n",
       false},
      {{none},
       1,
       none.toStdString() + ": none at 20.638, 12.700 mm: makes no copper\n1 problem in 1 board\n",
       false},
      {{later}, 0, "no problems in 1 board\n", true},
      {{filled}, 0, "no problems in 1 board\n", false},
      {{"--clearance", "0.6", filled},
       1,
       filled.toStdString() + ": clearance at 30.548, 26.670 mm: copper 0.500 mm apart, 0.600 mm "
                              "required\n1 problem in 1 board\n",
       false},
      {{unjoined},
       1,
       unjoined.toStdString() + ": fill at 19.050, 25.400 mm: fill joins nothing\n1 problem in 1 "
                                "board\n",
       false},
      {{bad, clean}, 2, "0 problems in 1 board, 1 board not read\n", true},
      {{missing}, 2, "0 problems in 0 boards, 1 board not read\n", true},
      {{other, bytes, clean}, 2, "0 problems in 1 board, 2 boards not read\n", true},
      {{"--clearance", "wide", clean}, 2, "", true},
      {{"--clearance", "-1", clean}, 2, "", true},
      {{"--frobnicate", clean}, 2, "", true},
      {{}, 2, "", true},
  };
  for (const auto& c : cases) {
    const TCheckRun run = Check(c.args);
    const std::string what = c.args.join(' ').toStdString();
    EXPECT_EQ(run.exitCode, c.exitCode) << what;
    EXPECT_EQ(run.out, c.out) << what;
    EXPECT_EQ(!run.err.empty(), c.error) << what << ": " << run.err;
  }
  EXPECT_NE(Check({bad}).err.find("bad.pcb: '99999999999' n'est pas une valeur"),
            std::string::npos);
  EXPECT_NE(Check({other}).err.find("other.pcb\" is not a board file"), std::string::npos);
  EXPECT_EQ(Check({later}).err,
            later.toStdString() + ": 1 record this version cannot read was passed over\n");
  const TCheckRun help = Check({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--min-ring <MM>"), std::string::npos);
}

}  // namespace
