// The window's printing and output commands: the print options, the preview, the calibration
// page, and the SVG and fabrication exports. Print and Export PDF themselves take the options
// from here.
#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <cmath>
#include <memory>

#include "TArtworkOptions.h"
#include "TBoardError.h"
#include "TBoardPrint.h"
#include "TCalibrationPage.h"
#include "TFabrication.h"
#include "TMainForm.h"
#include "TMessageText.h"
#include "TPCBLayout.h"
#include "TPrintOptionsDialog.h"
#include "TUserSettings.h"

namespace {

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

void TMainForm::CreatePrintActions() {
  const QKeySequence none;
  FilePrintPreview =
      NewAction(QStringLiteral("Print Preview..."), none, -1, &TMainForm::FilePrintPreviewExecute);
  FilePrintOptions =
      NewAction(QStringLiteral("Print Options..."), none, -1, &TMainForm::FilePrintOptionsExecute);
  FilePrintCalibration = NewAction(QStringLiteral("Print Calibration Page"), none, -1,
                                   &TMainForm::FilePrintCalibrationExecute);
  FileExportSvg =
      NewAction(QStringLiteral("Export SVG..."), none, -1, &TMainForm::FileExportSvgExecute);
  FileExportFabrication = NewAction(QStringLiteral("Export Fabrication Files..."), none, -1,
                                    &TMainForm::FileExportFabricationExecute);
  // Print, its preview, options and calibration page, then the exports, in the File menu's
  // group of outputs.
  FileMenuItem->insertActions(FileExportPdf,
                              {FilePrintPreview, FilePrintOptions, FilePrintCalibration});
  const QList<QAction*> items = FileMenuItem->actions();
  const qsizetype pdf = items.indexOf(FileExportPdf);
  QAction* next = pdf + 1 < items.size() ? items[pdf + 1] : nullptr;
  FileMenuItem->insertActions(next, {FileExportSvg, FileExportFabrication});
}

TArtworkOptions TMainForm::PrintOptions() const {
  TArtworkOptions options = LoadArtworkOptions(*UserSettings());
  // Etched boards have their printed copper grown to make up for under-etching.
  if (Process_.Making == bmEtch)
    options.EtchCompensationUm =
        static_cast<int32_t>(std::lround(Process_.EtchCompensation * 1000));
  return options;
}

void TMainForm::SetPrintOptions(const TArtworkOptions& options) {
  SaveArtworkOptions(*UserSettings(), options);
}

int TMainForm::ExecDialog(QDialog& dialog) { return dialog.exec(); }

void TMainForm::FilePrintOptionsExecute() {
  TPrintOptionsDialog dialog(PrintOptions(), this);
  if (ExecDialog(dialog) == QDialog::Accepted) SetPrintOptions(dialog.Options());
}

void TMainForm::FilePrintPreviewExecute() {
  const TArtworkOptions options = PrintOptions();
  // The default printer's page, as Print uses it; without one, the A4 sheet of the PDF export,
  // from which the preview can still print to a file.
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  std::unique_ptr<QPrinter> printer;
  if (info.isNull()) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageLayout(BoardPdfPageLayout());
  } else {
    printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }
  printer->setFullPage(false);
  CheckCopiesFit(Editor->Elements(), options, printer->pageRect(QPrinter::Millimeter).size());
  QPrintPreviewDialog dialog(printer.get(), this);
  dialog.setWindowTitle(QStringLiteral("Print Preview"));
  // The preview and a print from it draw through Print's own page.
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this, options](QPrinter* target) {
    Guarded([&] { Editor->PrintOn(*target, options); });
  });
  ExecDialog(dialog);
}

void TMainForm::FilePrintCalibrationExecute() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) throw EBoardError("Aucune imprimante par défaut n'est installée");
  QPrinter printer(info, QPrinter::HighResolution);
  printer.setFullPage(false);
  if (!PlayCalibrationPage(printer))
    throw EBoardError(Utf8(QStringLiteral("L'imprimante \"%1\" n'a pas accepté le travail")
                               .arg(ShortQuote(printer.printerName(), QuotedNameLimit))));
  QMessageBox box(QMessageBox::Information, AppTitle, CalibrationAdvice(), QMessageBox::Ok, this);
  ExecMessageBox(box);
}

void TMainForm::FileExportSvgExecute() {
  const QString fileName = ChooseOutputFile(
      QStringLiteral("Export SVG"), QStringLiteral("SVG files (*.svg)"), QStringLiteral("svg"));
  if (fileName.isEmpty()) return;
  ExportBoardSvg(Editor->Elements(), fileName, PrintOptions());
}

void TMainForm::FileExportFabricationExecute() {
  QFileDialog dialog(this, QStringLiteral("Export Fabrication Files"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = {QStringLiteral("Gerber and drill files, zipped (*.zip)"),
                               QStringLiteral("Gerber bottom copper (*.gbr)"),
                               QStringLiteral("Excellon drill file (*.drl)")};
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QStringLiteral("zip"));
  // Named after the board, beside it; another kind of file takes its own extension.
  const QString proposed = ExportFileName(QStringLiteral("zip"));
  if (!proposed.isEmpty()) dialog.selectFile(proposed);
  connect(&dialog, &QFileDialog::filterSelected, &dialog,
          [this, &dialog, filters](const QString& f) {
            const char* const suffixes[] = {"zip", "gbr", "drl"};
            const qsizetype i = filters.indexOf(f);
            if (i < 0) return;
            dialog.setDefaultSuffix(QLatin1String(suffixes[i]));
            const QString name = ExportFileName(QLatin1String(suffixes[i]));
            if (!name.isEmpty()) dialog.selectFile(name);
          });
  const QString fileName = ExecFileDialog(dialog);
  if (fileName.isEmpty()) return;
  const std::string leftOut = LeftOutMessage(ExportFabricationFiles(Editor->Elements(), fileName));
  if (leftOut.empty()) return;
  QMessageBox box(QMessageBox::Warning, AppTitle, QString::fromStdString(leftOut), QMessageBox::Ok,
                  this);
  ExecMessageBox(box);
}
