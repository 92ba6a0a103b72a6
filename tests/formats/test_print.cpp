#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <climits>
#include <cmath>
#include <cstdio>

#include "TBoardError.h"
#include "TBoardPrint.h"
#include "TElementList.h"
#include "model/FakeLayout.h"

namespace {

// The PDF is read back the way a user's viewer would show it: rasterised by poppler at 300 dots
// per inch, without smoothing, and measured in pixels.
constexpr int kRasterDpi = 300;
constexpr double kMmPerPixel = 25.4 / kRasterDpi;
constexpr double kMarginMm = 6.35;

QByteArray RunTool(const QString& tool, const QStringList& args) {
  const QString exe = QStandardPaths::findExecutable(tool);
  if (exe.isEmpty()) {
    ADD_FAILURE() << tool.toStdString() << " is missing: install poppler-utils";
    return {};
  }
  QProcess process;
  process.start(exe, args);
  EXPECT_TRUE(process.waitForFinished(120000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return process.readAllStandardOutput();
}

int PageCount(const QString& pdf) {
  for (const QByteArray& line : RunTool("pdfinfo", {pdf}).split('\n'))
    if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
  return -1;
}

QImage Rasterise(const QString& pdf) {
  const QString prefix = pdf + ".raster";
  RunTool("pdftoppm", {"-r", QString::number(kRasterDpi), "-gray", "-aa", "no", "-aaVector", "no",
                       "-singlefile", pdf, prefix});
  return QImage(prefix + ".pgm").convertToFormat(QImage::Format_Grayscale8);
}

bool Black(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// The pixel column or row where a board coordinate lands: the margin, then 160 units an inch.
double ToPixel(double boardUnits) {
  return (kMarginMm / 25.4 + boardUnits / UnitsPerInch) * kRasterDpi;
}

// The run of pixels of the same shade as (x, y) along a row (dx = 1) or a column (dy = 1), as
// the pixel edges where it starts and ends.
std::pair<int, int> RunAt(const QImage& image, int x, int y, int dx, int dy) {
  const bool shade = Black(image, x, y);
  int a = 0, b = 0;
  auto inside = [&](int k) {
    const int px = x + k * dx, py = y + k * dy;
    return px >= 0 && py >= 0 && px < image.width() && py < image.height() &&
           Black(image, px, py) == shade;
  };
  while (inside(a - 1)) --a;
  while (inside(b + 1)) ++b;
  return {(dx ? x : y) + a, (dx ? x : y) + b + 1};
}

// The centre of a pad's hole, in millimetres from the page's top-left corner.
QPointF HoleCentreMm(const QImage& image, TPoint boardCentre) {
  const int x = static_cast<int>(ToPixel(boardCentre.X)),
            y = static_cast<int>(ToPixel(boardCentre.Y));
  EXPECT_FALSE(Black(image, x, y)) << "no hole at " << boardCentre.X << ", " << boardCentre.Y;
  const auto row = RunAt(image, x, y, 1, 0), column = RunAt(image, x, y, 0, 1);
  return QPointF((row.first + row.second) / 2.0, (column.first + column.second) / 2.0) *
         kMmPerPixel;
}

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  QString Path(const QString& name) const { return dir.filePath(name); }
  QImage Export(const QString& name) {
    ExportBoardPdf(list, Path(name));
    EXPECT_EQ(PageCount(Path(name)), 1);
    return Rasterise(Path(name));
  }

  // Three pads four inches apart across and down, joined by wires that run under their holes,
  // a row of wires of every width a user can choose and one from a hand-edited file, and a pad
  // that sticks out of the printable area.
  static constexpr TPoint kPadA{80, 160}, kPadB{720, 160}, kPadC{80, 800};
  static constexpr int32_t kWidthRowY = 480;
  static constexpr struct {
    int32_t x, divisor;
  } kWidths[] = {{240, 1}, {320, 2}, {400, 3}, {480, 4}, {560, 8}, {640, 16}};
  void BuildKnownBoard() {
    list.AddWire(kPadA, kPadB, 2);
    list.AddWire(kPadA, kPadC, 4);
    for (const auto& w : kWidths) list.AddWire({w.x, 320}, {w.x, 640}, w.divisor);
    list.AddSolder(kPadA, 16, 48, sgCircle);
    list.AddSolder(kPadB, 16, 48, sgSquare);
    list.AddSolder(kPadC, 16, 48, sgCircle);
    list.AddSolder({0, 0}, 4, 64, sgSquare);  // on the printable area's corner
  }

  QTemporaryDir dir;
  FakeLayout view;
  TElementList list{&view};
};

TEST_F(PrintTest, TrueSizeFromThePrintableCorner) {
  BuildKnownBoard();
  const QImage page = Export("board.pdf");
  // A4 at 300 dots per inch, as near as whole points come to it.
  ASSERT_NEAR(page.width(), 2480, 1);
  ASSERT_NEAR(page.height(), 3508, 1);

  // Four inches of board are 101.6 mm of paper across and down, within one pixel.
  const QPointF a = HoleCentreMm(page, kPadA), b = HoleCentreMm(page, kPadB),
                c = HoleCentreMm(page, kPadC);
  const double across = b.x() - a.x(), down = c.y() - a.y();
  EXPECT_NEAR(across, 101.6, kMmPerPixel);
  EXPECT_NEAR(down, 101.6, kMmPerPixel);
  EXPECT_NEAR(b.y(), a.y(), kMmPerPixel);
  EXPECT_NEAR(c.x(), a.x(), kMmPerPixel);
  std::printf("scale error over 4 inches: across %+.4f mm, down %+.4f mm (one pixel %.4f mm)\n",
              across - 101.6, down - 101.6, kMmPerPixel);

  // Half an inch and one inch from the corner of the printable area inside the margins.
  EXPECT_NEAR(a.x(), kMarginMm + 12.7, kMmPerPixel);
  EXPECT_NEAR(a.y(), kMarginMm + 25.4, kMmPerPixel);

  // The holes are white paper over the wires that run into them, ringed by the pads' copper.
  for (TPoint pad : {kPadA, kPadB, kPadC}) {
    const int x = static_cast<int>(ToPixel(pad.X)), y = static_cast<int>(ToPixel(pad.Y));
    EXPECT_FALSE(Black(page, x, y));
    EXPECT_TRUE(Black(page, x + 20, y));  // hole radius 15 pixels, pad radius 45
    EXPECT_TRUE(Black(page, x, y + 20));
    EXPECT_FALSE(Black(page, x + 47, y - 20));
  }
  EXPECT_TRUE(Black(page, static_cast<int>(ToPixel(400)), static_cast<int>(ToPixel(160))));
  // The square pad reaches into its corners; the round one does not.
  EXPECT_TRUE(
      Black(page, static_cast<int>(ToPixel(720 + 22)), static_cast<int>(ToPixel(160 + 22))));
  EXPECT_FALSE(
      Black(page, static_cast<int>(ToPixel(80 + 22)), static_cast<int>(ToPixel(160 + 22))));

  // Nothing is moved to fit: the pad on the corner keeps only its quarter inside the margins.
  const int corner = static_cast<int>(std::lround(ToPixel(0)));
  EXPECT_TRUE(Black(page, corner + 6, corner + 6));  // past its hole
  EXPECT_TRUE(Black(page, corner + 50, corner + 50));
  EXPECT_FALSE(Black(page, corner - 3, corner + 10));
  EXPECT_FALSE(Black(page, corner + 10, corner - 3));
}

TEST_F(PrintTest, WiresAsWideAsTheirDivisorSays) {
  BuildKnownBoard();
  const QImage page = Export("widths.pdf");
  const int y = static_cast<int>(ToPixel(kWidthRowY));
  for (const auto& w : kWidths) {
    SCOPED_TRACE(w.divisor);
    const int x = static_cast<int>(ToPixel(w.x));
    ASSERT_TRUE(Black(page, x, y));
    const auto run = RunAt(page, x, y, 1, 0);
    const double expected = (UnitsPerStep / w.divisor) * double(kRasterDpi) / UnitsPerInch;
    EXPECT_NEAR(run.second - run.first, expected, 1.0);
    // Centred on the wire's own line.
    EXPECT_NEAR((run.first + run.second) / 2.0, ToPixel(w.x), 1.0);
  }
}

TEST_F(PrintTest, TheViewChangesNothingOnPaper) {
  BuildKnownBoard();
  const QImage plain = Export("plain.pdf");
  for (int32_t i = 0; i < list.Count(); ++i) list.Items(i)->SetSelected(true);
  view.Cell = 37;
  view.Step = gs1By8;
  view.Offset = {-1234, 567};
  view.Focus = 0x00FFFF;
  EXPECT_TRUE(Export("viewed.pdf") == plain);
  // The page was lent for the export only.
  EXPECT_EQ(view.External, nullptr);
  EXPECT_EQ(view.Dpi, 0);
}

TEST_F(PrintTest, EmptyBoardIsOneBlankPage) {
  const QImage page = Export("empty.pdf");
  ASSERT_FALSE(page.isNull());
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) ASSERT_FALSE(Black(page, x, y)) << x << ", " << y;
}

// An element whose drawing fails with something its own guard does not expect.
class FaultyElement : public TPCBElement {
 public:
  explicit FaultyElement(TLayoutView* layout) : TPCBElement(layout) {}
  bool IsWire() const override { return true; }
  std::string ToText() const override { return {}; }
  bool HitTest(TPoint) const override { return false; }
  bool InRect(const TRect&) const override { return false; }
  void Draw(TDrawMode) const override { throw EBoardError("fault"); }
  void Move(int32_t, int32_t) override {}
  std::unique_ptr<TPCBElement> Clone(TLayoutView* layout) const override {
    return std::make_unique<FaultyElement>(layout);
  }
};

TEST_F(PrintTest, FaultsAndWildNumbersStillGiveOnePage) {
  // Numbers from a hand-edited file: ends and sizes at the limits of 32 bits, a width that
  // cannot be computed, negative sizes. Nothing of them may stop the page.
  list.AddWire({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, 1);
  list.AddWire({0, 0}, {INT_MAX, 0}, 0);
  list.AddWire({80, 80}, {80, 80}, 1);
  list.AddSolder({INT_MAX, INT_MIN}, INT_MAX, INT_MAX, sgCircle);
  list.AddSolder({160, 160}, -16, -48, sgCircle);
  list.AddSolder({320, 160}, INT_MIN, INT_MAX, sgSquare);
  list.AddWire({160, 320}, {480, 320}, 2);  // drawn before the fault below
  list.Append(std::make_unique<FaultyElement>(&view));
  list.AddWire({160, 400}, {480, 400}, 2);  // never reached
  const QImage page = Export("wild.pdf");
  ASSERT_FALSE(page.isNull());
  EXPECT_TRUE(Black(page, static_cast<int>(ToPixel(320)), static_cast<int>(ToPixel(320))));
  EXPECT_FALSE(Black(page, static_cast<int>(ToPixel(320)), static_cast<int>(ToPixel(400))));
  EXPECT_EQ(view.External, nullptr);
}

TEST_F(PrintTest, FailedExportSaysSoAndKeepsWhatWasThere) {
  list.AddSolder({80, 80}, 4, 16, sgCircle);
  // Tests run as root, so the failures come from the file system's shape, not permissions.
  const QString inDirectory = Path("taken.pdf");
  ASSERT_TRUE(QDir().mkpath(inDirectory));
  QFile kept(inDirectory + "/kept.txt");
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
  kept.write("old board");
  kept.close();

  for (const QString& target : {QStringLiteral("/dev/null/x.pdf"), inDirectory}) {
    SCOPED_TRACE(target.toStdString());
    const std::string prefix = QStringLiteral("Impossible de créer le fichier \"%1\". ")
                                   .arg(target)
                                   .toUtf8()
                                   .toStdString();
    try {
      ExportBoardPdf(list, target);
      ADD_FAILURE() << "no error";
    } catch (const EBoardError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.substr(0, prefix.size()), prefix);
      EXPECT_GT(message.size(), prefix.size()) << "the reason is missing";
    }
    EXPECT_EQ(view.External, nullptr);
  }
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "old board");
  EXPECT_EQ(QDir(inDirectory).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.txt"});

  // An existing file is replaced whole.
  const QString old = Path("old.pdf");
  QFile file(old);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(100000, 'x'));
  file.close();
  ExportBoardPdf(list, old);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray written = file.readAll();
  EXPECT_TRUE(written.startsWith("%PDF-"));
  EXPECT_FALSE(written.contains("xxxxxxxx"));
  EXPECT_EQ(PageCount(old), 1);
}

}  // namespace
