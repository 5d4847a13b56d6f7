// Hydrology of the scenario (HY.INP).  Values in the units the user sees;
// the writer converts seepage (/ 1000, m^3/m^2.d) and temperature (+ 273, K).
#pragma once

namespace kirmel::fe {

class THydrology {
 public:
  // mm/d, "Seepage", 0 .. 10 (qseif)
  double Seepage() const { return seepage_; }
  void SetSeepage(double value);
  // g/m^3, "Incoming concentration", 0 .. 1 (colot)
  double IncomingConcentration() const { return incomingConcentration_; }
  void SetIncomingConcentration(double value);
  // m/d, "Constant flow velocity", -100000 .. 100000 (u)
  double FlowVelocity() const { return flowVelocity_; }
  void SetFlowVelocity(double value);
  // m, "Constant water height", 0.01 .. 2 (wdh)
  double WaterHeight() const { return waterHeight_; }
  void SetWaterHeight(double value);
  // m^2/d, "Dispersion coefficient", 1 .. 100000000 (kds)
  double DispersionCoefficient() const { return dispersionCoefficient_; }
  void SetDispersionCoefficient(double value);
  // degrees Celsius, "Temperature in water and sediment", 0 .. 50 (te)
  double Temperature() const { return temperature_; }
  void SetTemperature(double value);

 private:
  double seepage_ = 0;
  double incomingConcentration_ = 0;
  double flowVelocity_ = 10;
  double waterHeight_ = 0.3;
  double dispersionCoefficient_ = 20;
  double temperature_ = 10;
};

}  // namespace kirmel::fe
