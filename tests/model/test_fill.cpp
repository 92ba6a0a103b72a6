// Copper fills: the area worked out from the board's copper, and the fill element on a board.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <set>

#include "FakeLayout.h"
#include "TCopperFill.h"
#include "TCopperIslands.h"
#include "TElementIndex.h"
#include "TElementList.h"
#include "TFill.h"

namespace {

constexpr int64_t kHalf = NanometresPerHalfUnit, kUnit = NanometresPerUnit;
constexpr int kDx[4] = {0, 1, 0, -1}, kDy[4] = {-1, 0, 1, 0};  // up, right, down, left

// Copper in board units: a track of a width, a round or square pad with a hole, an SMD pad.
TCopperShape Track(int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t width) {
  return {ckTrack, 2 * ax, 2 * ay, 2 * bx, 2 * by, width};
}
TCopperShape Pad(int32_t x, int32_t y, int32_t size, int32_t hole, bool square = false) {
  const TCopperKind kind = size / 2 <= 0 ? ckNone : square ? ckSquare : ckRound;
  return {kind, 2 * x, 2 * y, 2 * x, 2 * y, 2 * (size / 2), 0, 0, hole};
}
TCopperShape Smd(int32_t x, int32_t y, int32_t width, int32_t height, int32_t corner) {
  return {ckRect, 2 * x, 2 * y, 2 * x, 2 * y, 2 * corner, width - 2 * corner, height - 2 * corner};
}
TFillPoint At(int64_t x2, int64_t y2) { return {x2 * kHalf, y2 * kHalf}; }
// A point so many nanometres off a shape's first point; and the disc of its drill hole.
TFillPoint Off(const TCopperShape& s, double dx = 0, double dy = 0) {
  return {s.AX * kHalf + int64_t(dx), s.AY * kHalf + int64_t(dy)};
}
TCopperShape HoleOf(const TCopperShape& s) { return CopperDisc(s.AX, s.AY, s.HoleRadius); }

const std::vector<TPoint> kBoard{{0, 0}, {400, 0}, {400, 300}, {0, 300}};

// Exact gaps to a square of copper with a hole (-1: overlapping): that passes, a nanometre more
// not.
TEST(Fill, MeasuresExactlyAgainstAnArea) {
  const TFillMeasure measure({{{At(0, 0), At(200, 0), At(200, 200), At(0, 200)},
                               {{At(90, 90), At(90, 110), At(110, 110), At(110, 90)}}}});
  // clang-format off
  const std::pair<TCopperShape, int64_t> cases[] = {
      {Pad(110, 50, 10, 0), 5 * kUnit}, {Track(20, 105, 80, 105, 2), 4 * kUnit},
      {Pad(104, 105, 2, 0, true), 5 * kUnit}, {Track(103, -4, 110, -11, 0), 5 * kUnit},
      {Pad(50, 50, 4, 0), 3 * kUnit}, {Smd(50, 50, 4, 2, 1), 3 * kUnit}, {Pad(20, 20, 10, 0), -1},
      {Track(90, 50, 120, 50, 2), -1}, {Track(102, 50, 120, 50, 4), 0}};
  // clang-format on
  for (const auto& [piece, gapNm] : cases) {
    SCOPED_TRACE(testing::Message() << piece.AX << ", " << piece.AY);
    EXPECT_EQ(measure.Touches(piece), gapNm <= 0);
    EXPECT_EQ(measure.Closer(piece, std::max<int64_t>(gapNm, 0)), gapNm < 0);
    EXPECT_TRUE(measure.Closer(piece, gapNm + 1));
    EXPECT_EQ(measure.Inside(Off(piece)), gapNm < 0);
    EXPECT_EQ(measure.AreasTouching(piece).size(), gapNm <= 0 ? 1u : 0u);
  }
}

// Around a pad the hole keeps the clearance and strays at most the tolerance beyond it; however the
// outline was drawn, the outer path turns one way, the hole the other.
TEST(Fill, CurvesStayWithinTheToleranceOnTheSafeSide) {
  auto turn = [](const TFillPath& p) {  // both paths are convex
    return (long double)(p[1].X - p[0].X) * (p[2].Y - p[1].Y) -
           (long double)(p[1].Y - p[0].Y) * (p[2].X - p[1].X);
  };
  const std::vector<TPoint> reversed(kBoard.rbegin(), kBoard.rend());
  const std::pair<int32_t, int64_t> cases[] = {
      {2, 0}, {10, 200000}, {20, 500000}, {64, 500000}, {200, 2000000}};
  for (auto [size, clearance] : cases) {
    SCOPED_TRACE(size);
    TFillSettings settings;
    settings.Clearance = clearance, settings.KeepIslands = true;
    const TCopperShape pad = Pad(200, 150, size, 0);
    const auto fill = ComputeFill(size % 4 ? kBoard : reversed, settings, {{pad, 1}}, NoFillSeed);
    ASSERT_TRUE(fill.size() == 1 && fill[0].Holes.size() == 1);
    EXPECT_GT(turn(fill[0].Outer), 0);
    EXPECT_LT(turn(fill[0].Holes[0]), 0);
    double farthest = 0;
    for (const TFillPoint& p : fill[0].Holes[0])
      farthest = std::max(farthest,
                          std::hypot(double(p.X - pad.AX * kHalf), double(p.Y - pad.AY * kHalf)));
    EXPECT_LE(farthest - double(pad.Radius * kHalf + clearance), double(FillCurveTolerance));
    const TFillMeasure measure(fill);
    EXPECT_FALSE(measure.Closer(pad, clearance));
    EXPECT_TRUE(measure.Closer(pad, clearance + FillCurveTolerance));
  }
}

// A ground pad's spokes (up, right, down, left), each dropped where too near other copper (0.46 mm
// off the upper one), the outline or another ground pad's ring; none when drilled out.
TEST(Fill, SpokesKeepTheirDistance) {
  const TCopperShape track{ckTrack, 410, 240, 410, 275, 1},
      hole{ckNone, 410, 275, 410, 275, 0, 0, 0, 1};
  const std::vector<TPoint> tight{{0, 0}, {210, 0}, {210, 300}, {0, 300}};
  // clang-format off
  const struct {
    std::vector<TFillPiece> others;
    bool tight;
    int32_t hole;  // the ground pad's, which is 16 across
    const char* spokes;
  } cases[] = {{{}, false, 4, "urdl"}, {{{track, 1}}, false, 4, "-rdl"}, {{}, false, 16, "----"},
               {{{hole, 1}}, false, 4, "-rdl"}, {{}, true, 4, "u-dl"},
               {{{Pad(200, 128, 16, 4), 0}}, false, 4, "-rdl"}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    const TCopperShape pad = Pad(200, 150, 16, c.hole);
    std::vector<TFillPiece> pieces = c.others;
    pieces.push_back({pad, 0});
    const TFillSettings settings;
    const TFillMeasure measure(ComputeFill(c.tight ? tight : kBoard, settings, pieces, 0));
    const int64_t middle = pad.Radius * kHalf + settings.ThermalGap / 2;
    for (int q = 0; q < 4; ++q)
      EXPECT_EQ(measure.Inside(Off(pad, kDx[q] * middle, kDy[q] * middle)), c.spokes[q] != '-');
    EXPECT_EQ(measure.Touches(pad), c.hole < 16);
    EXPECT_FALSE(measure.Closer(HoleOf(pad), 0));
    for (const auto& [o, island] : c.others)
      EXPECT_TRUE(island == 0 || !measure.Closer(o.Empty() ? HoleOf(o) : o, settings.Clearance));
  }
}

// Random boards: clear of other islands and holes, spokes across a bare gap, nothing too thin.
TEST(Fill, RandomBoardsKeepEveryRule) {
  // Clearance, minimum width, thermal gap, spoke width; the last draws spokes at the minimum width.
  const TFillSettings table[] = {
      {}, {200000, 200000, 300000, 250000}, {1000000, 600000, 400000, 300000}};
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const TFillSettings& settings = table[seed % 3];
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    auto pick = [&rng](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    // The seed's four pads joined by tracks, each with a clear square around it.
    std::vector<TFillPiece> pieces;
    for (int i = 0; i < 4; ++i)
      pieces.push_back({Pad(60 + 90 * i, pick(60, 240), pick(8, 16), pick(3, 5), i % 2), 0});
    for (int i = 1; i < 4; ++i) {
      const TCopperShape &a = pieces[i - 1].Shape, &b = pieces[i].Shape;
      pieces.push_back({{ckTrack, a.AX, a.AY, b.AX, b.AY, 4}, 0});
    }
    while (pieces.size() < 50) {
      const int32_t x = pick(-20, 420), y = pick(-20, 320), w = pick(3, 12), h = pick(3, 12);
      const int kind = pick(0, 3);
      const TCopperShape s = kind == 0 ? Pad(x, y, pick(6, 20), pick(0, 6), pick(0, 1))
                             : kind == 1
                                 ? Track(x, y, x + pick(-60, 60), y + pick(-60, 60), pick(0, 8))
                             : kind == 2 ? Smd(x, y, w, h, pick(0, std::min(w, h) / 2))
                                         : Pad(x, y, 0, pick(2, 6));  // a bare hole
      const THalfBox b = ExtentOf(s, true);
      bool crowds = false;
      for (int i = 0; i < 4; ++i)
        crowds |= b.Right >= pieces[i].Shape.AX - 60 && b.Left <= pieces[i].Shape.AX + 60 &&
                  b.Bottom >= pieces[i].Shape.AY - 60 && b.Top <= pieces[i].Shape.AY + 60;
      if (!crowds) pieces.push_back({s, pick(0, 2) ? int32_t(pieces.size()) : 0});
    }
    const auto fill = ComputeFill(kBoard, settings, pieces, 0);
    const TFillMeasure measure(fill);
    std::set<int32_t> joined;  // every area left reaches the seed's copper
    for (const auto& [s, island] : pieces) {
      // Clear of other islands and of holes, except those of the pads its spokes reach.
      EXPECT_TRUE(island == 0 || !measure.Closer(s, settings.Clearance));
      for (int32_t a : island == 0 ? measure.AreasTouching(s) : std::vector<int32_t>{})
        joined.insert(a);
      const bool thermal = island == 0 && (s.Kind == ckRound || s.Kind == ckSquare);
      EXPECT_TRUE(s.HoleRadius <= 0 ||
                  !measure.Closer(HoleOf(s), thermal ? 0 : settings.Clearance));
    }
    for (int i = 0; i < 4; ++i) {
      // Across the ring the spokes are copper, between them a round pad's ring is bare.
      const TCopperShape& pad = pieces[i].Shape;
      EXPECT_TRUE(measure.Touches(pad));
      const double middle = double(pad.Radius * kHalf + settings.ThermalGap / 2);
      const double d = middle / std::sqrt(2.0);
      for (int q = 0; q < 4; ++q) {
        EXPECT_TRUE(measure.Inside(Off(pad, kDx[q] * middle, kDy[q] * middle)));
        EXPECT_TRUE(pad.Kind != ckRound ||
                    !measure.Inside(Off(pad, q % 2 ? d : -d, q / 2 ? d : -d)));
      }
    }
    EXPECT_EQ(joined.size(), fill.size());
    // Opened by a little less than the minimum width, it loses nothing wider than the tolerance.
    const int64_t half = settings.MinimumWidth / 2 - 2 * FillCurveTolerance;
    const auto opened = FillOffset(FillOffset(fill, -half), half);
    EXPECT_TRUE(FillOffset(FillDifference(fill, opened), -2 * FillCurveTolerance).empty());
  }
}

// A board 300 units square under one fill: 0 a ground pad at (80, 80), 1 a wire down from it,
// 2 a pad of another island at (200, 80), 3 the fill.
struct Board {
  FakeLayout view;
  TElementList list{&view};
  TCopperFill* fill;
  explicit Board(TPoint seed = {80, 80}, bool keep = false, bool seeded = true) {
    list.AddSolder({80, 80}, 4, 16, sgCircle);
    list.AddWire({80, 80}, {80, 200}, 4);
    list.AddSolder({200, 80}, 4, 16, sgCircle);
    TFillSettings settings;
    settings.KeepIslands = keep;
    fill = new TCopperFill(&view, {{0, 0}, {300, 0}, {300, 300}, {0, 300}}, seeded, seed, settings);
    list.Append(std::unique_ptr<TPCBElement>(fill));
    UpdateFills(list);
  }
};

// Each kind of change, then its undoing, each followed by the board's update.
TEST(CopperFill, FollowsEveryChangeAndItsUndo) {
  std::unique_ptr<TPCBElement> taken;
  auto moveBy = [](int32_t at, int32_t dx) {
    return [at, dx](Board& b, bool back) {
      b.list.Items(at)->Move(back ? -dx : dx, 0);
      b.list.Changed(at);
    };
  };
  const std::function<void(Board&, bool)> changes[] = {
      moveBy(2, 20), moveBy(0, 12),
      [&](Board& b, bool back) {
        back ? b.list.Insert(2, std::move(taken)) : void(taken = b.list.Take(2));
      },
      [](Board& b, bool back) {
        b.fill->SetSettings(back ? TFillSettings{} : TFillSettings{1000000});
        b.list.Changed(3);
      },
      [](Board& b, bool back) {
        b.fill->SetCorners({{0, 0}, {300, 0}, {300, back ? 300 : 280}, {0, 300}});
        b.list.Changed(3);
      }};
  auto same = [](const std::vector<TFillArea>& a, const std::vector<TFillArea>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](auto& x, auto& y) { return x.Outer == y.Outer && x.Holes == y.Holes; });
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(&change - changes);
    Board b;
    const std::vector<TFillArea> before = b.fill->Areas();
    ASSERT_FALSE(before.empty());
    for (bool back : {false, true}) {
      change(b, back);
      UpdateFills(b.list);
      EXPECT_EQ(same(b.fill->Areas(), before), back);
    }
    EXPECT_NE(b.fill->SeedIsland(), NoFillSeed);
  }
}

// Seed, keeping islands, seeded; whether it joins the ground and whether it has copper.
TEST(CopperFill, JoinsTheIslandUnderItsSeed) {
  const std::tuple<TPoint, bool, bool, bool, bool> rows[] = {
      {{80, 80}, false, true, true, true},    {{82, 150}, false, true, true, true},
      {{83, 150}, false, true, false, false}, {{150, 250}, false, true, false, false},
      {{150, 250}, true, true, false, true},  {{80, 80}, false, false, false, false}};
  for (const auto& [seed, keep, seeded, joins, copper] : rows) {
    SCOPED_TRACE(testing::Message() << seed.X << ", " << seed.Y << keep << seeded);
    Board b(seed, keep, seeded);
    EXPECT_EQ(b.fill->SeedIsland() != NoFillSeed, joins);
    EXPECT_EQ(!b.fill->Areas().empty(), copper);
    // Select Connected: from the ground to the fill and back, never to the other pad.
    TElementIndex index;
    index.Build(b.list);
    TCopperIslands islands;
    islands.Build(b.list, index);
    const std::vector<int32_t> ground{0, 1, 3}, pad{0, 1}, fill{3};
    EXPECT_EQ(islands.ConnectedTo({0}), joins ? ground : pad);
    EXPECT_EQ(islands.ConnectedTo({3}), joins ? ground : fill);
  }
}

// Drawn with its clearances and thermal ring showing, and hit anywhere inside its outline.
TEST(CopperFill, DrawsItsCopperWithTheGapsShowingAndIsHitInside) {
  Board b;  // 10 pixels a step of 16 units
  b.fill->Draw(dmNormal);
  b.view.Flush();
  const std::tuple<int, int, bool> probes[] = {{150, 250, true}, {210, 80, false}, {200, 88, false},
                                               {86, 86, false},  {90, 80, true},   {80, 150, true}};
  for (auto [x, y, copper] : probes) {
    EXPECT_EQ(FakeLayout::At(b.view.Board, x * 10 / 16, y * 10 / 16), copper ? 0x7FBF7F : 0xFFFFFF)
        << x << ", " << y;
    EXPECT_TRUE(b.fill->HitTest({x * 10 / 16, y * 10 / 16})) << x << ", " << y;
  }
  EXPECT_FALSE(b.fill->HitTest({190, 100}));
}

}  // namespace
