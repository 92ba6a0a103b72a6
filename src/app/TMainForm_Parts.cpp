// Parts at hand in the window: rotate and mirror, and the footprint library. The pad and hole
// boxes of the settings row are TPadSettings.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "TBoardError.h"
#include "TBoardFile.h"
#include "TFootprintDialog.h"
#include "TMainForm.h"
#include "TPCBLayout.h"

void TMainForm::CreatePartsCommands() {
  EditRotate = NewAction(QStringLiteral("Rotate"), QKeySequence(Qt::Key_R), -1,
                         &TMainForm::EditRotateExecute);
  EditRotate->setIcon(QIcon(QStringLiteral(":/icons/rotate.svg")));
  EditMirror = NewAction(QStringLiteral("Mirror"), QKeySequence(Qt::Key_M), -1,
                         &TMainForm::EditMirrorExecute);
  EditMirror->setIcon(QIcon(QStringLiteral(":/icons/mirror.svg")));
  EditInsertFootprint =
      NewAction(QStringLiteral("Insert Footprint..."), QKeySequence(Qt::CTRL | Qt::Key_I), -1,
                &TMainForm::EditInsertFootprintExecute);
  EditSaveFootprint = NewAction(QStringLiteral("Save Selection as Footprint..."), QKeySequence(),
                                -1, &TMainForm::EditSaveFootprintExecute);

  EditMenuItem->addSeparator();
  EditMenuItem->addActions({EditRotate, EditMirror});
  EditMenuItem->addSeparator();
  EditMenuItem->addActions({EditInsertFootprint, EditSaveFootprint});
  EditActionBar->addSeparator();
  EditActionBar->addActions({EditRotate, EditMirror});
}

void TMainForm::EditRotateExecute() { Editor->RotateSelected(); }

void TMainForm::EditMirrorExecute() { Editor->MirrorSelected(); }

QString TMainForm::ExecFootprintDialog(TFootprintDialog& dialog) {
  return dialog.exec() == QDialog::Accepted ? dialog.ChosenPath() : QString();
}

void TMainForm::EditInsertFootprintExecute() {
  // Where the pointer is now, not where the dialog leaves it.
  const TPoint at = Editor->PointerBoardPoint();
  TFootprintDialog dialog(this);
  const QString fileName = ExecFootprintDialog(dialog);
  if (fileName.isEmpty()) return;
  InsertFootprint(fileName, at);
}

void TMainForm::InsertFootprint(const QString& fileName, TPoint at) {
  // Read whole before the board is touched: a bad line shows its error and adds nothing.
  TElementList::Storage part = TFootprintDialog::ReadFootprint(Editor, fileName);
  // Ready to be dragged where it belongs.
  Editor->SetMouseAction(maMove);
  MoveButton->setChecked(true);
  Editor->InsertElements(std::move(part), at,
                         QStringLiteral("Insert ") + QFileInfo(fileName).completeBaseName());
}

void TMainForm::EditSaveFootprintExecute() {
  const std::string text = Editor->SelectionAsFootprint();
  if (text.empty()) throw EBoardError("Select the pads and wires of the part first");
  const QString folder = TFootprintDialog::UserFolder();
  QDir().mkpath(folder);
  const QString fileName =
      ChooseOutputFile(QStringLiteral("Save Selection as Footprint"),
                       QStringLiteral("Footprints (*.pcb)"), QStringLiteral("pcb"), folder);
  if (fileName.isEmpty()) return;
  WriteBoardFile(fileName, text);
}
