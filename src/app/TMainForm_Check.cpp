// The board check in the window: Edit > Select Connected, the Tools menu with Check Board and the
// rules, and the Problems panel with its markers over the board.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cmath>

#include "TCanvas.h"
#include "TCheckRulesDialog.h"
#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TProblemsPanel.h"

namespace {

// Markers are magenta, a colour neither the board nor the selection uses.
constexpr TColor kMarkerColour = 0xFF00FF;

}  // namespace

void TMainForm::CreateCheck() {
  EditSelectConnected =
      NewAction(QStringLiteral("Select Connected"), QKeySequence(Qt::CTRL | Qt::Key_L), -1,
                &TMainForm::EditSelectConnectedExecute);
  EditMenuItem->addAction(EditSelectConnected);

  ToolsCheckBoard = NewAction(QStringLiteral("Check Board"), QKeySequence(Qt::Key_F7), -1,
                              &TMainForm::ToolsCheckBoardExecute);
  ToolsCheckRules = NewAction(QStringLiteral("Check Rules..."), QKeySequence(), -1,
                              &TMainForm::ToolsCheckRulesExecute);
  ToolsMenuItem = new QMenu(QStringLiteral("Tools"), menuBar());
  ToolsMenuItem->setObjectName(QStringLiteral("ToolsMenuItem"));
  ToolsMenuItem->addActions({ToolsCheckBoard, ToolsCheckRules});
  menuBar()->insertMenu(MenuMenuItem->menuAction(), ToolsMenuItem);

  ProblemsPanel = new TProblemsPanel(this);
  addDockWidget(Qt::BottomDockWidgetArea, ProblemsPanel);
  ProblemsPanel->hide();
  connect(ProblemsPanel, &TProblemsPanel::ProblemChosen, this,
          [this](int row) { Guarded([=] { ShowProblem(row); }); });
  // Markers are on the board exactly while the panel is open, and the list follows every change
  // to the board from then on.
  connect(ProblemsPanel, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    Guarded([=] {
      if (visible) RefreshProblems();
      UpdateOverlay();
    });
  });
  connect(Editor, &TPCBLayout::BoardChanged, this, [this] {
    if (ProblemsPanel->isVisible()) Guarded([this] { RefreshProblems(); });
  });
}

void TMainForm::EditSelectConnectedExecute() { Editor->SelectConnected(); }

void TMainForm::ToolsCheckBoardExecute() {
  if (ProblemsPanel->isVisible()) {
    RefreshProblems();
  } else {
    ProblemsPanel->show();  // refreshes as it opens
    // A third of the window: the board stays the larger part, also in a small window.
    resizeDocks({ProblemsPanel}, {std::max(90, height() / 3)}, Qt::Vertical);
  }
  ProblemsPanel->raise();
}

void TMainForm::ToolsCheckRulesExecute() {
  TCheckRulesDialog dialog(TCheckRulesDialog::Load(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  TCheckRulesDialog::Save(dialog.Rules());
  if (ProblemsPanel->isVisible()) RefreshProblems();
}

void TMainForm::RefreshProblems() {
  ProblemsPanel->SetProblems(CheckBoard(Editor->Elements(), CheckRules()));
  Editor->Paint();
}

TCheckRules TMainForm::CheckRules() const {
  TCheckRules rules = TCheckRulesDialog::Load();
  // A milled board also needs room for the bit between its islands.
  if (Process_.Making == bmMill) rules.CutWidth = Process_.CutWidth();
  return rules;
}

void TMainForm::ShowProblem(int row) {
  const std::vector<TProblem>& problems = ProblemsPanel->Problems();
  if (row < 0 || row >= static_cast<int>(problems.size())) return;
  const TProblem& p = problems[static_cast<size_t>(row)];
  // The place goes to the middle of the board's control; a board unit is StepPixels / 16 pixels.
  const double scale = double(StepPixels(*Editor)) / UnitsPerStep;
  auto offset = [&](int size, double v) {
    const double o = std::round(size / 2.0 - v * scale);
    return static_cast<int32_t>(std::fmax(INT32_MIN, std::fmin(INT32_MAX, o)));
  };
  Editor->SetViewOffset({offset(Editor->width(), p.X), offset(Editor->height(), p.Y)});
  Editor->RenderBoard();
}

void TMainForm::DrawProblemMarkers() {
  const std::vector<TProblem>& problems = ProblemsPanel->Problems();
  const int chosen = ProblemsPanel->CurrentRow();
  // The elements of the chosen problem light up in the markers' colour: in the selection's they
  // would look selected while the status bar counts them as not.
  if (chosen >= 0 && chosen < static_cast<int>(problems.size()))
    Editor->DrawLit(problems[static_cast<size_t>(chosen)].Elements, kMarkerColour);
  const double scale = double(StepPixels(*Editor)) / UnitsPerStep;
  const TPoint off = Editor->ViewOffset();
  const int w = Editor->width(), h = Editor->height();
  TCanvas& canvas = Editor->Canvas();
  canvas.SetPenColor(kMarkerColour);
  for (size_t k = 0; k < problems.size(); ++k) {
    const double x = problems[k].X * scale + off.X, y = problems[k].Y * scale + off.Y;
    // A diamond around the place, larger for the chosen problem.
    const int r = static_cast<int>(k) == chosen ? 12 : 7;
    if (x < -r || y < -r || x > w + r || y > h + r) continue;
    const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
    canvas.SetPenWidth(static_cast<int>(k) == chosen ? 3 : 2);
    const TPoint diamond[5] = {
        {cx, cy - r}, {cx + r, cy}, {cx, cy + r}, {cx - r, cy}, {cx, cy - r}};
    canvas.Polyline(diamond, 5);
  }
}
