#include "TWinTypon.h"

#include <algorithm>
#include <charconv>

#include "TBoardMath.h"
#include "TCopperText.h"
#include "TPcbText.h"

namespace {

constexpr char kFieldEnd = '\xB7';
constexpr char kKeywordMark = '\xA4';

// Blanks, in WinTypon's sense: every control byte and the space, but not NUL (which ends the
// text before it ever reaches a line).
bool IsBlank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0x01 && u <= 0x20;
}

// The reader's state. FieldValues keeps what earlier data lines left in the fields that a
// shorter line does not reach; fields no line has set yet are 0.
struct TReader {
  enum { kNone, kPad, kSegment, kOrigin } Section = kNone;
  TPoint FileOrigin;
  int32_t FieldValues[21] = {};
};

TPoint ToBoard(int32_t x, int32_t y, TPoint origin) {
  return {WinTyponToBoard(WSub(x, origin.X)), WinTyponToBoard(WSub(y, origin.Y))};
}

// A wire's divisor from its width in hundredths of a millimetre: a width of 0 reads as the
// thinnest wire the editor draws, and a width above half a step (divisor 0 or 1) as divisor 2,
// as in a .pcb wire line.
int32_t WidthDivisorOf(int32_t width) {
  if (width == 0) return 16;
  return TWire::ReadWidthDivisor(254 / width);
}

// Walks the fields of a data line, handing each to field(std::string_view) in order. Only a
// quoted field with doubled quotes inside is copied (into scratch); every other field is a view
// of the line, so a large file is read without an allocation per line.
template <class Field>
void ForEachField(std::string_view line, std::string& scratch, Field field) {
  const char* p = line.data();
  const char* const end = p + line.size();
  auto skipBlanks = [&] {
    while (p != end && IsBlank(*p)) ++p;
  };
  skipBlanks();
  while (p != end) {
    if (*p == '"') {
      const char* start = ++p;
      while (p != end && *p != '"') ++p;
      if (p + 1 < end && p[1] == '"') {
        // Two quotes stand for one: the field has to be rebuilt.
        scratch.assign(start, p);
        while (p != end) {
          if (*p == '"') {
            if (p + 1 != end && p[1] == '"') {
              scratch += '"';
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          scratch += *p++;
        }
        field(std::string_view(scratch));
      } else {
        field(std::string_view(start, static_cast<size_t>(p - start)));
        if (p != end) ++p;  // the closing quote
      }
    } else {
      const char* start = p;
      while (p != end && *p != kFieldEnd && !IsBlank(*p)) ++p;
      field(std::string_view(start, static_cast<size_t>(p - start)));
    }
    skipBlanks();
    if (p != end && *p == kFieldEnd) {
      if (p + 1 == end) field(std::string_view());
      ++p;
      skipBlanks();
    }
  }
}

}  // namespace

std::vector<std::string> SplitWinTyponFields(std::string_view line) {
  std::vector<std::string> fields;
  std::string scratch;
  ForEachField(line, scratch, [&](std::string_view f) { fields.emplace_back(f); });
  return fields;
}

int32_t WinTyponFieldValue(std::string_view field) {
  const char* p = field.data();
  const char* const end = p + field.size();
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p == end) return 0;
  uint64_t magnitude = 0;
  for (; p != end; ++p) {
    if (*p < '0' || *p > '9') return 0;
    magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
    if (magnitude > 2147483648ull) return 0;
  }
  if (negative) return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  return magnitude > 2147483647ull ? 0 : static_cast<int32_t>(magnitude);
}

int32_t BoardToWinTypon(int32_t units) { return WMul(units, 254) / 16; }
int32_t WinTyponToBoard(int32_t hundredths) {
  // To the nearest board unit, halves away from zero: the writer truncates, by less than one
  // hundredth of a millimetre, so every board unit written comes back as itself; truncating
  // again would shrink a pad by a unit at each save and reopen. In 64 bits nothing wraps.
  const int64_t twice = Abs64(int64_t(hundredths) * 16) * 2;
  const auto units = static_cast<int32_t>((twice + 254) / 508);
  return hundredths < 0 ? -units : units;
}

TElementList::Storage ReadWinTyponText(TLayoutView* layout, std::string_view text) {
  TElementList::Storage elements;
  TReader r;
  int32_t* const f = r.FieldValues;
  std::string scratch;
  for (std::string_view line : SplitLines(text)) {
    if (IsKeywordLine(line, "\xA4#Pastille\xA4")) {
      r.Section = TReader::kPad;
      continue;
    }
    if (IsKeywordLine(line, "\xA4#Segment\xA4")) {
      r.Section = TReader::kSegment;
      continue;
    }
    if (IsKeywordLine(line, "\xA4#Typon\xA4")) {
      r.Section = TReader::kOrigin;
      continue;
    }
    // Any other keyword (a component, the end of one, the version) closes the section.
    if (!line.empty() && line[0] == kKeywordMark) {
      r.Section = TReader::kNone;
      continue;
    }
    if (r.Section == TReader::kNone) continue;

    // A data line, even an empty one: it overwrites only the fields it has.
    size_t n = 0;
    ForEachField(line, scratch, [&](std::string_view field) {
      if (n < 21) f[n] = WinTyponFieldValue(field);
      ++n;
    });

    switch (r.Section) {
      case TReader::kPad:
        elements.push_back(std::make_unique<TSolder>(
            layout, ToBoard(f[0], f[1], r.FileOrigin), WinTyponToBoard(f[15]),
            WinTyponToBoard(std::min(f[9], f[10])), f[11] != 0 ? sgSquare : sgCircle));
        break;
      case TReader::kSegment:
        // Other kinds of segment than straight copper tracks are left out.
        if (f[6] != 0) break;
        elements.push_back(std::make_unique<TWire>(layout, ToBoard(f[0], f[1], r.FileOrigin),
                                                   ToBoard(f[2], f[3], r.FileOrigin),
                                                   WidthDivisorOf(f[7])));
        break;
      case TReader::kOrigin:
        // Only the first data line after the keyword places the origin.
        r.FileOrigin = {f[0], f[1]};
        r.Section = TReader::kNone;
        break;
      case TReader::kNone:
        break;
    }
  }
  return elements;
}

int32_t WinTyponLeftOut(const TElementList& list) {
  int32_t n = 0;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    n += e->IsClassic() || e->Kind() == ekText ? 0 : 1;
  }
  return n;
}

int32_t WinTyponStrokesOnly(const TElementList& list) {
  int32_t n = 0;
  for (int32_t i = 0; i < list.Count(); ++i) n += list.Items(i)->Kind() == ekText;
  return n;
}

std::string WinTyponStrokesOnlyMessage(int32_t texts) {
  if (texts <= 0) return {};
  return texts == 1 ? "1 text will be kept in a .wt5 file only as its strokes, drawn as wires"
                    : std::to_string(texts) +
                          " texts will be kept in a .wt5 file only as their strokes, drawn as "
                          "wires";
}

std::string WinTyponLeftOutMessage(int32_t leftOut) {
  if (leftOut <= 0) return {};
  return leftOut == 1 ? "1 element cannot be held by a .wt5 file and was left out"
                      : std::to_string(leftOut) +
                            " elements cannot be held by a .wt5 file and were left out";
}

void CheckWinTyponWidths(const TElementList& list) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->IsWire()) Div(254, static_cast<const TWire*>(e)->WidthDivisor());
  }
}

namespace {

// A text's strokes as segment lines, wires of the strokes' width: the file has no text of its
// own. Half units to hundredths of a millimetre truncate as whole units do.
void WriteStrokes(const TCopperText& text, TTextPieces& out) {
  const std::string_view sep = "\xB7";
  auto hundredths = [](int64_t half) { return Wrap32(half * 254 / (2 * UnitsPerStep)); };
  const int32_t width = BoardToWinTypon(text.StrokeWidth());
  for (const TCopperShape& s : text.Strokes()) {
    out << hundredths(s.AX) << sep << hundredths(s.AY) << sep << hundredths(s.BX) << sep
        << hundredths(s.BY)
        << "\xB7"
           "0\xB7"
           "0\xB7"
           "0\xB7"
        << width
        << "\xB7"
           "0\xB7"
           "0\xB7"
           "0\xB7\r\n";
    out.LineDone();
  }
}

}  // namespace

void WriteWinTyponPieces(const TElementList& list, TTextPieces& out) {
  CheckWinTyponWidths(list);
  // Only wires and through-hole pads go in, and texts as the wires of their strokes; the other
  // kinds are left out, as the user was told.
  int32_t pads = 0, wires = 0;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TElementKind kind = list.Items(i)->Kind();
    pads += kind == ekSolder;
    wires += kind == ekWire || kind == ekText;
  }

  out << "<< Typon Wintypon >>\r\n"
      << "\xA4#Version\xA4\r\n"
      << "0\xB7"
         "0\xB7\r\n"
      << "Generated by Ferrolume\xB7\r\n"
      << "\xA4#Typon\xA4\r\n"
      << "0\xB7"
         "0\xB7\r\n"
      << "\xA4#NombreComposant\xA4\r\n"
      << pads << "\xB7\r\n";

  // One component per pad, numbered from 0; the component number is written into the pad too.
  const std::string_view sep = "\xB7";
  int32_t k = 0;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement* e = list.Items(i);
    if (e->Kind() != ekSolder) continue;
    const auto* s = static_cast<const TSolder*>(e);
    const int32_t x = BoardToWinTypon(s->Center().X), y = BoardToWinTypon(s->Center().Y);
    const int32_t ext = BoardToWinTypon(s->ExternalDiameter());
    const int32_t hole = BoardToWinTypon(s->InternalDiameter());
    const int32_t shape = s->Geometry() != 0 ? 3 : 0;
    out << "\xA4#Composant\xB7" << k << "\xA4\r\n"
        << "\xA4#Pastille\xA4\r\n"
        << x << sep << y << sep << k << "\xB7"
        << "0\xB7"
           "0\xB7\xB7"
           "0\xB7"
           "3\xB7"
           "0\xB7"
        << ext << sep << ext << sep << shape << sep << ext << sep << ext << sep << shape << sep
        << hole
        << "\xB7"
           "0\xB7"
           "0\xB7"
           "0\xB7"
           "0\xB7"
           "0\xB7\r\n"
        << "\xA4#FIN\xA4\r\n";
    out.LineDone();
    ++k;
  }

  if (wires > 0) {
    out << "\xA4#Segment\xA4\r\n";
    for (int32_t i = 0; i < list.Count(); ++i) {
      const TPCBElement* e = list.Items(i);
      if (e->Kind() == ekText) {
        WriteStrokes(static_cast<const TCopperText&>(*e), out);
        continue;
      }
      if (!e->IsWire()) continue;
      const auto* w = static_cast<const TWire*>(e);
      out << BoardToWinTypon(w->StartPoint().X) << sep << BoardToWinTypon(w->StartPoint().Y) << sep
          << BoardToWinTypon(w->EndPoint().X) << sep << BoardToWinTypon(w->EndPoint().Y)
          << "\xB7"
             "0\xB7"
             "0\xB7"
             "0\xB7"
          << 254 / w->WidthDivisor()
          << "\xB7"
             "0\xB7"
             "0\xB7"
             "0\xB7\r\n";
      out.LineDone();
    }
  }
  out << "\xA4#FIN\xA4\r\n";
  out.Flush();
}

std::string WriteWinTyponText(const TElementList& list) {
  std::string text;
  TTextPieces out([&text](std::string_view piece) { text.append(piece); });
  WriteWinTyponPieces(list, out);
  return text;
}
