// Opening and saving boards: the format chosen by the extension, the .pcb layout, the placing of
// a loaded board, and what a failed load or save leaves behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QFileInfo>

#include "TBoardFiles.h"
#include "formats/BoardHelpers.h"
#include "model/FakeLayout.h"

namespace {

class BoardFilesTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return Dir.filePath(QString::fromUtf8(name)); }
  std::string FullPath(const char* name) const {
    return QFileInfo(Path(name)).absoluteFilePath().toStdString();
  }
  std::vector<std::string> Load(const std::string& bytes) {
    WriteBytes(Path("board.pcb"), bytes);
    List.LoadFromFile(Path("board.pcb"));
    return Describe(List);
  }

  QTemporaryDir Dir;
  FakeLayout Layout;
  TElementList List{&Layout};
};

TEST_F(BoardFilesTest, TheExtensionChoosesTheFormat) {
  const std::pair<std::string, std::vector<const char*>> cases[] = {
      {"pcb", {"board.pcb", "BOARD.PCB", "b.Pcb", ".pcb", "C:b.pcb"}},
      {"wt5", {"/home/me/x.y/b.wt5", "b.WT5", "dir\\b.wt5"}},
      {"Invalid file extention",
       {"b.pcb.bak", "board", "dir.pcb/board", "dir.pcb\\board", "C.pcb:board", "b.pcb ", "b.txt",
        "b.", "b.p\xc3\x89", ""}}};
  for (const auto& [format, names] : cases) {
    for (const char* name : names) {
      const QString file = QString::fromUtf8(name);
      EXPECT_EQ(MessageOf([&] {
                  throw EBoardError(BoardFormatOf(file) == TBoardFormat::Pcb ? "pcb" : "wt5");
                }),
                format)
          << name;
    }
  }
}

TEST_F(BoardFilesTest, TheExampleBoardByteForByteAndEmptyBoards) {
  List.SaveToFile(Path("empty.pcb"));
  EXPECT_EQ(ReadBytes(Path("empty.pcb")), "*Solder*\r\n\r\n*Wire*\r\n");
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
  EXPECT_TRUE(Load("").empty());
  EXPECT_EQ(Layout.Renders, 2);
}

// The reader's rules through whole files (every board has an element at (80, 80), so the placing
// leaves it as it is).
TEST_F(BoardFilesTest, WhatTextsLoadAs) {
  const std::vector<std::string> wireAndPad = {"W 80, 80, 96, 80, 4", "P 80, 80, 4, 16, 0"};
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"*Wire*\r\n80, 80, 96, 80, 4\r\n*Solder*\r\n80, 80, 4, 16, 0\r\n", wireAndPad},
      {"*Wire*\n80, 80, 96, 80, 4\n*Solder*\n80, 80, 4, 16, 0\n", wireAndPad},
      {"*Wire*\r80, 80, 96, 80, 4\r*Solder*\r80, 80, 4, 16, 0", wireAndPad},
      // A NUL ends the text.
      {std::string("*Wire*\r\n80, 80, 96, 80, 4\r\n\0*Solder*\r\n80, 80, 4, 16, 0\r\n", 56),
       {"W 80, 80, 96, 80, 4"}},
      // Data before the first header; headers in any case; a blank after a header or before a
      // comment mark makes a malformed line, which is skipped as the others are.
      {"80, 80, 1, 1, 1\r\n*SOLDER*\r\n80, 80, 4, 16, 1\r\n*Wire* \r\n **\r\n80, 80, 4, 16, 2\r\n"
       "*wIRE*\r\n1, 2, 3, 4\r\n\t80, 80, 96, 80, 4\r\n80,80,96,96,8\r\n",
       {"P 80, 80, 4, 16, 1", "P 80, 80, 4, 16, 2", "W 80, 80, 96, 96, 8"}},
      // Comment blocks, the last one unclosed.
      {"*Wire*\r\n**\r\n0, 0, 0, 0, 4\r\n**\r\n80, 80, 96, 96, 8\r\n**\r\n0, 0, 1, 1, 2\r\n",
       {"W 80, 80, 96, 96, 8"}},
      // Sections repeat in any order; widths 0 and 1 read as 2; a pad's shape is the low byte.
      {"*Wire*\r\n80, 80, 96, 80, 0\r\n*Solder*\r\n80, 80, 4, 16, 257\r\n*Wire*\r\n80, 80, 96, "
       "80, 1\r\n80, 80, 96, 80, -4\r\n",
       {"W 80, 80, 96, 80, 2", "P 80, 80, 4, 16, 1", "W 80, 80, 96, 80, 2",
        "W 80, 80, 96, 80, -4"}},
      // One header is enough to make the text a board, an empty one included.
      {"not a line\r\n*wire*\r\n80, 80, 96, 80, 4\r\n", {"W 80, 80, 96, 80, 4"}},
      {"*SOLDER*", {}}};
  for (const auto& [text, board] : cases) EXPECT_EQ(Load(text), board) << text;
}

TEST_F(BoardFilesTest, ALoadedBoardIsPlacedAt80And80AndPadsAreSavedFirst) {
  EXPECT_EQ(Load("*Wire*\r\n160, 0, 16, 16, 4\r\n*Solder*\r\n0, 48, 4, 16, 1\r\n"),
            (std::vector<std::string>{"W 240, 80, 96, 96, 4", "P 80, 128, 4, 16, 1"}));
  List.SaveToFile(Path("moved.PCB"));
  EXPECT_EQ(ReadBytes(Path("moved.PCB")),
            "*Solder*\r\n80, 128, 4, 16, 1\r\n\r\n*Wire*\r\n240, 80, 96, 96, 4\r\n");
  // Pad sizes take no part; far out coordinates wrap rather than fail.
  EXPECT_EQ(Load("*Solder*\r\n-100, -50, 4, 1000, 0\r\n"),
            std::vector<std::string>{"P 80, 80, 4, 1000, 0"});
  EXPECT_EQ(Load("*Wire*\r\n-2147483648, 2147483647, 0, 0, 4\r\n"),
            std::vector<std::string>{"W 80, -2147483569, -2147483568, 80, 4"});
}

TEST_F(BoardFilesTest, AFailedLoadChangesNothing) {
  List.AddWire({1, 2}, {3, 4}, 4)->SetSelected(true);
  Layout.Offset = {-12, 34};
  const auto before = Describe(List);
  WriteBytes(Path("board.txt"), "*Wire*\r\n0, 0, 1, 1, 2\r\n");
  WriteBytes(Path("big.pcb"), "*Solder*\r\n1, 2, 3, 4, 0\r\n*Wire*\r\n1, 2, 3, 4, 2147483648\r\n");
  // Out of range even where the line would create nothing.
  WriteBytes(Path("nowhere.pcb"), "1, 2, 3, 4, +99999999999\r\n*Wire*\r\n");
  WriteBytes(Path("long.pcb"), "*Solder*\r\n1, 2, 3, 4, " + std::string(1000000, '7') + "\r\n");
  // Another program's board, bytes, and a header with a blank after it: no section header.
  WriteBytes(Path("text.pcb"), "(kicad_pcb (version 4)\n80, 80, 96, 80, 4\n");
  WriteBytes(Path("bytes.pcb"), std::string("\0PK\3\4\xA4\xB7\r\n*Wire*\r\n", 14));
  WriteBytes(Path("blank.pcb"), "*Wire* \r\n80, 80, 96, 80, 4\r\n1, 2, 3, 4, 99999999999\r\n");
  const auto notABoard = [&](const char* name) {
    return "The file \"" + FullPath(name) +
           "\" is not a board file: it has no *Solder* or *Wire* section";
  };
  QDir(Dir.path()).mkdir("folder.pcb");
  // A path of more than 100 characters is quoted by its first 50 and last 25.
  const std::string longName = std::string(120, 'n') + ".wt5",
                    longPath = FullPath(longName.c_str());
  const std::pair<const char*, std::string> cases[] = {
      {"board.txt", "Invalid file extention"},
      {"missing.wt5", "Impossible d'ouvrir le fichier \"" + FullPath("missing.wt5") +
                          "\". No such file or directory"},
      {"big.pcb", "'2147483648' n'est pas une valeur entière correcte"},
      {"nowhere.pcb", "'+99999999999' n'est pas une valeur entière correcte"},
      {"long.pcb", "'77777777777777777777…7777777777' n'est pas une valeur entière correcte"},
      {longName.c_str(), "Impossible d'ouvrir le fichier \"" + longPath.substr(0, 50) + "…" +
                             longPath.substr(longPath.size() - 25) +
                             "\". No such file or directory"},
      {"folder.pcb",
       "Impossible d'ouvrir le fichier \"" + FullPath("folder.pcb") + "\". Is a directory"},
      {"text.pcb", notABoard("text.pcb")},
      {"bytes.pcb", notABoard("bytes.pcb")},
      {"blank.pcb", notABoard("blank.pcb")}};
  for (const auto& c : cases) {
    EXPECT_EQ(MessageOf([&] { List.LoadFromFile(Path(c.first)); }), c.second);
    EXPECT_EQ(Describe(List), before);
    EXPECT_EQ(Layout.Offset, (TPoint{-12, 34}));
    EXPECT_TRUE(Layout.Modified);
    EXPECT_EQ(Layout.Renders, 0);
  }
  // A relative name is shown as the full path it stands for.
  EXPECT_EQ(MessageOf([&] { List.LoadFromFile("nowhere/../no-such-board.pcb"); }),
            "Impossible d'ouvrir le fichier \"" + QDir::currentPath().toStdString() +
                "/no-such-board.pcb\". No such file or directory");
}

TEST_F(BoardFilesTest, AFailedSaveLeavesTheOldFileWholeAndTheBoardModified) {
  const std::string old = "*Solder*\r\n\r\n*Wire*\r\n0, 0, 16, 16, 4\r\n";
  QDir(Dir.path()).mkpath("taken.wt5/inside");
  const auto saving = [&](const char* name) { return [&, name] { List.SaveToFile(Path(name)); }; };
  for (const char* name : {"old.pcb", "old.wt5"}) WriteBytes(Path(name), old);
  EXPECT_EQ(MessageOf([&] { List.SaveToFile("/dev/null/board.pcb"); }),
            "Impossible de créer le fichier \"/dev/null/board.pcb\". Not a directory");
  EXPECT_EQ(MessageOf(saving("taken.wt5")),
            "Impossible de créer le fichier \"" + FullPath("taken.wt5") + "\". Is a directory");
  EXPECT_TRUE(QFileInfo(Path("taken.wt5/inside")).isDir());
  EXPECT_EQ(MessageOf(saving("saved.pcb.bak")), "Invalid file extention");
  List.AddWire({0, 0}, {16, 0}, 0);  // no width: .wt5 files hold widths, not divisors
  EXPECT_EQ(MessageOf(saving("old.wt5")), "Division par zéro");
  EXPECT_EQ(MessageOf(saving("new.wt5")), "Division par zéro");
  EXPECT_TRUE(Layout.Modified);

  // The disk fills up: past 4 KB every write fails. A large board fails in the middle of the
  // save, a small one only when the last of it goes to disk as the file is put in place.
  for (int wires : {60000, 400}) {
    for (const char* name : {"old.pcb", "old.wt5"}) {
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
      const std::string message = MessageOf(saving(name));
      setrlimit(RLIMIT_FSIZE, &saved);
      sigaction(SIGXFSZ, &oldAction, nullptr);
      EXPECT_EQ(message,
                "Impossible de créer le fichier \"" + FullPath(name) + "\". File too large")
          << wires;
      EXPECT_EQ(ReadBytes(Path(name)), old);
      EXPECT_TRUE(Layout.Modified);
    }
  }
  // Nothing was created, not even a temporary file.
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"old.pcb", "old.wt5"}));
}

}  // namespace
