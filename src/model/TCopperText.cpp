#include "TCopperText.h"

#include <algorithm>
#include <cmath>

#include "TBoardMath.h"
#include "TCanvas.h"
#include "TStrokeFont.h"

TCopperText::TCopperText(TLayoutView* layout, TPoint anchor, std::string text, int32_t height,
                         int32_t strokeWidth, int32_t turns, bool copperSide)
    : TPCBElement(layout),
      Anchor_(anchor),
      Text_(std::move(text)),
      Height_(height),
      StrokeWidth_(strokeWidth),
      Turns_(turns),
      CopperSide_(copperSide) {}

void TCopperText::SetAnchor(TPoint p) {
  Anchor_ = p;
  StrokesValid_ = false;
}
void TCopperText::SetText(std::string text) {
  Text_ = std::move(text);
  StrokesValid_ = false;
}
void TCopperText::SetHeight(int32_t h) {
  Height_ = h;
  StrokesValid_ = false;
}
void TCopperText::SetStrokeWidth(int32_t w) {
  StrokeWidth_ = w;
  StrokesValid_ = false;
}
void TCopperText::SetTurns(int32_t turns) {
  Turns_ = turns;
  StrokesValid_ = false;
}
void TCopperText::SetCopperSide(bool copperSide) {
  CopperSide_ = copperSide;
  StrokesValid_ = false;
}

bool TCopperText::Printable(unsigned char c) {
  if (c < 0x20 || c == 0x7F) return false;
  return c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
}

size_t TCopperText::FirstRefused(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c != '\n' && !Printable(c)) return i;
  }
  return std::string_view::npos;
}

bool TCopperText::Valid(std::string_view text, int32_t height, int32_t strokeWidth, int32_t turns) {
  return !text.empty() && text.size() <= MaxLength &&
         FirstRefused(text) == std::string_view::npos && MinHeight <= height &&
         height <= MaxHeight && MinStrokeWidth <= strokeWidth && strokeWidth <= height &&
         0 <= turns && turns <= 3;
}

namespace {

// N / 21 to the nearest whole number, halves away from zero, so that a mirrored point rounds to
// the mirror of the point.
int64_t RoundCap(int64_t n) {
  return n >= 0 ? (2 * n + FontCapHeight) / (2 * FontCapHeight)
                : -((-2 * n + FontCapHeight) / (2 * FontCapHeight));
}

}  // namespace

const std::vector<TCopperShape>& TCopperText::Strokes() const {
  if (StrokesValid_) return Strokes_;
  Strokes_.clear();
  const int64_t scale = 2 * int64_t{Height_};
  const int64_t ax = 2 * int64_t{Anchor_.X}, ay = 2 * int64_t{Anchor_.Y};
  const int turns = ((Turns_ % 4) + 4) % 4;
  // A font point, as the text reads, to half units on the board: mirrored on the copper side,
  // turned clockwise, moved to the anchor.
  auto place = [&](int64_t fx, int64_t fy, int64_t& x, int64_t& y) {
    int64_t sx = RoundCap(scale * fx), sy = RoundCap(scale * fy);
    if (CopperSide_) sx = -sx;
    for (int k = 0; k < turns; ++k) {
      const int64_t t = sx;
      sx = -sy;
      sy = t;
    }
    x = ax + sx;
    y = ay + sy;
  };
  TCopperShape track;
  track.Kind = ckTrack;
  track.Radius = StrokeWidth_;
  int64_t penX = 0, lineY = 0;
  int64_t lastX = 0, lastY = 0;
  bool drawn = false;  // whether the stroke under way has made copper yet
  auto endStroke = [&] {
    // A stroke that rounds to one point is still a dot of copper.
    if (drawn) return;
    track.AX = track.BX = lastX;
    track.AY = track.BY = lastY;
    Strokes_.push_back(track);
  };
  bool open = false;
  for (const char ch : Text_) {
    const auto code = static_cast<unsigned char>(ch);
    if (code == '\n') {
      penX = 0;
      lineY += FontLineSpacing;
      continue;
    }
    penX += ForEachGlyphPoint(code, [&](int32_t gx, int32_t gy, bool down) {
      int64_t x, y;
      place(penX + gx, lineY + gy, x, y);
      if (!down) {
        if (open) endStroke();
        open = true;
        drawn = false;
      } else if (x != lastX || y != lastY) {
        track.AX = lastX, track.AY = lastY, track.BX = x, track.BY = y;
        Strokes_.push_back(track);
        drawn = true;
      }
      lastX = x, lastY = y;
    });
  }
  if (open) endStroke();
  StrokesValid_ = true;
  return Strokes_;
}

std::string TCopperText::ToText() const {
  char buf[96];
  std::snprintf(buf, sizeof buf, "@TEXT %d, %d, %d, %d, %d, %d, ", Anchor_.X, Anchor_.Y, Height_,
                StrokeWidth_, Turns_, CopperSide_ ? 1 : 0);
  std::string line = buf;
  line.reserve(line.size() + Text_.size());
  for (const char ch : Text_) {
    switch (ch) {
      case '%':
        line += "%25";
        break;
      case ',':
        line += "%2C";
        break;
      case '*':
        line += "%2A";
        break;
      case '\n':
        line += "%0A";
        break;
      default:
        line += ch;
    }
  }
  return line;
}

namespace {

// A half-unit coordinate on the screen, truncated toward zero as whole board units are.
int32_t ShownAtHalf(int64_t v2, int32_t stepPixels, int32_t offset) {
  return WAdd(Wrap32(v2 * stepPixels / (2 * UnitsPerStep)), offset);
}

}  // namespace

bool TCopperText::HitTest(TPoint q) const {
  const TLayoutView& view = *Layout();
  const int32_t p = StepPixels(view);
  const TPoint offset = view.ViewOffset();
  // About half the drawn width, but never less than three pixels: letters are thin and close
  // together, and a text should take a click or a double click aimed at a letter, not only one
  // that lands on a stroke's own pixels.
  const double t = std::max<int64_t>(3, int64_t{p} * StrokeWidth_ / (2 * UnitsPerStep));
  const double qx = q.X, qy = q.Y;
  for (const TCopperShape& s : Strokes()) {
    const double x0 = ShownAtHalf(s.AX, p, offset.X), y0 = ShownAtHalf(s.AY, p, offset.Y);
    const double x1 = ShownAtHalf(s.BX, p, offset.X), y1 = ShownAtHalf(s.BY, p, offset.Y);
    if (qx < std::min(x0, x1) - t || qx > std::max(x0, x1) + t || qy < std::min(y0, y1) - t ||
        qy > std::max(y0, y1) + t)
      continue;
    const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    double u = len2 == 0 ? 0 : ((qx - x0) * dx + (qy - y0) * dy) / len2;
    u = std::clamp(u, 0.0, 1.0);
    const double ex = x0 + u * dx - qx, ey = y0 + u * dy - qy;
    if (ex * ex + ey * ey < t * t) return true;
  }
  return false;
}

bool TCopperText::InRect(const TRect& rect) const {
  const int64_t l = 2 * int64_t{rect.Left}, t = 2 * int64_t{rect.Top};
  const int64_t r = 2 * int64_t{rect.Right}, b = 2 * int64_t{rect.Bottom};
  const std::vector<TCopperShape>& strokes = Strokes();
  if (strokes.empty())
    return rect.Left <= Anchor_.X && Anchor_.X <= rect.Right && rect.Top <= Anchor_.Y &&
           Anchor_.Y <= rect.Bottom;
  auto in = [&](int64_t x, int64_t y) { return l <= x && x <= r && t <= y && y <= b; };
  return std::all_of(strokes.begin(), strokes.end(),
                     [&](const TCopperShape& s) { return in(s.AX, s.AY) && in(s.BX, s.BY); });
}

void TCopperText::Draw(TDrawMode mode) const {
  TLayoutView& view = *Layout();
  const std::vector<TCopperShape>& strokes = Strokes();
  if (mode == dmPrint) {
    TCanvas* canvas = BlackPrinterCanvas(view);
    if (!canvas) return;
    // True size, in printer dots, as wires print.
    const int64_t dpi = view.PrinterResolution();
    auto dots = [dpi](int64_t v2) { return Wrap32(v2 * dpi / (2 * UnitsPerInch)); };
    canvas->SetPenWidth(BoardToPrinter(view, StrokeWidth_));
    for (const TCopperShape& s : strokes) {
      canvas->MoveTo(dots(s.AX), dots(s.AY));
      canvas->LineTo(dots(s.BX), dots(s.BY));
    }
    return;
  }
  const int32_t p = StepPixels(view);
  const TPoint offset = view.ViewOffset();
  TCanvas& canvas = (Selected() || mode == dmNormal) ? view.BoardCanvas() : view.Canvas();
  canvas.SetPenColor(Selected() || mode == dmHighlight ? view.FocusColor() : view.WireColor());
  canvas.SetPenWidth(Wrap32(int64_t{p} * StrokeWidth_ / UnitsPerStep));
  for (const TCopperShape& s : strokes) {
    canvas.MoveTo(ShownAtHalf(s.AX, p, offset.X), ShownAtHalf(s.AY, p, offset.Y));
    canvas.LineTo(ShownAtHalf(s.BX, p, offset.X), ShownAtHalf(s.BY, p, offset.Y));
  }
}

void TCopperText::Move(int32_t dx, int32_t dy) {
  const int64_t x = int64_t{Anchor_.X} + dx, y = int64_t{Anchor_.Y} + dy;
  Anchor_ = {WAdd(Anchor_.X, dx), WAdd(Anchor_.Y, dy)};
  // The strokes follow in step unless the anchor wrapped round the board's 32 bits.
  if (!StrokesValid_ || x != Anchor_.X || y != Anchor_.Y) {
    StrokesValid_ = false;
    return;
  }
  for (TCopperShape& s : Strokes_) {
    s.AX += 2 * int64_t{dx}, s.BX += 2 * int64_t{dx};
    s.AY += 2 * int64_t{dy}, s.BY += 2 * int64_t{dy};
  }
}

std::unique_ptr<TPCBElement> TCopperText::Clone(TLayoutView* layout) const {
  auto copy = std::make_unique<TCopperText>(layout, Anchor_, Text_, Height_, StrokeWidth_, Turns_,
                                            CopperSide_);
  copy->SetSelected(Selected());
  return copy;
}
