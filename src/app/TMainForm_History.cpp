// Undo and redo in the window: the Edit menu's first two items and their buttons, each naming
// the step it would take back or do again.
#include <QAction>
#include <QUndoStack>

#include "TMainForm.h"
#include "TPCBLayout.h"

void TMainForm::CreateHistoryActions() {
  EditUndo = NewAction(QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), imUndo,
                       &TMainForm::EditUndoExecute);
  EditRedo = NewAction(QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y), imRedo,
                       &TMainForm::EditRedoExecute);
  EditRedo->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  EditTakeBackWire = NewAction(QStringLiteral("Take Back Wire"), QKeySequence(Qt::Key_Backspace),
                               -1, &TMainForm::EditTakeBackWireExecute);

  const QUndoStack& history = Editor->UndoStack();
  auto refresh = [this, &history] {
    EditUndo->setEnabled(history.canUndo());
    EditUndo->setText(history.canUndo() ? QStringLiteral("Undo ") + history.undoText()
                                        : QStringLiteral("Undo"));
    EditRedo->setEnabled(history.canRedo());
    EditRedo->setText(history.canRedo() ? QStringLiteral("Redo ") + history.redoText()
                                        : QStringLiteral("Redo"));
  };
  connect(&history, &QUndoStack::indexChanged, this, refresh);
  connect(&history, &QUndoStack::cleanChanged, this, refresh);
  refresh();
}

void TMainForm::EditUndoExecute() { Editor->Undo(); }

void TMainForm::EditRedoExecute() { Editor->Redo(); }

void TMainForm::EditTakeBackWireExecute() { Editor->BackspacePressed(); }
