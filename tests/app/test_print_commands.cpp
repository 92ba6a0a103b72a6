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
    UserSettings()->remove("print");
    form.Editor->Elements().AddWire({80, 160}, {240, 160}, 4);
    form.Editor->Elements().AddSolder({80, 160}, 16, 48, sgCircle);
    form.Editor->Elements().AddSolder({240, 160}, 16, 48, sgSquare);
  }
  TTestForm form;
  QTemporaryDir dir;
};

TEST_F(PrintCommandsTest, OptionsDialogEditsACopyKeptInTheSettingsAndThePagesFollowIt) {
  QStringList labels;
  for (const int button : {QDialog::Rejected, QDialog::Accepted}) {
    form.DialogAnswer = [&](QDialog& d) {
      auto& dialog = dynamic_cast<TPrintOptionsDialog&>(d);
      for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
      dialog.MirrorCheck->setChecked(true);
      dialog.RowsEdit->setValue(2);
      return button;
    };
    form.FilePrintOptions->trigger();
    EXPECT_EQ(form.PrintOptions().IsDefault(), button == QDialog::Rejected);
  }
  EXPECT_TRUE(labels.contains("Scale across:") && labels.contains("Scale down:"));
  TArtworkOptions want;
  std::tie(want.Mirror, want.Rows) = std::tuple(true, 2);
  EXPECT_TRUE(form.PrintOptions() == want);
  EXPECT_TRUE(LoadArtworkOptions(*UserSettings()) == want);

  // Export PDF and the preview, on the window's own page, draw the page the options give.
  ExportBoardPdf(form.Editor->Elements(), dir.filePath("want.pdf"), want);
  form.FileAnswers << dir.filePath("exported.pdf");
  form.FileExportPdf->trigger();
  form.DialogAnswer = [&](QDialog& d) {
    QPrinter* printer = dynamic_cast<QPrintPreviewDialog&>(d).printer();
    printer->setOutputFileName(dir.filePath("previewed.pdf"));
    emit dynamic_cast<QPrintPreviewDialog&>(d).paintRequested(printer);
    return int(QDialog::Accepted);
  };
  form.FilePrintPreview->trigger();
  const QImage page = RasterisePdf(dir.filePath("want.pdf"), 100);
  ASSERT_FALSE(page.isNull());
  for (const char* made : {"exported.pdf", "previewed.pdf"})
    EXPECT_TRUE(RasterisePdf(dir.filePath(made), 100) == page) << made;
}

TEST_F(PrintCommandsTest, ExportsAndTheirMessages) {
  form.Editor->Elements().AddSolder({400, 400}, 0, -3, sgCircle);  // no copper, no hole
  form.FileAnswers << dir.filePath("board.svg") << dir.filePath("board.zip");
  form.FileExportSvg->trigger();
  form.FileExportFabrication->trigger();
  EXPECT_TRUE(FileHas(dir.filePath("board.svg"), "<svg"));
  EXPECT_EQ(ReadBytes(dir.filePath("board.zip")).rfind("PK", 0), 0u);
  // Copies that cannot fit stop the preview before it opens.
  TArtworkOptions many;
  many.Columns = 20;
  form.SetPrintOptions(many);
  int previews = 0;
  form.DialogAnswer = [&](QDialog&) { return ++previews; };
  form.FilePrintPreview->trigger();
  EXPECT_EQ(previews, 0);
  ASSERT_EQ(form.Boxes.size(), 2);
  EXPECT_EQ(form.Boxes[0],
            "One element cannot be made and was left out of the files:\n400, 400, 0, -3, 0");
  // The preview's page keeps the printer's margins.
  EXPECT_TRUE(form.Boxes[1].startsWith("1 × 20 copies of the board do not fit") &&
              form.Boxes[1].contains("printable area, which is 197.3 × 284.3 mm"))
      << form.Boxes[1].toStdString();
  if (QPrinterInfo::defaultPrinter().isNull()) {
    form.FilePrintCalibration->trigger();
    EXPECT_EQ(form.Boxes.value(2),
              QString::fromUtf8("Aucune imprimante par défaut n'est installée."));
  }
}

}  // namespace
