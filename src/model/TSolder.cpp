#include "TSolder.h"

#include <cmath>
#include <cstdio>

#include "TBoardMath.h"
#include "TCanvas.h"
#include "TCopper.h"

std::string TSolder::ToText() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d, %d, %d, %d, %u", Center_.X, Center_.Y, InternalDiameter_,
                ExternalDiameter_, static_cast<unsigned>(Geometry_));
  return buf;
}

bool TSolder::HitTest(TPoint q) const {
  const TLayoutView& view = *Layout();
  const TPoint c = BoardToScreen(view, Center_);
  const int32_t r = ScreenRadius(StepPixels(view), ExternalDiameter_);
  if (IsSquare()) {
    return WSub(c.X, r) <= q.X && q.X <= WAdd(c.X, r) && WSub(c.Y, r) <= q.Y && q.Y <= WAdd(c.Y, r);
  }
  // The pointer over the hole still hits the pad.
  const int32_t dx = WSub(q.X, c.X), dy = WSub(q.Y, c.Y);
  const int32_t squares = WAdd(WMul(dx, dx), WMul(dy, dy));
  return std::sqrt(static_cast<double>(squares)) <= r;
}

bool TSolder::InRect(const TRect& rect) const {
  return rect.Left <= Center_.X && Center_.X <= rect.Right && rect.Top <= Center_.Y &&
         Center_.Y <= rect.Bottom;
}

void TSolder::Draw(TDrawMode mode) const {
  TLayoutView& view = *Layout();
  auto land = [this](TCanvas& canvas, TPoint c, int32_t r) {
    if (IsSquare())
      canvas.FillRect(WSub(c.X, r), WSub(c.Y, r), WAdd(c.X, r), WAdd(c.Y, r));
    else
      canvas.Ellipse(WSub(c.X, r), WSub(c.Y, r), WAdd(c.X, r), WAdd(c.Y, r));
  };
  auto hole = [](TCanvas& canvas, TPoint c, int32_t h) {
    canvas.Ellipse(WSub(c.X, h), WSub(c.Y, h), WAdd(c.X, h), WAdd(c.Y, h));
  };
  if (mode == dmPrint) {
    TCanvas* canvas = BlackPrinterCanvas(view);
    if (!canvas) return;
    const TPoint c{BoardToPrinter(view, Center_.X), BoardToPrinter(view, Center_.Y)};
    // The artwork is copper and holes: a negative size prints neither.
    const TCopperShape copper = CopperOf(*this);
    if (!copper.Empty()) land(*canvas, c, BoardToPrinter(view, ExternalDiameter_ / 2));
    if (copper.HoleRadius == 0) return;
    // On paper the hole is always drawn, so the drill finds its centre however small it is.
    canvas->SetPenColor(0xFFFFFF);
    canvas->SetBrushColor(0xFFFFFF);
    hole(*canvas, c, canvas->HoleRadius(BoardToPrinter(view, InternalDiameter_ / 2)));
    return;
  }
  const int32_t p = StepPixels(view);
  const TPoint c = BoardToScreen(view, Center_);
  TCanvas& canvas = (Selected() || mode == dmNormal) ? view.BoardCanvas() : view.Canvas();
  const TColor colour = Selected() || mode == dmHighlight ? view.FocusColor() : view.SolderColor();
  canvas.SetPenColor(colour);
  canvas.SetBrushColor(colour);
  canvas.SetPenWidth(1);
  land(canvas, c, ScreenRadius(p, ExternalDiameter_));
  // A hole under two pixels across would only speckle the pad at small scales.
  const int32_t h = ScreenRadius(p, InternalDiameter_);
  if (h < 2) return;
  canvas.SetPenColor(view.Color());
  canvas.SetBrushColor(view.Color());
  hole(canvas, c, h);
}

void TSolder::Move(int32_t dx, int32_t dy) { Center_ = {WAdd(Center_.X, dx), WAdd(Center_.Y, dy)}; }

std::unique_ptr<TPCBElement> TSolder::Clone(TLayoutView* layout) const {
  auto copy =
      std::make_unique<TSolder>(layout, Center_, InternalDiameter_, ExternalDiameter_, Geometry_);
  copy->SetSelected(Selected());
  return copy;
}
