#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "TMainForm.h"

// The temporary home every test of this binary runs in (HOME and the XDG folders point there).
QString TestHome();

// What a message box looked like when the program showed it.
struct TShownBox {
  QString Title;
  QString Text;
  QMessageBox::Icon Icon;
  QMessageBox::StandardButtons Buttons;
  QMessageBox::StandardButton Default;
  bool HasPicture;
};

// What a file dialog offered.
struct TShownDialog {
  QFileDialog::AcceptMode Mode;
  QStringList Filters;
  QString SelectedFilter;
  QString DefaultSuffix;
  bool ConfirmOverwrite;
};

// The main window with a scripted user: message boxes and file dialogs are answered from
// queues (an empty queue answers Cancel), and everything shown is recorded.
class TTestForm : public TMainForm {
 public:
  std::deque<int> BoxAnswers;
  std::deque<QString> FileAnswers;
  std::vector<TShownBox> Boxes;
  std::vector<TShownDialog> Dialogs;
  std::function<void()> OnRegister;
  bool RealRegistration = false;
  int Registrations = 0;

  using TMainForm::closeEvent;

 protected:
  int ExecMessageBox(QMessageBox& box) override {
    QMessageBox::StandardButton def = QMessageBox::NoButton;
    if (box.defaultButton()) def = box.standardButton(box.defaultButton());
    Boxes.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons(), def,
                     !box.iconPixmap().isNull()});
    if (BoxAnswers.empty()) return QMessageBox::Cancel;
    const int answer = BoxAnswers.front();
    BoxAnswers.pop_front();
    return answer;
  }
  QString ExecFileDialog(QFileDialog& dialog) override {
    Dialogs.push_back({dialog.acceptMode(), dialog.nameFilters(), dialog.selectedNameFilter(),
                       dialog.defaultSuffix(),
                       !dialog.testOption(QFileDialog::DontConfirmOverwrite)});
    if (FileAnswers.empty()) return QString();
    const QString answer = FileAnswers.front();
    FileAnswers.pop_front();
    return answer;
  }
  void RegisterFileType() override {
    ++Registrations;
    if (OnRegister) OnRegister();
    if (RealRegistration) TMainForm::RegisterFileType();
  }
};
