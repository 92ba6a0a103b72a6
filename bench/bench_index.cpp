// How long the spatial index takes to build over a board, and to answer a screen-sized query,
// beside one walk of the same list asking every element whether it lies in that rectangle, in
// the same run; then the same with one pad far from the rest of the board, which must change
// neither. Prints figures; never passes or fails.

#include <cmath>
#include <cstdlib>

#include "BenchBoard.h"
#include "TElementIndex.h"

int main(int argc, char** argv) {
  bench::Headless();
  QApplication app(argc, argv);
  const int onlyCount = argc > 1 ? std::atoi(argv[1]) : 0;
  int walked = 0;
  std::printf("Spatial index; times are medians in ms\n");
  std::printf("%8s | %9s %9s %6s | %9s %8s | %9s %9s\n", "elements", "build", "walk", "ratio",
              "query", "found", "far build", "far query");
  for (int count : {10000, 100000, 1000000}) {
    if (onlyCount && count != onlyCount) continue;
    TPCBLayout layout, far;
    // About 2 elements per square step, as a dense hand-drawn board has them.
    const int32_t side = static_cast<int32_t>(std::sqrt(count / 2.0)) * 16;
    bench::FillBoard(layout.Elements(), count, side, side);
    bench::FillBoard(far.Elements(), count, side, side);
    far.Elements().AddSolder({3000000, 3000000}, 4, 16, 0);
    const TElementList& list = layout.Elements();
    // A 1920 x 1080 view at 10 pixels a step, in the middle of the board.
    const TRect view{side / 2, side / 2, side / 2 + 192 * 16, side / 2 + 108 * 16};
    TElementIndex index, farIndex;
    std::vector<int32_t> found, farFound;
    const std::vector<double> t = bench::TimeInTurn({[&] { index.Build(list); },
                                                     [&] {
                                                       walked = 0;
                                                       for (int32_t i = 0; i < list.Count(); ++i)
                                                         walked += list.Items(i)->InRect(view);
                                                     },
                                                     [&] { index.Query(view, found); },
                                                     [&] { farIndex.Build(far.Elements()); },
                                                     [&] { farIndex.Query(view, farFound); }});
    std::printf("%8d | %9.2f %9.2f %6.2f | %9.3f %8zu | %9.2f %9.3f\n", count, t[0], t[1],
                t[0] / t[1], t[2], found.size(), t[3], t[4]);
  }
  return walked < 0;
}
