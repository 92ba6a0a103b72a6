#pragma once

#include <QString>
#include <QUndoCommand>
#include <vector>

#include "TElementList.h"

// One step of the board's undo history. A step keeps only what it needs to go back and forth:
// the positions it touched and, while undone or done, the elements it took off the board. It
// never holds a copy of the board. Undo and redo never fail: every input was read and checked
// before the step was made.
class TBoardCommand : public QUndoCommand {
 public:
  TBoardCommand(TElementList& list, const QString& text) : List_(list) { setText(text); }

  // The name a step shows in the Edit menu: "Delete Element", "Delete 12 Elements".
  static QString CountedName(const QString& verb, int32_t count);

 protected:
  // Redraws the board after the step went either way.
  void Redraw() { List_.Layout()->RenderBoard(); }

  TElementList& List_;
};
