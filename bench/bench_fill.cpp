// How long a board-sized copper fill takes to work out, beside one full RenderBoard of the same
// board on a 1920 x 1080 control in the same run: on the amplifier example and on generated
// boards, each fill seeded on the island with the most pads (a ground). Then the exact
// measurement the check makes: the fill against every piece of the board. Prints figures; never
// passes or fails. The ratio is the fill as the board works it out after a change (UpdateFills)
// against the render.

#include <cstdlib>
#include <map>
#include <memory>

#include "BenchBoard.h"
#include "TCopperFill.h"
#include "TCopperIslands.h"
#include "TElementIndex.h"
#include "TFill.h"

namespace {

struct TFillInput {
  std::vector<TPoint> outline;
  std::vector<TFillPiece> pieces;
  int32_t seed = NoFillSeed;
  size_t seedPads = 0;
  TPoint seedPoint;  // a pad's centre on the seed island
};

// The board's copper with its islands, an outline a little beyond all of it, and the seed.
TFillInput InputOf(const TElementList& list) {
  TElementIndex index;
  index.Build(list);
  TCopperIslands islands;
  islands.Build(list, index);
  TFillInput in;
  std::map<int32_t, size_t> pads;
  int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
  std::map<int32_t, TPoint> padAt;
  for (int32_t i = 0; i < list.Count(); ++i) {
    for (const TCopperShape& s : islands.PiecesOf(i)) {
      in.pieces.push_back({s, islands.IslandOf(i)});
      if (s.Kind == ckRound || s.Kind == ckSquare) {
        ++pads[islands.IslandOf(i)];
        padAt[islands.IslandOf(i)] = {int32_t(s.AX / 2), int32_t(s.AY / 2)};
      }
      const THalfBox b = ExtentOf(s, true);
      if (b.Empty()) continue;
      left = std::min(left, b.Left), top = std::min(top, b.Top);
      right = std::max(right, b.Right), bottom = std::max(bottom, b.Bottom);
    }
  }
  for (const auto& [island, count] : pads)
    if (count > in.seedPads) in.seed = island, in.seedPads = count, in.seedPoint = padAt[island];
  // Half units to board units, and a grid step of bare board around the copper.
  const int32_t l = int32_t(left / 2) - 16, t = int32_t(top / 2) - 16;
  const int32_t r = int32_t(right / 2) + 16, b = int32_t(bottom / 2) + 16;
  in.outline = {{l, t}, {r, t}, {r, b}, {l, b}};
  return in;
}

size_t Corners(const std::vector<TFillArea>& areas) {
  size_t n = 0;
  for (const TFillArea& a : areas) {
    n += a.Outer.size();
    for (const TFillPath& h : a.Holes) n += h.size();
  }
  return n;
}

// The fill alone from the board's pieces; then the fill as an element of the board, worked out
// again as after any change (the index, the islands and the seed's island found first); the
// exact measure; a render of the board without the fill; and the fill drawn on its own at the
// start scale.
void Measure(const char* name, TPCBLayout& layout) {
  const TFillInput in = InputOf(layout.Elements());
  const TFillSettings settings;
  std::vector<TFillArea> fill;
  size_t closer = 0;
  TPCBLayout withFill;
  withFill.resize(1920, 1080);
  for (int32_t i = 0; i < layout.Elements().Count(); ++i)
    withFill.Elements().Append(layout.Elements().Items(i)->Clone(&withFill));
  auto element = std::make_unique<TCopperFill>(&withFill, in.outline, true, in.seedPoint, settings);
  const TCopperFill* added = element.get();
  withFill.Elements().Append(std::move(element));
  withFill.RenderBoard();  // sizes its board image
  const std::vector<double> t =
      bench::TimeInTurn({[&] { fill = ComputeFill(in.outline, settings, in.pieces, in.seed); },
                         [&] {
                           withFill.Elements().Changed(withFill.Elements().Count() - 1);
                           UpdateFills(withFill.Elements());
                         },
                         [&] {
                           const TFillMeasure measure(fill);
                           closer = 0;
                           for (const TFillPiece& p : in.pieces)
                             closer += measure.Closer(p.Shape, 400000);
                         },
                         [&] { layout.RenderBoard(); }, [&] { added->Draw(dmNormal); }},
                        5);
  std::printf("%-14s %8d %6zu | %9.2f %9.2f %9.2f %6.2f | %9.2f %9.2f | %6zu %8zu %6zu\n", name,
              layout.Elements().Count(), in.seedPads, t[0], t[1], t[3], t[1] / t[3], t[4], t[2],
              added->Areas().size(), Corners(added->Areas()), closer);
}

}  // namespace

int main(int argc, char** argv) {
  bench::Headless();
  QApplication app(argc, argv);
  std::printf(
      "A board-sized fill (default settings, seeded on the island with most pads) against "
      "RenderBoard on 1920x1080; the exact check of every piece against it; medians in ms\n");
  std::printf("%-14s %8s %6s | %9s %9s %9s %6s | %9s %9s | %6s %8s %6s\n", "board", "elements",
              "pads", "fill", "update", "render", "ratio", "draw", "measure", "areas", "corners",
              "closer");
  {
    auto layout = std::make_unique<TPCBLayout>();
    layout->resize(1920, 1080);
    layout->Elements().LoadFromFile(FERROLUME_SOURCE_DIR "/examples/amplifier386.pcb");
    Measure("amplifier386", *layout);
  }
  for (int count : {1000, 10000}) {
    auto layout = bench::ScreenBoard(count, 1920, 1080);
    Measure(count == 1000 ? "generated 1e3" : "generated 1e4", *layout);
  }
  return 0;
}
