#include "TChangeText.h"

#include <cstdio>

namespace {

std::string Mm(int32_t units) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", units * MmPerUnit);
  return buffer;
}

}  // namespace

TTextFields TTextFields::Of(const TCopperText& text) {
  return {text.Text(), text.Height(), text.StrokeWidth(), text.Turns(), text.CopperSide()};
}

std::string TTextFields::Problem() const {
  if (Text.empty()) return "Type the text to put on the copper";
  if (Text.size() > TCopperText::MaxLength)
    return "A text holds at most " + std::to_string(TCopperText::MaxLength) + " characters";
  const size_t refused = TCopperText::FirstRefused(Text);
  if (refused != std::string::npos) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "Copper text cannot hold the character of code 0x%02X",
                  static_cast<unsigned char>(Text[refused]));
    return buffer;
  }
  if (Height < TCopperText::MinHeight || Height > TCopperText::MaxHeight)
    return "The letters must be from " + Mm(TCopperText::MinHeight) + " to " +
           Mm(TCopperText::MaxHeight) + " mm high";
  if (StrokeWidth < TCopperText::MinStrokeWidth || StrokeWidth > Height)
    return "The strokes must be from " + Mm(TCopperText::MinStrokeWidth) +
           " mm wide to as wide as the letters are high, " + Mm(Height) + " mm";
  if (Turns < 0 || Turns > 3) return "A text turns by 0, 90, 180 or 270 degrees";
  return {};
}

void TTextFields::ApplyTo(TCopperText& text) const {
  text.SetText(Text);
  text.SetHeight(Height);
  text.SetStrokeWidth(StrokeWidth);
  text.SetTurns(Turns);
  text.SetCopperSide(CopperSide);
}

TChangeText::TChangeText(TElementList& list, int32_t index, TTextFields before, TTextFields after,
                         const QString& text)
    : TBoardCommand(list, text),
      Index_(index),
      Before_(std::move(before)),
      After_(std::move(after)) {}

void TChangeText::Apply(const TTextFields& fields) {
  fields.ApplyTo(static_cast<TCopperText&>(*List_.Items(Index_)));
  List_.Changed(Index_);
  Redraw();
}

void TChangeText::redo() { Apply(After_); }

void TChangeText::undo() { Apply(Before_); }
