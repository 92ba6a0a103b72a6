#include "TCanvas.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "TBoardMath.h"

namespace {

QColor ToQColor(TColor c) { return QColor::fromRgb(ColorToArgb(c)); }

}  // namespace

TCanvas::TCanvas(QImage* image) : Image_(image) {}
TCanvas::TCanvas(QPainter* painter) : External_(painter) {
  // Shapes meet edge to edge on the artwork (a pad over a wire's end, a hole in a pad): smoothed
  // edges would leave grey seams between them on a device that rasterises.
  External_->setRenderHint(QPainter::Antialiasing, false);
}
TCanvas::~TCanvas() { Flush(); }

QPainter* TCanvas::Painter() {
  if (External_) return External_;
  if (!Own_) {
    Own_ = std::make_unique<QPainter>(Image_);
    Own_->setRenderHint(QPainter::Antialiasing, false);
    if (!Clip_.isEmpty()) Own_->setClipRect(Clip_);
  }
  return Own_.get();
}

void TCanvas::SetClip(const QRect& clip) {
  Clip_ = Image_ ? clip.intersected(Image_->rect()) : QRect();
  if (!Own_) return;
  if (Clip_.isEmpty())
    Own_->setClipping(false);
  else
    Own_->setClipRect(Clip_);
}

void TCanvas::Flush() { Own_.reset(); }

void TCanvas::Span(int64_t y, int64_t x0, int64_t x1, uint32_t argb) {
  // Fills pixels x0..x1 inclusive of row y, clipped to the image.
  if (y < Top() || y >= Bottom()) return;
  x0 = std::max<int64_t>(x0, Left());
  x1 = std::min<int64_t>(x1, Right() - 1);
  if (x0 > x1) return;
  auto* row = reinterpret_cast<uint32_t*>(Image_->scanLine(static_cast<int>(y)));
  std::fill(row + x0, row + x1 + 1, argb);
}

void TCanvas::FillPolygons(const std::vector<std::vector<QPointF>>& paths) {
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  for (const std::vector<QPointF>& p : paths) {
    if (p.size() < 3) continue;
    path.addPolygon(QPolygonF(QVector<QPointF>(p.begin(), p.end())));
    path.closeSubpath();
  }
  if (path.isEmpty()) return;
  QPainter* painter = Painter();
  painter->fillPath(path, ToQColor(BrushColor_));
  if (const double g = Image_ ? 0 : GrowthOf(BrushColor_); g > 0)
    // Grown by a round pen along every edge: each side moves out by g, corners come round.
    painter->strokePath(
        path, QPen(ToQColor(BrushColor_), 2 * g, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor c) {
  if (Image_) {
    if (x >= Left() && y >= Top() && x < Right() && y < Bottom())
      reinterpret_cast<uint32_t*>(Image_->scanLine(y))[x] = ColorToArgb(c ^ Inverted_);
    return;
  }
  QPainter* p = Painter();
  p->setPen(QPen(ToQColor(c ^ Inverted_), 1));
  p->drawPoint(x, y);
}

void TCanvas::MoveTo(int32_t x, int32_t y) { Pos_ = {x, y}; }

void TCanvas::LineTo(int32_t x, int32_t y) {
  if (PenWidth_ <= 1 && Image_) {
    ThinLine(Pos_.X, Pos_.Y, x, y);
  } else {
    WideLine(Pos_.X, Pos_.Y, x, y);
  }
  Pos_ = {x, y};
}

void TCanvas::Polyline(const TPoint* points, int count) {
  if (count <= 0) return;
  MoveTo(points[0].X, points[0].Y);
  for (int i = 1; i < count; ++i) LineTo(points[i].X, points[i].Y);
}

void TCanvas::ThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  // The pixels of a one-pixel line from (x0, y0) up to but not including (x1, y1). Along the
  // major axis each step gets the minor coordinate nearest the ideal line, halves rounding up.
  // Each pixel is computed from its own major coordinate, so only the visible stretch is walked
  // however far outside the image the ends lie.
  const uint32_t argb = ColorToArgb(PenColor_);
  const int64_t dx = x1 - x0, dy = y1 - y0;
  if (dx == 0 && dy == 0) return;
  const int64_t left = Left(), top = Top(), right = Right(), bottom = Bottom();
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t major0 = xMajor ? x0 : y0, majorD = xMajor ? dx : dy;
  const int64_t minor0 = xMajor ? y0 : x0, minorD = xMajor ? dy : dx;
  const int64_t lo = xMajor ? left : top, limit = xMajor ? right : bottom;
  const int64_t step = majorD > 0 ? 1 : -1;
  // Steps k = 0 .. |majorD| - 1 lie on the line; keep those whose major coordinate is visible.
  int64_t kFrom, kTo;
  if (step > 0) {
    kFrom = std::max<int64_t>(0, lo - major0);
    kTo = std::min<int64_t>(std::llabs(majorD) - 1, limit - 1 - major0);
  } else {
    kFrom = std::max<int64_t>(0, major0 - (limit - 1));
    kTo = std::min<int64_t>(std::llabs(majorD) - 1, major0 - lo);
  }
  const __int128 den = 2 * static_cast<__int128>(std::llabs(majorD));
  for (int64_t k = kFrom; k <= kTo; ++k) {
    const int64_t major = major0 + step * k;
    const __int128 num = 2 * static_cast<__int128>(k) * minorD + std::llabs(majorD);
    const int64_t minor = minor0 + static_cast<int64_t>(FloorDiv<__int128>(num, den));
    const int64_t px = xMajor ? major : minor, py = xMajor ? minor : major;
    if (px >= left && py >= top && px < right && py < bottom)
      reinterpret_cast<uint32_t*>(Image_->scanLine(static_cast<int>(py)))[px] = argb;
  }
}

void TCanvas::WideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  // Wide lines go through QPainter with round caps. The segment is first clipped to a square
  // far larger than any control or sheet (grown by the pen), so a wire whose ends lie far outside
  // never reaches the stroker with coordinates it cannot handle. The square stays put whatever
  // the image is, so a line within it is drawn from its own end points and comes out the same
  // when the view has moved by whole pixels, as a panned image must.
  QPainter* p = Painter();
  const double grow = Image_ ? 0 : GrowthOf(PenColor_);
  const bool thin = PenWidth_ <= 1 && grow == 0;
  const double pw = std::max(1, PenWidth_) + 2 * grow;
  constexpr int far = WideLineReach;
  QRect dev(-far, -far, 2 * far, 2 * far);
  if (Image_) dev = dev.united(Image_->rect());
  const double minX = dev.left() - pw - 2, minY = dev.top() - pw - 2;
  const double maxX = dev.right() + pw + 2, maxY = dev.bottom() + pw + 2;
  double ax = x0, ay = y0, bx = x1, by = y1;
  // Liang-Barsky clipping in doubles.
  double t0 = 0, t1 = 1;
  const double ddx = bx - ax, ddy = by - ay;
  const double p4[4] = {-ddx, ddx, -ddy, ddy};
  const double q4[4] = {ax - minX, maxX - ax, ay - minY, maxY - ay};
  for (int i = 0; i < 4; ++i) {
    if (p4[i] == 0) {
      if (q4[i] < 0) return;
    } else {
      const double r = q4[i] / p4[i];
      if (p4[i] < 0) {
        if (r > t1) return;
        t0 = std::max(t0, r);
      } else {
        if (r < t0) return;
        t1 = std::min(t1, r);
      }
    }
  }
  const QPointF a(ax + t0 * ddx, ay + t0 * ddy), b(ax + t1 * ddx, ay + t1 * ddy);
  QPen pen(ToQColor(PenColor_), pw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  if (thin) pen.setCapStyle(Qt::FlatCap);
  p->setPen(pen);
  if (a == b) {
    // A wide pen on a zero-length line still leaves its round dot; a thin one draws nothing.
    if (thin) return;
    p->setPen(Qt::NoPen);
    p->setBrush(ToQColor(PenColor_));
    p->drawEllipse(a, pw / 2, pw / 2);
    p->setBrush(Qt::NoBrush);
  } else {
    p->drawLine(a, b);
  }
}

void TCanvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int64_t l = std::min(left, right), r = std::max(left, right);
  const int64_t t = std::min(top, bottom), b = std::max(top, bottom);
  if (r == l || b == t) return;
  if (!Image_) {
    // The exact shape, filled with no stroke around it so it keeps the size of its box; an
    // outline of another colour goes inside the box, as on the screen.
    QPainter* p = Painter();
    const double g = GrowthOf(BrushColor_);
    const QRectF box =
        QRectF(double(l), double(t), double(r - l), double(b - t)).adjusted(-g, -g, g, g);
    p->setPen(Qt::NoPen);
    p->setBrush(ToQColor(BrushColor_));
    p->drawEllipse(box);
    p->setBrush(Qt::NoBrush);
    if (PenColor_ != BrushColor_) {
      p->setPen(QPen(ToQColor(PenColor_), 1));
      p->drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    return;
  }
  // A pixel belongs to the ellipse when its centre lies inside the ellipse inscribed in the box.
  const double cx = (double(l) + double(r)) / 2, cy = (double(t) + double(b)) / 2;
  const double rx = (double(r) - double(l)) / 2, ry = (double(b) - double(t)) / 2;
  const uint32_t fill = ColorToArgb(BrushColor_), pen = ColorToArgb(PenColor_);
  const int64_t yFrom = std::max<int64_t>(t, Top()), yTo = std::min<int64_t>(b - 1, Bottom() - 1);
  auto spanOf = [&](int64_t y, int64_t& x0, int64_t& x1) {
    const double v = (double(y) + 0.5 - cy) / ry;
    const double q = 1.0 - v * v;
    if (q < 0) return false;
    const double half = rx * std::sqrt(q);
    x0 = static_cast<int64_t>(std::ceil(cx - half - 0.5));
    x1 = static_cast<int64_t>(std::floor(cx + half - 0.5));
    x0 = std::max(x0, l);
    x1 = std::min(x1, r - 1);
    return x0 <= x1;
  };
  for (int64_t y = yFrom; y <= yTo; ++y) {
    int64_t x0, x1;
    if (!spanOf(y, x0, x1)) continue;
    Span(y, x0, x1, fill);
    if (pen != fill) {
      // The outline: the span's ends, and whole stretches not covered by the rows around it.
      int64_t ux0, ux1, dx0, dx1;
      const bool up = y > t && spanOf(y - 1, ux0, ux1);
      const bool down = y < b - 1 && spanOf(y + 1, dx0, dx1);
      const int64_t in0 = std::max(up ? ux0 : x1 + 1, down ? dx0 : x1 + 1);
      const int64_t in1 = std::min(up ? ux1 : x0 - 1, down ? dx1 : x0 - 1);
      if (in0 > in1) {
        Span(y, x0, x1, pen);
      } else {
        Span(y, x0, std::max(x0, in0 - 1), pen);
        Span(y, std::min(x1, in1 + 1), x1, pen);
      }
    }
  }
}

void TCanvas::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!Image_) {
    // A box given right to left or bottom to top covers nothing, as on the screen.
    if (right > left && bottom > top && GrowthOf(BrushColor_) > 0) {
      RoundRect(left, top, right, bottom, 0);
    } else if (right > left && bottom > top)
      Painter()->fillRect(QRectF(left, top, double(right) - left, double(bottom) - top),
                          ToQColor(BrushColor_));
    return;
  }
  const uint32_t fill = ColorToArgb(BrushColor_);
  const int64_t yTo = std::min<int64_t>(int64_t(bottom) - 1, Bottom() - 1);
  for (int64_t y = std::max<int64_t>(top, Top()); y <= yTo; ++y)
    Span(y, left, int64_t(right) - 1, fill);
}

bool TCanvas::RoundRectRow(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t radius,
                           int64_t y, int64_t& x0, int64_t& x1) {
  if (right <= left || bottom <= top || y < top || y >= bottom) return false;
  radius = std::clamp<int64_t>(radius, 0, std::min(right - left, bottom - top) / 2);
  x0 = left;
  x1 = right - 1;
  // In doubled coordinates, so that pixel centres are whole: the row's centre lies at 2y + 1, the
  // corner discs' centres on rows top + radius and bottom - radius. Between them the row is
  // whole; within a corner's height it reaches E (doubled) beyond the discs' centres.
  const int64_t y2 = 2 * y + 1, upper = 2 * (top + radius), lower = 2 * (bottom - radius);
  const int64_t dy = y2 < upper ? upper - y2 : y2 > lower ? y2 - lower : 0;
  if (dy == 0) return true;
  using i128 = __int128;
  const i128 rest = i128(2 * radius) * (2 * radius) - i128(dy) * dy;
  if (rest < 0) return false;
  auto e = static_cast<int64_t>(std::sqrt(static_cast<long double>(rest)));
  while (i128(e) * e > rest) --e;
  while (i128(e + 1) * (e + 1) <= rest) ++e;
  // Centres 2x + 1 from 2(left + radius) - E to 2(right - radius) + E.
  x0 = std::max(x0, -FloorDiv<int64_t>(-(2 * (left + radius) - e - 1), 2));
  x1 = std::min(x1, FloorDiv<int64_t>(2 * (right - radius) + e - 1, 2));
  return x0 <= x1;
}

void TCanvas::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t radius) {
  if (!Image_) {
    if (right <= left || bottom <= top) return;
    const double r =
        std::clamp<double>(radius, 0, std::min(double(right) - left, double(bottom) - top) / 2);
    const double g = GrowthOf(BrushColor_);
    QPainterPath path;
    path.addRoundedRect(
        QRectF(left, top, double(right) - left, double(bottom) - top).adjusted(-g, -g, g, g), r + g,
        r + g);
    Painter()->fillPath(path, ToQColor(BrushColor_));
    return;
  }
  const uint32_t fill = ColorToArgb(BrushColor_);
  const int64_t yTo = std::min<int64_t>(int64_t(bottom) - 1, Bottom() - 1);
  for (int64_t y = std::max<int64_t>(top, Top()); y <= yTo; ++y) {
    int64_t x0, x1;
    if (RoundRectRow(left, top, right, bottom, radius, y, x0, x1)) Span(y, x0, x1, fill);
  }
}

void TCanvas::CopyImage(const QImage& source) {
  if (Image_ && Image_->size() == source.size() && Image_->format() == source.format()) {
    Flush();
    std::copy(source.constBits(), source.constBits() + source.sizeInBytes(), Image_->bits());
    return;
  }
  Painter()->drawImage(0, 0, source);
}
