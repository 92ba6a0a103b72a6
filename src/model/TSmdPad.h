#pragma once

#include "TPCBElement.h"

// A surface-mount pad: a rectangle of copper with no hole, Width across and Height down in board
// units, its corners rounded by Roundness percent of the smaller side (0 square corners, 50 an
// oblong, whose short ends are half discs). It sits on the copper side like every other copper.
// A quarter turn swaps Width and Height about the centre; a mirror leaves the shape as it is.
class TSmdPad : public TPCBElement {
 public:
  static constexpr int32_t MaxRoundness = 50;

  TSmdPad(TLayoutView* layout, TPoint center, int32_t width, int32_t height, int32_t roundness)
      : TPCBElement(layout),
        Center_(center),
        Width_(width),
        Height_(height),
        Roundness_(roundness) {}

  TPoint Center() const { return Center_; }
  int32_t Width() const { return Width_; }
  int32_t Height() const { return Height_; }
  // Percent of the smaller side, as stored; CornerRadius() is what the copper makes of it.
  int32_t Roundness() const { return Roundness_; }
  void SetCenter(TPoint p) { Center_ = p; }
  void SetWidth(int32_t w) { Width_ = w; }
  void SetHeight(int32_t h) { Height_ = h; }
  void SetRoundness(int32_t r) { Roundness_ = r; }

  // The corner radius in board units: Roundness (held within 0 to 50) percent of the smaller
  // side, rounded down to whole units; 0 for a pad of no size.
  int32_t CornerRadius() const;

  // Where the pad shows on the screen with P pixels to the base step: the box Left to Right and
  // Top to Bottom (right column and bottom row left out) P / 16 pixels to the board unit around
  // the centre's pixel, the corners' radius in pixels, and that centre pixel, which always hits
  // the pad however small it shows.
  struct TPixels {
    int32_t Left, Top, Right, Bottom, Radius;
    TPoint Center;
    bool Covers(TPoint pixel) const;
  };
  TPixels Pixels(int32_t stepPixels, TPoint viewOffset) const;

  TElementKind Kind() const override { return ekSmdPad; }
  // The record line "@SMD x, y, width, height, roundness".
  std::string ToText() const override;
  bool HitTest(TPoint pixel) const override;
  bool InRect(const TRect& rect) const override;
  void Draw(TDrawMode mode) const override;
  void Move(int32_t dx, int32_t dy) override;
  std::unique_ptr<TPCBElement> Clone(TLayoutView* layout) const override;

 private:
  TPoint Center_;
  int32_t Width_;
  int32_t Height_;
  int32_t Roundness_;
};
