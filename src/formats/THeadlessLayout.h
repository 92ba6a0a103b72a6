#pragma once

#include <QImage>

#include "TCanvas.h"
#include "TLayoutView.h"

// The board's control for programs without a window, such as the command-line converter: the
// default view settings and colours of the editor, and surfaces that are tiny images nobody
// looks at. Loading and saving through it do exactly what they do in the editor.
class THeadlessLayout : public TLayoutView {
 public:
  THeadlessLayout()
      : BoardImage_(1, 1, QImage::Format_RGB32),
        CanvasImage_(1, 1, QImage::Format_RGB32),
        BoardCanvas_(&BoardImage_),
        Canvas_(&CanvasImage_) {}

  int32_t CellSize() const override { return 10; }
  TPCBStep GridStep() const override { return gs1; }
  TPoint ViewOffset() const override { return ViewOffset_; }
  void SetViewOffset(TPoint offset) override { ViewOffset_ = offset; }

  TColor Color() const override { return 0xFFFFFF; }
  TColor WireColor() const override { return 0x008000; }
  TColor SolderColor() const override { return 0x008000; }
  TColor FocusColor() const override { return 0x000000; }

  TCanvas& BoardCanvas() override { return BoardCanvas_; }
  TCanvas& Canvas() override { return Canvas_; }
  TCanvas* PrinterCanvas() override { return Printer_; }
  int32_t PrinterResolution() const override { return Resolution_; }
  void SetPrinter(TCanvas* canvas, int32_t dotsPerInch) override {
    Printer_ = canvas;
    Resolution_ = dotsPerInch;
  }

  bool Modified() const { return Modified_; }
  void SetModified(bool modified) { Modified_ = modified; }
  void BoardReplaced() override { Modified_ = false; }
  void BoardSaved() override { Modified_ = false; }
  void CancelAction() override {}
  // Nothing is shown, so there is nothing to render.
  void RenderBoard() override {}

 private:
  QImage BoardImage_;
  QImage CanvasImage_;
  TCanvas BoardCanvas_;
  TCanvas Canvas_;
  TCanvas* Printer_ = nullptr;
  int32_t Resolution_ = 0;
  TPoint ViewOffset_;
  bool Modified_ = false;
};
