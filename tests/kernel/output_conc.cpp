// Concentration and distribution files: headers, record layout, percentages,
// the top-layer row, the ditch totals and when files open and close.
#include <filesystem>

#include "output_fixture.h"

namespace kirmel::test {
namespace {

constexpr int kUnitWlsoco = 25;

float one(int, int) { return 1.0f; }

TEST_F(OutputFixture, WlsocoHeaderAndDataLines) {
  run(one, one, true, false);
  auto l = lines("wlsoco.out");
  ASSERT_EQ(l.size(), 12u + 3u * 4u);  // header, then 3 output times of 4 nodes
  const std::vector<std::string> head = {
      "",
      " * Output of concentrations and distribution percentages",
      " * as a function of time for all segments of the water layer",
      " * ",
      " * Percentage of total present calculated from ",
      " * lineic mass (mass per running metre ditch)",
      " * ",
      " *<====>  <=>  <=======>    <= concentrations ======"
      "===========================>    <= distribution water "
      "layer =>  <====>",
      " *  time  segm  distance         total     dissolved"
      "   macrophytes   susp.solids      total dissol macroph"
      " susp.s.  timest",
      " *                                  c*             c           Xmp           Xss",
      " *     d               m         g.m-3         g.m-3         g.g-1         g.g-1"
      "         %       %       %      %",
      " *",
  };
  for (std::size_t n = 0; n < head.size(); ++n) EXPECT_EQ(l[n], head[n]) << "header line " << n + 1;

  // Water-body node: c = 1, macrophytes and suspended solids each hold as
  // much per m3 of water as the solution.
  EXPECT_EQ(l[13], "   0.000    2      5.000    0.3000E+01    0.1000E+01    0.2500E+00"
                   "    0.2500E+00    100.00   33.33   33.33   33.33       0");
  // Buffer node: no sorption, all of it dissolved.
  EXPECT_EQ(l[12], "   0.000    1      5.000    0.1000E+01    0.1000E+01    0.0000E+00"
                   "    0.0000E+00    100.00  100.00    0.00    0.00       0");
  // Output times 0, 1 and 2 d (steps 0, 2, 4) with the step in the last column.
  EXPECT_EQ(l[16].substr(0, 8), "   1.000");
  EXPECT_EQ(l[16].substr(l[16].size() - 6), "     2");
  EXPECT_EQ(l[23].substr(0, 15), "   2.000    4  ");
  for (std::size_t n = 12; n < l.size(); ++n) EXPECT_EQ(l[n].size(), 122u) << n;
  EXPECT_FALSE(env.units().isOpen(kUnitWlsoco));
}

TEST_F(OutputFixture, WlsocoZeroConcentrationGivesZeroPercentages) {
  s.nt = 1;
  run([](int, int) { return 0.0f; }, one, true, false);
  auto l = lines("wlsoco.out");
  ASSERT_EQ(l.size(), 16u);
  EXPECT_EQ(l[13], "   0.000    2      5.000    0.0000E+00    0.0000E+00    0.0000E+00"
                   "    0.0000E+00      0.00    0.00    0.00    0.00       0");
}

TEST_F(OutputFixture, WlsocoClosedAtLastStepEvenWithoutOutput) {
  s.nt = 3;  // output times at steps 0 and 2; step 3 is not one
  run(one, one, true, false);
  auto l = lines("wlsoco.out");
  EXPECT_EQ(l.size(), 12u + 2u * 4u);
  EXPECT_FALSE(env.units().isOpen(kUnitWlsoco));
}

TEST_F(OutputFixture, WbscoLinesAndTopLayerRow) {
  // Node 1: clb = 2 gives Xb = 1, cb* = 3; node 2: clb = 4 gives Xb = 2,
  // cb* = 6; buffer node 3: clb = 1, no sorption.
  run(one, [](int k, int) { return k == 1 ? 2.0f : k == 2 ? 4.0f : 1.0f; }, false, true);
  auto l = lines("wbsco003.out");
  EXPECT_FALSE(lines("wbsco002.out").size());  // node 2 is not selected
  ASSERT_EQ(l.size(), 15u + 3u * 4u);
  EXPECT_EQ(l[2], " * under segment    3 of the water layer as a function of time and depth");
  EXPECT_EQ(l[3], " * (middle of segment is at   15.000 m in waterbody)");
  EXPECT_EQ(l[8], " * Thickness top layer is  40.00 mm (upper  2 sediment segments)");
  EXPECT_EQ(l[10], " *<====>  <=>  <====>    <= concentrations ===================>"
                   "    <= percentage =======>  <====>");
  EXPECT_EQ(l[13], " *     d            m         g.m-3         g.m-3        g.g-1"
                   "          %       %       %");
  EXPECT_EQ(l[15], "   0.000    1  0.0050    0.3000E+01    0.2000E+01    0.1000E+01"
                   "    100.00   33.33   66.67       0");
  EXPECT_EQ(l[17], "   0.000    3  0.0250    0.5000E+00    0.1000E+01    0.0000E+00"
                   "    100.00  100.00    0.00       0");
  // Top layer: thickness-weighted concentrations (3*0.01 + 6*0.03)/0.04 = 5.25,
  // percentages from the unweighted sums (1 + 2) / 9 and 6 / 9.
  EXPECT_EQ(l[18], "   0.000  top  0.0250    0.5250E+01    0.3500E+01    0.1750E+01"
                   "    100.00   33.33   66.67       0");
  EXPECT_EQ(l[26].substr(0, 16), "   2.000  top  0");
  EXPECT_FALSE(env.units().isOpen(59 + 1));
}

TEST_F(OutputFixture, WbscoTopRowWithOneLayerIsThatLayer) {
  s.ktop = 1;
  run(one, [](int k, int) { return k == 1 ? 2.0f : 4.0f; }, false, true);
  auto l = lines("wbsco003.out");
  EXPECT_EQ(l[8], " * Thickness top layer is  10.00 mm (upper  1 sediment segments)");
  EXPECT_EQ(l[18].substr(0, 10), "   0.000  ");
  EXPECT_EQ(l[18].substr(13), l[15].substr(13));
}

TEST_F(OutputFixture, DistributionPerNodeAndWholeDitch) {
  // Water: c = 1 at node 2, 2 at node 3, 7 in the buffers (left out of dbdit).
  auto cw = [](int i, int) { return i == 2 ? 1.0f : i == 3 ? 2.0f : 7.0f; };
  auto cb = [](int k, int) { return k == 1 ? 2.0f : k == 2 ? 4.0f : 1.0f; };
  run(cw, cb);
  auto d = lines("db003.out");
  ASSERT_EQ(d.size(), 8u + 3u);
  EXPECT_EQ(d[2], " * as a function of time at segment   3 of water layer (middle of segment is at"
                  "   15.000 m)");
  EXPECT_EQ(d[6], " *     d      g.m'-1      g.m'-1      g.m'-1      g.m'-1      g.m'-1"
                  "      g.m'-1      g.m'-1         %         %");
  // Node 3, c = 2: A c* = 2 * 6 = 12, A c = 4, macrophytes 2*4*0.5 = 4,
  // suspended solids 4*2*0.5 = 4.  Sediment (layers 1, 2 only):
  // total 3*1*0.01 + 6*1*0.03 = 0.21, dissolved 0.01 + 0.06 = 0.07, solid 0.14.
  EXPECT_EQ(d[8], "   0.000  0.1200E+02  0.4000E+01  0.4000E+01  0.4000E+01  0.2100E+00"
                  "  0.7000E-01  0.1400E+00     98.28      1.72       0");
  auto w = lines("dbdit.out");
  ASSERT_EQ(w.size(), 8u + 3u);
  EXPECT_EQ(w[1], " * Output of substance distribution in water layer and sediment");
  EXPECT_EQ(w[5], " *  time    total wl   dissolved    macroph.  susp.solid  total sed."
                  "   dissolved   solid sed        wl  sediment  timest");
  // Ditch: (6 + 12) * 10 m of water total, (0.21 + 0.21) * 10 m of sediment.
  EXPECT_EQ(w[8], "   0.000  0.1800E+03  0.6000E+02  0.6000E+02  0.6000E+02  0.4200E+01"
                  "  0.1400E+01  0.2800E+01     97.72      2.28       0");
  EXPECT_FALSE(env.units().isOpen(28));
  EXPECT_FALSE(env.units().isOpen(69 + 1));
}

TEST_F(OutputFixture, DitchTotalsWithoutNodeFiles) {
  s.op_dbnodenr = 0;
  s.nt = 2;
  run(one, one);
  EXPECT_TRUE(lines("db003.out").empty());
  EXPECT_EQ(lines("dbdit.out").size(), 8u + 2u);
}

TEST_F(OutputFixture, NodeFileEndsAtItsLastOutputTime) {
  s.nt = 3;  // output steps 0 and 2; (3 - 2) * deltwb < deltout makes 2 the last
  run(one, one);
  EXPECT_EQ(lines("db003.out").size(), 8u + 2u);
  EXPECT_EQ(lines("dbdit.out").size(), 8u + 2u);
  EXPECT_FALSE(env.units().isOpen(70));
  EXPECT_FALSE(env.units().isOpen(28));
}

TEST_F(OutputFixture, NodeSelectedTwiceGetsOneFileAndOneLinePerTime) {
  s.nwbsy = 3;
  s.iwbsy[1] = 3;
  s.iwbsy[2] = 3;
  s.iwbsy[3] = 7;  // outside the water body: no files
  run(one, one);
  EXPECT_EQ(lines("wbsco003.out").size(), 15u + 3u * 4u);
  EXPECT_EQ(lines("db003.out").size(), 8u + 3u);
  EXPECT_EQ(lines("wbmb003.out").size(), 12u + 3u);
  EXPECT_EQ(lines("wlmb003.out").size(), 11u + 3u);
  auto ec = lines("ec003.out");
  EXPECT_EQ(ec.size(), 11u + 3u + 12u);
  EXPECT_TRUE(lines("wbsco007.out").empty());
  EXPECT_TRUE(lines("ec007.out").empty());
}

TEST_F(OutputFixture, OutputThatCannotBeWrittenStopsTheRun) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", dir.path() / "wlsoco.out");
  s.nt = 1;
  run(one, one, true, false);
  // The failed close is reported once, by the check after the step.
  int status = 0;
  try {
    kn.checkWrites();
  } catch (const Stop& stop) {
    status = stop.status;
  }
  EXPECT_EQ(status, kStatusWriteFailed);
  EXPECT_EQ(s.nerr, 1);
  const std::string line = " Error: output file wlsoco.out could not be written completely\n";
  EXPECT_EQ(console.str().find(line), console.str().rfind(line)) << console.str();
  EXPECT_NE(console.str().find(line + "Stop - Program terminated.\n"), std::string::npos) << console.str();
}

TEST_F(OutputFixture, OutputFileThatCannotBeCreatedStopsTheRun) {
  std::filesystem::create_directory(dir.path() / "wlsoco.out");
  s.j = 0;
  EXPECT_THROW(kn.wlsocoout(), Stop);
  EXPECT_NE(console.str().find(" Error: cannot create output file wlsoco.out"), std::string::npos)
      << console.str();
}

TEST_F(OutputFixture, NozeroGuardsOnlyAnExactZero) {
  EXPECT_EQ(Kernel::nozero(0.0f), 1.0f);
  EXPECT_EQ(Kernel::nozero(-0.0f), 1.0f);
  EXPECT_EQ(Kernel::nozero(1.0e-30f), 1.0e-30f);
  EXPECT_EQ(Kernel::nozero(-2.5f), -2.5f);
}

}  // namespace
}  // namespace kirmel::test
