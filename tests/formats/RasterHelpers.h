#pragma once

#include <QImage>
#include <QPointF>
#include <utility>

// Pixels of an artwork read back: black is anything darker than mid grey.
inline bool Black(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// The run of pixels of the same shade as (x, y) along a row (dx = 1) or a column (dy = 1), as
// the pixel edges where it starts and ends.
inline std::pair<int, int> RunAt(const QImage& image, int x, int y, int dx, int dy) {
  const bool shade = Black(image, x, y);
  auto same = [&](int k) {
    const int px = x + k * dx, py = y + k * dy;
    return px >= 0 && py >= 0 && px < image.width() && py < image.height() &&
           Black(image, px, py) == shade;
  };
  int a = 0, b = 0;
  while (same(a - 1)) --a;
  while (same(b + 1)) ++b;
  return {(dx ? x : y) + a, (dx ? x : y) + b + 1};
}

// The centre, in pixels, of the blob of (x, y)'s shade that (x, y) lies in (a hole, a pad).
inline QPointF CentreAt(const QImage& image, int x, int y) {
  const auto row = RunAt(image, x, y, 1, 0);
  const int cx = (row.first + row.second) / 2;
  const auto column = RunAt(image, cx, y, 0, 1);
  const auto across = RunAt(image, cx, (column.first + column.second) / 2, 1, 0);
  return QPointF(across.first + across.second, column.first + column.second) / 2;
}
