// Tridiagonal solver (Thomas algorithm) shared by the water-layer and the
// sediment solvers; each caller hands in its own elimination work array and
// the output its messages, console lines, pause and stop go to (`out` has
// message, say, wait and stop, as Column has).
#pragma once

#include <cmath>
#include <string>

namespace kirmel {

// Solves a(k) u(k-1) + b(k) u(k) + c(k) u(k+1) = r(k), k = 1 .. n, with
// 1-based arrays; a(1) and c(n) are not used.  gam(2 .. n) receives the
// elimination factors.  A pivot below 1.0E-6 in size makes the console pause
// (the text, a prompt, then one console line); a pivot of exactly zero cannot
// be divided by, so after the pause the run stops instead of filling the
// solution with infinities.
template <class Out>
void tridag(Out& out, const float a[], const float b[], const float c[], const float r[], float u[], int n,
            float gam[]) {
  auto pause = [&out](const char* text) {
    out.say(text);
    out.say(" Press <Enter> to continue");
    out.wait();
  };
  auto zeroPivot = [&out](int k) {
    const std::string line = " tridag: zero pivot in equation " + std::to_string(k);
    out.message("");
    out.message(line);
    out.message(" Program stops");
    out.say(" Error: ");
    out.say(line);
    out.say(" Program stops ");
    out.stop(1, "tridag: zero pivot");
  };

  float bet = b[1];
  if (std::fabs(bet) < 1.0e-6f) {
    pause(" tridag: rewrite equations");
    if (bet == 0.0f) zeroPivot(1);
  }
  u[1] = r[1] / bet;
  for (int k = 2; k <= n; ++k) {
    gam[k] = c[k - 1] / bet;
    bet = b[k] - a[k] * gam[k];
    if (std::fabs(bet) < 1.0e-6f) {
      pause(" tridag failed");
      if (bet == 0.0f) zeroPivot(k);
    }
    u[k] = (r[k] - a[k] * u[k - 1]) / bet;
  }
  for (int k = n - 1; k >= 1; --k) {
    u[k] = u[k] - gam[k + 1] * u[k + 1];
  }
}

}  // namespace kirmel
