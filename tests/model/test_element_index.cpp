#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "FakeLayout.h"
#include "TElementIndex.h"
#include "TElementList.h"

namespace {

// Boxes are the copper's: wire boxes grow by half the printed width (odd halves rounded up), pad
// boxes by half the size as printed, or by half the hole where that is larger; boxes clamp at the
// 32-bit edges instead of wrapping. What makes no copper has none.
TEST(ElementIndex, BoxesOfElements) {
  FakeLayout view;
  TElementList list(&view);
  list.AddWire({10, 20}, {0, 5}, 2);                // width 8
  list.AddWire({0, 0}, {0, 0}, 5);                  // width 3
  list.AddWire({INT32_MAX, 0}, {INT32_MIN, 0}, 1);  // width 16
  list.AddSolder({100, -100}, 6, 20, 0);            // land wider
  list.AddSolder({0, 0}, 30, 7, 1);                 // hole wider; 7 prints as 6
  list.AddSolder({0, 0}, -30, 7, 1);                // no hole
  list.AddWire({0, 0}, {0, 0}, -16);                // no copper from here on
  list.AddSolder({INT32_MIN, INT32_MAX}, 0, INT32_MIN, 0);
  list.AddWire({0, 0}, {1, 1}, 0);
  const TRect expected[] = {{-4, 1, 14, 24},      {-2, -2, 2, 2},     {INT32_MIN, -8, INT32_MAX, 8},
                            {90, -110, 110, -90}, {-15, -15, 15, 15}, {-3, -3, 3, 3}};
  for (int32_t i = 0; i < list.Count(); ++i) {
    TRect box;
    ASSERT_EQ(TElementIndex::ElementBox(*list.Items(i), box), i < 6) << i;
    if (i < 6) {
      EXPECT_EQ(box, expected[i]) << i;
    }
  }
}

// The index against a walk of the list over the same boxes, on seeded random boards: ordinary
// boards, boards spread over the whole 32-bit plane, and hand-edited oddities (any divisor, any
// diameter) mixed in; queries of every size, at the edges of the plane and inverted.
TEST(ElementIndex, AnswersAsAWalkOfTheList) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int64_t lo, int64_t hi) {
      return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(lo, hi)(rng));
    };
    const int64_t spread = seed % 3 == 0 ? INT32_MAX : seed % 3 == 1 ? 2000 : 200000;
    auto coord = [&] { return pick(-spread - 1, spread); };
    FakeLayout view;
    TElementList list(&view);
    const int count = pick(0, 3) == 0 ? pick(0, 5) : pick(50, 3000);
    for (int i = 0; i < count; ++i) {
      const TPoint a{coord(), coord()};
      const bool odd = pick(0, 20) == 0;
      if (pick(0, 1)) {
        const TPoint b = odd ? TPoint{coord(), coord()}
                             : TPoint{WAdd(a.X, pick(-160, 160)), WAdd(a.Y, pick(-160, 160))};
        list.AddWire(a, b, odd ? pick(INT32_MIN, INT32_MAX) % 20 : StepDivisor[pick(0, 4)]);
      } else {
        list.AddSolder(a, odd ? pick(INT32_MIN, INT32_MAX) : pick(3, 8),
                       odd ? pick(INT32_MIN, INT32_MAX) : pick(10, 32),
                       static_cast<uint8_t>(pick(0, 2)));
      }
    }
    // Boxes grown as the board check grows them, or as they are.
    const int32_t grow = seed % 2 ? pick(1, 20) : 0;
    TElementIndex index;
    index.Build(list, grow);
    ASSERT_EQ(index.Count(), list.Count());
    std::vector<TRect> boxes(static_cast<size_t>(count));
    std::vector<bool> boxed(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
      TRect& b = boxes[static_cast<size_t>(i)];
      boxed[static_cast<size_t>(i)] = TElementIndex::ElementBox(*list.Items(i), b);
      auto clamp = [](int64_t v) {
        return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
      };
      b = {clamp(int64_t{b.Left} - grow), clamp(int64_t{b.Top} - grow),
           clamp(int64_t{b.Right} + grow), clamp(int64_t{b.Bottom} + grow)};
    }
    auto meets = [](const TRect& a, const TRect& b) {
      return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
    };
    // Every pair of meeting boxes once.
    std::vector<std::pair<int32_t, int32_t>> pairs, allPairs;
    index.ForEachPair([&](int32_t i, int32_t j) { pairs.push_back({i, j}); });
    std::sort(pairs.begin(), pairs.end());
    for (int32_t i = 0; i < count; ++i)
      for (int32_t j = i + 1; j < count; ++j)
        if (boxed[i] && boxed[j] && meets(boxes[i], boxes[j])) allPairs.push_back({i, j});
    ASSERT_EQ(pairs, allPairs) << "seed " << seed;
    std::vector<int32_t> got, walk;
    for (int q = 0; q < 200; ++q) {
      TRect r;
      if (q == 0) {
        r = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
      } else if (q == 1) {
        r = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
      } else {
        const TPoint c{coord(), coord()};
        const int32_t size = pick(0, 3) == 0 ? pick(0, INT32_MAX) : pick(0, 400);
        r = {c.X, c.Y, static_cast<int32_t>(std::min<int64_t>(int64_t{c.X} + size, INT32_MAX)),
             static_cast<int32_t>(std::min<int64_t>(int64_t{c.Y} + pick(0, size), INT32_MAX))};
        if (q % 17 == 0) std::swap(r.Left, r.Right);
      }
      // A walk over pairs asks only for the elements after one.
      const int32_t from = q % 3 == 0 ? pick(0, count) : 0;
      index.Query(r, got, from);
      walk.clear();
      for (int32_t i = from; i < count; ++i) {
        if (!boxed[i] || (r.Left <= r.Right && r.Top <= r.Bottom && meets(boxes[i], r)))
          walk.push_back(i);
      }
      ASSERT_EQ(got, walk) << "seed " << seed << " query " << q;
    }
  }
}

}  // namespace
