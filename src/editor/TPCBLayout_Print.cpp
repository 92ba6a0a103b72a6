#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include "TBoardError.h"
#include "TBoardPrint.h"
#include "TMessageText.h"
#include "TPCBLayout.h"

namespace {

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

// What the user knows the printer by: its queue, or the file it writes to.
QString Name(const QPrinter& printer) {
  return ShortQuote(printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                  : printer.printerName(),
                    QuotedNameLimit);
}

}  // namespace

void TPCBLayout::Print(const TArtworkOptions& options) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) throw EBoardError("Aucune imprimante par défaut n'est installée");
  QPrinter printer(info, QPrinter::HighResolution);
  PrintOn(printer, options);
}

void TPCBLayout::PrintOn(QPrinter& printer, const TArtworkOptions& options) {
  printer.setFullPage(false);
  const int32_t dpi = printer.resolution();
  if (!printer.isValid() || dpi <= 0 || !printer.pageLayout().isValid() ||
      printer.pageRect(QPrinter::DevicePixel).isEmpty())
    throw EBoardError(
        Utf8(QStringLiteral("L'imprimante \"%1\" n'indique pas sa page").arg(Name(printer))));

  // A job cannot be taken back once it has begun, so the page is made before the job is opened:
  // a fault in drawing an element only leaves it off the sheet, and copies that do not fit stop
  // the print before anything is sent.
  CheckCopiesFit(Elements(), options, printer.pageRect(QPrinter::Millimeter).size());
  const QPicture page = RecordBoardPage(Elements(), dpi, options);
  if (!PlayBoardPage(page, printer))
    throw EBoardError(
        Utf8(QStringLiteral("L'imprimante \"%1\" n'a pas accepté le travail").arg(Name(printer))));
}

void TPCBLayout::ExportPdf(const QString& fileName, const TArtworkOptions& options) {
  ExportBoardPdf(Elements(), fileName, options);
}
