// How long the three milling jobs (isolation, drilling, outline) take for a board, beside one
// full RenderBoard of the same board on a 1920 x 1080 control in the same run: on the amplifier
// example and on generated boards of 10^3 and 10^4 elements, with the default V-bit in one pass
// and a flat bit in three. Prints figures; never passes or fails.

#include <memory>

#include "BenchBoard.h"
#include "TMilling.h"

namespace {

void Measure(const char* name, TPCBLayout& layout) {
  layout.RenderBoard();  // sizes its board image
  const TElementList& list = layout.Elements();
  TMillProcess vbit, flat;
  flat.Bit = mbFlat;
  flat.BitDiameter = 0.4;
  flat.Passes = 3;
  TMillingJobs jobs, jobs3;
  const std::vector<double> ms = bench::TimeInTurn(
      {[&] { jobs = MillingJobs(list, vbit, "bench"); },
       [&] { jobs3 = MillingJobs(list, flat, "bench"); }, [&] { layout.RenderBoard(); }},
      5);
  const size_t bytes = jobs.Isolation.size() + jobs.Drill.size() + jobs.Outline.size();
  std::printf("%-14s %8d | %9.1f %9.1f %9.1f %6.2f | %9zu\n", name, list.Count(), ms[0], ms[1],
              ms[2], ms[0] / ms[2], bytes);
}

}  // namespace

int main(int argc, char** argv) {
  bench::Headless();
  QApplication app(argc, argv);
  std::printf(
      "The three milling jobs against RenderBoard on 1920x1080, medians in ms; ratio = V-bit "
      "jobs / render\n");
  std::printf("%-14s %8s | %9s %9s %9s %6s | %9s\n", "board", "elements", "V 1 pass", "flat 3",
              "render", "ratio", "G-code B");
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
