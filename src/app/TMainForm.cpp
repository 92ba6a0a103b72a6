#include "TMainForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "TBoardDocument.h"
#include "TPCBLayout.h"
#include "TPadSettings.h"
#include "TProblemsPanel.h"
#include "TResources.h"

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  InitResources();
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(AppTitle);
  setWindowIcon(QIcon(QStringLiteral(":/icons/ferrolume.svg")));

  // The board fills a sunken frame below the bars.
  Container = new QFrame(this);
  Container->setObjectName(QStringLiteral("Container"));
  Container->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* containerLayout = new QVBoxLayout(Container);
  containerLayout->setContentsMargins(1, 1, 1, 1);
  Editor = new TPCBLayout(Container);
  Editor->setObjectName(QStringLiteral("Editor"));
  Editor->setMinimumSize(100, 60);
  containerLayout->addWidget(Editor);
  setCentralWidget(Container);

  // The editor's own defaults suit a printout; on screen the board gets softer colours.
  Editor->SetColor(0xE9E9E9);
  Editor->SetWireColor(0xC99565);
  Editor->SetSolderColor(0x800000);
  Editor->SetSolderExternalDiameter(12);
  Editor->SetSolderGeometry(sgCircle);
  Editor->SetFocusColor(0x0000FF);
  Document_ = std::make_unique<TBoardDocument>(*Editor);

  CreateImages();
  CreateActions();
  CreateMenus();
  CreateBoardSettings();
  CreateToolBars();
  CreateSolderMenu();
  CreatePrintActions();
  CreateRecentFileItems();
  CreatePartsCommands();
  CreateTextCommands();
  CreateCheck();
  CreateToolKeys();

  // Board shortcuts are taken at the application's door, before the focused control sees them.
  qApp->installEventFilter(this);

  // Large enough for the settings row in any font; the board takes what is left.
  move(198, 106);
  resize(std::max(510, sizeHint().width()), 375);
  CreateView();
  CreateFillCommands();
  CreateMillCommands();
}

TMainForm::~TMainForm() {
  if (qApp) qApp->removeEventFilter(this);
  // The editor and the panels outlive this part of the window: the history, emptied as it goes,
  // and a closing panel must not call back into a window that is already half gone.
  Editor->UndoStack().disconnect(this);
  Editor->disconnect();
  if (ProblemsPanel) ProblemsPanel->disconnect(this);
}

void TMainForm::CreateBoardSettings() {
  BoardSettingsPanel = new QWidget(this);
  BoardSettingsPanel->setObjectName(QStringLiteral("BoardSettingsPanel"));
  auto* row = new QHBoxLayout(BoardSettingsPanel);
  row->setContentsMargins(2, 0, 2, 0);
  row->setSpacing(4);

  auto addCombo = [&](const char* name, const QString& label, const QStringList& items,
                      int initial) {
    auto* combo = new QComboBox(BoardSettingsPanel);
    combo->setObjectName(QLatin1String(name));
    combo->addItems(items);
    combo->setCurrentIndex(initial);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* caption = new QLabel(label, BoardSettingsPanel);
    caption->setBuddy(combo);
    row->addWidget(caption);
    row->addWidget(combo);
    row->addSpacing(4);
    return combo;
  };
  // The item index is the enumeration value handed to the editor; the start items equal the
  // editor's defaults, so nothing is sent to it at start.
  GridModeCombo =
      addCombo("GridModeCombo", QStringLiteral("Grid Mode"),
               {QStringLiteral("None"), QStringLiteral("Dots"), QStringLiteral("Lines")}, gmDot);
  GridStepCombo =
      addCombo("GridStepCombo", QStringLiteral("Grid Step"),
               {QStringLiteral("1"), QStringLiteral("1/2"), QStringLiteral("1/4")}, gs1);
  ElementWidthCombo = addCombo("ElementWidthCombo", QStringLiteral(" Wire Width"),
                               {QStringLiteral("1"), QStringLiteral("1/2"), QStringLiteral("1/4"),
                                QStringLiteral("1/8"), QStringLiteral("1/16")},
                               gs1By4);
  ShowWireWidthsInMm(row);
  PadSettings =
      new TPadSettings(*Editor, BoardSettingsPanel, row,
                       [this](const std::function<void()>& change) { return Guarded(change); });

  ScaleEdit = new QSpinBox(BoardSettingsPanel);
  ScaleEdit->setObjectName(QStringLiteral("ScaleEdit"));
  ScaleEdit->setRange(-9, 500);
  ScaleEdit->setSingleStep(1);
  ScaleEdit->setValue(0);
  auto* scaleLabel = new QLabel(QStringLiteral("Scale"), BoardSettingsPanel);
  scaleLabel->setBuddy(ScaleEdit);
  row->addWidget(scaleLabel);
  row->addWidget(ScaleEdit);

  connect(GridModeCombo, &QComboBox::currentIndexChanged, this,
          [this](int i) { Guarded([=] { GridModeComboChange(i); }); });
  connect(GridStepCombo, &QComboBox::currentIndexChanged, this,
          [this](int i) { Guarded([=] { GridStepComboChange(i); }); });
  connect(ElementWidthCombo, &QComboBox::currentIndexChanged, this,
          [this](int i) { Guarded([=] { ElementWidthComboChange(i); }); });
  // Every change of the box's value counts, typed, stepped or set by New and Open.
  connect(ScaleEdit, &QSpinBox::valueChanged, this,
          [this](int v) { Guarded([=] { ScaleEditChange(v); }); });
}

void TMainForm::CreateToolBars() {
  auto newBar = [this](const char* name, const QString& caption) {
    auto* bar = new QToolBar(caption, this);
    bar->setObjectName(QLatin1String(name));
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setMovable(true);
    bar->setFloatable(true);
    bar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    return bar;
  };

  // Row 1: the board settings. They can move to another row but not float away.
  EditorSettingsContainer = newBar("EditorSettingsContainer", QStringLiteral("Board settings"));
  EditorSettingsContainer->setFloatable(false);
  EditorSettingsContainer->addWidget(BoardSettingsPanel);
  addToolBar(Qt::TopToolBarArea, EditorSettingsContainer);
  addToolBarBreak(Qt::TopToolBarArea);

  // Row 2: files, editing, mouse tools.
  FileActionBar = newBar("FileActionBar", QStringLiteral("File Menu"));
  FileActionBar->addAction(FileNew);
  FileActionBar->addAction(FileOpen);
  FileActionBar->addAction(FileSave);
  FileActionBar->addSeparator();
  FileActionBar->addAction(FilePrint);
  addToolBar(Qt::TopToolBarArea, FileActionBar);

  EditActionBar = newBar("EditActionBar", QStringLiteral("Edit"));
  EditActionBar->addAction(EditUndo);
  EditActionBar->addAction(EditRedo);
  EditActionBar->addSeparator();
  EditActionBar->addAction(EditCut);
  EditActionBar->addAction(EditCopy);
  EditActionBar->addAction(EditPaste);
  EditActionBar->addSeparator();
  EditActionBar->addAction(EditDelete);
  EditActionBar->addSeparator();
  EditActionBar->addAction(EditSelectAll);
  addToolBar(Qt::TopToolBarArea, EditActionBar);

  MouseActionBar = newBar("MouseActionBar", QStringLiteral("Mouse Actions"));
  CreateMouseActionBar();
  addToolBar(Qt::TopToolBarArea, MouseActionBar);
}

void TMainForm::CreateMouseActionBar() {
  // One radio group: exactly one tool is down, and clicking the one that is down keeps it down
  // (and chooses it again). The button's id is the mouse action it selects.
  MouseActionGroup = new QButtonGroup(this);
  MouseActionGroup->setExclusive(true);
  auto addTool = [this](const char* name, const QString& hint, TMouseAction action, int image) {
    auto* button = new QToolButton(MouseActionBar);
    button->setObjectName(QLatin1String(name));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(16, 16));
    button->setIcon(ActionImages[image]);
    button->setToolTip(hint);
    MouseActionGroup->addButton(button, action);
    MouseActionBar->addWidget(button);
    return button;
  };
  WireButton = addTool("WireButton", QStringLiteral("Wire"), maWire, imWire);
  SolderButton = addTool("SolderButton", QStringLiteral("Solder Point"), maSolder, imSolderCircle);
  TextButton = addTool("TextButton", QStringLiteral("Text"), maText, imWire);
  TextButton->setIcon(TextImage);
  FillButton = addTool("FillButton", QStringLiteral("Fill"), maFill, imWire);
  FillButton->setIcon(FillImage);
  DeleteElementButton =
      addTool("DeleteElementButton", QStringLiteral("Delete Element"), maDelete, imDeleteElement);
  SelectButton = addTool("SelectButton", QStringLiteral("Select"), maSelect, imSelect);
  MoveButton = addTool("MoveButton", QStringLiteral("Move"), maMove, imMove);
  WireButton->setChecked(true);
  connect(MouseActionGroup, &QButtonGroup::idClicked, this,
          [this](int id) { Guarded([=] { MouseActionClick(id); }); });

  // A right click on the solder tool opens the shape menu instead of the bar's own menu.
  SolderButton->setContextMenuPolicy(Qt::PreventContextMenu);
  SolderButton->installEventFilter(this);
}

void TMainForm::CreateSolderMenu() {
  SolderMenu = new QMenu(this);
  SolderMenu->setObjectName(QStringLiteral("SolderMenu"));
  CircleMenuItem =
      SolderMenu->addAction(ActionImages[imSolderCircle], QStringLiteral("Circle Solder Point"));
  CircleMenuItem->setObjectName(QStringLiteral("CircleMenuItem"));
  SquareMenuItem =
      SolderMenu->addAction(ActionImages[imSolderSquare], QStringLiteral("Square Solder Point"));
  SquareMenuItem->setObjectName(QStringLiteral("SquareMenuItem"));
  SmdMenuItem = SolderMenu->addAction(SmdPadImage, QStringLiteral("SMD Pad"));
  SmdMenuItem->setObjectName(QStringLiteral("SmdMenuItem"));
  // Radio items that can also all be off: choosing the checked one takes its mark away.
  SolderShapeGroup = new QActionGroup(this);
  SolderShapeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (QAction* item : {CircleMenuItem, SquareMenuItem, SmdMenuItem}) {
    item->setCheckable(true);
    SolderShapeGroup->addAction(item);
    connect(item, &QAction::triggered, this, [this] { Guarded([this] { SolderMnuClick(); }); });
  }
  CircleMenuItem->setChecked(true);
}

void TMainForm::GridModeComboChange(int index) { Editor->SetGridMode(TGridMode(index)); }

void TMainForm::GridStepComboChange(int index) { Editor->SetGridStep(TPCBStep(index)); }

void TMainForm::ElementWidthComboChange(int index) {
  Editor->SetWireWidth(TPCBStep(index));
  Editor->ChangeSelected(epWireWidth, StepDivisorOf(TPCBStep(index)));
}

void TMainForm::ScaleEditChange(int position) { Editor->SetGridScale(position); }

void TMainForm::MenuMenuItemClick() {
  // A bar can be hidden without this menu (the bar area's own menu); the marks catch up here.
  FileToolBarMenuItem->setChecked(!FileActionBar->isHidden());
  EditMenuMenuItem->setChecked(!EditActionBar->isHidden());
  BoardsettingsMenuItem->setChecked(!EditorSettingsContainer->isHidden());
  MouseActionsMenuItem->setChecked(!MouseActionBar->isHidden());
}

QString TMainForm::FileNamePart(const QString& path) {
  const int cut = std::max({path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')),
                            path.lastIndexOf(QLatin1Char(':'))});
  return path.mid(cut + 1);
}

QString TMainForm::TitleFor(const QString& fileName) {
  if (fileName.isEmpty()) return AppTitle;
  return AppTitle + QStringLiteral(" - ") + FileNamePart(fileName);
}
