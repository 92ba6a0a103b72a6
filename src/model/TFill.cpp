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
int SidesFor(double r) {
  const double limit = (r + kMargin) / (r + FillCurveTolerance);
  const int sides = int(std::ceil(kPi / std::acos(limit)));
  return std::max(8, (sides + 3) / 4 * 4);
}

// The corners of copper cores (one point, the two ends of a track, or the four corners of a box)
// grown by radius R, as a polygon around the true shape: its sides stand R plus the margin away.
// The polygon runs with a positive area, as Clipper's outer paths do.
CL::Path Grown(const std::vector<CL::IntPoint>& cores, int64_t r) {
  const int sides = SidesFor(double(r));
  const double reach = double(r + kMargin) / std::cos(kPi / sides);
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

// A piece of copper grown by D nanometres all round, as a polygon around it.
CL::Path GrownPiece(const TCopperShape& s, int64_t d) {
  const CL::IntPoint a(s.AX * k, s.AY * k), b(s.BX * k, s.BY * k);
  auto box = [&a](int64_t hx, int64_t hy) {
    return std::vector<CL::IntPoint>{
        {a.X - hx, a.Y - hy}, {a.X + hx, a.Y - hy}, {a.X + hx, a.Y + hy}, {a.X - hx, a.Y + hy}};
  };
  switch (s.Kind) {
    case ckTrack:
      if (a == b) return Grown({a}, s.Radius * k + d);
      return Grown({a, b}, s.Radius * k + d);
    case ckRound:
      return Grown({a}, s.Radius * k + d);
    case ckSquare:
      return Grown(box(s.Radius * k, s.Radius * k), d);
    case ckRect:
      return Grown(box(s.HalfX * k, s.HalfY * k), s.Radius * k + d);
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

// One spoke: an axis-aligned rectangle around C of half sides HX and HY, and the point beyond the
// thermal ring that must lie in the fill for the spoke to join it.
struct TSpoke {
  TFillPoint C;
  int64_t HX, HY;
  TFillPoint Tip;
  size_t Pad;
};

// The four spokes of a pad, from its centre across the ring into the fill by their own width
// (at least four times the curve tolerance). The fill takes in the pads it reaches, so that the
// spokes end in copper, not in corners of their own that the etch would find thin.
void SpokesOf(const TCopperShape& pad, size_t index, const TFillSettings& settings,
              std::vector<TSpoke>& out) {
  const int64_t r = pad.Radius * k;
  const int64_t width = std::max({settings.SpokeWidth, settings.MinimumWidth, int64_t{2}});
  const int64_t gap = std::max<int64_t>(0, settings.ThermalGap);
  const int64_t inner = 0;
  const int64_t overlap = std::max(width, 4 * FillCurveTolerance);
  const int64_t outer = r + gap + overlap;
  const int64_t half = (width + 1) / 2, halfLength = (outer - inner + 1) / 2;
  const int64_t middle = inner + halfLength, tip = r + gap + (overlap + FillCurveTolerance) / 2;
  const TFillPoint c{pad.AX * k, pad.AY * k};
  const int dx[4] = {0, 1, 0, -1}, dy[4] = {-1, 0, 1, 0};
  for (int i = 0; i < 4; ++i) {
    TSpoke s;
    s.C = {c.X + dx[i] * middle, c.Y + dy[i] * middle};
    s.HX = dx[i] ? halfLength : half;
    s.HY = dx[i] ? half : halfLength;
    s.Tip = {c.X + dx[i] * tip, c.Y + dy[i] * tip};
    s.Pad = index;
    out.push_back(s);
  }
}

// A pad's copper as a polygon that lies within it, corners on the circle of a round one.
CL::Path Within(const TCopperShape& s) {
  const int64_t r = s.Radius * k, x = s.AX * k, y = s.AY * k;
  if (s.Kind == ckSquare) return {{x - r, y - r}, {x + r, y - r}, {x + r, y + r}, {x - r, y + r}};
  CL::Path path;
  for (const auto& d : Directions(SidesFor(double(r))))
    path.push_back({x + std::llround(double(r) * d.first), y + std::llround(double(r) * d.second)});
  return path;
}

CL::Path PathOf(const TSpoke& s) {
  return {{s.C.X - s.HX, s.C.Y - s.HY},
          {s.C.X + s.HX, s.C.Y - s.HY},
          {s.C.X + s.HX, s.C.Y + s.HY},
          {s.C.X - s.HX, s.C.Y + s.HY}};
}

CL::Paths Execute(CL::ClipType type, const CL::Paths& subject, const CL::Paths& clip) {
  CL::Clipper clipper;
  clipper.AddPaths(subject, CL::ptSubject, true);
  clipper.AddPaths(clip, CL::ptClip, true);
  CL::Paths out;
  clipper.Execute(type, out, CL::pftNonZero, CL::pftNonZero);
  return out;
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

  const int64_t clearance = std::max<int64_t>(0, settings.Clearance);
  const int64_t gap = std::max<int64_t>(0, settings.ThermalGap);
  CL::Paths kept;  // what the fill keeps clear of
  std::vector<size_t> pads;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const TCopperShape& s = pieces[i].Shape;
    const bool seed = pieces[i].Island == seedIsland && seedIsland != NoFillSeed;
    if (seed && IsThermal(s)) {
      kept.push_back(GrownPiece(s, gap));
      pads.push_back(i);
    } else if (!seed && !s.Empty()) {
      kept.push_back(GrownPiece(s, clearance));
    }
    if (HoleStandsOut(s)) kept.push_back(GrownPiece(HoleOf(s), clearance));
  }
  const CL::Paths open = Execute(CL::ctDifference, board, kept);
  if (open.empty()) return {};

  // Opened: shrunk by half the minimum width and grown back, which leaves out every part too
  // thin for a disc of that width to pass; the growing rounds corners a little outwards, so the
  // result is held within what was open.
  std::vector<TFillArea> areas;
  {
    CL::Clipper clipper;
    CL::ClipType type = CL::ctUnion;
    if (settings.MinimumWidth > 0) {
      const double half = double(settings.MinimumWidth) / 2;
      clipper.AddPaths(Offset(Offset(open, -half), half), CL::ptSubject, true);
      type = CL::ctIntersection;
    }
    clipper.AddPaths(open, type == CL::ctUnion ? CL::ptSubject : CL::ptClip, true);
    areas = AreasOf(clipper, type);
  }

  // Spokes, each kept when it clears all other copper and every other hole by the clearance and
  // its tip lies in the fill.
  CL::Paths spokePaths;
  if (!pads.empty() && !areas.empty()) {
    std::vector<TSpoke> spokes;
    for (size_t p : pads) SpokesOf(pieces[p].Shape, p, settings, spokes);
    std::vector<TFillBox> boxes;
    for (const TFillPiece& piece : pieces) boxes.push_back(BoxOf(piece.Shape));
    TFillGrid grid;
    grid.Build(boxes);
    const TFillMeasure measure(areas);
    std::vector<bool> reached(pieces.size(), false);
    for (const TSpoke& spoke : spokes) {
      if (!measure.Inside(spoke.Tip)) continue;
      bool clear = true;
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
      if (clear) {
        spokePaths.push_back(PathOf(spoke));
        if (!reached[spoke.Pad]) spokePaths.push_back(Within(pieces[spoke.Pad].Shape));
        reached[spoke.Pad] = true;
      }
    }
    // A pad near the outline keeps its spokes inside it.
    if (!spokePaths.empty()) spokePaths = Execute(CL::ctIntersection, spokePaths, board);
  }
  if (!spokePaths.empty()) {
    CL::Clipper clipper;
    clipper.AddPaths(PathsOf(areas), CL::ptSubject, true);
    clipper.AddPaths(spokePaths, CL::ptSubject, true);
    areas = AreasOf(clipper, CL::ctUnion);
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
