#include "TPCBElement.h"

#include "TBoardMath.h"
#include "TCanvas.h"

int32_t StepPixels(const TLayoutView& view) {
  return WMul(view.CellSize(), StepDivisorOf(view.GridStep()));
}

TPoint BoardToScreen(const TLayoutView& view, TPoint p) {
  const int32_t scale = StepPixels(view);
  const TPoint offset = view.ViewOffset();
  return {ShownAt(p.X, scale, offset.X), ShownAt(p.Y, scale, offset.Y)};
}

int32_t BoardToPrinter(const TLayoutView& view, int32_t v) {
  return Wrap32(static_cast<int64_t>(v) * view.PrinterResolution() / UnitsPerInch);
}

TCanvas* BlackPrinterCanvas(TLayoutView& view) {
  TCanvas* canvas = view.PrinterCanvas();
  if (!canvas) return nullptr;
  canvas->SetPenWidth(1);
  canvas->SetPenColor(0);
  canvas->SetBrushColor(0);
  return canvas;
}
