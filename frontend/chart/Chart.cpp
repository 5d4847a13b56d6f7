#include "frontend/chart/Chart.h"

#include <cmath>
#include <limits>

namespace kirmel::fe {

void TAxis::SetAutomatic() {
  Automatic = true;
  AutomaticMinimum = true;
  AutomaticMaximum = true;
}

void TAxis::SetManual(double min, double max) {
  Automatic = false;
  AutomaticMinimum = false;
  AutomaticMaximum = false;
  if (min >= Minimum) {
    Maximum = max;
    Minimum = min;
  } else {
    Minimum = min;
    Maximum = max;
  }
}

void TAxis::SetMinimum(double min) {
  Automatic = false;
  AutomaticMinimum = false;
  Minimum = min;
}

void TAxis::SetMaximum(double max) {
  Automatic = false;
  AutomaticMaximum = false;
  Maximum = max;
}

TAxis& TChart::Axis(TAxisSide side) {
  return const_cast<TAxis&>(static_cast<const TChart&>(*this).Axis(side));
}

const TAxis& TChart::Axis(TAxisSide side) const {
  switch (side) {
    case TAxisSide::Left:
      return Left;
    case TAxisSide::Bottom:
      return Bottom;
    case TAxisSide::Top:
      return Top;
    case TAxisSide::Right:
      return Right;
  }
  return Left;
}

std::pair<double, double> TChart::AxisRange(TAxisSide side) const {
  const TAxis& axis = Axis(side);
  const bool autoMin = axis.Automatic || axis.AutomaticMinimum;
  const bool autoMax = axis.Automatic || axis.AutomaticMaximum;
  double lo = axis.Minimum;
  double hi = axis.Maximum;
  if (!autoMin && !autoMax) return {lo, hi};

  const bool horizontal = side == TAxisSide::Bottom || side == TAxisSide::Top;
  double dataLo = std::numeric_limits<double>::infinity();
  double dataHi = -std::numeric_limits<double>::infinity();
  for (const TSeries& s : Series) {
    if (!s.Active || (horizontal ? s.HorizontalAxis : s.VerticalAxis) != side) continue;
    for (std::size_t i = 0; i < s.Points.size(); ++i) {
      const double v = horizontal ? s.Points[i].X : s.Points[i].Y;
      if (std::isnan(v)) continue;
      const double e = (!horizontal && s.Kind == TSeriesKind::ErrorBars && i < s.Errors.size())
                           ? std::fabs(s.Errors[i])
                           : 0.0;
      if (v - e < dataLo) dataLo = v - e;
      if (v + e > dataHi) dataHi = v + e;
    }
  }
  if (dataLo > dataHi) {  // no data
    dataLo = 0;
    dataHi = 1;
  }
  if (autoMin) lo = dataLo;
  if (autoMax) hi = dataHi;
  if (lo == hi) {
    if (autoMin) lo -= 1;
    if (autoMax) hi += 1;
  }
  return {lo, hi};
}

namespace {

// Folds one coordinate of every point into a running extreme that starts at 0.
template <class Better>
double Extreme(const TChart& chart, double TChartPoint::*coord, Better better) {
  double result = 0;
  for (const TSeries& s : chart.Series)
    for (const TChartPoint& p : s.Points)
      if (better(p.*coord, result)) result = p.*coord;
  return result;
}

}  // namespace

double ChartMaxY(const TChart& chart) {
  return Extreme(chart, &TChartPoint::Y, [](double v, double r) { return v > r; });
}

double ChartMinY(const TChart& chart) {
  return Extreme(chart, &TChartPoint::Y, [](double v, double r) { return v < r; });
}

double ChartMaxX(const TChart& chart) {
  return Extreme(chart, &TChartPoint::X, [](double v, double r) { return v > r; });
}

void SetLeftAxisMax(TChart& chart, double value) {
  chart.Left.SetMinimum(0);
  chart.Left.SetMaximum(1.1 * value);
}

void SetBottomAxisMax(TChart& chart, double value) {
  chart.Bottom.SetMinimum(0);
  chart.Bottom.SetMaximum(1.1 * value);
}

}  // namespace kirmel::fe
