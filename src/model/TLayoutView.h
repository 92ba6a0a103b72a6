#pragma once

#include "TTypes.h"

class TCanvas;

// What the board needs of the editing control that shows it: the view settings and colours the
// elements read while they draw and hit-test, the drawing surfaces, and the resets after the
// board was cleared or loaded. The editing widget implements it; tests use a fake with its own
// images, so the whole board works without a window.
class TLayoutView {
 public:
  virtual ~TLayoutView() = default;

  virtual int32_t CellSize() const = 0;
  virtual TPCBStep GridStep() const = 0;
  virtual TPoint ViewOffset() const = 0;
  virtual void SetViewOffset(TPoint offset) = 0;

  virtual TColor Color() const = 0;
  virtual TColor WireColor() const = 0;
  virtual TColor SolderColor() const = 0;
  virtual TColor FocusColor() const = 0;

  // The drawing surface of the rendered board image.
  virtual TCanvas& BoardCanvas() = 0;
  // The visible surface, where pointer feedback is drawn over the board.
  virtual TCanvas& Canvas() = 0;
  // The printer page's surface, set only while a page is being printed.
  virtual TCanvas* PrinterCanvas() = 0;
  // Dots per inch of that page.
  virtual int32_t PrinterResolution() const = 0;
  // Hands the elements a printer page to draw on (none after the page is done).
  virtual void SetPrinter(TCanvas* canvas, int32_t dotsPerInch) = 0;

  // A whole new board took the old one's place (cleared or loaded): nothing to undo, no unsaved
  // changes.
  virtual void BoardReplaced() = 0;
  // The board as it stands was written to its file: no unsaved changes until it changes again.
  virtual void BoardSaved() = 0;
  virtual void CancelAction() = 0;
  virtual void RenderBoard() = 0;
};
