// The board's keys wherever the focus is, and the solder tool's shape menu.
#include <QAbstractItemView>
#include <QMenu>

#include "AppTestSupport.h"

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
    // At the left of the offscreen screen, so the solder tool's menu fits beside it unshifted.
    Form.move(0, Form.y());
    Form.ShowActive();
    Form.Editor->Elements().AddWire({80, 80}, {128, 80}, 4);
    Form.Editor->Elements().AddSolder({128, 80}, 4, 12, sgCircle);
    // Something to undo and something to redo, so both keys have an action to reach.
    for (int i = 0; i < 2; ++i) {
      TElementList::Storage pad;
      pad.push_back(std::make_unique<TSolder>(Form.Editor, TPoint{16, 16}, 4, 12, sgSquare));
      Form.Editor->AddElements(std::move(pad), QStringLiteral("Add Pad"));
    }
    Form.Editor->Undo();
  }
  QLineEdit* ScaleText() const { return Form.ScaleEdit->findChild<QLineEdit*>(); }
};

TEST_F(Shortcuts, EveryBoardKeyReachesItsActionWhileTheBoxesKeepTheirText) {
  const std::pair<QKeySequence, QAction*> rows[] = {
      {Qt::CTRL | Qt::Key_N, Form.FileNew},
      {Qt::CTRL | Qt::Key_O, Form.FileOpen},
      {Qt::CTRL | Qt::Key_S, Form.FileSave},
      {Qt::CTRL | Qt::Key_P, Form.FilePrint},
      {Qt::CTRL | Qt::Key_X, Form.EditCut},
      {Qt::CTRL | Qt::Key_C, Form.EditCopy},
      {Qt::CTRL | Qt::Key_V, Form.EditPaste},
      {Qt::Key_Delete, Form.EditDelete},
      {Qt::CTRL | Qt::Key_A, Form.EditSelectAll},
      {Qt::CTRL | Qt::Key_Z, Form.EditUndo},
      {Qt::CTRL | Qt::Key_Y, Form.EditRedo},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Form.EditRedo},
      {Qt::Key_R, Form.EditRotate},
      {Qt::Key_M, Form.EditMirror},
      {Qt::CTRL | Qt::Key_I, Form.EditInsertFootprint}};
  ScaleText()->setText(QStringLiteral("12"));
  for (QWidget* place :
       std::initializer_list<QWidget*>{Form.ScaleEdit, Form.GridModeCombo, Form.GridStepCombo,
                                       Form.ElementWidthCombo, Form.PadSettings->PadSizeCombo()}) {
    for (const auto& [keys, action] : rows) {
      // In the pad box R and M are letters of the text (see below).
      const bool letter = keys[0].keyboardModifiers() == Qt::NoModifier && keys != Qt::Key_Delete;
      if (letter && place == Form.PadSettings->PadSizeCombo()) continue;
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
  // Not swallowed, Select all and Delete clear the board; digits and arrows still edit the box.
  Form.ScaleEdit->setValue(0);
  Form.ScaleEdit->setFocus();
  QTest::keySequence(Form.ScaleEdit, QKeySequence("Ctrl+A, Del"));
  QTest::keySequence(Form.ScaleEdit, QKeySequence("Up, End, 5"));
  EXPECT_EQ(Form.Editor->Elements().Count(), 0);
  EXPECT_EQ(Form.Editor->GridScale(), 15);
}

TEST_F(Shortcuts, EscapeDropsAPendingWireAndStillReachesTheFocusedControl) {
  Form.Editor->Elements().FreeAll();
  for (QWidget* place : std::initializer_list<QWidget*>{Form.GridModeCombo, Form.ScaleEdit}) {
    SCOPED_TRACE(place->objectName().toStdString());
    place->setFocus();
    // A wire is started and Escape drops its start; without Escape two presses draw a wire.
    Form.Click({50, 50});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    Form.Click({100, 50});
    EXPECT_EQ(Form.Editor->Elements().Count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), place);
    Form.Click({50, 100});
    EXPECT_EQ(Form.Editor->Elements().Count(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    Form.Editor->Elements().FreeAll();
  }
  // Escape goes on to the control: an open drop-down list closes.
  Form.GridModeCombo->showPopup();
  ASSERT_TRUE(Form.GridModeCombo->view()->isVisible());
  QTest::keyClick(Form.GridModeCombo->view(), Qt::Key_Escape);
  EXPECT_FALSE(Form.GridModeCombo->view()->isVisible());
}

// Undo and Redo name their step. A command in the middle of a drag, with the button still down,
// finds the drag done as a step of its own.
TEST_F(Shortcuts, UndoRedoAndACommandInTheMiddleOfADrag) {
  Form.Editor->Undo();
  EXPECT_FALSE(Form.EditUndo->isEnabled());
  EXPECT_EQ(Form.EditUndo->text(), QStringLiteral("Undo"));
  EXPECT_EQ(Form.EditRedo->text(), QStringLiteral("Redo Add Pad"));
  // The pad at (128, 80) is dragged three cells right, then deleted with the rest.
  Form.Editor->SetModified(false);
  Form.MoveButton->click();
  QTest::mouseMove(Form.Editor, QPoint(80, 50));
  QTest::mousePress(Form.Editor, Qt::LeftButton, {}, QPoint(80, 50));
  QTest::mouseMove(Form.Editor, QPoint(110, 50));
  ASSERT_EQ(Form.Editor->Elements().Items(1)->ToText(), "176, 80, 4, 12, 0");
  Form.Editor->SelectAll();  // not through the window: the drag goes on
  Form.EditDelete->trigger();
  QTest::mouseMove(Form.Editor, QPoint(150, 50));
  QTest::mouseRelease(Form.Editor, Qt::LeftButton, {}, QPoint(150, 50));
  EXPECT_EQ(Form.Editor->Elements().Count(), 0);
  EXPECT_EQ(Form.EditUndo->text(), QStringLiteral("Undo Delete 2 Elements"));
  EXPECT_FALSE(Form.EditRedo->isEnabled());
  Form.Editor->Undo();
  Form.Editor->Undo();
  EXPECT_EQ(Form.Editor->Elements().Items(1)->ToText(), "128, 80, 4, 12, 0");
  EXPECT_FALSE(Form.Editor->Modified());
}

// A key for each mouse tool, named in the tool's tip and in the Tools menu, chooses the tool as a
// click on its button does, from the board's boxes but not from the pad box, where letters are
// text; no two commands of the window share a key.
TEST_F(Shortcuts, EachMouseToolHasItsOwnKeyAndLettersInThePadBoxAreText) {
  const std::tuple<Qt::Key, QToolButton*, TMouseAction> tools[] = {
      {Qt::Key_S, Form.SelectButton, maSelect}, {Qt::Key_P, Form.SolderButton, maSolder},
      {Qt::Key_H, Form.MoveButton, maMove},     {Qt::Key_D, Form.DeleteElementButton, maDelete},
      {Qt::Key_T, Form.TextButton, maText},     {Qt::Key_F, Form.FillButton, maFill},
      {Qt::Key_W, Form.WireButton, maWire}};
  QWidget* const places[] = {Form.ScaleEdit, Form.GridModeCombo, Form.GridStepCombo,
                             Form.ElementWidthCombo};
  int n = 0;
  for (const auto& [key, button, tool] : tools) {
    const QString name = QKeySequence(key).toString();
    SCOPED_TRACE(name.toStdString());
    places[++n % 4]->setFocus();
    QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(Form.Editor->MouseAction(), tool);
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(Form.MouseToolActions[tool]->isChecked());
    EXPECT_TRUE(button->toolTip().endsWith(" (" + name + ")"));
  }
  // A click on a button puts the menu's mark on its tool.
  Form.MoveButton->click();
  EXPECT_TRUE(Form.MouseToolActions[maMove]->isChecked());
  QList<QKeySequence> keys;
  for (const QAction* action : Form.findChildren<QAction*>()) keys << action->shortcuts();
  for (const QKeySequence& key : keys)
    EXPECT_EQ(keys.count(key), 1) << key.toString().toStdString();

  Form.Editor->SelectAll();
  QLineEdit* const padText = Form.PadSettings->PadSizeCombo()->lineEdit();
  Form.PadSettings->PadSizeCombo()->setFocus();
  padText->clear();
  QTest::keyClicks(padText, QStringLiteral("2 mm sphwdtf"));
  EXPECT_EQ(padText->text(), QStringLiteral("2 mm sphwdtf"));
  EXPECT_NE(Form.Editor->UndoStack().undoText(), QStringLiteral("Mirror 3 Elements"));
  EXPECT_EQ(Form.Editor->MouseAction(), maMove);
  // Away from text, M mirrors.
  Form.ScaleEdit->setFocus();
  QTest::keyClick(Form.ScaleEdit, Qt::Key_M);
  EXPECT_EQ(Form.Editor->UndoStack().undoText(), QStringLiteral("Mirror 3 Elements"));
}

TEST_F(Shortcuts, TheSolderToolsShapeMenu) {
  // A right click opens the menu below the button and chooses no tool.
  QTest::mouseClick(Form.SolderButton, Qt::RightButton, {}, QPoint(4, 4));
  EXPECT_EQ(Form.SolderMenu->pos(),
            Form.SolderButton->mapToGlobal(QPoint(0, Form.SolderButton->height())));
  EXPECT_TRUE(Form.SolderMenu->isVisible());
  EXPECT_EQ(Form.Editor->MouseAction(), maWire);
  Form.SolderMenu->hide();
  // The items toggle like radio items that can also be cleared (no mark at all makes square
  // pads); each also chooses the solder tool. SMD keeps the through-hole shape for later.
  // Columns: the item, the circle, square and SMD marks, the through-hole shape.
  const std::tuple<QAction*, bool, bool, bool, TSolderGeometry> steps[] = {
      {Form.CircleMenuItem, false, false, false, sgSquare},
      {Form.CircleMenuItem, true, false, false, sgCircle},
      {Form.SmdMenuItem, false, false, true, sgCircle},
      {Form.SmdMenuItem, false, false, false, sgSquare},
      {Form.SquareMenuItem, false, true, false, sgSquare},
      {Form.SquareMenuItem, false, false, false, sgSquare},
      {Form.SmdMenuItem, false, false, true, sgSquare},
      {Form.CircleMenuItem, true, false, false, sgCircle},
  };
  for (const auto& [item, circle, square, smd, geometry] : steps) {
    Form.MoveButton->click();
    item->trigger();
    EXPECT_EQ(std::tuple(Form.CircleMenuItem->isChecked(), Form.SquareMenuItem->isChecked(),
                         Form.SmdMenuItem->isChecked(), Form.Editor->SmdChosen()),
              std::tuple(circle, square, smd, smd));
    EXPECT_EQ(Form.Editor->SolderGeometry(), geometry);
    EXPECT_EQ(Form.Editor->MouseAction(), maSolder);
    EXPECT_TRUE(Form.SolderButton->isChecked());
  }
}

}  // namespace
