#include "TCopperShapes.h"

#include <algorithm>

#include "TBoardMath.h"

namespace {

// Gerber's 4.6 format holds ten digits of nanometres; the edge and the solder mask still have to
// fit around the farthest copper.
constexpr int64_t kFarthestNm = 9'990'000'000;

bool Fits(int64_t centre, int64_t half) {
  return centre - half >= -kFarthestNm && centre + half <= kFarthestNm;
}

}  // namespace

TCopperShapes CollectCopper(const TElementList& list) {
  TCopperShapes copper;
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  auto extend = [&](int64_t x, int64_t y, int64_t half) {
    left = std::min(left, x - half);
    right = std::max(right, x + half);
    top = std::min(top, y - half);
    bottom = std::max(bottom, y + half);
  };
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    bool made = false;
    if (e->IsWire()) {
      const auto* w = static_cast<const TWire*>(e);
      int32_t width = 0;
      try {
        width = Div(UnitsPerStep, w->WidthDivisor());
      } catch (const EArithFault&) {
        // A divisor of zero: the wire has no width and is left out, as printing leaves it out.
      }
      const TWireShape s{w->StartPoint().X * NanometresPerUnit,
                         w->StartPoint().Y * NanometresPerUnit, w->EndPoint().X * NanometresPerUnit,
                         w->EndPoint().Y * NanometresPerUnit, width * NanometresPerUnit};
      const int64_t half = s.Width / 2;
      made =
          width > 0 && Fits(s.X0, half) && Fits(s.Y0, half) && Fits(s.X1, half) && Fits(s.Y1, half);
      if (made) {
        copper.Wires.push_back(s);
        extend(s.X0, s.Y0, half);
        extend(s.X1, s.Y1, half);
      }
    } else {
      const auto* p = static_cast<const TSolder*>(e);
      const TPadShape s{p->Center().X * NanometresPerUnit, p->Center().Y * NanometresPerUnit,
                        p->ExternalDiameter() * NanometresPerUnit, p->IsSquare(),
                        p->InternalDiameter()};
      const int64_t half = s.Outer / 2;
      made = s.Outer > 0 && Fits(s.X, half) && Fits(s.Y, half);
      if (made) {
        copper.Pads.push_back(s);
        extend(s.X, s.Y, half);
      }
    }
    if (!made) copper.LeftOut.push_back(e->ToText());
  }
  if (!copper.Empty()) {
    copper.Left = left - OutlineMarginNm;
    copper.Top = top - OutlineMarginNm;
    copper.Right = right + OutlineMarginNm;
    copper.Bottom = bottom + OutlineMarginNm;
  }
  return copper;
}
