#include "frontend/model/Utils.h"

#include <climits>
#include <cmath>
#include <string>

namespace kirmel::fe {

bool CheckRange(std::string_view name, double value, double min, double max) {
  if (min <= value && value <= max) return true;
  throw EOutOfRange("%s must lie between %g and %g", {std::string(name), min, max});
}

int RoundHalfEven(double value) {
  // Checked on the double before any conversion, so that no value can make
  // the conversion undefined.
  if (!(std::fabs(value) < 4.0e9))
    throw EIllegalValue("Cannot round %g to an integer", {value});
  double lower = std::floor(value);
  double fraction = value - lower;  // exact for this magnitude
  double rounded = lower;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) rounded = lower + 1;
  if (rounded < static_cast<double>(INT_MIN) || rounded > static_cast<double>(INT_MAX))
    throw EIllegalValue("Cannot round %g to an integer", {value});
  return static_cast<int>(rounded);
}

}  // namespace kirmel::fe
