#pragma once

#include "TBoardCommand.h"

// Elements shifted by an offset in board units: a drag of the selection with the move tool, made
// one step however far it went. Offsets wrap at 32 bits both ways, so undo always lands on the
// very same coordinates.
class TMoveElements : public TBoardCommand {
 public:
  // Indices ascend. A step pushed already done (a drag moves the elements as the pointer goes)
  // skips its first redo.
  TMoveElements(TElementList& list, std::vector<int32_t>&& indices, TPoint delta,
                const QString& text, bool alreadyDone);

  void redo() override;
  void undo() override;

 private:
  void Shift(int32_t dx, int32_t dy);

  std::vector<int32_t> Indices_;
  TPoint Delta_;
  bool SkipRedo_;
};
