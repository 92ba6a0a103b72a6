#include "TPcbText.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>

#include "TCopperFill.h"
#include "TCopperText.h"
#include "TElementLine.h"
#include "TSmdPad.h"

std::vector<std::string_view> SplitLines(std::string_view text) {
  const void* nul = std::memchr(text.data(), '\0', text.size());
  if (nul) text = text.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - text.data()));
  std::vector<std::string_view> lines;
  // Counting the LFs first costs far less than growing the table of a million lines.
  lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  const char* p = text.data();
  const char* const end = p + text.size();
  // From LF to LF with memchr, which is many times faster than a byte loop on a large board;
  // a lone CR inside such a stretch still ends a line, and a CR just before the LF is part of
  // that line end.
  while (p != end) {
    const void* found = std::memchr(p, '\n', static_cast<size_t>(end - p));
    const char* const lf = found ? static_cast<const char*>(found) : end;
    const char* q = p;
    for (;;) {
      const void* cr = std::memchr(q, '\r', static_cast<size_t>(lf - q));
      if (!cr) {
        lines.emplace_back(q, static_cast<size_t>(lf - q));
        break;
      }
      lines.emplace_back(q, static_cast<size_t>(static_cast<const char*>(cr) - q));
      q = static_cast<const char*>(cr) + 1;
      if (q == lf) break;
    }
    p = lf == end ? end : lf + 1;
  }
  return lines;
}

bool IsKeywordLine(std::string_view line, std::string_view keyword) {
  if (line.size() != keyword.size()) return false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    char k = keyword[i];
    if (k >= 'A' && k <= 'Z') k = static_cast<char>(k - 'A' + 'a');
    if (c != k) return false;
  }
  return true;
}

bool HasSectionHeader(const std::vector<std::string_view>& lines) {
  return std::any_of(lines.begin(), lines.end(), [](std::string_view line) {
    return IsKeywordLine(line, "*Wire*") || IsKeywordLine(line, "*Solder*");
  });
}

namespace {

enum TRecord { rcUnreadable, rcFullStep, rcSmd, rcText, rcFill };

// A fill's fields before its corners: seeded, sx, sy, four settings, keep, n.
constexpr size_t kFillHead = 9;

// Reads one integer of a record at P, blanks before it already passed over: an optional sign and
// decimal digits within 32 bits.
bool ReadRecordNumber(const char*& p, const char* end, int32_t& v) {
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '+' || *p == '-')) ++p;
  const char* const digits = p;
  int64_t magnitude = 0;
  while (p != end && *p >= '0' && *p <= '9') {
    magnitude = magnitude * 10 + (*p++ - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) return false;
  }
  if (p == digits || (!negative && magnitude > INT32_MAX)) return false;
  v = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The text field of a record: every byte as it is but for "%XX" (two upper-case hex digits),
// which stands for the byte XX. False for a '%' without its two digits, and for a comma or an
// asterisk, which the writer never leaves bare.
bool Unescape(std::string_view field, std::string& out) {
  out.clear();
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == ',' || c == '*') return false;
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 2 >= field.size()) return false;
    const int hi = HexDigit(field[i + 1]), lo = HexDigit(field[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

// Reads a record line, "@" and its kind and fields, into its kind and its integers, and a text's
// string. Any line that is not a record this version reads, a number beyond 32 bits included, is
// rcUnreadable: records never fail a load.
TRecord ReadRecord(std::string_view line, std::vector<int32_t>& v, std::string& text) {
  const char* p = line.data() + 1;
  const char* const end = line.data() + line.size();
  const char* const kindStart = p;
  while (p != end && *p >= 'A' && *p <= 'Z') ++p;
  const std::string_view kind(kindStart, static_cast<size_t>(p - kindStart));
  // A text's six numbers are followed by ", " and the string, all the rest of the line.
  const bool isText = kind == "TEXT", isFill = kind == "FILL";
  // As many numbers as the longest record of the kind holds; one more is never read.
  const size_t numbers = isText          ? 6
                         : isFill        ? kFillHead + 2 * TCopperFill::MaxCorners
                         : kind == "SMD" ? 5
                                         : 0;
  size_t fields = 0;
  v.clear();
  if (p != end && *p != ' ') return rcUnreadable;
  while (p != end && *p == ' ') ++p;
  while (p != end) {
    if (fields == numbers) {
      if (!isText) return rcUnreadable;
      const bool side = v[5] == 0 || v[5] == 1;
      if (!side || !Unescape(std::string_view(p, static_cast<size_t>(end - p)), text) ||
          !TCopperText::Valid(text, v[2], v[3], v[4]))
        return rcUnreadable;
      return rcText;
    }
    int32_t n;
    if (!ReadRecordNumber(p, end, n)) return rcUnreadable;
    v.push_back(n);
    ++fields;
    while (p != end && *p == ' ') ++p;
    if (p == end) break;
    if (*p++ != ',') return rcUnreadable;
    // A text's string starts right after the one blank that follows the comma.
    if (isText && fields == numbers) {
      if (p == end || *p != ' ') return rcUnreadable;
      ++p;
      if (p == end) return rcUnreadable;  // no string
      continue;
    }
    while (p != end && *p == ' ') ++p;
    if (p == end) return rcUnreadable;  // a comma with no field after it
  }
  if (kind == "FULLSTEP" && fields == 0) return rcFullStep;
  if (kind == "SMD" && fields == 5) return rcSmd;
  if (isFill && fields >= kFillHead) {
    const bool flags = (v[0] == 0 || v[0] == 1) && (v[7] == 0 || v[7] == 1);
    if (flags && v[8] >= 0 && fields == kFillHead + 2 * size_t(v[8])) return rcFill;
  }
  return rcUnreadable;
}

}  // namespace

TElementList::Storage ReadElements(TLayoutView* layout, const std::vector<std::string_view>& lines,
                                   bool selected, int32_t* unknownRecords) {
  if (unknownRecords) *unknownRecords = 0;
  enum { kNone, kWire, kPad } section = kNone;
  bool inComment = false;
  // A wire line of width 1 is a full-step wire when the text says so anywhere, which may well be
  // after its line: such wires are made full-step and turned back into the classic 2 at the end
  // when no @FULLSTEP came.
  bool fullStep = false, widthOnes = false;
  // The elements stay local until the last line is read: if a number is out of range, they are
  // destroyed with this vector and the caller's board is never touched.
  TElementList::Storage elements;
  elements.reserve(lines.size());
  std::string text;
  std::vector<int32_t> numbers;
  for (std::string_view line : lines) {
    if (IsKeywordLine(line, "*Wire*")) {
      section = kWire;
    } else if (IsKeywordLine(line, "*Solder*")) {
      section = kPad;
    } else if (line == "**") {
      inComment = !inComment;
    } else if (inComment) {
      // Only a record is read from a comment block; every other line of it stays a comment.
      if (line.empty() || line[0] != '@') continue;
      switch (ReadRecord(line, numbers, text)) {
        case rcFullStep:
          fullStep = true;
          break;
        case rcSmd: {
          auto e = std::make_unique<TSmdPad>(layout, TPoint{numbers[0], numbers[1]}, numbers[2],
                                             numbers[3], numbers[4]);
          e->SetSelected(selected);
          elements.push_back(std::move(e));
          break;
        }
        case rcText: {
          auto e =
              std::make_unique<TCopperText>(layout, TPoint{numbers[0], numbers[1]}, std::move(text),
                                            numbers[2], numbers[3], numbers[4], numbers[5] == 1);
          e->SetSelected(selected);
          elements.push_back(std::move(e));
          break;
        }
        case rcFill: {
          std::vector<TPoint> corners;
          for (size_t k = kFillHead; k + 1 < numbers.size(); k += 2)
            corners.push_back({numbers[k], numbers[k + 1]});
          TFillSettings settings;
          settings.Clearance = numbers[3], settings.MinimumWidth = numbers[4];
          settings.ThermalGap = numbers[5], settings.SpokeWidth = numbers[6];
          settings.KeepIslands = numbers[7] == 1;
          if (!TCopperFill::Valid(corners, settings)) {
            if (unknownRecords) ++*unknownRecords;
            break;
          }
          auto e = std::make_unique<TCopperFill>(layout, std::move(corners), numbers[0] == 1,
                                                 TPoint{numbers[1], numbers[2]}, settings);
          e->SetSelected(selected);
          elements.push_back(std::move(e));
          break;
        }
        case rcUnreadable:
          if (unknownRecords) ++*unknownRecords;
          break;
      }
    } else if (!line.empty()) {
      int32_t v[5];
      // Read even outside a section: a number out of range is an error wherever it stands.
      if (!ReadElementLine(line.data(), line.data() + line.size(), v)) continue;
      if (section == kNone) continue;
      std::unique_ptr<TPCBElement> e;
      if (section == kWire) {
        widthOnes |= v[4] == 1;
        e = std::make_unique<TWire>(layout, TPoint{v[0], v[1]}, TPoint{v[2], v[3]},
                                    v[4] == 1 ? 1 : TWire::ReadWidthDivisor(v[4]));
      } else {
        e = std::make_unique<TSolder>(layout, TPoint{v[0], v[1]}, v[2], v[3],
                                      static_cast<uint8_t>(v[4]));
      }
      e->SetSelected(selected);
      elements.push_back(std::move(e));
    }
  }
  // Without the record, the only wires of divisor 1 are the lines of width 1.
  if (widthOnes && !fullStep) {
    for (auto& e : elements) {
      if (!e->IsWire()) continue;
      auto& wire = static_cast<TWire&>(*e);
      if (wire.WidthDivisor() == 1) wire.SetWidthDivisor(TWire::ReadWidthDivisor(1));
    }
  }
  elements.shrink_to_fit();
  return elements;
}

std::string UnknownRecordsMessage(int32_t unknownRecords) {
  if (unknownRecords <= 0) return {};
  return unknownRecords == 1 ? "1 record this version cannot read was passed over"
                             : std::to_string(unknownRecords) +
                                   " records this version cannot read were passed over";
}

namespace {

// Appends "a, b, c, d, e" CR LF; 11 characters hold any 32-bit number with its sign.
void AppendFive(std::string& text, const int32_t (&v)[5]) {
  char buf[5 * 13 + 2];
  char* p = buf;
  char* const end = buf + sizeof buf;
  for (int i = 0; i < 5; ++i) {
    if (i > 0) {
      *p++ = ',';
      *p++ = ' ';
    }
    p = std::to_chars(p, end, v[i]).ptr;
  }
  *p++ = '\r';
  *p++ = '\n';
  text.append(buf, static_cast<size_t>(p - buf));
}

}  // namespace

void AppendElementLine(std::string& text, const TPCBElement& element) {
  switch (element.Kind()) {
    case ekWire: {
      const auto& w = static_cast<const TWire&>(element);
      const int32_t v[5] = {w.StartPoint().X, w.StartPoint().Y, w.EndPoint().X, w.EndPoint().Y,
                            w.WidthDivisor()};
      AppendFive(text, v);
      return;
    }
    case ekSolder: {
      const auto& s = static_cast<const TSolder&>(element);
      const int32_t v[5] = {s.Center().X, s.Center().Y, s.InternalDiameter(), s.ExternalDiameter(),
                            s.Geometry()};
      AppendFive(text, v);
      return;
    }
    case ekSmdPad: {
      const auto& s = static_cast<const TSmdPad&>(element);
      const int32_t v[5] = {s.Center().X, s.Center().Y, s.Width(), s.Height(), s.Roundness()};
      text.append("@SMD ");
      AppendFive(text, v);
      return;
    }
    case ekText:
    case ekFill:
      break;
  }
  text.append(element.ToText());
  text.append("\r\n");
}
