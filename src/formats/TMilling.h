#pragma once

#include <QString>
#include <string>
#include <vector>

#include "TElementList.h"
#include "TFill.h"
#include "TMillProcess.h"

class QSettings;

// Milling a board on a desktop CNC: plain G-code (G21 G90 G17, G0 and G1 only, four decimals)
// that GRBL and LinuxCNC both run. X0 Y0 is the lower left corner of the board's edge (the
// rectangle the fabrication files draw), y grows upwards and Z0 is the copper surface; with the
// process's mirror on, x is turned round about the edge, as the board lies copper up on the mill.

// The three jobs' G-code text; Drill empty when the board has no holes.
struct TMillingJobs {
  std::string Isolation, Drill, Outline;
};
TMillingJobs MillingJobs(const TElementList& list, const TMillProcess& process,
                         const std::string& boardName);

// The isolation paths in nanometres on the board as the editor shows it (not mirrored, y down),
// every pass, for the preview; and where the bit cannot pass between two islands.
std::vector<TFillPath> IsolationPaths(const TElementList& list, const TMillProcess& process);
// Where the bit cannot pass: a point between each pair of islands nearer than the cut width, in
// nanometres on the board as the editor shows it.
std::vector<TFillPoint> IsolationGaps(const TElementList& list, const TMillProcess& process);

// The process the user keeps in the settings; a field missing or out of its range reads as the
// default.
TMillProcess LoadMillProcess(QSettings& settings);
void SaveMillProcess(QSettings& settings, const TMillProcess& process);

// Writes N.nc, N-drill.nc (when the board has holes) and N-outline.nc next to FILENAME (N.nc),
// all or nothing, each file saved as a board file is. Raises TBoardError when a file cannot be
// written.
void ExportMillingFiles(const TElementList& list, const TMillProcess& process,
                        const QString& fileName);
bool IsMillingFileName(const QString& fileName);
