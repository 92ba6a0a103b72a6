#include "TBoardIndex.h"

#include <cstdlib>

#include "TElementList.h"

int64_t TBoardIndex::ReachOf(const TElementList& list, int32_t from, int32_t to) {
  int64_t reach = 0;
  for (int32_t i = from; i < to; ++i) {
    TRect b;
    if (!TElementIndex::ElementBox(*list.Items(i), b)) continue;
    reach = std::max({reach, std::abs(int64_t(b.Left)), std::abs(int64_t(b.Right)),
                      std::abs(int64_t(b.Top)), std::abs(int64_t(b.Bottom))});
  }
  return reach;
}

void TBoardIndex::Update(const TElementList& list) {
  const uint64_t generation = list.Generation();
  if (Generation_ == generation) return;
  const int32_t unchanged =
      Generation_ == ~uint64_t(0)
          ? 0
          : std::min({list.UnchangedBelow(Generation_), IndexedBelow_, Index_.Count()});
  Generation_ = generation;
  Count_ = list.Count();
  const int32_t tail = Count_ - unchanged;
  if (tail <= std::max(256, unchanged / 256)) {
    IndexedBelow_ = unchanged;
    TailReach_ = ReachOf(list, unchanged, Count_);
    return;
  }
  // Built again from scratch: for a board of a million elements that costs about what one walk
  // of it for a render costs.
  Index_.Build(list);
  IndexedBelow_ = Count_;
  IndexReach_ = ReachOf(list, 0, Count_);
  TailReach_ = 0;
}

void TBoardIndex::Nearby(const TRect& rect, std::vector<int32_t>& out) const {
  Index_.Query(rect, out);
  out.erase(std::lower_bound(out.begin(), out.end(), IndexedBelow_), out.end());
  for (int32_t i = IndexedBelow_; i < Count_; ++i) out.push_back(i);
}
