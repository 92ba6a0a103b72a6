// What the window offers: actions, menus, bars and board settings, and that each is wired to the
// board.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include "AppTestSupport.h"
#include "TBoardError.h"
#include "TErrorGuard.h"
#include "TPCBLayout.h"

namespace {

// The texts of a menu's or bar's entries, "-" for a separator.
QStringList Entries(const QWidget* widget) {
  QStringList texts;
  for (const QAction* a : widget->actions()) {
    if (qobject_cast<const QWidgetAction*>(a)) continue;
    texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
  }
  return texts;
}

TEST(MainForm, ActionsCarryTheirCaptionsShortcutsAndImages) {
  TTestForm form;
  struct Row {
    QAction* TMainForm::*Action;
    const char* Caption;
    QKeySequence Shortcut;
    int Image;
  };
  const Row rows[] = {
      {&TMainForm::FileNew, "New", QKeySequence(Qt::CTRL | Qt::Key_N), TMainForm::imNew},
      {&TMainForm::FileOpen, "Open", QKeySequence(Qt::CTRL | Qt::Key_O), TMainForm::imOpen},
      {&TMainForm::FileSave, "Save", QKeySequence(Qt::CTRL | Qt::Key_S), TMainForm::imSave},
      {&TMainForm::FileSaveAs, "Save as...", QKeySequence(), -1},
      {&TMainForm::FilePrint, "Print", QKeySequence(Qt::CTRL | Qt::Key_P), TMainForm::imPrint},
      {&TMainForm::FileExportPdf, "Export PDF...", QKeySequence(), -1},
      {&TMainForm::FileExit, "E&xit", QKeySequence(), -1},
      {&TMainForm::EditCut, "Cut", QKeySequence(Qt::CTRL | Qt::Key_X), TMainForm::imCut},
      {&TMainForm::EditCopy, "Copy", QKeySequence(Qt::CTRL | Qt::Key_C), TMainForm::imCopy},
      {&TMainForm::EditPaste, "Paste", QKeySequence(Qt::CTRL | Qt::Key_V), TMainForm::imPaste},
      {&TMainForm::EditDelete, "Delete", QKeySequence(Qt::Key_Delete), TMainForm::imDelete},
      {&TMainForm::EditSelectAll, "Select All", QKeySequence(Qt::CTRL | Qt::Key_A),
       TMainForm::imSelectAll},
  };
  for (const Row& row : rows) {
    const QAction* action = form.*row.Action;
    SCOPED_TRACE(row.Caption);
    EXPECT_EQ(action->text(), QString::fromUtf8(row.Caption));
    EXPECT_EQ(action->shortcut(), row.Shortcut);
    EXPECT_TRUE(action->isEnabled());
    if (row.Image < 0) {
      EXPECT_TRUE(action->icon().isNull());
    } else {
      EXPECT_EQ(action->icon().cacheKey(), form.ActionImages[row.Image].cacheKey());
    }
  }
  // Every picture is really there, at the size of the bars.
  for (const QIcon& icon : form.ActionImages) EXPECT_FALSE(icon.pixmap(16, 16).isNull());
  EXPECT_FALSE(form.windowIcon().pixmap(32, 32).isNull());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Ferrolume"));
}

TEST(MainForm, MenusAndBarsHoldTheirItemsInOrder) {
  TTestForm form;
  QStringList titles;
  for (const QAction* a : form.menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"File", "Edit", "Menu", "?"}));
  EXPECT_EQ(Entries(form.FileMenuItem), (QStringList{"New", "Open", "Save", "Save as...", "-",
                                                     "Print", "Export PDF...", "-", "E&xit"}));
  EXPECT_EQ(Entries(form.EditMenuItem),
            (QStringList{"Cut", "Copy", "Paste", "Delete", "-", "Select All"}));
  EXPECT_EQ(Entries(form.MenuMenuItem),
            (QStringList{"File Menu", "Edit Menu", "Board settings", "Mouse actions"}));
  EXPECT_EQ(Entries(form.HelpMenuItem), (QStringList{"About"}));
  EXPECT_EQ(Entries(form.SolderMenu), (QStringList{"Circle Solder Point", "Square Solder Point"}));

  EXPECT_EQ(Entries(form.FileActionBar), (QStringList{"New", "Open", "Save", "-", "Print"}));
  EXPECT_EQ(Entries(form.EditActionBar),
            (QStringList{"Cut", "Copy", "Paste", "-", "Delete", "-", "Select All"}));
  EXPECT_EQ(form.FileActionBar->windowTitle(), QStringLiteral("File Menu"));
  EXPECT_EQ(form.EditActionBar->windowTitle(), QStringLiteral("Edit"));
  EXPECT_EQ(form.MouseActionBar->windowTitle(), QStringLiteral("Mouse Actions"));

  // Two rows: the settings on top, the three bars below; the bars float, the settings do not.
  EXPECT_EQ(form.toolBarBreak(form.FileActionBar), true);
  EXPECT_EQ(form.toolBarBreak(form.EditActionBar), false);
  for (QToolBar* bar : {form.FileActionBar, form.EditActionBar, form.MouseActionBar}) {
    EXPECT_TRUE(bar->isMovable());
    EXPECT_TRUE(bar->isFloatable());
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
  }
  EXPECT_TRUE(form.EditorSettingsContainer->isMovable());
  EXPECT_FALSE(form.EditorSettingsContainer->isFloatable());
}

TEST(MainForm, BoardSettingsDriveTheEditor) {
  TTestForm form;
  QStringList labels;
  for (const QLabel* l : form.BoardSettingsPanel->findChildren<QLabel*>()) labels << l->text();
  EXPECT_EQ(labels, (QStringList{"Grid Mode", "Grid Step", " Wire Width", "Scale"}));

  struct Row {
    QComboBox* TMainForm::*Combo;
    QStringList Items;
    int Initial;
    std::function<int(const TPCBLayout&)> Property;
  };
  const Row rows[] = {
      {&TMainForm::GridModeCombo,
       {"None", "Dots", "Lines"},
       1,
       [](const TPCBLayout& e) { return int(e.GridMode()); }},
      {&TMainForm::GridStepCombo,
       {"1", "1/2", "1/4"},
       0,
       [](const TPCBLayout& e) { return int(e.GridStep()); }},
      {&TMainForm::ElementWidthCombo,
       {"1", "1/2", "1/4", "1/8", "1/16"},
       2,
       [](const TPCBLayout& e) { return int(e.WireWidth()); }},
  };
  for (const Row& row : rows) {
    QComboBox* combo = form.*row.Combo;
    SCOPED_TRACE(combo->objectName().toStdString());
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    EXPECT_EQ(items, row.Items);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->currentIndex(), row.Initial);
    EXPECT_EQ(row.Property(*form.Editor), row.Initial);
    for (int i = combo->count() - 1; i >= 0; --i) {
      combo->setCurrentIndex(i);
      EXPECT_EQ(row.Property(*form.Editor), i);
    }
  }

  EXPECT_EQ(form.ScaleEdit->minimum(), -9);
  EXPECT_EQ(form.ScaleEdit->maximum(), 500);
  EXPECT_EQ(form.ScaleEdit->value(), 0);
  for (int scale : {-9, 500, 37, 0}) {
    form.ScaleEdit->setValue(scale);
    EXPECT_EQ(form.Editor->GridScale(), scale);
  }
}

TEST(MainForm, MouseToolsFormOneRadioGroup) {
  TTestForm form;
  QToolButton* TMainForm::*const buttons[] = {&TMainForm::WireButton, &TMainForm::SolderButton,
                                              &TMainForm::DeleteElementButton,
                                              &TMainForm::SelectButton, &TMainForm::MoveButton};
  const int images[] = {TMainForm::imWire, TMainForm::imSolderCircle, TMainForm::imDeleteElement,
                        TMainForm::imSelect, TMainForm::imMove};
  EXPECT_TRUE(form.WireButton->isChecked());
  // Each in turn, and each one twice: clicking the tool that is down keeps it down.
  for (int tag : {4, 3, 3, 2, 1, 0, 0}) {
    QToolButton* button = form.*buttons[tag];
    EXPECT_EQ(button->icon().cacheKey(), form.ActionImages[images[tag]].cacheKey());
    button->click();
    EXPECT_EQ(int(form.Editor->MouseAction()), tag);
    for (int other = 0; other < 5; ++other)
      EXPECT_EQ((form.*buttons[other])->isChecked(), other == tag);
  }
}

TEST(MainForm, MenuItemsShowAndHideTheBarsAndFollowThemWhenOpened) {
  TTestForm form;
  form.show();
  struct Row {
    QAction* TMainForm::*Item;
    QToolBar* TMainForm::*Bar;
  };
  const Row rows[] = {{&TMainForm::FileToolBarMenuItem, &TMainForm::FileActionBar},
                      {&TMainForm::EditMenuMenuItem, &TMainForm::EditActionBar},
                      {&TMainForm::BoardsettingsMenuItem, &TMainForm::EditorSettingsContainer},
                      {&TMainForm::MouseActionsMenuItem, &TMainForm::MouseActionBar}};
  for (const Row& row : rows) {
    QAction* item = form.*row.Item;
    QToolBar* bar = form.*row.Bar;
    SCOPED_TRACE(item->text().toStdString());
    EXPECT_TRUE(item->isCheckable());
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(bar->isHidden());
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_FALSE(bar->isHidden());
    // Hidden some other way (the bar area's own menu): the mark catches up as the menu opens.
    bar->hide();
    EXPECT_TRUE(item->isChecked());
    emit form.MenuMenuItem->aboutToShow();
    EXPECT_FALSE(item->isChecked());
    bar->show();
    emit form.MenuMenuItem->aboutToShow();
    EXPECT_TRUE(item->isChecked());
  }
}

TEST(MainForm, AboutShowsTheProgramsNameAndIcon) {
  TTestForm form;
  form.About1->trigger();
  ASSERT_EQ(form.Boxes.size(), 1u);
  EXPECT_TRUE(form.Boxes[0].Title.contains(QStringLiteral("Ferrolume")));
  EXPECT_TRUE(form.Boxes[0].Text.contains(QStringLiteral("Ferrolume")));
  EXPECT_TRUE(form.Boxes[0].HasPicture);
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
      {QString::fromUtf8("Division par zéro"), QString::fromUtf8("Division par zéro.")},
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
  EXPECT_EQ(shown[0], QStringLiteral("Invalid file extention"));
  EXPECT_EQ(shown[1], QString::fromUtf8("Division par zéro"));
  EXPECT_EQ(shown[2], QStringLiteral("disk full"));
  EXPECT_FALSE(shown[3].isEmpty());
}

}  // namespace
