// The File menu's recent boards. The settings live in the test home (XDG_CONFIG_HOME).

#include "AppTestSupport.h"

namespace {

QStringList Shown(const TTestForm& form) {
  QStringList files;
  for (const QAction* item : form.RecentFileItems)
    if (item->isVisible()) files << item->data().toString();
  return files;
}

TEST(RecentFiles, NewestFirstEightAtMostOpenedLikeOpenAndFailuresLeave) {
  UserSettings()->remove(QStringLiteral("recentFiles"));
  QTemporaryDir dir(TestHome() + QStringLiteral("/recent-XXXXXX"));
  QStringList b;
  for (int i = 0; i < 10; ++i) {
    b << dir.filePath(QStringLiteral("b%1.pcb").arg(i));
    WriteBytes(b.back(), "*Solder*\r\n80, 80, 4, 12, 0\r\n");
  }
  const QString saved = dir.filePath("saved & kept.pcb");
  {
    TTestForm form;
    form.FileAnswers = b + QStringList{b[4], saved};
    for (int i = 0; i < 11; ++i) form.FileOpen->trigger();
    form.FileSaveAs->trigger();
    // Above Exit, behind a separator of their own.
    const QList<QAction*> items = form.FileMenuItem->actions();
    EXPECT_EQ(
        items.mid(items.indexOf(form.FileExit) - 2, 3),
        (QList<QAction*>{form.RecentFileItems.back(), form.RecentFilesSeparator, form.FileExit}));
    EXPECT_EQ(form.RecentFileItems[0]->text(), "&1 " + QString(saved).replace("&", "&&"));
  }
  TTestForm form;  // the next start
  EXPECT_EQ(Shown(form), (QStringList{saved, b[4], b[9], b[8], b[7], b[6], b[5], b[3]}));
  EXPECT_TRUE(form.RecentFilesSeparator->isVisible());

  // Unsaved changes ask first; Cancel keeps the board, No opens the chosen one.
  form.Editor->AddSolder({0, 0});
  form.RecentFileItems[6]->trigger();
  form.BoxAnswers = {QMessageBox::No};
  form.RecentFileItems[6]->trigger();
  EXPECT_EQ(form.Boxes.size(), 2);
  EXPECT_EQ(form.Summary(), "Ferrolume - b5.pcb, 1 elements, scale 0");
  EXPECT_EQ(Shown(form).front(), b[5]);

  // A board written over by another program shows the error and leaves the list.
  WriteBytes(b[7], "PK\3\4");
  form.RecentFileItems[Shown(form).indexOf(b[7])]->trigger();
  EXPECT_EQ(form.Boxes.size(), 3);
  EXPECT_TRUE(form.Boxes.back().contains("is not a board file"));
  EXPECT_FALSE(Shown(form).contains(b[7]));
  EXPECT_EQ(form.CurrentFileName(), b[5]);
}

}  // namespace
