#include <QClipboard>
#include <QGuiApplication>

#include "LayoutTest.h"
#include "TBoardError.h"

namespace {

class ClipboardTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    QGuiApplication::clipboard()->clear();
  }

  static void SetClipboard(const QByteArray& bytes) {
    QGuiApplication::clipboard()->setText(QString::fromLatin1(bytes));
  }
  static QByteArray Clipboard() { return QGuiApplication::clipboard()->text().toLatin1(); }

  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < w.Elements().Count(); ++i) {
      const TPCBElement* e = w.Elements().Items(i);
      lines.push_back(e->ToText() + (e->Selected() ? " *" : ""));
    }
    return lines;
  }
};

TEST_F(ClipboardTest, CopyWritesTheSelectionAsBoardText) {
  const struct {
    const char* name;
    std::vector<int> selected;  // indices into the board below
    const char* text;
  } cases[] = {
      {"pad and wire",
       {1, 2},
       "*Solder*\r\n80, 96, 4, 16, 0\r\n\r\n*Wire*\r\n80, 80, 96, 80, 4\r\n"},
      {"wires only",
       {0, 2},
       "*Solder*\r\n\r\n*Wire*\r\n-16, 0, 32, 48, 16\r\n80, 80, 96, 80, 4\r\n"},
      {"pads first, list order",
       {3, 0, 1},
       "*Solder*\r\n80, 96, 4, 16, 0\r\n2147483647, -2147483648, 4, 12, 1\r\n\r\n*Wire*\r\n"
       "-16, 0, 32, 48, 16\r\n"},
  };
  w.Elements().AddWire({-16, 0}, {32, 48}, 16);
  w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
  w.Elements().AddWire({80, 80}, {96, 80}, 4);
  w.Elements().AddSolder({INT32_MAX, INT32_MIN}, 4, 12, sgSquare);
  for (const auto& c : cases) {
    w.ClearSelection();
    for (int i : c.selected) w.Elements().Items(i)->SetSelected(true);
    const std::vector<std::string> before = Lines();
    w.CopyToClipboard();
    EXPECT_EQ(Clipboard(), QByteArray(c.text)) << c.name;
    EXPECT_EQ(Lines(), before) << c.name;
    EXPECT_FALSE(w.Modified());
  }
}

TEST_F(ClipboardTest, EmptySelectionLeavesClipboardAndBoardAlone) {
  w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
  SetClipboard("something else");
  w.CopyToClipboard();
  EXPECT_EQ(Clipboard(), QByteArray("something else"));
  w.CutToClipboard();
  EXPECT_EQ(Clipboard(), QByteArray("something else"));
  EXPECT_EQ(w.Elements().Count(), 1);
  EXPECT_FALSE(w.Modified());
}

TEST_F(ClipboardTest, CutCopiesThenDeletes) {
  w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
  w.Elements().AddWire({80, 80}, {96, 80}, 4);
  w.Elements().AddSolder({16, 16}, 4, 16, sgSquare);
  w.Elements().Items(0)->SetSelected(true);
  w.Elements().Items(1)->SetSelected(true);
  w.CutToClipboard();
  EXPECT_EQ(Clipboard(), QByteArray("*Solder*\r\n80, 96, 4, 16, 0\r\n\r\n*Wire*\r\n"
                                    "80, 80, 96, 80, 4\r\n"));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"16, 16, 4, 16, 1"}));
  EXPECT_TRUE(w.Modified());
}

TEST_F(ClipboardTest, PasteAddsASelectedCopyOneCellAway) {
  const struct {
    TPCBStep step;
    int32_t cell;
  } cases[] = {{gs1, 16}, {gs1By2, 8}, {gs1By4, 4}, {gs1By8, 2}, {gs1By16, 1}};
  for (const auto& c : cases) {
    w.Clear();
    w.SetGridStep(c.step);
    w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
    w.Elements().AddWire({80, 80}, {96, 80}, 4);
    w.SelectAll();
    w.CopyToClipboard();
    w.PasteFromClipboard();
    const int32_t d = c.cell;
    const std::vector<std::string> once{
        "80, 96, 4, 16, 0", "80, 80, 96, 80, 4",
        std::to_string(80 + d) + ", " + std::to_string(96 + d) + ", 4, 16, 0 *",
        std::to_string(80 + d) + ", " + std::to_string(80 + d) + ", " + std::to_string(96 + d) +
            ", " + std::to_string(80 + d) + ", 4 *"};
    EXPECT_EQ(Lines(), once) << int(c.step);
    EXPECT_TRUE(w.Modified());
    // A second paste lands on the first: the offset is from the text, not from the last paste.
    w.PasteFromClipboard();
    std::vector<std::string> twice = once;
    twice[2].resize(twice[2].size() - 2);
    twice[3].resize(twice[3].size() - 2);
    twice.push_back(once[2]);
    twice.push_back(once[3]);
    EXPECT_EQ(Lines(), twice) << int(c.step);
  }
  // The pasted elements are shown selected, in the focus colour.
  w.SetFocusColor(0x0000FF);
  w.RenderBoard();
  const TPoint shown = w.BoardToScreen({81, 97});
  EXPECT_EQ(BoardAt(shown.X, shown.Y + 2), 0x0000FFu);
}

TEST_F(ClipboardTest, PasteReadsAnyBoardText) {
  const struct {
    const char* name;
    QByteArray text;
    std::vector<std::string> lines;
    bool modified;
  } cases[] = {
      {"lone CR and LF, capital headers, no final line end",
       "*WIRE*\r80, 80, 96, 80, 0\n*solder*\r\n  +1 ,-2,3 ,4,  257",
       {"96, 96, 112, 96, 2 *", "17, 14, 3, 4, 1 *"},
       true},
      {"comment block and bytes beyond ASCII",
       "*Solder*\r\n**\r\n1, 2, 3, 4, 5\r\n**\r\n\xe9t\xe9\r\n6, 7, 8, 9, 0\r\n",
       {"22, 23, 8, 9, 0 *"},
       true},
      {"text that is not a board", "Hello, world\r\n1, 2, 3, 4, 5\r\n", {}, false},
  };
  for (const auto& c : cases) {
    w.Clear();
    w.Elements().AddSolder({0, 0}, 4, 16, sgCircle)->SetSelected(true);
    SetClipboard(c.text);
    w.PasteFromClipboard();
    // The element that was selected before is not any more.
    std::vector<std::string> expected{"0, 0, 4, 16, 0"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(Lines(), expected) << c.name;
    EXPECT_EQ(w.Modified(), c.modified) << c.name;
  }
}

TEST_F(ClipboardTest, PasteOfNothingChangesNothing) {
  w.Elements().AddSolder({0, 0}, 4, 16, sgCircle)->SetSelected(true);
  for (const QByteArray& text : {QByteArray(), QByteArray("\0, 1, 2", 7)}) {
    SetClipboard(text);
    w.PasteFromClipboard();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"0, 0, 4, 16, 0 *"}));
    EXPECT_FALSE(w.Modified());
  }
  QGuiApplication::clipboard()->clear();
  w.PasteFromClipboard();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"0, 0, 4, 16, 0 *"}));
}

TEST_F(ClipboardTest, PasteOfANumberOutOfRangeChangesNothing) {
  w.Elements().AddSolder({0, 0}, 4, 16, sgCircle)->SetSelected(true);
  w.Elements().AddWire({0, 0}, {16, 0}, 4);
  w.RenderBoard();
  const QImage before = w.BoardImage().copy();
  SetClipboard("*Wire*\r\n1, 2, 3, 4, 5\r\n1, 2, 3, 4, -2147483649\r\n6, 7, 8, 9, 10\r\n");
  try {
    w.PasteFromClipboard();
    FAIL() << "the paste went through";
  } catch (const EBoardError& e) {
    EXPECT_STREQ(e.what(), "'-2147483649' n'est pas une valeur enti\xc3\xa8re correcte");
  }
  EXPECT_EQ(Lines(), (std::vector<std::string>{"0, 0, 4, 16, 0 *", "0, 0, 16, 0, 4"}));
  EXPECT_FALSE(w.Modified());
  EXPECT_TRUE(SameImage(w.BoardImage(), before));
}

TEST_F(ClipboardTest, SelectAllAndDeleteSelected) {
  // On an empty board neither touches the flag.
  w.SelectAll();
  w.DeleteSelected();
  EXPECT_FALSE(w.Modified());
  w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
  w.Elements().AddWire({80, 80}, {96, 80}, 4);
  w.Elements().AddSolder({16, 16}, 4, 16, sgSquare);
  w.Elements().Items(1)->SetSelected(true);
  w.DeleteSelected();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"80, 96, 4, 16, 0", "16, 16, 4, 16, 1"}));
  EXPECT_TRUE(w.Modified());
  w.SetModified(false);
  w.SelectAll();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"80, 96, 4, 16, 0 *", "16, 16, 4, 16, 1 *"}));
  EXPECT_FALSE(w.Modified());
  w.DeleteSelected();
  EXPECT_EQ(w.Elements().Count(), 0);
  EXPECT_TRUE(w.Modified());
}

TEST_F(ClipboardTest, MoveSelectedMovesOnlyTheSelection) {
  w.MoveSelected(16, 16);
  EXPECT_FALSE(w.Modified());
  w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
  w.Elements().AddWire({80, 80}, {96, 80}, 4)->SetSelected(true);
  w.MoveSelected(-16, INT32_MAX);  // wraps at 32 bits
  EXPECT_EQ(Lines(), (std::vector<std::string>{"80, 96, 4, 16, 0",
                                               "64, -2147483569, 80, -2147483569, 4 *"}));
  EXPECT_TRUE(w.Modified());
  // Also a move by nothing counts as a change when something is selected.
  w.SetModified(false);
  w.MoveSelected(0, 0);
  EXPECT_TRUE(w.Modified());
}

}  // namespace
