// How long the board check takes, beside one full RenderBoard of the same board on a 1920 x 1080
// control in the same run, and the spatial index and the islands alone; then the check of a
// board laid out on a grid beside the same board with one pad placed far away, which must not make
// the check of the rest any slower; then the check of a board of texts beside the same strokes
// drawn as wires; then a grid board under a fill of the whole board beside the same board alone.
// Prints figures; never passes or fails.

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

#include "BenchBoard.h"
#include "TBoardCheck.h"
#include "TCopperFill.h"
#include "TCopperIslands.h"
#include "TCopperText.h"
#include "TElementIndex.h"

int main(int argc, char** argv) {
  bench::Headless();
  QApplication app(argc, argv);
  const int onlyCount = argc > 1 ? std::atoi(argv[1]) : 0;
  std::printf("Board check against RenderBoard on 1920x1080; times are medians in ms\n");
  std::printf("%8s %6s | %9s %9s %6s | %9s %9s | %8s\n", "elements", "board", "check", "render",
              "ratio", "index", "islands", "problems");
  size_t problems = 0;
  for (int count : {10000, 100000}) {
    if (onlyCount && count != onlyCount) continue;
    for (int spread : {1, 10}) {
      // The board fills the view, or ten times the view each way, as bench_render's boards do.
      auto layout = bench::ScreenBoard(count, 1920, 1080, spread);
      const TElementList& list = layout->Elements();
      TElementIndex index;
      TCopperIslands islands;
      const std::vector<double> t =
          bench::TimeInTurn({[&] { problems = CheckBoard(list, TCheckRules{}).size(); },
                             [&] { layout->RenderBoard(); }, [&] { index.Build(list); },
                             [&] { islands.Build(list, index); }},
                            5);
      std::printf("%8d %6s | %9.2f %9.2f %6.2f | %9.2f %9.2f | %8zu\n", count,
                  spread == 1 ? "view" : "10x", t[0], t[1], t[0] / t[1], t[2], t[3], problems);
    }
  }

  std::printf("\nBoard check of a grid board, alone and with one pad at (3000000, 3000000)\n");
  std::printf("%8s | %9s %9s %6s | %8s %8s\n", "elements", "alone", "far pad", "ratio", "problems",
              "with far");
  for (int count : {10000, 160000}) {
    if (onlyCount && count != onlyCount) continue;
    TPCBLayout alone, far;
    bench::GridBoard(alone.Elements(), count);
    bench::GridBoard(far.Elements(), count);
    far.Elements().AddSolder({3000000, 3000000}, 4, 16, 0);
    size_t farProblems = 0;
    const std::vector<double> t =
        bench::TimeInTurn({[&] { problems = CheckBoard(alone.Elements(), TCheckRules{}).size(); },
                           [&] { farProblems = CheckBoard(far.Elements(), TCheckRules{}).size(); }},
                          5);
    std::printf("%8d | %9.2f %9.2f %6.2f | %8zu %8zu\n", count, t[0], t[1], t[1] / t[0], problems,
                farProblems);
  }

  // Texts of ten characters on a grid, mirrored as copper text is by default, against wires on
  // the same strokes (their ends rounded to whole board units, 2 units wide as the strokes).
  std::printf("\nBoard check of texts of 10 characters beside the same strokes as wires\n");
  std::printf("%8s %8s | %9s %9s %6s | %8s %8s\n", "texts", "strokes", "texts", "wires", "ratio",
              "problems", "as wires");
  for (int count : {1000, 10000}) {
    if (onlyCount && count != onlyCount) continue;
    TPCBLayout texts, wires;
    size_t strokes = 0;
    for (int i = 0; i < count; ++i) {
      const TPoint at{i % 25 * 160 + 160, i / 25 * 32 + 32};
      auto text = std::make_unique<TCopperText>(&texts, at, "GND +9V IN", 13, 2, 0, true);
      for (const TCopperShape& s : text->Strokes()) {
        wires.Elements().AddWire({int32_t(s.AX / 2), int32_t(s.AY / 2)},
                                 {int32_t(s.BX / 2), int32_t(s.BY / 2)}, 8);
        ++strokes;
      }
      texts.Elements().Append(std::move(text));
    }
    size_t asWires = 0;
    const std::vector<double> t =
        bench::TimeInTurn({[&] { problems = CheckBoard(texts.Elements(), TCheckRules{}).size(); },
                           [&] { asWires = CheckBoard(wires.Elements(), TCheckRules{}).size(); }},
                          5);
    std::printf("%8d %8zu | %9.2f %9.2f %6.2f | %8zu %8zu\n", count, strokes, t[0], t[1],
                t[0] / t[1], problems, asWires);
  }

  // The grid board again, and with a fill over all of it seeded on its first pad: the fill worked
  // out anew (as after any change) and measured against every other island.
  std::printf("\nBoard check of a grid board, alone and under a fill of the whole board\n");
  std::printf("%8s | %9s %9s %6s | %8s %8s\n", "elements", "alone", "filled", "ratio", "problems",
              "filled");
  for (int count : {1000, 10000}) {
    if (onlyCount && count != onlyCount) continue;
    TPCBLayout alone, filled;
    bench::GridBoard(alone.Elements(), count);
    bench::GridBoard(filled.Elements(), count);
    TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    TPoint seed;
    for (int32_t i = 0; i < filled.Elements().Count(); ++i) {
      const TCopperShape s = CopperOf(*filled.Elements().Items(i));
      if (s.Kind == ckRound && seed == TPoint{}) seed = {int32_t(s.AX / 2), int32_t(s.AY / 2)};
      box = {std::min(box.Left, int32_t(s.AX / 2)), std::min(box.Top, int32_t(s.AY / 2)),
             std::max(box.Right, int32_t(s.BX / 2)), std::max(box.Bottom, int32_t(s.BY / 2))};
    }
    filled.Elements().Append(
        std::make_unique<TCopperFill>(&filled,
                                      std::vector<TPoint>{{box.Left - 32, box.Top - 32},
                                                          {box.Right + 32, box.Top - 32},
                                                          {box.Right + 32, box.Bottom + 32},
                                                          {box.Left - 32, box.Bottom + 32}},
                                      true, seed, TFillSettings{}));
    size_t filledProblems = 0;
    const std::vector<double> t =
        bench::TimeInTurn({[&] { problems = CheckBoard(alone.Elements(), TCheckRules{}).size(); },
                           [&] {
                             filled.Elements().Changed(filled.Elements().Count() - 1);
                             filledProblems = CheckBoard(filled.Elements(), TCheckRules{}).size();
                           }},
                          5);
    std::printf("%8d | %9.2f %9.2f %6.2f | %8zu %8zu\n", count, t[0], t[1], t[1] / t[0], problems,
                filledProblems);
  }
  return 0;
}
