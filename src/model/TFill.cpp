// Working out a fill's copper with the Clipper library: the outline less the copper it keeps
// clear of, opened so that nothing thinner than the minimum width stays, joined to its pads by
// spokes, and cut down to the areas that reach the seed island. Curves are polygons drawn around
// the true curve, never inside it, so every gap comes out at least as wide as it is set.
#include "TFill.h"

#include <algorithm>
#include <cmath>
#include <polyclipping/clipper.hpp>

#include "TFillGrid.h"

namespace {

namespace CL = ClipperLib;

// Rounding a corner to whole nanometres moves an edge by less than a nanometre: the polygons
// around curves stand this much further out, so that they still hold the true curve.
constexpr int64_t kMargin = 8;
constexpr int64_t k = NanometresPerHalfUnit;
constexpr double kPi = 3.14159265358979323846;
// Settings are taken up to 100 mm each, beyond what any board needs, so that a wild number in a
// file costs neither an overflow nor polygons of millions of corners.
constexpr int64_t kLargestSetting = 100000000;

// The directions of the corners of a regular polygon of N sides (a multiple of four) at angles
// half a step off the axes, so that it has a flat side facing each axis: the outline of a box
// grown by it is then the polygon's corners each moved to the box's corner in its quarter.
std::vector<std::pair<double, double>> Directions(int sides) {
  std::vector<std::pair<double, double>> d;
  for (int i = 0; i < sides; ++i) {
    const double a = (i + 0.5) * 2 * kPi / sides;
    d.push_back({std::cos(a), std::sin(a)});
  }
  return d;
}

// The fewest sides (a multiple of four, at least eight) for which a polygon around a circle of
// radius R, grown by the margin, strays at most the tolerance beyond the circle.
int SidesFor(double r, int64_t tolerance = FillCurveTolerance) {
  const double limit = (r + kMargin) / (r + tolerance);
  const int sides = int(std::ceil(kPi / std::acos(limit)));
  return std::max(8, (sides + 3) / 4 * 4);
}

// The corners of copper cores (one point, the two ends of a track, or the four corners of a box)
// grown by radius R and then by SHRINK more, as a polygon around the true shape: its sides stand
// R + SHRINK plus the margin away. Its corners are as many as a curve of radius R needs, for the
// fill is grown back by SHRINK, which brings the corners to within the tolerance of radius R.
// The polygon runs with a positive area, as Clipper's outer paths do.
CL::Path Grown(const std::vector<CL::IntPoint>& cores, int64_t r, int64_t shrink,
               int64_t tolerance = FillCurveTolerance) {
  const int sides = SidesFor(double(r), tolerance);
  const double reach = double(r + shrink + kMargin) / std::cos(kPi / sides);
  const auto dirs = Directions(sides);
  CL::Path path;
  auto at = [&](const CL::IntPoint& c, size_t i) {
    return CL::IntPoint(c.X + std::llround(reach * dirs[i].first),
                        c.Y + std::llround(reach * dirs[i].second));
  };
  if (cores.size() == 1 || cores.size() == 4) {
    // A box's corners in the order of the quarters the directions pass through.
    for (size_t i = 0; i < dirs.size(); ++i) {
      size_t corner = 0;
      if (cores.size() == 4) {
        const bool right = dirs[i].first > 0, down = dirs[i].second > 0;
        corner = right ? (down ? 2 : 1) : (down ? 3 : 0);
      }
      path.push_back(at(cores[corner], i));
    }
    return path;
  }
  // A track: the hull of the polygon at both ends, by Andrew's monotone chain.
  std::vector<CL::IntPoint> points;
  for (const auto& c : cores)
    for (size_t i = 0; i < dirs.size(); ++i) points.push_back(at(c, i));
  std::sort(points.begin(), points.end(), [](const CL::IntPoint& a, const CL::IntPoint& b) {
    return a.X < b.X || (a.X == b.X && a.Y < b.Y);
  });
  auto cross = [](const CL::IntPoint& o, const CL::IntPoint& a, const CL::IntPoint& b) {
    return __int128(a.X - o.X) * (b.Y - o.Y) - __int128(a.Y - o.Y) * (b.X - o.X);
  };
  std::vector<CL::IntPoint> hull(2 * points.size());
  size_t n = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    while (n >= 2 && cross(hull[n - 2], hull[n - 1], points[i]) <= 0) --n;
    hull[n++] = points[i];
  }
  for (size_t i = points.size() - 1, lower = n + 1; i-- > 0;) {
    while (n >= lower && cross(hull[n - 2], hull[n - 1], points[i]) <= 0) --n;
    hull[n++] = points[i];
  }
  hull.resize(n - 1);
  return hull;
}

// A piece of copper grown by D nanometres all round and by SHRINK more, as a polygon around it.
CL::Path GrownPiece(const TCopperShape& s, int64_t d, int64_t shrink,
                    int64_t tolerance = FillCurveTolerance) {
  const CL::IntPoint a(s.AX * k, s.AY * k), b(s.BX * k, s.BY * k);
  auto box = [&a](int64_t hx, int64_t hy) {
    return std::vector<CL::IntPoint>{
        {a.X - hx, a.Y - hy}, {a.X + hx, a.Y - hy}, {a.X + hx, a.Y + hy}, {a.X - hx, a.Y + hy}};
  };
  switch (s.Kind) {
    case ckTrack:
      if (a == b) return Grown({a}, s.Radius * k + d, shrink, tolerance);
      return Grown({a, b}, s.Radius * k + d, shrink, tolerance);
    case ckRound:
      return Grown({a}, s.Radius * k + d, shrink, tolerance);
    case ckSquare:
      return Grown(box(s.Radius * k, s.Radius * k), d, shrink, tolerance);
    case ckRect:
      return Grown(box(s.HalfX * k, s.HalfY * k), s.Radius * k + d, shrink, tolerance);
    case ckNone:
      break;
  }
  return {};
}

// A drill hole as a disc of copper, for measuring against it.
TCopperShape HoleOf(const TCopperShape& s) { return CopperDisc(s.AX, s.AY, s.HoleRadius); }

// Whether a piece's hole lies outside its own copper, so that the hole needs a clearance of its
// own (a bare hole, or one drilled wider than its pad).
bool HoleStandsOut(const TCopperShape& s) {
  if (s.HoleRadius <= 0) return false;
  return !((s.Kind == ckRound || s.Kind == ckSquare) && s.HoleRadius <= s.Radius);
}

bool IsThermal(const TCopperShape& s) { return s.Kind == ckRound || s.Kind == ckSquare; }

TFillBox BoxOf(const TCopperShape& s) {
  const THalfBox b = ExtentOf(s, true);
  return {b.Left * k, b.Top * k, b.Right * k, b.Bottom * k};
}

// One spoke: an axis-aligned rectangle around C of half sides HX and HY, from the edge of the
// pad's hole (the drill takes no copper of the fill) across the pad's ring and the thermal gap
// into the fill, and the point beyond the gap that the fill, shrunk by half the minimum width,
// must hold for the spoke to join it: the fill grown back around that point then meets the spoke
// all across its width.
struct TSpoke {
  TFillPoint C;
  int64_t HX, HY;
  TFillPoint Tip;
  size_t Pad;
};

void SpokesOf(const TCopperShape& pad, size_t index, const TFillSettings& settings, int64_t half,
              std::vector<TSpoke>& out) {
  const int64_t r = pad.Radius * k, gap = settings.ThermalGap;
  const int64_t inner = pad.HoleRadius * k;
  const int64_t width = std::max(settings.SpokeWidth, 2 * half);
  const int64_t tip = r + gap + half + FillCurveTolerance;
  const int64_t halfLength = (tip + half + FillCurveTolerance - inner + 1) / 2;
  const TFillPoint c{pad.AX * k, pad.AY * k};
  const int dx[4] = {0, 1, 0, -1}, dy[4] = {-1, 0, 1, 0};
  for (int i = 0; i < 4; ++i) {
    TSpoke s;
    s.C = {c.X + dx[i] * (inner + halfLength), c.Y + dy[i] * (inner + halfLength)};
    s.HX = dx[i] ? halfLength : (width + 1) / 2;
    s.HY = dx[i] ? (width + 1) / 2 : halfLength;
    s.Tip = {c.X + dx[i] * tip, c.Y + dy[i] * tip};
    s.Pad = index;
    out.push_back(s);
  }
}

// A spoke shrunk by half the minimum width all round, to be grown back with the fill: a
// rectangle, or its middle line when the spoke is no wider than the minimum width. Either comes
// back with rounded corners that the etch cannot find thin.
void AddShrunk(const TSpoke& s, int64_t half, CL::ClipperOffset& grow) {
  const int64_t hx = s.HX - half, hy = s.HY - half;
  if (hx < 1 || hy < 1) {
    const int64_t lx = std::max<int64_t>(hx, 0), ly = std::max<int64_t>(hy, 0);
    grow.AddPath({{s.C.X - lx, s.C.Y - ly}, {s.C.X + lx, s.C.Y + ly}}, CL::jtRound,
                 CL::etOpenRound);
    return;
  }
  grow.AddPath({{s.C.X - hx, s.C.Y - hy},
                {s.C.X + hx, s.C.Y - hy},
                {s.C.X + hx, s.C.Y + hy},
                {s.C.X - hx, s.C.Y + hy}},
               CL::jtRound, CL::etClosedPolygon);
}

CL::Paths Offset(const CL::Paths& paths, double delta) {
  CL::ClipperOffset offset(2.0, double(FillCurveTolerance) / 2);
  offset.AddPaths(paths, CL::jtRound, CL::etClosedPolygon);
  CL::Paths out;
  offset.Execute(out, delta);
  return out;
}

CL::Path PathOf(const TFillPath& p) {
  CL::Path out;
  out.reserve(p.size());
  for (const auto& q : p) out.push_back({q.X, q.Y});
  return out;
}

TFillPath ToPath(const CL::Path& p) {
  TFillPath out;
  out.reserve(p.size());
  for (const auto& q : p) out.push_back({q.X, q.Y});
  return out;
}

// Every outer path of the tree with the holes directly in it, and the areas inside those holes.
void CollectAreas(const CL::PolyNode& node, std::vector<TFillArea>& out) {
  for (const CL::PolyNode* outer : node.Childs) {
    TFillArea area;
    area.Outer = ToPath(outer->Contour);
    for (const CL::PolyNode* hole : outer->Childs) area.Holes.push_back(ToPath(hole->Contour));
    out.push_back(std::move(area));
    for (const CL::PolyNode* hole : outer->Childs) CollectAreas(*hole, out);
  }
}

CL::Paths PathsOf(const std::vector<TFillArea>& areas) {
  CL::Paths out;
  for (const TFillArea& area : areas) {
    out.push_back(PathOf(area.Outer));
    for (const TFillPath& hole : area.Holes) out.push_back(PathOf(hole));
  }
  return out;
}

std::vector<TFillArea> AreasOf(CL::Clipper& clipper, CL::ClipType type) {
  CL::PolyTree tree;
  clipper.Execute(type, tree, CL::pftNonZero, CL::pftNonZero);
  std::vector<TFillArea> areas;
  CollectAreas(tree, areas);
  return areas;
}

}  // namespace

std::vector<TFillArea> FillOffset(const std::vector<TFillArea>& areas, int64_t delta) {
  CL::Clipper clipper;
  clipper.AddPaths(Offset(PathsOf(areas), double(delta)), CL::ptSubject, true);
  return AreasOf(clipper, CL::ctUnion);
}

std::vector<TFillArea> GrownCopper(const std::vector<TCopperShape>& pieces,
                                   const std::vector<TFillArea>& fills, int64_t delta,
                                   int64_t tolerance) {
  // Clipper sweeps a line across all the polygons at once, and the time it takes grows with how
  // many edges the line crosses: the pieces are first joined cell by cell of a grid, some 128 to
  // a cell, which takes away most of their edges where they overlap, and the cells then four by
  // four.
  std::vector<CL::Path> grown;
  grown.reserve(pieces.size());
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  for (const TCopperShape& piece : pieces) {
    if (piece.Empty()) continue;
    CL::Path path = GrownPiece(piece, delta, 0, tolerance);
    // Every piece the same way round, so that overlapping pieces add up rather than cancel.
    if (!CL::Orientation(path)) CL::ReversePath(path);
    const int64_t x = path.front().X, y = path.front().Y;
    left = std::min(left, x), right = std::max(right, x);
    top = std::min(top, y), bottom = std::max(bottom, y);
    grown.push_back(std::move(path));
  }
  CL::Clipper clipper;
  const int side = int(std::sqrt(double(grown.size()) / 128));
  if (side < 2) {
    clipper.AddPaths(grown, CL::ptSubject, true);
  } else {
    std::vector<CL::Paths> cells(size_t(side) * side);
    const double w = double(right - left) + 1, h = double(bottom - top) + 1;
    for (CL::Path& path : grown) {
      const int cx = std::min(side - 1, int(double(path.front().X - left) / w * side));
      const int cy = std::min(side - 1, int(double(path.front().Y - top) / h * side));
      cells[size_t(cy) * side + size_t(cx)].push_back(std::move(path));
    }
    // Joined cell by cell, then four cells into one, and so on up to the whole board.
    auto joined = [](const CL::Paths& paths) {
      CL::Clipper join;
      join.AddPaths(paths, CL::ptSubject, true);
      CL::Paths out;
      join.Execute(CL::ctUnion, out, CL::pftNonZero, CL::pftNonZero);
      return out;
    };
    for (CL::Paths& cell : cells)
      if (!cell.empty()) cell = joined(cell);
    for (int n = side; n > 2; n = (n + 1) / 2) {
      const int m = (n + 1) / 2;
      std::vector<CL::Paths> up(size_t(m) * m);
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
          CL::Paths& from = cells[size_t(y) * n + size_t(x)];
          CL::Paths& to = up[size_t(y / 2) * m + size_t(x / 2)];
          to.insert(to.end(), from.begin(), from.end());
        }
      for (CL::Paths& cell : up)
        if (!cell.empty()) cell = joined(cell);
      cells = std::move(up);
    }
    for (const CL::Paths& cell : cells) clipper.AddPaths(cell, CL::ptSubject, true);
  }
  if (!fills.empty()) {
    // Clipper's round corners have their corners on the arc and their sides inside it: by the
    // arc tolerance, but Clipper rounds the steps of a short arc to a whole number, which may
    // leave a side up to 2.25 times that inside. Grown by half the tolerance more, with a fifth
    // of it as the arc tolerance, they stay outside the true edge and within the tolerance of it.
    // The fills come in as the other operand, so that their holes never cancel a piece that lies
    // in them.
    CL::ClipperOffset offset(2.0, double(tolerance) / 5);
    offset.AddPaths(PathsOf(fills), CL::jtRound, CL::etClosedPolygon);
    CL::Paths fillsGrown;
    offset.Execute(fillsGrown, double(delta) + double(tolerance) / 2 + kMargin);
    clipper.AddPaths(fillsGrown, CL::ptClip, true);
  }
  CL::PolyTree tree;
  clipper.Execute(CL::ctUnion, tree, CL::pftNonZero, CL::pftNonZero);
  std::vector<TFillArea> areas;
  CollectAreas(tree, areas);
  return areas;
}

std::vector<TFillArea> FillDifference(const std::vector<TFillArea>& a,
                                      const std::vector<TFillArea>& b) {
  CL::Clipper clipper;
  clipper.AddPaths(PathsOf(a), CL::ptSubject, true);
  clipper.AddPaths(PathsOf(b), CL::ptClip, true);
  return AreasOf(clipper, CL::ctDifference);
}

std::vector<TFillArea> ComputeFill(const std::vector<TPoint>& outline,
                                   const TFillSettings& settings,
                                   const std::vector<TFillPiece>& pieces, int32_t seedIsland) {
  if (outline.size() < 3) return {};
  CL::Paths board(1);
  for (const TPoint& p : outline)
    board[0].push_back({int64_t{p.X} * NanometresPerUnit, int64_t{p.Y} * NanometresPerUnit});
  // Whichever way the user went round the outline.
  if (!CL::Orientation(board[0])) CL::ReversePath(board[0]);

  // The fill is worked out shrunk by half the minimum width, then grown back by it: what is too
  // thin for a disc of that width to pass never comes back. Everything it keeps clear of is
  // grown by that half more, as a polygon around the true shape, and the growing back rounds
  // with corners on the true arc, so that every gap comes out at least as wide as it is set.
  TFillSettings sane = settings;
  for (int64_t* v : {&sane.Clearance, &sane.MinimumWidth, &sane.ThermalGap, &sane.SpokeWidth})
    *v = std::clamp<int64_t>(*v, 0, kLargestSetting);
  const int64_t half = std::max<int64_t>(1, sane.MinimumWidth / 2);
  const int64_t clearance = sane.Clearance, gap = sane.ThermalGap;
  CL::Paths kept;
  std::vector<size_t> pads;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const TCopperShape& s = pieces[i].Shape;
    const bool seed = pieces[i].Island == seedIsland && seedIsland != NoFillSeed;
    if (seed && IsThermal(s)) {
      kept.push_back(GrownPiece(s, gap, half));
      // A pad drilled out to its edge keeps no ring for spokes to reach.
      if (s.HoleRadius < s.Radius) pads.push_back(i);
    } else if (!seed && !s.Empty()) {
      kept.push_back(GrownPiece(s, clearance, half));
    }
    if (HoleStandsOut(s)) kept.push_back(GrownPiece(HoleOf(s), clearance, half));
  }
  // The outline's own edges, as tracks of no width, keep the shrunk fill half inside it.
  std::vector<TCopperShape> edges;
  for (size_t i = 0; i < outline.size(); ++i) {
    const TPoint a = outline[i], b = outline[(i + 1) % outline.size()];
    TCopperShape edge = CopperDisc(2 * int64_t{a.X}, 2 * int64_t{a.Y}, 0);
    edge.BX = 2 * int64_t{b.X}, edge.BY = 2 * int64_t{b.Y};
    edges.push_back(edge);
    kept.push_back(GrownPiece(edge, 0, half));
  }
  std::vector<TFillArea> shrunk;
  {
    CL::Clipper clipper;
    clipper.AddPaths(board, CL::ptSubject, true);
    clipper.AddPaths(kept, CL::ptClip, true);
    shrunk = AreasOf(clipper, CL::ctDifference);
  }
  if (shrunk.empty()) return {};

  CL::ClipperOffset grow(2.0, double(FillCurveTolerance) / 2);
  grow.AddPaths(PathsOf(shrunk), CL::jtRound, CL::etClosedPolygon);
  // Spokes, each kept when it clears all other copper, every other hole and the outline, and
  // the shrunk fill holds its tip.
  if (!pads.empty()) {
    std::vector<TSpoke> spokes;
    for (size_t p : pads) SpokesOf(pieces[p].Shape, p, sane, half, spokes);
    std::vector<TFillBox> boxes;
    for (const TFillPiece& piece : pieces) boxes.push_back(BoxOf(piece.Shape));
    TFillGrid grid;
    grid.Build(boxes);
    const TFillMeasure measure(shrunk);
    for (const TSpoke& spoke : spokes) {
      if (!measure.Inside(spoke.Tip)) continue;
      bool clear = true;
      for (const TCopperShape& edge : edges)
        if (BoxGapSign(spoke.C, spoke.HX, spoke.HY, edge, 0) <= 0) clear = false;
      const TFillBox box{spoke.C.X - spoke.HX, spoke.C.Y - spoke.HY, spoke.C.X + spoke.HX,
                         spoke.C.Y + spoke.HY};
      grid.Visit(box.Grown(clearance + 1), [&](uint32_t i) {
        if (!clear) return;
        const TCopperShape& other = pieces[i].Shape;
        if (pieces[i].Island != seedIsland &&
            BoxGapSign(spoke.C, spoke.HX, spoke.HY, other, clearance) < 0)
          clear = false;
        else if (i != spoke.Pad && other.HoleRadius > 0 &&
                 BoxGapSign(spoke.C, spoke.HX, spoke.HY, HoleOf(other), clearance) < 0)
          clear = false;
      });
      if (clear) AddShrunk(spoke, half, grow);
    }
  }
  std::vector<TFillArea> areas;
  {
    CL::PolyTree tree;
    grow.Execute(tree, double(half));
    CollectAreas(tree, areas);
  }

  if (settings.KeepIslands || areas.empty()) return areas;
  if (seedIsland == NoFillSeed) return {};
  // The areas that reach the seed island's copper, by its pieces, each measured exactly.
  std::vector<bool> joins(areas.size(), false);
  {
    const TFillMeasure measure(areas);
    for (const TFillPiece& piece : pieces)
      if (piece.Island == seedIsland)
        for (int32_t a : measure.AreasTouching(piece.Shape)) joins[size_t(a)] = true;
  }
  std::vector<TFillArea> joined;
  for (size_t a = 0; a < areas.size(); ++a)
    if (joins[a]) joined.push_back(std::move(areas[a]));
  return joined;
}
