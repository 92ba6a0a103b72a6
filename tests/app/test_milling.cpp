// Milling in the window: the process dialog kept in the settings, the milling files, the check
// with the bit's cut width, the etch compensation in the prints, and View > Show Milling.
#include "AppTestSupport.h"
#include "TCanvas.h"
#include "TProblemsPanel.h"
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
      result = dialog.result();
      Refusal = dialog.ProblemLabel->isHidden() ? QString() : dialog.ProblemLabel->text();
      return result;
    };
    Form->ToolsProcess->trigger();
    return result;
  }
  void MillWithFlatBit(double mm) {
    RunProcess([mm](TProcessDialog& d) {
      d.MakingCombo->setCurrentIndex(bmMill);
      d.BitCombo->setCurrentIndex(mbFlat);
      d.BitDiameterEdit->setValue(mm);
    });
  }
  // Two wires of 2 units (0.32 mm) with GapUnits of bare board between their edges.
  void TwoTracks(int32_t gapUnits) {
    TElementList& list = Form->Editor->Elements();
    list.AddWire({32, 32}, {160, 32}, 8);
    list.AddWire({32, 34 + gapUnits}, {160, 34 + gapUnits}, 8);
    Form->Editor->RenderBoard();
  }
  QString Refusal;
};

TEST_F(Milling, ProcessDialogKeptRefusedAndFollowedByPrintsAndCheck) {
  // A V-bit's cut width follows its values as they are typed: 0.1 + 2 x 0.1 x tan 30°.
  const int accepted = RunProcess([](TProcessDialog& d) {
    d.MakingCombo->setCurrentIndex(bmMill);
    d.BitCombo->setCurrentIndex(mbVee);
    d.VAngleEdit->setValue(60);
    d.VTipEdit->setValue(0.1);
    d.CutDepthEdit->setValue(0.1);
    EXPECT_EQ(d.CutWidthLabel->text(), QStringLiteral("0.215 mm"));
    d.PassesEdit->setValue(3);
    d.MirrorCheck->setChecked(false);
  });
  EXPECT_EQ(accepted, int(QDialog::Accepted));
  // Kept for the next window; a milled board prints without growth.
  Open();
  TMillProcess wanted;
  std::tie(wanted.Making, wanted.VAngle, wanted.Passes, wanted.Mirror) =
      std::tuple(bmMill, 60, 3, false);
  EXPECT_EQ(TProcessDialog::Load(), wanted);
  EXPECT_EQ(Form->PrintOptions().EtchCompensationUm, 0);

  // Values out of range are refused with the reason, and nothing is kept.
  const std::pair<std::function<void(TProcessDialog&)>, const char*> refused[] = {
      {[](TProcessDialog& d) { d.EtchCompensationEdit->setValue(0.25); }, "etch compensation"},
      {[](TProcessDialog& d) { d.PassesEdit->setValue(5); }, "passes"},
      {[](TProcessDialog& d) { d.TravelHeightEdit->setValue(6); }, "travel height"},
  };
  for (const auto& [typing, reason] : refused) {
    EXPECT_NE(RunProcess(typing), int(QDialog::Accepted)) << reason;
    EXPECT_TRUE(Refusal.contains(QLatin1String(reason))) << Refusal.toStdString();
    EXPECT_TRUE(Refusal.front().isUpper() && Refusal.endsWith('.')) << Refusal.toStdString();
  }
  EXPECT_EQ(TProcessDialog::Load(), wanted);

  // Etching with compensation grows the printed copper, in micrometres.
  RunProcess([](TProcessDialog& d) {
    d.MakingCombo->setCurrentIndex(bmEtch);
    d.EtchCompensationEdit->setValue(0.12);
  });
  EXPECT_EQ(Form->PrintOptions().EtchCompensationUm, 120);
}

TEST_F(Milling, CheckFindsGapsTheBitCannotPassOnlyWhenMilling) {
  // Wire edges 3 units (0.476 mm) apart: wide enough to etch, not for a 0.6 mm flat bit.
  TwoTracks(3);
  auto isolationRows = [&] {
    const std::vector<TProblem>& problems = Form->ProblemsPanel->Problems();
    return std::count_if(problems.begin(), problems.end(),
                         [](const TProblem& p) { return p.Kind == pkIsolation; });
  };
  Form->ToolsCheckBoard->trigger();
  EXPECT_EQ(isolationRows(), 0);
  for (const auto& [bit, rows] : {std::pair{0.6, 1}, {0.4, 0}}) {
    MillWithFlatBit(bit);
    EXPECT_EQ(isolationRows(), rows) << bit;
  }
}

TEST_F(Milling, ExportWritesTheThreeJobsOrNothing) {
  QTemporaryDir dir;
  TElementList& list = Form->Editor->Elements();
  list.AddSolder({32, 32}, 4, 12, sgCircle);
  list.AddSolder({96, 32}, 4, 12, sgCircle);
  list.AddWire({32, 32}, {96, 32}, 2);
  Form->FileAnswers << dir.filePath("board.nc");
  Form->FileExportMilling->trigger();
  for (const char* name : {"board.nc", "board-drill.nc", "board-outline.nc"})
    EXPECT_TRUE(FileHas(dir.filePath(name), "G21")) << name;
  EXPECT_TRUE(Form->Boxes.isEmpty());
  // A folder that is not there, and one where the last file cannot be written: an error box,
  // and not one of the three files.
  QDir(dir.path()).mkpath(QStringLiteral("blocked/board-outline.nc"));
  for (const char* target : {"no/such/folder/board.nc", "blocked/board.nc"}) {
    const int boxes = Form->Boxes.size();
    Form->FileAnswers << dir.filePath(QLatin1String(target));
    Form->FileExportMilling->trigger();
    EXPECT_EQ(Form->Boxes.size(), boxes + 1) << target;
  }
  EXPECT_EQ(QDir(dir.filePath(QStringLiteral("blocked"))).entryList(QDir::Files), QStringList());
}

TEST_F(Milling, ShowMillingDrawsTheGroovesAndMarksGapsAndIsKept) {
  TwoTracks(1);
  MillWithFlatBit(0.3);
  // The window as the user sees it; after Open, the new window's.
  auto shown = [&] {
    Form->Editor->Paint();
    return Form->Editor->Canvas().Image()->copy();
  };
  auto orange = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 60 && qBlue(c) < 150; };
  auto red = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 40 && qBlue(c) < 40; };
  EXPECT_EQ(CountPixels(shown(), orange), 0);
  Form->ViewShowMilling->trigger();
  const QImage grooves = shown();
  EXPECT_GT(CountPixels(grooves, orange), 100);
  EXPECT_GT(CountPixels(grooves, red), 10);
  // The grooves follow the board: a third track far off gets its own.
  Form->Editor->Elements().AddWire({32, 200}, {160, 200}, 8);
  Form->Editor->RenderBoard();
  EXPECT_GT(CountPixels(shown(), orange), CountPixels(grooves, orange) + 50);
  // The check's markers are drawn over the grooves, and closing the panel keeps the grooves.
  auto magenta = [](QRgb c) { return (c & 0xFFFFFF) == 0xFF00FF; };
  Form->ToolsCheckBoard->trigger();
  for (const bool panel : {true, false}) {
    Form->ProblemsPanel->setVisible(panel);
    const QImage image = shown();
    EXPECT_EQ(CountPixels(image, magenta) > 10, panel);
    EXPECT_GT(CountPixels(image, orange), 100);
  }
  Open();
  EXPECT_TRUE(Form->ViewShowMilling->isChecked());
  Form->ViewShowMilling->trigger();
  EXPECT_EQ(CountPixels(shown(), orange), 0);
}

}  // namespace
