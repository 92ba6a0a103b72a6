// The spatial index behind culling, the element under the pointer and the band: kept in step
// with the board, and asked only where its answer is exactly what a walk of the board gives.
#include <algorithm>

#include "TBoardMath.h"
#include "TCanvas.h"
#include "TPCBLayout.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

const TElementIndex* TPCBLayout::FreshIndex() const {
  if (!Indexed_) return nullptr;
  const TElementList& list = *Elements_;
  if (IndexGeneration_ == list.Generation() && Index_.Count() == list.Count()) return &Index_;
  // Built again from scratch after any change: for a board of a million elements that costs
  // about what one walk of it for a render costs, and only once per change.
  Index_.Build(list);
  IndexGeneration_ = list.Generation();
  int64_t reach = 0;
  for (int32_t i = 0; i < list.Count(); ++i) {
    TRect b;
    if (!Index_.BoxOf(i, b)) continue;
    reach = std::max({reach, std::abs(int64_t(b.Left)), std::abs(int64_t(b.Right)),
                      std::abs(int64_t(b.Top)), std::abs(int64_t(b.Bottom))});
  }
  IndexReach_ = reach;
  return &Index_;
}

bool TPCBLayout::ScreenExact(TPoint offset, int64_t reach) const {
  int64_t boardReach = 0;
  if (FreshIndex()) {
    boardReach = IndexReach_;
  } else {
    // Without the index the boxes are worked out here, one walk of the board.
    const TElementList& list = *Elements_;
    for (int32_t i = 0; i < list.Count(); ++i) {
      TRect b;
      if (!TElementIndex::ElementBox(*list.Items(i), b)) continue;
      boardReach = std::max({boardReach, std::abs(int64_t(b.Left)), std::abs(int64_t(b.Right)),
                             std::abs(int64_t(b.Top)), std::abs(int64_t(b.Bottom))});
    }
  }
  const int64_t p = StepPixels(*this);
  if (p <= 0) return false;
  // Products of coordinates and diameters with the step stay inside 32 bits...
  if (p * (boardReach + 1) >= (int64_t(1) << 30)) return false;
  // ... and so does everything shown, centres, radii and margins, however far the view is
  // panned; within that square no wide line is cut either.
  const int64_t shown = p * (boardReach + 1) / 8 + 2 * p + 4 + reach;
  const int64_t limit = TCanvas::WideLineReach;
  return std::abs(int64_t(offset.X)) + shown < limit && std::abs(int64_t(offset.Y)) + shown < limit;
}

TRect TPCBLayout::BoardRectFor(const QRect& area, int64_t margin) const {
  // Where nothing wraps a board coordinate v shows at trunc(v p / 16) + offset, which never
  // decreases with v, so the board coordinates that may show within [lo, hi] lie between the
  // ones worked out backwards here; two units more each way take in the rounding of radii.
  const int64_t p = StepPixels(*this);
  auto range = [&](int64_t lo, int64_t hi, int32_t offset, int32_t& from, int32_t& to) {
    const int64_t u0 = lo - margin - offset, u1 = hi + margin - offset;
    from = Clamp32(FloorDiv((u0 - 1) * UnitsPerStep, p) - 2);
    to = Clamp32(-FloorDiv(-(u1 + 1) * UnitsPerStep, p) + 2);
  };
  TRect r;
  range(area.left(), area.right(), ViewOffset_.X, r.Left, r.Right);
  range(area.top(), area.bottom(), ViewOffset_.Y, r.Top, r.Bottom);
  return r;
}
