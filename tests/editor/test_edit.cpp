#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QUndoStack>
#include <functional>

#include "LayoutTest.h"
#include "TBoardError.h"
#include "TChangeText.h"
#include "TPcbText.h"
#include "formats/BoardHelpers.h"

namespace {

void SetClipboard(const QByteArray& bytes) {
  QGuiApplication::clipboard()->setText(QString::fromLatin1(bytes));
}

class HistoryTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    Show();
  }
  std::string Bytes() const {
    return WritePcbText(w.Elements(), [](const TPCBElement&) { return true; });
  }
};

TEST_F(HistoryTest, EveryKindOfStepUndoesAndRedoesExactly) {
  const QByteArray clip = "*Solder*\r\n32, 32, 4, 12, 1\r\n\r\n*Wire*\r\n0, 0, 32, 0, 4\r\n";
  // The step, its tool, whether the selection stays, the pointer steps, then the rest.
  // clang-format off
  const struct { const char* step; TMouseAction tool; bool keepSelection; std::string pointer;
                 std::function<void()> act = nullptr; } rows[] = {
      // clang-format on
      {"Add Wire", maWire, false, "C100,100 C150,100"},
      {"Add Pad", maSolder, false, "C120,20"},
      {"Delete Element", maDelete, true, "C20,10"},
      {"Delete 3 Elements", maSelect, true, "", [this] { w.DeleteSelected(); }},
      {"Cut 3 Elements", maSelect, true, "", [this] { w.CutToClipboard(); }},
      {"Paste 2 Elements", maSelect, false, "", [this] { w.PasteFromClipboard(); }},
      {"Add Text", maText, false, "C150,150"},
      {"Edit Text", maMove, true, "C188,89 d188,89"},
      {"Add Fill", maFill, true, "C310,160 C390,160 C390,240 C310,160"},
      {"Fill Board", maSelect, true, "", [this] { w.FillBoard(); }},
      {"Edit Fill", maMove, false, "C250,20 d250,20", [this] { w.ClearSelection(); }},
      {"Set Fill Seed", maSelect, false, "",
       [this] {
         Select({3, 5}), w.SetFillSeed(), w.ClearSelection();
       }},
      {"Move Fill Corner", maMove, true, "m300,150 p300,150 m280,120 r280,120"},
      {"Move 3 Elements", maMove, true, "m40,25 p40,25 m50,45 m60,45 m70,45 m80,45 m90,45 r90,45"},
  };
  TTextFields typed{"+9V\nGND,*", 19, 3, 1, false};
  QObject::connect(&w, &TPCBLayout::TextWanted, &w, [&](TPoint at) { w.AddText(at, typed); });
  QObject::connect(&w, &TPCBLayout::TextEditWanted, &w, [&](int32_t i) { w.ChangeText(i, typed); });
  TFillSettings settings;
  settings.Clearance = 300000;
  settings.KeepIslands = true;
  QObject::connect(&w, &TPCBLayout::FillEditWanted, &w,
                   [&](int32_t i) { w.ChangeFillSettings(i, settings); });
  for (const auto& row : rows) {
    SCOPED_TRACE(row.step);
    w.SetMouseAction(row.tool), w.Clear();
    Put({"W 16, 16, 64, 16, 4", "P 64, 16, 4, 12, 0 *", "W 64, 16, 64, 64, 2 *",
         "P 64, 64, 4, 12, 1", "@TEXT 320, 160, 13, 2, 0, 1, IN *",
         "@FILL 1, 64, 16, 500000, 300000, 500000, 500000, 0, 4, 0, 0, 480, 0, 480, 240, 0, 240"});
    if (!row.keepSelection) w.ClearSelection();
    SetClipboard(clip);
    const Lines before = Board();
    Do(row.pointer);
    if (row.act) row.act();
    const Lines after = Board();
    ASSERT_NE(after, before);
    EXPECT_EQ(w.UndoStack().count(), 1);
    EXPECT_EQ(w.UndoStack().undoText(), QString::fromLatin1(row.step));
    EXPECT_TRUE(w.Modified());
    w.Undo();
    EXPECT_EQ(Board(), before);
    EXPECT_FALSE(w.Modified());
    w.Redo();
    EXPECT_EQ(Board(), after);
    EXPECT_TRUE(w.Modified());
    QImage shown = w.BoardImage();
    w.RenderBoard();
    EXPECT_TRUE(SameImage(shown, w.BoardImage()));
  }
}

TEST_F(HistoryTest, RandomSessionsUndoToTheLoadedBytesAndRedoToTheLast) {
  QTemporaryDir dir;
  SetClipboard("");  // nothing left over from another test to paste
  const std::string start =
      "*Solder*\r\n96, 96, 4, 12, 0\r\n160, 96, 4, 16, 1\r\n\r\n*Wire*\r\n"
      "96, 96, 160, 96, 4\r\n160, 96, 160, 160, 2\r\n";
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    TPick pick{std::mt19937(seed)};
    auto pixel = [&]() -> TPoint { return {5 + pick(0, 37) * 10, 5 + pick(0, 27) * 10}; };
    auto clickAt = [&] {
      const TPoint p = pixel();
      MoveTo(p), Click(p);
    };
    const QString file = dir.filePath(QStringLiteral("b%1.pcb").arg(seed));
    WriteBytes(file, start);
    w.Elements().LoadFromFile(file);
    const std::string loaded = Bytes();
    const std::function<void()> actions[] = {
        [&] {
          w.SetMouseAction(maWire);
          for (int n = 1 + pick(0, 2); n >= 0; --n) clickAt();
          w.CancelAction();
        },
        [&] { w.SetMouseAction(maSolder), clickAt(); },
        [&] { w.SetMouseAction(maDelete), clickAt(); },
        [&] { w.SetMouseAction(maSelect), Drag(pixel(), pixel()); },
        [&] { w.DeleteSelected(); },
        [&] { w.CutToClipboard(); },
        [&] { w.CopyToClipboard(), w.PasteFromClipboard(); },
        [&] {
          if (w.Elements().Count() == 0) return;
          const TPCBElement* e = w.Elements().Items(pick(0, w.Elements().Count() - 1));
          const TPoint at = w.BoardToScreen(e->IsWire() ? static_cast<const TWire*>(e)->StartPoint()
                                                        : static_cast<const TSolder*>(e)->Center());
          w.SetMouseAction(maMove);
          Drag(at, {at.X + 10 * pick(-2, 2), at.Y + 10 * pick(-2, 2)});
        },
        [&] { w.Undo(); }};
    for (int action = 0; action < 40; ++action) actions[pick(0, 8)]();
    const std::string last = Bytes();
    const int steps = w.UndoStack().index();
    for (int i = 0; i < steps; ++i) w.Undo();
    EXPECT_EQ(Bytes(), loaded);
    EXPECT_FALSE(w.Modified());
    for (int i = 0; i < steps; ++i) w.Redo();
    EXPECT_EQ(Bytes(), last);
    EXPECT_EQ(w.Modified(), steps > 0);
  }
}

TEST_F(HistoryTest, AChainIsWalkedBackWireByWireAndUndoEndsADragFirst) {
  w.SetMouseAction(maWire);
  Do("C10,10 C50,10 C50,50 C90,50");
  // Backspace, then Ctrl+Z: the last two wires go and the start goes back with them.
  EXPECT_TRUE(w.BackspacePressed());
  w.Undo();
  EXPECT_EQ(Board(), (Lines{"16, 16, 80, 16, 4"}));
  EXPECT_TRUE(w.WirePending());
  Do("C50,90");  // the chain goes on from (80, 16)
  EXPECT_EQ(Board(), (Lines{"16, 16, 80, 16, 4", "80, 16, 80, 144, 4"}));
  // Past the first wire Backspace drops the start like Escape.
  for (bool more : {true, true, true, false}) EXPECT_EQ(w.BackspacePressed(), more);
  EXPECT_FALSE(w.WirePending());
  EXPECT_EQ(w.Elements().Count(), 0);
  EXPECT_FALSE(w.Modified());
  // Undo during a drag takes back the drag so far, not the pad, and ends the drag.
  w.Clear(), w.SetMouseAction(maSolder), Do("C20,20"), w.SetMouseAction(maMove);
  Do("m20,20 p20,20 m50,20");
  w.Undo();
  Do("m80,20 r80,20");
  EXPECT_EQ(Board(), (Lines{"32, 32, 4, 16, 0 *"}));
  EXPECT_EQ(w.UndoStack().undoText(), QStringLiteral("Add Pad"));
}

TEST_F(HistoryTest, TheFlagFollowsTheSavedBoardAndAFailedLoadKeepsTheHistory) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("board.pcb"));
  w.SetMouseAction(maSolder);
  Do("C20,20 C40,20");
  w.Elements().SaveToFile(file);
  w.Undo(), w.Redo();
  EXPECT_FALSE(w.Modified());
  // Declared changed, the board stays changed whatever is undone or redone.
  w.SetModified(true), w.Undo(), w.Redo();
  EXPECT_TRUE(w.Modified());
  // A failed load keeps the history; undone past the saved board and changed, it cannot come back.
  EXPECT_THROW(w.Elements().LoadFromFile(dir.filePath(QStringLiteral("missing.pcb"))), EBoardError);
  w.Undo(), Do("C60,20"), w.Undo();
  EXPECT_TRUE(w.Modified());
  EXPECT_EQ(w.UndoStack().count(), 2);
  // A loaded board starts a history of its own.
  w.Elements().LoadFromFile(file);
  EXPECT_EQ(w.UndoStack().count(), 0);
  EXPECT_FALSE(w.Modified());
}

using ClipboardTest = LayoutTest;

TEST_F(ClipboardTest, CopyAndCutWriteTheSelectionByteForByte) {
  const char* padAndWire = "*Solder*\r\n80, 96, 4, 16, 0\r\n\r\n*Wire*\r\n80, 80, 96, 80, 4\r\n";
  // Selected elements, cut or copy, the clipboard after (null: unchanged), the board after a cut.
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
    Put({"W -16, 0, 32, 48, 16", "P 80, 96, 4, 16, 0", "W 80, 80, 96, 80, 4",
         "P 2147483647, -2147483648, 4, 12, 1"});
    Select(c.selected);
    SetClipboard("something else");
    const Lines before = Board();
    c.cut ? w.CutToClipboard() : w.CopyToClipboard();
    const bool cutSomething = c.cut && c.text;
    EXPECT_EQ(QGuiApplication::clipboard()->text().toLatin1(),
              QByteArray(c.text ? c.text : "something else"))
        << c.cut;
    EXPECT_EQ(Board(), cutSomething ? c.left : before) << c.cut;
    EXPECT_EQ(w.Modified(), cutSomething);
  }
}

TEST_F(ClipboardTest, EachPasteAddsASelectedCopyOneCellAway) {
  for (auto [step, d] : {std::pair<TPCBStep, int32_t>{gs1, 16}, {gs1By2, 8}, {gs1By16, 1}}) {
    w.Clear(), w.SetGridStep(step);
    Put({"P 80, 96, 4, 16, 0", "W 80, 80, 96, 80, 4",
         "@TEXT 80, 64, 13, 2, 1, 1, a%2Cb%2A\xE9%25%0Ac"});
    w.SelectAll(), w.CopyToClipboard();
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
           {QByteArray(), true, "<no error>"},
           {QByteArray("\0, 1, 2", 7), true, "<no error>"},
           {"Hello, world\r\n1, 2, 3, 4, 5\r\n", false, "<no error>"},
           {"*Wire*\r\n1, 2, 3, 4, 5\r\n1, 2, 3, 4, -2147483649\r\n6, 7, 8, 9, 10\r\n", true,
            "'-2147483649' n'est pas une valeur enti\xc3\xa8re correcte"},
           {"*Solder*\r\n1, 2, 3, 4, " + QByteArray(1000000, '7'), true,
            "'77777777777777777777\xe2\x80\xa6" "7777777777' n'est pas une valeur "
            "enti\xc3\xa8re correcte"}}) {
    // clang-format on
    w.Clear(), Put({"P 0, 0, 4, 16, 0 *", "W 0, 0, 16, 0, 4"}), w.RenderBoard();
    const QImage before = w.BoardImage().copy();
    SetClipboard(text);
    EXPECT_EQ(MessageOf([this] { w.PasteFromClipboard(); }), error);
    EXPECT_EQ(Board(),
              (Lines{keepsSelection ? "0, 0, 4, 16, 0 *" : "0, 0, 4, 16, 0", "0, 0, 16, 0, 4"}));
    EXPECT_FALSE(w.Modified());
    EXPECT_TRUE(!keepsSelection || SameImage(w.BoardImage(), before));
  }
}

TEST_F(ClipboardTest, SelectAllDeleteAndMoveMarkOnlyRealChanges) {
  w.SelectAll(), w.DeleteSelected(), w.MoveSelected(16, 16);
  EXPECT_FALSE(w.Modified());  // nothing to act on
  Put({"P 80, 96, 4, 16, 0", "W 80, 80, 96, 80, 4 *", "P 16, 16, 4, 16, 1"});
  w.MoveSelected(-16, INT32_MAX);  // wraps at 32 bits
  EXPECT_EQ(Board()[1], "64, -2147483569, 80, -2147483569, 4 *");
  w.SetModified(false), w.MoveSelected(0, 0);  // a move by nothing counts when something is chosen
  EXPECT_TRUE(w.Modified());
  w.DeleteSelected(), w.SetModified(false), w.SelectAll();
  EXPECT_EQ(Board(), (Lines{"80, 96, 4, 16, 0 *", "16, 16, 4, 16, 1 *"}));
  EXPECT_FALSE(w.Modified());
}

class PartsTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    Put({"W 0, 0, 32, 0, 4", "W 0, 16, 32, 16, 4 *", "P 48, 0, 4, 12, 0 *", "P 48, 32, 5, 16, 1 *",
         "P 80, 0, 4, 12, 0"});
  }
  // The board's lines joined by " | ", selected elements marked; or only the (un)selected ones.
  std::string Board(int selected = -1) const {
    std::string text;
    for (const std::string& line : Describe(w.Elements()))
      if (selected < 0 || (line.back() == '*') == bool(selected))
        text += (text.empty() ? "" : " | ") + line;
    return text;
  }
  std::string Step() const { return w.UndoStack().undoText().toStdString(); }
};

TEST_F(PartsTest, ASettingChangesTheSelectedElementsInOneStep) {
  // A selected SMD pad last: the through-hole settings pass it by, its own pass the others by.
  Put({"@SMD 96, 0, 8, 9, 25 *"});
  const std::string before = Board();
  const Lines was = Describe(w.Elements());
  // The step's name (none: nothing changes) and the elements' lines that changed.
  // clang-format off
  for (const auto& [property, value, step, changed] :
       Table<TElementProperty, int32_t, const char*, std::string>{
           {epWireWidth, 8, "Change Width of Element", "W 0, 16, 32, 16, 8 *"},
           {epPadSize, 20, "Resize 2 Elements", "P 48, 0, 4, 20, 0 * | P 48, 32, 5, 20, 1 *"},
           {epHole, 5, "Change Hole of Element", "P 48, 0, 5, 12, 0 *"},
           {epPadShape, sgSquare, "Reshape Element", "P 48, 0, 4, 12, 1 *"},
           {epSmdWidth, 4, "Resize Element", "@SMD 96, 0, 4, 9, 25 *"},
           {epSmdHeight, 12, "Resize Element", "@SMD 96, 0, 8, 12, 25 *"},
           {epSmdRoundness, 0, "Change Roundness of Element", "@SMD 96, 0, 8, 9, 0 *"},
           {epWireWidth, 4, "", ""}, {epSmdHeight, 9, "", ""}}) {
    // clang-format on
    w.SetModified(false);
    w.ChangeSelected(property, value);
    const Lines now = Describe(w.Elements());
    std::string text;
    for (size_t i = 0; i < now.size() && now.size() == was.size(); ++i)
      if (now[i] != was[i]) text += (text.empty() ? "" : " | ") + now[i];
    EXPECT_EQ(text, changed) << step;
    EXPECT_EQ(w.Modified(), *step != '\0');
    if (!*step) continue;
    EXPECT_EQ(Step(), step);
    w.Undo();
    EXPECT_EQ(Board(), before) << step;
  }
  // A hole as large as a selected pad is refused before anything changes.
  const int steps = w.UndoStack().count();
  EXPECT_EQ(MessageOf([&] { w.ChangeSelected(epHole, 12); }),
            "A hole of 1.91 mm must be smaller than its pad of 1.91 mm");
  EXPECT_EQ(MessageOf([&] { w.ChangeSelected(epPadSize, 5); }),
            "A hole of 0.79 mm must be smaller than its pad of 0.79 mm");
  EXPECT_EQ(Board(), before);
  EXPECT_EQ(w.UndoStack().count(), steps);
}

TEST_F(PartsTest, TurnsTakeTheSelectionAboutItsPivotATextFlipsItsSideAndFieldsAreChecked) {
  // About the grid point nearest the extent's middle, a text alone about its anchor; a mirror
  // also flips a text's side.
  Put({"@TEXT 16, 32, 13, 2, 1, 1, +9V"});
  auto rotate = &TPCBLayout::RotateSelected, mirror = &TPCBLayout::MirrorSelected;
  for (const auto& [selected, turn, step, after] :
       Table<std::vector<int>, decltype(rotate), const char*, const char*>{
           // clang-format off
           {{1, 2, 3}, rotate, "Rotate 3 Elements",
            "W 16, 0, 16, 32, 4 * | P 32, 48, 4, 12, 0 * | P 0, 48, 5, 16, 1 *"},
           {{1, 2, 3}, mirror, "Mirror 3 Elements",
            "W 32, 16, 0, 16, 4 * | P -16, 0, 4, 12, 0 * | P -16, 32, 5, 16, 1 *"},
           {{5}, rotate, "Rotate Element", "@TEXT 16, 32, 13, 2, 2, 1, +9V *"},
           {{5}, mirror, "Mirror Element", "@TEXT 16, 32, 13, 2, 3, 0, +9V *"},
           {{2, 3, 5}, rotate, "Rotate 3 Elements",
            "P 48, 32, 4, 12, 0 * | P 16, 32, 5, 16, 1 * | @TEXT 16, 0, 13, 2, 2, 1, +9V *"},
           {{2, 3, 5}, mirror, "Mirror 3 Elements",
            "P 16, 0, 4, 12, 0 * | P 16, 32, 5, 16, 1 * | @TEXT 48, 32, 13, 2, 3, 0, +9V *"},
           {{}, rotate, "", ""}}) {
    // clang-format on
    Select(selected);
    const std::string before = Board(), still = Board(false);
    const int steps = w.UndoStack().count();
    (w.*turn)();
    EXPECT_EQ(Board(true), after) << step;
    EXPECT_EQ(Board(false), still) << step;
    EXPECT_EQ(w.UndoStack().count(), steps + (*step != 0));
    if (!*step) continue;
    EXPECT_EQ(Step(), step);
    w.Undo();
    EXPECT_EQ(Board(), before) << step;
    w.Redo();
    for (int i = turn == rotate ? 3 : 1; i > 0; --i) (w.*turn)();  // back where it started
    EXPECT_EQ(Board(), before) << step;
  }
  // The same fields make no step.
  const int steps = w.UndoStack().count();
  w.ChangeText(5, TTextFields::Of(static_cast<const TCopperText&>(*w.Elements().Items(5))));
  EXPECT_EQ(w.UndoStack().count(), steps);
}

TEST_F(PartsTest, AFootprintStartsAtTheGridPointAboveAndLeftOfTheSelection) {
  Select({0, 4});
  w.Elements().Items(0)->Move(21, 35);  // now from (21, 35) to (53, 35)
  EXPECT_EQ(w.SelectionAsFootprint(),
            "*Solder*\r\n64, 0, 4, 12, 0\r\n\r\n*Wire*\r\n5, 35, 37, 35, 4\r\n");
  w.ClearSelection();
  EXPECT_EQ(w.SelectionAsFootprint(), "");
}

}  // namespace
