// Initial calculations of the water layer: positions, weights and initial
// concentrations against closed forms.
#include <cmath>

#include "init_fixture.h"

namespace kirmel::test {
namespace {

struct WlInit : KernelFixture {
  // A water body of three nodes with suspended solids and macrophytes.
  void setSorption(float exfrss) {
    setWaterLayer({}, {4.0f, 4.0f, 4.0f}, {});
    s.wibot = 0.4f;
    s.sisl = 1.0f;
    s.wdhfl = 0.1f;
    s.pez0hw = s.wibot + 2.0f * s.wdhfl * sqrtf(1.0f + s.sisl * s.sisl);
    s.coss = 15.0f;
    s.raomss = 0.5f;
    s.dwmp = 50.0f;
    s.coobkomss = 1.0f;
    s.exfrss = exfrss;
    for (int i = 1; i <= 3; ++i) {
      s.warst[i] = 0.3f * 0.4f + 0.3f * 0.3f * 1.0f;
      s.kdomss[i] = 0.02f;  // m3/g
      s.kdmp[i] = 0.0005f;  // m3/g
      s.castwl[i] = 0.01f * static_cast<float>(i);
    }
  }
};

TEST_F(WlInit, LinearSorptionGivesTheClosedForm) {
  setSorption(1.0f);
  s.kdomss[3] = 0.0f;  // a node like a buffer: nothing sorbs
  s.kdmp[3] = 0.0f;
  s.castwl[2] = 0.0f;
  k.wlitco();
  double a = 1.0 + 15.0 * 0.5 * 0.02 + double(s.pez0hw) * 50.0 * 0.0005 / double(s.warst[1]);
  double co1 = 0.01 / a;
  EXPECT_NEAR(s.co[1], co1, 1e-6 * co1);
  EXPECT_NEAR(s.soss[1], 0.5 * 0.02 * co1, 1e-6 * 0.01 * co1);
  EXPECT_NEAR(s.somp[1], 0.0005 * co1, 1e-6 * 0.0005 * co1);
  EXPECT_EQ(s.co[2], 0.0f);
  EXPECT_EQ(s.somp[2], 0.0f);
  EXPECT_EQ(s.soss[2], 0.0f);
  EXPECT_EQ(s.co[3], s.castwl[3]);
  EXPECT_EQ(s.somp[3], 0.0f);
  EXPECT_EQ(s.soss[3], 0.0f);
}

TEST_F(WlInit, FreundlichSolutionLeavesResidualBelowOnePermille) {
  for (float n : {0.5f, 0.9f, 1.3f, 2.0f}) {
    setSorption(n);
    s.coobkomss = 0.005f;
    k.wlitco();
    for (int i = 1; i <= 3; ++i) {
      double c = s.co[i];
      double total = c * (1.0 + double(s.pez0hw) * 50.0 * 0.0005 / double(s.warst[i])) +
                     15.0 * 0.5 * 0.02 * 0.005 * std::pow(c / 0.005, double(n));
      EXPECT_NEAR(total, s.castwl[i], 1e-3 * double(s.castwl[i])) << "exponent " << n << " node " << i;
      EXPECT_NEAR(s.soss[i], 0.5 * 0.02 * 0.005 * std::pow(c / 0.005, double(n)), 1e-5 * double(s.soss[i]));
    }
  }
}

TEST_F(WlInit, NonConvergingOrUndefinedIterationStopsNamingRoutineAndNode) {
  setSorption(1.0f);
  openMessages();
  s.warst[2] = 0.0f;
  EXPECT_NE(stopStatus([&] { k.wlitco(); }), 0);
  std::string msg = readFile(dir.file("message.out"));
  EXPECT_NE(msg.find(" Error in wlitco: wetted area zero at node    2"), std::string::npos) << msg;
  EXPECT_NE(msg.find(" Program stops"), std::string::npos);

  s.warst[2] = s.warst[1];
  s.coss = std::nanf("");
  EXPECT_NE(stopStatus([&] { k.wlitco(); }), 0);
  EXPECT_NE(out.str().find("does not converge"), std::string::npos) << out.str();
}

TEST_F(WlInit, WlitPlacesZonesAndEchoes) {
  setWaterLayer({2.0f, 2.0f}, {4.0f, 6.0f}, {1.0f});
  s.betawl = 0.5f;
  s.op_icwlhy = 1;
  openUnit(23, "icwlhy.out");
  for (int i = 1; i <= 5; ++i) s.warst[i] = 1.0f;
  k.wlit();
  const float expect[] = {0.0f, 1.0f, 3.0f, 2.0f, 7.0f, 0.5f};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(s.xcd[i], expect[i]) << i;
  std::string txt = closeAndRead(23, "icwlhy.out");
  EXPECT_NE(txt.find("\n Results of initial calculations from subroutine wlit:\n delx(1-nxnotot):   (m)\n 2.0 2.0 4.0 6.0 1.0\n"
                     " xcd(1-nxnotot):   (m)\n 1.0 3.0 2.0 7.0 0.5\n"),
            std::string::npos)
      << txt;
  EXPECT_NE(txt.find(" Results of calculations from subroutine wlitnu:\n num. weight factors for all nodes:\n"
                     "  nodenumber    nwwmh          nwwph        (dimensionless)\n 1 0.0 0.5\n"),
            std::string::npos)
      << txt;
  EXPECT_NE(txt.find("     ixnotot    castwl(i)      co(i)          somp(i)  and   soss(i)\n"), std::string::npos);
}

TEST_F(WlInit, WeightsForUnevenLengthsAndAcrossZoneBoundaries) {
  // Front buffer 2, water body 4 and 6, end buffer 1 (m).
  setWaterLayer({2.0f}, {4.0f, 6.0f}, {1.0f});
  for (int i = 1; i <= 4; ++i) s.warst[i] = 1.0f;
  s.xcd[1] = 1.0f;
  s.xcd[2] = 2.0f;
  s.xcd[3] = 7.0f;
  s.xcd[4] = 0.5f;
  s.betawl = 0.3f;
  k.wlitnu();
  // Spacings 3, 5, 3.5: the two zone boundaries take the half-sum of the lengths.
  EXPECT_FLOAT_EQ(s.nwwmh[1], 0.0f);
  EXPECT_FLOAT_EQ(s.nwwph[1], 0.3f * 2.0f / 3.0f);
  EXPECT_FLOAT_EQ(s.nwwmh[2], 0.3f * 2.0f / 3.0f);
  EXPECT_FLOAT_EQ(s.nwwph[2], 0.3f * 4.0f / 5.0f);
  EXPECT_FLOAT_EQ(s.nwwmh[3], 0.3f * 4.0f / 5.0f);
  EXPECT_FLOAT_EQ(s.nwwph[3], 0.3f * 6.0f / 3.5f);
  EXPECT_FLOAT_EQ(s.nwwmh[4], 0.3f * 6.0f / 3.5f);
  EXPECT_FLOAT_EQ(s.nwwph[4], 0.0f);

  s.betawl = 0.8f;
  k.wlitnu();
  EXPECT_FLOAT_EQ(s.nwwph[2], (0.5f * 4.0f + 0.3f * 6.0f) / 5.0f);
  EXPECT_FLOAT_EQ(s.nwwmh[2], (0.5f * 2.0f + 0.3f * 4.0f) / 3.0f);

  // Equal lengths: 0.5 gives 0.5 and 1 gives 1 at every inner face.
  setWaterLayer({}, {3.0f, 3.0f, 3.0f, 3.0f}, {});
  for (int i = 1; i <= 4; ++i) s.xcd[i] = s.xcddit[i];
  for (float b : {0.5f, 1.0f}) {
    s.betawl = b;
    k.wlitnu();
    for (int i = 2; i <= 4; ++i) EXPECT_EQ(s.nwwmh[i], b);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(s.nwwph[i], b);
  }
}

TEST_F(WlInit, WeightsForOneTwoAndThreeNodes) {
  s.betawl = 0.5f;
  setWaterLayer({}, {4.0f}, {});
  s.xcd[1] = 2.0f;
  k.wlitnu();
  EXPECT_EQ(s.nwwmh[1], 1.0f);
  EXPECT_EQ(s.nwwph[1], 1.0f);

  setWaterLayer({}, {2.0f, 6.0f}, {});
  s.xcd[1] = 1.0f;
  s.xcd[2] = 5.0f;
  k.wlitnu();
  EXPECT_EQ(s.nwwmh[1], 0.0f);
  EXPECT_FLOAT_EQ(s.nwwph[1], 0.5f * 2.0f / 4.0f);
  EXPECT_FLOAT_EQ(s.nwwmh[2], 0.5f * 2.0f / 4.0f);
  EXPECT_EQ(s.nwwph[2], 0.0f);

  setWaterLayer({}, {2.0f, 6.0f, 2.0f}, {});
  for (int i = 1; i <= 3; ++i) s.xcd[i] = s.xcddit[i];
  k.wlitnu();
  EXPECT_FLOAT_EQ(s.nwwph[1], 0.25f);
  EXPECT_FLOAT_EQ(s.nwwmh[2], 0.25f);
  EXPECT_FLOAT_EQ(s.nwwph[2], 0.75f);
  EXPECT_FLOAT_EQ(s.nwwmh[3], 0.75f);
  EXPECT_EQ(s.nwwph[3], 0.0f);

  s.betawl = 0.0f;
  k.wlitnu();
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(s.nwwmh[i], 0.0f);
    EXPECT_EQ(s.nwwph[i], 0.0f);
  }
}

TEST_F(WlInit, ZeroNodeLengthRefusesToStart) {
  setWaterLayer({0.0f}, {4.0f, 4.0f}, {});
  openMessages();
  EXPECT_NE(stopStatus([&] { k.wlit(); }), 0);
  std::string msg = readFile(dir.file("message.out"));
  EXPECT_NE(msg.find(" length of water-layer node    1 is zero: the time loop cannot start"), std::string::npos)
      << msg;
}

}  // namespace
}  // namespace kirmel::test
