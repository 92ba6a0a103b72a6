#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "FakeLayout.h"
#include "TBoardIndex.h"
#include "TCopperText.h"
#include "TElementIndex.h"
#include "TElementList.h"

namespace {

// Boxes are the copper's: wires grow by half the printed width (odd halves up), pads by half the
// printed size or the hole where larger, clamped at the 32-bit edges; no copper, no box.
TEST(ElementIndex, BoxesOfElements) {
  FakeLayout view;
  TElementList list(&view);
  list.AddWire({10, 20}, {0, 5}, 2);                // width 8
  list.AddWire({0, 0}, {0, 0}, 5);                  // width 3
  list.AddWire({INT32_MAX, 0}, {INT32_MIN, 0}, 1);  // width 16
  list.AddSolder({100, -100}, 6, 20, 0);            // land wider
  list.AddSolder({0, 0}, 30, 7, 1);                 // hole wider; 7 prints as 6
  list.AddSolder({0, 0}, -30, 7, 1);                // no hole
  // "I" 21 high: one stroke 4 right of the anchor; a text of blanks is boxed at its anchor.
  list.Append(std::make_unique<TCopperText>(&view, TPoint{0, 0}, "I", 21, 3, 0, false));
  list.Append(std::make_unique<TCopperText>(&view, TPoint{-5, 6}, "  ", 21, 3, 0, false));
  list.AddWire({0, 0}, {0, 0}, -16);  // no copper from here on
  list.AddSolder({INT32_MIN, INT32_MAX}, 0, INT32_MIN, 0);
  list.AddWire({0, 0}, {1, 1}, 0);
  const TRect expected[] = {{-4, 1, 14, 24},      {-2, -2, 2, 2},     {INT32_MIN, -8, INT32_MAX, 8},
                            {90, -110, 110, -90}, {-15, -15, 15, 15}, {-3, -3, 3, 3},
                            {2, -23, 6, 2},       {-5, 6, -5, 6}};
  for (int32_t i = 0; i < list.Count(); ++i) {
    TRect box;
    ASSERT_EQ(TElementIndex::ElementBox(*list.Items(i), box), i < 8) << i;
    EXPECT_TRUE(i >= 8 || box == expected[i]) << i;
  }
}

// Each element's box grown by GROW and clamped to the plane, and how far it reaches from the
// origin (boxed: whether it has copper at all).
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

// The index against a walk of the boxes on random boards (ordinary, spread over the 32-bit plane,
// a far pad, hand-edited oddities); queries of every size, at the plane's edges and inverted.
TEST(ElementIndex, AnswersAsAWalkOfTheList) {
  for (uint32_t seed = 1; seed <= 15; ++seed) {
    const int64_t spread = seed % 5 == 0 ? INT32_MAX : seed % 5 % 2 ? 2000 : 200000;
    std::mt19937 rng(seed);
    auto pick = [&rng](int64_t lo, int64_t hi) {
      return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(lo, hi)(rng));
    };
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
    ASSERT_EQ(index.Count(), count);
    const std::vector<TBox> boxes = Boxes(list, grow);
    // Every pair of meeting boxes once.
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
    // The board's index through changes at the board's end and in its middle, a few or more than
    // it keeps track of: what the walk gives, plus every element past the part it indexed.
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
        board.Nearby(r, got);
        walk.clear();
        for (int32_t i = 0; i < list.Count(); ++i)
          if (i >= board.IndexedBelow() || !now[i].boxed || Meets(now[i].r, r)) walk.push_back(i);
        ASSERT_EQ(got, walk) << "seed " << seed << " round " << round;
      }
    }
  }
}

}  // namespace
