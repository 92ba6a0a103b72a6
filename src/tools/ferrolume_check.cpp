// ferrolume-check [options] BOARD...: the editor's board check for scripts and a board project's
// own CI. One line per problem, a count last; the exit code says whether every board is clean.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "TBoardCheck.h"
#include "TElementList.h"
#include "THeadlessLayout.h"
#include "TMessageText.h"
#include "TPcbText.h"

namespace {

enum { kClean = 0, kProblems = 1, kFailed = 2 };

void Fail(const QString& message) {
  std::fprintf(stderr, "ferrolume-check: %s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("ferrolume-check"));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Checks the copper of each BOARD (.pcb or .wt5) against the design rules and prints one\n"
      "line per problem, \"BOARD: KIND at X, Y mm: MESSAGE\", with KIND one of clearance, width,\n"
      "ring, hole, dangling, duplicate, none, fill, isolation, and the place in millimetres (y\n"
      "downward, as on the screen, on the board as the editor opens it). A last line counts the\n"
      "problems and the boards checked, and the boards that could not be read, if any.\n"
      "Exit status: 0 when every board is clean, 1 when there are problems, 2 on a bad option\n"
      "or a board that cannot be read."));
  parser.addHelpOption();
  const TCheckRules defaults;
  struct Rule {
    QCommandLineOption option;
    double TCheckRules::*field;
  };
  auto mm = [](double v) { return QString::number(v, 'f', 2); };
  const Rule rules[] = {
      {{"clearance",
        "Least gap between copper that is not connected (default " + mm(defaults.Clearance) + ").",
        "MM"},
       &TCheckRules::Clearance},
      {{"min-width", "Least wire width (default " + mm(defaults.MinWidth) + ").", "MM"},
       &TCheckRules::MinWidth},
      {{"min-ring",
        "Least annular ring, half of pad size minus hole (default " + mm(defaults.MinRing) + ").",
        "MM"},
       &TCheckRules::MinRing},
      {{"min-hole", "Least hole size (default " + mm(defaults.MinHole) + ").", "MM"},
       &TCheckRules::MinHole},
      {{"cut-width",
        "The width a milling bit cuts: islands nearer than this are isolation problems (default "
        "0, the board is etched).",
        "MM"},
       &TCheckRules::CutWidth},
  };
  for (const Rule& r : rules) parser.addOption(r.option);
  parser.addPositionalArgument(QStringLiteral("BOARD"), QStringLiteral("Boards to check."),
                               QStringLiteral("BOARD..."));
  if (!parser.parse(QCoreApplication::arguments())) {
    Fail(parser.errorText());
    return kFailed;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return kClean;
  }
  TCheckRules limits;
  for (const Rule& r : rules) {
    if (!parser.isSet(r.option)) continue;
    bool ok = false;
    const QString text = parser.value(r.option);
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v > 1000) {
      Fail(QStringLiteral("bad length for --%1: '%2' (millimetres, 0 to 1000)")
               .arg(r.option.names().first(), text));
      return kFailed;
    }
    limits.*r.field = v;
  }
  const QStringList boards = parser.positionalArguments();
  if (boards.isEmpty()) {
    Fail(QStringLiteral("no board given"));
    std::fputs(qPrintable(parser.helpText()), stderr);
    return kFailed;
  }

  int status = kClean;
  size_t total = 0, checked = 0, unread = 0;
  for (const QString& name : boards) {
    THeadlessLayout layout;
    TElementList board(&layout);
    try {
      // The check cannot see what was passed over: the user is told it is not checked.
      const std::string passedOver = UnknownRecordsMessage(board.LoadFromFile(name));
      if (!passedOver.empty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(name), passedOver.c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: %s\n", qPrintable(name),
                   qPrintable(ErrorBoxText(QString::fromUtf8(e.what()))));
      status = kFailed;
      ++unread;
      continue;
    }
    ++checked;
    const std::vector<TProblem> problems = CheckBoard(board, limits);
    for (const TProblem& p : problems) {
      std::printf("%s: %s at %s mm: %s\n", qPrintable(name), ProblemKindName(p.Kind),
                  ProblemPlace(p).c_str(), ProblemMessage(p).c_str());
    }
    total += problems.size();
    if (!problems.empty() && status == kClean) status = kProblems;
  }
  // "No problems" only when every board was read: a board that could not be read may hold any.
  auto count = [](size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  std::string summary = total == 0 && unread == 0 ? "no problems" : count(total, "problem");
  summary += " in " + count(checked, "board");
  if (unread > 0) summary += ", " + count(unread, "board") + " not read";
  std::printf("%s\n", summary.c_str());
  return status;
}
