#include "frontend/chart/Chart.h"

#include <cmath>
#include <limits>

#include "frontend/model/Numbers.h"

namespace kirmel::fe {

bool TChartPoint::Drawn() const { return std::isfinite(X) && std::isfinite(Y); }

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
      if (!s.Points[i].Drawn()) continue;
      const double v = horizontal ? s.Points[i].X : s.Points[i].Y;
      // A bar whose height is not a number is not drawn; its point is.
      const double e = (!horizontal && s.Kind == TSeriesKind::ErrorBars && i < s.Errors.size() &&
                        std::isfinite(s.Errors[i]))
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
      if (p.Drawn() && better(p.*coord, result)) result = p.*coord;
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

std::string FormatAxisLabel(std::string_view pattern, double value, char decimalSeparator) {
  const std::size_t first = pattern.find_first_of("#0,.");
  if (first == std::string_view::npos) return std::string(pattern);
  const std::size_t last = pattern.find_last_of("#0,.");
  const std::string_view number = pattern.substr(first, last - first + 1);

  const std::size_t point = number.find('.');
  const std::string_view integerPart = number.substr(0, point);
  const std::string_view fractionPart =
      point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
  const bool grouped = integerPart.find(',') != std::string_view::npos;
  int minInteger = 0, minDecimals = 0, maxDecimals = 0;
  for (char c : integerPart)
    if (c == '0') ++minInteger;
  for (char c : fractionPart) {
    if (c == '0') ++minDecimals;
    if (c == '0' || c == '#') ++maxDecimals;
  }

  std::string text = FormatFixed(value, maxDecimals, '.');  // no minus sign for a rounded 0
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.erase(0, 1);
  std::string digits = text.substr(0, text.find('.'));
  std::string decimals = text.find('.') == std::string::npos ? "" : text.substr(text.find('.') + 1);
  while (static_cast<int>(decimals.size()) > minDecimals && decimals.back() == '0') decimals.pop_back();
  if (digits == "0" && minInteger == 0 && !decimals.empty()) digits.clear();  // "#.##": ".5"
  while (static_cast<int>(digits.size()) < minInteger) digits.insert(0, 1, '0');
  if (grouped) {
    const char separator = decimalSeparator == ',' ? '.' : ',';
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
      digits.insert(static_cast<std::size_t>(i), 1, separator);
  }
  std::string result(pattern.substr(0, first));
  if (negative) result += '-';
  result += digits;
  if (!decimals.empty()) result += decimalSeparator + decimals;
  result += pattern.substr(last + 1);
  return result;
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
