#pragma once

#include <QDialog>

#include "TArtworkOptions.h"

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

// "Print Options": edits a copy of the artwork options; the window takes them back only when the
// user presses OK.
class TPrintOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TPrintOptionsDialog(const TArtworkOptions& options, QWidget* parent = nullptr);

  TArtworkOptions Options() const;
  void SetOptions(const TArtworkOptions& options);

  QCheckBox* MirrorCheck = nullptr;
  QCheckBox* NegativeCheck = nullptr;
  QCheckBox* DrillMarksCheck = nullptr;
  QSpinBox* RowsEdit = nullptr;
  QSpinBox* ColumnsEdit = nullptr;
  QDoubleSpinBox* ScaleXEdit = nullptr;
  QDoubleSpinBox* ScaleYEdit = nullptr;
};
