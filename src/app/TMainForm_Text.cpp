// Copper text in the window: the text tool's dialog, Edit Text and the double click that opens
// a text. The text tool's button and key are made with the other tools'.
#include <QAction>
#include <QMenu>
#include <QPainter>

#include "TCopperText.h"
#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TTextDialog.h"

QIcon TMainForm::DrawTextImage() {
  // A "T" in round-ended copper strokes, in the colours of the other tool pictures.
  return DrawnIcon([](QPainter& painter) {
    painter.setPen(QPen(QColor(0x0f, 0x60, 0x18), 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QLineF(3, 3, 13, 3));
    painter.drawLine(QLineF(8, 3, 8, 13.5));
    painter.setPen(QPen(QColor(0x1c, 0x9a, 0x2a), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QLineF(3, 3, 13, 3));
    painter.drawLine(QLineF(8, 3, 8, 13.5));
  });
}

void TMainForm::CreateTextCommands() {
  EditEditText = NewAction(QStringLiteral("Edit Text..."), QKeySequence(Qt::CTRL | Qt::Key_E), -1,
                           &TMainForm::EditEditTextExecute);
  EditMenuItem->addAction(EditEditText);
  connect(Editor, &TPCBLayout::TextWanted, this,
          [this](TPoint at) { Guarded([=] { PlaceText(at); }); });
  connect(Editor, &TPCBLayout::TextEditWanted, this,
          [this](int32_t index) { Guarded([=] { EditText(index); }); });
  connect(Editor, &TPCBLayout::SelectionChanged, this, &TMainForm::UpdateEditText);
  connect(Editor, &TPCBLayout::BoardChanged, this, &TMainForm::UpdateEditText);
  UpdateEditText();
}

void TMainForm::UpdateEditText() { EditEditText->setEnabled(Editor->TextToEdit() >= 0); }

void TMainForm::PlaceText(TPoint at) {
  TTextDialog dialog(TTextDialog::Load(), false, this);
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  const TTextFields fields = dialog.Fields();
  Editor->AddText(at, fields);
  TTextDialog::Save(fields);
}

void TMainForm::EditText(int32_t index) {
  const TElementList& list = Editor->Elements();
  if (index < 0 || index >= list.Count() || list.Items(index)->Kind() != ekText) return;
  TTextDialog dialog(TTextFields::Of(static_cast<const TCopperText&>(*list.Items(index))), true,
                     this);
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  Editor->ChangeText(index, dialog.Fields());
}

void TMainForm::EditEditTextExecute() { EditText(Editor->TextToEdit()); }
