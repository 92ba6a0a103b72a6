// The board's keys wherever the focus is, and the solder tool's shape menu.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "AppTestSupport.h"
#include "TPCBLayout.h"

namespace {

// Counts the shortcut deliveries an action receives and swallows them, so the test sees which
// action a key reaches without opening dialogs or printing.
class TShortcutCatcher : public QObject {
 public:
  int Count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Shortcut) return false;
    ++Count;
    return true;
  }
};

class Shortcuts : public ::testing::Test {
 protected:
  TTestForm Form;

  void SetUp() override {
    Form.show();
    QApplication::setActiveWindow(&Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
    Form.Editor->Elements().AddWire({80, 80}, {128, 80}, 4);
    Form.Editor->Elements().AddSolder({128, 80}, 4, 12, sgCircle);
  }
  QLineEdit* ScaleText() const { return Form.ScaleEdit->findChild<QLineEdit*>(); }
  // Presses a key the way a user does: to whatever has the focus.
  static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
  }
  void Click(int x, int y) { QTest::mouseClick(Form.Editor, Qt::LeftButton, {}, QPoint(x, y)); }
};

TEST_F(Shortcuts, SelectAllAndDeleteActOnTheBoardWhileTheScaleBoxHasTheFocus) {
  Form.ScaleEdit->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), Form.ScaleEdit);
  Press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(ScaleText()->selectedText().isEmpty());
  Press(Qt::Key_Delete);
  EXPECT_EQ(Form.Editor->Elements().Count(), 0);
  EXPECT_EQ(ScaleText()->text(), QStringLiteral("0"));
  // Digits and the arrow keys still belong to the box.
  Press(Qt::Key_Up);
  Press(Qt::Key_End);
  Press(Qt::Key_5);
  EXPECT_EQ(Form.Editor->GridScale(), 15);
}

TEST_F(Shortcuts, EveryBoardKeyReachesItsActionFromEveryPlaceInTheWindow) {
  const std::pair<QKeySequence, QAction*> rows[] = {
      {Qt::CTRL | Qt::Key_N, Form.FileNew},       {Qt::CTRL | Qt::Key_O, Form.FileOpen},
      {Qt::CTRL | Qt::Key_S, Form.FileSave},      {Qt::CTRL | Qt::Key_P, Form.FilePrint},
      {Qt::CTRL | Qt::Key_X, Form.EditCut},       {Qt::CTRL | Qt::Key_C, Form.EditCopy},
      {Qt::CTRL | Qt::Key_V, Form.EditPaste},     {Qt::Key_Delete, Form.EditDelete},
      {Qt::CTRL | Qt::Key_A, Form.EditSelectAll},
  };
  ScaleText()->setText(QStringLiteral("12"));
  for (QWidget* place : std::initializer_list<QWidget*>{
           Form.ScaleEdit, Form.GridModeCombo, Form.GridStepCombo, Form.ElementWidthCombo}) {
    for (const auto& [keys, action] : rows) {
      SCOPED_TRACE(place->objectName().toStdString() + " " + action->text().toStdString());
      TShortcutCatcher catcher;
      action->installEventFilter(&catcher);
      place->setFocus();
      ASSERT_EQ(QApplication::focusWidget(), place);
      QTest::keySequence(place, keys);
      action->removeEventFilter(&catcher);
      EXPECT_EQ(catcher.Count, 1);
      EXPECT_EQ(ScaleText()->text(), QStringLiteral("12"));
      EXPECT_TRUE(ScaleText()->selectedText().isEmpty());
      EXPECT_EQ(Form.GridModeCombo->currentIndex(), 1);
    }
  }
  EXPECT_TRUE(Form.Boxes.empty());
}

TEST_F(Shortcuts, EscapeDropsAPendingWireAndStillReachesTheFocusedControl) {
  Form.Editor->Elements().FreeAll();
  for (QWidget* place : std::initializer_list<QWidget*>{Form.GridModeCombo, Form.ScaleEdit}) {
    SCOPED_TRACE(place->objectName().toStdString());
    place->setFocus();
    // A wire is started and Escape drops its start; without Escape two presses draw a wire.
    Click(50, 50);
    Press(Qt::Key_Escape);
    Click(100, 50);
    EXPECT_EQ(Form.Editor->Elements().Count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), place);
    Click(50, 100);
    EXPECT_EQ(Form.Editor->Elements().Count(), 1);
    Press(Qt::Key_Escape);
    Form.Editor->Elements().FreeAll();
  }
  // Escape goes on to the control: an open drop-down list closes.
  Form.GridModeCombo->showPopup();
  ASSERT_TRUE(Form.GridModeCombo->view()->isVisible());
  QTest::keyClick(Form.GridModeCombo->view(), Qt::Key_Escape);
  EXPECT_FALSE(Form.GridModeCombo->view()->isVisible());
}

TEST_F(Shortcuts, TheSolderToolsShapeMenu) {
  // A right click opens the menu below the button and chooses no tool.
  QTest::mouseClick(Form.SolderButton, Qt::RightButton, {}, QPoint(4, 4));
  EXPECT_TRUE(Form.SolderMenu->isVisible());
  EXPECT_EQ(Form.SolderMenu->pos(),
            Form.SolderButton->mapToGlobal(QPoint(0, Form.SolderButton->height())));
  EXPECT_EQ(Form.Editor->MouseAction(), maWire);
  Form.SolderMenu->hide();

  // The items toggle like radio items that can also be cleared; each also chooses the tool.
  struct Step {
    QAction* Item;
    bool CircleChecked, SquareChecked;
    TSolderGeometry Geometry;
  };
  const Step steps[] = {
      {Form.CircleMenuItem, false, false, sgSquare},  // the checked item loses its mark
      {Form.CircleMenuItem, true, false, sgCircle},   // and gets it back
      {Form.SquareMenuItem, false, true, sgSquare},   // the other item takes the mark
      {Form.SquareMenuItem, false, false, sgSquare},  // and gives it up; pads stay square
      {Form.CircleMenuItem, true, false, sgCircle},
  };
  int n = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(n++);
    Form.MoveButton->click();
    step.Item->trigger();
    EXPECT_EQ(Form.CircleMenuItem->isChecked(), step.CircleChecked);
    EXPECT_EQ(Form.SquareMenuItem->isChecked(), step.SquareChecked);
    EXPECT_EQ(Form.Editor->SolderGeometry(), step.Geometry);
    EXPECT_EQ(Form.Editor->MouseAction(), maSolder);
    EXPECT_TRUE(Form.SolderButton->isChecked());
    const int image =
        step.Geometry == sgCircle ? TMainForm::imSolderCircle : TMainForm::imSolderSquare;
    EXPECT_EQ(Form.SolderButton->icon().cacheKey(), Form.ActionImages[image].cacheKey());
  }
}

}  // namespace
