#pragma once

#include <QStatusBar>
#include <QString>
#include <cstdint>

class QLabel;
class TPCBLayout;
struct TPoint;

// The window's status bar: the snapped pointer position, the grid step and the element counts,
// each following the board as it changes.
class TBoardStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  TBoardStatusBar(TPCBLayout& editor, QWidget* parent);

  // "X 12.70 mm  Y 5.08 mm  (0.500 in, 0.200 in)" for a board point, from the board origin.
  static QString PositionText(const TPoint& boardPoint);
  // Shows the editor's grid step again; the window calls it when the step box changes.
  void ShowGridStep();
  // "2 records this version cannot read were passed over": what a load or a paste could not read,
  // for a while. None takes an earlier such message away.
  static QString PassedOverText(int32_t count);
  void ShowPassedOver(int32_t count);

  QLabel* PositionLabel() const { return PositionLabel_; }
  QLabel* GridLabel() const { return GridLabel_; }
  QLabel* CountLabel() const { return CountLabel_; }

 private:
  void ShowCounts();

  TPCBLayout& Editor_;
  QLabel* PositionLabel_;
  QLabel* GridLabel_;
  QLabel* CountLabel_;
};
