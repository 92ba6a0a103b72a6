#pragma once

#include <QApplication>
#include <QPointer>

class TMainForm;

// The application object. Every event handler of the window already runs its work through the
// window's error box; this catches what might still escape a widget's own event handling (the
// editor's mouse tools, for instance), so that no exception ever unwinds through Qt.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);

  void SetMainForm(TMainForm* form) { MainForm_ = form; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QPointer<TMainForm> MainForm_;
};
