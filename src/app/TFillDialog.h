#pragma once

#include <QDialog>

#include "TFill.h"

class QCheckBox;
class QDoubleSpinBox;

// "Fill": how a copper fill keeps to the rest of the board, in millimetres with two decimals,
// each from 0 to 100: the clearance around copper it does not join, the narrowest copper it
// leaves, the ring of bare board around a pad it joins and the width of the spokes across that
// ring; and whether it keeps the parts that join nothing.
class TFillDialog : public QDialog {
  Q_OBJECT

 public:
  TFillDialog(const TFillSettings& settings, QWidget* parent = nullptr);

  TFillSettings Settings() const;
  void SetSettings(const TFillSettings& settings);

  // The settings last given in this dialog, as the user's settings keep them, and keeping them;
  // a new fill takes them.
  static TFillSettings Load();
  static void Save(const TFillSettings& settings);

  // A box's millimetres and a setting's nanometres: to the nearest hundredth of a millimetre.
  static int64_t NanometresOf(double mm);
  static double MmOf(int64_t nm);

  QDoubleSpinBox* ClearanceEdit = nullptr;
  QDoubleSpinBox* MinimumWidthEdit = nullptr;
  QDoubleSpinBox* ThermalGapEdit = nullptr;
  QDoubleSpinBox* SpokeWidthEdit = nullptr;
  QCheckBox* KeepIslandsCheck = nullptr;
};
