// The least work of one Picard pass of the sediment solver, as a floor for
// the kernel's time: per node one powf for the iterate's storage capacity,
// the new-level diagonal from it, and a tridiagonal (Thomas) solve, with
// everything else computed beforehand.  It runs a given number of
// node-passes on one column of a given number of nodes, in float with the
// kernel's flags, and prints the time per node-pass.
//
//   kirmel_floor NODEPASSES NODES
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMax = 60;

struct Column {
  float por[kMax + 1], bk[kMax + 1], bldp[kMax + 1];
  float a[kMax + 1], b[kMax + 1], c[kMax + 1], r[kMax + 1];
  float it[kMax + 1], u[kMax + 1], gam[kMax + 1];
};

// One pass: the diagonal from the iterate's capacity, the solve, the new iterate.
void pass(Column& col, int n, float ref, float e1, float decay, float dt) {
  for (int k = 1; k <= n; ++k) {
    const float cap = col.por[k] + col.bk[k] * powf(col.it[k] / ref, e1);
    col.b[k] = col.bldp[k] + cap + decay * cap * dt;
  }
  float bet = col.b[1];
  col.u[1] = col.r[1] / bet;
  for (int k = 2; k <= n; ++k) {
    col.gam[k] = col.c[k - 1] / bet;
    bet = col.b[k] - col.a[k] * col.gam[k];
    col.u[k] = (col.r[k] - col.a[k] * col.u[k - 1]) / bet;
  }
  for (int k = n - 1; k >= 1; --k) col.u[k] = col.u[k] - col.gam[k + 1] * col.u[k + 1];
  for (int k = 1; k <= n; ++k) col.it[k] = col.u[k];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kirmel_floor NODEPASSES NODES\n");
    return 2;
  }
  const long long nodePasses = std::atoll(argv[1]);
  const int n = std::atoi(argv[2]);
  if (nodePasses < 1 || n < 2 || n > kMax) {
    std::fprintf(stderr, "kirmel_floor: NODEPASSES >= 1 and NODES 2 .. %d\n", kMax);
    return 2;
  }
  // A column like the example's: sorbing layers, Freundlich exponent 0.9.
  Column col{};
  for (int k = 1; k <= n; ++k) {
    col.por[k] = 0.8f;
    col.bk[k] = 80.0f * 0.004f;
    col.bldp[k] = 0.02f;
    col.a[k] = -0.01f;
    col.c[k] = -0.01f;
    col.r[k] = 1.0e-3f * static_cast<float>(k);
    col.it[k] = 1.0e-3f;
  }
  const float ref = 1.0e-3f;
  const float e1 = 0.9f - 1.0f;
  const float decay = 1.0e-7f;
  const float dt = 600.0f;

  const long long passes = nodePasses / n;
  const auto start = std::chrono::steady_clock::now();
  for (long long p = 0; p < passes; ++p) pass(col, n, ref, e1, decay, dt);
  const auto end = std::chrono::steady_clock::now();
  const double s = std::chrono::duration<double>(end - start).count();
  double check = 0.0;
  for (int k = 1; k <= n; ++k) check += static_cast<double>(col.it[k]);
  std::printf("floor: %lld node-passes (%lld passes of %d nodes) in %.3f s: %.2f ns per node-pass (check %.6g)\n",
              passes * n, passes, n, s, s * 1.0e9 / static_cast<double>(passes * n), check);
  return 0;
}
