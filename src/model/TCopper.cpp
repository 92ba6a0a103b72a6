#include "TCopper.h"

#include <algorithm>

#include "TCopperFill.h"
#include "TCopperText.h"
#include "TElementList.h"
#include "TSmdPad.h"

TCopperShape CopperOf(const TPCBElement& element) {
  TCopperShape s;
  if (element.Kind() == ekText) {
    // Text is many pieces (AppendCopperOf); as one it is only its anchor, to point at.
    const TPoint a = static_cast<const TCopperText&>(element).Anchor();
    s.AX = s.BX = 2 * int64_t{a.X};
    s.AY = s.BY = 2 * int64_t{a.Y};
    return s;
  }
  if (element.Kind() == ekFill) {
    // A fill's copper is its areas (see UpdateFills); as a piece it is only a place to point at,
    // its seed, or its first corner without one.
    const auto& fill = static_cast<const TCopperFill&>(element);
    TPoint a = fill.Seed();
    if (!fill.HasSeed() && !fill.Corners().empty()) a = fill.Corners().front();
    s.AX = s.BX = 2 * int64_t{a.X};
    s.AY = s.BY = 2 * int64_t{a.Y};
    return s;
  }
  if (element.Kind() == ekSmdPad) {
    const auto& pad = static_cast<const TSmdPad&>(element);
    const TPoint c = pad.Center();
    s.AX = s.BX = 2 * int64_t{c.X};
    s.AY = s.BY = 2 * int64_t{c.Y};
    if (pad.Width() <= 0 || pad.Height() <= 0) return s;
    s.Kind = ckRect;
    // In half units half a side is the side in board units, and a radius twice its board units.
    s.Radius = 2 * int64_t{pad.CornerRadius()};
    s.HalfX = pad.Width() - s.Radius;
    s.HalfY = pad.Height() - s.Radius;
    return s;
  }
  if (element.IsWire()) {
    const auto& wire = static_cast<const TWire&>(element);
    const TPoint a = wire.StartPoint(), b = wire.EndPoint();
    s.AX = 2 * int64_t{a.X}, s.AY = 2 * int64_t{a.Y};
    s.BX = 2 * int64_t{b.X}, s.BY = 2 * int64_t{b.Y};
    const int32_t divisor = wire.WidthDivisor();
    if (divisor <= 0 || (divisor > UnitsPerStep && a == b)) return s;
    s.Kind = ckTrack;
    // Half the width in half units is the width in board units.
    s.Radius = UnitsPerStep / divisor;
    return s;
  }
  const auto& pad = static_cast<const TSolder&>(element);
  const TPoint c = pad.Center();
  s.AX = s.BX = 2 * int64_t{c.X};
  s.AY = s.BY = 2 * int64_t{c.Y};
  s.HoleRadius = std::max(0, pad.InternalDiameter());
  // Truncating toward zero, as the artwork's radius is worked out.
  const int32_t half = pad.ExternalDiameter() / 2;
  if (half <= 0) return s;
  s.Kind = pad.IsSquare() ? ckSquare : ckRound;
  s.Radius = 2 * int64_t{half};
  return s;
}

void AppendCopperOf(const TPCBElement& element, std::vector<TCopperShape>& out) {
  if (element.Kind() != ekText) {
    out.push_back(CopperOf(element));
    return;
  }
  const std::vector<TCopperShape>& strokes = static_cast<const TCopperText&>(element).Strokes();
  out.insert(out.end(), strokes.begin(), strokes.end());
}

THalfBox ExtentOf(const TCopperShape& s, bool withHole) {
  THalfBox box;
  auto add = [&box](int64_t l, int64_t t, int64_t r, int64_t b) {
    if (box.Empty()) {
      box = {l, t, r, b};
      return;
    }
    box = {std::min(box.Left, l), std::min(box.Top, t), std::max(box.Right, r),
           std::max(box.Bottom, b)};
  };
  if (!s.Empty()) {
    const int64_t rx = s.Radius + s.HalfX, ry = s.Radius + s.HalfY;
    add(std::min(s.AX, s.BX) - rx, std::min(s.AY, s.BY) - ry, std::max(s.AX, s.BX) + rx,
        std::max(s.AY, s.BY) + ry);
  }
  if (withHole && s.HoleRadius > 0)
    add(s.AX - s.HoleRadius, s.AY - s.HoleRadius, s.AX + s.HoleRadius, s.AY + s.HoleRadius);
  return box;
}

TCopperShape CopperDisc(int64_t x2, int64_t y2, int64_t radius) {
  TCopperShape s;
  s.Kind = ckTrack;
  s.AX = s.BX = x2;
  s.AY = s.BY = y2;
  s.Radius = radius;
  return s;
}
