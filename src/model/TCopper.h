#pragma once

#include <cstdint>

#include "TTypes.h"

class TPCBElement;

enum TCopperKind : uint8_t { ckEmpty, ckTrack, ckRound, ckSquare };

// The copper an element leaves on the etched board, as the printed artwork draws it: a wire is a
// track with round ends, 16 div WidthDivisor board units wide (a hairline when that is zero or
// less); a pad is a disc or a square of its external diameter. The hole is not taken out: a wire
// that ends over the drill still meets the ring around it. Empty where nothing is printed (a
// width divisor of zero, a pad of no size, a hairline of no length).
//
// Coordinates and sizes are kept in half board units, so that half widths and half diameters are
// whole numbers and every comparison before the last square root is exact.
struct TCopperShape {
  TCopperKind Kind = ckEmpty;
  // A track's two ends; a pad's centre in both.
  int64_t AX = 0, AY = 0, BX = 0, BY = 0;
  // Half a track's width, half a round pad's diameter, half a square pad's side.
  int64_t Radius = 0;

  bool Empty() const { return Kind == ckEmpty; }
};

// Where two pieces of copper come closest: the distance between them in board units (zero when
// they touch, less than zero when they overlap, by how much), and the middle of the gap on the
// board, in board units.
struct TCopperGap {
  long double Distance = 0;
  long double X = 0, Y = 0;
};

TCopperShape CopperOf(const TPCBElement& element);
// Exact for every pair of shapes, up to the last square root.
TCopperGap CopperGap(const TCopperShape& a, const TCopperShape& b);
// The distance from a board point (in half units) to the copper, less than zero inside it.
long double CopperDistance(const TCopperShape& shape, int64_t x2, int64_t y2);
// A wire's printed width in board units, never below zero; -1 when it cannot be worked out.
int32_t PrintedWidth(int32_t widthDivisor);
