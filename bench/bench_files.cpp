// Loading and saving large boards in both formats, each figure printed beside baselines measured
// in the same run: reading the same file's bytes and splitting them into lines (what any reader
// must do at least), and writing the same bytes through the same safe save (what any writer
// must do at least). Also the heap memory each loaded element costs.
//
// bench_files [pcb|wt5]... runs only the formats named.
#include <malloc.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "TBoardFile.h"
#include "TElementList.h"
#include "THeadlessLayout.h"
#include "TPcbText.h"
#include "TWinTypon.h"

namespace {

using Clock = std::chrono::steady_clock;

// The best of a few runs, in seconds: the machine is shared, and the least disturbed run is the
// one that says what the code costs.
double Best(int runs, const std::function<void()>& f) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

// Half pads, half wires, on a board of about 25 by 25 cm with the editor's usual sizes: pads of
// 12 or 16 units around holes of 4, wires of divisor 2, 4 or 8 up to 2 cm long.
void FillBoard(TElementList& list, int count) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int32_t> coord(0, 1600), step(-128, 128), pick(0, 2);
  for (int i = 0; i < count; ++i) {
    const TPoint p{coord(rng), coord(rng)};
    if (i % 2 == 0) {
      list.AddSolder(p, 4, pick(rng) == 0 ? 16 : 12, static_cast<uint8_t>(pick(rng) == 0));
    } else {
      list.AddWire(p, {p.X + step(rng), p.Y + step(rng)}, 2 << pick(rng));
    }
  }
}

// Heap in use, the large blocks glibc maps on their own included.
size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

std::string_view View(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

void Measure(bool pcb, int count, const QString& path, TElementList& board) {
  const int runs = count >= 1000000 ? 3 : count >= 100000 ? 5 : 20;
  THeadlessLayout layout;
  TElementList loaded(&layout);

  const double save = Best(runs, [&] { board.SaveToFile(path); });
  // The writer alone, its pieces handed to nobody.
  const double text = Best(runs, [&] {
    size_t size = 0;
    TTextPieces out([&size](std::string_view piece) { size += piece.size(); });
    if (pcb) {
      WritePcbPieces(
          board, [](const TPCBElement&) { return true; }, out);
    } else {
      WriteWinTyponPieces(board, out);
    }
    if (size == 0) std::abort();
  });
  const QByteArray bytes = ReadBoardFile(path);
  const double mb = bytes.size() / 1e6;
  const QString copy = path + ".copy" + path.right(4);
  const double write = Best(runs, [&] { WriteBoardFile(copy, View(bytes)); });
  size_t lines = 0;
  const double split = Best(runs, [&] { lines = SplitLines(View(ReadBoardFile(path))).size(); });
  const double load = Best(runs, [&] { loaded.LoadFromFile(path); });

  // A list that never held a board, so the table of its elements counts too.
  loaded.FreeAll();
  TElementList fresh(&layout);
  malloc_trim(0);
  const size_t before = HeapInUse();
  fresh.LoadFromFile(path);
  const double perElement = static_cast<double>(HeapInUse() - before) / fresh.Count();

  std::printf("%s %8d elements, %5.1f MB, %zu lines, %.1f heap bytes per loaded element\n",
              pcb ? ".pcb" : ".wt5", count, mb, lines, perElement);
  std::printf("  load %8.1f ms %6.0f MB/s   baseline read+split %8.1f ms   ratio %.2f\n",
              load * 1e3, mb / load, split * 1e3, load / split);
  std::printf("  save %8.1f ms %6.0f MB/s   baseline read+split %8.1f ms   ratio %.2f\n",
              save * 1e3, mb / save, split * 1e3, save / split);
  std::printf(
      "       (of which the text alone %.1f ms; baseline writing the same bytes %.1f ms,"
      " ratio %.2f)\n",
      text * 1e3, write * 1e3, save / write);
}

}  // namespace

int main(int argc, char** argv) {
  bool pcb = argc == 1, wt5 = argc == 1;
  for (int i = 1; i < argc; ++i) {
    pcb = pcb || std::strcmp(argv[i], "pcb") == 0;
    wt5 = wt5 || std::strcmp(argv[i], "wt5") == 0;
  }
  QTemporaryDir dir;
  std::printf("Board files: best of several runs; baselines measured in the same run.\n");
  for (int count : {10000, 100000, 1000000}) {
    THeadlessLayout layout;
    TElementList board(&layout);
    FillBoard(board, count);
    if (pcb) Measure(true, count, dir.filePath("board.pcb"), board);
    if (wt5) Measure(false, count, dir.filePath("board.wt5"), board);
  }
  return 0;
}
