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
//
// An element may make several pieces of copper (a text, a track a stroke): it touches another
// element when any of its pieces touches any of the other's. A fill's copper keeps its clearance
// to everything but the island it joins, so it touches nothing: it is on the island of the copper
// under its seed, and alone on its own when that is none.
class TCopperIslands {
 public:
  // Called for every two elements I < J that make copper and whose boxes in the index meet, with
  // whether they touch, decided exactly.
  using PairVisitor = std::function<void(int32_t i, int32_t j, bool touching)>;
  // Asked for two elements already known to share an island, before whether they touch is worked
  // out: whether the visitor still wants it. Without it such pairs are passed over, which on a
  // dense board is most of them.
  using PairWanted = std::function<bool(int32_t i, int32_t j)>;

  // The pieces of one element, as AppendCopperOf gives them: one for a wire or a pad (empty when
  // it makes no copper), a track a stroke for a text.
  struct TPieces {
    const TCopperShape* Begin;
    const TCopperShape* End;
    const TCopperShape* begin() const { return Begin; }
    const TCopperShape* end() const { return End; }
  };

  explicit TCopperIslands() = default;

  // Works out every element's copper and island. The index must be built over the same list;
  // to be shown the pairs up to some distance apart, build it grown by half that distance.
  void Build(const TElementList& list, const TElementIndex& index,
             const PairVisitor& visit = nullptr, const PairWanted& sameIslandWanted = nullptr);

  TPieces PiecesOf(int32_t position) const {
    const TCopperShape* base = Shapes_.data();
    if (First_.empty()) return {base + position, base + position + 1};
    return {base + First_[static_cast<size_t>(position)],
            base + First_[static_cast<size_t>(position) + 1]};
  }
  // One element's island: a list position that stands for it, the same for all its elements.
  int32_t IslandOf(int32_t position) const { return Islands_[static_cast<size_t>(position)]; }
  // The island of the copper that touches a board point (a disc of no size there, exactly), or
  // -1 when the point lies on no copper. Fills make no pieces of their own and are never found.
  int32_t IslandAt(const TElementList& list, const TElementIndex& index, TPoint p) const;
  // The list positions, ascending, of everything on the islands of the given elements.
  std::vector<int32_t> ConnectedTo(const std::vector<int32_t>& positions) const;

 private:
  // Every element's pieces one after the other; where each element's start, when some element
  // makes other than one piece (none on a board of wires and pads, where piece I is element I's).
  std::vector<TCopperShape> Shapes_;
  std::vector<uint32_t> First_;
  std::vector<int32_t> Islands_;
};

// Whether any piece of one element touches any piece of another; whether any comes closer than
// the gap; and the closest two, for showing the user (of elements that make copper).
bool PiecesTouch(TCopperIslands::TPieces a, TCopperIslands::TPieces b);
bool PiecesCloser(TCopperIslands::TPieces a, TCopperIslands::TPieces b, int64_t gapNm);
TCopperGap PiecesGap(TCopperIslands::TPieces a, TCopperIslands::TPieces b);
