// Copper fills in the window: the fill dialog a double click opens, remembered for the next fill;
// Set Fill Seed, Fill Board and Show Fills.
#include "AppTestSupport.h"
#include "TCopperFill.h"
#include "TFillDialog.h"

namespace {

class FillCommands : public TFreshForm {
 protected:
  FillCommands() : TFreshForm({"Fill", "View/ShowFills"}) {}
  void Open() override {
    TFreshForm::Open();
    // Seen is what the dialog shows as it opens; Typing what the user gives it: four lengths in
    // millimetres, keep or drop islands, OK or Cancel.
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
  // The settings as the board file keeps them, in nanometres.
  static std::string Settings(const TCopperFill& fill) {
    const TFillSettings& s = fill.Settings();
    return std::to_string(s.Clearance) + " " + std::to_string(s.MinimumWidth) + " " +
           std::to_string(s.ThermalGap) + " " + std::to_string(s.SpokeWidth) +
           (s.KeepIslands ? " keep" : " drop");
  }

  QString Typing, Seen;
};

TEST_F(FillCommands, TheDialogEditsAFillInOneStepAndItsValuesGoToTheNextFill) {
  TPCBLayout& editor = *Form->Editor;
  editor.Elements().AddSolder({64, 64}, 4, 16, sgCircle)->SetSelected(true);
  // F chooses the tool, which keeps the selection the fill is seeded from.
  QTest::keyClick(Form.get(), Qt::Key_F);
  ASSERT_EQ(editor.MouseAction(), maFill);
  // Backspace takes back a corner placed by mistake.
  Form->Click({20, 20});
  Form->Click({100, 100});
  QTest::keyClick(Form.get(), Qt::Key_Backspace);
  for (TPoint p : {TPoint{200, 20}, {200, 120}, {20, 20}}) Form->Click(p);
  ASSERT_EQ(editor.Elements().Count(), 2);
  EXPECT_EQ(FillAt(1).Corners(), (std::vector<TPoint>{{32, 32}, {320, 32}, {320, 192}}));
  EXPECT_EQ(Settings(FillAt(1)), "500000 300000 500000 500000 drop");
  EXPECT_EQ(FillAt(1).Seed(), (TPoint{64, 64}));
  Form->MoveButton->click();
  // Each row: what the dialog shows as it opens, what the user gives it, the fill after, and the
  // steps so far. Cancel and OK on the same values change nothing.
  const struct {
    const char *seen, *typing, *settings;
    int steps;
  } rows[] = {
      {"0.50|0.30|0.50|0.50|drop", "0.25|0.4|0.6|0.35|keep|OK", "250000 400000 600000 350000 keep",
       2},
      {"0.25|0.40|0.60|0.35|keep", "1|1|1|1|drop|Cancel", "250000 400000 600000 350000 keep", 2},
      {"0.25|0.40|0.60|0.35|keep", "0.25|0.4|0.6|0.35|keep|OK", "250000 400000 600000 350000 keep",
       2},
      {"0.25|0.40|0.60|0.35|keep", "0|100|0.01|12.34|drop|OK", "0 100000000 10000 12340000 drop",
       3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.settings);
    Typing = row.typing;
    QTest::mouseDClick(Form->Editor, Qt::LeftButton, {}, QPoint(180, 50));
    EXPECT_EQ(Seen, QString::fromLatin1(row.seen));
    EXPECT_EQ(Settings(FillAt(1)), row.settings);
    EXPECT_EQ(editor.UndoStack().count(), row.steps);
  }
  EXPECT_EQ(Form->EditUndo->text(), QStringLiteral("Undo Edit Fill"));
  Form->EditUndo->trigger();
  EXPECT_EQ(Settings(FillAt(1)), "250000 400000 600000 350000 keep");
  // The next fill, in this window and in the next one, takes the values last given.
  Form->FillButton->click();
  for (TPoint p : {TPoint{220, 20}, {300, 20}, {300, 120}, {220, 20}}) Form->Click(p);
  EXPECT_EQ(Settings(FillAt(2)), "0 100000000 10000 12340000 drop");
  const TFillSettings last = FillAt(2).Settings();
  Open();
  EXPECT_EQ(Form->Editor->FillSettings(), last);
}

TEST_F(FillCommands, SetFillSeedFillBoardAndShowFills) {
  TPCBLayout& editor = *Form->Editor;
  TElementList& list = editor.Elements();
  // Fill Board on a board without copper says why it cannot.
  Form->ToolsFillBoard->trigger();
  EXPECT_EQ(Form->Boxes.size(), 1);
  EXPECT_EQ(list.Count(), 0);
  // A pad 16 units wide: the edge lies 16 units (2.54 mm) outside it. A pad of 13 reaches half a
  // unit further each way, and the fill keeps to the board, inside that edge.
  list.AddSolder({64, 64}, 4, 16, sgCircle);
  Form->ToolsFillBoard->trigger();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(FillAt(1).Corners(), (std::vector<TPoint>{{40, 40}, {88, 40}, {88, 88}, {40, 88}}));
  EXPECT_EQ(Form->EditUndo->text(), QStringLiteral("Undo Fill Board"));
  Form->EditUndo->trigger();
  list.AddSolder({320, 160}, 4, 13, sgCircle)->SetSelected(true);
  Form->ToolsFillBoard->trigger();
  EXPECT_EQ(FillAt(2).Corners(), (std::vector<TPoint>{{40, 40}, {342, 40}, {342, 182}, {40, 182}}));
  EXPECT_EQ(FillAt(2).Seed(), (TPoint{320, 160}));
  list.Append(FillAt(2).Clone(&editor));
  // Set Fill Seed wants fills and exactly one other element.
  const std::pair<std::vector<int32_t>, bool> selections[] = {{{}, false},    {{2}, false},
                                                              {{2, 0}, true}, {{2, 0, 1}, false},
                                                              {{0}, false},   {{2, 3, 0}, true}};
  for (const auto& [selected, enabled] : selections) {
    editor.ClearSelection();
    for (int32_t i : selected) list.Items(i)->SetSelected(true);
    emit editor.SelectionChanged();
    EXPECT_EQ(Form->EditSetFillSeed->isEnabled(), enabled) << selected.size();
  }
  const int steps = editor.UndoStack().count();
  Form->EditSetFillSeed->trigger();
  EXPECT_EQ(FillAt(2).Seed(), (TPoint{64, 64}));
  EXPECT_EQ(FillAt(3).Seed(), (TPoint{64, 64}));
  EXPECT_EQ(editor.UndoStack().count(), steps + 1);
  // Show Fills, on at first, is kept for the next window.
  EXPECT_TRUE(Form->ViewShowFills->isChecked());
  Form->ViewShowFills->trigger();
  EXPECT_FALSE(editor.ShowFills());
  EXPECT_FALSE(FillAt(2).Selected());
  Open();
  EXPECT_FALSE(Form->ViewShowFills->isChecked());
  EXPECT_FALSE(Form->Editor->ShowFills());
  // Drawing a fill shows them again.
  Form->FillButton->click();
  EXPECT_TRUE(Form->ViewShowFills->isChecked());
  EXPECT_TRUE(Form->Editor->ShowFills());
}

}  // namespace
