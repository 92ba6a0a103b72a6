#include "TCopper.h"

#include <algorithm>
#include <cmath>

#include "TElementList.h"

namespace {

using i128 = __int128;
using ld = long double;

// Points in half board units: coordinates reach 2^32, differences 2^33, products 2^66, all
// within 128 bits.
struct P {
  int64_t x, y;
};
struct LP {
  ld x, y;
};

// The core of a shape with its radius: a segment (a point when both ends meet) or an axis-aligned
// square of half side H around A.
struct Core {
  bool square;
  P a, b;
  int64_t h;
};

// The nearest two points of two cores and the square of the distance between them (one square
// root at the end, not one per candidate pair).
struct Nearest {
  ld d2;
  LP p, q;
};

LP L(P p) { return {ld(p.x), ld(p.y)}; }
ld Dist2(LP p, LP q) {
  const ld dx = p.x - q.x, dy = p.y - q.y;
  return dx * dx + dy * dy;
}

int Sign(i128 v) { return (v > 0) - (v < 0); }
i128 Cross(P o, P a, P b) { return i128(a.x - o.x) * (b.y - o.y) - i128(a.y - o.y) * (b.x - o.x); }
// Whether P, known to be on the line through A and B, lies between them.
bool Within(P a, P b, P p) {
  return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
         p.y <= std::max(a.y, b.y);
}

// Whether the closed segments AB and CD share a point, and one such point.
bool Meet(P a, P b, P c, P d, LP& at) {
  const int d1 = Sign(Cross(c, d, a)), d2 = Sign(Cross(c, d, b));
  const int d3 = Sign(Cross(a, b, c)), d4 = Sign(Cross(a, b, d));
  if (d1 * d2 < 0 && d3 * d4 < 0) {
    // A crossing: where along AB, from the two areas.
    const ld t = ld(Cross(c, d, a)) / (ld(Cross(c, d, a)) - ld(Cross(c, d, b)));
    at = {ld(a.x) + t * ld(b.x - a.x), ld(a.y) + t * ld(b.y - a.y)};
    return true;
  }
  if (d1 == 0 && Within(c, d, a)) return at = L(a), true;
  if (d2 == 0 && Within(c, d, b)) return at = L(b), true;
  if (d3 == 0 && Within(a, b, c)) return at = L(c), true;
  if (d4 == 0 && Within(a, b, d)) return at = L(d), true;
  return false;
}

// The point of segment AB nearest to P.
LP NearestOnSegment(P a, P b, P p) {
  const i128 len2 = i128(b.x - a.x) * (b.x - a.x) + i128(b.y - a.y) * (b.y - a.y);
  const i128 dot = i128(p.x - a.x) * (b.x - a.x) + i128(p.y - a.y) * (b.y - a.y);
  if (len2 == 0 || dot <= 0) return L(a);
  if (dot >= len2) return L(b);
  const ld t = ld(dot) / ld(len2);
  return {ld(a.x) + t * ld(b.x - a.x), ld(a.y) + t * ld(b.y - a.y)};
}

// The point of the square nearest to P.
P NearestOnSquare(const Core& s, P p) {
  return {std::clamp(p.x, s.a.x - s.h, s.a.x + s.h), std::clamp(p.y, s.a.y - s.h, s.a.y + s.h)};
}

void Keep(Nearest& best, LP p, LP q) {
  const ld d2 = Dist2(p, q);
  if (d2 < best.d2) best = {d2, p, q};
}

Nearest SegmentSegment(P a, P b, P c, P d) {
  LP at;
  if (Meet(a, b, c, d, at)) return {0, at, at};
  Nearest best{INFINITY, {}, {}};
  Keep(best, L(a), NearestOnSegment(c, d, a));
  Keep(best, L(b), NearestOnSegment(c, d, b));
  Keep(best, NearestOnSegment(a, b, c), L(c));
  Keep(best, NearestOnSegment(a, b, d), L(d));
  return best;
}

Nearest SegmentSquare(P a, P b, const Core& s) {
  const P corners[4] = {{s.a.x - s.h, s.a.y - s.h},
                        {s.a.x + s.h, s.a.y - s.h},
                        {s.a.x + s.h, s.a.y + s.h},
                        {s.a.x - s.h, s.a.y + s.h}};
  for (P e : {a, b}) {
    const P n = NearestOnSquare(s, e);
    if (n.x == e.x && n.y == e.y) return {0, L(e), L(e)};
  }
  LP at;
  for (int k = 0; k < 4; ++k)
    if (Meet(a, b, corners[k], corners[(k + 1) % 4], at)) return {0, at, at};
  // Apart: the nearest pair has an end of the segment or a corner of the square in it.
  Nearest best{INFINITY, {}, {}};
  Keep(best, L(a), L(NearestOnSquare(s, a)));
  Keep(best, L(b), L(NearestOnSquare(s, b)));
  for (P c : corners) Keep(best, NearestOnSegment(a, b, c), L(c));
  return best;
}

// Along one axis: the nearest coordinates of two intervals, the middle of their overlap if any.
void Axis(int64_t lo1, int64_t hi1, int64_t lo2, int64_t hi2, ld& p, ld& q) {
  const int64_t lo = std::max(lo1, lo2), hi = std::min(hi1, hi2);
  if (lo <= hi) {
    p = q = (ld(lo) + ld(hi)) / 2;
  } else if (hi1 < lo2) {
    p = ld(hi1), q = ld(lo2);
  } else {
    p = ld(lo1), q = ld(hi2);
  }
}

Nearest SquareSquare(const Core& s, const Core& t) {
  Nearest n;
  Axis(s.a.x - s.h, s.a.x + s.h, t.a.x - t.h, t.a.x + t.h, n.p.x, n.q.x);
  Axis(s.a.y - s.h, s.a.y + s.h, t.a.y - t.h, t.a.y + t.h, n.p.y, n.q.y);
  n.d2 = Dist2(n.p, n.q);
  return n;
}

Core CoreOf(const TCopperShape& s) {
  return {s.Kind == ckSquare, {s.AX, s.AY}, {s.BX, s.BY}, s.Kind == ckSquare ? s.Radius : 0};
}
int64_t RadiusOf(const TCopperShape& s) { return s.Kind == ckSquare ? 0 : s.Radius; }

Nearest Cores(const Core& a, const Core& b) {
  if (a.square && b.square) return SquareSquare(a, b);
  if (a.square) {
    Nearest n = SegmentSquare(b.a, b.b, a);
    std::swap(n.p, n.q);
    return n;
  }
  if (b.square) return SegmentSquare(a.a, a.b, b);
  return SegmentSegment(a.a, a.b, b.a, b.b);
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int64_t FloorHalf(int64_t v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
int64_t CeilHalf(int64_t v) { return -FloorHalf(-v); }

}  // namespace

int32_t PrintedWidth(int32_t widthDivisor) {
  try {
    return std::max(0, Div(UnitsPerStep, widthDivisor));
  } catch (const EArithFault&) {
    return -1;
  }
}

TCopperShape CopperOf(const TPCBElement& element) {
  TCopperShape s;
  if (element.IsWire()) {
    const auto& wire = static_cast<const TWire&>(element);
    const int32_t width = PrintedWidth(wire.WidthDivisor());
    const TPoint a = wire.StartPoint(), b = wire.EndPoint();
    // A hairline of no length leaves no mark; a wider pen leaves its round dot.
    if (width < 0 || (width == 0 && a == b)) return s;
    s = {ckTrack, 2 * int64_t{a.X}, 2 * int64_t{a.Y}, 2 * int64_t{b.X}, 2 * int64_t{b.Y}, width};
    return s;
  }
  const auto& pad = static_cast<const TSolder&>(element);
  const int64_t size = std::abs(int64_t{pad.ExternalDiameter()});
  if (size == 0) return s;
  const TPoint c = pad.Center();
  s = {pad.IsSquare() ? ckSquare : ckRound,
       2 * int64_t{c.X},
       2 * int64_t{c.Y},
       2 * int64_t{c.X},
       2 * int64_t{c.Y},
       size};
  return s;
}

TCopperGap CopperGap(const TCopperShape& a, const TCopperShape& b) {
  const Nearest near = Cores(CoreOf(a), CoreOf(b));
  const struct {
    ld d;
    LP p, q;
  } n{std::sqrt(near.d2), near.p, near.q};
  const ld ra = ld(RadiusOf(a)), rb = ld(RadiusOf(b));
  TCopperGap gap;
  gap.Distance = (n.d - ra - rb) / 2;
  if (n.d == 0) {
    gap.X = n.p.x / 2, gap.Y = n.p.y / 2;
    return gap;
  }
  // The middle of the stretch between the two copper edges along the line of the two cores.
  const ld t = (ra + (n.d - ra - rb) / 2) / n.d;
  gap.X = (n.p.x + t * (n.q.x - n.p.x)) / 2;
  gap.Y = (n.p.y + t * (n.q.y - n.p.y)) / 2;
  return gap;
}

long double CopperDistance(const TCopperShape& shape, int64_t x2, int64_t y2) {
  const Core point{false, {x2, y2}, {x2, y2}, 0};
  return (std::sqrt(Cores(CoreOf(shape), point).d2) - ld(RadiusOf(shape))) / 2;
}

TRect CopperBox(const TCopperShape& s, int64_t margin) {
  const int64_t r = s.Radius;
  return {Clamp32(FloorHalf(std::min(s.AX, s.BX) - r) - margin),
          Clamp32(FloorHalf(std::min(s.AY, s.BY) - r) - margin),
          Clamp32(CeilHalf(std::max(s.AX, s.BX) + r) + margin),
          Clamp32(CeilHalf(std::max(s.AY, s.BY) + r) + margin)};
}
