// Milling in the window: Tools > Process..., File > Export Milling Files..., View > Show Milling,
// and the overlay that draws the grooves and the check's markers over the board.
#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSettings>
#include <cmath>
#include <exception>

#include "TCanvas.h"
#include "TMainForm.h"
#include "TMilling.h"
#include "TPCBLayout.h"
#include "TProblemsPanel.h"
#include "TProcessDialog.h"
#include "TUserSettings.h"

namespace {

// The grooves in a see-through orange over the copper; the gaps the bit cannot pass in red.
const QColor kGrooveColour(235, 110, 0);
constexpr double kGrooveOpacity = 0.6;
const QColor kGapColour(230, 0, 0);

}  // namespace

void TMainForm::CreateMillCommands() {
  Process_ = TProcessDialog::Load();
  ToolsProcess =
      NewAction(QStringLiteral("Process..."), QKeySequence(), -1, &TMainForm::ToolsProcessExecute);
  ToolsProcess->setToolTip(
      QStringLiteral("How boards are made here: etched, or milled on a desktop CNC."));
  ToolsMenuItem->addSeparator();
  ToolsMenuItem->addAction(ToolsProcess);

  FileExportMilling = NewAction(QStringLiteral("Export Milling Files..."), QKeySequence(), -1,
                                &TMainForm::FileExportMillingExecute);
  // With the other outputs, after the fabrication files.
  const QList<QAction*> items = FileMenuItem->actions();
  const qsizetype fab = items.indexOf(FileExportFabrication);
  FileMenuItem->insertAction(fab >= 0 && fab + 1 < items.size() ? items[fab + 1] : nullptr,
                             FileExportMilling);

  ViewShowMilling = new QAction(QStringLiteral("Show Milling"), this);
  ViewShowMilling->setObjectName(QStringLiteral("ViewShowMilling"));
  ViewShowMilling->setCheckable(true);
  ViewShowMilling->setChecked(
      UserSettings()->value(QStringLiteral("View/ShowMilling"), false).toBool());
  connect(ViewShowMilling, &QAction::toggled, this, [this](bool show) {
    Guarded([=] {
      UserSettings()->setValue(QStringLiteral("View/ShowMilling"), show);
      UpdateOverlay();
    });
  });
  ViewMenuItem->addAction(ViewShowMilling);
  UpdateOverlay();
}

void TMainForm::ToolsProcessExecute() {
  TProcessDialog dialog(Process_, this);
  if (ExecDialog(dialog) != QDialog::Accepted) return;
  Process_ = dialog.Process();
  TProcessDialog::Save(Process_);
  if (ProblemsPanel->isVisible()) RefreshProblems();
  Editor->Paint();
}

void TMainForm::FileExportMillingExecute() {
  const QString fileName =
      ChooseOutputFile(QStringLiteral("Export Milling Files"),
                       QStringLiteral("G-code for a desktop mill (*.nc)"), QStringLiteral("nc"));
  if (fileName.isEmpty()) return;
  ExportMillingFiles(Editor->Elements(), Process_, fileName);
}

void TMainForm::UpdateOverlay() {
  const bool milling = ViewShowMilling && ViewShowMilling->isChecked();
  const bool markers = ProblemsPanel && ProblemsPanel->isVisible();
  if (!milling && !markers) {
    Editor->SetOverlay(nullptr);
    return;
  }
  Editor->SetOverlay([this] {
    if (ViewShowMilling && ViewShowMilling->isChecked()) DrawMilling();
    if (ProblemsPanel->isVisible()) DrawProblemMarkers();
  });
}

void TMainForm::DrawMilling() {
  const TElementList& board = Editor->Elements();
  TMillPreview& m = MillPreview_;
  // While a drag moves copper the grooves stay as they were, and follow once it is let go, as
  // fills do.
  const bool settled = !Editor->Dragging() || !m.Valid;
  if (settled && (!m.Valid || m.Board != &board || m.Generation != board.Generation() ||
                  m.Process != Process_)) {
    m.Paths.clear();
    m.Gaps.clear();
    try {
      m.Paths = IsolationPaths(board, Process_);
      m.Gaps = IsolationGaps(board, Process_);
    } catch (const std::exception&) {
      // Copper too far out to be worked out shows no grooves; the export says why.
      m.Paths.clear();
      m.Gaps.clear();
    }
    m.Board = &board;
    m.Generation = board.Generation();
    m.Process = Process_;
    m.Valid = true;
  }
  // A board unit is StepPixels / 16 pixels; the paths are in nanometres.
  const double scale = double(StepPixels(*Editor)) / UnitsPerStep / NanometresPerUnit;
  const QPointF off(Editor->ViewOffset().X, Editor->ViewOffset().Y);
  auto pixel = [&](TFillPoint p) { return QPointF(p.X * scale, p.Y * scale) + off; };
  TCanvas& canvas = Editor->Canvas();
  canvas.Flush();
  QImage* image = canvas.Image();
  if (!image || image->isNull()) return;

  // Drawn whole on a layer of its own, then laid over the board, so that grooves crossing each
  // other show the same colour as one groove.
  QImage layer(image->size(), QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  {
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);
    const double width = std::max(1.0, Process_.CutWidth() * 1e6 * scale);
    p.setPen(QPen(kGrooveColour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (const TFillPath& path : m.Paths) {
      if (path.empty()) continue;
      QPolygonF polygon;
      polygon.reserve(static_cast<qsizetype>(path.size()) + 1);
      for (const TFillPoint& q : path) polygon << pixel(q);
      polygon << polygon.front();
      p.drawPolyline(polygon);
    }
  }
  QPainter p(image);
  p.setOpacity(kGrooveOpacity);
  p.drawImage(0, 0, layer);
  p.setOpacity(1);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kGapColour, 2));
  p.setBrush(Qt::NoBrush);
  for (const TFillPoint& g : m.Gaps) p.drawEllipse(pixel(g), 9, 9);
}
