// The sediment solver against closed forms: decay, diffusion into a clean
// sediment, flushing by seepage.
#include <cmath>

#include "wbso_fixture.h"

namespace kirmel::test {
namespace {

// Decay alone: every sediment node shrinks by (1 - theta k dt) / (1 + omega k dt)
// per step; lower-buffer nodes do not transform.
TEST_F(WbsoTest, DecayGrowthFactorPerStep) {
  for (float theta : {0.5f, 1.0f, 0.0f}) {
    ColumnSetup c;
    c.nsed = 4;
    c.nbuf = 2;
    c.dif = 0.0f;
    c.kb = 1.0e-6f;
    c.theta = theta;
    column(c, 1.0f, 2.0f);
    water(0.0f);
    const int steps = 100;
    run(steps);
    const double kdt = 1.0e-6 * 3600.0;
    const double th = theta;
    const double g = (1.0 - th * kdt) / (1.0 + (1.0 - th) * kdt);
    for (int k = 1; k <= 4; ++k)
      EXPECT_NEAR(s.cowbst[1][k], std::pow(g, steps), 2e-5) << "theta " << theta << " node " << k;
    for (int k = 5; k <= 6; ++k) EXPECT_FLOAT_EQ(s.cowbst[1][k], 2.0f) << "buffer node " << k;
  }
  EXPECT_EQ(countOf(messages(), "Message from"), 0);
}

// With non-linear sorption the total content, not the pore water, decays by
// the factor: the iteration converges on the new level's capacity.
TEST_F(WbsoTest, DecayOfTotalContentWithFreundlichSorption) {
  ColumnSetup c;
  c.nsed = 3;
  c.dif = 0.0f;
  c.kb = 2.0e-6f;
  c.nfr = 0.7f;
  c.kf = 5.0e-6f;
  c.cref = 1.0f;
  column(c, 3.0f);
  water(0.0f);
  const double kdt = 2.0e-6 * 3600.0;
  const double g = (1.0 - 0.5 * kdt) / (1.0 + 0.5 * kdt);
  for (int step = 0; step < 20; ++step) {
    const float before = content(1, s.cowbst[1][1]);
    run(1);
    EXPECT_NEAR(content(1, s.cowbst[1][1]) / before, g, 2e-5);
    EXPECT_GE(s.col.nitwb, 2);
  }
}

// Diffusion from a constant water layer into clean sediment:
// c(z, t) = cw erfc(z / (2 sqrt(De t))), De = por D / R, and the uptake per m2
// is 2 cw sqrt(por D R t / pi).
TEST_F(WbsoTest, DiffusionIntoCleanSediment) {
  for (float theta : {0.5f, 0.0f, 1.0f}) {
    ColumnSetup c;
    c.nsed = 50;
    c.dz = 0.004f;
    c.por = 0.5f;
    c.bd = 1.0e6f;
    c.kf = 1.0e-6f;  // R = 0.5 + 1
    c.dif = 1.0e-9f;
    c.theta = theta;
    column(c, 0.0f);
    const float cw = 0.1f;
    water(cw);
    const int steps = 720;  // 30 days
    run(steps);
    const double t = steps * 3600.0;
    const double R = 1.5;
    const double De = 0.5 * 1.0e-9 / R;
    double uptake = 0.0;
    for (int k = 1; k <= 50; ++k) {
      const double z = static_cast<double>(s.zcd[k]);
      const double exact = static_cast<double>(cw) * std::erfc(z / (2.0 * std::sqrt(De * t)));
      EXPECT_NEAR(s.cowbst[1][k], exact, 0.001) << "theta " << theta << " node " << k;
      uptake += static_cast<double>(content(k, s.cowbst[1][k]) * s.delz[k]);
    }
    const double expected = 2.0 * static_cast<double>(cw) * std::sqrt(0.5 * 1.0e-9 * R * t / M_PI);
    EXPECT_NEAR(uptake / expected, 1.0, 0.02) << "theta " << theta;
    EXPECT_EQ(s.cowbtop[1], s.cowbst[1][1]);
  }
  EXPECT_EQ(countOf(messages(), "Message from"), 0);
}

// Seepage with a constant water layer flushes the whole column, lower buffer
// included, to the water concentration, for every space weighting.
TEST_F(WbsoTest, SeepageTendsToWaterConcentration) {
  for (float weight : {0.0f, 0.5f}) {
    ColumnSetup c;
    c.nsed = 10;
    c.nbuf = 3;
    c.por = 0.4f;
    c.kf = 2.0e-7f;
    c.nfr = 0.9f;
    c.qseif = 0.01f / 86400.0f;
    c.ldis = 0.01f;
    c.weight = weight;
    column(c, 0.0f, 0.0f);
    const float cw = 0.5f;
    water(cw);
    run(24 * 200);
    for (int k = 1; k <= s.nznotot; ++k)
      EXPECT_NEAR(s.cowbst[1][k], cw, 1e-3f * cw) << "weight " << weight << " node " << k;
  }
}

// The same flushing from a polluted column: the excess leaves through the
// bottom, and a single layer without buffer has a bottom outflow too.
TEST_F(WbsoTest, SeepageFlushesPollutedColumn) {
  for (int nsed : {1, 2, 6}) {
    ColumnSetup c;
    c.nsed = nsed;
    c.dz = 0.06f / nsed;
    c.por = 0.5f;
    c.kf = 0.0f;
    c.qseif = 0.01f / 86400.0f;
    c.ldis = 0.05f;
    c.weight = 0.0f;
    column(c, 5.0f);
    water(1.0f);
    run(24 * 100);
    for (int k = 1; k <= s.nznotot; ++k)
      EXPECT_NEAR(s.cowbst[1][k], 1.0f, 1e-3f) << nsed << " layers, node " << k;
  }
}

}  // namespace
}  // namespace kirmel::test
