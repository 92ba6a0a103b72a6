#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include "TPCBLayout.h"

// A 400 x 300 board control with the start values. Pixels are read back as colours 0x00BBGGRR.
class LayoutTest : public ::testing::Test {
 protected:
  static constexpr TColor kWhite = 0xFFFFFF;

  void SetUp() override {
    QCursor::setPos(5000, 5000);  // far away, so the first move into the control is an enter
    QCoreApplication::processEvents();
    w.resize(400, 300);
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

  // Pointer input at control pixels.
  void MoveTo(TPoint p) { QTest::mouseMove(&w, QPoint(p.X, p.Y)); }
  void Press(TPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(&w, b, {}, QPoint(p.X, p.Y));
  }
  void Release(TPoint p, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseRelease(&w, b, {}, QPoint(p.X, p.Y));
  }
  void Click(TPoint p, Qt::MouseButton b = Qt::LeftButton) {
    Press(p, b);
    Release(p, b);
  }
  // Events the test pointer cannot produce: a move while the pointer counts as outside, or an
  // enter without a move.
  void SendMove(TPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p.X, p.Y), w.mapToGlobal(QPointF(p.X, p.Y)),
                  Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
  }
  // A control pixel where the element is the one found under the pointer, scanning row by row;
  // (-1, -1) when there is none. Texts are hit over their strokes only, wherever those fall.
  TPoint PixelOn(const TPCBElement* e) const {
    for (int y = 0; y < w.height(); ++y)
      for (int x = 0; x < w.width(); ++x)
        if (w.ElementAt({x, y}) == e) return {x, y};
    return {-1, -1};
  }
  void SendEnter(TPoint p) {
    QEnterEvent e(QPointF(p.X, p.Y), QPointF(p.X, p.Y), w.mapToGlobal(QPointF(p.X, p.Y)));
    QCoreApplication::sendEvent(&w, &e);
  }

  TPCBLayout w;
};
