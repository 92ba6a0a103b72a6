#include "TCopper.h"

#include <algorithm>
#include <cmath>

#include "TBoardMath.h"
#include "TElementList.h"

namespace {

using i128 = __int128;
using ld = long double;

// Points in half board units: coordinates reach 2^32, differences 2^33, products 2^66, all
// within 128 bits.
struct P {
  int64_t x, y;
};

// The core of a shape with its radius: a segment (a point when both ends meet) or an axis-aligned
// square of half side H around A.
struct Core {
  bool square;
  P a, b;
  int64_t h;
};

// The geometry of cores, with products in I and fractions in F: 128-bit integers and long double
// anywhere on the board, 64-bit integers and double where every coordinate stays within 2^24
// half units, as on any board a person draws, where that is exact too and several times faster.
template <class I, class F>
struct TGeometry {
  struct LP {
    F x, y;
  };
  // The nearest two points of two cores and the square of the distance between them (one square
  // root at the end, not one per candidate pair).
  struct Nearest {
    F d2;
    LP p, q;
  };

  static LP L(P p) { return {F(p.x), F(p.y)}; }
  static F Dist2(LP p, LP q) {
    const F dx = p.x - q.x, dy = p.y - q.y;
    return dx * dx + dy * dy;
  }
  static int Sign(I v) { return (v > 0) - (v < 0); }
  static I Cross(P o, P a, P b) {
    return I(a.x - o.x) * I(b.y - o.y) - I(a.y - o.y) * I(b.x - o.x);
  }
  // Whether P, known to be on the line through A and B, lies between them.
  static bool Within(P a, P b, P p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
  }

  // Whether the closed segments AB and CD share a point, and one such point.
  static bool Meet(P a, P b, P c, P d, LP& at) {
    const I ca = Cross(c, d, a), cb = Cross(c, d, b);
    const int d1 = Sign(ca), d2 = Sign(cb);
    const int d3 = Sign(Cross(a, b, c)), d4 = Sign(Cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) {
      // A crossing: where along AB, from the two areas.
      const F t = F(ca) / (F(ca) - F(cb));
      at = {F(a.x) + t * F(b.x - a.x), F(a.y) + t * F(b.y - a.y)};
      return true;
    }
    if (d1 == 0 && Within(c, d, a)) return at = L(a), true;
    if (d2 == 0 && Within(c, d, b)) return at = L(b), true;
    if (d3 == 0 && Within(a, b, c)) return at = L(c), true;
    if (d4 == 0 && Within(a, b, d)) return at = L(d), true;
    return false;
  }

  // The point of segment AB nearest to P.
  static LP NearestOnSegment(P a, P b, P p) {
    const I len2 = I(b.x - a.x) * I(b.x - a.x) + I(b.y - a.y) * I(b.y - a.y);
    const I dot = I(p.x - a.x) * I(b.x - a.x) + I(p.y - a.y) * I(b.y - a.y);
    if (len2 == 0 || dot <= 0) return L(a);
    if (dot >= len2) return L(b);
    const F t = F(dot) / F(len2);
    return {F(a.x) + t * F(b.x - a.x), F(a.y) + t * F(b.y - a.y)};
  }

  // The point of the square nearest to P.
  static P NearestOnSquare(const Core& s, P p) {
    return {std::clamp(p.x, s.a.x - s.h, s.a.x + s.h), std::clamp(p.y, s.a.y - s.h, s.a.y + s.h)};
  }

  static void Keep(Nearest& best, LP p, LP q) {
    const F d2 = Dist2(p, q);
    if (d2 < best.d2) best = {d2, p, q};
  }

  static Nearest SegmentSegment(P a, P b, P c, P d) {
    LP at;
    if (Meet(a, b, c, d, at)) return {0, at, at};
    Nearest best{F(INFINITY), {}, {}};
    Keep(best, L(a), NearestOnSegment(c, d, a));
    Keep(best, L(b), NearestOnSegment(c, d, b));
    Keep(best, NearestOnSegment(a, b, c), L(c));
    Keep(best, NearestOnSegment(a, b, d), L(d));
    return best;
  }

  static Nearest SegmentSquare(P a, P b, const Core& s) {
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
    Nearest best{F(INFINITY), {}, {}};
    Keep(best, L(a), L(NearestOnSquare(s, a)));
    Keep(best, L(b), L(NearestOnSquare(s, b)));
    for (P c : corners) Keep(best, NearestOnSegment(a, b, c), L(c));
    return best;
  }

  // Along one axis: the nearest coordinates of two intervals, the middle of their overlap if any.
  static void Axis(int64_t lo1, int64_t hi1, int64_t lo2, int64_t hi2, F& p, F& q) {
    const int64_t lo = std::max(lo1, lo2), hi = std::min(hi1, hi2);
    if (lo <= hi) {
      p = q = (F(lo) + F(hi)) / 2;
    } else if (hi1 < lo2) {
      p = F(hi1), q = F(lo2);
    } else {
      p = F(lo1), q = F(hi2);
    }
  }

  static Nearest SquareSquare(const Core& s, const Core& t) {
    Nearest n;
    Axis(s.a.x - s.h, s.a.x + s.h, t.a.x - t.h, t.a.x + t.h, n.p.x, n.q.x);
    Axis(s.a.y - s.h, s.a.y + s.h, t.a.y - t.h, t.a.y + t.h, n.p.y, n.q.y);
    n.d2 = Dist2(n.p, n.q);
    return n;
  }

  static Nearest Cores(const Core& a, const Core& b) {
    if (a.square && b.square) return SquareSquare(a, b);
    if (a.square) {
      Nearest n = SegmentSquare(b.a, b.b, a);
      std::swap(n.p, n.q);
      return n;
    }
    if (b.square) return SegmentSquare(a.a, a.b, b);
    return SegmentSegment(a.a, a.b, b.a, b.b);
  }
};

// The nearest points of two cores, in long double whichever way they were worked out.
struct TNearest {
  ld d2;
  ld px, py, qx, qy;
};

template <class G>
TNearest NearestWith(const Core& a, const Core& b) {
  const typename G::Nearest n = G::Cores(a, b);
  return {ld(n.d2), ld(n.p.x), ld(n.p.y), ld(n.q.x), ld(n.q.y)};
}

bool Small(const Core& c) {
  constexpr int64_t kLimit = int64_t{1} << 24;
  auto in = [](int64_t v) { return -kLimit <= v && v <= kLimit; };
  return in(c.a.x) && in(c.a.y) && in(c.b.x) && in(c.b.y) && in(c.h);
}

TNearest Cores(const Core& a, const Core& b) {
  // Within 2^25 half units differences stay below 2^26 and products below 2^52: exact in 64-bit
  // integers and in a double's 53-bit mantissa.
  if (Small(a) && Small(b)) return NearestWith<TGeometry<int64_t, double>>(a, b);
  return NearestWith<TGeometry<i128, ld>>(a, b);
}

Core CoreOf(const TCopperShape& s) {
  return {s.Kind == ckSquare, {s.AX, s.AY}, {s.BX, s.BY}, s.Kind == ckSquare ? s.Radius : 0};
}
int64_t RadiusOf(const TCopperShape& s) { return s.Kind == ckSquare ? 0 : s.Radius; }

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
  const TNearest n = Cores(CoreOf(a), CoreOf(b));
  const ld d = std::sqrt(n.d2);
  const ld ra = ld(RadiusOf(a)), rb = ld(RadiusOf(b));
  TCopperGap gap;
  gap.Distance = (d - ra - rb) / 2;
  if (d == 0) {
    gap.X = n.px / 2, gap.Y = n.py / 2;
    return gap;
  }
  // The middle of the stretch between the two copper edges along the line of the two cores.
  const ld t = (ra + (d - ra - rb) / 2) / d;
  gap.X = (n.px + t * (n.qx - n.px)) / 2;
  gap.Y = (n.py + t * (n.qy - n.py)) / 2;
  return gap;
}

long double CopperDistance(const TCopperShape& shape, int64_t x2, int64_t y2) {
  const Core point{false, {x2, y2}, {x2, y2}, 0};
  return (std::sqrt(Cores(CoreOf(shape), point).d2) - ld(RadiusOf(shape))) / 2;
}
