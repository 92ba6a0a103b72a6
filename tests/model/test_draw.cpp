#include <gtest/gtest.h>

#include <climits>

#include "FakeLayout.h"
#include "TElementList.h"

namespace {

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
  const std::vector<Pixel> p2 = {{50, 10, W}, {50, 50, W}};
  Expect(view.Screen, p2);
  // At P = 16 the hole radius reaches 2 and shows the background.
  view.Cell = 16;
  view.Background = 0xE9E9E9;
  list.AddSolder({160, 160}, 4, 16, sgCircle)->Draw(dmNormal);
  const std::vector<Pixel> p3 = {{160, 160, 0xE9E9E9}, {160, 165, Pad}};
  Expect(view.Board, p3);
}

TEST_F(DrawTest, HighlightGoesOnTheVisibleSurfaceOnly) {
  list.AddWire({0, 80}, {160, 80}, 2)->Draw(dmHighlight);  // 5 pixels wide at y = 50
  list.AddSolder({16, 160}, 4, 16, sgSquare)->Draw(dmHighlight);
  // The wire's round end reaches past its end point.
  const std::vector<Pixel> p4 = {{50, 50, Focus},  {50, 52, Focus}, {50, 55, W},
                                 {101, 50, Focus}, {104, 50, W},    {10, 96, Focus}};
  Expect(view.Screen, p4);
  const std::vector<Pixel> p5 = {{50, 50, W}, {10, 96, W}};
  Expect(view.Board, p5);
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
  const std::vector<Pixel> p6 = {{80, 20, W}};
  Expect(view.Board, p6);
  const std::vector<Pixel> p7 = {{80, 20, W}};
  Expect(view.Screen, p7);
}

}  // namespace
