#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Boxes in nanometres sorted into a uniform grid of square cells, so that the few boxes near a
// place are found without walking them all: a fill has hundreds of thousands of edges and the
// check asks about every piece of the board. Used by the fill's own code only.
struct TFillBox {
  int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;  // inclusive
  bool Meets(const TFillBox& o) const {
    return Left <= o.Right && o.Left <= Right && Top <= o.Bottom && o.Top <= Bottom;
  }
  TFillBox Grown(int64_t by) const { return {Left - by, Top - by, Right + by, Bottom + by}; }
  bool Empty() const { return Left > Right || Top > Bottom; }
};

class TFillGrid {
 public:
  // About two boxes to a cell on average, fewer where they are long.
  void Build(const std::vector<TFillBox>& boxes) {
    Boxes_ = &boxes;
    Cells_.clear();
    Start_.assign(1, 0);
    // An empty box (copper that makes none) lies in no cell.
    TFillBox all{1, 1, 0, 0};
    for (const TFillBox& b : boxes) {
      if (b.Empty()) continue;
      if (all.Empty()) all = b;
      all.Left = std::min(all.Left, b.Left), all.Top = std::min(all.Top, b.Top);
      all.Right = std::max(all.Right, b.Right), all.Bottom = std::max(all.Bottom, b.Bottom);
    }
    if (all.Empty()) return;
    Origin_ = all;
    const double w = double(all.Right - all.Left) + 1, h = double(all.Bottom - all.Top) + 1;
    const double cells = std::max(1.0, double(boxes.size()) / 2);
    double side = std::sqrt(w * h / cells);
    side = std::max({side, w / 4096, h / 4096, 1.0});
    Side_ = int64_t(std::ceil(side));
    Columns_ = int32_t((all.Right - all.Left) / Side_ + 1);
    Rows_ = int32_t((all.Bottom - all.Top) / Side_ + 1);
    // Counted first, then filled in place: one array of box numbers for all cells.
    std::vector<uint32_t> count(size_t(Columns_) * size_t(Rows_), 0);
    for (const TFillBox& b : boxes)
      if (!b.Empty()) ForCells(b, [&](size_t cell) { ++count[cell]; });
    Start_.assign(count.size() + 1, 0);
    for (size_t i = 0; i < count.size(); ++i) Start_[i + 1] = Start_[i] + count[i];
    Cells_.resize(Start_.back());
    std::vector<uint32_t> fill(Start_.begin(), Start_.end() - 1);
    for (size_t i = 0; i < boxes.size(); ++i)
      if (!boxes[i].Empty())
        ForCells(boxes[i], [&](size_t cell) { Cells_[fill[cell]++] = uint32_t(i); });
  }

  // Calls f(i) for every box i that meets the query, once each cell it shares with it: a box
  // may be offered more than once.
  template <class F>
  void Visit(const TFillBox& query, F f) const {
    if (Cells_.empty() || !query.Meets(Origin_)) return;
    ForCells(query, [&](size_t cell) {
      for (uint32_t k = Start_[cell]; k < Start_[cell + 1]; ++k) {
        const uint32_t i = Cells_[k];
        if ((*Boxes_)[i].Meets(query)) f(i);
      }
    });
  }

 private:
  template <class F>
  void ForCells(const TFillBox& b, F f) const {
    auto column = [this](int64_t x) {
      return int32_t(std::clamp<int64_t>((x - Origin_.Left) / Side_, 0, Columns_ - 1));
    };
    auto row = [this](int64_t y) {
      return int32_t(std::clamp<int64_t>((y - Origin_.Top) / Side_, 0, Rows_ - 1));
    };
    const int32_t c0 = column(b.Left), c1 = column(b.Right), r0 = row(b.Top), r1 = row(b.Bottom);
    for (int32_t r = r0; r <= r1; ++r)
      for (int32_t c = c0; c <= c1; ++c) f(size_t(r) * size_t(Columns_) + size_t(c));
  }

  const std::vector<TFillBox>* Boxes_ = nullptr;
  TFillBox Origin_;
  int64_t Side_ = 1;
  int32_t Columns_ = 1, Rows_ = 1;
  std::vector<uint32_t> Start_, Cells_;
};
