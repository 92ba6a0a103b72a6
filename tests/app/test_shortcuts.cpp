// The board's keys wherever the focus is, and the solder tool's shape menu.

#include "AppTestSupport.h"

namespace {

// Counts and swallows the events of one type an object receives.
class TCatcher : public QObject {
 public:
  explicit TCatcher(QEvent::Type type) : Type(type) {}
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == Type && ++Count; }
  QEvent::Type Type;
  int Count = 0;
};

class Shortcuts : public ::testing::Test {
 protected:
  TTestForm Form;

  void SetUp() override {
    Form.move(0, Form.y());  // so the solder tool's menu fits beside it unshifted
    Form.ShowActive();
    Form.Editor->Elements().AddWire({80, 80}, {128, 80}, 4);
    Form.Editor->Elements().AddSolder({128, 80}, 4, 12, sgCircle);
    // Something to undo and something to redo, so both keys have an action to reach.
    for (TPoint p : {TPoint{16, 16}, TPoint{32, 16}}) Form.Editor->AddSolder(p);
    Form.Editor->Undo();
  }
  QLineEdit* ScaleText() const { return Form.ScaleEdit->findChild<QLineEdit*>(); }
};

// The pad box is left out here: R and M are letters of its text.
TEST_F(Shortcuts, EveryBoardKeyReachesItsActionWhileTheBoxesKeepTheirText) {
  const std::pair<const char*, QAction*> rows[] = {
      {"Ctrl+N", Form.FileNew},   {"Ctrl+O", Form.FileOpen}, {"Ctrl+S", Form.FileSave},
      {"Ctrl+P", Form.FilePrint}, {"Ctrl+X", Form.EditCut},  {"Ctrl+C", Form.EditCopy},
      {"Ctrl+V", Form.EditPaste}, {"Del", Form.EditDelete},  {"Ctrl+A", Form.EditSelectAll},
      {"Ctrl+Z", Form.EditUndo},  {"Ctrl+Y", Form.EditRedo}, {"Ctrl+Shift+Z", Form.EditRedo},
      {"R", Form.EditRotate},     {"M", Form.EditMirror},    {"Ctrl+I", Form.EditInsertFootprint}};
  ScaleText()->setText(QStringLiteral("12"));
  for (QWidget* place :
       {(QWidget*)Form.ScaleEdit, (QWidget*)Form.GridModeCombo, (QWidget*)Form.GridStepCombo,
        (QWidget*)Form.ElementWidthCombo, (QWidget*)Form.PadSettings->PadSizeCombo()}) {
    for (const auto& [keys, action] : rows) {
      if (keys[1] == 0 && place == Form.PadSettings->PadSizeCombo()) continue;
      SCOPED_TRACE(place->objectName().toStdString() + " " + keys);
      TCatcher catcher(QEvent::Shortcut);
      action->installEventFilter(&catcher);
      place->setFocus();
      QTest::keySequence(place, QKeySequence(keys));
      action->removeEventFilter(&catcher);
      EXPECT_EQ(catcher.Count, 1);
      EXPECT_EQ(ScaleText()->text() + ScaleText()->selectedText(), QStringLiteral("12"));
      EXPECT_EQ(Form.GridModeCombo->currentIndex(), 1);
    }
  }
  // Digits and arrows still edit the box.
  Form.ScaleEdit->setValue(0);
  Form.ScaleEdit->setFocus();
  QTest::keySequence(Form.ScaleEdit, QKeySequence("Up, End, 5"));
  EXPECT_EQ(Form.Editor->GridScale(), 15);
}

TEST_F(Shortcuts, TheSolderToolsShapeMenu) {
  // A right click opens the menu below the button, never the bar's own menu.
  TCatcher barMenu(QEvent::ContextMenu);
  Form.SolderButton->parentWidget()->installEventFilter(&barMenu);
  QTest::mouseClick(Form.SolderButton, Qt::RightButton, {}, QPoint(4, 4));
  QContextMenuEvent event(QContextMenuEvent::Mouse, {4, 4},
                          Form.SolderButton->mapToGlobal(QPoint(4, 4)));
  QApplication::sendEvent(Form.SolderButton, &event);
  EXPECT_EQ(barMenu.Count, 0);
  EXPECT_EQ(Form.SolderMenu->pos(),
            Form.SolderButton->mapToGlobal(QPoint(0, Form.SolderButton->height())));
  EXPECT_EQ(Form.Editor->MouseAction(), maWire);
  Form.SolderMenu->hide();
  // Clearable radio items, each choosing the tool: circle, square, SMD marks, hole shape (c/s).
  const std::pair<QAction*, const char*> steps[] = {
      {Form.CircleMenuItem, "000s"}, {Form.CircleMenuItem, "100c"}, {Form.SmdMenuItem, "001c"},
      {Form.SmdMenuItem, "000s"},    {Form.SquareMenuItem, "010s"}, {Form.SquareMenuItem, "000s"},
      {Form.SmdMenuItem, "001s"},    {Form.CircleMenuItem, "100c"}};
  for (const auto& [item, marks] : steps) {
    Form.MoveButton->click();
    item->trigger();
    const bool smd = Form.SmdMenuItem->isChecked();
    EXPECT_EQ(QString::number(Form.CircleMenuItem->isChecked()) +
                  QString::number(Form.SquareMenuItem->isChecked()) + QString::number(smd) +
                  (Form.Editor->SolderGeometry() == sgCircle ? "c" : "s"),
              marks);
    EXPECT_EQ(std::tuple(Form.Editor->SmdChosen(), Form.Editor->MouseAction(),
                         Form.SolderButton->isChecked()),
              std::tuple(smd, maSolder, true));
  }
}

}  // namespace
