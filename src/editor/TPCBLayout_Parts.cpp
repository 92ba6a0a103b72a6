// Editing what is placed: settings given to the selection, quarter turns and mirrors, and parts
// put down or kept as footprints. Each change is one step of the history.
#include <QCursor>

#include "TBoardCommand.h"
#include "TPCBLayout.h"
#include "TPadSize.h"
#include "TPcbText.h"
#include "TTransformElements.h"

void TPCBLayout::ChangeSelected(TElementProperty property, int32_t value) {
  std::vector<int32_t> indices, oldValues;
  const TElementList& list = *Elements_;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TPCBElement& e = *list.Items(i);
    if (!e.Selected() || !TChangeElements::AppliesTo(e, property)) continue;
    const int32_t old = TChangeElements::ValueOf(e, property);
    if (old == value) continue;
    // Checked before anything changes: a step never fails half way.
    if (property == epPadSize)
      CheckHoleFits(static_cast<const TSolder&>(e).InternalDiameter(), value);
    if (property == epHole) CheckHoleFits(value, static_cast<const TSolder&>(e).ExternalDiameter());
    indices.push_back(i);
    oldValues.push_back(old);
  }
  if (indices.empty()) return;
  static const char* const verbs[] = {"Change Width of", "Resize", "Change Hole of",     "Reshape",
                                      "Resize",          "Resize", "Change Roundness of"};
  const QString text =
      TBoardCommand::CountedName(QLatin1String(verbs[property]), int32_t(indices.size()));
  PushStep(new TChangeElements(*Elements_, property, value, std::move(indices),
                               std::move(oldValues), text));
}

void TPCBLayout::TurnSelected(TTurn turn, const QString& verb) {
  // In the middle of a drag the drag's own step is still to come; turning now would leave it
  // undoing the wrong way.
  if (Dragging_) return;
  std::vector<int32_t> indices = SelectedIndices();
  TRect extent;
  if (!PointsExtent(*Elements_, indices, extent)) return;
  const TPoint pivot = TurnPivot(extent, UnitsPerStep / StepDivisorOf(GridStep_));
  const auto n = static_cast<int32_t>(indices.size());
  PushStep(new TTransformElements(*Elements_, std::move(indices), pivot, turn,
                                  TBoardCommand::CountedName(verb, n)));
}

void TPCBLayout::RotateSelected() { TurnSelected(tnRotate, QStringLiteral("Rotate")); }

void TPCBLayout::MirrorSelected() { TurnSelected(tnMirror, QStringLiteral("Mirror")); }

void TPCBLayout::InsertElements(TElementList::Storage&& elements, TPoint at,
                                const QString& stepName) {
  UnselectAll();
  for (auto& e : elements) {
    e->Move(at.X, at.Y);
    e->SetSelected(true);
  }
  if (elements.empty()) {
    RenderBoard();
    return;
  }
  AddElements(std::move(elements), stepName);
}

TPoint TPCBLayout::PointerBoardPoint() const {
  QPoint local = mapFromGlobal(QCursor::pos());
  if (!rect().contains(local)) local = rect().center();
  return ScreenToBoard({local.x(), local.y()});
}

std::string TPCBLayout::SelectionAsFootprint() {
  const std::vector<int32_t> indices = SelectedIndices();
  TRect extent;
  if (!PointsExtent(*Elements_, indices, extent)) return {};
  // Whole base steps only, so pads on the grid stay on it wherever the part is put down.
  auto floorStep = [](int32_t v) {
    const int32_t r = v % UnitsPerStep;
    return r < 0 ? WSub(v, r + UnitsPerStep) : WSub(v, r);
  };
  const int32_t dx = WNeg(floorStep(extent.Left)), dy = WNeg(floorStep(extent.Top));
  TElementList part(this);
  for (int32_t i : indices) {
    std::unique_ptr<TPCBElement> copy = Elements_->Items(i)->Clone(this);
    copy->Move(dx, dy);
    part.Append(std::move(copy));
  }
  return WritePcbText(part, [](const TPCBElement&) { return true; });
}
