// The chart model: what a chart of the front end shows, without drawing it.
//
// Windows fill a TChart (series with their points and styles, four axes, a
// title); one adapter draws it, prints it and saves it as a bitmap.  Tests
// read the model: points, titles, axis ranges and flags.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kirmel::fe {

struct TColor {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;

  // A colour written as $BBGGRR: the low byte is red, the high byte blue
  // ($808000 is teal, $0000FF is red).
  static constexpr TColor FromBGR(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>((value >> 16) & 0xFF)};
  }
  friend constexpr bool operator==(const TColor&, const TColor&) = default;
};

namespace colors {
inline constexpr TColor Black{0, 0, 0};
inline constexpr TColor White{255, 255, 255};
inline constexpr TColor Red{255, 0, 0};
inline constexpr TColor Green{0, 128, 0};
inline constexpr TColor Lime{0, 255, 0};
inline constexpr TColor Blue{0, 0, 255};
inline constexpr TColor Navy{0, 0, 128};
inline constexpr TColor Maroon{128, 0, 0};
inline constexpr TColor Fuchsia{255, 0, 255};
inline constexpr TColor Purple{128, 0, 128};
inline constexpr TColor Gray{128, 128, 128};
inline constexpr TColor Aqua{0, 255, 255};
inline constexpr TColor Teal{0, 128, 128};
}  // namespace colors

enum class TLinePattern { Solid, Dash, Dot, DashDot, DashDotDot };
enum class TMarkerShape { Circle, DownTriangle, Rectangle, Triangle, DiagCross, Star };
enum class TSortOrder { None, Ascending, Descending };
enum class TAxisSide { Left, Bottom, Top, Right };
enum class TTitleAlignment { Left, Center };
enum class TLegendPosition { Right, Bottom };

// How a series is drawn.
//   Line       a line through the points, sorted by X unless XOrder is None
//   Area       the same line, filled down to the value axis's zero
//   Points     markers only
//   ErrorBars  a vertical bar of +-Errors[i] around each point, with bar ends
//   StepLine   a line through the points exactly in the order given
enum class TSeriesKind { Line, Area, Points, ErrorBars, StepLine };

struct TMarker {
  bool Visible = false;
  TMarkerShape Shape = TMarkerShape::Circle;
  int Width = 2;
  int Height = 2;
  TColor Fill = colors::White;
  bool ThreeD = false;
};

// A point with a coordinate that is not a finite number (NaN, an infinity)
// is not drawn, and no axis range or extreme takes either coordinate of it.
struct TChartPoint {
  double X = 0;
  double Y = 0;

  bool Drawn() const;
};

struct TSeries {
  std::string Title;
  TSeriesKind Kind = TSeriesKind::Line;
  TColor Color = colors::Black;
  TLinePattern Pattern = TLinePattern::Solid;
  int LineWidth = 1;
  bool AreaLinesVisible = true;  // the pen of an area's dividing lines
  TMarker Marker;
  bool Active = true;         // drawn; a hidden series keeps its points
  bool ShowInLegend = true;
  TAxisSide HorizontalAxis = TAxisSide::Bottom;  // Bottom or Top
  TAxisSide VerticalAxis = TAxisSide::Left;      // Left or Right
  TSortOrder XOrder = TSortOrder::Ascending;
  TSortOrder YOrder = TSortOrder::None;
  int ErrorBarWidth = 10;        // pixels across the ends of an error bar
  std::vector<TChartPoint> Points;
  std::vector<double> Errors;    // ErrorBars only: one half-height per point

  void Add(double x, double y) { Points.push_back({x, y}); }
  void AddError(double x, double y, double error) {
    Points.push_back({x, y});
    Errors.push_back(error);
  }
  void Clear() {
    Points.clear();
    Errors.clear();
  }
};

struct TAxis {
  bool Visible = true;
  // Automatic: the range follows the data of the series drawn against the
  // axis.  When it is off, each end still follows the data while its own
  // flag (AutomaticMinimum, AutomaticMaximum) is on.
  bool Automatic = true;
  bool AutomaticMinimum = true;
  bool AutomaticMaximum = true;
  double Minimum = 0;
  double Maximum = 0;
  double Increment = 0;  // major tick step; 0 lets the drawing choose
  bool MinorTicksVisible = true;
  int MinorTickCount = 3;
  std::string Title;
  // Pattern of the tick labels (see FormatAxisLabel); empty gives the
  // general number form.
  std::string LabelFormat;

  // Automatic on, both ends following the data.
  void SetAutomatic();
  // Manual with both ends fixed at [min, max], set in the safe order: the
  // maximum first when min is not below the current minimum, else the
  // minimum first, so the axis never has its minimum above its maximum on
  // the way.
  void SetManual(double min, double max);
  void SetMinimum(double min);  // manual; this end fixed
  void SetMaximum(double max);  // manual; this end fixed
};

struct TChart {
  std::string Title;
  bool TitleVisible = true;
  TTitleAlignment TitleAlignment = TTitleAlignment::Center;
  bool LegendVisible = true;
  TLegendPosition LegendPosition = TLegendPosition::Right;
  TAxis Left;
  TAxis Bottom;
  TAxis Top;
  TAxis Right;
  std::vector<TSeries> Series;
  // Print-resolution percentage p: printed into W x H, the chart is laid out
  // on (W - W*p/100) x (H - H*p/100) and scaled into the rectangle.
  int PrintResolution = 0;

  TAxis& Axis(TAxisSide side);
  const TAxis& Axis(TAxisSide side) const;

  // The range an axis shows: its manual ends, and for each automatic end the
  // extreme of the active series drawn against it.  With no data the
  // automatic range is 0 .. 1; a range of zero width is widened by 1 on
  // each side of an automatic end.
  std::pair<double, double> AxisRange(TAxisSide side) const;
};

// Extremes over every series of a chart for axes that start at 0: the
// largest Y but at least 0, the smallest Y but at most 0, the largest X but
// at least 0.  No series, empty series and points not drawn leave them at 0.
double ChartMaxY(const TChart& chart);
double ChartMinY(const TChart& chart);
double ChartMaxX(const TChart& chart);

// A tick label written by a number pattern such as "    #,##0.###":
//   "0"  a digit that is always written; "#" a digit written when needed;
//   ","  among the integer digits: thousands are grouped (with "." when the
//        decimal separator is ",", else with ",");
//   "."  the decimal separator; the digits after it give the most decimals
//        ("#" and "0") and the fewest ("0"); further decimals are rounded off.
// Text before the first and after the last of these characters is written
// as it stands.  "    ###0.##" writes 1234.5 as "    1234.5".
std::string FormatAxisLabel(std::string_view pattern, double value, char decimalSeparator);

// Left (bottom) axis manual, minimum 0, then maximum 1.1 x value.
void SetLeftAxisMax(TChart& chart, double value);
void SetBottomAxisMax(TChart& chart, double value);

}  // namespace kirmel::fe
