#include "frontend/model/Hydro.h"

#include "frontend/model/Utils.h"

namespace kirmel::fe {

void THydrology::SetSeepage(double value) {
  SetChecked(seepage_, value, "Seepage", 0, 10);
}

void THydrology::SetIncomingConcentration(double value) {
  SetChecked(incomingConcentration_, value, "Incoming concentration", 0, 1);
}

void THydrology::SetFlowVelocity(double value) {
  SetChecked(flowVelocity_, value, "Constant flow velocity", -100000, 100000);
}

void THydrology::SetWaterHeight(double value) {
  SetChecked(waterHeight_, value, "Constant water height", 0.01, 2);
}

void THydrology::SetDispersionCoefficient(double value) {
  SetChecked(dispersionCoefficient_, value, "Dispersion coefficient", 1, 100000000);
}

void THydrology::SetTemperature(double value) {
  SetChecked(temperature_, value, "Temperature in water and sediment", 0, 50);
}

}  // namespace kirmel::fe
