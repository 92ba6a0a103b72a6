#pragma once

#include <QDialog>

#include "TBoardCheck.h"

class QDoubleSpinBox;

// The limits of the board check, in millimetres. The dialog edits a copy; the window keeps the
// values in the user's settings, so they are found again at the next start.
class TCheckRulesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TCheckRulesDialog(const TCheckRules& rules, QWidget* parent = nullptr);

  TCheckRules Rules() const;
  void SetRules(const TCheckRules& rules);

  // The rules as last saved, the home-etching defaults for any value never saved.
  static TCheckRules Load();
  static void Save(const TCheckRules& rules);

  QDoubleSpinBox* Clearance = nullptr;
  QDoubleSpinBox* MinWidth = nullptr;
  QDoubleSpinBox* MinRing = nullptr;
  QDoubleSpinBox* MinHole = nullptr;
};
