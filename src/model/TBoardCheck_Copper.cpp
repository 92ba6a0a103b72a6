// Clearance and dangling wire ends: the rules that need the board's connections.

#include <algorithm>
#include <cmath>

#include "TBoardCheck.h"
#include "TCopperIslands.h"
#include "TElementIndex.h"
#include "TElementList.h"

void CheckCopper(const TElementList& list, const TCheckRules& rules, std::vector<TProblem>& out,
                 TCopperIslands* islandsOut) {
  const double clearance = std::isfinite(rules.Clearance) ? std::max(0.0, rules.Clearance) : 0;
  // Boxes grown by half the clearance (and a unit to spare) meet for every pair it concerns.
  const int32_t grow =
      static_cast<int32_t>(std::min(std::ceil(clearance / MmPerUnit / 2), 1e9)) + 1;
  TElementIndex index;
  index.Build(list, grow);

  // Copper closer than the clearance is only a fault between islands, which are known once every
  // pair has been seen: keep the near pairs until then.
  struct Near {
    int32_t i, j;
    TCopperGap gap;
  };
  std::vector<Near> near;
  // Which ends of each wire touch other copper: bit 0 the start, bit 1 the end.
  std::vector<uint8_t> ends(static_cast<size_t>(list.Count()), 0);
  TCopperIslands own;
  TCopperIslands& islands = islandsOut ? *islandsOut : own;
  auto touchEnds = [&](int32_t w, const TCopperShape& wire, const TCopperShape& other) {
    if (wire.Kind != ckTrack) return;
    const long double reach = static_cast<long double>(wire.Radius) / 2;
    uint8_t& bits = ends[static_cast<size_t>(w)];
    // An end farther from the other copper's box than its own half width cannot touch it; most
    // ends are turned away here, in whole numbers (half units).
    const int64_t r = other.Radius + wire.Radius;
    auto near = [&](int64_t x, int64_t y) {
      return std::min(other.AX, other.BX) - r <= x && x <= std::max(other.AX, other.BX) + r &&
             std::min(other.AY, other.BY) - r <= y && y <= std::max(other.AY, other.BY) + r;
    };
    if (!(bits & 1) && near(wire.AX, wire.AY) && CopperDistance(other, wire.AX, wire.AY) <= reach)
      bits |= 1;
    if (!(bits & 2) && near(wire.BX, wire.BY) && CopperDistance(other, wire.BX, wire.BY) <= reach)
      bits |= 2;
  };
  islands.Build(
      list, index,
      [&](int32_t i, int32_t j, const TCopperGap& gap) {
        if (gap.Distance <= 0) {
          const TCopperShape& a = islands.Shapes()[static_cast<size_t>(i)];
          const TCopperShape& b = islands.Shapes()[static_cast<size_t>(j)];
          touchEnds(i, a, b);
          touchEnds(j, b, a);
        } else if (Below(gap.Distance * MmPerUnit, clearance)) {
          near.push_back({i, j, gap});
        }
      },
      [&](int32_t i, int32_t j) {
        // On one island already, a pair matters only to a wire end not yet known to touch, and
        // that is settled here without the whole gap.
        const TCopperShape& a = islands.Shapes()[static_cast<size_t>(i)];
        const TCopperShape& b = islands.Shapes()[static_cast<size_t>(j)];
        touchEnds(i, a, b);
        touchEnds(j, b, a);
        return false;
      });

  // Pairs come bucket by bucket; the problems are listed by their elements.
  std::sort(near.begin(), near.end(),
            [](const Near& a, const Near& b) { return a.i != b.i ? a.i < b.i : a.j < b.j; });
  for (const Near& p : near) {
    if (islands.IslandOf(p.i) == islands.IslandOf(p.j)) continue;
    out.push_back({pkClearance,
                   static_cast<double>(p.gap.X),
                   static_cast<double>(p.gap.Y),
                   static_cast<double>(p.gap.Distance),
                   clearance,
                   {p.i, p.j}});
  }
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TCopperShape& s = islands.Shapes()[static_cast<size_t>(i)];
    if (s.Kind != ckTrack) continue;
    const uint8_t bits = ends[static_cast<size_t>(i)];
    if (!(bits & 1)) out.push_back({pkDangling, s.AX / 2.0, s.AY / 2.0, 0, 0, {i}});
    // A wire of no length has one end.
    if (!(bits & 2) && (s.AX != s.BX || s.AY != s.BY))
      out.push_back({pkDangling, s.BX / 2.0, s.BY / 2.0, 0, 0, {i}});
  }
}
