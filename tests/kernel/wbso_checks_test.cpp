// The sediment solver's limiter, checks, stops and echo.
#include <cmath>
#include <random>

#include "wbso_fixture.h"

namespace kirmel::test {
namespace {

using WbsoChecks = WbsoTest;

// Porosity 0 is a valid input: without seepage there is no dispersion and the
// step stays finite; with seepage the pore velocity divides by zero and the
// run stops with a message instead of computing with infinities.
TEST_F(WbsoChecks, ZeroPorosity) {
  ColumnSetup c;
  c.nsed = 5;
  c.por = 0.0f;
  c.kb = 1.0e-6f;
  column(c, 1.0f);
  water(0.5f);
  run(10);
  for (int k = 1; k <= 5; ++k) {
    EXPECT_TRUE(std::isfinite(s.cowbst[1][k])) << k;
    EXPECT_EQ(s.col.kdswbjph[k], 0.0f);
    EXPECT_EQ(s.col.kdsbnujkph[k], 0.0f);
  }
  EXPECT_EQ(countOf(messages(), "Message from"), 0);

  c.qseif = 0.001f / 86400.0f;
  column(c, 1.0f);
  EXPECT_GT(stopStatus(1), 0);
  const std::string msg = messages();
  EXPECT_NE(msg.find(" Message from subroutine wbsods:"), std::string::npos) << msg;
  EXPECT_NE(msg.find(" Division by zero: perimeter x porosity at the upper face is 0"), std::string::npos);
  EXPECT_NE(out.str().find("  Program stops"), std::string::npos);
}

// Other exact zero divisors stop cleanly: a lower-buffer layer of thickness 0,
// and a zero diagonal in the explicit update.
TEST_F(WbsoChecks, ZeroThicknessStops) {
  ColumnSetup c;
  c.nsed = 3;
  c.nbuf = 2;
  c.dzb = 0.0f;
  column(c, 1.0f);
  water(0.0f);
  s.wbnuinp = "/runs/WBNU.INP";
  EXPECT_GT(stopStatus(1), 0);
  EXPECT_NE(messages().find(" Division by zero: thickness of the sediment segment is 0\n"
                            " at timestep:     1 and node:   4\n"
                            ", in sediment sub-system under node wl:     1\n"
                            " Check lesewb and leseebb in /runs/WBNU.INP\n Program stops\n"),
            std::string::npos);
}

TEST_F(WbsoChecks, ZeroDiagonalInExplicitStepStops) {
  ColumnSetup e;
  e.nsed = 2;
  e.por = 0.0f;
  e.kf = 0.0f;
  e.theta = 1.0f;
  column(e, 1.0f);
  EXPECT_GT(stopStatus(1), 0);
  EXPECT_NE(messages().find(" Division by zero: bldd is 0"), std::string::npos);
}

// Under downward seepage a concentration that rises steeply with depth
// switches off advection and calculation dispersion at that face.  Both nodes
// of a face always see the same switch and the same calculation dispersion.
TEST_F(WbsoChecks, LimiterActsOnWholeFaces) {
  ColumnSetup c;
  c.nsed = 8;
  c.nbuf = 2;
  c.qseif = 0.005f / 86400.0f;
  c.ldis = 0.02f;
  c.weight = 0.3f;
  column(c);
  water(0.1f);
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> dist(0.0f, 1.0f);
  int limited = 0;
  for (int trial = 0; trial < 200; ++trial) {
    float prev = dist(gen);
    for (int k = 1; k <= s.nznotot; ++k) {
      prev = prev * (0.5f + 3.0f * dist(gen));
      s.cowbst[1][k] = prev;
    }
    run(1);
    for (int k = 1; k < s.nznotot; ++k) {
      EXPECT_EQ(s.col.sofdfactorph[k], s.col.sofdfactormh[k + 1]) << "face below node " << k;
      EXPECT_EQ(s.col.kdsbcljkph[k], s.col.kdsbcljkmh[k + 1]) << "face below node " << k;
      if (s.col.sofdfactorph[k] == 0.0f) {
        ++limited;
        EXPECT_EQ(s.col.kdsbcljkph[k], 0.0f);
      }
    }
  }
  EXPECT_GT(limited, 50);
  // At most 50 warnings in the run, each counted as a warning.
  const std::string msg = messages();
  EXPECT_EQ(countOf(msg, " Phenomenon of dispersion flux cancel out/exceeding"), 50);
  EXPECT_EQ(s.nwarn, 50);
  EXPECT_GT(s.icsofd, 50);
  EXPECT_NE(msg.find(" Number of ocurrence of this phenomenon:     1\n"), std::string::npos);
  EXPECT_NE(msg.find(" sofdfactormh:"), std::string::npos);
}

// Without seepage the limiter never fires, whatever the profile.
TEST_F(WbsoChecks, NoLimiterWithoutSeepage) {
  ColumnSetup c;
  c.nsed = 5;
  c.ldis = 0.5f;
  column(c);
  for (int k = 1; k <= 5; ++k) s.cowbst[1][k] = 10.0f * static_cast<float>(k * k);
  water(0.0f);
  run(3);
  EXPECT_EQ(s.icsofd, 0);
  EXPECT_EQ(countOf(messages(), "Warning"), 0);
}

// The midpoints restart at the top of the lower buffer; across the boundary
// the node distance is the half-sum of the two thicknesses.
TEST_F(WbsoChecks, DistanceAcrossBufferBoundary) {
  ColumnSetup c;
  c.nsed = 4;
  c.nbuf = 2;
  c.dz = 0.02f;
  c.dzb = 0.05f;
  c.weight = 0.0f;
  c.qseif = 0.002f / 86400.0f;
  c.ldis = 0.05f;
  column(c, 0.5f, 0.5f);
  water(0.5f);
  run(1);
  const float q = s.qseif * s.leplot;
  const float delta = 0.5f * (0.02f + 0.05f);
  EXPECT_FLOAT_EQ(s.col.kdsbnujkph[4], delta * 1.0f * q / (2.0f * 1.0f));
  EXPECT_GT(s.col.kdsbnujkph[4], 0.0f);
  // A profile that rises into the buffer is limited there with a positive
  // gradient over the half-sum distance.
  for (int k = 1; k <= 4; ++k) s.cowbst[1][k] = 1.0e-3f;
  s.cowbst[1][5] = s.cowbst[1][6] = 10.0f;
  run(1);
  EXPECT_EQ(s.col.sofdfactorph[4], 0.0f);
  EXPECT_EQ(s.col.sofdfactormh[5], 0.0f);
}

// Positivity: every violation adds to the counter; below 50 it is reported,
// and the 49th violation of the run stops it.  Step 1 restarts the count in
// every subsystem.
TEST_F(WbsoChecks, PositivityCounter) {
  ColumnSetup c;
  c.nsed = 5;
  c.dif = 1.0e-12f;
  c.weight = 1.0f;  // downwind faces: blbd > 0 at nodes 1 .. 4
  c.qseif = 0.01f / 86400.0f;
  c.nodes = 8;
  column(c, 1.0f);
  water(1.0f);
  // The column starts in equilibrium with the water, so every step converges
  // in its first pass: 4 violations per step and subsystem (nodes 1 .. 4).
  // Step 1 restarts the counter in every subsystem, so the run goes on.
  run(1);
  EXPECT_EQ(s.col.nitwb, 1);
  EXPECT_EQ(s.icposwb, 5);
  EXPECT_EQ(countOf(messages(), " Message from subroutine wbso:"), 8 * 4);
  // From step 2 on they add up: 5 + 32 after step 2, then 41, 45, 49 after
  // the first three subsystems of step 3; the next violation stops the run.
  EXPECT_GT(stopStatus(5), 0);
  EXPECT_EQ(s.j, 3);
  EXPECT_EQ(s.i, 4);
  EXPECT_EQ(s.icposwb, 50);
  const std::string msg = messages();
  EXPECT_EQ(countOf(msg, " Message from subroutine wbso:"), 8 * 4 + 44);
  EXPECT_NE(msg.find(" blbd   brbd   timestep  nodewl  nodewb\n bldd   brdd\n blod   brod\n     brv\n"),
            std::string::npos);
  EXPECT_NE(msg.find("\n So positivity conditions have not been fulfilled\n are solutions given and are these OK ?\n"),
            std::string::npos);
  EXPECT_EQ(out.str(), "  Error:\n  Positivity conditions wb not fulfilled;\n  see message.out\n  Program stops\n");
}

// Freundlich exponent 2 with a strong sorption makes the iteration swing
// between two values: pass 50 unconverged stops the run.
TEST_F(WbsoChecks, NeverEndingIteration) {
  ColumnSetup c;
  c.nsed = 1;
  c.dif = 0.0f;
  c.por = 0.01f;
  c.nfr = 2.0f;
  c.kf = 1.0e-4f;
  c.theta = 1.0f;
  c.kb = 0.5f / 3600.0f;
  column(c, 50.0f);
  water(0.0f);
  EXPECT_GT(stopStatus(1), 0);
  const std::string msg = messages();
  EXPECT_NE(msg.find(" More than\n    50 iteration loops will be needed to calculate clbj+1\n"
                     " for gridpoint:     1 at timestep:       1\n in the sediment subsystem\n"
                     " under node waterlayer:       1\n\n Iteration values oldcowbjp1 and cowbjp1 are:"),
            std::string::npos)
      << msg;
  EXPECT_NE(msg.find(" Never ending loop !\n"), std::string::npos);
  EXPECT_EQ(out.str(), "  Error:\n  see message.out\n  Program stops\n");
  EXPECT_EQ(s.col.nitwb, 50);
}

// Both water-layer levels feed node 1: a loading that arrives at level j+1
// reaches the sediment in the same step, unless the new level has no weight.
TEST_F(WbsoChecks, TopNodeSeesBothWaterLevels) {
  for (float theta : {0.5f, 1.0f}) {
    ColumnSetup c;
    c.nsed = 3;
    c.theta = theta;
    c.qseif = 0.001f / 86400.0f;
    c.ldis = 0.01f;
    column(c);
    for (int i = 1; i <= s.nxnotot; ++i) {
      s.cowlj[i] = 0.0f;
      s.cowljp1[i] = 1.0f;
    }
    run(1);
    if (theta == 1.0f)
      EXPECT_LT(s.cowbtop[1], 1.0e-20f);
    else
      EXPECT_GT(s.cowbtop[1], 1.0e-6f);
  }
}

// The first step's echo goes to icwb.out for the first subsystem only; the
// file is closed once, after the last subsystem's first pass.
TEST_F(WbsoChecks, EchoAndCloseOfIcwb) {
  ColumnSetup c;
  c.nsed = 3;
  c.nbuf = 1;
  c.nodes = 2;
  c.qseif = 0.001f / 86400.0f;
  c.ldis = 0.01f;
  column(c, 1.0f, 1.0f);
  water(1.0f);
  s.op_icwb = 1;
  ASSERT_TRUE(env.units().openWrite(24, dir.file("icwb.out")));
  run(1);
  EXPECT_FALSE(env.units().isOpen(24));
  const std::string icwb = readFile(dir.file("icwb.out"));
  EXPECT_EQ(icwb.rfind("\n Some calculation results from subroutine wbsods:\n"
                       " physical, numerical and calculation dispersion for first timestep and\n"
                       " first node sediment under first node water layer\n"
                       "  kdswbjph(k)  kdsbnujkph(k)   kdsbcljkph(k)  (m2.(day)-1)\n ",
                       0),
            0u)
      << icwb;
  EXPECT_EQ(countOf(icwb, " Results from subroutine wbso\n\n positivity conditions are: blbd =< 0    brbd >= 0\n"
                          "                            bldd > 0     brdd > 0\n"
                          "                            blod =< 0    brod >= 0\n"),
            1);
  EXPECT_EQ(countOf(icwb, "\n blbd    brbd    timestep   nodenumber\n bldd    brdd\n blod    brod\n    brv\n"), 4);
  EXPECT_NE(icwb.find(" 1 4\n"), std::string::npos);  // node 4 of step 1

  // A unit 24 opened later for something else is left alone.
  ASSERT_TRUE(env.units().openWrite(24, dir.file("other.out")));
  run(2);
  EXPECT_TRUE(env.units().isOpen(24));
  env.units().close(24);
  EXPECT_EQ(readFile(dir.file("other.out")), "");
}

// An explicit step whose decay removes more than the node holds gives a
// negative new value.  With linear sorption the coefficients do not change
// between passes, so the new value stays negative while the iterate sits at
// the floor: that counts as converged, and the value is reported and raised
// to the floor instead of ending the run as a never-ending loop.
TEST_F(WbsoChecks, NegativeValueIsReportedAndRunGoesOn) {
  ColumnSetup c;
  c.nsed = 2;
  c.dif = 0.0f;
  c.theta = 1.0f;
  c.kb = 2.0f / 3600.0f;  // k * dt = 2: the explicit step overshoots zero
  column(c, 1.0f);
  water(0.0f);
  run(1);
  const std::string msg = messages();
  EXPECT_NE(msg.find("Negative concentration in sediment !"), std::string::npos) << msg;
  EXPECT_EQ(msg.find("Never ending loop"), std::string::npos) << msg;
  EXPECT_EQ(s.cowbtop[1], 1.0e-25f);
}

}  // namespace
}  // namespace kirmel::test
