// ferrolume-convert INPUT OUTPUT: opens a board as the editor's Open does and writes it as the
// editor's Save does, the formats chosen by the extensions, for scripts and builds. An OUTPUT
// ending in .pdf gets the printed artwork instead.
#include <QFile>
#include <QString>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "TBoardError.h"
#include "TBoardFiles.h"
#include "TBoardPrint.h"
#include "TElementList.h"
#include "THeadlessLayout.h"

namespace {

const char* const kUsage =
    "usage: ferrolume-convert INPUT OUTPUT\n"
    "\n"
    "Opens the board INPUT as the editor's Open does and writes it to OUTPUT as the editor's\n"
    "Save does. The format of each file follows its extension: .pcb (Ferrolume) or .wt5\n"
    "(WinTypon 5). The loaded board is placed with its top-left point at (80, 80), as in the\n"
    "editor. An OUTPUT ending in .pdf receives the board's artwork instead: one A4 page, black\n"
    "on white at true size (160 board units to the inch), 1/4 inch in from the page's corner,\n"
    "to print at 100 %. On an error the editor's message is printed and OUTPUT is left as it\n"
    "was.\n";

// The text the editor's error box shows: a message that does not end in a full stop (or in a
// character sorting before it) gets one.
std::string AsShown(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

void Convert(const QString& input, const QString& output) {
  THeadlessLayout layout;
  TElementList board(&layout);
  board.LoadFromFile(input);
  // The artwork is chosen by the same rule of extensions as the board files.
  if (FileExtensionOf(output) == QLatin1String(".pdf"))
    ExportBoardPdf(board, output);
  else
    board.SaveToFile(output);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 3) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  try {
    // File names are passed on as the bytes the shell gave.
    Convert(QFile::decodeName(argv[1]), QFile::decodeName(argv[2]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", AsShown(e.what()).c_str());
    return 1;
  }
  return 0;
}
