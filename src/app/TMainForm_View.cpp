// The window's side of moving about the board: the View menu, the status bar, and the scale
// box following the zoom of the wheel, a pinch and the menu.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>

#include "TBoardStatusBar.h"
#include "TMainForm.h"
#include "TPCBLayout.h"

void TMainForm::CreateView() {
  ViewZoomIn = NewAction(QStringLiteral("Zoom In"), QKeySequence(Qt::CTRL | Qt::Key_Plus), -1,
                         &TMainForm::ViewZoomInExecute);
  ViewZoomIn->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  ViewZoomOut = NewAction(QStringLiteral("Zoom Out"), QKeySequence(Qt::CTRL | Qt::Key_Minus), -1,
                          &TMainForm::ViewZoomOutExecute);
  ViewFitBoard = NewAction(QStringLiteral("Fit Board"), QKeySequence(Qt::Key_Home), -1,
                           &TMainForm::ViewFitBoardExecute);
  ViewFitBoard->setShortcuts({QKeySequence(Qt::Key_Home), QKeySequence(Qt::CTRL | Qt::Key_0)});

  // Right after the Edit menu, whatever menus follow it.
  ViewMenuItem = new QMenu(QStringLiteral("View"), this);
  ViewMenuItem->setObjectName(QStringLiteral("ViewMenuItem"));
  ViewMenuItem->addActions({ViewZoomIn, ViewZoomOut, ViewFitBoard});
  const QList<QAction*> menus = menuBar()->actions();
  const qsizetype edit = menus.indexOf(EditMenuItem->menuAction());
  if (edit >= 0 && edit + 1 < menus.size())
    menuBar()->insertMenu(menus[edit + 1], ViewMenuItem);
  else
    menuBar()->addMenu(ViewMenuItem);

  StatusBar = new TBoardStatusBar(*Editor, this);
  setStatusBar(StatusBar);
  // The window grows by the bar, so the board keeps the size it had without one.
  resize(width(), height() + StatusBar->sizeHint().height());
  connect(GridStepCombo, &QComboBox::currentIndexChanged, StatusBar,
          &TBoardStatusBar::ShowGridStep);
  // A zoom from the board goes through the scale box, which shows the new scale and hands it on
  // to the board, where it is already set.
  connect(Editor, &TPCBLayout::GridScaleChanged, this, [this](int32_t scale) {
    if (ScaleEdit->value() != scale) ScaleEdit->setValue(scale);
  });
}

bool TMainForm::IsViewShortcut(const QKeySequence& key) const {
  // "+" is typed with Shift on most keyboards; Ctrl++ counts with or without it.
  const QKeyCombination k = key[0];
  const QKeySequence unshifted(
      QKeyCombination(k.keyboardModifiers() & ~Qt::ShiftModifier, k.key()));
  for (const QAction* action : {ViewZoomIn, ViewZoomOut, ViewFitBoard}) {
    if (action->shortcuts().contains(key) || action->shortcuts().contains(unshifted)) return true;
  }
  return false;
}

void TMainForm::ViewZoomInExecute() {
  Editor->ZoomBy(1, {Editor->width() / 2, Editor->height() / 2});
}

void TMainForm::ViewZoomOutExecute() {
  Editor->ZoomBy(-1, {Editor->width() / 2, Editor->height() / 2});
}

void TMainForm::ViewFitBoardExecute() { Editor->FitBoard(); }
