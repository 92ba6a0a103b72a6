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
      {10, gs1, {0, 0}, {16, 32}, {10, 20}},
      {5, gs1By2, {0, 0}, {16, 32}, {10, 20}},
      {10, gs1, {0, 0}, {-1, -1}, {0, 0}},
      {10, gs1, {7, -3}, {-1, 15}, {7, 6}},
      {10, gs1, {0, 0}, {-17, 17}, {-10, 10}},
      {11, gs1, {0, 0}, {16, 0}, {11, 0}},
      {1, gs1By16, {100, 100}, {-16, 16}, {84, 116}},
  };
  for (const auto& c : cases) {
    FakeLayout view;
    view.Cell = c.cell;
    view.Step = c.step;
    view.Offset = c.offset;
    EXPECT_EQ(BoardToScreen(view, c.board), c.screen) << c.board.X << "," << c.board.Y;
  }
}

TEST(View, BoardToPrinterIsTrueSizeByResolution) {
  const struct {
    int32_t dpi, value, dots;
  } cases[] = {
      {600, 16, 60},     // 0.1 inch at 600 dpi
      {600, 640, 2400},  // 4 inches
      {300, 1, 1},       // 1.875 truncated
      {300, -1, -1},     // truncated toward zero, not down
      {72, 16, 7},       // 7.2
      {1200, INT32_MAX, static_cast<int32_t>(static_cast<uint32_t>(16106127352ll))},
  };
  for (const auto& c : cases) {
    FakeLayout view;
    view.Dpi = c.dpi;
    EXPECT_EQ(BoardToPrinter(view, c.value), c.dots) << c.dpi << " dpi, " << c.value;
  }
}

struct HitCase {
  int32_t cell;
  int32_t divisor;
  TPoint start, end;  // in board units
  TPoint pointer;     // in pixels
  bool hit;
};

TEST(Wire, HitTestAtPixelBoundaries) {
  // P = cell x 1 at gs1. Board units are chosen so the ends land on the pixels named.
  const HitCase cases[] = {
      // P = 10, divisor 4: t = 1; a horizontal wire from pixel (0,0) to (100,0).
      {10, 4, {0, 0}, {160, 0}, {50, 0}, true},
      {10, 4, {0, 0}, {160, 0}, {50, 1}, false},
      {10, 4, {0, 0}, {160, 0}, {101, 0}, true},
      {10, 4, {0, 0}, {160, 0}, {102, 0}, false},
      {10, 4, {0, 0}, {160, 0}, {-1, 0}, true},
      {10, 4, {0, 0}, {160, 0}, {-2, 0}, false},
      // divisor 16: 10 div 32 = 0, so t = 1: only the wire's own row.
      {10, 16, {0, 0}, {160, 0}, {50, 0}, true},
      {10, 16, {0, 0}, {160, 0}, {50, 1}, false},
      {10, 16, {0, 0}, {160, 0}, {50, -1}, false},
      // P = 40, divisor 2: t = 10; a diagonal from (0,0) to (100,100).
      {40, 2, {0, 0}, {40, 40}, {55, 50}, true},
      {40, 2, {0, 0}, {40, 40}, {105, 105}, true},
      {40, 2, {0, 0}, {40, 40}, {111, 111}, false},
      {40, 2, {0, 0}, {40, 40}, {64, 50}, true},   // d = 9.9
      {40, 2, {0, 0}, {40, 40}, {65, 50}, false},  // d = 10.6
      // Both ends on one pixel: never hit.
      {10, 4, {5, 5}, {5, 5}, {0, 0}, false},
      {1, 4, {0, 0}, {8, 0}, {0, 0}, false},
      // A negative divisor gives a negative tolerance: nothing is near enough.
      {10, -4, {0, 0}, {160, 0}, {50, 0}, false},
  };
  for (const auto& c : cases) {
    FakeLayout view;
    view.Cell = c.cell;
    TElementList list(&view);
    TWire* wire = list.AddWire(c.start, c.end, c.divisor);
    EXPECT_EQ(wire->HitTest(c.pointer), c.hit)
        << "P=" << c.cell << " div " << c.divisor << " at " << c.pointer.X << "," << c.pointer.Y;
  }
}

TEST(Solder, HitTestAtPixelBoundaries) {
  // P = 10, ExternalDiameter 16: r = 5, shown at (50, 50) from board (80, 80).
  const struct {
    uint8_t geometry;
    int32_t diameter;
    TPoint pointer;
    bool hit;
  } cases[] = {
      {sgCircle, 16, {53, 54}, true}, {sgCircle, 16, {54, 54}, false},
      {sgCircle, 16, {55, 50}, true}, {sgCircle, 16, {56, 50}, false},
      {sgSquare, 16, {55, 55}, true}, {sgSquare, 16, {56, 50}, false},
      {sgSquare, 16, {45, 45}, true}, {sgSquare, 16, {44, 50}, false},
      {2, 16, {55, 55}, true},  // any non-zero shape is square
      {sgCircle, 1, {50, 50}, true},  {sgCircle, 1, {51, 50}, false},
      {sgSquare, 1, {50, 51}, false}, {sgCircle, -16, {50, 50}, false},
  };
  for (const auto& c : cases) {
    FakeLayout view;
    TElementList list(&view);
    TSolder* pad = list.AddSolder({80, 80}, 4, c.diameter, c.geometry);
    EXPECT_EQ(pad->HitTest(c.pointer), c.hit)
        << int(c.geometry) << " d=" << c.diameter << " at " << c.pointer.X << "," << c.pointer.Y;
  }
}

TEST(Elements, InRectIsInclusiveAndUsesPointsOnly) {
  FakeLayout view;
  TElementList list(&view);
  const TRect r{0, 0, 50, 50};
  EXPECT_TRUE(list.AddWire({40, 40}, {400, 400}, 4)->InRect(r));
  EXPECT_TRUE(list.AddWire({400, 400}, {50, 0}, 4)->InRect(r));
  EXPECT_FALSE(list.AddWire({-10, 25}, {60, 25}, 4)->InRect(r));
  EXPECT_TRUE(list.AddSolder({50, 50}, 4, 16, 0)->InRect(r));
  EXPECT_TRUE(list.AddSolder({0, 0}, 4, 16, 1)->InRect(r));
  EXPECT_FALSE(list.AddSolder({55, 25}, 4, 16, 0)->InRect(r));
  EXPECT_FALSE(list.AddSolder({25, -1}, 4, 16, 0)->InRect(r));
}

TEST(Elements, TextLinesAndReadingRules) {
  FakeLayout view;
  TElementList list(&view);
  EXPECT_EQ(list.AddWire({80, 96}, {160, 96}, 4)->ToText(), "80, 96, 160, 96, 4");
  EXPECT_EQ(list.AddWire({-1, 0}, {INT32_MIN, INT32_MAX}, -3)->ToText(),
            "-1, 0, -2147483648, 2147483647, -3");
  EXPECT_EQ(list.AddSolder({80, 96}, 4, 16, 1)->ToText(), "80, 96, 4, 16, 1");
  EXPECT_EQ(list.AddSolder({80, 96}, 4, 16, static_cast<uint8_t>(257))->ToText(),
            "80, 96, 4, 16, 1");
  EXPECT_EQ(list.AddSolder({80, 96}, 4, 16, 2)->ToText(), "80, 96, 4, 16, 2");
  EXPECT_EQ(list.AddSolder({0, 0}, 0, 0, static_cast<uint8_t>(256))->ToText(), "0, 0, 0, 0, 0");

  const struct {
    int32_t read, stored;
  } widths[] = {{0, 2}, {1, 2}, {2, 2}, {3, 3}, {16, 16}, {-1, -1}, {INT32_MIN, INT32_MIN}};
  for (const auto& w : widths) EXPECT_EQ(TWire::ReadWidthDivisor(w.read), w.stored) << w.read;
}

TEST(ElementList, KeepsCreationOrderThroughRemovals) {
  FakeLayout view;
  TElementList list(&view);
  EXPECT_EQ(list.Count(), 0);
  TWire* first = list.AddWire({0, 0}, {1, 1}, 4);
  TSolder* second = list.AddSolder({2, 2}, 4, 16, 0);
  TWire* third = list.AddWire({3, 3}, {4, 4}, 4);
  TSolder* fourth = list.AddSolder({5, 5}, 4, 16, 1);
  EXPECT_EQ(list.Items(0), first);
  EXPECT_EQ(list.Items(1), second);
  EXPECT_FALSE(first->Selected());
  EXPECT_EQ(second->Layout(), &view);
  list.Delete(0);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Items(0), second);
  EXPECT_EQ(list.Items(1), third);
  EXPECT_TRUE(list.Remove(third));
  EXPECT_FALSE(list.Remove(third));
  EXPECT_EQ(list.Items(1), fourth);
  list.AddWire({9, 9}, {9, 9}, 2)->SetSelected(true);
  TWire* fresh = list.AddWire({8, 8}, {8, 8}, 2);
  EXPECT_FALSE(fresh->Selected());
  EXPECT_EQ(list.RemoveIf([](const TPCBElement& e) { return e.IsWire(); }), 2);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0), second);
  EXPECT_EQ(list.Items(1), fourth);
}

TEST(ElementList, ClearEmptiesAndResetsTheView) {
  for (int elements : {0, 3}) {
    FakeLayout view;
    view.Offset = {-30, 12};
    TElementList list(&view);
    for (int i = 0; i < elements; ++i) list.AddWire({i, i}, {i, 0}, 4);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(view.Offset, (TPoint{0, 0}));
    EXPECT_FALSE(view.Modified);
    EXPECT_EQ(view.Cancels, 1);
    EXPECT_EQ(view.Renders, 1);
  }
}

}  // namespace
