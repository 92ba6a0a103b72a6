// The PDF artwork read back as a user's viewer shows it, rasterised at 300 dots per inch and
// measured in pixels.
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <cstdio>

#include "TBoardPrint.h"
#include "formats/BoardHelpers.h"
#include "formats/RasterHelpers.h"
#include "model/FakeLayout.h"

namespace {

constexpr int kDpi = 300;
constexpr double kMmPerPixel = 25.4 / kDpi, kMarginMm = 6.35;

// The pixel where a board coordinate lands: the margin, then 160 units an inch.
double ToPixel(double units) { return (kMarginMm / 25.4 + units / UnitsPerInch) * kDpi; }

// Whether the paper is black where a point of the board lands.
bool BlackAt(const QImage& image, double x, double y) {
  return Black(image, static_cast<int>(ToPixel(x)), static_cast<int>(ToPixel(y)));
}

// The centre of a pad's white hole, in millimetres from the page's corner.
QPointF HoleCentreMm(const QImage& image, TPoint centre) {
  const int x = static_cast<int>(ToPixel(centre.X)), y = static_cast<int>(ToPixel(centre.Y));
  EXPECT_FALSE(Black(image, x, y)) << "no hole at " << centre.X << ", " << centre.Y;
  const auto row = RunAt(image, x, y, 1, 0), column = RunAt(image, x, y, 0, 1);
  return QPointF(row.first + row.second, column.first + column.second) * (kMmPerPixel / 2);
}

class PrintTest : public ::testing::Test {
 protected:
  QImage Export(const QString& name) {
    ExportBoardPdf(list, dir.filePath(name));
    QImage page = RasterisePdf(dir.filePath(name), kDpi);
    EXPECT_FALSE(page.isNull()) << "no page: is pdftoppm (poppler-utils) there?";
    return page;
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
  QTemporaryDir dir;
  FakeLayout view;
  TElementList list{&view};
};

TEST_F(PrintTest, TrueSizeFromThePrintableCorner) {
  BuildKnownBoard();
  const QImage page = Export("board.pdf");
  ASSERT_NEAR(page.width(), 2480, 1);  // A4
  ASSERT_NEAR(page.height(), 3508, 1);
  // Four inches of board are 101.6 mm of paper across and down, within one pixel.
  const QPointF a = HoleCentreMm(page, kPadA), b = HoleCentreMm(page, kPadB),
                c = HoleCentreMm(page, kPadC);
  EXPECT_NEAR(b.x() - a.x(), 101.6, kMmPerPixel);
  EXPECT_NEAR(c.y() - a.y(), 101.6, kMmPerPixel);
  EXPECT_NEAR(b.y(), a.y(), kMmPerPixel);
  EXPECT_NEAR(c.x(), a.x(), kMmPerPixel);
  std::printf("scale error over 4 inches: across %+.4f mm, down %+.4f mm (one pixel %.4f mm)\n",
              b.x() - a.x() - 101.6, c.y() - a.y() - 101.6, kMmPerPixel);
  // Half an inch and one inch from the corner of the printable area inside the margins.
  EXPECT_NEAR(a.x(), kMarginMm + 12.7, kMmPerPixel);
  EXPECT_NEAR(a.y(), kMarginMm + 25.4, kMmPerPixel);

  // The holes are white paper over the wires that run into them, ringed by copper (hole radius
  // 15 pixels, pad radius 45); the square pad reaches into its corners, the round one does not.
  for (TPoint pad : {kPadA, kPadB, kPadC}) {
    const int x = static_cast<int>(ToPixel(pad.X)), y = static_cast<int>(ToPixel(pad.Y));
    EXPECT_TRUE(Black(page, x + 20, y) && Black(page, x, y + 20) && !Black(page, x + 47, y - 20));
  }
  EXPECT_TRUE(BlackAt(page, 400, 160));
  EXPECT_TRUE(BlackAt(page, 720 + 22, 160 + 22));
  EXPECT_FALSE(BlackAt(page, 80 + 22, 160 + 22));
  // Nothing is moved to fit: the pad on the corner keeps only its quarter inside the margins.
  const int corner = static_cast<int>(std::lround((kMarginMm / 25.4) * kDpi));
  EXPECT_TRUE(Black(page, corner + 6, corner + 6));
  EXPECT_FALSE(Black(page, corner - 3, corner + 10));
  EXPECT_FALSE(Black(page, corner + 10, corner - 3));

  // Wires as wide as their divisor says, centred on their own line.
  for (int i = 0; i < 6; ++i) {
    const int x = static_cast<int>(ToPixel(240 + 80 * i)), y = static_cast<int>(ToPixel(480));
    ASSERT_TRUE(Black(page, x, y)) << kDivisors[i];
    const auto run = RunAt(page, x, y, 1, 0);
    const double width = (UnitsPerStep / kDivisors[i]) * double(kDpi) / UnitsPerInch;
    EXPECT_NEAR(run.second - run.first, width, 1.0) << kDivisors[i];
    EXPECT_NEAR((run.first + run.second) / 2.0, ToPixel(240 + 80 * i), 1.0) << kDivisors[i];
  }
}

TEST_F(PrintTest, TheViewAndSelectionChangeNothingOnPaper) {
  const QImage empty = Export("empty.pdf");
  ASSERT_FALSE(empty.isNull());
  QImage blank(empty.size(), empty.format());
  blank.fill(Qt::white);
  EXPECT_TRUE(empty == blank);
  BuildKnownBoard();
  const QImage plain = Export("plain.pdf");
  for (int32_t i = 0; i < list.Count(); ++i) list.Items(i)->SetSelected(true);
  view.Cell = 37;
  view.Step = gs1By8;
  view.Offset = {-1234, 567};
  view.Focus = 0x00FFFF;
  EXPECT_TRUE(Export("viewed.pdf") == plain);
  EXPECT_EQ(view.External, nullptr);  // the page was lent for the export only
}

TEST_F(PrintTest, AFailedExportSaysSoAndKeepsWhatWasThere) {
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
  EXPECT_EQ(ReadBytes(taken + "/kept.txt"), "old board");
  EXPECT_EQ(QDir(taken).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.txt"});
  // An existing file is replaced whole.
  WriteBytes(dir.filePath("old.pdf"), std::string(100000, 'x'));
  ExportBoardPdf(list, dir.filePath("old.pdf"));
  const std::string written = ReadBytes(dir.filePath("old.pdf"));
  EXPECT_EQ(written.rfind("%PDF-", 0), 0u);
  EXPECT_EQ(written.find("xxxxxxxx"), std::string::npos);
}

}  // namespace
