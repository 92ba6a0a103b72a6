// Exact distances between a fill's copper and the board's: every edge of the fill is a straight
// track of no width, measured against the piece as the check measures two pieces, and a piece
// that no edge reaches is either wholly in the copper or wholly out of it.
#include <algorithm>

#include "TFill.h"
#include "TFillGrid.h"

namespace {

struct TEdge {
  TFillPoint A, B;
  int32_t Area;
};

TFillBox BoxOf(const TEdge& e) {
  return {std::min(e.A.X, e.B.X), std::min(e.A.Y, e.B.Y), std::max(e.A.X, e.B.X),
          std::max(e.A.Y, e.B.Y)};
}

// The box of a piece's copper in nanometres (its hole lies within the copper, or takes none).
TFillBox BoxOf(const TCopperShape& piece) {
  const THalfBox b = ExtentOf(piece, false);
  const int64_t k = NanometresPerHalfUnit;
  return {b.Left * k, b.Top * k, b.Right * k, b.Bottom * k};
}

}  // namespace

struct TFillMeasure::TImpl {
  std::vector<TEdge> Edges;
  std::vector<TFillBox> Boxes;
  TFillGrid Grid;
  // For whether a point is inside: the edges that are not level, by the bands of height
  // BandHeight they cross, so that a ray along a band meets only the edges stored with it.
  int64_t Top = 0, BandHeight = 1;
  std::vector<uint32_t> BandStart, BandEdges;

  int32_t Band(int64_t y) const {
    const int64_t bands = int64_t(BandStart.size()) - 1;
    return int32_t(std::clamp<int64_t>((y - Top) / BandHeight, 0, bands - 1));
  }

  void BuildBands() {
    if (Edges.empty()) return;
    int64_t top = Boxes[0].Top, bottom = Boxes[0].Bottom;
    for (const TFillBox& b : Boxes) top = std::min(top, b.Top), bottom = std::max(bottom, b.Bottom);
    Top = top;
    // About as many bands as the square root of the edges: each holds few of them.
    int64_t bands = 1;
    while (bands * bands < int64_t(Edges.size())) bands *= 2;
    BandHeight = std::max<int64_t>(1, (bottom - top) / bands + 1);
    BandStart.assign(size_t(bands) + 1, 0);
    std::vector<uint32_t> count(size_t(bands), 0);
    for (const TFillBox& b : Boxes)
      if (b.Top != b.Bottom)
        for (int32_t r = Band(b.Top); r <= Band(b.Bottom); ++r) ++count[size_t(r)];
    for (size_t r = 0; r < count.size(); ++r) BandStart[r + 1] = BandStart[r] + count[r];
    BandEdges.resize(BandStart.back());
    std::vector<uint32_t> at(BandStart.begin(), BandStart.end() - 1);
    for (size_t i = 0; i < Boxes.size(); ++i)
      if (Boxes[i].Top != Boxes[i].Bottom)
        for (int32_t r = Band(Boxes[i].Top); r <= Band(Boxes[i].Bottom); ++r)
          BandEdges[at[size_t(r)]++] = uint32_t(i);
  }

  // The areas whose boundary a ray from P to the right crosses an odd number of times: the area
  // P lies in, if any (areas are nested only as holes in their own area).
  int32_t AreaAt(TFillPoint p) const {
    if (BandEdges.empty()) return -1;
    std::vector<int32_t> crossed;
    const int32_t r = Band(p.Y);
    for (uint32_t k = BandStart[size_t(r)]; k < BandStart[size_t(r) + 1]; ++k) {
      const TEdge& e = Edges[BandEdges[k]];
      if ((e.A.Y > p.Y) == (e.B.Y > p.Y)) continue;
      // Where the edge crosses the ray's line lies right of P when this has the sign of dy.
      const __int128 dy = e.B.Y - e.A.Y;
      const __int128 num = __int128(e.A.X - p.X) * dy + __int128(p.Y - e.A.Y) * (e.B.X - e.A.X);
      if (num != 0 && (num > 0) == (dy > 0)) crossed.push_back(e.Area);
    }
    std::sort(crossed.begin(), crossed.end());
    for (size_t i = 0; i < crossed.size();) {
      size_t j = i;
      while (j < crossed.size() && crossed[j] == crossed[i]) ++j;
      if ((j - i) % 2 == 1) return crossed[i];
      i = j;
    }
    return -1;
  }

  // Calls f(edge) for every edge that comes within the gap of the piece's box.
  template <class F>
  void NearEdges(const TCopperShape& piece, int64_t gapNm, F f) const {
    // Gaps beyond any board's reach, as the exact decision takes them.
    const int64_t gap = std::clamp<int64_t>(gapNm, 0, int64_t{1} << 60);
    const TFillBox query = BoxOf(piece).Grown(gap + 1);
    Grid.Visit(query, [&](uint32_t i) { f(Edges[i]); });
  }
};

TFillMeasure::TFillMeasure(const std::vector<TFillArea>& areas) : Impl_(new TImpl) {
  auto add = [this](const TFillPath& path, int32_t area) {
    for (size_t i = 0; i < path.size(); ++i)
      Impl_->Edges.push_back({path[i], path[(i + 1) % path.size()], area});
  };
  for (size_t a = 0; a < areas.size(); ++a) {
    add(areas[a].Outer, int32_t(a));
    for (const TFillPath& hole : areas[a].Holes) add(hole, int32_t(a));
  }
  Impl_->Boxes.reserve(Impl_->Edges.size());
  for (const TEdge& e : Impl_->Edges) Impl_->Boxes.push_back(BoxOf(e));
  Impl_->Grid.Build(Impl_->Boxes);
  Impl_->BuildBands();
}

TFillMeasure::~TFillMeasure() = default;

bool TFillMeasure::Closer(const TCopperShape& piece, int64_t gapNm) const {
  if (piece.Empty()) return false;
  bool closer = false;
  Impl_->NearEdges(piece, gapNm, [&](const TEdge& e) {
    if (!closer && EdgeGapSign(e.A, e.B, piece, gapNm) < 0) closer = true;
  });
  // No edge near it: the piece lies wholly inside the copper or wholly outside.
  return closer || Inside({piece.AX * NanometresPerHalfUnit, piece.AY * NanometresPerHalfUnit});
}

bool TFillMeasure::Touches(const TCopperShape& piece) const {
  if (piece.Empty()) return false;
  bool touches = false;
  Impl_->NearEdges(piece, 0, [&](const TEdge& e) {
    if (!touches && EdgeGapSign(e.A, e.B, piece, 0) <= 0) touches = true;
  });
  return touches || Inside({piece.AX * NanometresPerHalfUnit, piece.AY * NanometresPerHalfUnit});
}

std::vector<int32_t> TFillMeasure::AreasTouching(const TCopperShape& piece) const {
  std::vector<int32_t> areas;
  if (piece.Empty()) return areas;
  Impl_->NearEdges(piece, 0, [&](const TEdge& e) {
    if (std::find(areas.begin(), areas.end(), e.Area) == areas.end() &&
        EdgeGapSign(e.A, e.B, piece, 0) <= 0)
      areas.push_back(e.Area);
  });
  const int32_t at =
      Impl_->AreaAt({piece.AX * NanometresPerHalfUnit, piece.AY * NanometresPerHalfUnit});
  if (at >= 0 && std::find(areas.begin(), areas.end(), at) == areas.end()) areas.push_back(at);
  std::sort(areas.begin(), areas.end());
  return areas;
}

bool TFillMeasure::Inside(TFillPoint p) const { return Impl_->AreaAt(p) >= 0; }
