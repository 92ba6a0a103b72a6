// Elements one by one: how they show, are hit and read, and what any value does to them.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

#include "FakeLayout.h"
#include "TBoardError.h"
#include "TElementLine.h"
#include "TElementList.h"
#include "TMessageText.h"
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

// Pointers in pixels. Wires "ax ay bx by divisor": both ends on one pixel never hit, nor does a
// wire of no width. Pads "x y hole diameter shape" at P = 10 show at (50, 50).
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
      {1, 'W', {0, 0, 8, 0, 4}, {}, {{0, 0}}},
      {10, 'W', {0, 0, 160, 0, -4}, {}, {{50, 0}}},
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

// In a rectangle (inclusive) when the end points or the pad's centre are; the text lines; and the
// list keeps creation order through removals.
TEST(Elements, InRectTextAndTheListsOrder) {
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
  EXPECT_EQ(list.AddWire({-1, 0}, {INT32_MIN, INT32_MAX}, -3)->ToText(),
            "-1, 0, -2147483648, 2147483647, -3");
  EXPECT_EQ(list.AddSolder({80, 96}, 4, 16, 2)->ToText(), "80, 96, 4, 16, 2");
  EXPECT_EQ(list.AddSolder({0, 0}, 0, 0, static_cast<uint8_t>(256))->ToText(), "0, 0, 0, 0, 0");
  list.Items(8)->SetSelected(true);
  list.Delete(0);
  const TPCBElement* second = list.Items(1);
  EXPECT_TRUE(list.Remove(second));
  EXPECT_FALSE(list.Remove(second));
  EXPECT_EQ(list.RemoveIf([](const TPCBElement& e) { return e.ToText()[0] == '5'; }), 2);
  EXPECT_EQ(Describe(list),
            (std::vector<std::string>{"W 400, 400, 50, 0, 4", "P 0, 0, 4, 16, 1",
                                      "P 25, -1, 4, 16, 0", "W -1, 0, -2147483648, 2147483647, -3",
                                      "P 80, 96, 4, 16, 2 *", "P 0, 0, 0, 0, 0"}));
}

// A hand-edited file can put any 32-bit value in any field: every operation on such elements stays
// defined (the sanitizer build turns any overflow into a failure here).
TEST(BoardMath, ExtremeFieldsAreSafeEverywhere) {
  const int32_t values[] = {0, 1, -1, 2, 16, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
  for (int32_t cell : {1, 10, 510}) {
    for (TPCBStep step : {gs1, gs1By16}) {
      FakeLayout view;
      view.Cell = cell, view.Step = step, view.Printing = true, view.Dpi = 1200;
      view.Offset = {-5, 7};
      TElementList list(&view);
      for (int32_t a : values) {
        for (int32_t b : values) {
          list.AddWire({a, b}, {b, a}, a);
          list.AddWire({a, a}, {b, b}, b);
          list.AddSolder({a, b}, b, a, static_cast<uint8_t>(b));
          list.AddSolder({b, a}, a, b, 0);
        }
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

// A number is converted as it is read, before the rest of the line is looked at; one of over 40
// characters is quoted by its first 20 and last 10.
TEST(ElementLine, GrammarAndLimits) {
  const std::string no = " n'est pas une valeur entière correcte", ten = "9876543210";
  const std::string forty = ten + ten + ten + ten, seven(1000000, '7'), rest = ", 0, 0, 0, 0";
  const std::pair<std::string, std::string> cases[] = {
      {"1,2,3,4,5", "1 2 3 4 5"},
      {" +1 , -2,3 ,4,  5 ", "1 -2 3 4 5"},
      {"-0, +0, 007, 0, 0", "0 0 7 0 0"},
      {"2147483647, -2147483648, 0, 0, 0", "2147483647 -2147483648 0 0 0"},
      {"1, 2, 3, 4", ""},
      {"1, 2, 3, 4,", ""},
      {"1, 2, 3, 4, 5, 6", ""},
      {"1, 2, 3, 4, 5 6", ""},
      {"1; 2; 3; 4; 5", ""},
      {"     ", ""},
      {"", ""},
      {"\t1, 2, 3, 4, 5", ""},
      {"1, 2, 3, 4, 5\t", ""},
      {"1,, 2, 3, 4, 5", ""},
      {"+, 2, 3, 4, 5", ""},
      {"--1, 2, 3, 4, 5", ""},
      {"1, 2, 3, 4, 5x", ""},
      {"a1, 2, 3, 4, 5", ""},
      {"2147483648, 0, 0, 0, 0", "'2147483648'" + no},
      {"0, -2147483649, 0, 0, 0", "'-2147483649'" + no},
      {"0, 0, +99999999999999999999999, 0, 0", "'+99999999999999999999999'" + no},
      {"1, 2, 3, 4, 5555555555 junk", "'5555555555'" + no},
      {forty + rest, "'" + forty + "'" + no},
      {forty + "7" + rest, "'" + ten + ten + "…8765432107'" + no},
      {seven + rest, "'" + seven.substr(0, 20) + "…" + seven.substr(0, 10) + "'" + no}};
  for (const auto& [line, outcome] : cases)
    EXPECT_EQ(Outcome(line.data(), line.data() + line.size()), outcome) << line.substr(0, 50);
  // Nothing past the given end is read.
  const char text[] = "1, 2, 3, 4, 5, 6";
  EXPECT_EQ(Outcome(text, text + 13), "1 2 3 4 5");
  // Characters, not bytes: a quoted path is never cut inside one.
  EXPECT_EQ(ShortQuote(std::string(30, 'a') + std::string(15, 'e') + "\xc3\xa9" + "bcdefghi", 40),
            std::string(20, 'a') + "…e\xc3\xa9" + "bcdefghi");
}

}  // namespace
