#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "TArtworkOptions.h"
#include "TBoardMath.h"
#include "TCanvas.h"
#include "TElementList.h"
#include "TLayoutView.h"

class QPrinter;
class QUndoCommand;
class QUndoStack;

// The board editing widget: it owns the board, renders it over its grid at the chosen scale into
// BoardImage, turns pointer input into editing actions, keeps the selection, exchanges elements
// with the clipboard and prints. It never takes the keyboard focus: keys reach it only through
// the main window. Every pixel the user sees is first drawn into Canvas(), so tests read it back
// without a display.
class TPCBLayout : public QWidget, public TLayoutView {
  Q_OBJECT

 public:
  explicit TPCBLayout(QWidget* parent = nullptr);
  ~TPCBLayout() override;

  // Published properties. Setters store the value and re-render or repaint as the board needs.
  TColor Color() const override { return Color_; }
  void SetColor(TColor c);
  TColor GridColor() const { return GridColor_; }
  void SetGridColor(TColor c);
  TColor SpotColor() const { return SpotColor_; }
  void SetSpotColor(TColor c);
  TPCBStep WireWidth() const { return WireWidth_; }
  void SetWireWidth(TPCBStep w);
  TColor WireColor() const override { return WireColor_; }
  void SetWireColor(TColor c);
  TColor SolderColor() const override { return SolderColor_; }
  void SetSolderColor(TColor c);
  int32_t SolderExternalDiameter() const { return SolderExternalDiameter_; }
  void SetSolderExternalDiameter(int32_t d) { SolderExternalDiameter_ = d; }
  TSolderGeometry SolderGeometry() const { return SolderGeometry_; }
  void SetSolderGeometry(TSolderGeometry g) { SolderGeometry_ = g; }
  int32_t SolderInternalDiameter() const { return SolderInternalDiameter_; }
  void SetSolderInternalDiameter(int32_t d) { SolderInternalDiameter_ = d; }
  TGridMode GridMode() const { return GridMode_; }
  void SetGridMode(TGridMode m);
  TPCBStep GridStep() const override { return GridStep_; }
  void SetGridStep(TPCBStep s);
  int32_t GridScale() const { return GridScale_; }
  void SetGridScale(int32_t s);
  TMouseAction MouseAction() const { return MouseAction_; }
  void SetMouseAction(TMouseAction a);
  TColor FocusColor() const override { return FocusColor_; }
  void SetFocusColor(TColor c);

  // State.
  TElementList& Elements() { return *Elements_; }
  const TElementList& Elements() const { return *Elements_; }
  // Whether the board has changes not yet saved: set by every change, cleared by a new or loaded
  // board, by saving, and by undoing back to the board as it was last saved or loaded.
  bool Modified() const { return Modified_; }
  void SetModified(bool modified) { Modified_ = modified; }
  void BoardReplaced() override;
  void BoardSaved() override;
  int32_t CellSize() const override { return CellSize_; }
  TPoint ViewOffset() const override { return ViewOffset_; }
  void SetViewOffset(TPoint offset) override { ViewOffset_ = offset; }
  const QImage& BoardImage() const { return BoardImage_; }
  // What the user sees: BoardImage with the pointer feedback drawn over it.
  const QImage& CanvasImage() const { return CanvasImage_; }

  // View.
  TPoint BoardToScreen(TPoint p) const;
  TPoint ScreenToBoard(TPoint p) const;
  void RenderBoard() override;
  void Paint();

  // The undo history. Every change to the board is one step of it, pushed through PushStep.
  QUndoStack& UndoStack() const { return *UndoStack_; }
  void PushStep(QUndoCommand* step, bool chainWire = false);
  // Undo first ends a pending wire or band, except that while a wire chain is pending it takes
  // back the chain's last wire and makes its start the pending point again.
  void Undo();
  void Redo();
  // Backspace while a wire is pending: takes back the chain's last wire, or with none drawn yet
  // drops the pending start. Answers whether the key was used.
  bool BackspacePressed();
  // Whether a wire's start is placed and waits for its end.
  bool WirePending() const { return WirePending_; }
  // New elements put on the board as one step, keeping the selection marks they carry (a paste
  // or a footprint comes selected, ready to be dragged).
  void AddElements(TElementList::Storage&& elements, const QString& stepName);
  // List positions of the selected elements, ascending.
  std::vector<int32_t> SelectedIndices() const;
  // Adds to the selection all the copper connected to a selected element. Like every
  // selection, it is not a step of the history.
  void SelectConnected();
  // Drawn over the board into Canvas each time the board is copied back to the screen, as the
  // pointer feedback is, and so never into BoardImage: the board check's markers.
  void SetOverlay(std::function<void()> draw);

  // Board commands.
  void Clear();
  void CancelAction() override;
  void ClearSelection();
  void SelectAll();
  void DeleteSelected();
  void MoveSelected(int32_t dx, int32_t dy);
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // Prints the board at true size on the default printer, as the artwork options say.
  void Print(const TArtworkOptions& options = {});
  // The same page on a printer already chosen and set up, such as one writing to a file.
  void PrintOn(QPrinter& printer, const TArtworkOptions& options = {});
  // Writes the same page as a PDF file, as artwork to print at 100 % anywhere.
  void ExportPdf(const QString& fileName, const TArtworkOptions& options = {});

  // Takes the selection off the board as one step named after the verb ("Delete", "Cut").
  void RemoveSelected(const QString& verb);

  // Mouse tool steps.
  TPCBElement* ElementAt(TPoint pixel) const;
  void AddWire(TPoint boardPoint);
  void AddSolder(TPoint boardPoint);
  void DeleteAt(TPoint pixel);
  void SelectInRect(TPoint corner1, TPoint corner2);
  void DrawSpot(TPoint pixel);

  // The element whose delete-tool highlight is on the screen now, if any. Every copy of the
  // board back to the screen wipes the highlight and forgets it, so it never names an element
  // that was freed or replaced by a load.
  const TPCBElement* HoverElement() const { return HoverElement_; }

  // Rendering passes over elements wholly outside the control; turning that off gives the same
  // pixels more slowly, which tests and benchmarks compare against.
  void SetCulling(bool enabled);
  bool Culling() const { return Culling_; }

  // TLayoutView surfaces.
  TCanvas& BoardCanvas() override { return *BoardCanvas_; }
  TCanvas& Canvas() override { return *Canvas_; }
  TCanvas* PrinterCanvas() override { return PrinterCanvas_; }
  int32_t PrinterResolution() const override { return PrinterResolution_; }
  void SetPrinter(TCanvas* canvas, int32_t dotsPerInch) override {
    PrinterCanvas_ = canvas;
    PrinterResolution_ = dotsPerInch;
  }

 signals:
  // The board changed: a step was done or undone, or a new board replaced it.
  void BoardChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void RecomputeCellSize();

  int32_t SnapAxis(int32_t pixel, int32_t offset) const;
  void FitImages();
  void DrawDotGrid();
  void DrawLineGrid();
  void CollectVisible(int32_t stepPixels);
  bool MayHitWire(const TWire& wire, TPoint pixel, int32_t stepPixels) const;
  bool MayHitPad(const TSolder& pad, TPoint pixel, int32_t stepPixels) const;
  void DrawSpotIn(TPoint pixel, TColor colour);
  void ShowWireFeedback();
  bool TakeBackChainWire();
  void StepThroughHistory(bool back);
  void EndDrag();
  void EndPointerAction();
  void UnselectAll();

  std::unique_ptr<TElementList> Elements_;
  // Owned as a child object; declared after the board and destroyed before it by the
  // destructor, since its steps hold elements of the board's.
  QUndoStack* UndoStack_ = nullptr;
  QImage BoardImage_;
  QImage CanvasImage_;
  std::unique_ptr<TCanvas> BoardCanvas_;
  std::unique_ptr<TCanvas> Canvas_;
  TCanvas* PrinterCanvas_ = nullptr;
  int32_t PrinterResolution_ = 0;

  TColor Color_ = 0xFFFFFF;
  TColor GridColor_ = 0x000000;
  TColor SpotColor_ = 0x0000FF;
  TPCBStep WireWidth_ = gs1By4;
  TColor WireColor_ = 0x008000;
  TColor SolderColor_ = 0x008000;
  int32_t SolderExternalDiameter_ = 16;
  TSolderGeometry SolderGeometry_ = sgCircle;
  int32_t SolderInternalDiameter_ = 4;
  TGridMode GridMode_ = gmDot;
  TPCBStep GridStep_ = gs1;
  int32_t GridScale_ = 0;
  TMouseAction MouseAction_ = maWire;
  TColor FocusColor_ = 0x000000;

  int32_t CellSize_ = 10;
  TPoint ViewOffset_;
  bool Modified_ = false;
  bool Culling_ = true;
  // The elements of one render that reach the control, wires and pads apart, in list order.
  std::vector<const TPCBElement*> VisibleWires_;
  std::vector<const TPCBElement*> VisiblePads_;

  // Mouse tool state.
  TPoint WireStart_;
  bool WirePending_ = false;
  TPoint SpotPoint_;
  TPoint BandStart_;
  TPoint BandEnd_;
  bool Banding_ = false;
  TPoint DragAnchor_;
  TPoint LastDragPoint_;
  TPoint DragDelta_;
  TPoint DragTotal_;
  // Wires of the pending chain still on top of the history, to be walked back one by one.
  int32_t ChainWires_ = 0;
  bool MoveButtonDown_ = false;
  bool Dragging_ = false;
  bool MouseInside_ = false;
  const TPCBElement* HoverElement_ = nullptr;
  std::function<void()> Overlay_;
};
