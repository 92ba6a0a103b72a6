#pragma once

#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "TTypes.h"

// The drawing surface elements paint on, with the board's pixel rules:
//  - pen widths 0 and 1 both draw one pixel wide lines, which leave out their end pixel;
//  - wider lines have round ends, a half disc around each end point;
//  - an ellipse is filled with the brush and outlined with the pen inside its box, and a filled
//    rectangle covers its box; both leave out the box's right column and bottom row, and so
//    does a rounded rectangle, filled with the brush alone.
// On a QImage it writes pixels itself (exact, and much faster than QPainter for the thin lines,
// dots and small discs that make up a board); on any other paint device, such as a printer page
// or a PDF, it goes through a QPainter.
class TCanvas {
 public:
  // A wide line is drawn from its own end points wherever they lie within this many pixels of
  // the origin; further out it is cut where it leaves that square.
  static constexpr int WideLineReach = 1 << 22;

  explicit TCanvas(QImage* image);
  explicit TCanvas(QPainter* painter);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  void SetPenColor(TColor c) { PenColor_ = c ^ Inverted_; }
  void SetPenWidth(int32_t w) { PenWidth_ = w; }
  void SetBrushColor(TColor c) { BrushColor_ = c ^ Inverted_; }
  TColor PenColor() const { return PenColor_; }
  int32_t PenWidth() const { return PenWidth_; }
  TColor BrushColor() const { return BrushColor_; }

  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  void Polyline(const TPoint* points, int count);
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // A filled rectangle whose corners are quarter discs of the radius (at most half the smaller
  // side): a pixel belongs to it when its centre lies inside. With radius 0 it is FillRect.
  void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t radius);
  // The pixels of row Y that RoundRect covers, X0 to X1 inclusive; false for none. Hit tests ask
  // it too, so that what is hit is exactly what is drawn.
  static bool RoundRectRow(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t radius,
                           int64_t y, int64_t& x0, int64_t& x1);
  // Paths filled with the brush alone, even-odd: a path inside another is a hole in it. Corners
  // in pixels, fractions kept; a pixel belongs to the fill when its centre lies inside.
  void FillPolygons(const std::vector<std::vector<QPointF>>& paths);
  void SetPixel(int32_t x, int32_t y, TColor c);
  // Copies a whole image to (0, 0), as a repaint copies the rendered board to the screen.
  void CopyImage(const QImage& source);

  // A negative page: every colour set from now on is drawn as its opposite (black copper on white
  // paper becomes white on black).
  void SetInverted(bool inverted) { Inverted_ = inverted ? 0xFFFFFF : 0; }
  // On a printed page with drill marks, the largest radius a pad's hole is drawn at, so the
  // drill finds the centre of a wide hole; 0 for holes at their own size.
  void SetHoleRadiusLimit(int32_t radius) { HoleRadiusLimit_ = radius; }
  int32_t HoleRadius(int32_t radius) const {
    return HoleRadiusLimit_ > 0 && radius > HoleRadiusLimit_ ? HoleRadiusLimit_ : radius;
  }
  // On a printed page, how many dots the copper grows by on every side to make up for the
  // etchant eating under the toner: what is drawn in black (white on a negative) comes out that
  // much larger, lines that much wider on each side; holes and paper stay as they are. Only
  // drawing through a painter grows; the screen's image never does.
  void SetGrowth(double dots) { Growth_ = dots > 0 ? dots : 0; }

  // Limits every pixel written on the image to a rectangle, the rest of the image kept as it is;
  // the pixels inside are exactly those of drawing without the limit, so a strip of the board
  // can be drawn again on its own. An empty rectangle (or one wholly outside) lifts the limit.
  void SetClip(const QRect& clip);

  // Ends any QPainter this surface opened on its image (before the image is resized or shown).
  void Flush();
  QImage* Image() const { return Image_; }

 private:
  void ThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
  void WideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  void Span(int64_t y, int64_t x0, int64_t x1, uint32_t argb);
  QPainter* Painter();
  // The writable pixels: the image, or its part inside the clip (right and bottom exclusive).
  int64_t Left() const { return Clip_.isEmpty() ? 0 : Clip_.left(); }
  int64_t Top() const { return Clip_.isEmpty() ? 0 : Clip_.top(); }
  int64_t Right() const { return Clip_.isEmpty() ? Image_->width() : int64_t(Clip_.right()) + 1; }
  int64_t Bottom() const {
    return Clip_.isEmpty() ? Image_->height() : int64_t(Clip_.bottom()) + 1;
  }

  QImage* Image_ = nullptr;
  QPainter* External_ = nullptr;
  std::unique_ptr<QPainter> Own_;
  TColor PenColor_ = 0;
  TColor BrushColor_ = 0xFFFFFF;
  int32_t PenWidth_ = 1;
  TColor Inverted_ = 0;
  int32_t HoleRadiusLimit_ = 0;
  double Growth_ = 0;
  // How much a shape of the colour C grows: the growth for copper, nothing for paper.
  double GrowthOf(TColor c) const { return (c ^ Inverted_) == 0 ? Growth_ : 0; }
  TPoint Pos_;
  QRect Clip_;
};
