#include "TApplication.h"

#include <QMessageBox>

#include "TErrorGuard.h"
#include "TMainForm.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The name heads the message boxes. The display name stays unset: Qt would append it to
  // every window title, and the title already starts with it.
  setApplicationName(AppTitle);
  setDesktopFileName(QStringLiteral("ferrolume"));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  RunGuarded([&] { result = QApplication::notify(receiver, event); },
             [this](const QString& message) {
               if (MainForm_) {
                 MainForm_->ShowError(message);
               } else {
                 QMessageBox box(QMessageBox::Critical, AppTitle, ErrorBoxText(message),
                                 QMessageBox::Ok);
                 box.exec();
               }
             });
  return result;
}
