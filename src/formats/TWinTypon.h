#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TElementList.h"
#include "TTextPieces.h"

// The text format of WinTypon 5 (.wt5): keyword lines bracketed by the byte 0xA4, data lines
// whose fields end with the byte 0xB7, lengths in hundredths of a millimetre (254 of them make
// the 16 board units of one base step).

// One data line cut into fields: blanks and 0xB7 both separate fields, two 0xB7 in a row enclose
// an empty field, a line ending in 0xB7 has an empty last field, and a field that starts with a
// double quote runs to the closing quote (two quotes inside it stand for one).
std::vector<std::string> SplitWinTyponFields(std::string_view line);

// A field's number: an optional sign and decimal digits. Anything else, an empty field and a
// number beyond 32 bits count as 0, as WinTypon itself reads them.
int32_t WinTyponFieldValue(std::string_view field);

// Board units to WinTypon units, truncating toward zero and wrapping at 32 bits, and back, to the
// nearest board unit (halves away from zero), so a board written and read back is the same.
int32_t BoardToWinTypon(int32_t units);
int32_t WinTyponToBoard(int32_t hundredths);

// Reads pads and wires out of WinTypon text; malformed content never stops it.
TElementList::Storage ReadWinTyponText(TLayoutView* layout, std::string_view text);

// How many elements a .wt5 file cannot hold (every kind but wires, pads and texts) and a save
// leaves out.
int32_t WinTyponLeftOut(const TElementList& list);
// What the user is told of them: empty when there are none.
std::string WinTyponLeftOutMessage(int32_t leftOut);
// How many texts a .wt5 file keeps only as their strokes, written as wires (which read back as
// wires), and what the user is told of them: empty when there are none.
int32_t WinTyponStrokesOnly(const TElementList& list);
std::string WinTyponStrokesOnlyMessage(int32_t texts);

// A wire of WidthDivisor 0 has no width that could be written: raises "Division par zéro".
void CheckWinTyponWidths(const TElementList& list);

// The board as WinTypon text, every line ending in CR LF: a header, one component with one pad
// per pad, then one segment block with every wire and every stroke of a text. The widths are
// checked before any text is handed on.
void WriteWinTyponPieces(const TElementList& list, TTextPieces& out);
std::string WriteWinTyponText(const TElementList& list);
