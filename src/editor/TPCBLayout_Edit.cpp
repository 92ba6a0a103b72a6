#include <QUndoStack>

#include "TAddElements.h"
#include "TBoardError.h"
#include "TChangeText.h"
#include "TCopperText.h"
#include "TMoveElements.h"
#include "TPCBLayout.h"
#include "TRemoveElements.h"
#include "TSmdPad.h"

// Every change to the board is made here, as one step of the undo history. Selecting is not a
// change: it is never undone.

// ---- History ----

void TPCBLayout::PushStep(QUndoCommand* step, bool chainWire) {
  // A step that is not the chain's own next wire ends walking the chain back: Ctrl+Z then undoes
  // that step, not a wire of the chain.
  ChainWires_ = chainWire ? ChainWires_ + 1 : 0;
  UndoStack_->push(step);
}

void TPCBLayout::StepThroughHistory(bool back) {
  if (back)
    UndoStack_->undo();
  else
    UndoStack_->redo();
}

void TPCBLayout::FinishDrag() {
  // A drag still under way becomes its step before anything else touches the board, the
  // selection or the file, so that it is undone as a whole and saved as it stands. The button
  // may still be down; the pointer moves nothing more until it is pressed again. A fill's corner
  // being dragged goes where it is shown now, the same way.
  if (CornerFill_ >= 0) EndCornerDrag(CornerPoint_);
  if (!Dragging_) return;
  Dragging_ = false;
  MoveButtonDown_ = false;
  EndDrag();
  DragBase_ = QImage();
  RenderBoard();
}

void TPCBLayout::EndPointerAction() {
  // A pending wire or band belongs to the board as it was; it ends before the board changes.
  FinishDrag();
  CancelAction();
}

void TPCBLayout::Undo() {
  if (!UndoStack_->canUndo()) return;
  if (TakeBackChainWire()) return;
  EndPointerAction();
  StepThroughHistory(true);
}

void TPCBLayout::Redo() {
  if (!UndoStack_->canRedo()) return;
  EndPointerAction();
  StepThroughHistory(false);
}

bool TPCBLayout::BackspacePressed() {
  if (!FillCorners_.empty()) {
    // The fill tool takes back the last corner; with none left the outline is dropped.
    FillCorners_.pop_back();
    ShowWireFeedback();
    return true;
  }
  if (!WirePending_) return false;
  if (!TakeBackChainWire()) CancelAction();
  return true;
}

bool TPCBLayout::TakeBackChainWire() {
  // While a chain is being drawn its last wire is the history's last step and the board's last
  // element; taking it back makes its start the pending point again.
  if (!WirePending_ || ChainWires_ <= 0 || !UndoStack_->canUndo()) return false;
  const TPoint start =
      static_cast<const TWire*>(Elements_->Items(Elements_->Count() - 1))->StartPoint();
  --ChainWires_;
  StepThroughHistory(true);
  WireStart_ = start;
  ShowWireFeedback();
  return true;
}

bool TPCBLayout::Modified() const { return DragMoved_ || !UndoStack_->isClean(); }

void TPCBLayout::SetModified(bool modified) {
  if (modified) {
    // No step of the history is the saved board any more, so undoing never clears it.
    UndoStack_->resetClean();
  } else {
    DragMoved_ = false;
    UndoStack_->setClean();
  }
}

void TPCBLayout::BoardReplaced() {
  // A wire, band or drag begun on the old board must not end on the new one.
  CancelAction();
  Dragging_ = false;
  MoveButtonDown_ = false;
  DragTotal_ = {0, 0};
  DragMoved_ = false;
  UndoStack_->clear();
  // An empty history is left as it was by clear(), even when declared changed.
  UndoStack_->setClean();
  emit BoardChanged();
}

void TPCBLayout::BoardSaved() { SetModified(false); }

void TPCBLayout::AddElements(TElementList::Storage&& elements, const QString& stepName) {
  if (elements.empty()) return;
  PushStep(new TAddElements(*Elements_, std::move(elements), stepName), false);
}

// ---- Selection ----

void TPCBLayout::UnselectAll() {
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i) list.Items(i)->SetSelected(false);
  emit SelectionChanged();
}

void TPCBLayout::ClearSelection() {
  UnselectAll();
  RenderBoard();
}

void TPCBLayout::SelectAll() {
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i) list.Items(i)->SetSelected(true);
  emit SelectionChanged();
  RenderBoard();
}

int32_t TPCBLayout::SelectedCount() const {
  int32_t n = 0;
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i) n += list.Items(i)->Selected() ? 1 : 0;
  return n;
}

std::vector<int32_t> TPCBLayout::SelectedIndices() const {
  std::vector<int32_t> indices;
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Selected()) indices.push_back(i);
  return indices;
}

void TPCBLayout::SelectInRect(TPoint corner1, TPoint corner2) {
  // The far edges reach one board unit further than the band's corner. At the very end of the
  // 32-bit range they stay where they are rather than wrap round to an empty rectangle.
  auto past = [](int32_t v) { return v == INT32_MAX ? v : v + 1; };
  const TRect rect{std::min(corner1.X, corner2.X), std::min(corner1.Y, corner2.Y),
                   past(std::max(corner1.X, corner2.X)), past(std::max(corner1.Y, corner2.Y))};
  const TElementList& list = *Elements_;
  // A hidden fill is out of the band's reach, as it is out of the pointer's.
  auto take = [&](TPCBElement* e) {
    if ((ShowFills_ || e->Kind() != ekFill) && e->InRect(rect)) e->SetSelected(true);
  };
  if (const TBoardIndex* index = FreshIndex()) {
    // Every element with a point in the rectangle has its box there too.
    index->Nearby(rect, Candidates_);
    for (int32_t i : Candidates_) take(list.Items(i));
  } else {
    for (int32_t i = 0; i < list.Count(); ++i) take(list.Items(i));
  }
  emit SelectionChanged();
}

// ---- Changes ----

void TPCBLayout::AddWire(TPoint boardPoint) {
  TElementList::Storage wire;
  wire.push_back(std::make_unique<TWire>(this, WireStart_, boardPoint, StepDivisorOf(WireWidth_)));
  PushStep(new TAddElements(*Elements_, std::move(wire), QStringLiteral("Add Wire")), true);
  DrawSpot(SpotPoint_);
}

void TPCBLayout::AddSolder(TPoint boardPoint) {
  TElementList::Storage pad;
  pad.push_back(std::make_unique<TSolder>(this, boardPoint, SolderInternalDiameter_,
                                          SolderExternalDiameter_, SolderGeometry_));
  PushStep(new TAddElements(*Elements_, std::move(pad), QStringLiteral("Add Pad")), false);
  DrawSpot(SpotPoint_);
}

void TPCBLayout::AddSmdPad(TPoint boardPoint) {
  TElementList::Storage pad;
  pad.push_back(std::make_unique<TSmdPad>(this, boardPoint, SmdWidth_, SmdHeight_, SmdRoundness_));
  PushStep(new TAddElements(*Elements_, std::move(pad), QStringLiteral("Add SMD Pad")), false);
  DrawSpot(SpotPoint_);
}

void TPCBLayout::DeleteAt(TPoint pixel) {
  const TPCBElement* e = ElementAt(pixel);
  if (!e) return;
  const TElementList& list = *Elements_;
  for (int32_t i = list.Count() - 1; i >= 0; --i) {
    if (list.Items(i) != e) continue;
    // The render after the step wipes the hover highlight and forgets it with its element.
    PushStep(new TRemoveElements(*Elements_, {i}, TBoardCommand::CountedName("Delete", 1)), false);
    return;
  }
}

void TPCBLayout::RemoveSelected(const QString& verb) {
  std::vector<int32_t> indices = SelectedIndices();
  if (indices.empty()) return;
  const auto n = static_cast<int32_t>(indices.size());
  PushStep(new TRemoveElements(*Elements_, std::move(indices), TBoardCommand::CountedName(verb, n)),
           false);
}

void TPCBLayout::DeleteSelected() { RemoveSelected(QStringLiteral("Delete")); }

void TPCBLayout::MoveSelected(int32_t dx, int32_t dy) {
  // One step of a drag: the elements follow the pointer, and the whole drag becomes one step of
  // the history when the button is let go.
  int32_t first = -1;
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i) {
    TPCBElement* e = list.Items(i);
    if (!e->Selected()) continue;
    e->Move(dx, dy);
    if (first < 0) first = i;
  }
  if (first < 0) return;
  // The drag's kept image leaves the moved elements out, so it stays good through their moves.
  const bool keptImageGood = DragBaseGeneration_ == Elements_->Generation();
  Elements_->Changed(first);
  if (keptImageGood) DragBaseGeneration_ = Elements_->Generation();
  DragMoved_ = true;
  // A drag step draws only the dragged elements over the rest of the board, kept from its start.
  if (Dragging_)
    ComposeDrag();
  else
    RenderBoard();
}

void TPCBLayout::EndDrag() {
  const TPoint moved = DragTotal_;
  DragTotal_ = {0, 0};
  // From here the history alone says whether the board changed: dragged away and back, the
  // board is as it was.
  DragMoved_ = false;
  std::vector<int32_t> indices = SelectedIndices();
  if (indices.empty() || (moved.X == 0 && moved.Y == 0)) return;
  const auto n = static_cast<int32_t>(indices.size());
  PushStep(new TMoveElements(*Elements_, std::move(indices), moved,
                             TBoardCommand::CountedName("Move", n), true),
           false);
}

void TPCBLayout::AddText(TPoint anchor, const TTextFields& fields) {
  const std::string problem = fields.Problem();
  if (!problem.empty()) throw EBoardError(problem);
  TElementList::Storage text;
  text.push_back(std::make_unique<TCopperText>(this, anchor, fields.Text, fields.Height,
                                               fields.StrokeWidth, fields.Turns,
                                               fields.CopperSide));
  PushStep(new TAddElements(*Elements_, std::move(text), QStringLiteral("Add Text")), false);
  if (MouseInside_ && MouseAction_ == maText) DrawSpot(SpotPoint_);
}

void TPCBLayout::ChangeText(int32_t index, const TTextFields& fields) {
  if (index < 0 || index >= Elements_->Count() || Elements_->Items(index)->Kind() != ekText) return;
  const std::string problem = fields.Problem();
  if (!problem.empty()) throw EBoardError(problem);
  const auto& text = static_cast<const TCopperText&>(*Elements_->Items(index));
  TTextFields before = TTextFields::Of(text);
  if (before == fields) return;
  EndPointerAction();
  PushStep(
      new TChangeText(*Elements_, index, std::move(before), fields, QStringLiteral("Edit Text")));
}

int32_t TPCBLayout::TextToEdit() const {
  const TElementList& list = *Elements_;
  int32_t found = -1;
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (!list.Items(i)->Selected() || list.Items(i)->Kind() != ekText) continue;
    // Of several selected texts none is the one meant.
    if (found >= 0) return -1;
    found = i;
  }
  return found;
}
