#include <gtest/gtest.h>

#include <functional>

#include "FakeLayout.h"
#include "TElementList.h"

namespace {

// Each change tells from which list position on it may have touched the board, so an index of
// the board can keep what lies before; too long ago to tell is position 0.
TEST(ElementChanges, UnchangedBelowThePositionsTouched) {
  FakeLayout view;
  TElementList list(&view);
  for (int i = 0; i < 10; ++i) list.AddWire({i, 0}, {i, 16}, 2);
  using Change = std::function<void(TElementList&)>;
  const std::pair<Change, int32_t> rows[] = {
      {[](TElementList& l) {
         l.AddSolder({0, 0}, 4, 16, 0);
       },
       10},
      {[](TElementList& l) { l.TakeLast(3); }, 8},
      {[](TElementList& l) { l.Insert(4, l.Take(6)); }, 4},
      {[](TElementList& l) {
         l.PutBack({2, 5}, l.TakeAt({2, 5}));
       },
       2},
      {[](TElementList& l) { l.Remove(l.Items(7)); }, 7},
      {[](TElementList& l) { l.Items(1)->Move(1, 1), l.Changed(); }, 0},
      {[](TElementList& l) { l.FreeAll(); }, 0},
  };
  for (const auto& [change, expected] : rows) {
    const uint64_t before = list.Generation();
    change(list);
    EXPECT_EQ(list.UnchangedBelow(before), expected) << expected;
    EXPECT_EQ(list.UnchangedBelow(list.Generation()), list.Count());
  }
  list.AddWire({0, 0}, {1, 1}, 1);
  const uint64_t start = list.Generation();
  for (int i = 0; i < 40; ++i) list.AddWire({i, 0}, {i, 1}, 1);
  EXPECT_EQ(list.UnchangedBelow(start), 0);  // too far back
}

}  // namespace
