#pragma once

#include <QString>
#include <cstdint>

class QSettings;

// How the artwork is put on paper for etching; the defaults print one positive copy at true size,
// the page the board has always printed. The same options steer Print, Print Preview, Export
// PDF, Export SVG and the converter's .pdf and .svg outputs.
struct TArtworkOptions {
  // Left to right, around the middle of the board's edge, so the artwork keeps its place on the
  // page. The board is shown from the component side, so toner transfer and film laid printed
  // side down want the plain print; this is for film laid printed side up, or copper on the
  // component side.
  bool Mirror = false;
  // Inside the board's edge: copper white on black, holes black.
  bool Negative = false;
  // Copies in a grid, 5 mm apart between their board outlines (2.54 mm outside the copper), the
  // first where the single copy would be.
  int32_t Rows = 1;
  int32_t Columns = 1;
  // A correction in hundredths of a percent on top of true size, across and down, for printers
  // that stretch the paper: 10000 is true size.
  int32_t ScaleX = 10000;
  int32_t ScaleY = 10000;
  // Every hole printed no wider than 0.5 mm, so a hand drill finds its centre.
  bool DrillMarks = false;
  // How much the copper grows on every side, in micrometres, to make up for under-etching
  // (0 to MaxEtchCompensation): wires wider, pads, surface-mount pads, text and fills larger,
  // holes as they are. It comes from the user's process rather than from these settings.
  int32_t EtchCompensationUm = 0;

  static constexpr int32_t MinScale = 9000, MaxScale = 11000, MaxCopies = 20;
  static constexpr int32_t MaxEtchCompensation = 200;

  bool IsDefault() const { return *this == TArtworkOptions(); }
  friend bool operator==(const TArtworkOptions& a, const TArtworkOptions& b) {
    return a.Mirror == b.Mirror && a.Negative == b.Negative && a.Rows == b.Rows &&
           a.Columns == b.Columns && a.ScaleX == b.ScaleX && a.ScaleY == b.ScaleY &&
           a.DrillMarks == b.DrillMarks && a.EtchCompensationUm == b.EtchCompensationUm;
  }
  friend bool operator!=(const TArtworkOptions& a, const TArtworkOptions& b) { return !(a == b); }
};

// "RxC" as rows and columns, each 1 to MaxCopies; false for anything else.
bool ParseCopies(const QString& text, int32_t& rows, int32_t& columns);
// A percentage such as "100.5" or "99.25" as hundredths, MinScale to MaxScale; false for
// anything else, more than two decimals included.
bool ParseScale(const QString& text, int32_t& hundredths);
// "100.50" for 10050.
QString ScaleText(int32_t hundredths);

// Kept with the user's settings between sessions; a stored value out of range reads as the
// default.
TArtworkOptions LoadArtworkOptions(QSettings& settings);
void SaveArtworkOptions(QSettings& settings, const TArtworkOptions& options);
