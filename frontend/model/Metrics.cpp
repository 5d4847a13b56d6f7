#include "frontend/model/Metrics.h"

#include "frontend/model/Utils.h"

namespace kirmel::fe {

void TMetrics::SetBottomWidth(double value) {
  SetChecked(bottomWidth_, value, "Bottom width", 0.05, 100);
}

void TMetrics::SetWaterDepth(double value) {
  SetChecked(waterDepth_, value, "Water depth", 0, 2);
}

void TMetrics::SetSideSlope(double value) {
  SetChecked(sideSlope_, value, "Side slope", 0.00001, 10);
}

}  // namespace kirmel::fe
