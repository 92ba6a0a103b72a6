#include "TSmdPad.h"

#include <algorithm>
#include <cstdio>

#include "TBoardMath.h"
#include "TCanvas.h"
#include "TSolder.h"

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

bool TSmdPad::HitTest(TPoint q) const {
  const TLayoutView& view = *Layout();
  const int32_t p = StepPixels(view);
  const TPoint c = BoardToScreen(view, Center_);
  const int64_t rx = int64_t{WMul(p, Width_)} / (2 * UnitsPerStep);
  const int64_t ry = int64_t{WMul(p, Height_)} / (2 * UnitsPerStep);
  return Abs64(int64_t{q.X} - c.X) <= rx && Abs64(int64_t{q.Y} - c.Y) <= ry;
}

bool TSmdPad::InRect(const TRect& rect) const {
  return rect.Left <= Center_.X && Center_.X <= rect.Right && rect.Top <= Center_.Y &&
         Center_.Y <= rect.Bottom;
}

void TSmdPad::Draw(TDrawMode mode) const {
  TLayoutView& view = *Layout();
  if (Width_ <= 0 || Height_ <= 0) return;
  if (mode == dmPrint) {
    TCanvas* canvas = view.PrinterCanvas();
    if (!canvas) return;
    canvas->SetPenWidth(1);
    canvas->SetPenColor(0);
    canvas->SetBrushColor(0);
    const int32_t x = BoardToPrinter(view, Center_.X), y = BoardToPrinter(view, Center_.Y);
    const int32_t rx = BoardToPrinter(view, Width_ / 2), ry = BoardToPrinter(view, Height_ / 2);
    canvas->FillRect(WSub(x, rx), WSub(y, ry), WAdd(x, rx), WAdd(y, ry));
    return;
  }
  const int32_t p = StepPixels(view);
  const TPoint c = BoardToScreen(view, Center_);
  TCanvas& canvas = (Selected() || mode == dmNormal) ? view.BoardCanvas() : view.Canvas();
  const TColor colour = Selected() || mode == dmHighlight ? view.FocusColor() : view.SolderColor();
  canvas.SetPenColor(colour);
  canvas.SetBrushColor(colour);
  canvas.SetPenWidth(1);
  const int32_t rx = TSolder::ScreenRadius(p, Width_), ry = TSolder::ScreenRadius(p, Height_);
  canvas.FillRect(WSub(c.X, rx), WSub(c.Y, ry), WAdd(c.X, rx), WAdd(c.Y, ry));
}

void TSmdPad::Move(int32_t dx, int32_t dy) { Center_ = {WAdd(Center_.X, dx), WAdd(Center_.Y, dy)}; }

std::unique_ptr<TPCBElement> TSmdPad::Clone(TLayoutView* layout) const {
  auto copy = std::make_unique<TSmdPad>(layout, Center_, Width_, Height_, Roundness_);
  copy->SetSelected(Selected());
  return copy;
}
