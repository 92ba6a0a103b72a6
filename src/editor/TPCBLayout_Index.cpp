// The spatial index behind culling, the element under the pointer and the band: asked only where
// its answer is exactly what a walk of the board gives.
#include <algorithm>

#include "TBoardMath.h"
#include "TCanvas.h"
#include "TPCBLayout.h"

const TBoardIndex* TPCBLayout::FreshIndex() const {
  if (!Indexed_) return nullptr;
  BoardIndex_.Update(*Elements_);
  return &BoardIndex_;
}

int64_t TPCBLayout::ScreenReach(TPoint offset, int64_t reach) const {
  const int64_t p = StepPixels(*this);
  if (p <= 0) return -1;
  // Products of coordinates and diameters with the step stay inside 32 bits...
  const int64_t products = ((int64_t(1) << 30) - 1) / p - 1;
  // ... and so does everything shown, centres, radii and margins, however far the view is
  // panned; within that square no wide line is cut either.
  const int64_t room = TCanvas::WideLineReach -
                       std::max(std::abs(int64_t(offset.X)), std::abs(int64_t(offset.Y))) - 2 * p -
                       4 - reach;
  const int64_t shown = (8 * room - 1) / p - 1;
  return std::min(products, shown);
}

bool TPCBLayout::ScreenExact(TPoint offset, int64_t reach) const {
  const TBoardIndex* index = FreshIndex();
  // Without the index the boxes are worked out here, one walk of the board.
  const int64_t boardReach =
      index ? index->Reach() : TBoardIndex::ReachOf(*Elements_, 0, Elements_->Count());
  return boardReach <= ScreenReach(offset, reach);
}

TRect TPCBLayout::BoardRectFor(const QRect& area, int64_t margin) const {
  // Where nothing wraps a board coordinate v shows at trunc(v p / 16) + offset, which never
  // decreases with v, so the board coordinates that may show within [lo, hi] lie between the
  // ones worked out backwards here; two units more each way take in the rounding of radii.
  const int64_t p = StepPixels(*this);
  auto range = [&](int64_t lo, int64_t hi, int32_t offset, int32_t& from, int32_t& to) {
    const int64_t u0 = lo - margin - offset, u1 = hi + margin - offset;
    from = Clamp32(FloorDiv((u0 - 1) * UnitsPerStep, p) - 2);
    to = Clamp32(-FloorDiv(-(u1 + 1) * UnitsPerStep, p) + 2);
  };
  TRect r;
  range(area.left(), area.right(), ViewOffset_.X, r.Left, r.Right);
  range(area.top(), area.bottom(), ViewOffset_.Y, r.Top, r.Bottom);
  return r;
}
