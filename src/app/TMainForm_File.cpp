// The board's files: start-up, New, Open, Save, Save as, the recent boards, the boards left by
// a crash, closing, and the boxes that ask the user. What is done to the document itself is in
// TBoardDocument.
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include "TBoardDocument.h"
#include "TBoardFiles.h"
#include "TErrorGuard.h"
#include "TFileTypeRegistration.h"
#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TRecovery.h"
#include "TWinTypon.h"

void TMainForm::FormCreate(const QStringList& arguments) {
  // Registered first, so the program that just started is the one a double click runs.
  RegisterFileType();
  // A board restored from a crash takes the window; a board named here waits for Open.
  const bool restored = OfferLeftBoards();
  Document_->StartRecovery();
  if (restored) return;
  const QString fileName = arguments.value(0);
  if (fileName.isEmpty()) return;
  // A path to nothing or to a folder is ignored without a word, as a stale shortcut would be.
  const QFileInfo info(fileName);
  if (!info.exists() || info.isDir()) return;
  Guarded([&] {
    Document_->Load(fileName);
    setWindowTitle(TitleFor(CurrentFileName()));
  });
}

const QString& TMainForm::CurrentFileName() const { return Document_->FileName(); }

void TMainForm::RegisterFileType() {
  try {
    TFileTypeRegistration::RegisterRunningProgram();
  } catch (...) {
    // A desktop that will not take the registration is no reason not to start.
  }
}

void TMainForm::ShowError(const QString& message) {
  QMessageBox box(QMessageBox::Critical, AppTitle, ErrorBoxText(message), QMessageBox::Ok, this);
  ExecMessageBox(box);
}

bool TMainForm::Guarded(const std::function<void()>& command) {
  // A drag under way with the button still held is made a step of its own before any command
  // sees the board: Delete, Save or Paste then act on the board as it is shown, and undo takes
  // the drag back as a whole.
  return RunGuarded(
      [&] {
        Editor->FinishDrag();
        command();
      },
      [this](const QString& message) { ShowError(message); });
}

int TMainForm::ExecMessageBox(QMessageBox& box) { return box.exec(); }

QString TMainForm::ExecFileDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return QString();
  return dialog.selectedFiles().value(0);
}

void TMainForm::SetScalePosition(int position) {
  // Set the editor here rather than through the box's signal, so a failure ends the command.
  const QSignalBlocker quiet(ScaleEdit);
  ScaleEdit->setValue(position);
  ScaleEditChange(ScaleEdit->value());
}

bool TMainForm::QuerySaveChanges() {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Info"),
                  QStringLiteral("Content has changed.\nSave changes ?"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (ExecMessageBox(box)) {
    case QMessageBox::Yes:
      // Cancelling the Save dialog that may follow stops the command too: the user asked for
      // the changes to be kept, so they are not thrown away unsaved.
      return SaveDocument();
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}

void TMainForm::ClearDocument() {
  Document_->Clear();
  SetScalePosition(0);
}

void TMainForm::ShowNewBoard() {
  SetScalePosition(0);
  setWindowTitle(TitleFor(CurrentFileName()));
}

bool TMainForm::OpenDocument() {
  QFileDialog dialog(this, QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("Supported files (*.pcb *.wt5)"),
                         QStringLiteral("PCB files (*.pcb)"),
                         QStringLiteral("WinTypon 5 files (*.wt5)")});
  dialog.setDefaultSuffix(QStringLiteral("pcb"));
  const QString fileName = ExecFileDialog(dialog);
  if (fileName.isEmpty()) return false;
  Document_->Load(fileName);
  ShowNewBoard();
  return true;
}

QString TMainForm::ChooseSaveFileName() {
  QFileDialog dialog(this, QStringLiteral("Save as"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = {QStringLiteral("PCB files (*.pcb)"),
                               QStringLiteral("WinTypon 5 files (*.wt5)")};
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QStringLiteral("pcb"));
  // A name typed without an extension takes the one of the chosen file type.
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& f) {
    dialog.setDefaultSuffix(f == filters[1] ? QStringLiteral("wt5") : QStringLiteral("pcb"));
  });
  return ExecFileDialog(dialog);
}

bool TMainForm::SaveDocument() {
  QString fileName = CurrentFileName();
  if (fileName.isEmpty()) {
    fileName = ChooseSaveFileName();
    if (fileName.isEmpty()) return false;
  }
  return SaveBoardAs(fileName);
}

bool TMainForm::SaveBoardAs(const QString& fileName) {
  // Only a .wt5 file leaves anything out or keeps texts as bare strokes; a bad extension raises
  // its error in SaveAs.
  const bool wt5 = FileExtensionOf(fileName) == QLatin1String(".wt5");
  const int32_t leftOut = wt5 ? WinTyponLeftOut(Editor->Elements()) : 0;
  const int32_t texts = wt5 ? WinTyponStrokesOnly(Editor->Elements()) : 0;
  if ((leftOut > 0 || texts > 0) && !ConfirmLeftOut(fileName, leftOut, texts)) return false;
  Document_->SaveAs(fileName);
  // The file does not hold the whole board: closing must still ask, or the rest is lost.
  if (leftOut > 0 || texts > 0) Editor->SetModified(true);
  setWindowTitle(TitleFor(CurrentFileName()));
  return true;
}

bool TMainForm::ConfirmLeftOut(const QString& fileName, int32_t n, int32_t texts) {
  const QString name = FileNamePart(fileName);
  QStringList said;
  if (n == 1)
    said << QStringLiteral(
                "1 element cannot be kept in a WinTypon 5 file and will be left out "
                "of %1.")
                .arg(name);
  else if (n > 1)
    said << QStringLiteral(
                "%1 elements cannot be kept in a WinTypon 5 file and will be left out "
                "of %2.")
                .arg(n)
                .arg(name);
  // Texts are not lost, but they come back from the file as plain wires.
  if (texts == 1)
    said << QStringLiteral("1 text will be kept in %1 only as its strokes, drawn as wires.")
                .arg(name);
  else if (texts > 1)
    said << QStringLiteral("%1 texts will be kept in %2 only as their strokes, drawn as wires.")
                .arg(texts)
                .arg(name);
  QMessageBox box(QMessageBox::Warning, AppTitle, said.join(QLatin1Char(' ')),
                  QMessageBox::Save | QMessageBox::Cancel, this);
  box.setInformativeText(
      QStringLiteral("A .wt5 file holds only pads with holes and wires. Save as a .pcb file to "
                     "keep the whole board."));
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  return ExecMessageBox(box) == QMessageBox::Save;
}

void TMainForm::FileNewExecute() {
  if (Editor->Modified() && !QuerySaveChanges()) return;
  ClearDocument();
  setWindowTitle(AppTitle);
}

void TMainForm::FileOpenExecute() {
  if (Editor->Modified() && !QuerySaveChanges()) return;
  OpenDocument();
}

void TMainForm::FileSaveExecute() { SaveDocument(); }

void TMainForm::FileSaveAsExecute() {
  const QString fileName = ChooseSaveFileName();
  if (fileName.isEmpty()) return;
  SaveBoardAs(fileName);
}

void TMainForm::FileExitExecute() { close(); }

bool TMainForm::FormClose() { return !Editor->Modified() || QuerySaveChanges(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  // An error while saving from the prompt keeps the window open with the board in it.
  bool mayClose = false;
  Guarded([&] { mayClose = FormClose(); });
  if (mayClose) {
    Document_->Close();
    event->accept();
  } else {
    event->ignore();
  }
}

void TMainForm::CreateRecentFileItems() {
  static_assert(std::tuple_size_v<decltype(RecentFileItems)> == TRecentFiles::MaxCount);
  for (QAction*& item : RecentFileItems) {
    item = new QAction(this);
    item->setVisible(false);
    FileMenuItem->insertAction(FileExit, item);
    QAction* self = item;
    connect(item, &QAction::triggered, this, [this, self] {
      const QString fileName = self->data().toString();
      Guarded([&] { OpenRecentFile(fileName); });
    });
  }
  RecentFilesSeparator = FileMenuItem->insertSeparator(FileExit);
  UpdateRecentFileItems();
  connect(Document_.get(), &TBoardDocument::RecentFilesChanged, this,
          &TMainForm::UpdateRecentFileItems);
  // Another program may have opened boards since: the menu shows the list as it is now.
  connect(FileMenuItem, &QMenu::aboutToShow, this, &TMainForm::UpdateRecentFileItems);
}

void TMainForm::UpdateRecentFileItems() {
  const QStringList files = Document_->RecentFiles();
  for (int i = 0; i < int(RecentFileItems.size()); ++i) {
    QAction* item = RecentFileItems[size_t(i)];
    item->setVisible(i < files.size());
    if (i >= files.size()) continue;
    // The whole path: two boards of one name in different folders must be told apart.
    QString shown = QDir::toNativeSeparators(files[i]);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    item->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    item->setData(files[i]);
  }
  RecentFilesSeparator->setVisible(!files.isEmpty());
}

void TMainForm::OpenRecentFile(const QString& fileName) {
  if (Editor->Modified() && !QuerySaveChanges()) return;
  try {
    Document_->Load(fileName);
  } catch (...) {
    // Gone, moved or no longer a board: it leaves the list, and the error box tells why.
    Document_->ForgetRecentFile(fileName);
    throw;
  }
  ShowNewBoard();
}

bool TMainForm::OfferLeftBoards() {
  bool restored = false;
  for (TLeftBoard& left : Document_->LeftBoards()) {
    // The window holds one board: any others wait, untouched, for the next start.
    if (restored) break;
    QMessageBox box(QMessageBox::Question, AppTitle,
                    QStringLiteral("Ferrolume was not closed properly. Restore the board you were "
                                   "working on?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setInformativeText(LeftBoardDetails(left));
    box.setDefaultButton(QMessageBox::Yes);
    switch (ExecMessageBox(box)) {
      case QMessageBox::Yes:
        restored = Guarded([&] {
          Document_->Restore(left);
          ShowNewBoard();
        });
        break;
      case QMessageBox::No:
        TRecovery::Discard(left);
        break;
      default:
        break;  // the box went away unanswered: asked again next time
    }
  }
  return restored;
}
