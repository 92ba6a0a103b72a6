#include <QNativeGestureEvent>
#include <QPicture>
#include <QPointingDevice>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QWheelEvent>
#include <functional>

#include "LayoutTest.h"
#include "TBoardPrint.h"
#include "formats/BoardHelpers.h"

namespace {

using ViewTest = LayoutTest;

TEST_F(ViewTest, ScreenToBoardSnapsToTheNearestGridPoint) {
  // Scale, step, offset, pixel, board point; halves round up, and far out the sums wrap.
  // clang-format off
  for (auto [scale, step, offset, pixel, board] : Table<int32_t, TPCBStep, int32_t, int32_t, int32_t>{
           {0, gs1, 0, 4, 0},      {0, gs1, 0, 5, 16},      {0, gs1, 0, 15, 32},
           {0, gs1, 0, -4, 0},     {0, gs1, 0, -5, -16},    {0, gs1, 0, -15, -32},
           {0, gs1, 0, -16, -32},  {-5, gs1, 0, 7, 16},     {-5, gs1, 0, -7, -32},
           {0, gs1, 100, 95, -16}, {0, gs1, -33, 0, 48},    {0, gs1By4, 0, -3, -8},
           {6, gs1By16, 0, 3, 3},  {6, gs1By16, 0, -3, -3}, {-9, gs1, 5, 2, -48},
           {0, gs1, 0, INT32_MIN, -858993472}, {0, gs1, INT32_MIN, INT32_MAX, 0}}) {
    // clang-format on
    w.SetGridStep(step), w.SetGridScale(scale), w.SetViewOffset({offset, offset});
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

// A wire slipped into the list shows only after a render; a spot is gone after a repaint.
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
    l.resize(200, 100), l.RenderBoard();
    l.Elements().AddWire({0, 80}, {160, 80}, 1);  // a wide wire along y = 50
    l.DrawSpot({150, 20});
    set(l);
    const TPoint onWire = l.BoardToScreen({80, 80});
    EXPECT_EQ(At(l.BoardImage(), onWire.X, onWire.Y) == l.WireColor(), effect == kRender) << name;
    EXPECT_EQ(SameImage(l.CanvasImage(), l.BoardImage()), effect != kStore) << name;
  }
}

// Dots or lines every whole cell from the origin (tiny cells grouped); the pointer snaps to a dot.
TEST_F(ViewTest, GridStaysOnTheBoardGridUnderAnyOffset) {
  for (TGridMode mode : {gmNone, gmDot, gmLine})
    for (int32_t scale : {-9, -8, -7, -6, -3, 0})  // cells 1, 2, 3, 4, 7, 10
      for (TPoint offset : {TPoint{0, 0}, {3, 7}, {-3, -7}, {-13, 25}, {INT32_MIN, INT32_MAX}}) {
        TPCBLayout l;
        l.resize(61, 37), l.SetGridMode(mode), l.SetGridScale(scale), l.SetViewOffset(offset);
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
  w.SetGridMode(gmNone), w.SetGridScale(6), w.SetFocusColor(0x0000FF);  // one unit a pixel
  // A fill seeded on a wide wire and its pad, and a thin wire it keeps 0.5 mm (3 units) from.
  Put({"@FILL 1, 64, 64, 500000, 300000, 500000, 500000, 0, 4, 0, 0, 200, 0, 200, 200, 0, 200",
       "P 64, 64, 4, 16, 0", "@SMD 150, 100, 8, 1, 0"});
  w.Elements().AddWire({0, 64}, {160, 64}, 1);
  w.Elements().AddWire({0, 150}, {160, 150}, 4);
  QByteArray printed;
  for (bool shown : {true, false}) {
    w.SetShowFills(shown);
    const QPicture page = RecordBoardPage(w.Elements(), 600);  // the page keeps the fill either way
    EXPECT_TRUE(shown || QByteArray(page.data(), int(page.size())) == printed);
    printed = QByteArray(page.data(), int(page.size()));
    w.Elements().Items(1)->SetSelected(!shown), w.RenderBoard();
    // Across the thin wire: fill, gap, wire; the hole shows the board, the pad hides the wire.
    const TColor fill = BoardAt(100, 170);
    EXPECT_EQ(fill != w.Color(), shown);
    EXPECT_EQ((std::vector<TColor>{BoardAt(100, 100), BoardAt(100, 154), BoardAt(100, 150),
                                   BoardAt(100, 64), BoardAt(64, 64), BoardAt(64, 69),
                                   BoardAt(150, 100)}),
              (std::vector<TColor>{fill, w.Color(), w.WireColor(), w.WireColor(), w.Color(),
                                   shown ? w.SolderColor() : 0x0000FFu, w.SolderColor()}));
  }
}

// Culled renders and pan steps, even where coordinates wrap, give the pixels of a full render.
TEST_F(ViewTest, SkippingHiddenElementsAndPanningChangeNoPixel) {
  TPick pick{std::mt19937(20240611)};
  for (int round = 0; round < 16; ++round) {
    TPCBLayout l;
    l.resize(pick(60, 240), pick(40, 150));
    l.SetGridMode(round % 4 == 0 ? gmNone : round % 4 == 1 ? gmDot : gmLine);
    l.SetGridScale(pick(-9, 40)), l.SetGridStep(static_cast<TPCBStep>(pick(0, 4)));
    l.SetFocusColor(0x0000FF);
    FillRandom(l.Elements(), pick, 300, pick(400, 2800));
    const int32_t right = l.width() * 16 / std::max(1, StepPixels(l)),
                  bottom = l.height() * 16 / std::max(1, StepPixels(l));
    for (int32_t k = 1; k <= 48; k += 3) {  // just past each edge, reaching in
      l.Elements().AddWire({-k, 5}, {-k, 60}, 1 + k % 2);
      l.Elements().AddWire({5, bottom + k}, {60, bottom + k}, 1 + k % 2);
      l.Elements().AddWire({right + k, 5}, {right + k, 60}, 1 + k % 2);
      l.Elements().AddSolder({right + k, -k}, 4, 8 + k, static_cast<uint8_t>(k % 2));
      l.Elements().Append(std::make_unique<TSmdPad>(&l, TPoint{-k, 20 + k}, 2 * k + 2, k + 1, k));
      l.Elements().Append(std::make_unique<TSmdPad>(&l, TPoint{k, bottom + k}, k, 2 * k + 2, k));
    }
    l.Elements().AddSolder({-90, 30}, 200, 4, 0);
    if (round % 2 == 0) {  // wide wires across the board: every pan step is a full render
      l.Elements().AddWire({INT32_MIN, 0}, {INT32_MAX, 40}, 1);
      l.Elements().AddWire({-5, -5}, {INT32_MIN, INT32_MIN}, -1);
      l.Elements().AddSolder({INT32_MAX, INT32_MAX}, INT32_MAX, INT32_MIN, 1);
    }
    TPoint offset{0, 0};
    l.RenderBoard();
    for (int step = 0; step < 40; ++step) {
      if (step % 20 == 0) {
        if (step > 0) offset = {pick(-300, 100), pick(-300, 100)};
        if (step == 20 && round % 3 == 0)
          offset = {INT32_MAX - pick(0, 400), INT32_MIN + pick(0, 400)};
        l.SetViewOffset(offset), l.RenderBoard();
      } else {
        const int32_t reach = step % 10 == 9 ? 1000 : step % 3 == 0 ? 60 : 6;
        offset = {WAdd(offset.X, pick(-reach, reach)), WAdd(offset.Y, pick(-reach, reach))};
        l.PanTo(offset);
      }
      const QImage drawn = l.BoardImage().copy();
      l.SetCulling(round % 3 == 0), l.RenderBoard(), l.SetCulling(true);  // culled where it wraps
      ASSERT_TRUE(SameImage(drawn, l.BoardImage()))
          << "round " << round << " step " << step << " offset " << offset.X << "," << offset.Y;
    }
  }
}

TEST_F(ViewTest, ClearAndResizeRenderAgain) {
  w.Elements().AddWire({0, 16}, {640, 16}, 16);
  w.SetViewOffset({-37, 12}), w.SetModified(true), w.Clear();
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

// Through edits the index answers as the walk: the pixels, the pointer and the band.
TEST_F(ViewTest, IndexAnswersAsTheWalkThroughEdits) {
  TPick pick{std::mt19937(77)};
  w.SetGridScale(-4);
  FillRandom(w.Elements(), pick, 600, 600);
  w.Elements().AddSolder({3000000, 40}, 4, 16, 0);
  const int64_t wraps = ((int64_t(1) << 32) + StepPixels(w) - 1) / StepPixels(w);
  ASSERT_LE(wraps, INT32_MAX);
  w.Elements().AddSolder({static_cast<int32_t>(wraps), 40}, 4, 16, 0);
  auto compare = [&](int round) {
    std::vector<TPoint> pixels;
    for (int k = 0; k < 80; ++k) pixels.push_back({pick(-20, 420), pick(-20, 320)});
    const TPoint c1{pick(-900, 900), pick(-900, 900)}, c2{pick(-900, 900), pick(-900, 900)};
    const std::vector<int32_t> selected = w.SelectedIndices();
    std::vector<std::tuple<std::vector<const TPCBElement*>, QImage, std::vector<int32_t>>> seen;
    for (bool useIndex : {false, true}) {
      std::vector<const TPCBElement*> found;
      w.SetIndexed(useIndex);
      for (TPoint p : pixels) found.push_back(w.ElementAt(p));
      w.RenderBoard();
      const QImage image = w.BoardImage().convertToFormat(QImage::Format_RGB32);
      w.SelectInRect(c1, c2);
      seen.emplace_back(found, image, w.SelectedIndices());
      w.ClearSelection();
      for (int32_t i : selected) w.Elements().Items(i)->SetSelected(true);
    }
    EXPECT_TRUE(seen[0] == seen[1]) << round;
  };
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
TEST_F(ViewTest, ZoomedScaleStepsTheCellWithinTheBoxRange) {
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

// The board point under the pointer stays within a cell of where it was through wheel zooms.
TEST_F(ViewTest, WheelZoomKeepsTheBoardPointUnderThePointer) {
  auto wheel = [&](TPoint at, QPoint pixels, QPoint angle, Qt::KeyboardModifiers mods) {
    QWheelEvent e(QPointF(at.X, at.Y), w.mapToGlobal(QPointF(at.X, at.Y)), pixels, angle,
                  Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&w, &e);
  };
  // clang-format off
  for (auto [scale, step, offset, pixel, delta] : Table<int32_t, TPCBStep, TPoint, TPoint, int>{
           {0, gs1, {0, 0}, {200, 150}, 120},       {0, gs1, {0, 0}, {200, 150}, -120},
           {20, gs1By2, {-350, 75}, {17, 290}, 240}, {300, gs1, {-9000, 4000}, {399, 0}, -360},
           {-9, gs1By16, {5, 5}, {100, 100}, 120},   {490, gs1By4, {123, -77}, {0, 299}, 120},
           {-5, gs1, {-2000000, 3}, {60, 60}, 120}}) {
    // clang-format on
    w.SetGridStep(step), w.SetGridScale(scale), w.SetViewOffset(offset);
    auto under = [&](int32_t px, int32_t origin) {
      return double(WSub(px, origin)) * UnitsPerStep / StepPixels(w);
    };
    const double bx = under(pixel.X, offset.X), by = under(pixel.Y, offset.Y);
    wheel(pixel, {}, {0, delta}, Qt::NoModifier);
    EXPECT_EQ(w.GridScale(), TPCBLayout::ZoomedScale(scale, step, delta / 120)) << scale;
    const double cell = double(UnitsPerStep) / StepDivisorOf(step);
    EXPECT_NEAR(under(pixel.X, w.ViewOffset().X), bx, cell) << scale << " " << pixel.X;
    EXPECT_NEAR(under(pixel.Y, w.ViewOffset().Y), by, cell) << scale << " " << pixel.Y;
  }
  // Fractions of a notch add up; Shift and Ctrl scroll, pixel deltas pan.
  w.SetGridStep(gs1), w.SetGridScale(0);
  TPoint before = w.ViewOffset();
  // clang-format off
  for (auto [pixels, angle, mods, scale, moved] : Table<QPoint, int, Qt::KeyboardModifiers, int, TPoint>{
           {{}, 40, Qt::NoModifier, 0, {}}, {{}, 40, Qt::NoModifier, 0, {}},
           {{}, 40, Qt::NoModifier, 3, {-1000, -1000}}, {{}, 120, Qt::ShiftModifier, 3, {0, 30}},
           {{}, -120, Qt::ControlModifier, 3, {-40, 0}}, {{7, -9}, 0, Qt::NoModifier, 3, {7, -9}}}) {
    // clang-format on
    wheel({100, 100}, pixels, {0, angle}, mods);
    EXPECT_EQ(w.GridScale(), scale);
    EXPECT_TRUE(moved.X == -1000 ||
                w.ViewOffset() == (TPoint{before.X + moved.X, before.Y + moved.Y}));
    before = w.ViewOffset();
  }
  // A pinch that grows by a quarter in two reports is one notch in.
  for (double grow : {0.1, 0.14}) {
    QNativeGestureEvent e(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                          QPointF(100, 100), QPointF(100, 100), w.mapToGlobal(QPointF(100, 100)),
                          grow, QPointF());
    QCoreApplication::sendEvent(&w, &e);
  }
  EXPECT_EQ(w.GridScale(), 6);
}

// Fit shows the whole board at the largest scale that does; an empty board the start view.
TEST_F(ViewTest, FitBoardShowsTheWholeBoard) {
  // clang-format off
  for (auto [a, b, step] : Table<TPoint, TPoint, TPCBStep>{
           {{0, 0}, {16, 0}, gs1}, {{-5000, 300}, {9000, 2000}, gs1By4},
           {{160, 160}, {320, 800}, gs1By2}, {{-100000000, 0}, {100000000, 5}, gs1}}) {
    // clang-format on
    w.Clear(), w.SetGridStep(step);
    w.Elements().AddWire(a, b, 2);               // reaches 4 units past its ends
    w.Elements().AddSolder(b, 4, 16, sgCircle);  // 8 units round its centre
    w.FitBoard();
    const int32_t m = UnitsPerStep / StepDivisorOf(step);
    const TPoint from{std::min(std::min(a.X, b.X) - 4, b.X - 8) - m, std::min(a.Y, b.Y) - 8 - m};
    const TPoint to{std::max(a.X, b.X) + 8 + m, std::max(a.Y, b.Y) + 8 + m};
    const TPoint p = w.BoardToScreen(from), q = w.BoardToScreen(to);
    EXPECT_TRUE(w.GridScale() == -9 || (p.X >= 0 && p.Y >= 0 && q.X < 400 && q.Y < 300)) << a.X;
    TPCBLayout closer;
    closer.SetGridStep(step), closer.SetGridScale(TPCBLayout::ZoomedScale(w.GridScale(), step, 1));
    EXPECT_TRUE(closer.GridScale() == w.GridScale() ||
                int64_t(to.X - from.X) * StepPixels(closer) / UnitsPerStep > 396 ||
                int64_t(to.Y - from.Y) * StepPixels(closer) / UnitsPerStep > 296)
        << a.X;
  }
  w.Clear(), w.SetViewOffset({7, 7}), w.FitBoard();
  EXPECT_EQ(w.ViewOffset(), (TPoint{0, 0}));
}

// A wire's drag step is the full render but lies over the pad; a fill stays under it.
TEST_F(ViewTest, DragStepsComposeOverTheRestOfTheBoard) {
  w.SetGridMode(gmLine), w.SetMouseAction(maMove);
  Show();
  for (std::string dragged : {"W 96, 160, 224, 160, 2",
                              "@FILL 0, 0, 0, 500000, 300000, 500000, 500000, 1, 4, 96, 128, "
                              "224, 128, 224, 192, 96, 192"}) {
    w.Clear(), Put({"P 160, 64, 4, 16, 1", dragged}), w.RenderBoard();
    Do("m100,100 p100,100");
    for (int y = 90; y >= 30; y -= 10) {
      MoveTo({100, y});
      TPCBLayout full;
      full.resize(400, 300), full.SetGridMode(gmLine);
      for (int32_t i = 0; i < w.Elements().Count(); ++i)
        full.Elements().Append(w.Elements().Items(i)->Clone(&full));
      full.RenderBoard();
      const bool wire = dragged[0] == 'W', over = wire && y == 40;
      EXPECT_TRUE(!wire || SameImage(w.BoardImage(), full.BoardImage()) != over) << y;
      EXPECT_EQ(BoardAt(100, 40), over ? w.FocusColor() : w.SolderColor()) << y;
      EXPECT_NE(BoardAt(70, y), w.Color()) << y;  // the dragged copper is taken along
    }
    Release({100, 30});
    EXPECT_EQ(w.UndoStack().count(), 1);
    EXPECT_EQ(BoardAt(100, 40), w.SolderColor());
  }
}

// No printer, whatever is installed: the print system is sent to a dead port before Qt asks.
[[maybe_unused]] const bool kNoPrintServer =
    qputenv("CUPS_SERVER", "127.0.0.1:9") | qunsetenv("PRINTER") | qunsetenv("LPDEST");

using PrintLayoutTest = LayoutTest;

// A printer writing to a file stands in for paper; the view on screen does not reach it.
TEST_F(PrintLayoutTest, ThePageIsTheBoardWhateverTheViewAndAFailedPrintSaysWhy) {
  QTemporaryDir dir;
  Put({"W 80, 80, 720, 80, 2", "P 80, 80, 16, 48, 0", "P 720, 80, 16, 48, 1 *",
       "P 400, 400, 4, 32, 0"});
  w.SetGridScale(-2), w.SetGridStep(gs1By8), w.SetViewOffset({-517, 233});
  w.SetModified(true), w.RenderBoard();
  // A print leaves the board, the view, the flag and the image alone, and gives its error.
  auto Unchanged = [&](const std::function<void()>& print) {
    const auto before = std::make_tuple(Describe(w.Elements()), w.Modified(), w.ViewOffset());
    const QImage image = w.BoardImage().copy();
    const std::string error = MessageOf(print);
    EXPECT_EQ(std::make_tuple(Describe(w.Elements()), w.Modified(), w.ViewOffset()), before);
    EXPECT_TRUE(SameImage(w.BoardImage(), image));
    EXPECT_TRUE(w.PrinterCanvas() == nullptr && w.PrinterResolution() == 0);
    return error;
  };
  if (QPrinterInfo::defaultPrinter().isNull()) {
    EXPECT_EQ(Unchanged([this] { w.Print(); }), "Aucune imprimante par défaut n'est installée");
  }
  for (auto [file, error] :
       {std::pair<QString, std::string>{dir.filePath("printed.pdf"), "<no error>"},
        {"/dev/null/printed.pdf",
         "L'imprimante \"/dev/null/printed.pdf\" n'a pas accepté le travail"},
        {"/dev/null/" + QString(100, 'p') + ".pdf",  // a name beyond 100 characters is cut
         "L'imprimante \"/dev/null/" + std::string(40, 'p') + "…" + std::string(21, 'p') +
             ".pdf\" n'a pas accepté le travail"}}) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    // Letter paper with margins of half an inch at the side and one inch at the top.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                      QMarginsF(36, 72, 36, 36), QPageLayout::Point));
    EXPECT_EQ(Unchanged([&, &printer = printer] { w.PrintOn(printer); }), error);
  }
  // At 100 dpi (80, 80) is half an inch inside the printable corner, the square pad 4 inches on.
  const QImage page = RasterisePdf(dir.filePath("printed.pdf"), 100);
  ASSERT_EQ(page.size(), QSize(850, 1100));
  // clang-format off
  for (auto [x, y, black] : Table<int, int, bool>{{100, 150, false}, {110, 150, true},
           {118, 140, false}, {514, 136, true}, {517, 133, false}, {80, 150, false}})
    // clang-format on
    EXPECT_EQ(qGray(page.pixel(x, y)) < 128, black) << x << "," << y;
}

}  // namespace
