// Copper fills in the editor: the fill tool's outline, Fill Board, Set Fill Seed, a fill's
// settings, and dragging a fill's corner with the move tool. Each change is one step.
#include <QUndoStack>
#include <algorithm>

#include "TAddElements.h"
#include "TBoardError.h"
#include "TCopperText.h"
#include "TFabrication.h"
#include "TPCBLayout.h"
#include "TSmdPad.h"

namespace {

// How near a corner, in pixels each way, a press takes that corner rather than the fill.
constexpr int32_t kCornerReach = 4;

// The place a fill takes for its seed from an element; false for an element without one.
bool PlaceOf(const TPCBElement& e, TPoint& place) {
  switch (e.Kind()) {
    case ekWire:
      place = static_cast<const TWire&>(e).StartPoint();
      return true;
    case ekSolder:
      place = static_cast<const TSolder&>(e).Center();
      return true;
    case ekSmdPad:
      place = static_cast<const TSmdPad&>(e).Center();
      return true;
    case ekText:
      place = static_cast<const TCopperText&>(e).Anchor();
      return true;
    case ekFill:
      return false;
  }
  return false;
}

}  // namespace

void TPCBLayout::SetShowFills(bool show) {
  if (show == ShowFills_) return;
  ShowFills_ = show;
  // A hidden fill cannot stay chosen where the user no longer sees it.
  if (!show) {
    const TElementList& list = *Elements_;
    bool unselected = false;
    for (int32_t i = 0; i < list.Count(); ++i) {
      TPCBElement* e = list.Items(i);
      if (e->Kind() != ekFill || !e->Selected()) continue;
      e->SetSelected(false);
      unselected = true;
    }
    if (unselected) emit SelectionChanged();
  }
  CancelAction();
  RenderBoard();
}

bool TPCBLayout::SelectionSeed(TPoint& seed) const {
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Selected() && PlaceOf(*list.Items(i), seed)) return true;
  return false;
}

void TPCBLayout::AddFill(std::vector<TPoint> corners, const QString& stepName) {
  if (!TCopperFill::Valid(corners, FillSettings_)) return;
  TPoint seed;
  const bool seeded = SelectionSeed(seed);
  TElementList::Storage fill;
  fill.push_back(
      std::make_unique<TCopperFill>(this, std::move(corners), seeded, seed, FillSettings_));
  PushStep(new TAddElements(*Elements_, std::move(fill), stepName), false);
}

void TPCBLayout::FillBoard() {
  EndPointerAction();
  const TFabricationBoard board = FabricationBoard(*Elements_);
  if (board.Left > board.Right)
    throw EBoardError("Fill Board takes the board's outline from its copper: draw some first");
  // The edge in whole board units, rounded inwards so that the fill stays on the board.
  const int64_t unit = NanometresPerUnit;
  const auto left = Clamp32(-FloorDiv<int64_t>(-board.Left, unit));
  const auto top = Clamp32(-FloorDiv<int64_t>(-board.Top, unit));
  const auto right = Clamp32(FloorDiv<int64_t>(board.Right, unit));
  const auto bottom = Clamp32(FloorDiv<int64_t>(board.Bottom, unit));
  AddFill({{left, top}, {right, top}, {right, bottom}, {left, bottom}},
          QStringLiteral("Fill Board"));
}

bool TPCBLayout::CanSetFillSeed() const {
  int32_t fills = 0, others = 0;
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement& e = *list.Items(i);
    if (!e.Selected()) continue;
    (e.Kind() == ekFill ? fills : others) += 1;
  }
  return fills > 0 && others == 1;
}

void TPCBLayout::SetFillSeed() {
  if (!CanSetFillSeed()) return;
  const TElementList& list = *Elements_;
  TPoint seed;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Selected() && list.Items(i)->Kind() != ekFill) PlaceOf(*list.Items(i), seed);
  std::vector<TChangeFills::TChange> changes;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement& e = *list.Items(i);
    if (!e.Selected() || e.Kind() != ekFill) continue;
    TFillFields before = TFillFields::Of(static_cast<const TCopperFill&>(e));
    TFillFields after = before;
    after.HasSeed = true;
    after.Seed = seed;
    if (after != before) changes.push_back({i, std::move(before), std::move(after)});
  }
  PushFillChanges(std::move(changes), QStringLiteral("Set Fill Seed"));
}

void TPCBLayout::ChangeFillSettings(int32_t index, const TFillSettings& settings) {
  if (index < 0 || index >= Elements_->Count() || Elements_->Items(index)->Kind() != ekFill) return;
  TFillFields before = TFillFields::Of(static_cast<const TCopperFill&>(*Elements_->Items(index)));
  TFillFields after = before;
  after.Settings = settings;
  if (!TCopperFill::Valid(after.Corners, settings))
    throw EBoardError("A fill's clearance, widths and gap are each from 0 to 100 mm");
  if (after == before) return;
  PushFillChanges({{index, std::move(before), std::move(after)}}, QStringLiteral("Edit Fill"));
}

void TPCBLayout::PushFillChanges(std::vector<TChangeFills::TChange> changes, const QString& name) {
  if (changes.empty()) return;
  EndPointerAction();
  PushStep(new TChangeFills(*Elements_, std::move(changes), name));
}

// ---- The fill tool ----

void TPCBLayout::FillPressed(TPoint g) {
  if (FillCorners_.size() >= TCopperFill::MinCorners && g == FillCorners_.front()) {
    CloseFill();
    return;
  }
  // A second press on the same point adds no corner: an edge of no length shapes nothing.
  if (!FillCorners_.empty() && g == FillCorners_.back()) return;
  if (FillCorners_.size() >= TCopperFill::MaxCorners) return;
  FillCorners_.push_back(g);
  ShowWireFeedback();
}

void TPCBLayout::CloseFill() {
  if (FillCorners_.size() < TCopperFill::MinCorners) return;
  std::vector<TPoint> corners;
  corners.swap(FillCorners_);
  AddFill(std::move(corners));
  ShowWireFeedback();
}

// ---- Corners ----

bool TPCBLayout::CornerAt(TPoint pixel, int32_t& fill, size_t& corner) const {
  if (!ShowFills_) return false;
  const int32_t step = StepPixels(*this);
  const TElementList& list = *Elements_;
  for (int32_t i = list.Count() - 1; i >= 0; --i) {
    if (list.Items(i)->Kind() != ekFill) continue;
    const std::vector<TPoint>& corners = static_cast<const TCopperFill&>(*list.Items(i)).Corners();
    for (size_t k = 0; k < corners.size(); ++k) {
      const int64_t dx = int64_t(ShownAt(corners[k].X, step, ViewOffset_.X)) - pixel.X;
      const int64_t dy = int64_t(ShownAt(corners[k].Y, step, ViewOffset_.Y)) - pixel.Y;
      if (Abs64(dx) <= kCornerReach && Abs64(dy) <= kCornerReach) {
        fill = i;
        corner = k;
        return true;
      }
    }
  }
  return false;
}

void TPCBLayout::ShowCornerFeedback() {
  Paint();
  if (CornerFill_ < 0 || CornerFill_ >= Elements_->Count()) return;
  // The outline as it would be with the corner where the pointer is, over the board as it is.
  std::vector<TPoint> corners =
      static_cast<const TCopperFill&>(*Elements_->Items(CornerFill_)).Corners();
  if (CornerIndex_ >= corners.size()) return;
  corners[CornerIndex_] = CornerPoint_;
  std::vector<TPoint> shown;
  for (const TPoint& c : corners) shown.push_back(BoardToScreen(c));
  shown.push_back(shown.front());
  Canvas_->SetPenWidth(1);
  Canvas_->SetPenColor(SpotColor_);
  Canvas_->Polyline(shown.data(), int(shown.size()));
  DrawSpotIn(BoardToScreen(CornerPoint_), SpotColor_);
}

void TPCBLayout::EndCornerDrag(TPoint g) {
  const int32_t index = CornerFill_;
  CornerFill_ = -1;
  MoveButtonDown_ = false;
  if (index < 0 || index >= Elements_->Count() || Elements_->Items(index)->Kind() != ekFill) {
    Paint();
    return;
  }
  TFillFields before = TFillFields::Of(static_cast<const TCopperFill&>(*Elements_->Items(index)));
  TFillFields after = before;
  if (CornerIndex_ < after.Corners.size()) after.Corners[CornerIndex_] = g;
  if (after == before) {
    Paint();
    return;
  }
  PushStep(new TChangeFills(*Elements_, {{index, std::move(before), std::move(after)}},
                            QStringLiteral("Move Fill Corner")));
}
