// The .pcb reader on any bytes: it must never crash, and a board it reads must come back the
// same when written and read again (pads first, then wires, then the records, each kind in its
// order), with every written line equal to the element's own text line, and the block of records
// only when the board has something for it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "TBoardError.h"
#include "TElementList.h"
#include "TPcbText.h"

namespace {

bool SameElement(const TPCBElement& a, const TPCBElement& b) {
  return a.Kind() == b.Kind() && a.ToText() == b.ToText() && a.Selected() == b.Selected();
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TElementList board(nullptr);
  try {
    board.Replace(ReadElements(nullptr, SplitLines(text), true));
  } catch (const EBoardError&) {
    return 0;
  }
  const auto all = [](const TPCBElement&) { return true; };
  const std::string written = WritePcbText(board, all);

  // Every line as ToText would write it.
  std::string expected = "*Solder*\r\n", records;
  bool fullStep = false;
  for (int32_t i = 0; i < board.Count(); ++i)
    if (board.Items(i)->Kind() == ekSolder) expected += board.Items(i)->ToText() + "\r\n";
  expected += "\r\n*Wire*\r\n";
  for (int32_t i = 0; i < board.Count(); ++i) {
    const TPCBElement* e = board.Items(i);
    if (e->IsWire()) {
      expected += e->ToText() + "\r\n";
      fullStep |= static_cast<const TWire*>(e)->WidthDivisor() == 1;
    } else if (!e->IsClassic()) {
      records += e->ToText() + "\r\n";
    }
  }
  if (fullStep || !records.empty())
    expected += "**\r\n" + std::string(fullStep ? "@FULLSTEP\r\n" : "") + records + "**\r\n";
  Check(written == expected);

  TElementList again(nullptr);
  int32_t unknown = -1;
  again.Replace(ReadElements(nullptr, SplitLines(written), true, &unknown));
  Check(unknown == 0);
  Check(again.Count() == board.Count());
  int32_t next = 0;
  for (TElementKind kind : {ekSolder, ekWire, ekSmdPad}) {
    for (int32_t i = 0; i < board.Count(); ++i) {
      if (board.Items(i)->Kind() != kind) continue;
      Check(SameElement(*board.Items(i), *again.Items(next++)));
    }
  }
  Check(WritePcbText(again, all) == written);
  return 0;
}
