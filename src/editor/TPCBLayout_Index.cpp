// The spatial index behind culling, the element under the pointer and the band: kept in step
// with the board, and asked only where its answer is exactly what a walk of the board gives.
#include <algorithm>

#include "TBoardMath.h"
#include "TCanvas.h"
#include "TPCBLayout.h"

namespace {

// The largest size of a coordinate over the boxes of the elements from..to-1.
int64_t ReachOf(const TElementList& list, int32_t from, int32_t to) {
  int64_t reach = 0;
  for (int32_t i = from; i < to; ++i) {
    TRect b;
    if (!TElementIndex::ElementBox(*list.Items(i), b)) continue;
    reach = std::max({reach, std::abs(int64_t(b.Left)), std::abs(int64_t(b.Right)),
                      std::abs(int64_t(b.Top)), std::abs(int64_t(b.Bottom))});
  }
  return reach;
}

}  // namespace

const TElementIndex* TPCBLayout::FreshIndex() const {
  if (!Indexed_) return nullptr;
  const TElementList& list = *Elements_;
  const uint64_t generation = list.Generation();
  if (IndexGeneration_ == generation) return &Index_;
  // A wire drawn, a pad placed, a paste or the undoing of one change only the end of the board:
  // the index stays good for the elements before the change, and the few after it are tried
  // one by one until there are enough of them to build the index again.
  const int32_t unchanged =
      IndexGeneration_ == ~uint64_t(0)
          ? 0
          : std::min({list.UnchangedBelow(IndexGeneration_), IndexedBelow_, Index_.Count()});
  const int32_t tail = list.Count() - unchanged;
  IndexGeneration_ = generation;
  if (tail <= std::max(256, unchanged / 256)) {
    IndexedBelow_ = unchanged;
    TailReach_ = ReachOf(list, unchanged, list.Count());
    return &Index_;
  }
  // Built again from scratch: for a board of a million elements that costs about what one walk
  // of it for a render costs.
  Index_.Build(list);
  IndexedBelow_ = list.Count();
  IndexReach_ = ReachOf(list, 0, list.Count());
  TailReach_ = 0;
  return &Index_;
}

void TPCBLayout::Nearby(const TRect& rect, std::vector<int32_t>& out) const {
  Index_.Query(rect, out);
  out.erase(std::lower_bound(out.begin(), out.end(), IndexedBelow_), out.end());
  for (int32_t i = IndexedBelow_; i < Elements_->Count(); ++i) out.push_back(i);
}

bool TPCBLayout::ScreenExact(TPoint offset, int64_t reach) const {
  int64_t boardReach = 0;
  if (FreshIndex())
    boardReach = std::max(IndexReach_, TailReach_);
  else  // without the index the boxes are worked out here, one walk of the board
    boardReach = ReachOf(*Elements_, 0, Elements_->Count());
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
