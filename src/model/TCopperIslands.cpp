#include "TCopperIslands.h"

#include <algorithm>

#include "TCopperFill.h"
#include "TElementIndex.h"
#include "TElementList.h"

namespace {

int32_t Find(std::vector<int32_t>& parent, int32_t i) {
  while (parent[static_cast<size_t>(i)] != i) {
    int32_t& p = parent[static_cast<size_t>(i)];
    p = parent[static_cast<size_t>(p)];
    i = p;
  }
  return i;
}

bool HasCopper(TCopperIslands::TPieces p) {
  return std::any_of(p.begin(), p.end(), [](const TCopperShape& s) { return !s.Empty(); });
}

// Whether two pieces' boxes, grown by MARGIN half units, meet: most stroke pairs of two texts
// side by side are turned away here.
bool BoxesMeet(const TCopperShape& a, const TCopperShape& b, int64_t margin) {
  const THalfBox p = ExtentOf(a, false), q = ExtentOf(b, false);
  return p.Left <= q.Right + margin && q.Left <= p.Right + margin && p.Top <= q.Bottom + margin &&
         q.Top <= p.Bottom + margin;
}

// Tries PAIR on every two pieces of copper, one of each element, until it answers true.
template <class Pair>
bool AnyPair(TCopperIslands::TPieces a, TCopperIslands::TPieces b, Pair pair) {
  const bool one = a.End - a.Begin == 1 && b.End - b.Begin == 1;
  for (const TCopperShape& p : a)
    for (const TCopperShape& q : b)
      if (!p.Empty() && !q.Empty() && pair(p, q, one)) return true;
  return false;
}

}  // namespace

bool PiecesTouch(TCopperIslands::TPieces a, TCopperIslands::TPieces b) {
  return AnyPair(a, b, [](const TCopperShape& p, const TCopperShape& q, bool one) {
    return (one || BoxesMeet(p, q, 0)) && CopperTouches(p, q);
  });
}

bool PiecesCloser(TCopperIslands::TPieces a, TCopperIslands::TPieces b, int64_t gapNm) {
  // The gap in half units, rounded up, is all a box needs to grow by.
  const int64_t margin = gapNm / (NanometresPerUnit / 2) + 1;
  return AnyPair(a, b, [margin, gapNm](const TCopperShape& p, const TCopperShape& q, bool one) {
    return (one || BoxesMeet(p, q, margin)) && CopperCloser(p, q, gapNm);
  });
}

TCopperGap PiecesGap(TCopperIslands::TPieces a, TCopperIslands::TPieces b) {
  TCopperGap best;
  bool found = false;
  AnyPair(a, b, [&](const TCopperShape& p, const TCopperShape& q, bool) {
    const TCopperGap gap = CopperGap(p, q);
    if (!found || gap.Distance < best.Distance) best = gap;
    found = true;
    return false;
  });
  return best;
}

void TCopperIslands::Build(const TElementList& list, const TElementIndex& index,
                           const PairVisitor& visit, const PairWanted& sameIslandWanted) {
  const int32_t n = list.Count();
  Shapes_.clear();
  First_.clear();
  Shapes_.reserve(static_cast<size_t>(n));
  Islands_.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const TPCBElement& e = *list.Items(i);
    // Only a board with text needs to know where each element's pieces start: then First_ holds
    // every element's start and, last, the end of all.
    if (e.Kind() == ekText && First_.empty())
      for (int32_t k = 0; k <= i; ++k) First_.push_back(static_cast<uint32_t>(k));
    AppendCopperOf(e, Shapes_);
    if (!First_.empty()) First_.push_back(static_cast<uint32_t>(Shapes_.size()));
    Islands_[static_cast<size_t>(i)] = i;
  }
  const bool onePiece = First_.empty();
  index.ForEachPair([&](int32_t i, int32_t j) {
    bool touching;
    if (onePiece) {
      const TCopperShape& a = Shapes_[static_cast<size_t>(i)];
      const TCopperShape& b = Shapes_[static_cast<size_t>(j)];
      if (a.Empty() || b.Empty()) return;
      const int32_t ri = Find(Islands_, i), rj = Find(Islands_, j);
      if (ri == rj && !(sameIslandWanted && sameIslandWanted(i, j))) return;
      touching = CopperTouches(a, b);
      if (touching && ri != rj) Islands_[static_cast<size_t>(std::max(ri, rj))] = std::min(ri, rj);
    } else {
      const TPieces a = PiecesOf(i), b = PiecesOf(j);
      if (!HasCopper(a) || !HasCopper(b)) return;
      const int32_t ri = Find(Islands_, i), rj = Find(Islands_, j);
      if (ri == rj && !(sameIslandWanted && sameIslandWanted(i, j))) return;
      touching = PiecesTouch(a, b);
      if (touching && ri != rj) Islands_[static_cast<size_t>(std::max(ri, rj))] = std::min(ri, rj);
    }
    // The smaller stand-in wins, so an island is named by its first element.
    if (visit) visit(i, j, touching);
  });
  for (int32_t i = 0; i < n; ++i) Islands_[static_cast<size_t>(i)] = Find(Islands_, i);
  // Every fill joins the island under its seed, which its own copper never changes.
  bool joined = false;
  for (int32_t i = 0; i < n; ++i) {
    const TPCBElement& e = *list.Items(i);
    if (e.Kind() != ekFill || !static_cast<const TCopperFill&>(e).HasSeed()) continue;
    const int32_t island = IslandAt(list, index, static_cast<const TCopperFill&>(e).Seed());
    if (island < 0) continue;
    const int32_t ri = Find(Islands_, i), rj = Find(Islands_, island);
    if (ri != rj) Islands_[static_cast<size_t>(std::max(ri, rj))] = std::min(ri, rj);
    joined = true;
  }
  if (joined)
    for (int32_t i = 0; i < n; ++i) Islands_[static_cast<size_t>(i)] = Find(Islands_, i);
}

int32_t TCopperIslands::IslandAt(const TElementList& list, const TElementIndex& index,
                                 TPoint p) const {
  std::vector<int32_t> near;
  index.Query({p.X, p.Y, p.X, p.Y}, near);
  const TCopperShape dot = CopperDisc(2 * int64_t{p.X}, 2 * int64_t{p.Y}, 0);
  for (int32_t j : near) {
    if (j >= list.Count() || list.Items(j)->Kind() == ekFill) continue;
    for (const TCopperShape& s : PiecesOf(j))
      if (!s.Empty() && CopperTouches(s, dot)) return IslandOf(j);
  }
  return -1;
}

std::vector<int32_t> TCopperIslands::ConnectedTo(const std::vector<int32_t>& positions) const {
  std::vector<uint8_t> chosen(Islands_.size(), 0);
  for (int32_t p : positions) chosen[static_cast<size_t>(IslandOf(p))] = 1;
  std::vector<int32_t> out;
  for (size_t i = 0; i < Islands_.size(); ++i)
    if (chosen[static_cast<size_t>(Islands_[i])]) out.push_back(static_cast<int32_t>(i));
  return out;
}
