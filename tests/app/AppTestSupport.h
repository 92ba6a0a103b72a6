#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <deque>
#include <functional>

#include "TMainForm.h"

// The temporary home every test of this binary runs in (HOME and the XDG folders point there).
QString TestHome();

// The main window with a scripted user: message boxes and file dialogs are answered from
// queues (an empty queue answers Cancel); the texts of the boxes shown and the number of file
// dialogs are recorded.
class TTestForm : public TMainForm {
 public:
  std::deque<int> BoxAnswers;
  QStringList FileAnswers;
  QStringList Boxes;
  int Dialogs = 0;
  // The file each file dialog proposed as it opened, in order.
  QStringList Proposed;
  // Answers any other dialog (print options, preview); none answers Cancel.
  std::function<int(QDialog&)> DialogAnswer;
  bool RealRegistration = false;
  int Registrations = 0;

  using TMainForm::closeEvent;

 protected:
  int ExecMessageBox(QMessageBox& box) override {
    Boxes << box.text();
    if (BoxAnswers.empty()) return QMessageBox::Cancel;
    const int answer = BoxAnswers.front();
    BoxAnswers.pop_front();
    return answer;
  }
  QString ExecFileDialog(QFileDialog& dialog) override {
    ++Dialogs;
    Proposed << dialog.selectedFiles().value(0);
    return FileAnswers.isEmpty() ? QString() : FileAnswers.takeFirst();
  }
  int ExecDialog(QDialog& dialog) override {
    return DialogAnswer ? DialogAnswer(dialog) : int(QDialog::Rejected);
  }
  void RegisterFileType() override {
    ++Registrations;
    if (RealRegistration) TMainForm::RegisterFileType();
  }
};
