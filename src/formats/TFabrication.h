#pragma once

#include <QString>
#include <string>
#include <vector>

#include "TCopperShapes.h"
#include "TElementList.h"

// The files a board house takes: Gerber RS-274X with X2 file attributes in millimetres, format
// 4.6 (whole nanometres), and an Excellon drill file. A board point (x, y) lies at
// (x × 0.15875 mm, −y × 0.15875 mm), so the image looks as on the screen, seen through the board
// from the component side.

// Bottom copper: a flash per pad (holes are the drill's), a draw with a round aperture per wire.
std::string GerberCopper(const TCopperShapes& copper);
// Bottom solder mask: a flash per pad, 0.05 mm larger on every side.
std::string GerberMask(const TCopperShapes& copper);
// The board's edge: one closed rectangle drawn 0.1 mm wide.
std::string GerberOutline(const TCopperShapes& copper);
// Metric Excellon: one tool per hole diameter, one hit per pad with a hole, then M30.
std::string ExcellonDrill(const TCopperShapes& copper);

// Writes the files the name's extension asks for: ".zip" the four files of a board house order,
// named after the base name N (N-B_Cu.gbr, N-B_Mask.gbr, N-Edge_Cuts.gbr, N.drl); ".gbr" the
// copper alone; ".drl" the drill file alone. Another extension raises "Invalid file extention".
// The file is saved as a board file is. Returns the text lines of the elements left out.
std::vector<std::string> ExportFabricationFiles(const TElementList& list, const QString& fileName);
bool IsFabricationFileName(const QString& fileName);

// What the user is told about elements left out: empty when there are none.
std::string LeftOutMessage(const std::vector<std::string>& lines);
