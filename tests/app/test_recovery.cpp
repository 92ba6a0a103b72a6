// The recovery copy; surviving a real kill is tests/e2e/recovery_after_kill.sh.

#include "AppTestSupport.h"

namespace {

class Recovery : public ::testing::Test {
 protected:
  QTemporaryDir Boards{TestHome() + QStringLiteral("/boards-XXXXXX")};
  const QString Folder = TRecovery::DefaultFolder();

  void SetUp() override { ASSERT_TRUE(QDir().mkpath(Folder)); }
  void TearDown() override { QDir(Folder).removeRecursively(); }
  QStringList Files() const { return QDir(Folder).entryList(QDir::Files, QDir::Name); }
  // The copy of a program that was killed: a process id nobody has (or no lock), made at Time.
  void LeaveBoard(const QString& stem, const QString& owner, bool lock, const QDateTime& time) {
    WriteBytes(Folder + "/" + stem + ".pcb", BoardText);
    WriteBytes(Folder + "/" + stem + ".path", owner.toStdString());
    if (lock) WriteBytes(Folder + "/" + stem + ".lock", "2147483000\nferrolume\n\n");
    SetTime(Folder + "/" + stem + ".pcb", time);
  }
  static void SetTime(const QString& path, const QDateTime& time) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(time, QFileDevice::FileModificationTime));
  }
};

// Written once per change, and gone after Save, New, Open or closing the window.
TEST_F(Recovery, WrittenOnlyWhenChangedAndRemovedOnSaveDiscardAndExit) {
  const QString other = Boards.filePath("other.pcb");
  WriteBytes(other, BoardText);
  for (int end = 0; end < 4; ++end) {
    SCOPED_TRACE(end);
    auto form = std::make_unique<TTestForm>();
    const QString copy = form->Document().Recovery().CopyPath();
    // The copy's files after the program's periodic call: copy, file name, lock.
    auto kept = [&] {
      form->Document().KeepRecoveryCopy();
      return Files().size();
    };
    EXPECT_EQ(kept(), 0);
    form->Editor->AddSolder({16, 16});
    EXPECT_EQ(kept(), 3);
    EXPECT_TRUE(FileHas(copy, "*Solder*\r\n16, 16, 4, 12, 0"));
    // Taken away behind its back, it is not written again until the board changes.
    QFile::remove(copy);
    EXPECT_EQ(kept(), 2);
    form->Editor->Undo();
    EXPECT_EQ(kept(), 0);
    form->Editor->Redo();
    EXPECT_EQ(kept(), 3);
    form->BoxAnswers = {QMessageBox::No};
    form->FileAnswers = QStringList{end == 0 ? Boards.filePath("saved.pcb") : other};
    if (end < 3) (end == 0 ? form->FileSave : end == 1 ? form->FileNew : form->FileOpen)->trigger();
    if (end == 3) form.reset();
    EXPECT_TRUE(Files().isEmpty());
  }
}

// Copies of ended programs are offered oldest first, naming board and time; never a running one's.
TEST_F(Recovery, OfferedAfterTheProgramEndedAndNotWhileItRuns) {
  const QString owner = Boards.filePath("amp.pcb"), start = Boards.filePath("start.pcb");
  WriteBytes(start, "*Solder*\r\n0, 0, 4, 12, 0\r\n");
  TTestForm running;
  running.Editor->AddSolder({16, 16});
  running.Document().KeepRecoveryCopy();
  const QStringList runningFiles = Files();
  ASSERT_EQ(runningFiles.size(), 3);
  // Answers, board restored (0: none), whether the second board's file is newer than its copy.
  const std::tuple<std::deque<int>, int, bool> rows[] = {
      {{QMessageBox::Cancel, QMessageBox::No}, 0, true},
      {{QMessageBox::No, QMessageBox::Yes}, 2, false},
      {{QMessageBox::Yes}, 1, false}};
  auto at = [](const QDateTime& time) { return QLocale().toString(time, QLocale::ShortFormat); };
  const QDateTime now = QDateTime::currentDateTime();
  for (const auto& [answers, restored, ownerNewer] : rows) {
    SCOPED_TRACE(answers.front());
    LeaveBoard("board-2-b", owner, true, now.addSecs(60));
    LeaveBoard("board-1-a", "", false, now.addSecs(-3600));
    WriteBytes(Folder + "/board-3-c.lock", "2147483001\nferrolume\n\n");  // killed before writing
    WriteBytes(owner, BoardText);
    SetTime(owner, now.addSecs(ownerNewer ? 120 : 0));
    TTestForm form;
    form.BoxAnswers = answers;
    form.FormCreate({start});
    const QString newer =
        "\nThe file on disk is newer than this copy: saved " + at(now.addSecs(120)) + ".";
    const QStringList details = {"Board: Untitled\nCopy made: " + at(now.addSecs(-3600)),
                                 "Board: " + QDir::toNativeSeparators(owner) + "\nCopy made: " +
                                     at(now.addSecs(60)) + (ownerNewer ? newer : "")};
    EXPECT_EQ(form.Details, details.mid(0, int(answers.size())));
    EXPECT_EQ(form.Boxes.value(0),
              "Ferrolume was not closed properly. Restore the board you were working on?");
    // Restored: changed, under its file's name, its copy now ours; the others wait.
    const QString name = restored == 0 ? start : restored == 2 ? owner : QString();
    form.Editor->AddSolder({0, 0});
    form.Editor->Undo();
    EXPECT_EQ(form.Summary(), QString("%1, %2 elements, scale 0%3")
                                  .arg(TMainForm::TitleFor(name))
                                  .arg(restored ? 2 : 1)
                                  .arg(restored ? ", changed" : ""));
    EXPECT_EQ(form.CurrentFileName(), name);
    QStringList left = Files();
    for (const QString& file : runningFiles)
      EXPECT_TRUE(left.removeOne(file)) << file.toStdString();
    // A restored board's copy is this program's own.
    const QFileInfo own(form.Document().Recovery().CopyPath());
    EXPECT_EQ(left.removeAll(own.fileName()), restored ? 1 : 0);
    left.removeIf([&](const QString& file) { return file.startsWith(own.completeBaseName()); });
    const char* const waiting[] = {"board-1-a.path board-1-a.pcb", "board-2-b.path board-2-b.pcb",
                                   ""};
    EXPECT_EQ(left.join(' '), waiting[restored]);
    form.Document().Recovery().Remove();
    for (const QString& file : left) QFile::remove(Folder + "/" + file);
  }
}

}  // namespace
