#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "TChangeElements.h"

class QComboBox;
class QHBoxLayout;
class QWidget;
class TPCBLayout;

// The settings row's pad boxes: drop-down lists of common sizes in millimetres that also take a
// typed size, for new pads and the selected ones. A typed size is read when the user presses
// Enter or leaves the box. Through-hole pads have a Pad and a Hole box; SMD pads, shown instead
// while the pad tool places them, a width, a height and a roundness in percent.
class TPadSettings : public QObject {
  Q_OBJECT

 public:
  using TGuard = std::function<bool(const std::function<void()>&)>;

  // Adds the captioned boxes to the row of the panel; each change runs through the guard, which
  // shows an error to the user.
  TPadSettings(TPCBLayout& editor, QWidget* panel, QHBoxLayout* row, TGuard guarded);

  QComboBox* PadSizeCombo() const { return PadSizeCombo_; }
  QComboBox* HoleSizeCombo() const { return HoleSizeCombo_; }
  QComboBox* SmdWidthCombo() const { return SmdWidthCombo_; }
  QComboBox* SmdHeightCombo() const { return SmdHeightCombo_; }
  QComboBox* SmdRoundnessCombo() const { return SmdRoundnessCombo_; }

  // The SMD boxes in place of the Pad and Hole boxes, or back, as the pad tool's shape says.
  void ShowSmd(bool smd);

  // A typed roundness: a whole number of percent from 0 to 50, with an optional "%" after.
  static int32_t ReadRoundness(const QString& text);

 private:
  // The size in the box goes to the selected pads, then to new ones. A size that cannot be read
  // or a hole that would not fit raises its error, and the boxes show the sizes in force again.
  void PadSizeComboChange();
  void HoleSizeComboChange();
  void SmdComboChange(TElementProperty property);
  void ShowPadSettings();

  TPCBLayout& Editor_;
  // The captions and boxes of each kind of pad, shown or hidden together.
  std::vector<QWidget*> ThroughHoleWidgets_;
  std::vector<QWidget*> SmdWidgets_;
  QComboBox* PadSizeCombo_;
  QComboBox* HoleSizeCombo_;
  QComboBox* SmdWidthCombo_;
  QComboBox* SmdHeightCombo_;
  QComboBox* SmdRoundnessCombo_;
};
