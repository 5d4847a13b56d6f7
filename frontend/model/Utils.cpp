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

namespace {

// Folds one coordinate of every point into a running extreme that starts at 0.
template <class Better>
double Extreme(const std::vector<TChartSeries>& series, double TChartPoint::*coord,
               Better better) {
  double result = 0;
  for (const TChartSeries& s : series)
    for (const TChartPoint& p : s)
      if (better(p.*coord, result)) result = p.*coord;
  return result;
}

}  // namespace

double ChartMaxY(const std::vector<TChartSeries>& series) {
  return Extreme(series, &TChartPoint::Y, [](double v, double r) { return v > r; });
}

double ChartMinY(const std::vector<TChartSeries>& series) {
  return Extreme(series, &TChartPoint::Y, [](double v, double r) { return v < r; });
}

double ChartMaxX(const std::vector<TChartSeries>& series) {
  return Extreme(series, &TChartPoint::X, [](double v, double r) { return v > r; });
}

}  // namespace kirmel::fe
