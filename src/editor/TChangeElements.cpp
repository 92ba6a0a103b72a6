#include "TChangeElements.h"

TChangeElements::TChangeElements(TElementList& list, TElementProperty property, int32_t value,
                                 std::vector<int32_t>&& indices, std::vector<int32_t>&& oldValues,
                                 const QString& text)
    : TBoardCommand(list, text),
      Property_(property),
      Value_(value),
      Indices_(std::move(indices)),
      OldValues_(std::move(oldValues)) {}

bool TChangeElements::AppliesTo(const TPCBElement& element, TElementProperty property) {
  // A surface-mount pad has no wire width, and no hole, size or shape of a through-hole pad.
  return element.Kind() == (property == epWireWidth ? ekWire : ekSolder);
}

int32_t TChangeElements::ValueOf(const TPCBElement& element, TElementProperty property) {
  if (property == epWireWidth) return static_cast<const TWire&>(element).WidthDivisor();
  const auto& pad = static_cast<const TSolder&>(element);
  switch (property) {
    case epPadSize:
      return pad.ExternalDiameter();
    case epHole:
      return pad.InternalDiameter();
    default:
      return pad.Geometry();
  }
}

void TChangeElements::SetValue(TPCBElement& element, TElementProperty property, int32_t value) {
  if (property == epWireWidth) {
    static_cast<TWire&>(element).SetWidthDivisor(value);
    return;
  }
  auto& pad = static_cast<TSolder&>(element);
  switch (property) {
    case epPadSize:
      pad.SetExternalDiameter(value);
      break;
    case epHole:
      pad.SetInternalDiameter(value);
      break;
    default:
      pad.SetGeometry(static_cast<uint8_t>(value));
      break;
  }
}

void TChangeElements::redo() {
  for (int32_t i : Indices_) SetValue(*List_.Items(i), Property_, Value_);
  List_.Changed();
  Redraw();
}

void TChangeElements::undo() {
  for (size_t k = 0; k < Indices_.size(); ++k)
    SetValue(*List_.Items(Indices_[k]), Property_, OldValues_[k]);
  List_.Changed();
  Redraw();
}
