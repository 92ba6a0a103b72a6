#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "TRecentFiles.h"

class QTimer;
class TPCBLayout;
class TRecovery;
struct TLeftBoard;

// The board being edited as a document: the file it belongs to, the recovery copy kept while it
// has unsaved changes, and the list of boards last opened or saved. It asks the user nothing:
// the window asks, then tells it what to do. A command that fails raises and leaves the
// document as it was: the file name, the unsaved changes, the copy and the recent boards.
class TBoardDocument : public QObject {
  Q_OBJECT

 public:
  explicit TBoardDocument(TPCBLayout& editor);
  ~TBoardDocument() override;

  // The board file last opened or saved, exactly as the user gave it; empty for a new board.
  const QString& FileName() const { return FileName_; }

  // An empty board without a file.
  void Clear();
  // The file's board in place of this one, under the file's name.
  void Load(const QString& fileName);
  // Writes the board to the file and takes the file's name.
  void SaveAs(const QString& fileName);

  // Starts writing the recovery copy every so often while the board has unsaved changes.
  void StartRecovery();
  // Writes the copy now if the board has changes the copy does not have yet; never fails.
  void KeepRecoveryCopy();
  TRecovery& Recovery() { return *Recovery_; }
  // The boards of programs that ended without closing, oldest first.
  std::vector<TLeftBoard> LeftBoards();
  // Takes a left board as this document: its board, with unsaved changes that no undo takes
  // away, under its file's name.
  void Restore(TLeftBoard& left);
  // The window closes with the board saved or discarded on purpose: nothing is left to recover.
  void Close();

  // The boards last opened or saved, newest first.
  QStringList RecentFiles() const { return RecentFiles_.Files(); }
  // A recent board that could not be opened leaves the list.
  void ForgetRecentFile(const QString& fileName);

 signals:
  void RecentFilesChanged();
  // A load passed over this many records of kinds this version does not know (0: none).
  void RecordsPassedOver(int32_t count);

 private:
  // The board now in the window belongs to this file, as it is on disk.
  void TakeFile(const QString& fileName);

  TPCBLayout& Editor_;
  QString FileName_;
  std::unique_ptr<TRecovery> Recovery_;
  QTimer* RecoveryTimer_;
  TRecentFiles RecentFiles_;
};
