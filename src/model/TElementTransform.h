#pragma once

#include <vector>

#include "TElementList.h"

// Turning a part round and over: a quarter turn clockwise on the screen (y grows downwards), its
// way back, and a mirror that swaps left and right. Every one maps the board grid onto itself
// and is undone exactly by its inverse, in wrapping 32-bit arithmetic, whatever the coordinates.
enum TTurn : uint8_t { tnRotate, tnRotateBack, tnMirror };

inline TTurn InverseTurn(TTurn turn) {
  return turn == tnRotate ? tnRotateBack : turn == tnRotateBack ? tnRotate : tnMirror;
}

// Where the point goes under the turn about the pivot.
TPoint TurnPoint(TPoint p, TPoint pivot, TTurn turn);

// Turns one element about the pivot: both ends of a wire, the centre of a pad (round and square
// pads look the same either way), and a quarter turn swaps a surface-mount pad's width and height.
// A text's anchor goes with the pivot and its letters turn, or change side under a mirror. A
// fill's corners and seed go with the pivot.
// The caller reports the change to the list.
void TurnElement(TPCBElement& element, TPoint pivot, TTurn turn);

// Grows the rectangle to hold the element's points: a pad's centre (of either kind), a wire's two
// ends, a text's anchor (which turns exactly, where its rounded strokes would not), a fill's
// corners.
void WidenToPoints(const TPCBElement& element, TRect& r);

// The smallest rectangle holding the points (as above) of the listed elements; false
// for none.
bool PointsExtent(const TElementList& list, const std::vector<int32_t>& indices, TRect& extent);

// The point of a grid of Grid board units nearest the centre of the extent. When the centre lies
// halfway between grid points, the tie goes to the point whose grid column and row add up to an
// even number, and between four points to the one in an even column and an even row. Turned
// about that point, the extent's centre stays nearest to it, so every later turn of the same
// elements finds the same pivot and four quarter turns, or two mirrors, give the board back.
TPoint TurnPivot(const TRect& extent, int32_t grid);
