#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QImage>
#include <QTest>
#include <random>
#include <sstream>
#include <tuple>

#include "TCopperFill.h"
#include "TCopperText.h"
#include "TPCBLayout.h"
#include "TPcbText.h"
#include "TSmdPad.h"

template <class... T>
using Table = std::initializer_list<std::tuple<T...>>;
using Lines = std::vector<std::string>;

// Whole numbers drawn evenly from a seeded generator.
struct TPick {
  std::mt19937 rng;
  int32_t operator()(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  }
};

// A random board around the origin, some of it selected: every kind, width, shape and size.
inline void FillRandom(TElementList& list, TPick& pick, int count, int32_t span) {
  for (int i = 0; i < count; ++i) {
    const TPoint a{pick(-span, span), pick(-span, span)};
    const int kind = pick(0, 99), len = pick(0, 3) == 0 ? span : 60;
    const TPoint b{a.X + pick(-len, len), a.Y + pick(-len, len)};
    if (kind < 60) {
      list.AddWire(a, b, pick(0, 9) == 0 ? pick(-3, 5) : StepDivisor[pick(0, 4)]);
    } else if (kind < 74) {
      list.Append(
          std::make_unique<TSmdPad>(list.Layout(), a, pick(-4, 80), pick(-4, 80), pick(-10, 60)));
    } else if (kind < 82) {
      const int32_t height = pick(2, 80);
      list.Append(std::make_unique<TCopperText>(list.Layout(), a, "GND\n+9V", height,
                                                pick(1, height), pick(0, 3), pick(0, 1) == 1));
    } else if (kind < 99) {
      list.AddSolder(a, pick(0, 9) == 0 ? pick(-40, 40) : pick(2, 8), pick(-8, 60),
                     static_cast<uint8_t>(pick(0, 2)));
    } else {
      list.Append(std::make_unique<TCopperFill>(
          list.Layout(), std::vector<TPoint>{a, b, {b.X, a.Y + pick(-span, span)}}, false, TPoint{},
          TFillSettings{}));
    }
    if (pick(0, 5) == 0) list.Items(list.Count() - 1)->SetSelected(true);
  }
}

// A 400 x 300 control at the start values: board (16 a, 16 b) is pixel (10 a, 10 b).
class LayoutTest : public ::testing::Test {
 protected:
  static constexpr TColor kWhite = 0xFFFFFF;

  void SetUp() override {
    QCursor::setPos(5000, 5000);  // far away, so the first move into the control is an enter
    QCoreApplication::processEvents();
    w.resize(400, 300);
  }
  void Show() {
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  }

  static TColor At(const QImage& image, int x, int y) {
    return ArgbToColor(static_cast<uint32_t>(image.pixel(x, y)));
  }
  // Alike pixel for pixel (the unused alpha byte of RGB32 is not compared).
  static bool SameImage(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
  }
  TColor BoardAt(int x, int y) const { return At(w.BoardImage(), x, y); }
  TColor CanvasAt(int x, int y) const { return At(w.CanvasImage(), x, y); }

  // The board's text lines, selected ones marked, each fill followed by its corners and holes.
  Lines Board() const {
    Lines lines;
    UpdateFills(w.Elements());
    for (int32_t i = 0; i < w.Elements().Count(); ++i) {
      const TPCBElement* e = w.Elements().Items(i);
      lines.push_back(e->ToText() + (e->Selected() ? " *" : ""));
      if (e->Kind() != ekFill) continue;
      std::string copper;
      for (const TFillArea& a : static_cast<const TCopperFill*>(e)->Areas())
        for (const TFillPoint& q : a.Outer)
          copper += std::to_string(q.X) + "," + std::to_string(q.Y) + " ";
      for (const TFillArea& a : static_cast<const TCopperFill*>(e)->Areas())
        for (const TFillPath& hole : a.Holes) copper += std::to_string(hole.size()) + " ";
      lines.push_back(copper);
    }
    return lines;
  }
  // Appends Board() lines after "P " or "W " (a width of 1 reads as 2), or records; " *" selects.
  void Put(const Lines& lines) {
    for (std::string line : lines) {
      const bool selected = line.size() > 2 && line.substr(line.size() - 2) == " *";
      if (selected) line.resize(line.size() - 2);
      line = line[0] == '@'   ? "**\n" + line + "\n**"
             : line[0] == 'P' ? "*Solder*\n" + line.substr(2)
                              : "*Wire*\n" + line.substr(2);
      for (auto& e : ReadElements(&w, SplitLines(line), selected))
        w.Elements().Append(std::move(e));
    }
  }

  void Select(const std::vector<int>& items) {
    w.ClearSelection();
    for (int i : items) w.Elements().Items(i)->SetSelected(true);
  }

  // Pointer input at control pixels.
  static QPoint Q(TPoint p) { return QPoint(p.X, p.Y); }
  void MoveTo(TPoint p) { QTest::mouseMove(&w, Q(p)); }
  void Press(TPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(&w, b, {}, Q(p)); }
  void Release(TPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseRelease(&w, b, {}, Q(p));
  }
  void Click(TPoint p, Qt::MouseButton b = Qt::LeftButton) { Press(p, b), Release(p, b); }
  void Drag(TPoint from, TPoint to) { MoveTo(from), Press(from), MoveTo(to), Release(to); }
  // Pointer steps "<op>x,y": m move, p press, r release, c click, C move and click, R right click,
  // d and D a double click's second press (left, right) and its release.
  void Do(const std::string& script) {
    std::istringstream in(script);
    char op, comma;
    TPoint p;
    while (in >> op >> p.X >> comma >> p.Y) {
      const Qt::MouseButton b = op == 'R' || op == 'D' ? Qt::RightButton : Qt::LeftButton;
      if (op == 'm' || op == 'C') MoveTo(p);
      if (op == 'p') Press(p);
      if (op == 'r') Release(p);
      if (op == 'c' || op == 'C' || op == 'R') Click(p, b);
      if (op == 'd' || op == 'D') {
        QTest::mouseDClick(&w, b, {}, Q(p));
        Release(p, b);
      }
    }
  }

  TPCBLayout w;
};
