// Copper text: which characters it holds, how its strokes lie, how it draws and is hit.
#include <gtest/gtest.h>

#include <tuple>

#include "FakeLayout.h"
#include "TCopperText.h"
#include "TElementList.h"
#include "TStrokeFont.h"
#include "TWindows1252.h"

namespace {

// The box of the strokes' end points, in half units.
THalfBox EndsBox(const std::vector<TCopperShape>& strokes) {
  THalfBox b{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
  for (const TCopperShape& s : strokes)
    for (auto [x, y] : {std::pair{s.AX, s.AY}, std::pair{s.BX, s.BY}})
      b = {std::min(b.Left, x), std::min(b.Top, y), std::max(b.Right, x), std::max(b.Bottom, y)};
  return b;
}

TCopperText Text(std::string s, bool copperSide = false, int32_t turns = 0, int32_t h = 21) {
  return TCopperText(nullptr, {100, 200}, std::move(s), h, 2, turns, copperSide);
}

TEST(CopperText, TakesThePrintableCharactersAndSaneSizes) {
  // Every printable code has strokes, and only those: a character that is taken is drawn.
  for (int c = 0; c < 256; ++c) {
    const unsigned char u = static_cast<unsigned char>(c);
    EXPECT_EQ(StrokeGlyph(u) != nullptr, TCopperText::Printable(u)) << c;
    EXPECT_TRUE(!TCopperText::Printable(u) || ForEachGlyphPoint(u, [](auto...) {}) > 0) << c;
  }
  // Text, height, width, turns; the first character refused (-1: none); whether it is valid.
  const std::tuple<const char*, int32_t, int32_t, int32_t, int, bool> cases[] = {
      {"GND", 13, 2, 0, -1, true},
      {"+9V\nOUT", 2, 2, 3, -1, true},
      {"caf\xE9 \x80 \xDF", 1600, 1600, 1, -1, true},
      {"", 13, 2, 0, -1, false},
      {"a\tb", 13, 2, 0, 1, false},
      {"ab\x81", 13, 2, 0, 2, false},
      {"\x7F", 13, 2, 0, 0, false},
      {"x\r", 13, 2, 0, 1, false},
      {"A", 1, 1, 0, -1, false},
      {"A", 1601, 2, 0, -1, false},
      {"A", 13, 0, 0, -1, false},
      {"A", 13, 14, 0, -1, false},
      {"A", 13, 2, 4, -1, false},
      {"A", 13, 2, -1, -1, false}};
  for (const auto& [s, h, w, turns, refused, valid] : cases) {
    EXPECT_EQ(TCopperText::FirstRefused(s), refused < 0 ? std::string::npos : size_t(refused)) << s;
    EXPECT_EQ(TCopperText::Valid(s, h, w, turns), valid) << s << " " << h << " " << w;
  }
  EXPECT_TRUE(TCopperText::Valid(std::string(1000, 'A'), 13, 2, 0));
  EXPECT_FALSE(TCopperText::Valid(std::string(1001, 'A'), 13, 2, 0));
}

// Typed text, its bytes in the file, and where it is refused (-1: taken).
TEST(CopperText, TypedTextBecomesFileBytesAndBack) {
  const std::tuple<const char*, std::string, qsizetype> cases[] = {
      {"Café €5 ß",
       "Caf\xE9 \x80"
       "5 \xDF",
       -1},
      {"„Œ™…‰“", "\x84\x8C\x99\x85\x89\x93", -1},
      {"a\r\nb\rc\nd", "a\nb\nc\nd", -1},
      {"1\xC2\xA0+\xC2\xAD", "1\xA0+\xAD", -1},
      {"tab\there", "", 3},
      {"Ā", "", 0},
      {"ok 😀", "", 3},
      {"\x7F", "", 0}};
  for (const auto& [utf8, bytes, refusedAt] : cases) {
    const QString typed = QString::fromUtf8(utf8);
    std::string out = "kept";
    qsizetype at = -1;
    EXPECT_EQ(ToWindows1252(typed, out, &at), refusedAt < 0) << utf8;
    EXPECT_EQ(at, refusedAt) << utf8;
    EXPECT_EQ(out, refusedAt < 0 ? bytes : "kept") << utf8;
    if (refusedAt < 0) {
      EXPECT_EQ(FromWindows1252(bytes), QString(typed).replace("\r\n", "\n").replace('\r', '\n'));
    }
  }
}

TEST(CopperText, LettersLieWhereTheTextReads) {
  // "H" 21 units high: its strokes from the baseline to 21 units up, its stems 4 and 18 units
  // from its left bound (the font's bounds G and ], its stems at K and Y), every stroke as wide
  // as the text's. A second line lies 32 units below; a line break draws nothing itself.
  const TCopperText letterH = Text("H");
  const THalfBox h = EndsBox(letterH.Strokes()), two = EndsBox(Text("H\nH").Strokes());
  EXPECT_EQ(std::tuple(h.Left, h.Top, h.Right, h.Bottom), std::tuple(208, 358, 236, 400));
  EXPECT_EQ(std::tuple(two.Right, two.Bottom), std::tuple(236, 464));
  for (const TCopperShape& s : letterH.Strokes()) EXPECT_EQ(s.Radius, 2);
  // From the component side the first letter lies just right of the anchor; from the copper
  // side each letter is its mirror about the anchor, the first just left of it.
  const std::vector<TCopperShape> ill = Text("ILL").Strokes(), back = Text("ILL", true).Strokes();
  int64_t right = 200;  // letter by letter, each farther right
  for (size_t n : {Text("I").Strokes().size(), Text("IL").Strokes().size(), ill.size()}) {
    const THalfBox a = EndsBox({ill.begin(), ill.begin() + n}),
                   b = EndsBox({back.begin(), back.begin() + n});
    EXPECT_EQ(std::tuple(a.Left, a.Right, a.Top), std::tuple(400 - b.Right, 400 - b.Left, b.Top))
        << n;
    EXPECT_TRUE(a.Left > 200 && a.Right > right && (right > 200 || a.Right < 242)) << n;
    right = a.Right;
  }
  // A quarter turn clockwise: the line runs down the screen, the letters' tops to the right.
  const THalfBox turned = EndsBox(Text("HH", false, 1).Strokes());
  EXPECT_EQ(std::tuple(turned.Left, turned.Right), std::tuple(200, 242));
  EXPECT_GT(turned.Top, 400);
}

// "l" is one upright stroke: at (32, 32), 16 units high and 8 wide, it shows 10 pixels high and
// 5 wide, a little right of the anchor's pixel; a thin letter still takes a click beside it.
TEST(CopperText, IsHitOverItsStrokesAndMovesWithThem) {
  FakeLayout view;  // 10 pixels to 16 board units
  TCopperText text(&view, {32, 32}, "l", 16, 8, 0, false), *l = &text;
  const THalfBox b = EndsBox(l->Strokes());
  ASSERT_EQ(b.Left, b.Right);
  const int x = static_cast<int>(b.Left * 10 / 32), u = static_cast<int>(b.Left / 2);
  for (auto [dx, y, hit] :
       {std::tuple{0, 15, true}, {1, 12, true}, {2, 15, true}, {4, 15, false}, {0, 25, false}})
    EXPECT_EQ(l->HitTest({x + dx, y}), hit) << dx << ", " << y;
  // A long level stroke is hit along its middle, not only near its ends.
  const TCopperText dash(&view, {32, 32}, "-", 160, 8, 0, false);
  const THalfBox d = EndsBox(dash.Strokes());
  EXPECT_TRUE(dash.HitTest({int((d.Left + d.Right) * 10 / 64), int(d.Top * 10 / 32) + 1}));
  // Inside a rectangle when all its copper's points are; moved, its strokes go with it, also
  // where the anchor wraps round.
  EXPECT_TRUE(l->InRect({u, 16, u, 32}));
  EXPECT_FALSE(l->InRect({u, 17, u, 32}));
  for (const auto& [dx, dy] :
       {std::pair{5, -3}, std::pair{INT32_MAX, 0}, std::pair{-INT32_MAX, 0}}) {
    l->Move(dx, dy);
    const THalfBox moved = EndsBox(l->Strokes());
    l->SetAnchor(l->Anchor());  // worked out afresh
    EXPECT_EQ(std::pair(moved.Left, moved.Top),
              std::pair(EndsBox(l->Strokes()).Left, EndsBox(l->Strokes()).Top));
  }
  EXPECT_EQ(l->Clone(&view)->ToText(), l->ToText());
}

}  // namespace
