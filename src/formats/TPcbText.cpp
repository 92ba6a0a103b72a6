#include "TPcbText.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "TElementLine.h"

std::vector<std::string_view> SplitLines(std::string_view text) {
  const void* nul = std::memchr(text.data(), '\0', text.size());
  if (nul) text = text.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - text.data()));
  std::vector<std::string_view> lines;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end) {
    const char* q = p;
    while (q != end && *q != '\r' && *q != '\n') ++q;
    lines.emplace_back(p, static_cast<size_t>(q - p));
    if (q != end && *q == '\r' && q + 1 != end && q[1] == '\n') ++q;
    p = q == end ? end : q + 1;
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

TElementList::Storage ReadElements(TLayoutView* layout, const std::vector<std::string_view>& lines,
                                   bool selected) {
  enum { kNone, kWire, kPad } section = kNone;
  bool inComment = false;
  // The elements stay local until the last line is read: if a number is out of range, they are
  // destroyed with this vector and the caller's board is never touched.
  TElementList::Storage elements;
  elements.reserve(lines.size());
  for (std::string_view line : lines) {
    if (IsKeywordLine(line, "*Wire*")) {
      section = kWire;
    } else if (IsKeywordLine(line, "*Solder*")) {
      section = kPad;
    } else if (line == "**") {
      inComment = !inComment;
    } else if (!inComment && !line.empty()) {
      int32_t v[5];
      // Read even outside a section: a number out of range is an error wherever it stands.
      if (!ReadElementLine(line.data(), line.data() + line.size(), v)) continue;
      if (section == kNone) continue;
      std::unique_ptr<TPCBElement> e;
      if (section == kWire) {
        e = std::make_unique<TWire>(layout, TPoint{v[0], v[1]}, TPoint{v[2], v[3]},
                                    TWire::ReadWidthDivisor(v[4]));
      } else {
        e = std::make_unique<TSolder>(layout, TPoint{v[0], v[1]}, v[2], v[3],
                                      static_cast<uint8_t>(v[4]));
      }
      e->SetSelected(selected);
      elements.push_back(std::move(e));
    }
  }
  elements.shrink_to_fit();
  return elements;
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
  if (element.IsWire()) {
    const auto& w = static_cast<const TWire&>(element);
    const int32_t v[5] = {w.StartPoint().X, w.StartPoint().Y, w.EndPoint().X, w.EndPoint().Y,
                          w.WidthDivisor()};
    AppendFive(text, v);
  } else {
    const auto& s = static_cast<const TSolder&>(element);
    const int32_t v[5] = {s.Center().X, s.Center().Y, s.InternalDiameter(), s.ExternalDiameter(),
                          s.Geometry()};
    AppendFive(text, v);
  }
}
