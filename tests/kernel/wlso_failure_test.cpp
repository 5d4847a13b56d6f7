// The water-layer solver's checks and stops (positivity, never-ending
// iteration), its behaviour at the concentration floor, the echo of the
// first step, and the treatment of zone boundaries and the air source.
#include <cmath>
#include <string>

#include "platform/Format.h"
#include "wlso_fixture.h"

namespace kirmel::test {
namespace {

// Central weighting at theta 0.5 has no numerical dispersion to subtract,
// so the coefficients stay positive exactly while kds >= u dx / 2.
DitchSpec positivityDitch(float kdsFactor) {
  DitchSpec c;
  c.ndit = 10;
  c.u = 0.01f;
  c.dt = 10.0f;
  c.theta = 0.5f;
  c.beta = 0.5f;
  c.kds = kdsFactor * 0.01f * 1.0f / 2.0f;
  return c;
}

TEST_F(WlsoTest, DispersionJustAboveHalfCellPecletGivesNoPositivityMessage) {
  ditch(positivityDitch(1.001f), 1.0f);
  steps(5);
  EXPECT_EQ(countOf(messages(), " Message from subroutine wlso"), 0);
  EXPECT_EQ(out.str(), "");
}

TEST_F(WlsoTest, DispersionJustBelowHalfCellPecletReportsThenStopsAtTheFiftiethCount) {
  ditch(positivityDitch(0.999f), 1.0f);
  int status = 0;
  try {
    steps(10);
    FAIL() << "the run did not stop";
  } catch (const Stop& stop) {
    status = stop.status;
  }
  EXPECT_NE(status, 0);
  EXPECT_EQ(s.npositwl, 50);
  const std::string msg = messages();
  // The counter starts at 1: violations 1 .. 48 are reported, the 49th stops.
  EXPECT_EQ(countOf(msg, "\n\n Message from subroutine wlso\n\n positivity conditions are: lbd =< 0    rbd >= 0\n"
                       "                            ldd > 0     rdd > 0\n"
                       "                            lod =< 0    rod >= 0\n\n"
                       " lbd    rbd    timestep   nodenumber\n ldd    rdd\n lod    rod\n    rv\n"),
            48);
  EXPECT_EQ(countOf(msg, "\n So positivity conditions have not been met.\n Are solutions given and are these OK ?\n"), 48);
  EXPECT_EQ(out.str(), "  Error: \n  Positivity conditions wl not fulfilled;\n  see message.out\n  Program stops\n");
}

// Strongly non-linear sorption and a step that removes almost everything:
// the Picard iteration contracts too slowly to converge in 50 passes.
TEST_F(WlsoTest, IterationThatDoesNotConvergeStopsWithTheNeverEndingLoopReport) {
  DitchSpec c;
  c.ndit = 1;
  c.theta = 0.0f;
  c.dt = 100.0f;
  c.kt = 1.0f;
  c.coss = 100.0f;
  c.kf = 1.0f;
  c.nfr = 0.1f;
  ditch(c, 1.0f);
  int status = 0;
  try {
    step();
    FAIL() << "the run did not stop";
  } catch (const Stop& stop) {
    status = stop.status;
  }
  EXPECT_NE(status, 0);
  EXPECT_EQ(s.itwl, 50);
  const std::string msg = messages();
  std::string values(" Iteration values oldcowljp1 and cowljp1 are:");
  fmt::E(values, s.oldcowljp1[1], 10, 4);
  fmt::X(values, 2);
  fmt::E(values, s.cowljp1[1], 10, 4);
  EXPECT_NE(msg.find("\n\n Message from subroutine wlso:\n\n More than\n"
                     "    50 iteration loops will be needed to calculate cj+1\n"
                     " for gridpoint:     1 at timestep:       1\n"
                     " in the water layer\n\n" +
                     values + "\n Never ending loop !\n"),
            std::string::npos)
      << msg;
  EXPECT_EQ(out.str(), "  Error: \n  Never ending loop in wlso; \n  see message.out \n  Program stops \n");
}

// An explicit step that transforms exactly everything gives a new value of 0.
// The iterate is raised to the floor every pass, so the relative test could
// never pass; a node with both values at or below the floor has converged.
TEST_F(WlsoTest, NodeAtTheFloorConvergesInsteadOfLoopingForever) {
  DitchSpec c;
  c.ndit = 3;
  c.theta = 1.0f;
  c.dt = 4.0f;
  c.kt = 0.25f;
  ditch(c, 1.0f);
  step();
  EXPECT_EQ(s.itwl, 2);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(s.cowljp1[i], 1.0e-25f);
  step();
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(s.cowljp1[i], 1.0e-25f);
  EXPECT_EQ(countOf(messages(), "Message from subroutine wlso"), 0);
}

// A clean watercourse computes with the floor everywhere and reports nothing.
TEST_F(WlsoTest, CleanWatercourseStaysAtTheFloorWithoutMessages) {
  DitchSpec c;
  c.ndit = 6;
  c.u = 0.01f;
  c.kds = 0.01f;
  c.kt = 1.0e-5f;
  c.coss = 10.0f;
  c.kf = 0.05f;
  c.nfr = 0.9f;
  ditch(c, 0.0f);
  steps(5);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(s.cowlj[i], 1.0e-25f) << "node " << i;
    EXPECT_GE(s.cowljp1[i], 1.0e-25f) << "node " << i;
    EXPECT_LT(s.cowljp1[i], 1.001e-25f) << "node " << i;
  }
  EXPECT_EQ(countOf(messages(), "wlso"), 0);
  EXPECT_EQ(out.str(), "");
}

// Without substance in the air there is no air source, even when the Henry
// coefficient is 0 (which would otherwise give 0/0).
TEST_F(WlsoTest, NoAirSourceWithoutSubstanceInTheAir) {
  DitchSpec c;
  c.ndit = 3;
  c.kv = 1.0e-5f;
  c.kh = 0.0f;
  c.dt = 600.0f;
  ditch(c, 1.0f);
  steps(3);
  EXPECT_EQ(s.v1, 0.0f);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_TRUE(std::isfinite(s.cowljp1[i]));
    EXPECT_LT(s.cowljp1[i], 1.0f);
  }
}

// Midpoint distances restart in every zone; across a zone boundary the node
// distance in the numerical dispersion is the half-sum of the two lengths,
// so an upwind grid gets the same correction u dx / 2 at every face.
TEST_F(WlsoTest, NumericalDispersionAcrossZoneBoundariesUsesTheNodeSpacing) {
  DitchSpec c;
  c.nfb = 2;
  c.ndit = 4;
  c.neb = 2;
  c.dx = 2.0f;
  c.u = 0.01f;
  c.kds = 0.1f;
  c.beta = 0.0f;
  c.theta = 0.5f;
  ditch(c, 1.0f, 1.0f);
  step();
  const float expected = 0.01f * 2.0f / 2.0f;
  for (int i = 1; i <= 7; ++i) EXPECT_NEAR(s.kdswnujiph[i], expected, 1.0e-7f) << "face " << i << "+1/2";
  for (int i = 2; i <= 8; ++i) EXPECT_NEAR(s.kdswnujimh[i], expected, 1.0e-7f) << "face " << i << "-1/2";
}

// With the flow towards the front, node 1 of a water body without buffers
// loses substance through its front face, and the end node receives clean
// water: a uniform concentration empties from the front.
TEST_F(WlsoTest, FlowTowardsTheFrontLeavesThroughTheFirstNode) {
  DitchSpec c;
  c.ndit = 5;
  c.u = -0.01f;
  c.kds = 0.01f;
  c.dt = 10.0f;
  ditch(c, 1.0f);
  steps(20);
  EXPECT_LT(s.cowljp1[1], 0.99f);
  EXPECT_LT(s.cowljp1[5], s.cowljp1[4]);
}

// The first step echoes geometry, dispersion and the coefficients of every
// node to icwlhy.out; later steps write nothing there.
TEST_F(WlsoTest, FirstStepEchoesToTheInitialCalculationFile) {
  DitchSpec c;
  c.nfb = 1;
  c.ndit = 3;
  c.neb = 1;
  c.u = 0.01f;
  c.kds = 0.01f;
  ditch(c, 1.0f);
  s.op_icwlhy = 1;
  ASSERT_TRUE(env.units().openWrite(23, dir.file("icwlhy.out")));
  steps(3);
  env.units().close(23);
  const std::string text = readFile(dir.file("icwlhy.out"));
  EXPECT_EQ(text.rfind("\n Results of calculations from subroutine wlsoge (for first timestep):\n"
                       " first water depth at interfaces for all nodes:\n"
                       "    ixnotot     wdhjimh        wdhjiph      (m)\n"
                       " then wetted area at interfaces at time j+1/2 for all nodes:\n"
                       "                warjphimh      warjphiph    (m2)\n\n",
                       0),
            0u);
  EXPECT_EQ(countOf(text, "\n    ixnotot     wdhjimh        wdhjiph      (m)\n"), 6);
  EXPECT_EQ(countOf(text, "\n               1.0000100       1.0000100\n"), 5);
  EXPECT_EQ(countOf(text, " Some calculation results from subroutine wlsods:\n"
                        " physical, numerical and calculation dispersion for\n"
                        " first timestep and first node\n"
                        " kds  kdswnujiph  kdswcljiph  (m2.(day)-1)\n"),
            1);
  EXPECT_EQ(countOf(text, "\n\n\n Results from subroutine wlso\n\n positivity conditions are:"), 1);
  EXPECT_EQ(countOf(text, "\n lbd    rbd    timestep   nodenumber\n ldd    rdd\n lod    rod\n    rv\n"), 5);
  EXPECT_EQ(countOf(text, " 1 5\n"), 1);  // j and i after lbd and rbd of the last node
}

}  // namespace
}  // namespace kirmel::test
