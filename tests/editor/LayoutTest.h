#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include "TPCBLayout.h"

// A 400 x 300 board control with the start values, shown on the offscreen platform so that the
// pointer can be moved over it. Pixels are read back as board colours 0x00BBGGRR.
class LayoutTest : public ::testing::Test {
 protected:
  static constexpr TColor kWhite = 0xFFFFFF, kBlack = 0x000000;

  void SetUp() override {
    // The pointer starts far from the control, so the first move into it is an enter.
    QCursor::setPos(5000, 5000);
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
  // Two images alike pixel for pixel, or where they first differ.
  static ::testing::AssertionResult SameImage(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
      return ::testing::AssertionFailure() << "sizes " << a.width() << "x" << a.height() << " and "
                                           << b.width() << "x" << b.height();
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (At(a, x, y) != At(b, x, y))
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << std::hex
                                               << At(a, x, y) << " against " << At(b, x, y);
    return ::testing::AssertionSuccess();
  }
  TColor BoardAt(int x, int y) const { return At(w.BoardImage(), x, y); }
  TColor CanvasAt(int x, int y) const { return At(w.CanvasImage(), x, y); }
  TColor CanvasAt(TPoint p) const { return CanvasAt(p.X, p.Y); }

  // Pointer input at control pixels.
  void MoveTo(TPoint p) { QTest::mouseMove(&w, QPoint(p.X, p.Y)); }
  void Press(TPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(&w, b, {}, QPoint(p.X, p.Y));
  }
  void Release(TPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseRelease(&w, b, {}, QPoint(p.X, p.Y));
  }
  void Click(TPoint p) {
    Press(p);
    Release(p);
  }
  // Events as the platform would deliver them, for the cases the test pointer cannot produce:
  // a move reaching the control while the pointer is known to be outside it, or an enter
  // without a move.
  void SendMove(TPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p.X, p.Y), w.mapToGlobal(QPointF(p.X, p.Y)),
                  Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
  }
  void SendEnter(TPoint p) {
    QEnterEvent e(QPointF(p.X, p.Y), QPointF(p.X, p.Y), w.mapToGlobal(QPointF(p.X, p.Y)));
    QCoreApplication::sendEvent(&w, &e);
  }
  void SendLeave() {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(&w, &e);
  }
  // The same at the pixel where a board point is shown.
  TPoint Px(TPoint board) const { return w.BoardToScreen(board); }

  TPCBLayout w;
};
