// Elements one by one: how they show, are hit, read, turned and typed, whatever their values.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <climits>
#include <sstream>
#include <string>
#include <tuple>

#include "FakeLayout.h"
#include "TBoardError.h"
#include "TCopperFill.h"
#include "TCopperText.h"
#include "TElementLine.h"
#include "TElementList.h"
#include "TElementTransform.h"
#include "TMessageText.h"
#include "TMillProcess.h"
#include "TPadSize.h"
#include "TSmdPad.h"
#include "TStrokeFont.h"
#include "TWindows1252.h"
#include "formats/BoardHelpers.h"

namespace {

TEST(View, BoardToScreenTruncatesTowardZero) {
  const std::tuple<int32_t, TPCBStep, TPoint, TPoint, TPoint> cases[] = {
      {10, gs1, {0, 0}, {16, 32}, {10, 20}},         {5, gs1By2, {0, 0}, {16, 32}, {10, 20}},
      {10, gs1, {0, 0}, {-1, -1}, {0, 0}},           {10, gs1, {7, -3}, {-1, 15}, {7, 6}},
      {10, gs1, {0, 0}, {-17, 17}, {-10, 10}},       {11, gs1, {0, 0}, {16, 0}, {11, 0}},
      {1, gs1By16, {100, 100}, {-16, 16}, {84, 116}}};
  for (const auto& [cell, step, offset, board, screen] : cases) {
    FakeLayout view;
    view.Cell = cell, view.Step = step, view.Offset = offset;
    EXPECT_EQ(BoardToScreen(view, board), screen) << board.X << "," << board.Y;
  }
}

// Pointers in pixels; wires of no width, or with both ends on one pixel, are never hit.
TEST(Elements, HitTestAtPixelBoundaries) {
  const struct {
    int32_t cell;
    char kind;
    int32_t v[5];
    std::vector<TPoint> hits, misses;
  } cases[] = {
      {10, 'W', {0, 0, 160, 0, 4}, {{50, 0}, {101, 0}, {-1, 0}}, {{50, 1}, {102, 0}, {-2, 0}}},
      {10, 'W', {0, 0, 160, 0, 16}, {{50, 0}}, {{50, 1}, {50, -1}}},
      {40, 'W', {0, 0, 40, 40, 2}, {{55, 50}, {105, 105}, {64, 50}}, {{111, 111}, {65, 50}}},
      {10, 'W', {5, 5, 5, 5, 4}, {}, {{0, 0}}},
      {10, 'W', {0, 0, 160, 0, 0}, {}, {{50, 0}}},
      {10, 'W', {0, 0, 160, 0, INT32_MIN}, {}, {{50, 0}}},
      {10, 'P', {80, 80, 4, 16, sgCircle}, {{53, 54}, {55, 50}}, {{54, 54}, {56, 50}}},
      {10, 'P', {80, 80, 4, 16, sgSquare}, {{55, 55}, {45, 45}}, {{56, 50}, {44, 50}}},
      {10, 'P', {80, 80, 4, 16, 2}, {{55, 55}}, {}},
      {10, 'P', {80, 80, 4, 1, sgCircle}, {{50, 50}}, {{51, 50}}},
      {10, 'P', {80, 80, 4, 1, sgSquare}, {}, {{50, 51}}},
      {10, 'P', {80, 80, 4, -16, sgCircle}, {}, {{50, 50}}}};
  for (const auto& c : cases) {
    FakeLayout view;
    view.Cell = c.cell;
    TElementList list(&view);
    const auto& v = c.v;
    const TPCBElement* e =
        c.kind == 'W' ? static_cast<TPCBElement*>(list.AddWire({v[0], v[1]}, {v[2], v[3]}, v[4]))
                      : list.AddSolder({v[0], v[1]}, v[2], v[3], static_cast<uint8_t>(v[4]));
    for (bool hit : {true, false})
      for (TPoint p : hit ? c.hits : c.misses)
        EXPECT_EQ(e->HitTest(p), hit)
            << e->ToText() << " P=" << c.cell << " at " << p.X << "," << p.Y;
  }
}

// In a rectangle (inclusive) when the end points or the pad's centre are.
TEST(Elements, InRectWhenTheEndsOrTheCentreAre) {
  FakeLayout view;
  TElementList list(&view);
  const TRect r{0, 0, 50, 50};
  EXPECT_TRUE(list.AddWire({40, 40}, {400, 400}, 4)->InRect(r));
  EXPECT_TRUE(list.AddWire({400, 400}, {50, 0}, 4)->InRect(r));
  EXPECT_FALSE(list.AddWire({-10, 25}, {60, 25}, 4)->InRect(r));
  EXPECT_TRUE(list.AddSolder({50, 50}, 4, 16, 0)->InRect(r));
  EXPECT_TRUE(list.AddSolder({0, 0}, 4, 16, 1)->InRect(r));
  EXPECT_FALSE(list.AddSolder({55, 25}, 4, 16, 0)->InRect(r));
  EXPECT_FALSE(list.AddSolder({25, -1}, 4, 16, 0)->InRect(r));
}

// Any 32-bit value in any field keeps every operation defined (the sanitizer build checks it).
TEST(BoardMath, ExtremeFieldsAreSafeEverywhere) {
  const int32_t values[] = {0, 1, -1, 2, 16, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
  for (int32_t cell : {1, 10, 510})
    for (TPCBStep step : {gs1, gs1By16}) {
      FakeLayout view;
      view.Cell = cell, view.Step = step, view.Printing = true, view.Offset = {-5, 7};
      TElementList list(&view);
      for (int32_t a : values)
        for (int32_t b : values) {
          list.AddWire({a, b}, {b, a}, a);
          list.AddWire({a, a}, {b, b}, b);
          list.AddSolder({a, b}, b, a, static_cast<uint8_t>(b));
          list.AddSolder({b, a}, a, b, 0);
        }
      int hits = 0;
      for (int32_t i = 0; i < list.Count(); ++i) {
        TPCBElement* e = list.Items(i);
        hits += e->HitTest({0, 0}) + e->HitTest({INT32_MAX, INT32_MIN}) + e->HitTest({32, 32}) +
                e->InRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}) + e->InRect({0, 0, 50, 50});
        for (TDrawMode mode : {dmNormal, dmHighlight, dmPrint}) e->Draw(mode);
        e->Move(INT32_MAX, INT32_MIN);
        EXPECT_FALSE(e->ToText().empty());
      }
      EXPECT_GT(hits, 0);
    }
}

// The five values read, nothing when the line is rejected, or the message of the error.
std::string Outcome(const char* begin, const char* end) {
  int32_t v[5] = {};
  try {
    if (!ReadElementLine(begin, end, v)) return "";
  } catch (const EBoardError& e) {
    return e.what();
  }
  std::string out;
  for (int32_t value : v) out += (out.empty() ? "" : " ") + std::to_string(value);
  return out;
}

// A number is converted as read; one of over 40 characters is quoted by its first 20 and last 10.
TEST(ElementLine, GrammarAndLimits) {
  const std::string no = " n'est pas une valeur entière correcte", ten = "9876543210";
  const std::string forty = ten + ten + ten + ten, seven(1000000, '7'), rest = ", 0, 0, 0, 0";
  const std::pair<std::string, std::string> cases[] = {
      {"1,2,3,4,5", "1 2 3 4 5"},
      {" +1 , -2,3 ,4,  5 ", "1 -2 3 4 5"},
      {"-0, +0, 007, 0, 0", "0 0 7 0 0"},
      {"2147483647, -2147483648, 0, 0, 0", "2147483647 -2147483648 0 0 0"},
      {"2147483648, 0, 0, 0, 0", "'2147483648'" + no},
      {"0, -2147483649, 0, 0, 0", "'-2147483649'" + no},
      {"0, 0, +99999999999999999999999, 0, 0", "'+99999999999999999999999'" + no},
      {"1, 2, 3, 4, 5555555555 junk", "'5555555555'" + no},
      {forty + rest, "'" + forty + "'" + no},
      {forty + "7" + rest, "'" + ten + ten + "…8765432107'" + no},
      {seven + rest, "'" + seven.substr(0, 20) + "…" + seven.substr(0, 10) + "'" + no}};
  for (const auto& [line, outcome] : cases)
    EXPECT_EQ(Outcome(line.data(), line.data() + line.size()), outcome) << line.substr(0, 50);
  for (std::string line :
       {"1, 2, 3, 4", "1, 2, 3, 4,", "1, 2, 3, 4, 5, 6", "1, 2, 3, 4, 5 6", "1; 2; 3; 4; 5",
        "     ", "", "\t1, 2, 3, 4, 5", "1, 2, 3, 4, 5\t", "1,, 2, 3, 4, 5", "+, 2, 3, 4, 5",
        "--1, 2, 3, 4, 5", "1, 2, 3, 4, 5x", "a1, 2, 3, 4, 5"})
    EXPECT_EQ(Outcome(line.data(), line.data() + line.size()), "") << line;
  // Nothing past the given end is read.
  const char text[] = "1, 2, 3, 4, 5, 6";
  EXPECT_EQ(Outcome(text, text + 13), "1 2 3 4 5");
  // Characters, not bytes: a quoted path is never cut inside one.
  EXPECT_EQ(ShortQuote(std::string(30, 'a') + std::string(15, 'e') + "\xc3\xa9" + "bcdefghi", 40),
            std::string(20, 'a') + "…e\xc3\xa9" + "bcdefghi");
}

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

// Thin lines leave out their end pixel, boxes their right and bottom edges, far ends what is off.
TEST(Canvas, LinesAndBoxesLeaveOutTheirLastPixels) {
  QImage image(9, 9, QImage::Format_RGB32);
  image.fill(Qt::white);
  TCanvas canvas(&image);
  canvas.SetPenColor(0);
  canvas.SetBrushColor(0);
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
  EXPECT_EQ(BlackPixels(image).size(), 81 * 4 - 1u);  // every pixel, "x,y" each
  // A disc is outlined in the pen colour and filled with the brush colour.
  canvas.SetBrushColor(0x0000FF);
  canvas.Ellipse(0, 0, 9, 9);
  for (auto [x, y, rgb] :
       {std::tuple{4, 4, 0xFF0000u}, {4, 0, 0u}, {0, 4, 0u}, {8, 4, 0u}, {0, 0, 0xFFFFFFu}})
    EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, rgb) << x << ", " << y;
}

// Pixels "x,y" each followed by its colour: w wire, p pad, f focus, . white.
void Expect(FakeLayout& view, const QImage& image, const std::string& pixels) {
  view.Flush();
  std::istringstream in(pixels);
  int x, y;
  char comma, c;
  while (in >> x >> comma >> y >> c) {
    const TColor colors[] = {view.Wire, view.Solder, view.Focus, 0xFFFFFF};
    EXPECT_EQ(FakeLayout::At(image, x, y), colors[std::string("wpf.").find(c)]) << x << ", " << y;
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
  selected->SetSelected(true), selected->Draw(dmNormal);
  list.AddSolder({80, 80}, 4, 16, sgCircle)->Draw(dmNormal);  // r = 5, the hole of 1 not shown
  list.AddSolder({160, 80}, 4, 16, sgSquare)->Draw(dmNormal);
  // The highlighted wire 5 pixels wide at y = 150, its round end past its end point.
  list.AddWire({0, 240}, {160, 240}, 2)->Draw(dmHighlight);
  list.AddSolder({16, 272}, 4, 16, sgSquare)->Draw(dmHighlight);
  Expect(view, view.Board,
         "0,10w 99,10w 100,10. 50,11. 50,20. 50,30w 50,100f 50,50p 45,50p 54,50p 55,50. 45,45. "
         "95,45p 104,54p 105,50. 100,55. 50,150. 10,166.");
  Expect(view, view.Screen,
         "50,10. 50,50. 50,147. 50,148f 50,150f 50,152f 50,153. 101,150f 104,150. 10,166f");
}

// SMD pads at (80, 80): what is drawn is exactly what is hit, the centre pixel always; rounded
// corners stay white (an oblong of radius 5 at P = 10, corners of 2 on 13 units at P = 16).
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
  // clang-format off
  const std::tuple<const char*, int32_t, int32_t, int32_t, int, bool> cases[] = {
      {"GND", 13, 2, 0, -1, true}, {"+9V\nOUT", 2, 2, 3, -1, true},
      {"caf\xE9 \x80 \xDF", 1600, 1600, 1, -1, true}, {"", 13, 2, 0, -1, false},
      {"a\tb", 13, 2, 0, 1, false}, {"ab\x81", 13, 2, 0, 2, false},
      {"\x7F", 13, 2, 0, 0, false}, {"x\r", 13, 2, 0, 1, false}, {"A", 1, 1, 0, -1, false},
      {"A", 1601, 2, 0, -1, false}, {"A", 13, 0, 0, -1, false}, {"A", 13, 14, 0, -1, false},
      {"A", 13, 2, 4, -1, false}, {"A", 13, 2, -1, -1, false}};
  // clang-format on
  for (const auto& [s, h, w, turns, refused, valid] : cases) {
    EXPECT_EQ(TCopperText::FirstRefused(s), refused < 0 ? std::string::npos : size_t(refused)) << s;
    EXPECT_EQ(TCopperText::Valid(s, h, w, turns), valid) << s << " " << h << " " << w;
  }
  EXPECT_TRUE(TCopperText::Valid(std::string(1000, 'A'), 13, 2, 0));
  EXPECT_FALSE(TCopperText::Valid(std::string(1001, 'A'), 13, 2, 0));
}

// Typed text, its bytes in the file, and where it is refused (-1: taken).
TEST(CopperText, TypedTextBecomesFileBytesAndBack) {
  // clang-format off
  const std::tuple<const char*, std::string, qsizetype> cases[] = {
      {"Café €5 ß", "Caf\xE9 \2005 \xDF", -1}, {"„Œ™…‰“", "\x84\x8C\x99\x85\x89\x93", -1},
      {"a\r\nb\rc\nd", "a\nb\nc\nd", -1}, {"1\xC2\xA0+\xC2\xAD", "1\xA0+\xAD", -1},
      {"tab\there", "", 3}, {"Ā", "", 0}, {"ok 😀", "", 3}, {"\x7F", "", 0}};
  // clang-format on
  for (const auto& [utf8, bytes, refusedAt] : cases) {
    const QString typed = QString::fromUtf8(utf8);
    std::string out = "kept";
    qsizetype at = -1;
    EXPECT_EQ(ToWindows1252(typed, out, &at), refusedAt < 0) << utf8;
    EXPECT_EQ(at, refusedAt) << utf8;
    EXPECT_EQ(out, refusedAt < 0 ? bytes : "kept") << utf8;
    EXPECT_TRUE(refusedAt >= 0 ||
                FromWindows1252(bytes) == QString(typed).replace("\r\n", "\n").replace('\r', '\n'));
  }
}

TEST(CopperText, LettersLieWhereTheTextReads) {
  // "H" 21 high: stems 4 and 18 units right of its left bound, strokes as wide as the text's; a
  // second line lies 32 units below.
  const TCopperText letterH = Text("H");
  const THalfBox h = EndsBox(letterH.Strokes()), two = EndsBox(Text("H\nH").Strokes());
  EXPECT_EQ(std::tuple(h.Left, h.Top, h.Right, h.Bottom), std::tuple(208, 358, 236, 400));
  EXPECT_EQ(std::tuple(two.Right, two.Bottom), std::tuple(236, 464));
  for (const TCopperShape& s : letterH.Strokes()) EXPECT_EQ(s.Radius, 2);
  // From the component side the first letter lies just right of the anchor; from the copper
  // side each letter is its mirror about the anchor, the first just left of it.
  TCopperText text = Text("ILL");  // turned over once its strokes were worked out
  const std::vector<TCopperShape> ill = text.Strokes(),
                                  back = (text.SetCopperSide(true), text.Strokes());
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
  TCopperText hh = Text("HH");  // its strokes worked out afresh after the turn
  const THalfBox turned = (hh.Strokes(), hh.SetTurns(1), EndsBox(hh.Strokes()));
  EXPECT_EQ(std::tuple(turned.Left, turned.Right), std::tuple(200, 242));
  EXPECT_GT(turned.Top, 400);
}

// "l" is one upright stroke, 10 pixels high and 5 wide; a thin letter takes a click beside it.
TEST(CopperText, IsHitOverItsStrokesAndMovesWithThem) {
  FakeLayout view;  // 10 pixels to 16 board units
  TCopperText text(&view, {32, 32}, "l", 16, 8, 0, false), *l = &text;
  const THalfBox b = EndsBox(l->Strokes());
  const int x = static_cast<int>(b.Left * 10 / 32), u = static_cast<int>(b.Left / 2);
  for (auto [dx, y, hit] :
       {std::tuple{0, 15, true}, {1, 12, true}, {2, 15, true}, {4, 15, false}, {0, 25, false}})
    EXPECT_EQ(l->HitTest({x + dx, y}), hit) << dx << ", " << y;
  // A long level stroke is hit along its middle, not only near its ends.
  const TCopperText dash(&view, {32, 32}, "-", 160, 8, 0, false);
  const THalfBox d = EndsBox(dash.Strokes());
  EXPECT_TRUE(dash.HitTest({int((d.Left + d.Right) * 10 / 64), int(d.Top * 10 / 32) + 1}));
  // Drawn on the board in the wire colour, highlighted on the visible surface in the focus colour.
  l->Draw(dmNormal), l->Draw(dmHighlight);
  Expect(view, view.Board, std::to_string(x) + ",15w " + std::to_string(x + 4) + ",15.");
  Expect(view, view.Screen, std::to_string(x) + ",15f");
  // Inside a rectangle when all its copper is; moved, even wrapping, its strokes go with it.
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
}

// Typed sizes in board units; 0 refused for the range, -1 refused as no size at all.
TEST(PadSize, TypedSizesRoundToBoardUnitsWithinTheLimits) {
  const std::tuple<bool, const char*, int32_t> cases[] = {
      {true, "1.9", 12},   {true, " 1,9 mm", 12}, {true, "1.2", 8},  {true, "3.81 MM", 24},
      {true, "1.18", 0},   {true, "3.9", 0},      {true, "big", -1}, {false, "0.8", 5},
      {false, "1.59", 10}, {false, "0.05", 0},    {false, "-1", 0}};
  for (const auto& [pad, typed, expected] : cases) {
    int32_t units = 0;
    const std::string error = MessageOf(
        [&, pad = pad, typed = typed] { units = pad ? ReadPadSize(typed) : ReadHoleSize(typed); });
    const std::string range = pad ? "A pad must be between 1.27 and 3.81 mm across"
                                  : "A hole must be between 0.16 and 3.65 mm across";
    const std::string quoted =
        expected < 0 ? "'" + std::string(typed) + "' is not a size in millimetres: " : "";
    EXPECT_EQ(units, std::max(expected, 0)) << typed;
    EXPECT_EQ(error, expected > 0 ? "<no error>" : quoted + range) << typed;
  }
  // The offered sizes show as the box lists them, rounded half up from exact 0.15875 mm units.
  QStringList shown;
  for (int32_t units : {4, 5, 6, 7, 8, 10, 12, 16, 24}) shown << MillimetreText(units);
  EXPECT_EQ(shown.join(' ').toStdString(), "0.64 0.79 0.95 1.11 1.27 1.59 1.91 2.54 3.81");
  EXPECT_EQ(MessageOf([] { CheckHoleFits(7, 8); }), "<no error>");
  EXPECT_EQ(MessageOf([] { CheckHoleFits(8, 8); }),
            "A hole of 1.27 mm must be smaller than its pad of 1.27 mm");
}

// Each length of the milling process is taken at both ends of its range, refused just beyond.
TEST(MillProcess, EachLengthIsTakenUpToItsLimits) {
  using P = TMillProcess;
  const std::tuple<double P::*, double, double> ranges[] = {
      {&P::EtchCompensation, 0, 0.2}, {&P::BitDiameter, 0.01, 10},
      {&P::VAngle, 5, 150},           {&P::VTip, 0, 5},
      {&P::CutDepth, 0.001, 5},       {&P::Overlap, 0, 90},
      {&P::Feed, 1, 100000},          {&P::Plunge, 1, 100000},
      {&P::DrillDepth, 0.01, 20},     {&P::OutlineBit, 0.1, 10},
      {&P::BoardThickness, 0.1, 10},  {&P::DepthPerPass, 0.01, 10},
      {&P::TabWidth, 0, 50}};
  for (const auto& [field, low, high] : ranges)
    for (double v : {low, high, low - 1e-6, high + 1e-6}) {
      TMillProcess process;
      process.*field = v;
      EXPECT_EQ(process.Valid(), v >= low && v <= high) << v;
    }
}

// Pads {x, y}, wires {4}, SMD pads {5}, texts {x, y, turns, side, 0, 0}, fills {seeded, x, y, 3
// corners}.
void Build(TElementList& list, const std::vector<std::vector<int32_t>>& elements) {
  for (const auto& e : elements) {
    if (e.size() == 2)
      list.AddSolder({e[0], e[1]}, 4, 12, 0);
    else if (e.size() == 5)
      list.Append(std::make_unique<TSmdPad>(&*list.Layout(), TPoint{e[0], e[1]}, e[2], e[3], e[4]));
    else if (e.size() == 6)
      list.Append(std::make_unique<TCopperText>(list.Layout(), TPoint{e[0], e[1]}, "Fe", 13, 2,
                                                e[2], e[3] != 0));
    else if (e.size() == 9)
      list.Append(std::make_unique<TCopperFill>(
          list.Layout(), std::vector<TPoint>{{e[3], e[4]}, {e[5], e[6]}, {e[7], e[8]}}, e[0] != 0,
          TPoint{e[1], e[2]}, TFillSettings{}));
    else
      list.AddWire({e[0], e[1]}, {e[2], e[3]}, 4);
  }
}

// Each element's points (a text's turns and side, an SMD pad's sides too), joined by " | ".
std::string Points(const TElementList& list) {
  std::string text;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    std::vector<TPoint> p;
    if (auto* w = dynamic_cast<const TWire*>(e)) p = {w->StartPoint(), w->EndPoint()};
    if (auto* s = dynamic_cast<const TSolder*>(e)) p = {s->Center()};
    if (auto* s = dynamic_cast<const TSmdPad*>(e)) p = {s->Center(), {s->Width(), s->Height()}};
    if (auto* t = dynamic_cast<const TCopperText*>(e))
      p = {t->Anchor(), {t->Turns(), t->CopperSide()}};
    if (auto* f = dynamic_cast<const TCopperFill*>(e))
      p = f->Corners(), p.insert(p.begin(), f->Seed());
    text += i ? " |" : "";
    for (TPoint q : p) text += " " + std::to_string(q.X) + " " + std::to_string(q.Y);
  }
  return text.substr(1);
}

// Turns the whole board once about the pivot its extent gives, as the editor does.
TPoint TurnAll(TElementList& list, int32_t grid, TTurn turn) {
  std::vector<int32_t> all;
  for (int32_t i = 0; i < list.Count(); ++i) all.push_back(i);
  TRect extent;
  EXPECT_TRUE(PointsExtent(list, all, extent));
  const TPoint pivot = TurnPivot(extent, grid);
  for (int32_t i : all) TurnElement(*list.Items(i), pivot, turn);
  return pivot;
}

// Ties between grid points go to an even column and row; SMD sides, text turns and sides and fill
// corners and seeds turn too.
TEST(Turn, RotateAndMirrorAboutTheNearestGridPointAndComeBack) {
  using Parts = std::vector<std::vector<int32_t>>;
  // clang-format off
  const std::tuple<int32_t, Parts, TPoint, std::string, std::string> cases[] = {
      {16, {{0, 0}, {16, 0}}, {0, 0}, "0 0 | 0 16", "0 0 | -16 0"},
      {16, {{-16, -16}, {0, -16}}, {-16, -16}, "-16 -16 | -16 0", "-16 -16 | -32 -16"},
      {16, {{0, 0, 48, 16}, {48, 16}}, {32, 0}, "32 -32 16 16 | 16 16", "64 0 16 16 | 16 16"},
      {4, {{0, 0, 8, 0}, {8, 8}, {0, 8}}, {4, 4}, "8 0 8 8 | 0 8 | 0 0", "8 0 0 0 | 0 8 | 8 8"},
      {16, {{3, 5}, {20, 9}}, {16, 0}, "11 -13 | 7 4", "29 5 | 12 9"},
      {16, {{0, 0, 10, 4, 20}, {32, 16}}, {16, 16}, "32 0 4 10 | 16 32", "32 0 10 4 | 0 16"},
      {16, {{0, 0, 0, 1, 0, 0}, {32, 0}}, {16, 0}, "16 -16 1 1 | 16 16", "32 0 0 0 | 0 0"},
      {4, {{8, 4, 3, 0, 0, 0}}, {8, 4}, "8 4 0 0", "8 4 1 1"},
      {4, {{8, 4, 2, 1, 0, 0}, {0, 0}}, {4, 4}, "4 8 3 1 | 8 0", "0 4 2 0 | 8 0"},
      {16, {{1, 16, 0, 0, 0, 32, 0, 0, 16}}, {16, 16}, "32 16 32 0 32 32 16 0",
       "16 0 32 0 0 0 32 16"},
      {16, {{0, 0, 0, 0, 0, 16, 0, 0, 16}, {32, 32}}, {16, 16}, "0 0 32 0 32 16 16 0 | 0 32",
       "0 0 32 0 16 0 32 16 | 0 32"}};
  // clang-format on
  for (const auto& [grid, board, pivot, rotated, mirrored] : cases) {
    FakeLayout view;
    TElementList list(&view);
    Build(list, board);
    const std::string before = Points(list);
    // Once, then back where it was after four quarter turns or two mirrors.
    for (TTurn turn : {tnRotate, tnMirror}) {
      EXPECT_EQ(TurnAll(list, grid, turn), pivot) << before;
      EXPECT_EQ(Points(list), turn == tnRotate ? rotated : mirrored) << before;
      for (int k = turn == tnRotate ? 3 : 1; k > 0; --k) TurnAll(list, grid, turn);
      EXPECT_EQ(Points(list), before);
    }
  }
  // Every turn is undone by its inverse, even where it wraps.
  for (TPoint p : {TPoint{INT32_MAX, INT32_MIN}, {-7, 123456}, {INT32_MIN, 0}})
    for (TPoint pivot : {TPoint{0, 0}, {INT32_MIN, INT32_MAX}, {-48, 16}})
      for (TTurn turn : {tnRotate, tnRotateBack, tnMirror})
        EXPECT_EQ(TurnPoint(TurnPoint(p, pivot, turn), pivot, InverseTurn(turn)), p);
}

}  // namespace
