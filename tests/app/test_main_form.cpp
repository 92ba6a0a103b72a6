// The window's controls wired to the board, and the error box.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

#include "AppTestSupport.h"
#include "TBoardError.h"
#include "TErrorGuard.h"
#include "TPCBLayout.h"

namespace {

TEST(MainForm, SettingsAndToolButtonsDriveTheEditor) {
  TTestForm form;
  const std::pair<QComboBox*, std::function<int()>> combos[] = {
      {form.GridModeCombo, [&] { return int(form.Editor->GridMode()); }},
      {form.GridStepCombo, [&] { return int(form.Editor->GridStep()); }},
      {form.ElementWidthCombo, [&] { return int(form.Editor->WireWidth()); }},
  };
  for (const auto& [combo, property] : combos) {
    EXPECT_EQ(property(), combo->currentIndex());
    for (int i = combo->count() - 1; i >= 0; --i) {
      combo->setCurrentIndex(i);
      EXPECT_EQ(property(), i) << combo->objectName().toStdString();
    }
  }
  // The wire widths keep their fractions; their millimetres are shown beside the box.
  form.ElementWidthCombo->setCurrentIndex(3);
  EXPECT_EQ(form.ElementWidthCombo->currentText(), QStringLiteral("1/8"));
  EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("WireWidthMmLabel"))->text(), "0.318 mm");
  for (int scale : {-9, 500, 37}) {
    form.ScaleEdit->setValue(scale);
    EXPECT_EQ(form.Editor->GridScale(), scale);
  }
  // The tool buttons, in the order of TMouseAction, form one radio group; each clicked twice.
  QToolButton* const buttons[] = {form.WireButton,   form.SolderButton, form.DeleteElementButton,
                                  form.SelectButton, form.MoveButton,   form.TextButton,
                                  form.FillButton};
  for (int tag : {4, 6, 5, 5, 3, 3, 2, 1, 0, 0}) {
    buttons[tag]->click();
    EXPECT_EQ(int(form.Editor->MouseAction()), tag);
    for (int other = 0; other < 7; ++other) EXPECT_EQ(buttons[other]->isChecked(), other == tag);
  }
  // Every picture is really there.
  for (const QIcon& icon : form.ActionImages) EXPECT_FALSE(icon.pixmap(16, 16).isNull());
  EXPECT_FALSE(form.TextButton->icon().pixmap(16, 16).isNull());
  EXPECT_FALSE(form.FillButton->icon().pixmap(16, 16).isNull());
  EXPECT_FALSE(form.windowIcon().pixmap(32, 32).isNull());
}

TEST(ErrorBox, AddsAFullStopAfterCharactersThatSortAfterIt) {
  const std::pair<QString, QString> rows[] = {
      {"Invalid file extention", "Invalid file extention."},
      {"Already done.", "Already done."},
      {"Stop!", "Stop!"},
      {"(see above)", "(see above)"},
      {"ends with a comma,", "ends with a comma,"},
      {"trailing blank ", "trailing blank "},
      {"ends in a dash -", "ends in a dash -"},
      {"a folder/", "a folder/."},
      {"100", "100."},
      {QString::fromUtf8("déjà vu é"), QString::fromUtf8("déjà vu é.")},
      {"", ""},
  };
  for (const auto& [message, shown] : rows)
    EXPECT_EQ(ErrorBoxText(message), shown) << message.toStdString();
}

TEST(ErrorBox, EveryKindOfErrorEndsInTheBoxAndNothingEscapes) {
  QStringList shown;
  auto show = [&](const QString& m) { shown << m; };
  EXPECT_TRUE(RunGuarded([] {}, show));
  EXPECT_FALSE(RunGuarded([] { throw EBoardError("Invalid file extention"); }, show));
  EXPECT_FALSE(RunGuarded([] { throw EArithFault(); }, show));
  EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("disk full"); }, show));
  EXPECT_FALSE(RunGuarded([] { throw 42; }, show));
  ASSERT_EQ(shown.size(), 4);
  EXPECT_EQ(shown.mid(0, 3), (QStringList{"Invalid file extention",
                                          QString::fromUtf8("Division par zéro"), "disk full"}));
  EXPECT_FALSE(shown[3].isEmpty());
}

}  // namespace
