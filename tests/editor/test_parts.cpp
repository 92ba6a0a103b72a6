// Settings given to the selection, quarter turns and mirrors, and parts put down: each one step.
#include <QUndoStack>

#include "LayoutTest.h"
#include "TBoardError.h"

namespace {

using Lines = std::vector<std::string>;

class PartsTest : public LayoutTest {
 protected:
  // Two wires and three pads; the second wire and the first two pads are selected.
  void SetUp() override {
    LayoutTest::SetUp();
    TElementList& list = w.Elements();
    list.AddWire({0, 0}, {32, 0}, 4);
    list.AddWire({0, 16}, {32, 16}, 4)->SetSelected(true);
    list.AddSolder({48, 0}, 4, 12, 0)->SetSelected(true);
    list.AddSolder({48, 32}, 5, 16, 1)->SetSelected(true);
    list.AddSolder({80, 0}, 4, 12, 0);
  }
  Lines Board() const {
    Lines lines;
    for (int32_t i = 0; i < w.Elements().Count(); ++i) {
      const TPCBElement* e = w.Elements().Items(i);
      lines.push_back(e->ToText() + (e->Selected() ? " *" : ""));
    }
    return lines;
  }
  std::string Error(const std::function<void()>& action) {
    try {
      action();
    } catch (const EBoardError& e) {
      return e.what();
    }
    return "";
  }
};

TEST_F(PartsTest, ASettingChangesTheSelectedElementsInOneStep) {
  const Lines before = Board();
  const struct {
    TElementProperty property;
    int32_t value;
    const char* step;  // empty: nothing changes
    Lines after;
  } cases[] = {
      {epWireWidth,
       8,
       "Change Width of Element",
       {before[0], "0, 16, 32, 16, 8 *", before[2], before[3], before[4]}},
      {epPadSize,
       20,
       "Resize 2 Elements",
       {before[0], before[1], "48, 0, 4, 20, 0 *", "48, 32, 5, 20, 1 *", before[4]}},
      {epHole,
       5,
       "Change Hole of Element",
       {before[0], before[1], "48, 0, 5, 12, 0 *", before[3], before[4]}},
      {epPadShape,
       sgSquare,
       "Reshape Element",
       {before[0], before[1], "48, 0, 4, 12, 1 *", before[3], before[4]}},
      {epWireWidth, 4, "", before},
  };
  for (const auto& c : cases) {
    w.SetModified(false);
    w.ChangeSelected(c.property, c.value);
    EXPECT_EQ(Board(), c.after) << c.step;
    EXPECT_EQ(w.Modified(), *c.step != '\0');
    if (!*c.step) continue;
    EXPECT_EQ(w.UndoStack().undoText().toStdString(), c.step);
    w.Undo();
    EXPECT_EQ(Board(), before) << c.step;
    w.Redo();
    EXPECT_EQ(Board(), c.after) << c.step;
    w.Undo();
  }
  // A hole as large as a selected pad is refused before anything changes.
  const int steps = w.UndoStack().count();
  EXPECT_EQ(Error([&] { w.ChangeSelected(epHole, 12); }),
            "A hole of 1.91 mm must be smaller than its pad of 1.91 mm");
  EXPECT_EQ(Error([&] { w.ChangeSelected(epPadSize, 5); }),
            "A hole of 0.79 mm must be smaller than its pad of 0.79 mm");
  EXPECT_EQ(Board(), before);
  EXPECT_EQ(w.UndoStack().count(), steps);
}

TEST_F(PartsTest, RotateAndMirrorTurnOnlyTheSelectionAndUndoExactly) {
  const Lines before = Board();
  // Extent (0, 0)-(48, 32): the middle (24, 16) lies between columns 1 and 2 of row 1; column 1
  // makes an even sum, so the pivot is (16, 16).
  w.RotateSelected();
  EXPECT_EQ(Board(), (Lines{before[0], "16, 0, 16, 32, 4 *", "32, 48, 4, 12, 0 *",
                            "0, 48, 5, 16, 1 *", before[4]}));
  EXPECT_EQ(w.UndoStack().undoText().toStdString(), "Rotate 3 Elements");
  w.Undo();
  EXPECT_EQ(Board(), before);
  w.MirrorSelected();
  EXPECT_EQ(Board(), (Lines{before[0], "32, 16, 0, 16, 4 *", "-16, 0, 4, 12, 0 *",
                            "-16, 32, 5, 16, 1 *", before[4]}));
  EXPECT_EQ(w.UndoStack().undoText().toStdString(), "Mirror 3 Elements");
  for (int i = 0; i < 4; ++i) w.RotateSelected();
  w.MirrorSelected();
  EXPECT_EQ(Board(), before);
  EXPECT_EQ(w.UndoStack().count(), 6);

  // Far out, where the arithmetic wraps, undo still lands on the same coordinates.
  w.ClearSelection();
  w.Elements().AddWire({INT32_MAX, INT32_MIN}, {INT32_MIN + 5, 7}, 2)->SetSelected(true);
  const Lines far = Board();
  w.RotateSelected();
  EXPECT_NE(Board(), far);
  w.Undo();
  EXPECT_EQ(Board(), far);
  // Nothing selected: no step.
  w.ClearSelection();
  w.RotateSelected();
  w.MirrorSelected();
  EXPECT_EQ(w.UndoStack().undoText().toStdString(), "Mirror 3 Elements");
}

TEST_F(PartsTest, APartGoesDownSelectedAtThePointAndComesOffInOneUndo) {
  const Lines before = Board();
  TElementList::Storage part;
  part.push_back(std::make_unique<TSolder>(&w, TPoint{0, 0}, 5, 12, 1));
  part.push_back(std::make_unique<TSolder>(&w, TPoint{0, 16}, 5, 12, 0));
  w.InsertElements(std::move(part), {160, 96}, QStringLiteral("Insert DIP-2"));
  EXPECT_EQ(Board(),
            (Lines{"0, 0, 32, 0, 4", "0, 16, 32, 16, 4", "48, 0, 4, 12, 0", "48, 32, 5, 16, 1",
                   "80, 0, 4, 12, 0", "160, 96, 5, 12, 1 *", "160, 112, 5, 12, 0 *"}));
  EXPECT_EQ(w.UndoStack().undoText().toStdString(), "Insert DIP-2");
  w.Undo();
  EXPECT_EQ(Board().size(), before.size());

  // Kept as a footprint, the selection starts at the base-step grid point above and left of it.
  w.Elements().Items(0)->SetSelected(true);
  w.Elements().Items(4)->SetSelected(true);
  w.Elements().Items(0)->Move(21, 35);  // now from (21, 35) to (53, 35)
  EXPECT_EQ(w.SelectionAsFootprint(),
            "*Solder*\r\n64, 0, 4, 12, 0\r\n\r\n*Wire*\r\n5, 35, 37, 35, 4\r\n");
  w.ClearSelection();
  EXPECT_EQ(w.SelectionAsFootprint(), "");
}

}  // namespace
