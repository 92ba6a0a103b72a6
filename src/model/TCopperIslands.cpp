#include "TCopperIslands.h"

#include <algorithm>

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

}  // namespace

void TCopperIslands::Build(const TElementList& list, const TElementIndex& index,
                           const PairVisitor& visit, const PairWanted& sameIslandWanted) {
  const int32_t n = list.Count();
  Shapes_.resize(static_cast<size_t>(n));
  Islands_.resize(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    Shapes_[static_cast<size_t>(i)] = CopperOf(*list.Items(i));
    Islands_[static_cast<size_t>(i)] = i;
  }
  index.ForEachPair([&](int32_t i, int32_t j) {
    const TCopperShape& a = Shapes_[static_cast<size_t>(i)];
    const TCopperShape& b = Shapes_[static_cast<size_t>(j)];
    if (a.Empty() || b.Empty()) return;
    const int32_t ri = Find(Islands_, i), rj = Find(Islands_, j);
    if (ri == rj && !(sameIslandWanted && sameIslandWanted(i, j))) return;
    const bool touching = CopperTouches(a, b);
    // The smaller stand-in wins, so an island is named by its first element.
    if (touching && ri != rj) Islands_[static_cast<size_t>(std::max(ri, rj))] = std::min(ri, rj);
    if (visit) visit(i, j, touching);
  });
  for (int32_t i = 0; i < n; ++i) Islands_[static_cast<size_t>(i)] = Find(Islands_, i);
}

std::vector<int32_t> TCopperIslands::ConnectedTo(const std::vector<int32_t>& positions) const {
  std::vector<uint8_t> chosen(Islands_.size(), 0);
  for (int32_t p : positions) chosen[static_cast<size_t>(IslandOf(p))] = 1;
  std::vector<int32_t> out;
  for (size_t i = 0; i < Islands_.size(); ++i)
    if (chosen[static_cast<size_t>(Islands_[i])]) out.push_back(static_cast<int32_t>(i));
  return out;
}
