#pragma once

#include <QDialog>

#include "TChangeText.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;

// "Text": what a copper text reads, how high its letters are and how wide their strokes (in
// millimetres, kept as whole board units), its turn and the side it reads on. OK is refused,
// the dialog staying open with the reason shown, while the fields cannot make a text: a
// character copper text has no strokes for, an empty text, a stroke wider than the letters.
class TTextDialog : public QDialog {
  Q_OBJECT

 public:
  // Editing fills the dialog with a text's fields; placing with the last ones placed.
  TTextDialog(const TTextFields& fields, bool editing, QWidget* parent = nullptr);

  // The fields as the boxes show them; the text is empty when it holds a refused character.
  TTextFields Fields() const;
  void SetFields(const TTextFields& fields);

  // Why OK cannot close the dialog now, in the user's words; empty when it can.
  QString Problem() const;
  void accept() override;
  // Enter in the text box is OK, as in the other dialogs; Shift+Enter starts a new line.
  bool eventFilter(QObject* watched, QEvent* event) override;

  // The fields of the last text placed, as the user's settings keep them, and keeping them.
  static TTextFields Load();
  static void Save(const TTextFields& fields);

  // The boxes, millimetres to board units and back: the nearest whole unit, two decimals.
  static int32_t UnitsOf(double mm);
  static double MmOf(int32_t units);

  QPlainTextEdit* TextEdit = nullptr;
  QDoubleSpinBox* HeightEdit = nullptr;
  QDoubleSpinBox* StrokeWidthEdit = nullptr;
  QComboBox* TurnsCombo = nullptr;
  QCheckBox* CopperSideCheck = nullptr;
  // The reason OK was refused, in red under the boxes; hidden until then.
  QLabel* ProblemLabel = nullptr;
};
