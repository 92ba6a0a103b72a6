// Work that survives a crash: the recovery copy kept while the board has unsaved changes, and
// the boards of programs that ended without closing, offered at start.
#include <QMessageBox>
#include <QSpinBox>
#include <QTimer>
#include <QUndoStack>

#include "TMainForm.h"
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

void TMainForm::CreateRecovery() {
  Recovery_ = std::make_unique<TRecovery>();
  RecoveryTimer = new QTimer(this);
  RecoveryTimer->setObjectName(QStringLiteral("RecoveryTimer"));
  RecoveryTimer->setInterval(RecoveryInterval());
  connect(RecoveryTimer, &QTimer::timeout, this, &TMainForm::KeepRecoveryCopy);
}

void TMainForm::KeepRecoveryCopy() {
  // Whatever happens here stays here: the user is editing, and a copy is only a safety net.
  try {
    // Undone back to the board as saved: the file itself is the copy again.
    if (Editor->Modified())
      Recovery_->Write(Editor->Elements(), CurrentFileName_);
    else
      Recovery_->Remove();
  } catch (...) {
  }
}

bool TMainForm::OfferLeftBoards() {
  bool restored = false;
  for (TLeftBoard& left : Recovery_->LeftBoards()) {
    // The window holds one board: any others wait, untouched, for the next start.
    if (restored) break;
    QMessageBox box(QMessageBox::Question, AppTitle,
                    QStringLiteral("Ferrolume was not closed properly. Restore the board you were "
                                   "working on?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    switch (ExecMessageBox(box)) {
      case QMessageBox::Yes:
        restored = Guarded([&] { RestoreLeftBoard(left); });
        break;
      case QMessageBox::No:
        TRecovery::Discard(left);
        break;
      default:
        break;  // the box went away unanswered: asked again next time
    }
  }
  return restored;
}

void TMainForm::RestoreLeftBoard(TLeftBoard& left) {
  Editor->Elements().LoadFromFile(left.Copy);
  CurrentFileName_ = left.OwnerFile;
  SetScalePosition(0);
  setWindowTitle(TitleFor(CurrentFileName_));
  // These are changes the user never saved: no undo leads back to a board without them.
  Editor->UndoStack().resetClean();
  Editor->SetModified(true);
  // The board is this program's now; the old copy goes only once ours is safely written.
  if (Recovery_->Write(Editor->Elements(), CurrentFileName_)) TRecovery::Discard(left);
}
