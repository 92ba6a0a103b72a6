#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QString>

#include "TElementList.h"

class QLabel;
class QListWidget;

// One part of the library: a small .pcb file, its name the file's name without ".pcb".
struct TFootprint {
  QString Name;
  QString Path;
  // Whether it comes from the user's own folder rather than the program's library.
  bool Own = false;
};

// "Insert Footprint": the parts of the program's library and of the user's own folder, each with
// a picture; a double click or OK chooses one.
class TFootprintDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TFootprintDialog(QWidget* parent = nullptr);

  // The program's own parts (built in), then the user's, each sorted by name.
  static QList<TFootprint> Library();
  // Where the user keeps parts: "footprints" in the program's own data folder.
  static QString UserFolder();
  // A part's elements, selected, read whole through the board's reader: a line with a number
  // out of range (or a file that cannot be read) raises its error and gives nothing.
  static TElementList::Storage ReadFootprint(TLayoutView* layout, const QString& fileName);
  // The part drawn as on the board, centred on a square image; a part that cannot be read
  // gives the empty board.
  static QImage Picture(const QString& fileName, int size);

  // The path of the chosen part; empty while none is chosen.
  QString ChosenPath() const;
  // Chooses the part of that name, as a click would (tests and the keyboard).
  bool Choose(const QString& name);

  QListWidget* Parts = nullptr;
  QLabel* FolderNote = nullptr;
};
