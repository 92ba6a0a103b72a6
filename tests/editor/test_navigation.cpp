#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QUndoStack>
#include <QWheelEvent>
#include <cmath>
#include <random>

#include "LayoutTest.h"

namespace {

using NavigationTest = LayoutTest;

// Each pan step, scrolled or not, against a full render at the offset it reaches: small and
// large steps, jumps past the whole control, and offsets by the 32-bit limits where the board's
// coordinates wrap.
TEST_F(NavigationTest, PanningGivesThePixelsOfAFullRender) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    TPick pick{std::mt19937(seed)};
    TPCBLayout l;
    l.resize(pick(60, 200), pick(40, 150));
    l.SetGridMode(static_cast<TGridMode>(seed % 3));
    l.SetGridStep(static_cast<TPCBStep>(pick(0, 4)));
    l.SetGridScale(pick(-9, 40));
    l.SetFocusColor(0x0000FF);
    FillRandom(l.Elements(), pick, 400, 1200);
    if (seed % 4 == 0) l.Elements().AddWire({INT32_MIN, 5}, {INT32_MAX, 90}, 1);
    TPoint offset{pick(-300, 100), pick(-300, 100)};
    if (seed % 3 == 0) offset = {INT32_MAX - pick(0, 400), INT32_MIN + pick(0, 400)};
    l.SetViewOffset(offset);
    l.RenderBoard();
    for (int step = 0; step < 40; ++step) {
      const int32_t reach = step % 10 == 9 ? 1000 : step % 3 == 0 ? 60 : 6;
      offset = {WAdd(offset.X, pick(-reach, reach)), WAdd(offset.Y, pick(-reach, reach))};
      l.PanTo(offset);
      const QImage panned = l.BoardImage().copy();
      l.RenderBoard();
      ASSERT_TRUE(SameImage(panned, l.BoardImage()))
          << "seed " << seed << " step " << step << " offset " << offset.X << "," << offset.Y;
    }
  }
}

// Through the editing commands the view asks the index as it asks the walk, for culling (the
// pixels), the element under the pointer and the band, on a board with one pad far from the rest
// and one so far that it shows on the screen.
TEST_F(NavigationTest, IndexAnswersAsTheWalkThroughEdits) {
  TPick pick{std::mt19937(77)};
  w.SetGridScale(-4);
  FillRandom(w.Elements(), pick, 600, 600);
  w.Elements().AddSolder({3000000, 40}, 4, 16, 0);
  // Shown a pixel or two right of the origin until the scale changes: its pixels wrap at 32 bits.
  const int64_t wraps = ((int64_t(1) << 32) + StepPixels(w) - 1) / StepPixels(w);
  ASSERT_LE(wraps, INT32_MAX);
  w.Elements().AddSolder({static_cast<int32_t>(wraps), 40}, 4, 16, 0);
  auto compare = [&](int round) {
    std::vector<TPoint> pixels;
    for (int k = 0; k < 80; ++k) pixels.push_back({pick(-20, 420), pick(-20, 320)});
    const TPoint c1{pick(-900, 900), pick(-900, 900)}, c2{pick(-900, 900), pick(-900, 900)};
    const std::vector<int32_t> selected = w.SelectedIndices();
    std::vector<const TPCBElement*> found[2];
    std::vector<int32_t> banded[2];
    QImage images[2];
    for (bool useIndex : {false, true}) {
      w.SetIndexed(useIndex);
      for (TPoint p : pixels) found[useIndex].push_back(w.ElementAt(p));
      w.RenderBoard();
      images[useIndex] = w.BoardImage().copy();
      w.SelectInRect(c1, c2);
      banded[useIndex] = w.SelectedIndices();
      for (int32_t i = 0; i < w.Elements().Count(); ++i) w.Elements().Items(i)->SetSelected(false);
      for (int32_t i : selected) w.Elements().Items(i)->SetSelected(true);
    }
    EXPECT_EQ(found[0], found[1]) << "round " << round;
    EXPECT_EQ(banded[0], banded[1]) << "round " << round;
    EXPECT_TRUE(SameImage(images[0], images[1])) << "round " << round;
  };
  // A paste, a move, a delete, undo, redo and a band, a new view; then round again.
  const std::function<void()> edits[] = {
      [&] {
        TElementList::Storage more;
        more.push_back(std::make_unique<TSolder>(&w, TPoint{pick(-600, 600), 0}, 4, 30, 1));
        more.push_back(std::make_unique<TWire>(&w, TPoint{pick(-600, 600), 0}, TPoint{0, 0}, 1));
        w.AddElements(std::move(more), QStringLiteral("Paste"));
      },
      [&] { w.MoveSelected(pick(-64, 64), pick(-64, 64)); },
      [&] { w.DeleteSelected(); },
      [&] { w.Undo(); },
      [&] {
        w.Undo(), w.Redo(), w.SelectInRect({-600, pick(-600, 0)}, {0, 600});
      },
      [&] {
        w.SetViewOffset({pick(-300, 300), pick(-300, 300)}), w.SetGridScale(pick(-9, 20));
      }};
  for (int round = 0; round < 12; ++round) {
    edits[round % 6]();
    compare(round);
  }
  w.Clear();
  compare(99);
}

// One notch scales the cell by about a quarter, at least a pixel; the range ends stay put.
TEST_F(NavigationTest, ZoomedScaleStepsTheCellWithinTheBoxRange) {
  // clang-format off
  for (auto [scale, step, notches, expected] : Table<int32_t, TPCBStep, int32_t, int32_t>{
           {0, gs1, 1, 3},       {0, gs1, -1, -2},   {-9, gs1, 1, -8},   {-9, gs1, -1, -9},
           {500, gs1, 1, 500},   {500, gs1, -1, 398}, {490, gs1, 1, 500}, {0, gs1, 3, 10},
           {0, gs1By16, 1, 22},  {486, gs1By16, 1, 486}, {21, gs1By16, -1, 21},
           {0, gs1By4, 1, 2},    {10, gs1, -30, -9}, {2000, gs1, -1, 500}}) {
    // clang-format on
    EXPECT_EQ(TPCBLayout::ZoomedScale(scale, step, notches), expected)
        << scale << " " << int(step) << " " << notches;
  }
}

// The board point under the pointer stays within a cell of where it was, zooming in and out at
// several places, scales, steps and offsets (wrapping too), through wheel events.
TEST_F(NavigationTest, WheelZoomKeepsTheBoardPointUnderThePointer) {
  // clang-format off
  for (auto [scale, step, offset, pixel, delta] : Table<int32_t, TPCBStep, TPoint, TPoint, int>{
           {0, gs1, {0, 0}, {200, 150}, 120},       {0, gs1, {0, 0}, {200, 150}, -120},
           {20, gs1By2, {-350, 75}, {17, 290}, 240}, {300, gs1, {-9000, 4000}, {399, 0}, -360},
           {-9, gs1By16, {5, 5}, {100, 100}, 120},   {490, gs1By4, {123, -77}, {0, 299}, 120},
           {-5, gs1, {-2000000, 3}, {60, 60}, 120}}) {
    // clang-format on
    w.SetGridStep(step);
    w.SetGridScale(scale);
    w.SetViewOffset(offset);
    // The unsnapped board point under a pixel, the distance from the origin taken in 32 bits as
    // the control takes it.
    auto under = [&](int32_t px, int32_t origin) {
      return double(WSub(px, origin)) * UnitsPerStep / StepPixels(w);
    };
    const double bx = under(pixel.X, offset.X), by = under(pixel.Y, offset.Y);
    QWheelEvent e(QPointF(pixel.X, pixel.Y), w.mapToGlobal(QPointF(pixel.X, pixel.Y)), QPoint(),
                  QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
    EXPECT_EQ(w.GridScale(), TPCBLayout::ZoomedScale(scale, step, delta / 120)) << scale;
    const double cell = double(UnitsPerStep) / StepDivisorOf(step);
    EXPECT_NEAR(under(pixel.X, w.ViewOffset().X), bx, cell) << scale << " " << pixel.X;
    EXPECT_NEAR(under(pixel.Y, w.ViewOffset().Y), by, cell) << scale << " " << pixel.Y;
  }
}

// Fractions of a notch add up; Shift and Ctrl scroll, pixel deltas pan.
TEST_F(NavigationTest, WheelStepsAddUpAndScroll) {
  auto wheel = [&](QPoint pixels, QPoint angle, Qt::KeyboardModifiers mods) {
    QWheelEvent e(QPointF(100, 100), w.mapToGlobal(QPointF(100, 100)), pixels, angle, Qt::NoButton,
                  mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
  };
  for (int k = 0; k < 2; ++k) wheel({}, {0, 40}, Qt::NoModifier);
  EXPECT_EQ(w.GridScale(), 0);
  wheel({}, {0, 40}, Qt::NoModifier);
  EXPECT_EQ(w.GridScale(), 3);
  const TPoint before = w.ViewOffset();
  wheel({}, {0, 120}, Qt::ShiftModifier);
  EXPECT_EQ(w.ViewOffset(), (TPoint{before.X, before.Y + 30}));
  wheel({}, {0, -120}, Qt::ControlModifier);
  EXPECT_EQ(w.ViewOffset(), (TPoint{before.X - 40, before.Y + 30}));
  wheel({7, -9}, {0, 0}, Qt::NoModifier);
  EXPECT_EQ(w.ViewOffset(), (TPoint{before.X - 33, before.Y + 21}));
  EXPECT_EQ(w.GridScale(), 3);
  // A pinch that grows by a quarter in two reports is one notch in.
  for (double grow : {0.1, 0.14}) {
    QNativeGestureEvent e(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                          QPointF(100, 100), QPointF(100, 100), w.mapToGlobal(QPointF(100, 100)),
                          grow, QPointF());
    QCoreApplication::sendEvent(&w, &e);
  }
  EXPECT_EQ(w.GridScale(), 6);
}

// Fit shows every element with a grid step to spare at the largest scale that does (a notch
// more and it no longer fits), and an empty board goes back to the start view.
TEST_F(NavigationTest, FitBoardShowsTheWholeBoard) {
  // clang-format off
  for (auto [a, b, step] : Table<TPoint, TPoint, TPCBStep>{
           {{0, 0}, {16, 0}, gs1}, {{-5000, 300}, {9000, 2000}, gs1By4},
           {{160, 160}, {320, 800}, gs1By2}, {{-100000000, 0}, {100000000, 5}, gs1}}) {
    // clang-format on
    w.Clear();
    w.SetGridStep(step);
    w.Elements().AddWire(a, b, 2);               // reaches 4 units past its ends
    w.Elements().AddSolder(b, 4, 16, sgCircle);  // 8 units round its centre
    w.FitBoard();
    const int32_t m = UnitsPerStep / StepDivisorOf(step);
    const TPoint from{std::min(std::min(a.X, b.X) - 4, b.X - 8) - m, std::min(a.Y, b.Y) - 8 - m};
    const TPoint to{std::max(a.X, b.X) + 8 + m, std::max(a.Y, b.Y) + 8 + m};
    const TPoint p = w.BoardToScreen(from), q = w.BoardToScreen(to);
    EXPECT_TRUE(w.GridScale() == -9 || (p.X >= 0 && p.Y >= 0 && q.X < 400 && q.Y < 300)) << a.X;
    TPCBLayout closer;
    closer.SetGridStep(step);
    closer.SetGridScale(TPCBLayout::ZoomedScale(w.GridScale(), step, 1));
    EXPECT_TRUE(closer.GridScale() == w.GridScale() ||
                int64_t(to.X - from.X) * StepPixels(closer) / UnitsPerStep > 396 ||
                int64_t(to.Y - from.Y) * StepPixels(closer) / UnitsPerStep > 296)
        << a.X;
  }
  w.Clear();
  w.SetGridScale(40);
  w.SetViewOffset({7, 7});
  w.FitBoard();
  EXPECT_EQ(w.GridScale(), 0);
  EXPECT_EQ(w.ViewOffset(), (TPoint{0, 0}));
}

// The middle button pans in every tool, leaving a pending wire pending: its next press ends the
// wire at the board point under it.
TEST_F(NavigationTest, MiddleButtonPansWithoutDisturbingAPendingWire) {
  Show();
  Do("C20,20 m50,50");  // board (32, 32)
  ASSERT_TRUE(w.WirePending());
  Press({50, 50}, Qt::MiddleButton);
  MoveTo({80, 60});
  Release({80, 60}, Qt::MiddleButton);
  EXPECT_EQ(w.ViewOffset(), (TPoint{30, 10}));
  EXPECT_TRUE(w.WirePending());
  EXPECT_EQ(w.MouseAction(), maWire);
  EXPECT_EQ(w.Elements().Count(), 0);
  // The pending wire's rubber line is drawn from its start, moved with the board.
  EXPECT_EQ(CanvasAt(65, 45), w.GridColor());
  Click({110, 130});
  EXPECT_EQ(Board(), (Lines{"32, 32, 128, 192, 4"}));
}

// A drag step shows the board without the dragged elements and the dragged elements over it;
// the release renders the board in full.
TEST_F(NavigationTest, DragStepsComposeOverTheRestOfTheBoard) {
  w.SetGridMode(gmLine);
  Show();
  w.SetMouseAction(maMove);
  w.Elements().AddSolder({160, 64}, 4, 16, sgSquare);  // at pixel (100, 40)
  w.Elements().AddWire({96, 160}, {224, 160}, 2);      // dragged up across the pad
  w.RenderBoard();
  Do("m100,100 p100,100");
  for (int y = 90; y >= 30; y -= 10) {
    MoveTo({100, y});
    TPCBLayout full;
    full.resize(400, 300);
    full.SetGridMode(gmLine);
    for (int32_t i = 0; i < w.Elements().Count(); ++i)
      full.Elements().Append(w.Elements().Items(i)->Clone(&full));
    full.RenderBoard();
    // Away from the pad the step is the full render; over it the dragged wire lies on top.
    EXPECT_EQ(SameImage(w.BoardImage(), full.BoardImage()), y != 40) << y;
    EXPECT_EQ(BoardAt(100, 40) == w.FocusColor(), y == 40) << y;
  }
  Release({100, 30});
  EXPECT_EQ(w.UndoStack().count(), 1);
  EXPECT_EQ(BoardAt(100, 40), w.SolderColor());
  const QImage released = w.BoardImage().copy();
  w.RenderBoard();
  EXPECT_TRUE(SameImage(released, w.BoardImage()));
  // A fill dragged across the pad stays under it at every step, its copper taken along.
  w.Elements().Items(1)->SetSelected(false);
  TFillSettings keep;
  keep.KeepIslands = true;
  w.Elements().Append(std::make_unique<TCopperFill>(
      &w, std::vector<TPoint>{{96, 128}, {224, 128}, {224, 192}, {96, 192}}, false, TPoint{},
      keep));
  w.RenderBoard();
  Do("m100,100 p100,100");
  for (int y = 90; y >= 30; y -= 10) {
    MoveTo({100, y});
    EXPECT_EQ(BoardAt(100, 40), w.SolderColor()) << y;
    EXPECT_NE(BoardAt(70, y), w.Color()) << y;
  }
  Release({100, 30});
  EXPECT_EQ(w.UndoStack().count(), 2);
}

}  // namespace
