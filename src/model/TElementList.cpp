#include "TElementList.h"

TWire* TElementList::AddWire(TPoint start, TPoint end, int32_t widthDivisor) {
  auto wire = std::make_unique<TWire>(Layout_, start, end, widthDivisor);
  TWire* result = wire.get();
  Elements_.push_back(std::move(wire));
  return result;
}

TSolder* TElementList::AddSolder(TPoint center, int32_t internalDiameter, int32_t externalDiameter,
                                 uint8_t geometry) {
  auto pad =
      std::make_unique<TSolder>(Layout_, center, internalDiameter, externalDiameter, geometry);
  TSolder* result = pad.get();
  Elements_.push_back(std::move(pad));
  return result;
}

void TElementList::Append(std::unique_ptr<TPCBElement> element) {
  Elements_.push_back(std::move(element));
}

void TElementList::AppendAll(Storage&& elements) {
  Elements_.reserve(Elements_.size() + elements.size());
  for (auto& e : elements) Elements_.push_back(std::move(e));
  elements.clear();
}

void TElementList::Delete(int32_t index) { Elements_.erase(Elements_.begin() + index); }

bool TElementList::Remove(const TPCBElement* element) {
  for (auto it = Elements_.begin(); it != Elements_.end(); ++it) {
    if (it->get() == element) {
      Elements_.erase(it);
      return true;
    }
  }
  return false;
}

void TElementList::Replace(Storage&& elements) {
  Storage old;
  old.swap(Elements_);
  Elements_.swap(elements);
  elements.clear();
}

void TElementList::FreeAll() {
  // Last to first, as the board's elements have always been freed.
  while (!Elements_.empty()) Elements_.pop_back();
}

void TElementList::Clear() {
  FreeAll();
  Layout_->SetViewOffset({0, 0});
  Layout_->SetModified(false);
  Layout_->CancelAction();
  Layout_->RenderBoard();
}
