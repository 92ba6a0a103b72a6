#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

#include "TBoardError.h"
#include "TBoardFiles.h"
#include "TBoardPrint.h"
#include "TCopper.h"
#include "TCopperFill.h"
#include "TCopperText.h"
#include "TElementList.h"
#include "TFabrication.h"
#include "TMilling.h"
#include "TPcbText.h"
#include "TSmdPad.h"
#include "TWinTypon.h"
#include "model/FakeLayout.h"

// Each element's line in list order: "P "/"W " and its text line or its record, " *" if selected.
inline std::vector<std::string> Describe(const TElementList& list) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    const char* kind = e->Kind() == ekWire ? "W " : e->Kind() == ekSolder ? "P " : "";
    out.push_back(kind + e->ToText() + (e->Selected() ? " *" : ""));
  }
  return out;
}

// Replaces the board by the elements of a board file's text, in its order, where it has them.
inline void ReadBoard(TElementList& list, const std::string& text) {
  list.Replace(ReadElements(list.Layout(), SplitLines(text), false));
}

inline TSmdPad* AddSmd(TElementList& list, TPoint center, int32_t width, int32_t height,
                       int32_t roundness) {
  list.Append(std::make_unique<TSmdPad>(list.Layout(), center, width, height, roundness));
  return static_cast<TSmdPad*>(list.Items(list.Count() - 1));
}

inline double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
  const double t = len > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len, 0.0, 1.0) : 0;
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// How far a point (half units) is outside a piece of copper; WITHHOLE leaves holes bare.
inline double CopperDistance(const TCopperShape& s, double x, double y, bool withHole) {
  double d = INFINITY;
  if (s.Kind == ckSquare || s.Kind == ckRect) {
    const bool sq = s.Kind == ckSquare;
    const double qx = std::fabs(x - s.AX) - (sq ? s.Radius : s.HalfX);
    const double qy = std::fabs(y - s.AY) - (sq ? s.Radius : s.HalfY);
    d = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
        (sq ? 0 : s.Radius);
  } else if (!s.Empty()) {
    d = SegmentDistance(x, y, s.AX, s.AY, s.BX, s.BY) - s.Radius;
  }
  if (withHole && s.HoleRadius > 0) d = std::max(d, s.HoleRadius - std::hypot(x - s.AX, y - s.AY));
  return d;
}

inline std::string ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll().toStdString();
}

inline void WriteBytes(const QString& path, const std::string& bytes) {
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

inline QString DataFile(const char* name) { return FERROLUME_TEST_DATA "/" + QString(name); }

inline std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EBoardError& e) {
    return e.what();
  }
  return "<no error>";
}

struct TRun {
  int exitCode = -1;
  std::string out, err;
};

// With FULLDISK, writes past 1 KB fail (the shell ignores the signal). Exit code -1: no run.
inline TRun RunProgram(const QString& exe, const QStringList& args, bool fullDisk = false) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", QDir::tempPath() + "/ferrolume-tool-test-no-config");
  p.setProcessEnvironment(env);
  if (fullDisk)
    p.start("/bin/sh",
            QStringList{"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"", exe} + args);
  else
    p.start(exe, args);
  const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
  return {ended ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
          p.readAllStandardError().toStdString()};
}

inline QImage RasterisePdf(const QString& pdf, int dotsPerInch) {
  RunProgram("pdftoppm", {"-r", QString::number(dotsPerInch), "-gray", "-aa", "no", "-aaVector",
                          "no", "-singlefile", pdf, pdf + ".raster"});
  return QImage(pdf + ".raster.pgm").convertToFormat(QImage::Format_Grayscale8);
}

inline bool Black(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// The pixel edges of the run of (x, y)'s shade along a row (dx = 1) or a column (dy = 1).
inline std::pair<int, int> RunAt(const QImage& image, int x, int y, int dx, int dy) {
  const bool shade = Black(image, x, y);
  auto same = [&](int k) {
    const int px = x + k * dx, py = y + k * dy;
    return px >= 0 && py >= 0 && px < image.width() && py < image.height() &&
           Black(image, px, py) == shade;
  };
  int a = 0, b = 0;
  while (same(a - 1)) --a;
  while (same(b + 1)) ++b;
  return {(dx ? x : y) + a, (dx ? x : y) + b + 1};
}

inline QPointF CentreAt(const QImage& image, int x, int y) {
  const auto row = RunAt(image, x, y, 1, 0);
  const int cx = (row.first + row.second) / 2;
  const auto column = RunAt(image, cx, y, 0, 1);
  const auto across = RunAt(image, cx, (column.first + column.second) / 2, 1, 0);
  return QPointF(across.first + across.second, column.first + column.second) / 2;
}

class BoardTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
  std::string FullPath(const char* name) const {
    return QFileInfo(Path(name)).absoluteFilePath().toStdString();
  }
  QTemporaryDir dir;
  FakeLayout view;
  TElementList list{&view};
};
