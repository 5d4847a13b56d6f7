// The water-layer solver against closed forms: decay in stagnant water,
// washout of a single node, and the moments of a pulse under advection and
// dispersion with retardation by sorption.
#include <cmath>
#include <ostream>
#include <vector>

#include "wlso_fixture.h"

namespace kirmel::test {
namespace {

// Stagnant water with transformation only: every water-body node's total
// mass (dissolved, on suspended solids with Freundlich sorption, on
// macrophytes) shrinks by the scheme's factor (1 - theta k dt) / (1 + (1 - theta) k dt)
// per step, and approaches exp(-k t) within the scheme's error.
class WlsoDecay : public WlsoTest, public ::testing::WithParamInterface<float> {};

TEST_P(WlsoDecay, TotalMassFollowsTheSchemeFactorAndExponential) {
  DitchSpec c;
  c.nfb = 2;
  c.ndit = 6;
  c.neb = 2;
  c.theta = GetParam();
  c.dt = 100.0f;
  c.kt = 1.0e-4f;
  c.coss = 10.0f;
  c.kf = 0.05f;
  c.nfr = 0.9f;
  c.dwmp = 10.0f;
  c.kmp = 0.01f;
  ditch(c, 1.0f, 0.3f);

  const int n = s.nxnotot;
  const double theta = d(c.theta);
  const double kdt = static_cast<double>(c.kt * c.dt);
  const double factor = (1.0 - theta * kdt) / (1.0 + (1.0 - theta) * kdt);
  std::vector<double> first(n + 1), prev(n + 1);
  for (int i = 1; i <= n; ++i) first[i] = prev[i] = mass(i);

  const int nsteps = 100;
  for (int m = 1; m <= nsteps; ++m) {
    step();
    for (int i = c.nfb + 1; i <= c.nfb + c.ndit; ++i) {
      EXPECT_NEAR(mass(i) / prev[i], factor, 2.0e-5) << "node " << i << " step " << m;
      prev[i] = mass(i);
    }
    for (int i : {1, 2, n - 1, n}) EXPECT_NEAR(conc(i), 0.3, 1.0e-6) << "buffer node " << i;
  }

  // Global error: first order in k dt for theta 0 and 1, second order for 0.5.
  const double kt = d(c.kt) * d(c.dt) * nsteps;
  const double exact = std::exp(-kt);
  const double tol = theta == 0.5 ? 1.0e-4 * exact : 0.6 * kt * kdt * exact;
  for (int i = c.nfb + 1; i <= c.nfb + c.ndit; ++i) EXPECT_NEAR(mass(i) / first[i], exact, tol);
  EXPECT_EQ(messages().find("Message from subroutine wlso"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Theta, WlsoDecay, ::testing::Values(0.0f, 0.5f, 1.0f));

// One water-body node with flow: the substance on water and suspended solids
// leaves with the water, the part on macrophytes stays; the concentration
// shrinks by the discrete washout factor each step, whichever way the water
// flows.
class WlsoWashout : public WlsoTest, public ::testing::WithParamInterface<float> {};

TEST_P(WlsoWashout, SingleNodeShrinksByTheDiscreteWashoutFactor) {
  DitchSpec c;
  c.ndit = 1;
  c.dx = 10.0f;
  c.dt = 600.0f;
  c.u = GetParam();
  c.theta = 0.5f;
  c.coss = 10.0f;
  c.kf = 0.05f;
  c.dwmp = 10.0f;
  c.kmp = 0.01f;
  ditch(c, 1.0f);

  const double a = s.warst[1];
  const double q = std::fabs(d(c.u)) * a;
  const double f = 1.0 + d(c.coss) * d(c.kf);
  const double macro = d(s.pez0hw) * d(c.dwmp) * d(c.kmp) / a;
  const double out = d(c.dt) * q / d(c.dx) * f;
  const double factor = ((macro + f) * a - 0.5 * out) / ((macro + f) * a + 0.5 * out);
  ASSERT_GT(macro, 0.1);

  double prev = 1.0;
  for (int m = 1; m <= 50; ++m) {
    step();
    EXPECT_NEAR(conc(1) / prev, factor, 1.0e-6) << "step " << m;
    prev = conc(1);
  }
  // Continuous washout at the rate Q F / ((M + F) A dx).
  const double rate = q * f / ((macro + f) * a * d(c.dx));
  EXPECT_NEAR(conc(1), std::exp(-rate * 50 * d(c.dt)), 1.0e-4);
}

INSTANTIATE_TEST_SUITE_P(Direction, WlsoWashout, ::testing::Values(0.001f, -0.001f));

// A Gaussian pulse on 400 nodes: mass conserved while the pulse is away
// from the ends, centroid at the retarded velocity, variance growing by
// 2 D t with the retarded dispersion coefficient.  The numerical dispersion
// of upwind weighting (betawl 0) and of the implicit step (thetawl 0, where
// it is about a fifth of the physical one) is compensated.
struct PulseCase {
  float beta;
  float theta;
  float dt;
  int nsteps;
};

void PrintTo(const PulseCase& p, std::ostream* os) {
  *os << "betawl " << p.beta << ", thetawl " << p.theta << ", deltwl " << p.dt << " s";
}

class WlsoPulse : public WlsoTest, public ::testing::WithParamInterface<PulseCase> {};

TEST_P(WlsoPulse, MomentsFollowRetardedAdvectionAndDispersion) {
  DitchSpec c;
  c.ndit = 400;
  c.dx = 1.0f;
  c.dt = GetParam().dt;
  c.u = 0.01f;
  c.kds = 0.02f;
  c.theta = GetParam().theta;
  c.beta = GetParam().beta;
  c.coss = 10.0f;
  c.kf = 0.05f;
  c.dwmp = 10.0f;
  c.kmp = 1.0f / 60.0f;
  ditch(c);
  const int n = s.nxnotot;
  for (int i = 1; i <= n; ++i) {
    const double x = (i - 0.5) - 100.0;
    s.cowlj[i] = static_cast<float>(std::exp(-x * x / 32.0));
  }

  auto moments = [&](double& m0, double& mean, double& var) {
    m0 = mean = var = 0.0;
    for (int i = 1; i <= n; ++i) {
      const double m = mass(i), x = i - 0.5;
      m0 += m;
      mean += m * x;
      var += m * x * x;
    }
    mean /= m0;
    var = var / m0 - mean * mean;
  };
  double m0, mean0, var0;
  moments(m0, mean0, var0);

  const double a = s.warst[1];
  const double f = 1.0 + d(c.coss) * d(c.kf);
  const double macro = d(s.pez0hw) * d(c.dwmp) * d(c.kmp) / a;
  const double retard = f / (macro + f);
  const int nsteps = GetParam().nsteps;
  for (int block = 0; block < 10; ++block) {
    steps(nsteps / 10);
    double m, mean, var;
    moments(m, mean, var);
    // Every node has the same coefficients, so their rounding is the same
    // everywhere and adds up to a drift of about one float ulp per step.
    EXPECT_NEAR(m / m0, 1.0, 2.0e-4) << "after step " << s.j;
  }
  double m, mean, var;
  moments(m, mean, var);
  const double t = d(c.dt) * nsteps;
  const double shift = d(c.u) * retard * t;
  const double spread = 2.0 * d(c.kds) * retard * t;
  EXPECT_NEAR((mean - mean0) / shift, 1.0, 0.01);
  EXPECT_NEAR((var - var0) / spread, 1.0, 0.03);
  EXPECT_EQ(messages().find("Message from subroutine wlso"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Weights, WlsoPulse,
                         ::testing::Values(PulseCase{0.0f, 0.5f, 10.0f, 2000}, PulseCase{0.5f, 0.5f, 10.0f, 2000},
                                           PulseCase{0.5f, 0.0f, 100.0f, 200}));

}  // namespace
}  // namespace kirmel::test
