#include "TBoardPrint.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <exception>

#include "TBoardError.h"
#include "TBoardFile.h"
#include "TCanvas.h"
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

void DrawKind(const TElementList& list, bool wires) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->IsWire() == wires) e->Draw(dmPrint);
  }
}

}  // namespace

void DrawBoardPage(TElementList& list, QPainter& painter, int32_t dotsPerInch) {
  TCanvas canvas(&painter);
  TPrinterLease lease(*list.Layout(), canvas, dotsPerInch);
  try {
    DrawKind(list, true);
    DrawKind(list, false);
  } catch (const std::exception&) {
    // Whatever was drawn stays on the page: the user still gets a sheet, as with a fault that
    // stops a single element.
  }
}

QPicture RecordBoardPage(TElementList& list, int32_t dotsPerInch) {
  QPicture page;
  QPainter painter(&page);
  DrawBoardPage(list, painter, dotsPerInch);
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

void ExportBoardPdf(TElementList& list, const QString& fileName) {
  const QPicture page = RecordBoardPage(list, BoardPdfResolution);
  // The PDF is made whole in memory and then saved as a board file is, so it fails with the
  // same messages and never leaves half a file.
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  bool played;
  {
    QPdfWriter writer(&pdf);
    writer.setResolution(BoardPdfResolution);
    writer.setPageLayout(BoardPdfPageLayout());
    writer.setCreator(QStringLiteral("Ferrolume"));
    played = PlayBoardPage(page, writer);
  }
  if (!played)
    throw EBoardError(QStringLiteral("Impossible de créer le fichier \"%1\". The page could not be "
                                     "written")
                          .arg(ShortQuote(QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()),
                                          QuotedNameLimit))
                          .toUtf8()
                          .toStdString());
  const QByteArray& bytes = pdf.data();
  WriteBoardFile(fileName, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}
