// Fills against the rest of the board: their copper keeps the clearance to every other island,
// and each joins the copper under its seed.

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "TBoardCheck.h"
#include "TCopperFill.h"
#include "TCopperIslands.h"
#include "TElementList.h"

namespace {

// The edges of a fill's areas, for finding where a fill comes near a piece of copper: only worked
// out for a fill that has a problem, and sorted into square cells so that a board-sized fill with
// many problems is not walked whole for each. They are kept in 1/1024 of a half unit, some 78 nm,
// so that the gap shown is true to the thousandth of a millimetre it is shown in; the piece is
// scaled the same way when it is measured.
class TFillEdges {
 public:
  explicit TFillEdges(const std::vector<TFillArea>& areas) {
    auto add = [this](const TFillPath& path) {
      for (size_t k = 0; k < path.size(); ++k) {
        const TFillPoint a = path[k], b = path[(k + 1) % path.size()];
        TCopperShape e;
        e.Kind = ckTrack;
        e.AX = Half(a.X), e.AY = Half(a.Y), e.BX = Half(b.X), e.BY = Half(b.Y);
        Edges_.push_back(e);
      }
    };
    for (const TFillArea& area : areas) {
      add(area.Outer);
      for (const TFillPath& hole : area.Holes) add(hole);
    }
    for (uint32_t k = 0; k < Edges_.size(); ++k) {
      const TCopperShape& e = Edges_[k];
      const int64_t c0 = Cell(std::min(e.AX, e.BX)), c1 = Cell(std::max(e.AX, e.BX));
      const int64_t r0 = Cell(std::min(e.AY, e.BY)), r1 = Cell(std::max(e.AY, e.BY));
      if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCells) {
        Long_.push_back(k);
        continue;
      }
      for (int64_t c = c0; c <= c1; ++c)
        for (int64_t r = r0; r <= r1; ++r) Cells_[Key(c, r)].push_back(k);
    }
  }

  // Where the fill comes nearest the piece, among its edges within REACH half units of it: the
  // middle of the gap and its width; the piece's own place, no gap, when none is that near (a
  // piece inside the fill).
  TCopperGap Nearest(TCopperShape piece, int64_t reach) const {
    for (int64_t* v :
         {&piece.AX, &piece.AY, &piece.BX, &piece.BY, &piece.Radius, &piece.HalfX, &piece.HalfY})
      *v *= kScale;
    TCopperGap best{0, piece.AX / 2.0L, piece.AY / 2.0L};  // scaled like the piece
    bool found = false;
    Visit(piece, reach * kScale, best, found);
    return Unscaled(best);
  }

  // Where the edges of two fills come nearest, among those within REACH half units of each
  // other; found false when none are.
  TCopperGap NearestTo(const TFillEdges& other, int64_t reach, bool& found) const {
    TCopperGap best;
    found = false;
    for (const TCopperShape& e : other.Edges_) Visit(e, reach * kScale, best, found);
    return Unscaled(best);
  }

 private:
  // Measures the scaled piece against every edge near it, keeping in BEST the nearest; FOUND
  // says whether BEST holds one yet.
  void Visit(const TCopperShape& piece, int64_t reach, TCopperGap& best, bool& found) const {
    const THalfBox b = ExtentOf(piece, false);
    auto visit = [&](uint32_t k) {
      const TCopperShape& e = Edges_[k];
      if (std::max(e.AX, e.BX) < b.Left - reach || std::min(e.AX, e.BX) > b.Right + reach ||
          std::max(e.AY, e.BY) < b.Top - reach || std::min(e.AY, e.BY) > b.Bottom + reach)
        return;
      const TCopperGap gap = CopperGap(piece, e);
      if (!found || gap.Distance < best.Distance) best = gap;
      found = true;
    };
    for (uint32_t k : Long_) visit(k);
    const int64_t c0 = Cell(b.Left - reach), c1 = Cell(b.Right + reach);
    const int64_t r0 = Cell(b.Top - reach), r1 = Cell(b.Bottom + reach);
    if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCells) {
      for (uint32_t k = 0; k < Edges_.size(); ++k) visit(k);
    } else {
      for (int64_t c = c0; c <= c1; ++c)
        for (int64_t r = r0; r <= r1; ++r) {
          const auto it = Cells_.find(Key(c, r));
          if (it != Cells_.end())
            for (uint32_t k : it->second) visit(k);
        }
    }
  }
  static TCopperGap Unscaled(TCopperGap gap) {
    gap.Distance /= kScale, gap.X /= kScale, gap.Y /= kScale;
    return gap;
  }

  // Cells of 8 board units, 1.27 mm; an edge or a query over more than this many of them is
  // walked whole instead.
  static constexpr int64_t kScale = 1024, kCellShift = 14, kMaxCells = 256;
  static int64_t Half(int64_t nm) {
    return static_cast<int64_t>(
        std::llround(double(nm) * double(kScale) / double(NanometresPerHalfUnit)));
  }
  static int64_t Cell(int64_t half) { return half >> kCellShift; }
  static uint64_t Key(int64_t c, int64_t r) {
    return uint64_t(uint32_t(c)) << 32 | uint64_t(uint32_t(r));
  }

  std::vector<TCopperShape> Edges_;
  std::vector<uint32_t> Long_;
  std::unordered_map<uint64_t, std::vector<uint32_t>> Cells_;
};

}  // namespace

namespace {

// A fill with copper, as the check goes over it.
struct TCheckedFill {
  int32_t Position;
  // Its areas' box in half units, grown by the clearance: copper beyond it is far enough.
  THalfBox Box;
  std::unique_ptr<TFillMeasure> Measure;
  // Worked out only when something comes too near.
  std::unique_ptr<TFillEdges> Edges;
  const TFillEdges& EdgesOf(const std::vector<TFillArea>& areas) {
    if (!Edges) Edges = std::make_unique<TFillEdges>(areas);
    return *Edges;
  }
};

bool Meet(const THalfBox& a, const THalfBox& b) {
  return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

}  // namespace

void CheckFills(const TElementList& list, const TCheckRules& rules, const TCopperIslands& islands,
                std::vector<TProblem>& out) {
  UpdateFills(list);
  const double clearance = std::isfinite(rules.Clearance) ? std::max(0.0, rules.Clearance) : 0;
  const int64_t clearanceNm = std::llround(std::min(clearance, 1e9) * 1e6);
  // The clearance in half units, rounded up, and one to spare for the edges' rounding.
  const int64_t reach = clearanceNm / NanometresPerHalfUnit + 2;
  auto fillAt = [&list](int32_t i) -> const TCopperFill& {
    return static_cast<const TCopperFill&>(*list.Items(i));
  };
  auto problem = [&](TCopperGap gap, int32_t i, int32_t j) {
    out.push_back({pkClearance,
                   static_cast<double>(gap.X),
                   static_cast<double>(gap.Y),
                   static_cast<double>(gap.Distance),
                   clearance,
                   {std::min(i, j), std::max(i, j)}});
  };
  std::vector<TCheckedFill> fills;
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (list.Items(i)->Kind() != ekFill) continue;
    const TCopperFill& fill = fillAt(i);
    if (fill.SeedIsland() == NoFillSeed) {
      const TCopperShape place = CopperOf(fill);
      out.push_back({pkFill, place.AX / 2.0, place.AY / 2.0, 0, 0, {i}});
    }
    const std::vector<TFillArea>& areas = fill.Areas();
    if (areas.empty()) continue;
    TCheckedFill checked{i, {INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN}, nullptr, nullptr};
    THalfBox& box = checked.Box;
    for (const TFillArea& a : areas)
      for (const TFillPoint& q : a.Outer) {
        box.Left = std::min(box.Left, q.X / NanometresPerHalfUnit - reach);
        box.Top = std::min(box.Top, q.Y / NanometresPerHalfUnit - reach);
        box.Right = std::max(box.Right, q.X / NanometresPerHalfUnit + reach);
        box.Bottom = std::max(box.Bottom, q.Y / NanometresPerHalfUnit + reach);
      }
    checked.Measure = std::make_unique<TFillMeasure>(areas);
    const int32_t own = islands.IslandOf(i);
    for (int32_t j = 0; j < list.Count(); ++j) {
      if (list.Items(j)->Kind() == ekFill || islands.IslandOf(j) == own) continue;
      for (const TCopperShape& piece : islands.PiecesOf(j)) {
        if (piece.Empty() || !Meet(ExtentOf(piece, false), box)) continue;
        if (!checked.Measure->Closer(piece, clearanceNm)) continue;
        // Only what is shown is measured in floating point, and only for a fill found too near.
        TCopperGap gap = checked.EdgesOf(areas).Nearest(piece, reach);
        if (checked.Measure->Touches(piece)) gap.Distance = std::min<long double>(gap.Distance, 0);
        problem(gap, i, j);
        break;
      }
    }
    fills.push_back(std::move(checked));
  }

  // A wire of a fill's island that ends in the fill is joined there: its end does not dangle.
  if (!fills.empty())
    out.erase(
        std::remove_if(out.begin(), out.end(),
                       [&](const TProblem& p) {
                         if (p.Kind != pkDangling) return false;
                         const int32_t w = p.Elements.front();
                         const TCopperShape& wire = *islands.PiecesOf(w).Begin;
                         const TCopperShape end =
                             CopperDisc(std::llround(p.X * 2), std::llround(p.Y * 2), wire.Radius);
                         return std::any_of(fills.begin(), fills.end(), [&](const TCheckedFill& f) {
                           return islands.IslandOf(f.Position) == islands.IslandOf(w) &&
                                  f.Measure->Touches(end);
                         });
                       }),
        out.end());

  // Fills of different islands against each other, each worked out on its own: measured between
  // their edges to some 78 nm, so a gap is a problem only when it falls short of the clearance by
  // half a thousandth of a millimetre, the last digit it is shown with. A fill wholly inside an
  // area of the other touches it.
  const double shortMm = clearance - 0.0005;
  for (size_t a = 0; a < fills.size(); ++a)
    for (size_t b = a + 1; b < fills.size(); ++b) {
      TCheckedFill &p = fills[a], &q = fills[b];
      if (islands.IslandOf(p.Position) == islands.IslandOf(q.Position) || !Meet(p.Box, q.Box))
        continue;
      const std::vector<TFillArea>& pAreas = fillAt(p.Position).Areas();
      const std::vector<TFillArea>& qAreas = fillAt(q.Position).Areas();
      bool found = false;
      TCopperGap gap = p.EdgesOf(pAreas).NearestTo(q.EdgesOf(qAreas), reach, found);
      const TFillPoint pIn = pAreas.front().Outer.front(), qIn = qAreas.front().Outer.front();
      if (p.Measure->Inside(qIn) || q.Measure->Inside(pIn)) {
        if (!found) gap = {0, pIn.X / double(NanometresPerUnit), pIn.Y / double(NanometresPerUnit)};
        gap.Distance = std::min<long double>(gap.Distance, 0);
        found = true;
      }
      if (found && static_cast<double>(gap.Distance) * MmPerUnit < shortMm)
        problem(gap, p.Position, q.Position);
    }
}
