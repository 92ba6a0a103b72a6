#include <gtest/gtest.h>

#include "FakeLayout.h"
#include "TElementList.h"

namespace {

constexpr TColor kWhite = 0xFFFFFF, kBlack = 0;

class DrawTest : public ::testing::Test {
 protected:
  TColor BoardAt(int x, int y) {
    view.Flush();
    return FakeLayout::At(view.Board, x, y);
  }
  TColor ScreenAt(int x, int y) {
    view.Flush();
    return FakeLayout::At(view.Screen, x, y);
  }
  TColor PageAt(int x, int y) {
    view.Flush();
    return FakeLayout::At(view.Page, x, y);
  }
  FakeLayout view;
  TElementList list{&view};
};

TEST_F(DrawTest, WireNormalHighlightAndSelected) {
  // P = 10: a wire of divisor 16 is 0 pixels wide, drawn as one pixel without its end pixel.
  TWire* thin = list.AddWire({0, 16}, {160, 16}, 16);
  thin->Draw(dmNormal);
  EXPECT_EQ(BoardAt(0, 10), view.Wire);
  EXPECT_EQ(BoardAt(99, 10), view.Wire);
  EXPECT_EQ(BoardAt(100, 10), kWhite);
  EXPECT_EQ(BoardAt(50, 11), kWhite);
  EXPECT_EQ(ScreenAt(50, 10), kWhite);

  // Highlight of an unselected wire goes on the visible surface only.
  TWire* wide = list.AddWire({0, 80}, {160, 80}, 2);  // 5 pixels wide at y = 50
  wide->Draw(dmHighlight);
  EXPECT_EQ(ScreenAt(50, 50), view.Focus);
  EXPECT_EQ(ScreenAt(50, 52), view.Focus);
  EXPECT_EQ(ScreenAt(50, 55), kWhite);
  EXPECT_EQ(ScreenAt(101, 50), view.Focus);  // the round end reaches past the end point
  EXPECT_EQ(ScreenAt(104, 50), kWhite);
  EXPECT_EQ(BoardAt(50, 50), kWhite);

  // A selected wire is drawn on the board image in the focus colour, in either mode.
  wide->SetSelected(true);
  wide->Draw(dmNormal);
  EXPECT_EQ(BoardAt(50, 50), view.Focus);
}

TEST_F(DrawTest, PadsRoundSquareAndTheirHoles) {
  // P = 10: r = 5, the hole radius 1 is not shown.
  list.AddSolder({80, 80}, 4, 16, sgCircle)->Draw(dmNormal);
  EXPECT_EQ(BoardAt(50, 50), view.Solder);
  EXPECT_EQ(BoardAt(45, 50), view.Solder);
  EXPECT_EQ(BoardAt(54, 50), view.Solder);
  EXPECT_EQ(BoardAt(55, 50), kWhite);  // the box leaves out its right column
  EXPECT_EQ(BoardAt(45, 45), kWhite);  // the corner lies outside the disc

  list.AddSolder({160, 80}, 4, 16, sgSquare)->Draw(dmNormal);
  EXPECT_EQ(BoardAt(95, 45), view.Solder);
  EXPECT_EQ(BoardAt(104, 54), view.Solder);
  EXPECT_EQ(BoardAt(105, 50), kWhite);
  EXPECT_EQ(BoardAt(100, 55), kWhite);

  // At P = 16 the hole radius reaches 2 and shows the background.
  view.Cell = 16;
  view.Background = 0xE9E9E9;
  list.AddSolder({160, 160}, 4, 16, sgCircle)->Draw(dmNormal);
  EXPECT_EQ(BoardAt(160, 160), 0xE9E9E9u);
  EXPECT_EQ(BoardAt(160, 165), view.Solder);

  TSolder* highlighted = list.AddSolder({16, 160}, 4, 16, sgSquare);
  highlighted->Draw(dmHighlight);
  EXPECT_EQ(ScreenAt(16, 160 - 6), view.Focus);
  EXPECT_EQ(BoardAt(16, 160 - 6), kWhite);
}

TEST_F(DrawTest, PrintIsBlackOnWhiteWithHoles) {
  view.Printing = true;
  view.Dpi = 160;  // one dot per board unit
  view.Offset = {40, 40};
  view.Cell = 37;
  TWire* wire = list.AddWire({10, 20}, {150, 20}, 4);  // 4 units wide
  wire->SetSelected(true);
  wire->Draw(dmPrint);
  TSolder* pad = list.AddSolder({100, 100}, 5, 41, sgCircle);  // rp = 20, hp = 2
  pad->Draw(dmPrint);
  EXPECT_EQ(PageAt(80, 20), kBlack);
  EXPECT_EQ(PageAt(80, 21), kBlack);
  EXPECT_EQ(PageAt(80, 25), kWhite);
  EXPECT_EQ(PageAt(100, 100), kWhite);  // the drill hole
  EXPECT_EQ(PageAt(100, 85), kBlack);
  EXPECT_EQ(PageAt(100, 125), kWhite);
  // Nothing reaches the screen surfaces while printing.
  EXPECT_EQ(BoardAt(80, 20), kWhite);
  EXPECT_EQ(ScreenAt(80, 20), kWhite);
}

TEST_F(DrawTest, NoPrinterMeansNothingIsDrawn) {
  list.AddWire({10, 20}, {150, 20}, 4)->Draw(dmPrint);
  list.AddSolder({100, 100}, 5, 41, sgSquare)->Draw(dmPrint);
  EXPECT_EQ(PageAt(80, 20), kWhite);
  EXPECT_EQ(PageAt(100, 90), kWhite);
}

}  // namespace
