#include "frontend/viewer/ConcGraphs.h"

#include <algorithm>

#include "frontend/model/Numbers.h"

namespace kirmel::fe {

std::string OutputTimeTitle(const TWLSOCOList& wl, int t, char decimalSeparator) {
  const int first = wl.RecordIndex(t, 1);
  if (first < 0) return {};
  return Format("%.2f d", {wl.GetItem(first).Time}, decimalSeparator);
}

std::vector<std::string> OutputTimeTitles(const TWLSOCOList& wl, char decimalSeparator) {
  std::vector<std::string> titles;
  titles.reserve(static_cast<std::size_t>(wl.NumberOfTimesteps()));
  for (int t = 1; t <= wl.NumberOfTimesteps(); ++t)
    titles.push_back(OutputTimeTitle(wl, t, decimalSeparator));
  return titles;
}

std::string DistanceTitle(double distance, char decimalSeparator) {
  return Format("%f m", {distance}, decimalSeparator);
}

int FillAlongWaterBody(TSeries& series, const TINPUT& in, const TWLSOCOList& wl, int t,
                       char decimalSeparator) {
  series.Clear();
  series.Title = OutputTimeTitle(wl, t, decimalSeparator);
  const int first = wl.RecordIndex(t, 1);
  if (first < 0) return 0;
  // The file's blocks hold every water-layer node; the chart shows those of
  // the water body, placed at their mid-points.
  for (int segment = 1; segment <= in.NumberOfWLSegments(); ++segment) {
    const int index = wl.RecordIndex(t, in.WLNodeOfSegment(segment));
    if (index < 0) break;
    series.Add(in.WLMidDistance(segment), wl.GetItem(index).Concentration * 1000);
  }
  return wl.GetItem(first).Timestep;
}

void FillDepthProfile(TSeries& series, const TINPUT& in, const TWBSCOList& wb, int timestep) {
  series.Clear();
  series.HorizontalAxis = TAxisSide::Top;
  series.XOrder = TSortOrder::None;
  series.YOrder = TSortOrder::Descending;
  int first = 0;
  if (!wb.FindTimestep(timestep, first)) return;
  const int layers = in.NumberOfSedimentSegments();
  if (wb.LayersPerTimestep() < layers) return;
  for (int k = 1; k <= layers; ++k)
    series.Add(wb.Concentration(first + k - 1) * 1000, -in.SedimentMidDepth(k));
}

void SetDepthAxis(TChart& chart, const TINPUT& in) {
  const int layers = in.NumberOfSedimentSegments();
  const double deepest = layers > 0 ? in.SedimentMidDepth(layers) : 0;
  chart.Left.SetManual(-1.1 * deepest, 0);
}

void FillInTime(TSeries& series, const TINPUT& in, const TWLSOCOList& wl, int segment,
                char decimalSeparator) {
  series.Clear();
  series.Title = DistanceTitle(in.WLMidDistance(segment), decimalSeparator);
  const int node = in.WLNodeOfSegment(segment);
  for (int t = 1; t <= wl.NumberOfTimesteps(); ++t) {
    const int index = wl.RecordIndex(t, node);
    if (index < 0) break;
    const TWLSOCORecord& r = wl.GetItem(index);
    series.Add(r.Time, r.Concentration * 1000);
  }
}

void FillTopLayerInTime(TSeries& series, const TWBSCOList& wb, int outputTimes) {
  series.Clear();
  for (int t = 1; t <= outputTimes; ++t) {
    const int index = wb.TopIndex(t);
    if (index < 0) break;
    const TWBSCORecord& r = wb.GetItem(index);
    series.Add(r.Time, r.Concentration * 1000);
  }
}

TExposureRows ExposureRows(const TECList& ec, char decimalSeparator) {
  TExposureRows rows;  // every cell empty
  auto cell = [decimalSeparator](double value) {
    return value == -1 ? std::string("-") : Format("%g", {value}, decimalSeparator);
  };
  const int count = std::min(ec.Count(), static_cast<int>(rows.size()));
  for (int r = 0; r < count; ++r) {
    const TECRecord& record = ec.GetItem(r);
    rows[static_cast<std::size_t>(r)] = {cell(record.TimeOfOccurrence), cell(record.Concentration)};
  }
  return rows;
}

}  // namespace kirmel::fe
