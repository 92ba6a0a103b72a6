// What one pointer move costs in each tool on a 1920 x 1080 control, beside one full render of
// the same board in the same run. Prints figures; never passes or fails.

#include <QEnterEvent>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <utility>

#include "BenchBoard.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void Send(TPCBLayout& l, QEvent::Type type, TPoint p, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(p.X, p.Y), QPointF(p.X, p.Y), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(&l, &e);
}
void Move(TPCBLayout& l, TPoint p, bool held = false) {
  Send(l, QEvent::MouseMove, p, Qt::NoButton, held ? Qt::LeftButton : Qt::NoButton);
}
void Press(TPCBLayout& l, TPoint p) {
  Send(l, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
void Release(TPCBLayout& l, TPoint p) {
  Send(l, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

// Median time of one call of step(k), over many k, in milliseconds.
double PerStep(const std::function<void(int)>& step, int steps) {
  int k = 0;
  return bench::TimeMs([&] { step(k++); }, steps);
}

// Steps timed in turn with full renders of the same board, so that both see the same load on
// this shared machine: the medians of each, in milliseconds.
std::pair<double, double> Paired(TPCBLayout& l, const std::function<void(int)>& step, int runs) {
  std::vector<double> steps, renders;
  auto ms = [](const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  };
  step(0);
  for (int k = 1; k <= runs; ++k) {
    renders.push_back(ms([&] { l.RenderBoard(); }));
    steps.push_back(ms([&] { step(k); }));
  }
  std::sort(steps.begin(), steps.end());
  std::sort(renders.begin(), renders.end());
  return {steps[runs / 2], renders[runs / 2]};
}

void Run(int count) {
  auto layout = bench::ScreenBoard(count, kWidth, kHeight);
  TPCBLayout& l = *layout;
  // Clear spots: one for a pad of its own to drag, one to pan from, and one where a look for
  // the element under the pointer has to walk the whole board to find nothing.
  const TPoint padAt = l.BoardToScreen({1600, 800}), panFrom{1900, 20}, nothing{960, 540};
  for (TPoint p : {padAt, panFrom, nothing})
    while (TPCBElement* e = l.ElementAt(p)) l.Elements().Remove(e);
  l.RenderBoard();
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(&l, &enter);

  const double render = bench::TimeMs([&] { l.RenderBoard(); }, 7);

  // The spot following the pointer from one grid point to the next.
  l.SetMouseAction(maWire);
  const double spot = PerStep([&](int k) { Move(l, {100 + 10 * (k % 60), 300}); }, 41);

  // The delete tool looking for the element under the pointer, over elements and empty board
  // alike: every move walks the whole board.
  l.SetMouseAction(maDelete);
  const double hover = PerStep([&](int k) { Move(l, {37 + 13 * (k % 120), 517 + (k % 7)}); }, 41);
  const double lookup = bench::TimeMs([&] { l.ElementAt(nothing); }, 41);
  // The worst move: between empty board and the first element of the list, so that every move
  // walks the whole board and then copies the board and highlights or wipes.
  const TPoint first = [&] {
    const TPCBElement* e = l.Elements().Items(0);
    if (e->IsWire()) return l.BoardToScreen(static_cast<const TWire*>(e)->StartPoint());
    return l.BoardToScreen(static_cast<const TSolder*>(e)->Center());
  }();
  const double worst = PerStep([&](int k) { Move(l, k % 2 ? first : nothing); }, 41);

  // Dragging one pad grid step by grid step.
  l.SetMouseAction(maMove);
  TSolder* pad = l.Elements().AddSolder({1600, 800}, 4, 16, sgCircle);
  l.RenderBoard();
  TPoint at = l.BoardToScreen(pad->Center());
  Press(l, at);
  const auto [drag, dragRender] = Paired(
      l,
      [&](int k) {
        at.X += k % 2 ? 10 : -10;
        Move(l, at, true);
      },
      count >= 1000000 ? 5 : 15);
  Release(l, at);

  // Dragging 1 % of the board, spread all over it: each step draws only the dragged elements
  // over the rest of the board, rendered once at the press.
  for (int32_t i = 0; i < l.Elements().Count(); ++i)
    l.Elements().Items(i)->SetSelected(i % 100 == 0 && i != 0);
  pad->SetSelected(true);
  l.RenderBoard();
  at = l.BoardToScreen(pad->Center());
  Press(l, at);
  const auto [dragMany, dragManyRender] = Paired(
      l,
      [&](int k) {
        at.X += k % 2 ? 10 : -10;
        Move(l, at, true);
      },
      count >= 1000000 ? 5 : 15);
  Release(l, at);

  // The slowest look for the element under the pointer over a grid of places across the view.
  double slowest = 0;
  for (int y = 27; y < kHeight; y += 108)
    for (int x = 31; x < kWidth; x += 192)
      slowest = std::max(slowest, bench::TimeMs([&] { l.ElementAt({x, y}); }, 5));

  // Panning the view pixel by pixel.
  Press(l, panFrom);
  const auto [pan, panRender] = Paired(
      l,
      [&](int k) {
        Move(l, {panFrom.X - k % 40, panFrom.Y + k % 40}, true);
      },
      count >= 1000000 ? 5 : 15);
  Release(l, panFrom);

  std::printf(
      "%8d | %9.2f | %9.3f %9.3f %9.3f %9.4f %9.4f | %9.2f %6.2f | %9.2f %6.3f | %9.2f %6.3f\n",
      count, render, spot, hover, worst, lookup, slowest, drag, drag / dragRender, dragMany,
      dragMany / dragManyRender, pan, pan / panRender);
}

// The element under the pointer on boards ten times the view each way (1 % of the board in
// view), through the index and by the walk of the whole board it replaces, in the same run.
void Lookups(int only) {
  std::printf("\nElementAt on a board 10 x 10 views large, the view in its middle; ms\n");
  std::printf("%8s | %9s %9s | %9s %9s | %9s\n", "elements", "empty", "slowest", "walk empty",
              "walk slow", "ratio");
  for (int count : {100000, 1000000}) {
    if (only && count != only) continue;
    auto layout = bench::ScreenBoard(count, kWidth, kHeight, 10);
    TPCBLayout& l = *layout;
    l.SetViewOffset({-kWidth * 9 / 2, -kHeight * 9 / 2});
    TPoint empty{960, 540};
    while (TPCBElement* e = l.ElementAt(empty)) l.Elements().Remove(e);
    double times[2][2] = {};
    for (bool indexed : {true, false}) {
      l.SetIndexed(indexed);
      double& slowest = times[indexed ? 0 : 1][1];
      times[indexed ? 0 : 1][0] = bench::TimeMs([&] { l.ElementAt(empty); }, indexed ? 41 : 5);
      // The walk takes the same time anywhere; a few places are enough for it.
      const int stepY = indexed ? 108 : 540, stepX = indexed ? 192 : 960;
      for (int y = 27; y < kHeight; y += stepY)
        for (int x = 31; x < kWidth; x += stepX)
          slowest = std::max(slowest, bench::TimeMs([&] { l.ElementAt({x, y}); }, 5));
    }
    std::printf("%8d | %9.4f %9.4f | %9.3f %9.3f | %9.4f\n", count, times[0][0], times[0][1],
                times[1][0], times[1][1], times[0][1] / times[1][1]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bench::Headless();
  QApplication app(argc, argv);
  std::printf("One pointer move on %dx%d, whole board in view; medians in ms\n", kWidth, kHeight);
  std::printf("%8s | %9s | %9s %9s %9s %9s %9s | %9s %6s | %9s %6s | %9s %6s\n", "elements",
              "render", "spot", "hover", "worst", "ElementAt", "slowest", "drag", "ratio",
              "drag 1 %", "ratio", "pan", "ratio");
  // With a number, only boards of that many elements are measured.
  const int only = argc > 1 ? std::atoi(argv[1]) : 0;
  for (int count : {10000, 100000, 1000000})
    if (!only || count == only) Run(count);
  Lookups(only);
  return 0;
}
