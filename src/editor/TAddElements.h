#pragma once

#include "TBoardCommand.h"

// New elements put at the end of the board: a wire, a pad, a paste. Undone, they leave the
// board and wait in the step, selection marks and all, to come back at the end on redo.
class TAddElements : public TBoardCommand {
 public:
  TAddElements(TElementList& list, TElementList::Storage&& elements, const QString& text);

  void redo() override;
  void undo() override;

 private:
  TElementList::Storage Waiting_;
  int32_t Count_;
};
