#include "TBoardStatusBar.h"

#include <QLabel>

#include "TPCBLayout.h"
#include "TPcbText.h"

namespace {

QLabel* NewLabel(QStatusBar& bar, const char* name, bool permanent) {
  auto* label = new QLabel(&bar);
  label->setObjectName(QLatin1String(name));
  if (permanent)
    bar.addPermanentWidget(label);
  else
    bar.addWidget(label);
  return label;
}

}  // namespace

TBoardStatusBar::TBoardStatusBar(TPCBLayout& editor, QWidget* parent)
    : QStatusBar(parent),
      Editor_(editor),
      PositionLabel_(NewLabel(*this, "PositionLabel", false)),
      GridLabel_(NewLabel(*this, "GridLabel", true)),
      CountLabel_(NewLabel(*this, "CountLabel", true)) {
  PositionLabel_->setText(PositionText({0, 0}));
  ShowGridStep();
  ShowCounts();
  connect(&Editor_, &TPCBLayout::PointerMoved, this,
          [this](TPoint p) { PositionLabel_->setText(PositionText(p)); });
  connect(&Editor_, &TPCBLayout::BoardChanged, this, &TBoardStatusBar::ShowCounts);
  connect(&Editor_, &TPCBLayout::SelectionChanged, this, &TBoardStatusBar::ShowCounts);
  connect(&Editor_, &TPCBLayout::RecordsPassedOver, this, &TBoardStatusBar::ShowPassedOver);
}

QString TBoardStatusBar::PassedOverText(int32_t count) {
  // The same words as the converter's and the checker's.
  return QString::fromStdString(UnknownRecordsMessage(count));
}

void TBoardStatusBar::ShowPassedOver(int32_t count) {
  // Long enough to be read after the board appears; the board itself shows what did come in.
  if (count > 0)
    showMessage(PassedOverText(count), 15000);
  else
    clearMessage();
}

QString TBoardStatusBar::PositionText(const TPoint& p) {
  auto mm = [](int32_t v) { return QString::number(v * MmPerUnit, 'f', 2); };
  auto in = [](int32_t v) { return QString::number(double(v) / UnitsPerInch, 'f', 3); };
  return QStringLiteral("X %1 mm  Y %2 mm  (%3 in, %4 in)").arg(mm(p.X), mm(p.Y), in(p.X), in(p.Y));
}

void TBoardStatusBar::ShowGridStep() {
  const double step = UnitsPerStep * MmPerUnit / StepDivisorOf(Editor_.GridStep());
  GridLabel_->setText(QStringLiteral("Grid %1 mm").arg(QString::number(step, 'g', 6)));
}

void TBoardStatusBar::ShowCounts() {
  const int32_t n = Editor_.Elements().Count();
  CountLabel_->setText(QStringLiteral("%1 %2, %3 selected")
                           .arg(n)
                           .arg(n == 1 ? QStringLiteral("element") : QStringLiteral("elements"))
                           .arg(Editor_.SelectedCount()));
}
