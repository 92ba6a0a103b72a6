#include "TChangeFills.h"

#include <algorithm>

TFillFields TFillFields::Of(const TCopperFill& fill) {
  return {fill.Corners(), fill.HasSeed(), fill.Seed(), fill.Settings()};
}

void TFillFields::ApplyTo(TCopperFill& fill) const {
  fill.SetCorners(Corners);
  fill.SetSeed(HasSeed, Seed);
  fill.SetSettings(Settings);
}

TChangeFills::TChangeFills(TElementList& list, std::vector<TChange> changes, const QString& text)
    : TBoardCommand(list, text), Changes_(std::move(changes)) {}

void TChangeFills::Apply(bool after) {
  int32_t first = List_.Count();
  for (const TChange& c : Changes_) {
    (after ? c.After : c.Before).ApplyTo(static_cast<TCopperFill&>(*List_.Items(c.Index)));
    first = std::min(first, c.Index);
  }
  // Every fill depends on the whole board, so the change count alone tells them to refill.
  if (!Changes_.empty()) List_.Changed(first);
  Redraw();
}

void TChangeFills::redo() { Apply(true); }

void TChangeFills::undo() { Apply(false); }
