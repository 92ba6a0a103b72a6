#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "TTypes.h"

class TElementList;
class TPCBElement;

// A grid of square buckets over the board, in board units, so that the elements near a place are
// found without walking the whole board. Every element goes in each bucket its box touches; the
// answers come back as list positions in list order, so a caller gets exactly what a walk of the
// list would give, only sooner.
//
// The buckets are about the size of the elements themselves, whatever the extent of the board,
// and only the buckets holding something are kept (found through a hash table). A pad placed a
// kilometre away costs one bucket more, and the board around the origin stays spread over as
// many buckets as before.
//
// The box is the printed copper's: a wire's segment grown by half its printed width, a pad's
// square of its larger diameter. On the screen a thin wire is still drawn (and picked) one pixel
// wide, so a caller that works in pixels grows its rectangle by a pixel or two in board units.
//
// The index is a snapshot: after any change to the board it is built again (TBoardIndex keeps
// one in step with a board).
class TElementIndex {
 public:
  explicit TElementIndex() = default;

  // Indexes every element of the list, replacing what was there. With GROW, every box is grown by
  // that many board units on each side first, so that elements up to twice that far apart count
  // as meeting (the board check's clearance).
  void Build(const TElementList& list, int32_t grow = 0);
  void Clear();

  // The list positions (ascending, each once) of every element whose box meets the board
  // rectangle (all four bounds inclusive), plus every element whose box cannot be worked out
  // (a width divisor of zero), which meets every rectangle. An inverted rectangle meets only
  // those. With FROM, only positions from there on: a walk over pairs asks each element for the
  // later ones near it.
  void Query(const TRect& boardRect, std::vector<int32_t>& out, int32_t from = 0) const;

  // Every two elements I < J whose boxes meet, each pair once, in no particular order; elements
  // without a box are left out. Faster than a query per element, as it reads each bucket once.
  void ForEachPair(const std::function<void(int32_t i, int32_t j)>& visit) const;

  // How many elements the index was built over.
  int32_t Count() const { return static_cast<int32_t>(Boxes_.size()); }
  // The box of the element at a list position; false when it has none.
  bool BoxOf(int32_t position, TRect& box) const;

  // The box of one element in board units, clamped to the 32-bit range; false when it cannot be
  // worked out.
  static bool ElementBox(const TPCBElement& element, TRect& box);

 private:
  // The bucket column or row of a board coordinate: buckets are 2^Shift_ units wide.
  int32_t CellOf(int32_t v) const { return static_cast<int32_t>(int64_t{v} >> Shift_); }
  // Where the hash table starts looking for a cell: the top bits of a Fibonacci hash.
  size_t SlotOf(uint64_t key) const {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> TableShift_);
  }
  // The bucket at a column and row, or -1 where no element lies.
  int32_t BucketAt(int32_t col, int32_t row) const;
  // The bucket at a column and row, made when it is new.
  int32_t MakeBucket(int32_t col, int32_t row);
  void QueryAll(const TRect& r, int32_t from, std::vector<int32_t>& out) const;

  // The first and last bucket column and row of an element's box.
  struct Span {
    int32_t c0, c1, r0, r1;
  };
  struct Cell {
    int32_t col, row;
  };
  // One place of the hash table: a bucket's cell, and the bucket's number plus one (0: free).
  struct Slot {
    uint64_t key;
    uint32_t bucket;
  };

  std::vector<TRect> Boxes_;
  std::vector<uint8_t> HasBox_;
  std::vector<Span> Spans_;
  // The elements of bucket b are Items_[Starts_[b]] .. Items_[Starts_[b+1]-1], ascending; its
  // cell is Cells_[b].
  std::vector<uint32_t> Starts_;
  std::vector<int32_t> Items_;
  std::vector<Cell> Cells_;
  std::vector<Slot> Table_;
  int32_t TableShift_ = 64;
  // The columns and rows that hold any bucket.
  Span Extent_{0, -1, 0, -1};
  // Elements without a box (returned by every query), and elements whose box spans too many
  // buckets to list in each (tested one by one).
  std::vector<int32_t> Everywhere_;
  std::vector<int32_t> Large_;
  int32_t Shift_ = 0;
};
