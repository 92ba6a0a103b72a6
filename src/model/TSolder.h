#pragma once

#include "TPCBElement.h"

// A round or square copper land around a drilled hole. Only Geometry 0 is round: any other byte
// a file may hold is a square pad.
class TSolder : public TPCBElement {
 public:
  TSolder(TLayoutView* layout, TPoint center, int32_t internalDiameter, int32_t externalDiameter,
          uint8_t geometry)
      : TPCBElement(layout),
        Geometry_(geometry),
        Center_(center),
        InternalDiameter_(internalDiameter),
        ExternalDiameter_(externalDiameter) {}

  uint8_t Geometry() const { return Geometry_; }
  bool IsSquare() const { return Geometry_ != sgCircle; }
  TPoint Center() const { return Center_; }
  int32_t InternalDiameter() const { return InternalDiameter_; }
  int32_t ExternalDiameter() const { return ExternalDiameter_; }
  void SetCenter(TPoint p) { Center_ = p; }
  void SetGeometry(uint8_t g) { Geometry_ = g; }
  void SetInternalDiameter(int32_t d) { InternalDiameter_ = d; }
  void SetExternalDiameter(int32_t d) { ExternalDiameter_ = d; }

  // A diameter in board units as a radius in pixels, with P pixels to the base step: 16 units per
  // step and 2 from diameter to radius.
  static int32_t ScreenRadius(int32_t stepPixels, int32_t diameter) {
    return WMul(stepPixels, diameter) / (2 * UnitsPerStep);
  }

  TElementKind Kind() const override { return ekSolder; }
  std::string ToText() const override;
  bool HitTest(TPoint pixel) const override;
  bool InRect(const TRect& rect) const override;
  void Draw(TDrawMode mode) const override;
  void Move(int32_t dx, int32_t dy) override;
  std::unique_ptr<TPCBElement> Clone(TLayoutView* layout) const override;

 private:
  uint8_t Geometry_;
  TPoint Center_;
  int32_t InternalDiameter_;
  int32_t ExternalDiameter_;
};
