#include "TAddElements.h"

TAddElements::TAddElements(TElementList& list, TElementList::Storage&& elements,
                           const QString& text)
    : TBoardCommand(list, text),
      Waiting_(std::move(elements)),
      Count_(static_cast<int32_t>(Waiting_.size())) {}

void TAddElements::redo() {
  List_.AppendAll(std::move(Waiting_));
  // While the elements are on the board the step holds nothing of them.
  TElementList::Storage().swap(Waiting_);
  Redraw();
}

void TAddElements::undo() {
  // Later steps were undone first, so these elements are the last of the board again.
  Waiting_ = List_.TakeLast(Count_);
  Redraw();
}
