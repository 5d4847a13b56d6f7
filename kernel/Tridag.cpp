// Tridiagonal solver (Thomas algorithm) shared by the water-layer and the
// sediment solvers; each caller hands in its own elimination work array.

#include <cmath>
#include <string>

#include "kernel/Kernel.h"

namespace kirmel {

namespace {

// Console pause of the solver: the text, a prompt, then one console line (an
// empty line or the end of input continues).
void tridagPause(Env& env, const char* text) {
  env.say(text);
  env.say(" Press <Enter> to continue");
  env.waitLine();
}

}  // namespace

// Solves a(k) u(k-1) + b(k) u(k) + c(k) u(k+1) = r(k), k = 1 .. n, with
// 1-based arrays; a(1) and c(n) are not used.  gam(2 .. n) receives the
// elimination factors.
void Kernel::tridag(const float a[], const float b[], const float c[], const float r[], float u[],
                    int n, float gam[]) {
  // A pivot of exactly zero cannot be divided by: after the pause the run
  // stops instead of filling the solution with infinities.
  auto zeroPivot = [this](int k) {
    const std::string line = " tridag: zero pivot in equation " + std::to_string(k);
    message("");
    message(line);
    message(" Program stops");
    env_.say(" Error: ");
    env_.say(line);
    env_.say(" Program stops ");
    env_.stop(1, "tridag: zero pivot");
  };

  float bet = b[1];
  if (std::fabs(bet) < 1.0e-6f) {
    tridagPause(env_, " tridag: rewrite equations");
    if (bet == 0.0f) zeroPivot(1);
  }
  u[1] = r[1] / bet;
  for (int k = 2; k <= n; ++k) {
    gam[k] = c[k - 1] / bet;
    bet = b[k] - a[k] * gam[k];
    if (std::fabs(bet) < 1.0e-6f) {
      tridagPause(env_, " tridag failed");
      if (bet == 0.0f) zeroPivot(k);
    }
    u[k] = (r[k] - a[k] * u[k - 1]) / bet;
  }
  for (int k = n - 1; k >= 1; --k) {
    u[k] = u[k] - gam[k + 1] * u[k + 1];
  }
}

}  // namespace kirmel
