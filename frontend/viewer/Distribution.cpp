#include "frontend/viewer/Distribution.h"

#include <algorithm>

namespace kirmel::fe {

std::vector<TSeries> CompartmentSeries() {
  struct TSpec {
    const char* Title;
    TColor Color;
  };
  static constexpr TSpec kSpecs[kCompartments] = {{"Susp. solids", colors::Maroon},
                                                  {"Macrophytes", colors::Green},
                                                  {"Dissolved", colors::Aqua},
                                                  {"Dissolved sed.", colors::Blue},
                                                  {"Sorbed sed.", colors::Gray}};
  std::vector<TSeries> series;
  for (const TSpec& spec : kSpecs) {
    TSeries s;
    s.Title = spec.Title;
    s.Color = spec.Color;
    s.Kind = TSeriesKind::Area;
    s.AreaLinesVisible = false;
    s.Marker.Visible = false;
    series.push_back(std::move(s));
  }
  return series;
}

std::array<double, kCompartments> StackedValues(const TDBRecord& r, double factor) {
  std::array<double, kCompartments> v{};
  v[kSorbedSed] = r.SorbedSed * factor;
  v[kDissolvedSed] = (r.DissolvedSed + r.SorbedSed) * factor;
  v[kDissolved] = (r.Dissolved + r.DissolvedSed + r.SorbedSed) * factor;
  v[kMacrophytes] = (r.Dissolved + r.Macrophytes + r.DissolvedSed + r.SorbedSed) * factor;
  v[kSuspSolids] =
      (r.Dissolved + r.Macrophytes + r.SuspSolids + r.DissolvedSed + r.SorbedSed) * factor;
  return v;
}

namespace {

// The chart's compartment series, made when the chart has none yet.
std::vector<TSeries>& Compartments(TChart& chart) {
  if (chart.Series.size() != static_cast<std::size_t>(kCompartments))
    chart.Series = CompartmentSeries();
  for (TSeries& s : chart.Series) s.Clear();
  return chart.Series;
}

}  // namespace

void FillMassGraph(TChart& chart, const TDBList& dbdit) {
  std::vector<TSeries>& series = Compartments(chart);
  for (const TDBRecord& r : dbdit.Items()) {
    const auto v = StackedValues(r, 1);
    for (int c = 0; c < kCompartments; ++c) series[static_cast<std::size_t>(c)].Add(r.Time, v[c]);
  }
  chart.Bottom.SetAutomatic();
  SetLeftAxisMax(chart, ChartMaxY(chart));
}

int LineicRows(const TDBList& dbdit, const std::vector<TDBList>& subsystems) {
  int rows = dbdit.Count();
  for (const TDBList& db : subsystems) rows = std::min(rows, db.Count());
  return rows;
}

double FillLineicChart(TChart& chart, const TDBList& times, const TDBList& subsystem, int rows) {
  std::vector<TSeries>& series = Compartments(chart);
  rows = std::min({rows, times.Count(), subsystem.Count()});
  double largest = 0;
  for (int t = 0; t < rows; ++t) {
    const double time = times.GetItem(t).Time;
    const auto v = StackedValues(subsystem.GetItem(t), 1000);
    for (int c = 0; c < kCompartments; ++c) series[static_cast<std::size_t>(c)].Add(time, v[c]);
    largest = std::max(largest, v[kSuspSolids]);
  }
  chart.Bottom.SetAutomatic();
  return largest;
}

void ScaleLineicCharts(const std::vector<TChart*>& charts, double largest) {
  for (TChart* chart : charts) SetLeftAxisMax(*chart, largest);
}

}  // namespace kirmel::fe
