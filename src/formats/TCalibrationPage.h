#pragma once

#include <QString>

class QPainter;
class QPaintDevice;

// A page to measure a printer by: a 100 mm square and 100 mm rulers across and down with a tick
// every millimetre, drawn at true size with no correction, from the corner of the printable
// area, and a note on turning what was measured into the scale correction.
void DrawCalibrationPage(QPainter& painter, int32_t dotsPerInch);
// Draws it on a printer or PDF page; false when the device cannot be opened or finished.
bool PlayCalibrationPage(QPaintDevice& device);

// How to turn a measured length into the correction, for the page and the editor's dialog.
QString CalibrationAdvice();

// The page as a one-page A4 PDF, laid out and saved as the board's PDF artwork is.
void ExportCalibrationPdf(const QString& fileName);
