#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "TCopper.h"

class TElementList;
class TElementIndex;

// The board's connections. A hand-drawn board has no netlist: copper that touches or overlaps is
// one island, whatever the user meant. Pairs are found through the spatial index, never all
// against all.
class TCopperIslands {
 public:
  // Called for every two elements I < J that make copper and whose boxes in the index meet, with
  // whether they touch, decided exactly.
  using PairVisitor = std::function<void(int32_t i, int32_t j, bool touching)>;
  // Asked for two elements already known to share an island, before whether they touch is worked
  // out: whether the visitor still wants it. Without it such pairs are passed over, which on a
  // dense board is most of them.
  using PairWanted = std::function<bool(int32_t i, int32_t j)>;

  explicit TCopperIslands() = default;

  // Works out every element's copper and island. The index must be built over the same list;
  // to be shown the pairs up to some distance apart, build it grown by half that distance.
  void Build(const TElementList& list, const TElementIndex& index,
             const PairVisitor& visit = nullptr, const PairWanted& sameIslandWanted = nullptr);

  const std::vector<TCopperShape>& Shapes() const { return Shapes_; }
  // One element's island: a list position that stands for it, the same for all its elements.
  int32_t IslandOf(int32_t position) const { return Islands_[static_cast<size_t>(position)]; }
  // The list positions, ascending, of everything on the islands of the given elements.
  std::vector<int32_t> ConnectedTo(const std::vector<int32_t>& positions) const;

 private:
  std::vector<TCopperShape> Shapes_;
  std::vector<int32_t> Islands_;
};
