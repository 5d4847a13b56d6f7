// Snapping of loading times and distances, and the increments that wlload
// adds to the water layer.
#include <cmath>

#include "init_fixture.h"

namespace kirmel::test {
namespace {

struct Loads : KernelFixture {
  // 80 segments of 4 m, no sorption, 3600 s steps.
  void SetUp() override {
    std::vector<float> len(80, 4.0f);
    setWaterLayer({}, len, {});
    s.deltwl = 3600.0f;
    s.wibot = 0.4f;
    s.sisl = 1.0f;
    s.wdh = 0.3f;
    s.coobkomss = 1.0f;
    s.exfrss = 1.0f;
    s.cosol = 1.0e6f;
    const float a = s.wdh * s.wibot + s.wdh * s.wdh * s.sisl;
    for (int i = 1; i <= s.nxnotot; ++i) s.warst[i] = s.warjp1[i] = a;
    openMessages();
  }
  // Runs wlload at step j and returns the increment of node i.
  float loadAt(int j, int i) {
    s.j = j;
    k.wlload();
    return s.load[i];
  }
};

TEST_F(Loads, SnappedTimesAreWholeStepsAndMeetTheStepTime) {
  float t = 0.15f * 86400.0f;
  k.slsnap(1, "spray drift          ", 1, t);
  EXPECT_EQ(t, 4.0f * 3600.0f);
  EXPECT_EQ(s.nwarn, 1);
  float early = 0.02f * 86400.0f;  // 1728 s: less than half a step
  k.slsnap(1, "spray drift          ", 2, early);
  EXPECT_EQ(early, 0.0f);
  float late = 0.03f * 86400.0f;  // 2592 s: more than half a step
  k.slsnap(1, "spray drift          ", 3, late);
  EXPECT_EQ(late, 3600.0f);
  float exact = 0.5f * 86400.0f;
  k.slsnap(1, "drainage    start t  ", 4, exact);
  EXPECT_EQ(exact, 43200.0f);
  EXPECT_EQ(s.nwarn, 3);
  std::string msg = messages();
  EXPECT_NE(msg.find("\n\n Warning: input time for spray drift          (loading no     1)\n"
                     " is not a multiple of calculation timestep,\n"
                     " therefore input time     0.1500 d is replaced by     0.1667 d\n"),
            std::string::npos)
      << msg;
}

TEST_F(Loads, DriftAtFractionOfDayIsAppliedAtItsStep) {
  s.ntslus = 1;
  s.mslus[1] = 0.002f;
  s.stslus[1] = 0.15f * 86400.0f;
  k.slsnap(1, "spray drift          ", 1, s.stslus[1]);
  s.etslus[1] = s.stslus[1];
  s.snslus[1] = 6;
  s.enslus[1] = 80;
  const float expect = (s.wibot + 2.0f * s.wdh * s.sisl) * 0.002f / s.warst[10];
  EXPECT_EQ(loadAt(3, 10), 0.0f);
  float c0 = s.cowljp1[10];
  EXPECT_EQ(loadAt(4, 10), expect);
  EXPECT_FLOAT_EQ(s.cowljp1[10], c0 + expect);
  EXPECT_EQ(s.load[5], 0.0f);
  EXPECT_EQ(s.load[6], expect);
  EXPECT_EQ(s.load[80], expect);
  EXPECT_EQ(loadAt(5, 10), 0.0f);
}

TEST_F(Loads, LaterDriftOfTheSameStepReplacesTheEarlier) {
  s.ntslus = 2;
  s.mslus[1] = 0.004f;
  s.mslus[2] = 0.001f;
  s.snslus[1] = s.snslus[2] = 1;
  s.enslus[1] = s.enslus[2] = 3;
  s.j = 0;
  k.wlload();
  EXPECT_EQ(s.load[2], (s.wibot + 2.0f * s.wdh * s.sisl) * 0.001f / s.warst[2]);
  EXPECT_EQ(s.cowlj[2], s.load[2]);  // at time 0 into the old level
  EXPECT_EQ(s.load[4], 0.0f);
}

TEST_F(Loads, DrainageWindowDeliversExactlyItsMass) {
  s.ntslud = 1;
  s.mslud[1] = 5.0f;
  s.stslud[1] = 86400.0f;
  s.etslud[1] = 172800.0f;
  s.snslud[1] = 2;
  s.enslud[1] = 3;
  double mass = 0.0;
  int steps = 0;
  for (int j = 0; j <= 60; ++j) {
    float l = loadAt(j, 2);
    EXPECT_EQ(s.load[3], l);
    EXPECT_EQ(s.load[4], 0.0f);
    if (l > 0.0f) {
      ++steps;
      EXPECT_GE(j, 24);
      EXPECT_LE(j, 47);
      mass += double(l) * double(s.warjp1[2]);
    }
  }
  EXPECT_EQ(steps, 24);
  EXPECT_NEAR(mass, 5.0, 5.0e-6);
  EXPECT_NEAR(double(s.cowljp1[2]) * double(s.warjp1[2]), 5.0, 5.0e-6);

  // The model routes spread leplot x loss rate the same way.
  s.ntslud = 0;
  s.ntslmd = 1;
  s.leplot = 100.0f;
  s.lrslmd[1] = 0.02f;
  s.stslmd[1] = 0.0f;
  s.etslmd[1] = 86400.0f;
  s.snslmd[1] = 1;
  s.enslmd[1] = 80;
  mass = 0.0;
  for (int j = 0; j <= 30; ++j) mass += double(loadAt(j, 40)) * double(s.warjp1[40]);
  EXPECT_NEAR(mass, 2.0, 2.0e-6);
}

TEST_F(Loads, ReSolvedConcentrationKeepsTheTotal) {
  s.coss = 15.0f;
  s.raomss = 0.5f;
  s.pez0hw = 0.68f;
  s.dwmp = 50.0f;
  s.coobkomss = 0.005f;
  s.exfrss = 0.8f;
  for (int i = 1; i <= s.nxnotot; ++i) {
    s.kdomss[i] = 0.02f;
    s.kdmp[i] = 0.0005f;
  }
  s.ntslus = 1;
  s.mslus[1] = 0.01f;
  s.stslus[1] = s.etslus[1] = 3600.0f;
  s.snslus[1] = 1;
  s.enslus[1] = 2;
  s.cowljp1[1] = 0.001f;
  auto total = [&](double c, int i) {
    return c + 0.0005 * c * 0.68 * 50.0 / double(s.warjp1[i]) +
           15.0 * 0.5 * 0.02 * 0.005 * std::pow(c / 0.005, 0.8);
  };
  double before = total(s.cowljp1[1], 1);
  s.j = 1;
  k.wlload();
  EXPECT_NEAR(total(s.cowljp1[1], 1), before + double(s.load[1]), 1e-3 * (before + double(s.load[1])));
  EXPECT_NEAR(total(s.cowljp1[2], 2), double(s.load[2]), 1e-3 * double(s.load[2]));
  EXPECT_EQ(s.cowljp1[3], 0.0f);
}

TEST_F(Loads, ReSolveThatCannotConvergeStopsNamingWlloadAndNode) {
  s.ntslus = 1;
  s.mslus[1] = 0.01f;
  s.snslus[1] = s.enslus[1] = 7;
  s.coss = std::nanf("");
  s.j = 0;
  EXPECT_NE(stopStatus([&] { k.wlload(); }), 0);
  EXPECT_NE(out.str().find(" Error in wlload: dissolved concentration after loading at node    7"), std::string::npos)
      << out.str();
}

TEST_F(Loads, AtMostTwentySolubilityWarnings) {
  s.cosol = 0.5f;
  for (int i = 1; i <= 15; ++i) s.cowljp1[i] = 1.0f;
  s.j = 0;
  k.wlload();
  EXPECT_EQ(s.nwarn, 0);
  s.j = 1;
  k.wlload();
  EXPECT_EQ(s.nwarn, 15);
  s.j = 2;
  k.wlload();
  s.j = 3;
  k.wlload();
  EXPECT_EQ(s.nwarn, 20);
  EXPECT_EQ(s.nsolwl, 20);
  std::string msg = messages();
  EXPECT_NE(msg.find("\n Concentration in water layer exceeds\n solubility at timestep:     1 and node:  3\n"
                     " Concentration is:0.1000E+01 Solubility is:0.5000E+00\n"),
            std::string::npos)
      << msg;
}

TEST_F(Loads, DistancesSnapToSegmentEnds) {
  float x = 21.0f;  // in segment 6 (20 .. 24), below its middle
  k.slsnap(2, "drainage    start x  ", 3, x);
  EXPECT_EQ(x, 20.0f);
  x = 22.5f;
  k.slsnap(2, "drainage    end x    ", 3, x);
  EXPECT_EQ(x, 24.0f);
  x = 24.0f;  // on a boundary: unchanged, no warning
  k.slsnap(2, "drainage    end x    ", 3, x);
  EXPECT_EQ(x, 24.0f);
  x = 400.0f;  // beyond the end of the water body
  k.slsnap(2, "drainage    end x    ", 3, x);
  EXPECT_EQ(x, 320.0f);
  EXPECT_EQ(s.nwarn, 3);
  std::string msg = messages();
  EXPECT_NE(msg.find(" Warning: input distance for drainage    start x  (segment     3)\n"
                     " matches not with defined segment lengths, therefore \n"
                     " input distance    21.00 m is replaced by    20.00 m\n"),
            std::string::npos)
      << msg;
}

}  // namespace
}  // namespace kirmel::test
