// The board's files: start-up, New, Open, Save, Save as, closing, and the boxes that ask the user.
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

#include "TErrorGuard.h"
#include "TFileTypeRegistration.h"
#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TRecovery.h"

void TMainForm::FormCreate(const QStringList& arguments) {
  // Registered first, so the program that just started is the one a double click runs.
  RegisterFileType();
  // A board restored from a crash takes the window; a board named here waits for Open.
  const bool restored = OfferLeftBoards();
  RecoveryTimer->start();
  if (restored) return;
  const QString fileName = arguments.value(0);
  if (fileName.isEmpty()) return;
  // A path to nothing or to a folder is ignored without a word, as a stale shortcut would be.
  const QFileInfo info(fileName);
  if (!info.exists() || info.isDir()) return;
  Guarded([&] {
    LoadBoard(fileName);
    setWindowTitle(TitleFor(CurrentFileName_));
  });
}

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

void TMainForm::LoadBoard(const QString& fileName) {
  Editor->Elements().LoadFromFile(fileName);
  // The window takes the file's name only once its board is in: after a failed load a Save must
  // not write the board over the file that could not be read.
  CurrentFileName_ = fileName;
  Recovery_->Remove();
  RememberRecentFile(fileName);
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
  Editor->Clear();
  Recovery_->Remove();
  CurrentFileName_.clear();
  SetScalePosition(0);
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
  LoadBoard(fileName);
  SetScalePosition(0);
  setWindowTitle(TitleFor(CurrentFileName_));
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
  if (CurrentFileName_.isEmpty()) {
    const QString fileName = ChooseSaveFileName();
    if (fileName.isEmpty()) return false;
    CurrentFileName_ = fileName;
  }
  Editor->Elements().SaveToFile(CurrentFileName_);
  Recovery_->Remove();
  RememberRecentFile(CurrentFileName_);
  setWindowTitle(TitleFor(CurrentFileName_));
  return true;
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
  CurrentFileName_ = fileName;
  SaveDocument();
}

void TMainForm::FileExitExecute() { close(); }

bool TMainForm::FormClose() { return !Editor->Modified() || QuerySaveChanges(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  // An error while saving from the prompt keeps the window open with the board in it.
  bool mayClose = false;
  Guarded([&] { mayClose = FormClose(); });
  if (mayClose) {
    // Saved, or discarded on purpose: nothing is left to recover.
    RecoveryTimer->stop();
    Recovery_->Remove();
    event->accept();
  } else {
    event->ignore();
  }
}
