// Sizes typed in millimetres, and quarter turns and mirrors of a selection.
#include <gtest/gtest.h>

#include "FakeLayout.h"
#include "TElementTransform.h"
#include "TPadSize.h"
#include "TPcbText.h"
#include "formats/BoardHelpers.h"

namespace {

TEST(PadSize, TypedSizesRoundToBoardUnitsWithinTheLimits) {
  const struct {
    bool pad;
    const char* typed;
    int32_t units;  // 0: refused with the message
    const char* message;
  } cases[] = {
      {true, "1.9", 12, ""},
      {true, " 1,9 mm", 12, ""},
      {true, "1.27", 8, ""},
      {true, "1.2", 8, ""},  // 7.56 units
      {true, "3.81 MM", 24, ""},
      {true, "1.18", 0, "A pad must be between 1.27 and 3.81 mm across"},
      {true, "3.9", 0, "A pad must be between 1.27 and 3.81 mm across"},
      {true, "big", 0,
       "'big' is not a size in millimetres: A pad must be between 1.27 and 3.81 mm across"},
      {true, "", 0,
       "'' is not a size in millimetres: A pad must be between 1.27 and 3.81 mm across"},
      {false, "0.64", 4, ""},
      {false, "0.8", 5, ""},
      {false, "1.59", 10, ""},
      {false, "0.05", 0, "A hole must be between 0.16 and 3.65 mm across"},
      {false, "-1", 0, "A hole must be between 0.16 and 3.65 mm across"},
  };
  for (const auto& c : cases) {
    const QString typed = QString::fromUtf8(c.typed);
    int32_t units = 0;
    const std::string message =
        MessageOf([&] { units = c.pad ? ReadPadSize(typed) : ReadHoleSize(typed); });
    EXPECT_EQ(units, c.units) << c.typed;
    EXPECT_EQ(message, c.units ? "<no error>" : c.message) << c.typed;
  }
  // The offered sizes show as the box lists them, rounded half up from exact 0.15875 mm units.
  QStringList shown;
  for (int32_t units : {4, 5, 6, 7, 8, 10, 12, 16, 24}) shown << MillimetreText(units);
  EXPECT_EQ(shown.join(' ').toStdString(), "0.64 0.79 0.95 1.11 1.27 1.59 1.91 2.54 3.81");
  EXPECT_EQ(MessageOf([] { CheckHoleFits(7, 8); }), "<no error>");
  EXPECT_EQ(MessageOf([] { CheckHoleFits(8, 8); }),
            "A hole of 1.27 mm must be smaller than its pad of 1.27 mm");
}

// Builds a board from "P x y" and "W x1 y1 x2 y2" (pads 4/12 round, wires divisor 4).
void Build(TElementList& list, const std::vector<std::vector<int32_t>>& elements) {
  for (const auto& e : elements) {
    if (e.size() == 2)
      list.AddSolder({e[0], e[1]}, 4, 12, 0);
    else
      list.AddWire({e[0], e[1]}, {e[2], e[3]}, 4);
  }
}

std::vector<int32_t> All(const TElementList& list) {
  std::vector<int32_t> all;
  for (int32_t i = 0; i < list.Count(); ++i) all.push_back(i);
  return all;
}

// Turns the whole board once about the pivot its extent gives, as the editor does.
void TurnAll(TElementList& list, int32_t grid, TTurn turn) {
  TRect extent;
  ASSERT_TRUE(PointsExtent(list, All(list), extent));
  const TPoint pivot = TurnPivot(extent, grid);
  for (int32_t i = 0; i < list.Count(); ++i) TurnElement(*list.Items(i), pivot, turn);
}

std::string Text(const TElementList& list) {
  return WritePcbText(list, [](const TPCBElement&) { return true; });
}

TEST(Turn, RotateAndMirrorAboutTheNearestGridPointAndComeBack) {
  const struct {
    int32_t grid;
    std::vector<std::vector<int32_t>> board;
    TPoint pivot;
    std::vector<std::string> rotated, mirrored;
  } cases[] = {
      // One pad: its own point.
      {16, {{16, 32}}, {16, 32}, {"P 16, 32, 4, 12, 0"}, {"P 16, 32, 4, 12, 0"}},
      // One step wide, none high: a tie between two columns, the even one wins.
      {16,
       {{0, 0}, {16, 0}},
       {0, 0},
       {"P 0, 0, 4, 12, 0", "P 0, 16, 4, 12, 0"},
       {"P 0, 0, 4, 12, 0", "P -16, 0, 4, 12, 0"}},
      // The same in row -1: now column -1 makes an even sum.
      {16,
       {{-16, -16}, {0, -16}},
       {-16, -16},
       {"P -16, -16, 4, 12, 0", "P -16, 0, 4, 12, 0"},
       {"P -16, -16, 4, 12, 0", "P -32, -16, 4, 12, 0"}},
      // Three steps by one: ties both ways go to an even column and row.
      {16,
       {{0, 0, 48, 16}, {48, 16}},
       {32, 0},
       {"W 32, -32, 16, 16, 4", "P 16, 16, 4, 12, 0"},
       {"W 64, 0, 16, 16, 4", "P 16, 16, 4, 12, 0"}},
      // Two steps by two, on a quarter grid: the middle is a grid point.
      {4,
       {{0, 0, 8, 0}, {8, 8}, {0, 8}},
       {4, 4},
       {"W 8, 0, 8, 8, 4", "P 0, 8, 4, 12, 0", "P 0, 0, 4, 12, 0"},
       {"W 8, 0, 0, 0, 4", "P 0, 8, 4, 12, 0", "P 8, 8, 4, 12, 0"}},
      // Off the grid: the nearest grid point, no tie.
      {16,
       {{3, 5}, {20, 9}},
       {16, 0},
       {"P 11, -13, 4, 12, 0", "P 7, 4, 4, 12, 0"},
       {"P 29, 5, 4, 12, 0", "P 12, 9, 4, 12, 0"}},
  };
  for (const auto& c : cases) {
    FakeLayout view;
    TElementList list(&view);
    Build(list, c.board);
    const std::string before = Text(list);
    TRect extent;
    ASSERT_TRUE(PointsExtent(list, All(list), extent));
    EXPECT_EQ(TurnPivot(extent, c.grid), c.pivot) << before;

    TurnAll(list, c.grid, tnRotate);
    EXPECT_EQ(Describe(list), c.rotated) << before;
    for (int k = 0; k < 3; ++k) TurnAll(list, c.grid, tnRotate);
    EXPECT_EQ(Text(list), before);

    TurnAll(list, c.grid, tnMirror);
    EXPECT_EQ(Describe(list), c.mirrored) << before;
    TurnAll(list, c.grid, tnMirror);
    EXPECT_EQ(Text(list), before);
  }
}

TEST(Turn, EveryTurnIsUndoneByItsInverseEvenWhereItWraps) {
  const TPoint points[] = {{INT32_MAX, INT32_MIN}, {-7, 123456}, {INT32_MIN, 0}};
  const TPoint pivots[] = {{0, 0}, {INT32_MIN, INT32_MAX}, {-48, 16}};
  for (TPoint p : points)
    for (TPoint pivot : pivots)
      for (TTurn turn : {tnRotate, tnRotateBack, tnMirror})
        EXPECT_EQ(TurnPoint(TurnPoint(p, pivot, turn), pivot, InverseTurn(turn)), p);
}

}  // namespace
