#pragma once

#include <cstdint>

// The stroke font copper text is drawn in: lines of one width, as a plotter or an engraver draws
// letters (the Hershey Roman Simplex font, with the rest of Windows-1252 composed from its
// strokes). Its units: capitals are 21 high, lines 32 apart, and each glyph is as wide as its
// own bounds say.
constexpr int32_t FontCapHeight = 21;
constexpr int32_t FontLineSpacing = 32;
// Where the baseline lies in a glyph's own coordinates (y grows downwards there).
constexpr int32_t FontBaseline = 9;

// The glyph of a Windows-1252 code in the font's own encoding, or null when the code is not a
// character copper text holds. Every character stands for a number, its code less 'R': the first
// two are the glyph's left and right bounds (its advance is right less left), then two a point,
// x to the right and y downwards, and " R" lifts the pen between two strokes.
const char* StrokeGlyph(unsigned char code);

// Walks the strokes of one glyph: POINT(x, y, penDown) for every point, penDown false at the
// first point of each stroke; x counted from the glyph's left bound, y from the baseline, both as
// the font has them (y downwards). Returns the glyph's advance, 0 for a code without one.
template <class PointFn>
int32_t ForEachGlyphPoint(unsigned char code, PointFn point) {
  const char* g = StrokeGlyph(code);
  if (!g) return 0;
  const int32_t left = g[0] - 'R', right = g[1] - 'R';
  bool down = false;
  for (const char* p = g + 2; p[0] && p[1]; p += 2) {
    if (p[0] == ' ' && p[1] == 'R') {
      down = false;
      continue;
    }
    point(int32_t{p[0] - 'R'} - left, int32_t{p[1] - 'R'} - FontBaseline, down);
    down = true;
  }
  return right - left;
}
