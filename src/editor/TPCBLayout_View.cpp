// Moving about the board: panning by scrolling the rendered image, zooming at the pointer with
// the wheel or a pinch, fitting the board in the control, and drag steps drawn over a kept image
// of the rest of the board.
#include <QNativeGestureEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "TBoardMath.h"
#include "TPCBLayout.h"

// ---- Panning ----

void TPCBLayout::ScrollImage(int32_t dx, int32_t dy) {
  // Moves the pixels of the board image by (dx, dy); what moves out is lost and what comes in is
  // left as it was, for the strips to be rendered over it.
  BoardCanvas_->Flush();
  const int w = BoardImage_.width(), h = BoardImage_.height();
  const size_t bytes = size_t(w - std::abs(dx)) * sizeof(uint32_t);
  const int fromX = dx > 0 ? 0 : -dx, toX = dx > 0 ? dx : 0;
  auto move = [&](int y) {
    auto* to = reinterpret_cast<uint32_t*>(BoardImage_.scanLine(y)) + toX;
    const auto* from = reinterpret_cast<const uint32_t*>(BoardImage_.constScanLine(y - dy)) + fromX;
    std::memmove(to, from, bytes);
  };
  if (dy >= 0) {
    for (int y = h - 1; y >= dy; --y) move(y);
  } else {
    for (int y = 0; y < h + dy; ++y) move(y);
  }
}

void TPCBLayout::PanTo(TPoint offset) {
  const TPoint old = ViewOffset_;
  if (offset == old) return;
  ViewOffset_ = offset;
  const int32_t dx = WSub(offset.X, old.X), dy = WSub(offset.Y, old.Y);
  const int64_t w = BoardImage_.width(), h = BoardImage_.height();
  // Moving the image gives the pixels of a full render only where every element keeps its shape
  // under the move: no coordinate on either side wraps at 32 bits, and no wide line is cut.
  const int64_t reach = std::max(w, h) + std::max(std::abs(int64_t(dx)), std::abs(int64_t(dy)));
  if (BoardImage_.isNull() || BoardImage_.size() != size() || std::abs(int64_t(dx)) >= w ||
      std::abs(int64_t(dy)) >= h || !ScreenExact(old, reach) || !ScreenExact(offset, reach)) {
    RenderBoard();
    return;
  }
  ScrollImage(dx, dy);
  const int adx = std::abs(dx), ady = std::abs(dy);
  if (adx) RenderArea(QRect(dx > 0 ? 0 : int(w) - adx, 0, adx, int(h)));
  if (ady) RenderArea(QRect(dx > 0 ? adx : 0, dy > 0 ? 0 : int(h) - ady, int(w) - adx, ady));
  if (GridMode_ == gmLine) {
    // The grid lines stop one pixel short of the right and bottom edges: the last row and column
    // are drawn again, and so are the old ones where the move brought them inside.
    RenderArea(QRect(0, int(h) - 1, int(w), 1));
    RenderArea(QRect(int(w) - 1, 0, 1, int(h)));
    if (dy < 0) RenderArea(QRect(0, int(h) - 1 - ady, int(w), 1));
    if (dx < 0) RenderArea(QRect(int(w) - 1 - adx, 0, 1, int(h)));
  }
  Paint();
}

void TPCBLayout::ScrollBy(int32_t dx, int32_t dy) {
  PanTo({WAdd(ViewOffset_.X, dx), WAdd(ViewOffset_.Y, dy)});
  ViewMoved();
}

void TPCBLayout::ViewMoved() {
  // A pan under a held button goes on from where the pointer is on the moved board.
  const TPoint anchor{WSub(LastPointer_.X, ViewOffset_.X), WSub(LastPointer_.Y, ViewOffset_.Y)};
  if (MoveButtonDown_ && !Dragging_) DragAnchor_ = anchor;
  if (MiddleDown_) MiddleAnchor_ = anchor;
  if (MouseInside_) TrackPointer(LastPointer_, true);
  NotePointer();
}

void TPCBLayout::NotePointer() {
  const TPoint g = ScreenToBoard(LastPointer_);
  if (g == LastPointerPoint_) return;
  LastPointerPoint_ = g;
  emit PointerMoved(g);
}

// ---- Zooming ----

int32_t TPCBLayout::ZoomedScale(int32_t scale, TPCBStep step, int32_t notches) {
  const int64_t divisor = StepDivisorOf(step);
  auto cellOf = [divisor](int64_t s) { return std::max<int64_t>(1, (s + 10) / divisor); };
  int64_t s = scale;
  for (int32_t n = 0; n < std::abs(notches); ++n) {
    // Whole pixels per cell: each notch changes the cell by at least one pixel, so the smallest
    // cells still grow and shrink, and larger ones go by about a quarter.
    const int64_t cell = cellOf(s);
    const int64_t target =
        notches > 0 ? std::max<int64_t>(cell + 1, std::llround(double(cell) * 1.25))
                    : std::max<int64_t>(1, std::min<int64_t>(cell - 1, std::llround(cell / 1.25)));
    const int64_t next = std::clamp<int64_t>(target * divisor - 10, -9, 500);
    if (cellOf(next) == cell) break;  // at the end of the range
    s = next;
  }
  return static_cast<int32_t>(s);
}

void TPCBLayout::ZoomAt(int32_t scale, TPoint pixel) {
  if (scale == GridScale_) return;
  // The distance from the board origin to the pixel, in pixels, grows or shrinks with the step,
  // so the board point under the pixel stays there.
  const int64_t before = StepPixels(*this);
  const int32_t dx = WSub(pixel.X, ViewOffset_.X), dy = WSub(pixel.Y, ViewOffset_.Y);
  GridScale_ = scale;
  RecomputeCellSize();
  const int64_t after = StepPixels(*this);
  auto kept = [&](int32_t at, int32_t d) {
    const int64_t scaled =
        before > 0 ? std::llround(double(d) * double(after) / double(before)) : d;
    return WSub(at, Wrap32(scaled));
  };
  ViewOffset_ = {kept(pixel.X, dx), kept(pixel.Y, dy)};
  RenderBoard();
  emit GridScaleChanged(GridScale_);
  ViewMoved();
}

void TPCBLayout::FitBoard() {
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i) {
    TRect box;
    if (!TElementIndex::ElementBox(*list.Items(i), box)) continue;
    left = std::min<int64_t>(left, box.Left);
    top = std::min<int64_t>(top, box.Top);
    right = std::max<int64_t>(right, box.Right);
    bottom = std::max<int64_t>(bottom, box.Bottom);
  }
  int32_t scale = 0;
  TPoint offset{0, 0};
  if (left <= right) {
    const int64_t divisor = StepDivisorOf(GridStep_);
    const int64_t margin = UnitsPerStep / divisor;
    left -= margin;
    top -= margin;
    right += margin;
    bottom += margin;
    const int64_t w = width(), h = height();
    // The largest scale at which the board and its margin lie inside the control; at the
    // smallest one a board too large for it is still centred.
    int64_t cell = 1;
    scale = -9;
    for (int64_t s = 500; s >= -9; --s) {
      cell = std::max<int64_t>(1, (s + 10) / divisor);
      const int64_t p = cell * divisor;
      if ((right - left) * p / UnitsPerStep + 2 <= w &&
          (bottom - top) * p / UnitsPerStep + 2 <= h) {
        // The scale the wheel would reach for that cell.
        scale = static_cast<int32_t>(std::max<int64_t>(-9, cell * divisor - 10));
        break;
      }
    }
    const int64_t p = cell * divisor;
    const int64_t midX = left + (right - left) / 2, midY = top + (bottom - top) / 2;
    offset = {Wrap32(w / 2 - midX * p / UnitsPerStep), Wrap32(h / 2 - midY * p / UnitsPerStep)};
  }
  const bool scaleChanged = scale != GridScale_;
  GridScale_ = scale;
  RecomputeCellSize();
  ViewOffset_ = offset;
  RenderBoard();
  if (scaleChanged) emit GridScaleChanged(GridScale_);
  ViewMoved();
}

// ---- Wheel and touchpad ----

void TPCBLayout::wheelEvent(QWheelEvent* event) {
  event->accept();
  const QPointF at = event->position();
  LastPointer_ = {int32_t(std::floor(at.x())), int32_t(std::floor(at.y()))};
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier;
  const QPoint pixels = event->pixelDelta();
  // A touchpad's two-finger scroll comes in pixels and moves the board with the fingers.
  if (!pixels.isNull() && !shift && !ctrl) {
    ScrollBy(pixels.x(), pixels.y());
    return;
  }
  const QPoint angle = event->angleDelta();
  const int32_t delta = angle.y() != 0 ? angle.y() : angle.x();
  if (delta == 0) return;
  // A notch of 120 scrolls a tenth of the control; towards the user shows what lies above or,
  // with Ctrl, to the left.
  if (shift) {
    ScrollBy(0, int32_t(int64_t(delta) * height() / 1200));
    return;
  }
  if (ctrl) {
    ScrollBy(int32_t(int64_t(delta) * width() / 1200), 0);
    return;
  }
  // Smaller steps (a touchpad, a free-spinning wheel) add up to whole notches; turning back
  // starts counting afresh.
  if ((WheelAngle_ > 0 && delta < 0) || (WheelAngle_ < 0 && delta > 0)) WheelAngle_ = 0;
  WheelAngle_ += delta;
  const int32_t notches = WheelAngle_ / 120;
  WheelAngle_ -= notches * 120;
  if (notches != 0) ZoomBy(notches, LastPointer_);
}

bool TPCBLayout::event(QEvent* event) {
  if (event->type() != QEvent::NativeGesture) return QWidget::event(event);
  auto* gesture = static_cast<QNativeGestureEvent*>(event);
  if (gesture->gestureType() == Qt::BeginNativeGesture) PinchZoom_ = 0;
  if (gesture->gestureType() != Qt::ZoomNativeGesture) return QWidget::event(event);
  // A pinch reports how much it grew since the last report; every growth by a quarter is a notch.
  // A report of shrinking to nothing or less, or of no number at all, is no pinch.
  const double grew = gesture->value();
  if (!std::isfinite(grew) || grew <= -1) {
    event->accept();
    return true;
  }
  PinchZoom_ += std::log1p(grew) / std::log(1.25);
  const auto notches = static_cast<int32_t>(PinchZoom_);
  PinchZoom_ -= notches;
  const QPointF at = gesture->position();
  LastPointer_ = {int32_t(std::floor(at.x())), int32_t(std::floor(at.y()))};
  if (notches != 0) ZoomBy(notches, LastPointer_);
  event->accept();
  return true;
}

// ---- Dragging ----

std::array<int64_t, 12> TPCBLayout::DragBaseView() const {
  return {ViewOffset_.X, ViewOffset_.Y, CellSize_,           GridStep_,
          GridMode_,     Color_,        GridColor_,          WireColor_,
          SolderColor_,  FocusColor_,   BoardImage_.width(), BoardImage_.height()};
}

void TPCBLayout::ComposeDrag() {
  FitImages();
  if (BoardImage_.isNull()) {
    Paint();
    return;
  }
  if (!DragBaseValid_) {
    // A dragged fill lies under the rest of the copper, which no image kept from the drag's
    // start can put back over it: such a drag renders the whole board at every step.
    DraggedFills_.clear();
    const TElementList& list = *Elements_;
    for (int32_t i = 0; i < list.Count() && DraggedFills_.empty(); ++i)
      if (list.Items(i)->Selected() && list.Items(i)->Kind() == ekFill)
        DraggedFills_.push_back(list.Items(i));
  }
  if (!DraggedFills_.empty() && ShowFills_) {
    DragBaseValid_ = true;
    DragBase_ = QImage();
    RenderArea(BoardImage_.rect());
    Paint();
    return;
  }
  if (!DragBaseValid_ || DragBaseKey_ != DragBaseView() ||
      DragBaseGeneration_ != Elements_->Generation()) {
    // The board without the dragged elements, rendered once for the whole drag (and again only
    // when the view or the board changes under it).
    DraggedWires_.clear();
    DraggedPads_.clear();
    const TElementList& list = *Elements_;
    for (int32_t i = 0; i < list.Count(); ++i) {
      const TPCBElement* e = list.Items(i);
      if (e->Selected() && e->Kind() != ekFill)
        (DrawnWithWires(*e) ? DraggedWires_ : DraggedPads_).push_back(e);
    }
    RenderArea(BoardImage_.rect(), true);
    DragBase_ = BoardImage_.copy();
    DragBaseValid_ = true;
    DragBaseKey_ = DragBaseView();
    DragBaseGeneration_ = Elements_->Generation();
  } else {
    BoardCanvas_->Flush();
    std::memcpy(BoardImage_.bits(), DragBase_.constBits(), size_t(DragBase_.sizeInBytes()));
  }
  // The dragged elements lie over the rest, wires then pads, until the release renders the
  // board in its true order.
  const int32_t step = StepPixels(*this);
  const QRect all = BoardImage_.rect();
  for (const auto* kind : {&DraggedWires_, &DraggedPads_})
    for (const TPCBElement* e : *kind)
      if (!Culling_ || ElementVisible(*e, step, all)) e->Draw(dmNormal);
  Paint();
}
