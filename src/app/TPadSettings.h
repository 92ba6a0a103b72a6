#pragma once

#include <QObject>
#include <functional>

class QComboBox;
class QHBoxLayout;
class QWidget;
class TPCBLayout;

// The settings row's pad and hole boxes: drop-down lists of common sizes in millimetres that also
// take a typed size, for new pads and the selected ones. A typed size is read when the user
// presses Enter or leaves the box.
class TPadSettings : public QObject {
  Q_OBJECT

 public:
  using TGuard = std::function<bool(const std::function<void()>&)>;

  // Adds the captioned boxes to the row of the panel; each change runs through the guard, which
  // shows an error to the user.
  TPadSettings(TPCBLayout& editor, QWidget* panel, QHBoxLayout* row, TGuard guarded);

  QComboBox* PadSizeCombo() const { return PadSizeCombo_; }
  QComboBox* HoleSizeCombo() const { return HoleSizeCombo_; }

 private:
  // The size in the box goes to the selected pads, then to new ones. A size that cannot be read
  // or a hole that would not fit raises its error, and the boxes show the sizes in force again.
  void PadSizeComboChange();
  void HoleSizeComboChange();
  void ShowPadSettings();

  TPCBLayout& Editor_;
  QComboBox* PadSizeCombo_;
  QComboBox* HoleSizeCombo_;
};
