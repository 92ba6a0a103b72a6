#include "TRecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <functional>

#include "TUserSettings.h"

namespace {

const QString Key = QStringLiteral("recentFiles");

// One board, one entry, whichever folder it was opened from.
QString FullPath(const QString& fileName) {
  return QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
}

QStringList Read(const QSettings& settings) {
  QStringList files = settings.value(Key).toStringList();
  // A hand-edited settings file may hold anything.
  files.removeAll(QString());
  files.removeDuplicates();
  return files.mid(0, TRecentFiles::MaxCount);
}

// A settings object opened now reads the file again if another program wrote it since; one
// kept open would write its own stale list over the other program's boards.
void Change(const std::function<void(QStringList&)>& change) {
  const auto settings = UserSettings();
  QStringList files = Read(*settings);
  change(files);
  settings->setValue(Key, files.mid(0, TRecentFiles::MaxCount));
  // At once: a program that is killed later still remembers what it opened.
  settings->sync();
}

}  // namespace

QStringList TRecentFiles::Files() const { return Read(*UserSettings()); }

void TRecentFiles::Add(const QString& fileName) {
  const QString path = FullPath(fileName);
  Change([&](QStringList& files) {
    files.removeAll(path);
    files.prepend(path);
  });
}

void TRecentFiles::Remove(const QString& fileName) {
  const QString path = FullPath(fileName);
  Change([&](QStringList& files) { files.removeAll(path); });
}
