// The undo history: every kind of step done, undone and redone; random sessions undone to the
// loaded file's bytes; walking a wire chain back; the unsaved-changes flag.
#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QUndoStack>
#include <functional>
#include <random>

#include "LayoutTest.h"
#include "TBoardError.h"
#include "TChangeText.h"
#include "TCopperText.h"
#include "TPcbText.h"

namespace {

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
  // The step's name, its tool, whether the selection is kept (drawing, placing and pasting start
  // by clearing it), the pointer steps and then what else the user does.
  const struct {
    const char* step;
    TMouseAction tool;
    bool keepSelection;
    std::string pointer;
    std::function<void()> act = nullptr;
  } rows[] = {
      {"Add Wire", maWire, false, "C100,100 C150,100"},
      {"Add Pad", maSolder, false, "C120,20"},
      {"Delete Element", maDelete, true, "C20,10"},
      {"Delete 3 Elements", maSelect, true, "", [this] { w.DeleteSelected(); }},
      {"Cut 3 Elements", maSelect, true, "", [this] { w.CutToClipboard(); }},
      {"Paste 2 Elements", maSelect, false, "", [this] { w.PasteFromClipboard(); }},
      {"Add Text", maText, false, "C150,150"},
      {"Edit Text", maMove, true, "",
       [this] {
         const TPoint p = PixelOn(w.Elements().Items(4));
         const std::string at = std::to_string(p.X) + "," + std::to_string(p.Y);
         Do("C" + at + " d" + at);
       }},
      {"Add Fill", maFill, true, "C310,160 C390,160 C390,240 C310,160"},
      {"Fill Board", maSelect, true, "", [this] { w.FillBoard(); }},
      // Selecting is no step: these two leave the selection as they found it.
      {"Edit Fill", maMove, false, "C250,20 d250,20", [this] { w.ClearSelection(); }},
      {"Set Fill Seed", maSelect, false, "",
       [this] {
         w.Elements().Items(3)->SetSelected(true);
         w.Elements().Items(5)->SetSelected(true);
         w.SetFillSeed();
         w.ClearSelection();
       }},
      {"Move Fill Corner", maMove, true, "m300,150 p300,150 m280,120 r280,120"},
      {"Move 3 Elements", maMove, true, "m40,25 p40,25 m50,45 m60,45 m70,45 m80,45 m90,45 r90,45"},
  };
  // The window's text dialog, answered at once.
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
    w.SetMouseAction(row.tool);
    // Two wires, two pads and a text, the second wire, the first pad and the text selected, and
    // a fill over them seeded on the first pad.
    w.Clear();
    w.Elements().AddWire({16, 16}, {64, 16}, 4);
    w.Elements().AddSolder({64, 16}, 4, 12, sgCircle)->SetSelected(true);
    w.Elements().AddWire({64, 16}, {64, 64}, 2)->SetSelected(true);
    w.Elements().AddSolder({64, 64}, 4, 12, sgSquare);
    w.Elements().Append(std::make_unique<TCopperText>(&w, TPoint{320, 160}, "IN", 13, 2, 0, true));
    w.Elements().Items(4)->SetSelected(true);
    w.Elements().Append(std::make_unique<TCopperFill>(
        &w, std::vector<TPoint>{{0, 0}, {480, 0}, {480, 240}, {0, 240}}, true, TPoint{64, 16},
        TFillSettings{}));
    if (!row.keepSelection) w.ClearSelection();
    QGuiApplication::clipboard()->setText(QString::fromLatin1(clip));
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
    // The board is drawn as it now is, not as it was.
    QImage shown = w.BoardImage();
    w.RenderBoard();
    EXPECT_TRUE(SameImage(shown, w.BoardImage()));
  }
}

TEST_F(HistoryTest, RandomSessionsUndoToTheLoadedBytesAndRedoToTheLast) {
  QTemporaryDir dir;
  const std::string start =
      "*Solder*\r\n96, 96, 4, 12, 0\r\n160, 96, 4, 16, 1\r\n\r\n*Wire*\r\n"
      "96, 96, 160, 96, 4\r\n160, 96, 160, 160, 2\r\n";
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto pixel = [&]() -> TPoint { return {5 + pick(38) * 10, 5 + pick(28) * 10}; };
    auto clickAt = [&] {
      const TPoint p = pixel();
      Do("C" + std::to_string(p.X) + "," + std::to_string(p.Y));
    };
    const QString file = dir.filePath(QStringLiteral("b%1.pcb").arg(seed));
    {
      QFile f(file);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(start.data(), static_cast<qint64>(start.size()));
    }
    w.Elements().LoadFromFile(file);
    const std::string loaded = Bytes();
    const std::function<void()> actions[] = {
        [&] {  // a chain of wires
          w.SetMouseAction(maWire);
          for (int n = 1 + pick(3); n >= 0; --n) clickAt();
          w.CancelAction();
        },
        [&] { w.SetMouseAction(maSolder), clickAt(); },
        [&] { w.SetMouseAction(maDelete), clickAt(); },
        [&] { w.SetMouseAction(maSelect), Drag(pixel(), pixel()); },
        [&] { w.DeleteSelected(); },
        [&] { w.CutToClipboard(); },
        [&] { w.CopyToClipboard(), w.PasteFromClipboard(); },
        [&] {  // a press on an element's own point, then a drag of a few cells
          if (w.Elements().Count() == 0) return;
          const TPCBElement* e = w.Elements().Items(pick(w.Elements().Count()));
          const TPoint at = w.BoardToScreen(e->IsWire() ? static_cast<const TWire*>(e)->StartPoint()
                                                        : static_cast<const TSolder*>(e)->Center());
          w.SetMouseAction(maMove);
          Drag(at, {at.X + 10 * (pick(5) - 2), at.Y + 10 * (pick(5) - 2)});
        },
        [&] { w.Undo(); }};
    for (int action = 0; action < 40; ++action) actions[pick(9)]();
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
  ASSERT_EQ(w.Elements().Count(), 3);
  // Backspace, then Ctrl+Z: the last two wires go and the pending start goes back with them.
  EXPECT_TRUE(w.BackspacePressed());
  w.Undo();
  EXPECT_EQ(Board(), (Lines{"16, 16, 80, 16, 4"}));
  EXPECT_TRUE(w.WirePending());
  Do("C50,90");  // the chain goes on from (80, 16)
  EXPECT_EQ(Board(), (Lines{"16, 16, 80, 16, 4", "80, 16, 80, 144, 4"}));
  // Back past the chain's first wire, Backspace drops the start like Escape; Ctrl+Z after that
  // undoes as usual.
  for (bool more : {true, true, true, false}) EXPECT_EQ(w.BackspacePressed(), more);
  EXPECT_FALSE(w.WirePending());
  EXPECT_EQ(w.Elements().Count(), 0);
  EXPECT_FALSE(w.Modified());
  w.Redo();
  EXPECT_EQ(w.Elements().Count(), 1);
  // Another step in between ends the walk: Ctrl+Z then undoes that step and drops the start.
  w.SetMouseAction(maWire);
  Do("C10,100 C40,100");
  w.SelectAll();
  w.DeleteSelected();
  w.Undo();
  EXPECT_FALSE(w.WirePending());
  EXPECT_EQ(w.Elements().Count(), 2);
  // Undo in the middle of a drag takes back the drag so far, not the pad; the button is still
  // down, but the drag is over.
  w.Clear();
  w.SetMouseAction(maSolder);
  Do("C20,20");
  w.SetMouseAction(maMove);
  Do("m20,20 p20,20 m50,20");
  w.Undo();
  EXPECT_EQ(Board(), (Lines{"32, 32, 4, 16, 0 *"}));
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
  EXPECT_FALSE(w.Modified());
  w.Undo();
  EXPECT_TRUE(w.Modified());
  w.Redo();
  EXPECT_FALSE(w.Modified());
  // Declared changed, the board stays changed whatever is undone or redone.
  w.SetModified(true);
  w.Undo();
  w.Redo();
  EXPECT_TRUE(w.Modified());
  // A failed load changes neither the board nor its history.
  EXPECT_THROW(w.Elements().LoadFromFile(dir.filePath(QStringLiteral("missing.pcb"))), EBoardError);
  EXPECT_EQ(w.UndoStack().count(), 2);
  // Undone past the saved board and changed again, the saved board cannot come back.
  w.Undo();
  Do("C60,20");
  w.Undo();
  EXPECT_TRUE(w.Modified());
  // A loaded board starts a history of its own.
  w.Elements().LoadFromFile(file);
  EXPECT_EQ(w.UndoStack().count(), 0);
  EXPECT_FALSE(w.Modified());
}

}  // namespace
