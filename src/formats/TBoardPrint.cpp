#include "TBoardPrint.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <exception>

#include "TBoardError.h"
#include "TBoardFile.h"
#include "TCanvas.h"
#include "TCopperFill.h"
#include "TFabrication.h"
#include "TMessageText.h"

namespace {

// Lends the elements a page to draw on, and takes it back however the drawing ends.
class TPrinterLease {
 public:
  TPrinterLease(TLayoutView& view, TCanvas& canvas, int32_t dotsPerInch) : View_(view) {
    View_.SetPrinter(&canvas, dotsPerInch);
  }
  ~TPrinterLease() { View_.SetPrinter(nullptr, 0); }
  TPrinterLease(const TPrinterLease&) = delete;
  TPrinterLease& operator=(const TPrinterLease&) = delete;

 private:
  TLayoutView& View_;
};

enum TLayer { lyFills, lyWires, lyPads };

void DrawKind(const TElementList& list, TLayer layer) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    const TElementKind kind = e->Kind();
    const TLayer of = kind == ekFill                     ? lyFills
                      : kind == ekWire || kind == ekText ? lyWires
                                                         : lyPads;
    if (of == layer) e->Draw(dmPrint);
  }
}

// Fills first, under everything, with their gaps; then wires and the strokes of texts, then the
// pads of every kind over their ends, through-hole and surface-mount alike, as the board is drawn
// on the screen: a stroke across a pad leaves its hole white for the drill.
void DrawElements(const TElementList& list) {
  try {
    UpdateFills(list);
    DrawKind(list, lyFills);
    DrawKind(list, lyWires);
    DrawKind(list, lyPads);
  } catch (const std::exception&) {
    // Whatever was drawn stays on the page: the user still gets a sheet, as with a fault that
    // stops a single element.
  }
}

constexpr double kNmPerMm = 1e6;
// Copies lie this far apart, edge to edge, so each can be cut out with its own edge.
constexpr double kCopyGapMm = 5;
// A drill mark is half a millimetre across.
constexpr double kDrillMarkMm = 0.5;

// The board's edge in millimetres from the board origin, as the fabrication files have it; empty
// without copper.
QRectF EdgeMm(const TElementList& list) {
  const TFabricationBoard board = FabricationBoard(list);
  if (board.Empty()) return {};
  return QRectF(QPointF(board.Left / kNmPerMm, board.Top / kNmPerMm),
                QPointF(board.Right / kNmPerMm, board.Bottom / kNmPerMm));
}

}  // namespace

void DrawBoardPage(TElementList& list, QPainter& painter, int32_t dotsPerInch,
                   const TArtworkOptions& options) {
  TCanvas canvas(&painter);
  TPrinterLease lease(*list.Layout(), canvas, dotsPerInch);
  if (options.IsDefault()) {
    DrawElements(list);
    return;
  }
  const double dotsPerMm = dotsPerInch / 25.4;
  const QRectF edgeMm = EdgeMm(list);
  const QRectF edge(edgeMm.topLeft() * dotsPerMm, edgeMm.size() * dotsPerMm);
  const double gap = kCopyGapMm * dotsPerMm;
  if (options.DrillMarks)
    canvas.SetHoleRadiusLimit(static_cast<int32_t>(std::lround(kDrillMarkMm / 2 * dotsPerMm)));
  canvas.SetGrowth(std::clamp(options.EtchCompensationUm, 0, TArtworkOptions::MaxEtchCompensation) /
                   1000.0 * dotsPerMm);
  painter.save();
  // The correction stretches the whole sheet from the corner of the printable area, copies and
  // gaps included, as the printer shrinks it back.
  painter.scale(options.ScaleX / 10000.0, options.ScaleY / 10000.0);
  for (int32_t row = 0; row < options.Rows; ++row) {
    for (int32_t column = 0; column < options.Columns; ++column) {
      painter.save();
      painter.translate(column * (edge.width() + gap), row * (edge.height() + gap));
      if (options.Mirror) {
        painter.translate(edge.left() + edge.right(), 0);
        painter.scale(-1, 1);
      }
      if (options.Negative && !edge.isEmpty()) {
        painter.fillRect(edge, Qt::black);
        canvas.SetInverted(true);
      }
      DrawElements(list);
      canvas.SetInverted(false);
      painter.restore();
    }
  }
  painter.restore();
}

void CheckCopiesFit(TElementList& list, const TArtworkOptions& options, QSizeF printableMm) {
  if (options.Rows * options.Columns <= 1) return;
  const QRectF edge = EdgeMm(list);
  const double sx = options.ScaleX / 10000.0, sy = options.ScaleY / 10000.0;
  const double left = edge.left() * sx, top = edge.top() * sy;
  const double right = (edge.right() + (options.Columns - 1) * (edge.width() + kCopyGapMm)) * sx;
  const double bottom = (edge.bottom() + (options.Rows - 1) * (edge.height() + kCopyGapMm)) * sy;
  // A hundredth of a millimetre is given for the rounding of the page's own size.
  constexpr double slack = 0.01;
  if (left >= -slack && top >= -slack && right <= printableMm.width() + slack &&
      bottom <= printableMm.height() + slack)
    return;
  throw EBoardError(QStringLiteral("%1 × %2 copies of the board do not fit on the page: they "
                                   "reach from %3, %4 mm to %5, %6 mm from the corner of the "
                                   "printable area, which is %7 × %8 mm. Choose fewer copies")
                        .arg(options.Rows)
                        .arg(options.Columns)
                        .arg(left, 0, 'f', 1)
                        .arg(top, 0, 'f', 1)
                        .arg(right, 0, 'f', 1)
                        .arg(bottom, 0, 'f', 1)
                        .arg(printableMm.width(), 0, 'f', 1)
                        .arg(printableMm.height(), 0, 'f', 1)
                        .toUtf8()
                        .toStdString());
}

QPicture RecordBoardPage(TElementList& list, int32_t dotsPerInch, const TArtworkOptions& options) {
  QPicture page;
  QPainter painter(&page);
  DrawBoardPage(list, painter, dotsPerInch, options);
  painter.end();
  return page;
}

bool PlayBoardPage(const QPicture& page, QPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  // Nothing is moved to fit: what lies beyond the printable area is cut off at its edges, on a
  // PDF page as on paper.
  painter.setClipRect(QRect(0, 0, device.width(), device.height()));
  // A picture replays scaled from its own nominal resolution to the device's; the page was
  // drawn in the device's dots already, so that scaling is undone.
  painter.scale(qreal(page.logicalDpiX()) / device.logicalDpiX(),
                qreal(page.logicalDpiY()) / device.logicalDpiY());
  painter.drawPicture(0, 0, page);
  return painter.end();
}

QPageLayout BoardPdfPageLayout() {
  // A quarter inch all round lies inside the printable area of common printers, so the PDF
  // printed at 100 % puts the artwork about where printing straight from the editor would. It is
  // given in whole points because the PDF page rounds its printable area to them.
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                     QPageLayout::Point);
}

void FailPageWrite(const QString& fileName) {
  throw EBoardError(
      QStringLiteral("Impossible de créer le fichier \"%1\". The page could not be "
                     "written")
          .arg(ShortQuote(QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()), QuotedNameLimit))
          .toUtf8()
          .toStdString());
}

void ExportBoardPdf(TElementList& list, const QString& fileName, const TArtworkOptions& options) {
  CheckCopiesFit(list, options, BoardPdfPageLayout().paintRect(QPageLayout::Millimeter).size());
  const QPicture page = RecordBoardPage(list, BoardPdfResolution, options);
  SavePdfPage(fileName, [&page](QPdfWriter& writer) { return PlayBoardPage(page, writer); });
}

void SavePdfPage(const QString& fileName, const std::function<bool(QPdfWriter&)>& play) {
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  bool played;
  {
    QPdfWriter writer(&pdf);
    writer.setResolution(BoardPdfResolution);
    writer.setPageLayout(BoardPdfPageLayout());
    writer.setCreator(QStringLiteral("Ferrolume"));
    played = play(writer);
  }
  if (!played) FailPageWrite(fileName);
  const QByteArray& bytes = pdf.data();
  WriteBoardFile(fileName, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void ExportBoardSvg(TElementList& list, const QString& fileName, const TArtworkOptions& options) {
  const QPageLayout layout = BoardPdfPageLayout();
  CheckCopiesFit(list, options, layout.paintRect(QPageLayout::Millimeter).size());
  const double dotsPerMm = BoardSvgResolution / 25.4;
  // The sheet in whole dots, so that its size in millimetres is exact too (a dot is 15.875 µm).
  const QSizeF sheetMm = layout.fullRect(QPageLayout::Millimeter).size();
  const QSize sheet(static_cast<int>(std::lround(sheetMm.width() * dotsPerMm)),
                    static_cast<int>(std::lround(sheetMm.height() * dotsPerMm)));
  auto mm = [](int dots) {
    const int64_t nm = int64_t{dots} * 15875;
    return QStringLiteral("%1.%2").arg(nm / 1000000).arg(nm % 1000000, 6, 10, QLatin1Char('0'));
  };
  QBuffer svg;
  svg.open(QIODevice::WriteOnly);
  {
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setResolution(BoardSvgResolution);
    generator.setSize(sheet);
    generator.setViewBox(QRect(QPoint(0, 0), sheet));
    generator.setTitle(QFileInfo(fileName).completeBaseName());
    generator.setDescription(QStringLiteral("Board artwork at true size, made by Ferrolume"));
    QPainter painter;
    if (!painter.begin(&generator)) FailPageWrite(fileName);
    // The artwork starts where it starts on the PDF page, at the printable area's corner.
    const QPointF corner = layout.paintRect(QPageLayout::Millimeter).topLeft() * dotsPerMm;
    painter.translate(corner);
    DrawBoardPage(list, painter, BoardSvgResolution, options);
    if (!painter.end()) FailPageWrite(fileName);
  }
  // The generator writes the size in millimetres to six digits; it is given all of them.
  QString text = QString::fromUtf8(svg.data());
  text.replace(
      QRegularExpression(QStringLiteral(" width=\"[0-9.]+mm\" height=\"[0-9.]+mm\"")),
      QStringLiteral(" width=\"%1mm\" height=\"%2mm\"").arg(mm(sheet.width()), mm(sheet.height())));
  const QByteArray bytes = text.toUtf8();
  WriteBoardFile(fileName, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}
