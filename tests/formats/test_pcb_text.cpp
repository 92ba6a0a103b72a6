// The line splitting every reader shares, and the element lines the writer builds without ToText.
#include <gtest/gtest.h>

#include <random>

#include "TPcbText.h"
#include "formats/BoardHelpers.h"
#include "model/FakeLayout.h"

namespace {

TEST(SplitLinesTest, EveryKindOfLineEnd) {
  struct Case {
    std::string text;
    std::vector<std::string_view> lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"\r\n", {""}},
      {"\n\r", {"", ""}},
      {"\r\r\n", {"", ""}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\rb\r", {"a", "", "b"}},
      {"a\r\n\r\nb\rc\nd", {"a", "", "b", "c", "d"}},
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},
      {std::string("\0a\n", 3), {}},
      {"x\xB7\xA4\r\n", {"x\xB7\xA4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitLines(c.text), c.lines);
  }
}

// The fast writer must give exactly the text lines the elements give themselves.
TEST(WritePcbTextTest, LinesAreTheElementsOwnText) {
  FakeLayout layout;
  TElementList list(&layout);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  std::string expectedPads = "*Solder*\r\n", expectedWires = "\r\n*Wire*\r\n";
  std::string selectedPads;
  for (int i = 0; i < 200; ++i) {
    if (i % 3 == 0) {
      auto* w = list.AddWire({any(rng), any(rng)}, {any(rng), 0}, i == 3 ? INT32_MIN : any(rng));
      expectedWires += w->ToText() + "\r\n";
    } else {
      auto* s =
          list.AddSolder({any(rng), INT32_MAX}, any(rng), any(rng), static_cast<uint8_t>(any(rng)));
      s->SetSelected(i % 2 == 0);
      if (s->Selected()) selectedPads += s->ToText() + "\r\n";
      expectedPads += s->ToText() + "\r\n";
    }
  }
  EXPECT_EQ(WritePcbText(list, [](const TPCBElement&) { return true; }),
            expectedPads + expectedWires);
  // Only what keep() accepts, as a copy of the selection does.
  const std::string selected =
      WritePcbText(list, [](const TPCBElement& e) { return e.Selected(); });
  EXPECT_EQ(selected, "*Solder*\r\n" + selectedPads + "\r\n*Wire*\r\n");
}

}  // namespace
