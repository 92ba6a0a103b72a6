#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "TElementIndex.h"

class TElementList;

// The spatial index of one board, kept in step with it, for whoever asks for the elements near a
// place many times between two changes: the view's culling, the element under the pointer, the
// band. A wire drawn, a pad placed, a paste or the undoing of one change only the end of the
// board: the index stays good for the elements before the change, and the few after it are
// handed out with every answer, until there are enough of them to build the index again.
class TBoardIndex {
 public:
  explicit TBoardIndex() = default;

  // Brings the index in step with the board; nothing to do when the board has not changed since
  // the last call.
  void Update(const TElementList& list);

  // As of the last Update: the list positions, ascending and each once, of every element whose
  // box meets the board rectangle (or has no box), and of every element from IndexedBelow on,
  // which the caller tries one by one.
  void Nearby(const TRect& rect, std::vector<int32_t>& out) const;
  // The same for a caller that can trust the rectangle only for the elements whose boxes lie
  // within Reach of the origin in every coordinate (where its own sums stay inside 32 bits): the
  // elements beyond are handed out too, to be tried one by one. False, with nothing, when no
  // element can be trusted (a negative reach) or so many lie beyond that a walk does better.
  bool NearbyWithin(const TRect& rect, int64_t reach, std::vector<int32_t>& out) const;
  int32_t IndexedBelow() const { return IndexedBelow_; }
  // As of the last Update: at least the largest size of a board coordinate over the boxes of
  // the board's elements.
  int64_t Reach() const { return std::max(IndexReach_, TailReach_); }

  // The largest size of a board coordinate over the boxes of the elements From to To - 1.
  static int64_t ReachOf(const TElementList& list, int32_t from, int32_t to);

 private:
  TElementIndex Index_;
  // The board's change count at the last Update; none yet at first.
  uint64_t Generation_ = ~uint64_t(0);
  int32_t IndexedBelow_ = 0;
  int32_t Count_ = 0;
  // The indexed positions by the bit length of their reach (classes 0 to 32), each class
  // ascending: Beyond_[Classes_[c]] .. Beyond_[Classes_[c + 1] - 1].
  std::vector<int32_t> Beyond_;
  std::vector<uint32_t> Classes_;
  // The reach of the elements at the last build (some may have gone since), and of those past
  // IndexedBelow.
  int64_t IndexReach_ = 0;
  int64_t TailReach_ = 0;
};
