#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <climits>
#include <sstream>

#include "FakeLayout.h"
#include "TElementList.h"
#include "TSmdPad.h"

namespace {

// The black pixels of an image as "x,y x,y ...", row by row; the image is made white again.
std::string BlackPixels(QImage& image) {
  std::string out;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == 0)
        out += (out.empty() ? "" : " ") + std::to_string(x) + "," + std::to_string(y);
  image.fill(Qt::white);
  return out;
}

// Thin lines leave out their end pixel and boxes their right and bottom edges; what lies far
// outside the image is drawn only where it shows, without walking the rest.
TEST(Canvas, LinesAndBoxesLeaveOutTheirLastPixels) {
  QImage image(9, 9, QImage::Format_RGB32);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  canvas.SetPenColor(0);
  canvas.SetBrushColor(0);
  canvas.SetPenWidth(0);
  const std::tuple<int, int, int, int, const char*> lines[] = {
      {0, 0, 3, 0, "0,0 1,0 2,0"},
      {3, 0, 0, 0, "1,0 2,0 3,0"},
      {0, 0, 0, 2, "0,0 0,1"},
      {0, 0, 2, 2, "0,0 1,1"},
      {1, 1, 1, 1, ""},
      {0, 0, 4, 1, "0,0 1,0 2,1 3,1"},
      {INT32_MIN, 2, INT32_MAX, 2, "0,2 1,2 2,2 3,2 4,2 5,2 6,2 7,2 8,2"}};
  for (const auto& [x0, y0, x1, y1, pixels] : lines) {
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
    canvas.Flush();
    EXPECT_EQ(BlackPixels(image), pixels) << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
  canvas.FillRect(1, 1, 3, 4);
  EXPECT_EQ(BlackPixels(image), "1,1 2,1 1,2 2,2 1,3 2,3");
  canvas.Ellipse(0, 0, 2, 2);
  EXPECT_EQ(BlackPixels(image), "0,0 1,0 0,1 1,1");
  canvas.Ellipse(3, 3, 3, 9);  // an empty box
  canvas.Ellipse(INT32_MIN, INT32_MIN, INT32_MIN + 4, INT32_MIN + 4);
  EXPECT_EQ(BlackPixels(image), "");
  canvas.Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  const std::string all = BlackPixels(image);
  EXPECT_EQ(std::count(all.begin(), all.end(), ' '), 80);
  // A disc is outlined in the pen colour and filled with the brush colour.
  canvas.SetBrushColor(0x0000FF);
  canvas.Ellipse(0, 0, 9, 9);
  for (auto [x, y, rgb] :
       {std::tuple{4, 4, 0xFF0000u}, {4, 0, 0u}, {0, 4, 0u}, {8, 4, 0u}, {0, 0, 0xFFFFFFu}})
    EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, rgb) << x << ", " << y;
}

// Pixels "x,y" each followed by its colour: w wire, p pad, f focus, b background, . white.
void Expect(FakeLayout& view, const QImage& image, const std::string& pixels) {
  view.Flush();
  std::istringstream in(pixels);
  int x, y;
  char comma, c;
  while (in >> x >> comma >> y >> c) {
    const TColor color = c == 'w'   ? view.Wire
                         : c == 'p' ? view.Solder
                         : c == 'f' ? view.Focus
                         : c == 'b' ? view.Background
                                    : 0xFFFFFF;
    EXPECT_EQ(FakeLayout::At(image, x, y), color) << x << ", " << y << c;
  }
  EXPECT_TRUE(in.eof()) << pixels;
}

// At P = 10, normal drawing goes on the board image, highlight on the visible surface only.
TEST(Draw, EachModeOnItsOwnSurface) {
  FakeLayout view;
  TElementList list{&view};
  // Divisor 16 is one pixel wide, without the end pixel, and so is 10 div INT32_MIN; 0 is nothing.
  list.AddWire({0, 16}, {160, 16}, 16)->Draw(dmNormal);
  list.AddWire({0, 32}, {160, 32}, 0)->Draw(dmNormal);
  list.AddWire({0, 48}, {160, 48}, INT32_MIN)->Draw(dmNormal);
  TWire* selected = list.AddWire({0, 160}, {160, 160}, 2);
  selected->SetSelected(true);
  selected->Draw(dmNormal);
  list.AddSolder({80, 80}, 4, 16, sgCircle)->Draw(dmNormal);  // r = 5, the hole of 1 not shown
  list.AddSolder({160, 80}, 4, 16, sgSquare)->Draw(dmNormal);
  // The highlighted wire 5 pixels wide at y = 150, its round end past its end point.
  list.AddWire({0, 240}, {160, 240}, 2)->Draw(dmHighlight);
  list.AddSolder({16, 272}, 4, 16, sgSquare)->Draw(dmHighlight);
  Expect(view, view.Board,
         "0,10w 99,10w 100,10. 50,11. 50,20. 50,30w 50,100f 50,50p 45,50p 54,50p 55,50. 45,45. "
         "95,45p 104,54p 105,50. 100,55. 50,150. 10,166.");
  Expect(view, view.Screen, "50,10. 50,50. 50,150f 50,152f 50,155. 101,150f 104,150. 10,166f");
  // At P = 16 the hole's radius reaches 2 and shows the background.
  view.Cell = 16;
  view.Background = 0xE9E9E9;
  list.AddSolder({160, 160}, 4, 16, sgCircle)->Draw(dmNormal);
  Expect(view, view.Board, "160,160b 160,165p");
}

// SMD pads at (80, 80), shown at (50, 50) at P = 10: what is drawn is exactly what is hit, the
// centre pixel always. 20 by 10 pixels at 50 % is an oblong of radius 5 whose corners stay white;
// at P = 16, 13 units are 13 pixels, 6 each side of the centre, and 20 % of 13 gives corners of 2.
TEST(Draw, SmdPadsDrawRoundedCornersAndHitWhatTheyDraw) {
  FakeLayout view;
  const std::tuple<int32_t, int32_t, int32_t, int32_t, bool, const char*> cases[] = {
      {10, 32, 16, 50, false,
       "40,45. 42,45. 43,45p 56,45p 57,45. 40,50p 39,50. 59,50p 60,50. 59,54. 50,54p 50,55."},
      {10, 32, 16, 0, true, "40,45f 59,54f 60,54. 59,55."},
      {16, 13, 21, 20, false, "74,80p 73,80. 86,80p 87,80. 74,70. 75,70p"},
      {16, 13, 1, 0, false, "74,80p 86,80p 80,79. 80,81."},
      {7, 40, 90, 35, false, ""},
      {10, 0, 16, 0, false, ""}};
  for (const auto& [cell, width, height, roundness, selected, pixels] : cases) {
    view.Board.fill(Qt::white);
    view.Cell = cell;
    TSmdPad pad(&view, {80, 80}, width, height, roundness);
    pad.SetSelected(selected);
    pad.Draw(dmNormal);
    Expect(view, view.Board, pixels);
    const TPoint centre = pad.Pixels(cell, {}).Center;
    for (TPoint q{0, 0}; q.Y < 200; q.X = (q.X + 1) % 200, q.Y += q.X == 0)
      ASSERT_EQ(pad.HitTest(q), FakeLayout::At(view.Board, q.X, q.Y) != 0xFFFFFF || q == centre)
          << pad.ToText() << " P=" << cell << " at " << q.X << ", " << q.Y;
  }
}

}  // namespace
