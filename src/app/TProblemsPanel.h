#pragma once

#include <QDockWidget>
#include <vector>

#include "TBoardCheck.h"

class QTreeWidget;
class QLabel;

// The dockable list of the board check's problems: one row each, with its kind, its place in
// millimetres, and the measured and required values. Choosing a row asks the window to show it.
class TProblemsPanel : public QDockWidget {
  Q_OBJECT

 public:
  explicit TProblemsPanel(QWidget* parent = nullptr);

  // Fills the list anew. The row chosen before stays chosen when it is still there, without
  // counting as a new choice: a refresh after an edit does not move the view.
  void SetProblems(std::vector<TProblem> problems);
  const std::vector<TProblem>& Problems() const { return Problems_; }
  // The chosen row, or -1.
  int CurrentRow() const;
  void SetCurrentRow(int row);

  QTreeWidget* List = nullptr;
  QLabel* Summary = nullptr;

 signals:
  void ProblemChosen(int row);

 private:
  std::vector<TProblem> Problems_;
};
