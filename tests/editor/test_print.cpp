// Printing from the widget: the page does not depend on what the user is looking at, and a print
// that cannot happen says so without touching the board.
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "LayoutTest.h"
#include "TBoardError.h"
#include "formats/BoardHelpers.h"

namespace {

// The test machine must have no printer, whatever is installed on it: the printing system is sent
// to a loopback port where nothing listens, before Qt's print support first asks it for its
// queues (the libraries read these only once).
[[maybe_unused]] const bool kNoPrintServer = [] {
  qputenv("CUPS_SERVER", "127.0.0.1:9");
  qunsetenv("PRINTER");
  qunsetenv("LPDEST");
  return true;
}();

class PrintLayoutTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    w.Elements().AddWire({80, 80}, {720, 80}, 2);
    w.Elements().AddSolder({80, 80}, 16, 48, sgCircle);
    w.Elements().AddSolder({720, 80}, 16, 48, sgSquare);
    w.Elements().AddSolder({400, 400}, 4, 32, sgCircle);
    w.RenderBoard();
  }
  // A PDF without its creation date, the only thing that differs between two exports.
  QByteArray PageOf(const char* name) const {
    QString text = QString::fromLatin1(QByteArray::fromStdString(ReadBytes(dir.filePath(name))));
    return text.remove(QRegularExpression("/CreationDate \\(D:[0-9Z+'-]*\\)")).toLatin1();
  }
  // Runs a print or an export and checks that it left the board, the view and the flag alone,
  // and that the page was only lent to the elements while they drew. Returns the error, if any.
  std::string Unchanged(const std::function<void()>& print) {
    const auto board = Describe(w.Elements());
    const bool modified = w.Modified();
    const TPoint offset = w.ViewOffset();
    const QImage image = w.BoardImage().copy();
    std::string error;
    try {
      print();
    } catch (const EBoardError& e) {
      error = e.what();
    }
    EXPECT_EQ(Describe(w.Elements()), board);
    EXPECT_EQ(w.Modified(), modified);
    EXPECT_EQ(w.ViewOffset(), offset);
    EXPECT_TRUE(SameImage(w.BoardImage(), image));
    EXPECT_EQ(w.PrinterCanvas(), nullptr);
    EXPECT_EQ(w.PrinterResolution(), 0);
    return error;
  }

  QTemporaryDir dir;
};

// A printer writing to a file stands in for paper.
TEST_F(PrintLayoutTest, ThePageIsTheBoardWhateverTheViewAndAFailedPrintSaysWhy) {
  w.ExportPdf(dir.filePath("reference.pdf"));
  const QByteArray reference = PageOf("reference.pdf");
  ASSERT_FALSE(reference.isEmpty());
  for (int view = 0; view < 3; ++view) {
    if (view == 0) w.SetGridScale(-2), w.SetGridStep(gs1By8);
    if (view == 1) w.SetViewOffset({-517, 233});
    if (view == 2) w.Elements().Items(2)->SetSelected(true), w.SetModified(true), w.RenderBoard();
    EXPECT_EQ(Unchanged([this] { w.ExportPdf(dir.filePath("viewed.pdf")); }), "");
    EXPECT_TRUE(PageOf("viewed.pdf") == reference);
  }
  if (QPrinterInfo::defaultPrinter().isNull()) {
    EXPECT_EQ(Unchanged([this] { w.Print(); }), "Aucune imprimante par défaut n'est installée");
  }
  for (auto [file, error] :
       {std::pair<QString, std::string>{dir.filePath("printed.pdf"), ""},
        {"/dev/null/printed.pdf",
         "L'imprimante \"/dev/null/printed.pdf\" n'a pas accepté le travail"},
        {"/dev/null/" + QString(100, 'p') + ".pdf",  // a name beyond 100 characters is cut
         "L'imprimante \"/dev/null/" + std::string(40, 'p') + "…" + std::string(21, 'p') +
             ".pdf\" n'a pas accepté le travail"}}) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    // Letter paper with margins of half an inch at the side and one inch at the top.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                      QMarginsF(36, 72, 36, 36), QPageLayout::Point));
    EXPECT_EQ(Unchanged([&, &printer = printer] { w.PrintOn(printer); }), error);
  }
  // At 100 dpi the board's (80, 80) lies half an inch inside the printable corner: the first
  // pad's centre at (100, 150), its ring 0.15 inch across, the square pad four inches further.
  const QImage page = RasterisePdf(dir.filePath("printed.pdf"), 100);
  ASSERT_EQ(page.size(), QSize(850, 1100));
  auto black = [&page](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
  EXPECT_FALSE(black(100, 150));  // the drill hole
  EXPECT_TRUE(black(100 + 10, 150));
  EXPECT_FALSE(black(100 + 18, 150 - 10));
  EXPECT_TRUE(black(500 + 14, 150 - 14));  // the square pad's corner
  EXPECT_FALSE(black(500 + 17, 150 - 17));
  EXPECT_FALSE(black(80, 150));
}

}  // namespace
