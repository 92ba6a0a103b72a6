#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TCopper.h"
#include "TPCBElement.h"

// Text in copper: a board's name, its version, "+9V", "GND", a part's value. A home-made board
// has no silkscreen, so its words are etched with the tracks, in strokes of one width drawn from
// a stroke font made for plotting and engraving.
//
// The string is held as the board file holds text, one byte a character in Windows-1252, its
// lines separated by '\n'. Only printable characters are taken: 0x20 to 0x7E and 0x80 to 0xFF
// but for the five codes Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D); every
// one of them has strokes.
//
// The anchor is a grid point: the left end of the first line's baseline as the text reads on its
// face. Height is the capitals' height and StrokeWidth the strokes' width, both in board units.
// Turns counts quarter turns clockwise on the screen, 0 to 3. The editor shows the board from the
// component side, through the board, so text that reads right on the finished board's copper
// face (CopperSide, the default for new text) is shown mirrored: its first letter still sits at
// the anchor, and the line runs to the anchor's left on the screen.
//
// Placing a glyph point (x right, y up, as the text reads) on the screen: mirror x when on the
// copper side, turn clockwise by Turns quarter turns, add to the anchor. So a quarter turn of the
// whole text about any pivot turns the anchor and adds one to Turns, and a mirror of the screen
// mirrors the anchor, takes Turns to (4 - Turns) mod 4 and flips CopperSide: both exact inverses
// of their inverses.
class TCopperText : public TPCBElement {
 public:
  // The nearest whole board units to 2.0 mm and 0.30 mm.
  static constexpr int32_t DefaultHeight = 13;
  static constexpr int32_t DefaultStrokeWidth = 2;
  // The bounds a text is made and read within; the stroke no wider than the letters are high.
  static constexpr int32_t MinHeight = 2, MaxHeight = 1600;
  static constexpr int32_t MinStrokeWidth = 1;
  static constexpr size_t MaxLength = 1000;

  TCopperText(TLayoutView* layout, TPoint anchor, std::string text, int32_t height,
              int32_t strokeWidth, int32_t turns, bool copperSide);

  TPoint Anchor() const { return Anchor_; }
  const std::string& Text() const { return Text_; }
  int32_t Height() const { return Height_; }
  int32_t StrokeWidth() const { return StrokeWidth_; }
  int32_t Turns() const { return Turns_; }
  bool CopperSide() const { return CopperSide_; }
  void SetAnchor(TPoint p);
  void SetText(std::string text);
  void SetHeight(int32_t h);
  void SetStrokeWidth(int32_t w);
  void SetTurns(int32_t turns);
  void SetCopperSide(bool copperSide);

  // Whether a character can be held, and where the first one that cannot stands in a string
  // (npos when all can; a '\n' is a line break and is taken). Empty strings are not texts.
  static bool Printable(unsigned char c);
  static size_t FirstRefused(std::string_view text);
  // Whether the fields make a text this version keeps: a non-empty string of printable
  // characters no longer than MaxLength, Height and StrokeWidth within their bounds, the stroke
  // at most the height, Turns 0 to 3.
  static bool Valid(std::string_view text, int32_t height, int32_t strokeWidth, int32_t turns);

  // The text's copper: one track a stroke, in half board units, ends rounded to whole half
  // units, each StrokeWidth board units wide. Worked out once and kept until a field changes.
  const std::vector<TCopperShape>& Strokes() const;

  TElementKind Kind() const override { return ekText; }
  // The record line "@TEXT x, y, height, width, turns, side, text" (see TPcbText.h).
  std::string ToText() const override;
  bool HitTest(TPoint pixel) const override;
  bool InRect(const TRect& rect) const override;
  void Draw(TDrawMode mode) const override;
  void Move(int32_t dx, int32_t dy) override;
  std::unique_ptr<TPCBElement> Clone(TLayoutView* layout) const override;

 private:
  TPoint Anchor_;
  std::string Text_;
  int32_t Height_;
  int32_t StrokeWidth_;
  int32_t Turns_;
  bool CopperSide_;
  mutable std::vector<TCopperShape> Strokes_;
  mutable bool StrokesValid_ = false;
};
