#pragma once

// Boards and timing shared by the editor benchmarks.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "TPCBLayout.h"

namespace bench {

// Benchmarks run headless unless the caller chose a platform; call before the QApplication.
inline void Headless() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

// A board as people draw them: wires of every width, a few grid steps long, horizontal,
// vertical or at 45 degrees, and round and square pads of the usual sizes, spread evenly over
// a rectangle of the board (in board units).
inline void FillBoard(TElementList& list, int count, int32_t width, int32_t height,
                      uint32_t seed = 1) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  };
  for (int i = 0; i < count; ++i) {
    // Positions on the 1/4 step grid, as a board drawn at that grid has them.
    const TPoint a{pick(0, width / 4) * 4, pick(0, height / 4) * 4};
    if (i % 10 < 7) {
      const int32_t len = pick(1, 10) * 16;
      const int dir = pick(0, 3);
      const TPoint b{a.X + (dir == 1 ? 0 : len), a.Y + (dir == 0 ? 0 : dir == 3 ? -len : len)};
      list.AddWire(a, b, StepDivisor[pick(0, 4)]);
    } else {
      list.AddSolder(a, pick(3, 8), pick(10, 32), static_cast<uint8_t>(pick(0, 1)));
    }
  }
}

// A board laid out on a grid two steps apart, `count` places in a square: pads on half of them,
// and on the others a short wire from the pad on its left towards the one on its right.
inline void GridBoard(TElementList& list, int count) {
  const int side = static_cast<int>(std::ceil(std::sqrt(double(count))));
  for (int i = 0; i < count; ++i) {
    const TPoint at{i % side * 32, i / side * 32};
    if ((i + i / side) % 2 == 0)
      list.AddSolder(at, 4, 16, 0);
    else
      list.AddWire({at.X - 32, at.Y}, {at.X + 8, at.Y}, 4);
  }
}

// A control of the given size at the start scale, with a board of `count` elements spread over
// its view, or over `spread` times the view each way.
inline std::unique_ptr<TPCBLayout> ScreenBoard(int count, int width, int height, int spread = 1) {
  auto layout = std::make_unique<TPCBLayout>();
  layout->resize(width, height);
  const int32_t step = StepPixels(*layout);
  FillBoard(layout->Elements(), count, width * 16 / step * spread, height * 16 / step * spread);
  return layout;
}

// Median wall time of a few runs, in milliseconds.
inline double TimeMs(const std::function<void()>& work, int runs = 9) {
  std::vector<double> times;
  work();  // warm up caches and lazily created objects
  for (int r = 0; r < runs; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    const auto t1 = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

// Several pieces of work timed in turn, round after round, so that all of them see the same
// load on this shared machine: the median of each, in milliseconds.
inline std::vector<double> TimeInTurn(const std::vector<std::function<void()>>& works,
                                      int rounds = 9) {
  std::vector<std::vector<double>> times(works.size());
  for (const auto& work : works) work();
  for (int r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < works.size(); ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      works[i]();
      const auto t1 = std::chrono::steady_clock::now();
      times[i].push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
  }
  std::vector<double> medians;
  for (auto& t : times) {
    std::nth_element(t.begin(), t.begin() + rounds / 2, t.end());
    medians.push_back(t[rounds / 2]);
  }
  return medians;
}

}  // namespace bench
