// Cross-section of the ditch (WLPA.INP, no conversion).
#pragma once

namespace kirmel::fe {

class TMetrics {
 public:
  // m, "Bottom width", 0.05 .. 100 (wibot)
  double BottomWidth() const { return bottomWidth_; }
  void SetBottomWidth(double value);
  // m, "Water depth", 0 .. 2 (wdhfl): the depth that defines the perimeter
  double WaterDepth() const { return waterDepth_; }
  void SetWaterDepth(double value);
  // horizontal/vertical, "Side slope", 0.00001 .. 10 (sisl)
  double SideSlope() const { return sideSlope_; }
  void SetSideSlope(double value);

 private:
  double bottomWidth_ = 0.4;
  double waterDepth_ = 0.1;
  double sideSlope_ = 1.0;
};

}  // namespace kirmel::fe
