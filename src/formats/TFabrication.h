#pragma once

#include <QString>
#include <string>
#include <vector>

#include "TCopper.h"
#include "TElementList.h"
#include "TFill.h"

// The files a board house takes: Gerber RS-274X with X2 file attributes in millimetres, format
// 4.6 (whole nanometres), and an Excellon drill file. A board point (x, y) lies at
// (x × 0.15875 mm, −y × 0.15875 mm), so the image looks as on the screen, seen through the board
// from the component side.

// A surface-mount pad's land in nanometres: its centre, its size, and the radius of its corners
// (0 for square corners, half the smaller side for an oblong).
struct TSmdLand {
  int64_t X = 0, Y = 0, Width = 0, Height = 0, Radius = 0;
};

// What the files make of a board: each element's copper and hole as the model describes them, in
// list order. A board unit is exactly 158 750 nm, so every size and place is exact in whole
// nanometres; y grows down the board, as on the screen, and the files turn it round.
struct TFabricationBoard {
  // Wires, through-hole pads and the strokes of texts.
  std::vector<TCopperShape> Shapes;
  // Surface-mount pads: copper, mask and paste, never a hole.
  std::vector<TSmdLand> Lands;
  // The copper of every fill, area by area, largest first; no mask opening, no hole. The edge
  // keeps to the other copper, from which a fill of the whole board takes its outline.
  std::vector<TFillArea> Fills;
  // The text lines of the elements that put nothing in any file (no copper and no hole) or lie
  // beyond what the files can hold, in list order.
  std::vector<std::string> LeftOut;
  // The board's edge in nanometres: 2.54 mm outside the extent of all copper and holes; left >
  // right on a board with neither.
  int64_t Left = 1, Top = 1, Right = 0, Bottom = 0;

  bool Empty() const { return Shapes.empty() && Lands.empty(); }
};
TFabricationBoard FabricationBoard(const TElementList& list);

// How far the board's edge lies outside its copper.
constexpr int64_t OutlineMarginNm = 2540000;
// The aperture of a hairline: a tenth of a board unit, the one dot the finest artwork (the SVG,
// at 1600 dots to the inch) prints it, far below what any board house makes, so the width rule
// has flagged it already.
constexpr int64_t HairlineNm = NanometresPerUnit / 10;

// Bottom copper: first the fills, each area a region (G36/G37) drawn dark with its holes as
// regions cleared out of it, largest area first so that an area in another's hole stays; then
// dark again, a flash per pad (holes are the drill's), a draw with a round aperture per wire
// and per stroke of a text (no text of Gerber's own: the strokes are the copper the artwork shows).
// A surface-mount pad is flashed with a rectangle, an obround when it is an oblong, or else the
// macro RoundRect (width, height, corner radius): two crossed rectangles and four corner discs.
std::string GerberCopper(const TFabricationBoard& board);
// Bottom solder mask: a flash per pad, 0.05 mm larger on every side (rounded corners by as much);
// wires and text stay under the mask.
std::string GerberMask(const TFabricationBoard& board);
// Bottom solder paste: the surface-mount pads as they are in the copper.
std::string GerberPaste(const TFabricationBoard& board);
// The board's edge: one closed rectangle drawn 0.1 mm wide.
std::string GerberOutline(const TFabricationBoard& board);
// Metric Excellon with decimal points: one tool per hole diameter, one hit per hole, then M30.
std::string ExcellonDrill(const TFabricationBoard& board);

// Writes the files the name's extension asks for: ".zip" the files of a board house order, named
// after the base name N (N-B_Cu.gbr, N-B_Mask.gbr, N-B_Paste.gbr when the board has surface-mount
// pads, N-Edge_Cuts.gbr, N.drl); ".gbr" the copper alone; ".drl" the drill file alone. Another
// extension raises "Invalid file extention". The file is saved as a board file is. Returns the
// text lines of the elements left out.
std::vector<std::string> ExportFabricationFiles(const TElementList& list, const QString& fileName);
bool IsFabricationFileName(const QString& fileName);

// What the user is told about elements left out: empty when there are none.
std::string LeftOutMessage(const std::vector<std::string>& lines);
