#include <QClipboard>
#include <QGuiApplication>

#include "TBoardCommand.h"
#include "TPCBLayout.h"
#include "TPcbText.h"

void TPCBLayout::CopyToClipboard() {
  const TElementList& list = *Elements_;
  bool any = false;
  for (int32_t i = 0; i < list.Count() && !any; ++i) any = list.Items(i)->Selected();
  // An empty selection leaves whatever the clipboard held.
  if (!any) return;
  const std::string text = WritePcbText(list, [](const TPCBElement& e) { return e.Selected(); });
  // Board text is single bytes; Latin-1 carries every byte over unchanged.
  QGuiApplication::clipboard()->setText(
      QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void TPCBLayout::CutToClipboard() {
  CopyToClipboard();
  RemoveSelected(QStringLiteral("Cut"));
}

void TPCBLayout::PasteFromClipboard() {
  const QByteArray bytes = QGuiApplication::clipboard()->text().toLatin1();
  const std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty()) return;
  // The text is read whole before the board is touched: a number out of range raises its error
  // with the board and the selection exactly as they were.
  int32_t passedOver = 0;
  TElementList::Storage pasted = ReadElements(this, lines, true, &passedOver);
  // Told even when nothing else came with them: the user sees why the paste brought nothing.
  emit RecordsPassedOver(passedOver);
  UnselectAll();
  if (pasted.empty()) {
    RenderBoard();
    return;
  }
  // One grid cell right and down, so the copy does not hide the elements it was taken from.
  const int32_t cell = UnitsPerStep / StepDivisorOf(GridStep_);
  for (auto& e : pasted) e->Move(cell, cell);
  const auto n = static_cast<int32_t>(pasted.size());
  AddElements(std::move(pasted), TBoardCommand::CountedName(QStringLiteral("Paste"), n));
}
