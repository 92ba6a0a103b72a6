#pragma once

#include <QDialog>

#include "TMillProcess.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSpinBox;

// Tools > Process...: how this user makes boards. Etched, with the printed copper grown by the
// etch compensation; or milled, with the bit, the isolation passes, the rates and heights, the
// drilling and the cut-out. OK refuses a value out of its range with a line saying which one,
// and the dialog stays open until it is put right or cancelled.
class TProcessDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TProcessDialog(const TMillProcess& process, QWidget* parent = nullptr);

  TMillProcess Process() const;
  void SetProcess(const TMillProcess& process);

  // The process as the user keeps it; the default where nothing valid was kept.
  static TMillProcess Load();
  static void Save(const TMillProcess& process);

  void accept() override;

  QComboBox* MakingCombo = nullptr;
  QDoubleSpinBox* EtchCompensationEdit = nullptr;
  QGroupBox* MillGroup = nullptr;
  QComboBox* BitCombo = nullptr;
  QDoubleSpinBox* BitDiameterEdit = nullptr;
  QDoubleSpinBox* VAngleEdit = nullptr;
  QDoubleSpinBox* VTipEdit = nullptr;
  QDoubleSpinBox* CutDepthEdit = nullptr;
  // The groove the bit leaves, worked out as the bit's values change.
  QLabel* CutWidthLabel = nullptr;
  QSpinBox* PassesEdit = nullptr;
  QDoubleSpinBox* OverlapEdit = nullptr;
  QDoubleSpinBox* FeedEdit = nullptr;
  QDoubleSpinBox* PlungeEdit = nullptr;
  QSpinBox* SpindleEdit = nullptr;
  QDoubleSpinBox* SafeHeightEdit = nullptr;
  QDoubleSpinBox* TravelHeightEdit = nullptr;
  QDoubleSpinBox* DrillDepthEdit = nullptr;
  QDoubleSpinBox* OutlineBitEdit = nullptr;
  QDoubleSpinBox* BoardThicknessEdit = nullptr;
  QDoubleSpinBox* DepthPerPassEdit = nullptr;
  QSpinBox* TabsEdit = nullptr;
  QDoubleSpinBox* TabWidthEdit = nullptr;
  QCheckBox* MirrorCheck = nullptr;
  // What is wrong with the values OK was last pressed on; hidden while nothing is.
  QLabel* ProblemLabel = nullptr;

 private:
  void ShowChoices();
};
