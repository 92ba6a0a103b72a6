// The board's keys wherever the focus is, and the solder tool's shape menu.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "AppTestSupport.h"
#include "TPCBLayout.h"

namespace {

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
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key(key), modifiers);
  }
  bool AllSelected() const {
    for (int i = 0; i < Form.Editor->Elements().Count(); ++i)
      if (!Form.Editor->Elements().Items(i)->Selected()) return false;
    return true;
  }
};

TEST_F(Shortcuts, SelectAllAndDeleteActOnTheBoardWhileTheScaleBoxHasTheFocus) {
  Form.ScaleEdit->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), Form.ScaleEdit);
  Press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(AllSelected());
  EXPECT_TRUE(ScaleText()->selectedText().isEmpty());
  Press(Qt::Key_Delete);
  EXPECT_EQ(Form.Editor->Elements().Count(), 0);
  EXPECT_TRUE(Form.Editor->Modified());
  EXPECT_EQ(ScaleText()->text(), QStringLiteral("0"));
  EXPECT_EQ(Form.ScaleEdit->value(), 0);
  // Digits and the arrow keys still belong to the box.
  Press(Qt::Key_Up);
  EXPECT_EQ(Form.Editor->GridScale(), 1);
  Press(Qt::Key_End);
  Press(Qt::Key_5);
  EXPECT_EQ(Form.ScaleEdit->value(), 15);
  EXPECT_EQ(Form.Editor->GridScale(), 15);
}

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

TEST_F(Shortcuts, EveryBoardKeyReachesItsActionFromEveryPlaceInTheWindow) {
  struct Row {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    QAction* TMainForm::*Action;
  };
  const Row rows[] = {
      {Qt::Key_N, Qt::ControlModifier, &TMainForm::FileNew},
      {Qt::Key_O, Qt::ControlModifier, &TMainForm::FileOpen},
      {Qt::Key_S, Qt::ControlModifier, &TMainForm::FileSave},
      {Qt::Key_P, Qt::ControlModifier, &TMainForm::FilePrint},
      {Qt::Key_X, Qt::ControlModifier, &TMainForm::EditCut},
      {Qt::Key_C, Qt::ControlModifier, &TMainForm::EditCopy},
      {Qt::Key_V, Qt::ControlModifier, &TMainForm::EditPaste},
      {Qt::Key_Delete, Qt::NoModifier, &TMainForm::EditDelete},
      {Qt::Key_A, Qt::ControlModifier, &TMainForm::EditSelectAll},
  };
  QWidget* places[] = {Form.ScaleEdit, Form.GridModeCombo, Form.GridStepCombo,
                       Form.ElementWidthCombo};
  ScaleText()->setText(QStringLiteral("12"));
  for (QWidget* place : places) {
    for (const Row& row : rows) {
      QAction* action = Form.*row.Action;
      SCOPED_TRACE(place->objectName().toStdString() + " " + action->text().toStdString());
      TShortcutCatcher catcher;
      action->installEventFilter(&catcher);
      place->setFocus();
      ASSERT_EQ(QApplication::focusWidget(), place);
      Press(row.Key, row.Modifiers);
      action->removeEventFilter(&catcher);
      EXPECT_EQ(catcher.Count, 1);
      EXPECT_EQ(ScaleText()->text(), QStringLiteral("12"));
      EXPECT_TRUE(ScaleText()->selectedText().isEmpty());
      EXPECT_EQ(Form.GridModeCombo->currentIndex(), 1);
    }
  }
  EXPECT_TRUE(Form.Boxes.empty());
  EXPECT_TRUE(Form.Dialogs.empty());
}

TEST_F(Shortcuts, EscapeDropsAPendingWireAndStillReachesTheFocusedControl) {
  Form.Editor->Elements().FreeAll();
  QWidget* places[] = {Form.GridModeCombo, Form.ScaleEdit, Form.ElementWidthCombo};
  for (QWidget* place : places) {
    SCOPED_TRACE(place->objectName().toStdString());
    place->setFocus();
    // A wire is started, Escape drops its start, so the next press starts afresh.
    QTest::mouseClick(Form.Editor, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    Press(Qt::Key_Escape);
    QTest::mouseClick(Form.Editor, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    EXPECT_EQ(Form.Editor->Elements().Count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), place);
    // Without Escape the same two presses draw a wire.
    QTest::mouseClick(Form.Editor, Qt::LeftButton, Qt::NoModifier, QPoint(50, 100));
    EXPECT_EQ(Form.Editor->Elements().Count(), 1);
    Press(Qt::Key_Escape);
    Form.Editor->Elements().FreeAll();
  }
  // Escape goes on to the control: an open drop-down list closes.
  Form.GridModeCombo->setFocus();
  Form.GridModeCombo->showPopup();
  ASSERT_TRUE(Form.GridModeCombo->view()->isVisible());
  QTest::keyClick(Form.GridModeCombo->view(), Qt::Key_Escape);
  EXPECT_FALSE(Form.GridModeCombo->view()->isVisible());
}

TEST_F(Shortcuts, CopyFromTheScaleBoxCopiesTheBoardNotTheBoxText) {
  Form.ScaleEdit->setFocus();
  QApplication::clipboard()->setText(QStringLiteral("nothing yet"));
  Press(Qt::Key_A, Qt::ControlModifier);
  Press(Qt::Key_C, Qt::ControlModifier);
  const QString copied = QApplication::clipboard()->text();
  EXPECT_TRUE(copied.startsWith(QStringLiteral("*Solder*"))) << copied.toStdString();
  EXPECT_TRUE(copied.contains(QStringLiteral("80, 80, 128, 80, 4")));
  // And a paste goes onto the board, leaving the box's text alone.
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Form.Editor->Elements().Count(), 4);
  EXPECT_EQ(ScaleText()->text(), QStringLiteral("0"));
}

TEST_F(Shortcuts, RightClickOnTheSolderToolOpensTheShapeMenuAndNothingElse) {
  QToolButton* button = Form.SolderButton;
  QTest::mouseClick(button, Qt::RightButton, Qt::NoModifier, QPoint(4, 4));
  EXPECT_TRUE(Form.SolderMenu->isVisible());
  EXPECT_EQ(Form.SolderMenu->pos(), button->mapToGlobal(QPoint(0, button->height())));
  EXPECT_TRUE(Form.WireButton->isChecked());
  EXPECT_FALSE(button->isChecked());
  EXPECT_EQ(Form.Editor->MouseAction(), maWire);
  Form.SolderMenu->hide();

  // A left click chooses the tool and leaves the menu shut.
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
  EXPECT_FALSE(Form.SolderMenu->isVisible());
  EXPECT_TRUE(button->isChecked());
  EXPECT_EQ(Form.Editor->MouseAction(), maSolder);
  EXPECT_EQ(Form.Editor->SolderGeometry(), sgCircle);
}

TEST_F(Shortcuts, ShapeItemsToggleLikeRadioItemsThatCanAlsoBeCleared) {
  struct Step {
    bool ChooseCircle;
    bool CircleChecked;
    bool SquareChecked;
    TSolderGeometry Geometry;
  };
  const Step steps[] = {
      {true, false, false, sgSquare},   // the checked item loses its mark: square pads
      {true, true, false, sgCircle},    // and gets it back
      {false, false, true, sgSquare},   // the other item takes the mark from it
      {false, false, false, sgSquare},  // and gives it up again; the shape stays square
      {false, false, true, sgSquare},  {true, true, false, sgCircle},
  };
  EXPECT_TRUE(Form.CircleMenuItem->isChecked());
  EXPECT_FALSE(Form.SquareMenuItem->isChecked());
  int n = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(n++);
    // Another tool first: choosing a shape also chooses the solder tool.
    Form.MoveButton->click();
    (step.ChooseCircle ? Form.CircleMenuItem : Form.SquareMenuItem)->trigger();
    EXPECT_EQ(Form.CircleMenuItem->isChecked(), step.CircleChecked);
    EXPECT_EQ(Form.SquareMenuItem->isChecked(), step.SquareChecked);
    EXPECT_EQ(Form.Editor->SolderGeometry(), step.Geometry);
    EXPECT_EQ(Form.Editor->MouseAction(), maSolder);
    EXPECT_TRUE(Form.SolderButton->isChecked());
    EXPECT_FALSE(Form.MoveButton->isChecked());
    const int image =
        step.Geometry == sgCircle ? TMainForm::imSolderCircle : TMainForm::imSolderSquare;
    EXPECT_EQ(Form.SolderButton->icon().cacheKey(), Form.ActionImages[image].cacheKey());
  }
}

}  // namespace
