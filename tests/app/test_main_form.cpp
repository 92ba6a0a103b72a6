// The window's controls wired to the board, the scale box, the status bar and the error box.

#include "AppTestSupport.h"
#include "TBoardError.h"
#include "TBoardStatusBar.h"
#include "TErrorGuard.h"

namespace {

class ViewMenu : public ::testing::Test {
 protected:
  TTestForm Form;
  void SetUp() override { Form.ShowActive(); }
};

TEST_F(ViewMenu, SettingsAndToolButtonsDriveTheEditor) {
  const std::pair<QComboBox*, std::function<int()>> combos[] = {
      {Form.GridModeCombo, [&] { return int(Form.Editor->GridMode()); }},
      {Form.GridStepCombo, [&] { return int(Form.Editor->GridStep()); }},
      {Form.ElementWidthCombo, [&] { return int(Form.Editor->WireWidth()); }}};
  for (const auto& [combo, property] : combos) {
    for (int i = combo->count() - 1; i >= 0; --i) {
      combo->setCurrentIndex(i);
      EXPECT_EQ(property(), i) << combo->objectName().toStdString();
    }
  }
  // The wire widths keep their fractions; their millimetres are shown beside the box.
  Form.ElementWidthCombo->setCurrentIndex(3);
  EXPECT_EQ(Form.ElementWidthCombo->currentText(), QStringLiteral("1/8"));
  EXPECT_EQ(Form.findChild<QLabel*>(QStringLiteral("WireWidthMmLabel"))->text(), "0.318 mm");
  // Tool buttons (TMouseAction order) and Tools menu form one group; keys work from any box.
  QToolButton* const buttons[] = {Form.WireButton,   Form.SolderButton, Form.DeleteElementButton,
                                  Form.SelectButton, Form.MoveButton,   Form.TextButton,
                                  Form.FillButton};
  QWidget* const places[] = {Form.ScaleEdit, Form.GridModeCombo, Form.GridStepCombo,
                             Form.ElementWidthCombo};
  const char keys[] = "WPDSHTF";
  for (int tag : {4, 6, 5, 5, 3, 3, 2, 1, 0, 0}) {
    const QString key(QChar(keys[tag]));
    SCOPED_TRACE(key.toStdString());
    places[tag % 4]->setFocus();
    QTest::keyClick(QApplication::focusWidget(), key.at(0).toLatin1());
    EXPECT_EQ(int(Form.Editor->MouseAction()), tag);
    buttons[tag]->click();
    EXPECT_EQ(int(Form.Editor->MouseAction()), tag);
    for (int other = 0; other < 7; ++other) {
      EXPECT_EQ(buttons[other]->isChecked(), other == tag);
      EXPECT_EQ(Form.MouseToolActions[other]->isChecked(), other == tag);
    }
    EXPECT_TRUE(buttons[tag]->toolTip().endsWith(" (" + key + ")"));
    EXPECT_FALSE(buttons[tag]->icon().pixmap(16, 16).isNull());
  }
  // The icons drawn by the program come for dense screens too.
  EXPECT_EQ(Form.TextButton->icon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
}

// A full stop goes after characters that sort after it; every kind of error ends in the box.
TEST(ErrorBox, AddsAFullStopAfterCharactersThatSortAfterItAndCatchesEveryError) {
  const std::pair<QString, QString> rows[] = {
      {"Invalid file extention", "Invalid file extention."},
      {"Already done.", "Already done."},
      {"ends in a dash -", "ends in a dash -"},
      {"a folder/", "a folder/."},
      {QString::fromUtf8("déjà vu é"), QString::fromUtf8("déjà vu é.")},
      {"", ""}};
  for (const auto& [message, shown] : rows)
    EXPECT_EQ(ErrorBoxText(message), shown) << message.toStdString();
  QStringList boxes;
  auto show = [&](const QString& m) { boxes << m; };
  EXPECT_TRUE(RunGuarded([] {}, show));
  EXPECT_FALSE(RunGuarded([] { throw EBoardError("Invalid file extention"); }, show));
  EXPECT_FALSE(RunGuarded([] { throw EArithFault(); }, show));
  EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("disk full"); }, show));
  EXPECT_FALSE(RunGuarded([] { throw 42; }, show));
  EXPECT_EQ(boxes.mid(0, 3), (QStringList{"Invalid file extention",
                                          QString::fromUtf8("Division par zéro"), "disk full"}));
  EXPECT_FALSE(boxes.value(3).isEmpty());
}

// Wheel, keys and Fit Board show their scale in the box, which stops at its range ends.
TEST_F(ViewMenu, ScaleBoxFollowsWheelKeysAndFit) {
  // The scale before, a wheel turn or keys, the scale after and the cell size.
  const std::tuple<int, const char*, int, int> rows[] = {
      {0, "+120", 3, 13},        {0, "-120", -2, 8},    {500, "Ctrl+=", 500, 510},
      {499, "Ctrl++", 500, 510}, {-8, "Ctrl+-", -9, 1}, {37, "Home", 0, 10},  // an empty board
      {37, "Ctrl+0", 0, 10}};
  for (const auto& [start, act, scale, cell] : rows) {
    SCOPED_TRACE(act);
    Form.ScaleEdit->setValue(start);
    Form.ScaleEdit->setFocus();
    QWheelEvent wheel(QPointF(30, 30), Form.Editor->mapToGlobal(QPointF(30, 30)), QPoint(),
                      QPoint(0, std::atoi(act)), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    if (act[0] == '+' || act[0] == '-')
      QCoreApplication::sendEvent(Form.Editor, &wheel);
    else
      QTest::keySequence(QApplication::focusWidget(), QKeySequence(act));
    EXPECT_EQ(
        std::tuple(Form.ScaleEdit->value(), Form.Editor->GridScale(), Form.Editor->CellSize()),
        std::tuple(scale, scale, cell));
  }
}

// Unreadable records are told until a load without any.
TEST_F(ViewMenu, StatusBarShowsPositionGridAndCounts) {
  QTest::mouseMove(Form.Editor, QPoint(52, 21));  // snaps to board point (80, 32)
  EXPECT_EQ(Form.StatusBar->PositionLabel()->text(), "X 12.70 mm  Y 5.08 mm  (0.500 in, 0.200 in)");
  EXPECT_EQ(Form.StatusBar->GridLabel()->text(), "Grid 2.54 mm");
  Form.GridStepCombo->setCurrentIndex(gs1By4);
  EXPECT_EQ(Form.StatusBar->GridLabel()->text(), "Grid 0.635 mm");

  QTemporaryDir dir(TestHome() + QStringLiteral("/status-XXXXXX"));
  const QString unknown = dir.filePath("unknown.pcb"), plain = dir.filePath("plain.pcb");
  WriteBytes(unknown,
             "*Solder*\r\n0, 0, 4, 12, 0\r\n\r\n*Wire*\r\n**\r\n@RING 0, 0, 9\r\n@LABEL 0, 0, "
             "VCC\r\n**\r\n");
  WriteBytes(plain, "*Solder*\r\n0, 0, 4, 12, 0\r\n\r\n*Wire*\r\n");
  QGuiApplication::clipboard()->setText("*Solder*\r\n\r\n*Wire*\r\n**\r\n@RING 1\r\n**\r\n");
  // The step, the message after, and the counts.
  const std::tuple<std::function<void()>, const char*, const char*> steps[] = {
      {[&] {
         Form.Editor->Elements().AddWire({0, 0}, {16, 0}, 4);
         Form.Editor->SelectAll();
       },
       "", "1 element, 1 selected"},
      {[&] { Form.Editor->DeleteSelected(); }, "", "0 elements, 0 selected"},
      {[&] { Form.Document().Load(unknown); },
       "2 records this version cannot read were passed over", "1 element, 0 selected"},
      {[&] { Form.Document().Load(plain); }, "", "1 element, 0 selected"},
      {[&] { Form.EditPaste->trigger(); }, "1 record this version cannot read was passed over",
       "1 element, 0 selected"}};
  for (const auto& [step, message, counts] : steps) {
    step();
    EXPECT_EQ(Form.StatusBar->currentMessage(), message);
    EXPECT_EQ(Form.StatusBar->CountLabel()->text(), counts) << message;
  }
}

}  // namespace
