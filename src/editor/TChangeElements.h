#pragma once

#include "TBoardCommand.h"

// What a setting changes on the selected elements: the width of wires, the size, hole and shape
// of pads.
enum TElementProperty : uint8_t { epWireWidth, epPadSize, epHole, epPadShape };

// One setting applied to some elements: a wire width (as its WidthDivisor), a pad's outer size
// or hole in board units, or a pad's Geometry. The step keeps the positions it changed and what
// each held before, nothing more.
class TChangeElements : public TBoardCommand {
 public:
  // Indices ascend and name elements the property applies to; OldValues[k] is what element
  // Indices[k] holds now. Pushed not yet done.
  TChangeElements(TElementList& list, TElementProperty property, int32_t value,
                  std::vector<int32_t>&& indices, std::vector<int32_t>&& oldValues,
                  const QString& text);

  // Whether the property belongs to the element: a width to wires, the rest to through-hole pads.
  static bool AppliesTo(const TPCBElement& element, TElementProperty property);
  static int32_t ValueOf(const TPCBElement& element, TElementProperty property);
  static void SetValue(TPCBElement& element, TElementProperty property, int32_t value);

  void redo() override;
  void undo() override;

 private:
  TElementProperty Property_;
  int32_t Value_;
  std::vector<int32_t> Indices_;
  std::vector<int32_t> OldValues_;
};
