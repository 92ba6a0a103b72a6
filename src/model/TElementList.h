#pragma once

#include <QString>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "TPCBElement.h"
#include "TSolder.h"
#include "TWire.h"

// The board: every wire and pad in creation order. The order matters: wires are drawn in it and
// then pads, so a later element covers an earlier one of its kind; the element under the pointer
// is searched from the top down; files and the clipboard keep it within each kind.
class TElementList {
 public:
  using Storage = std::vector<std::unique_ptr<TPCBElement>>;

  explicit TElementList(TLayoutView* layout) : Layout_(layout) {}
  TElementList(const TElementList&) = delete;
  TElementList& operator=(const TElementList&) = delete;

  TLayoutView* Layout() const { return Layout_; }
  int32_t Count() const { return static_cast<int32_t>(Elements_.size()); }
  TPCBElement* Items(int32_t index) const { return Elements_[static_cast<size_t>(index)].get(); }

  // New elements are appended last and start unselected.
  TWire* AddWire(TPoint start, TPoint end, int32_t widthDivisor);
  TSolder* AddSolder(TPoint center, int32_t internalDiameter, int32_t externalDiameter,
                     uint8_t geometry);
  void Append(std::unique_ptr<TPCBElement> element);
  void AppendAll(Storage&& elements);

  // Removal closes the gap; the others keep their order.
  void Delete(int32_t index);
  // Taking elements out alive and putting them back where they were, for the undo history: the
  // board keeps its order, and with it the drawing order and the bytes a save writes.
  std::unique_ptr<TPCBElement> Take(int32_t index);
  void Insert(int32_t index, std::unique_ptr<TPCBElement> element);
  // The same for many at once, in one pass over the board: the indices ascend, and PutBack takes
  // the indices the elements had before they were taken.
  Storage TakeAt(const std::vector<int32_t>& indices);
  void PutBack(const std::vector<int32_t>& indices, Storage&& elements);
  // The last Count elements, taken from the end of the board.
  Storage TakeLast(int32_t count);
  bool Remove(const TPCBElement* element);
  template <class Pred>
  int32_t RemoveIf(Pred pred) {
    const size_t before = Elements_.size();
    Elements_.erase(std::remove_if(Elements_.begin(), Elements_.end(),
                                   [&](const std::unique_ptr<TPCBElement>& e) { return pred(*e); }),
                    Elements_.end());
    Changed(0);
    return static_cast<int32_t>(before - Elements_.size());
  }
  // Puts a whole new board in place of the old one, which is destroyed.
  void Replace(Storage&& elements);
  // Destroys every element and nothing else.
  void FreeAll();

  // Empties the board and resets the view: the board origin back at the top left, no unsaved
  // changes, any tool action in progress forgotten, and the empty board drawn again.
  void Clear();

  // Board files; the format is chosen by the file name's extension.
  // Returns how many records of kinds this version does not know were passed over.
  int32_t LoadFromFile(const QString& fileName);
  void SaveToFile(const QString& fileName);

  // Counts the changes to the board: every element added, removed, moved or edited. Whoever
  // keeps something worked out from the board (an index, a copy for recovery) compares it with
  // the count it was made at. Editing an element in place must be followed by Changed().
  uint64_t Generation() const { return Generation_; }
  // A change that left the elements before list position From where and as they were says so,
  // so that an index of the board need only look again at the elements from there on.
  void Changed(int32_t from = 0) {
    ++Generation_;
    Touched_[Generation_ % Touched_.size()] = from;
  }
  // The list position before which no change since the given count touched any element; 0 when
  // that count lies too far back to tell.
  int32_t UnchangedBelow(uint64_t generation) const;

 private:
  friend void UpdateFills(const TElementList& list);

  TLayoutView* Layout_;
  Storage Elements_;
  uint64_t Generation_ = 0;
  // The first position each of the last few changes touched, by change count.
  std::array<int32_t, 32> Touched_{};
  // The change count the fills' copper was last worked out at (none yet: all ones).
  mutable uint64_t FillsAt_ = ~uint64_t{0};
};
