#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TElementList.h"

// The copper of a board as a board house makes it, in whole nanometres: a board unit is exactly
// 158 750 nm (1/160 inch), so every size and place below is exact. Y grows down the board, as on
// the screen; the fabrication files turn it round.

struct TPadShape {
  int64_t X, Y;   // the centre
  int64_t Outer;  // the land's diameter or side
  bool Square;
  int32_t HoleUnits;  // the drill's diameter in board units, 0 or less for none
};

struct TWireShape {
  int64_t X0, Y0, X1, Y1;
  int64_t Width;  // the printed width, 16 div WidthDivisor board units, round at both ends
};

struct TCopperShapes {
  std::vector<TWireShape> Wires;
  std::vector<TPadShape> Pads;
  // The text lines of the elements that cannot be made (a size of zero or less, a fault in the
  // arithmetic of their fields, or a place beyond what the files can hold), in list order.
  std::vector<std::string> LeftOut;

  bool Empty() const { return Wires.empty() && Pads.empty(); }
  // The board's edge: 2.54 mm outside the extent of all copper (pad edges, wire ends plus half
  // their width); left > right on a board without copper.
  int64_t Left = 1, Top = 1, Right = 0, Bottom = 0;
};

// One walk over the board, in list order.
TCopperShapes CollectCopper(const TElementList& list);

// How far the board's edge lies outside its copper.
constexpr int64_t OutlineMarginNm = 2540000;
