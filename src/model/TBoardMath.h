#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "TBoardError.h"

// The board's arithmetic is 32-bit and wraps on overflow, as hand-edited files can push any
// value into any field. Signed overflow is undefined in C++, so every product and sum that
// could overflow goes through these helpers.

inline int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
inline int32_t WAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t WNeg(int32_t a) { return WSub(0, a); }

// Division truncating toward zero; a zero divisor and INT_MIN / -1 are arithmetic faults.
inline int32_t Div(int32_t a, int32_t b) {
  if (b == 0 || (a == INT32_MIN && b == -1)) throw EArithFault();
  return a / b;
}
// Remainder with the sign of the dividend.
inline int32_t Rem(int32_t a, int32_t b) {
  if (b == 0) throw EArithFault();
  if (b == -1) return 0;
  return a % b;
}

// Helpers for 64-bit work on board values, where nothing wraps.
inline int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}
inline int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }
// Division rounding toward minus infinity, for grid cells and buckets left of and above zero.
// 128-bit where pixels of lines reach the 32-bit limits.
template <class I>
I FloorDiv(I a, I b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
