// The tridiagonal solver against a double-precision elimination, and its
// pauses on small pivots.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "kernel/Kernel.h"

namespace kirmel::test {
namespace {

class TridagTest : public ::testing::Test {
 protected:
  std::istringstream in;
  std::ostringstream out;
  Env env{in, out};
  Kernel kern{env, {}};
  std::vector<float> a, b, c, r, u, gam;

  void resize(int n) {
    for (auto* v : {&a, &b, &c, &r, &u, &gam}) v->assign(n + 1, 0.0f);
  }
  void solve(int n) { kern.tridag(a.data(), b.data(), c.data(), r.data(), u.data(), n, gam.data()); }
};

// Gaussian elimination without pivoting in double precision, on the float inputs.
std::vector<double> reference(const std::vector<float>& a, const std::vector<float>& b,
                              const std::vector<float>& c, const std::vector<float>& r, int n) {
  std::vector<double> cp(n + 1), rp(n + 1), x(n + 1);
  cp[1] = static_cast<double>(c[1]) / static_cast<double>(b[1]);
  rp[1] = static_cast<double>(r[1]) / static_cast<double>(b[1]);
  for (int k = 2; k <= n; ++k) {
    const double den = static_cast<double>(b[k]) - static_cast<double>(a[k]) * cp[k - 1];
    cp[k] = static_cast<double>(c[k]) / den;
    rp[k] = (static_cast<double>(r[k]) - static_cast<double>(a[k]) * rp[k - 1]) / den;
  }
  x[n] = rp[n];
  for (int k = n - 1; k >= 1; --k) x[k] = rp[k] - cp[k] * x[k + 1];
  return x;
}

TEST_F(TridagTest, MatchesDoublePrecisionOnRandomDiagonallyDominantSystems) {
  std::mt19937 gen(20261209);
  std::uniform_real_distribution<float> off(-1.0f, 1.0f), extra(0.1f, 2.0f), rhs(-10.0f, 10.0f);
  for (int n : {2, 3, 7, 60, 550}) {
    for (int trial = 0; trial < 20; ++trial) {
      resize(n);
      for (int k = 1; k <= n; ++k) {
        a[k] = k > 1 ? off(gen) : 0.0f;
        c[k] = k < n ? off(gen) : 0.0f;
        const float diag = std::fabs(a[k]) + std::fabs(c[k]) + extra(gen);
        b[k] = (trial % 2 == 0) ? diag : -diag;
        r[k] = rhs(gen);
      }
      solve(n);
      const std::vector<double> x = reference(a, b, c, r, n);
      double scale = 0.0;
      for (int k = 1; k <= n; ++k) scale = std::max(scale, std::fabs(x[k]));
      for (int k = 1; k <= n; ++k)
        ASSERT_NEAR(static_cast<double>(u[k]), x[k], 2.0e-6 * scale) << "n " << n << " trial " << trial << " k " << k;
    }
  }
  EXPECT_EQ(out.str(), "");
}

TEST_F(TridagTest, SingleEquationIsOneDivision) {
  resize(1);
  a[1] = 5.0f;  // not used
  b[1] = 4.0f;
  c[1] = 7.0f;  // not used
  r[1] = 3.0f;
  solve(1);
  EXPECT_EQ(u[1], 0.75f);
}

// A small first pivot pauses with " tridag: rewrite equations", reads one
// console line and goes on with that pivot.
TEST_F(TridagTest, SmallFirstPivotPausesForOneLineThenContinues) {
  in.str("\nnext\n");
  resize(2);
  b[1] = 5.0e-7f;
  c[1] = 1.0e-6f;
  a[2] = 1.0f;
  b[2] = 4.0f;
  r[1] = 2.0e-6f;
  r[2] = 1.0f;
  solve(2);
  EXPECT_EQ(out.str().rfind(" tridag: rewrite equations\n", 0), 0u) << out.str();
  std::string rest;
  std::getline(in, rest);
  EXPECT_EQ(rest, "next");
  const std::vector<double> x = reference(a, b, c, r, 2);
  EXPECT_NEAR(static_cast<double>(u[1]), x[1], 1.0e-6 * std::fabs(x[1]));
  EXPECT_NEAR(static_cast<double>(u[2]), x[2], 1.0e-6 * std::fabs(x[2]));
}

// Pivots of 1.0E-6 and more in magnitude do not pause.
TEST_F(TridagTest, PivotsAtTheThresholdDoNotPause) {
  resize(2);
  b[1] = 5.0e-6f;
  c[1] = 1.0e-6f;
  a[2] = 1.0f;
  b[2] = 0.2f + 5.0e-6f;  // less 1 * (1.0e-6 / 5.0e-6) leaves about 5.0e-6
  r[1] = 1.0f;
  r[2] = 1.0f;
  solve(2);
  EXPECT_EQ(out.str(), "");
  resize(1);
  b[1] = -1.0e-6f;
  r[1] = 1.0f;
  solve(1);
  EXPECT_EQ(out.str(), "");
}

// A small later pivot pauses with " tridag failed"; at the end of console
// input the pause returns at once.
TEST_F(TridagTest, SmallLaterPivotPausesAndReturnsAtEndOfInput) {
  resize(2);
  b[1] = 1.0f;
  c[1] = 1.0f;
  a[2] = 1.0f;
  b[2] = 1.0000005f;
  r[1] = 1.0f;
  r[2] = 2.0f;
  solve(2);
  EXPECT_EQ(out.str().rfind(" tridag failed\n", 0), 0u) << out.str();
  EXPECT_TRUE(std::isfinite(u[1]));
  EXPECT_TRUE(std::isfinite(u[2]));
}

// An exactly zero pivot cannot be divided by: after the pause the run stops.
TEST_F(TridagTest, ZeroPivotStopsAfterThePause) {
  resize(3);
  for (int k = 1; k <= 3; ++k) {
    a[k] = 1.0f;
    b[k] = 1.0f;
    c[k] = 1.0f;
    r[k] = 1.0f;
  }
  int status = 0;
  try {
    solve(3);
    FAIL() << "no stop";
  } catch (const Stop& stop) {
    status = stop.status;
  }
  EXPECT_NE(status, 0);
  EXPECT_NE(out.str().find(" tridag failed\n"), std::string::npos);
  EXPECT_NE(out.str().find(" tridag: zero pivot in equation 2"), std::string::npos);
}

}  // namespace
}  // namespace kirmel::test
