#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TElementList;

// A board left behind by a program that ended without closing: its copy, the file it belongs to
// (empty for an untitled board) and when the copy was written. While one is held, its lock is
// ours, so no other program offers it at the same time.
struct TLeftBoard {
  QString Copy;
  QString OwnerFile;
  std::unique_ptr<QLockFile> Lock;
  QDateTime Time;
};

// What restoring a left board brings back, for the question that offers it: the board's file
// (or "Untitled") and the time of the copy, and a warning when the file on disk was saved after
// the copy.
QString LeftBoardDetails(const TLeftBoard& left);

// The recovery copy of the board being edited: a .pcb file in a folder of copies, with the name
// of the file the board belongs to kept beside it. Each running program has copies of its own,
// named after its process, and holds a lock on them for as long as they exist; a copy whose lock
// nobody holds belongs to a program that ended without closing, and is offered at the next start.
// Nothing here ever raises or reports an error: a folder that cannot be written simply leaves
// the board without a copy, and editing goes on as if recovery did not exist.
class TRecovery {
 public:
  // The folder of copies, under the program's local data folder.
  static QString DefaultFolder();

  explicit TRecovery(const QString& folder = DefaultFolder());
  ~TRecovery();
  TRecovery(const TRecovery&) = delete;
  TRecovery& operator=(const TRecovery&) = delete;

  // Writes the board as the copy, unless the board is the one last written (or last tried:
  // a folder that failed once is tried again only after the board changed). Answers whether a
  // copy was written now.
  bool Write(const TElementList& board, const QString& ownerFile);
  // The board was saved, discarded or closed: its copy goes.
  void Remove();
  // Whether this program's copy is on disk.
  bool HasCopy() const { return Written_.has_value(); }
  // This program's copy, whether or not it exists yet.
  QString CopyPath() const;

  // Copies whose program no longer runs, oldest first, each locked for us. Lone leftovers
  // (a lock or a name without a copy) of such programs are tidied away on the way.
  std::vector<TLeftBoard> LeftBoards();
  // Deletes a left board's files and lets its lock go.
  static void Discard(TLeftBoard& left);

 private:
  QString Folder_;
  // "board-<process id>-<start time>": the process id tells the user's eye whose copy it is,
  // the time keeps a later program that is given the same id from writing over it.
  QString Stem_;
  QLockFile Lock_;
  // The board's change count at the copy on disk (none while there is no copy), and at the last
  // attempt, successful or not.
  std::optional<uint64_t> Written_;
  std::optional<uint64_t> Tried_;
};
