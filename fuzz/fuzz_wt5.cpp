// The WinTypon reader on any bytes: it must never crash, and whatever it reads must be
// writable. Written and read again, the board keeps its elements in number, kind and order (pads
// first, then wires) and its pad shapes. Within a few metres of the origin, where nothing
// overflows, every length comes back to its board unit, so the same board brought into that
// range (and given the widths the editor draws) must come back exactly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "TBoardError.h"
#include "TElementList.h"
#include "TWinTypon.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A value within a few metres of the origin, where nothing overflows.
int32_t Snap(int32_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v) % 1048576u) - 524288;
}
int32_t SnapDiameter(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) % 512u); }

// The pads of the board, then its wires, in their order, as the written file holds them.
TElementList::Storage PadsThenWires(const TElementList& board, bool snap) {
  TElementList::Storage out;
  for (bool wires : {false, true}) {
    for (int32_t i = 0; i < board.Count(); ++i) {
      const TPCBElement* e = board.Items(i);
      if (e->IsWire() != wires) continue;
      if (!snap) {
        out.push_back(e->Clone(nullptr));
      } else if (wires) {
        const auto* w = static_cast<const TWire*>(e);
        out.push_back(std::make_unique<TWire>(
            nullptr, TPoint{Snap(w->StartPoint().X), Snap(w->StartPoint().Y)},
            TPoint{Snap(w->EndPoint().X), Snap(w->EndPoint().Y)},
            2 + static_cast<int32_t>(static_cast<uint32_t>(w->WidthDivisor()) % 15u)));
      } else {
        const auto* s = static_cast<const TSolder*>(e);
        out.push_back(
            std::make_unique<TSolder>(nullptr, TPoint{Snap(s->Center().X), Snap(s->Center().Y)},
                                      SnapDiameter(s->InternalDiameter()),
                                      SnapDiameter(s->ExternalDiameter()), s->Geometry()));
      }
    }
  }
  return out;
}

std::string WriteOrDie(const TElementList& board) {
  try {
    return WriteWinTyponText(board);
  } catch (const EBoardError&) {
    std::abort();  // the reader never makes a wire without a width
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TElementList board(nullptr);
  board.Replace(ReadWinTyponText(nullptr, text));

  TElementList again(nullptr);
  again.Replace(ReadWinTyponText(nullptr, WriteOrDie(board)));
  TElementList ordered(nullptr);
  ordered.Replace(PadsThenWires(board, false));
  Check(again.Count() == ordered.Count());
  for (int32_t i = 0; i < again.Count(); ++i) {
    const TPCBElement* a = ordered.Items(i);
    const TPCBElement* b = again.Items(i);
    Check(a->IsWire() == b->IsWire());
    if (!a->IsWire()) {
      Check(static_cast<const TSolder*>(a)->Geometry() ==
            static_cast<const TSolder*>(b)->Geometry());
    }
  }

  TElementList snapped(nullptr);
  snapped.Replace(PadsThenWires(board, true));
  const std::string written = WriteOrDie(snapped);
  TElementList back(nullptr);
  back.Replace(ReadWinTyponText(nullptr, written));
  Check(back.Count() == snapped.Count());
  for (int32_t i = 0; i < back.Count(); ++i)
    Check(back.Items(i)->IsWire() == snapped.Items(i)->IsWire() &&
          back.Items(i)->ToText() == snapped.Items(i)->ToText());
  Check(WriteOrDie(back) == written);
  return 0;
}
