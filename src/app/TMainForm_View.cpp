// The window's side of moving about the board: the View menu, the status bar, and the scale
// box following the zoom of the wheel, a pinch and the menu.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "TBoardDocument.h"
#include "TBoardStatusBar.h"
#include "TMainForm.h"
#include "TPCBLayout.h"

namespace {

// A wire of the box's item `index` is 16 div 2^index board units wide: 2.54 mm down to 0.159.
QString WireWidthMm(int index) {
  const double mm = UnitsPerStep * MmPerUnit / StepDivisorOf(TPCBStep(index));
  return QString::number(mm, 'g', 3) + QStringLiteral(" mm");
}

// The list of the wire width box: each fraction with its millimetres. The items' own texts stay
// the fractions, which is what the closed box shows.
class TWireWidthItems : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text += QStringLiteral("  (") + WireWidthMm(index.row()) + QLatin1Char(')');
  }
};

}  // namespace

void TMainForm::ShowWireWidthsInMm(QHBoxLayout* row) {
  ElementWidthCombo->setItemDelegate(new TWireWidthItems(ElementWidthCombo));
  // The list is as wide as the box unless told otherwise, which would cut the millimetres off.
  const QFontMetrics metrics(ElementWidthCombo->view()->font());
  int widest = 0;
  for (int i = 0; i < ElementWidthCombo->count(); ++i)
    widest = std::max(
        widest, metrics.horizontalAdvance(ElementWidthCombo->itemText(i) + QStringLiteral("  (") +
                                          WireWidthMm(i) + QLatin1Char(')')));
  ElementWidthCombo->view()->setMinimumWidth(widest + 4 * metrics.averageCharWidth());
  auto* mm = new QLabel(BoardSettingsPanel);
  mm->setObjectName(QStringLiteral("WireWidthMmLabel"));
  mm->setText(WireWidthMm(ElementWidthCombo->currentIndex()));
  row->insertWidget(row->indexOf(ElementWidthCombo) + 1, mm);
  connect(ElementWidthCombo, &QComboBox::currentIndexChanged, mm,
          [mm](int i) { mm->setText(WireWidthMm(i)); });
}

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
  connect(Document_.get(), &TBoardDocument::RecordsPassedOver, StatusBar,
          &TBoardStatusBar::ShowPassedOver);
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
