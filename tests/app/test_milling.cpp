// Milling in the window: the process dialog, the files, the check, the prints, Show Milling.
#include "AppTestSupport.h"
#include "TCanvas.h"
#include "TProcessDialog.h"

namespace {

class Milling : public TFreshForm {
 protected:
  Milling() : TFreshForm({"MillProcess", "View/ShowMilling"}) {}
  // The dialog opened from the Tools menu, given to Typing; its answer is OK unless refused.
  int RunProcess(const std::function<void(TProcessDialog&)>& typing) {
    int result = -1;
    Form->DialogAnswer = [&](QDialog& d) {
      auto& dialog = dynamic_cast<TProcessDialog&>(d);
      typing(dialog);
      dialog.accept();
      Refusal = dialog.ProblemLabel->isHidden() ? QString() : dialog.ProblemLabel->text();
      return result = dialog.result();
    };
    Form->ToolsProcess->trigger();
    return result;
  }
  // Two wires of 2 units (0.32 mm) with GapUnits of bare board between their edges.
  void TwoTracks(int32_t gapUnits) {
    Form->Editor->Elements().AddWire({32, 32}, {160, 32}, 8);
    Form->Editor->Elements().AddWire({32, 34 + gapUnits}, {160, 34 + gapUnits}, 8);
    Form->Editor->RenderBoard();
  }
  QString Refusal;
};

TEST_F(Milling, ProcessDialogKeptRefusedAndFollowedByPrintsAndCheck) {
  // A V-bit's cut width follows its values as they are typed: 0.1 + 2 x 0.1 x tan 30°.
  EXPECT_EQ(RunProcess([](TProcessDialog& d) {
              d.MakingCombo->setCurrentIndex(bmMill);
              d.BitCombo->setCurrentIndex(mbVee);
              d.VAngleEdit->setValue(60);
              d.VTipEdit->setValue(0.1);
              d.CutDepthEdit->setValue(0.1);
              EXPECT_EQ(d.CutWidthLabel->text(), QStringLiteral("0.215 mm"));
              d.PassesEdit->setValue(3);
              d.MirrorCheck->setChecked(false);
            }),
            int(QDialog::Accepted));
  // Kept for the next window; a milled board prints without growth.
  Open();
  TMillProcess wanted;
  std::tie(wanted.Making, wanted.VAngle, wanted.Passes, wanted.Mirror) =
      std::tuple(bmMill, 60, 3, false);
  EXPECT_EQ(TProcessDialog::Load(), wanted);
  EXPECT_EQ(Form->PrintOptions().EtchCompensationUm, 0);
  // A value out of range is refused with the reason, and nothing is kept.
  EXPECT_NE(RunProcess([](TProcessDialog& d) { d.PassesEdit->setValue(5); }),
            int(QDialog::Accepted));
  EXPECT_EQ(Refusal, "The isolation passes must number 1 to 4.");
  EXPECT_EQ(TProcessDialog::Load(), wanted);
  // Etching with compensation grows the printed copper, in micrometres.
  RunProcess([](TProcessDialog& d) {
    d.MakingCombo->setCurrentIndex(bmEtch);
    d.EtchCompensationEdit->setValue(0.12);
  });
  EXPECT_EQ(Form->PrintOptions().EtchCompensationUm, 120);
}

// The three jobs, or an error box and none of them.
TEST_F(Milling, ExportWritesTheThreeJobsOrNothing) {
  QTemporaryDir dir;
  TwoTracks(8);
  Form->Editor->Elements().AddSolder({32, 32}, 4, 12, sgCircle);
  QDir(dir.path()).mkpath(QStringLiteral("blocked/board-outline.nc"));
  Form->FileAnswers = QStringList{dir.filePath("board.nc"), dir.filePath("no/such/board.nc"),
                                  dir.filePath("blocked/board.nc")};
  for (int k = 0; k < 3; ++k) Form->FileExportMilling->trigger();
  for (const char* name : {"board.nc", "board-drill.nc", "board-outline.nc"})
    EXPECT_TRUE(FileHas(dir.filePath(name), "G21")) << name;
  EXPECT_EQ(Form->Boxes.size(), 2);
  EXPECT_EQ(QDir(dir.filePath(QStringLiteral("blocked"))).entryList(QDir::Files), QStringList());
}

TEST_F(Milling, ShowMillingDrawsTheGroovesAndMarksGapsAndIsKept) {
  TwoTracks(1);
  RunProcess([](TProcessDialog& d) {
    d.MakingCombo->setCurrentIndex(bmMill);
    d.BitCombo->setCurrentIndex(mbFlat);
    d.BitDiameterEdit->setValue(0.3);
  });
  // Grooves orange, gaps the bit cannot pass red.
  auto count = [&](std::function<bool(QRgb)> wanted) {
    Form->Editor->Paint();
    return CountPixels(Form->Editor->Canvas().Image()->copy(), wanted);
  };
  auto orange = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 60 && qBlue(c) < 150; };
  auto red = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 40 && qBlue(c) < 40; };
  EXPECT_EQ(count(orange), 0);
  Form->ViewShowMilling->trigger();
  EXPECT_GT(count(orange), 100);
  EXPECT_GT(count(red), 10);
  Open();
  EXPECT_TRUE(Form->ViewShowMilling->isChecked());
  Form->ViewShowMilling->trigger();
  EXPECT_EQ(count(orange), 0);
}

}  // namespace
