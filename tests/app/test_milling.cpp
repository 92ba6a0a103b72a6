// Milling in the window: the process dialog kept in the settings, the milling files, the check
// with the bit's cut width, the etch compensation in the prints, and View > Show Milling.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "AppTestSupport.h"
#include "TArtworkOptions.h"
#include "TCanvas.h"
#include "TPCBLayout.h"
#include "TProblemsPanel.h"
#include "TProcessDialog.h"
#include "TUserSettings.h"

namespace {

class Milling : public ::testing::Test {
 protected:
  void SetUp() override {
    Forget();
    Open();
  }
  void TearDown() override { Forget(); }
  static void Forget() {
    UserSettings()->remove(QStringLiteral("MillProcess"));
    UserSettings()->remove(QStringLiteral("View/ShowMilling"));
  }
  void Open() {
    Form = std::make_unique<TTestForm>();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  }
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
  // Two wires of 2 units (0.32 mm) with GapUnits of bare board between their edges.
  void TwoTracks(int32_t gapUnits) {
    TElementList& list = Form->Editor->Elements();
    list.AddWire({32, 32}, {160, 32}, 8);
    list.AddWire({32, 34 + gapUnits}, {160, 34 + gapUnits}, 8);
    Form->Editor->RenderBoard();
  }
  std::unique_ptr<TTestForm> Form;
  QString Refusal;
};

TEST_F(Milling, ProcessDialogKeptRefusedAndFollowedByPrintsAndCheck) {
  // A V-bit's cut width follows its values as they are typed: 0.1 + 2 x 0.1 x tan 30°.
  int accepted = RunProcess([](TProcessDialog& d) {
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
  wanted.Making = bmMill;
  wanted.VAngle = 60;
  wanted.Passes = 3;
  wanted.Mirror = false;
  EXPECT_EQ(TProcessDialog::Load(), wanted);
  EXPECT_EQ(Form->PrintOptions().EtchCompensationUm, 0);

  // Values out of range are refused with the reason, and nothing is kept.
  const struct {
    std::function<void(TProcessDialog&)> typing;
    const char* reason;
  } refused[] = {
      {[](TProcessDialog& d) { d.EtchCompensationEdit->setValue(0.25); }, "etch compensation"},
      {[](TProcessDialog& d) { d.PassesEdit->setValue(5); }, "passes"},
      {[](TProcessDialog& d) { d.TravelHeightEdit->setValue(6); }, "travel height"},
  };
  for (const auto& r : refused) {
    EXPECT_NE(RunProcess(r.typing), int(QDialog::Accepted)) << r.reason;
    EXPECT_TRUE(Refusal.contains(QLatin1String(r.reason))) << Refusal.toStdString();
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
    int n = 0;
    for (const TProblem& p : Form->ProblemsPanel->Problems()) n += p.Kind == pkIsolation;
    return n;
  };
  Form->ToolsCheckBoard->trigger();
  EXPECT_EQ(isolationRows(), 0);
  const struct {
    double bit;
    int rows;
  } cases[] = {{0.6, 1}, {0.4, 0}};
  for (const auto& c : cases) {
    RunProcess([&](TProcessDialog& d) {
      d.MakingCombo->setCurrentIndex(bmMill);
      d.BitCombo->setCurrentIndex(mbFlat);
      d.BitDiameterEdit->setValue(c.bit);
    });
    EXPECT_EQ(isolationRows(), c.rows) << c.bit;
  }
}

TEST_F(Milling, ExportWritesTheThreeJobsOrNothing) {
  QTemporaryDir dir;
  TElementList& list = Form->Editor->Elements();
  list.AddSolder({32, 32}, 4, 12, sgCircle);
  list.AddSolder({96, 32}, 4, 12, sgCircle);
  list.AddWire({32, 32}, {96, 32}, 2);
  Form->FileAnswers << dir.filePath(QStringLiteral("board.nc"));
  Form->FileExportMilling->trigger();
  for (const char* name : {"board.nc", "board-drill.nc", "board-outline.nc"}) {
    QFile file(dir.filePath(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    EXPECT_TRUE(file.readAll().contains("G21")) << name;
  }
  EXPECT_TRUE(Form->Boxes.isEmpty());
  // A folder that is not there, and one where the last file cannot be written: an error box,
  // and not one of the three files.
  QDir(dir.path()).mkpath(QStringLiteral("blocked/board-outline.nc"));
  const char* const failing[] = {"no/such/folder/board.nc", "blocked/board.nc"};
  for (const char* target : failing) {
    const int boxes = Form->Boxes.size();
    Form->FileAnswers << dir.filePath(QLatin1String(target));
    Form->FileExportMilling->trigger();
    EXPECT_EQ(Form->Boxes.size(), boxes + 1) << target;
  }
  EXPECT_EQ(QDir(dir.filePath(QStringLiteral("blocked"))).entryList(QDir::Files), QStringList());
}

TEST_F(Milling, ShowMillingDrawsTheGroovesAndMarksGapsAndIsKept) {
  TwoTracks(1);
  RunProcess([](TProcessDialog& d) {
    d.MakingCombo->setCurrentIndex(bmMill);
    d.BitCombo->setCurrentIndex(mbFlat);
    d.BitDiameterEdit->setValue(0.3);
  });
  // The window as the user sees it; after Open, the new window's.
  auto shown = [&] {
    Form->Editor->Paint();
    return Form->Editor->Canvas().Image()->copy();
  };
  auto count = [](const QImage& image, auto&& wanted) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += wanted(image.pixelColor(x, y));
    return n;
  };
  auto orange = [](QColor c) { return c.red() > 200 && c.green() > 60 && c.blue() < 150; };
  auto red = [](QColor c) { return c.red() > 200 && c.green() < 40 && c.blue() < 40; };
  const QImage before = shown();
  EXPECT_EQ(count(before, orange), 0);
  Form->ViewShowMilling->trigger();
  const QImage grooves = shown();
  EXPECT_GT(count(grooves, orange), 100);
  EXPECT_GT(count(grooves, red), 10);
  // The grooves follow the board: a third track far off gets its own.
  Form->Editor->Elements().AddWire({32, 200}, {160, 200}, 8);
  Form->Editor->RenderBoard();
  EXPECT_GT(count(shown(), orange), count(grooves, orange) + 50);
  // The check's markers are drawn over the grooves, and closing the panel keeps the grooves.
  auto magenta = [](QColor c) { return c.rgb() == qRgb(255, 0, 255); };
  Form->ToolsCheckBoard->trigger();
  const QImage both = shown();
  EXPECT_GT(count(both, magenta), 10);
  EXPECT_GT(count(both, orange), 100);
  Form->ProblemsPanel->hide();
  EXPECT_EQ(count(shown(), magenta), 0);
  EXPECT_GT(count(shown(), orange), 100);
  Open();
  EXPECT_TRUE(Form->ViewShowMilling->isChecked());
  Form->ViewShowMilling->trigger();
  EXPECT_EQ(count(shown(), orange), 0);
}

}  // namespace
