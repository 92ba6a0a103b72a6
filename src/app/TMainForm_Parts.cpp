// Parts at hand in the window: the pad and hole boxes of the settings row, rotate and mirror,
// and the footprint library.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "TBoardError.h"
#include "TBoardFile.h"
#include "TFootprintDialog.h"
#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TPadSize.h"

void TMainForm::CreatePadSettings(QHBoxLayout* row) {
  // Drop-down lists of common sizes that also take a typed size; a typed size is read when the
  // user presses Enter or leaves the box.
  auto addBox = [&](const char* name, const QString& label, const QString& hint,
                    const auto& choices) {
    auto* combo = new QComboBox(BoardSettingsPanel);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (int32_t units : choices) combo->addItem(MillimetreText(units));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setToolTip(hint);
    auto* caption = new QLabel(label, BoardSettingsPanel);
    caption->setBuddy(combo);
    row->addWidget(caption);
    row->addWidget(combo);
    return combo;
  };
  PadSizeCombo =
      addBox("PadSizeCombo", QStringLiteral("Pad"),
             QStringLiteral("Outer diameter or side of new pads and of the selected pads, in mm"),
             PadSizeChoices);
  HoleSizeCombo =
      addBox("HoleSizeCombo", QStringLiteral("Hole"),
             QStringLiteral("Hole of new pads and of the selected pads, in mm"), HoleSizeChoices);
  // One unit for both boxes, after the second.
  row->addWidget(new QLabel(QStringLiteral("mm"), BoardSettingsPanel));
  row->addSpacing(4);
  ShowPadSettings();
  for (auto [combo, handler] : {std::pair{PadSizeCombo, &TMainForm::PadSizeComboChange},
                                std::pair{HoleSizeCombo, &TMainForm::HoleSizeComboChange}}) {
    connect(combo, &QComboBox::activated, this,
            [this, handler] { Guarded([=] { (this->*handler)(); }); });
    connect(combo->lineEdit(), &QLineEdit::editingFinished, this,
            [this, handler] { Guarded([=] { (this->*handler)(); }); });
  }
}

void TMainForm::ShowPadSettings() {
  PadSizeCombo->setCurrentText(MillimetreText(Editor->SolderExternalDiameter()));
  HoleSizeCombo->setCurrentText(MillimetreText(Editor->SolderInternalDiameter()));
}

void TMainForm::PadSizeComboChange() {
  try {
    const int32_t pad = ReadPadSize(PadSizeCombo->currentText());
    CheckHoleFits(Editor->SolderInternalDiameter(), pad);
    // The selected pads first: a pad whose hole is too large refuses the size for all.
    Editor->ChangeSelected(epPadSize, pad);
    Editor->SetSolderExternalDiameter(pad);
  } catch (...) {
    ShowPadSettings();
    throw;
  }
  ShowPadSettings();
}

void TMainForm::HoleSizeComboChange() {
  try {
    const int32_t hole = ReadHoleSize(HoleSizeCombo->currentText());
    CheckHoleFits(hole, Editor->SolderExternalDiameter());
    Editor->ChangeSelected(epHole, hole);
    Editor->SetSolderInternalDiameter(hole);
  } catch (...) {
    ShowPadSettings();
    throw;
  }
  ShowPadSettings();
}

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
