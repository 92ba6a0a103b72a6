#include "TCalibrationPage.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include "TBoardFile.h"
#include "TBoardPrint.h"

namespace {

constexpr double kSide = 100;       // mm, the square and the rulers
constexpr double kSquareAt = 10;    // mm from the printable area's corner, both ways
constexpr double kRulerGap = 15;    // mm between the square and each ruler
constexpr double kLineWidth = 0.2;  // mm
constexpr double kNoteAt = kSquareAt + kSide + kRulerGap + 20;

}  // namespace

QString CalibrationAdvice() {
  return QStringLiteral(
      "Print this page at 100 % (no \"fit to page\") and measure the square and the rulers. "
      "The correction across is 100 × 100 / the measured width, the correction down 100 × 100 "
      "/ the measured height, in percent: a width of 99.0 mm gives 101.01 %. Enter them in "
      "Print Options (or give them to ferrolume-convert as --scale-x and --scale-y).");
}

void DrawCalibrationPage(QPainter& painter, int32_t dotsPerInch) {
  painter.save();
  const double k = dotsPerInch / 25.4;  // dots per millimetre
  auto at = [k](double x, double y) { return QPointF(x * k, y * k); };
  auto box = [k](double x, double y, double w, double h) {
    return QRectF(x * k, y * k, w * k, h * k);
  };
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(Qt::black, kLineWidth * k, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  painter.setBrush(Qt::NoBrush);
  // The lines are centred on the exact 100 mm, so the square is measured from the middle of
  // one side to the middle of the other, and the rulers from the middle of their end ticks.
  painter.drawRect(box(kSquareAt, kSquareAt, kSide, kSide));
  // Points are the device's own: text sizes do not follow the millimetres.
  QFont font(QStringLiteral("Sans Serif"));
  font.setPointSizeF(8);
  painter.setFont(font);
  const double ruler = kSquareAt + kSide + kRulerGap;  // the ruler across at this y, down at this x
  painter.drawLine(at(kSquareAt, ruler), at(kSquareAt + kSide, ruler));
  painter.drawLine(at(ruler, kSquareAt), at(ruler, kSquareAt + kSide));
  for (int mm = 0; mm <= kSide; ++mm) {
    const double length = mm % 10 == 0 ? 6 : mm % 5 == 0 ? 4 : 2.5;
    const double along = kSquareAt + mm;
    painter.drawLine(at(along, ruler), at(along, ruler + length));
    painter.drawLine(at(ruler, along), at(ruler + length, along));
    if (mm % 10 == 0) {
      const QString label = QString::number(mm);
      painter.drawText(box(along - 5, ruler + 6.5, 10, 4), Qt::AlignCenter, label);
      painter.drawText(box(ruler + 7, along - 2, 10, 4), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
  }
  painter.drawText(box(kSquareAt, kSquareAt + kSide / 2 - 3, kSide, 6), Qt::AlignCenter,
                   QStringLiteral("100 mm × 100 mm"));
  font.setPointSizeF(10);
  painter.setFont(font);
  painter.drawText(box(kSquareAt, kNoteAt, 170, 40), Qt::TextWordWrap,
                   QStringLiteral("Ferrolume printer calibration\n\n") + CalibrationAdvice());
  painter.restore();
}

bool PlayCalibrationPage(QPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  DrawCalibrationPage(painter, device.logicalDpiX());
  return painter.end();
}

void ExportCalibrationPdf(const QString& fileName) {
  SavePdfPage(fileName, [](QPdfWriter& writer) { return PlayCalibrationPage(writer); });
}
