// Copper fills in the window: the fill tool's button, Tools > Fill Board, Edit > Set Fill Seed,
// View > Show Fills and the fill dialog. The tool's key is made with the other tools'.
#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>

#include "TCopperFill.h"
#include "TFillDialog.h"
#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TUserSettings.h"

QIcon TMainForm::DrawFillImage() {
  // A square of copper with a pad in a ring of bare board, crossed by its four spokes.
  return DrawnIcon([](QPainter& painter) {
    QPainterPath copper;
    copper.addRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    QPainterPath ring;
    ring.addEllipse(QPointF(8, 8), 4.2, 4.2);
    QPainterPath spokes;
    spokes.addRect(QRectF(7.1, 3, 1.8, 10));
    spokes.addRect(QRectF(3, 7.1, 10, 1.8));
    painter.setPen(QPen(QColor(0x0f, 0x60, 0x18), 1));
    painter.setBrush(QColor(0x1c, 0x9a, 0x2a));
    painter.drawPath(copper.subtracted(ring).united(spokes.intersected(ring)));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0f, 0x60, 0x18));
    painter.drawEllipse(QPointF(8, 8), 2.4, 2.4);
  });
}

void TMainForm::CreateFillCommands() {
  Editor->SetFillSettings(TFillDialog::Load());
  EditSetFillSeed = NewAction(QStringLiteral("Set Fill Seed"), QKeySequence(), -1,
                              &TMainForm::EditSetFillSeedExecute);
  EditSetFillSeed->setToolTip(
      QStringLiteral("The selected fills join the copper of the one other element selected."));
  EditMenuItem->addAction(EditSetFillSeed);
  ToolsFillBoard = NewAction(QStringLiteral("Fill Board"), QKeySequence(), -1,
                             &TMainForm::ToolsFillBoardExecute);
  ToolsMenuItem->insertAction(ToolsCheckBoard, ToolsFillBoard);
  ToolsMenuItem->insertSeparator(ToolsCheckBoard);

  ViewShowFills = new QAction(QStringLiteral("Show Fills"), this);
  ViewShowFills->setObjectName(QStringLiteral("ViewShowFills"));
  ViewShowFills->setCheckable(true);
  const bool shown = UserSettings()->value(QStringLiteral("View/ShowFills"), true).toBool();
  ViewShowFills->setChecked(shown);
  Editor->SetShowFills(shown);
  connect(ViewShowFills, &QAction::toggled, this, [this](bool show) {
    Guarded([=] {
      Editor->SetShowFills(show);
      UserSettings()->setValue(QStringLiteral("View/ShowFills"), show);
    });
  });
  ViewMenuItem->addSeparator();
  ViewMenuItem->addAction(ViewShowFills);

  connect(Editor, &TPCBLayout::FillEditWanted, this,
          [this](int32_t index) { Guarded([=] { EditFill(index); }); });
  connect(Editor, &TPCBLayout::SelectionChanged, this, &TMainForm::UpdateSetFillSeed);
  connect(Editor, &TPCBLayout::BoardChanged, this, &TMainForm::UpdateSetFillSeed);
  UpdateSetFillSeed();
}

void TMainForm::UpdateSetFillSeed() { EditSetFillSeed->setEnabled(Editor->CanSetFillSeed()); }

void TMainForm::EditSetFillSeedExecute() { Editor->SetFillSeed(); }

void TMainForm::ToolsFillBoardExecute() {
  ShowFillsToDraw();
  Editor->FillBoard();
}

void TMainForm::ShowFillsToDraw() {
  // A fill drawn while fills are hidden would vanish as it is made.
  if (!ViewShowFills->isChecked()) ViewShowFills->setChecked(true);
}

void TMainForm::EditFill(int32_t index) {
  const TElementList& list = Editor->Elements();
  if (index < 0 || index >= list.Count() || list.Items(index)->Kind() != ekFill) return;
  TFillDialog dialog(static_cast<const TCopperFill&>(*list.Items(index)).Settings(), this);
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  const TFillSettings settings = dialog.Settings();
  Editor->ChangeFillSettings(index, settings);
  // The next fill drawn takes what was last given here.
  TFillDialog::Save(settings);
  Editor->SetFillSettings(settings);
}
