#include <functional>
#include <random>
#include <string>

#include "LayoutTest.h"

namespace {

using ViewTest = LayoutTest;

TEST_F(ViewTest, ScreenToBoardSnapsToTheNearestGridPoint) {
  struct Case {
    int32_t scale;
    TPCBStep step;
    TPoint offset;
    int32_t pixel, board;
  } cases[] = {
      // Cell 10 at the base step.
      {0, gs1, {0, 0}, 4, 0},
      {0, gs1, {0, 0}, 5, 16},
      {0, gs1, {0, 0}, 14, 16},
      {0, gs1, {0, 0}, 15, 32},
      {0, gs1, {0, 0}, -4, 0},
      {0, gs1, {0, 0}, -5, -16},
      {0, gs1, {0, 0}, -15, -32},
      {0, gs1, {0, 0}, -16, -32},
      // Cell 5: two pixels right of a line snap to it, two left of one to the line before.
      {-5, gs1, {0, 0}, 7, 16},
      {-5, gs1, {0, 0}, -7, -32},
      {-5, gs1, {0, 0}, -5, -16},
      // The offset moves the origin.
      {0, gs1, {100, 100}, 104, 0},
      {0, gs1, {100, 100}, 95, -16},
      {0, gs1, {-33, -33}, 0, 48},
      // Finer steps give finer board units.
      {0, gs1By4, {0, 0}, 3, 8},
      {0, gs1By4, {0, 0}, -3, -8},
      // At one pixel per grid point every pixel is a grid point, on both sides of the origin.
      {6, gs1By16, {0, 0}, 3, 3},
      {6, gs1By16, {0, 0}, -3, -3},
      {-9, gs1, {5, 5}, 2, -48},
      // Far out the arithmetic wraps at 32 bits instead of overflowing.
      {0, gs1, {0, 0}, INT32_MIN, -858993472},
      {0, gs1, {0, 0}, INT32_MAX, 858993472},
      {0, gs1, {INT32_MIN, INT32_MIN}, INT32_MAX, 0},
  };
  for (const Case& c : cases) {
    w.SetGridStep(c.step);
    w.SetGridScale(c.scale);
    w.SetViewOffset(c.offset);
    EXPECT_EQ(w.ScreenToBoard({c.pixel, c.pixel}), (TPoint{c.board, c.board}))
        << "scale " << c.scale << " step " << int(c.step) << " offset " << c.offset.X << " pixel "
        << c.pixel;
  }
}

TEST_F(ViewTest, EverySnappedPixelGoesToItsGridLine) {
  // Right of the origin a pixel goes to the grid line within half a cell before it, halves
  // rounding up; left of it the catchment is one pixel lower, so there half a cell before a line
  // (rounded down) already counts for the line below. Worked out here with floor division.
  auto floorDiv = [](int64_t a, int64_t b) { return a / b - ((a % b != 0) && (a < 0)); };
  for (TPCBStep step : {gs1, gs1By2, gs1By4, gs1By8, gs1By16}) {
    for (int32_t scale : {-9, -5, 0, 3, 22}) {
      for (int32_t offset : {0, 7, -7, -23}) {
        w.SetGridStep(step);
        w.SetGridScale(scale);
        w.SetViewOffset({offset, -offset});
        const int64_t cell = w.CellSize(), half = cell / 2;
        const int64_t unit = UnitsPerStep / StepDivisor[step];
        for (int32_t px = -80; px <= 80; ++px) {
          const int64_t d = px - offset;
          // (At one pixel per cell every pixel is its own grid line.)
          const int64_t line = cell == 1 ? d : floorDiv(d + half - (d < 0 ? 1 : 0), cell);
          const TPoint g = w.ScreenToBoard({px, px});
          ASSERT_EQ(g.X, line * unit)
              << "step " << int(step) << " scale " << scale << " offset " << offset << " px " << px;
          // The point is shown on its grid line.
          ASSERT_EQ(w.BoardToScreen(g).X, offset + line * cell);
        }
      }
    }
  }
}

TEST_F(ViewTest, CellSizeFollowsScaleAndStep) {
  struct Case {
    TPCBStep step;
    int32_t scale, cell;
  } cases[] = {
      {gs1, 0, 10},           {gs1, 1, 11},
      {gs1By2, 1, 5},         {gs1By4, 1, 2},
      {gs1, -9, 1},           {gs1By2, -9, 1},
      {gs1By4, -9, 1},        {gs1, 500, 510},
      {gs1By16, 0, 1},        {gs1By16, 500, 31},
      {gs1, -10, 1},          {gs1, -500, 1},
      {gs1, INT32_MAX, 1},    {gs1, INT32_MAX - 10, INT32_MAX},
      {gs1By8, INT32_MIN, 1},
  };
  for (const Case& c : cases) {
    // Either order of setting the two gives the same cell.
    w.SetGridScale(c.scale);
    w.SetGridStep(c.step);
    EXPECT_EQ(w.CellSize(), c.cell) << int(c.step) << " " << c.scale;
    w.SetGridStep(gs1);
    w.SetGridScale(0);
    w.SetGridStep(c.step);
    w.SetGridScale(c.scale);
    EXPECT_EQ(w.CellSize(), c.cell) << int(c.step) << " " << c.scale;
    w.SetGridStep(gs1);
    w.SetGridScale(0);
  }
}

// Which setters draw the board again, which only wipe the pointer feedback, and which only
// store. A wire slipped into the list without a render shows in BoardImage only after a render;
// a spot drawn on the visible surface is gone after a repaint.
TEST_F(ViewTest, SettersRenderRepaintOrOnlyStore) {
  enum Effect { kStore, kPaint, kRender };
  struct Case {
    const char* name;
    std::function<void(TPCBLayout&)> set;
    Effect effect;
  } cases[] = {
      {"Color", [](TPCBLayout& l) { l.SetColor(0xE9E9E9); }, kRender},
      {"GridColor", [](TPCBLayout& l) { l.SetGridColor(0x123456); }, kRender},
      {"SpotColor", [](TPCBLayout& l) { l.SetSpotColor(0x00FF00); }, kPaint},
      {"WireWidth", [](TPCBLayout& l) { l.SetWireWidth(gs1By8); }, kRender},
      {"WireColor", [](TPCBLayout& l) { l.SetWireColor(0xC99565); }, kRender},
      {"SolderColor", [](TPCBLayout& l) { l.SetSolderColor(0x800000); }, kRender},
      {"SolderExternalDiameter", [](TPCBLayout& l) { l.SetSolderExternalDiameter(12); }, kStore},
      {"SolderInternalDiameter", [](TPCBLayout& l) { l.SetSolderInternalDiameter(2); }, kStore},
      {"SolderGeometry", [](TPCBLayout& l) { l.SetSolderGeometry(sgSquare); }, kStore},
      {"GridMode", [](TPCBLayout& l) { l.SetGridMode(gmLine); }, kRender},
      {"GridStep unchanged", [](TPCBLayout& l) { l.SetGridStep(l.GridStep()); }, kRender},
      {"GridScale unchanged", [](TPCBLayout& l) { l.SetGridScale(0); }, kStore},
      {"GridScale changed", [](TPCBLayout& l) { l.SetGridScale(1); }, kRender},
      {"FocusColor", [](TPCBLayout& l) { l.SetFocusColor(0x0000FF); }, kPaint},
  };
  for (const Case& c : cases) {
    TPCBLayout l;
    l.resize(200, 100);
    l.RenderBoard();
    l.Elements().AddWire({0, 80}, {160, 80}, 1);  // a wide wire along y = 50
    l.DrawSpot({150, 20});
    ASSERT_NE(At(l.CanvasImage(), 150, 12), At(l.BoardImage(), 150, 12));
    c.set(l);
    const TPoint onWire = l.BoardToScreen({80, 80});
    const bool rendered = At(l.BoardImage(), onWire.X, onWire.Y) == l.WireColor();
    const bool wiped = At(l.CanvasImage(), 150, 12) == At(l.BoardImage(), 150, 12);
    EXPECT_EQ(rendered, c.effect == kRender) << c.name;
    EXPECT_EQ(wiped, c.effect != kStore) << c.name;
    if (c.effect != kStore) {
      EXPECT_TRUE(SameImage(l.CanvasImage(), l.BoardImage())) << c.name;
    }
  }
}

// The grid as the user should see it, worked out pixel by pixel from its definition: a dot or a
// line wherever the distance from the board origin is a whole number of cells.
QImage ExpectedGrid(TGridMode mode, int w, int h, int32_t cell, TPoint offset, TColor bg,
                    TColor grid) {
  QImage image(w, h, QImage::Format_RGB32);
  auto onLine = [cell](int64_t pixel, int32_t origin) {
    const int64_t m = (pixel - origin) % cell;
    return m == 0;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      bool ink = false;
      if (mode == gmDot) ink = onLine(x, offset.X) && onLine(y, offset.Y);
      if (mode == gmLine)
        ink = (onLine(y, offset.Y) && x < w - 1) || (onLine(x, offset.X) && y < h - 1);
      image.setPixel(x, y, ColorToArgb(ink ? grid : bg));
    }
  }
  return image;
}

TEST_F(ViewTest, GridStaysOnTheBoardGridUnderAnyOffset) {
  const TPoint offsets[] = {
      {0, 0}, {3, 7}, {-3, -7}, {-13, 25}, {40, -1}, {-10, -20}, {INT32_MIN, INT32_MAX}};
  const int32_t scales[] = {-9, -8, 0, -3};  // cells 1, 2, 10, 7
  for (TGridMode mode : {gmDot, gmLine}) {
    for (int32_t scale : scales) {
      for (TPoint offset : offsets) {
        TPCBLayout l;
        l.resize(61, 37);
        l.SetGridMode(mode);
        l.SetGridScale(scale);
        l.SetGridColor(0x0000FF);
        l.SetViewOffset(offset);
        l.RenderBoard();
        EXPECT_TRUE(SameImage(l.BoardImage(), ExpectedGrid(mode, 61, 37, l.CellSize(), offset,
                                                           l.Color(), l.GridColor())))
            << "mode " << int(mode) << " cell " << l.CellSize() << " offset " << offset.X << ","
            << offset.Y;
        // A board grid point is shown on a grid dot or crossing.
        if (mode == gmDot && offset.X > -1000 && offset.X < 1000) {
          const TPoint p = l.BoardToScreen(l.ScreenToBoard({30, 20}));
          if (p.X >= 0 && p.Y >= 0 && p.X < 61 && p.Y < 37) {
            EXPECT_EQ(At(l.BoardImage(), p.X, p.Y), 0x0000FFu);
          }
        }
      }
    }
  }
  TPCBLayout none;
  none.resize(20, 20);
  none.SetGridMode(gmNone);
  QImage blank(20, 20, QImage::Format_RGB32);
  blank.fill(ColorToArgb(none.Color()));
  EXPECT_TRUE(SameImage(none.BoardImage(), blank));
}

TEST_F(ViewTest, PadsCoverWiresAndHolesShowTheBoard) {
  w.SetGridMode(gmNone);
  w.SetColor(0xE9E9E9);
  w.SetWireColor(0xC99565);
  w.SetSolderColor(0x800000);
  w.SetFocusColor(0x0000FF);
  w.SetGridScale(6);  // P = 16: a hole of 4 units has a radius of 2 pixels
  // The pad comes first in the list and the wire after it: the pad is still on top.
  TSolder* pad = w.Elements().AddSolder({64, 64}, 4, 16, sgCircle);
  w.Elements().AddWire({0, 64}, {160, 64}, 1);
  w.RenderBoard();
  EXPECT_EQ(BoardAt(64, 64), 0xE9E9E9u);      // the hole shows the board, not the wire
  EXPECT_EQ(BoardAt(64, 64 + 5), 0x800000u);  // the land covers the wide wire
  EXPECT_EQ(BoardAt(20, 64), 0xC99565u);
  EXPECT_EQ(BoardAt(20, 100), 0xE9E9E9u);
  pad->SetSelected(true);
  w.RenderBoard();
  EXPECT_EQ(BoardAt(64, 64 + 5), 0x0000FFu);
  EXPECT_EQ(BoardAt(64, 64), 0xE9E9E9u);
  EXPECT_TRUE(SameImage(w.CanvasImage(), w.BoardImage()));
}

TEST_F(ViewTest, SkippingHiddenElementsChangesNoPixel) {
  // Elements around and across every edge, wide and thin, pads whose hole outgrows the land,
  // and values at the ends of the 32-bit range.
  std::mt19937 rng(20240611);
  auto coord = [&rng](int32_t span) {
    return static_cast<int32_t>(std::uniform_int_distribution<int32_t>(-span, span)(rng));
  };
  for (int round = 0; round < 12; ++round) {
    TPCBLayout l;
    l.resize(160 + round * 7, 90 + round * 3);
    l.SetGridScale(round * 3 - 9);
    l.SetGridStep(static_cast<TPCBStep>(round % 5));
    const int32_t span = 400 + round * 200;
    for (int i = 0; i < 300; ++i) {
      const TPoint a{coord(span), coord(span)};
      const TPoint b{a.X + coord(120), a.Y + coord(120)};
      l.Elements().AddWire(a, b, StepDivisor[i % 5]);
      l.Elements().AddSolder(b, coord(40), coord(60), static_cast<uint8_t>(i % 3));
    }
    // Wide wires and pads lying just past each edge, whose round ends or lands reach in.
    const int32_t right = l.width() * 16 / std::max(1, StepPixels(l));
    const int32_t bottom = l.height() * 16 / std::max(1, StepPixels(l));
    for (int32_t k = 1; k <= 48; k += 3) {
      l.Elements().AddWire({-k, 5}, {-k, 60}, 1 + k % 2);
      l.Elements().AddWire({5, -k}, {60, -k}, 1 + k % 2);
      l.Elements().AddWire({right + k, 5}, {right + k, 60}, 1 + k % 2);
      l.Elements().AddWire({5, bottom + k}, {60, bottom + k}, 1 + k % 2);
      l.Elements().AddSolder({-k, 30}, 4, 8 + k, static_cast<uint8_t>(k % 2));
      l.Elements().AddSolder({right + k, bottom + k}, 4, 8 + k, static_cast<uint8_t>(k % 2));
    }
    l.Elements().AddWire({INT32_MIN, 0}, {INT32_MAX, 40}, 1);
    l.Elements().AddWire({0, 0}, {40, 40}, 0);
    l.Elements().AddWire({-5, -5}, {INT32_MIN, INT32_MIN}, -1);
    l.Elements().AddSolder({INT32_MAX, INT32_MAX}, INT32_MAX, INT32_MIN, 1);
    l.Elements().AddSolder({-90, 30}, 200, 4, 0);  // a hole far larger than its pad
    l.Elements().Items(3)->SetSelected(true);
    for (TPoint offset : {TPoint{0, 0}, TPoint{-230, 57}, TPoint{91, -310}}) {
      l.SetViewOffset(offset);
      l.SetCulling(true);
      l.RenderBoard();
      const QImage culled = l.BoardImage().copy();
      l.SetCulling(false);
      l.RenderBoard();
      ASSERT_TRUE(SameImage(culled, l.BoardImage())) << "round " << round << " offset " << offset.X;
    }
  }
}

TEST_F(ViewTest, ClearEmptiesTheBoardAndResetsTheView) {
  w.SetGridMode(gmLine);
  w.Elements().AddWire({0, 0}, {160, 0}, 4);
  w.SetViewOffset({-37, 12});
  w.SetModified(true);
  w.SetWireWidth(gs1By2);
  w.Clear();
  EXPECT_EQ(w.Elements().Count(), 0);
  EXPECT_EQ(w.ViewOffset(), (TPoint{0, 0}));
  EXPECT_FALSE(w.Modified());
  EXPECT_EQ(w.WireWidth(), gs1By2);
  EXPECT_EQ(w.GridMode(), gmLine);
  EXPECT_TRUE(SameImage(w.BoardImage(),
                        ExpectedGrid(gmLine, 400, 300, 10, {0, 0}, w.Color(), w.GridColor())));
  EXPECT_TRUE(SameImage(w.CanvasImage(), w.BoardImage()));
}

TEST_F(ViewTest, ImagesFollowTheControlSize) {
  Show();
  EXPECT_EQ(w.BoardImage().size(), QSize(400, 300));
  EXPECT_EQ(w.BoardImage().format(), QImage::Format_RGB32);
  w.Elements().AddWire({0, 16}, {640, 16}, 16);
  w.resize(500, 271);
  QCoreApplication::processEvents();
  EXPECT_EQ(w.BoardImage().size(), QSize(500, 271));
  EXPECT_EQ(w.CanvasImage().size(), QSize(500, 271));
  EXPECT_EQ(BoardAt(399, 10), w.WireColor());  // rendered again at the new size
  EXPECT_TRUE(SameImage(w.CanvasImage(), w.BoardImage()));
  // Hidden, a resize takes effect at the next render.
  TPCBLayout hidden;
  hidden.resize(33, 44);
  hidden.RenderBoard();
  EXPECT_EQ(hidden.BoardImage().size(), QSize(33, 44));
}

}  // namespace
