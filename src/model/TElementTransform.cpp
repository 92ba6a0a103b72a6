#include "TElementTransform.h"

#include <algorithm>

#include "TBoardMath.h"
#include "TCopperFill.h"
#include "TCopperText.h"
#include "TSmdPad.h"

TPoint TurnPoint(TPoint p, TPoint pivot, TTurn turn) {
  const int32_t dx = WSub(p.X, pivot.X), dy = WSub(p.Y, pivot.Y);
  switch (turn) {
    case tnRotate:
      // Right of the pivot goes below it, below goes left.
      return {WSub(pivot.X, dy), WAdd(pivot.Y, dx)};
    case tnRotateBack:
      return {WAdd(pivot.X, dy), WSub(pivot.Y, dx)};
    case tnMirror:
      break;
  }
  return {WSub(pivot.X, dx), p.Y};
}

void TurnElement(TPCBElement& element, TPoint pivot, TTurn turn) {
  switch (element.Kind()) {
    case ekWire: {
      auto& wire = static_cast<TWire&>(element);
      wire.SetStartPoint(TurnPoint(wire.StartPoint(), pivot, turn));
      wire.SetEndPoint(TurnPoint(wire.EndPoint(), pivot, turn));
      break;
    }
    case ekSolder: {
      auto& pad = static_cast<TSolder&>(element);
      pad.SetCenter(TurnPoint(pad.Center(), pivot, turn));
      break;
    }
    case ekSmdPad: {
      // Symmetric about both its axes, the pad only has its sides swapped by a quarter turn.
      auto& pad = static_cast<TSmdPad&>(element);
      pad.SetCenter(TurnPoint(pad.Center(), pivot, turn));
      if (turn != tnMirror) {
        const int32_t w = pad.Width();
        pad.SetWidth(pad.Height());
        pad.SetHeight(w);
      }
      break;
    }
    case ekText: {
      // The anchor goes where the pivot takes it and the letters turn with it; a mirror of the
      // screen is the board turned over, so the text changes side and its turns run backwards.
      auto& text = static_cast<TCopperText&>(element);
      text.SetAnchor(TurnPoint(text.Anchor(), pivot, turn));
      const int32_t turns = text.Turns();
      if (turn == tnRotate) text.SetTurns((turns + 1) % 4);
      if (turn == tnRotateBack) text.SetTurns((turns + 3) % 4);
      if (turn == tnMirror) {
        text.SetTurns((4 - turns) % 4);
        text.SetCopperSide(!text.CopperSide());
      }
      break;
    }
    case ekFill: {
      // The outline and the seed turn with the board; the copper is worked out again.
      auto& fill = static_cast<TCopperFill&>(element);
      std::vector<TPoint> corners = fill.Corners();
      for (TPoint& c : corners) c = TurnPoint(c, pivot, turn);
      fill.SetCorners(std::move(corners));
      if (fill.HasSeed()) fill.SetSeed(true, TurnPoint(fill.Seed(), pivot, turn));
      break;
    }
  }
}

void WidenToPoints(const TPCBElement& element, TRect& r) {
  auto widen = [&r](TPoint p) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  };
  switch (element.Kind()) {
    case ekWire: {
      const auto& w = static_cast<const TWire&>(element);
      widen(w.StartPoint());
      widen(w.EndPoint());
      break;
    }
    case ekSolder:
      widen(static_cast<const TSolder&>(element).Center());
      break;
    case ekSmdPad:
      widen(static_cast<const TSmdPad&>(element).Center());
      break;
    case ekText:
      widen(static_cast<const TCopperText&>(element).Anchor());
      break;
    case ekFill:
      for (const TPoint& c : static_cast<const TCopperFill&>(element).Corners()) widen(c);
      break;
  }
}

bool PointsExtent(const TElementList& list, const std::vector<int32_t>& indices, TRect& extent) {
  if (indices.empty()) return false;
  TRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t i : indices) WidenToPoints(*list.Items(i), r);
  extent = r;
  return true;
}

namespace {

// The grid column (or row) nearest the middle of [low, high]: the nearer one, or both
// neighbours when the middle lies exactly between them (the second is then first + 1).
struct TNearest {
  int64_t First;
  bool Tie;
};

TNearest NearestLine(int32_t low, int32_t high, int64_t grid) {
  // Twice the middle, so a middle at half a unit stays whole.
  const int64_t twice = int64_t(low) + high;
  const int64_t q = FloorDiv(twice, 2 * grid);
  const int64_t r = twice - q * 2 * grid;
  if (r == grid) return {q, true};
  return {r < grid ? q : q + 1, false};
}

bool Even(int64_t v) { return (v & 1) == 0; }

}  // namespace

TPoint TurnPivot(const TRect& extent, int32_t grid) {
  const int64_t g = std::max(grid, 1);
  TNearest col = NearestLine(extent.Left, extent.Right, g);
  TNearest row = NearestLine(extent.Top, extent.Bottom, g);
  if (col.Tie && row.Tie) {
    if (!Even(col.First)) ++col.First;
    if (!Even(row.First)) ++row.First;
  } else if (col.Tie) {
    if (!Even(col.First + row.First)) ++col.First;
  } else if (row.Tie) {
    if (!Even(col.First + row.First)) ++row.First;
  }
  return {Wrap32(col.First * g), Wrap32(row.First * g)};
}
