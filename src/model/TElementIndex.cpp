#include "TElementIndex.h"

#include <algorithm>
#include <cmath>

#include "TBoardMath.h"
#include "TCopper.h"
#include "TElementList.h"

namespace {

// No side of the grid has more buckets than this, so a board of millions of elements still
// builds its grid in a few megabytes.
constexpr int64_t kMaxSide = 1024;
// An element whose box covers more buckets than this is kept aside and tested at each query
// rather than listed in every bucket (a pad or wire a hand-edited file made kilometres wide).
constexpr int64_t kMaxSpan = 64;

bool Meets(const TRect& a, const TRect& b) {
  return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

}  // namespace

bool TElementIndex::ElementBox(const TPCBElement& element, TRect& box) {
  // The copper's box, grown to a pad's hole, which is painted (white, or the board's colour) over
  // whatever lies beneath; half units round outward to whole ones. An element that makes no
  // copper has none: the screen may still show it, so it meets every rectangle.
  const TCopperShape copper = CopperOf(element);
  if (copper.Empty()) return false;
  const THalfBox b = ExtentOf(copper, true);
  box = {Clamp32(FloorDiv<int64_t>(b.Left, 2)), Clamp32(FloorDiv<int64_t>(b.Top, 2)),
         Clamp32(-FloorDiv<int64_t>(-b.Right, 2)), Clamp32(-FloorDiv<int64_t>(-b.Bottom, 2))};
  return true;
}

void TElementIndex::Clear() {
  Boxes_.clear();
  HasBox_.clear();
  Spans_.clear();
  Starts_.clear();
  Items_.clear();
  Everywhere_.clear();
  Large_.clear();
  Columns_ = Rows_ = 0;
}

void TElementIndex::Build(const TElementList& list, int32_t grow) {
  Clear();
  const int32_t n = list.Count();
  Boxes_.resize(static_cast<size_t>(n));
  HasBox_.assign(static_cast<size_t>(n), 0);
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  double sumW = 0, sumH = 0;
  int32_t boxed = 0;
  for (int32_t i = 0; i < n; ++i) {
    TRect& b = Boxes_[static_cast<size_t>(i)];
    if (!ElementBox(*list.Items(i), b)) {
      Everywhere_.push_back(i);
      continue;
    }
    if (grow > 0) {
      b = {Clamp32(int64_t{b.Left} - grow), Clamp32(int64_t{b.Top} - grow),
           Clamp32(int64_t{b.Right} + grow), Clamp32(int64_t{b.Bottom} + grow)};
    }
    HasBox_[static_cast<size_t>(i)] = 1;
    ++boxed;
    left = std::min<int64_t>(left, b.Left);
    top = std::min<int64_t>(top, b.Top);
    right = std::max<int64_t>(right, b.Right);
    bottom = std::max<int64_t>(bottom, b.Bottom);
    sumW += double(b.Right) - double(b.Left) + 1;
    sumH += double(b.Bottom) - double(b.Top) + 1;
  }
  if (boxed == 0) return;

  // About one element per bucket, but buckets no smaller than an average element, so that most
  // elements sit in one to four buckets.
  const int64_t w = right - left + 1, h = bottom - top + 1;
  double cell = std::sqrt(double(w) * double(h) / boxed);
  cell =
      std::max({cell, sumW / boxed, sumH / boxed, double(w) / kMaxSide, double(h) / kMaxSide, 1.0});
  Cell_ = static_cast<int64_t>(std::ceil(cell));
  OriginX_ = left;
  OriginY_ = top;
  Columns_ = std::min(kMaxSide, (w + Cell_ - 1) / Cell_);
  Rows_ = std::min(kMaxSide, (h + Cell_ - 1) / Cell_);

  // Counted first, then filled in list order, so each bucket lists its elements ascending. The
  // buckets each element covers are worked out once, for both passes.
  std::vector<Span>& spans = Spans_;
  spans.assign(static_cast<size_t>(n), Span{});
  Starts_.assign(static_cast<size_t>(Columns_ * Rows_ + 1), 0);
  for (int32_t i = 0; i < n; ++i) {
    if (!HasBox_[static_cast<size_t>(i)]) continue;
    const TRect& b = Boxes_[static_cast<size_t>(i)];
    Span& s = spans[static_cast<size_t>(i)];
    s = {static_cast<uint16_t>(Column(b.Left)), static_cast<uint16_t>(Column(b.Right)),
         static_cast<uint16_t>(Row(b.Top)), static_cast<uint16_t>(Row(b.Bottom))};
    if ((s.c1 - s.c0 + 1) * (s.r1 - s.r0 + 1) > kMaxSpan) {
      Large_.push_back(i);
      continue;
    }
    for (int64_t r = s.r0; r <= s.r1; ++r)
      for (int64_t c = s.c0; c <= s.c1; ++c) ++Starts_[static_cast<size_t>(r * Columns_ + c) + 1];
  }
  for (size_t b = 1; b < Starts_.size(); ++b) Starts_[b] += Starts_[b - 1];
  Items_.resize(Starts_.back());
  std::vector<uint32_t> next(Starts_.begin(), Starts_.end() - 1);
  auto large = Large_.begin();
  for (int32_t i = 0; i < n; ++i) {
    if (!HasBox_[static_cast<size_t>(i)]) continue;
    if (large != Large_.end() && *large == i) {
      ++large;
      continue;
    }
    const Span& s = spans[static_cast<size_t>(i)];
    for (int64_t r = s.r0; r <= s.r1; ++r)
      for (int64_t c = s.c0; c <= s.c1; ++c)
        Items_[next[static_cast<size_t>(r * Columns_ + c)]++] = i;
  }
}

bool TElementIndex::BoxOf(int32_t position, TRect& box) const {
  if (!HasBox_[static_cast<size_t>(position)]) return false;
  box = Boxes_[static_cast<size_t>(position)];
  return true;
}

void TElementIndex::QueryAll(const TRect& r, int32_t from, std::vector<int32_t>& out) const {
  const int32_t n = Count();
  for (int32_t i = std::max(from, 0); i < n; ++i) {
    if (!HasBox_[static_cast<size_t>(i)] || Meets(Boxes_[static_cast<size_t>(i)], r))
      out.push_back(i);
  }
}

void TElementIndex::Query(const TRect& r, std::vector<int32_t>& out, int32_t from) const {
  out.clear();
  if (r.Left > r.Right || r.Top > r.Bottom || Columns_ == 0) {
    for (int32_t i : Everywhere_)
      if (i >= from) out.push_back(i);
    return;
  }
  const int64_t c0 = Column(r.Left), c1 = Column(r.Right), r0 = Row(r.Top), r1 = Row(r.Bottom);
  const int64_t buckets = (c1 - c0 + 1) * (r1 - r0 + 1);
  // A rectangle over a good part of the board is answered faster by one walk of the boxes, which
  // also comes out in order.
  if (buckets * 4 >= Columns_ * Rows_) {
    QueryAll(r, from, out);
    return;
  }
  for (int64_t row = r0; row <= r1; ++row) {
    for (int64_t col = c0; col <= c1; ++col) {
      const size_t bucket = static_cast<size_t>(row * Columns_ + col);
      for (uint32_t k = Starts_[bucket]; k < Starts_[bucket + 1]; ++k) {
        const int32_t i = Items_[k];
        if (i < from) continue;
        // An element in several buckets is reported by the one holding the top left corner of
        // its overlap with the rectangle.
        const Span& s = Spans_[static_cast<size_t>(i)];
        if (std::max<int64_t>(s.c0, c0) != col || std::max<int64_t>(s.r0, r0) != row) continue;
        if (Meets(Boxes_[static_cast<size_t>(i)], r)) out.push_back(i);
      }
    }
  }
  for (int32_t i : Large_)
    if (i >= from && Meets(Boxes_[static_cast<size_t>(i)], r)) out.push_back(i);
  for (int32_t i : Everywhere_)
    if (i >= from) out.push_back(i);
  std::sort(out.begin(), out.end());
}

void TElementIndex::ForEachPair(const std::function<void(int32_t i, int32_t j)>& visit) const {
  // Bucket by bucket, the bucket's boxes copied out first so the pairs are tried on data at hand.
  // A pair in several buckets is visited in the one holding the top left corner of the overlap
  // of its two boxes.
  struct Item {
    TRect box;
    Span span;
    int32_t i;
  };
  std::vector<Item> items;
  for (int64_t row = 0; row < Rows_; ++row) {
    for (int64_t col = 0; col < Columns_; ++col) {
      const size_t bucket = static_cast<size_t>(row * Columns_ + col);
      items.clear();
      for (uint32_t k = Starts_[bucket]; k < Starts_[bucket + 1]; ++k) {
        const int32_t i = Items_[k];
        items.push_back({Boxes_[static_cast<size_t>(i)], Spans_[static_cast<size_t>(i)], i});
      }
      for (size_t a = 0; a < items.size(); ++a) {
        const Item& p = items[a];
        for (size_t b = a + 1; b < items.size(); ++b) {
          const Item& q = items[b];
          if (!Meets(p.box, q.box)) continue;
          if (std::max(p.span.c0, q.span.c0) != col || std::max(p.span.r0, q.span.r0) != row)
            continue;
          visit(p.i, q.i);
        }
      }
    }
  }
  // Elements kept aside meet the others through a query each; two of them meet once.
  std::vector<uint8_t> large(Boxes_.size(), 0);
  for (int32_t i : Large_) large[static_cast<size_t>(i)] = 1;
  std::vector<int32_t> near;
  for (int32_t i : Large_) {
    Query(Boxes_[static_cast<size_t>(i)], near);
    for (int32_t j : near) {
      if (j == i || !HasBox_[static_cast<size_t>(j)]) continue;
      if (large[static_cast<size_t>(j)] && j < i) continue;
      visit(std::min(i, j), std::max(i, j));
    }
  }
}
