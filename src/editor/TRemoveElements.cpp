#include "TRemoveElements.h"

TRemoveElements::TRemoveElements(TElementList& list, std::vector<int32_t>&& indices,
                                 const QString& text)
    : TBoardCommand(list, text), Indices_(std::move(indices)) {}

void TRemoveElements::redo() {
  Removed_ = List_.TakeAt(Indices_);
  Redraw();
}

void TRemoveElements::undo() {
  List_.PutBack(Indices_, std::move(Removed_));
  TElementList::Storage().swap(Removed_);
  Redraw();
}
