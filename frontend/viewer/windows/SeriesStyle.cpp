#include "frontend/viewer/windows/SeriesStyle.h"

#include <stdexcept>
#include <string>

namespace kirmel::viewer {

namespace {

struct TStyleRow {
  fe::TColor Color;
  fe::TLinePattern Pattern;
  fe::TMarkerShape Shape;
  fe::TColor Fill;
};

using fe::TLinePattern;
using fe::TMarkerShape;
namespace colors = fe::colors;

constexpr TStyleRow kStyles[kSeriesStyles] = {
    {colors::Black, TLinePattern::Solid, TMarkerShape::Circle, colors::White},
    {colors::Blue, TLinePattern::Dot, TMarkerShape::DownTriangle, colors::White},
    {colors::Red, TLinePattern::DashDot, TMarkerShape::Rectangle, colors::White},
    {colors::Navy, TLinePattern::Dash, TMarkerShape::Triangle, colors::White},
    {colors::Green, TLinePattern::DashDotDot, TMarkerShape::DiagCross, colors::Black},
    {colors::Maroon, TLinePattern::Solid, TMarkerShape::Star, colors::Black},
    {colors::Fuchsia, TLinePattern::Dot, TMarkerShape::Circle, colors::Black},
    {colors::Lime, TLinePattern::DashDot, TMarkerShape::DownTriangle, colors::Black},
    {colors::Gray, TLinePattern::Dash, TMarkerShape::Rectangle, colors::Black},
    {colors::Purple, TLinePattern::DashDotDot, TMarkerShape::Triangle, colors::Black},
};

}  // namespace

void SetLineSeriesStyle(fe::TSeries& series, int k) {
  if (k < 1 || k > kSeriesStyles)
    throw std::out_of_range("SetLineSeriesStyle: no style " + std::to_string(k));
  const TStyleRow& row = kStyles[k - 1];
  series.Color = row.Color;
  series.Pattern = row.Pattern;
  series.Marker.Shape = row.Shape;
  series.Marker.Fill = row.Fill;
  series.Marker.Width = 2;
  series.Marker.Height = 2;
  series.Marker.ThreeD = false;
  series.Marker.Visible = false;
}

void CopyLineSeriesStyle(fe::TSeries& destination, const fe::TSeries& source) {
  destination.HorizontalAxis = source.HorizontalAxis;
  destination.Color = source.Color;
  destination.Pattern = source.Pattern;
  destination.LineWidth = source.LineWidth;
  // Only lines and areas are enlarged; any other kind is drawn as a line.
  destination.Kind =
      source.Kind == fe::TSeriesKind::Area ? fe::TSeriesKind::Area : fe::TSeriesKind::Line;
  destination.AreaLinesVisible = source.AreaLinesVisible;
  destination.Marker = source.Marker;
  destination.XOrder = source.XOrder;
  destination.YOrder = source.YOrder;
}

}  // namespace kirmel::viewer
