// The commands of the window: actions, menus, the board shortcuts, the mouse tools and the edit
// commands.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

#include "TMainForm.h"
#include "TPCBLayout.h"
#include "TPadSettings.h"

void TMainForm::CreateImages() {
  static const char* const files[ImageCount] = {
      "new",    "open", "save", "wire", "solder-circle", "solder-square", "delete-element",
      "select", "move", "cut",  "copy", "paste",         "delete",        "select-all",
      "print",  "undo", "redo"};
  for (int i = 0; i < ImageCount; ++i)
    ActionImages[i] = QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(files[i])));
  SmdPadImage = DrawSmdPadImage();
  TextImage = DrawTextImage();
  FillImage = DrawFillImage();
}

QIcon TMainForm::DrawnIcon(const std::function<void(QPainter&)>& draw) {
  // At the bars' size and twice it for dense screens, on a 16 by 16 canvas either way.
  QIcon icon;
  for (int size : {16, 32}) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    painter.end();
    icon.addPixmap(picture);
  }
  return icon;
}

QIcon TMainForm::DrawSmdPadImage() {
  // In the colours of the other pad pictures.
  return DrawnIcon([](QPainter& painter) {
    painter.setPen(QPen(QColor(0x0f, 0x60, 0x18), 1));
    painter.setBrush(QColor(0x1c, 0x9a, 0x2a));
    for (qreal x : {1.5, 9.5}) painter.drawRoundedRect(QRectF(x, 3.5, 5, 9), 1.5, 1.5);
  });
}

QAction* TMainForm::NewAction(const QString& caption, const QKeySequence& shortcut, int image,
                              void (TMainForm::*handler)()) {
  auto* action = new QAction(caption, this);
  if (image >= 0) action->setIcon(ActionImages[image]);
  action->setShortcut(shortcut);
  // The window owns the action, so its shortcut works while every bar is hidden.
  addAction(action);
  connect(action, &QAction::triggered, this,
          [this, handler] { Guarded([=] { (this->*handler)(); }); });
  return action;
}

void TMainForm::CreateActions() {
  const QKeySequence none;
  FileNew = NewAction(QStringLiteral("New"), QKeySequence(Qt::CTRL | Qt::Key_N), imNew,
                      &TMainForm::FileNewExecute);
  FileOpen = NewAction(QStringLiteral("Open"), QKeySequence(Qt::CTRL | Qt::Key_O), imOpen,
                       &TMainForm::FileOpenExecute);
  FileSave = NewAction(QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S), imSave,
                       &TMainForm::FileSaveExecute);
  FileSaveAs = NewAction(QStringLiteral("Save as..."), none, -1, &TMainForm::FileSaveAsExecute);
  FilePrint = NewAction(QStringLiteral("Print"), QKeySequence(Qt::CTRL | Qt::Key_P), imPrint,
                        &TMainForm::FilePrintExecute);
  FileExportPdf =
      NewAction(QStringLiteral("Export PDF..."), none, -1, &TMainForm::FileExportPdfExecute);
  FileExit = NewAction(QStringLiteral("E&xit"), none, -1, &TMainForm::FileExitExecute);
  EditCut = NewAction(QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), imCut,
                      &TMainForm::EditCutExecute);
  EditCopy = NewAction(QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), imCopy,
                       &TMainForm::EditCopyExecute);
  EditPaste = NewAction(QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), imPaste,
                        &TMainForm::EditPasteExecute);
  EditDelete = NewAction(QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete), imDelete,
                         &TMainForm::EditDeleteExecute);
  EditSelectAll = NewAction(QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
                            imSelectAll, &TMainForm::EditSelectAllExecute);
  CreateHistoryActions();
}

void TMainForm::CreateMenus() {
  FileMenuItem = menuBar()->addMenu(QStringLiteral("File"));
  FileMenuItem->setObjectName(QStringLiteral("FileMenuItem"));
  FileMenuItem->addActions({FileNew, FileOpen, FileSave, FileSaveAs});
  FileMenuItem->addSeparator();
  FileMenuItem->addActions({FilePrint, FileExportPdf});
  FileMenuItem->addSeparator();
  FileMenuItem->addAction(FileExit);

  EditMenuItem = menuBar()->addMenu(QStringLiteral("Edit"));
  EditMenuItem->setObjectName(QStringLiteral("EditMenuItem"));
  EditMenuItem->addActions({EditUndo, EditRedo});
  EditMenuItem->addSeparator();
  EditMenuItem->addActions({EditCut, EditCopy, EditPaste, EditDelete});
  EditMenuItem->addSeparator();
  EditMenuItem->addAction(EditSelectAll);

  // Each item shows or hides its bar; the marks are read back from the bars as the menu opens.
  MenuMenuItem = menuBar()->addMenu(QStringLiteral("Menu"));
  MenuMenuItem->setObjectName(QStringLiteral("MenuMenuItem"));
  auto addBarItem = [this](const QString& caption, QToolBar* TMainForm::*bar) {
    QAction* item = MenuMenuItem->addAction(caption);
    item->setCheckable(true);
    item->setChecked(true);
    connect(item, &QAction::triggered, this,
            [this, bar](bool checked) { Guarded([=] { (this->*bar)->setVisible(checked); }); });
    return item;
  };
  FileToolBarMenuItem = addBarItem(QStringLiteral("File Menu"), &TMainForm::FileActionBar);
  EditMenuMenuItem = addBarItem(QStringLiteral("Edit Menu"), &TMainForm::EditActionBar);
  BoardsettingsMenuItem =
      addBarItem(QStringLiteral("Board settings"), &TMainForm::EditorSettingsContainer);
  MouseActionsMenuItem = addBarItem(QStringLiteral("Mouse actions"), &TMainForm::MouseActionBar);
  connect(MenuMenuItem, &QMenu::aboutToShow, this,
          [this] { Guarded([this] { MenuMenuItemClick(); }); });

  HelpMenuItem = menuBar()->addMenu(QStringLiteral("?"));
  HelpMenuItem->setObjectName(QStringLiteral("HelpMenuItem"));
  About1 = HelpMenuItem->addAction(QStringLiteral("About"));
  connect(About1, &QAction::triggered, this, [this] { Guarded([this] { About1Click(); }); });
}

bool TMainForm::IsBoardShortcut(const QKeySequence& key) const {
  if (IsViewShortcut(key)) return true;
  for (const QAction* action :
       {FileNew, FileOpen, FileSave, FilePrint, EditCut, EditCopy, EditPaste, EditDelete,
        EditSelectAll, EditUndo, EditRedo, EditInsertFootprint}) {
    if (action->shortcuts().contains(key)) return true;
  }
  // R, M and the tools' keys are letters: typed into a text box (a pad size of "2 mm") they are
  // text, not a turn of the selection or another tool.
  QWidget* focused = QApplication::focusWidget();
  auto* combo = qobject_cast<QComboBox*>(focused);
  if (!qobject_cast<QLineEdit*>(focused) && !(combo && combo->isEditable())) {
    for (const QAction* action : {EditRotate, EditMirror})
      if (action->shortcuts().contains(key)) return true;
    for (const QAction* action : MouseToolActions)
      if (action && action->shortcuts().contains(key)) return true;
  }
  // Backspace belongs to the board only while a wire or a fill's outline is pending; otherwise
  // it edits text.
  return (Editor->WirePending() || Editor->FillPending()) && EditTakeBackWire->shortcut() == key;
}

// Qt offers every key press first to the focused widget as a shortcut override, and a line edit
// claims Ctrl+A, Ctrl+C, Del and the like for its own text. The board's keys must act on the
// board even while the scale box or a combo box has the focus, so here they are refused to the
// widget, which leaves them to the actions. Escape first cancels the tool's pending step and
// then goes on as usual, for instance to close a drop-down list.
bool TMainForm::HandleShortcutOverride(QObject* watched, QKeyEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  if (event->key() == Qt::Key_Escape) {
    // The override travels from the focused widget up to the window; cancel only once.
    QWidget* focused = focusWidget() ? focusWidget() : this;
    if (widget == focused) Guarded([this] { Editor->CancelAction(); });
    return false;
  }
  const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (!IsBoardShortcut(QKeySequence(QKeyCombination(modifiers, Qt::Key(event->key())))))
    return false;
  event->ignore();
  return true;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      return HandleShortcutOverride(watched, static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonRelease:
      if (watched == SolderButton) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const Qt::MouseButton button = mouse->button();
        const QPoint position = mouse->position().toPoint();
        Guarded([=] { SolderButtonMouseUp(button, position); });
      }
      return false;
    default:
      return false;
  }
}

void TMainForm::CreateToolKeys() {
  // Single letters, none taken by another command: W for wire, P for a solder point (a pad), D
  // for the delete tool, S for select, H for the move tool's open hand (M mirrors), T for text
  // and F for a fill.
  const std::pair<QToolButton*, Qt::Key> tools[] = {
      {WireButton, Qt::Key_W},   {SolderButton, Qt::Key_P}, {DeleteElementButton, Qt::Key_D},
      {SelectButton, Qt::Key_S}, {MoveButton, Qt::Key_H},   {TextButton, Qt::Key_T},
      {FillButton, Qt::Key_F}};
  auto* group = new QActionGroup(this);
  QList<QAction*> items;
  for (const auto& [button, key] : tools) {
    const int id = MouseActionGroup->id(button);
    const QKeySequence keys(key);
    auto* action = new QAction(button->icon(), button->toolTip(), this);
    action->setObjectName(button->objectName() + QStringLiteral("Action"));
    action->setShortcut(keys);
    action->setCheckable(true);
    action->setChecked(button->isChecked());
    group->addAction(action);
    addAction(action);
    // The key is a click on the tool's button, with everything a click does.
    connect(action, &QAction::triggered, button, &QToolButton::click);
    button->setToolTip(
        QStringLiteral("%1 (%2)").arg(button->toolTip(), keys.toString(QKeySequence::NativeText)));
    MouseToolActions[size_t(id)] = action;
    items << action;
  }
  // The menu's marks follow the buttons, whichever way the tool was chosen.
  connect(MouseActionGroup, &QButtonGroup::idToggled, this, [this](int id, bool down) {
    if (down && id >= 0 && id < int(MouseToolActions.size()))
      MouseToolActions[size_t(id)]->setChecked(true);
  });
  QAction* first = ToolsMenuItem->actions().value(0);
  ToolsMenuItem->insertActions(first, items);
  ToolsMenuItem->insertSeparator(first);
}

void TMainForm::MouseActionClick(int tag) {
  if (tag == maFill) ShowFillsToDraw();
  Editor->SetMouseAction(TMouseAction(tag));
}

void TMainForm::SolderButtonMouseUp(Qt::MouseButton button, const QPoint& position) {
  // Only a right-button release over the tool; it neither presses the tool nor changes it.
  if (button != Qt::RightButton || !SolderButton->rect().contains(position)) return;
  SolderMenu->popup(SolderButton->mapToGlobal(QPoint(0, SolderButton->height())));
}

void TMainForm::SolderMnuClick() {
  // The chosen item has already toggled its mark (and taken the others' if it came on). With
  // no mark at all the pads are square, as they were with two items.
  const bool circle = CircleMenuItem->isChecked();
  const bool smd = SmdMenuItem->isChecked();
  // Selected through-hole pads take the shape too, before the solder tool clears the selection;
  // SMD pads have their own boxes.
  if (!smd) Editor->ChangeSelected(epPadShape, circle ? sgCircle : sgSquare);
  Editor->SetMouseAction(maSolder);
  SolderButton->setChecked(true);
  SolderButton->setIcon(smd ? SmdPadImage : ActionImages[circle ? imSolderCircle : imSolderSquare]);
  Editor->SetSmdChosen(smd);
  if (!smd) Editor->SetSolderGeometry(circle ? sgCircle : sgSquare);
  PadSettings->ShowSmd(smd);
}

void TMainForm::EditCutExecute() { Editor->CutToClipboard(); }

void TMainForm::EditCopyExecute() { Editor->CopyToClipboard(); }

void TMainForm::EditPasteExecute() { Editor->PasteFromClipboard(); }

void TMainForm::EditDeleteExecute() { Editor->DeleteSelected(); }

void TMainForm::EditSelectAllExecute() { Editor->SelectAll(); }

void TMainForm::FilePrintExecute() { Editor->Print(PrintOptions()); }

QString TMainForm::ChooseOutputFile(const QString& caption, const QString& filter,
                                    const QString& suffix, const QString& folder) {
  QFileDialog dialog(this, caption, folder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({filter});
  dialog.setDefaultSuffix(suffix);
  // An export of the board is proposed beside it, under its name; a footprint goes to its folder.
  if (folder.isEmpty()) {
    const QString proposed = ExportFileName(suffix);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);
  }
  return ExecFileDialog(dialog);
}

QString TMainForm::ExportFileName(const QString& suffix) const {
  const QString board = CurrentFileName();
  if (board.isEmpty()) return QString();
  const QFileInfo info(board);
  return info.dir().filePath(info.completeBaseName() + QLatin1Char('.') + suffix);
}

void TMainForm::FileExportPdfExecute() {
  const QString fileName = ChooseOutputFile(
      QStringLiteral("Export PDF"), QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
  if (fileName.isEmpty()) return;
  Editor->ExportPdf(fileName, PrintOptions());
}

void TMainForm::About1Click() {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About %1").arg(AppTitle),
                  QStringLiteral("<p><b>%1</b></p><p>%2</p>")
                      .arg(AppTitle, QStringLiteral("A hand-drawn copper side for single-sided "
                                                    "printed circuit boards.")),
                  QMessageBox::Ok, this);
  box.setIconPixmap(windowIcon().pixmap(64, 64));
  ExecMessageBox(box);
}
