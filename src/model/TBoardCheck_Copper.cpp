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

  // Clearance in whole nanometres: a user's limit has no finer digits, and a gap of exactly the
  // limit then passes, exactly.
  const int64_t clearanceNm = std::llround(std::min(clearance, 1e9) * 1e6);

  // Copper closer than the clearance is only a fault between islands, which are known once every
  // pair has been seen: keep the near pairs until then.
  std::vector<std::pair<int32_t, int32_t>> near;
  // Which ends of each wire touch other copper: bit 0 the start, bit 1 the end. Other elements
  // have no ends to leave in the open, and start with both bits set.
  std::vector<uint8_t> ends(static_cast<size_t>(list.Count()), 0);
  for (int32_t i = 0; i < list.Count(); ++i)
    if (!list.Items(i)->IsWire()) ends[static_cast<size_t>(i)] = 3;
  TCopperIslands own;
  TCopperIslands& islands = islandsOut ? *islandsOut : own;
  using TPieces = TCopperIslands::TPieces;
  auto touchEnds = [&](int32_t w, TPieces other) {
    uint8_t& bits = ends[static_cast<size_t>(w)];
    if (bits == 3) return;
    // A wire makes one piece.
    const TCopperShape& wire = *islands.PiecesOf(w).Begin;
    if (wire.Kind != ckTrack) return;
    const int64_t r = wire.Radius;
    for (const TCopperShape& piece : other) {
      if (piece.Empty()) continue;
      // An end farther from the other copper's box than its own half width cannot touch it; most
      // ends are turned away here, in whole numbers (half units).
      const THalfBox box = ExtentOf(piece, false);
      auto reaches = [&](int64_t x, int64_t y) {
        return box.Left - r <= x && x <= box.Right + r && box.Top - r <= y && y <= box.Bottom + r &&
               CopperTouches(piece, CopperDisc(x, y, wire.Radius));
      };
      if (!(bits & 1) && reaches(wire.AX, wire.AY)) bits |= 1;
      if (!(bits & 2) && reaches(wire.BX, wire.BY)) bits |= 2;
    }
  };
  auto pieces = [&](int32_t i) { return islands.PiecesOf(i); };
  islands.Build(
      list, index,
      [&](int32_t i, int32_t j, bool touching) {
        if (touching) {
          touchEnds(i, pieces(j));
          touchEnds(j, pieces(i));
        } else if (PiecesCloser(pieces(i), pieces(j), clearanceNm)) {
          near.push_back({i, j});
        }
      },
      [&](int32_t i, int32_t j) {
        // On one island already, a pair matters only to a wire end not yet known to touch, and
        // that is settled here without the whole gap.
        touchEnds(i, pieces(j));
        touchEnds(j, pieces(i));
        return false;
      });

  // Pairs come bucket by bucket; the problems are listed by their elements.
  std::sort(near.begin(), near.end());
  for (const auto& [i, j] : near) {
    if (islands.IslandOf(i) == islands.IslandOf(j)) continue;
    // Only what is shown is measured in floating point.
    const TCopperGap gap = PiecesGap(pieces(i), pieces(j));
    out.push_back({pkClearance,
                   static_cast<double>(gap.X),
                   static_cast<double>(gap.Y),
                   static_cast<double>(gap.Distance),
                   clearance,
                   {i, j}});
  }
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (!list.Items(i)->IsWire()) continue;
    const TCopperShape& s = *pieces(i).Begin;
    if (s.Kind != ckTrack) continue;
    const uint8_t bits = ends[static_cast<size_t>(i)];
    if (!(bits & 1)) out.push_back({pkDangling, s.AX / 2.0, s.AY / 2.0, 0, 0, {i}});
    // A wire of no length has one end.
    if (!(bits & 2) && (s.AX != s.BX || s.AY != s.BY))
      out.push_back({pkDangling, s.BX / 2.0, s.BY / 2.0, 0, 0, {i}});
  }
}
