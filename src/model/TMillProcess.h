#pragma once

#include <cstdint>
#include <string>

// How this user makes boards: etched, with the printed copper grown to make up for the etchant
// eating under the toner, or milled on a desktop CNC, with the bit, the passes and the rates the
// G-code uses. Every length is in millimetres; the defaults suit a small mill cutting FR-1 or FR-4.
enum TBoardMaking : uint8_t { bmEtch, bmMill };
// A flat end mill cuts its diameter; a V-bit cuts wider the deeper it goes.
enum TMillBitKind : uint8_t { mbFlat, mbVee };

struct TMillProcess {
  TBoardMaking Making = bmEtch;
  // How much the printed copper grows on every side (0 to 0.20 mm).
  double EtchCompensation = 0.0;

  TMillBitKind Bit = mbVee;
  double BitDiameter = 0.20;  // a flat bit
  double VAngle = 30;         // a V-bit: the angle of its point in degrees,
  double VTip = 0.10;         // the width of its tip,
  double CutDepth = 0.10;     // and how deep the isolation cuts (either bit)
  int Passes = 1;             // isolation passes round each island, 1 to 4
  double Overlap = 50;        // how much each pass overlaps the one before, percent, 0 to 90
  double Feed = 200;          // mm/min
  double Plunge = 50;         // mm/min
  int Spindle = 10000;        // rpm
  double SafeHeight = 5.0;    // above the copper, to move between jobs and change bits
  double TravelHeight = 1.0;  // above the copper, to move between cuts
  double DrillDepth = 1.8;
  double OutlineBit = 2.0;  // the diameter of the bit that cuts the board out
  double BoardThickness = 1.6;
  double DepthPerPass = 0.5;  // of the outline
  int Tabs = 4;               // that hold the board in its sheet, spread along the outline
  double TabWidth = 2.0;
  // A single-sided board is milled with its copper up: the mirror of the editor's view.
  bool Mirror = true;

  // The width of the groove the bit leaves in the copper: a flat bit's diameter; a V-bit's tip
  // plus 2 x depth x tan(angle / 2).
  double CutWidth() const;
  // Whether every field lies in its range; WHY then tells the user which field is wrong.
  bool Valid(std::string* why = nullptr) const;

  friend bool operator==(const TMillProcess& a, const TMillProcess& b);
  friend bool operator!=(const TMillProcess& a, const TMillProcess& b) { return !(a == b); }
};
