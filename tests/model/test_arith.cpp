#include <gtest/gtest.h>

#include <climits>

#include "FakeLayout.h"
#include "TElementList.h"

namespace {

// A hand-edited file can put any 32-bit value in any field. Every operation on such elements
// must stay defined: the sanitizer build turns any overflow into a failure here.
TEST(BoardMath, ExtremeFieldsAreSafeEverywhere) {
  const int32_t values[] = {0, 1, -1, 2, 16, INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
  for (int32_t cell : {1, 10, 510}) {
    for (TPCBStep step : {gs1, gs1By16}) {
      FakeLayout view;
      view.Cell = cell;
      view.Step = step;
      view.Printing = true;
      view.Dpi = 1200;
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
        hits += e->HitTest({0, 0}) + e->HitTest({INT32_MAX, INT32_MIN}) + e->HitTest({32, 32});
        hits += e->InRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}) + e->InRect({0, 0, 50, 50});
        for (TDrawMode mode : {dmNormal, dmHighlight, dmPrint}) e->Draw(mode);
        e->Move(INT32_MAX, INT32_MIN);
        EXPECT_FALSE(e->ToText().empty());
      }
      EXPECT_GT(hits, 0);
    }
  }
}

}  // namespace
