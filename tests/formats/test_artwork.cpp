
#include <QImageReader>
#include <QScopeGuard>
#include <QSvgRenderer>

#include "formats/BoardHelpers.h"

namespace {

constexpr int kDpi = 300;
constexpr double kPxPerMm = kDpi / 25.4, kMarginMm = 6.35;

double ToPixel(double units, int dpi = kDpi) {
  return (kMarginMm / 25.4 + units / UnitsPerInch) * dpi;
}

// A round and a square pad joined by a wire, a small pad below; the edge is (40, 120)-(280, 272).
const char* const kBoard =
    "*Solder*\n80, 160, 16, 48, 0\n240, 160, 16, 48, 1\n160, 240, 3, 32, 0\n*Wire*\n"
    "80, 160, 240, 160, 4\n";
const char* const kFill =
    "**\n@FILL 1, 80, 160, 500000, 300000, 500000, 500000, 0, 4, 40, 120, "
    "280, 120, 280, 272, 40, 272\n**\n";

class ArtworkTest : public BoardTest {
 protected:
  QImage Export(const TArtworkOptions& options = {}, const char* name = "page.pdf",
                int dpi = kDpi) {
    ExportBoardPdf(list, dir.filePath(name), options);
    QImage page = RasterisePdf(dir.filePath(name), dpi);
    EXPECT_FALSE(page.isNull()) << "no page: is pdftoppm (poppler-utils) there?";
    return page;
  }
};

// Pads four inches apart joined by wires under their holes, and a pad on the printable corner.
TEST_F(ArtworkTest, TrueSizeOrStretchedFromThePrintableCorner) {
  const QImage empty = Export({}, "empty.pdf");
  ASSERT_FALSE(empty.isNull());
  QImage blank(empty.size(), empty.format());
  blank.fill(Qt::white);
  EXPECT_TRUE(empty == blank);
  ReadBoard(list,
            "*Wire*\n80, 160, 720, 160, 2\n80, 160, 80, 800, 4\n*Solder*\n80, 160, 16, 48, 0\n"
            "720, 160, 16, 48, 1\n80, 800, 16, 48, 0\n0, 0, 4, 64, 1\n");
  for (const auto& [sx, sy] : {std::pair{10000, 10000}, {10100, 9950}}) {
    SCOPED_TRACE(sx);
    TArtworkOptions scaled;
    scaled.ScaleX = sx, scaled.ScaleY = sy;
    const QImage page = Export(scaled);
    ASSERT_EQ(page.size(), QSize(2480, 3509));  // A4
    const double fx = sx / 10000.0, fy = sy / 10000.0;
    auto hole = [&](int x, int y) {  // in mm from the corner
      const QPointF c = CentreAt(page, int(ToPixel(x * fx) + 0.5), int(ToPixel(y * fy)));
      return (c - QPointF(kMarginMm, kMarginMm) * kPxPerMm) / kPxPerMm;
    };
    const QPointF a = hole(80, 160), b = hole(720, 160), c = hole(80, 800);
    for (const auto& [got, want] : {std::pair{a, QPointF(12.7 * fx, 25.4 * fy)},
                                    {b - a, QPointF(101.6 * fx, 0)},
                                    {c - a, QPointF(0, 101.6 * fy)}})
      EXPECT_LT(QLineF(got, want).length(), 1 / kPxPerMm) << got.x() << "," << got.y();
    if (sx != 10000) continue;
    // Nothing is moved to fit: the pad on the corner keeps only its quarter inside the margins.
    const int corner = int(std::lround((kMarginMm / 25.4) * kDpi));
    EXPECT_TRUE(Black(page, corner + 6, corner + 6));
    EXPECT_FALSE(Black(page, corner - 3, corner + 10) || Black(page, corner + 10, corner - 3));
    EXPECT_EQ(view.External, nullptr);  // the page was lent for the export only
  }
}

TEST_F(ArtworkTest, CopiesAtTheirPitchOrAnErrorAndNoFileAndFailedExportsKeepWhatWasThere) {
  ReadBoard(list, kBoard);
  TArtworkOptions grid;
  grid.Rows = 2, grid.Columns = 3;
  const QImage page = Export(grid);
  // The edge is 38.1 mm by 24.13 mm, and 5 mm lie between copies.
  const double pitchX = (38.1 + 5) * kPxPerMm, pitchY = (24.13 + 5) * kPxPerMm;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      const QPointF hole(ToPixel(80) + c * pitchX, ToPixel(160) + r * pitchY);
      EXPECT_FALSE(Black(page, int(hole.x()), int(hole.y()))) << r << c;
      EXPECT_LT(QLineF(CentreAt(page, int(hole.x()), int(hole.y())), hole).length(), 1.4) << r << c;
    }
  EXPECT_FALSE(Black(page, int(ToPixel(80) + 3 * pitchX), int(ToPixel(160) + 20)));
  grid.Columns = 5;
  const std::string tooMany =
      "2 × 5 copies of the board do not fit on the page: they reach from 6.3, 19.1 mm to 216.9, "
      "72.3 mm from the corner of the printable area, which is 197.3 × 284.3 mm. Choose fewer "
      "copies";
  const QString taken = dir.filePath("taken.pdf");  // a folder: tests run as root
  ASSERT_TRUE(QDir().mkpath(taken));
  WriteBytes(dir.filePath("kept.pdf"), "old artwork");
  for (const auto& [path, message] :
       {std::pair{dir.filePath("none.pdf"), tooMany},
        {dir.filePath("none.svg"), tooMany},
        {dir.filePath("kept.pdf"), tooMany},
        {QString("/dev/null/x.pdf"),
         "Impossible de créer le fichier \"/dev/null/x.pdf\". Not a directory"},
        {taken,
         "Impossible de créer le fichier \"" + taken.toStdString() + "\". Is a directory"}}) {
    const bool copies = message == tooMany;
    EXPECT_EQ(MessageOf([&, &path = path] {
                path.endsWith(".svg")
                    ? ExportBoardSvg(list, path, grid)
                    : ExportBoardPdf(list, path, copies ? grid : TArtworkOptions{});
              }),
              message);
    EXPECT_EQ(view.External, nullptr);
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("none.pdf")) || QFile::exists(dir.filePath("none.svg")));
  EXPECT_EQ(ReadBytes(dir.filePath("kept.pdf")), "old artwork");
  EXPECT_TRUE(QDir(taken).isEmpty());
  WriteBytes(dir.filePath("old.pdf"), std::string(100000, 'x'));  // replaced whole
  ExportBoardPdf(list, dir.filePath("old.pdf"));
  EXPECT_EQ(ReadBytes(dir.filePath("old.pdf")).rfind("%PDF-", 0), 0u);
  EXPECT_EQ(ReadBytes(dir.filePath("old.pdf")).find("xxxxxxxx"), std::string::npos);
}

TEST_F(ArtworkTest, NegativeIsThePositiveTurnedOverInsideTheEdge) {
  TArtworkOptions negative;
  negative.Negative = true;
  for (const bool fill : {false, true}) {
    SCOPED_TRACE(fill);
    ReadBoard(list, kBoard + std::string(fill ? kFill : ""));
    const QImage positive = Export({}, "positive.pdf"), page = Export(negative, "negative.pdf");
    QRect black;
    int inside = 0, same = 0, bare = 0;
    for (int y = 0; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x) {
        if (Black(page, x, y)) black |= QRect(x, y, 1, 1);
        if (y < ToPixel(120) + 2 || y >= ToPixel(272) - 3 || x < ToPixel(40) + 2 ||
            x >= ToPixel(280) - 3)
          continue;
        ++inside;
        same += Black(positive, x, y) == Black(page, x, y);
        bare += !Black(positive, x, y);
      }
    for (const auto& [got, want] : {std::pair{black.left(), 40},
                                    {black.right() + 1, 280},
                                    {black.top(), 120},
                                    {black.bottom() + 1, 272}})
      EXPECT_TRUE(fill || std::abs(got - ToPixel(want)) <= 1.0) << got;  // black reaches the edge
    EXPECT_LT(same, inside / 200);  // only pixels cut by an edge
    EXPECT_GT(bare, inside / 40);   // gaps and holes: a few percent
  }
}

// Drill marks of 0.5 mm, and 0.1 mm of copper grown on every side, read at 600 dots per inch.
TEST_F(ArtworkTest, DrillMarksAndEtchCompensationChangeWidthsByTheirAmount) {
  ReadBoard(list, kBoard + std::string("**\n@SMD 160, 200, 24, 12, 0\n**\n"));
  const int limit = QImageReader::allocationLimit();  // a grey page is more than Qt reads
  QImageReader::setAllocationLimit(512);
  const auto restore = qScopeGuard([limit] { QImageReader::setAllocationLimit(limit); });
  constexpr int dpi = 600;
  constexpr double perMm = dpi / 25.4;
  auto width = [&](const QImage& image, double x, double y, int dx) {
    const auto run = RunAt(image, int(ToPixel(x, dpi)), int(ToPixel(y, dpi)), dx, 1 - dx);
    return (run.second - run.first) / perMm;
  };
  TArtworkOptions marks, etch;
  marks.DrillMarks = true, etch.EtchCompensationUm = 100;
  const QImage plain = Export({}, "plain.pdf", dpi), marked = Export(marks, "marks.pdf", dpi);
  const QImage grown = Export(etch, "grown.pdf", dpi);
  EXPECT_NEAR(width(plain, 80, 160, 1), 2.54, 1.5 / perMm);
  const std::tuple<const QImage&, double, double, int, double> widths[] = {
      // change in mm
      {grown, 160, 160, 0, 0.2},         // wire
      {grown, 80, 150, 1, 0.2},          // round pad
      {grown, 160, 200, 1, 0.2},         // SMD pad across
      {grown, 80, 160, 1, 0},            // hole
      {grown, 160, 240, 1, 0},           // small hole
      {marked, 80, 160, 1, 0.5 - 2.54},  // marked hole
      {marked, 160, 240, 1, 0},          // hole smaller than a mark
  };
  for (const auto& [page, x, y, dx, change] : widths)
    EXPECT_NEAR(width(page, x, y, dx) - width(plain, x, y, dx), change, 1.5 / perMm)
        << x << "," << y;
  // A fill grows into its gaps as much: the gap below the small pad narrows by 0.2 mm.
  ReadBoard(list, kBoard + std::string(kFill) + "**\n@SMD 160, 200, 24, 12, 0\n**\n");
  const QImage fillPlain = Export({}, "fill.pdf", dpi);
  const QImage fillGrown = Export(etch, "fillgrown.pdf", dpi);
  const double below = 256 + 0.2 / 0.15875;
  EXPECT_NEAR(width(fillPlain, 160, below, 0) - width(fillGrown, 160, below, 0), 0.2, 1.5 / perMm);
}

TEST_F(ArtworkTest, SvgDrawsThePdfPage) {
  ReadBoard(list, kBoard);
  TArtworkOptions o;
  o.Mirror = true, o.Columns = 2, o.DrillMarks = true;
  const QImage pdf = Export(o);
  ExportBoardSvg(list, dir.filePath("page.svg"), o);
  const std::string text = ReadBytes(dir.filePath("page.svg"));
  EXPECT_NE(text.find("width=\"209.994500mm\" height=\"297.005375mm\""), std::string::npos);
  EXPECT_NE(text.find("viewBox=\"0 0 13228 18709\""), std::string::npos);
  QSvgRenderer svg(QString(dir.filePath("page.svg")));
  QImage drawn(pdf.size(), QImage::Format_RGB32);
  drawn.fill(Qt::white);
  QPainter painter(&drawn);
  svg.render(&painter, QRectF(0, 0, 13228 * kDpi / 1600.0, 18709 * kDpi / 1600.0));
  painter.end();
  int both = 0, either = 0;
  for (int y = 0; y < pdf.height(); ++y)
    for (int x = 0; x < pdf.width(); ++x) {
      both += Black(pdf, x, y) && Black(drawn, x, y);
      either += Black(pdf, x, y) || Black(drawn, x, y);
    }
  ASSERT_GT(either, 10000);
  EXPECT_GT(double(both) / either, 0.97);
}

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
