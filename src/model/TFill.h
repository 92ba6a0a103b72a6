#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "TCopper.h"
#include "TTypes.h"

// A copper fill: the copper left on the board inside an outline the user draws, around all the
// other copper, joined to one island (usually the ground) and etched away everywhere else. Its
// copper is worked out here from its outline, its seed island, its settings and the rest of the
// board; it is never stored. Everything here is in nanometres, whole numbers, so that a fill can
// be measured against the board's copper exactly: a board unit is 158,750 nm, a half unit 79,375.

constexpr int64_t NanometresPerHalfUnit = NanometresPerUnit / 2;

// How far a curve drawn as a polygon may stray from the true curve: 0.01 mm. The fill always errs
// on the side of less copper, so that its gaps are never narrower than they are set.
constexpr int64_t FillCurveTolerance = 10000;

// The settings of one fill, in nanometres; the defaults suit etching at home. The fill takes each
// length as zero below zero and as 100 mm above that.
struct TFillSettings {
  // The gap the fill keeps around copper it does not join, and around every drill hole.
  int64_t Clearance = 500000;
  // Copper of the fill thinner than this is left out, so that the etch never leaves slivers that
  // lift off the board.
  int64_t MinimumWidth = 300000;
  // The ring of bare board around a pad the fill joins, which keeps the pad easy to solder: the
  // fill would draw the heat away from the iron.
  int64_t ThermalGap = 500000;
  // The width of the four spokes (up, down, left, right) that cross that ring; never drawn
  // thinner than the minimum width.
  int64_t SpokeWidth = 500000;
  // Keep the parts of the fill that join nothing: a fill then only saves etchant.
  bool KeepIslands = false;

  friend bool operator==(const TFillSettings& a, const TFillSettings& b) {
    return a.Clearance == b.Clearance && a.MinimumWidth == b.MinimumWidth &&
           a.ThermalGap == b.ThermalGap && a.SpokeWidth == b.SpokeWidth &&
           a.KeepIslands == b.KeepIslands;
  }
};

// A point in nanometres, x to the right and y downwards as on the board.
struct TFillPoint {
  int64_t X = 0, Y = 0;
  friend bool operator==(const TFillPoint& a, const TFillPoint& b) {
    return a.X == b.X && a.Y == b.Y;
  }
};
// A closed path: the last point joins the first.
using TFillPath = std::vector<TFillPoint>;

// One connected piece of the fill's copper: its outer edge and the holes in it. The outer path
// runs clockwise as the board is shown (its shoelace sum, x[i] y[i+1] - x[i+1] y[i], is positive
// with y growing downwards), each hole the other way. Areas never overlap one another, holes lie
// inside their outer path and do not overlap, and no path crosses itself.
struct TFillArea {
  TFillPath Outer;
  std::vector<TFillPath> Holes;
};

// A piece of the board's copper (half board units, as the check knows it) with its island.
struct TFillPiece {
  TCopperShape Shape;
  int32_t Island = 0;
};

constexpr int32_t NoFillSeed = -1;

// The fill's copper: the outline (corners in board units, in order, closed by the last corner
// joining the first; either way round; a figure that crosses itself fills every loop) less every
// piece of another island grown by the clearance, and less every drill hole grown by the
// clearance. The seed island's wires, text and surface-mount pads lie under the fill, which keeps
// no gap to them; its through-hole pads (round and square) sit in a ring of the thermal gap,
// crossed by four spokes from the edge of the pad's hole (up, down, left and right; the fill never
// covers a drill), each kept only where
// it clears all other copper and every other hole by the clearance, stays inside the outline,
// and runs into fill at least the minimum width wide. Parts thinner than the minimum width are
// left out (outward corners come rounded to half of it), and so are the areas that do not touch
// the seed island's copper, unless the settings keep them; with no seed island, NoFillSeed,
// every area joins nothing. The fill's copper is its own: the seed's copper it lies over is not
// in it.
std::vector<TFillArea> ComputeFill(const std::vector<TPoint>& outline,
                                   const TFillSettings& settings,
                                   const std::vector<TFillPiece>& pieces, int32_t seedIsland);

// The same polygon work on areas: grown by DELTA nanometres all round (shrunk when it is below
// zero) with round corners within the curve tolerance, and the copper of A that is not in B.
std::vector<TFillArea> FillOffset(const std::vector<TFillArea>& areas, int64_t delta);
std::vector<TFillArea> FillDifference(const std::vector<TFillArea>& a,
                                      const std::vector<TFillArea>& b);
// The copper of the pieces (half units, as the board has them) and of the fill areas, all grown
// by DELTA nanometres, as one set of areas. Curves come as polygons that never cut into the true
// grown edge and stand at most TOLERANCE beyond it: a bit that follows these edges keeps at
// least DELTA from every copper.
std::vector<TFillArea> GrownCopper(const std::vector<TCopperShape>& pieces,
                                   const std::vector<TFillArea>& fills, int64_t delta,
                                   int64_t tolerance);

// Exact distances between a fill and the board's copper, decided in whole numbers like
// CopperTouches and CopperCloser. Built once from the fill's areas (their edges sorted into a
// grid), then asked about as many pieces as the board has.
class TFillMeasure {
 public:
  explicit TFillMeasure(const std::vector<TFillArea>& areas);
  ~TFillMeasure();
  TFillMeasure(const TFillMeasure&) = delete;
  TFillMeasure& operator=(const TFillMeasure&) = delete;

  // Whether the fill's copper comes closer than gapNm to the piece (a gap of exactly that
  // passes; copper that overlaps is closer than any gap).
  bool Closer(const TCopperShape& piece, int64_t gapNm) const;
  // Whether the fill's copper touches or overlaps the piece.
  bool Touches(const TCopperShape& piece) const;
  // The areas, by their place in the list, that touch or overlap the piece, ascending.
  std::vector<int32_t> AreasTouching(const TCopperShape& piece) const;
  // Whether a point lies in the fill's copper: inside an area and not in one of its holes. A
  // point on an edge may count either way.
  bool Inside(TFillPoint p) const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> Impl_;
};

// The sign of the distance between a piece of copper and, in nanometres, a straight edge of no
// width from A to B (EdgeGapSign) or the axis-aligned rectangle of half sides HX and HY around C
// (BoxGapSign), less gapNm: below zero when they come closer than the gap, zero at exactly the
// gap. Decided exactly, as CopperCloser decides; an empty piece is always far.
int EdgeGapSign(TFillPoint a, TFillPoint b, const TCopperShape& piece, int64_t gapNm);
int BoxGapSign(TFillPoint c, int64_t hx, int64_t hy, const TCopperShape& piece, int64_t gapNm);
