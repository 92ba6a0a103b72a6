// The artwork on paper: the PDF page rasterised at 300 dots per inch as a user's viewer shows it,
// and the SVG drawing rendered at the same resolution, measured in pixels.
#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QScopeGuard>
#include <QSettings>
#include <QSvgRenderer>
#include <cstdio>

#include "TBoardPrint.h"
#include "TCopperFill.h"
#include "formats/BoardHelpers.h"
#include "formats/RasterHelpers.h"

namespace {

constexpr int kDpi = 300;
constexpr double kPxPerMm = kDpi / 25.4, kMarginMm = 6.35;

// The pixel where a board coordinate lands on a page at true size: the margin, then 160 units an
// inch.
double ToPixel(double units, int dpi = kDpi) {
  return (kMarginMm / 25.4 + units / UnitsPerInch) * dpi;
}

class ArtworkTest : public BoardTest {
 protected:
  QImage Export(const TArtworkOptions& options = {}, const char* name = "page.pdf",
                int dpi = kDpi) {
    ExportBoardPdf(list, dir.filePath(name), options);
    QImage page = RasterisePdf(dir.filePath(name), dpi);
    EXPECT_FALSE(page.isNull()) << "no page: is pdftoppm (poppler-utils) there?";
    return page;
  }
  bool BlackAt(const QImage& page, double x, double y) {
    return Black(page, int(ToPixel(x)), int(ToPixel(y)));
  }
  // A round pad and a square one with wide holes, a wire between them, a smaller pad below:
  // the board's edge runs from (40, 120) to (280, 272).
  void BuildBoard() {
    list.AddWire({80, 160}, {240, 160}, 4);
    list.AddSolder({80, 160}, 16, 48, sgCircle);
    list.AddSolder({240, 160}, 16, 48, sgSquare);
    list.AddSolder({160, 240}, 3, 32, sgCircle);
  }
  // Three pads four inches apart across and down, joined by wires that run under their holes,
  // a row of wires of every width a user can choose and one from a hand-edited file, and a pad
  // on the printable area's corner.
  static constexpr TPoint kPadA{80, 160}, kPadB{720, 160}, kPadC{80, 800};
  static constexpr int32_t kDivisors[] = {1, 2, 3, 4, 8, 16};  // at x = 240, 320, ... 640
  void BuildKnownBoard() {
    list.AddWire(kPadA, kPadB, 2);
    list.AddWire(kPadA, kPadC, 4);
    for (int i = 0; i < 6; ++i)
      list.AddWire({240 + 80 * i, 320}, {240 + 80 * i, 640}, kDivisors[i]);
    list.AddSolder(kPadA, 16, 48, sgCircle);
    list.AddSolder(kPadB, 16, 48, sgSquare);
    list.AddSolder(kPadC, 16, 48, sgCircle);
    list.AddSolder({0, 0}, 4, 64, sgSquare);
  }
  // A hole whose centre is within a pixel of the wanted one.
  static void ExpectHoleAt(const QImage& page, QPointF at) {
    ASSERT_FALSE(Black(page, int(at.x()), int(at.y()))) << "no hole at " << at.x() << "," << at.y();
    const QPointF c = CentreAt(page, int(at.x()), int(at.y()));
    EXPECT_NEAR(c.x(), at.x(), 1.0) << at.y();
    EXPECT_NEAR(c.y(), at.y(), 1.0) << at.x();
  }
};

// At 100 % four inches of board are 101.6 mm of paper; a scale correction stretches the board
// from the printable corner, 101 % across moving a pad four inches away by 1.016 mm.
TEST_F(ArtworkTest, TrueSizeOrStretchedFromThePrintableCorner) {
  BuildKnownBoard();
  for (const auto& [sx, sy] : {std::pair{10000, 10000}, {10100, 9950}}) {
    SCOPED_TRACE(sx);
    TArtworkOptions scaled;
    scaled.ScaleX = sx, scaled.ScaleY = sy;
    const QImage page = Export(scaled);
    ASSERT_NEAR(page.width(), 2480, 1);  // A4
    ASSERT_NEAR(page.height(), 3508, 1);
    const double fx = sx / 10000.0, fy = sy / 10000.0;
    // A hole found where the stretched board has it, in mm from the corner.
    auto hole = [&](TPoint p) {
      const QPointF c = CentreAt(page, int(ToPixel(p.X * fx) + 0.5), int(ToPixel(p.Y * fy)));
      return (c - QPointF(kMarginMm, kMarginMm) * kPxPerMm) / kPxPerMm;
    };
    const QPointF a = hole(kPadA), b = hole(kPadB), c = hole(kPadC);
    EXPECT_NEAR(b.x() - a.x(), 101.6 * fx, 1 / kPxPerMm);
    EXPECT_NEAR(c.y() - a.y(), 101.6 * fy, 1 / kPxPerMm);
    EXPECT_NEAR(b.y(), a.y(), 1 / kPxPerMm);
    EXPECT_NEAR(c.x(), a.x(), 1 / kPxPerMm);
    EXPECT_NEAR(a.x(), 12.7 * fx, 1 / kPxPerMm);
    EXPECT_NEAR(a.y(), 25.4 * fy, 1 / kPxPerMm);
    if (sx != 10000) continue;
    // The holes are white paper over the wires that run into them, ringed by copper (hole radius
    // 15 pixels, pad radius 45); the square pad reaches into its corners, the round one does not.
    for (TPoint pad : {kPadA, kPadB, kPadC}) {
      const int x = int(ToPixel(pad.X)), y = int(ToPixel(pad.Y));
      EXPECT_TRUE(Black(page, x + 20, y) && Black(page, x, y + 20) && !Black(page, x + 47, y - 20));
    }
    EXPECT_TRUE(BlackAt(page, 400, 160));
    EXPECT_TRUE(BlackAt(page, 720 + 22, 160 + 22));
    EXPECT_FALSE(BlackAt(page, 80 + 22, 160 + 22));
    // Nothing is moved to fit: the pad on the corner keeps only its quarter inside the margins.
    const int corner = int(std::lround((kMarginMm / 25.4) * kDpi));
    EXPECT_TRUE(Black(page, corner + 6, corner + 6));
    EXPECT_FALSE(Black(page, corner - 3, corner + 10) || Black(page, corner + 10, corner - 3));
    // Wires as wide as their divisor says, centred on their own line.
    for (int i = 0; i < 6; ++i) {
      const int x = int(ToPixel(240 + 80 * i)), y = int(ToPixel(480));
      ASSERT_TRUE(Black(page, x, y)) << kDivisors[i];
      const auto run = RunAt(page, x, y, 1, 0);
      const double width = (UnitsPerStep / kDivisors[i]) * double(kDpi) / UnitsPerInch;
      EXPECT_NEAR(run.second - run.first, width, 1.0) << kDivisors[i];
      EXPECT_NEAR((run.first + run.second) / 2.0, ToPixel(240 + 80 * i), 1.0) << kDivisors[i];
    }
  }
}

TEST_F(ArtworkTest, TheViewAndSelectionChangeNothingOnPaper) {
  const QImage empty = Export({}, "empty.pdf");
  ASSERT_FALSE(empty.isNull());
  QImage blank(empty.size(), empty.format());
  blank.fill(Qt::white);
  EXPECT_TRUE(empty == blank);
  BuildKnownBoard();
  const QImage plain = Export({}, "plain.pdf");
  for (int32_t i = 0; i < list.Count(); ++i) list.Items(i)->SetSelected(true);
  view.Cell = 37;
  view.Step = gs1By8;
  view.Offset = {-1234, 567};
  view.Focus = 0x00FFFF;
  EXPECT_TRUE(Export({}, "viewed.pdf") == plain);
  EXPECT_EQ(view.External, nullptr);  // the page was lent for the export only
}

TEST_F(ArtworkTest, AFailedExportSaysSoAndKeepsWhatWasThere) {
  list.AddSolder({80, 80}, 4, 16, sgCircle);
  // Tests run as root, so the failures come from the file system's shape, not permissions.
  const QString taken = dir.filePath("taken.pdf");
  ASSERT_TRUE(QDir().mkpath(taken));
  WriteBytes(taken + "/kept.txt", "old board");
  for (const QString& target : {QStringLiteral("/dev/null/x.pdf"), taken}) {
    const std::string prefix = "Impossible de créer le fichier \"" + target.toStdString() + "\". ";
    const std::string message = MessageOf([&] { ExportBoardPdf(list, target); });
    EXPECT_EQ(message.substr(0, prefix.size()), prefix);
    EXPECT_GT(message.size(), prefix.size()) << "the reason is missing";
    EXPECT_EQ(view.External, nullptr);
  }
  EXPECT_EQ(QDir(taken).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.txt"});
  EXPECT_EQ(ReadBytes(taken + "/kept.txt"), "old board");
  // An existing file is replaced whole.
  WriteBytes(dir.filePath("old.pdf"), std::string(100000, 'x'));
  ExportBoardPdf(list, dir.filePath("old.pdf"));
  const std::string written = ReadBytes(dir.filePath("old.pdf"));
  EXPECT_EQ(written.rfind("%PDF-", 0), 0u);
  EXPECT_EQ(written.find("xxxxxxxx"), std::string::npos);
}

TEST_F(ArtworkTest, MirrorKeepsTheBoardInItsPlace) {
  BuildBoard();
  TArtworkOptions mirror;
  mirror.Mirror = true;
  const QImage page = Export(mirror);
  // Around the middle of the edge, x = 160: the round pad and the square one change places.
  for (auto [x, y] : {std::pair{240, 160}, {80, 160}, {160, 240}})
    ExpectHoleAt(page, QPointF(ToPixel(x), ToPixel(y)));
  // The square pad's corner is now on the left.
  EXPECT_TRUE(Black(page, int(ToPixel(80)) + 40, int(ToPixel(160)) + 40));
  EXPECT_FALSE(Black(page, int(ToPixel(240)) + 40, int(ToPixel(160)) + 40));
}

TEST_F(ArtworkTest, CopiesAtTheirPitchOrAnErrorAndNoFile) {
  BuildBoard();
  TArtworkOptions grid;
  grid.Rows = 2;
  grid.Columns = 3;
  const QImage page = Export(grid);
  // The edge is 38.1 mm by 24.13 mm, and 5 mm lie between copies.
  const double pitchX = (38.1 + 5) * kPxPerMm, pitchY = (24.13 + 5) * kPxPerMm;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c)
      ExpectHoleAt(page, QPointF(ToPixel(80) + c * pitchX, ToPixel(160) + r * pitchY));
  EXPECT_FALSE(Black(page, int(ToPixel(80) + 3 * pitchX), int(ToPixel(160) + 20)));

  grid.Columns = 5;  // 216.9 mm across, on a printable width of 197.3 mm
  WriteBytes(dir.filePath("kept.pdf"), "old artwork");
  for (const char* name : {"none.pdf", "none.svg", "kept.pdf"}) {
    const QString path = dir.filePath(name);
    const std::string message = MessageOf([&] {
      path.endsWith(".svg") ? ExportBoardSvg(list, path, grid) : ExportBoardPdf(list, path, grid);
    });
    EXPECT_NE(message.find("2 × 5 copies of the board do not fit on the page"), std::string::npos)
        << message;
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("none.pdf")) || QFile::exists(dir.filePath("none.svg")));
  EXPECT_EQ(ReadBytes(dir.filePath("kept.pdf")), "old artwork");
}

// Black inside the board's edge with white copper and black holes: the positive page turned over
// there, also with a fill over the board joined to the round pad, its gaps black.
TEST_F(ArtworkTest, NegativeIsThePositiveTurnedOverInsideTheEdge) {
  BuildBoard();
  TArtworkOptions negative;
  negative.Negative = true;
  for (const bool fill : {false, true}) {
    SCOPED_TRACE(fill);
    if (fill)
      list.Append(std::make_unique<TCopperFill>(
          &view, std::vector<TPoint>{{40, 120}, {280, 120}, {280, 272}, {40, 272}}, true,
          TPoint{80, 160}, TFillSettings{}));
    const QImage positive = Export({}, "positive.pdf"), page = Export(negative, "negative.pdf");
    if (!fill) {  // black reaches the board's edge
      QRect black;
      for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
          if (Black(page, x, y)) black |= QRect(x, y, 1, 1);
      EXPECT_NEAR(black.left(), ToPixel(40), 1.0);
      EXPECT_NEAR(black.right() + 1, ToPixel(280), 1.0);
      EXPECT_NEAR(black.top(), ToPixel(120), 1.0);
      EXPECT_NEAR(black.bottom() + 1, ToPixel(272), 1.0);
    }
    int inside = 0, same = 0, bare = 0;
    for (int y = int(ToPixel(120)) + 2; y < int(ToPixel(272)) - 2; ++y)
      for (int x = int(ToPixel(40)) + 2; x < int(ToPixel(280)) - 2; ++x) {
        ++inside;
        same += Black(positive, x, y) == Black(page, x, y);
        bare += !Black(positive, x, y);
      }
    // Only pixels cut by an edge may read alike; the gaps and holes are a few percent of a board.
    EXPECT_LT(same, inside / 200);
    EXPECT_GT(bare, inside / 40);
  }
}

// How much an option changes a width across the copper, or a hole, along a row or a column
// through a point: drill marks of half a millimetre, and copper grown 0.1 mm on every side.
TEST_F(ArtworkTest, DrillMarksAndEtchCompensationChangeWidthsByTheirAmount) {
  BuildBoard();
  AddSmd(list, {160, 200}, 24, 12, 0);
  // Read at 600 dots per inch: 0.1 mm is some 2.4 dots, an edge's rounding one. The page in grey
  // is more than Qt reads by default.
  const int limit = QImageReader::allocationLimit();
  QImageReader::setAllocationLimit(512);
  const auto restore = qScopeGuard([limit] { QImageReader::setAllocationLimit(limit); });
  constexpr int dpi = 600;
  constexpr double perMm = dpi / 25.4;
  auto width = [&](const QImage& image, double x, double y, int dx, int dy) {
    const auto run = RunAt(image, int(ToPixel(x, dpi)), int(ToPixel(y, dpi)), dx, dy);
    return (run.second - run.first) / perMm;
  };
  TArtworkOptions marks, etch;
  marks.DrillMarks = true, etch.EtchCompensationUm = 100;
  const QImage plain = Export({}, "plain.pdf", dpi), marked = Export(marks, "marks.pdf", dpi);
  const QImage grown = Export(etch, "grown.pdf", dpi);
  EXPECT_NEAR(width(plain, 80, 160, 1, 0), 2.54, 1.5 / perMm);
  const struct {
    const char* what;
    const QImage& page;
    double x, y;
    int dx, dy;
    double change;  // in mm
  } widths[] = {
      {"wire", grown, 160, 160, 0, 1, 0.2},
      {"round pad", grown, 80, 150, 1, 0, 0.2},
      {"square pad", grown, 240, 150, 1, 0, 0.2},
      {"SMD pad across", grown, 160, 200, 1, 0, 0.2},
      {"SMD pad down", grown, 160, 200, 0, 1, 0.2},
      {"hole", grown, 80, 160, 1, 0, 0},
      {"small hole", grown, 160, 240, 1, 0, 0},
      {"marked hole", marked, 80, 160, 1, 0, 0.5 - 2.54},
      {"hole smaller than a mark", marked, 160, 240, 1, 0, 0},
  };
  for (const auto& w : widths)
    EXPECT_NEAR(width(w.page, w.x, w.y, w.dx, w.dy) - width(plain, w.x, w.y, w.dx, w.dy), w.change,
                1.5 / perMm)
        << w.what;
  // A fill grows into its gaps as much: the gap below the small pad narrows by 0.2 mm.
  list.Append(std::make_unique<TCopperFill>(
      &view, std::vector<TPoint>{{40, 120}, {280, 120}, {280, 272}, {40, 272}}, true,
      TPoint{80, 160}, TFillSettings{}));
  const QImage fillPlain = Export({}, "fill.pdf", dpi),
               fillGrown = Export(etch, "fillgrown.pdf", dpi);
  const double below = 256 + 0.2 / 0.15875;
  EXPECT_NEAR(width(fillPlain, 160, below, 0, 1) - width(fillGrown, 160, below, 0, 1), 0.2,
              1.5 / perMm);
}

TEST_F(ArtworkTest, SvgDrawsThePdfPage) {
  BuildBoard();
  TArtworkOptions o;
  o.Mirror = true;
  o.Columns = 2;
  o.DrillMarks = true;
  const QImage pdf = Export(o);
  ExportBoardSvg(list, dir.filePath("page.svg"), o);
  const std::string text = ReadBytes(dir.filePath("page.svg"));
  // Whole dots of 1/1600 inch, and their exact size in millimetres.
  EXPECT_NE(text.find("width=\"209.994500mm\" height=\"297.005375mm\""), std::string::npos);
  EXPECT_NE(text.find("viewBox=\"0 0 13228 18709\""), std::string::npos);
  QSvgRenderer svg(QString(dir.filePath("page.svg")));
  ASSERT_TRUE(svg.isValid());
  QImage drawn(pdf.size(), QImage::Format_RGB32);
  drawn.fill(Qt::white);
  {
    QPainter painter(&drawn);
    svg.render(&painter, QRectF(0, 0, 13228 * kDpi / 1600.0, 18709 * kDpi / 1600.0));
  }
  int both = 0, either = 0;
  for (int y = 0; y < pdf.height(); ++y) {
    for (int x = 0; x < pdf.width(); ++x) {
      both += Black(pdf, x, y) && Black(drawn, x, y);
      either += Black(pdf, x, y) || Black(drawn, x, y);
    }
  }
  ASSERT_GT(either, 10000);
  const double iou = double(both) / either;
  EXPECT_GT(iou, 0.97);
}

// Refusals on the command line are the converter's tests; here the values and the stored ones.
TEST(ArtworkOptions, ParsedAndReadBack) {
  const std::pair<const char*, int32_t> scales[] = {
      {"101.5", 10150}, {"99.25", 9925}, {"110.00", 11000}, {"110.01", -1}, {"100.125", -1}};
  for (const auto& [text, want] : scales) {
    int32_t h = -1;
    ParseScale(text, h);
    EXPECT_EQ(h, want) << text;
  }
  int32_t rows = 0, columns = 0;
  EXPECT_TRUE(ParseCopies("20X3", rows, columns) && rows == 20 && columns == 3);
  QTemporaryDir dir;
  QSettings settings(dir.filePath("s.ini"), QSettings::IniFormat);
  settings.setValue("print/scaleX", "250");  // out of range, as a hand-edited file may have it
  settings.setValue("print/copies", "2x2");
  const TArtworkOptions o = LoadArtworkOptions(settings);
  EXPECT_EQ(std::tuple(o.ScaleX, o.Rows, o.Columns), std::tuple(10000, 2, 2));
}

}  // namespace
