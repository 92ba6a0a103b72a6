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
#include "TCopperFill.h"
#include "TCopperText.h"
#include "TPcbText.h"

namespace {

using Lines = std::vector<std::string>;

// One cell is 10 pixels and 16 board units: board point (16 a, 16 b) is at pixel (10 a, 10 b).
class HistoryTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  }
  // The board as its text lines, selected elements marked, and each fill's copper as the board
  // works it out, corner by corner.
  Lines Board() const {
    Lines lines;
    UpdateFills(w.Elements());
    for (int32_t i = 0; i < w.Elements().Count(); ++i) {
      const TPCBElement* e = w.Elements().Items(i);
      lines.push_back(e->ToText() + (e->Selected() ? " *" : ""));
      if (e->Kind() != ekFill) continue;
      std::string copper;
      for (const TFillArea& a : static_cast<const TCopperFill*>(e)->Areas())
        for (const TFillPath* path = &a.Outer; path; path = nullptr)
          for (const TFillPoint& q : *path)
            copper += std::to_string(q.X) + "," + std::to_string(q.Y) + " ";
      for (const TFillArea& a : static_cast<const TCopperFill*>(e)->Areas())
        for (const TFillPath& hole : a.Holes) copper += std::to_string(hole.size()) + " ";
      lines.push_back(copper);
    }
    return lines;
  }
  std::string Bytes() const {
    return WritePcbText(w.Elements(), [](const TPCBElement&) { return true; });
  }
  void ClickAt(TPoint p) {
    MoveTo(p);
    Click(p);
  }
  // Two wires, two pads and a text, the second wire, the first pad and the text selected, and a
  // fill over them seeded on the first pad.
  void FiveElements() {
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
  }
};

TEST_F(HistoryTest, EveryKindOfStepUndoesAndRedoesExactly) {
  const QByteArray clip = "*Solder*\r\n32, 32, 4, 12, 1\r\n\r\n*Wire*\r\n0, 0, 32, 0, 4\r\n";
  const struct {
    const char* step;
    TMouseAction tool;
    bool keepSelection;  // drawing, placing and pasting start by clearing the selection
    std::function<void()> act;
  } rows[] = {
      {"Add Wire", maWire, false,
       [this] {
         ClickAt({100, 100});
         ClickAt({150, 100});
       }},
      {"Add Pad", maSolder, false,
       [this] {
         ClickAt({120, 20});
       }},
      {"Delete Element", maDelete, true,
       [this] {
         ClickAt({20, 10});
       }},
      {"Delete 3 Elements", maSelect, true, [this] { w.DeleteSelected(); }},
      {"Cut 3 Elements", maSelect, true, [this] { w.CutToClipboard(); }},
      {"Paste 2 Elements", maSelect, false, [this] { w.PasteFromClipboard(); }},
      {"Add Text", maText, false,
       [this] {
         ClickAt({150, 150});
       }},
      {"Edit Text", maMove, true,
       [this] {
         const TPoint p = PixelOn(w.Elements().Items(4));
         ClickAt(p);
         QTest::mouseDClick(&w, Qt::LeftButton, {}, QPoint(p.X, p.Y));
         Release(p);
       }},
      {"Add Fill", maFill, true,
       [this] {
         for (TPoint p : {TPoint{310, 160}, {390, 160}, {390, 240}, {310, 160}}) ClickAt(p);
       }},
      {"Fill Board", maSelect, true, [this] { w.FillBoard(); }},
      // Selecting is no step: these two leave the selection as they found it.
      {"Edit Fill", maMove, false,
       [this] {
         ClickAt({250, 20});
         QTest::mouseDClick(&w, Qt::LeftButton, {}, QPoint(250, 20));
         Release({250, 20});
         w.ClearSelection();
       }},
      {"Set Fill Seed", maSelect, false,
       [this] {
         w.Elements().Items(3)->SetSelected(true);
         w.Elements().Items(5)->SetSelected(true);
         w.SetFillSeed();
         w.ClearSelection();
       }},
      {"Move Fill Corner", maMove, true,
       [this] {
         MoveTo({300, 150});
         Press({300, 150});
         MoveTo({280, 120});
         Release({280, 120});
       }},
      {"Move 3 Elements", maMove, true,
       [this] {
         MoveTo({40, 25});
         Press({40, 25});
         for (int x = 50; x <= 90; x += 10) MoveTo({x, 45});
         Release({90, 45});
       }},
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
    FiveElements();
    if (!row.keepSelection) w.ClearSelection();
    QGuiApplication::clipboard()->setText(QString::fromLatin1(clip));
    const Lines before = Board();
    row.act();
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
    const QString file = dir.filePath(QStringLiteral("b%1.pcb").arg(seed));
    {
      QFile f(file);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(start.data(), static_cast<qint64>(start.size()));
    }
    w.Elements().LoadFromFile(file);
    const std::string loaded = Bytes();
    for (int action = 0; action < 40; ++action) {
      switch (pick(9)) {
        case 0:  // a chain of wires
          w.SetMouseAction(maWire);
          for (int n = 1 + pick(3); n >= 0; --n) ClickAt(pixel());
          w.CancelAction();
          break;
        case 1:
          w.SetMouseAction(maSolder);
          ClickAt(pixel());
          break;
        case 2:
          w.SetMouseAction(maDelete);
          ClickAt(pixel());
          break;
        case 3: {
          w.SetMouseAction(maSelect);
          const TPoint a = pixel(), b = pixel();
          MoveTo(a), Press(a), MoveTo(b), Release(b);
          break;
        }
        case 4:
          w.DeleteSelected();
          break;
        case 5:
          w.CutToClipboard();
          break;
        case 6:
          w.CopyToClipboard();
          w.PasteFromClipboard();
          break;
        case 7: {
          if (w.Elements().Count() == 0) break;
          // Press on an element's own point, then drag a few cells.
          const TPCBElement* e = w.Elements().Items(pick(w.Elements().Count()));
          const TPoint at = w.BoardToScreen(e->IsWire() ? static_cast<const TWire*>(e)->StartPoint()
                                                        : static_cast<const TSolder*>(e)->Center());
          w.SetMouseAction(maMove);
          MoveTo(at), Press(at);
          const TPoint to{at.X + 10 * (pick(5) - 2), at.Y + 10 * (pick(5) - 2)};
          MoveTo(to), Release(to);
          break;
        }
        case 8:
          w.Undo();
          break;
      }
    }
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

TEST_F(HistoryTest, AChainIsWalkedBackWireByWire) {
  w.SetMouseAction(maWire);
  for (TPoint p : {TPoint{10, 10}, TPoint{50, 10}, TPoint{50, 50}, TPoint{90, 50}}) ClickAt(p);
  ASSERT_EQ(w.Elements().Count(), 3);
  // Backspace, then Ctrl+Z: the last two wires go and the pending start goes back with them.
  EXPECT_TRUE(w.BackspacePressed());
  w.Undo();
  EXPECT_EQ(Board(), (Lines{"16, 16, 80, 16, 4"}));
  EXPECT_TRUE(w.WirePending());
  ClickAt({50, 90});  // the chain goes on from (80, 16)
  EXPECT_EQ(Board(), (Lines{"16, 16, 80, 16, 4", "80, 16, 80, 144, 4"}));
  // Back past the chain's first wire, Backspace drops the start like Escape; Ctrl+Z after that
  // undoes as usual.
  EXPECT_TRUE(w.BackspacePressed());
  EXPECT_TRUE(w.BackspacePressed());
  EXPECT_TRUE(w.BackspacePressed());
  EXPECT_FALSE(w.WirePending());
  EXPECT_FALSE(w.BackspacePressed());
  EXPECT_EQ(w.Elements().Count(), 0);
  EXPECT_FALSE(w.Modified());
  w.Redo();
  EXPECT_EQ(w.Elements().Count(), 1);
  // Another step in between ends the walk: Ctrl+Z then undoes that step and drops the start.
  w.SetMouseAction(maWire);
  ClickAt({10, 100});
  ClickAt({40, 100});
  w.SelectAll();
  w.DeleteSelected();
  w.Undo();
  EXPECT_FALSE(w.WirePending());
  EXPECT_EQ(w.Elements().Count(), 2);
}

TEST_F(HistoryTest, UndoInTheMiddleOfADragEndsTheDragFirst) {
  w.SetMouseAction(maSolder);
  ClickAt({20, 20});
  w.SetMouseAction(maMove);
  MoveTo({20, 20});
  Press({20, 20});
  MoveTo({50, 20});
  w.Undo();  // takes back the drag so far, not the pad
  EXPECT_EQ(Board(), (Lines{"32, 32, 4, 16, 0 *"}));
  MoveTo({80, 20});  // the button is still down, but the drag is over
  Release({80, 20});
  EXPECT_EQ(Board(), (Lines{"32, 32, 4, 16, 0 *"}));
  EXPECT_EQ(w.UndoStack().undoText(), QStringLiteral("Add Pad"));
}

TEST_F(HistoryTest, TheFlagFollowsTheSavedBoardAndAFailedLoadKeepsTheHistory) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("board.pcb"));
  w.SetMouseAction(maSolder);
  ClickAt({20, 20});
  ClickAt({40, 20});
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
  ClickAt({60, 20});
  w.Undo();
  EXPECT_TRUE(w.Modified());
  // A loaded board starts a history of its own.
  w.Elements().LoadFromFile(file);
  EXPECT_EQ(w.UndoStack().count(), 0);
  EXPECT_FALSE(w.Modified());
}

}  // namespace
