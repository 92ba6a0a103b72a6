#include "TPCBLayout.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QUndoStack>
#include <algorithm>

#include "TBoardMath.h"
#include "TCopperText.h"
#include "TSmdPad.h"

TPCBLayout::TPCBLayout(QWidget* parent)
    : QWidget(parent),
      Elements_(std::make_unique<TElementList>(this)),
      UndoStack_(new QUndoStack(this)),
      BoardCanvas_(std::make_unique<TCanvas>(&BoardImage_)),
      Canvas_(std::make_unique<TCanvas>(&CanvasImage_)) {
  connect(UndoStack_, &QUndoStack::indexChanged, this, [this](int) { emit BoardChanged(); });
  // The image a drag composes its steps on leaves out the selection as it was.
  connect(this, &TPCBLayout::SelectionChanged, this, [this] { DragBaseValid_ = false; });
  // Keys belong to the main window; the board only listens to the pointer, also between presses
  // so that the spot can follow it.
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TPCBLayout::~TPCBLayout() {
  // Taking the history down moves its index; nobody hears of it from a board on its way out
  // (the window listening may be half gone already).
  blockSignals(true);
  UndoStack_->disconnect();
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

namespace {

// The first of the lines first, first + cell, ... at or after lo.
inline int64_t FirstAtOrAfter(int64_t first, int64_t cell, int64_t lo) {
  return first >= lo ? first : first + (lo - first + cell - 1) / cell * cell;
}

// Pixels between the grid points drawn. Points closer than 4 pixels would only grey the whole
// board out at a far zoom, so every second, fourth ... point is drawn: those a whole number of
// wider cells from the board origin, which stay where they are as the view is panned.
inline int32_t ShownGridCell(int32_t cell) {
  int32_t shown = std::max<int32_t>(cell, 1);
  while (shown < 4) shown *= 2;
  return shown;
}

}  // namespace

void TPCBLayout::DrawDotGrid(const QRect& area) {
  const int32_t shown = ShownGridCell(CellSize_);
  const int64_t cell = shown;
  // The remainder keeps the sign of the offset, so a view panned left or up starts one cell
  // before the edge; that first line lies outside and is stepped over.
  int64_t x0 = Rem(ViewOffset_.X, shown), y0 = Rem(ViewOffset_.Y, shown);
  if (x0 < 0) x0 += cell;
  if (y0 < 0) y0 += cell;
  const int64_t right = int64_t(area.right()) + 1, bottom = int64_t(area.bottom()) + 1;
  x0 = FirstAtOrAfter(x0, cell, area.left());
  const uint32_t argb = ColorToArgb(GridColor_);
  for (int64_t y = FirstAtOrAfter(y0, cell, area.top()); y < bottom; y += cell) {
    auto* row = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(static_cast<int>(y)));
    for (int64_t x = x0; x < right; x += cell) row[x] = argb;
  }
}

void TPCBLayout::DrawLineGrid(const QRect& area) {
  // Each line runs from one edge to the pixel before the far edge, as a one-pixel line leaves
  // out its end pixel: the last column misses the horizontal lines, the last row the vertical.
  const int64_t w = BoardImage_.width(), h = BoardImage_.height();
  const int32_t shown = ShownGridCell(CellSize_);
  const int64_t cell = shown;
  int64_t x0 = Rem(ViewOffset_.X, shown), y0 = Rem(ViewOffset_.Y, shown);
  if (x0 < 0) x0 += cell;
  if (y0 < 0) y0 += cell;
  const int64_t left = area.left(), top = area.top();
  const int64_t right = int64_t(area.right()) + 1, bottom = int64_t(area.bottom()) + 1;
  const uint32_t argb = ColorToArgb(GridColor_);
  const int64_t rowEnd = std::min(right, w - 1);
  for (int64_t y = FirstAtOrAfter(y0, cell, top); y < bottom; y += cell) {
    auto* row = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(static_cast<int>(y)));
    if (left < rowEnd) std::fill(row + left, row + rowEnd, argb);
  }
  x0 = FirstAtOrAfter(x0, cell, left);
  if (x0 >= right) return;
  for (int64_t y = top; y < std::min(bottom, h - 1); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(static_cast<int>(y)));
    for (int64_t x = x0; x < right; x += cell) row[x] = argb;
  }
}

namespace {

// Whether the pixel span [a, b] (inclusive, either order) grown by a margin meets [lo, hi).
inline bool SpanMeets(int64_t a, int64_t b, int64_t margin, int64_t lo, int64_t hi) {
  // Without branches: which end is the smaller is as good as random over a board.
  const int64_t first = std::min(a, b), last = std::max(a, b);
  return (last + margin >= lo) & (first - margin < hi);
}

// Whether a pad's land or hole reaches an area: both boxes exactly as the pad's Draw forms them,
// since a hole larger than its land paints outside the land.
inline bool PadVisible(const TSolder& pad, int32_t stepPixels, TPoint off, const QRect& area) {
  const int32_t cx = ShownAt(pad.Center().X, stepPixels, off.X);
  const int32_t cy = ShownAt(pad.Center().Y, stepPixels, off.Y);
  const int64_t right = int64_t(area.right()) + 1, bottom = int64_t(area.bottom()) + 1;
  auto boxMeets = [&](int32_t diameter) {
    const int32_t r = TSolder::ScreenRadius(stepPixels, diameter);
    return SpanMeets(WSub(cx, r), WAdd(cx, r), 0, area.left(), right) &&
           SpanMeets(WSub(cy, r), WAdd(cy, r), 0, area.top(), bottom);
  };
  return boxMeets(pad.ExternalDiameter()) || boxMeets(pad.InternalDiameter());
}

}  // namespace

bool TPCBLayout::TextVisible(const TCopperText& text, int32_t stepPixels, const QRect& area) const {
  // The box of its strokes, ends and widths included, in half board units; a pixel or two more
  // each way takes in the rounding of the stroke ends and the pen.
  const std::vector<TCopperShape>& strokes = text.Strokes();
  if (strokes.empty()) return false;
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  for (const TCopperShape& s : strokes) {
    const THalfBox b = ExtentOf(s, false);
    if (b.Empty()) continue;
    left = std::min(left, b.Left);
    top = std::min(top, b.Top);
    right = std::max(right, b.Right);
    bottom = std::max(bottom, b.Bottom);
  }
  if (left > right) return false;
  auto shown = [&](int64_t half, int32_t offset, bool up) {
    const int32_t v = Clamp32(up ? -FloorDiv<int64_t>(-half, 2) : FloorDiv<int64_t>(half, 2));
    return int64_t(ShownAt(v, stepPixels, offset));
  };
  const TPoint off = ViewOffset_;
  return SpanMeets(shown(left, off.X, false), shown(right, off.X, true), 2, area.left(),
                   int64_t(area.right()) + 1) &&
         SpanMeets(shown(top, off.Y, false), shown(bottom, off.Y, true), 2, area.top(),
                   int64_t(area.bottom()) + 1);
}

bool TPCBLayout::ElementVisible(const TPCBElement& e, int32_t stepPixels, const QRect& area) const {
  const TPoint off = ViewOffset_;
  if (e.Kind() == ekFill) {
    // Its copper lies inside its outline, and a chosen one's outline is drawn two pixels wide.
    const std::vector<TPoint>& corners = static_cast<const TCopperFill&>(e).Corners();
    if (corners.empty()) return false;
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    // In 64 bits: a fill is drawn without wrapping, however far its corners lie.
    for (const TPoint& c : corners) {
      const int64_t x = int64_t(c.X) * stepPixels / UnitsPerStep + off.X;
      const int64_t y = int64_t(c.Y) * stepPixels / UnitsPerStep + off.Y;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
    return SpanMeets(left, right, 2, area.left(), int64_t(area.right()) + 1) &&
           SpanMeets(top, bottom, 2, area.top(), int64_t(area.bottom()) + 1);
  }
  if (e.Kind() == ekSolder)
    return PadVisible(static_cast<const TSolder&>(e), stepPixels, off, area);
  if (e.Kind() == ekSmdPad) {
    // The box exactly as the pad's Draw fills it.
    const TSmdPad::TPixels px = static_cast<const TSmdPad&>(e).Pixels(stepPixels, off);
    return px.Right > px.Left && px.Bottom > px.Top &&
           SpanMeets(px.Left, int64_t(px.Right) - 1, 0, area.left(), int64_t(area.right()) + 1) &&
           SpanMeets(px.Top, int64_t(px.Bottom) - 1, 0, area.top(), int64_t(area.bottom()) + 1);
  }
  if (e.Kind() == ekText) return TextVisible(static_cast<const TCopperText&>(e), stepPixels, area);
  // A wide wire's round ends reach half its width past its points, and the rasteriser may add
  // a pixel; a thin one stays on its points. A width that cannot be worked out draws nothing.
  const auto& wire = static_cast<const TWire&>(e);
  const int32_t divisor = wire.WidthDivisor();
  if (divisor == 0 || (stepPixels == INT32_MIN && divisor == -1)) return false;
  const int64_t margin = std::max<int64_t>(0, stepPixels / divisor) / 2 + 2;
  const TPoint a = wire.StartPoint(), b = wire.EndPoint();
  return SpanMeets(ShownAt(a.X, stepPixels, off.X), ShownAt(b.X, stepPixels, off.X), margin,
                   area.left(), int64_t(area.right()) + 1) &&
         SpanMeets(ShownAt(a.Y, stepPixels, off.Y), ShownAt(b.Y, stepPixels, off.Y), margin,
                   area.top(), int64_t(area.bottom()) + 1);
}

void TPCBLayout::CollectVisible(int32_t stepPixels, const QRect& area, bool skipSelected) {
  // The elements that can reach the area, fills, wires and pads (of both kinds) apart, each in
  // list order. The index hands over the few near the area; without it one walk over the board does
  // only a few multiplications per element and no drawing.
  VisibleWires_.clear();
  VisiblePads_.clear();
  VisibleFills_.clear();
  const TElementList& list = *Elements_;
  auto take = [&](const TPCBElement* e) {
    if (skipSelected && e->Selected()) return;
    const bool fill = e->Kind() == ekFill;
    if (fill && !ShowFills_) return;
    if (Culling_ && !ElementVisible(*e, stepPixels, area)) return;
    (fill ? VisibleFills_ : DrawnWithWires(*e) ? VisibleWires_ : VisiblePads_).push_back(e);
  };
  const int64_t margin = std::abs(int64_t(stepPixels)) + 2;
  const int64_t reach = std::max(BoardImage_.width(), BoardImage_.height()) + margin;
  const TBoardIndex* index = Culling_ ? FreshIndex() : nullptr;
  const int64_t within = index ? ScreenReach(ViewOffset_, reach) : -1;
  if (within >= 0 && index->NearbyWithin(BoardRectFor(area, margin), within, Candidates_)) {
    const size_t n = Candidates_.size();
    for (size_t k = 0; k < n; ++k) {
      if (k + 16 < n) __builtin_prefetch(list.Items(Candidates_[k + 16]), 0, 0);
      take(list.Items(Candidates_[k]));
    }
    return;
  }
  const int32_t n = list.Count();
  for (int32_t i = 0; i < n; ++i) {
    // The elements live apart on the heap; asking for one a little ahead hides the wait.
    if (i + 16 < n) __builtin_prefetch(list.Items(i + 16), 0, 0);
    take(list.Items(i));
  }
}

void TPCBLayout::RenderArea(const QRect& area, bool skipSelected) {
  const bool whole = area == BoardImage_.rect();
  BoardCanvas_->Flush();
  if (!whole) BoardCanvas_->SetClip(area);
  const uint32_t background = ColorToArgb(Color_);
  if (whole) {
    BoardImage_.fill(background);
  } else {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(y));
      std::fill(row + area.left(), row + area.right() + 1, background);
    }
  }
  if (GridMode_ == gmDot) DrawDotGrid(area);
  if (GridMode_ == gmLine) DrawLineGrid(area);

  // All fills, then all wires and texts, then all pads, each in list order: the other copper
  // lies over a fill, each in the gap the fill keeps around it; a pad covers the wire ends under
  // it and its hole shows the board, and of two elements of one kind the later one lies on top.
  // Elements wholly outside the area are passed over; what they would draw lies outside it.
  // The fills' copper is worked out again first if the board changed since, except in the middle
  // of a drag: a dragged fill takes its copper along, and the release works every fill out again
  // where things now lie.
  if (!Dragging_) UpdateFills(*Elements_);
  CollectVisible(StepPixels(*this), area, skipSelected);
  for (const TPCBElement* e : VisibleFills_) e->Draw(dmNormal);
  for (const TPCBElement* e : VisibleWires_) e->Draw(dmNormal);
  for (const TPCBElement* e : VisiblePads_) e->Draw(dmNormal);
  VisibleFills_.clear();
  VisibleWires_.clear();
  VisiblePads_.clear();
  BoardCanvas_->Flush();
  if (!whole) BoardCanvas_->SetClip(QRect());
}

void TPCBLayout::RenderBoard() {
  FitImages();
  if (!BoardImage_.isNull()) RenderArea(BoardImage_.rect());
  Paint();
}

void TPCBLayout::Clear() { Elements_->Clear(); }
