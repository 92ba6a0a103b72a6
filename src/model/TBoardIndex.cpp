#include "TBoardIndex.h"

#include <cstdlib>

#include "TElementList.h"

namespace {

// Reaches go up to 2^31, 32 bits long.
constexpr int kClasses = 33;

int ClassOf(int64_t reach) { return reach <= 0 ? 0 : 64 - __builtin_clzll(uint64_t(reach)); }

// The largest size of a coordinate over a box.
int64_t ReachOfBox(const TRect& b) {
  return std::max({std::abs(int64_t(b.Left)), std::abs(int64_t(b.Right)), std::abs(int64_t(b.Top)),
                   std::abs(int64_t(b.Bottom))});
}

}  // namespace

int64_t TBoardIndex::ReachOf(const TElementList& list, int32_t from, int32_t to) {
  int64_t reach = 0;
  for (int32_t i = from; i < to; ++i) {
    TRect b;
    if (!TElementIndex::ElementBox(*list.Items(i), b)) continue;
    reach = std::max(reach, ReachOfBox(b));
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
  TailReach_ = 0;
  // Each element's reach, sorted into classes by its bit length: counted, then placed.
  std::vector<uint8_t> classOf(static_cast<size_t>(Count_), 0);
  Classes_.assign(kClasses + 1, 0);
  IndexReach_ = 0;
  for (int32_t i = 0; i < Count_; ++i) {
    TRect b;
    if (!Index_.BoxOf(i, b)) continue;
    const int64_t reach = ReachOfBox(b);
    IndexReach_ = std::max(IndexReach_, reach);
    const int c = ClassOf(reach);
    classOf[static_cast<size_t>(i)] = static_cast<uint8_t>(c);
    ++Classes_[static_cast<size_t>(c) + 1];
  }
  for (size_t c = 1; c < Classes_.size(); ++c) Classes_[c] += Classes_[c - 1];
  Beyond_.resize(Classes_.back());
  std::vector<uint32_t> next(Classes_.begin(), Classes_.end() - 1);
  for (int32_t i = 0; i < Count_; ++i) {
    TRect b;
    if (Index_.BoxOf(i, b)) Beyond_[next[classOf[static_cast<size_t>(i)]]++] = i;
  }
}

void TBoardIndex::Nearby(const TRect& rect, std::vector<int32_t>& out) const {
  Index_.Query(rect, out);
  out.erase(std::lower_bound(out.begin(), out.end(), IndexedBelow_), out.end());
  for (int32_t i = IndexedBelow_; i < Count_; ++i) out.push_back(i);
}

bool TBoardIndex::NearbyWithin(const TRect& rect, int64_t reach, std::vector<int32_t>& out) const {
  out.clear();
  if (reach < 0) return false;
  if (reach >= IndexReach_) {
    Nearby(rect, out);
    return true;
  }
  // Every class above the one of Reach lies beyond it; of that class, those past it. The
  // elements changed since the build are in the tail, handed out anyway.
  const int first = ClassOf(reach);
  std::vector<int32_t> beyond;
  for (int c = kClasses - 1; c >= first; --c) {
    const auto from = Beyond_.begin() + Classes_[static_cast<size_t>(c)];
    const auto to = Beyond_.begin() + Classes_[static_cast<size_t>(c) + 1];
    for (auto k = from; k != to && *k < IndexedBelow_; ++k) {
      TRect b;
      Index_.BoxOf(*k, b);
      if (c > first || ReachOfBox(b) > reach) beyond.push_back(*k);
    }
    if (beyond.size() * 8 > static_cast<size_t>(Count_) + 64) return false;
  }
  Nearby(rect, out);
  const auto tail = std::lower_bound(out.begin(), out.end(), IndexedBelow_);
  const auto middle = out.insert(tail, beyond.begin(), beyond.end());
  std::sort(middle, middle + static_cast<std::ptrdiff_t>(beyond.size()));
  std::inplace_merge(out.begin(), middle, middle + static_cast<std::ptrdiff_t>(beyond.size()));
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return true;
}
