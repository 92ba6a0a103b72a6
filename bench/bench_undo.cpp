// What the undo history costs: Ctrl+A, Delete, undo and redo on a board of 10^5 elements, each
// beside one full render of the same board in the same run, and the heap the history holds
// after 1,000 single-wire steps beside the heap of those wires. Prints figures; never passes or
// fails.

#include <malloc.h>

#include <QUndoStack>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "BenchBoard.h"

// Live heap bytes: everything malloc has handed out and not yet taken back, Qt's own arrays
// included.
static long long LiveBytes() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<long long>(m.uordblks + m.hblkhd);
}

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

double Ms(const std::function<void()>& f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

void TimeSteps(int count) {
  auto layout = bench::ScreenBoard(count, kWidth, kHeight);
  TPCBLayout& l = *layout;
  l.RenderBoard();

  std::vector<double> render, del, undo, redo;
  for (int round = 0; round < 9; ++round) {
    render.push_back(Ms([&] { l.RenderBoard(); }));
    l.SelectAll();
    del.push_back(Ms([&] { l.DeleteSelected(); }));
    undo.push_back(Ms([&] { l.Undo(); }));
    redo.push_back(Ms([&] { l.Redo(); }));
    l.Undo();
  }
  const double r = Median(render);
  std::printf("%d elements, 1920x1080, whole board in view: RenderBoard %.2f ms\n", count, r);
  std::printf("  Delete of all %.2f ms (%.2fx)  undo %.2f ms (%.2fx)  redo %.2f ms (%.2fx)\n",
              Median(del), Median(del) / r, Median(undo), Median(undo) / r, Median(redo),
              Median(redo) / r);
}

// Adds 1,000 wires one by one to a board of `count` elements, as single-wire steps of the
// history or straight into the list, and answers the live heap they added. The board's list
// has room for them already, so straight into the list they cost just their own objects.
long long HeapOfThousandWires(int count, bool asSteps, bool drawn) {
  auto layout = std::make_unique<TPCBLayout>();
  TPCBLayout& l = *layout;
  // A tiny control keeps each step's render cheap; the heap is what is measured here.
  l.resize(16, 16);
  bench::FillBoard(l.Elements(), count, 20000, 20000);
  l.RenderBoard();
  const long long before = LiveBytes();
  for (int i = 0; i < 1000; ++i) {
    const TPoint to{16 * (i % 50), 16 * (i / 50)};
    if (asSteps) {
      l.AddWire(to);
    } else {
      l.Elements().AddWire({0, 0}, to, 4);
      // Drawn as a step would draw it, so that whatever the view keeps of the board (its
      // spatial index) is there in both runs and only the history differs.
      if (drawn) l.RenderBoard();
    }
  }
  return LiveBytes() - before;
}

}  // namespace

int main(int argc, char* argv[]) {
  bench::Headless();
  QApplication app(argc, argv);
  TimeSteps(100000);

  const long long wires = HeapOfThousandWires(100000, false, false);
  const long long history =
      HeapOfThousandWires(100000, true, true) - HeapOfThousandWires(100000, false, true);
  std::printf(
      "1000 single-wire steps on a board of 100000: the wires %lld bytes, the history %lld bytes "
      "(%.2fx the wires; %.0f bytes a step)\n",
      wires, history, double(history) / double(wires), double(history) / 1000.0);
  return 0;
}
