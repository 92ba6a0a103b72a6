#include "TPCBLayout.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

#include "TBoardMath.h"

TPCBLayout::TPCBLayout(QWidget* parent)
    : QWidget(parent),
      Elements_(std::make_unique<TElementList>(this)),
      BoardCanvas_(std::make_unique<TCanvas>(&BoardImage_)),
      Canvas_(std::make_unique<TCanvas>(&CanvasImage_)) {
  // Keys belong to the main window; the board only listens to the pointer, also between presses
  // so that the spot can follow it.
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TPCBLayout::~TPCBLayout() {
  // The surfaces let go of their images before the images and then the board go.
  Canvas_.reset();
  BoardCanvas_.reset();
}

// ---- Published properties ----

void TPCBLayout::SetColor(TColor c) {
  Color_ = c;
  RenderBoard();
}

void TPCBLayout::SetGridColor(TColor c) {
  GridColor_ = c;
  RenderBoard();
}

void TPCBLayout::SetSpotColor(TColor c) {
  SpotColor_ = c;
  Paint();
}

void TPCBLayout::SetWireWidth(TPCBStep w) {
  WireWidth_ = w;
  RenderBoard();
}

void TPCBLayout::SetWireColor(TColor c) {
  WireColor_ = c;
  RenderBoard();
}

void TPCBLayout::SetSolderColor(TColor c) {
  SolderColor_ = c;
  RenderBoard();
}

void TPCBLayout::SetGridMode(TGridMode m) {
  GridMode_ = m;
  RenderBoard();
}

void TPCBLayout::SetGridStep(TPCBStep s) {
  GridStep_ = s;
  RecomputeCellSize();
  RenderBoard();
}

void TPCBLayout::SetGridScale(int32_t s) {
  if (s == GridScale_) return;
  GridScale_ = s;
  RecomputeCellSize();
  RenderBoard();
}

void TPCBLayout::SetFocusColor(TColor c) {
  // Selected elements take the new colour at the next full render; until then only the
  // pointer feedback is wiped.
  FocusColor_ = c;
  Paint();
}

void TPCBLayout::RecomputeCellSize() {
  // Never below one pixel, so the grid loops and the snapping never divide by zero.
  CellSize_ = std::max<int32_t>(1, WAdd(GridScale_, 10) / StepDivisorOf(GridStep_));
}

void TPCBLayout::SetCulling(bool enabled) { Culling_ = enabled; }

// ---- View transform ----

TPoint TPCBLayout::BoardToScreen(TPoint p) const { return ::BoardToScreen(*this, p); }

int32_t TPCBLayout::SnapAxis(int32_t pixel, int32_t offset) const {
  int32_t d = WSub(pixel, offset);
  int32_t n = d;
  // At one pixel per cell every pixel is a grid point and stays where it is. Otherwise, left of
  // (above) the origin truncation would round toward the origin; one cell more makes the
  // half-way pixels go to the lower grid line there too.
  if (CellSize_ > 1) {
    if (d < 0) d = WSub(d, CellSize_);
    n = WAdd(d, CellSize_ / 2) / CellSize_;
  }
  return WMul(n, UnitsPerStep) / StepDivisorOf(GridStep_);
}

TPoint TPCBLayout::ScreenToBoard(TPoint p) const {
  return {SnapAxis(p.X, ViewOffset_.X), SnapAxis(p.Y, ViewOffset_.Y)};
}

// ---- Surfaces ----

void TPCBLayout::FitImages() {
  const QSize wanted = size();
  if (BoardImage_.size() == wanted && CanvasImage_.size() == wanted) return;
  // A surface must close its painter before its image is replaced.
  BoardCanvas_->Flush();
  Canvas_->Flush();
  if (wanted.isEmpty()) {
    BoardImage_ = QImage();
    CanvasImage_ = QImage();
    return;
  }
  BoardImage_ = QImage(wanted, QImage::Format_RGB32);
  CanvasImage_ = QImage(wanted, QImage::Format_RGB32);
  BoardImage_.fill(ColorToArgb(Color_));
  CanvasImage_.fill(ColorToArgb(Color_));
}

void TPCBLayout::Paint() {
  // Copying the board back wipes every overlay, the hover highlight included, so no element
  // counts as highlighted any more.
  HoverElement_ = nullptr;
  BoardCanvas_->Flush();
  if (!BoardImage_.isNull()) Canvas_->CopyImage(BoardImage_);
  update();
}

void TPCBLayout::paintEvent(QPaintEvent* event) {
  Canvas_->Flush();
  QPainter painter(this);
  const QRect r = event->rect();
  painter.drawImage(r.topLeft(), CanvasImage_, r);
}

void TPCBLayout::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RenderBoard();
}

// ---- Rendering ----

void TPCBLayout::DrawDotGrid() {
  const int64_t w = BoardImage_.width(), h = BoardImage_.height();
  const int64_t cell = CellSize_;
  // The remainder keeps the sign of the offset, so a view panned left or up starts one cell
  // before the edge; that first line lies outside and is stepped over.
  int64_t x0 = Rem(ViewOffset_.X, CellSize_), y0 = Rem(ViewOffset_.Y, CellSize_);
  if (x0 < 0) x0 += cell;
  if (y0 < 0) y0 += cell;
  const uint32_t argb = ColorToArgb(GridColor_);
  for (int64_t y = y0; y < h; y += cell) {
    auto* row = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(static_cast<int>(y)));
    if (cell == 1) {
      std::fill(row + x0, row + w, argb);
    } else {
      for (int64_t x = x0; x < w; x += cell) row[x] = argb;
    }
  }
}

void TPCBLayout::DrawLineGrid() {
  // Each line runs from one edge to the pixel before the far edge, as a one-pixel line leaves
  // out its end pixel: the last column misses the horizontal lines, the last row the vertical.
  const int64_t w = BoardImage_.width(), h = BoardImage_.height();
  const int64_t cell = CellSize_;
  int64_t x0 = Rem(ViewOffset_.X, CellSize_), y0 = Rem(ViewOffset_.Y, CellSize_);
  if (x0 < 0) x0 += cell;
  if (y0 < 0) y0 += cell;
  const uint32_t argb = ColorToArgb(GridColor_);
  for (int64_t y = y0; y < h; y += cell) {
    auto* row = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(static_cast<int>(y)));
    if (w > 1) std::fill(row, row + (w - 1), argb);
  }
  if (x0 >= w) return;
  for (int64_t y = 0; y + 1 < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(static_cast<int>(y)));
    for (int64_t x = x0; x < w; x += cell) row[x] = argb;
  }
}

namespace {

// Whether the pixel box [x0, x1] x [y0, y1] (inclusive, any order) meets a w x h image.
inline bool Meets(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t w, int64_t h) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  return x1 >= 0 && x0 < w && y1 >= 0 && y0 < h;
}

}  // namespace

bool TPCBLayout::WireVisible(const TWire& wire, int32_t stepPixels) const {
  // The width as the wire's Draw forms it; a width it cannot form draws nothing.
  const int32_t divisor = wire.WidthDivisor();
  if (divisor == 0 || (stepPixels == INT32_MIN && divisor == -1)) return false;
  const int64_t width = stepPixels / divisor;
  // Thin lines stay inside the box of their ends; wide ones reach half their width past it,
  // and a little more for the rasteriser's rounding.
  const int64_t m = width > 1 ? width + 2 : 0;
  const TPoint a = BoardToScreen(wire.StartPoint()), b = BoardToScreen(wire.EndPoint());
  return Meets(int64_t(std::min(a.X, b.X)) - m, int64_t(std::min(a.Y, b.Y)) - m,
               int64_t(std::max(a.X, b.X)) + m, int64_t(std::max(a.Y, b.Y)) + m,
               BoardImage_.width(), BoardImage_.height());
}

bool TPCBLayout::PadVisible(const TSolder& pad, int32_t stepPixels) const {
  // The land's box and the hole's box exactly as the pad's Draw forms them: a hole larger than
  // its land paints outside the land.
  const TPoint c = BoardToScreen(pad.Center());
  const int64_t w = BoardImage_.width(), h = BoardImage_.height();
  for (int32_t diameter : {pad.ExternalDiameter(), pad.InternalDiameter()}) {
    const int32_t r = WMul(stepPixels, diameter) / (2 * UnitsPerStep);
    if (Meets(WSub(c.X, r), WSub(c.Y, r), WAdd(c.X, r), WAdd(c.Y, r), w, h)) return true;
  }
  return false;
}

void TPCBLayout::RenderBoard() {
  FitImages();
  if (BoardImage_.isNull()) {
    Paint();
    return;
  }
  BoardCanvas_->Flush();
  BoardImage_.fill(ColorToArgb(Color_));
  if (GridMode_ == gmDot) DrawDotGrid();
  if (GridMode_ == gmLine) DrawLineGrid();

  // All wires, then all pads, each in list order: a pad covers the wire ends under it and its
  // hole shows the board, and of two elements of one kind the later one lies on top. Elements
  // wholly outside the control are passed over; what they would draw lies outside the image.
  const int32_t step = StepPixels(*this);
  const TElementList& list = *Elements_;
  const int32_t n = list.Count();
  for (int32_t i = 0; i < n; ++i) {
    const TPCBElement* e = list.Items(i);
    if (!e->IsWire()) continue;
    if (Culling_ && !WireVisible(static_cast<const TWire&>(*e), step)) continue;
    e->Draw(dmNormal);
  }
  for (int32_t i = 0; i < n; ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->IsWire()) continue;
    if (Culling_ && !PadVisible(static_cast<const TSolder&>(*e), step)) continue;
    e->Draw(dmNormal);
  }
  Paint();
}

void TPCBLayout::Clear() {
  HoverElement_ = nullptr;
  Elements_->Clear();
}
