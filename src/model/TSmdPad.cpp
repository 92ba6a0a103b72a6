#include "TSmdPad.h"

#include <algorithm>
#include <cstdio>

#include "TBoardMath.h"
#include "TCanvas.h"

int32_t TSmdPad::CornerRadius() const {
  const int64_t side = std::min<int64_t>(Width_, Height_);
  if (side <= 0) return 0;
  const int64_t share = std::clamp<int64_t>(Roundness_, 0, MaxRoundness);
  return static_cast<int32_t>(side * share / 100);
}

std::string TSmdPad::ToText() const {
  char buf[80];
  std::snprintf(buf, sizeof buf, "@SMD %d, %d, %d, %d, %d", Center_.X, Center_.Y, Width_, Height_,
                Roundness_);
  return buf;
}

TSmdPad::TPixels TSmdPad::Pixels(int32_t p, TPoint offset) const {
  TPixels px;
  px.Center = {ShownAt(Center_.X, p, offset.X), ShownAt(Center_.Y, p, offset.Y)};
  // The whole sides at the view's scale, so that a pad an odd number of pixels across keeps its
  // size; the extra pixel goes right and down of the centre.
  const int32_t w = WMul(p, Width_) / UnitsPerStep, h = WMul(p, Height_) / UnitsPerStep;
  px.Left = WSub(px.Center.X, w / 2);
  px.Top = WSub(px.Center.Y, h / 2);
  px.Right = WAdd(px.Left, w);
  px.Bottom = WAdd(px.Top, h);
  px.Radius = WMul(p, CornerRadius()) / UnitsPerStep;
  return px;
}

bool TSmdPad::TPixels::Covers(TPoint q) const {
  if (q == Center) return true;
  int64_t x0, x1;
  return TCanvas::RoundRectRow(Left, Top, Right, Bottom, Radius, q.Y, x0, x1) && x0 <= q.X &&
         q.X <= x1;
}

bool TSmdPad::HitTest(TPoint q) const {
  const TLayoutView& view = *Layout();
  return Pixels(StepPixels(view), view.ViewOffset()).Covers(q);
}

bool TSmdPad::InRect(const TRect& rect) const {
  return rect.Left <= Center_.X && Center_.X <= rect.Right && rect.Top <= Center_.Y &&
         Center_.Y <= rect.Bottom;
}

void TSmdPad::Draw(TDrawMode mode) const {
  TLayoutView& view = *Layout();
  if (Width_ <= 0 || Height_ <= 0) return;
  if (mode == dmPrint) {
    TCanvas* canvas = BlackPrinterCanvas(view);
    if (!canvas) return;
    // True size: the sides and corners in printer dots, around the centre's dot.
    const int32_t x = BoardToPrinter(view, Center_.X), y = BoardToPrinter(view, Center_.Y);
    const int32_t w = BoardToPrinter(view, Width_), h = BoardToPrinter(view, Height_);
    const int32_t left = WSub(x, w / 2), top = WSub(y, h / 2);
    canvas->RoundRect(left, top, WAdd(left, w), WAdd(top, h), BoardToPrinter(view, CornerRadius()));
    return;
  }
  const TPixels px = Pixels(StepPixels(view), view.ViewOffset());
  // Selected pads and the one under the pointer show in the focus colour, as through-hole pads.
  TCanvas& canvas = (Selected() || mode == dmNormal) ? view.BoardCanvas() : view.Canvas();
  const TColor colour = Selected() || mode == dmHighlight ? view.FocusColor() : view.SolderColor();
  canvas.SetPenColor(colour);
  canvas.SetBrushColor(colour);
  canvas.SetPenWidth(1);
  canvas.RoundRect(px.Left, px.Top, px.Right, px.Bottom, px.Radius);
}

void TSmdPad::Move(int32_t dx, int32_t dy) { Center_ = {WAdd(Center_.X, dx), WAdd(Center_.Y, dy)}; }

std::unique_ptr<TPCBElement> TSmdPad::Clone(TLayoutView* layout) const {
  auto copy = std::make_unique<TSmdPad>(layout, Center_, Width_, Height_, Roundness_);
  copy->SetSelected(Selected());
  return copy;
}
