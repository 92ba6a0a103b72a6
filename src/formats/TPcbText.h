#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "TElementList.h"
#include "TTextPieces.h"

// The text layout shared by .pcb files and the clipboard: a "*Solder*" section of pad lines, an
// empty line, and a "*Wire*" section of wire lines, every line ending in CR LF.
//
// Kinds of copper the two sections cannot hold are kept as records, in one comment block after
// the wire section, where a reader that knows only the two sections passes over them (it skips
// every line between two "**" lines but the section headers, and no record is a header):
//
//   block   = "**" CRLF { record CRLF } "**" CRLF
//   record  = "@" kind [ " " field { ", " field } ]
//   kind    = one or more of the letters A-Z
//   field   = a decimal integer (optional "-", 32-bit) or, where the kind says so, a text
//             without commas, asterisks or line ends
//
//   @SMD x, y, width, height, roundness     a surface-mount pad (board units; percent)
//   @FULLSTEP                                the wire lines' width 1 is a full-step wire (a
//                                            classic reader, and a file without it, read 1 as 2)
//
// A record is read only inside a comment block. A record of a kind this version does not know,
// or whose fields do not read, is passed over and counted; nothing else of the board is lost.
// A board of only pads and wires, none of them full-step, is written without the block, byte for
// byte as before.

// Splits text into lines at CR LF, a lone CR or a lone LF. A last line without an end is still
// a line, an empty text has none, and a NUL byte ends the text.
std::vector<std::string_view> SplitLines(std::string_view text);

// Whether a whole line is the given keyword, ignoring the case of the letters A-Z only (bytes
// above ASCII, such as the WinTypon brackets, must match exactly).
bool IsKeywordLine(std::string_view line, std::string_view keyword);

// Whether one of the lines is a section header, "*Wire*" or "*Solder*" (any case of A-Z): what
// tells a board's text from any other text.
bool HasSectionHeader(const std::vector<std::string_view>& lines);

// Reads element lines into new elements owned by nobody yet, all or nothing: a number beyond
// 32 bits raises its error and every element built so far is dropped, so a failed load or
// paste leaves the board as it was. Headers "*Wire*" and "*Solder*" (any case of A-Z) choose the
// kind of the lines below them, a line "**" turns data lines off and on again, and anything that
// is not an element line is skipped.
// Records passed over are counted in *UNKNOWN RECORDS, when given.
TElementList::Storage ReadElements(TLayoutView* layout, const std::vector<std::string_view>& lines,
                                   bool selected, int32_t* unknownRecords = nullptr);

// Appends the element's text line (the same text as ToText) and a CR LF, without the temporary
// strings of ToText: a large board is written a million lines at a time.
void AppendElementLine(std::string& text, const TPCBElement& element);

// The text of the elements for which keep() holds, pads first, then wires, each in list order,
// handed to the pieces as it is built.
template <class Keep>
void WritePcbPieces(const TElementList& list, Keep keep, TTextPieces& out) {
  out << "*Solder*\r\n";
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->IsWire() || !keep(*e)) continue;
    AppendElementLine(out.Text(), *e);
    out.LineDone();
  }
  out << "\r\n*Wire*\r\n";
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (!e->IsWire() || !keep(*e)) continue;
    AppendElementLine(out.Text(), *e);
    out.LineDone();
  }
  out.Flush();
}

// The same text as one string, as the clipboard takes it.
template <class Keep>
std::string WritePcbText(const TElementList& list, Keep keep) {
  std::string text;
  TTextPieces out([&text](std::string_view piece) { text.append(piece); });
  WritePcbPieces(list, keep, out);
  return text;
}
