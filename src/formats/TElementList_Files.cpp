// The board files of the element list: the format choice by extension, and what every load and
// save does around the format's own reader and writer.
#include <algorithm>
#include <climits>

#include "TBoardFile.h"
#include "TBoardFiles.h"
#include "TBoardMath.h"
#include "TElementList.h"
#include "TElementTransform.h"
#include "TPcbText.h"
#include "TWinTypon.h"

QString FileExtensionOf(const QString& fileName) {
  // On Windows both slashes and a drive colon end a folder part; they do so everywhere, so a
  // name behaves the same on every system.
  qsizetype folderEnd = -1;
  for (QChar sep : {QChar('/'), QChar('\\'), QChar(':')})
    folderEnd = std::max(folderEnd, fileName.lastIndexOf(sep));
  const qsizetype dot = fileName.lastIndexOf(QChar('.'));
  if (dot <= folderEnd) return {};
  QString extension = fileName.mid(dot);
  for (QChar& c : extension)
    if (c >= QChar('A') && c <= QChar('Z')) c = QChar(c.unicode() - 'A' + 'a');
  return extension;
}

TBoardFormat BoardFormatOf(const QString& fileName) {
  const QString extension = FileExtensionOf(fileName);
  if (extension == QLatin1String(".pcb")) return TBoardFormat::Pcb;
  if (extension == QLatin1String(".wt5")) return TBoardFormat::WinTypon;
  throw EBoardError("Invalid file extention");
}

namespace {

std::string_view View(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

}  // namespace

int32_t LoadPCBFile(TElementList& list, const QString& fileName) {
  TElementList::Storage elements;
  int32_t unknownRecords = 0;
  {
    // The file's bytes are let go before the board is replaced, so a large board never holds
    // its text and both boards at once.
    const QByteArray bytes = ReadBoardFile(fileName);
    const std::vector<std::string_view> lines = SplitLines(View(bytes));
    // Other programs' boards, and any file at all, may end in .pcb. Read as a board, such a
    // file would open empty and the next Save would write an empty board over it. An empty
    // file is an empty board.
    if (!bytes.isEmpty() && !HasSectionHeader(lines))
      FailNotABoard(fileName, "it has no *Solder* or *Wire* section");
    elements = ReadElements(list.Layout(), lines, false, &unknownRecords);
  }
  list.Replace(std::move(elements));
  return unknownRecords;
}

void LoadWinTyponFile(TElementList& list, const QString& fileName) {
  TElementList::Storage elements;
  {
    const QByteArray bytes = ReadBoardFile(fileName);
    elements = ReadWinTyponText(list.Layout(), View(bytes));
  }
  list.Replace(std::move(elements));
}

void SavePCBFile(const TElementList& list, const QString& fileName) {
  TBoardFileWriter file(fileName);
  TTextPieces out([&file](std::string_view piece) { file.Write(piece); });
  WritePcbPieces(
      list, [](const TPCBElement&) { return true; }, out);
  file.Commit();
}

void SaveWinTyponFile(const TElementList& list, const QString& fileName) {
  // A board that cannot be written fails before a file is created.
  CheckWinTyponWidths(list);
  TBoardFileWriter file(fileName);
  TTextPieces out([&file](std::string_view piece) { file.Write(piece); });
  WriteWinTyponPieces(list, out);
  file.Commit();
}

TRect ElementsBounds(const TElementList& list) {
  if (list.Count() == 0) return {0, 0, 0, 0};
  TRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t i = 0; i < list.Count(); ++i) WidenToPoints(*list.Items(i), r);
  return r;
}

void MoveAllElements(TElementList& list, int32_t dx, int32_t dy) {
  for (int32_t i = 0; i < list.Count(); ++i) list.Items(i)->Move(dx, dy);
  list.Changed();
}

int32_t TElementList::LoadFromFile(const QString& fileName) {
  int32_t unknownRecords = 0;
  const TBoardFormat format = BoardFormatOf(fileName);
  if (format == TBoardFormat::Pcb) {
    unknownRecords = LoadPCBFile(*this, fileName);
  } else {
    LoadWinTyponFile(*this, fileName);
  }
  // The new board starts in view: origin at the top left, its top-left point a little inside.
  Layout_->SetViewOffset({0, 0});
  const TRect bounds = ElementsBounds(*this);
  MoveAllElements(*this, WSub(LoadedBoardOrigin.X, bounds.Left),
                  WSub(LoadedBoardOrigin.Y, bounds.Top));
  Layout_->BoardReplaced();
  Layout_->RenderBoard();
  return unknownRecords;
}

void TElementList::SaveToFile(const QString& fileName) {
  const TBoardFormat format = BoardFormatOf(fileName);
  if (format == TBoardFormat::Pcb) {
    SavePCBFile(*this, fileName);
  } else {
    SaveWinTyponFile(*this, fileName);
  }
  Layout_->BoardSaved();
}
