#include "frontend/model/Metrics.h"

#include "frontend/model/Utils.h"

namespace kirmel::fe {

void TMetrics::SetBottomWidth(double value) {
  if (CheckRange("Bottom width", value, 0.05, 100)) bottomWidth_ = value;
}

void TMetrics::SetWaterDepth(double value) {
  if (CheckRange("Water depth", value, 0, 2)) waterDepth_ = value;
}

void TMetrics::SetSideSlope(double value) {
  if (CheckRange("Side slope", value, 0.00001, 10)) sideSlope_ = value;
}

}  // namespace kirmel::fe
