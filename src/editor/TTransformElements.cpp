#include "TTransformElements.h"

TTransformElements::TTransformElements(TElementList& list, std::vector<int32_t>&& indices,
                                       TPoint pivot, TTurn turn, const QString& text)
    : TBoardCommand(list, text), Indices_(std::move(indices)), Pivot_(pivot), Turn_(turn) {}

void TTransformElements::Apply(TTurn turn) {
  for (int32_t i : Indices_) TurnElement(*List_.Items(i), Pivot_, turn);
  List_.Changed();
  Redraw();
}

void TTransformElements::redo() { Apply(Turn_); }

void TTransformElements::undo() { Apply(InverseTurn(Turn_)); }
