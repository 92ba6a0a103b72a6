// How long a full render of the board takes on a 1920 x 1080 control, beside the same visible
// primitives drawn straight with QPainter in the same run, and beside a render of a board that
// holds only the elements in view; and a board of copper texts beside the same strokes drawn as
// plain wires. Prints figures; never passes or fails.

#include <QPainter>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchBoard.h"
#include "TBoardMath.h"
#include "TCopperText.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// What QPainter is given for the baseline: every visible element as screen primitives.
struct Primitives {
  struct Line {
    QLine line;
    int width;
    TColor colour;
  };
  struct Pad {
    QRect land;
    bool round;
    QRect hole;  // empty when the hole is too small to show
    TColor colour;
  };
  std::vector<Line> lines;
  std::vector<Pad> pads;
};

bool Meets(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t slack) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  return x1 + slack >= 0 && x0 - slack < kWidth && y1 + slack >= 0 && y0 - slack < kHeight;
}

// The elements in view, as primitives, and as a board of their own.
Primitives VisiblePart(TPCBLayout& layout, TElementList* only) {
  Primitives p;
  const int32_t step = StepPixels(layout);
  const TElementList& list = layout.Elements();
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->IsWire()) {
      const auto& wire = static_cast<const TWire&>(*e);
      const TPoint a = layout.BoardToScreen(wire.StartPoint());
      const TPoint b = layout.BoardToScreen(wire.EndPoint());
      const int width = step / wire.WidthDivisor();
      if (!Meets(a.X, a.Y, b.X, b.Y, width + 2)) continue;
      p.lines.push_back({QLine(a.X, a.Y, b.X, b.Y), width, layout.WireColor()});
    } else {
      const auto& pad = static_cast<const TSolder&>(*e);
      const TPoint c = layout.BoardToScreen(pad.Center());
      const int r = step * pad.ExternalDiameter() / 32, h = step * pad.InternalDiameter() / 32;
      if (!Meets(c.X - r, c.Y - r, c.X + r, c.Y + r, 0)) continue;
      p.pads.push_back({QRect(c.X - r, c.Y - r, 2 * r, 2 * r), !pad.IsSquare(),
                        h >= 2 ? QRect(c.X - h, c.Y - h, 2 * h, 2 * h) : QRect(),
                        layout.SolderColor()});
    }
    if (only) only->Append(e->Clone(only->Layout()));
  }
  return p;
}

QColor Q(TColor c) { return QColor::fromRgb(ColorToArgb(c)); }

// The baseline: background, grid, wires and pads with QPainter, then the copy to the screen's
// image that a render also makes.
void DrawStraight(QImage& image, QImage& screen, const TPCBLayout& layout,
                  const std::vector<QPoint>& dots, const std::vector<QLine>& gridLines,
                  const Primitives& p) {
  QPainter painter(&image);
  painter.fillRect(0, 0, kWidth, kHeight, Q(layout.Color()));
  painter.setPen(QPen(Q(layout.GridColor()), 1));
  if (!dots.empty()) painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
  if (!gridLines.empty()) painter.drawLines(gridLines.data(), static_cast<int>(gridLines.size()));
  int penWidth = -1;
  for (const auto& l : p.lines) {
    if (l.width != penWidth) {
      penWidth = l.width;
      painter.setPen(QPen(Q(l.colour), std::max(1, l.width), Qt::SolidLine,
                          l.width > 1 ? Qt::RoundCap : Qt::FlatCap));
    }
    painter.drawLine(l.line);
  }
  painter.setPen(Qt::NoPen);
  for (const auto& pad : p.pads) {
    painter.setBrush(Q(pad.colour));
    if (pad.round)
      painter.drawEllipse(pad.land);
    else
      painter.fillRect(pad.land, Q(pad.colour));
    if (!pad.hole.isEmpty()) {
      painter.setBrush(Q(layout.Color()));
      painter.drawEllipse(pad.hole);
    }
  }
  painter.end();
  QPainter copy(&screen);
  copy.setCompositionMode(QPainter::CompositionMode_Source);
  copy.drawImage(0, 0, image);
}

// The grid as QPainter would draw it: points or lines at every cell.
void GridPrimitives(const TPCBLayout& layout, std::vector<QPoint>& dots,
                    std::vector<QLine>& lines) {
  dots.clear();
  lines.clear();
  const int cell = layout.CellSize();
  int x0 = Rem(layout.ViewOffset().X, cell), y0 = Rem(layout.ViewOffset().Y, cell);
  if (x0 < 0) x0 += cell;
  if (y0 < 0) y0 += cell;
  if (layout.GridMode() == gmDot) {
    for (int y = y0; y < kHeight; y += cell)
      for (int x = x0; x < kWidth; x += cell) dots.emplace_back(x, y);
  } else if (layout.GridMode() == gmLine) {
    for (int y = y0; y < kHeight; y += cell) lines.emplace_back(0, y, kWidth - 2, y);
    for (int x = x0; x < kWidth; x += cell) lines.emplace_back(x, 0, x, kHeight - 2);
  }
}

std::unique_ptr<TPCBLayout> NewLayout(int32_t gridScale) {
  auto l = std::make_unique<TPCBLayout>();
  l->resize(kWidth, kHeight);
  l->SetGridScale(gridScale);
  l->SetColor(0xE9E9E9);
  l->SetWireColor(0xC99565);
  l->SetSolderColor(0x800000);
  return l;
}

void Boards(int onlyCount) {
  std::printf("RenderBoard on %dx%d, dot grid; times are medians in ms\n", kWidth, kHeight);
  std::printf("%8s %6s %5s %8s | %9s %9s %6s | %9s %6s | %9s\n", "elements", "view", "cell",
              "drawn", "render", "qpainter", "ratio", "visible", "ratio", "no cull");
  QImage image(kWidth, kHeight, QImage::Format_RGB32), screen = image;
  for (int32_t scale : {0, 30}) {
    for (int count : {1000, 10000, 100000, 1000000}) {
      if (onlyCount && count != onlyCount) continue;
      for (int spread : {1, 10}) {
        // A million elements are measured with 1 % of them in view only, and not without
        // culling: the whole board takes seconds a render.
        const bool huge = count >= 1000000;
        if (huge && (spread == 1 || scale != 0)) continue;
        auto layout = NewLayout(scale);
        const int32_t step = StepPixels(*layout);
        // The board spans the view, or ten times the view each way with the view in its middle.
        const int32_t w = kWidth * 16 / step * spread, h = kHeight * 16 / step * spread;
        bench::FillBoard(layout->Elements(), count, w, h);
        if (spread > 1)
          layout->SetViewOffset(
              {-(kWidth * spread - kWidth) / 2, -(kHeight * spread - kHeight) / 2});
        auto visibleOnly = NewLayout(scale);
        visibleOnly->SetViewOffset(layout->ViewOffset());
        const Primitives prims = VisiblePart(*layout, &visibleOnly->Elements());
        std::vector<QPoint> dots;
        std::vector<QLine> gridLines;
        GridPrimitives(*layout, dots, gridLines);

        const double render = bench::TimeMs([&] { layout->RenderBoard(); });
        const double straight =
            bench::TimeMs([&] { DrawStraight(image, screen, *layout, dots, gridLines, prims); });
        const double visible = bench::TimeMs([&] { visibleOnly->RenderBoard(); });
        layout->SetCulling(false);
        const double unculled = huge ? 0 : bench::TimeMs([&] { layout->RenderBoard(); }, 3);
        layout->SetCulling(true);
        std::printf("%8d %6s %5d %8zu | %9.2f %9.2f %6.2f | %9.2f %6.2f | %9.2f\n", count,
                    spread == 1 ? "whole" : "1 %", layout->CellSize(),
                    prims.lines.size() + prims.pads.size(), render, straight, render / straight,
                    visible, render / visible, unculled);
      }
    }
  }
}

// One pan step (the image scrolled, the uncovered strips rendered) and one wheel zoom step, each
// against a full render of the same board timed in turn with it.
void Navigation(int onlyCount) {
  std::printf(
      "\nNavigation on %dx%d, dot grid, cell 10: one step against a full render timed in "
      "turn; medians in ms\n",
      kWidth, kHeight);
  std::printf("%8s %6s | %9s | %9s %6s %7s | %9s %9s %6s\n", "elements", "view", "render", "pan",
              "ratio", "pans/s", "zoom", "render", "ratio");
  for (int count : {10000, 100000, 1000000}) {
    if (onlyCount && count != onlyCount) continue;
    for (int spread : {1, 10}) {
      auto layout = NewLayout(0);
      const int32_t step = StepPixels(*layout);
      const int32_t w = kWidth * 16 / step * spread, h = kHeight * 16 / step * spread;
      bench::FillBoard(layout->Elements(), count, w, h);
      const TPoint home =
          spread > 1 ? TPoint{-(kWidth * spread - kWidth) / 2, -(kHeight * spread - kHeight) / 2}
                     : TPoint{0, 0};
      layout->SetViewOffset(home);
      layout->RenderBoard();
      // A pan as a hand drags it: a few pixels each way per step, back and forth.
      int k = 0;
      auto pan = [&] {
        const int32_t d = (k++ % 2) ? 6 : -6;
        layout->PanTo({layout->ViewOffset().X + d, layout->ViewOffset().Y + d / 2});
      };
      const int rounds = count >= 1000000 ? 5 : 9;
      const std::vector<double> t =
          bench::TimeInTurn({[&] { layout->RenderBoard(); }, pan}, rounds);
      // A notch in about the middle of the control, against a render at the scale it reaches;
      // the view goes back untimed before each.
      auto ms = [](const std::function<void()>& f) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
            .count();
      };
      std::vector<double> zooms, renders;
      for (int r = 0; r < rounds; ++r) {
        layout->SetGridScale(0);
        layout->SetViewOffset(home);
        zooms.push_back(ms([&] { layout->ZoomBy(1, {kWidth / 2, kHeight / 2}); }));
        renders.push_back(ms([&] { layout->RenderBoard(); }));
      }
      std::sort(zooms.begin(), zooms.end());
      std::sort(renders.begin(), renders.end());
      const double zoom = zooms[rounds / 2], zoomRender = renders[rounds / 2];
      layout->SetGridScale(0);
      std::printf("%8d %6s | %9.2f | %9.2f %6.3f %7.0f | %9.2f %9.2f %6.2f\n", count,
                  spread == 1 ? "whole" : "1 %", t[0], t[1], t[1] / t[0], 1000 / t[1], zoom,
                  zoomRender, zoom / zoomRender);
    }
  }
}

void Grids() {
  std::printf("\nGrid alone (empty board), RenderBoard against QPainter; medians in ms\n");
  std::printf("%5s %5s | %9s %9s %6s\n", "grid", "cell", "render", "qpainter", "ratio");
  QImage image(kWidth, kHeight, QImage::Format_RGB32), screen = image;
  for (TGridMode mode : {gmDot, gmLine}) {
    for (int32_t scale : {-9, -8, 0}) {
      auto layout = NewLayout(scale);
      layout->SetGridMode(mode);
      std::vector<QPoint> dots;
      std::vector<QLine> lines;
      GridPrimitives(*layout, dots, lines);
      const Primitives none;
      const std::vector<double> t =
          bench::TimeInTurn({[&] { layout->RenderBoard(); },
                             [&] { DrawStraight(image, screen, *layout, dots, lines, none); }});
      const double render = t[0], straight = t[1];
      std::printf("%5s %5d | %9.2f %9.2f %6.2f\n", mode == gmDot ? "dot" : "line",
                  layout->CellSize(), render, straight, render / straight);
    }
  }
}

// A thousand texts of ten characters at the default size, in rows over the view (or over ten
// times the view each way, the view in the middle), against a board of their strokes as wires
// of the same width, ends rounded to whole board units: the price of a text over its strokes.
void Texts() {
  std::printf(
      "\nCopper text on %dx%d, dot grid: 1000 texts of 10 characters against their strokes as "
      "plain wires, timed in turn; medians in ms\n",
      kWidth, kHeight);
  std::printf("%5s %6s %8s | %9s %9s %6s\n", "cell", "view", "strokes", "texts", "wires", "ratio");
  const char* const words[] = {"LM386 AMP1", "+9V GND IN", "OUT R12 4k",
                               "C3 100n V2", "ferrolume!", "J1 SPKR 8R"};
  for (int32_t scale : {0, 30}) {
    for (int spread : {1, 10}) {
      auto texts = NewLayout(scale), wires = NewLayout(scale);
      const int32_t step = StepPixels(*texts);
      const int32_t w = kWidth * 16 / step * spread, h = kHeight * 16 / step * spread;
      const int columns = 20, rows = 50;
      for (int i = 0; i < columns * rows; ++i) {
        const TPoint at{i % columns * w / columns + 4, i / columns * h / rows + 16};
        texts->Elements().Append(
            std::make_unique<TCopperText>(texts.get(), at, words[i % 6], TCopperText::DefaultHeight,
                                          TCopperText::DefaultStrokeWidth, 0, i % 2 == 0));
      }
      size_t strokes = 0;
      const int32_t divisor = UnitsPerStep / TCopperText::DefaultStrokeWidth;
      for (int32_t i = 0; i < texts->Elements().Count(); ++i) {
        const auto& text = static_cast<const TCopperText&>(*texts->Elements().Items(i));
        for (const TCopperShape& s : text.Strokes()) {
          auto unit = [](int64_t half) { return static_cast<int32_t>(FloorDiv<int64_t>(half, 2)); };
          wires->Elements().AddWire({unit(s.AX), unit(s.AY)}, {unit(s.BX), unit(s.BY)}, divisor);
          ++strokes;
        }
      }
      if (spread > 1) {
        const TPoint middle{-(kWidth * spread - kWidth) / 2, -(kHeight * spread - kHeight) / 2};
        texts->SetViewOffset(middle);
        wires->SetViewOffset(middle);
      }
      const std::vector<double> t =
          bench::TimeInTurn({[&] { texts->RenderBoard(); }, [&] { wires->RenderBoard(); }}, 15);
      std::printf("%5d %6s %8zu | %9.2f %9.2f %6.2f\n", texts->CellSize(),
                  spread == 1 ? "whole" : "1 %", strokes, t[0], t[1], t[0] / t[1]);
    }
  }
}

}  // namespace

// With a number, only boards of that many elements are measured; "text" measures copper text
// alone.
int main(int argc, char** argv) {
  bench::Headless();
  QApplication app(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "text") {
    Texts();
    return 0;
  }
  const int onlyCount = argc > 1 ? std::atoi(argv[1]) : 0;
  Boards(onlyCount);
  Navigation(onlyCount);
  if (!onlyCount) {
    Grids();
    Texts();
  }
  return 0;
}
