#pragma once

#include <string>

#include "TBoardCommand.h"
#include "TCopperText.h"

// What the text dialog edits of a copper text: everything but where it stands.
struct TTextFields {
  std::string Text;
  int32_t Height = TCopperText::DefaultHeight;
  int32_t StrokeWidth = TCopperText::DefaultStrokeWidth;
  int32_t Turns = 0;
  bool CopperSide = true;

  static TTextFields Of(const TCopperText& text);
  // What keeps these fields from making a text, in the words the user is shown; empty when
  // nothing does.
  std::string Problem() const;
  void ApplyTo(TCopperText& text) const;
  bool operator==(const TTextFields& o) const {
    return Text == o.Text && Height == o.Height && StrokeWidth == o.StrokeWidth &&
           Turns == o.Turns && CopperSide == o.CopperSide;
  }
  bool operator!=(const TTextFields& o) const { return !(*this == o); }
};

// A copper text given new words, size, turn or side, its anchor kept. The step holds the text's
// position and both sets of fields, so undo gives back exactly what the text said before.
class TChangeText : public TBoardCommand {
 public:
  // Index names a text; Before is what it holds now. Pushed not yet done.
  TChangeText(TElementList& list, int32_t index, TTextFields before, TTextFields after,
              const QString& text);

  void redo() override;
  void undo() override;

 private:
  void Apply(const TTextFields& fields);

  int32_t Index_;
  TTextFields Before_;
  TTextFields After_;
};
