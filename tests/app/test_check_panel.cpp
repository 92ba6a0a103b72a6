// The board check in the window: Select Connected, Check Board and its Problems panel, the rules
// kept in the settings.
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "TBoardStatusBar.h"
#include "TCheckRulesDialog.h"
#include "TProblemsPanel.h"

namespace {

constexpr TColor kMarker = 0xFF00FF;

int Count(const QImage& image, TColor colour) {
  return CountPixels(image, [colour](QRgb c) { return ArgbToColor(uint32_t(c)) == colour; });
}

std::vector<std::string> Rows(const TProblemsPanel& panel) {
  std::vector<std::string> rows;
  for (int i = 0; i < panel.List->topLevelItemCount(); ++i) {
    QStringList cells;
    for (int c = 0; c < 4; ++c) cells << panel.List->topLevelItem(i)->text(c);
    rows.push_back(cells.join(QStringLiteral(" | ")).toStdString());
  }
  return rows;
}

class CheckPanel : public TFreshForm {
 protected:
  CheckPanel() : TFreshForm({"Check"}) {}
  void SetUp() override {
    TFreshForm::SetUp();
    // Two pads joined by a wire, a third pad one unit from the first, a wire into the open.
    TPCBLayout* layout = Form->Editor;
    TElementList::Storage board;
    board.push_back(std::make_unique<TSolder>(layout, TPoint{32, 32}, 4, 12, sgCircle));
    board.push_back(std::make_unique<TSolder>(layout, TPoint{96, 32}, 4, 12, sgSquare));
    board.push_back(std::make_unique<TWire>(layout, TPoint{32, 32}, TPoint{96, 32}, 2));
    board.push_back(std::make_unique<TSolder>(layout, TPoint{32, 45}, 4, 12, sgCircle));
    board.push_back(std::make_unique<TWire>(layout, TPoint{96, 32}, TPoint{96, 96}, 2));
    layout->AddElements(std::move(board), QStringLiteral("Draw"));
  }
};

TEST_F(CheckPanel, SelectConnectedAddsTheWholeIslandAndIsNoStep) {
  Form->Editor->Elements().Items(0)->SetSelected(true);
  const int steps = Form->Editor->UndoStack().count();
  Form->EditSelectConnected->trigger();
  EXPECT_EQ(Form->Editor->SelectedIndices(), (std::vector<int32_t>{0, 1, 2, 4}));
  EXPECT_EQ(Form->Editor->UndoStack().count(), steps);
}

TEST_F(CheckPanel, ListsMarksFollowsEditsAndShowsTheChosenProblem) {
  Form->ToolsCheckBoard->trigger();
  ASSERT_TRUE(Form->ProblemsPanel->isVisible());
  const std::vector<std::string> both = {"clearance | 5.080, 6.112 | 0.159 mm | 0.300 mm",
                                         "dangling | 15.240, 15.240 |  | "};
  EXPECT_EQ(Rows(*Form->ProblemsPanel), both);
  // Markers go over the board on the screen, never into the board image.
  EXPECT_GT(Count(Form->Editor->CanvasImage(), kMarker), 0);
  EXPECT_EQ(Count(Form->Editor->BoardImage(), kMarker), 0);

  // Choosing a row puts its place in the middle of the board's control and lights its elements
  // in the markers' colour: they are not selected, and do not look it.
  Form->ProblemsPanel->SetCurrentRow(1);
  const TPoint middle = Form->Editor->BoardToScreen({96, 96});
  EXPECT_NEAR(middle.X, Form->Editor->width() / 2, 1);
  EXPECT_NEAR(middle.Y, Form->Editor->height() / 2, 1);
  const TPoint lit = Form->Editor->BoardToScreen({96, 64});
  EXPECT_EQ(ArgbToColor(Form->Editor->CanvasImage().pixel(lit.X, lit.Y)), kMarker);
  EXPECT_EQ(Count(Form->Editor->CanvasImage(), Form->Editor->FocusColor()), 0);
  EXPECT_EQ(Form->StatusBar->CountLabel()->text(), QStringLiteral("5 elements, 0 selected"));
  // A selected element of the chosen problem keeps the selection's colour, and is counted.
  Form->Editor->Elements().Items(4)->SetSelected(true);
  Form->Editor->RenderBoard();
  EXPECT_EQ(ArgbToColor(Form->Editor->CanvasImage().pixel(lit.X, lit.Y)),
            Form->Editor->FocusColor());

  // Every step done or undone refreshes the list.
  Form->Editor->DeleteSelected();
  EXPECT_EQ(Rows(*Form->ProblemsPanel), std::vector<std::string>{both[0]});
  Form->Editor->Undo();
  EXPECT_EQ(Rows(*Form->ProblemsPanel), both);

  // Rules from the settings: no clearance asked, no clearance problem.
  TCheckRules loose;
  loose.Clearance = 0;
  TCheckRulesDialog::Save(loose);
  Form->ToolsCheckBoard->trigger();
  EXPECT_EQ(Rows(*Form->ProblemsPanel), std::vector<std::string>{both[1]});

  Form->ProblemsPanel->close();
  EXPECT_EQ(Count(Form->Editor->CanvasImage(), kMarker), 0);
}

TEST_F(CheckPanel, RulesKeptInTheSettingsWithDefaultsForNonsense) {
  const TCheckRules defaults;
  TCheckRules r;
  std::tie(r.Clearance, r.MinWidth, r.MinRing, r.MinHole) = std::tuple(0.4, 0.2, 0.15, 0.8);
  TCheckRulesDialog::Save(r);
  const TCheckRules back = TCheckRulesDialog::Load();
  EXPECT_EQ(std::vector<double>({back.Clearance, back.MinWidth, back.MinRing, back.MinHole}),
            std::vector<double>({0.4, 0.2, 0.15, 0.8}));
  UserSettings()->setValue(QStringLiteral("Check/MinHole"), QStringLiteral("wide"));
  EXPECT_EQ(TCheckRulesDialog::Load().MinHole, defaults.MinHole);

  // The dialog edits a copy and gives the defaults back on request.
  TCheckRulesDialog dialog(r);
  dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::RestoreDefaults)->click();
  EXPECT_EQ(dialog.Rules().MinWidth, defaults.MinWidth);
  EXPECT_EQ(TCheckRulesDialog::Load().MinWidth, 0.2);
}

}  // namespace
