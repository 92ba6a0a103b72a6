// Opening and saving boards: the format chosen by the extension, the .pcb layout, the placing of
// a loaded board, and what a failed load or save leaves behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QFileInfo>

#include "TBoardError.h"
#include "TBoardFiles.h"
#include "TElementList.h"
#include "formats/BoardHelpers.h"
#include "model/FakeLayout.h"

namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EBoardError& e) {
    return e.what();
  }
  return "<no error>";
}

class BoardFilesTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return Dir.filePath(QString::fromUtf8(name)); }
  // Loads bytes written to a file of the given name.
  void LoadText(const std::string& bytes, const char* name = "board.pcb") {
    WriteBytes(Path(name), bytes);
    List.LoadFromFile(Path(name));
  }

  QTemporaryDir Dir;
  FakeLayout Layout;
  TElementList List{&Layout};
};

TEST_F(BoardFilesTest, TheExtensionChoosesTheFormat) {
  struct Case {
    const char* name;
    const char* format;  // "pcb", "wt5" or "error"
  };
  const Case cases[] = {
      {"board.pcb", "pcb"},
      {"BOARD.PCB", "pcb"},
      {"b.Pcb", "pcb"},
      {".pcb", "pcb"},
      {"/home/me/x.y/b.wt5", "wt5"},
      {"b.WT5", "wt5"},
      {"C:b.pcb", "pcb"},
      {"dir\\b.wt5", "wt5"},
      {"b.pcb.bak", "error"},
      {"board", "error"},
      {"dir.pcb/board", "error"},
      {"dir.pcb\\board", "error"},
      {"C.pcb:board", "error"},
      {"b.pcb ", "error"},
      {"b.txt", "error"},
      {"b.", "error"},
      {"b.p\xc3\x89"
       "b",
       "error"},
      {"", "error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string got;
    try {
      got = BoardFormatOf(QString::fromUtf8(c.name)) == TBoardFormat::Pcb ? "pcb" : "wt5";
    } catch (const EBoardError& e) {
      EXPECT_STREQ(e.what(), "Invalid file extention");
      got = "error";
    }
    EXPECT_EQ(got, c.format);
  }
}

TEST_F(BoardFilesTest, AWrongExtensionTouchesNothing) {
  List.AddWire({1, 2}, {3, 4}, 4)->SetSelected(true);
  Layout.Offset = {7, 9};
  Layout.Modified = true;
  // The name of a file that exists: only the extension must be looked at.
  WriteBytes(Path("board.txt"), "*Wire*\r\n0, 0, 1, 1, 2\r\n");
  EXPECT_EQ(MessageOf([&] { List.LoadFromFile(Path("board.txt")); }), "Invalid file extention");
  EXPECT_EQ(MessageOf([&] { List.SaveToFile(Path("saved.pcb.bak")); }), "Invalid file extention");
  EXPECT_EQ(Describe(List), std::vector<std::string>{"W 1, 2, 3, 4, 4 *"});
  EXPECT_EQ(Layout.Offset, (TPoint{7, 9}));
  EXPECT_TRUE(Layout.Modified);
  EXPECT_EQ(Layout.Renders, 0);
  EXPECT_FALSE(QFileInfo::exists(Path("saved.pcb.bak")));
}

TEST_F(BoardFilesTest, TheExampleBoardIsWrittenByteForByteAndReadBack) {
  List.AddWire({80, 80}, {128, 80}, 4);
  List.AddSolder({128, 80}, 4, 12, sgCircle);
  List.SaveToFile(Path("example.pcb"));
  EXPECT_EQ(ReadBytes(Path("example.pcb")), ReadBytes(DataFile("example.pcb")));
  EXPECT_FALSE(Layout.Modified);
  EXPECT_EQ(Layout.Renders, 0);  // saving neither moves nor redraws

  Layout.Offset = {-30, 40};
  Layout.Modified = true;
  List.LoadFromFile(DataFile("example.pcb"));
  EXPECT_EQ(Describe(List),
            (std::vector<std::string>{"P 128, 80, 4, 12, 0", "W 80, 80, 128, 80, 4"}));
  EXPECT_EQ(Layout.Offset, (TPoint{0, 0}));
  EXPECT_FALSE(Layout.Modified);
  EXPECT_EQ(Layout.Renders, 1);
}

TEST_F(BoardFilesTest, EmptyBoardsAndEmptyFiles) {
  List.SaveToFile(Path("empty.pcb"));
  EXPECT_EQ(ReadBytes(Path("empty.pcb")), std::string("*Solder*\r\n\r\n*Wire*\r\n"));

  List.AddSolder({1, 1}, 4, 16, sgSquare);
  Layout.Offset = {5, 5};
  Layout.Modified = true;
  LoadText("");
  EXPECT_EQ(List.Count(), 0);
  EXPECT_EQ(Layout.Offset, (TPoint{0, 0}));
  EXPECT_FALSE(Layout.Modified);
  EXPECT_EQ(Layout.Renders, 1);
}

// The reader's rules, seen through whole files: what each text loads as, before the board is
// placed at (80, 80) (every case has an element at or left of and above (80, 80)).
TEST_F(BoardFilesTest, WhatTextsLoadAs) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> board;
  };
  const std::vector<Case> cases = {
      {"line ends CR LF",
       "*Wire*\r\n80, 80, 96, 80, 4\r\n*Solder*\r\n80, 80, 4, 16, 0\r\n",
       {"W 80, 80, 96, 80, 4", "P 80, 80, 4, 16, 0"}},
      {"line ends LF",
       "*Wire*\n80, 80, 96, 80, 4\n*Solder*\n80, 80, 4, 16, 0\n",
       {"W 80, 80, 96, 80, 4", "P 80, 80, 4, 16, 0"}},
      {"line ends CR, no end at the end",
       "*Wire*\r80, 80, 96, 80, 4\r*Solder*\r80, 80, 4, 16, 0",
       {"W 80, 80, 96, 80, 4", "P 80, 80, 4, 16, 0"}},
      {"a NUL ends the text",
       std::string("*Wire*\r\n80, 80, 96, 80, 4\r\n\0*Solder*\r\n", 38) + "80, 80, 4, 16, 0\r\n",
       {"W 80, 80, 96, 80, 4"}},
      {"data before the first header",
       "80, 80, 1, 1, 1\r\n*Wire*\r\n80, 80, 96, 80, 4\r\n",
       {"W 80, 80, 96, 80, 4"}},
      {"headers in any case of A-Z",
       "*SOLDER*\r\n80, 80, 4, 16, 1\r\n*wIRE*\r\n80, 80, 96, 96, 8\r\n",
       {"P 80, 80, 4, 16, 1", "W 80, 80, 96, 96, 8"}},
      {"a header with a trailing blank is a malformed line",
       "*Solder*\r\n*Wire* \r\n80, 80, 4, 16, 0\r\n",
       {"P 80, 80, 4, 16, 0"}},
      {"comment blocks",
       "*Wire*\r\n**\r\n0, 0, 0, 0, 4\r\n*Solder*\r\n**\r\n80, 80, 4, 16, 0\r\n",
       {"P 80, 80, 4, 16, 0"}},
      {"a blank before ** makes a malformed line, not a toggle",
       "*Wire*\r\n **\r\n80, 80, 96, 80, 4\r\n",
       {"W 80, 80, 96, 80, 4"}},
      {"an unclosed comment runs to the end",
       "*Wire*\r\n80, 80, 96, 80, 4\r\n**\r\n0, 0, 1, 1, 2\r\n",
       {"W 80, 80, 96, 80, 4"}},
      {"sections repeat in any order",
       "*Wire*\r\n80, 80, 96, 80, 2\r\n*Solder*\r\n80, 80, 4, 16, 0\r\n*Wire*\r\n96, 96, 80, 80, "
       "16\r\n",
       {"W 80, 80, 96, 80, 2", "P 80, 80, 4, 16, 0", "W 96, 96, 80, 80, 16"}},
      {"widths 0 and 1 read as 2, others as written",
       "*Wire*\r\n80, 80, 96, 80, 0\r\n80, 80, 96, 80, 1\r\n80, 80, 96, 80, 3\r\n80, 80, 96, 80, "
       "-4\r\n",
       {"W 80, 80, 96, 80, 2", "W 80, 80, 96, 80, 2", "W 80, 80, 96, 80, 3",
        "W 80, 80, 96, 80, -4"}},
      {"a pad's shape is the low byte",
       "*Solder*\r\n80, 80, 4, 16, 257\r\n80, 80, 4, 16, 2\r\n",
       {"P 80, 80, 4, 16, 1", "P 80, 80, 4, 16, 2"}},
      {"malformed lines are skipped",
       "*Wire*\r\n1, 2, 3, 4\r\n1, 2, 3, 4,\r\n1, 2, 3, 4, 5, 6\r\n1, 2, 3, 4, 5 6\r\n1; 2; 3; 4; "
       "5\r\n\t80, 80, 96, 80, 4\r\n   \r\n80,80,96,80,4\r\n",
       {"W 80, 80, 96, 80, 4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoadText(c.text);
    EXPECT_EQ(Describe(List), c.board);
  }
}

TEST_F(BoardFilesTest, ALoadedBoardIsPlacedAt80And80) {
  LoadText("*Solder*\r\n0, 48, 4, 16, 0\r\n*Wire*\r\n160, 0, 16, 16, 4\r\n");
  EXPECT_EQ(Describe(List),
            (std::vector<std::string>{"P 80, 128, 4, 16, 0", "W 240, 80, 96, 96, 4"}));
  EXPECT_EQ(ElementsBounds(List), (TRect{80, 80, 240, 128}));
  List.SaveToFile(Path("moved.pcb"));
  EXPECT_EQ(ReadBytes(Path("moved.pcb")),
            "*Solder*\r\n80, 128, 4, 16, 0\r\n\r\n*Wire*\r\n240, 80, 96, 96, 4\r\n");

  // Negative coordinates move like any other; pad sizes and wire widths take no part.
  LoadText("*Solder*\r\n-100, -50, 4, 1000, 0\r\n");
  EXPECT_EQ(Describe(List), std::vector<std::string>{"P 80, 80, 4, 1000, 0"});
  // Far out coordinates wrap rather than fail.
  LoadText("*Wire*\r\n-2147483648, 2147483647, 0, 0, 4\r\n");
  EXPECT_EQ(Describe(List), std::vector<std::string>{"W 80, -2147483569, -2147483568, 80, 4"});
}

TEST_F(BoardFilesTest, PadsAreSavedBeforeWires) {
  List.AddWire({0, 0}, {16, 0}, 1);
  List.AddSolder({16, 0}, 4, 16, sgSquare);
  List.AddWire({16, 0}, {16, 32}, 8);
  List.SaveToFile(Path("order.PCB"));
  EXPECT_EQ(ReadBytes(Path("order.PCB")),
            "*Solder*\r\n16, 0, 4, 16, 1\r\n\r\n*Wire*\r\n0, 0, 16, 0, 1\r\n16, 0, 16, 32, 8\r\n");
  List.LoadFromFile(Path("order.PCB"));
  EXPECT_EQ(Describe(List), (std::vector<std::string>{"P 96, 80, 4, 16, 1", "W 80, 80, 96, 80, 2",
                                                      "W 96, 80, 96, 112, 8"}));
}

TEST_F(BoardFilesTest, AFailedLoadLeavesEverythingAsItWas) {
  List.AddWire({1, 2}, {3, 4}, 4)->SetSelected(true);
  List.AddSolder({5, 6}, 4, 16, sgCircle);
  Layout.Offset = {-12, 34};
  Layout.Modified = true;
  const auto before = Describe(List);
  struct Case {
    const char* name;
    std::string text;  // empty: the file does not exist
    std::string message;
  };
  const QString abs = QFileInfo(Path("missing.wt5")).absoluteFilePath();
  const std::vector<Case> cases = {
      {"missing.wt5", "",
       "Impossible d'ouvrir le fichier \"" + abs.toStdString() + "\". No such file or directory"},
      {"big.pcb", "*Solder*\r\n1, 2, 3, 4, 0\r\n*Wire*\r\n1, 2, 3, 4, 2147483648\r\n",
       "'2147483648' n'est pas une valeur entière correcte"},
      {"small.pcb", "*Solder*\r\n1, 2, 3, -2147483649, 0\r\n",
       "'-2147483649' n'est pas une valeur entière correcte"},
      // Out of range even where the line would create nothing.
      {"nowhere.pcb", "1, 2, 3, 4, +99999999999\r\n*Wire*\r\n",
       "'+99999999999' n'est pas une valeur entière correcte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.text.empty()) WriteBytes(Path(c.name), c.text);
    EXPECT_EQ(MessageOf([&] { List.LoadFromFile(Path(c.name)); }), c.message);
    EXPECT_EQ(Describe(List), before);
    EXPECT_EQ(Layout.Offset, (TPoint{-12, 34}));
    EXPECT_TRUE(Layout.Modified);
    EXPECT_EQ(Layout.Renders, 0);
  }
  // A relative name is shown as the full path it stands for.
  EXPECT_EQ(MessageOf([&] { List.LoadFromFile("nowhere/../no-such-board.pcb"); }),
            "Impossible d'ouvrir le fichier \"" + QDir::currentPath().toStdString() +
                "/no-such-board.pcb\". No such file or directory");
  // A folder is not an empty board.
  QDir(Dir.path()).mkdir("folder.pcb");
  EXPECT_NE(MessageOf([&] { List.LoadFromFile(Path("folder.pcb")); }), "<no error>");
  EXPECT_EQ(Describe(List), before);
}

TEST_F(BoardFilesTest, AFailedSaveLeavesTheOldFileWhole) {
  List.AddWire({1, 2}, {3, 4}, 4);
  Layout.Modified = true;
  EXPECT_EQ(MessageOf([&] { List.SaveToFile("/dev/null/board.pcb"); }),
            "Impossible de créer le fichier \"/dev/null/board.pcb\". Not a directory");
  EXPECT_TRUE(Layout.Modified);

  // A board file replaced by a folder stays a folder, with its content.
  QDir(Dir.path()).mkpath("taken.wt5/inside");
  const std::string abs = QFileInfo(Path("taken.wt5")).absoluteFilePath().toStdString();
  EXPECT_EQ(MessageOf([&] { List.SaveToFile(Path("taken.wt5")); }),
            "Impossible de créer le fichier \"" + abs + "\". Is a directory");
  EXPECT_TRUE(QFileInfo(Path("taken.wt5/inside")).isDir());
  EXPECT_TRUE(Layout.Modified);
}

// The disk fills up while a board is written: the file size limit makes every write past a few
// bytes fail, as a full disk would. A large board fails in the middle of the save; a small one
// only when the last of it goes to disk as the file is put in place.
TEST_F(BoardFilesTest, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
  const std::string old = "*Solder*\r\n\r\n*Wire*\r\n0, 0, 16, 16, 4\r\n";
  for (int wires : {60000, 400}) {
    SCOPED_TRACE(wires);
    for (const char* name : {"old.pcb", "old.wt5"}) {
      SCOPED_TRACE(name);
      WriteBytes(Path(name), old);
      List.Clear();
      for (int i = 0; i < wires; ++i) List.AddWire({i, i}, {i + 16, i}, 4);
      Layout.Modified = true;

      struct sigaction ignore = {}, oldAction = {};
      ignore.sa_handler = SIG_IGN;
      sigaction(SIGXFSZ, &ignore, &oldAction);
      rlimit limit{}, saved{};
      getrlimit(RLIMIT_FSIZE, &saved);
      limit = saved;
      limit.rlim_cur = 4096;
      setrlimit(RLIMIT_FSIZE, &limit);
      const std::string message = MessageOf([&] { List.SaveToFile(Path(name)); });
      setrlimit(RLIMIT_FSIZE, &saved);
      sigaction(SIGXFSZ, &oldAction, nullptr);

      const std::string abs = QFileInfo(Path(name)).absoluteFilePath().toStdString();
      EXPECT_EQ(message, "Impossible de créer le fichier \"" + abs + "\". File too large");
      EXPECT_EQ(ReadBytes(Path(name)), old);
      EXPECT_TRUE(Layout.Modified);
    }
    // No temporary file is left beside them.
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"old.pcb", "old.wt5"}));
  }
}

TEST(ElementsBoundsTest, CountsPadCentresAndWireEnds) {
  FakeLayout layout;
  TElementList list(&layout);
  EXPECT_EQ(ElementsBounds(list), (TRect{0, 0, 0, 0}));
  list.AddSolder({50, -20}, 4, 5000, sgCircle);
  EXPECT_EQ(ElementsBounds(list), (TRect{50, -20, 50, -20}));
  list.AddWire({70, 10}, {-30, 0}, 1);
  EXPECT_EQ(ElementsBounds(list), (TRect{-30, -20, 70, 10}));
  MoveAllElements(list, 10, INT32_MAX);
  EXPECT_EQ(Describe(list), (std::vector<std::string>{"P 60, 2147483627, 4, 5000, 0",
                                                      "W 80, -2147483639, -20, 2147483647, 1"}));
}

}  // namespace
