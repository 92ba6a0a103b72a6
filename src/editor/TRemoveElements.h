#pragma once

#include "TBoardCommand.h"

// Elements taken off the board: the delete tool, Delete, Cut. The step owns them while they are
// off and puts each back at its old place in the list on undo, so the drawing order and the
// bytes a save writes come back exactly.
class TRemoveElements : public TBoardCommand {
 public:
  // Indices ascend, each once.
  TRemoveElements(TElementList& list, std::vector<int32_t>&& indices, const QString& text);

  void redo() override;
  void undo() override;

 private:
  std::vector<int32_t> Indices_;
  TElementList::Storage Removed_;
};
