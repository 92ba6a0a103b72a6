// Copper fills: the area worked out from the board's copper, and the fill element on a board.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <string>

#include "FakeLayout.h"
#include "TCopperFill.h"
#include "TCopperIslands.h"
#include "TElementIndex.h"
#include "TElementList.h"
#include "TFill.h"

namespace {

constexpr int64_t kHalf = NanometresPerHalfUnit;
constexpr int kDx[4] = {0, 1, 0, -1}, kDy[4] = {-1, 0, 1, 0};  // up, right, down, left

// Copper in board units, as elements make it: a track of a width, a round or square pad of a
// size with a hole, a surface-mount pad of a width and height.
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

// The islands of the pieces as the board would find them: copper that touches is one island.
std::vector<TFillPiece> Islands(const std::vector<TCopperShape>& shapes) {
  std::vector<int32_t> root(shapes.size());
  std::iota(root.begin(), root.end(), 0);
  auto find = [&root](int32_t i) {
    while (root[size_t(i)] != i) i = root[size_t(i)] = root[size_t(root[size_t(i)])];
    return i;
  };
  for (size_t i = 0; i < shapes.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (CopperTouches(shapes[i], shapes[j])) root[size_t(find(int32_t(i)))] = find(int32_t(j));
  std::vector<TFillPiece> pieces;
  for (size_t i = 0; i < shapes.size(); ++i) pieces.push_back({shapes[i], find(int32_t(i))});
  return pieces;
}

const std::vector<TPoint> kBoard{{0, 0}, {400, 0}, {400, 300}, {0, 300}};

// A square of copper 100 board units across with a hole 10 across in its middle, measured against
// pieces near its edges: a gap of exactly the gap passes, one nanometre less does not; a piece
// wholly inside the copper overlaps it, one in the hole or outside does not touch it.
TEST(Fill, MeasuresExactlyAgainstAnArea) {
  const TFillMeasure measure({{{At(0, 0), At(200, 0), At(200, 200), At(0, 200)},
                               {{At(90, 90), At(90, 110), At(110, 110), At(110, 90)}}}});
  const int64_t unit = NanometresPerUnit;
  const struct {
    const char* what;
    TCopperShape piece;
    int64_t gapNm;  // the exact gap; -1 for copper that touches or overlaps
    bool inside;
  } cases[] = {
      {"pad right of the edge", Pad(110, 50, 10, 0), 5 * unit, false},
      {"track below, level", Track(20, 105, 80, 105, 2), 4 * unit, false},
      {"square pad off a corner", Pad(104, 105, 2, 0, true), 5 * unit, false},
      {"diagonal track off a corner", Track(103, -4, 110, -11, 0), 5 * unit, false},
      {"pad in the hole", Pad(50, 50, 4, 0), 3 * unit, false},
      {"rounded rect in the hole", Smd(50, 50, 4, 2, 1), 3 * unit, false},
      {"pad in the copper", Pad(20, 20, 10, 0), -1, true},
      {"track across the edge", Track(90, 50, 120, 50, 2), -1, true},
      {"track touching the edge", Track(102, 50, 120, 50, 4), 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.gapNm < 0) {
      EXPECT_TRUE(measure.Touches(c.piece));
      EXPECT_TRUE(measure.Closer(c.piece, 0));
    } else {
      EXPECT_EQ(measure.Touches(c.piece), c.gapNm == 0);
      EXPECT_FALSE(measure.Closer(c.piece, c.gapNm));
      EXPECT_TRUE(measure.Closer(c.piece, c.gapNm + 1));
    }
    EXPECT_EQ(measure.Inside({c.piece.AX * kHalf, c.piece.AY * kHalf}), c.inside);
    EXPECT_EQ(measure.AreasTouching(c.piece).size(), c.gapNm <= 0 ? 1u : 0u);
  }
}

// Around a lone pad of another island, the fill's hole is a polygon that keeps the clearance to
// the true circle everywhere and strays at most 0.01 mm beyond it, at every size. Whichever way
// the outline was drawn, the outer path runs with a positive shoelace sum, the hole negative.
TEST(Fill, CurvesStayWithinTheToleranceOnTheSafeSide) {
  auto shoelace = [](const TFillPath& path) {
    long double sum = 0;
    for (size_t i = 0; i < path.size(); ++i) {
      const TFillPoint a = path[i], b = path[(i + 1) % path.size()];
      sum += (long double)(a.X) * b.Y - (long double)(b.X) * a.Y;
    }
    return sum;
  };
  const std::vector<TPoint> reversed(kBoard.rbegin(), kBoard.rend());
  const struct {
    int32_t size;
    int64_t clearance;
  } cases[] = {{2, 0}, {10, 200000}, {20, 500000}, {64, 500000}, {200, 2000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    TFillSettings settings;
    settings.Clearance = c.clearance, settings.KeepIslands = true;
    const TCopperShape pad = Pad(200, 150, c.size, 0);
    const auto fill = ComputeFill(c.size % 4 ? kBoard : reversed, settings, {{pad, 1}}, NoFillSeed);
    ASSERT_TRUE(fill.size() == 1 && fill[0].Holes.size() == 1);
    EXPECT_GT(shoelace(fill[0].Outer), 0);
    EXPECT_LT(shoelace(fill[0].Holes[0]), 0);
    const double radius = double(pad.Radius * kHalf + c.clearance);
    double farthest = 0;
    for (const TFillPoint& p : fill[0].Holes[0])
      farthest = std::max(farthest,
                          std::hypot(double(p.X - pad.AX * kHalf), double(p.Y - pad.AY * kHalf)));
    EXPECT_LE(farthest - radius, double(FillCurveTolerance));
    const TFillMeasure measure(fill);
    EXPECT_FALSE(measure.Closer(pad, c.clearance));
    EXPECT_TRUE(measure.Closer(pad, c.clearance + FillCurveTolerance));
  }
}

// A wall of other copper across the board cuts the fill in two: the half that holds the seed
// stays, the other goes, unless the fill keeps its islands. With no seed nothing joins.
TEST(Fill, KeepsOnlyWhatReachesTheSeed) {
  const std::vector<TFillPiece> pieces{{Track(200, -10, 200, 310, 4), 1},
                                       {Track(50, 100, 90, 100, 4), 2}};
  const struct {
    int32_t seed;
    bool keep;
    size_t areas;
  } cases[] = {
      {2, false, 1}, {2, true, 2}, {NoFillSeed, false, 0}, {NoFillSeed, true, 2}, {7, false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.seed << (c.keep ? " keeping" : ""));
    TFillSettings settings;
    settings.KeepIslands = c.keep;
    const auto fill = ComputeFill(kBoard, settings, pieces, c.seed);
    ASSERT_EQ(fill.size(), c.areas);
    const TFillMeasure measure(fill);
    EXPECT_EQ(measure.Inside(At(200, 400)), c.areas > 0);  // beside the seed's track
    EXPECT_EQ(measure.Inside(At(600, 300)), c.areas > 1);
  }
}

// A ground pad's spokes, each dropped where it would come too near other copper (a track or hole
// 0.46 mm off the upper spoke, the clearance being 0.5 mm), the outline, or another ground pad's
// ring; none when drilled out to its edge. No spoke covers the pad's own hole.
TEST(Fill, SpokesKeepTheirDistance) {
  const TCopperShape track{ckTrack, 410, 240, 410, 275, 1},
      hole{ckNone, 410, 275, 410, 275, 0, 0, 0, 1};
  const std::vector<TPoint> tight{{0, 0}, {210, 0}, {210, 300}, {0, 300}};
  const struct {
    const char* what;
    std::vector<TFillPiece> others;
    std::vector<TPoint> outline;
    int32_t hole;        // the ground pad's, which is 16 across
    const char* spokes;  // up, right, down, left
  } cases[] = {
      {"alone", {}, kBoard, 4, "urdl"},
      {"track beside", {{track, 1}}, kBoard, 4, "-rdl"},
      {"hole beside", {{hole, 1}}, kBoard, 4, "-rdl"},
      {"outline near", {}, tight, 4, "u-dl"},
      {"ground pad above", {{Pad(200, 128, 16, 4), 0}}, kBoard, 4, "-rdl"},
      {"drilled out", {}, kBoard, 16, "----"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TCopperShape pad = Pad(200, 150, 16, c.hole);
    std::vector<TFillPiece> pieces = c.others;
    pieces.push_back({pad, 0});
    const TFillSettings settings;
    const auto fill = ComputeFill(c.outline, settings, pieces, 0);
    const TFillMeasure measure(fill);
    const int64_t middle = pad.Radius * kHalf + settings.ThermalGap / 2;
    for (int q = 0; q < 4; ++q)
      EXPECT_EQ(measure.Inside({400 * kHalf + kDx[q] * middle, 300 * kHalf + kDy[q] * middle}),
                c.spokes[q] != '-')
          << q;
    EXPECT_EQ(measure.Touches(pad), std::string(c.spokes) != "----");
    EXPECT_FALSE(measure.Closer(CopperDisc(pad.AX, pad.AY, pad.HoleRadius), 0));
    for (const TFillPiece& other : c.others) {
      if (other.Island == 0) continue;
      const TCopperShape& o = other.Shape;
      EXPECT_FALSE(
          measure.Closer(o.Empty() ? CopperDisc(o.AX, o.AY, o.HoleRadius) : o, settings.Clearance));
    }
  }
}

// Random boards on several islands: the fill keeps its clearance to every other island and hole,
// reaches the seed's pads by four spokes across a bare thermal gap, and has nothing too thin.
TEST(Fill, RandomBoardsKeepEveryRule) {
  // Clearance, minimum width, thermal gap, spoke width; the last draws spokes at the minimum width.
  const TFillSettings settingsTable[] = {
      {}, {200000, 200000, 300000, 250000}, {1000000, 600000, 400000, 300000}};
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const TFillSettings& settings = settingsTable[seed % 3];
    SCOPED_TRACE(testing::Message() << "board " << seed);
    std::mt19937 rng(seed);
    auto pick = [&rng](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    // The seed's pads, each with a clear square around it that other copper keeps out of.
    std::vector<TCopperShape> seedPads;
    for (int i = 0; i < 4; ++i)
      seedPads.push_back(Pad(60 + 90 * i, pick(60, 240), pick(8, 16), pick(3, 5), i % 2));
    std::vector<TCopperShape> shapes = seedPads;
    for (size_t i = 1; i < seedPads.size(); ++i)
      shapes.push_back(Track(int32_t(seedPads[i - 1].AX / 2), int32_t(seedPads[i - 1].AY / 2),
                             int32_t(seedPads[i].AX / 2), int32_t(seedPads[i].AY / 2), 4));
    auto crowds = [&seedPads](const TCopperShape& s) {
      const THalfBox b = ExtentOf(s, true);
      for (const TCopperShape& pad : seedPads)
        if (b.Right >= pad.AX - 60 && b.Left <= pad.AX + 60 && b.Bottom >= pad.AY - 60 &&
            b.Top <= pad.AY + 60)
          return true;
      return false;
    };
    while (shapes.size() < 50) {
      const int32_t x = pick(-20, 420), y = pick(-20, 320);
      TCopperShape s;
      const int kind = pick(0, 3);
      if (kind == 0) {
        s = Pad(x, y, pick(6, 20), pick(0, 6), pick(0, 1));
      } else if (kind == 1) {
        s = Track(x, y, x + pick(-60, 60), y + pick(-60, 60), pick(0, 8));
      } else if (kind == 2) {
        const int32_t w = pick(3, 12), h = pick(3, 12);
        s = Smd(x, y, w, h, pick(0, std::min(w, h) / 2));
      } else {
        s = Pad(x, y, 0, pick(2, 6));  // a bare hole
      }
      if (!crowds(s)) shapes.push_back(s);
    }
    const std::vector<TFillPiece> pieces = Islands(shapes);
    const int32_t island = pieces[0].Island;
    const auto fill = ComputeFill(kBoard, settings, pieces, island);
    const TFillMeasure measure(fill);

    for (const TFillArea& area : fill)
      for (const TFillPoint& p : area.Outer)
        EXPECT_TRUE(0 <= p.X && p.X <= 400 * NanometresPerUnit && 0 <= p.Y &&
                    p.Y <= 300 * NanometresPerUnit);
    for (const TFillPiece& p : pieces) {
      if (p.Island != island) {
        EXPECT_FALSE(measure.Closer(p.Shape, settings.Clearance));
      }
      // The fill keeps its clearance to every hole, and covers none of those its spokes reach.
      const bool thermal =
          p.Island == island && (p.Shape.Kind == ckRound || p.Shape.Kind == ckSquare);
      if (p.Shape.HoleRadius > 0) {
        EXPECT_FALSE(measure.Closer(CopperDisc(p.Shape.AX, p.Shape.AY, p.Shape.HoleRadius),
                                    thermal ? 0 : settings.Clearance));
      }
    }
    for (const TCopperShape& pad : seedPads) {
      EXPECT_TRUE(measure.Touches(pad));
      // Across the ring the spokes are copper, between them the ring is bare.
      const double r = double(pad.Radius * kHalf), middle = r + double(settings.ThermalGap) / 2;
      const double diagonal = middle / std::sqrt(2.0);
      const TFillPoint c{pad.AX * kHalf, pad.AY * kHalf};
      for (int q = 0; q < 4; ++q) {
        EXPECT_TRUE(
            measure.Inside({c.X + int64_t(kDx[q] * middle), c.Y + int64_t(kDy[q] * middle)}));
        if (pad.Kind == ckRound) {
          EXPECT_FALSE(measure.Inside({c.X + int64_t((q % 2 ? 1 : -1) * diagonal),
                                       c.Y + int64_t((q / 2 ? 1 : -1) * diagonal)}));
        }
      }
    }
    // Opened by a little less than the minimum width, the fill loses nothing wider than the
    // curve tolerance.
    const int64_t half = settings.MinimumWidth / 2 - 2 * FillCurveTolerance;
    const auto opened = FillOffset(FillOffset(fill, -half), half);
    EXPECT_TRUE(FillOffset(FillDifference(fill, opened), -2 * FillCurveTolerance).empty());
  }
}

bool SameAreas(const std::vector<TFillArea>& a, const std::vector<TFillArea>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](auto& x, auto& y) { return x.Outer == y.Outer && x.Holes == y.Holes; });
}

// A board 300 units square under one fill: a ground pad at (80, 80) with a wire down from it,
// and a pad of another island at (200, 80). Positions: 0 ground, 1 wire, 2 other pad, 3 fill.
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
    const std::vector<TPoint> square{{0, 0}, {300, 0}, {300, 300}, {0, 300}};
    list.Append(std::make_unique<TCopperFill>(&view, square, seeded, seed, settings));
    fill = static_cast<TCopperFill*>(list.Items(3));
    UpdateFills(list);
  }
};

// Each change, then its undoing (back = true), each followed by the board's update.
TEST(CopperFill, FollowsEveryChangeAndItsUndo) {
  std::unique_ptr<TPCBElement> taken;
  auto moveBy = [](int32_t at, int32_t dx) {
    return [at, dx](TElementList& list, TCopperFill&, bool back) {
      list.Items(at)->Move(back ? -dx : dx, 0);
      list.Changed(at);
    };
  };
  const std::pair<const char*, std::function<void(TElementList&, TCopperFill&, bool)>> rows[] = {
      {"the other island's pad moved", moveBy(2, 20)},
      // The seed stays on the wire, and the pad's ring and spokes go with it.
      {"the seed's pad moved", moveBy(0, 12)},
      // The fill then stands one place earlier on the board.
      {"the other island's pad taken out",
       [&](TElementList& list, TCopperFill&, bool back) {
         back ? list.Insert(2, std::move(taken)) : void(taken = list.Take(2));
       }},
      {"the clearance widened",
       [](TElementList& list, TCopperFill& f, bool back) {
         f.SetSettings(back ? TFillSettings{} : TFillSettings{1000000});
         list.Changed(3);
       }},
      {"the outline turned about its middle",
       [](TElementList& list, TCopperFill& f, bool back) {
         f.SetCorners({{0, 0}, {300, 0}, {300, back ? 300 : 280}, {0, 300}});
         list.Changed(3);
       }},
  };
  for (const auto& [name, change] : rows) {
    SCOPED_TRACE(name);
    Board b;
    const std::vector<TFillArea> before = b.fill->Areas();
    ASSERT_FALSE(before.empty());
    for (bool back : {false, true}) {
      change(b.list, *b.fill, back);
      UpdateFills(b.list);
      EXPECT_EQ(SameAreas(b.fill->Areas(), before), back);
    }
    EXPECT_NE(b.fill->SeedIsland(), NoFillSeed);
  }
}

TEST(CopperFill, JoinsTheIslandUnderItsSeed) {
  const struct {
    const char* name;
    TPoint seed;
    bool keep, joins, copper, seeded = true;
  } rows[] = {
      {"on the ground pad's centre", {80, 80}, false, true, true},
      {"on the wire's edge, exactly", {82, 150}, false, true, true},
      {"just beyond the wire's edge", {83, 150}, false, false, false},
      {"on bare board", {150, 250}, false, false, false},
      {"on bare board, keeping islands", {150, 250}, true, false, true},
      {"with no seed", {80, 80}, false, false, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Board b(row.seed, row.keep, row.seeded);
    EXPECT_EQ(b.fill->SeedIsland() != NoFillSeed, row.joins);
    EXPECT_EQ(!b.fill->Areas().empty(), row.copper);
    // Select Connected: from the ground to the fill and back, never to the other pad.
    TElementIndex index;
    index.Build(b.list);
    TCopperIslands islands;
    islands.Build(b.list, index);
    const std::vector<int32_t> fromGround =
        row.joins ? std::vector<int32_t>{0, 1, 3} : std::vector<int32_t>{0, 1};
    EXPECT_EQ(islands.ConnectedTo({0}), fromGround);
    EXPECT_EQ(islands.ConnectedTo({3}), row.joins ? fromGround : std::vector<int32_t>{3});
  }
}

TEST(CopperFill, DrawsItsCopperWithTheGapsShowing) {
  Board b;
  FakeLayout& view = b.view;  // 10 pixels a step of 16 units; half a printer dot a unit
  view.Dpi = 80;
  const TColor fillColor = 0x7FBF7F, W = 0xFFFFFF, focus = view.Focus;
  const struct {
    int x, y;  // board units, even, for whole dots on the page
    TColor screen, page;
  } probes[] = {
      {150, 250, fillColor, 0},
      // In the clearance around the other island's pad (radius 8, then 0.5 mm, 3.15 units).
      {210, 80, W, W},
      {200, 88, W, W},
      // In the ground pad's ring, off its spokes; and on its spoke to the right.
      {86, 86, W, W},
      {90, 80, fillColor, 0},
      // Over the seed's wire, which merges into it.
      {80, 150, fillColor, 0},
  };
  b.fill->Draw(dmNormal);
  view.Printing = true;
  b.fill->Draw(dmPrint);
  view.Flush();
  for (const auto& p : probes) {
    SCOPED_TRACE(std::to_string(p.x) + ", " + std::to_string(p.y));
    EXPECT_EQ(FakeLayout::At(view.Board, p.x * 10 / 16, p.y * 10 / 16), p.screen);
    EXPECT_EQ(FakeLayout::At(view.Page, p.x / 2, p.y / 2), p.page);
    EXPECT_TRUE(b.fill->HitTest({p.x * 10 / 16, p.y * 10 / 16}));
  }
  EXPECT_FALSE(b.fill->HitTest({190, 100}));
  // Chosen, its outline is drawn in the focus colour; under the pointer, over the board only.
  b.fill->Draw(dmHighlight);
  view.Flush();
  EXPECT_EQ(FakeLayout::At(view.Screen, 90, 0), focus);
  EXPECT_EQ(FakeLayout::At(view.Board, 90, 0), fillColor);
  b.fill->SetSelected(true);
  b.fill->Draw(dmNormal);
  view.Flush();
  EXPECT_EQ(FakeLayout::At(view.Board, 90, 0), focus);
}

}  // namespace
