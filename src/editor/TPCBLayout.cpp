#include "TPCBLayout.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QUndoStack>
#include <algorithm>

#include "TBoardMath.h"

TPCBLayout::TPCBLayout(QWidget* parent)
    : QWidget(parent),
      Elements_(std::make_unique<TElementList>(this)),
      UndoStack_(new QUndoStack(this)),
      BoardCanvas_(std::make_unique<TCanvas>(&BoardImage_)),
      Canvas_(std::make_unique<TCanvas>(&CanvasImage_)) {
  connect(UndoStack_, &QUndoStack::indexChanged, this, [this](int) { emit BoardChanged(); });
  // Keys belong to the main window; the board only listens to the pointer, also between presses
  // so that the spot can follow it.
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TPCBLayout::~TPCBLayout() {
  // The history's steps own elements taken off the board; they go before the board does.
  delete UndoStack_;
  UndoStack_ = nullptr;
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
  if (Overlay_ && !BoardImage_.isNull()) Overlay_();
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

// Whether the pixel span [a, b] (inclusive, either order) grown by a margin meets [0, size).
inline bool SpanMeets(int64_t a, int64_t b, int64_t margin, int64_t size) {
  // Without branches: which end is the smaller is as good as random over a board.
  const int64_t lo = std::min(a, b), hi = std::max(a, b);
  return (hi + margin >= 0) & (lo - margin < size);
}

// Whether a pad's land or hole reaches a w x h image: both boxes exactly as the pad's Draw
// forms them, since a hole larger than its land paints outside the land.
inline bool PadVisible(const TSolder& pad, int32_t stepPixels, TPoint off, int64_t w, int64_t h) {
  const int32_t cx = ShownAt(pad.Center().X, stepPixels, off.X);
  const int32_t cy = ShownAt(pad.Center().Y, stepPixels, off.Y);
  auto boxMeets = [&](int32_t diameter) {
    const int32_t r = TSolder::ScreenRadius(stepPixels, diameter);
    return SpanMeets(WSub(cx, r), WAdd(cx, r), 0, w) && SpanMeets(WSub(cy, r), WAdd(cy, r), 0, h);
  };
  return boxMeets(pad.ExternalDiameter()) || boxMeets(pad.InternalDiameter());
}

}  // namespace

void TPCBLayout::CollectVisible(int32_t stepPixels) {
  // One walk over the board sorts the elements that can reach the control into wires and pads,
  // each in list order. Most of a large board lies outside the view, so this walk does only a
  // few multiplications per element and no drawing.
  VisibleWires_.clear();
  VisiblePads_.clear();
  const TElementList& list = *Elements_;
  const int32_t n = list.Count();
  const int64_t w = BoardImage_.width(), h = BoardImage_.height();
  const TPoint off = ViewOffset_;
  // No wire is wider than one base step in pixels; its round ends reach half that past its
  // points, and the rasteriser may add a pixel.
  const int64_t wireMargin = std::abs(int64_t(stepPixels)) + 2;
  for (int32_t i = 0; i < n; ++i) {
    // The elements live apart on the heap; asking for one a little ahead hides the wait.
    if (i + 16 < n) __builtin_prefetch(list.Items(i + 16), 0, 0);
    const TPCBElement* e = list.Items(i);
    if (e->IsWire()) {
      const auto& wire = static_cast<const TWire&>(*e);
      const TPoint a = wire.StartPoint(), b = wire.EndPoint();
      if (!Culling_ || (SpanMeets(ShownAt(a.X, stepPixels, off.X), ShownAt(b.X, stepPixels, off.X),
                                  wireMargin, w) &&
                        SpanMeets(ShownAt(a.Y, stepPixels, off.Y), ShownAt(b.Y, stepPixels, off.Y),
                                  wireMargin, h)))
        VisibleWires_.push_back(e);
    } else if (!Culling_ || PadVisible(static_cast<const TSolder&>(*e), stepPixels, off, w, h)) {
      VisiblePads_.push_back(e);
    }
  }
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
  CollectVisible(StepPixels(*this));
  for (const TPCBElement* e : VisibleWires_) e->Draw(dmNormal);
  for (const TPCBElement* e : VisiblePads_) e->Draw(dmNormal);
  VisibleWires_.clear();
  VisiblePads_.clear();
  Paint();
}

void TPCBLayout::Clear() { Elements_->Clear(); }
