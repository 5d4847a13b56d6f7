// What the concentration and distribution graphs compute before they draw:
// the choice of shown times and segments, the lists' first choices, the
// series built from the example's golden run, the exposure table's cells,
// the distribution files and their stacked sums; and the guards that keep
// a file that lacks a time, or holds short blocks, from being read past.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "common/GoldenRuns.h"
#include "common/ReaderMessages.h"
#include "common/SeriesTitles.h"
#include "common/TempDir.h"
#include "frontend/viewer/ConcGraphs.h"
#include "frontend/viewer/DB.h"
#include "frontend/viewer/Distribution.h"
#include "frontend/viewer/GraphChoices.h"

namespace kirmel::test {
namespace {

using namespace kirmel::fe;

TEST(GraphChoices, FiveOfNAndTheListsFirstChoices) {
  EXPECT_EQ(FiveOfN(11), (std::vector<int>{1, 3, 6, 8, 11}));
  EXPECT_EQ(FiveOfN(9), (std::vector<int>{1, 3, 5, 7, 9}));
  EXPECT_EQ(FiveOfN(61), (std::vector<int>{1, 16, 31, 46, 61}));
  EXPECT_EQ(FiveOfN(80), (std::vector<int>{1, 20, 40, 60, 80}));
  EXPECT_EQ(FiveOfN(731), (std::vector<int>{1, 183, 366, 548, 731}));
  EXPECT_EQ(FiveOfN(5), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(FiveOfN(3), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(FiveOfN(0).empty());
  EXPECT_TRUE(FiveOfN(-1).empty());

  using C = std::array<int, 3>;
  EXPECT_EQ(DefaultListChoices(5), (C{0, 2, 4}));  // odd: the middle
  EXPECT_EQ(DefaultListChoices(4), (C{0, 1, 3}));  // even: the one before the middle
  EXPECT_EQ(DefaultListChoices(2), (C{0, 0, 1}));
  EXPECT_EQ(DefaultListChoices(1), (C{0, 0, 0}));
  EXPECT_EQ(DefaultListChoices(0), (C{-1, -1, -1}));
}

// The subsystems the kernel writes files for: under the water body only.
TEST(GraphChoices, SubsystemsOnBufferNodesHaveNoFiles) {
  Messages m;
  TINPUT in;
  ASSERT_TRUE(in.ReadFile(Golden("buffers", "input.out"), m.parser));
  ASSERT_EQ(in.NumberOfSubsystems(), 3);  // nodes 3, 7 and 1 (a front-buffer node)
  EXPECT_EQ(SubsystemsInWaterBody(in), (std::vector<int>{1, 2}));
  EXPECT_EQ(SubsystemDistance(in, 1), 2.0);   // node 3: the water body's first segment
  EXPECT_EQ(SubsystemDistance(in, 2), 18.0);  // node 7: its fifth
  EXPECT_THROW(SubsystemDistance(in, 3), EIndexOutOfRange);

  // Nodes selected in the end buffer (8 and 9 of 9 nodes) and beyond the
  // run (150, and 550: the last end-buffer node of the largest water
  // layer), which the kernel ignores: the echo is read, and they are left
  // out as the front-buffer node is.
  {
    TempDir dir;
    std::string text = readFile(Golden("buffers", "input.out"));
    text.replace(text.find(" 3\n 3 7 1\n"), 10, " 6\n 3 8 1 9 150 550\n");
    TINPUT beyond;
    ASSERT_TRUE(beyond.ReadFile(dir.write("input.out", text), m.parser));
    ASSERT_EQ(beyond.NumberOfSubsystems(), 6);
    EXPECT_EQ(beyond.Subsystems(5), 150);
    EXPECT_EQ(beyond.Subsystems(6), 550);
    EXPECT_EQ(SubsystemsInWaterBody(beyond), std::vector<int>{1});
    EXPECT_TRUE(m.list.empty());
  }

  // Along the water body: its 5 segments, from node 3 on.
  TWLSOCOList wl;
  ASSERT_TRUE(wl.ReadFile(Golden("buffers", "wlsoco.out"), m.parser));
  TSeries s;
  FillAlongWaterBody(s, in, wl, 1, '.');
  ASSERT_EQ(s.Points.size(), 5u);
  EXPECT_EQ(s.Points[4].X, 18);
  EXPECT_NEAR(s.Points[0].Y, 9.102, 1e-12);
}

class ExampleRun : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(in.ReadFile(Golden("example", "INPUT.OUT"), m.parser));
    ASSERT_TRUE(wl.ReadFile(Golden("example", "WLSOCO.OUT"), m.parser));
    ASSERT_TRUE(wb.ReadFile(Golden("example", "WBSCO080.OUT"), m.parser));
  }
  Messages m;
  TINPUT in;
  TWLSOCOList wl;
  TWBSCOList wb;
};

TEST_F(ExampleRun, AlongTheWaterBodyAtFiveTimesAndDepthProfiles) {
  std::vector<TSeries> series;
  std::vector<int> steps;
  for (int t : FiveOfN(wl.NumberOfTimesteps())) {
    TSeries s;
    steps.push_back(FillAlongWaterBody(s, in, wl, t, '.'));
    series.push_back(s);
  }
  ASSERT_EQ(series.size(), 5u);
  EXPECT_EQ(Titles(series),
            (std::vector<std::string>{"0.00 d", "7.50 d", "15.00 d", "22.50 d", "30.00 d"}));
  EXPECT_EQ(steps, (std::vector<int>{0, 1080, 2160, 3240, 4320}));
  for (const TSeries& s : series) {
    ASSERT_EQ(s.Points.size(), 80u);
    EXPECT_EQ(s.Points.front().X, 2);
    EXPECT_EQ(s.Points[1].X, 6);
    EXPECT_EQ(s.Points.back().X, 318);
  }
  // The loading reached segments 6 onwards at 0 d; 30 d at 318 m.
  EXPECT_EQ(series[0].Points[4].Y, 0);
  EXPECT_NEAR(series[0].Points[5].Y, 4.304, 1e-12);
  EXPECT_NEAR(series[4].Points.back().Y, 0.4795, 1e-12);

  // The profile at 318 m at 7.5 d: 14 layers in file order, depth downward.
  TSeries profile;
  FillDepthProfile(profile, in, wb, 1080);
  ASSERT_EQ(profile.Points.size(), 14u);
  EXPECT_EQ(profile.HorizontalAxis, TAxisSide::Top);
  EXPECT_EQ(profile.XOrder, TSortOrder::None);
  EXPECT_EQ(profile.YOrder, TSortOrder::Descending);
  EXPECT_NEAR(profile.Points[0].X, 408.0, 1e-9);
  EXPECT_NEAR(profile.Points[0].Y, -0.0005, 1e-15);
  EXPECT_NEAR(profile.Points[13].Y, -0.09, 1e-15);
  TChart chart;
  SetDepthAxis(chart, in);
  EXPECT_FALSE(chart.Left.Automatic);
  EXPECT_NEAR(chart.Left.Minimum, -0.099, 1e-15);
  EXPECT_EQ(chart.Left.Maximum, 0);

  // A time step the sediment file lacks, and an output time the water-layer
  // file lacks, draw nothing.
  FillDepthProfile(profile, in, wb, 1081);
  EXPECT_TRUE(profile.Points.empty());
  TSeries none;
  EXPECT_EQ(FillAlongWaterBody(none, in, wl, 62, '.'), 0);
  EXPECT_TRUE(none.Points.empty());
  EXPECT_TRUE(none.Title.empty());
}

TEST_F(ExampleRun, InTimeAndTheExposureTable) {
  std::vector<TSeries> series;
  for (int segment : FiveOfN(in.NumberOfWLSegments())) {
    TSeries s;
    FillInTime(s, in, wl, segment, '.');
    series.push_back(s);
  }
  ASSERT_EQ(series.size(), 5u);
  EXPECT_EQ(Titles(series), (std::vector<std::string>{"2.00 m", "78.00 m", "158.00 m",
                                                      "238.00 m", "318.00 m"}));
  for (const TSeries& s : series) ASSERT_EQ(s.Points.size(), 61u);
  EXPECT_EQ(series[4].Points[15].X, 7.5);
  EXPECT_NEAR(series[4].Points[15].Y, 1.567, 1e-12);
  EXPECT_NEAR(series[1].Points[15].Y, 0.5627, 1e-12);

  // The top layer at 318 m: the "top" row of every block.
  TSeries top;
  FillTopLayerInTime(top, wb, wl.NumberOfTimesteps());
  ASSERT_EQ(top.Points.size(), 61u);
  EXPECT_EQ(top.Points[1].X, 0.5);
  EXPECT_NEAR(top.Points[1].Y, 10.6, 1e-12);
  EXPECT_NEAR(top.Points[15].Y, 57.87, 1e-12);
  // Asked for more times than the file holds, it ends with the file.
  FillTopLayerInTime(top, wb, 100);
  EXPECT_EQ(top.Points.size(), 61u);

  TECList ec80, ec1;
  ASSERT_TRUE(ec80.ReadFile(Golden("example", "EC080.OUT"), wl.NumberOfTimesteps(), m.parser));
  ASSERT_TRUE(ec1.ReadFile(Golden("example", "EC001.OUT"), wl.NumberOfTimesteps(), m.parser));
  using Rows = TExposureRows;
  EXPECT_EQ(ExposureRows(ec80, '.'),
            (Rows{{{"0", "4.304"}, {"4", "3.057"}, {"21", "1.564"}, {"28", "1.327"}}}));
  EXPECT_EQ(ExposureRows(ec1, ',')[0], (std::array<std::string, 2>{"1,88", "1,173E-11"}));
  EXPECT_TRUE(m.list.empty());
}

// Files that do not hold what the run's geometry says: nothing past them is read.
TEST_F(ExampleRun, ShortBlocksAndMissingRowsLeaveSeriesEmpty) {
  TempDir dir;
  // Sediment blocks of 3 layers for a run of 14.
  std::string text = "\n * header\n";
  char line[160];
  for (int t = 0; t < 3; ++t) {
    for (int k = 1; k <= 3; ++k) {
      std::snprintf(line, sizeof line, "%8.3f %4d  0.0005    0.1000E+00    0.0E+00    0.0E+00 0 0 0 %7d\n",
                    t * 0.5, k, t * 72);
      text += line;
    }
    std::snprintf(line, sizeof line, "%8.3f  top  0.0090    0.2000E+00    0.0E+00    0.0E+00 0 0 0 %7d\n",
                  t * 0.5, t * 72);
    text += line;
  }
  TWBSCOList shortBlocks;
  ASSERT_TRUE(shortBlocks.ReadFile(dir.write("wbsco001.out", text), m.parser));
  ASSERT_EQ(shortBlocks.NumberOfTimesteps(), 3);
  TSeries profile;
  FillDepthProfile(profile, in, shortBlocks, 72);
  EXPECT_TRUE(profile.Points.empty());
  TSeries top;
  FillTopLayerInTime(top, shortBlocks, wl.NumberOfTimesteps());
  ASSERT_EQ(top.Points.size(), 3u);
  EXPECT_EQ(top.Points[2].Y, 200);

  // An exposure file whose table lost its last rows, and rows with "-".
  TECList ec;
  ASSERT_TRUE(ec.ReadFile(dir.write("ec.out", "\n * t\n 0 0.000 -\n *\n"
                                              "  0  0.00  0.43E-02\n  4  -  -\n"),
                          1, m.parser));
  EXPECT_EQ(ec.Count(), 2);
  EXPECT_EQ(ExposureRows(ec, '.'), (TExposureRows{{{"0", "4.3"}, {"-", "-"}, {"", ""}, {"", ""}}}));
  EXPECT_EQ(m.list.size(), 1u);  // the reader named the incomplete table
}

// ---- distribution ----

TEST(Distribution, StackedSumsOfTheExample) {
  Messages m;
  TDBList dbdit, db1, db80;
  ASSERT_TRUE(dbdit.ReadFile(Golden("example", "DBDIT.OUT"), m.parser));
  ASSERT_TRUE(db1.ReadFile(Golden("example", "DB001.OUT"), m.parser));
  ASSERT_TRUE(db80.ReadFile(Golden("example", "DB080.OUT"), m.parser));
  ASSERT_EQ(dbdit.Count(), 61);
  EXPECT_TRUE(m.list.empty());

  // 0.5 d: dissolved 0.2404 g, on suspended solids 0.02585 g, dissolved in
  // the sediment 0.4707E-04 g, sorbed 0.02154 g.
  const TDBRecord& r = dbdit.GetItem(1);
  EXPECT_EQ(r.Time, 0.5);
  const auto v = StackedValues(r, 1);
  EXPECT_EQ(v[kSorbedSed], 0.2154E-01);
  EXPECT_NEAR(v[kDissolvedSed], 0.2154E-01 + 0.4707E-04, 1e-15);
  EXPECT_NEAR(v[kDissolved], 0.2404 + 0.2154E-01 + 0.4707E-04, 1e-15);
  EXPECT_EQ(v[kMacrophytes], v[kDissolved]);  // no macrophytes in the example
  // The top of every stack is the whole system: the file's totals of the
  // water layer and of the sediment, to the four digits the file has.
  for (const auto& [file, list] : {std::pair{"dbdit.out", &dbdit}, std::pair{"db080.out", &db80}}) {
    std::istringstream lines(readFile(Golden("example", file)));
    std::string line;
    int row = 0;
    while (std::getline(lines, line)) {
      double time = 0, wl = 0, sed = 0, d = 0;
      if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf %lf", &time, &wl, &d, &d, &d, &sed) != 6)
        continue;
      const double total = StackedValues(list->GetItem(row++), 1)[kSuspSolids];
      EXPECT_NEAR(total, wl + sed, 5e-4 * (wl + sed)) << file << " at " << time;
    }
    EXPECT_EQ(row, 61);
  }

  TChart mass;
  FillMassGraph(mass, dbdit);
  ASSERT_EQ(mass.Series.size(), 5u);
  EXPECT_EQ(Titles(mass.Series), (std::vector<std::string>{"Susp. solids", "Macrophytes", "Dissolved",
                                                           "Dissolved sed.", "Sorbed sed."}));
  for (const TSeries& s : mass.Series) {
    EXPECT_EQ(s.Kind, TSeriesKind::Area);
    EXPECT_FALSE(s.AreaLinesVisible);
    EXPECT_FALSE(s.Marker.Visible);
    ASSERT_EQ(s.Points.size(), 61u);
  }
  EXPECT_NEAR(mass.Series[kSuspSolids].Points[0].Y, 0.30002, 1e-12);  // largest total: 0 d
  EXPECT_FALSE(mass.Left.Automatic);
  EXPECT_NEAR(mass.Left.Maximum, 1.1 * 0.30002, 1e-12);
  EXPECT_TRUE(mass.Bottom.Automatic);

  // Lineic masses in mg/m; the charts share the larger maximum.
  const std::vector<TDBList> subsystems{db1, db80};
  const int rows = LineicRows(dbdit, subsystems);
  EXPECT_EQ(rows, 61);
  TChart c1, c2, c3;
  c1.Series = c2.Series = c3.Series = CompartmentSeries();
  const double max1 = FillLineicChart(c1, db1, db1, rows);
  const double max2 = FillLineicChart(c2, db1, db1, rows);
  const double max3 = FillLineicChart(c3, db1, db80, rows);
  EXPECT_NEAR(max3, 0.99998, 1e-12);  // 0 d: 0.9039E-03 + 0.9608E-04 g/m
  ASSERT_EQ(c3.Series[kSorbedSed].Points.size(), 61u);
  EXPECT_NEAR(c3.Series[kSorbedSed].Points[1].Y, 0.07241, 1e-12);
  EXPECT_LT(max1, 1e-6);
  EXPECT_EQ(max1, max2);
  ScaleLineicCharts({&c1, &c2, &c3}, std::max({max1, max2, max3}));
  for (const TChart* c : {&c1, &c2, &c3})
    EXPECT_EQ(c->AxisRange(TAxisSide::Left), std::make_pair(0.0, 1.1 * max3));
}

TEST(Distribution, ShortFilesCutTheLineicChartsOnly) {
  Messages m;
  TempDir dir;
  std::string text = readFile(Golden("example", "db080.out"));
  text.resize(text.rfind("  30.000"));  // the last row gone
  TDBList dbdit, db80;
  ASSERT_TRUE(dbdit.ReadFile(Golden("example", "DBDIT.OUT"), m.parser));
  ASSERT_TRUE(db80.ReadFile(dir.write("db080.out", text), m.parser));
  EXPECT_EQ(db80.Count(), 60);
  EXPECT_TRUE(db80.ReadError().empty());
  EXPECT_EQ(LineicRows(dbdit, {db80}), 60);
  EXPECT_EQ(LineicRows(dbdit, {}), 61);

  // A row cut inside, and one with a bad number: the rows before stay and
  // the message names the file and line.
  std::string cut = readFile(Golden("example", "db080.out"));
  cut.resize(cut.rfind("    23.21"));
  ASSERT_TRUE(db80.ReadFile(dir.write("cut.out", cut), m.parser));
  EXPECT_EQ(db80.Count(), 60);
  ASSERT_EQ(m.list.size(), 1u);
  EXPECT_NE(m.list[0].find("cut.out, line 69"), std::string::npos) << m.list[0];
  std::string bad = readFile(Golden("example", "db080.out"));
  bad.replace(bad.find("0.8149E-03"), 10, "0.8149X-03");
  ASSERT_TRUE(db80.ReadFile(dir.write("bad.out", bad), m.parser));
  EXPECT_EQ(db80.Count(), 1);
  EXPECT_NE(m.list.back().find("bad.out, line 10"), std::string::npos) << m.list.back();
  EXPECT_FALSE(db80.ReadFile(dir.file("none.out"), m.parser));
}

}  // namespace
}  // namespace kirmel::test
