// Comparisons of runs and of measured data without windows: golden runs
// copied into a runs' folder, hand-written measured-data files, the charts
// each comparison builds, every refusal with its message, and files that
// fail to read leaving the comparison as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "common/GoldenRuns.h"
#include "common/TempDir.h"
#include "frontend/model/Numbers.h"
#include "frontend/viewer/Comparison.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using namespace kirmel::fe;

const std::string CR = "\r";
using Pts = std::vector<std::pair<double, double>>;

std::string Cannot(const std::string& why) { return "Could not create graph." + CR + why; }

// The points of a series, each within 1e-9 of those expected.
void ExpectPoints(const TSeries& s, const Pts& expected) {
  ASSERT_EQ(s.Points.size(), expected.size()) << s.Title;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(s.Points[i].X, expected[i].first, 1e-9) << s.Title << " point " << i;
    EXPECT_NEAR(s.Points[i].Y, expected[i].second, 1e-9) << s.Title << " point " << i;
  }
}

// The same points in the same order.
bool SamePoints(const std::vector<TChartPoint>& a, const std::vector<TChartPoint>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TChartPoint& p, const TChartPoint& q) {
    return p.X == q.X && p.Y == q.Y;
  });
}

// A root whose RUNS folder holds copies of golden runs, and a token reader
// that collects the readers' messages.
class Comparisons : public testing::Test {
 protected:
  std::string Runs() const { return root.str() + "/RUNS"; }
  std::string AddRun(const std::string& golden, const std::string& name) {
    const fs::path dir = fs::path(Runs()) / name;
    CopyGoldenRun(golden, dir);
    return dir.string();
  }

  TempDir root;
  std::vector<std::string> messages;
  Parser parser{[this](const std::string& m) { messages.push_back(m); }};
};

// ---- two runs ----

TEST_F(Comparisons, TwoWaterLayerRunsAtOneTime) {
  const std::string example = AddRun("example", "NLStandard_sp+Cpf");
  const std::string copy = AddRun("example", "Copy+Cpf");
  TCompareConc c(kWaterLayerComparison, root.str(), parser);
  c.Show(example, 0);
  EXPECT_EQ(c.NameText(1), "NLStandard_sp+Cpf");
  EXPECT_EQ(c.TimeText(1), "0.00 d");
  EXPECT_FALSE(c.NodeRowEnabled(1));  // the water layer has no node
  EXPECT_FALSE(c.RunBoxEnabled(1));   // nothing chosen under "Compare:" yet
  EXPECT_EQ(c.CheckView(), "You must first select a type of comparison");
  c.SetKind(TComparisonKind::TwoRuns);
  EXPECT_EQ(c.CheckView(), Cannot("Run name missing."));

  // Run 2 from outside the runs' folder; then with a trailing separator.
  EXPECT_EQ(c.ChangeRun(2, fs::path(KIRMEL_TEST_DATA).string()),
            "This is not a valid run." + CR + "Valid runs are in the directory " + Runs() + "." +
                CR + "Select a run from this directory.");
  EXPECT_TRUE(c.RunDir2().empty());
  EXPECT_EQ(c.ChangeRun(2, copy + "/"), "");
  EXPECT_EQ(c.RunDir2(), copy);
  // Both at their first time: the chart can be built as it is.
  EXPECT_EQ(c.TimeRun2(), 1);
  EXPECT_EQ(c.CheckView(), "");
  ASSERT_GE(c.TimeLines(1).size(), 16u);
  EXPECT_EQ(c.TimeLines(1)[15], "7.50 d");
  c.ChooseTime(1, 16);

  const TChart chart = c.View();
  EXPECT_EQ(chart.Title, "Water layer");
  EXPECT_EQ(chart.Left.Title, "Concentration in water (µg/L)");
  EXPECT_EQ(chart.Bottom.Title, "Distance in waterbody (m)");
  ASSERT_EQ(chart.Series.size(), 2u);
  const TSeries& run1 = chart.Series[0];
  const TSeries& run2 = chart.Series[1];
  EXPECT_EQ(run1.Title, "NLStandard_sp+Cpf  7.50 d");
  EXPECT_EQ(run2.Title, "Copy+Cpf  0.00 d");
  EXPECT_EQ(run2.Color, colors::Blue);
  EXPECT_EQ(run2.Pattern, TLinePattern::Dot);
  ASSERT_EQ(run1.Points.size(), 80u);
  ASSERT_EQ(run2.Points.size(), 80u);
  EXPECT_EQ(run1.Points.back().X, 318);
  // Segment 6 holds 0.3234E-05 g/m3 dissolved at 7.5 d, 0.4304E-02 at 0 d.
  EXPECT_NEAR(run1.Points[5].Y, 0.003234, 1e-12);
  EXPECT_NEAR(run2.Points[5].Y, 4.304, 1e-12);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Left), std::make_pair(0.0, 1.1 * ChartMaxY(chart)));
  EXPECT_EQ(chart.AxisRange(TAxisSide::Bottom), std::make_pair(0.0, 1.1 * 318));
  EXPECT_TRUE(messages.empty());
}

TEST_F(Comparisons, SedimentProfilesOfTwoDifferentRuns) {
  const std::string example = AddRun("example", "example");
  const std::string buffers = AddRun("buffers", "buffers");
  TCompareConc c(kSedimentComparison, root.str(), parser);
  c.Show(example, 2);  // the subsystem under segment 80
  EXPECT_EQ(c.NodeText(1), "318.00 m");
  c.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(c.ChangeRun(2, buffers), "");
  EXPECT_EQ(c.NodeRun2(), 0);
  EXPECT_EQ(c.CheckView(), Cannot("Node missing."));

  // The buffers run: subsystems under nodes 3 and 7 (the water body's first
  // and last segments, behind two front-buffer segments); the third, on
  // node 1 in the front buffer, has no files and is not offered.
  EXPECT_EQ(c.NodeLines(2), (std::vector<std::string>{"2.00 m", "18.00 m"}));
  c.ChooseNode(2, 3);
  EXPECT_EQ(c.NodeRun2(), 0);
  c.ChooseNode(2, 2);
  EXPECT_EQ(c.NodeRun2(), 2);
  c.ChooseTime(1, 2);
  c.ChooseTime(2, 3);
  ASSERT_EQ(c.CheckView(), "");

  const TChart chart = c.View();
  EXPECT_EQ(chart.Left.Title, "Depth (m)");
  EXPECT_EQ(chart.Top.Title, "Total concentration (µg/L)");
  EXPECT_FALSE(chart.Bottom.Visible);
  ASSERT_EQ(chart.Series.size(), 2u);
  const TSeries& a = chart.Series[0];
  const TSeries& b = chart.Series[1];
  EXPECT_EQ(a.Title, "example  318.00 m  0.50 d");
  EXPECT_EQ(b.Title, "buffers  18.00 m  0.50 d");
  EXPECT_EQ(b.HorizontalAxis, TAxisSide::Top);
  EXPECT_EQ(b.XOrder, TSortOrder::None);
  // 14 layers of the example from the surface down; the buffers run's 5,
  // its lower buffer left out.
  ASSERT_EQ(a.Points.size(), 14u);
  EXPECT_NEAR(a.Points[0].X, 104.2, 1e-9);
  EXPECT_EQ(a.Points[0].Y, -0.0005);
  EXPECT_NEAR(a.Points[13].Y, -0.09, 1e-12);
  EXPECT_EQ(b.Points.size(), 5u);
  EXPECT_NEAR(chart.Left.Minimum, 1.1 * -0.09, 1e-12);
  EXPECT_EQ(chart.Left.Maximum, 0);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Top), std::make_pair(0.0, 1.1 * ChartMaxX(chart)));
}

// ---- measured data ----

TEST_F(Comparisons, WaterLayerSamplesAtInstants) {
  const std::string example = AddRun("example", "example");
  // Two times, two distances each.
  const std::string file = root.write("instants.dat",
                                      "* measured at 1 d and 2 d\n"
                                      "1 1 10 0.005 0.001\n"
                                      "1 1 50 0.002 0.0002   ! second distance\n"
                                      "2 2 10 0.003 0.0005\n"
                                      "2 2 50 0.0015 0.0001\n");
  TCompareConc at(kWaterLayerComparison, root.str(), parser);
  at.Show(example, 0);
  at.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(at.ChangeMeasuredFile(file), "");
  EXPECT_EQ(at.SamplePeriodText(), "1.00 d - 1.00 d");
  EXPECT_EQ(at.SamplePeriodLines(), (std::vector<std::string>{"1.00 d - 1.00 d", "2.00 d - 2.00 d"}));
  at.StandardDeviations = true;
  TChart chart = at.View();
  ASSERT_EQ(chart.Series.size(), 3u);
  const TSeries& bars = chart.Series[0];
  EXPECT_EQ(bars.Kind, TSeriesKind::ErrorBars);
  EXPECT_EQ(bars.ErrorBarWidth, 10);
  EXPECT_FALSE(bars.ShowInLegend);
  ExpectPoints(bars, Pts{{10, 5}, {50, 2}});
  EXPECT_EQ(bars.Errors, (std::vector<double>{1, 0.2}));
  EXPECT_EQ(chart.Series[1].Kind, TSeriesKind::Points);
  EXPECT_EQ(chart.Series[1].Title, "Measured  1.00 d - 1.00 d");
  ExpectPoints(chart.Series[1], Pts{{10, 5}, {50, 2}});
  EXPECT_EQ(chart.Series[2].Title, "example  0.00 d");
  // The bar's top (5 + 1 µg/L) sets the axis, above the run's 4.304.
  EXPECT_DOUBLE_EQ(chart.Left.Maximum, 1.1 * 6);
  at.StandardDeviations = false;
  at.ChooseSamplePeriod(2);
  chart = at.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  ExpectPoints(chart.Series[0], Pts{{10, 3}, {50, 1.5}});
  EXPECT_DOUBLE_EQ(chart.Left.Maximum, 1.1 * 4.304);

  // In time: one distance over both times, points at the times.
  TCompareConcTime in(kWaterLayerComparison, root.str(), parser);
  in.Show(example);
  in.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(in.ChangeMeasuredFile(file), "");
  EXPECT_EQ(in.DistanceLines(), (std::vector<std::string>{"10.00 m", "50.00 m"}));
  in.ChooseDistance(2);
  in.StandardDeviations = true;
  chart = in.View();
  ASSERT_EQ(chart.Series.size(), 3u);
  ExpectPoints(chart.Series[0], Pts{{1, 2}, {2, 1.5}});
  EXPECT_EQ(chart.Series[1].Title, "Measured  50.00 m");
  EXPECT_EQ(chart.Series[2].Title, "example  2.00 m");
  EXPECT_TRUE(messages.empty());
}

TEST_F(Comparisons, WaterLayerSamplesOverPeriodsAreAStepLine) {
  const std::string example = AddRun("example", "example");
  TCompareConcTime c(kWaterLayerComparison, root.str(), parser);
  c.Show(example);
  c.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(c.ChangeMeasuredFile(root.write("periods.dat",
                                            "0 1 10 0.002 0.0002\n"
                                            "2 3 10 0.001\n0.0001\n")),  // over two lines
            "");
  c.StandardDeviations = true;
  TChart chart = c.View();
  ASSERT_EQ(chart.Series.size(), 3u);
  EXPECT_EQ(chart.Series[0].Kind, TSeriesKind::StepLine);
  ExpectPoints(chart.Series[0], Pts{{0, 0}, {0, 2}, {1, 2}, {1, 0}, {2, 0}, {2, 1}, {3, 1}, {3, 0}});
  const TSeries& bars = chart.Series[1];
  EXPECT_EQ(bars.Color, TColor::FromBGR(0x808000));
  EXPECT_EQ(bars.Color, colors::Teal);
  ExpectPoints(bars, Pts{{0.5, 2}, {2.5, 1}});
  EXPECT_EQ(bars.Errors, (std::vector<double>{0.2, 0.1}));

  // Periods that do not start at 0 d step up from the time axis instead of
  // slanting from the origin; adjoining periods share their edge.
  ASSERT_EQ(c.ChangeMeasuredFile(root.write("later.dat", "0.5 1 10 0.002 0\n1 2 10 0.004 0\n")), "");
  chart = c.View();
  ASSERT_FALSE(chart.Series.empty());
  ExpectPoints(chart.Series[0], Pts{{0, 0}, {0.5, 0}, {0.5, 2}, {1, 2}, {1, 4}, {2, 4}, {2, 0}});
  // The first record decides: equal start and end make instants.
  c.StandardDeviations = false;
  ASSERT_EQ(c.ChangeMeasuredFile(root.write("first.dat", "4 4 10 0.002 0\n5 6 10 0.001 0\n")), "");
  chart = c.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[0].Kind, TSeriesKind::Points);
  ExpectPoints(chart.Series[0], Pts{{4, 2}, {5, 1}});
}

TEST_F(Comparisons, SedimentSamplesAreAStepLineDownward) {
  const std::string example = AddRun("example", "example");
  // Layers 0-0.01 m and 0.02-0.05 m at 1 d and at 3 d.
  const std::string file = root.write("sediment.dat",
                                      "1 0    0.01 0.1  0.02\n"
                                      "1 0.02 0.05 0.05 0.01\n"
                                      "3 0    0.01 0.08 0.01\n"
                                      "3 0.02 0.05 0.04 0.005\n");
  TCompareConc at(kSedimentComparison, root.str(), parser);
  at.Show(example, 1);
  at.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(at.ChangeMeasuredFile(file), "");
  EXPECT_EQ(at.MeasuredTimeLines(), (std::vector<std::string>{"1.00 d", "3.00 d"}));
  at.ChooseTime(1, 3);
  at.StandardDeviations = true;
  const TChart chart = at.View();
  ASSERT_EQ(chart.Series.size(), 4u);
  EXPECT_EQ(chart.Series[0].Title, "Measured  1.00 d");
  EXPECT_EQ(chart.Series[0].HorizontalAxis, TAxisSide::Top);
  ExpectPoints(chart.Series[0],
               Pts{{100, 0}, {100, -0.01}, {0, -0.01}, {0, -0.02}, {50, -0.02}, {50, -0.05}, {0, -0.05}});
  for (int i : {1, 2}) {
    const TSeries& d = chart.Series[static_cast<std::size_t>(i)];
    EXPECT_EQ(d.Color, colors::Teal);
    EXPECT_TRUE(d.Marker.Visible);
    EXPECT_FALSE(d.ShowInLegend);
  }
  ExpectPoints(chart.Series[1], Pts{{80, -0.005}, {120, -0.005}});
  ExpectPoints(chart.Series[2], Pts{{40, -0.035}, {60, -0.035}});
  EXPECT_EQ(chart.Series[3].Title, "example  2.00 m  1.00 d");
  EXPECT_EQ(chart.AxisRange(TAxisSide::Left), std::make_pair(1.1 * -0.09, 0.0));  // the run's depth
  // The concentration axis: 1.1 x the largest concentration drawn, here the
  // upper end of the first layer's deviation (100 + 20 µg/L); the run's
  // profile at 1 d stays below 1E-10 µg/L.
  for (const TChartPoint& p : chart.Series[3].Points) EXPECT_LT(p.X, 1e-10);
  EXPECT_EQ(chart.AxisRange(TAxisSide::Top), std::make_pair(0.0, 1.1 * 120));

  // In time: one layer at both measuring times.
  TCompareConcTime in(kSedimentComparison, root.str(), parser);
  in.Show(example);
  in.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(in.ChangeMeasuredFile(file), "");
  EXPECT_EQ(in.DepthLayerLines(), (std::vector<std::string>{"0.000 m - 0.010 m", "0.020 m - 0.050 m"}));
  in.ChooseDepthLayer(2);
  const TChart time = in.View();
  ASSERT_EQ(time.Series.size(), 2u);
  EXPECT_EQ(time.Series[0].Title, "Measured  0.020 m - 0.050 m");
  ExpectPoints(time.Series[0], Pts{{1, 50}, {3, 40}});
}

// ---- refusals ----

TEST_F(Comparisons, EveryCheckInItsOrder) {
  const std::string example = AddRun("example", "example");
  const std::string empty = AddRun("example", "empty");  // no output time yet
  const std::string text = readFile(empty + "/wlsoco.out");
  root.write("RUNS/empty/wlsoco.out", text.substr(0, text.find("   0.000")));
  const std::string none = root.write("none.dat", "* nothing measured\n");

  TCompareConc w(kWaterLayerComparison, root.str(), parser);
  w.Show(empty, 0);
  EXPECT_EQ(w.TimeRun1(), 0);
  w.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(w.ChangeRun(2, example), "");
  EXPECT_EQ(w.CheckView(), Cannot("Timestep missing."));
  w.SetKind(TComparisonKind::Measured);
  EXPECT_EQ(w.CheckView(), Cannot("Run- or filename missing."));
  EXPECT_EQ(w.ChangeMeasuredFile(root.file("missing.dat")), "File does not exist.");
  ASSERT_EQ(w.ChangeMeasuredFile(root.write("wl.dat", "1 1 10 0.002 0.001\n")), "");
  EXPECT_EQ(w.CheckView(), Cannot("Timestep or sample period missing."));

  TCompareConc s(kSedimentComparison, root.str(), parser);
  s.Show(example, 0);
  s.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(s.ChangeRun(2, empty), "");
  EXPECT_EQ(s.CheckView(), Cannot("Node missing."));
  s.ChooseNode(1, 1);
  s.ChooseNode(2, 1);
  EXPECT_EQ(s.CheckView(), Cannot("Timestep missing."));
  s.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(s.ChangeMeasuredFile(none), "");
  EXPECT_EQ(s.MeasuredTime(), 0);
  EXPECT_EQ(s.CheckView(), Cannot("Timestep missing."));
  TCompareConc s2(kSedimentComparison, root.str(), parser);
  s2.Show(example, 0);
  s2.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(s2.ChangeMeasuredFile(root.write("wb.dat", "1 0 0.01 0.1 0.01\n")), "");
  EXPECT_EQ(s2.CheckView(), Cannot("Node missing."));

  TCompareConcTime t(kWaterLayerComparison, root.str(), parser);
  t.Show(example);
  t.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(t.ChangeMeasuredFile(none), "");
  EXPECT_EQ(t.CheckView(), Cannot("Node or distance missing."));
  TCompareConcTime ts(kSedimentComparison, root.str(), parser);
  ts.Show(root.file("RUNS/nowhere"));  // run 1 does not read: nothing is preset
  EXPECT_FALSE(ts.NodeRowEnabled(1));
  ts.SetKind(TComparisonKind::TwoRuns);
  EXPECT_EQ(ts.CheckView(), Cannot("Run name missing."));
  ASSERT_EQ(ts.ChangeRun(1, example), "");
  fs::remove(empty + "/wbsco001.out");  // the first subsystem cannot be preset
  ASSERT_EQ(ts.ChangeRun(2, empty), "");
  EXPECT_EQ(ts.NodeRun2(), 0);
  EXPECT_EQ(ts.CheckView(), Cannot("Node missing."));
  ts.SetKind(TComparisonKind::Measured);
  ASSERT_EQ(ts.ChangeMeasuredFile(none), "");
  EXPECT_EQ(ts.CheckView(), Cannot("Node or depth layer missing."));
}

// A run or measured file that fails to read leaves the comparison as it
// was: names, choices, readers and the chart, which go on to agree.
TEST_F(Comparisons, FailingFilesKeepTheComparisonAsItWas) {
  const std::string example = AddRun("example", "example");
  const std::string copy = AddRun("example", "copy");
  TCompareConc c(kWaterLayerComparison, root.str(), parser);
  c.Show(example, 0);
  c.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(c.ChangeRun(2, copy), "");
  c.ChooseTime(1, 16);
  c.ChooseTime(2, 61);
  const TChart before = c.View();
  ASSERT_EQ(before.Series.size(), 2u);
  ASSERT_EQ(before.Series[0].Title, "example  7.50 d");
  ASSERT_EQ(before.Series[1].Title, "copy  30.00 d");

  // A run without its concentration file, one whose echo file is cut (a
  // concentration file that stopped early is taken: see
  // RunsCutShortAreComparedOnTheirCompleteBlocks).  No status recorded
  // (runs by hand): only their message.out is pointed at.
  const std::string missing = AddRun("freundlich", "missing");
  fs::remove(missing + "/wlsoco.out");
  const std::string cut = AddRun("freundlich", "cut");
  const std::string text = readFile(cut + "/input.out");
  const std::string echoCut = text.substr(0, text.find("wbin:"));
  root.write("RUNS/cut/input.out", echoCut);
  // One whose kernel stopped on its input, its echo cut there and no
  // results.
  const std::string inInput = AddRun("freundlich", "input");
  for (const char* name : {"wlsoco.out", "wlmb.out", "wbmball.out", "dbdit.out"})
    fs::remove(inInput + "/" + name);
  const std::string inputCut = text.substr(0, text.find(" Section 2: Time parameters"));
  root.write("RUNS/input/input.out", inputCut);
  // A run from the front end whose kernel stopped (status 1) before it
  // wrote its echo: the run's own end message.
  const fs::path failed = fs::path(Runs()) / "Fail+Cpf";
  fs::create_directories(failed);
  root.write("RUNS/Fail+Cpf/message.out", " Error in input wlnu.inp\n");
  root.write("RUNS/Fail+Cpf/RUN.LOG", " INPUT ERROR in routine wlin\n Fatal execution error, press <Enter>\n");
  root.write("RUNS/Fail+Cpf/kirmel.status", "1\nrun-3\n");
  // One that ended normally (status 0) with "Echo of input" off.
  const std::string noEcho = AddRun("example", "NoEcho+Cpf");
  fs::remove(noEcho + "/input.out");
  root.write("RUNS/NoEcho+Cpf/kirmel.status", "0\nrun-4\n");
  const auto see = [](const std::string& dir) {
    return "See the messages in \"" + dir + "/message.out\".";
  };
  for (int r : {1, 2}) {
    for (const auto& [dir, message] :
         {std::pair{missing, "Cannot open file \"" + missing +
                                 "/wlsoco.out\": the run has no results." + CR + see(missing)},
          {failed.string(), "Cannot open file \"" + failed.string() + "/input.out\"" + CR +
                                "KIRMEL stopped with exit status 1." + CR + see(failed.string()) +
                                CR + "The last messages of KIRMEL on its console (\"" +
                                failed.string() + "/RUN.LOG\"):" + CR +
                                "  INPUT ERROR in routine wlin" + CR +
                                "  Fatal execution error, press <Enter>"},
          {noEcho, "Cannot open file \"" + noEcho +
                       "/input.out\": the graphs need this echo of the input." + CR +
                       "KIRMEL writes it only when \"Echo of input\" is on (the scenario's "
                       "Output page; op_input = 1 in OPOUT.INP)."},
          {inInput, "KIRMEL stopped while reading the input of this run (\"" + inInput + "\")." +
                        CR + see(inInput) + CR + inInput + "/input.out, line " +
                        std::to_string(std::count(inputCut.begin(), inputCut.end(), '\n')) +
                        ": the heading word \"Time\" was not found"},
          {cut, cut + "/input.out, line " +
                    std::to_string(std::count(echoCut.begin(), echoCut.end(), '\n') + 1) +
                    ": the file ends inside this line (it has no line end)"}}) {
      SCOPED_TRACE(dir + " as run " + std::to_string(r));
      const std::size_t count = messages.size();
      EXPECT_EQ(c.ChangeRun(r, dir), "");
      ASSERT_EQ(messages.size(), count + 1);
      EXPECT_EQ(messages.back(), message);
      EXPECT_EQ(c.RunDir1(), example);
      EXPECT_EQ(c.RunDir2(), copy);
      EXPECT_EQ(c.TimeText(1), "7.50 d");
      EXPECT_EQ(c.TimeText(2), "30.00 d");
      // The chart draws the runs the dialog names, as before.
      const TChart after = c.View();
      ASSERT_EQ(after.Series.size(), 2u);
      for (int k : {1, 2}) {
        const TSeries& s = after.Series[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(s.Title, c.NameText(k) + "  " + c.TimeText(k));
        EXPECT_EQ(s.Title, before.Series[static_cast<std::size_t>(k - 1)].Title);
        EXPECT_TRUE(SamePoints(s.Points, before.Series[static_cast<std::size_t>(k - 1)].Points));
      }
    }
  }

  // Measured files whose groups differ in size, or cut inside a record:
  // the good one stays with its chosen period.
  c.SetKind(TComparisonKind::Measured);
  const std::string good = root.write("good.dat", "1 1 10 0.002 0\n2 2 10 0.003 0\n");
  ASSERT_EQ(c.ChangeMeasuredFile(good), "");
  c.ChooseSamplePeriod(2);
  for (const char* wrong : {"1 1 10 0.002 0\n1 1 20 0.002 0\n2 2 10 0.003 0\n", "1 1 10 0.002 0\n2 2 10\n"}) {
    const std::size_t count = messages.size();
    EXPECT_EQ(c.ChangeMeasuredFile(root.write("bad.dat", wrong)), "");
    ASSERT_EQ(messages.size(), count + 1);
    EXPECT_NE(messages.back().find("bad.dat, line "), std::string::npos) << messages.back();
    EXPECT_EQ(c.MeasuredFile(), good);
    EXPECT_EQ(c.SamplePeriodText(), "2.00 d - 2.00 d");
    const TChart chart = c.View();
    ASSERT_EQ(chart.Series.size(), 2u);
    ExpectPoints(chart.Series[0], Pts{{10, 3}});
  }
  EXPECT_EQ(c.ChangeMeasuredFile(root.str()), "File does not exist.");
  EXPECT_EQ(c.MeasuredFile(), good);

  // A subsystem whose sediment file is missing keeps the node chosen before.
  TCompareConc s(kSedimentComparison, root.str(), parser);
  s.Show(example, 1);
  fs::remove(example + "/wbsco080.out");
  s.ChooseNode(1, 2);
  EXPECT_EQ(s.NodeText(1), "2.00 m");
  EXPECT_EQ(s.Run(1).WBSCO.NumberOfTimesteps(), 61);
}

// Files that lack the chosen place or time give empty series, never points
// from elsewhere.
TEST_F(Comparisons, ShortBlocksAndMissingTimesGiveEmptySeries) {
  const std::string example = AddRun("example", "example");
  const std::string shortRun = AddRun("example", "short");
  // Every time block without its last segment: 79 rows for 80 segments.
  std::istringstream in(readFile(shortRun + "/wlsoco.out"));
  std::string text, line;
  while (std::getline(in, line))
    if (line.size() < 14 || line.substr(8, 5) != "   80") text += line + "\n";
  root.write("RUNS/short/wlsoco.out", text);
  // The sediment file of segment 80 ends after its third time block.
  const std::string sediment = readFile(shortRun + "/wbsco080.out");
  root.write("RUNS/short/wbsco080.out", sediment.substr(0, sediment.find("   1.500    1")));

  TCompareConc at(kWaterLayerComparison, root.str(), parser);
  at.Show(example, 0);
  at.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(at.ChangeRun(2, shortRun), "");
  TChart chart = at.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[0].Points.size(), 80u);
  EXPECT_TRUE(chart.Series[1].Points.empty());

  TCompareConc profile(kSedimentComparison, root.str(), parser);
  profile.Show(example, 2);
  profile.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(profile.ChangeRun(2, shortRun), "");
  profile.ChooseNode(2, 2);
  profile.ChooseTime(2, 3);
  chart = profile.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[1].Points.size(), 14u);
  profile.ChooseTime(2, 4);  // 1.50 d: not in the sediment file
  chart = profile.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[0].Points.size(), 14u);
  EXPECT_TRUE(chart.Series[1].Points.empty());

  TCompareConcTime time(kWaterLayerComparison, root.str(), parser);
  time.Show(shortRun);
  time.ChooseNode(1, 80);
  time.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(time.ChangeRun(2, example), "");
  time.ChooseNode(2, 80);
  chart = time.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_TRUE(chart.Series[0].Points.empty());
  ASSERT_EQ(chart.Series[1].Points.size(), 61u);
  EXPECT_EQ(chart.Series[1].Title, "example  318.00 m");
  EXPECT_NEAR(chart.Series[1].Points.back().Y, 0.4795, 1e-12);  // 0.4795E-03 g/m3 at 30 d

  // In time the top layer's curve ends where its file ends.
  TCompareConcTime top(kSedimentComparison, root.str(), parser);
  top.Show(shortRun);
  top.ChooseNode(1, 2);
  top.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(top.ChangeRun(2, example), "");
  chart = top.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[0].Points.size(), 3u);
  EXPECT_EQ(chart.Series[1].Points.size(), 61u);
  EXPECT_TRUE(messages.empty());
}

// A run whose files stopped early (the kernel was stopped, or the files
// were cut) is compared on its complete time blocks.  Where its files end
// short of the time it was set to is said once a choice, first in the
// message that names each file with where it stopped, or as information
// when no file is named.
TEST_F(Comparisons, RunsCutShortAreComparedOnTheirCompleteBlocks) {
  const std::string example = AddRun("example", "example");
  const std::string stopped = AddRun("example", "stopped");
  // wlsoco.out cut at 60 % of its bytes, inside a row; wbsco080.out inside
  // the fourth block.
  const std::string wl = readFile(stopped + "/wlsoco.out");
  const std::string wlCut = wl.substr(0, wl.size() * 6 / 10);
  root.write("RUNS/stopped/wlsoco.out", wlCut);
  const int wlLines = static_cast<int>(std::count(wlCut.begin(), wlCut.end(), '\n')) + 1;
  const int complete = (wlLines - 1 - 12) / 80;  // time blocks before the cut line
  const std::string sed = readFile(stopped + "/wbsco080.out");
  const std::string sedCut = sed.substr(0, sed.find("   1.500    7") + 20);
  root.write("RUNS/stopped/wbsco080.out", sedCut);

  TCompareConc at(kSedimentComparison, root.str(), parser);
  std::vector<std::string> infos;
  at.Information = [&infos](const std::string& notice) { infos.push_back(notice); };
  at.Show(example, 2);
  at.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(at.ChangeRun(2, stopped), "");
  EXPECT_EQ(at.RunDir2(), stopped);
  ASSERT_EQ(messages.size(), 1u);
  ASSERT_GT(complete, 0);
  const auto notice = [](const std::string& dir, const std::string& reached,
                         const std::string& why) {
    return "The output files of this run (\"" + dir + "\") end at " + reached +
           "; it was set to simulate 30.00 d." + CR + why + CR +
           "The graphs show the output times written.";
  };
  const std::string see = "See the messages in \"" + stopped + "/message.out\".";
  EXPECT_EQ(messages[0], notice(stopped, Format("%.2f d", {0.5 * (complete - 1)}, '.'), see) + CR +
                             stopped + "/wlsoco.out, line " + std::to_string(wlLines) +
                             ": the file ends inside this line (it has no line end)");
  EXPECT_TRUE(infos.empty());
  ASSERT_EQ(at.TimeLines(2).size(), static_cast<std::size_t>(complete));
  ASSERT_GE(at.TimeLines(1).size(), static_cast<std::size_t>(complete));
  EXPECT_EQ(at.TimeLines(2).back(), at.TimeLines(1)[static_cast<std::size_t>(complete - 1)]);
  at.ChooseNode(2, 2);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].rfind(stopped + "/wbsco080.out, line ", 0), 0u) << messages[1];
  EXPECT_EQ(at.NodeText(2), "318.00 m");
  // The third output time is the last the sediment file holds whole.
  at.ChooseTime(1, 3);
  at.ChooseTime(2, 3);
  TChart chart = at.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[1].Points.size(), 14u);
  EXPECT_TRUE(SamePoints(chart.Series[1].Points, chart.Series[0].Points));
  at.ChooseTime(2, 4);
  chart = at.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_TRUE(chart.Series[1].Points.empty());

  // Cut after a whole block, by a kernel the run script saw end with
  // status 1: its end message, as information; the run is taken.
  root.write("RUNS/stopped/wlsoco.out", wl.substr(0, wl.find("   1.500    1")));
  root.write("RUNS/stopped/kirmel.status", "1\nrun-5\n");
  root.write("RUNS/stopped/RUN.LOG", " Positivity conditions wl not fulfilled;\n Program stops\n");
  const std::size_t named = messages.size();
  ASSERT_EQ(at.ChangeRun(2, stopped), "");
  EXPECT_EQ(messages.size(), named);
  EXPECT_EQ(infos, std::vector<std::string>{notice(
                       stopped, "1.00 d",
                       "KIRMEL stopped with exit status 1." + CR + see + CR +
                           "The last messages of KIRMEL on its console (\"" + stopped +
                           "/RUN.LOG\"):" + CR + "  Positivity conditions wl not fulfilled;" + CR +
                           "  Program stops")});
  EXPECT_EQ(at.TimeLines(2).size(), 3u);
  root.write("RUNS/stopped/wlsoco.out", wlCut);

  // In time: the water layer's curve ends with its last complete block,
  // the top layer's with the sediment file's third.
  TCompareConcTime in(kWaterLayerComparison, root.str(), parser);
  in.Show(stopped);
  EXPECT_EQ(messages.size(), 3u);  // a new choice names the file again
  in.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(in.ChangeRun(2, example), "");
  chart = in.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  ASSERT_EQ(chart.Series[0].Points.size(), static_cast<std::size_t>(complete));
  ASSERT_GE(chart.Series[1].Points.size(), static_cast<std::size_t>(complete));
  EXPECT_TRUE(SamePoints(chart.Series[0].Points,
                         std::vector<TChartPoint>(chart.Series[1].Points.begin(),
                                                  chart.Series[1].Points.begin() + complete)));
  TCompareConcTime top(kSedimentComparison, root.str(), parser);
  top.Show(stopped);
  top.ChooseNode(1, 2);
  top.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(top.ChangeRun(2, example), "");
  top.ChooseNode(2, 2);
  chart = top.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_EQ(chart.Series[0].Points.size(), 3u);
  EXPECT_EQ(chart.Series[1].Points.size(), 61u);
}

// Choices that change nothing: a directory outside the runs' folder leaves
// the run shown, and a read the user cancels leaves the comparison as it
// was.
TEST_F(Comparisons, RefusedAndCancelledChoicesChangeNothing) {
  const std::string example = AddRun("example", "NLStandard_sp+Cpf");
  const std::string other = AddRun("freundlich", "other");
  TCompareConc c(kSedimentComparison, root.str(), parser);
  c.Show(example, 2);
  c.ChooseTime(1, 16);
  c.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(c.ChangeRun(2, other), "");
  const auto shown = [&c] {
    return std::vector<std::string>{c.RunDir1(), c.NameText(1), c.TimeText(1), c.NodeText(1),
                                    c.RunDir2(), c.NameText(2), c.TimeText(2), c.NodeText(2)};
  };
  const std::vector<std::string> before = shown();
  EXPECT_EQ(before[1], "NLStandard_sp+Cpf");
  EXPECT_EQ(before[2], "7.50 d");
  EXPECT_EQ(before[3], "318.00 m");
  for (int r : {1, 2}) {
    EXPECT_EQ(c.ChangeRun(r, fs::path(KIRMEL_TEST_DATA).string()),
              InvalidRunMessage(Runs()));
    EXPECT_EQ(shown(), before);
  }

  // Cancelled in the first block of a file, and in the second file.
  for (int cancelAt : {1, 2, 3}) {
    SCOPED_TRACE(cancelAt);
    int steps = 0;
    c.Progress = [&](const std::string&, std::uint64_t, std::uint64_t) { return ++steps < cancelAt; };
    TOutputCache::Viewer().Clear();
    EXPECT_THROW(c.ChangeRun(1, other), TReadCancelled);
    EXPECT_THROW(c.ChooseNode(1, 1), TReadCancelled);
    EXPECT_EQ(shown(), before);
    c.Progress = {};
  }
  EXPECT_TRUE(messages.empty());

  // A run whose water-layer file stopped early, chosen in time for the
  // sediment: the reader names it, then the sediment file's read is
  // cancelled (nothing said, then or with the next choice), or fails (what
  // was read before is said).
  const std::string stopped = AddRun("example", "stopped");
  const std::string wl = readFile(stopped + "/wlsoco.out");
  const std::string cut = wl.substr(0, wl.size() / 2);
  root.write("RUNS/stopped/wlsoco.out", cut);
  TCompareConcTime t(kSedimentComparison, root.str(), parser);
  t.SetKind(TComparisonKind::TwoRuns);
  for (bool cancel : {true, false}) {
    SCOPED_TRACE(cancel);
    t.Progress = [cancel](const std::string& file, std::uint64_t, std::uint64_t) {
      if (file.find("wbsco") == std::string::npos) return true;
      if (cancel) return false;
      throw std::runtime_error("the disk went away");
    };
    if (cancel) {
      EXPECT_THROW(t.ChangeRun(2, stopped), TReadCancelled);
      EXPECT_TRUE(messages.empty());
    } else {
      EXPECT_THROW(t.ChangeRun(2, stopped), std::runtime_error);
      ASSERT_EQ(messages.size(), 1u);
      const int blocks = static_cast<int>((std::count(cut.begin(), cut.end(), '\n') - 12) / 80);
      EXPECT_EQ(messages[0], "The output files of this run (\"" + stopped + "\") end at " +
                                 Format("%.2f d", {0.5 * (blocks - 1)}, '.') +
                                 "; it was set to simulate 30.00 d." + CR + "See the messages in \"" +
                                 stopped + "/message.out\"." + CR +
                                 "The graphs show the output times written." + CR + stopped +
                                 "/wlsoco.out, line " +
                                 std::to_string(std::count(cut.begin(), cut.end(), '\n') + 1) +
                                 ": the file ends inside this line (it has no line end)");
    }
    EXPECT_EQ(t.RunDir2(), "");
  }
}

// A run's sediment file whose blocks hold fewer layers than its echo says
// gives an empty profile, never rows of the next block.
TEST_F(Comparisons, SedimentBlocksShorterThanTheRunGiveNoProfile) {
  const std::string example = AddRun("example", "example");
  const std::string thin = AddRun("example", "thin");
  // Every block of wbsco080.out without its 14th layer: 13 layers and "top".
  std::istringstream in(readFile(thin + "/wbsco080.out"));
  std::string text, line;
  while (std::getline(in, line))
    if (line.size() < 13 || line.substr(8, 5) != "   14") text += line + "\n";
  root.write("RUNS/thin/wbsco080.out", text);

  TCompareConc c(kSedimentComparison, root.str(), parser);
  c.Show(thin, 2);
  EXPECT_EQ(c.NodeRun1(), 2);
  EXPECT_EQ(c.Run(1).WBSCO.LayersPerTimestep(), 13);
  c.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(c.ChangeRun(2, example), "");
  c.ChooseNode(2, 2);
  for (int t : {1, 2, 61}) {
    c.ChooseTime(1, t);
    c.ChooseTime(2, t);
    const TChart chart = c.View();
    ASSERT_EQ(chart.Series.size(), 2u);
    EXPECT_TRUE(chart.Series[0].Points.empty()) << t;
    EXPECT_EQ(chart.Series[1].Points.size(), 14u);
  }
  EXPECT_TRUE(messages.empty());
}

// A run compared with itself, or with the run its dialog was opened on, is
// read once.
TEST_F(Comparisons, ARunIsReadOnceWhileItsFilesStayTheSame) {
  const std::string example = AddRun("example", "example");
  TOutputCache cache;
  TCompareConc c(kSedimentComparison, root.str(), parser, cache);
  c.Show(example, 2);
  EXPECT_EQ(cache.FilesRead(), 3u);  // input.out, wlsoco.out, wbsco080.out
  c.SetKind(TComparisonKind::TwoRuns);
  ASSERT_EQ(c.ChangeRun(2, example + "/"), "");
  c.ChooseNode(2, 2);
  c.ChooseNode(2, 1);
  EXPECT_EQ(cache.FilesRead(), 4u);  // wbsco001.out
  TCompareConcTime t(kSedimentComparison, root.str(), parser, cache);
  t.Show(example);
  t.ChooseNode(1, 2);
  EXPECT_EQ(cache.FilesRead(), 4u);
  const TChart chart = c.View();
  ASSERT_EQ(chart.Series.size(), 2u);
  EXPECT_TRUE(SamePoints(chart.Series[0].Points, chart.Series[1].Points));
}

}  // namespace
}  // namespace kirmel::test
