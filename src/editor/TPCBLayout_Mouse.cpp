#include <QEnterEvent>
#include <QMouseEvent>
#include <algorithm>

#include "TBoardMath.h"
#include "TPCBLayout.h"
#include "TSmdPad.h"

// ---- Feedback over the board ----

void TPCBLayout::DrawSpotIn(TPoint p, TColor colour) {
  // Four ticks pointing at the grid point from one cell away and stopping half a cell short of
  // it, and a small disc on the point itself.
  TCanvas& c = *Canvas_;
  const int32_t cell = CellSize_, half = CellSize_ / 2;
  c.SetPenWidth(1);
  c.SetPenColor(colour);
  c.SetBrushColor(colour);
  c.MoveTo(p.X, WSub(p.Y, cell));
  c.LineTo(p.X, WAdd(WSub(p.Y, cell), half));
  c.MoveTo(p.X, WAdd(p.Y, cell));
  c.LineTo(p.X, WSub(WAdd(p.Y, cell), half));
  c.MoveTo(WSub(p.X, cell), p.Y);
  c.LineTo(WAdd(WSub(p.X, cell), half), p.Y);
  c.MoveTo(WAdd(p.X, cell), p.Y);
  c.LineTo(WSub(WAdd(p.X, cell), half), p.Y);
  c.Ellipse(WSub(p.X, 2), WSub(p.Y, 2), WAdd(p.X, 2), WAdd(p.Y, 2));
  update();
}

void TPCBLayout::DrawSpot(TPoint pixel) { DrawSpotIn(pixel, SpotColor_); }

void TPCBLayout::ShowWireFeedback() {
  Paint();
  const TPoint s = SpotPoint_;
  if (WirePending_) {
    // The wire that the next press would draw, from its start to the pointer.
    const TPoint start = BoardToScreen(WireStart_);
    Canvas_->SetPenWidth(1);
    Canvas_->SetPenColor(GridColor_);
    Canvas_->MoveTo(s.X, s.Y);
    Canvas_->LineTo(start.X, start.Y);
    DrawSpot(start);
  }
  if (MouseAction_ == maFill && !FillCorners_.empty()) {
    // The outline so far and the edge the next press would add; the first corner marked, as a
    // press there closes the outline.
    std::vector<TPoint> shown;
    for (const TPoint& c : FillCorners_) shown.push_back(BoardToScreen(c));
    shown.push_back(s);
    Canvas_->SetPenWidth(1);
    Canvas_->SetPenColor(GridColor_);
    Canvas_->Polyline(shown.data(), int(shown.size()));
    DrawSpotIn(shown.front(), SolderColor_);
  }
  DrawSpot(s);
}

void TPCBLayout::CancelAction() {
  WirePending_ = false;
  ChainWires_ = 0;
  Banding_ = false;
  FillCorners_.clear();
  CornerFill_ = -1;
  Paint();
  // The spot comes back only where the pointer is: with the pointer elsewhere (Escape pressed
  // over a tool bar) a spot would mark a position nobody points at.
  if (MouseInside_ && (MouseAction_ == maWire || MouseAction_ == maSolder ||
                       MouseAction_ == maText || MouseAction_ == maFill))
    DrawSpot(SpotPoint_);
}

void TPCBLayout::SetMouseAction(TMouseAction a) {
  MouseAction_ = a;
  CancelAction();
  // Drawing, placing and deleting start from a clean selection; selecting and moving build on
  // the one there is, and so does the fill tool, which takes its seed from it.
  if (a == maWire || a == maSolder || a == maDelete || a == maText) ClearSelection();
  Paint();
}

// ---- Finding and editing elements ----

// A few multiplications decide for nearly every element of a large board that the pointer is
// nowhere near it; only the rest get the exact hit test.

bool TPCBLayout::MayHitWire(const TWire& wire, TPoint q, int32_t stepPixels) const {
  // The hit test's tolerance is about half the drawn width and at least a pixel; no wire is
  // wider than a base step, so half a step bounds it without a division per wire.
  const int64_t t = std::max<int64_t>(1, std::abs(int64_t(stepPixels)) / 2);
  const TPoint off = ViewOffset_;
  const int64_t ax = ShownAt(wire.StartPoint().X, stepPixels, off.X);
  const int64_t bx = ShownAt(wire.EndPoint().X, stepPixels, off.X);
  if (q.X < std::min(ax, bx) - t || q.X > std::max(ax, bx) + t) return false;
  const int64_t ay = ShownAt(wire.StartPoint().Y, stepPixels, off.Y);
  const int64_t by = ShownAt(wire.EndPoint().Y, stepPixels, off.Y);
  return q.Y >= std::min(ay, by) - t && q.Y <= std::max(ay, by) + t;
}

bool TPCBLayout::MayHitPad(const TSolder& pad, TPoint q, int32_t stepPixels) const {
  // Distances taken in 64 bits: a pad far away is never found through a wrapped 32-bit square.
  const int32_t r = TSolder::ScreenRadius(stepPixels, pad.ExternalDiameter());
  if (r < 0) return false;
  const int64_t dx = Abs64(int64_t(q.X) - ShownAt(pad.Center().X, stepPixels, ViewOffset_.X));
  if (dx > r) return false;
  const int64_t dy = Abs64(int64_t(q.Y) - ShownAt(pad.Center().Y, stepPixels, ViewOffset_.Y));
  if (dy > r) return false;
  return pad.IsSquare() || dx * dx + dy * dy <= int64_t(r) * r;
}

TPCBElement* TPCBLayout::ElementAt(TPoint pixel) const {
  // Pads before wires and texts, each from the last to the first: the element drawn on top wins.
  // One walk from the end finds both: the first pad hit is the answer at once, and the first
  // wire or text hit is kept in case no pad lies under the pointer.
  const int32_t step = StepPixels(*this);
  const TElementList& list = *Elements_;
  TPCBElement* wire = nullptr;
  TPCBElement* fill = nullptr;
  auto found = [&](TPCBElement* e) {
    switch (e->Kind()) {
      case ekWire:
        if (!wire && MayHitWire(static_cast<const TWire&>(*e), pixel, step) && e->HitTest(pixel))
          wire = e;
        return false;
      case ekSolder:
        return MayHitPad(static_cast<const TSolder&>(*e), pixel, step) && e->HitTest(pixel);
      case ekSmdPad:
        // Its box is all the test there is, and it needs no view lookups.
        return static_cast<const TSmdPad&>(*e).Pixels(step, ViewOffset_).Covers(pixel);
      case ekText:
        if (!wire && e->HitTest(pixel)) wire = e;
        return false;
      case ekFill:
        // Under all the other copper: found only where none of that is.
        if (!fill && ShowFills_ && e->HitTest(pixel)) fill = e;
        return false;
    }
    return false;
  };
  // The index hands over the elements near the pointer, in list order, to be tried the same way.
  const int64_t tolerance = std::max<int64_t>(1, std::abs(int64_t(step)) / 2);
  const int64_t reach =
      std::max(std::abs(int64_t(pixel.X)), std::abs(int64_t(pixel.Y))) + tolerance;
  const TBoardIndex* index = FreshIndex();
  const int64_t within = index ? ScreenReach(ViewOffset_, reach) : -1;
  if (within >= 0 && index->NearbyWithin(BoardRectFor(QRect(pixel.X, pixel.Y, 1, 1), tolerance),
                                         within, Candidates_)) {
    for (size_t k = Candidates_.size(); k-- > 0;) {
      TPCBElement* e = list.Items(Candidates_[k]);
      if (found(e)) return e;
    }
    return wire ? wire : fill;
  }
  for (int32_t i = list.Count() - 1; i >= 0; --i) {
    // The elements live apart on the heap; asking for one a little ahead hides the wait.
    if (i >= 8) __builtin_prefetch(list.Items(i - 8));
    TPCBElement* e = list.Items(i);
    if (found(e)) return e;
  }
  return wire ? wire : fill;
}

// ---- Pointer events ----

namespace {

TPoint PixelOf(const QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  return {p.x(), p.y()};
}

}  // namespace

void TPCBLayout::enterEvent(QEnterEvent* event) {
  MouseInside_ = true;
  if (MouseAction_ == maWire || MouseAction_ == maSolder || MouseAction_ == maSelect ||
      MouseAction_ == maText || MouseAction_ == maFill)
    DrawSpot(SpotPoint_);
  event->accept();
}

void TPCBLayout::leaveEvent(QEvent* event) {
  Paint();
  MouseInside_ = false;
  event->accept();
}

void TPCBLayout::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  const TPoint raw = PixelOf(event);
  LastPointer_ = raw;
  if (MiddleDown_) {
    // The middle button drags the board in every tool, the tool's own state left as it is.
    PanTo({WSub(raw.X, MiddleAnchor_.X), WSub(raw.Y, MiddleAnchor_.Y)});
    ViewMoved();
    return;
  }
  if (!MouseInside_) return;
  TrackPointer(raw, false);
  NotePointer();
}

void TPCBLayout::TrackPointer(TPoint raw, bool viewMoved) {
  // With the view moved under a still pointer the feedback is drawn again even where the
  // pointer's pixel is the same.
  const TPoint g = ScreenToBoard(raw);
  const TPoint s = BoardToScreen(g);
  // The text tool shows where the text will stand as the pad tool shows where a pad will.
  switch (MouseAction_ == maText ? maSolder : MouseAction_ == maFill ? maWire : MouseAction_) {
    case maWire:
    case maSolder:
      if (s == SpotPoint_ && !viewMoved) return;
      SpotPoint_ = s;
      ShowWireFeedback();
      return;
    case maDelete: {
      TPCBElement* e = ElementAt(raw);
      if (e == HoverElement_ && !viewMoved) return;
      Paint();
      HoverElement_ = e;
      if (e && !CanvasImage_.isNull()) e->Draw(dmHighlight);
      update();
      return;
    }
    case maSelect:
      if (s == SpotPoint_ && !viewMoved) return;
      SpotPoint_ = s;
      Paint();
      if (Banding_) {
        const TPoint a = BoardToScreen(BandStart_);
        const TPoint band[5] = {{std::min(a.X, s.X), std::min(a.Y, s.Y)},
                                {std::max(a.X, s.X), std::min(a.Y, s.Y)},
                                {std::max(a.X, s.X), std::max(a.Y, s.Y)},
                                {std::min(a.X, s.X), std::max(a.Y, s.Y)},
                                {std::min(a.X, s.X), std::min(a.Y, s.Y)}};
        Canvas_->SetPenWidth(1);
        Canvas_->SetPenColor(SpotColor_);
        Canvas_->Polyline(band, 5);
        DrawSpotIn(a, SolderColor_);
        DrawSpotIn(s, SolderColor_);
      } else {
        DrawSpot(s);
      }
      return;
    case maMove:
      if (CornerFill_ >= 0) {
        if (g == CornerPoint_ && !viewMoved) return;
        CornerPoint_ = g;
        ShowCornerFeedback();
        return;
      }
      if (!MoveButtonDown_ || viewMoved) return;
      SpotPoint_ = s;
      if (Dragging_) {
        // Steps are whole grid cells; a pointer still over the same grid point moves nothing
        // and leaves the board unmodified.
        if (g == LastDragPoint_) return;
        DragDelta_ = {WSub(g.X, LastDragPoint_.X), WSub(g.Y, LastDragPoint_.Y)};
        DragTotal_ = {WAdd(DragTotal_.X, DragDelta_.X), WAdd(DragTotal_.Y, DragDelta_.Y)};
        LastDragPoint_ = g;
        MoveSelected(DragDelta_.X, DragDelta_.Y);
      } else {
        // Panning keeps the board point pressed on under the pointer, to the pixel.
        PanTo({WSub(raw.X, DragAnchor_.X), WSub(raw.Y, DragAnchor_.Y)});
      }
      return;
  }
}

void TPCBLayout::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    event->accept();
    LastPointer_ = PixelOf(event);
    MiddleDown_ = true;
    MiddleAnchor_ = {WSub(LastPointer_.X, ViewOffset_.X), WSub(LastPointer_.Y, ViewOffset_.Y)};
    return;
  }
  if (event->button() == Qt::RightButton) {
    CancelAction();
    event->accept();
    return;
  }
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  event->accept();
  const TPoint raw = PixelOf(event);
  const TPoint g = ScreenToBoard(raw);
  if (MouseAction_ == maText) {
    ClearSelection();
    emit TextWanted(g);
    return;
  }
  if (MouseAction_ == maFill) {
    FillPressed(g);
    return;
  }
  switch (MouseAction_) {
    case maWire:
      // Each press after the first ends a wire and starts the next one there: a chain.
      ClearSelection();
      if (WirePending_) {
        AddWire(g);
      } else {
        WirePending_ = true;
        ChainWires_ = 0;
      }
      WireStart_ = g;
      return;
    case maSolder:
      ClearSelection();
      if (SmdChosen_)
        AddSmdPad(g);
      else
        AddSolder(g);
      return;
    case maDelete:
      DeleteAt(raw);
      return;
    case maSelect:
      ClearSelection();
      Banding_ = true;
      BandStart_ = g;
      return;
    case maMove: {
      MoveButtonDown_ = true;
      DragAnchor_ = {WSub(raw.X, ViewOffset_.X), WSub(raw.Y, ViewOffset_.Y)};
      TPCBElement* e = ElementAt(raw);
      // A fill's corner is taken where no other copper lies over it: the corner alone moves.
      int32_t fill = -1;
      size_t corner = 0;
      if ((!e || e->Kind() == ekFill) && CornerAt(raw, fill, corner)) {
        CornerFill_ = fill;
        CornerIndex_ = corner;
        CornerPoint_ = static_cast<const TCopperFill&>(*Elements_->Items(fill)).Corners()[corner];
        ShowCornerFeedback();
        return;
      }
      if (e) {
        // Pressing on a selected element drags the whole selection; on another element, that
        // element alone.
        if (!e->Selected()) {
          UnselectAll();
          e->SetSelected(true);
          emit SelectionChanged();
          RenderBoard();
        }
        DragBaseValid_ = false;
        LastDragPoint_ = g;
        DragTotal_ = {0, 0};
        Dragging_ = true;
      } else {
        ClearSelection();
      }
      return;
    }
  }
}

void TPCBLayout::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    event->accept();
    MiddleDown_ = false;
    return;
  }
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  const TPoint g = ScreenToBoard(PixelOf(event));
  // A drag or pan ends with the button whatever the tool is now, so a tool changed from the
  // keyboard in mid-drag cannot leave the move tool believing the button is still down.
  MoveButtonDown_ = false;
  if (CornerFill_ >= 0) {
    EndCornerDrag(g);
    return;
  }
  const bool dragged = Dragging_;
  if (dragged) FinishDrag();
  if (MouseAction_ == maSelect && Banding_) {
    BandEnd_ = g;
    SelectInRect(BandStart_, BandEnd_);
    RenderBoard();
    Banding_ = false;
  } else if (MouseAction_ == maMove && !dragged) {
    RenderBoard();
  }
}

void TPCBLayout::mouseDoubleClickEvent(QMouseEvent* event) {
  // With the move tool a double click on a text opens it for editing. The first click has
  // selected it and ended its drag; no drag starts again, so nothing follows the pointer while
  // the user edits.
  if (event->button() == Qt::LeftButton && MouseAction_ == maMove) {
    const TPCBElement* e = ElementAt(PixelOf(event));
    if (e && (e->Kind() == ekText || e->Kind() == ekFill)) {
      event->accept();
      FinishDrag();
      MoveButtonDown_ = false;
      CornerFill_ = -1;
      const TElementList& list = *Elements_;
      for (int32_t i = list.Count() - 1; i >= 0; --i) {
        if (list.Items(i) != e) continue;
        if (e->Kind() == ekText)
          emit TextEditWanted(i);
        else
          emit FillEditWanted(i);
      }
      return;
    }
  }
  // The fill tool's first press of a double click placed the last corner; the second closes the
  // outline there.
  if (event->button() == Qt::LeftButton && MouseAction_ == maFill) {
    event->accept();
    CloseFill();
    return;
  }
  // The second press of a quick double click would end a wire where it starts, stack a second
  // pad on the first, or delete what lay under the deleted element, so the drawing tools take a
  // double click as one press. A band or a drag starts afresh with it, and the right button
  // still cancels, so a quick second press there is not lost.
  if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton ||
      MouseAction_ == maSelect || MouseAction_ == maMove) {
    mousePressEvent(event);
    return;
  }
  event->accept();
}
