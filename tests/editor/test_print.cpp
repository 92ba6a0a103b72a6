// Printing from the widget: the page does not depend on what the user is looking at, and a print
// that cannot happen says so without touching the board.
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "LayoutTest.h"
#include "TBoardError.h"
#include "TBoardPrint.h"
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

// A PDF as its page: the creation date is the only thing that differs between two exports of
// the same board.
QByteArray PageOf(const QString& pdf) {
  QString text = QString::fromLatin1(QByteArray::fromStdString(ReadBytes(pdf)));
  text.remove(QRegularExpression("/CreationDate \\(D:[0-9Z+'-]*\\)"));
  return text.toLatin1();
}

// The PDF as a viewer shows it, at 100 dots per inch, without smoothing; black pixels only.
QImage Rasterise(const QString& pdf) {
  const QString exe = QStandardPaths::findExecutable("pdftoppm");
  if (exe.isEmpty()) {
    ADD_FAILURE() << "pdftoppm is missing: install poppler-utils";
    return {};
  }
  QProcess p;
  p.start(exe, {"-r", "100", "-gray", "-aa", "no", "-aaVector", "no", "-singlefile", pdf,
                pdf + ".raster"});
  EXPECT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  return QImage(pdf + ".raster.pgm").convertToFormat(QImage::Format_Grayscale8);
}

bool Black(const QImage& page, double xInch, double yInch) {
  return qGray(page.pixel(static_cast<int>(xInch * 100), static_cast<int>(yInch * 100))) < 128;
}

class PrintLayoutTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    // Two pads four inches apart joined by a wire, and a lone pad further down.
    w.Elements().AddWire({80, 80}, {720, 80}, 2);
    w.Elements().AddSolder({80, 80}, 16, 48, sgCircle);
    w.Elements().AddSolder({720, 80}, 16, 48, sgSquare);
    w.Elements().AddSolder({400, 400}, 4, 32, sgCircle);
    w.RenderBoard();
  }
  QString Path(const char* name) const { return dir.filePath(name); }

  // What printing must leave alone.
  struct TState {
    std::vector<std::string> board;
    bool modified;
    TPoint offset;
    int32_t scale;
    QImage image;
  };
  TState State() const {
    return {Describe(w.Elements()), w.Modified(), w.ViewOffset(), w.GridScale(),
            w.BoardImage().copy()};
  }
  void ExpectUnchanged(const TState& before) {
    const TState after = State();
    EXPECT_EQ(after.board, before.board);
    EXPECT_EQ(after.modified, before.modified);
    EXPECT_EQ(after.offset, before.offset);
    EXPECT_EQ(after.scale, before.scale);
    EXPECT_TRUE(SameImage(after.image, before.image));
    // The page was only lent to the elements while they drew.
    EXPECT_EQ(w.PrinterCanvas(), nullptr);
    EXPECT_EQ(w.PrinterResolution(), 0);
  }

  QTemporaryDir dir;
};

TEST_F(PrintLayoutTest, ExportedPageIsTheBoardWhateverTheView) {
  ExportBoardPdf(w.Elements(), Path("reference.pdf"));
  const QByteArray reference = PageOf(Path("reference.pdf"));
  ASSERT_FALSE(reference.isEmpty());

  struct Case {
    const char* name;
    std::function<void()> view;
  } cases[] = {
      {"as it starts", [] {}},
      {"zoomed in", [this] { w.SetGridScale(3); }},
      {"zoomed out, fine grid",
       [this] {
         w.SetGridScale(-2);
         w.SetGridStep(gs1By8);
       }},
      {"panned",
       [this] {
         w.SetViewOffset({-517, 233});
         w.RenderBoard();
       }},
      {"all selected", [this] { w.SelectAll(); }},
      {"one pad selected, modified",
       [this] {
         w.ClearSelection();
         w.Elements().Items(2)->SetSelected(true);
         w.SetModified(true);
         w.RenderBoard();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.view();
    const TState before = State();
    w.ExportPdf(Path("viewed.pdf"));
    EXPECT_TRUE(PageOf(Path("viewed.pdf")) == reference);
    ExpectUnchanged(before);
  }

  // And the page is the board at true size: the two pads' holes four inches apart, a quarter
  // inch margin and half an inch in from it, the wire between them in black.
  const QImage page = Rasterise(Path("viewed.pdf"));
  ASSERT_FALSE(page.isNull());
  for (double x : {0.75, 4.75}) {
    EXPECT_FALSE(Black(page, x, 0.75)) << x;
    EXPECT_TRUE(Black(page, x + 0.1, 0.75)) << x;
  }
  EXPECT_TRUE(Black(page, 2.75, 0.75));
  EXPECT_FALSE(Black(page, 2.75, 0.9));
}

TEST_F(PrintLayoutTest, NoDefaultPrinterIsAnErrorThatChangesNothing) {
  const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
  if (!printer.isNull())
    GTEST_SKIP() << "this machine has a default printer, " << printer.printerName().toStdString();
  for (bool modified : {false, true}) {
    SCOPED_TRACE(modified);
    w.Elements().Items(modified ? 1 : 3)->SetSelected(true);
    w.SetModified(modified);
    w.RenderBoard();
    const TState before = State();
    try {
      w.Print();
      ADD_FAILURE() << "printed without a printer";
    } catch (const EBoardError& e) {
      EXPECT_STREQ(e.what(), "Aucune imprimante par défaut n'est installée");
    }
    ExpectUnchanged(before);
  }
}

// A printer writing to a file stands in for paper: the same page as the export, on the
// printer's own sheet and resolution.
TEST_F(PrintLayoutTest, PrintedPageIsTrueSizeInThePrintableArea) {
  w.Elements().Items(1)->SetSelected(true);
  w.SetModified(true);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(Path("printed.pdf"));
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                    QMarginsF(36, 72, 36, 36), QPageLayout::Point));
  const TState before = State();
  w.PrintOn(printer);
  ExpectUnchanged(before);

  // Letter paper, margins of half an inch at the side and one inch at the top.
  const QImage page = Rasterise(Path("printed.pdf"));
  ASSERT_EQ(page.size(), QSize(850, 1100));
  for (double x : {1.0, 5.0}) {
    EXPECT_FALSE(Black(page, x, 1.5)) << x;
    EXPECT_TRUE(Black(page, x + 0.1, 1.5)) << x;
  }
  EXPECT_FALSE(Black(page, 0.8, 1.5));
  EXPECT_FALSE(Black(page, 5.2, 1.5));
  EXPECT_TRUE(Black(page, 3.0, 1.5));
  // The lone pad, three inches in and three and a half down.
  EXPECT_TRUE(Black(page, 3.07, 3.5));
  EXPECT_FALSE(Black(page, 3.15, 3.5));
}

TEST_F(PrintLayoutTest, AJobThatCannotBeOpenedIsAnError) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName("/dev/null/printed.pdf");
  w.SetModified(true);
  const TState before = State();
  try {
    w.PrintOn(printer);
    ADD_FAILURE() << "no error";
  } catch (const EBoardError& e) {
    EXPECT_STREQ(e.what(), "L'imprimante \"/dev/null/printed.pdf\" n'a pas accepté le travail");
  }
  ExpectUnchanged(before);
}

}  // namespace
