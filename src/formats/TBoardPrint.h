#pragma once

#include <QPageLayout>
#include <QPicture>
#include <QString>

#include "TElementList.h"

class QPainter;
class QPaintDevice;

// The printed artwork: every element black on white at true size (160 board units to the inch),
// measured from the top-left corner of the printable area. The view (scale, panning, selection)
// plays no part.

// Draws every wire and then every pad onto a painter whose device has dotsPerInch dots to the
// inch, the board origin at the painter's origin. Pads come last so they cover the wire ends
// beneath them and their holes show white paper through the copper. A fault while drawing stops
// the drawing but still leaves a page.
void DrawBoardPage(TElementList& list, QPainter& painter, int32_t dotsPerInch);

// The same page recorded ahead, so a print job is only opened once the page is ready.
QPicture RecordBoardPage(TElementList& list, int32_t dotsPerInch);

// Replays a recorded page onto a printer or PDF page; false when the device cannot be opened or
// finished.
bool PlayBoardPage(const QPicture& page, QPaintDevice& device);

// The sheet of a PDF export: A4 portrait, with margins any printer can print inside, so the
// artwork lands where a printer would put it.
QPageLayout BoardPdfPageLayout();
constexpr int32_t BoardPdfResolution = 1200;

// Writes the page as a one-page PDF at true size. The file is saved as a board file is: put in
// place only when whole, a failure raising "Impossible de créer le fichier "<full path>". <cause>"
// and leaving an existing file as it was.
void ExportBoardPdf(TElementList& list, const QString& fileName);
