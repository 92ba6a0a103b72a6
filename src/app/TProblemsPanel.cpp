#include "TProblemsPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

TProblemsPanel::TProblemsPanel(QWidget* parent) : QDockWidget(QStringLiteral("Problems"), parent) {
  setObjectName(QStringLiteral("ProblemsPanel"));
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(2, 2, 2, 2);
  Summary = new QLabel(body);
  Summary->setObjectName(QStringLiteral("ProblemsSummary"));
  List = new QTreeWidget(body);
  List->setObjectName(QStringLiteral("ProblemsList"));
  List->setRootIsDecorated(false);
  List->setUniformRowHeights(true);
  List->setHeaderLabels({QStringLiteral("Kind"), QStringLiteral("Place (mm)"),
                         QStringLiteral("Measured"), QStringLiteral("Required")});
  List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(Summary);
  layout->addWidget(List);
  setWidget(body);
  connect(List, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) emit ProblemChosen(List->indexOfTopLevelItem(item));
  });
  // A click on the row already chosen shows it again, after the view was moved away.
  connect(List, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    if (item && item == List->currentItem()) emit ProblemChosen(List->indexOfTopLevelItem(item));
  });
}

int TProblemsPanel::CurrentRow() const {
  QTreeWidgetItem* item = List->currentItem();
  return item ? List->indexOfTopLevelItem(item) : -1;
}

void TProblemsPanel::SetCurrentRow(int row) {
  List->setCurrentItem(row >= 0 && row < List->topLevelItemCount() ? List->topLevelItem(row)
                                                                   : nullptr);
}

void TProblemsPanel::SetProblems(std::vector<TProblem> problems) {
  const int chosen = CurrentRow();
  Problems_ = std::move(problems);
  const QSignalBlocker quiet(List);
  List->clear();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(Problems_.size()));
  for (const TProblem& p : Problems_) {
    const bool measured = ProblemMeasured(p.Kind);
    auto* item = new QTreeWidgetItem(
        {QString::fromLatin1(ProblemKindName(p.Kind)), QString::fromStdString(ProblemPlace(p)),
         measured ? QString::fromStdString(UnitsAsMm(p.Measured)) + QStringLiteral(" mm")
                  : QString(),
         measured ? QString::number(p.Required, 'f', 3) + QStringLiteral(" mm") : QString()});
    item->setToolTip(0, QString::fromStdString(ProblemMessage(p)));
    rows.append(item);
  }
  List->addTopLevelItems(rows);
  if (chosen >= 0 && chosen < List->topLevelItemCount())
    List->setCurrentItem(List->topLevelItem(chosen));
  Summary->setText(Problems_.empty()       ? QStringLiteral("No problems")
                   : Problems_.size() == 1 ? QStringLiteral("1 problem")
                                           : QStringLiteral("%1 problems").arg(Problems_.size()));
}
