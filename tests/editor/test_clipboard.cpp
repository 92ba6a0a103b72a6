#include <QClipboard>
#include <QGuiApplication>

#include "LayoutTest.h"
#include "TBoardError.h"
#include "TCopperText.h"

namespace {

class ClipboardTest : public LayoutTest {
 protected:
  static void SetClipboard(const QByteArray& bytes) {
    QGuiApplication::clipboard()->setText(QString::fromLatin1(bytes));
  }
  static QByteArray Clipboard() { return QGuiApplication::clipboard()->text().toLatin1(); }
};

TEST_F(ClipboardTest, CopyAndCutWriteTheSelectionByteForByte) {
  const char* padAndWire = "*Solder*\r\n80, 96, 4, 16, 0\r\n\r\n*Wire*\r\n80, 80, 96, 80, 4\r\n";
  // Selected elements, cut or copy, the clipboard text after (null: it keeps what it had), and
  // the board after a cut.
  // clang-format off
  const struct { std::vector<int> selected; bool cut; const char* text; Lines left; } cases[] = {
      {{1, 2}, false, padAndWire, {}},
      {{0, 2}, false, "*Solder*\r\n\r\n*Wire*\r\n-16, 0, 32, 48, 16\r\n80, 80, 96, 80, 4\r\n", {}},
      {{3, 0, 1}, false, "*Solder*\r\n80, 96, 4, 16, 0\r\n2147483647, -2147483648, 4, 12, 1\r\n"
                         "\r\n*Wire*\r\n-16, 0, 32, 48, 16\r\n", {}},  // pads first, in list order
      {{}, false, nullptr, {}},
      {{1, 2}, true, padAndWire, {"-16, 0, 32, 48, 16", "2147483647, -2147483648, 4, 12, 1"}},
      {{}, true, nullptr, {}}};
  // clang-format on
  for (const auto& c : cases) {
    w.Clear();
    w.Elements().AddWire({-16, 0}, {32, 48}, 16);
    w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
    w.Elements().AddWire({80, 80}, {96, 80}, 4);
    w.Elements().AddSolder({INT32_MAX, INT32_MIN}, 4, 12, sgSquare);
    for (int i : c.selected) w.Elements().Items(i)->SetSelected(true);
    SetClipboard("something else");
    const Lines before = Board();
    c.cut ? w.CutToClipboard() : w.CopyToClipboard();
    const bool cutSomething = c.cut && c.text;
    EXPECT_EQ(Clipboard(), QByteArray(c.text ? c.text : "something else")) << c.cut;
    EXPECT_EQ(Board(), cutSomething ? c.left : before) << c.cut;
    EXPECT_EQ(w.Modified(), cutSomething);
  }
}

TEST_F(ClipboardTest, EachPasteAddsASelectedCopyOneCellAway) {
  for (auto [step, d] : {std::pair<TPCBStep, int32_t>{gs1, 16}, {gs1By2, 8}, {gs1By16, 1}}) {
    w.Clear();
    w.SetGridStep(step);
    w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
    w.Elements().AddWire({80, 80}, {96, 80}, 4);
    // A text with the characters its record writes escaped, and a letter beyond ASCII.
    w.Elements().Append(
        std::make_unique<TCopperText>(&w, TPoint{80, 64}, "a,b*\xE9%\nc", 13, 2, 1, true));
    w.SelectAll();
    w.CopyToClipboard();
    const std::string a = std::to_string(80 + d), b = std::to_string(96 + d);
    const std::string pad = a + ", " + b + ", 4, 16, 0", wire = a + ", " + a + ", " + b + ", " + a;
    const std::string fields = ", 13, 2, 1, 1, a%2Cb%2A\xE9%25%0Ac";
    const std::string text = "@TEXT 80, 64" + fields;
    const std::string moved = "@TEXT " + a + ", " + std::to_string(64 + d) + fields;
    w.PasteFromClipboard();
    EXPECT_EQ(Board(), (Lines{"80, 96, 4, 16, 0", "80, 80, 96, 80, 4", text, pad + " *",
                              wire + ", 4 *", moved + " *"}));
    EXPECT_TRUE(w.Modified());
    // The second lands on the first: the offset is from the text, not from the last paste.
    w.PasteFromClipboard();
    EXPECT_EQ(Board(), (Lines{"80, 96, 4, 16, 0", "80, 80, 96, 80, 4", text, pad, wire + ", 4",
                              moved, pad + " *", wire + ", 4 *", moved + " *"}));
  }
}

TEST_F(ClipboardTest, PasteThatAddsNothingChangesNothing) {
  // clang-format off
  for (auto [text, keepsSelection, error] : Table<QByteArray, bool, std::string>{
           {QByteArray(), true, ""},
           {QByteArray("\0, 1, 2", 7), true, ""},
           {"Hello, world\r\n1, 2, 3, 4, 5\r\n", false, ""},
           {"*Wire*\r\n1, 2, 3, 4, 5\r\n1, 2, 3, 4, -2147483649\r\n6, 7, 8, 9, 10\r\n", true,
            "'-2147483649' n'est pas une valeur enti\xc3\xa8re correcte"},
           {"*Solder*\r\n1, 2, 3, 4, " + QByteArray(1000000, '7'), true,
            "'77777777777777777777\xe2\x80\xa6" "7777777777' n'est pas une valeur "
            "enti\xc3\xa8re correcte"}}) {
    // clang-format on
    w.Clear();
    w.Elements().AddSolder({0, 0}, 4, 16, sgCircle)->SetSelected(true);
    w.Elements().AddWire({0, 0}, {16, 0}, 4);
    w.RenderBoard();
    const QImage before = w.BoardImage().copy();
    SetClipboard(text);
    std::string raised;
    try {
      w.PasteFromClipboard();
    } catch (const EBoardError& e) {
      raised = e.what();
    }
    EXPECT_EQ(raised, error);
    EXPECT_EQ(Board(),
              (Lines{keepsSelection ? "0, 0, 4, 16, 0 *" : "0, 0, 4, 16, 0", "0, 0, 16, 0, 4"}));
    EXPECT_FALSE(w.Modified());
    EXPECT_TRUE(!keepsSelection || SameImage(w.BoardImage(), before));
  }
}

TEST_F(ClipboardTest, SelectAllDeleteAndMoveMarkOnlyRealChanges) {
  w.SelectAll();
  w.DeleteSelected();
  w.MoveSelected(16, 16);
  EXPECT_FALSE(w.Modified());  // nothing to act on
  w.Elements().AddSolder({80, 96}, 4, 16, sgCircle);
  w.Elements().AddWire({80, 80}, {96, 80}, 4)->SetSelected(true);
  w.Elements().AddSolder({16, 16}, 4, 16, sgSquare);
  w.MoveSelected(-16, INT32_MAX);  // wraps at 32 bits
  EXPECT_EQ(Board()[1], "64, -2147483569, 80, -2147483569, 4 *");
  EXPECT_TRUE(w.Modified());
  w.SetModified(false);
  w.MoveSelected(0, 0);  // a move by nothing still counts when something is selected
  EXPECT_TRUE(w.Modified());
  w.DeleteSelected();
  EXPECT_EQ(Board(), (Lines{"80, 96, 4, 16, 0", "16, 16, 4, 16, 1"}));
  w.SetModified(false);
  w.SelectAll();
  EXPECT_EQ(Board(), (Lines{"80, 96, 4, 16, 0 *", "16, 16, 4, 16, 1 *"}));
  EXPECT_FALSE(w.Modified());
  w.DeleteSelected();
  EXPECT_EQ(w.Elements().Count(), 0);
  EXPECT_TRUE(w.Modified());
}

}  // namespace
