// Copper: exact gaps, the board check, and the spatial index the check and the view ask.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <sstream>

#include "FakeLayout.h"
#include "TBoardCheck.h"
#include "TBoardIndex.h"
#include "TCopperFill.h"
#include "TCopperIslands.h"
#include "TCopperText.h"
#include "TElementIndex.h"
#include "TElementList.h"
#include "TSmdPad.h"

namespace {

// Wire "W ax ay bx by divisor", pad "P cx cy hole size geometry", SMD pad "S cx cy w h roundness",
// text "T x y height width side" reading "I", fill "F cx cy half clearance(um) seeded" (a square).
struct TPart {
  char kind;
  int32_t v[5];
};

void Add(TElementList& list, const TPart& p) {
  if (p.kind == 'W')
    list.AddWire({p.v[0], p.v[1]}, {p.v[2], p.v[3]}, p.v[4]);
  else if (p.kind == 'S')
    list.Append(
        std::make_unique<TSmdPad>(list.Layout(), TPoint{p.v[0], p.v[1]}, p.v[2], p.v[3], p.v[4]));
  else if (const int32_t x = p.v[0], y = p.v[1], h = p.v[2]; p.kind == 'F')
    list.Append(std::make_unique<TCopperFill>(
        list.Layout(),
        std::vector<TPoint>{{x - h, y - h}, {x + h, y - h}, {x + h, y + h}, {x - h, y + h}},
        p.v[4] != 0, TPoint{x, y}, TFillSettings{int64_t{p.v[3]} * 1000}));
  else if (p.kind == 'T')
    list.Append(std::make_unique<TCopperText>(list.Layout(), TPoint{p.v[0], p.v[1]}, "I", p.v[2],
                                              p.v[3], 0, p.v[4] != 0));
  else
    list.AddSolder({p.v[0], p.v[1]}, p.v[2], p.v[3], static_cast<uint8_t>(p.v[4]));
}

struct TPick {
  std::mt19937 rng;
  int32_t operator()(int64_t lo, int64_t hi) {
    return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(lo, hi)(rng));
  }
};

void AddParts(TElementList& list, const std::string& parts) {
  std::istringstream in(parts);
  for (std::string word; in >> word;) {
    TPart p{word[0], {}};
    std::sscanf(word.c_str() + 1, "%d,%d,%d,%d,%d", &p.v[0], &p.v[1], &p.v[2], &p.v[3], &p.v[4]);
    Add(list, p);
  }
}

// Distances in board units (negative: overlapping) and the middle of the gap.
TEST(Copper, ExactGapsBetweenShapes) {
  const long double r50 = std::sqrt(1300.0L), r2 = std::sqrt(2.0L);
  const long double round = 15 * r2 - 5, roundAt = 15 + (5 + round / 2) / r2;
  // clang-format off
  const std::tuple<const char*, long double, long double, long double> cases[] = {
      {"W0,0,100,0,2 W50,0,150,0,2", -8, 50, 0}, {"W0,0,100,0,2 W108,0,200,0,2", 0, 104, 0},
      {"W0,0,0,100,3 P20,50,4,11,0", 12.5, 8.75, 50}, {"W0,0,100,0,32 P50,10,4,20,0", 0, 50, 0},
      {"W0,50,60,50,2 P100,100,4,20,1", 46, 76.2, 71.6}, {"W0,0,100,0,2 P50,0,4,10,7", -4, 45, 0},
      {"P0,0,4,20,1 P40,50,4,20,1", r50, 20, 25}, {"P0,0,4,20,1 P30,5,4,20,1", 10, 15, 2.5},
      {"W0,0,0,0,1 P0,30,4,20,0", 12, 0, 14}, {"S0,0,20,10,0 S21,10,20,10,0", 1, 10.5, 5},
      {"S0,0,20,10,0 P20,15,4,20,1", 0, 10, 5}, {"S0,0,13,7,30 W20,-50,20,50,2", 9.5, 11.25, -1.5},
      {"S0,0,40,20,25 P40,30,4,20,1", round, roundAt, roundAt - 10},
      {"S0,0,40,20,50 P19,12,0,10,0", 0, 16, 8}, {"S0,0,40,20,50 P19,12,0,8,0", 1, 16.3, 8.4},
      {"S0,0,40,20,30 W20,12,60,12,2", 0, 17.6, 8.8},
      {"S0,0,40,20,25 W21,13,60,13,2", 1, 18.3, 9.4},
      {"W0,0,192,56,2 P82,76,0,92,0", 0, 94.88, 31.84},
      {"W0,0,96,40,2 P38,44,0,44,0", 0, 48 - 20 / 13.0L, 20 + 48 / 13.0L},
      {"W0,0,64,-120,2 P62,-44,0,58,0", 1, 32 + 67.5L / 17, -60 + 36 / 17.0L},
      {"W0,0,-56,192,2 P-76,82,0,92,0", 0, -31.84, 94.88},
      {"W-1500000000,-1500000000,1500000000,1500000000,2 P0,100,0,20,0", 100 / r2 - 14,
       25 + 3 / r2, 75 - 3 / r2}};
  // clang-format on
  for (const auto& [parts, distance, x, y] : cases) {
    SCOPED_TRACE(parts);
    FakeLayout view;
    TElementList list(&view);
    AddParts(list, parts);
    const TCopperShape a = CopperOf(*list.Items(0)), b = CopperOf(*list.Items(1));
    const TCopperGap ab = CopperGap(a, b), ba = CopperGap(b, a);
    EXPECT_NEAR(double(ab.Distance), double(distance), 1e-9);
    EXPECT_NEAR(double(ba.Distance), double(distance), 1e-9);
    EXPECT_EQ(CopperTouches(a, b), distance <= 0);
    EXPECT_EQ(CopperTouches(b, a), distance <= 0);
    // A gap of exactly one unit passes a clearance of one unit, and not a hair more.
    for (int64_t nm : {158750, 158760}) EXPECT_EQ(CopperCloser(a, b, nm), distance * 158750 < nm);
    EXPECT_TRUE(distance < 0 ||
                (std::fabs(double(ab.X - x)) < 1e-9 && std::fabs(double(ab.Y - y)) < 1e-9));
  }
}

// Random pairs against distances sampled along one core; moved far out, the same gap.
TEST(Copper, GapsAgreeWithSampledDistances) {
  TPick pick{std::mt19937(7)};
  // A core in board units: a segment A B, or a box of half sides hx, hy around A; its radius.
  struct Core {
    double ax, ay, bx, by, hx = 0, hy = 0, r = 0;
  };
  auto coreOf = [](const TCopperShape& s) {
    Core c{s.AX / 2.0, s.AY / 2.0, s.BX / 2.0, s.BY / 2.0};
    if (s.Kind == ckSquare) c.hx = c.hy = s.Radius / 2.0;
    if (s.Kind == ckRect) c.hx = s.HalfX / 2.0, c.hy = s.HalfY / 2.0;
    if (s.Kind != ckSquare) c.r = s.Radius / 2.0;
    return c;
  };
  auto distance = [](double px, double py, const Core& s) {
    const double dx = s.bx - s.ax, dy = s.by - s.ay, len2 = dx * dx + dy * dy;
    const double t =
        len2 == 0 ? 0 : std::clamp(((px - s.ax) * dx + (py - s.ay) * dy) / len2, 0.0, 1.0);
    return std::hypot(std::max(std::fabs(px - s.ax - t * dx) - s.hx, 0.0),
                      std::max(std::fabs(py - s.ay - t * dy) - s.hy, 0.0));
  };
  for (int round = 0; round < 400; ++round) {
    FakeLayout view;
    TElementList list(&view);
    for (int k = 0; k < 2; ++k) {
      const TPoint a{pick(-40, 40), pick(-40, 40)};
      const int kind = pick(0, k == 0 ? 1 : 2);
      if (kind == 0)
        list.AddWire(a, {a.X + pick(-40, 40), a.Y + pick(-40, 40)}, StepDivisor[pick(0, 4)]);
      else if (kind == 1)
        Add(list, {'S', {a.X, a.Y, pick(1, 40), pick(1, 40), pick(-10, 60)}});
      else
        list.AddSolder(a, 4, pick(1, 30), static_cast<uint8_t>(pick(0, 1)));
    }
    const TCopperShape a = CopperOf(*list.Items(0)), b = CopperOf(*list.Items(1));
    if (a.Empty() || b.Empty()) continue;
    const Core ca = coreOf(a), cb = coreOf(b);
    const bool box = ca.hx + ca.hy > 0;
    // Along the segment or the box's four sides; inside a box, B's first point is at no distance.
    auto corner = [&](int k) {
      if (!box) return k ? std::pair{ca.bx, ca.by} : std::pair{ca.ax, ca.ay};
      return std::pair{ca.ax + (k % 4 == 1 || k % 4 == 2 ? ca.hx : -ca.hx),
                       ca.ay + (k % 4 >= 2 ? ca.hy : -ca.hy)};
    };
    double best = box ? distance(cb.ax, cb.ay, ca) : INFINITY;
    for (int e = 0; e < (box ? 4 : 1); ++e) {
      const auto [x0, y0] = corner(e);
      const auto [x1, y1] = corner(e + 1);
      for (double t = 0; t <= 1.0005; t += 0.001)
        best = std::min(best, distance(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, cb));
    }
    const double estimate = std::max(best, 0.0) - ca.r - cb.r;
    const TCopperGap gap = CopperGap(a, b);
    const double exact = static_cast<double>(gap.Distance);
    for (int k = 0; k < 2; ++k) list.Items(k)->Move(1 << 29, -(1 << 29));
    const TCopperGap far = CopperGap(CopperOf(*list.Items(0)), CopperOf(*list.Items(1)));
    EXPECT_NEAR(double(far.Distance), exact, 1e-9) << round;
    EXPECT_NEAR(double(far.X - gap.X), 1 << 29, 1e-6) << round;
    EXPECT_NEAR(double(far.Y - gap.Y), -(1 << 29), 1e-6) << round;
    EXPECT_LE(exact, estimate + 1e-9) << round;
    EXPECT_GE(exact, estimate - 0.2) << round;
    EXPECT_TRUE(std::fabs(exact) <= 1e-9 || CopperTouches(a, b) == (exact < 0)) << round;
  }
}

// The problems on a board of parts, "A" and "B" pads 160 apart; "=": limits on whole units.
std::string Problems(const char* board) {
  const bool whole = *board == '=';
  const double u = 0.15875;  // a board unit in millimetres
  const TCheckRules rules = whole ? TCheckRules{2 * u, 2 * u, 4 * u, 4 * u} : TCheckRules{};
  FakeLayout view;
  TElementList list(&view);
  std::istringstream in(board + whole);
  for (std::string word; in >> word;)
    AddParts(list, word == "A" ? "P0,0,4,12,0" : word == "B" ? "P160,0,4,12,0" : word);
  std::string out;
  for (const TProblem& p : CheckBoard(list, rules))
    out += std::string(out.empty() ? "" : "\n") + ProblemKindName(p.Kind) + " at " +
           ProblemPlace(p) + ": " + ProblemMessage(p);
  return out;
}

// Each rule just inside and just outside its limit, for pads, SMD pads, texts and fills.
TEST(BoardCheck, EachRuleOnBothSidesOfItsLimit) {
  const std::string dangling = ": wire end touches no other copper";
  const std::string twice = ": same element twice at this place";
  const std::string apart = " mm apart, 0.300 mm required";
  // clang-format off
  const std::pair<const char*, std::string> cases[] = {
      {"A B W0,0,160,0,8", ""}, {"=A B W0,0,160,0,8", ""},
      {"A B W0,0,160,0,16", "width at 12.700, 0.000: wire 0.159 mm wide, 0.300 mm required"},
      {"=A", ""},
      {"=P0,0,4,10,1", "ring at 0.000, 0.000: annular ring 0.476 mm, 0.635 mm required"},
      {"P0,16,3,12,0", "hole at 0.000, 2.540: hole 0.476 mm, 0.500 mm required"},
      {"=A P14,0,4,12,0", ""},
      {"A P13,0,4,12,0", "clearance at 1.032, 0.000: copper 0.159 mm apart, 0.300 mm required"},
      {"A P13,0,4,12,0 W0,0,13,0,2", ""},
      {"A W0,0,100,0,2", "dangling at 15.875, 0.000" + dangling},
      {"A B W0,0,160,0,2 W80,60,80,4,2 P80,60,4,12,1", ""},
      {"A A", "duplicate at 0.000, 0.000" + twice},
      {"A B W0,0,160,0,2 W160,0,0,0,2", "duplicate at 12.700, 0.000" + twice},
      {"=S0,0,12,2,0 S0,32,2,2,50", ""},
      {"S0,0,12,1,0", "width at 0.000, 0.000: SMD pad 0.159 mm wide, 0.300 mm required"},
      {"S0,16,0,12,0", "none at 0.000, 2.540: makes no copper"},
      {"S0,0,12,12,50 S0,0,12,12,70", "duplicate at 0.000, 0.000" + twice},
      {"S0,0,12,12,0 S0,0,12,12,10", ""},
      {"S0,0,12,12,0 S13,0,12,12,25", "clearance at 1.032, 0.000: copper 0.159" + apart},
      {"S0,0,12,6,0 W0,0,100,0,2", "dangling at 15.875, 0.000" + dangling},
      {"=T0,0,21,2,0 T4,0,21,2,0", ""},
      {"T0,0,21,1,1", "width at 0.000, 0.000: text stroke 0.159 mm wide, 0.300 mm required"},
      {"T0,0,21,2,0 T9,0,21,2,1", ""},
      {"T0,0,21,2,0 T11,0,21,2,1", "clearance at 0.873, -3.334: copper 0.159" + apart},
      {"A T0,16,21,2,0 W0,0,4,12,2", ""},
      {"T0,0,21,2,1 T0,0,21,2,1", "duplicate at 0.000, 0.000" + twice},
      {"A P40,0,4,12,0 F0,0,100,300,1", ""},
      {"A P40,0,4,12,0 F0,0,100,200,1", "clearance at 5.298, 0.000: copper 0.200" + apart},
      {"P40,0,4,12,0 F0,0,100,300,1", "fill at 0.000, 0.000: fill joins nothing"},
      {"A P40,0,4,12,0 F0,0,100,300,0", "fill at -15.875, -15.875: fill joins nothing"},
      {"A W0,0,50,0,2 F0,0,100,300,1", ""},
      {"A W0,0,150,0,2 F0,0,100,300,1", "dangling at 23.813, 0.000" + dangling},
      {"A P202,0,4,12,0 F0,0,100,300,1 F202,0,100,300,1", ""},
      {"A P201,0,4,12,0 F0,0,100,300,1 F201,0,100,300,1",
       "clearance at 15.954, 15.725: copper 0.159" + apart},
      {"A P150,0,4,12,0 F0,0,100,300,1 F150,0,100,300,1",
       "clearance at 8.087, 15.875: copper 0.000" + apart},
      {"P2,16,4,8,0 W0,0,9,12,2",
       "dangling at 0.000, 0.000" + dangling + "\ndangling at 1.429, 1.905" + dangling}};
  // clang-format on
  for (const auto& [board, problems] : cases) EXPECT_EQ(Problems(board), problems) << board;
}

// Islands, clearances and dangling ends against a walk over every pair, on random boards.
TEST(BoardCheck, AgreesWithEveryPairWalk) {
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    TPick pick{std::mt19937(seed)};
    const int64_t spread = seed % 4 == 0 ? INT32_MAX : 400;
    FakeLayout view;
    TElementList list(&view);
    for (int i = 0, n = pick(1, 400); i < n; ++i) {
      const TPoint a{pick(-spread - 1, spread), pick(-spread - 1, spread)};
      const int kind = pick(0, 4);
      if (kind < 2)
        list.AddWire(a, {WAdd(a.X, pick(-64, 64)), WAdd(a.Y, pick(-64, 64))}, pick(-2, 40));
      else if (kind == 2)
        list.AddSolder(a, pick(0, 8), pick(-2, 30), static_cast<uint8_t>(pick(0, 2)));
      else if (kind == 3)
        Add(list, {'S', {a.X, a.Y, pick(-2, 40), pick(-2, 40), pick(0, 50)}});
      else
        list.Append(std::make_unique<TCopperText>(&view, a, pick(0, 1) ? "+9V" : "I .\nL",
                                                  pick(2, 30), pick(1, 2), pick(0, 3),
                                                  pick(0, 1) == 1));
    }
    const TCheckRules rules{pick(0, 20) * 0.1};
    const int64_t nm = std::llround(rules.Clearance * 1e6);
    std::vector<TProblem> problems;
    TCopperIslands islands;
    CheckCopper(list, rules, problems, &islands);
    // The same by brute force; ends: which ends of a wire touch other copper.
    const int32_t n = list.Count();
    std::vector<std::vector<TCopperShape>> shapes(n);
    std::vector<int32_t> island(n);
    std::vector<uint8_t> ends(n, 0);
    for (int32_t i = 0; i < n; ++i) AppendCopperOf(*list.Items(i), shapes[i]), island[i] = i;
    auto any = [&](int32_t i, int32_t j, auto pair) {
      for (const TCopperShape& a : shapes[i])
        for (const TCopperShape& b : shapes[j])
          if (!a.Empty() && !b.Empty() && pair(a, b)) return true;
      return false;
    };
    auto track = [&](int32_t i) { return list.Items(i)->IsWire() && shapes[i][0].Kind == ckTrack; };
    std::vector<std::vector<int32_t>> expected, got;
    for (int32_t i = 0; i < n; ++i)
      for (int32_t j = i + 1; j < n; ++j) {
        if (!any(i, j, CopperTouches)) {
          if (any(i, j, [&](auto& a, auto& b) { return CopperCloser(a, b, nm); }))
            expected.push_back({i, j});
          continue;
        }
        const int32_t from = island[j], to = island[i];
        std::replace(island.begin(), island.end(), from, to);
        for (auto [w, o] : {std::pair{i, j}, std::pair{j, i}})
          for (const TCopperShape& other : shapes[o])
            for (int end = 0; end < 2 && track(w) && !other.Empty(); ++end) {
              const TCopperShape& s = shapes[w][0];
              if (CopperTouches(other, CopperDisc(end ? s.BX : s.AX, end ? s.BY : s.AY, s.Radius)))
                ends[w] |= 1 << end;
            }
      }
    expected.erase(std::remove_if(expected.begin(), expected.end(),
                                  [&](auto& p) { return island[p[0]] == island[p[1]]; }),
                   expected.end());
    for (int32_t i = 0; i < n; ++i) {
      if (!track(i)) continue;
      const TCopperShape& s = shapes[i][0];
      if (!(ends[i] & 1)) expected.push_back({i});
      if (!(ends[i] & 2) && (s.AX != s.BX || s.AY != s.BY)) expected.push_back({i});
    }
    for (const TProblem& p : problems) got.push_back(p.Elements);
    EXPECT_EQ(got, expected) << "seed " << seed;
    for (int32_t i = 0; i < n; ++i)
      for (int32_t j = i + 1; j < n; ++j)
        ASSERT_EQ(island[i] == island[j], islands.IslandOf(i) == islands.IslandOf(j))
            << "seed " << seed << ": " << i << ", " << j;
  }
}

// Boxes are the copper's, pads' grown to their holes, clamped at the 32-bit edges.
TEST(ElementIndex, BoxesOfElements) {
  FakeLayout view;
  TElementList list(&view);
  // Widths 8, 3, 16; land or hole wider (7 prints as 6), no hole; "I" 4 right of its anchor.
  AddParts(list, "W10,20,0,5,2 W0,0,0,0,5 W2147483647,0,-2147483648,0,1 P100,-100,6,20,0");
  AddParts(list, "P0,0,30,7,1 P0,0,-30,7,1 T0,0,21,3,0");
  list.Append(std::make_unique<TCopperText>(&view, TPoint{-5, 6}, "  ", 21, 3, 0, false));
  AddParts(list, "W0,0,0,0,-16 P-2147483648,2147483647,0,-2147483648,0 W0,0,1,1,0");  // no copper
  const TRect expected[] = {{-4, 1, 14, 24},      {-2, -2, 2, 2},     {INT32_MIN, -8, INT32_MAX, 8},
                            {90, -110, 110, -90}, {-15, -15, 15, 15}, {-3, -3, 3, 3},
                            {2, -23, 6, 2},       {-5, 6, -5, 6}};
  for (int32_t i = 0; i < list.Count(); ++i) {
    TRect box;
    ASSERT_EQ(TElementIndex::ElementBox(*list.Items(i), box), i < 8) << i;
    EXPECT_TRUE(i >= 8 || box == expected[i]) << i;
  }
}

// Each element's box grown by GROW, clamped to the plane, and its reach from the origin.
struct TBox {
  bool boxed;
  TRect r;
  int64_t reach = 0;
};
std::vector<TBox> Boxes(const TElementList& list, int32_t grow) {
  auto clamp = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  std::vector<TBox> boxes;
  for (int32_t i = 0; i < list.Count(); ++i) {
    TBox b;
    b.boxed = TElementIndex::ElementBox(*list.Items(i), b.r);
    b.r = {clamp(int64_t{b.r.Left} - grow), clamp(int64_t{b.r.Top} - grow),
           clamp(int64_t{b.r.Right} + grow), clamp(int64_t{b.r.Bottom} + grow)};
    for (int32_t v : {b.r.Left, b.r.Top, b.r.Right, b.r.Bottom})
      b.reach = b.boxed ? std::max(b.reach, std::abs(int64_t{v})) : 0;
    boxes.push_back(b);
  }
  return boxes;
}

bool Meets(const TRect& a, const TRect& b) {
  return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

// The index against a walk of the boxes on random boards, odd ones and far pads included.
TEST(ElementIndex, AnswersAsAWalkOfTheList) {
  for (uint32_t seed = 1; seed <= 15; ++seed) {
    const int64_t spread = seed % 5 == 0 ? INT32_MAX : seed % 5 % 2 ? 2000 : 200000;
    TPick pick{std::mt19937(seed)};
    auto coord = [&] { return pick(-spread - 1, spread); };
    FakeLayout view;
    TElementList list(&view);
    const int made = pick(0, 3) == 0 ? pick(0, 5) : pick(50, 3000);
    for (int i = 0; i < made; ++i) {
      const TPoint a{coord(), coord()}, b{coord(), coord()};
      const bool odd = pick(0, 20) == 0;
      const int32_t any = pick(INT32_MIN, INT32_MAX), other = pick(INT32_MIN, INT32_MAX);
      if (pick(0, 1))
        list.AddWire(a, odd ? b : TPoint{WAdd(a.X, pick(-160, 160)), WAdd(a.Y, pick(-160, 160))},
                     odd ? any % 20 : StepDivisor[pick(0, 4)]);
      else
        list.AddSolder(a, odd ? any : pick(3, 8), odd ? other : pick(10, 32), uint8_t(pick(0, 2)));
    }
    const TPoint far{pick(3000000, INT32_MAX), pick(-3000000, 3000000)};
    if (seed % 5 > 2) list.Insert(pick(0, made), std::make_unique<TSolder>(&view, far, 4, 16, 0));
    const int count = list.Count();
    const int32_t grow = seed % 2 ? pick(1, 20) : 0;  // as the board check grows them
    TElementIndex index;
    index.Build(list, grow);
    const std::vector<TBox> boxes = Boxes(list, grow);
    std::vector<std::pair<int32_t, int32_t>> pairs, allPairs;
    index.ForEachPair([&](int32_t i, int32_t j) { pairs.push_back({i, j}); });
    std::sort(pairs.begin(), pairs.end());
    for (int32_t i = 0; i < count; ++i)
      for (int32_t j = i + 1; j < count; ++j)
        if (boxes[i].boxed && boxes[j].boxed && Meets(boxes[i].r, boxes[j].r))
          allPairs.push_back({i, j});
    ASSERT_EQ(pairs, allPairs) << "seed " << seed;
    std::vector<int32_t> got, walk;
    for (int q = 0; q < 200; ++q) {
      // The whole plane, its last point, from anywhere to round the far pad, then any box.
      const TPoint c{coord(), coord()};
      const int32_t reach = pick(0, 40), size = pick(0, 3) ? pick(0, 400) : pick(0, INT32_MAX);
      TRect r = {q ? INT32_MAX : INT32_MIN, q ? INT32_MAX : INT32_MIN, INT32_MAX, INT32_MAX};
      if (q >= 2 && q < 10)
        r = {std::min(far.X - reach, q % 2 ? c.X : far.X - reach),
             std::min(far.Y - reach, q % 2 ? c.Y : far.Y - reach), far.X, far.Y};
      else if (q >= 10)
        r = {c.X, c.Y, int32_t(std::min<int64_t>(int64_t{c.X} + size, INT32_MAX)),
             int32_t(std::min<int64_t>(int64_t{c.Y} + pick(0, size), INT32_MAX))};
      if (q >= 10 && q % 17 == 0) std::swap(r.Left, r.Right);
      const int32_t from = q % 3 == 0 ? pick(0, count) : 0;  // only the elements after one
      index.Query(r, got, from);
      walk.clear();
      for (int32_t i = from; i < count; ++i)
        if (!boxes[i].boxed || (r.Left <= r.Right && r.Top <= r.Bottom && Meets(boxes[i].r, r)))
          walk.push_back(i);
      ASSERT_EQ(got, walk) << "seed " << seed << " query " << q;
    }
    // The board's index through changes: the walk, plus every element past the part it indexed.
    TBoardIndex board;
    for (int round = 0; round < 6; ++round) {
      for (int k = round == 0 ? 0 : round < 5 ? 3 : 2000; k > 0; --k)
        list.AddSolder({coord(), coord()}, 4, 16, 0);
      if (round > 0) {
        const int32_t i = pick(0, list.Count() - 1);
        list.Items(i)->Move(pick(-500, 500), 7);
        list.Changed(i);
        list.Delete(pick(0, list.Count() - 1));
      }
      board.Update(list);
      const std::vector<TBox> now = Boxes(list, 0);
      for (const TBox& b : now) ASSERT_GE(board.Reach(), b.reach);
      for (int q = 0; q < 20; ++q) {
        const TPoint c{coord(), coord()};
        const TRect r{c.X, c.Y, int32_t(std::min<int64_t>(int64_t{c.X} + pick(0, 400), INT32_MAX)),
                      int32_t(std::min<int64_t>(int64_t{c.Y} + pick(0, 400), INT32_MAX))};
        // Trusted for every element, or for those within some reach (the rest handed out too).
        const int64_t within = q % 2 ? INT64_MAX : pick(0, spread);
        if (!board.NearbyWithin(r, within, got)) continue;
        walk.clear();
        for (int32_t i = 0; i < list.Count(); ++i)
          if (i >= board.IndexedBelow() || !now[i].boxed || now[i].reach > within ||
              Meets(now[i].r, r))
            walk.push_back(i);
        ASSERT_EQ(got, walk) << "seed " << seed << " round " << round;
      }
    }
  }
}

}  // namespace
