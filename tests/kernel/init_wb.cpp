// Initial calculations of the sediment: geometry, interface values, weights
// and initial concentrations against closed forms.
#include <cmath>

#include "init_fixture.h"

namespace kirmel::test {
namespace {

struct WbInit : KernelFixture {
  // The sediment of the standard example scenario: 14 layers over 0.1 m.
  void setExample() {
    setSediment({0.001f, 0.001f, 0.001f, 0.001f, 0.002f, 0.002f, 0.002f, 0.005f, 0.005f, 0.01f, 0.01f, 0.02f,
                 0.02f, 0.02f},
                {});
    const float bd[] = {80, 80, 80, 80, 80, 80, 80, 220, 220, 670, 670, 1500, 1500, 1500};
    const float po[] = {0.82f, 0.82f, 0.82f, 0.82f, 0.82f, 0.82f, 0.82f, 0.77f, 0.77f, 0.62f, 0.62f, 0.36f, 0.36f, 0.36f};
    const float to[] = {0.82f, 0.82f, 0.82f, 0.82f, 0.82f, 0.82f, 0.82f, 0.77f, 0.77f, 0.62f, 0.62f, 0.28f, 0.28f, 0.28f};
    const float om[] = {0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 0.25f, 0.19f, 0.19f, 0.06f, 0.06f, 0.02f, 0.02f, 0.02f};
    for (int k = 1; k <= 14; ++k) {
      s.bdwb[k] = bd[k - 1] * 1000.0f;
      s.por[k] = po[k - 1];
      s.tor[k] = to[k - 1];
      s.raomwb[k] = om[k - 1];
      s.kdomwb[k] = 0.1f * 0.001f;
      s.kdfrwb[k] = s.raomwb[k] * s.kdomwb[k];
    }
    s.wibot = 0.4f;
    s.sisl = 1.0f;
    s.wdhfl = 0.1f;
    s.pez0hw = s.wibot + 2.0f * s.wdhfl * sqrtf(1.0f + s.sisl * s.sisl);
    s.kdfw = 43.0f * 1.0e-6f / 86400.0f;
    s.betawb = 0.5f;
    s.coobkomwb = 1.0f;
    s.exfrwb = 1.0f;
  }
  static double perimeter(double z) {
    const double T = std::tan(std::atan(1.0) / 2.0), S = std::sqrt(2.0);
    return 0.4 + 2.0 * z * T + 2.0 * (0.1 + z) * S;
  }
};

TEST_F(WbInit, ExamplePerimetersAndInterfaceValues) {
  setExample();
  k.wbit();
  EXPECT_EQ(s.nznotot, 14);
  EXPECT_FLOAT_EQ(s.pemh[1], s.pez0hw);
  double zb = 0.0;
  for (int k = 1; k <= 14; ++k) {
    double top = zb;
    zb += double(s.delz[k]);
    double mid = top + double(s.delz[k]) / 2.0;
    EXPECT_NEAR(s.zcd[k], mid, 1e-7) << k;
    EXPECT_NEAR(s.pe[k], perimeter(mid), 2e-6) << k;
    EXPECT_NEAR(s.peph[k], perimeter(zb), 2e-6) << k;
    if (k > 1) {
      EXPECT_NEAR(s.pemh[k], perimeter(top), 2e-6) << k;
    }
  }
  EXPECT_NEAR(s.pe[1], 0.684671, 1e-6);
  // Layer 7 (0.002 m, porosity 0.82) over layer 8 (0.005 m, 0.77).
  EXPECT_NEAR(s.porph[7], (0.002 * 0.77 + 0.005 * 0.82) / 0.007, 1e-6);
  EXPECT_EQ(s.pormh[8], s.porph[7]);
  EXPECT_EQ(s.pormh[1], s.por[1]);
  EXPECT_EQ(s.porph[14], s.por[14]);
  EXPECT_NEAR(s.bdwbph[9], (0.005 * 670000.0 + 0.01 * 220000.0) / 0.015, 0.05);
  EXPECT_NEAR(s.kdfwbph[11], (0.01 * 0.28 + 0.02 * 0.62) / 0.03 * double(s.kdfw), 1e-6 * double(s.kdfw));
  EXPECT_NEAR(s.kdfrwbmh[10], (0.005 * 0.06 + 0.01 * 0.19) / 0.015 * 1e-4, 1e-11);
  // No lower buffer: the bottom interface takes half the layer's coefficient.
  EXPECT_FLOAT_EQ(s.kdfrwbph[14], s.kdfrwb[14] / 2.0f);
  // Graded lengths: spacing 0.0015 between layers 4 and 5.
  EXPECT_FLOAT_EQ(s.nwbph[4], 0.5f * 0.001f / 0.0015f);
  EXPECT_FLOAT_EQ(s.nwbmh[5], s.nwbph[4]);
}

TEST_F(WbInit, LowerBufferUsesDepthBelowSedimentTopAndHalfSumSpacing) {
  setSediment({0.01f, 0.01f}, {0.02f, 0.02f});
  for (int k = 1; k <= 4; ++k) {
    s.por[k] = 0.5f;
    s.tor[k] = 0.5f;
    s.bdwb[k] = 1.0e6f;
    s.raomwb[k] = 0.1f;
  }
  s.kdomwb[1] = s.kdomwb[2] = 1.0e-4f;
  s.kdfrwb[1] = s.kdfrwb[2] = 1.0e-5f;
  s.wibot = 0.4f;
  s.sisl = 1.0f;
  s.wdhfl = 0.1f;
  s.pez0hw = 0.4f + 0.2f * sqrtf(2.0f);
  s.betawb = 0.5f;
  k.wbit();
  EXPECT_NEAR(s.pe[3], perimeter(0.03), 2e-6);
  EXPECT_NEAR(s.pemh[3], perimeter(0.02), 2e-6);
  EXPECT_EQ(s.pemh[3], s.peph[2]);
  EXPECT_NEAR(s.peph[4], perimeter(0.06), 2e-6);
  // Across the boundary the midpoints restart (0.015 then 0.01); the spacing is 0.015.
  EXPECT_FLOAT_EQ(s.nwbph[2], 0.5f * 0.01f / 0.015f);
  EXPECT_FLOAT_EQ(s.nwbmh[3], 0.5f * 0.01f / 0.015f);
  EXPECT_FLOAT_EQ(s.kdfrwbph[2], 0.5e-5f);
  EXPECT_FLOAT_EQ(s.kdfrwbmh[3], 0.5e-5f);
  EXPECT_EQ(s.kdfrwbph[3], 0.0f);
}

TEST_F(WbInit, InitialPoreWaterConcentration) {
  setExample();
  s.castwb[1] = 2.0f;
  s.castwb[2] = 0.0f;
  s.castwb[14] = 5.0f;
  k.wbit();
  double a1 = double(s.por[1]) + double(s.bdwb[1]) * double(s.kdfrwb[1]);
  EXPECT_NEAR(s.cowb[1], 2.0 / a1, 1e-6 * 2.0 / a1);
  EXPECT_NEAR(s.sowb[1], double(s.kdfrwb[1]) * 2.0 / a1, 1e-6 * double(s.sowb[1]));
  EXPECT_EQ(s.cowb[2], 0.0f);
  EXPECT_EQ(s.sowb[2], 0.0f);

  for (float n : {0.7f, 1.4f, 2.0f}) {
    s.exfrwb = n;
    s.coobkomwb = 0.01f;
    k.wbitco();
    for (int k : {1, 14}) {
      double c = s.cowb[k];
      double total = double(s.por[k]) * c +
                     double(s.bdwb[k]) * double(s.kdfrwb[k]) * 0.01 * std::pow(c / 0.01, double(n));
      EXPECT_NEAR(total, s.castwb[k], 1e-3 * double(s.castwb[k])) << "exponent " << n << " layer " << k;
    }
  }
}

TEST_F(WbInit, SlowlyConvergingIterationIsNotCutShort) {
  // Strong sorption with exponent 2: each round shrinks the error by a
  // factor of about 0.9995, so some ten thousand rounds are needed.
  setSediment({0.01f}, {});
  s.castwb[1] = 1000.0f;
  s.por[1] = 0.36f;
  s.bdwb[1] = 1.5e6f;
  s.kdfrwb[1] = 3.3e-4f;
  s.coobkomwb = 1.0f;
  s.exfrwb = 2.0f;
  k.wbitco();
  double c = s.cowb[1];
  EXPECT_NEAR(0.36 * c + 1.5e6 * 3.3e-4 * c * c, 1000.0, 1.0);
}

TEST_F(WbInit, IterationWithoutPorosityStopsInsteadOfHanging) {
  setExample();
  openMessages();
  s.castwb[3] = 1.0f;
  s.por[3] = 0.0f;
  s.exfrwb = 2.0f;  // c' = T / (a c) only swaps between two values
  EXPECT_NE(stopStatus([&] { k.wbitco(); }), 0);
  std::string msg = readFile(dir.file("message.out"));
  EXPECT_NE(msg.find(" Error in wbitco: initial pore-water concentration at node    3"), std::string::npos) << msg;
  EXPECT_NE(msg.find("does not converge"), std::string::npos);

  s.exfrwb = 1.0f;
  s.kdfrwb[3] = 0.0f;  // nothing holds the substance: zero denominator
  EXPECT_NE(stopStatus([&] { k.wbitco(); }), 0);
  EXPECT_NE(out.str().find("denominator of the iteration is zero"), std::string::npos) << out.str();
}

TEST_F(WbInit, ZeroLayerThicknessRefusesToStart) {
  setSediment({0.01f}, {0.0f});
  openMessages();
  EXPECT_NE(stopStatus([&] { k.wbit(); }), 0);
  EXPECT_NE(out.str().find(" thickness of sediment node    2 is zero"), std::string::npos) << out.str();
}

TEST_F(WbInit, EchoBlocksInIcwb) {
  setExample();
  s.op_icwb = 1;
  openUnit(24, "icwb.out");
  s.castwb[1] = 1.0f;
  k.wbit();
  std::string txt = closeAndRead(24, "icwb.out");
  for (const char* h :
       {"\n Results of initial calculations from subroutine wbit:\n delz(1-nznotot) from wbit:   (m)\n",
        "\n Results of initial calculations from subroutine wbitnu:\n num. weight factors for all nodes:\n"
        "  nodenumber    nwbmh          nwbph      (dimensionless)\n 1 0.0 0.5",
        "\n Results of initial calculations from subroutine wbitge:\n"
        " length perimeter at nodes and interfaces for all nodes:\n"
        "  nodenumber     pemh           pe             peph        (m)\n",
        "  nodenumber    kdfrwbmh       kdfrwbph    (m3.(g)-1)\n",
        "       nodenr,  total,         dissolved and  sorbed at solid bottom mat.\n"
        "     kznotot    castwb(k)      co(k)          sowb(k) \n"
        "                (g.(m)-3       g.(m)-3        g.(g)-1)\n 1 1.0 "}) {
    EXPECT_NE(txt.find(h), std::string::npos) << h << "\n---\n" << txt;
  }
}

}  // namespace
}  // namespace kirmel::test
