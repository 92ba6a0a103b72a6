#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

// The boards last opened or saved, newest first, as full paths, kept in the user's settings so
// the File menu offers them again at the next start.
class TRecentFiles {
 public:
  static constexpr int MaxCount = 8;

  // The program's own settings of the user (the folder the desktop keeps them in).
  TRecentFiles();

  QStringList Files() const;
  // Puts the board at the head of the list, dropping its older place and whatever falls past
  // the last place.
  void Add(const QString& fileName);
  void Remove(const QString& fileName);

 private:
  void Store(const QStringList& files);

  QSettings Settings_;
};
