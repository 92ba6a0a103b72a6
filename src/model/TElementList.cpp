#include "TElementList.h"

TWire* TElementList::AddWire(TPoint start, TPoint end, int32_t widthDivisor) {
  auto wire = std::make_unique<TWire>(Layout_, start, end, widthDivisor);
  TWire* result = wire.get();
  Elements_.push_back(std::move(wire));
  Changed();
  return result;
}

TSolder* TElementList::AddSolder(TPoint center, int32_t internalDiameter, int32_t externalDiameter,
                                 uint8_t geometry) {
  auto pad =
      std::make_unique<TSolder>(Layout_, center, internalDiameter, externalDiameter, geometry);
  TSolder* result = pad.get();
  Elements_.push_back(std::move(pad));
  Changed();
  return result;
}

void TElementList::Append(std::unique_ptr<TPCBElement> element) {
  Elements_.push_back(std::move(element));
  Changed();
}

void TElementList::AppendAll(Storage&& elements) {
  Elements_.reserve(Elements_.size() + elements.size());
  for (auto& e : elements) Elements_.push_back(std::move(e));
  elements.clear();
  Changed();
}

void TElementList::Delete(int32_t index) {
  Elements_.erase(Elements_.begin() + index);
  Changed();
}

std::unique_ptr<TPCBElement> TElementList::Take(int32_t index) {
  std::unique_ptr<TPCBElement> e = std::move(Elements_[static_cast<size_t>(index)]);
  Elements_.erase(Elements_.begin() + index);
  Changed();
  return e;
}

void TElementList::Insert(int32_t index, std::unique_ptr<TPCBElement> element) {
  Elements_.insert(Elements_.begin() + index, std::move(element));
  Changed();
}

TElementList::Storage TElementList::TakeAt(const std::vector<int32_t>& indices) {
  // One pass closes every gap: the elements kept slide down over the ones taken.
  Storage taken;
  taken.reserve(indices.size());
  size_t next = 0, kept = 0;
  for (size_t i = 0; i < Elements_.size(); ++i) {
    if (next < indices.size() && static_cast<size_t>(indices[next]) == i) {
      taken.push_back(std::move(Elements_[i]));
      ++next;
    } else {
      if (kept != i) Elements_[kept] = std::move(Elements_[i]);
      ++kept;
    }
  }
  Elements_.resize(kept);
  Changed();
  return taken;
}

void TElementList::PutBack(const std::vector<int32_t>& indices, Storage&& elements) {
  // Filled from the end: each slot gets either the next element put back, when its index says
  // so, or the next of the elements already there.
  const size_t total = Elements_.size() + elements.size();
  size_t old = Elements_.size();
  Elements_.resize(total);
  size_t back = elements.size();
  for (size_t slot = total; back > 0 && slot-- > 0;) {
    if (static_cast<size_t>(indices[back - 1]) == slot) {
      Elements_[slot] = std::move(elements[--back]);
    } else {
      Elements_[slot] = std::move(Elements_[--old]);
    }
  }
  elements.clear();
  Changed();
}

TElementList::Storage TElementList::TakeLast(int32_t count) {
  Storage taken;
  taken.reserve(static_cast<size_t>(count));
  const auto first = Elements_.end() - count;
  for (auto it = first; it != Elements_.end(); ++it) taken.push_back(std::move(*it));
  Elements_.erase(first, Elements_.end());
  Changed();
  return taken;
}

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
  Changed();
}

void TElementList::FreeAll() {
  // Last to first, as the board's elements have always been freed.
  while (!Elements_.empty()) Elements_.pop_back();
  Changed();
}

void TElementList::Clear() {
  FreeAll();
  Layout_->SetViewOffset({0, 0});
  Layout_->BoardReplaced();
  Layout_->CancelAction();
  Layout_->RenderBoard();
}
