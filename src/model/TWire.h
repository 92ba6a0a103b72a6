#pragma once

#include "TPCBElement.h"

// A straight copper track between two board points, 16 / WidthDivisor board units wide.
class TWire : public TPCBElement {
 public:
  TWire(TLayoutView* layout, TPoint start, TPoint end, int32_t widthDivisor)
      : TPCBElement(layout), StartPoint_(start), EndPoint_(end), WidthDivisor_(widthDivisor) {}

  TPoint StartPoint() const { return StartPoint_; }
  TPoint EndPoint() const { return EndPoint_; }
  int32_t WidthDivisor() const { return WidthDivisor_; }
  void SetStartPoint(TPoint p) { StartPoint_ = p; }
  void SetEndPoint(TPoint p) { EndPoint_ = p; }
  void SetWidthDivisor(int32_t d) { WidthDivisor_ = d; }

  // The divisor a wire line's fifth value gives: 0 and 1 read as 2, anything else as it stands.
  static int32_t ReadWidthDivisor(int32_t value) { return value == 0 || value == 1 ? 2 : value; }

  TElementKind Kind() const override { return ekWire; }
  std::string ToText() const override;
  bool HitTest(TPoint pixel) const override;
  bool InRect(const TRect& rect) const override;
  void Draw(TDrawMode mode) const override;
  void Move(int32_t dx, int32_t dy) override;
  std::unique_ptr<TPCBElement> Clone(TLayoutView* layout) const override;

 private:
  TPoint StartPoint_;
  TPoint EndPoint_;
  int32_t WidthDivisor_;
};
