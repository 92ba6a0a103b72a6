#pragma once

#include <charconv>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// Builds a long text in pieces of about a megabyte and hands each full piece on, so a large board
// is saved without ever holding its whole text, and the same megabyte of memory is used again and
// again instead of tens of fresh ones. The piece grows to its full size only for a text that
// needs it, so a small copy to the clipboard stays small.
class TTextPieces {
 public:
  using Sink = std::function<void(std::string_view)>;
  static constexpr size_t PieceSize = 1 << 20;

  explicit TTextPieces(Sink sink) : Sink_(std::move(sink)) { Text_.reserve(4096); }
  TTextPieces(const TTextPieces&) = delete;
  TTextPieces& operator=(const TTextPieces&) = delete;

  TTextPieces& operator<<(std::string_view s) {
    Text_.append(s);
    return *this;
  }
  TTextPieces& operator<<(int32_t v) {
    char buf[12];
    Text_.append(buf, static_cast<size_t>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf));
    return *this;
  }
  // The text being built, for writers that append to it directly.
  std::string& Text() { return Text_; }

  // Called after each line: hands the piece on once it is full.
  void LineDone() {
    if (Text_.size() >= PieceSize) Flush();
  }
  // Hands on what is left; the writer calls it once at the end.
  void Flush() {
    if (!Text_.empty()) Sink_(Text_);
    Text_.clear();
  }

 private:
  Sink Sink_;
  std::string Text_;
};
