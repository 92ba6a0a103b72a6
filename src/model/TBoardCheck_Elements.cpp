// The rules about one element at a time: copper made at all, wire width, annular ring, hole
// size, duplicates.

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "TBoardCheck.h"
#include "TCopper.h"
#include "TCopperText.h"
#include "TElementList.h"
#include "TSmdPad.h"

namespace {

// The middle of a wire, where its marker goes.
void MiddleOf(const TWire& w, double& x, double& y) {
  x = (double(w.StartPoint().X) + double(w.EndPoint().X)) / 2;
  y = (double(w.StartPoint().Y) + double(w.EndPoint().Y)) / 2;
}

// Where a marker for the element goes: a wire's middle, a pad's centre, a text's anchor.
void PlaceOf(const TPCBElement& e, double& x, double& y) {
  switch (e.Kind()) {
    case ekWire:
      MiddleOf(static_cast<const TWire&>(e), x, y);
      return;
    case ekSolder:
      x = static_cast<const TSolder&>(e).Center().X;
      y = static_cast<const TSolder&>(e).Center().Y;
      return;
    case ekSmdPad:
      x = static_cast<const TSmdPad&>(e).Center().X;
      y = static_cast<const TSmdPad&>(e).Center().Y;
      return;
    case ekText:
      x = static_cast<const TCopperText&>(e).Anchor().X;
      y = static_cast<const TCopperText&>(e).Anchor().Y;
      return;
    case ekFill: {
      const TCopperShape s = CopperOf(e);
      x = s.AX / 2.0;
      y = s.AY / 2.0;
      return;
    }
  }
}

}  // namespace

void CheckWidths(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    // A fill's parts are never thinner than its minimum width, by construction.
    if (e->Kind() == ekSolder || e->Kind() == ekFill) continue;
    TProblem p{pkNone, 0, 0, 0, 0, {i}};
    PlaceOf(*e, p.X, p.Y);
    if (e->Kind() == ekText) {
      // Every stroke is as wide as the text's strokes: one problem for the text, not one a
      // stroke. A text of blanks makes no copper.
      const auto& text = static_cast<const TCopperText&>(*e);
      p.Text = true;
      if (!text.Strokes().empty()) {
        const double width = text.StrokeWidth();
        if (!Below(width * MmPerUnit, rules.MinWidth)) continue;
        p.Kind = pkWidth;
        p.Measured = width;
        p.Required = rules.MinWidth;
      }
      out.push_back(p);
      continue;
    }
    const TCopperShape copper = CopperOf(*e);
    if (copper.Empty()) {
      out.push_back(p);
      continue;
    }
    // Half a wire's width in half units is its width in board units. A surface-mount pad is as
    // narrow as its smaller side, which is exact whatever its corners.
    p.SmdPad = e->Kind() == ekSmdPad;
    double width = double(copper.Radius);
    if (p.SmdPad) {
      const auto& smd = static_cast<const TSmdPad&>(*e);
      width = double(std::min(smd.Width(), smd.Height()));
    }
    if (!Below(width * MmPerUnit, rules.MinWidth)) continue;
    p.Kind = pkWidth;
    p.Measured = width;
    p.Required = rules.MinWidth;
    out.push_back(p);
  }
}

void CheckPads(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    // A surface-mount pad has no hole, and so no ring.
    if (e->Kind() != ekSolder) continue;
    const TCopperShape copper = CopperOf(*e);
    const double x = copper.AX / 2.0, y = copper.AY / 2.0;
    if (copper.Empty()) {
      out.push_back({pkNone, x, y, 0, 0, {i}});
      continue;
    }
    // In half units a radius is a diameter in board units: the ring is half their difference.
    const double hole = double(copper.HoleRadius);
    const double ring = (double(copper.Radius) - hole) / 2;
    if (Below(ring * MmPerUnit, rules.MinRing))
      out.push_back({pkRing, x, y, ring, rules.MinRing, {i}});
    if (Below(hole * MmPerUnit, rules.MinHole))
      out.push_back({pkHole, x, y, hole, rules.MinHole, {i}});
  }
}

void CheckDuplicates(const TElementList& list, std::vector<TProblem>& out) {
  // Elements that print the same copper: a wire drawn either way round, a pad of any square
  // geometry byte, a surface-mount pad of any roundness that gives the same corners, a text of
  // the same string and fields. Sorted by what they are, copies end up side by side.
  using Key = std::tuple<uint8_t, int32_t, int32_t, int32_t, int32_t, int32_t>;
  std::vector<std::pair<Key, int32_t>> keys;
  keys.reserve(static_cast<size_t>(list.Count()));
  bool texts = false;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    switch (e->Kind()) {
      case ekWire: {
        const auto& w = static_cast<const TWire&>(*e);
        TPoint a = w.StartPoint(), b = w.EndPoint();
        if (std::tie(b.X, b.Y) < std::tie(a.X, a.Y)) std::swap(a, b);
        keys.push_back({{ekWire, a.X, a.Y, b.X, b.Y, w.WidthDivisor()}, i});
        break;
      }
      case ekSolder: {
        const auto& s = static_cast<const TSolder&>(*e);
        keys.push_back({{ekSolder, s.Center().X, s.Center().Y, s.InternalDiameter(),
                         s.ExternalDiameter(), s.IsSquare()},
                        i});
        break;
      }
      case ekSmdPad: {
        const auto& s = static_cast<const TSmdPad&>(*e);
        keys.push_back(
            {{ekSmdPad, s.Center().X, s.Center().Y, s.Width(), s.Height(), s.CornerRadius()}, i});
        break;
      }
      case ekText: {
        // Turns and side make one number; the string is compared apart.
        const auto& t = static_cast<const TCopperText&>(*e);
        keys.push_back({{ekText, t.Anchor().X, t.Anchor().Y, t.Height(), t.StrokeWidth(),
                         t.Turns() * 2 + t.CopperSide()},
                        i});
        texts = true;
        break;
      }
      case ekFill:
        // Two fills over one another make the copper of one.
        break;
    }
  }
  auto textOf = [&list](int32_t i) -> const std::string& {
    return static_cast<const TCopperText*>(list.Items(i))->Text();
  };
  auto same = [&](const std::pair<Key, int32_t>& a, const std::pair<Key, int32_t>& b) {
    return a.first == b.first &&
           (std::get<0>(a.first) != ekText || textOf(a.second) == textOf(b.second));
  };
  if (texts)
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
      if (a.first != b.first) return a.first < b.first;
      if (std::get<0>(a.first) == ekText && textOf(a.second) != textOf(b.second))
        return textOf(a.second) < textOf(b.second);
      return a.second < b.second;
    });
  else
    std::sort(keys.begin(), keys.end());
  size_t first = 0;
  for (size_t k = 1; k < keys.size(); ++k) {
    if (!same(keys[k], keys[first])) {
      first = k;
      continue;
    }
    TProblem p{pkDuplicate, 0, 0, 0, 0, {keys[first].second, keys[k].second}};
    PlaceOf(*list.Items(keys[k].second), p.X, p.Y);
    out.push_back(p);
  }
}
