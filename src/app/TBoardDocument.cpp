#include "TBoardDocument.h"

#include <QTimer>

#include "TPCBLayout.h"
#include "TRecovery.h"

namespace {

// How often the copy may be written. A test that cannot wait half a minute sets a shorter one.
int RecoveryInterval() {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("FERROLUME_RECOVERY_INTERVAL_MS", &ok);
  return ok && ms > 0 ? ms : 30000;
}

}  // namespace

TBoardDocument::TBoardDocument(TPCBLayout& editor)
    : Editor_(editor), Recovery_(std::make_unique<TRecovery>()), RecoveryTimer_(new QTimer(this)) {
  RecoveryTimer_->setObjectName(QStringLiteral("RecoveryTimer"));
  RecoveryTimer_->setInterval(RecoveryInterval());
  connect(RecoveryTimer_, &QTimer::timeout, this, &TBoardDocument::KeepRecoveryCopy);
}

TBoardDocument::~TBoardDocument() = default;

void TBoardDocument::Clear() {
  Editor_.Clear();
  Recovery_->Remove();
  FileName_.clear();
}

void TBoardDocument::Load(const QString& fileName) {
  // The document takes the file's name only once its board is in: after a failed load a Save
  // must not write the board over the file that could not be read.
  const int32_t passedOver = Editor_.Elements().LoadFromFile(fileName);
  TakeFile(fileName);
  emit RecordsPassedOver(passedOver);
}

void TBoardDocument::SaveAs(const QString& fileName) {
  // Only a board that reached the file changes the name: after a failed save every later Save
  // still goes to the file the board came from.
  Editor_.Elements().SaveToFile(fileName);
  TakeFile(fileName);
}

void TBoardDocument::TakeFile(const QString& fileName) {
  FileName_ = fileName;
  Recovery_->Remove();
  RecentFiles_.Add(fileName);
  emit RecentFilesChanged();
}

void TBoardDocument::StartRecovery() { RecoveryTimer_->start(); }

void TBoardDocument::KeepRecoveryCopy() {
  // Whatever happens here stays here: the user is editing, and a copy is only a safety net.
  try {
    // Undone back to the board as saved: the file itself is the copy again.
    if (Editor_.Modified())
      Recovery_->Write(Editor_.Elements(), FileName_);
    else
      Recovery_->Remove();
  } catch (...) {
  }
}

std::vector<TLeftBoard> TBoardDocument::LeftBoards() { return Recovery_->LeftBoards(); }

void TBoardDocument::Restore(TLeftBoard& left) {
  const int32_t passedOver = Editor_.Elements().LoadFromFile(left.Copy);
  FileName_ = left.OwnerFile;
  emit RecordsPassedOver(passedOver);
  // These are changes the user never saved.
  Editor_.SetModified(true);
  // The board is this program's now; the old copy goes only once ours is safely written.
  if (Recovery_->Write(Editor_.Elements(), FileName_)) TRecovery::Discard(left);
}

void TBoardDocument::Close() {
  RecoveryTimer_->stop();
  Recovery_->Remove();
}

void TBoardDocument::ForgetRecentFile(const QString& fileName) {
  RecentFiles_.Remove(fileName);
  emit RecentFilesChanged();
}
