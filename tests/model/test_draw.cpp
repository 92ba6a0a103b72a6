#include <gtest/gtest.h>

#include <QImage>
#include <climits>

#include "FakeLayout.h"
#include "TElementList.h"
#include "TSmdPad.h"

namespace {

using Pixels = std::vector<std::pair<int, int>>;

// The black pixels of an image.
Pixels BlackPixels(const QImage& image) {
  Pixels out;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0) out.emplace_back(x, y);
  return out;
}

// The last case has its ends far outside the image: only the visible stretch is drawn, found
// without walking the rest.
TEST(Canvas, ThinLinesLeaveOutTheirEndPixel) {
  const struct {
    int x0, y0, x1, y1;
    Pixels pixels;
  } cases[] = {{0, 0, 3, 0, {{0, 0}, {1, 0}, {2, 0}}},
               {3, 0, 0, 0, {{1, 0}, {2, 0}, {3, 0}}},
               {0, 0, 0, 2, {{0, 0}, {0, 1}}},
               {0, 0, 2, 2, {{0, 0}, {1, 1}}},
               {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
               {1, 1, 1, 1, {}},
               {INT32_MIN, 2, INT32_MAX, 2, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}}};
  for (const auto& c : cases) {
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    canvas.SetPenColor(0);
    canvas.SetPenWidth(0);
    canvas.MoveTo(c.x0, c.y0);
    canvas.LineTo(c.x1, c.y1);
    canvas.Flush();
    EXPECT_EQ(BlackPixels(image), c.pixels) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
}

TEST(Canvas, BoxesLeaveOutTheirRightAndBottomEdges) {
  QImage image(9, 9, QImage::Format_RGB32);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  canvas.SetBrushColor(0);
  canvas.SetPenColor(0);
  canvas.FillRect(1, 1, 3, 4);
  EXPECT_EQ(BlackPixels(image), (Pixels{{1, 1}, {2, 1}, {1, 2}, {2, 2}, {1, 3}, {2, 3}}));
  image.fill(Qt::white);
  canvas.Ellipse(0, 0, 2, 2);
  EXPECT_EQ(BlackPixels(image), (Pixels{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
  image.fill(Qt::white);
  canvas.Ellipse(3, 3, 3, 9);  // an empty box draws nothing
  canvas.Ellipse(INT32_MIN, INT32_MIN, INT32_MIN + 4, INT32_MIN + 4);
  EXPECT_TRUE(BlackPixels(image).empty());
  // A huge disc covering the image fills it without walking its whole box.
  canvas.Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_EQ(BlackPixels(image).size(), 81u);
  // A disc is outlined in the pen colour and filled with the brush colour.
  image.fill(Qt::white);
  canvas.SetBrushColor(0x0000FF);
  canvas.Ellipse(0, 0, 9, 9);
  for (auto [x, y, rgb] :
       {std::tuple{4, 4, 0xFF0000u}, {4, 0, 0u}, {0, 4, 0u}, {8, 4, 0u}, {0, 0, 0xFFFFFFu}})
    EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, rgb) << x << ", " << y;
}

constexpr TColor kWhite = 0xFFFFFF, kBlack = 0, W = kWhite;

struct Pixel {
  int x, y;
  TColor color;
};

class DrawTest : public ::testing::Test {
 protected:
  void Expect(const QImage& image, const std::vector<Pixel>& pixels) {
    view.Flush();
    for (const Pixel& p : pixels)
      EXPECT_EQ(FakeLayout::At(image, p.x, p.y), p.color) << p.x << ", " << p.y;
  }
  FakeLayout view;  // P = 10
  const TColor Wire = view.Wire, Pad = view.Solder, Focus = view.Focus;
  TElementList list{&view};
};

TEST_F(DrawTest, NormalGoesOnTheBoardImage) {
  // Divisor 16 is 0 pixels wide: one pixel, without the end pixel. 10 div INT32_MIN is 0 too;
  // only a divisor of 0 draws nothing.
  list.AddWire({0, 16}, {160, 16}, 16)->Draw(dmNormal);
  list.AddWire({0, 32}, {160, 32}, 0)->Draw(dmNormal);
  list.AddWire({0, 48}, {160, 48}, INT32_MIN)->Draw(dmNormal);
  TWire* selected = list.AddWire({0, 160}, {160, 160}, 2);
  selected->SetSelected(true);  // drawn in the focus colour
  selected->Draw(dmNormal);
  list.AddSolder({80, 80}, 4, 16, sgCircle)->Draw(dmNormal);  // r = 5, the hole of 1 not shown
  list.AddSolder({160, 80}, 4, 16, sgSquare)->Draw(dmNormal);
  const std::vector<Pixel> p1 = {{0, 10, Wire}, {99, 10, Wire}, {100, 10, W},     {50, 11, W},
                                 {50, 20, W},   {50, 30, Wire}, {50, 100, Focus}, {50, 50, Pad},
                                 {45, 50, Pad}, {54, 50, Pad},  {55, 50, W},      {45, 45, W},
                                 {95, 45, Pad}, {104, 54, Pad}, {105, 50, W},     {100, 55, W}};
  Expect(view.Board, p1);
  Expect(view.Screen, {{50, 10, W}, {50, 50, W}});
  // At P = 16 the hole radius reaches 2 and shows the background.
  view.Cell = 16;
  view.Background = 0xE9E9E9;
  list.AddSolder({160, 160}, 4, 16, sgCircle)->Draw(dmNormal);
  Expect(view.Board, {{160, 160, 0xE9E9E9}, {160, 165, Pad}});
}

TEST_F(DrawTest, HighlightGoesOnTheVisibleSurfaceOnly) {
  list.AddWire({0, 80}, {160, 80}, 2)->Draw(dmHighlight);  // 5 pixels wide at y = 50
  list.AddSolder({16, 160}, 4, 16, sgSquare)->Draw(dmHighlight);
  // The wire's round end reaches past its end point.
  const std::vector<Pixel> p4 = {{50, 50, Focus},  {50, 52, Focus}, {50, 55, W},
                                 {101, 50, Focus}, {104, 50, W},    {10, 96, Focus}};
  Expect(view.Screen, p4);
  Expect(view.Board, {{50, 50, W}, {10, 96, W}});
}

TEST_F(DrawTest, PrintIsBlackOnWhiteWithHolesAndOnlyOnAPrinter) {
  view.Dpi = 160;  // one dot per board unit
  view.Offset = {40, 40};
  view.Cell = 37;
  TWire* wire = list.AddWire({10, 20}, {150, 20}, 4);  // 4 units wide
  wire->SetSelected(true);
  TSolder* pad = list.AddSolder({100, 100}, 5, 41, sgCircle);  // rp = 20, hp = 2
  for (bool printing : {false, true}) {
    view.Printing = printing;
    wire->Draw(dmPrint);
    pad->Draw(dmPrint);
    const TColor ink = printing ? kBlack : kWhite;
    Expect(
        view.Page,
        {{80, 20, ink}, {80, 21, ink}, {80, 25, W}, {100, 100, W}, {100, 85, ink}, {100, 125, W}});
  }
  Expect(view.Board, {{80, 20, W}});
  Expect(view.Screen, {{80, 20, W}});
}

// SMD pads at (80, 80), shown at (50, 50) with P = 10 unless the cell says otherwise. What is
// drawn is exactly what is hit, the centre pixel always; the first, 20 by 10 pixels at 50 %, is
// an oblong of radius 5 whose corners stay white.
TEST_F(DrawTest, SmdPadsDrawRoundedCornersAndHitWhatTheyDraw) {
  const std::vector<Pixel> oblong = {{40, 45, W}, {42, 45, W},   {43, 45, Pad}, {56, 45, Pad},
                                     {57, 45, W}, {40, 50, Pad}, {39, 50, W},   {59, 50, Pad},
                                     {60, 50, W}, {59, 54, W},   {50, 54, Pad}, {50, 55, W}};
  const std::vector<Pixel> odd = {{74, 80, Pad}, {73, 80, W}, {86, 80, Pad},
                                  {87, 80, W},   {74, 70, W}, {75, 70, Pad}};
  const struct {
    int32_t cell, width, height, roundness;
    bool selected;
    std::vector<Pixel> pixels;
  } cases[] = {
      {10, 32, 16, 50, false, oblong},
      {10, 32, 16, 0, true, {{40, 45, Focus}, {59, 54, Focus}, {60, 54, W}, {59, 55, W}}},
      // At P = 16 (80, 80) shows at (80, 80), and 13 units are 13 pixels: 6 left of the centre
      // and 6 right. 20 % of 13 units gives corners of radius 2.
      {16, 13, 21, 20, false, odd},
      {7, 40, 90, 35, false, {}},
      {10, 0, 16, 0, false, {}},
  };
  for (const auto& c : cases) {
    view.Board.fill(Qt::white);
    view.Cell = c.cell;
    TSmdPad pad(&view, {80, 80}, c.width, c.height, c.roundness);
    pad.SetSelected(c.selected);
    pad.Draw(dmNormal);
    Expect(view.Board, c.pixels);
    const TPoint centre = pad.Pixels(c.cell, {}).Center;
    // Every pixel of the board image, row by row.
    for (TPoint q{0, 0}; q.Y < 200; q.X = (q.X + 1) % 200, q.Y += q.X == 0)
      ASSERT_EQ(pad.HitTest(q), FakeLayout::At(view.Board, q.X, q.Y) != kWhite || q == centre)
          << pad.ToText() << " P=" << c.cell << " at " << q.X << ", " << q.Y;
  }
}

// On paper at true size: 32 by 16 units at 160 dpi are 32 by 16 dots, the oblong's corners white,
// through the pixel rules on an image and through a painter on a page alike.
TEST_F(DrawTest, SmdPadsPrintAtTrueSize) {
  view.Dpi = 160;
  view.Printing = true;
  QImage painted(200, 200, QImage::Format_RGB32);
  painted.fill(Qt::white);
  QPainter painter(&painted);
  TCanvas onPainter(&painter);
  const std::vector<Pixel> pixels = {{84, 100, kBlack},  {83, 100, W},      {115, 100, kBlack},
                                     {116, 100, W},      {100, 92, kBlack}, {100, 91, W},
                                     {100, 107, kBlack}, {100, 108, W},     {84, 92, W},
                                     {115, 107, W},      {88, 93, kBlack}};
  for (TCanvas* page : {static_cast<TCanvas*>(nullptr), &onPainter}) {
    view.External = page;
    TSmdPad pad(&view, {100, 100}, 32, 16, 50);
    pad.Draw(dmPrint);
    onPainter.Flush();
    Expect(page ? painted : view.Page, pixels);
  }
  painter.end();
}

}  // namespace
