// The rules about one element at a time: copper made at all, wire width, annular ring, hole
// size, duplicates.

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "TBoardCheck.h"
#include "TCopper.h"
#include "TElementList.h"

namespace {

// The middle of a wire, where its marker goes.
void MiddleOf(const TWire& w, double& x, double& y) {
  x = (double(w.StartPoint().X) + double(w.EndPoint().X)) / 2;
  y = (double(w.StartPoint().Y) + double(w.EndPoint().Y)) / 2;
}

}  // namespace

void CheckWidths(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (!e->IsWire()) continue;
    const TCopperShape copper = CopperOf(*e);
    TProblem p{pkNone, 0, 0, 0, 0, {i}};
    MiddleOf(static_cast<const TWire&>(*e), p.X, p.Y);
    if (copper.Empty()) {
      out.push_back(p);
      continue;
    }
    // Half the width in half units is the width in board units.
    const double width = double(copper.Radius);
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
    if (e->IsWire()) continue;
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
  // geometry byte. Sorted by what they are, copies end up side by side.
  using Key = std::tuple<bool, int32_t, int32_t, int32_t, int32_t, int32_t>;
  std::vector<std::pair<Key, int32_t>> keys;
  keys.reserve(static_cast<size_t>(list.Count()));
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->IsWire()) {
      const auto& w = static_cast<const TWire&>(*e);
      TPoint a = w.StartPoint(), b = w.EndPoint();
      if (std::tie(b.X, b.Y) < std::tie(a.X, a.Y)) std::swap(a, b);
      keys.push_back({{true, a.X, a.Y, b.X, b.Y, w.WidthDivisor()}, i});
    } else {
      const auto& s = static_cast<const TSolder&>(*e);
      keys.push_back({{false, s.Center().X, s.Center().Y, s.InternalDiameter(),
                       s.ExternalDiameter(), s.IsSquare()},
                      i});
    }
  }
  std::sort(keys.begin(), keys.end());
  size_t first = 0;
  for (size_t k = 1; k < keys.size(); ++k) {
    if (keys[k].first != keys[first].first) {
      first = k;
      continue;
    }
    const TPCBElement* e = list.Items(keys[k].second);
    TProblem p{pkDuplicate, 0, 0, 0, 0, {keys[first].second, keys[k].second}};
    if (e->IsWire()) {
      MiddleOf(static_cast<const TWire&>(*e), p.X, p.Y);
    } else {
      p.X = static_cast<const TSolder*>(e)->Center().X;
      p.Y = static_cast<const TSolder*>(e)->Center().Y;
    }
    out.push_back(p);
  }
}
