// The View menu, its keys wherever the focus is, the scale box following the wheel, and the
// status bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "AppTestSupport.h"
#include "TBoardStatusBar.h"
#include "TPCBLayout.h"
#include "formats/BoardHelpers.h"

namespace {

class ViewMenu : public ::testing::Test {
 protected:
  TTestForm Form;

  void SetUp() override {
    Form.show();
    QApplication::setActiveWindow(&Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
  }
  void Wheel(int delta) {
    QWheelEvent e(QPointF(30, 30), Form.Editor->mapToGlobal(QPointF(30, 30)), QPoint(),
                  QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Form.Editor, &e);
  }
};

// The wheel, the keys (from the scale box too) and Fit Board all show their scale in the box,
// and stop at its range ends.
TEST_F(ViewMenu, ScaleBoxFollowsWheelKeysAndFit) {
  auto key = [&](QKeySequence keys) {
    Form.ScaleEdit->setFocus();
    QTest::keySequence(QApplication::focusWidget(), keys);
  };
  const struct {
    int start;
    std::function<void()> act;
    int scale, cell;
  } rows[] = {
      {0, [&] { Wheel(120); }, 3, 13},
      {0, [&] { Wheel(-120); }, -2, 8},
      {500, [&] { Wheel(120); }, 500, 510},
      {-9, [&] { Wheel(-120); }, -9, 1},
      {500, [&] { key(QKeySequence(Qt::CTRL | Qt::Key_Equal)); }, 500, 510},
      {499, [&] { key(QKeySequence(Qt::CTRL | Qt::Key_Plus)); }, 500, 510},
      {-8, [&] { key(QKeySequence(Qt::CTRL | Qt::Key_Minus)); }, -9, 1},
      {37, [&] { key(QKeySequence(Qt::Key_Home)); }, 0, 10},  // an empty board: the start view
      {37, [&] { key(QKeySequence(Qt::CTRL | Qt::Key_0)); }, 0, 10},
  };
  for (const auto& row : rows) {
    Form.ScaleEdit->setValue(row.start);
    row.act();
    EXPECT_EQ(Form.ScaleEdit->value(), row.scale) << row.start;
    EXPECT_EQ(Form.Editor->GridScale(), row.scale) << row.start;
    EXPECT_EQ(Form.Editor->CellSize(), row.cell) << row.start;
  }
  // Fit on a board of one pad zooms in to the end of the range.
  Form.Editor->Elements().AddSolder({160, 160}, 4, 12, sgCircle);
  key(QKeySequence(Qt::Key_Home));
  EXPECT_GT(Form.ScaleEdit->value(), 0);
  EXPECT_EQ(Form.ScaleEdit->value(), Form.Editor->GridScale());
  EXPECT_EQ(Form.Editor->BoardToScreen({160, 160}).X, Form.Editor->width() / 2);
}

TEST_F(ViewMenu, StatusBarShowsPositionGridAndCounts) {
  // clang-format off
  const std::pair<TPoint, const char*> positions[] = {
      {{80, 32}, "X 12.70 mm  Y 5.08 mm  (0.500 in, 0.200 in)"},
      {{0, 0}, "X 0.00 mm  Y 0.00 mm  (0.000 in, 0.000 in)"},
      {{-16, 1}, "X -2.54 mm  Y 0.16 mm  (-0.100 in, 0.006 in)"},
      {{1600, -4}, "X 254.00 mm  Y -0.64 mm  (10.000 in, -0.025 in)"}};
  // clang-format on
  for (const auto& [point, text] : positions) EXPECT_EQ(TBoardStatusBar::PositionText(point), text);

  // The pointer at pixel (52, 21) snaps to board point (80, 32).
  QTest::mouseMove(Form.Editor, QPoint(52, 21));
  EXPECT_EQ(Form.StatusBar->PositionLabel()->text(), positions[0].second);
  // Panned by the middle button the board moves under the still pointer.
  QTest::mousePress(Form.Editor, Qt::MiddleButton, {}, QPoint(52, 21));
  QTest::mouseMove(Form.Editor, QPoint(62, 41));
  QTest::mouseRelease(Form.Editor, Qt::MiddleButton, {}, QPoint(62, 41));
  EXPECT_EQ(Form.StatusBar->PositionLabel()->text(), positions[0].second);

  EXPECT_EQ(Form.StatusBar->GridLabel()->text(), "Grid 2.54 mm");
  Form.GridStepCombo->setCurrentIndex(gs1By4);
  EXPECT_EQ(Form.StatusBar->GridLabel()->text(), "Grid 0.635 mm");

  Form.Editor->Elements().AddWire({0, 0}, {16, 0}, 4);
  Form.Editor->Elements().AddSolder({16, 0}, 4, 12, sgCircle);
  Form.Editor->SelectAll();
  EXPECT_EQ(Form.StatusBar->CountLabel()->text(), "2 elements, 2 selected");
  Form.Editor->DeleteSelected();
  EXPECT_EQ(Form.StatusBar->CountLabel()->text(), "0 elements, 0 selected");
  Form.Editor->Undo();
  EXPECT_EQ(Form.StatusBar->CountLabel()->text(), "2 elements, 2 selected");

  // Records a load or a paste could not read are told for a while; a load without any takes the
  // message away.
  QTemporaryDir dir(TestHome() + QStringLiteral("/status-XXXXXX"));
  const QString unknown = dir.filePath("unknown.pcb"), plain = dir.filePath("plain.pcb");
  WriteBytes(unknown,
             "*Solder*\r\n0, 0, 4, 12, 0\r\n\r\n*Wire*\r\n**\r\n@RING 0, 0, 9\r\n"
             "@LABEL 0, 0, VCC\r\n**\r\n");
  WriteBytes(plain, "*Solder*\r\n0, 0, 4, 12, 0\r\n\r\n*Wire*\r\n");
  const std::pair<std::function<void()>, const char*> steps[] = {
      {[&] { Form.Document().Load(unknown); },
       "2 records this version cannot read were passed over"},
      {[&] { Form.Document().Load(plain); }, ""},
      {[&] {
         QGuiApplication::clipboard()->setText("*Solder*\r\n\r\n*Wire*\r\n**\r\n@RING 1\r\n**\r\n");
         Form.EditPaste->trigger();
       },
       "1 record this version cannot read was passed over"},
  };
  for (const auto& [step, message] : steps) {
    step();
    EXPECT_EQ(Form.StatusBar->currentMessage(), message);
    EXPECT_EQ(Form.Editor->Elements().Count(), 1) << message;
  }
}

}  // namespace
