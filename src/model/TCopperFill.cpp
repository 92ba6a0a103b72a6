#include "TCopperFill.h"

#include <QPointF>
#include <algorithm>
#include <cstdio>

#include "TCanvas.h"
#include "TCopperIslands.h"
#include "TElementIndex.h"
#include "TElementList.h"

namespace {

// The largest length a fill's setting takes, 100 mm in nanometres.
constexpr int64_t kLargestSetting = 100000000;

}  // namespace

TCopperFill::TCopperFill(TLayoutView* layout, std::vector<TPoint> corners, bool hasSeed,
                         TPoint seed, const TFillSettings& settings)
    : TPCBElement(layout),
      Corners_(std::move(corners)),
      HasSeed_(hasSeed),
      Seed_(hasSeed ? seed : TPoint{}),
      Settings_(settings) {}

void TCopperFill::SetCorners(std::vector<TPoint> corners) { Corners_ = std::move(corners); }
void TCopperFill::SetCorner(size_t i, TPoint p) {
  if (i < Corners_.size()) Corners_[i] = p;
}
void TCopperFill::SetSeed(bool hasSeed, TPoint seed) {
  HasSeed_ = hasSeed;
  Seed_ = hasSeed ? seed : TPoint{};
}
void TCopperFill::SetSettings(const TFillSettings& settings) { Settings_ = settings; }

bool TCopperFill::Valid(const std::vector<TPoint>& corners, const TFillSettings& settings) {
  if (corners.size() < MinCorners || corners.size() > MaxCorners) return false;
  for (int64_t v :
       {settings.Clearance, settings.MinimumWidth, settings.ThermalGap, settings.SpokeWidth})
    if (v < 0 || v > kLargestSetting) return false;
  return true;
}

void TCopperFill::SetAreas(std::vector<TFillArea> areas, int32_t seedIsland) const {
  Areas_ = std::move(areas);
  SeedIsland_ = seedIsland;
}

std::string TCopperFill::ToText() const {
  char buf[160];
  std::snprintf(
      buf, sizeof buf, "@FILL %d, %d, %d, %lld, %lld, %lld, %lld, %d, %zu", HasSeed_, Seed_.X,
      Seed_.Y, static_cast<long long>(Settings_.Clearance),
      static_cast<long long>(Settings_.MinimumWidth), static_cast<long long>(Settings_.ThermalGap),
      static_cast<long long>(Settings_.SpokeWidth), Settings_.KeepIslands ? 1 : 0, Corners_.size());
  std::string line = buf;
  for (const TPoint& c : Corners_) {
    std::snprintf(buf, sizeof buf, ", %d, %d", c.X, c.Y);
    line += buf;
  }
  return line;
}

namespace {

// The outline's corners on the screen, as pads and wires are placed there.
std::vector<QPointF> OutlineOnScreen(const TLayoutView& view, const std::vector<TPoint>& corners) {
  const int32_t p = StepPixels(view);
  const TPoint offset = view.ViewOffset();
  std::vector<QPointF> out;
  out.reserve(corners.size());
  for (const TPoint& c : corners)
    out.emplace_back(ShownAt(c.X, p, offset.X), ShownAt(c.Y, p, offset.Y));
  return out;
}

// Whether a point lies inside a closed path, counting crossings (even-odd).
bool InsidePath(const std::vector<QPointF>& path, double x, double y) {
  bool inside = false;
  for (size_t i = 0, j = path.size() - 1; i < path.size(); j = i++) {
    const QPointF a = path[i], b = path[j];
    if ((a.y() > y) != (b.y() > y) && x < (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()) + a.x())
      inside = !inside;
  }
  return inside;
}

// The areas' paths, outer edges and holes alike, placed by TO.
template <class To>
std::vector<std::vector<QPointF>> AreaPaths(const std::vector<TFillArea>& areas, To to) {
  std::vector<std::vector<QPointF>> paths;
  auto add = [&](const TFillPath& path) {
    std::vector<QPointF> out;
    out.reserve(path.size());
    for (const TFillPoint& q : path) out.push_back(to(q));
    paths.push_back(std::move(out));
  };
  for (const TFillArea& a : areas) {
    add(a.Outer);
    for (const TFillPath& h : a.Holes) add(h);
  }
  return paths;
}

// Halfway between two colours, channel by channel: the fill shows lighter than the copper on a
// light board and darker on a dark one, and its gaps in the board's own colour.
TColor Between(TColor a, TColor b) {
  TColor out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
  return out;
}

}  // namespace

bool TCopperFill::HitTest(TPoint pixel) const {
  if (Corners_.size() < MinCorners) return false;
  // The pixel's centre, as the fill's pixels are those whose centre lies inside.
  return InsidePath(OutlineOnScreen(*Layout(), Corners_), pixel.X + 0.5, pixel.Y + 0.5);
}

bool TCopperFill::InRect(const TRect& rect) const {
  return std::all_of(Corners_.begin(), Corners_.end(), [&rect](const TPoint& c) {
    return rect.Left <= c.X && c.X <= rect.Right && rect.Top <= c.Y && c.Y <= rect.Bottom;
  });
}

void TCopperFill::Draw(TDrawMode mode) const {
  TLayoutView& view = *Layout();
  if (mode == dmPrint) {
    TCanvas* canvas = BlackPrinterCanvas(view);
    if (!canvas) return;
    // True size in printer dots: a board unit prints dpi / 160 dots.
    const double scale =
        double(view.PrinterResolution()) / (double(NanometresPerUnit) * UnitsPerInch);
    canvas->FillPolygons(AreaPaths(
        Areas_, [scale](const TFillPoint& q) { return QPointF(q.X * scale, q.Y * scale); }));
    return;
  }
  const int32_t p = StepPixels(view);
  const TPoint offset = view.ViewOffset();
  const double scale = double(p) / (double(NanometresPerUnit) * UnitsPerStep);
  if (mode == dmNormal || Selected()) {
    TCanvas& canvas = view.BoardCanvas();
    canvas.SetBrushColor(Between(view.WireColor(), view.Color()));
    canvas.FillPolygons(AreaPaths(Areas_, [&](const TFillPoint& q) {
      return QPointF(q.X * scale + offset.X, q.Y * scale + offset.Y);
    }));
  }
  if (mode == dmNormal && !Selected()) return;
  // Chosen or under the pointer: its outline in the focus colour, on the board when chosen,
  // over it while the pointer passes.
  TCanvas& canvas = Selected() ? view.BoardCanvas() : view.Canvas();
  std::vector<QPointF> outline = OutlineOnScreen(view, Corners_);
  if (outline.empty()) return;
  outline.push_back(outline.front());
  canvas.SetPenColor(view.FocusColor());
  canvas.SetPenWidth(2);
  canvas.MoveTo(int32_t(outline.front().x()), int32_t(outline.front().y()));
  for (size_t i = 1; i < outline.size(); ++i)
    canvas.LineTo(int32_t(outline[i].x()), int32_t(outline[i].y()));
}

void TCopperFill::Move(int32_t dx, int32_t dy) {
  bool wrapped = false;
  auto move = [&](TPoint& c) {
    const int64_t x = int64_t{c.X} + dx, y = int64_t{c.Y} + dy;
    c = {WAdd(c.X, dx), WAdd(c.Y, dy)};
    wrapped = wrapped || x != c.X || y != c.Y;
  };
  for (TPoint& c : Corners_) move(c);
  if (HasSeed_) move(Seed_);
  // The copper goes along until the board works it out again, so that a fill dragged across the
  // board is seen where it goes; one that wrapped round the board's 32 bits is shown again then.
  if (wrapped) {
    Areas_.clear();
    return;
  }
  const int64_t mx = int64_t{dx} * NanometresPerUnit, my = int64_t{dy} * NanometresPerUnit;
  for (TFillArea& a : Areas_) {
    for (TFillPoint& q : a.Outer) q.X += mx, q.Y += my;
    for (TFillPath& h : a.Holes)
      for (TFillPoint& q : h) q.X += mx, q.Y += my;
  }
}

std::unique_ptr<TPCBElement> TCopperFill::Clone(TLayoutView* layout) const {
  auto copy = std::make_unique<TCopperFill>(layout, Corners_, HasSeed_, Seed_, Settings_);
  copy->SetAreas(Areas_, SeedIsland_);
  copy->SetSelected(Selected());
  return copy;
}

void UpdateFills(const TElementList& list) {
  if (list.FillsAt_ == list.Generation()) return;
  std::vector<const TCopperFill*> fills;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Kind() == ekFill)
      fills.push_back(static_cast<const TCopperFill*>(list.Items(i)));
  if (fills.empty()) {
    list.FillsAt_ = list.Generation();
    return;
  }
  TElementIndex index;
  index.Build(list);
  TCopperIslands islands;
  islands.Build(list, index);
  // Every piece of copper that is not fill, and every bare hole, with its island and its box.
  std::vector<TFillPiece> pieces;
  std::vector<THalfBox> boxes;
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (list.Items(i)->Kind() == ekFill) continue;
    for (const TCopperShape& s : islands.PiecesOf(i)) {
      if (s.Empty() && s.HoleRadius <= 0) continue;
      pieces.push_back({s, islands.IslandOf(i)});
      boxes.push_back(ExtentOf(s, true));
    }
  }
  std::vector<TFillPiece> near;
  for (const TCopperFill* fill : fills) {
    const int32_t seedIsland =
        fill->HasSeed() ? islands.IslandAt(list, index, fill->Seed()) : NoFillSeed;
    // Only copper within reach of the outline can shape the fill: the widest gap it keeps, and
    // the minimum width it is worked out with, beyond the outline's box.
    const TFillSettings& s = fill->Settings();
    const int64_t reachNm =
        std::clamp<int64_t>(std::max(s.Clearance, s.ThermalGap), 0, kLargestSetting) +
        std::clamp<int64_t>(s.MinimumWidth, 0, kLargestSetting);
    const int64_t reach = reachNm / NanometresPerHalfUnit + 2;
    THalfBox box{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
    for (const TPoint& c : fill->Corners()) {
      box.Left = std::min(box.Left, 2 * int64_t{c.X} - reach);
      box.Top = std::min(box.Top, 2 * int64_t{c.Y} - reach);
      box.Right = std::max(box.Right, 2 * int64_t{c.X} + reach);
      box.Bottom = std::max(box.Bottom, 2 * int64_t{c.Y} + reach);
    }
    near.clear();
    for (size_t k = 0; k < pieces.size(); ++k) {
      const THalfBox& b = boxes[k];
      if (b.Left <= box.Right && box.Left <= b.Right && b.Top <= box.Bottom && box.Top <= b.Bottom)
        near.push_back(pieces[k]);
    }
    fill->SetAreas(ComputeFill(fill->Corners(), s, near, seedIsland), seedIsland);
  }
  list.FillsAt_ = list.Generation();
}
