#pragma once

#include <QPageLayout>
#include <QPicture>
#include <QString>
#include <functional>

#include "TArtworkOptions.h"
#include "TElementList.h"

class QPainter;
class QPaintDevice;
class QPdfWriter;

// The printed artwork: every element black on white at true size (160 board units to the inch),
// measured from the top-left corner of the printable area. The view (scale, panning, selection)
// plays no part.

// Draws every wire and then every pad onto a painter whose device has dotsPerInch dots to the
// inch, the board origin at the painter's origin. Pads come last so they cover the wire ends
// beneath them and their holes show white paper through the copper. A fault while drawing stops
// the drawing but still leaves a page. The options draw each copy the same way, moved, mirrored
// and stretched by the painter.
void DrawBoardPage(TElementList& list, QPainter& painter, int32_t dotsPerInch,
                   const TArtworkOptions& options = {});

// Whether the copies fit a printable area of that many millimetres: a grid that reaches beyond
// it raises an error saying so. A single copy is never refused; it is cut off at the edges as
// it always was.
void CheckCopiesFit(TElementList& list, const TArtworkOptions& options, QSizeF printableMm);

// The same page recorded ahead, so a print job is only opened once the page is ready.
QPicture RecordBoardPage(TElementList& list, int32_t dotsPerInch,
                         const TArtworkOptions& options = {});

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
void ExportBoardPdf(TElementList& list, const QString& fileName,
                    const TArtworkOptions& options = {});

// The same page as an SVG drawing of the A4 sheet, width and height in millimetres, at 1600 dots
// to the inch, where a board unit is exactly ten dots. Saved as the PDF is.
constexpr int32_t BoardSvgResolution = 1600;
void ExportBoardSvg(TElementList& list, const QString& fileName,
                    const TArtworkOptions& options = {});

// One A4 page at the artwork's resolution and margins, drawn by play, made whole in memory and
// then saved as a board file is, so it fails with the same messages and never leaves half a
// file.
void SavePdfPage(const QString& fileName, const std::function<bool(QPdfWriter&)>& play);

// The message of a page that cannot be written, with the same start as any other file's.
[[noreturn]] void FailPageWrite(const QString& fileName);
