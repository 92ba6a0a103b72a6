#pragma once

#include <memory>
#include <string>

#include "TBoardMath.h"
#include "TLayoutView.h"
#include "TTypes.h"

class TElementList;

// One element of the board, a wire or a pad. The element list owns every element; the element
// keeps a reference to the control whose view settings, colours and surfaces it uses.
class TPCBElement {
 public:
  virtual ~TPCBElement() = default;

  bool Selected() const { return Selected_; }
  void SetSelected(bool selected) { Selected_ = selected; }
  TLayoutView* Layout() const { return Layout_; }

  virtual TElementKind Kind() const = 0;
  bool IsWire() const { return Kind() == ekWire; }
  // Whether the element has a line in the classic "*Solder*" or "*Wire*" sections; the other
  // kinds are written as records that a classic reader passes over.
  bool IsClassic() const { return Kind() == ekWire || Kind() == ekSolder; }
  // The element's text line: for wires and pads five integers joined by ", ", for the other
  // kinds their record line; without a line end.
  virtual std::string ToText() const = 0;
  // Whether the control pixel lies on the element as it is drawn on the screen.
  virtual bool HitTest(TPoint pixel) const = 0;
  // Whether the element lies in the board rectangle (all four bounds inclusive).
  virtual bool InRect(const TRect& rect) const = 0;
  virtual void Draw(TDrawMode mode) const = 0;
  // Adds an offset in board units to every point, wrapping at 32 bits.
  virtual void Move(int32_t dx, int32_t dy) = 0;
  virtual std::unique_ptr<TPCBElement> Clone(TLayoutView* layout) const = 0;

 protected:
  explicit TPCBElement(TLayoutView* layout) : Layout_(layout) {}

 private:
  TLayoutView* Layout_;
  bool Selected_ = false;
};

// Pixel length of one base step on the screen: CellSize times the grid step's divisor.
int32_t StepPixels(const TLayoutView& view);
// Where a board point is shown on the control (products in 32 bits, truncated toward zero).
TPoint BoardToScreen(const TLayoutView& view, TPoint p);
// The same for one coordinate, with the step's pixel length worked out once for a whole walk
// over the board.
inline int32_t ShownAt(int32_t v, int32_t stepPixels, int32_t offset) {
  return WAdd(WMul(v, stepPixels) / UnitsPerStep, offset);
}
// A board coordinate or length in printer dots: V x dpi / 160, truncated toward zero, so one
// 0.1 inch step prints as 2.54 mm whatever the printer's margins.
int32_t BoardToPrinter(const TLayoutView& view, int32_t v);
// The printer page with a one-dot pen and pen and brush black, for a land; none between pages.
TCanvas* BlackPrinterCanvas(TLayoutView& view);
