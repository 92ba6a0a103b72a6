#include "TPcbText.h"

#include <cstdint>

#include "TElementLine.h"

std::vector<std::string_view> SplitLines(std::string_view text) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string_view> lines;
  size_t start = 0;
  const size_t n = text.size();
  while (start < n) {
    size_t i = start;
    while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
    lines.push_back(text.substr(start, i - start));
    if (i < n && text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return lines;
}

namespace {

// Compares a whole line with a header, ignoring the case of the letters A-Z only.
bool IsHeader(std::string_view line, std::string_view header) {
  if (line.size() != header.size()) return false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    char h = header[i];
    if (h >= 'A' && h <= 'Z') h = static_cast<char>(h - 'A' + 'a');
    if (c != h) return false;
  }
  return true;
}

struct Record {
  bool wire;
  int32_t v[5];
};

}  // namespace

TElementList::Storage ReadElements(TLayoutView* layout, const std::vector<std::string_view>& lines,
                                   bool selected) {
  enum { kNone, kWire, kPad } section = kNone;
  bool inComment = false;
  // First every line into plain records, so that an error leaves nothing half built.
  std::vector<Record> records;
  for (std::string_view line : lines) {
    if (IsHeader(line, "*Wire*")) {
      section = kWire;
    } else if (IsHeader(line, "*Solder*")) {
      section = kPad;
    } else if (line == "**") {
      inComment = !inComment;
    } else if (!inComment && !line.empty()) {
      Record r;
      if (!ReadElementLine(line.data(), line.data() + line.size(), r.v)) continue;
      if (section == kNone) continue;
      r.wire = section == kWire;
      records.push_back(r);
    }
  }
  TElementList::Storage elements;
  elements.reserve(records.size());
  for (const Record& r : records) {
    std::unique_ptr<TPCBElement> e;
    if (r.wire) {
      e = std::make_unique<TWire>(layout, TPoint{r.v[0], r.v[1]}, TPoint{r.v[2], r.v[3]},
                                  TWire::ReadWidthDivisor(r.v[4]));
    } else {
      e = std::make_unique<TSolder>(layout, TPoint{r.v[0], r.v[1]}, r.v[2], r.v[3],
                                    static_cast<uint8_t>(r.v[4]));
    }
    e->SetSelected(selected);
    elements.push_back(std::move(e));
  }
  return elements;
}
