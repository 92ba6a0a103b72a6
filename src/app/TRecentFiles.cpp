#include "TRecentFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString Key = QStringLiteral("recentFiles");

// One board, one entry, whichever folder it was opened from.
QString FullPath(const QString& fileName) {
  return QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
}

}  // namespace

// Named after the program twice: without an organisation Qt would not store anything.
TRecentFiles::TRecentFiles()
    : Settings_(QSettings::UserScope, QCoreApplication::applicationName(),
                QCoreApplication::applicationName()) {}

QStringList TRecentFiles::Files() const {
  QStringList files = Settings_.value(Key).toStringList();
  // A hand-edited settings file may hold anything.
  files.removeAll(QString());
  files.removeDuplicates();
  return files.mid(0, MaxCount);
}

void TRecentFiles::Add(const QString& fileName) {
  const QString path = FullPath(fileName);
  QStringList files = Files();
  files.removeAll(path);
  files.prepend(path);
  Store(files.mid(0, MaxCount));
}

void TRecentFiles::Remove(const QString& fileName) {
  QStringList files = Files();
  files.removeAll(FullPath(fileName));
  Store(files);
}

void TRecentFiles::Store(const QStringList& files) {
  Settings_.setValue(Key, files);
  // At once: a program that is killed later still remembers what it opened.
  Settings_.sync();
}
