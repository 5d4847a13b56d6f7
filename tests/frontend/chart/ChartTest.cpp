#include "frontend/chart/Chart.h"

#include <cmath>

#include <gtest/gtest.h>

namespace kirmel::fe {
namespace {

TSeries Line(std::initializer_list<TChartPoint> points) {
  TSeries s;
  s.Points = points;
  return s;
}

TEST(ChartExtremes, StartFromZero) {
  TChart empty;
  EXPECT_EQ(ChartMaxY(empty), 0);
  EXPECT_EQ(ChartMinY(empty), 0);

  TChart negative;
  negative.Series = {Line({{1, -3}, {2, -1}}), Line({})};
  EXPECT_EQ(ChartMaxY(negative), 0);
  EXPECT_EQ(ChartMinY(negative), -3);

  TChart positive;
  positive.Series = {Line({{1, 3}, {5, 1}}), Line({{-2, 7}, {std::nan(""), std::nan("")}})};
  EXPECT_EQ(ChartMaxY(positive), 7);
  EXPECT_EQ(ChartMinY(positive), 0);
  EXPECT_EQ(ChartMaxX(positive), 5);
}

// A point with a coordinate that is no finite number is not drawn: neither
// of its coordinates widens an automatic axis or the extremes the axes
// start from, and a bar of no finite height leaves only its point.
TEST(ChartAxes, PointsNotDrawnDoNotWidenTheRange) {
  const double nan = std::nan("");
  const double inf = HUGE_VAL;
  TChart chart;
  chart.Series = {Line({{1, 2}, {3, 4}}),
                  Line({{nan, 100}, {-50, nan}, {200, inf}, {-inf, -30}, {nan, nan}})};
  EXPECT_EQ(chart.AxisRange(TAxisSide::Left), std::make_pair(2.0, 4.0));
  EXPECT_EQ(chart.AxisRange(TAxisSide::Bottom), std::make_pair(1.0, 3.0));
  EXPECT_EQ(ChartMaxY(chart), 4);
  EXPECT_EQ(ChartMinY(chart), 0);
  EXPECT_EQ(ChartMaxX(chart), 3);

  TSeries bars;
  bars.Kind = TSeriesKind::ErrorBars;
  bars.AddError(2, 3, nan);
  bars.AddError(2.5, 3.5, 0.25);
  bars.AddError(nan, 1000, 1);
  chart.Series.push_back(bars);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Left), std::make_pair(2.0, 4.0));
  EXPECT_EQ(chart.AxisRange(TAxisSide::Bottom), std::make_pair(1.0, 3.0));
  EXPECT_EQ(ChartMaxY(chart), 4);

  // Bars alone on their axis, the one not a number last: its point counts,
  // and the range stays finite.
  TChart alone;
  TSeries last;
  last.Kind = TSeriesKind::ErrorBars;
  last.AddError(1, 3, 0.5);
  last.AddError(2, 5, nan);
  alone.Series = {last};
  EXPECT_EQ(alone.AxisRange(TAxisSide::Left), std::make_pair(2.5, 5.0));
}

TEST(ChartAxes, AxisMaxHelpersAndSafeOrder) {
  TChart chart;
  chart.Series = {Line({{0, 2}, {4, 10}})};
  SetLeftAxisMax(chart, ChartMaxY(chart));
  EXPECT_FALSE(chart.Left.Automatic);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Left), std::make_pair(0.0, 1.1 * 10));
  // The bottom axis is still automatic: it follows the data.
  EXPECT_EQ(chart.AxisRange(TAxisSide::Bottom), std::make_pair(0.0, 4.0));

  // Going down (0..10 over 20..30) sets the minimum first, going up (40..50)
  // the maximum first; either way the axis ends where it was asked to.
  TAxis axis;
  axis.SetManual(20, 30);
  axis.SetManual(0, 10);
  EXPECT_EQ(axis.Minimum, 0);
  EXPECT_EQ(axis.Maximum, 10);
  axis.SetManual(40, 50);
  EXPECT_EQ(axis.Minimum, 40);
  EXPECT_EQ(axis.Maximum, 50);

  // One fixed end: the other follows the data of the series drawn against it.
  TChart depth;
  TSeries profile = Line({{5, -0.01}, {3, -0.2}});
  profile.HorizontalAxis = TAxisSide::Top;
  profile.XOrder = TSortOrder::None;
  depth.Series = {profile};
  depth.Left.SetMaximum(0);
  EXPECT_EQ(depth.AxisRange(TAxisSide::Left), std::make_pair(-0.2, 0.0));
  EXPECT_EQ(depth.AxisRange(TAxisSide::Top), std::make_pair(3.0, 5.0));
  EXPECT_EQ(depth.AxisRange(TAxisSide::Bottom), std::make_pair(0.0, 1.0));  // no data

  // Hidden series keep their points but do not widen an automatic axis.
  TChart hidden;
  TSeries big = Line({{-50, 100}, {90, -20}});
  big.Active = false;
  hidden.Series = {Line({{1, 2}, {3, 4}}), big};
  EXPECT_EQ(hidden.AxisRange(TAxisSide::Left), std::make_pair(2.0, 4.0));
  EXPECT_EQ(hidden.AxisRange(TAxisSide::Bottom), std::make_pair(1.0, 3.0));
  hidden.Series[0].Active = false;  // nothing drawn: as with no data
  EXPECT_EQ(hidden.AxisRange(TAxisSide::Left), std::make_pair(0.0, 1.0));

  // Flat data: a range of zero width opens by 1 on each automatic side, so
  // a run without pesticide in a compartment still gets an axis.
  TChart flat;
  flat.Series = {Line({{0, 5}, {10, 5}}), Line({{20, 5}})};
  EXPECT_EQ(flat.AxisRange(TAxisSide::Left), std::make_pair(4.0, 6.0));
  flat.Series = {Line({{0, 0}, {10, 0}})};
  EXPECT_EQ(flat.AxisRange(TAxisSide::Left), std::make_pair(-1.0, 1.0));
  flat.Left.SetMinimum(0);  // one end fixed: only the other side opens
  EXPECT_EQ(flat.AxisRange(TAxisSide::Left), std::make_pair(0.0, 1.0));
  flat.Left.SetAutomatic();
  flat.Left.SetMaximum(0);
  EXPECT_EQ(flat.AxisRange(TAxisSide::Left), std::make_pair(-1.0, 0.0));

  // Error bars widen the value range by their half-heights.
  TChart bars;
  TSeries e;
  e.Kind = TSeriesKind::ErrorBars;
  e.AddError(1, 4, 1.5);
  bars.Series = {e};
  EXPECT_EQ(bars.AxisRange(TAxisSide::Left), std::make_pair(2.5, 5.5));
}

TEST(ChartAxes, LabelPatterns) {
  EXPECT_EQ(FormatAxisLabel("      #,##0.#######", 1234567.25, '.'), "      1,234,567.25");
  EXPECT_EQ(FormatAxisLabel("      #,##0.#######", 0.000000049, '.'), "      0");
  EXPECT_EQ(FormatAxisLabel("      #,##0.#######", -0.5, ','), "      -0,5");
  EXPECT_EQ(FormatAxisLabel("    #,##0.###", 12345.6789, ','), "    12.345,679");
  EXPECT_EQ(FormatAxisLabel("    ###0.##", 1234.5, '.'), "    1234.5");
  EXPECT_EQ(FormatAxisLabel("0.00 mg", 3, '.'), "3.00 mg");
  EXPECT_EQ(FormatAxisLabel("#,##0", 999.5, '.'), "1,000");
  // No "0" before the separator: no digit before it below 1.
  EXPECT_EQ(FormatAxisLabel("#.##", 0.5, '.'), ".5");
  EXPECT_EQ(FormatAxisLabel("#.##", -0.25, ','), "-,25");
  EXPECT_EQ(FormatAxisLabel("#.##", 12.346, '.'), "12.35");
  EXPECT_EQ(FormatAxisLabel("#.##", 3, '.'), "3");
  EXPECT_EQ(FormatAxisLabel("#.##", 0, '.'), "0");
}

TEST(ChartColors, BGRValues) {
  EXPECT_EQ(TColor::FromBGR(0x808000), colors::Teal);
  EXPECT_EQ(TColor::FromBGR(0x0000FF), colors::Red);
}

}  // namespace
}  // namespace kirmel::fe
