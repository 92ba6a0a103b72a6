// The board check in the window: Select Connected, the Problems panel, the rules kept.

#include "AppTestSupport.h"
#include "TCheckRulesDialog.h"
#include "TProblemsPanel.h"

namespace {

constexpr TColor kMarker = 0xFF00FF;

class CheckPanel : public TFreshForm {
 protected:
  CheckPanel() : TFreshForm({"Check"}) {}
  void SetUp() override {
    TFreshForm::SetUp();
    // Two pads joined by a wire, a third pad one unit from the first, a wire into the open.
    TElementList& list = Form->Editor->Elements();
    list.AddSolder({32, 32}, 4, 12, sgCircle);
    list.AddSolder({96, 32}, 4, 12, sgSquare);
    list.AddWire({32, 32}, {96, 32}, 2);
    list.AddSolder({32, 45}, 4, 12, sgCircle);
    list.AddWire({96, 32}, {96, 96}, 2);
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < Form->ProblemsPanel->List->topLevelItemCount(); ++i) {
      QStringList cells;
      for (int c = 0; c < 4; ++c) cells << Form->ProblemsPanel->List->topLevelItem(i)->text(c);
      rows.push_back(cells.join(QStringLiteral(" | ")).toStdString());
    }
    return rows;
  }
  TColor Pixel(TPoint board, TPoint shift = {0, 0}) const {
    const TPoint p = Form->Editor->BoardToScreen(board);
    return ArgbToColor(Form->Editor->CanvasImage().pixel(p.X + shift.X, p.Y + shift.Y));
  }
  static int Count(const QImage& image, TColor colour) {
    return CountPixels(image, [colour](QRgb c) { return ArgbToColor(uint32_t(c)) == colour; });
  }
};

TEST_F(CheckPanel, SelectConnectedListsMarksFollowsEditsAndShowsTheChosenProblem) {
  // Select Connected adds the whole island and is no step.
  Form->Editor->Elements().Items(0)->SetSelected(true);
  Form->EditSelectConnected->trigger();
  EXPECT_EQ(Form->Editor->SelectedIndices(), (std::vector<int32_t>{0, 1, 2, 4}));
  EXPECT_EQ(Form->Editor->UndoStack().count(), 0);
  Form->Editor->ClearSelection();
  Form->ToolsCheckBoard->trigger();
  ASSERT_TRUE(Form->ProblemsPanel->isVisible());
  const std::vector<std::string> both = {"clearance | 5.080, 6.112 | 0.159 mm | 0.300 mm",
                                         "dangling | 15.240, 15.240 |  | "};
  EXPECT_EQ(Rows(), both);
  // Markers go over the board on the screen, never into the board image.
  EXPECT_GT(Count(Form->Editor->CanvasImage(), kMarker), 0);
  EXPECT_EQ(Count(Form->Editor->BoardImage(), kMarker), 0);

  // A chosen row is panned to the middle with its marker; its elements lit, not selected.
  Form->ProblemsPanel->SetCurrentRow(1);
  const TPoint middle = Form->Editor->BoardToScreen({96, 96});
  EXPECT_NEAR(middle.X, Form->Editor->width() / 2, 1);
  EXPECT_NEAR(middle.Y, Form->Editor->height() / 2, 1);
  EXPECT_EQ(Pixel({96, 96}, {12, 0}), kMarker);
  EXPECT_EQ(Pixel({96, 64}), kMarker);
  EXPECT_EQ(Count(Form->Editor->CanvasImage(), Form->Editor->FocusColor()), 0);
  EXPECT_EQ(Form->Editor->SelectedCount(), 0);
  // A selected element of the chosen problem keeps the selection's colour, and is counted.
  Form->Editor->Elements().Items(4)->SetSelected(true);
  Form->Editor->RenderBoard();
  EXPECT_EQ(Pixel({96, 64}), Form->Editor->FocusColor());

  // Every step done or undone refreshes the list.
  Form->Editor->DeleteSelected();
  EXPECT_EQ(Rows(), std::vector<std::string>{both[0]});
  Form->Editor->Undo();
  EXPECT_EQ(Rows(), both);

  // Rules from the settings: no clearance asked, no clearance problem.
  TCheckRules loose;
  loose.Clearance = 0;
  TCheckRulesDialog::Save(loose);
  Form->ToolsCheckBoard->trigger();
  EXPECT_EQ(Rows(), std::vector<std::string>{both[1]});
  Form->ProblemsPanel->close();
  EXPECT_EQ(Count(Form->Editor->CanvasImage(), kMarker), 0);
}

}  // namespace
