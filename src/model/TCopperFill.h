#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TFill.h"
#include "TPCBElement.h"

class TElementList;

// A copper fill as the user draws it: an outline of grid points, a seed, and its settings. Its
// copper (see ComputeFill) depends on the whole board and is never stored: UpdateFills works it
// out again for every fill after any change to the board, and Areas() holds what it found.
//
// The seed is a board point, the place of the element that was selected when the fill was drawn
// (a pad's centre, a wire's start): the fill joins the island of the copper that touches that
// point, usually the ground. A fill without a seed, or whose seed lies on no copper, joins
// nothing.
//
// A quarter turn or a mirror of the screen turns or mirrors every corner and the seed; a move
// moves them. The fill's own copper follows, being worked out again.
class TCopperFill : public TPCBElement {
 public:
  static constexpr size_t MinCorners = 3, MaxCorners = 4096;

  TCopperFill(TLayoutView* layout, std::vector<TPoint> corners, bool hasSeed, TPoint seed,
              const TFillSettings& settings);

  const std::vector<TPoint>& Corners() const { return Corners_; }
  bool HasSeed() const { return HasSeed_; }
  TPoint Seed() const { return Seed_; }
  const TFillSettings& Settings() const { return Settings_; }
  void SetCorners(std::vector<TPoint> corners);
  void SetCorner(size_t i, TPoint p);
  void SetSeed(bool hasSeed, TPoint seed);
  void SetSettings(const TFillSettings& settings);

  // Whether the fields make a fill this version keeps: MinCorners to MaxCorners corners, settings
  // each 0 to 100 mm.
  static bool Valid(const std::vector<TPoint>& corners, const TFillSettings& settings);

  // The copper UpdateFills last found, and the island it joined (NoFillSeed for none; then
  // the check says the fill joins nothing).
  const std::vector<TFillArea>& Areas() const { return Areas_; }
  int32_t SeedIsland() const { return SeedIsland_; }
  void SetAreas(std::vector<TFillArea> areas, int32_t seedIsland) const;

  TElementKind Kind() const override { return ekFill; }
  // The record line "@FILL seeded, sx, sy, clearance, minwidth, thermalgap, spokewidth, keep, n,
  // x1, y1, ..., xn, yn" (see TPcbText.h).
  std::string ToText() const override;
  // Inside the outline (even-odd), at the view's scale; the editor tries every other element
  // first, so a fill is hit only where no other copper is.
  bool HitTest(TPoint pixel) const override;
  // Every corner inside the rectangle.
  bool InRect(const TRect& rect) const override;
  // Its areas: on the screen in the fill colour, under the other copper, so that the gaps
  // around that copper show; on the printer page black, holes and gaps white.
  void Draw(TDrawMode mode) const override;
  void Move(int32_t dx, int32_t dy) override;
  std::unique_ptr<TPCBElement> Clone(TLayoutView* layout) const override;

 private:
  std::vector<TPoint> Corners_;
  bool HasSeed_;
  TPoint Seed_;
  TFillSettings Settings_;
  mutable std::vector<TFillArea> Areas_;
  mutable int32_t SeedIsland_ = NoFillSeed;
};

// Works out the copper of every fill on the board, when the board has changed (its Generation)
// since the last time; does nothing on a board without fills. Every reader of a fill's copper
// (drawing, printing, fabrication, the check, Select Connected) calls it first. Fills are worked
// out from the copper that is not fill, each on its own.
void UpdateFills(const TElementList& list);
