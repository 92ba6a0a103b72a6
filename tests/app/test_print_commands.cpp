// The File menu's printing and output commands, driven as a user would, answering the dialogs.
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "AppTestSupport.h"
#include "TBoardPrint.h"
#include "TPrintOptionsDialog.h"

namespace {

class PrintCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The settings live in this binary's temporary home; each test starts from the defaults.
    QSettings(QSettings::UserScope, AppTitle, AppTitle).remove("print");
    form.Editor->Elements().AddWire({80, 160}, {240, 160}, 4);
    form.Editor->Elements().AddSolder({80, 160}, 16, 48, sgCircle);
    form.Editor->Elements().AddSolder({240, 160}, 16, 48, sgSquare);
  }
  // Opens Print Options, ticks mirror and asks for two rows, and answers with the button.
  void SetOptions(int button) {
    form.DialogAnswer = [button](QDialog& d) {
      auto& dialog = dynamic_cast<TPrintOptionsDialog&>(d);
      dialog.MirrorCheck->setChecked(true);
      dialog.RowsEdit->setValue(2);
      return button;
    };
    form.FilePrintOptions->trigger();
  }
  TTestForm form;
  QTemporaryDir dir;
};

TEST_F(PrintCommandsTest, OptionsDialogEditsACopyKeptInTheSettings) {
  SetOptions(QDialog::Rejected);
  EXPECT_TRUE(form.PrintOptions().IsDefault());
  SetOptions(QDialog::Accepted);
  TArtworkOptions want;
  std::tie(want.Mirror, want.Rows) = std::tuple(true, 2);
  EXPECT_TRUE(form.PrintOptions() == want);
  QSettings settings(QSettings::UserScope, AppTitle, AppTitle);
  EXPECT_TRUE(LoadArtworkOptions(settings) == want);

  // Export PDF and the preview draw the page the options give.
  ExportBoardPdf(form.Editor->Elements(), dir.filePath("want.pdf"), want);
  form.FileAnswers << dir.filePath("exported.pdf");
  form.FileExportPdf->trigger();
  form.DialogAnswer = [&](QDialog& d) {
    auto& preview = dynamic_cast<QPrintPreviewDialog&>(d);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(BoardPdfPageLayout());
    printer.setOutputFileName(dir.filePath("previewed.pdf"));
    emit preview.paintRequested(&printer);
    return int(QDialog::Accepted);
  };
  form.FilePrintPreview->trigger();
  const QImage page = RasterisePdf(dir.filePath("want.pdf"), 100);
  ASSERT_FALSE(page.isNull());
  for (const char* made : {"exported.pdf", "previewed.pdf"})
    EXPECT_TRUE(RasterisePdf(dir.filePath(made), 100) == page) << made;
  EXPECT_EQ(form.Boxes, QStringList());
}

TEST_F(PrintCommandsTest, ExportsAndTheirMessages) {
  form.Editor->Elements().AddSolder({400, 400}, 0, -3, sgCircle);  // no copper, no hole
  form.FileAnswers << dir.filePath("board.svg") << dir.filePath("board.zip");
  form.FileExportSvg->trigger();
  form.FileExportFabrication->trigger();
  EXPECT_TRUE(FileHas(dir.filePath("board.svg"), "<svg"));
  EXPECT_EQ(ReadBytes(dir.filePath("board.zip")).rfind("PK", 0), 0u);
  ASSERT_EQ(form.Boxes.size(), 1);
  EXPECT_EQ(form.Boxes[0],
            "One element cannot be made and was left out of the files:\n400, 400, 0, -3, 0");
  // Copies that cannot fit stop the preview before it opens.
  TArtworkOptions many;
  many.Columns = 20;
  form.SetPrintOptions(many);
  int previews = 0;
  form.DialogAnswer = [&](QDialog&) { return ++previews; };
  form.FilePrintPreview->trigger();
  EXPECT_EQ(previews, 0);
  ASSERT_EQ(form.Boxes.size(), 2);
  EXPECT_TRUE(form.Boxes[1].startsWith("1 × 20 copies of the board do not fit"))
      << form.Boxes[1].toStdString();
  if (QPrinterInfo::defaultPrinter().isNull()) {
    form.FilePrintCalibration->trigger();
    EXPECT_EQ(form.Boxes.value(2),
              QString::fromUtf8("Aucune imprimante par défaut n'est installée."));
  }
}

}  // namespace
