#include <gtest/gtest.h>

#include <QImage>
#include <climits>

#include "TCanvas.h"

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

}  // namespace
