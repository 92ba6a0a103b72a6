// The File menu's recent boards. The settings live in the test home (XDG_CONFIG_HOME).
#include <QMenu>

#include "AppTestSupport.h"

namespace {

// Another program adding a board to the settings file: its own settings object, on a file this
// process has never opened (one process shares what it has read of a file), put in place whole.
void OtherProgramAdds(const QString& settingsFile, const QString& board) {
  QTemporaryDir dir(TestHome() + QStringLiteral("/other-XXXXXX"));
  const QString own = dir.filePath(QStringLiteral("Ferrolume.conf"));
  ASSERT_TRUE(QFile::copy(settingsFile, own));
  {
    QSettings other(own, QSettings::IniFormat);
    QStringList files = other.value(QStringLiteral("recentFiles")).toStringList();
    files.prepend(board);
    other.setValue(QStringLiteral("recentFiles"), files);
  }
  ASSERT_TRUE(QFile::remove(settingsFile));
  ASSERT_TRUE(QFile::copy(own, settingsFile));
}

QStringList Shown(const TTestForm& form) {
  QStringList files;
  for (const QAction* item : form.RecentFileItems)
    if (item->isVisible()) files << item->data().toString();
  return files;
}

TEST(RecentFiles, NewestFirstEightAtMostOpenedLikeOpenAndFailuresLeave) {
  const QString settingsFile = UserSettings()->fileName();
  UserSettings()->remove(QStringLiteral("recentFiles"));
  QTemporaryDir dir(TestHome() + QStringLiteral("/recent-XXXXXX"));
  QStringList boards;
  for (int i = 0; i < 10; ++i) {
    boards << dir.filePath(QStringLiteral("b%1.pcb").arg(i));
    WriteBytes(boards.back(), "*Solder*\r\n80, 80, 4, 12, 0\r\n");
  }
  const QString saved = dir.filePath("saved & kept.pcb");
  {
    TTestForm form;
    EXPECT_TRUE(Shown(form).isEmpty());
    EXPECT_FALSE(form.RecentFilesSeparator->isVisible());
    for (const QString& board : boards) {
      form.FileAnswers = QStringList{board};
      form.FileOpen->trigger();
    }
    form.FileAnswers = QStringList{boards[4], saved};
    form.FileOpen->trigger();
    form.FileSaveAs->trigger();
    // Above Exit, behind a separator of their own.
    const QList<QAction*> items = form.FileMenuItem->actions();
    EXPECT_EQ(
        items.mid(items.indexOf(form.FileExit) - 2, 3),
        (QList<QAction*>{form.RecentFileItems.back(), form.RecentFilesSeparator, form.FileExit}));
    EXPECT_EQ(form.RecentFileItems[0]->text(), "&1 " + QString(saved).replace("&", "&&"));
  }
  TTestForm form;  // the next start
  const QStringList expected = {saved,     boards[4], boards[9], boards[8],
                                boards[7], boards[6], boards[5], boards[3]};
  EXPECT_EQ(Shown(form), expected);
  EXPECT_TRUE(form.RecentFilesSeparator->isVisible());

  // Unsaved changes ask first; Cancel keeps the board, No opens the chosen one.
  form.Editor->AddSolder({0, 0});
  form.RecentFileItems[6]->trigger();
  form.BoxAnswers = {QMessageBox::No};
  form.RecentFileItems[6]->trigger();
  EXPECT_EQ(form.Boxes.size(), 2);
  EXPECT_EQ(form.CurrentFileName(), boards[5]);
  EXPECT_EQ(form.windowTitle(), "Ferrolume - b5.pcb");
  EXPECT_FALSE(form.Editor->Modified());
  EXPECT_EQ(Shown(form).front(), boards[5]);

  // A board gone from its folder, or written over by another program, shows the error and leaves
  // the list; the window keeps its own board.
  QFile::remove(boards[8]);
  WriteBytes(boards[7], "PK\3\4");
  const std::pair<QString, QString> failures[] = {{boards[8], "Impossible d'ouvrir le fichier"},
                                                  {boards[7], "is not a board file"}};
  for (const auto& [board, message] : failures) {
    form.Boxes.clear();
    form.RecentFileItems[Shown(form).indexOf(board)]->trigger();
    ASSERT_EQ(form.Boxes.size(), 1);
    EXPECT_TRUE(form.Boxes[0].contains(message));
    EXPECT_FALSE(Shown(form).contains(board));
    EXPECT_EQ(form.CurrentFileName(), boards[5]);
    EXPECT_EQ(form.Editor->Elements().Count(), 1);
  }
  EXPECT_EQ(Shown(form).size(), 6);

  // Two programs opening boards in turn keep each other's, and the menu shows them as it opens.
  for (int i = 0; i < 5; ++i) {
    if (i % 2 == 0) {
      OtherProgramAdds(settingsFile, boards[i]);
    } else {
      form.FileAnswers = QStringList{boards[i]};
      form.FileOpen->trigger();
    }
  }
  emit form.FileMenuItem->aboutToShow();
  EXPECT_EQ(Shown(form).mid(0, 5),
            QStringList({boards[4], boards[3], boards[2], boards[1], boards[0]}));
}

}  // namespace
