// What the board check needs of the editing widget: the connected copper as a selection, and
// markers over the board.
#include "TCopperIslands.h"
#include "TElementIndex.h"
#include "TPCBLayout.h"

void TPCBLayout::SelectConnected() {
  const std::vector<int32_t> selected = SelectedIndices();
  if (selected.empty()) return;
  TElementIndex index;
  index.Build(*Elements_);
  TCopperIslands islands;
  islands.Build(*Elements_, index);
  for (int32_t i : islands.ConnectedTo(selected)) Elements_->Items(i)->SetSelected(true);
  emit SelectionChanged();
  RenderBoard();
}

void TPCBLayout::SetOverlay(std::function<void()> draw) {
  Overlay_ = std::move(draw);
  Paint();
}
