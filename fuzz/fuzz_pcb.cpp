// The .pcb reader on any bytes: it must never crash, and a board it reads must come back the
// same when written and read again (pads first, then wires, each kind in its order), with every
// written line equal to the element's own text line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "TBoardError.h"
#include "TElementList.h"
#include "TPcbText.h"

namespace {

bool SameElement(const TPCBElement& a, const TPCBElement& b) {
  return a.IsWire() == b.IsWire() && a.ToText() == b.ToText() && a.Selected() == b.Selected();
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
  std::string expected = "*Solder*\r\n";
  for (int32_t i = 0; i < board.Count(); ++i)
    if (!board.Items(i)->IsWire()) expected += board.Items(i)->ToText() + "\r\n";
  expected += "\r\n*Wire*\r\n";
  for (int32_t i = 0; i < board.Count(); ++i)
    if (board.Items(i)->IsWire()) expected += board.Items(i)->ToText() + "\r\n";
  Check(written == expected);

  TElementList again(nullptr);
  again.Replace(ReadElements(nullptr, SplitLines(written), true));
  Check(again.Count() == board.Count());
  int32_t next = 0;
  for (bool wires : {false, true}) {
    for (int32_t i = 0; i < board.Count(); ++i) {
      if (board.Items(i)->IsWire() != wires) continue;
      Check(SameElement(*board.Items(i), *again.Items(next++)));
    }
  }
  Check(WritePcbText(again, all) == written);
  return 0;
}
