#pragma once

#include <cstdint>
#include <vector>

#include "TTypes.h"

class TPCBElement;

enum TCopperKind : uint8_t { ckNone, ckTrack, ckRound, ckSquare, ckRect };

// What copper an element makes: the one answer that the printed artwork, the fabrication files,
// the spatial index, Select Connected and the board check all read.
//
// A wire is a track with round ends as wide as it prints, 16 div WidthDivisor board units. A
// divisor above 16 gives width 0, a hairline that the artwork prints one printer dot wide
// whatever the resolution: here it is copper of width 0 (its centre line, touching what that
// line touches), which the width rule flags and Gerber draws with its thinnest aperture, so that
// a board house sees the same hairline the artwork shows instead of losing the connection. A
// divisor of zero or less makes no copper (the board gives a negative divisor no meaning), and
// neither does a hairline of no length, which prints nothing.
//
// A pad is a disc or a square of radius ExternalDiameter div 2 whole board units, as the artwork
// draws it: an odd size makes copper one unit smaller than its number (13 makes a pad 12 across),
// in every output alike, and a size below 2 makes none, as it prints none.
//
// A surface-mount pad is a rectangle Width by Height board units around its centre, exactly, with
// its corners rounded by CornerRadius: a core rectangle shrunk by the corner radius on every side,
// grown again by it all round. A square-cornered one is the core itself, and a pad with no width
// or no height makes no copper. It has no hole.
//
// A pad's hole is drilled InternalDiameter across, none when that is zero or less, whether or not
// the pad makes copper (a pad of no size with a hole is a bare hole). The artwork marks it white
// at radius InternalDiameter div 2 (an odd hole half a unit smaller all round, the drill makes the
// rest), however small. The hole takes copper away but not connections: a wire that ends over
// the drill still meets the ring around it.
//
// Coordinates and sizes are kept in half board units, so that half widths are whole numbers and
// every decision about touching is exact.
struct TCopperShape {
  TCopperKind Kind = ckNone;
  // A track's two ends; a pad's centre in both. Kept for an element that makes no copper too, so
  // that the check can point at it.
  int64_t AX = 0, AY = 0, BX = 0, BY = 0;
  // Half a track's width, half a round pad's diameter, half a square pad's side, a rectangle's
  // corner radius (how far its copper reaches beyond its core).
  int64_t Radius = 0;
  // A rectangle's core around A: half its width and half its height less the corner radius.
  int64_t HalfX = 0, HalfY = 0;
  // Half the drill's diameter, which in half units is the hole's size in board units; 0 for none.
  int64_t HoleRadius = 0;

  bool Empty() const { return Kind == ckNone; }
};

// A box in half board units, all bounds inclusive.
struct THalfBox {
  int64_t Left = 1, Top = 1, Right = 0, Bottom = 0;
  bool Empty() const { return Left > Right; }
};

// The copper of an element that makes one piece: a wire or a pad of either kind.
TCopperShape CopperOf(const TPCBElement& element);
// Every piece of copper the element makes, appended to OUT: the one piece of a wire or a pad (an
// empty one too, which keeps its place for the check to point at), a track a stroke for text.
void AppendCopperOf(const TPCBElement& element, std::vector<TCopperShape>& out);
// The box of the copper and, with the hole, of a pad's hole as well (which is painted over
// whatever lies beneath and drilled); empty when there is neither.
THalfBox ExtentOf(const TCopperShape& shape, bool withHole);

// Decided exactly, in whole numbers: whether two pieces of copper touch or overlap, and whether
// they come closer than a gap of so many nanometres (a gap of exactly that passes; copper that
// touches is closer than any gap above zero).
bool CopperTouches(const TCopperShape& a, const TCopperShape& b);
bool CopperCloser(const TCopperShape& a, const TCopperShape& b, int64_t gapNm);
// A disc of copper of the given radius around a point, all in half units: a wire's end.
TCopperShape CopperDisc(int64_t x2, int64_t y2, int64_t radius);

// Where two pieces of copper come closest, for showing the user: the distance between them in
// board units (zero when they touch, less than zero when they overlap, by how much), and the
// middle of the gap, in board units. Floating point: whether they touch is CopperTouches' answer.
struct TCopperGap {
  long double Distance = 0;
  long double X = 0, Y = 0;
};
TCopperGap CopperGap(const TCopperShape& a, const TCopperShape& b);
