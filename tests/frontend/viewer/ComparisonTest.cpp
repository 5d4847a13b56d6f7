// Comparisons of runs and of measured data without windows: golden runs
// copied into a runs' folder, hand-written measured-data files, the charts
// each comparison builds, every refusal with its message, and files that
// fail to read leaving the comparison as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/TempDir.h"
#include "frontend/viewer/Comparison.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using namespace kirmel::fe;

const std::string CR = "\r";

std::string GoldenDir(const std::string& run) {
  return std::string(KIRMEL_TEST_DATA) + "/kernel/golden/" + run + "/expected";
}

// A root whose RUNS folder holds copies of golden runs, and a token reader
// that collects the readers' messages.
class Comparisons : public testing::Test {
 protected:
  std::string Runs() const { return root.str() + "/RUNS"; }
  // Copies golden run `golden` to RUNS/<name> and returns its directory.
  std::string AddRun(const std::string& golden, const std::string& name) {
    const fs::path dir = fs::path(Runs()) / name;
    fs::create_directories(dir);
    for (const auto& f : fs::directory_iterator(GoldenDir(golden)))
      fs::copy_file(f.path(), dir / f.path().filename());
    return dir.string();
  }
  std::string Measured(const std::string& name, const std::string& text) {
    return root.write(name, text);
  }

  TempDir root;
  std::vector<std::string> messages;
  Parser parser{[this](const std::string& m) { messages.push_back(m); }};
};

std::vector<std::pair<double, double>> Points(const TSeries& s) {
  std::vector<std::pair<double, double>> out;
  for (const TChartPoint& p : s.Points) out.emplace_back(p.X, p.Y);
  return out;
}

using Pts = std::vector<std::pair<double, double>>;

// The points of a series, each within 1e-9 of those expected.
void ExpectPoints(const TSeries& s, const Pts& expected) {
  ASSERT_EQ(s.Points.size(), expected.size()) << s.Title;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(s.Points[i].X, expected[i].first, 1e-9) << s.Title << " point " << i;
    EXPECT_NEAR(s.Points[i].Y, expected[i].second, 1e-9) << s.Title << " point " << i;
  }
}

// ---- two runs ----

TEST_F(Comparisons, TwoWaterLayerRunsAtOneTime) {
  const std::string example = AddRun("example", "NLStandard_sp+Cpf");
  const std::string copy = AddRun("example", "Copy+Cpf");
  TCompareConc c(kWaterLayerComparison, root.str(), parser);
  c.Show(example, 0);
  EXPECT_EQ(c.RunDir1(), example);
  EXPECT_EQ(c.NameText(1), "NLStandard_sp+Cpf");
  EXPECT_EQ(c.TimeRun1(), 1);
  EXPECT_EQ(c.TimeText(1), "0.00 d");
  EXPECT_TRUE(c.TimeRowEnabled(1));
  EXPECT_FALSE(c.NodeRowEnabled(1));  // the water layer has no node
  EXPECT_FALSE(c.TimeRowEnabled(2));
  EXPECT_FALSE(c.RunBoxEnabled(1));   // nothing chosen under "Compare:" yet
  EXPECT_EQ(c.CheckView(), "You must first select a type of comparison");

  c.SetKind(TComparisonKind::TwoRuns);
  EXPECT_TRUE(c.RunBoxEnabled(2));
  EXPECT_FALSE(c.MeasuredBoxEnabled());
  EXPECT_EQ(c.CheckView(), "Could not create graph." + CR + "Run name missing.");

  // Run 2 from outside the runs' folder; then with a trailing separator.
  EXPECT_EQ(c.ChangeRun(2, GoldenDir("example")),
            "This is not a valid run." + CR + "Valid runs are in the directory " + Runs() + "." +
                CR + "Select a run from this directory.");
  EXPECT_TRUE(c.RunDir2().empty());
  EXPECT_EQ(c.ChangeRun(2, copy + "/"), "");
  EXPECT_EQ(c.RunDir2(), copy);
  EXPECT_EQ(c.TimeRun2(), 1);
  EXPECT_TRUE(c.TimeRowEnabled(2));
  EXPECT_TRUE(messages.empty());

  // Both at their first time: the chart can be built as it is.
  EXPECT_EQ(c.CheckView(), "");
  ASSERT_EQ(c.TimeLines(1).size(), 61u);
  EXPECT_EQ(c.TimeLines(1)[15], "7.50 d");
  c.ChooseTime(1, 16);
  c.ChooseTime(2, 62);  // not offered: nothing changes
  EXPECT_EQ(c.TimeRun2(), 1);

  const TChart chart = c.View();
  EXPECT_EQ(chart.Title, "Water layer");
  EXPECT_EQ(chart.Left.Title, "Concentration in water (µg/L)");
  EXPECT_EQ(chart.Bottom.Title, "Distance in waterbody (m)");
  EXPECT_EQ(chart.LegendPosition, TLegendPosition::Bottom);
  ASSERT_EQ(chart.Series.size(), 2u);
  const TSeries& run1 = chart.Series[0];
  const TSeries& run2 = chart.Series[1];
  EXPECT_EQ(run1.Title, "NLStandard_sp+Cpf  7.50 d");
  EXPECT_EQ(run2.Title, "Copy+Cpf  0.00 d");
  EXPECT_EQ(run1.Color, colors::Black);
  EXPECT_EQ(run1.Pattern, TLinePattern::Solid);
  EXPECT_EQ(run2.Color, colors::Blue);
  EXPECT_EQ(run2.Pattern, TLinePattern::Dot);
  ASSERT_EQ(run1.Points.size(), 80u);
  EXPECT_EQ(run1.Points.front().X, 2);
  EXPECT_EQ(run1.Points.back().X, 318);
  // Segment 6 at 7.5 d holds 0.3234E-05 g/m3 dissolved; at 0 d 0.4304E-02.
  EXPECT_NEAR(run1.Points[5].Y, 0.003234, 1e-12);
  EXPECT_NEAR(run2.Points[5].Y, 4.304, 1e-12);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Left), std::make_pair(0.0, 1.1 * ChartMaxY(chart)));
  EXPECT_EQ(chart.AxisRange(TAxisSide::Bottom), std::make_pair(0.0, 1.1 * 318));
  EXPECT_FALSE(chart.Left.Automatic);
}

TEST_F(Comparisons, SedimentProfilesOfTwoDifferentRuns) {
  const std::string example = AddRun("example", "example");
  const std::string buffers = AddRun("buffers", "buffers");
  TCompareConc c(kSedimentComparison, root.str(), parser);
  c.Show(example, 2);  // the subsystem under segment 80
  EXPECT_EQ(c.NodeRun1(), 2);
  EXPECT_EQ(c.NodeText(1), "318.00 m");
  EXPECT_TRUE(c.NodeRowEnabled(1));
  c.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(c.ChangeRun(2, buffers), "");
  EXPECT_EQ(c.NodeRun2(), 0);
  EXPECT_EQ(c.NodeText(2), "");
  EXPECT_TRUE(c.NodeRowEnabled(2));
  EXPECT_EQ(c.CheckView(), "Could not create graph." + CR + "Node missing.");

  // The buffers run: subsystems under nodes 3 and 7 (the water body's first
  // and last segments, behind two front-buffer segments) and node 1, in
  // the front buffer, which has no sediment file.
  EXPECT_EQ(c.NodeLines(2), (std::vector<std::string>{"2.00 m", "18.00 m", "node 1"}));
  c.ChooseNode(2, 3);
  EXPECT_EQ(messages, std::vector<std::string>{"Cannot open file \"" + buffers + "/WBSCO001.OUT\""});
  EXPECT_EQ(c.NodeRun2(), 0);
  c.ChooseNode(2, 2);
  EXPECT_EQ(c.NodeText(2), "18.00 m");
  c.ChooseTime(1, 2);
  c.ChooseTime(2, 3);
  ASSERT_EQ(c.CheckView(), "");

  const TChart chart = c.View();
  EXPECT_EQ(chart.Title, "Sediment");
  EXPECT_EQ(chart.Left.Title, "Depth (m)");
  EXPECT_EQ(chart.Top.Title, "Total concentration (µg/L)");
  EXPECT_FALSE(chart.Bottom.Visible);
  ASSERT_EQ(chart.Series.size(), 2u);
  const TSeries& a = chart.Series[0];
  const TSeries& b = chart.Series[1];
  EXPECT_EQ(a.Title, "example  318.00 m  0.50 d");
  EXPECT_EQ(b.Title, "buffers  18.00 m  0.50 d");
  for (const TSeries* s : {&a, &b}) {
    EXPECT_EQ(s->HorizontalAxis, TAxisSide::Top);
    EXPECT_EQ(s->XOrder, TSortOrder::None);
  }
  // 14 layers of the example from the surface down; the buffers run's 5,
  // its lower buffer left out.
  ASSERT_EQ(a.Points.size(), 14u);
  EXPECT_NEAR(a.Points[0].X, 104.2, 1e-9);
  EXPECT_EQ(a.Points[0].Y, -0.0005);
  EXPECT_NEAR(a.Points[13].Y, -0.09, 1e-12);
  ASSERT_EQ(b.Points.size(), 5u);
  EXPECT_NEAR(b.Points[4].Y, -0.03, 1e-12);
  EXPECT_NEAR(chart.Left.Minimum, 1.1 * -0.09, 1e-12);
  EXPECT_EQ(chart.Left.Maximum, 0);
  EXPECT_FALSE(chart.Left.Automatic);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Top), std::make_pair(0.0, 1.1 * ChartMaxX(chart)));
  EXPECT_FALSE(chart.Top.Automatic);
}

TEST_F(Comparisons, TwoRunsInTime) {
  const std::string example = AddRun("example", "example");
  const std::string seepage = AddRun("seepage", "seepage");
  TCompareConcTime water(kWaterLayerComparison, root.str(), parser);
  water.Show(example);
  EXPECT_EQ(water.NodeRun1(), 1);  // the first segment, chosen at once
  EXPECT_EQ(water.NodeText(1), "2.00 m");
  water.SetKind(TComparisonKind::TwoRuns);
  EXPECT_EQ(water.CheckView(), "Could not create graph." + CR + "Run name missing.");
  ASSERT_EQ(water.ChangeRun(2, seepage), "");
  EXPECT_EQ(water.NodeRun2(), 1);
  ASSERT_EQ(water.NodeLines(1).size(), 80u);
  water.ChooseNode(1, 80);
  ASSERT_EQ(water.CheckView(), "");
  TChart chart = water.View();
  EXPECT_EQ(chart.Bottom.Title, "Time (d)");
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[0].Title, "example  318.00 m");
  ASSERT_EQ(chart.Series[0].Points.size(), 61u);
  EXPECT_EQ(chart.Series[0].Points.back().X, 30);
  EXPECT_NEAR(chart.Series[0].Points.back().Y, 0.4795, 1e-12);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Bottom), std::make_pair(0.0, 1.1 * 30));

  // The sediment's top layer: the first subsystem of each run is chosen.
  TCompareConcTime sediment(kSedimentComparison, root.str(), parser);
  sediment.Show(example);
  sediment.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(sediment.ChangeRun(2, seepage), "");
  EXPECT_EQ(sediment.NodeText(2), sediment.NodeLines(2)[0]);
  sediment.ChooseNode(1, 2);
  ASSERT_EQ(sediment.CheckView(), "");
  chart = sediment.View();
  EXPECT_EQ(chart.Title, "Sediment");
  EXPECT_EQ(chart.Left.Title, "Avg. concentration top layer (µg/L)");
  ASSERT_EQ(chart.Series[0].Points.size(), 61u);
  EXPECT_EQ(chart.Series[0].Points.back().X, 30);
  EXPECT_NEAR(chart.Series[0].Points.back().Y, 54.75, 1e-9);
  EXPECT_TRUE(messages.empty());
}

// ---- measured data ----

TEST_F(Comparisons, WaterLayerSamplesAtInstants) {
  const std::string example = AddRun("example", "example");
  // Two times, two distances each; deviations ride on the points.
  const std::string file = Measured("instants.dat",
                                    "* measured at 1 d and 2 d\n"
                                    "1 1 10 0.005 0.001\n"
                                    "1 1 50 0.002 0.0002   ! second distance\n"
                                    "2 2 10 0.003 0.0005\n"
                                    "2 2 50 0.0015 0.0001\n");
  TCompareConc at(kWaterLayerComparison, root.str(), parser);
  at.Show(example, 0);
  at.SetKind(TComparisonKind::Measured);
  EXPECT_FALSE(at.RunBoxEnabled(2));
  EXPECT_TRUE(at.MeasuredBoxEnabled());
  EXPECT_EQ(at.CheckView(), "Could not create graph." + CR + "Run- or filename missing.");
  EXPECT_EQ(at.ChangeMeasuredFile(root.file("missing.dat")), "File does not exist.");
  ASSERT_EQ(at.ChangeMeasuredFile(file), "");
  EXPECT_EQ(at.FileNameText(), file);
  EXPECT_EQ(at.SamplePeriod(), 1);
  EXPECT_EQ(at.SamplePeriodText(), "1.00 d - 1.00 d");
  EXPECT_TRUE(at.SamplePeriodRowEnabled());
  EXPECT_FALSE(at.MeasuredTimeRowEnabled());
  EXPECT_EQ(at.SamplePeriodLines(), (std::vector<std::string>{"1.00 d - 1.00 d", "2.00 d - 2.00 d"}));
  at.StandardDeviations = true;
  ASSERT_EQ(at.CheckView(), "");
  TChart chart = at.View();
  ASSERT_EQ(chart.Series.size(), 3u);
  const TSeries& bars = chart.Series[0];
  EXPECT_EQ(bars.Kind, TSeriesKind::ErrorBars);
  EXPECT_EQ(bars.Color, colors::Blue);
  EXPECT_EQ(bars.ErrorBarWidth, 10);
  EXPECT_FALSE(bars.ShowInLegend);
  ExpectPoints(bars, Pts{{10, 5}, {50, 2}});
  EXPECT_EQ(bars.Errors, (std::vector<double>{1, 0.2}));
  const TSeries& points = chart.Series[1];
  EXPECT_EQ(points.Kind, TSeriesKind::Points);
  EXPECT_EQ(points.Title, "Measured  1.00 d - 1.00 d");
  EXPECT_EQ(points.Marker.Shape, TMarkerShape::Circle);
  EXPECT_TRUE(points.ShowInLegend);
  ExpectPoints(points, Pts{{10, 5}, {50, 2}});
  EXPECT_EQ(chart.Series[2].Title, "example  0.00 d");
  // 5 + 1 µg/L reaches above the run's 4.304.
  EXPECT_DOUBLE_EQ(chart.Left.Maximum, 1.1 * 6);
  EXPECT_DOUBLE_EQ(chart.Bottom.Maximum, 1.1 * 318);
  // Without deviations: the points and the run, the axis to the point.
  at.StandardDeviations = false;
  at.ChooseSamplePeriod(2);
  chart = at.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  ExpectPoints(chart.Series[0], Pts{{10, 3}, {50, 1.5}});
  EXPECT_DOUBLE_EQ(chart.Left.Maximum, 1.1 * 4.304);

  // In time: one distance over both times, drawn as points at the times.
  TCompareConcTime in(kWaterLayerComparison, root.str(), parser);
  in.Show(example);
  in.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(in.ChangeMeasuredFile(file), "");
  EXPECT_EQ(in.DistanceText(), "10.00 m");
  EXPECT_EQ(in.DistanceLines(), (std::vector<std::string>{"10.00 m", "50.00 m"}));
  in.ChooseDistance(2);
  in.StandardDeviations = true;
  ASSERT_EQ(in.CheckView(), "");
  chart = in.View();
  ASSERT_EQ(chart.Series.size(), 3u);
  ExpectPoints(chart.Series[0], Pts{{1, 2}, {2, 1.5}});
  EXPECT_EQ(chart.Series[0].Errors, (std::vector<double>{0.2, 0.1}));
  EXPECT_EQ(chart.Series[1].Title, "Measured  50.00 m");
  ExpectPoints(chart.Series[1], Pts{{1, 2}, {2, 1.5}});
  EXPECT_EQ(chart.Series[2].Title, "example  2.00 m");
  EXPECT_TRUE(messages.empty());
}

TEST_F(Comparisons, WaterLayerSamplesOverPeriodsAreAStepLine) {
  const std::string example = AddRun("example", "example");
  TCompareConcTime c(kWaterLayerComparison, root.str(), parser);
  c.Show(example);
  c.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(c.ChangeMeasuredFile(Measured("periods.dat",
                                          "0 1 10 0.002 0.0002\n"
                                          "2 3 10 0.001\n0.0001\n")),  // a record over two lines
            "");
  c.StandardDeviations = true;
  TChart chart = c.View();
  ASSERT_EQ(chart.Series.size(), 3u);
  const TSeries& step = chart.Series[0];
  EXPECT_EQ(step.Kind, TSeriesKind::StepLine);
  EXPECT_EQ(step.Color, colors::Blue);
  EXPECT_EQ(step.Title, "Measured  10.00 m");
  ExpectPoints(step, Pts{{0, 0}, {0, 2}, {1, 2}, {1, 0}, {2, 0}, {2, 1}, {3, 1}, {3, 0}});
  const TSeries& bars = chart.Series[1];
  EXPECT_EQ(bars.Kind, TSeriesKind::ErrorBars);
  EXPECT_EQ(bars.Color, TColor::FromBGR(0x808000));
  EXPECT_EQ(bars.Color, colors::Teal);
  EXPECT_FALSE(bars.ShowInLegend);
  ExpectPoints(bars, Pts{{0.5, 2}, {2.5, 1}});
  EXPECT_EQ(bars.Errors, (std::vector<double>{0.2, 0.1}));
  EXPECT_EQ(chart.Series[2].Title, "example  2.00 m");

  // Periods that do not start at 0 d step up from the time axis, not
  // slanting from the origin; adjoining periods share their edge.
  ASSERT_EQ(c.ChangeMeasuredFile(Measured("later.dat",
                                          "0.5 1 10 0.002 0\n"
                                          "1 2 10 0.004 0\n")),
            "");
  ExpectPoints(c.View().Series[0], Pts{{0, 0}, {0.5, 0}, {0.5, 2}, {1, 2}, {1, 4}, {2, 4}, {2, 0}});

  // The first record decides: equal start and end make instants, whatever
  // the later records hold.
  ASSERT_EQ(c.ChangeMeasuredFile(Measured("first.dat",
                                          "4 4 10 0.002 0\n"
                                          "5 6 10 0.001 0\n")),
            "");
  c.StandardDeviations = false;
  chart = c.View();
  EXPECT_EQ(chart.Series[0].Kind, TSeriesKind::Points);
  ExpectPoints(chart.Series[0], Pts{{4, 2}, {5, 1}});
}

TEST_F(Comparisons, SedimentSamplesAreAStepLineDownward) {
  const std::string example = AddRun("example", "example");
  // Layers 0-0.01 m and 0.02-0.05 m at 1 d and at 3 d.
  const std::string file = Measured("sediment.dat",
                                    "1 0    0.01 0.1  0.02\n"
                                    "1 0.02 0.05 0.05 0.01\n"
                                    "3 0    0.01 0.08 0.01\n"
                                    "3 0.02 0.05 0.04 0.005\n");
  TCompareConc at(kSedimentComparison, root.str(), parser);
  at.Show(example, 1);
  at.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(at.ChangeMeasuredFile(file), "");
  EXPECT_EQ(at.MeasuredTime(), 1);
  EXPECT_EQ(at.MeasuredTimeText(), "1.00 d");
  EXPECT_TRUE(at.MeasuredTimeRowEnabled());
  EXPECT_FALSE(at.SamplePeriodRowEnabled());
  EXPECT_EQ(at.MeasuredTimeLines(), (std::vector<std::string>{"1.00 d", "3.00 d"}));
  at.ChooseTime(1, 3);
  at.StandardDeviations = true;
  ASSERT_EQ(at.CheckView(), "");
  const TChart chart = at.View();
  ASSERT_EQ(chart.Series.size(), 4u);
  const TSeries& step = chart.Series[0];
  EXPECT_EQ(step.Kind, TSeriesKind::StepLine);
  EXPECT_EQ(step.Title, "Measured  1.00 d");
  EXPECT_EQ(step.HorizontalAxis, TAxisSide::Top);
  ExpectPoints(step, Pts{{100, 0},
                               {100, -0.01},
                               {0, -0.01},
                               {0, -0.02},
                               {50, -0.02},
                               {50, -0.05},
                               {0, -0.05}});
  for (int i = 1; i <= 2; ++i) {
    const TSeries& d = chart.Series[static_cast<std::size_t>(i)];
    EXPECT_EQ(d.Color, colors::Teal);
    EXPECT_TRUE(d.Marker.Visible);
    EXPECT_EQ(d.Marker.Shape, TMarkerShape::Rectangle);
    EXPECT_FALSE(d.ShowInLegend);
    EXPECT_EQ(d.Title, "Measured  1.00 d");
    EXPECT_EQ(d.HorizontalAxis, TAxisSide::Top);
  }
  ExpectPoints(chart.Series[1], Pts{{80, -0.005}, {120, -0.005}});
  ExpectPoints(chart.Series[2], Pts{{40, -0.035}, {60, -0.035}});
  EXPECT_EQ(chart.Series[3].Title, "example  2.00 m  1.00 d");
  // The run reaches deeper (0.09 m); the deviation reaches furthest.
  EXPECT_EQ(chart.AxisRange(TAxisSide::Left), std::make_pair(1.1 * -0.09, 0.0));
  EXPECT_GE(chart.Top.Maximum, 1.1 * 120);

  // In time: one layer at both measuring times.
  TCompareConcTime in(kSedimentComparison, root.str(), parser);
  in.Show(example);
  in.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(in.ChangeMeasuredFile(file), "");
  EXPECT_EQ(in.DepthLayerText(), "0.000 m - 0.010 m");
  EXPECT_EQ(in.DepthLayerLines(),
            (std::vector<std::string>{"0.000 m - 0.010 m", "0.020 m - 0.050 m"}));
  in.ChooseDepthLayer(2);
  const TChart time = in.View();
  ASSERT_EQ(time.Series.size(), 2u);
  EXPECT_EQ(time.Series[0].Title, "Measured  0.020 m - 0.050 m");
  ExpectPoints(time.Series[0], Pts{{1, 50}, {3, 40}});
}

// ---- refusals ----

TEST_F(Comparisons, EveryCheckInItsOrder) {
  const std::string example = AddRun("example", "example");
  const std::string file = Measured("wl.dat", "1 1 10 0.002 0.001\n");
  auto cannot = [](const std::string& why) { return "Could not create graph." + CR + why; };

  // At one time, water layer: a run without output times has no time.
  const std::string empty = AddRun("example", "empty");
  {
    std::string text = readFile(empty + "/wlsoco.out");
    root.write("RUNS/empty/wlsoco.out", text.substr(0, text.find("   0.000")));
  }
  TCompareConc w(kWaterLayerComparison, root.str(), parser);
  w.Show(empty, 0);
  EXPECT_EQ(w.TimeRun1(), 0);
  EXPECT_EQ(w.TimeText(1), "");
  w.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(w.ChangeRun(2, example), "");
  EXPECT_EQ(w.CheckView(), cannot("Timestep missing."));
  w.SetKind(TComparisonKind::Measured);
  EXPECT_EQ(w.CheckView(), cannot("Run- or filename missing."));
  ASSERT_EQ(w.ChangeMeasuredFile(file), "");
  EXPECT_EQ(w.CheckView(), cannot("Timestep or sample period missing."));

  // At one time, sediment.
  TCompareConc s(kSedimentComparison, root.str(), parser);
  s.Show(example, 0);
  s.SetKind(TComparisonKind::TwoRuns);
  EXPECT_EQ(s.CheckView(), cannot("Run name missing."));
  ASSERT_EQ(s.ChangeRun(2, empty), "");
  EXPECT_EQ(s.CheckView(), cannot("Node missing."));
  s.ChooseNode(1, 1);
  s.ChooseNode(2, 1);
  EXPECT_EQ(s.CheckView(), cannot("Timestep missing."));
  s.SetKind(TComparisonKind::Measured);
  EXPECT_EQ(s.CheckView(), cannot("Run- or filename missing."));
  ASSERT_EQ(s.ChangeMeasuredFile(Measured("none.dat", "* nothing measured\n")), "");
  EXPECT_EQ(s.MeasuredTime(), 0);
  EXPECT_EQ(s.CheckView(), cannot("Timestep missing."));
  ASSERT_EQ(s.ChangeMeasuredFile(Measured("wb.dat", "1 0 0.01 0.1 0.01\n")), "");
  TCompareConc s2(kSedimentComparison, root.str(), parser);
  s2.Show(example, 0);
  s2.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(s2.ChangeMeasuredFile(root.file("wb.dat")), "");
  EXPECT_EQ(s2.CheckView(), cannot("Node missing."));
  s2.ChooseNode(1, 2);
  EXPECT_EQ(s2.CheckView(), "");

  // In time.
  TCompareConcTime t(kWaterLayerComparison, root.str(), parser);
  t.Show(example);
  t.SetKind(TComparisonKind::Measured);
  EXPECT_EQ(t.CheckView(), cannot("Run- or filename missing."));
  ASSERT_EQ(t.ChangeMeasuredFile(Measured("nothing.dat", "\n")), "");
  EXPECT_EQ(t.CheckView(), cannot("Node or distance missing."));
  TCompareConcTime ts(kSedimentComparison, root.str(), parser);
  ts.Show(root.file("RUNS/nowhere"));  // run 1 does not read: nothing is preset
  EXPECT_EQ(ts.RunDir1(), "");
  EXPECT_FALSE(ts.NodeRowEnabled(1));
  ts.SetKind(TComparisonKind::TwoRuns);
  EXPECT_EQ(ts.CheckView(), cannot("Run name missing."));
  ASSERT_EQ(ts.ChangeRun(1, example), "");
  ASSERT_EQ(ts.ChangeRun(2, empty), "");
  EXPECT_EQ(ts.CheckView(), "");
  ts.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(ts.ChangeMeasuredFile(root.file("none.dat")), "");
  EXPECT_EQ(ts.CheckView(), cannot("Node or depth layer missing."));
  // Reading the in-time set-up of a run without subsystems' files: node 0.
  fs::remove(empty + "/wbsco001.out");
  ASSERT_EQ(ts.ChangeRun(2, empty), "");
  EXPECT_EQ(ts.NodeRun2(), 0);
  ts.SetKind(TComparisonKind::TwoRuns);
  EXPECT_EQ(ts.CheckView(), cannot("Node missing."));
  EXPECT_EQ(messages.back(), "Cannot open file \"" + empty + "/WBSCO001.OUT\"");
}

// A second run or measured file that fails to read leaves the comparison
// as it was: names, choices, readers and the chart.
TEST_F(Comparisons, FailingFilesKeepTheComparisonAsItWas) {
  const std::string example = AddRun("example", "example");
  const std::string copy = AddRun("example", "copy");
  TCompareConc c(kWaterLayerComparison, root.str(), parser);
  c.Show(example, 0);
  c.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(c.ChangeRun(2, copy), "");
  c.ChooseTime(2, 61);
  const TChart before = c.View();
  auto same = [&](const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(c.RunDir2(), copy);
    EXPECT_EQ(c.NameText(2), "copy");
    EXPECT_EQ(c.TimeRun2(), 61);
    EXPECT_EQ(c.Run(2).WLSOCO.NumberOfTimesteps(), 61);
    const TChart after = c.View();
    ASSERT_EQ(after.Series.size(), before.Series.size());
    EXPECT_EQ(after.Series[1].Title, before.Series[1].Title);
    EXPECT_EQ(Points(after.Series[1]), Points(before.Series[1]));
  };

  // A run without its concentration file; one whose file holds a bad number
  // half-way; one whose echo file is cut.
  const std::string missing = AddRun("freundlich", "missing");
  fs::remove(missing + "/wlsoco.out");
  EXPECT_EQ(c.ChangeRun(2, missing), "");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.back(), "Cannot open file \"" + missing + "/WLSOCO.OUT\"");
  same("missing file");

  const std::string bad = AddRun("freundlich", "bad");
  {
    std::string text = readFile(bad + "/wlsoco.out");
    text.insert(text.rfind('\n', text.size() - 2) + 1, "x");
    root.write("RUNS/bad/wlsoco.out", text);
  }
  EXPECT_EQ(c.ChangeRun(2, bad), "");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages.back().find("WLSOCO.OUT, line "), std::string::npos) << messages.back();
  same("bad number");

  const std::string cut = AddRun("freundlich", "cut");
  {
    const std::string text = readFile(cut + "/input.out");
    root.write("RUNS/cut/input.out", text.substr(0, text.find("wbin:")));
  }
  EXPECT_EQ(c.ChangeRun(2, cut), "");
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_NE(messages.back().find("INPUT.OUT, line "), std::string::npos) << messages.back();
  same("cut echo");

  // Measured files: a good one, then one whose groups differ in size and one
  // cut inside a record; the good one stays with its chosen period.
  c.SetKind(TComparisonKind::Measured);
  const std::string good = Measured("good.dat", "1 1 10 0.002 0\n2 2 10 0.003 0\n");
  ASSERT_EQ(c.ChangeMeasuredFile(good), "");
  c.ChooseSamplePeriod(2);
  const TChart measured = c.View();
  for (const std::string& text : {std::string("1 1 10 0.002 0\n1 1 20 0.002 0\n2 2 10 0.003 0\n"),
                                  std::string("1 1 10 0.002 0\n2 2 10\n")}) {
    const std::size_t count = messages.size();
    EXPECT_EQ(c.ChangeMeasuredFile(Measured("bad.dat", text)), "");
    EXPECT_EQ(messages.size(), count + 1);
    EXPECT_NE(messages.back().find("bad.dat, line "), std::string::npos) << messages.back();
    EXPECT_EQ(c.MeasuredFile(), good);
    EXPECT_EQ(c.SamplePeriod(), 2);
    EXPECT_EQ(c.WLMeasureData().Count(), 2);
    EXPECT_EQ(Points(c.View().Series[0]), Points(measured.Series[0]));
  }
  EXPECT_EQ(c.ChangeMeasuredFile(root.str()), "File does not exist.");
  EXPECT_EQ(c.MeasuredFile(), good);

  // A subsystem whose sediment file is missing keeps the node chosen before.
  TCompareConc s(kSedimentComparison, root.str(), parser);
  s.Show(example, 1);
  fs::remove(example + "/wbsco080.out");
  s.ChooseNode(1, 2);
  EXPECT_EQ(s.NodeRun1(), 1);
  EXPECT_EQ(s.NodeText(1), "2.00 m");
  EXPECT_EQ(s.Run(1).WBSCO.NumberOfTimesteps(), 61);
}

// Files that lack the chosen place or time give empty series, never points
// from elsewhere.
TEST_F(Comparisons, ShortBlocksAndMissingTimesGiveEmptySeries) {
  const std::string example = AddRun("example", "example");
  const std::string shortRun = AddRun("example", "short");
  {
    // Every time block without its last segment: 79 rows for 80 segments.
    std::istringstream in(readFile(shortRun + "/wlsoco.out"));
    std::string text, line;
    while (std::getline(in, line))
      if (line.size() < 14 || line.substr(8, 5) != "   80") text += line + "\n";
    root.write("RUNS/short/wlsoco.out", text);
    // The sediment file of segment 80 ends after its third time block.
    const std::string sed = readFile(shortRun + "/wbsco080.out");
    root.write("RUNS/short/wbsco080.out", sed.substr(0, sed.find("   1.500    1")));
  }
  TCompareConc at(kWaterLayerComparison, root.str(), parser);
  at.Show(example, 0);
  at.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(at.ChangeRun(2, shortRun), "");
  EXPECT_TRUE(messages.empty());
  TChart chart = at.View();
  EXPECT_EQ(chart.Series[0].Points.size(), 80u);
  EXPECT_TRUE(chart.Series[1].Points.empty());

  TCompareConc sed(kSedimentComparison, root.str(), parser);
  sed.Show(example, 2);
  sed.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(sed.ChangeRun(2, shortRun), "");
  sed.ChooseNode(2, 2);
  ASSERT_EQ(sed.NodeRun2(), 2);
  sed.ChooseTime(2, 3);
  EXPECT_EQ(sed.View().Series[1].Points.size(), 14u);
  sed.ChooseTime(2, 4);  // 1.50 d: not in the sediment file
  chart = sed.View();
  EXPECT_EQ(chart.Series[0].Points.size(), 14u);
  EXPECT_TRUE(chart.Series[1].Points.empty());

  TCompareConcTime in(kWaterLayerComparison, root.str(), parser);
  in.Show(shortRun);
  in.ChooseNode(1, 80);
  in.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(in.ChangeRun(2, example), "");
  chart = in.View();
  EXPECT_TRUE(chart.Series[0].Points.empty());
  EXPECT_EQ(chart.Series[1].Points.size(), 61u);

  // In time the sediment curve ends where its file ends.
  TCompareConcTime top(kSedimentComparison, root.str(), parser);
  top.Show(shortRun);
  top.ChooseNode(1, 2);
  top.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(top.ChangeRun(2, example), "");
  EXPECT_EQ(top.View().Series[0].Points.size(), 3u);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace kirmel::test
