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
//   @FULLSTEP                                the wire lines' width 1 is a full-step wire (a
//                                            classic reader, and a file without it, read 1 as 2)
//   @SMD x, y, width, height, roundness     a surface-mount pad (board units; percent)
//   @TEXT x, y, height, width, turns, side, text
//                                            copper text: its anchor, capitals' height and
//                                            stroke width (board units), quarter turns (0-3),
//                                            side 1 when it reads on the copper side, 0 when on
//                                            the component side; then the text, all the rest
//                                            of the line after ", ", with '%', ',', '*' and
//                                            the line break written %25, %2C, %2A and %0A (two
//                                            upper-case hex digits); every other byte as it is
//   @FILL seeded, sx, sy, clearance, minwidth, thermalgap, spokewidth, keep, n, x1, y1, ...
//                                            a copper fill: seeded 1 with its seed at sx, sy
//                                            (board units), 0 without (sx, sy then 0); its
//                                            settings in nanometres (0 to 100 mm), keep 1 to
//                                            keep islands; then its n corners (3 to 4096), in
//                                            board units. Its copper is never stored.
//
// The writer puts @FULLSTEP first, then the records in list order. A board of only pads and
// wires, none of them full-step, is written without the block, byte for byte as before.
//
// The reader takes a record only from a comment block, and from anywhere in one: a line starting
// with "@" there. It reads the integers of a record as it reads those of an element line (blanks
// around them, an optional sign). A record of a kind this version does not know, with fields
// that do not read, of the wrong number, or with a number beyond 32 bits, is passed over and
// counted; nothing else of the board is lost, and unlike an element line it never fails the
// read. Every other line is read exactly as a reader that knows only the two sections reads it.

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
// is not an element line is skipped. Records in comment blocks make their elements where they
// stand, in file order; those passed over are counted in *UNKNOWN RECORDS, when given.
TElementList::Storage ReadElements(TLayoutView* layout, const std::vector<std::string_view>& lines,
                                   bool selected, int32_t* unknownRecords = nullptr);

// What the user is told about records passed over by a load or a paste: empty when there are
// none.
std::string UnknownRecordsMessage(int32_t unknownRecords);

// Appends the element's text line (the same text as ToText) and a CR LF, without the temporary
// strings of ToText: a large board is written a million lines at a time.
void AppendElementLine(std::string& text, const TPCBElement& element);

// Appends the comment block with the records of the elements for which keep() holds and are not
// wires or pads, after @FULLSTEP when FULLSTEP says so.
template <class Keep>
void WriteRecordBlock(const TElementList& list, Keep keep, bool fullStep, TTextPieces& out) {
  out << "**\r\n";
  if (fullStep) out << "@FULLSTEP\r\n";
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->IsClassic() || !keep(*e)) continue;
    AppendElementLine(out.Text(), *e);
    out.LineDone();
  }
  out << "**\r\n";
}

// The text of the elements for which keep() holds, pads first, then wires, each in list order,
// then the block of records when there is anything for it, handed to the pieces as it is built.
template <class Keep>
void WritePcbPieces(const TElementList& list, Keep keep, TTextPieces& out) {
  // What only the record block can hold is noticed on the way, so a classic board costs no
  // third walk.
  bool records = false, fullStep = false;
  out << "*Solder*\r\n";
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    const TElementKind kind = e->Kind();
    if (kind == ekWire || !keep(*e)) continue;
    if (kind != ekSolder) {
      records = true;
      continue;
    }
    AppendElementLine(out.Text(), *e);
    out.LineDone();
  }
  out << "\r\n*Wire*\r\n";
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (!e->IsWire() || !keep(*e)) continue;
    fullStep |= static_cast<const TWire*>(e)->WidthDivisor() == 1;
    AppendElementLine(out.Text(), *e);
    out.LineDone();
  }
  if (records || fullStep) WriteRecordBlock(list, keep, fullStep, out);
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
