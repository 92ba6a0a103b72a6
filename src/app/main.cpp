#include "TApplication.h"
#include "TMainForm.h"

int main(int argc, char* argv[]) {
  TApplication app(argc, argv);
  TMainForm form;
  app.SetMainForm(&form);
  // Registration and the board named on the command line come before the window shows, so a
  // board that cannot be read reports its error first.
  form.FormCreate(QApplication::arguments().mid(1));
  form.show();
  app.exec();
  return 0;
}
