#pragma once

#include <cstdint>

// Board units: 16 of them make one base grid step of 0.1 inch (2.54 mm).
constexpr int32_t UnitsPerStep = 16;

// 160 board units make one inch on paper.
constexpr int32_t UnitsPerInch = 160;

// A board unit is exactly 0.15875 mm, 158 750 nm.
constexpr double MmPerUnit = 0.15875;
constexpr int64_t NanometresPerUnit = 158750;

enum TGridMode : uint8_t { gmNone, gmDot, gmLine };
enum TPCBStep : uint8_t { gs1, gs1By2, gs1By4, gs1By8, gs1By16 };
enum TMouseAction : uint8_t { maWire, maSolder, maDelete, maSelect, maMove };
enum TSolderGeometry : uint8_t { sgCircle, sgSquare };
enum TDrawMode : uint8_t { dmNormal, dmHighlight, dmPrint };
// The kinds of element a board holds: the classic wires and through-hole pads, and the kinds the
// classic file format has no section for, kept in records of their own.
enum TElementKind : uint8_t { ekWire, ekSolder, ekSmdPad, ekText, ekFill };

// A fraction 1/d of the base step, indexed by TPCBStep.
constexpr int32_t StepDivisor[5] = {1, 2, 4, 8, 16};

// Looks a step up in StepDivisor; a byte outside the enumeration counts as the base step.
inline int32_t StepDivisorOf(TPCBStep step) {
  return static_cast<unsigned>(step) < 5 ? StepDivisor[step] : 1;
}

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; }
  friend bool operator!=(const TPoint& a, const TPoint& b) { return !(a == b); }
};

// All four bounds are inclusive where a rectangle holds board units.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TRect& a, const TRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
  }
};

// A colour laid out as 0x00BBGGRR: 0x0000FF is red, 0x800000 navy.
using TColor = uint32_t;

// Turns a board colour into the 0xAARRGGBB value QImage stores.
inline uint32_t ColorToArgb(TColor c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline TColor ArgbToColor(uint32_t argb) {
  return ((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu);
}
