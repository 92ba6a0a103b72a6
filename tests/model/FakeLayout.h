#pragma once

#include <QImage>

#include "TCanvas.h"
#include "TLayoutView.h"

// A stand-in for the editing control: it owns a board image, a visible surface and optionally a
// printer page, all QImages whose pixels the tests read back.
class FakeLayout : public TLayoutView {
 public:
  int32_t CellSize() const override { return Cell; }
  TPCBStep GridStep() const override { return Step; }
  TPoint ViewOffset() const override { return Offset; }
  void SetViewOffset(TPoint offset) override { Offset = offset; }
  TColor Color() const override { return Background; }
  TColor WireColor() const override { return Wire; }
  TColor SolderColor() const override { return Solder; }
  TColor FocusColor() const override { return Focus; }
  TCanvas& BoardCanvas() override { return BoardSurface; }
  TCanvas& Canvas() override { return ScreenSurface; }
  TCanvas* PrinterCanvas() override {
    return External ? External : Printing ? &PageSurface : nullptr;
  }
  int32_t PrinterResolution() const override { return Dpi; }
  void SetPrinter(TCanvas* canvas, int32_t dotsPerInch) override {
    External = canvas, Dpi = dotsPerInch;
  }
  void BoardReplaced() override { Modified = false; }
  void BoardSaved() override { Modified = false; }
  void CancelAction() override {}
  void RenderBoard() override { ++Renders; }

  // The pixel at (x, y) of an image, as a board colour 0x00BBGGRR.
  static TColor At(const QImage& image, int x, int y) {
    return ArgbToColor(static_cast<uint32_t>(image.pixel(x, y)));
  }
  void Flush() {
    for (TCanvas* surface : {&BoardSurface, &ScreenSurface, &PageSurface}) surface->Flush();
  }

  int32_t Cell = 10;
  TPCBStep Step = gs1;
  TPoint Offset;
  TColor Background = 0xFFFFFF, Wire = 0x008000, Solder = 0x800000, Focus = 0x0000FF;
  int32_t Dpi = 160;
  bool Printing = false;
  TCanvas* External = nullptr;
  bool Modified = true;
  int Renders = 0;
  QImage Board = White(), Screen = White(), Page = White();
  TCanvas BoardSurface{&Board}, ScreenSurface{&Screen}, PageSurface{&Page};

 private:
  static QImage White() {
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
  }
};
