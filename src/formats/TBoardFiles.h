#pragma once

#include <QString>

#include "TElementList.h"

// The board file formats, told apart by the file name's extension.
enum class TBoardFormat { Pcb, WinTypon };

// The extension of a file name: from its last "." after the last "/", "\" or ":" (the folder
// separators of every system), with A-Z in lower case; empty when the name has none.
QString FileExtensionOf(const QString& fileName);

// ".pcb" or ".wt5" after the last "/", "\" or ":" of the name, any case of A-Z. Anything else
// raises "Invalid file extention" before a file or the board is touched.
TBoardFormat BoardFormatOf(const QString& fileName);

// The per-format readers put the file's elements in place of the board only once the whole file
// was read: a file that cannot be read or holds a number out of range leaves the board, its
// selection and the view as they were. A .pcb file that is not empty and has no section header
// is not a board at all, and is refused the same way. They do not place the board nor redraw it;
// LoadFromFile does. LoadPCBFile returns how many records it passed over.
int32_t LoadPCBFile(TElementList& list, const QString& fileName);
void LoadWinTyponFile(TElementList& list, const QString& fileName);

// The per-format writers; the board is not changed, and a failed save leaves the old file whole.
void SavePCBFile(const TElementList& list, const QString& fileName);
void SaveWinTyponFile(const TElementList& list, const QString& fileName);

// The smallest rectangle holding every pad centre and both ends of every wire (sizes and widths
// do not count); (0, 0, 0, 0) for an empty board.
TRect ElementsBounds(const TElementList& list);

// Moves every element by (dx, dy) board units, wrapping at 32 bits; nothing is redrawn.
void MoveAllElements(TElementList& list, int32_t dx, int32_t dy);

// Where a loaded board's top-left point is put: half an inch (five base steps) in from the
// corner, so the first pads and wires are not stuck to the edge of the view.
constexpr TPoint LoadedBoardOrigin{80, 80};
