// Throwaway stand-in so the main window links before the editor lands. Delete before merging.
#include <QFile>
#include <QPainter>
#include <QPaintEvent>

#include "TBoardError.h"
#include "TPCBLayout.h"
#include "TPcbText.h"

TPCBLayout::TPCBLayout(QWidget* parent)
    : QWidget(parent), Elements_(std::make_unique<TElementList>(this)) {
  setFocusPolicy(Qt::NoFocus);
}
TPCBLayout::~TPCBLayout() = default;
void TPCBLayout::SetColor(TColor c) { Color_ = c; RenderBoard(); }
void TPCBLayout::SetGridColor(TColor c) { GridColor_ = c; RenderBoard(); }
void TPCBLayout::SetSpotColor(TColor c) { SpotColor_ = c; }
void TPCBLayout::SetWireWidth(TPCBStep w) { WireWidth_ = w; RenderBoard(); }
void TPCBLayout::SetWireColor(TColor c) { WireColor_ = c; RenderBoard(); }
void TPCBLayout::SetSolderColor(TColor c) { SolderColor_ = c; RenderBoard(); }
void TPCBLayout::SetGridMode(TGridMode m) { GridMode_ = m; RenderBoard(); }
void TPCBLayout::SetGridStep(TPCBStep s) { GridStep_ = s; RecomputeCellSize(); RenderBoard(); }
void TPCBLayout::SetGridScale(int32_t s) {
  if (s == GridScale_) return;
  GridScale_ = s;
  RecomputeCellSize();
  RenderBoard();
}
void TPCBLayout::SetMouseAction(TMouseAction a) { MouseAction_ = a; CancelAction(); }
void TPCBLayout::SetFocusColor(TColor c) { FocusColor_ = c; }
void TPCBLayout::RecomputeCellSize() {
  CellSize_ = std::max(1, (GridScale_ + 10) / StepDivisor[GridStep_]);
}
TPoint TPCBLayout::BoardToScreen(TPoint p) const { return ::BoardToScreen(*this, p); }
TPoint TPCBLayout::ScreenToBoard(TPoint p) const { return p; }
void TPCBLayout::RenderBoard() {}
void TPCBLayout::Paint() {}
void TPCBLayout::Clear() { Elements_->Clear(); }
void TPCBLayout::CancelAction() { WirePending_ = false; }
void TPCBLayout::ClearSelection() {}
void TPCBLayout::SelectAll() {
  for (int i = 0; i < Elements_->Count(); ++i) Elements_->Items(i)->SetSelected(true);
}
void TPCBLayout::DeleteSelected() {
  if (Elements_->RemoveIf([](const TPCBElement& e) { return e.Selected(); })) Modified_ = true;
}
void TPCBLayout::MoveSelected(int32_t, int32_t) {}
void TPCBLayout::CopyToClipboard() {}
void TPCBLayout::CutToClipboard() {}
void TPCBLayout::PasteFromClipboard() {}
TPCBElement* TPCBLayout::ElementAt(TPoint) const { return nullptr; }
void TPCBLayout::AddWire(TPoint) {}
void TPCBLayout::AddSolder(TPoint) {}
void TPCBLayout::DeleteAt(TPoint) {}
void TPCBLayout::SelectInRect(TPoint, TPoint) {}
void TPCBLayout::DrawSpot(TPoint) {}
void TPCBLayout::paintEvent(QPaintEvent*) {}
void TPCBLayout::resizeEvent(QResizeEvent*) {}
void TPCBLayout::enterEvent(QEnterEvent*) {}
void TPCBLayout::leaveEvent(QEvent*) {}
void TPCBLayout::mouseMoveEvent(QMouseEvent*) {}
void TPCBLayout::mousePressEvent(QMouseEvent*) {}
void TPCBLayout::mouseReleaseEvent(QMouseEvent*) {}

static bool HasExtension(const QString& name, const char* ext) {
  return name.toLower().endsWith(QLatin1String(ext));
}
void TElementList::LoadFromFile(const QString& fileName) {
  if (!HasExtension(fileName, ".pcb")) throw EBoardError("Invalid file extention");
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly)) throw EBoardError("Impossible d'ouvrir le fichier");
  const QByteArray bytes = f.readAll();
  std::string text(bytes.constData(), bytes.size());
  auto lines = SplitLines(text);
  Replace(ReadElements(Layout(), lines, false));
  Layout()->SetModified(false);
}
void TElementList::SaveToFile(const QString& fileName) {
  if (!HasExtension(fileName, ".pcb")) throw EBoardError("Invalid file extention");
  QFile f(fileName);
  if (!f.open(QIODevice::WriteOnly)) throw EBoardError("Impossible de créer le fichier");
  f.write(QByteArray::fromStdString(WritePcbText(*this, [](const TPCBElement&) { return true; })));
  Layout()->SetModified(false);
}
