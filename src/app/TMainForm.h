#pragma once

#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "TFill.h"
#include "TMillProcess.h"
#include "TTypes.h"

class QAction;
class QPainter;
class QActionGroup;
class QDialog;
class QButtonGroup;
class QComboBox;
class QFileDialog;
class QFrame;
class QHBoxLayout;
class QMenu;
class QMessageBox;
class QSpinBox;
class QToolBar;
class QToolButton;
class TFootprintDialog;
class TPCBLayout;
struct TArtworkOptions;
struct TCheckRules;
class TBoardDocument;
class TBoardStatusBar;
class TPadSettings;
struct TPoint;
class TProblemsPanel;

// The program's name, in the window title and at the head of its message boxes.
inline const QString AppTitle = QStringLiteral("Ferrolume");

// The one window: the board editor with its board settings, three tool bars, menus and the file
// commands. It keeps no board data of its own: the board, the selection, the view settings and
// the unsaved-changes flag all live in Editor, and the file the board belongs to, its recovery
// copy and the recent boards in the board's document.
class TMainForm : public QMainWindow {
  Q_OBJECT
  // The tests' scripted window reaches the components it drives.
  friend class TTestForm;

 public:
  // Indexes into ActionImages, shared by the bars and the menus.
  enum TImage {
    imNew,
    imOpen,
    imSave,
    imWire,
    imSolderCircle,
    imSolderSquare,
    imDeleteElement,
    imSelect,
    imMove,
    imCut,
    imCopy,
    imPaste,
    imDelete,
    imSelectAll,
    imPrint,
    imUndo,
    imRedo,
    ImageCount
  };

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // Start-up: registers the program as the opener of .pcb files, offers the boards of programs
  // that ended without closing, then, unless one was restored, opens the board named by the
  // first argument, if that is an existing file. Runs before the window is shown, so a failed
  // load shows its error box before the window appears.
  void FormCreate(const QStringList& arguments);

  // The board file last opened or saved, exactly as the user gave it; empty for a new board.
  const QString& CurrentFileName() const;
  TBoardDocument& Document() { return *Document_; }

  // The application's error box: the message (with its full stop), the program's name as
  // caption, a stop icon and OK.
  void ShowError(const QString& message);

  // The artwork options of Print, Print Preview and the PDF and SVG exports, as the user last
  // set them; kept with the user's settings.
  TArtworkOptions PrintOptions() const;
  void SetPrintOptions(const TArtworkOptions& options);

  // The title for a board file: "Ferrolume", or "Ferrolume - " and the file's name.
  static QString TitleFor(const QString& fileName);
  // The text after the last "/", "\" or ":" of a path, or the whole path.
  static QString FileNamePart(const QString& path);

 protected:
  // Everything that waits for a human goes through these, so tests can answer instead. The box
  // or dialog arrives fully set up; the result is the button pressed, or the chosen path (empty
  // when the dialog was cancelled).
  virtual int ExecMessageBox(QMessageBox& box);
  virtual QString ExecFileDialog(QFileDialog& dialog);
  // Makes this program the opener of .pcb files; never fails, never shows anything.
  virtual void RegisterFileType();
  // Any other dialog (print options, print preview); the result is QDialog's.
  virtual int ExecDialog(QDialog& dialog);
  // The footprint chosen in the dialog, as a file path; empty when it was cancelled.
  virtual QString ExecFootprintDialog(TFootprintDialog& dialog);

  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs a command through the error box; every handler of the window goes through it.
  bool Guarded(const std::function<void()>& command);

  // Components, named as the user's manual and the tests know them.
  TPCBLayout* Editor = nullptr;
  QFrame* Container = nullptr;

  QToolBar* EditorSettingsContainer = nullptr;
  QWidget* BoardSettingsPanel = nullptr;
  QComboBox* GridModeCombo = nullptr;
  QComboBox* GridStepCombo = nullptr;
  QComboBox* ElementWidthCombo = nullptr;
  QSpinBox* ScaleEdit = nullptr;
  // Pad size and hole of new pads, in millimetres.
  TPadSettings* PadSettings = nullptr;

  QToolBar* FileActionBar = nullptr;
  QToolBar* EditActionBar = nullptr;
  QToolBar* MouseActionBar = nullptr;
  QButtonGroup* MouseActionGroup = nullptr;
  QToolButton* WireButton = nullptr;
  QToolButton* SolderButton = nullptr;
  QToolButton* DeleteElementButton = nullptr;
  QToolButton* SelectButton = nullptr;
  QToolButton* MoveButton = nullptr;
  QToolButton* TextButton = nullptr;
  QToolButton* FillButton = nullptr;
  std::array<QAction*, 7> MouseToolActions{};  // by mouse action

  QAction* FileNew = nullptr;
  QAction* FileOpen = nullptr;
  QAction* FileSave = nullptr;
  QAction* FileSaveAs = nullptr;
  QAction* FilePrint = nullptr;
  QAction* FileExportPdf = nullptr;
  QAction* FileExit = nullptr;
  // Printing and outputs, in TMainForm_Print.cpp.
  QAction* FilePrintPreview = nullptr;
  QAction* FilePrintOptions = nullptr;
  QAction* FilePrintCalibration = nullptr;
  QAction* FileExportSvg = nullptr;
  QAction* FileExportFabrication = nullptr;
  // The boards last opened or saved, above Exit; hidden while unused.
  std::array<QAction*, 8> RecentFileItems{};
  QAction* RecentFilesSeparator = nullptr;
  QAction* EditUndo = nullptr;
  QAction* EditRedo = nullptr;
  // Backspace, in no menu: walks a pending wire chain back.
  QAction* EditTakeBackWire = nullptr;
  QAction* EditCut = nullptr;
  QAction* EditCopy = nullptr;
  QAction* EditPaste = nullptr;
  QAction* EditDelete = nullptr;
  QAction* EditSelectAll = nullptr;
  QAction* EditRotate = nullptr;
  QAction* EditMirror = nullptr;
  QAction* EditInsertFootprint = nullptr;
  QAction* EditSaveFootprint = nullptr;
  QAction* ViewZoomIn = nullptr;
  QAction* ViewZoomOut = nullptr;
  QAction* ViewFitBoard = nullptr;

  QMenu* FileMenuItem = nullptr;
  QMenu* EditMenuItem = nullptr;
  QMenu* ViewMenuItem = nullptr;
  QMenu* MenuMenuItem = nullptr;
  QMenu* HelpMenuItem = nullptr;
  QAction* FileToolBarMenuItem = nullptr;
  QAction* EditMenuMenuItem = nullptr;
  QAction* BoardsettingsMenuItem = nullptr;
  QAction* MouseActionsMenuItem = nullptr;
  QAction* About1 = nullptr;

  QMenu* SolderMenu = nullptr;
  QActionGroup* SolderShapeGroup = nullptr;
  QAction* CircleMenuItem = nullptr;
  QAction* SquareMenuItem = nullptr;
  // SMD pads: no hole, a width and a height of their own.
  QAction* SmdMenuItem = nullptr;

  std::array<QIcon, ImageCount> ActionImages;
  // The pad tool's picture while it places SMD pads, drawn here: two chip pads side by side.
  QIcon SmdPadImage;
  // The text tool's picture, drawn here: a letter in copper strokes.
  QIcon TextImage;
  // Edit > Edit Text...: the one selected text, in the text dialog.
  QAction* EditEditText = nullptr;
  // Copper fills (TMainForm_Fill.cpp): the tool's picture, drawn here, and the fill commands.
  QIcon FillImage;
  QAction* EditSetFillSeed = nullptr;
  QAction* ToolsFillBoard = nullptr;
  QAction* ViewShowFills = nullptr;

  // Milling (TMainForm_Mill.cpp): Tools > Process..., File > Export Milling Files..., View >
  // Show Milling, and the process the check, the prints and the preview follow.
  QAction* ToolsProcess = nullptr;
  QAction* FileExportMilling = nullptr;
  QAction* ViewShowMilling = nullptr;
  TMillProcess Process_;
  // The grooves and the gaps the bit cannot pass, worked out for the board at this change count
  // and this process; worked out again only when the preview is drawn after a change.
  struct TMillPreview {
    const void* Board = nullptr;
    uint64_t Generation = 0;
    TMillProcess Process;
    bool Valid = false;
    std::vector<TFillPath> Paths;
    std::vector<TFillPoint> Gaps;
  } MillPreview_;

  // The board check (TMainForm_Check.cpp): Edit > Select Connected, the Tools menu and the
  // Problems panel.
  QAction* EditSelectConnected = nullptr;
  QAction* ToolsCheckBoard = nullptr;
  QAction* ToolsCheckRules = nullptr;
  QMenu* ToolsMenuItem = nullptr;
  TProblemsPanel* ProblemsPanel = nullptr;
  // The snapped pointer position, the grid step, the element counts.
  TBoardStatusBar* StatusBar = nullptr;

  void CreateImages();
  // A tool picture drawn on a 16 by 16 canvas.
  static QIcon DrawnIcon(const std::function<void(QPainter&)>& draw);
  static QIcon DrawSmdPadImage();
  static QIcon DrawTextImage();
  static QIcon DrawFillImage();
  void CreateActions();
  // The undo history's actions, named after the step they would undo or redo.
  void CreateHistoryActions();
  void CreateMenus();
  void CreateBoardSettings();
  void CreateToolBars();
  void CreateMouseActionBar();
  // A key for each mouse tool, in the Tools menu and the buttons' tool tips.
  void CreateToolKeys();
  void CreateSolderMenu();
  // Parts at hand: rotate, mirror and the footprint commands.
  void CreatePartsCommands();
  void EditRotateExecute();
  void EditMirrorExecute();
  void EditInsertFootprintExecute();
  void EditSaveFootprintExecute();
  // Copper text (TMainForm_Text.cpp): the tool's dialog and Edit Text.
  void CreateTextCommands();
  void PlaceText(TPoint at);
  void EditText(int32_t index);
  void EditEditTextExecute();
  void UpdateEditText();
  // Copper fills (TMainForm_Fill.cpp): Set Fill Seed, Fill Board, Show Fills and the dialog a
  // double click on a fill opens.
  void CreateFillCommands();
  void EditSetFillSeedExecute();
  void ToolsFillBoardExecute();
  void UpdateSetFillSeed();
  // Choosing the fill tool or Fill Board shows hidden fills again.
  void ShowFillsToDraw();
  void EditFill(int32_t index);
  // Puts the footprint file's part as a selected block with its origin at the board point, as
  // one step; a file that cannot be read whole adds nothing and raises its error.
  void InsertFootprint(const QString& fileName, TPoint at);
  // The View menu, the status bar and the scale box following the wheel.
  void CreateView();
  // Millimetres beside the wire width box's fractions of a step: in its list, and for the chosen
  // width beside the box.
  void ShowWireWidthsInMm(QHBoxLayout* row);
  bool IsViewShortcut(const QKeySequence& key) const;
  void ViewZoomInExecute();
  void ViewZoomOutExecute();
  void ViewFitBoardExecute();
  void CreateCheck();
  void CreateMillCommands();
  void ToolsProcessExecute();
  void FileExportMillingExecute();
  // The check's rules as last saved, with the process's cut width when boards are milled.
  TCheckRules CheckRules() const;
  // What is drawn over the board: the milling preview while shown, then the check's markers
  // while the Problems panel is open.
  void UpdateOverlay();
  void DrawMilling();
  QAction* NewAction(const QString& caption, const QKeySequence& shortcut, int image,
                     void (TMainForm::*handler)());

  // Keys that act on the board wherever the focus is in the window.
  bool IsBoardShortcut(const QKeySequence& key) const;
  bool HandleShortcutOverride(QObject* watched, QKeyEvent* event);

  // Board settings.
  void GridModeComboChange(int index);
  void GridStepComboChange(int index);
  void ElementWidthComboChange(int index);
  void ScaleEditChange(int position);

  // File commands.
  void FileNewExecute();
  void FileOpenExecute();
  void FileSaveExecute();
  void FileSaveAsExecute();
  void FilePrintExecute();
  void FileExportPdfExecute();
  void FileExitExecute();
  bool FormClose();
  bool QuerySaveChanges();
  void ClearDocument();
  bool OpenDocument();
  bool SaveDocument();
  // Writes the board to the file, which becomes the board's; a failed write changes nothing.
  // Answers false when the user chose not to write it after all.
  bool SaveBoardAs(const QString& fileName);
  // Before a .wt5 file is written without the N elements it cannot hold, and with its texts as
  // bare strokes, the box says how many of each: true when the user saves all the same.
  bool ConfirmLeftOut(const QString& fileName, int32_t n, int32_t texts);
  // A board just loaded or restored: the start scale and the file's name in the title.
  void ShowNewBoard();
  QString ChooseSaveFileName();
  // A Save dialog for one kind of output file; empty when it was cancelled.
  QString ChooseOutputFile(const QString& caption, const QString& filter, const QString& suffix,
                           const QString& folder = QString());
  // The board's own file with another extension, proposed by the Export dialogs; empty for a
  // board without a file.
  QString ExportFileName(const QString& suffix) const;
  void SetScalePosition(int position);

  // Tool and edit commands.
  void MouseActionClick(int tag);
  void SolderButtonMouseUp(Qt::MouseButton button, const QPoint& position);
  void SolderMnuClick();
  void EditCutExecute();
  void EditCopyExecute();
  void EditPasteExecute();
  void EditDeleteExecute();
  void EditSelectAllExecute();
  void EditUndoExecute();
  void EditRedoExecute();
  void EditTakeBackWireExecute();

  // The board check.
  void EditSelectConnectedExecute();
  void ToolsCheckBoardExecute();
  void ToolsCheckRulesExecute();
  void RefreshProblems();
  void ShowProblem(int row);
  void DrawProblemMarkers();
  // Offers the boards of programs that ended without closing; answers whether one was restored.
  bool OfferLeftBoards();
  // The File menu's recent boards.
  void CreateRecentFileItems();
  void UpdateRecentFileItems();
  void OpenRecentFile(const QString& fileName);

  // The "Menu" menu.
  void MenuMenuItemClick();
  void About1Click();

  // Printing and outputs, in TMainForm_Print.cpp.
  void CreatePrintActions();
  void FilePrintPreviewExecute();
  void FilePrintOptionsExecute();
  void FilePrintCalibrationExecute();
  void FileExportSvgExecute();
  void FileExportFabricationExecute();

  // Destroyed before the editor it works on.
  std::unique_ptr<TBoardDocument> Document_;
};
