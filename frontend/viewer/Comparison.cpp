#include "frontend/viewer/Comparison.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "frontend/editor/Directories.h"
#include "frontend/editor/Run.h"
#include "frontend/editor/Settings.h"
#include "frontend/model/Numbers.h"
#include "frontend/viewer/GraphChoices.h"
#include "frontend/viewer/RunEnd.h"
#include "platform/Paths.h"

namespace kirmel::fe {

namespace {

const std::string kCR(1, '\r');
constexpr TColor kTeal = TColor::FromBGR(0x808000);

// µg/L from the files' g/m3.
double Shown(double gPerM3) { return gPerM3 * 1000; }

// A depth drawn downward; a surface at 0 stays +0.
double Below(double depth) { return 0.0 - depth; }

TChart NewChart(const char* title) {
  TChart chart;
  chart.Title = title;
  chart.LegendVisible = true;
  chart.LegendPosition = TLegendPosition::Bottom;
  return chart;
}

// Run 1 black and solid, run 2 blue and dotted; no markers.
TSeries RunLine(int r, std::string title) {
  TSeries s;
  s.Title = std::move(title);
  s.Kind = TSeriesKind::Line;
  s.Color = r == 1 ? colors::Black : colors::Blue;
  s.Pattern = r == 1 ? TLinePattern::Solid : TLinePattern::Dot;
  s.LineWidth = 2;
  s.Marker.Visible = false;
  return s;
}

// Concentration on the top axis against depth, the points in the order
// given so the line follows depth.
void AsDepthProfile(TSeries& s) {
  s.HorizontalAxis = TAxisSide::Top;
  s.XOrder = TSortOrder::None;
  s.YOrder = TSortOrder::Descending;
}

TSeries MeasuredPoints(std::string title) {
  TSeries s;
  s.Title = std::move(title);
  s.Kind = TSeriesKind::Points;
  s.Color = colors::Blue;
  s.Marker.Visible = true;
  s.Marker.Shape = TMarkerShape::Circle;
  s.Marker.Width = 3;
  s.Marker.Height = 3;
  s.Marker.Fill = colors::Blue;
  return s;
}

TSeries MeasuredStepLine(std::string title) {
  TSeries s;
  s.Title = std::move(title);
  s.Kind = TSeriesKind::StepLine;
  s.Color = colors::Blue;
  s.LineWidth = 2;
  s.XOrder = TSortOrder::None;
  return s;
}

// Bars of +-deviation with ends 10 pixels wide, not listed in the legend.
TSeries DeviationBars(std::string title, TColor color) {
  TSeries s;
  s.Title = std::move(title);
  s.Kind = TSeriesKind::ErrorBars;
  s.Color = color;
  s.ErrorBarWidth = 10;
  s.ShowInLegend = false;
  return s;
}

// A measured sample: where or when it was taken, and its concentration and
// standard deviation in the files' g/m3.
struct TSample {
  double X;
  double Concentration;
  double Deviation;
};

// Samples as points, with their deviations as bars beneath them when
// `deviations`.
void AddMeasuredPoints(TChart& chart, const std::string& title, bool deviations,
                       const std::vector<TSample>& samples) {
  TSeries bars = DeviationBars(title, colors::Blue);
  TSeries points = MeasuredPoints(title);
  for (const TSample& p : samples) {
    bars.AddError(p.X, Shown(p.Concentration), Shown(p.Deviation));
    points.Add(p.X, Shown(p.Concentration));
  }
  if (deviations) chart.Series.push_back(std::move(bars));
  chart.Series.push_back(std::move(points));
}

// The lines of a pick list of `count` items, each from its 1-based number.
template <class Label>
std::vector<std::string> Lines(int count, Label label) {
  std::vector<std::string> lines;
  for (int k = 1; k <= count; ++k) lines.push_back(label(k));
  return lines;
}

// Takes line `line` (1-based) of a list of `count` lines as `choice`; 0 and
// lines not offered change nothing.
void ChooseLine(int& choice, int line, int count) {
  if (line >= 1 && line <= count) choice = line;
}

// The largest value drawn, an error bar counting with its upper end.
double MaxYWithErrors(const TChart& chart) {
  double max = ChartMaxY(chart);
  for (const TSeries& s : chart.Series) {
    if (s.Kind != TSeriesKind::ErrorBars) continue;
    for (std::size_t i = 0; i < s.Points.size() && i < s.Errors.size(); ++i) {
      const double top = s.Points[i].Y + std::fabs(s.Errors[i]);
      if (top > max) max = top;
    }
  }
  return max;
}

// Both axes from 0 to 1.1 x the largest value drawn against them.
void SetAxesFromZero(TChart& chart) {
  SetLeftAxisMax(chart, MaxYWithErrors(chart));
  SetBottomAxisMax(chart, ChartMaxX(chart));
}

// Depth from 1.1 x the deepest point to 0, concentration from 0 to 1.1 x
// the largest.
void SetDepthAxes(TChart& chart) {
  chart.Left.SetManual(1.1 * ChartMinY(chart), 0);
  chart.Top.SetManual(0, 1.1 * ChartMaxX(chart));
}

}  // namespace

std::string InvalidRunMessage(const std::string& runsDir) {
  return "This is not a valid run." + kCR + "Valid runs are in the directory " + runsDir + "." +
         kCR + "Select a run from this directory.";
}

// ---- shared ----

TComparison::TComparison(int graphType, std::string root, Parser& parser, TOutputCache& cache)
    : parser_(parser), cache_(cache), graphType_(graphType), root_(std::move(root)) {}

std::string TComparison::RunsDir() const { return root_ + "/RUNS"; }

const TComparedRun& TComparison::Run(int r) const {
  if (r != 1 && r != 2) throw std::out_of_range("a comparison has runs 1 and 2");
  return runs_[r - 1];
}

TComparedRun& TComparison::MutableRun(int r) {
  if (r != 1 && r != 2) throw std::out_of_range("a comparison has runs 1 and 2");
  return runs_[r - 1];
}

void TComparison::Reading(const std::function<void(TReadContext&)>& reads) {
  TReadContext context(reports_.Sink(), parser_.DecimalSeparator(), Progress);
  try {
    reads(context);
  } catch (const TReadCancelled&) {
    // A cancelled choice changes nothing and says nothing.
    reports_.Take();
    notice_.clear();
    throw;
  } catch (...) {
    ShowReports();  // what was read before the failure is still said
    throw;
  }
  ShowReports();
}

void TComparison::ShowReports() {
  const std::string text = reports_.Take();
  const std::string notice = std::move(notice_);
  notice_.clear();
  SayWithNotice(notice, text, [this](const std::string& m) { parser_.ShowMessage(m); },
                Information);
}

bool TComparison::ReadRun(const std::string& dir, TComparedRun& run, TReadContext& context) {
  run.Dir = dir;
  const TRunEnd end(dir, MarkerPath(TSettings(root_)));
  if (!end.ReadEcho(cache_, context, run.Input) || !end.HasResultFile("wlsoco.out", context))
    return false;
  // A file that stopped early gives its complete time blocks; the reader
  // has said where it stopped.
  if (!cache_.WLSOCO(dir + "/wlsoco.out", context, run.WLSOCO)) return false;
  notice_ = end.StoppedNotice(run.Input, LastOutputTime(run.WLSOCO), DecimalSeparator);
  return true;
}

bool TComparison::ShowRun1(const std::string& runDir1, TReadContext& context) {
  TComparedRun fresh;
  const std::string dir = StripTrailingSeparator(runDir1);
  if (dir.empty() || !ReadRun(dir, fresh, context)) {
    MutableRun(1) = TComparedRun{};
    return false;
  }
  PresetRun(fresh, context);
  MutableRun(1) = std::move(fresh);
  return true;
}

void TComparison::TakeSubsystem(TComparedRun& run, int i, TReadContext& context) {
  const std::string name = Format("wbsco%.3d.out", {run.Input.Subsystems(i)}, '.');
  TWBSCOList list;
  if (!cache_.WBSCO(run.Dir + "/" + name, context, list)) return;
  run.WBSCO = std::move(list);
  run.Node = i;
}

std::string TComparison::ChangeRun(int r, const std::string& chosenDir) {
  MutableRun(r);  // r checked before anything is read
  const std::string dir = StripTrailingSeparator(chosenDir);
  if (!IsRunDirectory(dir, root_)) return InvalidRunMessage(RunsDir());
  Reading([&](TReadContext& context) {
    TComparedRun fresh;
    if (ReadRun(dir, fresh, context)) {
      PresetRun(fresh, context);
      MutableRun(r) = std::move(fresh);
    }
  });
  return {};
}

std::string TComparison::ChangeMeasuredFile(const std::string& path) {
  const std::optional<std::string> found = paths::resolveExisting(path);
  std::error_code ec;
  if (path.empty() || !found || !std::filesystem::is_regular_file(*found, ec))
    return "File does not exist.";
  // Measured data are taken whole or not at all.
  bool read = false;
  Reading([&](TReadContext& context) {
    if (graphType_ == kSedimentComparison) {
      TWBMeasure fresh;
      read = fresh.ReadFile(path, context);
      if (read) wbMeasure_ = std::move(fresh);
    } else {
      TWLMeasure fresh;
      read = fresh.ReadFile(path, context);
      if (read) wlMeasure_ = std::move(fresh);
    }
  });
  if (!read) return {};
  measuredFile_ = path;
  PresetMeasured();
  return {};
}

std::vector<int> TComparison::NodeChoices(const TComparedRun& run) const {
  if (run.Dir.empty()) return {};
  if (NodeIsSubsystem()) return SubsystemsInWaterBody(run.Input);
  std::vector<int> segments;
  for (int k = 1; k <= run.Input.NumberOfWLSegments(); ++k) segments.push_back(k);
  return segments;
}

void TComparison::ChooseNode(int r, int line) {
  TComparedRun& run = MutableRun(r);
  const std::vector<int> choices = NodeChoices(run);
  if (line < 1 || line > static_cast<int>(choices.size())) return;
  const int node = choices[static_cast<std::size_t>(line - 1)];
  if (NodeIsSubsystem()) {
    Reading([&](TReadContext& context) { TakeSubsystem(run, node, context); });
  } else {
    run.Node = node;
  }
}

std::string TComparison::Label(const std::string& format, double value) const {
  return Format(format, {value}, DecimalSeparator);
}

std::string TComparison::DistanceOfSubsystem(const TINPUT& input, int i) const {
  return Label("%f m", SubsystemDistance(input, i));
}

std::string TComparison::NameText(int r) const {
  const TComparedRun& run = Run(r);
  return run.Dir.empty() ? std::string() : ExtractLastDirectory(run.Dir);
}

std::string TComparison::NodeLabel(const TComparedRun& run, int node) const {
  if (NodeIsSubsystem()) return DistanceOfSubsystem(run.Input, node);
  return Label("%f m", run.Input.WLMidDistance(node));
}

std::string TComparison::NodeText(int r) const {
  const TComparedRun& run = Run(r);
  return run.Node == 0 ? std::string() : NodeLabel(run, run.Node);
}

std::vector<std::string> TComparison::NodeLines(int r) const {
  const TComparedRun& run = Run(r);
  std::vector<std::string> lines;
  for (int node : NodeChoices(run)) lines.push_back(NodeLabel(run, node));
  return lines;
}

bool TComparison::RunBoxEnabled(int r) const {
  Run(r);
  if (kind_ == TComparisonKind::TwoRuns) return true;
  return kind_ == TComparisonKind::Measured && r == 1;
}

TChart TComparison::View() const {
  return graphType_ == kSedimentComparison ? ViewSediment() : ViewWaterLayer();
}

std::string TComparison::CannotCreate(const std::string& reason) {
  return "Could not create graph." + kCR + reason;
}

// ---- at one output time ----

TCompareConc::TCompareConc(int graphType, std::string root, Parser& parser, TOutputCache& cache)
    : TComparison(graphType, std::move(root), parser, cache) {}

void TCompareConc::Show(const std::string& runDir1, int nodeRun1) {
  Reading([&](TReadContext& context) {
    if (ShowRun1(runDir1, context) && GraphType() == kSedimentComparison) {
      TComparedRun& run = MutableRun(1);
      const std::vector<int> subsystems = SubsystemsInWaterBody(run.Input);
      if (std::find(subsystems.begin(), subsystems.end(), nodeRun1) != subsystems.end())
        TakeSubsystem(run, nodeRun1, context);
    }
  });
}

void TCompareConc::PresetRun(TComparedRun& run, TReadContext&) {
  run.Time = run.WLSOCO.NumberOfTimesteps() > 0 ? 1 : 0;
  run.Node = 0;
}

void TCompareConc::PresetMeasured() {
  samplePeriod_ = 0;
  measuredTime_ = 0;
  if (GraphType() == kSedimentComparison)
    measuredTime_ = WBMeasureData().NumberOfPeriods() > 0 ? 1 : 0;
  else
    samplePeriod_ = WLMeasureData().NumberOfPeriods() > 0 ? 1 : 0;
}

void TCompareConc::ChooseTime(int r, int t) {
  TComparedRun& run = MutableRun(r);
  if (!run.Dir.empty()) ChooseLine(run.Time, t, run.WLSOCO.NumberOfTimesteps());
}

void TCompareConc::ChooseSamplePeriod(int g) {
  if (!MeasuredFile().empty()) ChooseLine(samplePeriod_, g, WLMeasureData().NumberOfPeriods());
}

void TCompareConc::ChooseMeasuredTime(int g) {
  if (!MeasuredFile().empty()) ChooseLine(measuredTime_, g, WBMeasureData().NumberOfPeriods());
}

std::string TCompareConc::TimeLabel(const TComparedRun& run, int t) const {
  return Label("%.2f d", run.WLSOCO.GetItem(run.WLSOCO.RecordIndex(t, 1)).Time);
}

std::string TCompareConc::TimeText(int r) const {
  const TComparedRun& run = Run(r);
  return run.Time == 0 ? std::string() : TimeLabel(run, run.Time);
}

std::string TCompareConc::SamplePeriodLabel(int g) const {
  const TWLMeasureRecord& first = WLMeasureData().GetItem(WLMeasureData().RecordIndex(g, 1));
  return Format("%.2f d - %.2f d", {first.StartTime, first.EndTime}, DecimalSeparator);
}

std::string TCompareConc::MeasuredTimeLabel(int g) const {
  return Label("%.2f d", WBMeasureData().GetItem(WBMeasureData().RecordIndex(g, 1)).Time);
}

std::string TCompareConc::SamplePeriodText() const {
  return samplePeriod_ == 0 ? std::string() : SamplePeriodLabel(samplePeriod_);
}

std::string TCompareConc::MeasuredTimeText() const {
  return measuredTime_ == 0 ? std::string() : MeasuredTimeLabel(measuredTime_);
}

std::vector<std::string> TCompareConc::TimeLines(int r) const {
  const TComparedRun& run = Run(r);
  if (run.Dir.empty()) return {};
  return Lines(run.WLSOCO.NumberOfTimesteps(), [&](int t) { return TimeLabel(run, t); });
}

std::vector<std::string> TCompareConc::SamplePeriodLines() const {
  return Lines(WLMeasureData().NumberOfPeriods(), [this](int g) { return SamplePeriodLabel(g); });
}

std::vector<std::string> TCompareConc::MeasuredTimeLines() const {
  return Lines(WBMeasureData().NumberOfPeriods(), [this](int g) { return MeasuredTimeLabel(g); });
}

bool TCompareConc::TimeRowEnabled(int r) const { return !Run(r).Dir.empty(); }

bool TCompareConc::NodeRowEnabled(int r) const {
  return GraphType() == kSedimentComparison && !Run(r).Dir.empty();
}

bool TCompareConc::SamplePeriodRowEnabled() const {
  return GraphType() != kSedimentComparison && !MeasuredFile().empty();
}

bool TCompareConc::MeasuredTimeRowEnabled() const {
  return GraphType() == kSedimentComparison && !MeasuredFile().empty();
}

std::string TCompareConc::CheckView() const {
  if (Kind() == TComparisonKind::None) return "You must first select a type of comparison";
  const TComparedRun& a = Run(1);
  const TComparedRun& b = Run(2);
  const bool sediment = GraphType() == kSedimentComparison;
  if (Kind() == TComparisonKind::TwoRuns) {
    if (a.Dir.empty() || b.Dir.empty()) return CannotCreate("Run name missing.");
    if (sediment && (a.Node == 0 || b.Node == 0)) return CannotCreate("Node missing.");
    if (a.Time == 0 || b.Time == 0) return CannotCreate("Timestep missing.");
    return {};
  }
  if (a.Dir.empty() || MeasuredFile().empty()) return CannotCreate("Run- or filename missing.");
  if (!sediment) {
    if (a.Time == 0 || samplePeriod_ == 0) return CannotCreate("Timestep or sample period missing.");
    return {};
  }
  if (a.Time == 0 || measuredTime_ == 0) return CannotCreate("Timestep missing.");
  if (a.Node == 0) return CannotCreate("Node missing.");
  return {};
}

TSeries TCompareConc::WaterLayerRunSeries(int r) const {
  const TComparedRun& run = Run(r);
  TSeries s = RunLine(r, NameText(r) + "  " + TimeText(r));
  std::vector<TChartPoint> points;
  for (int k = 1; k <= run.Input.NumberOfWLSegments(); ++k) {
    const int i = run.WLSOCO.RecordIndex(run.Time, run.Input.WLNodeOfSegment(k));
    if (i < 0) return s;  // the time block is shorter than the water body
    points.push_back({run.Input.WLMidDistance(k), Shown(run.WLSOCO.GetItem(i).Concentration)});
  }
  s.Points = std::move(points);
  return s;
}

TSeries TCompareConc::SedimentRunSeries(int r) const {
  const TComparedRun& run = Run(r);
  TSeries s = RunLine(r, NameText(r) + "  " + NodeText(r) + "  " + TimeText(r));
  AsDepthProfile(s);
  // The sediment block written at the time step of the chosen output time.
  const int first = run.WLSOCO.RecordIndex(run.Time, 1);
  int block = -1;
  if (first < 0 || !run.WBSCO.FindTimestep(run.WLSOCO.GetItem(first).Timestep, block)) return s;
  const int n = run.Input.NumberOfSedimentSegments();
  if (n > run.WBSCO.LayersPerTimestep()) return s;
  for (int k = 1; k <= n; ++k)
    s.Add(Shown(run.WBSCO.Concentration(block + k - 1)),
          Below(run.Input.SedimentMidDepth(k)));
  return s;
}

TChart TCompareConc::ViewWaterLayer() const {
  TChart chart = NewChart("Water layer");
  chart.Left.Title = "Concentration in water (µg/L)";
  chart.Bottom.Title = "Distance in waterbody (m)";
  if (Kind() == TComparisonKind::TwoRuns) {
    chart.Series.push_back(WaterLayerRunSeries(1));
    chart.Series.push_back(WaterLayerRunSeries(2));
  } else {
    const TWLMeasure& m = WLMeasureData();
    std::vector<TSample> samples;
    for (int k = 1; k <= m.PointsPerPeriod(); ++k) {
      const TWLMeasureRecord& p = m.GetItem(m.RecordIndex(samplePeriod_, k));
      samples.push_back({p.Distance, p.Concentration, p.StandardDeviation});
    }
    AddMeasuredPoints(chart, "Measured  " + SamplePeriodText(), StandardDeviations, samples);
    chart.Series.push_back(WaterLayerRunSeries(1));
  }
  SetAxesFromZero(chart);
  return chart;
}

TChart TCompareConc::ViewSediment() const {
  TChart chart = NewChart("Sediment");
  chart.Left.Title = "Depth (m)";
  chart.Top.Title = "Total concentration (µg/L)";
  chart.Bottom.Visible = false;
  if (Kind() == TComparisonKind::TwoRuns) {
    chart.Series.push_back(SedimentRunSeries(1));
    chart.Series.push_back(SedimentRunSeries(2));
  } else {
    const std::string title = "Measured  " + MeasuredTimeText();
    const TWBMeasure& m = WBMeasureData();
    TSeries step = MeasuredStepLine(title);
    AsDepthProfile(step);
    std::vector<TSeries> deviations;
    const TWBMeasureRecord* previous = nullptr;
    for (int k = 1; k <= m.PointsPerPeriod(); ++k) {
      const TWBMeasureRecord& layer = m.GetItem(m.RecordIndex(measuredTime_, k));
      const double c = Shown(layer.Concentration);
      // A gap between two layers is drawn at concentration 0.
      if (previous && layer.LayerTop != previous->LayerBottom) {
        step.Add(0, Below(previous->LayerBottom));
        step.Add(0, Below(layer.LayerTop));
      }
      step.Add(c, Below(layer.LayerTop));
      step.Add(c, Below(layer.LayerBottom));
      if (StandardDeviations) {
        const double sd = Shown(layer.StandardDeviation);
        const double middle = Below((layer.LayerTop + layer.LayerBottom) / 2);
        TSeries d;
        d.Title = title;
        d.Kind = TSeriesKind::Line;
        d.Color = kTeal;
        d.Marker.Visible = true;
        d.Marker.Shape = TMarkerShape::Rectangle;
        d.Marker.Width = 1;
        d.Marker.Height = 2;
        d.Marker.Fill = kTeal;
        d.Marker.ThreeD = false;
        d.ShowInLegend = false;
        AsDepthProfile(d);
        d.Add(c - sd, middle);
        d.Add(c + sd, middle);
        deviations.push_back(std::move(d));
      }
      previous = &layer;
    }
    if (previous) step.Add(0, Below(previous->LayerBottom));
    chart.Series.push_back(std::move(step));
    for (TSeries& d : deviations) chart.Series.push_back(std::move(d));
    chart.Series.push_back(SedimentRunSeries(1));
  }
  SetDepthAxes(chart);
  return chart;
}

// ---- in time ----

TCompareConcTime::TCompareConcTime(int graphType, std::string root, Parser& parser,
                                   TOutputCache& cache)
    : TComparison(graphType, std::move(root), parser, cache) {}

void TCompareConcTime::Show(const std::string& runDir1) {
  Reading([&](TReadContext& context) { ShowRun1(runDir1, context); });
}

void TCompareConcTime::PresetRun(TComparedRun& run, TReadContext& context) {
  run.Node = 0;
  if (GraphType() != kSedimentComparison) {
    if (run.Input.NumberOfWLSegments() > 0) run.Node = 1;
    return;
  }
  const std::vector<int> subsystems = SubsystemsInWaterBody(run.Input);
  if (!subsystems.empty()) TakeSubsystem(run, subsystems.front(), context);
}

void TCompareConcTime::PresetMeasured() {
  measuredDistance_ = 0;
  measuredLayer_ = 0;
  if (GraphType() == kSedimentComparison)
    measuredLayer_ = WBMeasureData().Count() > 0 ? 1 : 0;
  else
    measuredDistance_ = WLMeasureData().Count() > 0 ? 1 : 0;
}

void TCompareConcTime::ChooseDistance(int k) {
  if (!MeasuredFile().empty()) ChooseLine(measuredDistance_, k, WLMeasureData().PointsPerPeriod());
}

void TCompareConcTime::ChooseDepthLayer(int k) {
  if (!MeasuredFile().empty()) ChooseLine(measuredLayer_, k, WBMeasureData().PointsPerPeriod());
}

std::string TCompareConcTime::DistanceLabel(int k) const {
  return Label("%f m", WLMeasureData().GetItem(k - 1).Distance);
}

std::string TCompareConcTime::DepthLayerLabel(int k) const {
  const TWBMeasureRecord& layer = WBMeasureData().GetItem(k - 1);
  return Format("%.3f m - %.3f m", {layer.LayerTop, layer.LayerBottom}, DecimalSeparator);
}

std::string TCompareConcTime::DistanceText() const {
  return measuredDistance_ == 0 ? std::string() : DistanceLabel(measuredDistance_);
}

std::string TCompareConcTime::DepthLayerText() const {
  return measuredLayer_ == 0 ? std::string() : DepthLayerLabel(measuredLayer_);
}

std::vector<std::string> TCompareConcTime::DistanceLines() const {
  return Lines(WLMeasureData().PointsPerPeriod(), [this](int k) { return DistanceLabel(k); });
}

std::vector<std::string> TCompareConcTime::DepthLayerLines() const {
  return Lines(WBMeasureData().PointsPerPeriod(), [this](int k) { return DepthLayerLabel(k); });
}

bool TCompareConcTime::NodeRowEnabled(int r) const { return !Run(r).Dir.empty(); }

bool TCompareConcTime::DistanceRowEnabled() const {
  return GraphType() != kSedimentComparison && !MeasuredFile().empty();
}

bool TCompareConcTime::DepthLayerRowEnabled() const {
  return GraphType() == kSedimentComparison && !MeasuredFile().empty();
}

std::string TCompareConcTime::CheckView() const {
  if (Kind() == TComparisonKind::None) return "You must first select a type of comparison";
  const TComparedRun& a = Run(1);
  const TComparedRun& b = Run(2);
  if (Kind() == TComparisonKind::TwoRuns) {
    if (a.Dir.empty() || b.Dir.empty()) return CannotCreate("Run name missing.");
    if (a.Node == 0 || b.Node == 0) return CannotCreate("Node missing.");
    return {};
  }
  if (a.Dir.empty() || MeasuredFile().empty()) return CannotCreate("Run- or filename missing.");
  if (GraphType() == kSedimentComparison) {
    if (a.Node == 0 || measuredLayer_ == 0) return CannotCreate("Node or depth layer missing.");
  } else if (a.Node == 0 || measuredDistance_ == 0) {
    return CannotCreate("Node or distance missing.");
  }
  return {};
}

TSeries TCompareConcTime::WaterLayerRunSeries(int r) const {
  const TComparedRun& run = Run(r);
  TSeries s = RunLine(r, NameText(r) + "  " + NodeText(r));
  const int node = run.Input.WLNodeOfSegment(run.Node);
  std::vector<TChartPoint> points;
  for (int t = 1; t <= run.WLSOCO.NumberOfTimesteps(); ++t) {
    const int i = run.WLSOCO.RecordIndex(t, node);
    if (i < 0) return s;  // the time blocks are shorter than the water body
    const TWLSOCORecord& row = run.WLSOCO.GetItem(i);
    points.push_back({row.Time, Shown(row.Concentration)});
  }
  s.Points = std::move(points);
  return s;
}

TSeries TCompareConcTime::SedimentRunSeries(int r) const {
  const TComparedRun& run = Run(r);
  TSeries s = RunLine(r, NameText(r) + "  " + NodeText(r));
  // The sediment file may end before the water layer's (a run that stopped
  // between the two): the curve ends with it.
  for (int t = 1; t <= run.WLSOCO.NumberOfTimesteps(); ++t) {
    const int i = run.WBSCO.TopIndex(t);
    if (i < 0) break;
    const TWBSCORecord& top = run.WBSCO.GetItem(i);
    s.Add(top.Time, Shown(top.Concentration));
  }
  return s;
}

TChart TCompareConcTime::ViewWaterLayer() const {
  TChart chart = NewChart("Water layer");
  chart.Left.Title = "Concentration in water (µg/L)";
  chart.Bottom.Title = "Time (d)";
  if (Kind() == TComparisonKind::TwoRuns) {
    chart.Series.push_back(WaterLayerRunSeries(1));
    chart.Series.push_back(WaterLayerRunSeries(2));
    SetAxesFromZero(chart);
    return chart;
  }
  const std::string title = "Measured  " + DistanceText();
  const TWLMeasure& m = WLMeasureData();
  const TWLMeasureRecord& first = m.GetItem(0);
  if (first.EndTime == first.StartTime) {
    // Samples taken at an instant: points at their times.
    std::vector<TSample> samples;
    for (int g = 1; g <= m.NumberOfPeriods(); ++g) {
      const TWLMeasureRecord& p = m.GetItem(m.RecordIndex(g, measuredDistance_));
      samples.push_back({p.StartTime, p.Concentration, p.StandardDeviation});
    }
    AddMeasuredPoints(chart, title, StandardDeviations, samples);
  } else {
    // Samples over periods: a step line at 0 between periods, with the
    // deviation at the middle of each period.
    TSeries step = MeasuredStepLine(title);
    TSeries bars = DeviationBars(title, kTeal);
    step.Add(0, 0);
    for (int g = 1; g <= m.NumberOfPeriods(); ++g) {
      const TWLMeasureRecord& p = m.GetItem(m.RecordIndex(g, measuredDistance_));
      const double c = Shown(p.Concentration);
      if (g == 1) {
        if (p.StartTime != 0) step.Add(p.StartTime, 0);
      } else {
        const double previousEnd = m.GetItem(m.RecordIndex(g - 1, measuredDistance_)).EndTime;
        if (previousEnd != p.StartTime) {
          step.Add(previousEnd, 0);
          step.Add(p.StartTime, 0);
        }
      }
      step.Add(p.StartTime, c);
      step.Add(p.EndTime, c);
      bars.AddError((p.StartTime + p.EndTime) / 2, c, Shown(p.StandardDeviation));
    }
    step.Add(step.Points.back().X, 0);
    chart.Series.push_back(std::move(step));
    if (StandardDeviations) chart.Series.push_back(std::move(bars));
  }
  chart.Series.push_back(WaterLayerRunSeries(1));
  SetAxesFromZero(chart);
  return chart;
}

TChart TCompareConcTime::ViewSediment() const {
  TChart chart = NewChart("Sediment");
  chart.Left.Title = "Avg. concentration top layer (µg/L)";
  chart.Bottom.Title = "Time (d)";
  if (Kind() == TComparisonKind::TwoRuns) {
    chart.Series.push_back(SedimentRunSeries(1));
    chart.Series.push_back(SedimentRunSeries(2));
  } else {
    const TWBMeasure& m = WBMeasureData();
    std::vector<TSample> samples;
    for (int g = 1; g <= m.NumberOfPeriods(); ++g) {
      const TWBMeasureRecord& p = m.GetItem(m.RecordIndex(g, measuredLayer_));
      samples.push_back({p.Time, p.Concentration, p.StandardDeviation});
    }
    AddMeasuredPoints(chart, "Measured  " + DepthLayerText(), StandardDeviations, samples);
    chart.Series.push_back(SedimentRunSeries(1));
  }
  SetAxesFromZero(chart);
  return chart;
}

}  // namespace kirmel::fe
