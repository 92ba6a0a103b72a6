#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "TArtworkOptions.h"
#include "TBoardIndex.h"
#include "TBoardMath.h"
#include "TCanvas.h"
#include "TChangeElements.h"
#include "TChangeFills.h"
#include "TElementList.h"
#include "TElementTransform.h"
#include "TLayoutView.h"

class QPrinter;
class QUndoCommand;
class QUndoStack;
class TCopperText;
struct TTextFields;

// The text tool, numbered after the five tools every board file's editor has had: a press puts
// a copper text at the grid point, once the user has said what it reads.
constexpr TMouseAction maText = TMouseAction(maMove + 1);
// The fill tool: presses on grid points place the corners of a fill's outline, which a double
// click or a press on the first corner closes.
constexpr TMouseAction maFill = TMouseAction(maText + 1);

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
  // The pad tool places SMD pads instead of through-hole pads while SmdChosen holds; the
  // through-hole SolderGeometry is kept for when it no longer does. Sizes in board units,
  // roundness in percent of the smaller side.
  bool SmdChosen() const { return SmdChosen_; }
  void SetSmdChosen(bool smd) { SmdChosen_ = smd; }
  int32_t SmdWidth() const { return SmdWidth_; }
  void SetSmdWidth(int32_t w) { SmdWidth_ = w; }
  int32_t SmdHeight() const { return SmdHeight_; }
  void SetSmdHeight(int32_t h) { SmdHeight_ = h; }
  int32_t SmdRoundness() const { return SmdRoundness_; }
  void SetSmdRoundness(int32_t r) { SmdRoundness_ = r; }
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
  // Whether the board has changes not yet saved: the history is away from the step the board was
  // last saved or loaded at, or a drag has moved elements that are not a step yet. A new or
  // loaded board, saving, and undoing back to that step clear it.
  bool Modified() const;
  // False takes the board as it stands for the saved one; true makes it count as changed until
  // it is saved or replaced, whatever is undone.
  void SetModified(bool modified);
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

  // Navigation. Panning moves the rendered image and renders only the strips it uncovers, with
  // the same pixels a full render at the new offset gives.
  void PanTo(TPoint offset);
  // The scale a number of wheel notches leads to (positive in, negative out): each notch makes a
  // grid cell about 1.25 times larger or smaller, within the scale box's range of -9 to 500.
  static int32_t ZoomedScale(int32_t scale, TPCBStep step, int32_t notches);
  // Sets the scale keeping the board point under a control pixel where it is, in one render.
  void ZoomAt(int32_t scale, TPoint pixel);
  void ZoomBy(int32_t notches, TPoint pixel) {
    ZoomAt(ZoomedScale(GridScale_, GridStep_, notches), pixel);
  }
  // The largest scale that shows every element with one grid step to spare around them, the
  // board centred; an empty board goes back to the start view.
  void FitBoard();
  // The snapped board point under the pointer, as last seen.
  TPoint PointerPoint() const { return ScreenToBoard(LastPointer_); }
  int32_t SelectedCount() const;

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
  // Makes a drag under way its own step now, as the button's release would; every command of
  // the window runs it first.
  void FinishDrag();
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
  // Lights the elements at these list positions over the board (into Canvas) in a colour of
  // their own, as the delete tool's hover does, so they never look selected. Selected ones keep
  // the selection's colour.
  void DrawLit(const std::vector<int32_t>& indices, TColor colour);

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

  // Parts at hand. A setting given to the selection: the wire width (as a WidthDivisor) to the
  // selected wires, a pad size, hole or Geometry to the selected pads, as one step; nothing
  // when no selected element changes. A pad whose hole would not be smaller than the pad raises
  // its error first, and nothing changes.
  void ChangeSelected(TElementProperty property, int32_t value);
  // A quarter turn clockwise, or a mirror left to right, of the selection about the grid point
  // nearest the middle of its extent, as one step.
  void RotateSelected();
  void MirrorSelected();
  // A part put on the board as one selected block, its origin at the board point, in place of
  // the selection; ready to be dragged, as a paste is.
  void InsertElements(TElementList::Storage&& elements, TPoint at, const QString& stepName);
  // The grid point under the pointer, or under the middle of the control while the pointer is
  // elsewhere (over a menu or a dialog).
  TPoint PointerBoardPoint() const;
  // The selection as .pcb text, moved so that the base-step grid point at or above and left of
  // its extent is the origin: how a part is kept in a footprint file. Empty with no selection.
  std::string SelectionAsFootprint();

  // Mouse tool steps.
  TPCBElement* ElementAt(TPoint pixel) const;
  void AddWire(TPoint boardPoint);
  void AddSolder(TPoint boardPoint);
  void AddSmdPad(TPoint boardPoint);
  void DeleteAt(TPoint pixel);

  // Copper text. A new text at the anchor, as one step; a text given new fields in place, as
  // one step, none when nothing changes. Fields a text cannot have raise their error and change
  // nothing.
  void AddText(TPoint anchor, const TTextFields& fields);
  void ChangeText(int32_t index, const TTextFields& fields);
  // The list position of the text that Edit Text works on: the one text among the selected
  // elements; -1 for none or for several.
  int32_t TextToEdit() const;
  // Texts are strokes of copper like wires: they are drawn with the wires, under the pads.
  static bool DrawnWithWires(const TPCBElement& e) {
    return e.Kind() == ekWire || e.Kind() == ekText;
  }
  void SelectInRect(TPoint corner1, TPoint corner2);
  void DrawSpot(TPoint pixel);

  // Copper fills. Hidden fills are left off the screen and out of reach of the pointer; the
  // board, its prints and its files keep them.
  bool ShowFills() const { return ShowFills_; }
  void SetShowFills(bool show);
  // The settings a new fill takes.
  const TFillSettings& FillSettings() const { return FillSettings_; }
  void SetFillSettings(const TFillSettings& settings) { FillSettings_ = settings; }
  // The corners of the outline the fill tool is drawing, in order; empty while none is begun.
  const std::vector<TPoint>& FillCorners() const { return FillCorners_; }
  bool FillPending() const { return !FillCorners_.empty(); }
  // Where a new fill is seeded: the place of the first selected element in list order that has
  // one (a pad's centre, a wire's start, a text's anchor; a fill has none). False for none.
  bool SelectionSeed(TPoint& seed) const;
  // A new fill with these corners, seeded from the selection and with FillSettings, as one step.
  void AddFill(std::vector<TPoint> corners, const QString& stepName = QStringLiteral("Add Fill"));
  // A fill over the whole board: its outline is the board's edge as the fabrication files take
  // it, from the copper that is not fill. Raises an error on a board with no such copper.
  void FillBoard();
  // Set Fill Seed applies: fills are selected, and exactly one other element.
  bool CanSetFillSeed() const;
  // The selected fills are seeded at the other selected element's place, as one step.
  void SetFillSeed();
  // A fill given new settings, as one step; none when nothing changes.
  void ChangeFillSettings(int32_t index, const TFillSettings& settings);
  // A fill whose corner the move tool is dragging, and which corner; -1 while none is.
  int32_t CornerFill() const { return CornerFill_; }
  // The move tool is dragging elements or a fill's corner: the board changes at every step and
  // settles when the button is let go.
  bool Dragging() const { return Dragging_ || CornerFill_ >= 0; }

  // The element whose delete-tool highlight is on the screen now, if any. Every copy of the
  // board back to the screen wipes the highlight and forgets it, so it never names an element
  // that was freed or replaced by a load.
  const TPCBElement* HoverElement() const { return HoverElement_; }

  // Rendering passes over elements wholly outside the control; turning that off gives the same
  // pixels more slowly, which tests and benchmarks compare against.
  void SetCulling(bool enabled);
  bool Culling() const { return Culling_; }
  // Culling, the element under the pointer and the band ask the spatial index rather than walk
  // the board; turning that off walks the list, which tests compare against.
  void SetIndexed(bool enabled) { Indexed_ = enabled; }
  bool Indexed() const { return Indexed_; }

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
  // The scale changed, from the scale box or from zooming here.
  void GridScaleChanged(int32_t scale);
  // The snapped board point under the pointer moved, or the view moved under it.
  void PointerMoved(TPoint boardPoint);
  // Elements were selected or unselected.
  void SelectionChanged();
  // A paste passed over this many records of kinds this version does not know (0: none).
  void RecordsPassedOver(int32_t count);
  // The text tool was pressed at a grid point: the window asks what the text reads and puts it
  // there with AddText.
  void TextWanted(TPoint anchor);
  // A text was double-clicked with the move tool: the window asks for its new fields and gives
  // them with ChangeText.
  void TextEditWanted(int32_t index);
  // A fill was double-clicked with the move tool: the window shows its settings and gives the
  // new ones with ChangeFillSettings.
  void FillEditWanted(int32_t index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void RecomputeCellSize();

  int32_t SnapAxis(int32_t pixel, int32_t offset) const;
  void FitImages();
  void DrawDotGrid(const QRect& area);
  void DrawLineGrid(const QRect& area);
  void CollectVisible(int32_t stepPixels, const QRect& area, bool skipSelected);
  bool ElementVisible(const TPCBElement& e, int32_t stepPixels, const QRect& area) const;
  // Renders one part of the board image, with the pixels a full render gives there.
  void RenderArea(const QRect& area, bool skipSelected = false);
  void ScrollImage(int32_t dx, int32_t dy);
  // Redraws the tool's feedback for the pointer where it is, after the view moved under it.
  void TrackPointer(TPoint raw, bool viewMoved);
  void NotePointer();
  void ScrollBy(int32_t dx, int32_t dy);
  void ViewMoved();
  // A drag step: the board without the dragged elements, rendered once, under them.
  void ComposeDrag();

  // The spatial index, brought in step with the board; null when it is not used.
  const TBoardIndex* FreshIndex() const;
  // How far from the origin, in board units, an element may reach for every coordinate it
  // shows at, at this offset and within Reach pixels of the control, to be worked out without
  // wrapping, so that the index can answer for the screen; negative when none can.
  int64_t ScreenReach(TPoint offset, int64_t reach) const;
  // Whether that holds for every element of the board.
  bool ScreenExact(TPoint offset, int64_t reach) const;
  // The board rectangle holding every element within ScreenReach that may show within the
  // control pixels of Area (grown by Margin); only valid where ScreenReach is not negative.
  TRect BoardRectFor(const QRect& area, int64_t margin) const;
  bool MayHitWire(const TWire& wire, TPoint pixel, int32_t stepPixels) const;
  bool MayHitPad(const TSolder& pad, TPoint pixel, int32_t stepPixels) const;
  bool TextVisible(const TCopperText& text, int32_t stepPixels, const QRect& area) const;
  void DrawSpotIn(TPoint pixel, TColor colour);
  void ShowWireFeedback();
  // The fill tool's press at a grid point, its double click, Backspace.
  void FillPressed(TPoint boardPoint);
  void CloseFill();
  // A corner of a shown fill within a few pixels of the control pixel, the last fill first.
  bool CornerAt(TPoint pixel, int32_t& fill, size_t& corner) const;
  void ShowCornerFeedback();
  void EndCornerDrag(TPoint boardPoint);
  void PushFillChanges(std::vector<TChangeFills::TChange> changes, const QString& name);
  bool TakeBackChainWire();
  void StepThroughHistory(bool back);
  void EndDrag();
  void EndPointerAction();
  void TurnSelected(TTurn turn, const QString& verb);
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
  // An 0805 chip's pad as hand soldering wants it, 1.27 x 1.43 mm, its corners rounded by a
  // quarter of the smaller side as current land patterns draw them.
  bool SmdChosen_ = false;
  int32_t SmdWidth_ = 8;
  int32_t SmdHeight_ = 9;
  int32_t SmdRoundness_ = 25;
  TGridMode GridMode_ = gmDot;
  TPCBStep GridStep_ = gs1;
  int32_t GridScale_ = 0;
  TMouseAction MouseAction_ = maWire;
  TColor FocusColor_ = 0x000000;

  int32_t CellSize_ = 10;
  TPoint ViewOffset_;
  bool Culling_ = true;
  // The elements of one render that reach the control, fills, wires and texts, and pads each
  // apart, in list order; hidden fills are left out.
  std::vector<const TPCBElement*> VisibleWires_;
  std::vector<const TPCBElement*> VisiblePads_;
  std::vector<const TPCBElement*> VisibleFills_;
  bool Indexed_ = true;
  mutable TBoardIndex BoardIndex_;
  mutable std::vector<int32_t> Candidates_;

  // Navigation state.
  TPoint LastPointer_;
  TPoint LastPointerPoint_;
  bool MiddleDown_ = false;
  TPoint MiddleAnchor_;
  int32_t WheelAngle_ = 0;
  double PinchZoom_ = 0;
  // What the kept image of a drag was rendered for: the view and colours, and the board's
  // change count (which the drag's own steps carry forward).
  std::array<int64_t, 12> DragBaseView() const;
  QImage DragBase_;
  bool DragBaseValid_ = false;
  std::array<int64_t, 12> DragBaseKey_{};
  uint64_t DragBaseGeneration_ = 0;
  std::vector<const TPCBElement*> DraggedWires_;
  std::vector<const TPCBElement*> DraggedPads_;
  std::vector<const TPCBElement*> DraggedFills_;

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
  // Elements were moved by a drag (or by MoveSelected on its own) that no step holds yet.
  bool DragMoved_ = false;
  // Wires of the pending chain still on top of the history, to be walked back one by one.
  int32_t ChainWires_ = 0;
  bool MoveButtonDown_ = false;
  bool Dragging_ = false;
  bool MouseInside_ = false;
  const TPCBElement* HoverElement_ = nullptr;
  std::function<void()> Overlay_;
  // Fills.
  bool ShowFills_ = true;
  TFillSettings FillSettings_;
  std::vector<TPoint> FillCorners_;
  int32_t CornerFill_ = -1;
  size_t CornerIndex_ = 0;
  TPoint CornerPoint_;
};
