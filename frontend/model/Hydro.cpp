#include "frontend/model/Hydro.h"

#include "frontend/model/Utils.h"

namespace kirmel::fe {

void THydrology::SetSeepage(double value) {
  if (CheckRange("Seepage", value, 0, 10)) seepage_ = value;
}

void THydrology::SetIncomingConcentration(double value) {
  if (CheckRange("Incoming concentration", value, 0, 1)) incomingConcentration_ = value;
}

void THydrology::SetFlowVelocity(double value) {
  if (CheckRange("Constant flow velocity", value, -100000, 100000)) flowVelocity_ = value;
}

void THydrology::SetWaterHeight(double value) {
  if (CheckRange("Constant water height", value, 0.01, 2)) waterHeight_ = value;
}

void THydrology::SetDispersionCoefficient(double value) {
  if (CheckRange("Dispersion coefficient", value, 1, 100000000)) dispersionCoefficient_ = value;
}

void THydrology::SetTemperature(double value) {
  if (CheckRange("Temperature in water and sediment", value, 0, 50)) temperature_ = value;
}

}  // namespace kirmel::fe
