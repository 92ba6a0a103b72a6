#pragma once

#include <QString>
#include <QStringList>

// The boards last opened or saved, newest first, as full paths, kept in the user's settings so
// the File menu offers them again at the next start. Nothing is held here: every change reads
// the list afresh, so two programs running side by side keep each other's boards.
class TRecentFiles {
 public:
  static constexpr int MaxCount = 8;

  QStringList Files() const;
  // Puts the board at the head of the list, dropping its older place and whatever falls past
  // the last place.
  void Add(const QString& fileName);
  void Remove(const QString& fileName);
};
