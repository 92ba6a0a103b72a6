#include <gtest/gtest.h>

#include "FakeLayout.h"
#include "TElementList.h"

namespace {

TEST(View, BoardToScreenTruncatesTowardZero) {
  const struct {
    int32_t cell;
    TPCBStep step;
    TPoint offset, board, screen;
  } cases[] = {
      {10, gs1, {0, 0}, {16, 32}, {10, 20}},         {5, gs1By2, {0, 0}, {16, 32}, {10, 20}},
      {10, gs1, {0, 0}, {-1, -1}, {0, 0}},           {10, gs1, {7, -3}, {-1, 15}, {7, 6}},
      {10, gs1, {0, 0}, {-17, 17}, {-10, 10}},       {11, gs1, {0, 0}, {16, 0}, {11, 0}},
      {1, gs1By16, {100, 100}, {-16, 16}, {84, 116}}};
  for (const auto& c : cases) {
    FakeLayout view;
    view.Cell = c.cell;
    view.Step = c.step;
    view.Offset = c.offset;
    EXPECT_EQ(BoardToScreen(view, c.board), c.screen) << c.board.X << "," << c.board.Y;
  }
}

TEST(Wire, HitTestAtPixelBoundaries) {
  const struct {
    int32_t cell, divisor;
    TPoint start, end;  // in board units
    TPoint pointer;     // in pixels
    bool hit;
  } cases[] = {// P = 10, divisor 4: tolerance 1 around a wire from pixel (0,0) to (100,0).
               {10, 4, {0, 0}, {160, 0}, {50, 0}, true},
               {10, 4, {0, 0}, {160, 0}, {50, 1}, false},
               {10, 4, {0, 0}, {160, 0}, {101, 0}, true},
               {10, 4, {0, 0}, {160, 0}, {102, 0}, false},
               {10, 4, {0, 0}, {160, 0}, {-1, 0}, true},
               {10, 4, {0, 0}, {160, 0}, {-2, 0}, false},
               // Divisor 16: 10 div 32 = 0, so tolerance 1 still, but only the wire's own row.
               {10, 16, {0, 0}, {160, 0}, {50, 0}, true},
               {10, 16, {0, 0}, {160, 0}, {50, 1}, false},
               {10, 16, {0, 0}, {160, 0}, {50, -1}, false},
               // P = 40, divisor 2: tolerance 10 around a diagonal from (0,0) to (100,100).
               {40, 2, {0, 0}, {40, 40}, {55, 50}, true},
               {40, 2, {0, 0}, {40, 40}, {105, 105}, true},
               {40, 2, {0, 0}, {40, 40}, {111, 111}, false},
               {40, 2, {0, 0}, {40, 40}, {64, 50}, true},
               {40, 2, {0, 0}, {40, 40}, {65, 50}, false},  // 10.6 away
               // Both ends on one pixel never hit; a negative divisor gives a negative tolerance.
               {10, 4, {5, 5}, {5, 5}, {0, 0}, false},
               {1, 4, {0, 0}, {8, 0}, {0, 0}, false},
               {10, -4, {0, 0}, {160, 0}, {50, 0}, false},
               {10, 0, {0, 0}, {160, 0}, {50, 0}, false},
               {10, INT32_MIN, {0, 0}, {160, 0}, {50, 0}, false}};
  for (const auto& c : cases) {
    FakeLayout view;
    view.Cell = c.cell;
    TElementList list(&view);
    EXPECT_EQ(list.AddWire(c.start, c.end, c.divisor)->HitTest(c.pointer), c.hit)
        << "P=" << c.cell << " div " << c.divisor << " at " << c.pointer.X << "," << c.pointer.Y;
  }
}

TEST(Solder, HitTestAtPixelBoundaries) {
  // P = 10, shown at (50, 50) from board (80, 80); diameter 16 gives r = 5.
  const struct {
    uint8_t geometry;
    int32_t diameter;
    TPoint pointer;
    bool hit;
  } cases[] = {{sgCircle, 16, {53, 54}, true}, {sgCircle, 16, {54, 54}, false},
               {sgCircle, 16, {55, 50}, true}, {sgCircle, 16, {56, 50}, false},
               {sgSquare, 16, {55, 55}, true}, {sgSquare, 16, {56, 50}, false},
               {sgSquare, 16, {45, 45}, true}, {sgSquare, 16, {44, 50}, false},
               {2, 16, {55, 55}, true},  // any non-zero shape is square
               {sgCircle, 1, {50, 50}, true},  {sgCircle, 1, {51, 50}, false},
               {sgSquare, 1, {50, 51}, false}, {sgCircle, -16, {50, 50}, false}};
  for (const auto& c : cases) {
    FakeLayout view;
    TElementList list(&view);
    EXPECT_EQ(list.AddSolder({80, 80}, 4, c.diameter, c.geometry)->HitTest(c.pointer), c.hit)
        << int(c.geometry) << " d=" << c.diameter << " at " << c.pointer.X << "," << c.pointer.Y;
  }
}

TEST(Elements, InRectTextAndReadingRules) {
  FakeLayout view;
  TElementList list(&view);
  // Inclusive, and only end points and pad centres count.
  const TRect r{0, 0, 50, 50};
  EXPECT_TRUE(list.AddWire({40, 40}, {400, 400}, 4)->InRect(r));
  EXPECT_TRUE(list.AddWire({400, 400}, {50, 0}, 4)->InRect(r));
  EXPECT_FALSE(list.AddWire({-10, 25}, {60, 25}, 4)->InRect(r));
  EXPECT_TRUE(list.AddSolder({50, 50}, 4, 16, 0)->InRect(r));
  EXPECT_TRUE(list.AddSolder({0, 0}, 4, 16, 1)->InRect(r));
  EXPECT_FALSE(list.AddSolder({55, 25}, 4, 16, 0)->InRect(r));
  EXPECT_FALSE(list.AddSolder({25, -1}, 4, 16, 0)->InRect(r));

  EXPECT_EQ(list.AddWire({-1, 0}, {INT32_MIN, INT32_MAX}, -3)->ToText(),
            "-1, 0, -2147483648, 2147483647, -3");
  EXPECT_EQ(list.AddSolder({80, 96}, 4, 16, 1)->ToText(), "80, 96, 4, 16, 1");
  EXPECT_EQ(list.AddSolder({80, 96}, 4, 16, 2)->ToText(), "80, 96, 4, 16, 2");
  EXPECT_EQ(list.AddSolder({0, 0}, 0, 0, static_cast<uint8_t>(256))->ToText(), "0, 0, 0, 0, 0");
  const std::pair<int32_t, int32_t> widths[] = {
      {0, 2}, {1, 2}, {2, 2}, {3, 3}, {16, 16}, {-1, -1}, {INT32_MIN, INT32_MIN}};
  for (const auto& [read, stored] : widths) EXPECT_EQ(TWire::ReadWidthDivisor(read), stored);
}

TEST(ElementList, KeepsCreationOrderThroughRemovals) {
  FakeLayout view;
  TElementList list(&view);
  TWire* first = list.AddWire({0, 0}, {1, 1}, 4);
  TSolder* second = list.AddSolder({2, 2}, 4, 16, 0);
  TWire* third = list.AddWire({3, 3}, {4, 4}, 4);
  TSolder* fourth = list.AddSolder({5, 5}, 4, 16, 1);
  EXPECT_EQ(list.Items(0), first);
  list.Delete(0);
  EXPECT_TRUE(list.Remove(third));
  EXPECT_FALSE(list.Remove(third));
  list.AddWire({9, 9}, {9, 9}, 2)->SetSelected(true);
  TWire* fresh = list.AddWire({8, 8}, {8, 8}, 2);
  EXPECT_FALSE(fresh->Selected());
  EXPECT_EQ(list.Items(3), fresh);
  EXPECT_EQ(list.RemoveIf([](const TPCBElement& e) { return e.IsWire(); }), 2);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0), second);
  EXPECT_EQ(list.Items(1), fourth);
}

}  // namespace
