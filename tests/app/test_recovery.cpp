// The recovery copy: when it is written and removed, what is offered at start, and a folder
// that cannot be written. The copy surviving a real kill is tests/e2e/recovery_after_kill.sh.
#include <QLocale>

#include "AppTestSupport.h"

namespace {

const QString Question =
    QStringLiteral("Ferrolume was not closed properly. Restore the board you were working on?");

class Recovery : public ::testing::Test {
 protected:
  QTemporaryDir Boards{TestHome() + QStringLiteral("/boards-XXXXXX")};
  const QString Folder = TRecovery::DefaultFolder();

  void SetUp() override { ASSERT_TRUE(QDir().mkpath(Folder)); }
  void TearDown() override { QDir(Folder).removeRecursively(); }

  QStringList Files() const { return QDir(Folder).entryList(QDir::Files, QDir::Name); }
  // The copy of a program that was killed: a process id nobody has, or no lock at all.
  void LeaveBoard(const QString& stem, const QString& owner, bool lock = true) {
    WriteBytes(Folder + "/" + stem + ".pcb", BoardText);
    WriteBytes(Folder + "/" + stem + ".path", owner.toStdString());
    if (lock) WriteBytes(Folder + "/" + stem + ".lock", "2147483000\nferrolume\n\n");
  }
};

// Nothing while nothing changed, once per change, and gone however the board is left (leaving
// through Exit is the end-to-end test's).
TEST_F(Recovery, WrittenOnlyWhenChangedAndRemovedOnSaveDiscardAndExit) {
  const QString other = Boards.filePath("other.pcb");
  WriteBytes(other, BoardText);
  for (int end = 0; end < 4; ++end) {
    SCOPED_TRACE(end);
    auto form = std::make_unique<TTestForm>();
    // The copy's files after the program's periodic call.
    auto kept = [&] {
      form->Document().KeepRecoveryCopy();
      return Files().size();
    };
    const QString copy = form->Document().Recovery().CopyPath();
    EXPECT_EQ(kept(), 0);
    form->Editor->AddSolder({16, 16});
    EXPECT_EQ(kept(), 3);  // copy, file name, lock
    EXPECT_TRUE(FileHas(copy, "*Solder*\r\n16, 16, 4, 12, 0"));
    // Taken away behind its back, it is not written again until the board changes.
    QFile::remove(copy);
    EXPECT_EQ(kept(), 2);
    form->Editor->AddSolder({32, 16});
    EXPECT_EQ(kept(), 3);
    EXPECT_TRUE(FileHas(copy, "32, 16"));
    // Undone back to the empty board it started from, there is nothing to recover.
    form->Editor->Undo();
    form->Editor->Undo();
    EXPECT_EQ(kept(), 0);
    form->Editor->Redo();
    EXPECT_EQ(kept(), 3);

    form->BoxAnswers = {QMessageBox::No};
    form->FileAnswers = QStringList{end == 0 ? Boards.filePath("saved.pcb") : other};
    if (end < 3) (end == 0 ? form->FileSave : end == 1 ? form->FileNew : form->FileOpen)->trigger();
    EXPECT_EQ(form->Boxes.size(), end == 0 ? 0 : end < 3 ? 1 : 0);
    if (end == 3) form.reset();
    EXPECT_TRUE(Files().isEmpty());
  }
}

// Copies of programs that are gone are offered one by one, oldest first; a program's own copy
// and the copy of one still running never are. Under the question each box names the board and
// the time of its copy, and warns when the board's file was saved after the copy.
TEST_F(Recovery, OfferedAfterTheProgramEndedAndNotWhileItRuns) {
  const QString owner = Boards.filePath("amp.pcb"), start = Boards.filePath("start.pcb");
  WriteBytes(start, "*Solder*\r\n0, 0, 4, 12, 0\r\n");
  TTestForm running;
  running.Editor->AddSolder({16, 16});
  running.Document().KeepRecoveryCopy();
  const QStringList runningFiles = Files();
  ASSERT_EQ(runningFiles.size(), 3);

  // The answers given, the boxes shown, the board restored (0: none), and whether the second
  // board's file was saved after its copy.
  const std::tuple<std::deque<int>, int, int, bool> rows[] = {
      {{QMessageBox::No, QMessageBox::No}, 2, 0, true},
      {{QMessageBox::Cancel, QMessageBox::No}, 2, 0, false},
      {{QMessageBox::No, QMessageBox::Yes}, 2, 2, true},
      {{QMessageBox::Yes}, 1, 1, false}};
  auto at = [](const QDateTime& time) { return QLocale().toString(time, QLocale::ShortFormat); };
  const QDateTime now = QDateTime::currentDateTime();
  auto setTime = [](const QString& path, const QDateTime& time) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(time, QFileDevice::FileModificationTime));
  };
  for (const auto& [answers, asked, restored, ownerNewer] : rows) {
    SCOPED_TRACE(answers.front());
    LeaveBoard("board-1-a", "", false);
    LeaveBoard("board-2-b", owner);
    WriteBytes(Folder + "/board-3-c.lock", "2147483001\nferrolume\n\n");  // killed before writing
    setTime(Folder + "/board-1-a.pcb", now.addSecs(-3600));
    setTime(Folder + "/board-2-b.pcb", now.addSecs(60));
    WriteBytes(owner, BoardText);
    setTime(owner, now.addSecs(ownerNewer ? 120 : 0));
    TTestForm form;
    form.BoxAnswers = answers;
    form.FormCreate({start});
    EXPECT_EQ(form.Boxes, QStringList(asked, Question));
    QStringList details = {
        "Board: Untitled\nCopy made: " + at(now.addSecs(-3600)),
        "Board: " + QDir::toNativeSeparators(owner) + "\nCopy made: " + at(now.addSecs(60))};
    if (ownerNewer)
      details[1] +=
          "\nThe file on disk is newer than this copy: saved " + at(now.addSecs(120)) + ".";
    EXPECT_EQ(form.Details, details.mid(0, asked));
    QStringList left = Files();
    for (const QString& name : runningFiles)
      EXPECT_TRUE(left.removeOne(name)) << name.toStdString();
    EXPECT_FALSE(left.contains("board-3-c.lock"));
    // None restored, the board named at start opens as usual. Restored, the board has unsaved
    // changes that no undo takes away, under its file's name; its copy is now this program's,
    // and a board not offered waits for the next start.
    const QString name = restored == 0 ? start : restored == 2 ? owner : QString();
    form.Editor->AddSolder({0, 0});
    form.Editor->Undo();
    EXPECT_EQ(form.CurrentFileName(), name);
    EXPECT_EQ(form.Summary(), QString("%1, %2 elements, scale 0%3")
                                  .arg(TMainForm::TitleFor(name))
                                  .arg(restored ? 2 : 1)
                                  .arg(restored ? ", changed" : ""));
    if (restored == 0) {
      const bool keptFirst = answers.front() == QMessageBox::Cancel;
      EXPECT_EQ(left.size(), keptFirst ? 2 : 0);  // the first one's copy and its file name
      continue;
    }
    EXPECT_TRUE(left.contains(QFileInfo(form.Document().Recovery().CopyPath()).fileName()));
    EXPECT_EQ(left.size(), restored == 1 ? 5 : 3);  // with board-2-b's copy and file name
    form.Document().Recovery().Remove();
    for (const QString& name : Files())
      if (!runningFiles.contains(name)) QFile::remove(Folder + "/" + name);
  }
}

// A folder that cannot be written (here a file stands in its place, which stops root too) only
// means no copy: no box, no error, and the board saves as always.
TEST_F(Recovery, AnUnwritableFolderLeavesEditingAlone) {
  QDir(Folder).removeRecursively();
  WriteBytes(Folder, "in the way");
  TTestForm form;
  form.FormCreate({});
  form.Editor->AddSolder({16, 16});
  form.Document().KeepRecoveryCopy();
  EXPECT_FALSE(form.Document().Recovery().HasCopy());
  form.FileAnswers = QStringList{Boards.filePath("kept.pcb")};
  form.FileSave->trigger();
  EXPECT_TRUE(form.Boxes.isEmpty());
  EXPECT_FALSE(form.Editor->Modified());
  QFile::remove(Folder);
}

}  // namespace
