#pragma once

#include "TBoardCommand.h"
#include "TElementTransform.h"

// Elements turned a quarter round or mirrored about a grid point. The step keeps their positions,
// the pivot and the turn; undo turns them back about the same pivot, which lands on the very
// same coordinates even where the arithmetic wrapped.
class TTransformElements : public TBoardCommand {
 public:
  // Indices ascend. Pushed not yet done.
  TTransformElements(TElementList& list, std::vector<int32_t>&& indices, TPoint pivot, TTurn turn,
                     const QString& text);

  void redo() override;
  void undo() override;

 private:
  void Apply(TTurn turn);

  std::vector<int32_t> Indices_;
  TPoint Pivot_;
  TTurn Turn_;
};
