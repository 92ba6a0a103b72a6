#include <signal.h>
#include <sys/resource.h>

#include "formats/BoardHelpers.h"

namespace {

std::string Fields(const std::vector<int64_t>& v) {
  std::string out = std::to_string(v[0]);
  for (size_t i = 1; i < v.size(); ++i) out += ", " + std::to_string(v[i]);
  return out;
}

using BoardFilesTest = BoardTest;

TEST_F(BoardFilesTest, TheExtensionChoosesTheFormatAndTheExampleBoardByteForByte) {
  const std::pair<std::string, std::vector<const char*>> cases[] = {
      {"pcb", {"board.pcb", "BOARD.PCB", "b.Pcb", ".pcb", "C:b.pcb"}},
      {"wt5", {"/home/me/x.y/b.wt5", "b.WT5", "dir\\b.wt5"}},
      {"Invalid file extention",
       {"b.pcb.bak", "board", "dir.pcb/board", "dir.pcb\\board", "C.pcb:board", "b.pcb ", "b.txt",
        "b.", "b.p\xc3\x89", ""}}};
  for (const auto& [format, names] : cases)
    for (const char* name : names)
      EXPECT_EQ(MessageOf([&, name = name] {
                  throw EBoardError(BoardFormatOf(name) == TBoardFormat::Pcb ? "pcb" : "wt5");
                }),
                format)
          << name;

  list.SaveToFile(Path("empty.pcb"));
  EXPECT_EQ(ReadBytes(Path("empty.pcb")), "*Solder*\r\n\r\n*Wire*\r\n");
  list.AddWire({80, 80}, {128, 80}, 4);
  list.AddSolder({128, 80}, 4, 12, sgCircle);
  list.SaveToFile(Path("example.pcb"));
  EXPECT_EQ(ReadBytes(Path("example.pcb")), ReadBytes(DataFile("example.pcb")));
  EXPECT_FALSE(view.Modified);
  EXPECT_EQ(view.Renders, 0);  // saving neither moves nor redraws

  view.Offset = {-30, 40};
  view.Modified = true;
  list.LoadFromFile(DataFile("example.pcb"));
  EXPECT_EQ(Describe(list),
            (std::vector<std::string>{"P 128, 80, 4, 12, 0", "W 80, 80, 128, 80, 4"}));
  EXPECT_EQ(view.Offset, (TPoint{0, 0}));
  EXPECT_FALSE(view.Modified);
  EXPECT_EQ(view.Renders, 1);
  WriteBytes(Path("board.pcb"), "");
  list.LoadFromFile(Path("board.pcb"));
  EXPECT_TRUE(Describe(list).empty());
  EXPECT_EQ(view.Renders, 2);
}

// Whole files (most already placed at (80, 80)) and the count of records passed over.
TEST_F(BoardFilesTest, WhatTextsLoadAs) {
  std::string tooMany = "@FILL 0, 0, 0, 1, 1, 1, 1, 0, 4097";
  for (int k = 0; k < 4097; ++k) tooMany += ", " + std::to_string(k) + ", " + std::to_string(k % 3);
  const struct {
    std::string text;
    std::vector<std::string> board;
    int32_t unknown = 0;
  } cases[] = {
      {"*Wire*\r\n80, 80, 96, 80, 4\n*Solder*\r80, 80, 4, 16, 0",
       {"W 80, 80, 96, 80, 4", "P 80, 80, 4, 16, 0"}},
      {std::string("*Wire*\r\n80, 80, 96, 80, 4\r\n\0*Solder*\r\n80, 80, 4, 16, 0\r\n", 56),
       {"W 80, 80, 96, 80, 4"}},
      // Data before the first header; headers in any case; a blank makes a line malformed.
      {"80, 80, 1, 1, 1\r\n*SOLDER*\r\n80, 80, 4, 16, 1\r\n*Wire* \r\n **\r\n80, 80, 4, 16, 2\r\n"
       "*wIRE*\r\n1, 2, 3, 4\r\n\t80, 80, 96, 80, 4\r\n80,80,96,96,8\r\n",
       {"P 80, 80, 4, 16, 1", "P 80, 80, 4, 16, 2", "W 80, 80, 96, 96, 8"}},
      {"*Wire*\r\n**\r\n0, 0, 0, 0, 4\r\n**\r\n80, 80, 96, 96, 8\r\n**\r\n0, 0, 1, 1, 2\r\n",
       {"W 80, 80, 96, 96, 8"}},
      // Sections repeat in any order; widths 0 and 1 read as 2; a pad's shape is the low byte.
      {"*Wire*\r\n80, 80, 96, 80, 0\r\n*Solder*\r\n80, 80, 4, 16, 257\r\n*Wire*\r\n80, 80, 96, "
       "80, 1\r\n80, 80, 96, 80, -4\r\n",
       {"W 80, 80, 96, 80, 2", "P 80, 80, 4, 16, 1", "W 80, 80, 96, 80, 2",
        "W 80, 80, 96, 80, -4"}},
      {"not a line\r\n*wire*\r\n80, 80, 96, 80, 4\r\n", {"W 80, 80, 96, 80, 4"}},
      {"*SOLDER*", {}},
      {"*Wire*\r\n80, 80, 96, 80, 1\r\n80, 80, 96, 80, 0\r\n**\r\n@FULLSTEP\r\n**\r\n",
       {"W 80, 80, 96, 80, 1", "W 80, 80, 96, 80, 2"}},
      {"*Wire*\r\n80, 80, 96, 80, 1\r\n**\r\n@FULLSTEP \r\n",  // in a block never closed
       {"W 80, 80, 96, 80, 1"}},
      {"**\n@FULLSTEP\n**\n*Wire*\n80, 80, 96, 80, 1\n", {"W 80, 80, 96, 80, 1"}},
      // Outside a block neither record is one: the classic lines as they always read.
      {"@FULLSTEP\r\n*Wire*\r\n80, 80, 96, 80, 1\r\n@SMD 80, 80, 4, 4, 0\r\n",
       {"W 80, 80, 96, 80, 2"}},
      {"*Wire*\r\n80, 80, 96, 80, 1\r\n**\r\n@FULLSTEP 1\r\n**\r\n", {"W 80, 80, 96, 80, 2"}, 1},
      {"*Solder*\r\n80, 80, 4, 16, 0\r\n**\r\n@SMD 80, 80, 8, 4, 50\r\n@TEXT 1, 2, hello\r\n"
       "@SMD 1, 2, 3, 4\r\n@SMD 1, 2, 3, 4, 5, 6\r\n@SMD 1, 2, 3, 4, 99999999999\r\n"
       "@SMD 1, 2, 3, 4, -2147483649\r\n@smd 1, 2, 3, 4, 5\r\n@SMD1, 2, 3, 4, 5\r\n@\r\n"
       "@SMD 1, 2, 3, 4,\r\n@SMD 1; 2; 3; 4; 5\r\n"
       "a comment, 99999999999\r\n80, 80, 4, 16, 1\r\n **\r\n**\r\n",
       {"P 80, 80, 4, 16, 0", "@SMD 80, 80, 8, 4, 50"},
       10},
      // A text's string is the rest after ", ", escapes undone; anything else passes it over.
      {"*Solder*\r\n80, 80, 4, 16, 0\r\n**\r\n@TEXT 80,  80 ,13, 2, 0, 1,  GND%2C%0A+9V %25\r\n"
       "@TEXT 80, 80, 13, 2, 0, 1, a%2\r\n@TEXT 80, 80, 13, 2, 0, 1, a%2c\r\n"
       "@TEXT 80, 80, 13, 2, 0, 1, \x81\r\n@TEXT 80, 80, 13, 2, 0, 1, a%09\r\n"
       "@TEXT 80, 80, 13, 2, 0, 1, \r\n@TEXT 80, 80, 13, 2, 0, 1,a\r\n"
       "@TEXT 80, 80, 13, 2, 0, 1, a,b\r\n@TEXT 80, 80, 13, 2, 0, 2, a\r\n"
       "@TEXT 80, 80, 13, 14, 0, 1, a\r\n@TEXT 80, 80, 13, 2, 4, 1, a\r\n"
       "@TEXT 80, 80, 1x, 2, 0, 1, a\r\n@TEXT 80, 80, 13, 2, 0, a\r\n**\r\n",
       {"P 80, 80, 4, 16, 0", "@TEXT 80, 80, 13, 2, 0, 1,  GND%2C%0A+9V %25"},
       12},
      // A fill; a seed's place without a seed reads as none; bad counts, flags, settings pass.
      {"*Solder*\r\n80, 80, 4, 16, 0\r\n**\r\n"
       "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, 3, 80, 80, 240, 80, 80, 240\r\n"
       "@FILL  0 ,7,7, 0, 100000000, 0, 1, 1, 3, 85, 80, 90, 80 , 85,85\r\n"
       "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, 2, 0, 0, 160, 0\r\n"
       "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, 3, 0, 0, 160, 0\r\n"
       "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, -1\r\n"
       "@FILL 2, 80, 80, 500000, 300000, 500000, 500000, 0, 3, 80, 80, 240, 80, 80, 240\r\n"
       "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 2, 3, 0, 0, 160, 0, 0, 160\r\n"
       "@FILL 1, 80, 80, 100000001, 300000, 500000, 500000, 0, 3, 80, 80, 240, 80, 80, 240\r\n"
       "@FILL 1, 80, 80, 500000, 300000, -1, 500000, 0, 3, 80, 80, 240, 80, 80, 240\r\n"
       "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, 3, 80, 80, 240, 80, 80, 240,\r\n"
       "@FILL 1, 80, 80\r\n" +
           tooMany + "\r\n**\r\n",
       {"P 80, 80, 4, 16, 0",
        "@FILL 1, 80, 80, 500000, 300000, 500000, 500000, 0, 3, 80, 80, 240, 80, 80, 240",
        "@FILL 0, 0, 0, 0, 100000000, 0, 1, 1, 3, 85, 80, 90, 80, 85, 85"},
       10},
      // The top-left point goes to (80, 80), pad sizes aside; far out coordinates wrap.
      {"*Wire*\r\n160, 0, 16, 16, 4\r\n*Solder*\r\n0, 48, 4, 16, 1\r\n",
       {"W 240, 80, 96, 96, 4", "P 80, 128, 4, 16, 1"}},
      {"*Solder*\r\n-100, -50, 4, 1000, 0\r\n", {"P 80, 80, 4, 1000, 0"}},
      {"*Wire*\r\n-2147483648, 2147483647, 0, 0, 4\r\n", {"W 80, -2147483569, -2147483568, 80, 4"}},
      // Fields read as an element line's do; the pad takes its place in the file's order.
      {"*Wire*\r\n**\r\n@SMD  +80 ,80,8 , -4,  0  \r\n**\r\n80, 80, 96, 80, 4\r\n",
       {"@SMD 80, 80, 8, -4, 0", "W 80, 80, 96, 80, 4"}}};
  for (const auto& c : cases) {
    WriteBytes(Path("board.pcb"), c.text);
    EXPECT_EQ(list.LoadFromFile(Path("board.pcb")), c.unknown) << c.text;
    EXPECT_EQ(Describe(list), c.board) << c.text;
  }
}

// New kinds go in one block of records after the wires, in files and on the clipboard alike.
TEST_F(BoardFilesTest, NewKindsGoInOneBlockOfRecordsAfterTheWires) {
  list.AddSolder({80, 80}, 4, 12, sgCircle);
  AddSmd(list, {96, 96}, 10, 6, 25);
  list.AddWire({80, 80}, {96, 80}, 1);  // the full step, 16 units wide
  list.AddWire({80, 80}, {80, 96}, 4);
  AddSmd(list, {112, 80}, 7, 13, 50);
  list.SaveToFile(Path("new.pcb"));
  EXPECT_EQ(ReadBytes(Path("new.pcb")),
            "*Solder*\r\n80, 80, 4, 12, 0\r\n\r\n*Wire*\r\n80, 80, 96, 80, 1\r\n80, 80, 80, 96, "
            "4\r\n**\r\n@FULLSTEP\r\n@SMD 96, 96, 10, 6, 25\r\n@SMD 112, 80, 7, 13, 50\r\n**\r\n");
  EXPECT_EQ(list.LoadFromFile(Path("new.pcb")), 0);
  EXPECT_EQ(Describe(list), (std::vector<std::string>{
                                "P 80, 80, 4, 12, 0", "W 80, 80, 96, 80, 1", "W 80, 80, 80, 96, 4",
                                "@SMD 96, 96, 10, 6, 25", "@SMD 112, 80, 7, 13, 50"}));
  const std::pair<std::vector<int32_t>, std::string> copies[] = {
      {{1, 3},
       "*Solder*\r\n\r\n*Wire*\r\n80, 80, 96, 80, 1\r\n**\r\n@FULLSTEP\r\n@SMD 96, 96, 10, 6, "
       "25\r\n**\r\n"},
      {{4}, "*Solder*\r\n\r\n*Wire*\r\n**\r\n@SMD 112, 80, 7, 13, 50\r\n**\r\n"},
      {{0, 2}, "*Solder*\r\n80, 80, 4, 12, 0\r\n\r\n*Wire*\r\n80, 80, 80, 96, 4\r\n"}};
  for (const auto& [selected, text] : copies) {
    std::vector<std::string> want;
    for (int32_t i = 0; i < list.Count(); ++i) {
      list.Items(i)->SetSelected(std::count(selected.begin(), selected.end(), i) > 0);
      if (list.Items(i)->Selected()) want.push_back(Describe(list)[i]);
    }
    EXPECT_EQ(WritePcbText(list, [](const TPCBElement& e) { return e.Selected(); }), text);
    TElementList pasted(&view);
    int32_t unknown = -1;
    pasted.Replace(ReadElements(&view, SplitLines(text), true, &unknown));
    EXPECT_EQ(Describe(pasted), want) << text;
    EXPECT_EQ(unknown, 0);
  }
}

// Every record field at the ends of its range, and strings of the record's own syntax.
TEST_F(BoardFilesTest, EveryRecordFieldComesBackThroughFileAndClipboard) {
  const int32_t pads[][5] = {{0, 0, 1, 1, 0},
                             {-2147483648, 2147483647, 2147483647, 1, 50},
                             {2147483647, -2147483648, 1, 2147483647, 25},
                             {-7, 13, 12, 40, 49},
                             {5, 5, 0, -3, -1},  // no size and a roundness beyond its range
                             {5, 5, -2147483648, 0, 2147483647}};
  std::vector<std::string> want = {"W 80, 80, 96, 80, 4"};
  list.AddWire({80, 80}, {96, 80}, 4);
  for (const auto& v : pads) {
    AddSmd(list, {v[0], v[1]}, v[2], v[3], v[4]);
    want.push_back("@SMD " + Fields({v, v + 5}));
  }
  const std::tuple<TPoint, int32_t, int32_t, int32_t, bool, std::string, std::string> texts[] = {
      {{80, 80}, 13, 2, 0, true, "+9V, GND", "+9V%2C GND"},
      {{-2147483648, 2147483647}, 1600, 1600, 3, false, "*Wire*", "%2AWire%2A"},
      {{2147483647, -2147483648}, 2, 1, 1, true, "**", "%2A%2A"},
      {{0, 0}, 13, 2, 2, false, "100% %2C", "100%25 %252C"},
      {{1, 2}, 13, 2, 0, true, "IN\nOUT\n", "IN%0AOUT%0A"},
      {{3, 4}, 13, 2, 0, true, " caf\xE9 \x80 \xDF\xA0@ ", " caf\xE9 \x80 \xDF\xA0@ "},
  };
  for (const auto& [at, height, width, turns, side, text, field] : texts) {
    list.Append(std::make_unique<TCopperText>(&view, at, text, height, width, turns, side));
    want.push_back("@TEXT " + Fields({at.X, at.Y, height, width, turns, side}) + ", " + field);
  }
  std::vector<TPoint> most;
  for (int32_t k = 0; k < 4096; ++k) most.push_back({k * 524287, -k});
  list.Append(std::make_unique<TCopperFill>(
      &view, std::vector<TPoint>{{INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MIN}, {0, 0}}, true,
      TPoint{INT32_MIN, INT32_MAX}, TFillSettings{0, 100000000, 0, 100000000, true}));
  list.Append(std::make_unique<TCopperFill>(&view, most, false, TPoint{},
                                            TFillSettings{100000000, 0, 100000000, 0, false}));
  for (int32_t i : {list.Count() - 2, list.Count() - 1}) want.push_back(list.Items(i)->ToText());
  EXPECT_EQ(want.back().substr(0, 70),
            "@FILL 0, 0, 0, 100000000, 0, 100000000, 0, 0, 4096, 0, 0, 524287, -1, ");
  SavePCBFile(list, Path("records.pcb"));
  EXPECT_EQ(LoadPCBFile(list, Path("records.pcb")), 0);
  EXPECT_EQ(Describe(list), want);
  list.Replace(ReadElements(
      &view, SplitLines(WritePcbText(list, [](const TPCBElement&) { return true; })), true));
  for (std::string& pasted : want) pasted += " *";
  EXPECT_EQ(Describe(list), want);
}

TEST_F(BoardFilesTest, AFailedLoadChangesNothing) {
  list.AddWire({1, 2}, {3, 4}, 4)->SetSelected(true);
  view.Offset = {-12, 34};
  const auto before = Describe(list);
  WriteBytes(Path("board.txt"), "*Wire*\r\n0, 0, 1, 1, 2\r\n");
  WriteBytes(Path("big.pcb"), "*Solder*\r\n1, 2, 3, 4, 0\r\n*Wire*\r\n1, 2, 3, 4, 2147483648\r\n");
  WriteBytes(Path("nowhere.pcb"), "1, 2, 3, 4, +99999999999\r\n*Wire*\r\n");
  WriteBytes(Path("long.pcb"), "*Solder*\r\n1, 2, 3, 4, " + std::string(1000000, '7') + "\r\n");
  WriteBytes(
      Path("records.pcb"),
      "*Wire*\r\n**\r\n@SMD 1, 2, 3, 4, 5\r\n@FULLSTEP\r\n**\r\n1, 2, 3, 4, -2147483649\r\n");
  WriteBytes(Path("bytes.pcb"), std::string("\0PK\3\4\xA4\xB7\r\n*Wire*\r\n", 14));
  WriteBytes(Path("blank.pcb"), "*Wire* \r\n80, 80, 96, 80, 4\r\n1, 2, 3, 4, 99999999999\r\n");
  const auto notABoard = [&](const char* name) {
    return "The file \"" + FullPath(name) +
           "\" is not a board file: it has no *Solder* or *Wire* section";
  };
  QDir(dir.path()).mkdir("folder.pcb");
  // Paths of over 100 characters are quoted by their first 50 and last 25.
  const std::string longName = std::string(120, 'n') + ".wt5",
                    longPath = FullPath(longName.c_str());
  const std::pair<const char*, std::string> cases[] = {
      {"board.txt", "Invalid file extention"},
      {"missing.wt5", "Impossible d'ouvrir le fichier \"" + FullPath("missing.wt5") +
                          "\". No such file or directory"},
      {"big.pcb", "'2147483648' n'est pas une valeur entière correcte"},
      {"nowhere.pcb", "'+99999999999' n'est pas une valeur entière correcte"},
      {"records.pcb", "'-2147483649' n'est pas une valeur entière correcte"},
      {"long.pcb", "'77777777777777777777…7777777777' n'est pas une valeur entière correcte"},
      {longName.c_str(), "Impossible d'ouvrir le fichier \"" + longPath.substr(0, 50) + "…" +
                             longPath.substr(longPath.size() - 25) +
                             "\". No such file or directory"},
      {"folder.pcb",
       "Impossible d'ouvrir le fichier \"" + FullPath("folder.pcb") + "\". Is a directory"},
      {"bytes.pcb", notABoard("bytes.pcb")},
      {"blank.pcb", notABoard("blank.pcb")}};
  for (const auto& c : cases) {
    EXPECT_EQ(MessageOf([&] { list.LoadFromFile(Path(c.first)); }), c.second);
    EXPECT_EQ(Describe(list), before);
    EXPECT_EQ(view.Offset, (TPoint{-12, 34}));
    EXPECT_TRUE(view.Modified);
    EXPECT_EQ(view.Renders, 0);
  }
  EXPECT_EQ(MessageOf([&] { list.LoadFromFile("nowhere/../no-such-board.pcb"); }),
            "Impossible d'ouvrir le fichier \"" + QDir::currentPath().toStdString() +
                "/no-such-board.pcb\". No such file or directory");
}

TEST_F(BoardFilesTest, AFailedSaveLeavesTheOldFileWholeAndTheBoardModified) {
  const std::string old = "*Solder*\r\n\r\n*Wire*\r\n0, 0, 16, 16, 4\r\n";
  const auto saving = [&](const char* name) { return [&, name] { list.SaveToFile(Path(name)); }; };
  for (const char* name : {"old.pcb", "old.wt5"}) WriteBytes(Path(name), old);
  EXPECT_EQ(MessageOf([&] { list.SaveToFile("/dev/null/board.pcb"); }),
            "Impossible de créer le fichier \"/dev/null/board.pcb\". Not a directory");
  list.AddWire({0, 0}, {16, 0}, 0);  // no width: .wt5 files hold widths, not divisors
  EXPECT_EQ(MessageOf(saving("old.wt5")), "Division par zéro");
  EXPECT_EQ(MessageOf(saving("new.wt5")), "Division par zéro");
  EXPECT_TRUE(view.Modified);

  // A disk full past 4 KB: a large board fails mid-save, a small one as the file is put in place.
  struct sigaction ignore = {}, oldAction = {};
  ignore.sa_handler = SIG_IGN;
  rlimit limit{}, saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  limit = saved, limit.rlim_cur = 4096;
  for (int wires : {60000, 400}) {
    for (const char* name : {"old.pcb", "old.wt5"}) {
      list.Clear();
      for (int i = 0; i < wires; ++i) list.AddWire({i, i}, {i + 16, i}, 4);
      view.Modified = true;
      sigaction(SIGXFSZ, &ignore, &oldAction);
      setrlimit(RLIMIT_FSIZE, &limit);
      const std::string message = MessageOf(saving(name));
      setrlimit(RLIMIT_FSIZE, &saved);
      sigaction(SIGXFSZ, &oldAction, nullptr);
      EXPECT_EQ(message,
                "Impossible de créer le fichier \"" + FullPath(name) + "\". File too large")
          << wires;
      EXPECT_EQ(ReadBytes(Path(name)), old);
      EXPECT_TRUE(view.Modified);
    }
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"old.pcb", "old.wt5"}));
}

}  // namespace
