#include "TWire.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "TBoardMath.h"
#include "TCanvas.h"
#include "TCopper.h"

std::string TWire::ToText() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d, %d, %d, %d, %d", StartPoint_.X, StartPoint_.Y, EndPoint_.X,
                EndPoint_.Y, WidthDivisor_);
  return buf;
}

bool TWire::HitTest(TPoint q) const {
  try {
    const TLayoutView& view = *Layout();
    const TPoint a = BoardToScreen(view, StartPoint_);
    const TPoint b = BoardToScreen(view, EndPoint_);
    // About half the drawn width, but never less than one pixel so thin wires stay pickable.
    const int32_t half = Div(StepPixels(view), WMul(2, WidthDivisor_));
    const double t = half == 0 ? 1.0 : half;
    if (a == b) return false;
    // The line through A and B as la x + lb y + lc = 0, formed in 32 bits as the board does.
    const int32_t la = WSub(a.Y, b.Y);
    const int32_t lb = WSub(b.X, a.X);
    const int32_t lc = WSub(WMul(WNeg(a.X), la), WMul(lb, a.Y));
    const double da = la, db = lb, dc = lc;
    const double d = std::fabs(q.X * da + q.Y * db + dc) / std::sqrt(da * da + db * db);
    const double qx = q.X, qy = q.Y;
    return d < t && qx >= std::min(a.X, b.X) - t && qx <= std::max(a.X, b.X) + t &&
           qy >= std::min(a.Y, b.Y) - t && qy <= std::max(a.Y, b.Y) + t;
  } catch (const EArithFault&) {
    return false;
  }
}

static bool PointIn(TPoint p, const TRect& r) {
  return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}

bool TWire::InRect(const TRect& rect) const {
  return PointIn(StartPoint_, rect) || PointIn(EndPoint_, rect);
}

void TWire::Draw(TDrawMode mode) const {
  try {
    TLayoutView& view = *Layout();
    if (mode == dmPrint) {
      TCanvas* canvas = view.PrinterCanvas();
      // The artwork is copper: a wire that makes none (a divisor below one) prints nothing.
      if (!canvas || CopperOf(*this).Empty()) return;
      canvas->SetPenColor(0);
      canvas->SetPenWidth(BoardToPrinter(view, Div(UnitsPerStep, WidthDivisor_)));
      canvas->MoveTo(BoardToPrinter(view, StartPoint_.X), BoardToPrinter(view, StartPoint_.Y));
      canvas->LineTo(BoardToPrinter(view, EndPoint_.X), BoardToPrinter(view, EndPoint_.Y));
      return;
    }
    const int32_t width = Div(StepPixels(view), WidthDivisor_);
    TCanvas& canvas = (Selected() || mode == dmNormal) ? view.BoardCanvas() : view.Canvas();
    canvas.SetPenColor(Selected() || mode == dmHighlight ? view.FocusColor() : view.WireColor());
    canvas.SetPenWidth(width);
    const TPoint a = BoardToScreen(view, StartPoint_);
    const TPoint b = BoardToScreen(view, EndPoint_);
    canvas.MoveTo(a.X, a.Y);
    canvas.LineTo(b.X, b.Y);
  } catch (const EArithFault&) {
    // A width that cannot be computed draws nothing.
  }
}

void TWire::Move(int32_t dx, int32_t dy) {
  StartPoint_ = {WAdd(StartPoint_.X, dx), WAdd(StartPoint_.Y, dy)};
  EndPoint_ = {WAdd(EndPoint_.X, dx), WAdd(EndPoint_.Y, dy)};
}

std::unique_ptr<TPCBElement> TWire::Clone(TLayoutView* layout) const {
  auto copy = std::make_unique<TWire>(layout, StartPoint_, EndPoint_, WidthDivisor_);
  copy->SetSelected(Selected());
  return copy;
}
