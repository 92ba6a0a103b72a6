// Sizes typed in millimetres, and quarter turns and mirrors of a selection.
#include <gtest/gtest.h>

#include <tuple>

#include "FakeLayout.h"
#include "TCopperFill.h"
#include "TCopperText.h"
#include "TElementTransform.h"
#include "TMillProcess.h"
#include "TPadSize.h"
#include "TSmdPad.h"
#include "formats/BoardHelpers.h"

namespace {

// Typed sizes in board units; 0 refused for the range, -1 refused as no size at all.
TEST(PadSize, TypedSizesRoundToBoardUnitsWithinTheLimits) {
  const std::tuple<bool, const char*, int32_t> cases[] = {
      {true, "1.9", 12},   {true, " 1,9 mm", 12}, {true, "1.2", 8},  {true, "3.81 MM", 24},
      {true, "1.18", 0},   {true, "3.9", 0},      {true, "big", -1}, {false, "0.8", 5},
      {false, "1.59", 10}, {false, "0.05", 0},    {false, "-1", 0}};
  for (const auto& [pad, typed, expected] : cases) {
    int32_t units = 0;
    const std::string error = MessageOf(
        [&, pad = pad, typed = typed] { units = pad ? ReadPadSize(typed) : ReadHoleSize(typed); });
    const std::string range = pad ? "A pad must be between 1.27 and 3.81 mm across"
                                  : "A hole must be between 0.16 and 3.65 mm across";
    EXPECT_EQ(units, std::max(expected, 0)) << typed;
    EXPECT_EQ(error, expected > 0 ? "<no error>"
                     : expected
                         ? "'" + std::string(typed) + "' is not a size in millimetres: " + range
                         : range)
        << typed;
  }
  // The offered sizes show as the box lists them, rounded half up from exact 0.15875 mm units.
  QStringList shown;
  for (int32_t units : {4, 5, 6, 7, 8, 10, 12, 16, 24}) shown << MillimetreText(units);
  EXPECT_EQ(shown.join(' ').toStdString(), "0.64 0.79 0.95 1.11 1.27 1.59 1.91 2.54 3.81");
  EXPECT_EQ(MessageOf([] { CheckHoleFits(7, 8); }), "<no error>");
  EXPECT_EQ(MessageOf([] { CheckHoleFits(8, 8); }),
            "A hole of 1.27 mm must be smaller than its pad of 1.27 mm");
}

// Each length of the milling process is taken at both ends of its range, refused just beyond.
TEST(MillProcess, EachLengthIsTakenUpToItsLimits) {
  using P = TMillProcess;
  const std::tuple<double P::*, double, double> ranges[] = {
      {&P::EtchCompensation, 0, 0.2}, {&P::BitDiameter, 0.01, 10},
      {&P::VAngle, 5, 150},           {&P::VTip, 0, 5},
      {&P::CutDepth, 0.001, 5},       {&P::Overlap, 0, 90},
      {&P::Feed, 1, 100000},          {&P::Plunge, 1, 100000},
      {&P::DrillDepth, 0.01, 20},     {&P::OutlineBit, 0.1, 10},
      {&P::BoardThickness, 0.1, 10},  {&P::DepthPerPass, 0.01, 10},
      {&P::TabWidth, 0, 50}};
  for (const auto& [field, low, high] : ranges)
    for (double v : {low, high, low - 1e-6, high + 1e-6}) {
      TMillProcess process;
      process.*field = v;
      EXPECT_EQ(process.Valid(), v >= low && v <= high) << v;
    }
}

// A board from {x, y} pads, {x1, y1, x2, y2} wires, {x, y, width, height, roundness} SMD pads,
// {x, y, turns, side, 0, 0} texts ("Fe", 13 high) and {seeded, x, y, 3 corners} fills.
void Build(TElementList& list, const std::vector<std::vector<int32_t>>& elements) {
  for (const auto& e : elements) {
    if (e.size() == 2)
      list.AddSolder({e[0], e[1]}, 4, 12, 0);
    else if (e.size() == 5)
      list.Append(std::make_unique<TSmdPad>(&*list.Layout(), TPoint{e[0], e[1]}, e[2], e[3], e[4]));
    else if (e.size() == 6)
      list.Append(std::make_unique<TCopperText>(list.Layout(), TPoint{e[0], e[1]}, "Fe", 13, 2,
                                                e[2], e[3] != 0));
    else if (e.size() == 9)
      list.Append(std::make_unique<TCopperFill>(
          list.Layout(), std::vector<TPoint>{{e[3], e[4]}, {e[5], e[6]}, {e[7], e[8]}}, e[0] != 0,
          TPoint{e[1], e[2]}, TFillSettings{}));
    else
      list.AddWire({e[0], e[1]}, {e[2], e[3]}, 4);
  }
}

// The points of the board joined by " | ": a pad's centre, a wire's ends, an SMD pad's centre and
// sides, a text's anchor and "turns side", a fill's seed and corners.
std::string Points(const TElementList& list) {
  std::string text;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    std::vector<TPoint> p;
    if (auto* w = dynamic_cast<const TWire*>(e)) p = {w->StartPoint(), w->EndPoint()};
    if (auto* s = dynamic_cast<const TSolder*>(e)) p = {s->Center()};
    if (auto* s = dynamic_cast<const TSmdPad*>(e)) p = {s->Center(), {s->Width(), s->Height()}};
    if (auto* t = dynamic_cast<const TCopperText*>(e))
      p = {t->Anchor(), {t->Turns(), t->CopperSide()}};
    if (auto* f = dynamic_cast<const TCopperFill*>(e))
      p = f->Corners(), p.insert(p.begin(), f->Seed());
    text += i ? " |" : "";
    for (TPoint q : p) text += " " + std::to_string(q.X) + " " + std::to_string(q.Y);
  }
  return text.substr(1);
}

// Turns the whole board once about the pivot its extent gives, as the editor does.
TPoint TurnAll(TElementList& list, int32_t grid, TTurn turn) {
  std::vector<int32_t> all;
  for (int32_t i = 0; i < list.Count(); ++i) all.push_back(i);
  TRect extent;
  EXPECT_TRUE(PointsExtent(list, all, extent));
  const TPoint pivot = TurnPivot(extent, grid);
  for (int32_t i : all) TurnElement(*list.Items(i), pivot, turn);
  return pivot;
}

// Ties between grid points go to an even column and row; SMD pads turn their sides, texts turn
// about their anchors and change side in a mirror, fills turn their corners and seed (a fill
// without a seed keeps its seed's place at the origin).
TEST(Turn, RotateAndMirrorAboutTheNearestGridPointAndComeBack) {
  const std::tuple<int32_t, std::vector<std::vector<int32_t>>, TPoint, std::string, std::string>
      cases[] = {
          {16, {{0, 0}, {16, 0}}, {0, 0}, "0 0 | 0 16", "0 0 | -16 0"},
          {16, {{-16, -16}, {0, -16}}, {-16, -16}, "-16 -16 | -16 0", "-16 -16 | -32 -16"},
          {16, {{0, 0, 48, 16}, {48, 16}}, {32, 0}, "32 -32 16 16 | 16 16", "64 0 16 16 | 16 16"},
          {4, {{0, 0, 8, 0}, {8, 8}, {0, 8}}, {4, 4}, "8 0 8 8 | 0 8 | 0 0", "8 0 0 0 | 0 8 | 8 8"},
          {16, {{3, 5}, {20, 9}}, {16, 0}, "11 -13 | 7 4", "29 5 | 12 9"},
          {16, {{0, 0, 10, 4, 20}, {32, 16}}, {16, 16}, "32 0 4 10 | 16 32", "32 0 10 4 | 0 16"},
          {16, {{0, 0, 0, 1, 0, 0}, {32, 0}}, {16, 0}, "16 -16 1 1 | 16 16", "32 0 0 0 | 0 0"},
          {4, {{8, 4, 3, 0, 0, 0}}, {8, 4}, "8 4 0 0", "8 4 1 1"},
          {4, {{8, 4, 2, 1, 0, 0}, {0, 0}}, {4, 4}, "4 8 3 1 | 8 0", "0 4 2 0 | 8 0"},
          {16,
           {{1, 16, 0, 0, 0, 32, 0, 0, 16}},
           {16, 16},
           "32 16 32 0 32 32 16 0",
           "16 0 32 0 0 0 32 16"},
          {16,
           {{0, 0, 0, 0, 0, 16, 0, 0, 16}, {32, 32}},
           {16, 16},
           "0 0 32 0 32 16 16 0 | 0 32",
           "0 0 32 0 16 0 32 16 | 0 32"}};
  for (const auto& [grid, board, pivot, rotated, mirrored] : cases) {
    FakeLayout view;
    TElementList list(&view);
    Build(list, board);
    const std::string before = Points(list);
    // Once, then back where it was after four quarter turns or two mirrors.
    for (TTurn turn : {tnRotate, tnMirror}) {
      EXPECT_EQ(TurnAll(list, grid, turn), pivot) << before;
      EXPECT_EQ(Points(list), turn == tnRotate ? rotated : mirrored) << before;
      for (int k = turn == tnRotate ? 3 : 1; k > 0; --k) TurnAll(list, grid, turn);
      EXPECT_EQ(Points(list), before);
    }
  }
  // Every turn is undone by its inverse, even where it wraps.
  for (TPoint p : {TPoint{INT32_MAX, INT32_MIN}, {-7, 123456}, {INT32_MIN, 0}})
    for (TPoint pivot : {TPoint{0, 0}, {INT32_MIN, INT32_MAX}, {-48, 16}})
      for (TTurn turn : {tnRotate, tnRotateBack, tnMirror})
        EXPECT_EQ(TurnPoint(TurnPoint(p, pivot, turn), pivot, InverseTurn(turn)), p);
}

}  // namespace
