// ferrolume-convert INPUT OUTPUT: opens a board as the editor's Open does and writes it as the
// editor's Save does, the formats chosen by the extensions, for scripts and builds. An OUTPUT
// ending in .pdf or .svg gets the printed artwork instead, and one ending in .zip, .gbr or .drl
// the files a board house makes the board from, and one ending in .nc the G-code to mill it.
#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QSettings>
#include <QString>
#include <cmath>
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
#include "TMilling.h"
#include "TPcbText.h"
#include "TWinTypon.h"

namespace {

const char* const kUsage =
    "usage: ferrolume-convert INPUT OUTPUT\n"
    "       ferrolume-convert [--mirror] [--negative] [--copies RxC] [--scale-x PCT]\n"
    "                         [--scale-y PCT] [--drill-marks] [--etch-compensation MM]\n"
    "                         INPUT OUTPUT\n"
    "       ferrolume-convert [mill options] INPUT OUTPUT.nc\n"
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
    "the drill file alone. An OUTPUT N.nc receives G-code for a desktop CNC mill: N.nc isolates\n"
    "the copper, N-drill.nc drills the holes (when there are any) and N-outline.nc cuts the board\n"
    "out, with the process last chosen in the editor (Tools > Process...) changed by the mill\n"
    "options below. On an error the editor's message is printed and OUTPUT is left as it\n"
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
  TMillProcess Process;
};

// The mill options, each a field of the process with the range its value must lie in.
struct TMillOption {
  const char* Name;
  const char* Help;
  double TMillProcess::*Length;
  int TMillProcess::*Count;
  double Low, High;
};

const TMillOption kMillOptions[] = {
    {"bit-diameter", "Isolate with a flat bit of MM diameter.", &TMillProcess::BitDiameter, nullptr,
     0.01, 10},
    {"v-angle", "Isolate with a V-bit of this point angle in degrees.", &TMillProcess::VAngle,
     nullptr, 5, 150},
    {"v-tip", "Isolate with a V-bit of this tip width in MM.", &TMillProcess::VTip, nullptr, 0, 5},
    {"cut-depth", "Isolation cut depth in MM.", &TMillProcess::CutDepth, nullptr, 0.001, 5},
    {"passes", "Isolation passes round each island (1 to 4).", nullptr, &TMillProcess::Passes, 1,
     4},
    {"overlap", "Overlap of the isolation passes in percent (0 to 90).", &TMillProcess::Overlap,
     nullptr, 0, 90},
    {"feed", "Feed rate in mm/min.", &TMillProcess::Feed, nullptr, 1, 100000},
    {"plunge", "Plunge rate in mm/min.", &TMillProcess::Plunge, nullptr, 1, 100000},
    {"spindle", "Spindle speed in rpm.", nullptr, &TMillProcess::Spindle, 1, 100000},
    {"safe-height", "Height in MM to move between jobs.", &TMillProcess::SafeHeight, nullptr, 0.1,
     100},
    {"travel-height", "Height in MM to move between cuts.", &TMillProcess::TravelHeight, nullptr,
     0.1, 100},
    {"drill-depth", "Drilling depth in MM.", &TMillProcess::DrillDepth, nullptr, 0.01, 20},
    {"outline-bit", "Diameter in MM of the bit that cuts the board out.", &TMillProcess::OutlineBit,
     nullptr, 0.1, 10},
    {"board-thickness", "Board thickness in MM.", &TMillProcess::BoardThickness, nullptr, 0.1, 10},
    {"depth-per-pass", "Outline depth per pass in MM.", &TMillProcess::DepthPerPass, nullptr, 0.01,
     10},
    {"tabs", "Tabs that hold the board (0 to 32).", nullptr, &TMillProcess::Tabs, 0, 32},
    {"tab-width", "Tab width in MM.", &TMillProcess::TabWidth, nullptr, 0, 50},
};

// The process saved by the editor, as the editor reads it.
TMillProcess SavedMillProcess() {
  const QString name = QStringLiteral("Ferrolume");
  QSettings settings(QSettings::UserScope, name, name);
  return LoadMillProcess(settings);
}

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
  const QCommandLineOption etch(
      "etch-compensation",
      "Grow the copper by MM on every side (0 to 0.20), holes kept, for an etch that eats under "
      "the toner.",
      "MM");
  parser.addOptions(
      {help, mirror, negative, copies, scaleX, scaleY, drillMarks, calibration, etch});
  std::vector<QCommandLineOption> millOptions;
  for (const TMillOption& m : kMillOptions)
    millOptions.emplace_back(QString::fromLatin1(m.Name), QString::fromLatin1(m.Help),
                             m.Count ? QStringLiteral("N") : QStringLiteral("MM"));
  const QCommandLineOption noMirror(
      "no-mirror", "Mill the board as the editor shows it, not mirrored as copper side up.");
  millOptions.push_back(noMirror);
  for (const QCommandLineOption& m : millOptions) parser.addOption(m);
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
  bool milling = false;
  for (const QCommandLineOption& m : millOptions) milling = milling || parser.isSet(m);
  const bool toMill = command.Files.size() == 2 && IsMillingFileName(command.Files[1]);
  if (milling && !toMill)
    throw TBadCommandLine{"the mill options apply to an OUTPUT ending in .nc only"};
  if (toMill) {
    TMillProcess& p = command.Process;
    p = SavedMillProcess();
    for (size_t i = 0; i < std::size(kMillOptions); ++i) {
      const TMillOption& m = kMillOptions[i];
      if (!parser.isSet(millOptions[i])) continue;
      const QString text = parser.value(millOptions[i]);
      bool ok = false;
      const double v = m.Count ? text.toInt(&ok) : text.toDouble(&ok);
      if (!ok || !(v >= m.Low && v <= m.High))
        throw TBadCommandLine{QStringLiteral("--%1 wants %2 from %3 to %4, not \"%5\"")
                                  .arg(QLatin1String(m.Name), m.Count
                                                                  ? QStringLiteral("a whole number")
                                                                  : QStringLiteral("millimetres"))
                                  .arg(m.Low)
                                  .arg(m.High)
                                  .arg(text)};
      if (m.Count)
        p.*m.Count = int(v);
      else
        p.*m.Length = v;
      if (m.Length == &TMillProcess::BitDiameter) p.Bit = mbFlat;
      if (m.Length == &TMillProcess::VAngle || m.Length == &TMillProcess::VTip) p.Bit = mbVee;
    }
    if (parser.isSet(noMirror)) p.Mirror = false;
    std::string why;
    if (!p.Valid(&why)) throw TBadCommandLine{QString::fromStdString("the mill process: " + why)};
  }
  if (parser.isSet(etch)) {
    bool ok = false;
    const double mm = parser.value(etch).toDouble(&ok);
    if (!ok || !(mm >= 0 && mm <= TArtworkOptions::MaxEtchCompensation / 1000.0))
      throw TBadCommandLine{
          QStringLiteral("--etch-compensation wants millimetres from 0 to 0.20, not \"%1\"")
              .arg(parser.value(etch))};
    o.EtchCompensationUm = int32_t(std::lround(mm * 1000));
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

void Convert(const QString& input, const QString& output, const TArtworkOptions& options,
             const TMillProcess& process) {
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
  } else if (IsMillingFileName(output)) {
    ExportMillingFiles(board, process, output);
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
    Convert(command.Files[0], command.Files[1], command.Options, command.Process);
  } catch (const ENotABoard& e) {
    std::fprintf(stderr, "%s\n", ErrorBoxText(QString::fromUtf8(e.what())).toUtf8().constData());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", ErrorBoxText(QString::fromUtf8(e.what())).toUtf8().constData());
    return 1;
  }
  return 0;
}
