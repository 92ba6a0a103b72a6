// ferrolume-convert INPUT OUTPUT: opens a board as the editor's Open does and writes it as the
// editor's Save does, the formats chosen by the extensions, for scripts and builds. An OUTPUT
// ending in .pdf or .svg gets the printed artwork instead, and one ending in .zip, .gbr or .drl
// the files a board house makes the board from.
#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "TArtworkOptions.h"
#include "TBoardError.h"
#include "TBoardFile.h"
#include "TBoardFiles.h"
#include "TBoardPrint.h"
#include "TCalibrationPage.h"
#include "TElementList.h"
#include "TFabrication.h"
#include "THeadlessLayout.h"
#include "TMessageText.h"
#include "TPcbText.h"
#include "TWinTypon.h"

namespace {

const char* const kUsage =
    "usage: ferrolume-convert INPUT OUTPUT\n"
    "       ferrolume-convert [--mirror] [--negative] [--copies RxC] [--scale-x PCT]\n"
    "                         [--scale-y PCT] [--drill-marks] INPUT OUTPUT\n"
    "       ferrolume-convert --calibration OUTPUT.pdf\n"
    "\n"
    "Opens the board INPUT as the editor's Open does and writes it to OUTPUT as the editor's\n"
    "Save does. The format of each file follows its extension: .pcb (Ferrolume) or .wt5\n"
    "(WinTypon 5). The loaded board is placed with its top-left point at (80, 80), as in the\n"
    "editor. An OUTPUT ending in .pdf receives the board's artwork instead: one A4 page, black\n"
    "on white at true size (160 board units to the inch), 1/4 inch in from the page's corner,\n"
    "to print at 100 %; one ending in .svg the same page as an SVG drawing. The options below\n"
    "change that artwork. An OUTPUT ending in .zip receives the fabrication files of a board\n"
    "house order (Gerber bottom copper, solder mask and outline, solder paste when the board has\n"
    "SMD pads, Excellon drill), one ending in .gbr the Gerber copper alone, one ending in .drl\n"
    "the drill file alone. On an error the editor's message is printed and OUTPUT is left as it\n"
    "was. Records of an INPUT .pcb that this version cannot read, and elements a .wt5 OUTPUT\n"
    "cannot hold (SMD pads, fills), are left out and counted on stderr.\n"
    "Exit status: 0 when OUTPUT was written, 1 on an error, 2 on a bad command line or an INPUT\n"
    "that is not a board file (another program's .pcb, say).\n";

// A refused command line: the reason, and how to get help.
struct TBadCommandLine {
  QString Message;
};

struct TCommand {
  bool Help = false;
  QString OptionsHelp;
  bool Calibration = false;
  QStringList Files;
  TArtworkOptions Options;
};

TCommand Parse(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({"h", "help"}, "Show this help.");
  const QCommandLineOption mirror(
      "mirror",
      "Mirror the artwork left to right, in its place: for film laid printed side up, or copper "
      "on the component side. Toner transfer and film laid printed side down want the artwork "
      "as shown, without this.");
  const QCommandLineOption negative(
      "negative", "Print a negative: copper white on black inside the board's edge.");
  const QCommandLineOption copies("copies",
                                  "Print ROWSxCOLUMNS copies (1 to 20 each), 5 mm apart between "
                                  "their board outlines, which lie 2.54 mm outside the copper.",
                                  "RxC");
  const QCommandLineOption scaleX("scale-x", "Stretch across by PCT percent (90.00 to 110.00).",
                                  "PCT");
  const QCommandLineOption scaleY("scale-y", "Stretch down by PCT percent (90.00 to 110.00).",
                                  "PCT");
  const QCommandLineOption drillMarks("drill-marks",
                                      "Print every hole no wider than 0.5 mm, as a drill mark.");
  const QCommandLineOption calibration(
      "calibration", "Write a printer calibration page to OUTPUT.pdf instead of a board.");
  parser.addOptions({help, mirror, negative, copies, scaleX, scaleY, drillMarks, calibration});
  if (!parser.parse(arguments)) throw TBadCommandLine{parser.errorText()};

  TCommand command;
  command.Help = parser.isSet(help);
  const QString qtHelp = parser.helpText();
  command.OptionsHelp = qtHelp.mid(qtHelp.indexOf(QLatin1String("Options:")));
  command.Calibration = parser.isSet(calibration);
  command.Files = parser.positionalArguments();
  TArtworkOptions& o = command.Options;
  o.Mirror = parser.isSet(mirror);
  o.Negative = parser.isSet(negative);
  o.DrillMarks = parser.isSet(drillMarks);
  if (parser.isSet(copies) && !ParseCopies(parser.value(copies), o.Rows, o.Columns))
    throw TBadCommandLine{QStringLiteral("--copies wants ROWSxCOLUMNS, each from 1 to %1, such as "
                                         "2x3, not \"%2\"")
                              .arg(TArtworkOptions::MaxCopies)
                              .arg(parser.value(copies))};
  for (const auto& [option, value] : {std::pair{&scaleX, &o.ScaleX}, {&scaleY, &o.ScaleY}}) {
    if (parser.isSet(*option) && !ParseScale(parser.value(*option), *value))
      throw TBadCommandLine{QStringLiteral("--%1 wants a percentage from 90.00 to 110.00 with at "
                                           "most two decimals, such as 100.5, not \"%2\"")
                                .arg(option->names().first(), parser.value(*option))};
  }
  if (command.Calibration) {
    if (!o.IsDefault())
      throw TBadCommandLine{"--calibration takes no other option: the page is never corrected"};
    if (command.Files.size() != 1 || FileExtensionOf(command.Files[0]) != QLatin1String(".pdf"))
      throw TBadCommandLine{"--calibration wants one OUTPUT ending in .pdf"};
  } else if (!o.IsDefault() && command.Files.size() == 2) {
    const QString ext = FileExtensionOf(command.Files[1]);
    if (ext != QLatin1String(".pdf") && ext != QLatin1String(".svg"))
      throw TBadCommandLine{"the artwork options apply to an OUTPUT ending in .pdf or .svg only"};
  }
  return command;
}

void Convert(const QString& input, const QString& output, const TArtworkOptions& options) {
  THeadlessLayout layout;
  TElementList board(&layout);
  // What was passed over is said at once: it is not in the output either, whatever that is.
  const std::string passedOver = UnknownRecordsMessage(board.LoadFromFile(input));
  if (!passedOver.empty()) std::fprintf(stderr, "%s\n", passedOver.c_str());
  // The artwork is chosen by the same rule of extensions as the board files.
  const QString ext = FileExtensionOf(output);
  if (ext == QLatin1String(".pdf")) {
    ExportBoardPdf(board, output, options);
  } else if (ext == QLatin1String(".svg")) {
    ExportBoardSvg(board, output, options);
  } else if (IsFabricationFileName(output)) {
    // The files are written all the same; the user learns which elements are not in them.
    const std::string leftOut = LeftOutMessage(ExportFabricationFiles(board, output));
    if (!leftOut.empty()) std::fprintf(stderr, "%s\n", leftOut.c_str());
  } else {
    board.SaveToFile(output);
    // Said once the file is there, as the editor asks before it saves.
    if (BoardFormatOf(output) == TBoardFormat::WinTypon) {
      const std::string leftOut = WinTyponLeftOutMessage(WinTyponLeftOut(board));
      if (!leftOut.empty()) std::fprintf(stderr, "%s\n", leftOut.c_str());
      const std::string strokes = WinTyponStrokesOnlyMessage(WinTyponStrokesOnly(board));
      if (!strokes.empty()) std::fprintf(stderr, "%s\n", strokes.c_str());
    }
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  // File names are passed on as the bytes the shell gave.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QFile::decodeName(argv[i]);
  TCommand command;
  try {
    command = Parse(arguments);
  } catch (const TBadCommandLine& bad) {
    std::fprintf(stderr, "ferrolume-convert: %s\nTry ferrolume-convert --help.\n",
                 bad.Message.toLocal8Bit().constData());
    return 2;
  }
  if (command.Help) {
    std::fputs(kUsage, stdout);
    std::printf("\n%s", command.OptionsHelp.toLocal8Bit().constData());
    return 0;
  }
  try {
    if (command.Calibration) {
      // Text on the page needs the font database of an application; nothing is ever shown, so
      // no display is needed, and the platform's remark about a missing runtime folder is not
      // the user's business.
      qputenv("QT_QPA_PLATFORM", "offscreen");
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtWarningMsg || !text.startsWith(QLatin1String("QStandardPaths:")))
          std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
      });
      QGuiApplication app(argc, argv);
      ExportCalibrationPdf(command.Files[0]);
      return 0;
    }
    if (command.Files.size() != 2) {
      std::fputs(kUsage, stderr);
      return 1;
    }
    Convert(command.Files[0], command.Files[1], command.Options);
  } catch (const ENotABoard& e) {
    std::fprintf(stderr, "%s\n", ErrorBoxText(QString::fromUtf8(e.what())).toUtf8().constData());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", ErrorBoxText(QString::fromUtf8(e.what())).toUtf8().constData());
    return 1;
  }
  return 0;
}
