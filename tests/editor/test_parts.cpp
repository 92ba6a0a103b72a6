// Settings given to the selection, quarter turns and mirrors, and parts put down: each one step.
#include <QUndoStack>
#include <tuple>

#include "LayoutTest.h"
#include "TChangeText.h"
#include "TSmdPad.h"
#include "formats/BoardHelpers.h"

namespace {

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
  // The board's lines joined by " | ", selected elements marked.
  std::string Board() const {
    std::string text;
    for (const std::string& line : Describe(w.Elements()))
      text += (text.empty() ? "" : " | ") + line;
    return text;
  }
  std::string Step() const { return w.UndoStack().undoText().toStdString(); }
};

TEST_F(PartsTest, ASettingChangesTheSelectedElementsInOneStep) {
  // A selected SMD pad last: the through-hole settings pass it by, its own pass the others by.
  w.Elements().Append(std::make_unique<TSmdPad>(&w, TPoint{96, 0}, 8, 9, 25));
  w.Elements().Items(5)->SetSelected(true);
  const std::string before = Board();
  const std::string unselected = "W 0, 0, 32, 0, 4 | ", middle = " | P 80, 0, 4, 12, 0 | ";
  const std::string selected = "W 0, 16, 32, 16, 4 * | P 48, 0, 4, 12, 0 * | P 48, 32, 5, 16, 1 *";
  const std::string smd = "@SMD 96, 0, 8, 9, 25 *";
  // No step name: nothing changes.
  const std::tuple<TElementProperty, int32_t, const char*, std::string, std::string> cases[] = {
      {epWireWidth, 8, "Change Width of Element",
       "W 0, 16, 32, 16, 8 * | P 48, 0, 4, 12, 0 * | P 48, 32, 5, 16, 1 *", smd},
      {epPadSize, 20, "Resize 2 Elements",
       "W 0, 16, 32, 16, 4 * | P 48, 0, 4, 20, 0 * | P 48, 32, 5, 20, 1 *", smd},
      {epHole, 5, "Change Hole of Element",
       "W 0, 16, 32, 16, 4 * | P 48, 0, 5, 12, 0 * | P 48, 32, 5, 16, 1 *", smd},
      {epPadShape, sgSquare, "Reshape Element",
       "W 0, 16, 32, 16, 4 * | P 48, 0, 4, 12, 1 * | P 48, 32, 5, 16, 1 *", smd},
      {epSmdWidth, 4, "Resize Element", selected, "@SMD 96, 0, 4, 9, 25 *"},
      {epSmdHeight, 12, "Resize Element", selected, "@SMD 96, 0, 8, 12, 25 *"},
      {epSmdRoundness, 0, "Change Roundness of Element", selected, "@SMD 96, 0, 8, 9, 0 *"},
      {epWireWidth, 4, "", selected, smd},
      {epSmdHeight, 9, "", selected, smd},
  };
  for (const auto& [property, value, step, through, own] : cases) {
    w.SetModified(false);
    w.ChangeSelected(property, value);
    EXPECT_EQ(Board(), unselected + through + middle + own) << step;
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

TEST_F(PartsTest, RotateAndMirrorTurnOnlyTheSelectionAndUndoExactly) {
  const std::string before = Board();
  // Extent (0, 0)-(48, 32): the middle (24, 16) lies between columns 1 and 2 of row 1; column 1
  // makes an even sum, so the pivot is (16, 16).
  w.RotateSelected();
  EXPECT_EQ(Board(),
            "W 0, 0, 32, 0, 4 | W 16, 0, 16, 32, 4 * | P 32, 48, 4, 12, 0 * | "
            "P 0, 48, 5, 16, 1 * | P 80, 0, 4, 12, 0");
  EXPECT_EQ(Step(), "Rotate 3 Elements");
  w.Undo();
  EXPECT_EQ(Board(), before);
  w.MirrorSelected();
  EXPECT_EQ(Board(),
            "W 0, 0, 32, 0, 4 | W 32, 16, 0, 16, 4 * | P -16, 0, 4, 12, 0 * | "
            "P -16, 32, 5, 16, 1 * | P 80, 0, 4, 12, 0");
  EXPECT_EQ(Step(), "Mirror 3 Elements");
  for (int i = 0; i < 4; ++i) w.RotateSelected();
  w.MirrorSelected();
  EXPECT_EQ(Board(), before);
  EXPECT_EQ(w.UndoStack().count(), 6);
  // Nothing selected: no step.
  w.ClearSelection();
  w.RotateSelected();
  w.MirrorSelected();
  EXPECT_EQ(w.UndoStack().count(), 6);
}

TEST_F(PartsTest, ATextTurnsAboutThePivotFlipsItsSideAndRefusesFieldsNoTextHas) {
  // The text alone turns about its anchor; with the selected pads it turns about their pivot.
  // A mirror reads it from the other side: its turn taken back and its side flipped.
  w.Elements().Append(std::make_unique<TCopperText>(&w, TPoint{16, 32}, "+9V", 13, 2, 1, true));
  const TPCBElement& text = *w.Elements().Items(5);
  const std::tuple<bool, void (TPCBLayout::*)(), const char*, const char*> cases[] = {
      {false, &TPCBLayout::RotateSelected, "@TEXT 16, 32, 13, 2, 2, 1, +9V", "Rotate Element"},
      {false, &TPCBLayout::MirrorSelected, "@TEXT 16, 32, 13, 2, 3, 0, +9V", "Mirror Element"},
      // With the pads at (48, 0) and (48, 32) the extent's middle is the grid point (32, 16).
      {true, &TPCBLayout::RotateSelected, "@TEXT 16, 0, 13, 2, 2, 1, +9V", "Rotate 3 Elements"},
      {true, &TPCBLayout::MirrorSelected, "@TEXT 48, 32, 13, 2, 3, 0, +9V", "Mirror 3 Elements"},
  };
  for (const auto& [withPads, turn, after, step] : cases) {
    for (int32_t i = 0; i < 5; ++i) w.Elements().Items(i)->SetSelected(withPads && i / 2 == 1);
    w.Elements().Items(5)->SetSelected(true);
    const std::string before = Board();
    (w.*turn)();
    EXPECT_EQ(text.ToText(), after) << step;
    EXPECT_EQ(Step(), step);
    w.Undo();
    EXPECT_EQ(Board(), before) << step;
  }

  // Fields no text can have are refused before anything changes, and the same fields again
  // make no step.
  const TTextFields was = TTextFields::Of(static_cast<const TCopperText&>(text));
  const TTextFields refused[] = {{""}, {"A\tB"}, {"A", 13, 14}, {"A", 1}, {"A", 13, 2, 4}};
  for (const TTextFields& f : refused) {
    EXPECT_NE(MessageOf([&] { w.ChangeText(5, f); }), "<no error>") << f.Text;
    EXPECT_NE(MessageOf([&] { w.AddText({0, 0}, f); }), "<no error>") << f.Text;
  }
  w.ChangeText(5, was);
  EXPECT_EQ(w.UndoStack().index(), 0);
  EXPECT_EQ(w.Elements().Count(), 6);
  // Edit Text opens the one selected text, and none of two.
  EXPECT_EQ(w.TextToEdit(), 5);
  w.Elements().Append(text.Clone(&w));
  w.Elements().Items(6)->SetSelected(true);
  EXPECT_EQ(w.TextToEdit(), -1);
}

TEST_F(PartsTest, APartGoesDownSelectedAtThePointAndComesOffInOneUndo) {
  TElementList::Storage part;
  part.push_back(std::make_unique<TSolder>(&w, TPoint{0, 0}, 5, 12, 1));
  part.push_back(std::make_unique<TSolder>(&w, TPoint{0, 16}, 5, 12, 0));
  w.InsertElements(std::move(part), {160, 96}, QStringLiteral("Insert DIP-2"));
  EXPECT_EQ(Board(),
            "W 0, 0, 32, 0, 4 | W 0, 16, 32, 16, 4 | P 48, 0, 4, 12, 0 | P 48, 32, 5, 16, 1 | "
            "P 80, 0, 4, 12, 0 | P 160, 96, 5, 12, 1 * | P 160, 112, 5, 12, 0 *");
  EXPECT_EQ(Step(), "Insert DIP-2");
  w.Undo();
  EXPECT_EQ(w.Elements().Count(), 5);

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
