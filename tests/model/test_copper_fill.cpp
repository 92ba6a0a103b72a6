#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "FakeLayout.h"
#include "TCopperFill.h"
#include "TCopperIslands.h"
#include "TElementIndex.h"
#include "TElementList.h"

namespace {

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
