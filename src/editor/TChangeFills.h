#pragma once

#include <vector>

#include "TBoardCommand.h"
#include "TCopperFill.h"

// What the user edits of a fill: its outline, its seed and its settings. Its copper is not here:
// the board works it out again from these after every step.
struct TFillFields {
  std::vector<TPoint> Corners;
  bool HasSeed = false;
  TPoint Seed;
  TFillSettings Settings;

  static TFillFields Of(const TCopperFill& fill);
  void ApplyTo(TCopperFill& fill) const;
  bool operator==(const TFillFields& o) const {
    return Corners == o.Corners && HasSeed == o.HasSeed && Seed == o.Seed && Settings == o.Settings;
  }
  bool operator!=(const TFillFields& o) const { return !(*this == o); }
};

// Fills given new corners, a new seed or new settings: a corner dragged, Set Fill Seed, the fill
// dialog. The step holds each fill's position and both sets of fields, so undo gives back exactly
// the outline, seed and settings before, and with them the same copper.
class TChangeFills : public TBoardCommand {
 public:
  struct TChange {
    int32_t Index;
    TFillFields Before, After;
  };
  // Each change names a fill, Before what it holds now. Pushed not yet done.
  TChangeFills(TElementList& list, std::vector<TChange> changes, const QString& text);

  void redo() override;
  void undo() override;

 private:
  void Apply(bool after);

  std::vector<TChange> Changes_;
};
