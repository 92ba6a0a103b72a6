// The File menu's list of the boards last opened or saved.
#include <QAction>
#include <QDir>
#include <QMenu>

#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TRecentFiles.h"

void TMainForm::CreateRecentFileItems() {
  RecentFiles_ = std::make_unique<TRecentFiles>();
  static_assert(std::tuple_size_v<decltype(RecentFileItems)> == TRecentFiles::MaxCount);
  for (QAction*& item : RecentFileItems) {
    item = new QAction(this);
    item->setVisible(false);
    FileMenuItem->insertAction(FileExit, item);
    QAction* self = item;
    connect(item, &QAction::triggered, this, [this, self] {
      const QString fileName = self->data().toString();
      Guarded([&] { OpenRecentFile(fileName); });
    });
  }
  RecentFilesSeparator = FileMenuItem->insertSeparator(FileExit);
  UpdateRecentFileItems();
}

void TMainForm::UpdateRecentFileItems() {
  const QStringList files = RecentFiles_->Files();
  for (int i = 0; i < int(RecentFileItems.size()); ++i) {
    QAction* item = RecentFileItems[size_t(i)];
    item->setVisible(i < files.size());
    if (i >= files.size()) continue;
    // The whole path: two boards of one name in different folders must be told apart.
    QString shown = QDir::toNativeSeparators(files[i]);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    item->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
    item->setData(files[i]);
  }
  RecentFilesSeparator->setVisible(!files.isEmpty());
}

void TMainForm::RememberRecentFile(const QString& fileName) {
  RecentFiles_->Add(fileName);
  UpdateRecentFileItems();
}

void TMainForm::OpenRecentFile(const QString& fileName) {
  if (Editor->Modified() && !QuerySaveChanges()) return;
  try {
    LoadBoard(fileName);
  } catch (...) {
    // Gone, moved or no longer a board: it leaves the list, and the error box tells why.
    RecentFiles_->Remove(fileName);
    UpdateRecentFileItems();
    throw;
  }
  SetScalePosition(0);
  setWindowTitle(TitleFor(CurrentFileName_));
}
