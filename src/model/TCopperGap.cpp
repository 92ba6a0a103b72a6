// How near two pieces of copper come: decided exactly in whole numbers, and measured in floating
// point for showing the user.
#include <algorithm>
#include <cmath>

#include "TCopper.h"
#include "TFill.h"
#include "TTypes.h"

namespace {

using i128 = __int128;
using ld = long double;

// Points in half board units: coordinates reach 2^33 (a pad's corner), differences 2^34, products
// 2^69, all within 128 bits.
struct P {
  int64_t x, y;
};

// The core of a shape with its radius: a segment (a point when both ends meet) or an axis-aligned
// rectangle of half sides HX and HY around A (a square pad's whole copper, a surface-mount pad's
// copper less its rounded corners).
struct Core {
  bool box;
  P a, b;
  int64_t hx, hy;
};

// A box's four corners, clockwise on the screen from the top left.
void CornersOf(const Core& s, P (&corners)[4]) {
  corners[0] = {s.a.x - s.hx, s.a.y - s.hy};
  corners[1] = {s.a.x + s.hx, s.a.y - s.hy};
  corners[2] = {s.a.x + s.hx, s.a.y + s.hy};
  corners[3] = {s.a.x - s.hx, s.a.y + s.hy};
}
P NearestOnBox(const Core& s, P p) {
  return {std::clamp(p.x, s.a.x - s.hx, s.a.x + s.hx), std::clamp(p.y, s.a.y - s.hy, s.a.y + s.hy)};
}

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

  static Nearest SegmentBox(P a, P b, const Core& s) {
    P corners[4];
    CornersOf(s, corners);
    for (P e : {a, b}) {
      const P n = NearestOnBox(s, e);
      if (n.x == e.x && n.y == e.y) return {0, L(e), L(e)};
    }
    LP at;
    for (int k = 0; k < 4; ++k)
      if (Meet(a, b, corners[k], corners[(k + 1) % 4], at)) return {0, at, at};
    // Apart: the nearest pair has an end of the segment or a corner of the box in it.
    Nearest best{F(INFINITY), {}, {}};
    Keep(best, L(a), L(NearestOnBox(s, a)));
    Keep(best, L(b), L(NearestOnBox(s, b)));
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

  static Nearest BoxBox(const Core& s, const Core& t) {
    Nearest n;
    Axis(s.a.x - s.hx, s.a.x + s.hx, t.a.x - t.hx, t.a.x + t.hx, n.p.x, n.q.x);
    Axis(s.a.y - s.hy, s.a.y + s.hy, t.a.y - t.hy, t.a.y + t.hy, n.p.y, n.q.y);
    n.d2 = Dist2(n.p, n.q);
    return n;
  }

  static Nearest Cores(const Core& a, const Core& b) {
    if (a.box && b.box) return BoxBox(a, b);
    if (a.box) {
      Nearest n = SegmentBox(b.a, b.b, a);
      std::swap(n.p, n.q);
      return n;
    }
    if (b.box) return SegmentBox(a.a, a.b, b);
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
  return in(c.a.x) && in(c.a.y) && in(c.b.x) && in(c.b.y) && in(c.hx) && in(c.hy);
}

TNearest Cores(const Core& a, const Core& b) {
  // Within 2^25 half units differences stay below 2^26 and products below 2^52: exact in 64-bit
  // integers and in a double's 53-bit mantissa.
  if (Small(a) && Small(b)) return NearestWith<TGeometry<int64_t, double>>(a, b);
  return NearestWith<TGeometry<i128, ld>>(a, b);
}

// A square pad is a box of its own half side with no radius; a rectangle is its core box with its
// corner radius.
Core CoreOf(const TCopperShape& s) {
  if (s.Kind == ckSquare) return {true, {s.AX, s.AY}, {s.BX, s.BY}, s.Radius, s.Radius};
  return {s.Kind == ckRect, {s.AX, s.AY}, {s.BX, s.BY}, s.HalfX, s.HalfY};
}
int64_t RadiusOf(const TCopperShape& s) { return s.Kind == ckSquare ? 0 : s.Radius; }

// Products of the exact decisions reach 2^195: two 128-bit factors give a 256-bit product.
using u128 = unsigned __int128;
struct U256 {
  u128 hi, lo;
};
U256 Mul(u128 a, u128 b) {
  const u128 a0 = uint64_t(a), a1 = a >> 64, b0 = uint64_t(b), b1 = b >> 64;
  const u128 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const u128 mid = (p00 >> 64) + uint64_t(p01) + uint64_t(p10);
  return {p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64), (mid << 64) | uint64_t(p00)};
}
int Compare(const U256& x, const U256& y) {
  if (x.hi != y.hi) return x.hi < y.hi ? -1 : 1;
  if (x.lo != y.lo) return x.lo < y.lo ? -1 : 1;
  return 0;
}
u128 Abs(i128 v) { return u128(v < 0 ? -v : v); }

// The limit a distance D between two cores is held against: T = R + G / k, R the sum of their
// radii in half units, G a gap in nanometres, k the nanometres of a half unit (1 when there is no
// gap, so that touching needs no scaling). The answer is the sign of kD - (kR + G), worked out
// from squares, with D² a whole number or a fraction C² / L.
struct TLimit {
  u128 k, v;  // v = kR + G, below 2^61
  int SignWhole(u128 d2) const { return Compare(Mul(k * k, d2), Mul(v, v)); }
  int SignFraction(u128 c, u128 l) const { return Compare(Mul(k * c, k * c), Mul(v * v, l)); }
  // Where the cores meet, D is zero.
  int SignMeeting() const { return v == 0 ? 0 : -1; }
};

// Coordinates stay within 2^33 half units (a pad's corner reaches 1.5 times the 32-bit range),
// so differences stay below 2^34, their squares and cross products below 2^69.
struct TExact {
  static i128 Cross(P o, P a, P b) {
    return i128(a.x - o.x) * i128(b.y - o.y) - i128(a.y - o.y) * i128(b.x - o.x);
  }
  static bool Within(P a, P b, P p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
  }
  static int Sign(i128 v) { return (v > 0) - (v < 0); }
  // Whether the closed segments AB and CD share a point.
  static bool Meet(P a, P b, P c, P d) {
    const int d1 = Sign(Cross(c, d, a)), d2 = Sign(Cross(c, d, b));
    const int d3 = Sign(Cross(a, b, c)), d4 = Sign(Cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return (d1 == 0 && Within(c, d, a)) || (d2 == 0 && Within(c, d, b)) ||
           (d3 == 0 && Within(a, b, c)) || (d4 == 0 && Within(a, b, d));
  }
  static u128 Dist2(P p, P q) {
    const i128 dx = p.x - q.x, dy = p.y - q.y;
    return u128(dx * dx + dy * dy);
  }
  // P against segment AB: beyond either end the nearest point is that end; between them the
  // distance is the cross product over the length, kept as a fraction.
  static int PointSegment(P p, P a, P b, const TLimit& t) {
    const i128 dx = b.x - a.x, dy = b.y - a.y, px = p.x - a.x, py = p.y - a.y;
    const i128 len2 = dx * dx + dy * dy, dot = px * dx + py * dy;
    if (len2 == 0 || dot <= 0) return t.SignWhole(Dist2(p, a));
    if (dot >= len2) return t.SignWhole(Dist2(p, b));
    return t.SignFraction(Abs(px * dy - py * dx), u128(len2));
  }
  static int PointBox(P p, const Core& s, const TLimit& t) {
    return t.SignWhole(Dist2(p, NearestOnBox(s, p)));
  }
  static int SegmentSegment(P a, P b, P c, P d, const TLimit& t) {
    if (Meet(a, b, c, d)) return t.SignMeeting();
    return std::min({PointSegment(a, c, d, t), PointSegment(b, c, d, t), PointSegment(c, a, b, t),
                     PointSegment(d, a, b, t)});
  }
  static int SegmentBox(P a, P b, const Core& s, const TLimit& t) {
    P corners[4];
    CornersOf(s, corners);
    auto inside = [&s](P p) {
      return std::abs(p.x - s.a.x) <= s.hx && std::abs(p.y - s.a.y) <= s.hy;
    };
    if (inside(a) || inside(b)) return t.SignMeeting();
    for (int k = 0; k < 4; ++k)
      if (Meet(a, b, corners[k], corners[(k + 1) % 4])) return t.SignMeeting();
    // Apart: the nearest pair has an end of the segment or a corner of the box in it.
    int sign = std::min(PointBox(a, s, t), PointBox(b, s, t));
    for (P c : corners) sign = std::min(sign, PointSegment(c, a, b, t));
    return sign;
  }
  static int BoxBox(const Core& s, const Core& q, const TLimit& t) {
    auto gap = [](int64_t c1, int64_t h1, int64_t c2, int64_t h2) {
      return i128(std::max<int64_t>(0, std::abs(c1 - c2) - h1 - h2));
    };
    const i128 gx = gap(s.a.x, s.hx, q.a.x, q.hx), gy = gap(s.a.y, s.hy, q.a.y, q.hy);
    return t.SignWhole(u128(gx * gx + gy * gy));
  }
  static int Cores(const Core& a, const Core& b, const TLimit& t) {
    if (a.box && b.box) return BoxBox(a, b, t);
    if (a.box) return SegmentBox(b.a, b.b, a, t);
    if (b.box) return SegmentBox(a.a, a.b, b, t);
    return SegmentSegment(a.a, a.b, b.a, b.b, t);
  }
};

// The sign of the gap between two pieces of copper less gapNm nanometres (none below zero).
int GapSign(const TCopperShape& a, const TCopperShape& b, int64_t gapNm) {
  // A gap beyond any board's reach, 2^60 nm, holds everything on it.
  gapNm = std::clamp<int64_t>(gapNm, 0, int64_t{1} << 60);
  const u128 k = gapNm > 0 ? NanometresPerUnit / 2 : 1;
  const u128 r = u128(RadiusOf(a) + RadiusOf(b));
  const TLimit limit{k, k * r + u128(gapNm)};
  return TExact::Cores(CoreOf(a), CoreOf(b), limit);
}

}  // namespace

bool CopperTouches(const TCopperShape& a, const TCopperShape& b) {
  return !a.Empty() && !b.Empty() && GapSign(a, b, 0) <= 0;
}

bool CopperCloser(const TCopperShape& a, const TCopperShape& b, int64_t gapNm) {
  return !a.Empty() && !b.Empty() && GapSign(a, b, gapNm) < 0;
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

namespace {

// A fill is measured in nanometres: the piece is scaled from half units, which keeps coordinates
// within 2^50, differences within 2^51, squares and cross products within 2^103, and every
// product of the decision within 2^226; the limit is the piece's radius plus the gap, k = 1.
int NanometreGapSign(const Core& fill, const TCopperShape& piece, int64_t gapNm) {
  if (piece.Empty()) return 1;
  gapNm = std::clamp<int64_t>(gapNm, 0, int64_t{1} << 60);
  constexpr int64_t k = NanometresPerHalfUnit;
  Core p = CoreOf(piece);
  p.a = {p.a.x * k, p.a.y * k}, p.b = {p.b.x * k, p.b.y * k};
  p.hx *= k, p.hy *= k;
  const TLimit limit{1, u128(RadiusOf(piece)) * k + u128(gapNm)};
  return TExact::Cores(fill, p, limit);
}

}  // namespace

int EdgeGapSign(TFillPoint a, TFillPoint b, const TCopperShape& piece, int64_t gapNm) {
  return NanometreGapSign({false, {a.X, a.Y}, {b.X, b.Y}, 0, 0}, piece, gapNm);
}

int BoxGapSign(TFillPoint c, int64_t hx, int64_t hy, const TCopperShape& piece, int64_t gapNm) {
  return NanometreGapSign({true, {c.X, c.Y}, {c.X, c.Y}, hx, hy}, piece, gapNm);
}
