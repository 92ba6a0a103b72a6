#include "TMoveElements.h"

#include "TBoardMath.h"

TMoveElements::TMoveElements(TElementList& list, std::vector<int32_t>&& indices, TPoint delta,
                             const QString& text, bool alreadyDone)
    : TBoardCommand(list, text),
      Indices_(std::move(indices)),
      Delta_(delta),
      SkipRedo_(alreadyDone) {}

void TMoveElements::Shift(int32_t dx, int32_t dy) {
  for (int32_t i : Indices_) List_.Items(i)->Move(dx, dy);
  List_.Changed();
  Redraw();
}

void TMoveElements::redo() {
  if (SkipRedo_) {
    SkipRedo_ = false;
    return;
  }
  Shift(Delta_.X, Delta_.Y);
}

void TMoveElements::undo() { Shift(WSub(0, Delta_.X), WSub(0, Delta_.Y)); }
