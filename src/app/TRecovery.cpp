#include "TRecovery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
#include <set>

#include "TBoardFile.h"
#include "TBoardFiles.h"

namespace {

const QString CopySuffix = QStringLiteral(".pcb");
const QString OwnerSuffix = QStringLiteral(".path");
const QString LockSuffix = QStringLiteral(".lock");

QString StemOf(const QString& path) {
  const QFileInfo info(path);
  return info.path() + QLatin1Char('/') + info.completeBaseName();
}

// The lock of another program's copies, if that program is gone. Qt takes a lock over from a
// process that no longer runs, or whose id now belongs to another program; when the id went to
// another Ferrolume, the lock still looks alive to it. A running owner keeps a native lock on
// the file, which is what removeStaleLockFile respects. The owner's id is readable in the file
// only once that native lock is taken, so a lock being created this instant is left alone.
std::unique_ptr<QLockFile> TakeOverLock(const QString& lockFile) {
  auto lock = std::make_unique<QLockFile>(lockFile);
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) return lock;
  qint64 pid = 0;
  if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, nullptr, nullptr) &&
      lock->removeStaleLockFile() && lock->tryLock(0))
    return lock;
  return nullptr;
}

QString ReadOwner(const QString& ownerFile) {
  QFile file(ownerFile);
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll());
}

}  // namespace

QString TRecovery::DefaultFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}

TRecovery::TRecovery(const QString& folder)
    : Folder_(folder),
      Stem_([] {
        // Two of these in one process (tests do that) must not share their files either.
        static std::atomic<int> made{0};
        const int n = made++;
        QString stem = QStringLiteral("board-%1-%2")
                           .arg(QCoreApplication::applicationPid())
                           .arg(QDateTime::currentMSecsSinceEpoch(), 0, 36);
        return n == 0 ? stem : stem + QStringLiteral("-%1").arg(n);
      }()),
      Lock_(folder + QLatin1Char('/') + Stem_ + LockSuffix) {
  // The copies outlive any number of minutes: only a gone owner makes a lock stale.
  Lock_.setStaleLockTime(0);
}

TRecovery::~TRecovery() { Remove(); }

QString TRecovery::CopyPath() const { return Folder_ + QLatin1Char('/') + Stem_ + CopySuffix; }

bool TRecovery::Write(const TElementList& board, const QString& ownerFile) {
  const uint64_t generation = board.Generation();
  if (Folder_.isEmpty() || Tried_ == generation) return false;
  Tried_ = generation;
  try {
    if (!QDir().mkpath(Folder_)) return false;
    // The lock comes first: a copy nobody holds a lock on is taken for a crashed program's.
    if (!Lock_.isLocked() && !Lock_.tryLock(0)) return false;
    const QByteArray owner = ownerFile.toUtf8();
    WriteBoardFile(Folder_ + QLatin1Char('/') + Stem_ + OwnerSuffix,
                   std::string_view(owner.constData(), size_t(owner.size())));
    SavePCBFile(board, CopyPath());
    Written_ = generation;
    return true;
  } catch (...) {
    // A full disk or a folder taken away: the board simply has no copy this time.
    return false;
  }
}

void TRecovery::Remove() {
  Written_.reset();
  Tried_.reset();
  // Nothing was ever written without the lock.
  if (!Lock_.isLocked()) return;
  QFile::remove(CopyPath());
  QFile::remove(Folder_ + QLatin1Char('/') + Stem_ + OwnerSuffix);
  Lock_.unlock();
}

std::vector<TLeftBoard> TRecovery::LeftBoards() {
  std::vector<TLeftBoard> boards;
  if (Folder_.isEmpty()) return boards;
  const QDir folder(Folder_);
  std::set<QString> stems;
  const QStringList names = folder.entryList(
      {QStringLiteral("board-*") + CopySuffix, QStringLiteral("board-*") + LockSuffix},
      QDir::Files);
  for (const QString& name : names) stems.insert(StemOf(folder.filePath(name)));
  stems.erase(Folder_ + QLatin1Char('/') + Stem_);
  for (const QString& stem : stems) {
    std::unique_ptr<QLockFile> lock = TakeOverLock(stem + LockSuffix);
    if (!lock) continue;  // its program still runs
    TLeftBoard left{stem + CopySuffix, ReadOwner(stem + OwnerSuffix), std::move(lock), {}};
    const QFileInfo copy(left.Copy);
    left.Time = copy.lastModified();
    if (copy.exists())
      boards.push_back(std::move(left));
    else
      Discard(left);  // a program killed before its first copy
  }
  std::sort(boards.begin(), boards.end(),
            [](const TLeftBoard& a, const TLeftBoard& b) { return a.Time < b.Time; });
  return boards;
}

void TRecovery::Discard(TLeftBoard& left) {
  QFile::remove(left.Copy);
  QFile::remove(StemOf(left.Copy) + OwnerSuffix);
  if (left.Lock) left.Lock->unlock();
}

QString LeftBoardDetails(const TLeftBoard& left) {
  const QLocale locale;
  const QString board = left.OwnerFile.isEmpty() ? QStringLiteral("Untitled")
                                                 : QDir::toNativeSeparators(left.OwnerFile);
  QString text = QStringLiteral("Board: %1\nCopy made: %2")
                     .arg(board, locale.toString(left.Time, QLocale::ShortFormat));
  // Restoring would put older work in the window than the file holds.
  const QFileInfo owner(left.OwnerFile);
  if (!left.OwnerFile.isEmpty() && owner.exists() && owner.lastModified() > left.Time)
    text += QStringLiteral("\nThe file on disk is newer than this copy: saved %1.")
                .arg(locale.toString(owner.lastModified(), QLocale::ShortFormat));
  return text;
}
