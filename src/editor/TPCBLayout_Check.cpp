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

void TPCBLayout::DrawLit(const std::vector<int32_t>& indices, TColor colour) {
  // The elements draw their highlight in FocusColor; for this drawing only it is the lit colour,
  // set without the repaint that SetFocusColor does.
  struct TKeep {
    TColor& Focus;
    TColor Kept;
    ~TKeep() { Focus = Kept; }
  } keep{FocusColor_, FocusColor_};
  FocusColor_ = colour;
  for (int32_t i : indices) {
    if (i < 0 || i >= Elements_->Count()) continue;
    const TPCBElement* e = Elements_->Items(i);
    if (!e->Selected()) e->Draw(dmHighlight);
  }
}
