#include <QPicture>
#include <functional>

#include "LayoutTest.h"
#include "TBoardPrint.h"

namespace {

using ViewTest = LayoutTest;

TEST_F(ViewTest, ScreenToBoardSnapsToTheNearestGridPoint) {
  // Scale, step, offset, pixel, board point. At cell 10 halves round up right of the origin, and
  // left of it the catchment is one pixel lower; at cell 1 every pixel is a grid point; far out
  // the arithmetic wraps at 32 bits.
  // clang-format off
  for (auto [scale, step, offset, pixel, board] : Table<int32_t, TPCBStep, int32_t, int32_t, int32_t>{
           {0, gs1, 0, 4, 0},      {0, gs1, 0, 5, 16},      {0, gs1, 0, 15, 32},
           {0, gs1, 0, -4, 0},     {0, gs1, 0, -5, -16},    {0, gs1, 0, -15, -32},
           {0, gs1, 0, -16, -32},  {-5, gs1, 0, 7, 16},     {-5, gs1, 0, -7, -32},
           {0, gs1, 100, 95, -16}, {0, gs1, -33, 0, 48},    {0, gs1By4, 0, -3, -8},
           {6, gs1By16, 0, 3, 3},  {6, gs1By16, 0, -3, -3}, {-9, gs1, 5, 2, -48},
           {0, gs1, 0, INT32_MIN, -858993472}, {0, gs1, INT32_MIN, INT32_MAX, 0}}) {
    // clang-format on
    w.SetGridStep(step);
    w.SetGridScale(scale);
    w.SetViewOffset({offset, offset});
    EXPECT_EQ(w.ScreenToBoard({pixel, pixel}), (TPoint{board, board}))
        << scale << " " << int(step) << " " << offset << " " << pixel;
  }
}

TEST_F(ViewTest, CellSizeAtTheEdgesInEitherOrder) {
  // clang-format off
  for (auto [step, scale, cell] : Table<TPCBStep, int32_t, int32_t>{
           {gs1, 0, 10}, {gs1By2, 1, 5}, {gs1, -9, 1}, {gs1, -500, 1}, {gs1By16, 0, 1},
           {gs1By16, 500, 31}, {gs1, INT32_MAX, 1}, {gs1, INT32_MAX - 10, INT32_MAX},
           {gs1By8, INT32_MIN, 1}})
    // clang-format on
    for (bool scaleFirst : {true, false}) {
      w.SetGridStep(gs1), w.SetGridScale(0);
      if (scaleFirst) w.SetGridScale(scale);
      w.SetGridStep(step), w.SetGridScale(scale);
      EXPECT_EQ(w.CellSize(), cell) << int(step) << " " << scale << " " << scaleFirst;
    }
}

// A wire slipped into the list shows in BoardImage only after a render; a spot on the visible
// surface is gone after a repaint.
TEST_F(ViewTest, SettersRenderRepaintOrOnlyStore) {
  enum Effect { kStore, kPaint, kRender };
  using Set = std::function<void(TPCBLayout&)>;
  for (auto [name, set, effect] : Table<const char*, Set, Effect>{
           {"Color", [](TPCBLayout& l) { l.SetColor(0xE9E9E9); }, kRender},
           {"GridColor", [](TPCBLayout& l) { l.SetGridColor(0x123456); }, kRender},
           {"SpotColor", [](TPCBLayout& l) { l.SetSpotColor(0x00FF00); }, kPaint},
           {"WireWidth", [](TPCBLayout& l) { l.SetWireWidth(gs1By8); }, kRender},
           {"WireColor", [](TPCBLayout& l) { l.SetWireColor(0xC99565); }, kRender},
           {"SolderColor", [](TPCBLayout& l) { l.SetSolderColor(0x800000); }, kRender},
           {"SolderExternal", [](TPCBLayout& l) { l.SetSolderExternalDiameter(12); }, kStore},
           {"SolderInternal", [](TPCBLayout& l) { l.SetSolderInternalDiameter(2); }, kStore},
           {"SolderGeometry", [](TPCBLayout& l) { l.SetSolderGeometry(sgSquare); }, kStore},
           {"GridMode", [](TPCBLayout& l) { l.SetGridMode(gmLine); }, kRender},
           {"GridStep same", [](TPCBLayout& l) { l.SetGridStep(l.GridStep()); }, kRender},
           {"GridScale same", [](TPCBLayout& l) { l.SetGridScale(0); }, kStore},
           {"GridScale", [](TPCBLayout& l) { l.SetGridScale(1); }, kRender},
           {"FocusColor", [](TPCBLayout& l) { l.SetFocusColor(0x0000FF); }, kPaint}}) {
    TPCBLayout l;
    l.resize(200, 100);
    l.RenderBoard();
    l.Elements().AddWire({0, 80}, {160, 80}, 1);  // a wide wire along y = 50
    l.DrawSpot({150, 20});
    set(l);
    const TPoint onWire = l.BoardToScreen({80, 80});
    EXPECT_EQ(At(l.BoardImage(), onWire.X, onWire.Y) == l.WireColor(), effect == kRender) << name;
    EXPECT_EQ(SameImage(l.CanvasImage(), l.BoardImage()), effect != kStore) << name;
  }
}

// Dots or lines wherever the distance from the board origin is a whole number of cells, and the
// pointer snaps onto a dot. Cells under 4 pixels are drawn two or four together: the grid at the
// smallest scales is the grid of a scale whose points lie 4 pixels or more apart.
TEST_F(ViewTest, GridStaysOnTheBoardGridUnderAnyOffset) {
  for (TGridMode mode : {gmNone, gmDot, gmLine})
    for (int32_t scale : {-9, -8, -7, -6, -3, 0})  // cells 1, 2, 3, 4, 7, 10
      for (TPoint offset : {TPoint{0, 0}, {3, 7}, {-3, -7}, {-13, 25}, {INT32_MIN, INT32_MAX}}) {
        TPCBLayout l;
        l.resize(61, 37);
        l.SetGridMode(mode);
        l.SetGridScale(scale);
        l.SetViewOffset(offset);
        l.RenderBoard();
        const int64_t cell = l.CellSize(), shown = cell < 3 ? 4 : cell == 3 ? 6 : cell;
        auto on = [shown](int64_t px, int32_t origin) { return (px - origin) % shown == 0; };
        QImage expected(61, 37, QImage::Format_RGB32);
        for (int y = 0; y < 37; ++y)
          for (int x = 0; x < 61; ++x) {
            const bool dot = on(x, offset.X) && on(y, offset.Y);
            const bool line = (on(y, offset.Y) && x < 60) || (on(x, offset.X) && y < 36);
            const bool ink = mode == gmDot ? dot : mode == gmLine && line;
            expected.setPixel(x, y, ColorToArgb(ink ? l.GridColor() : l.Color()));
          }
        EXPECT_TRUE(SameImage(l.BoardImage(), expected)) << mode << " " << cell << " " << offset.X;
        const TPoint p = l.BoardToScreen(l.ScreenToBoard({30, 20}));
        if (mode == gmDot && shown == cell && QRect(0, 0, 61, 37).contains(p.X, p.Y)) {
          EXPECT_EQ(At(l.BoardImage(), p.X, p.Y), l.GridColor()) << offset.X << " " << cell;
        }
      }
}

TEST_F(ViewTest, FillsLieUnderTheOtherCopperPadsOverWiresAndHolesShowTheBoard) {
  w.SetGridMode(gmNone);
  w.SetGridScale(6);  // one unit a pixel: the hole has a radius of 2 pixels
  w.SetFocusColor(0x0000FF);
  // A fill seeded on a wide wire and its pad, and a thin wire it keeps its clearance from
  // (0.5 mm, a little over 3 units), listed before them.
  w.Elements().Append(
      std::make_unique<TCopperFill>(&w, std::vector<TPoint>{{0, 0}, {200, 0}, {200, 200}, {0, 200}},
                                    true, TPoint{64, 64}, TFillSettings{}));
  w.Elements().AddSolder({64, 64}, 4, 16, sgCircle);  // listed before the wire
  w.Elements().AddWire({0, 64}, {160, 64}, 1);
  w.Elements().AddWire({0, 150}, {160, 150}, 4);
  QPicture printed;
  w.RenderBoard();
  for (bool shown : {true, false}) {
    w.SetShowFills(shown);
    // Around the thin wire: the wire, its gap, then the fill's own colour; the fill is neither
    // the board's nor the wire's colour.
    const TColor fill = BoardAt(100, 170);
    EXPECT_EQ(fill != w.Color(), shown);
    EXPECT_NE(fill, w.WireColor());
    EXPECT_EQ(BoardAt(100, 150), w.WireColor());
    EXPECT_EQ(BoardAt(100, 154), w.Color());
    EXPECT_EQ(BoardAt(100, 100), fill);
    EXPECT_EQ(BoardAt(100, 64), w.WireColor());
    // The printed page keeps the fill either way.
    const QPicture page = RecordBoardPage(w.Elements(), 600);
    if (shown)
      printed = page;
    else
      EXPECT_EQ(QByteArray(page.data(), int(page.size())),
                QByteArray(printed.data(), int(printed.size())));
    w.Elements().Items(1)->SetSelected(!shown);
    w.RenderBoard();
    EXPECT_EQ(BoardAt(64, 64), w.Color());  // the hole shows the board, not the wire
    EXPECT_EQ(BoardAt(64, 69), shown ? w.SolderColor() : 0x0000FFu);  // over the wide wire
  }
}

// Elements across every edge, wide and thin, holes larger than their lands, 32-bit extremes.
TEST_F(ViewTest, SkippingHiddenElementsChangesNoPixel) {
  TPick pick{std::mt19937(20240611)};
  for (int round = 0; round < 12; ++round) {
    TPCBLayout l;
    l.resize(160 + round * 7, 90 + round * 3);
    l.SetGridScale(round * 3 - 9);
    l.SetGridStep(static_cast<TPCBStep>(round % 5));
    FillRandom(l.Elements(), pick, 600, 400 + round * 200);
    const int32_t right = l.width() * 16 / std::max(1, StepPixels(l));
    const int32_t bottom = l.height() * 16 / std::max(1, StepPixels(l));
    for (int32_t k = 1; k <= 48; k += 3) {  // just past each edge, reaching in
      l.Elements().AddWire({-k, 5}, {-k, 60}, 1 + k % 2);
      l.Elements().AddWire({5, bottom + k}, {60, bottom + k}, 1 + k % 2);
      l.Elements().AddWire({right + k, 5}, {right + k, 60}, 1 + k % 2);
      l.Elements().AddSolder({right + k, -k}, 4, 8 + k, static_cast<uint8_t>(k % 2));
      l.Elements().Append(std::make_unique<TSmdPad>(&l, TPoint{-k, 20 + k}, 2 * k + 2, k + 1, k));
      l.Elements().Append(std::make_unique<TSmdPad>(&l, TPoint{k, bottom + k}, k, 2 * k + 2, k));
    }
    l.Elements().AddWire({INT32_MIN, 0}, {INT32_MAX, 40}, 1);
    l.Elements().AddWire({-5, -5}, {INT32_MIN, INT32_MIN}, -1);
    l.Elements().AddSolder({INT32_MAX, INT32_MAX}, INT32_MAX, INT32_MIN, 1);
    l.Elements().AddSolder({-90, 30}, 200, 4, 0);
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

TEST_F(ViewTest, ClearAndResizeRenderAgain) {
  w.Elements().AddWire({0, 16}, {640, 16}, 16);
  w.SetViewOffset({-37, 12});
  w.SetModified(true);
  w.Clear();
  EXPECT_EQ(w.ViewOffset(), (TPoint{0, 0}));
  EXPECT_FALSE(w.Modified());
  EXPECT_EQ(BoardAt(15, 8), w.Color());  // the wire is gone from the image too
  EXPECT_EQ(BoardAt(0, 0), w.GridColor());
  w.Elements().AddWire({0, 16}, {640, 16}, 16);
  Show();
  w.resize(500, 271);
  QCoreApplication::processEvents();
  EXPECT_EQ(BoardAt(399, 10), w.WireColor());  // a larger control is drawn again in full
}

}  // namespace
