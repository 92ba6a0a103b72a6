#include "TElementIndex.h"

#include <algorithm>

#include "TBoardMath.h"
#include "TCopper.h"
#include "TCopperFill.h"
#include "TCopperText.h"
#include "TElementList.h"

namespace {

// An element whose box covers more buckets than this is kept aside and tested at each query
// rather than listed in every bucket (a pad or wire a hand-edited file made kilometres wide).
constexpr int64_t kMaxSpan = 64;

bool Meets(const TRect& a, const TRect& b) {
  return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

uint64_t KeyOf(int32_t col, int32_t row) {
  return uint64_t{static_cast<uint32_t>(row)} << 32 | static_cast<uint32_t>(col);
}

}  // namespace

bool TElementIndex::ElementBox(const TPCBElement& element, TRect& box) {
  // The copper's box, grown to a pad's hole, which is painted (white, or the board's colour) over
  // whatever lies beneath; half units round outward to whole ones. An element that makes no
  // copper has none: the screen may still show it, so it meets every rectangle. A text's box
  // holds all its strokes; one of blanks alone is the point of its anchor.
  THalfBox b;
  if (element.Kind() == ekFill) {
    // A fill's copper lies inside its outline: the outline's box holds it.
    const std::vector<TPoint>& corners = static_cast<const TCopperFill&>(element).Corners();
    if (corners.empty()) return false;
    box = {corners[0].X, corners[0].Y, corners[0].X, corners[0].Y};
    for (const TPoint& c : corners)
      box = {std::min(box.Left, c.X), std::min(box.Top, c.Y), std::max(box.Right, c.X),
             std::max(box.Bottom, c.Y)};
    return true;
  }
  if (element.Kind() == ekText) {
    const auto& text = static_cast<const TCopperText&>(element);
    const std::vector<TCopperShape>& strokes = text.Strokes();
    if (strokes.empty()) {
      box = {text.Anchor().X, text.Anchor().Y, text.Anchor().X, text.Anchor().Y};
      return true;
    }
    b = ExtentOf(strokes.front(), false);
    for (const TCopperShape& s : strokes) {
      const THalfBox e = ExtentOf(s, false);
      b = {std::min(b.Left, e.Left), std::min(b.Top, e.Top), std::max(b.Right, e.Right),
           std::max(b.Bottom, e.Bottom)};
    }
  } else {
    const TCopperShape copper = CopperOf(element);
    if (copper.Empty()) return false;
    b = ExtentOf(copper, true);
  }
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
  Cells_.clear();
  Table_.clear();
  TableShift_ = 64;
  Extent_ = {0, -1, 0, -1};
  Everywhere_.clear();
  Large_.clear();
  Shift_ = 0;
}

int32_t TElementIndex::BucketAt(int32_t col, int32_t row) const {
  if (Table_.empty()) return -1;
  const uint64_t key = KeyOf(col, row);
  const size_t mask = Table_.size() - 1;
  for (size_t s = SlotOf(key);; s = (s + 1) & mask) {
    const Slot& slot = Table_[s];
    if (slot.bucket == 0) return -1;
    if (slot.key == key) return static_cast<int32_t>(slot.bucket - 1);
  }
}

int32_t TElementIndex::MakeBucket(int32_t col, int32_t row) {
  // Kept at most half full, so that a look-up, found or not, reads a place or two.
  if ((Cells_.size() + 1) * 2 > Table_.size()) {
    const size_t size = std::max<size_t>(64, Table_.size() * 2);
    Table_.assign(size, Slot{0, 0});
    TableShift_ = 64;
    for (size_t s = size; s > 1; s >>= 1) --TableShift_;
    const size_t mask = size - 1;
    for (size_t b = 0; b < Cells_.size(); ++b) {
      const uint64_t key = KeyOf(Cells_[b].col, Cells_[b].row);
      size_t s = SlotOf(key);
      while (Table_[s].bucket != 0) s = (s + 1) & mask;
      Table_[s] = {key, static_cast<uint32_t>(b + 1)};
    }
  }
  const uint64_t key = KeyOf(col, row);
  const size_t mask = Table_.size() - 1;
  size_t s = SlotOf(key);
  for (; Table_[s].bucket != 0; s = (s + 1) & mask)
    if (Table_[s].key == key) return static_cast<int32_t>(Table_[s].bucket - 1);
  Cells_.push_back({col, row});
  Table_[s] = {key, static_cast<uint32_t>(Cells_.size())};
  return static_cast<int32_t>(Cells_.size() - 1);
}

void TElementIndex::Build(const TElementList& list, int32_t grow) {
  Clear();
  const int32_t n = list.Count();
  Boxes_.resize(static_cast<size_t>(n));
  HasBox_.assign(static_cast<size_t>(n), 0);
  std::vector<int64_t> sides;
  sides.reserve(static_cast<size_t>(n));
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
    sides.push_back(std::max(int64_t{b.Right} - b.Left, int64_t{b.Bottom} - b.Top) + 1);
  }
  if (sides.empty()) return;

  // Buckets about as wide as an element: the mean size over all but the smallest and the largest
  // tenth of the elements, so that a few kilometre-wide oddities change nothing, nor does one
  // element more or less (but for the rounding). A power of two, so that a coordinate's bucket is a
  // shift away. How far apart the elements lie plays no part: empty buckets are never made.
  const auto tenth = static_cast<std::ptrdiff_t>(sides.size() / 10);
  std::nth_element(sides.begin(), sides.begin() + tenth, sides.end());
  std::nth_element(sides.begin() + tenth, sides.end() - tenth - 1, sides.end());
  double sum = 0;
  for (auto k = sides.begin() + tenth; k != sides.end() - tenth; ++k) sum += double(*k);
  const double mean = sum / double(sides.size() - 2 * static_cast<size_t>(tenth));
  while (Shift_ < 33 && double(int64_t{1} << Shift_) < mean) ++Shift_;

  // Each element's buckets are made in list order and remembered, then counted and filled in the
  // same order, so each bucket lists its elements ascending.
  Spans_.assign(static_cast<size_t>(n), Span{0, -1, 0, -1});
  Extent_ = {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
  std::vector<uint32_t> buckets;
  buckets.reserve(sides.size() * 2);
  for (int32_t i = 0; i < n; ++i) {
    if (!HasBox_[static_cast<size_t>(i)]) continue;
    const TRect& b = Boxes_[static_cast<size_t>(i)];
    Span& s = Spans_[static_cast<size_t>(i)];
    s = {CellOf(b.Left), CellOf(b.Right), CellOf(b.Top), CellOf(b.Bottom)};
    const int64_t cols = int64_t{s.c1} - s.c0 + 1, rows = int64_t{s.r1} - s.r0 + 1;
    if (cols > kMaxSpan || rows > kMaxSpan || cols * rows > kMaxSpan) {
      Large_.push_back(i);
      continue;
    }
    Extent_ = {std::min(Extent_.c0, s.c0), std::max(Extent_.c1, s.c1), std::min(Extent_.r0, s.r0),
               std::max(Extent_.r1, s.r1)};
    for (int32_t r = s.r0; r <= s.r1; ++r)
      for (int32_t c = s.c0; c <= s.c1; ++c)
        buckets.push_back(static_cast<uint32_t>(MakeBucket(c, r)));
  }
  Starts_.assign(Cells_.size() + 1, 0);
  for (uint32_t b : buckets) ++Starts_[b + 1];
  for (size_t b = 1; b < Starts_.size(); ++b) Starts_[b] += Starts_[b - 1];
  Items_.resize(Starts_.back());
  std::vector<uint32_t> next(Starts_.begin(), Starts_.end() - 1);
  auto bucket = buckets.begin();
  auto large = Large_.begin();
  for (int32_t i = 0; i < n; ++i) {
    if (!HasBox_[static_cast<size_t>(i)]) continue;
    if (large != Large_.end() && *large == i) {
      ++large;
      continue;
    }
    const Span& s = Spans_[static_cast<size_t>(i)];
    const int64_t cells = (int64_t{s.c1} - s.c0 + 1) * (int64_t{s.r1} - s.r0 + 1);
    for (int64_t k = 0; k < cells; ++k) Items_[next[*bucket++]++] = i;
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
  if (r.Left <= r.Right && r.Top <= r.Bottom) {
    // Only the columns and rows that hold buckets are looked at.
    const int32_t c0 = std::max(CellOf(r.Left), Extent_.c0),
                  c1 = std::min(CellOf(r.Right), Extent_.c1),
                  r0 = std::max(CellOf(r.Top), Extent_.r0),
                  r1 = std::min(CellOf(r.Bottom), Extent_.r1);
    if (c0 <= c1 && r0 <= r1) {
      // A rectangle over a good part of the buckets there are (a view over much of the board, or
      // over the empty space between the board and a far element) is answered faster by one walk
      // of the boxes, which also comes out in order.
      const double cells = (double(c1) - c0 + 1) * (double(r1) - r0 + 1);
      if (cells * 4 >= double(Cells_.size())) {
        QueryAll(r, from, out);
        return;
      }
      for (int32_t row = r0; row <= r1; ++row) {
        for (int32_t col = c0; col <= c1; ++col) {
          const int32_t bucket = BucketAt(col, row);
          if (bucket < 0) continue;
          const auto end = Items_.begin() + Starts_[static_cast<size_t>(bucket) + 1];
          auto k = Items_.begin() + Starts_[static_cast<size_t>(bucket)];
          if (from > 0) k = std::lower_bound(k, end, from);
          for (; k != end; ++k) {
            const int32_t i = *k;
            // An element in several buckets is reported by the one holding the top left corner
            // of its overlap with the rectangle.
            const Span& s = Spans_[static_cast<size_t>(i)];
            if (std::max(s.c0, c0) != col || std::max(s.r0, r0) != row) continue;
            if (Meets(Boxes_[static_cast<size_t>(i)], r)) out.push_back(i);
          }
        }
      }
    }
    for (int32_t i : Large_)
      if (i >= from && Meets(Boxes_[static_cast<size_t>(i)], r)) out.push_back(i);
  }
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
  for (size_t bucket = 0; bucket < Cells_.size(); ++bucket) {
    const Cell cell = Cells_[bucket];
    items.clear();
    for (uint32_t k = Starts_[bucket]; k < Starts_[bucket + 1]; ++k) {
      const int32_t i = Items_[k];
      items.push_back({Boxes_[static_cast<size_t>(i)], Spans_[static_cast<size_t>(i)], i});
    }
    // Left to right, each box tried only against the ones that start before it ends.
    std::sort(items.begin(), items.end(),
              [](const Item& p, const Item& q) { return p.box.Left < q.box.Left; });
    for (size_t a = 0; a < items.size(); ++a) {
      const Item& p = items[a];
      for (size_t b = a + 1; b < items.size() && items[b].box.Left <= p.box.Right; ++b) {
        const Item& q = items[b];
        if (p.box.Top > q.box.Bottom || q.box.Top > p.box.Bottom) continue;
        if (std::max(p.span.c0, q.span.c0) != cell.col ||
            std::max(p.span.r0, q.span.r0) != cell.row)
          continue;
        visit(std::min(p.i, q.i), std::max(p.i, q.i));
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
