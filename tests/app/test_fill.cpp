// Copper fills in the window: the fill dialog, Set Fill Seed, Fill Board and Show Fills.
#include "AppTestSupport.h"
#include "TCopperFill.h"
#include "TFillDialog.h"

namespace {

class FillCommands : public TFreshForm {
 protected:
  FillCommands() : TFreshForm({"Fill", "View/ShowFills"}) {}
  void Open() override {
    TFreshForm::Open();
    // Seen: the dialog as it opens; Typing: four lengths in mm, keep or drop islands, OK or Cancel.
    Form->DialogAnswer = [this](QDialog& d) {
      auto& dialog = dynamic_cast<TFillDialog&>(d);
      QDoubleSpinBox* const edits[] = {dialog.ClearanceEdit, dialog.MinimumWidthEdit,
                                       dialog.ThermalGapEdit, dialog.SpokeWidthEdit};
      const QStringList typed = Typing.split('|');
      Seen.clear();
      for (int k = 0; k < 4; ++k) {
        Seen += QString::number(edits[k]->value(), 'f', 2) + "|";
        edits[k]->setValue(typed[k].toDouble());
      }
      Seen += dialog.KeepIslandsCheck->isChecked() ? "keep" : "drop";
      dialog.KeepIslandsCheck->setChecked(typed[4] == "keep");
      return int(typed[5] == "OK" ? QDialog::Accepted : QDialog::Rejected);
    };
  }
  const TCopperFill& FillAt(int32_t i) const {
    return static_cast<const TCopperFill&>(*Form->Editor->Elements().Items(i));
  }
  // The settings as the board file keeps them, in micrometres here.
  std::string Settings(int32_t i) const {
    const TFillSettings& s = FillAt(i).Settings();
    std::string out;
    for (int64_t nm : {s.Clearance, s.MinimumWidth, s.ThermalGap, s.SpokeWidth})
      out += std::to_string(nm / 1000) + " ";
    return out + (s.KeepIslands ? "keep" : "drop");
  }

  QString Typing, Seen;
};

TEST_F(FillCommands, TheDialogEditsAFillInOneStepAndItsValuesGoToTheNextFill) {
  TPCBLayout& editor = *Form->Editor;
  editor.Elements().AddSolder({64, 64}, 4, 16, sgCircle)->SetSelected(true);
  // The selection seeds the fill; Backspace takes back a corner placed by mistake.
  QTest::keyClick(Form.get(), Qt::Key_F);
  for (TPoint p : {TPoint{20, 20}, {100, 100}}) Form->Click(p);
  QTest::keyClick(Form.get(), Qt::Key_Backspace);
  for (TPoint p : {TPoint{200, 20}, {200, 120}, {20, 20}}) Form->Click(p);
  ASSERT_EQ(editor.Elements().Count(), 2);
  EXPECT_EQ(FillAt(1).Corners(), (std::vector<TPoint>{{32, 32}, {320, 32}, {320, 192}}));
  EXPECT_EQ(Settings(1), "500 300 500 500 drop");
  EXPECT_EQ(FillAt(1).Seed(), (TPoint{64, 64}));
  Form->MoveButton->click();
  // Seen, typed, the fill after and the steps so far: Cancel or the same values change nothing.
  const std::tuple<const char*, const char*, const char*, int> rows[] = {
      {"0.50|0.30|0.50|0.50|drop", "0.25|0.4|0.6|0.35|keep|OK", "250 400 600 350 keep", 2},
      {"0.25|0.40|0.60|0.35|keep", "1|1|1|1|drop|Cancel", "250 400 600 350 keep", 2},
      {"0.25|0.40|0.60|0.35|keep", "0.25|0.4|0.6|0.35|keep|OK", "250 400 600 350 keep", 2},
      {"0.25|0.40|0.60|0.35|keep", "0|100|0.01|12.34|drop|OK", "0 100000 10 12340 drop", 3}};
  for (const auto& [seen, typing, settings, steps] : rows) {
    SCOPED_TRACE(typing);
    Typing = typing;
    QTest::mouseDClick(Form->Editor, Qt::LeftButton, {}, QPoint(180, 50));
    EXPECT_EQ(Seen, QString::fromLatin1(seen));
    EXPECT_EQ(Settings(1), settings);
    EXPECT_EQ(editor.UndoStack().count(), steps);
  }
  EXPECT_EQ(Form->EditUndo->text(), QStringLiteral("Undo Edit Fill"));
  // The next fill, in this window and in the next one, takes the values last given.
  Form->FillButton->click();
  for (TPoint p : {TPoint{220, 20}, {300, 20}, {300, 120}, {220, 20}}) Form->Click(p);
  EXPECT_EQ(Settings(2), "0 100000 10 12340 drop");
  const TFillSettings last = FillAt(2).Settings();
  Open();
  EXPECT_EQ(Form->Editor->FillSettings(), last);
}

TEST_F(FillCommands, SetFillSeedFillBoardAndShowFills) {
  TPCBLayout& editor = *Form->Editor;
  TElementList& list = editor.Elements();
  // Fill Board needs copper; its edge lies 16 units (2.54 mm) outside the pads.
  Form->ToolsFillBoard->trigger();
  EXPECT_EQ(Form->Boxes.size(), 1);
  list.AddSolder({64, 64}, 4, 16, sgCircle);
  Form->ToolsFillBoard->trigger();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(FillAt(1).Corners(), (std::vector<TPoint>{{40, 40}, {88, 40}, {88, 88}, {40, 88}}));
  list.AddSolder({320, 160}, 4, 13, sgCircle);
  list.Append(FillAt(1).Clone(&editor));
  // Set Fill Seed wants fills and exactly one other element.
  const std::pair<std::vector<int32_t>, bool> selections[] = {
      {{1}, false}, {{1, 0}, true}, {{1, 0, 2}, false}, {{0}, false}, {{1, 3, 2}, true}};
  for (const auto& [selected, enabled] : selections) {
    editor.ClearSelection();
    for (int32_t i : selected) list.Items(i)->SetSelected(true);
    emit editor.SelectionChanged();
    EXPECT_EQ(Form->EditSetFillSeed->isEnabled(), enabled) << selected.size();
  }
  const int steps = editor.UndoStack().count();
  Form->EditSetFillSeed->trigger();
  EXPECT_EQ(std::pair(FillAt(1).Seed(), FillAt(3).Seed()),
            std::pair(TPoint{320, 160}, TPoint{320, 160}));
  EXPECT_EQ(editor.UndoStack().count(), steps + 1);
  // Show Fills, on at first, is kept for the next window; drawing a fill shows them again.
  EXPECT_TRUE(Form->ViewShowFills->isChecked());
  Form->ViewShowFills->trigger();
  EXPECT_FALSE(editor.ShowFills());
  EXPECT_FALSE(FillAt(1).Selected());
  Open();
  EXPECT_FALSE(Form->ViewShowFills->isChecked() || Form->Editor->ShowFills());
  Form->FillButton->click();
  EXPECT_TRUE(Form->ViewShowFills->isChecked() && Form->Editor->ShowFills());
}

}  // namespace
