// Water-layer solver: advances the dissolved concentration of every
// water-layer node from time level j to j+1 with the weighted two-level
// scheme, iterating (Picard) on the Freundlich sorption to suspended solids.
//
// Every expression keeps the association order of the model's formulas, so
// results are reproducible to the bit.

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <string>

#include "kernel/Echo.h"
#include "kernel/Kernel.h"
#include "platform/Format.h"

namespace kirmel {

namespace {

constexpr float kFloor = 1.0e-25f;   // lowest concentration the solver works with
constexpr float kRelTol = 1.0e-5f;   // relative convergence tolerance
constexpr float kBranch = 1.0e-6f;   // thetawl within this of 1: explicit step
constexpr int kMaxPass = 50;         // Picard passes per step
constexpr int kMaxPositivity = 50;   // positivity counter value that stops the run
constexpr int kEchoUnit = 23;        // icwlhy.out

// S(m, c): suspended-solids-sorbed over dissolved substance per m3 of water.
float sorbFactor(const KernelState& s, int m, float c) {
  return s.coss * s.kdfrss[m] * powf(c / s.coobkomss, s.exfrss - 1.0f);
}

// A(h): wetted cross-section of water depth h.
float wetArea(const KernelState& s, float h) { return s.wibot * h + s.sisl * (h * h); }

// True while the first step writes its echo to icwlhy.out.
bool echoOn(const KernelState& s, Env& env) {
  return s.j == 1 && s.op_icwlhy == 1 && env.units().isOpen(kEchoUnit);
}

void icwlhy(Env& env, std::string_view line) { env.units().writeLine(kEchoUnit, line); }

// Lines of the positivity-conditions block.
constexpr const char* kPositivityBlock[] = {
    "",
    " positivity conditions are: lbd =< 0    rbd >= 0",
    "                            ldd > 0     rdd > 0",
    "                            lod =< 0    rod >= 0",
};

}  // namespace

// One time step of the water layer.
void Kernel::wlso() {
  const int n = s.nxnotot;
  const int lastWb = s.nxsefb + s.nxsedit;
  if (n < 1) return;

  // The previous step's result, loadings included, is the new old level.
  if (s.j >= 2) {
    for (int i = 1; i <= n; ++i) s.cowlj[i] = s.cowljp1[i];
  }

  for (s.i = 1; s.i <= n; ++s.i) {
    wlsotl();
    wlsoge();
  }
  // The dispersion and the old level's sorption factors: done already when
  // the driver prepared this step (with the floating-point flags they
  // raised, which are raised here).
  if (s.wlprep == s.j) {
    if (s.wlprepflags != 0) std::feraiseexcept(s.wlprepflags);
  } else {
    wlsoprep(s.cowlj);
  }

  if (s.j == 1) s.npositwl = 1;

  const bool echoing = echoOn(s, env_);
  const bool implicitStep = std::fabs(s.thetawl - 1.0f) >= kBranch;

  for (int p = 1;; ++p) {
    s.itwl = p;

    // Iterate of this pass; the old level itself is raised off zero too.
    for (int i = 1; i <= n; ++i) {
      if (p == 1) {
        s.oldcowljp1[i] = s.cowlj[i];
        if (s.oldcowljp1[i] < kFloor) s.oldcowljp1[i] = kFloor;
      } else {
        s.oldcowljp1[i] = s.cowljp1[i];
      }
      if (s.cowlj[i] <= 0.0f) s.cowlj[i] = kFloor;
      if (s.oldcowljp1[i] <= 0.0f) s.oldcowljp1[i] = kFloor;
    }

    // Sorption factors of the iterate (once per pass); an iterate equal to
    // the old level shares the old level's factor.
    for (int i = 1; i <= n; ++i) {
      s.sfit[i] = std::bit_cast<std::uint32_t>(s.oldcowljp1[i]) == std::bit_cast<std::uint32_t>(s.cowlj[i])
                      ? s.sfold[i]
                      : sorbFactor(s, i, s.oldcowljp1[i]);
    }

    for (s.i = 1; s.i <= n; ++s.i) {
      const int i = s.i;
      wlsote();
      if (i >= lastWb) {
        wlsoeb();
      } else if (i <= s.nxsefb + 1) {
        wlsofb();
      } else {
        wlsocf();
      }

      auto coefficientBlock = [&](auto&& put) {
        put("");
        put(" lbd    rbd    timestep   nodenumber");
        put(" ldd    rdd");
        put(" lod    rod");
        put("    rv");
        std::string line;
        fmt::freeReal(line, s.lbd[i]);
        fmt::freeReal(line, s.rbd[i]);
        fmt::freeInt(line, s.j);
        fmt::freeInt(line, i);
        put(line);
        line.clear();
        fmt::freeReal(line, s.ldd[i]);
        fmt::freeReal(line, s.rdd[i]);
        put(line);
        line.clear();
        fmt::freeReal(line, s.lod[i]);
        fmt::freeReal(line, s.rod[i]);
        put(line);
        line.clear();
        fmt::freeReal(line, s.rv[i]);
        put(line);
      };

      if (p == 1 && echoing) {
        auto put = [this](std::string_view line) { icwlhy(env_, line); };
        if (i == 1) {
          put("");
          put("");
          put(" Results from subroutine wlso");
          for (const char* line : kPositivityBlock) put(line);
        }
        coefficientBlock(put);
      }

      // Positivity check; a zero diagonal passes.
      if (s.lbd[i] > 0.0f || s.ldd[i] < 0.0f || s.lod[i] > 0.0f || s.rbd[i] < 0.0f ||
          s.rdd[i] < 0.0f || s.rod[i] < 0.0f) {
        s.npositwl = s.npositwl + 1;
        if (s.npositwl < kMaxPositivity) {
          auto put = [this](std::string_view line) { message(line); };
          put("");
          put("");
          put(" Message from subroutine wlso");
          for (const char* line : kPositivityBlock) put(line);
          coefficientBlock(put);
          put("");
          put(" So positivity conditions have not been met.");
          put(" Are solutions given and are these OK ?");
        } else {
          sayAndStop(env_, {" Error: ", " Positivity conditions wl not fulfilled;", " see message.out",
                            " Program stops"},
                     "wlso: positivity conditions not fulfilled");
        }
      }
    }

    // Right-hand sides from the old level; the end nodes have one neighbour.
    // They stay the same in every pass of the step.
    for (int i = 1; p == 1 && i <= n; ++i) {
      float r;
      if (n == 1) {
        r = s.rdd[i] * s.cowlj[i] + s.rv[i];
      } else if (i == 1) {
        r = s.rdd[i] * s.cowlj[i] + s.rbd[i] * s.cowlj[i + 1] + s.rv[i];
      } else if (i == n) {
        r = s.rod[i] * s.cowlj[i - 1] + s.rdd[i] * s.cowlj[i] + s.rv[i];
      } else {
        r = s.rod[i] * s.cowlj[i - 1] + s.rdd[i] * s.cowlj[i] + s.rbd[i] * s.cowlj[i + 1] + s.rv[i];
      }
      s.rhswl[i] = r;
    }

    if (implicitStep) {
      tridag(s.lod, s.ldd, s.lbd, s.rhswl, s.cowljp1, n, s.gamwl);
    } else {
      for (int i = 1; i <= n; ++i) {
        if (s.ldd[i] == 0.0f) {
          // The explicit update divides by the diagonal; a zero one would
          // turn the concentration into an infinity.
          message("");
          message("");
          message(" Message from subroutine wlso:");
          std::string line(" Diagonal coefficient ldd is zero for gridpoint:");
          fmt::I(line, i, 6);
          fmt::A(line, " at timestep:");
          fmt::I(line, s.j, 8);
          message(line);
          message(" Program stops");
          sayAndStop(env_, {" Error: ", " Zero diagonal coefficient in wlso; ", " see message.out ",
                            " Program stops "},
                     "wlso: zero diagonal coefficient");
        }
        s.cowljp1[i] = s.rhswl[i] * (1.0f / s.ldd[i]);
      }
    }

    // Convergence: the first node that fails ends the test.  A node whose
    // iterate and new value both sit at or below the floor counts as
    // converged: the iterate is raised to the floor every pass, so a new
    // value that stays below it could otherwise never pass the relative test.
    int failed = 0;
    for (int i = 1; i <= n; ++i) {
      const float c1 = s.cowljp1[i];
      const float cs = s.oldcowljp1[i];
      if (c1 <= kFloor && cs <= kFloor) continue;
      if (!(std::fabs(c1 - cs) < std::fabs(c1 * kRelTol))) {
        failed = i;
        break;
      }
    }
    if (failed == 0) break;

    if (p == kMaxPass) {
      message("");
      message("");
      message(" Message from subroutine wlso:");
      message("");
      message(" More than");
      std::string line;
      fmt::I(line, p, 6);
      fmt::A(line, " iteration loops will be needed to calculate cj+1");
      message(line);
      line.assign(" for gridpoint:");
      fmt::I(line, failed, 6);
      fmt::A(line, " at timestep:");
      fmt::I(line, s.j, 8);
      message(line);
      message(" in the water layer");
      message("");
      line.assign(" Iteration values oldcowljp1 and cowljp1 are:");
      fmt::E(line, s.oldcowljp1[failed], 10, 4);
      fmt::X(line, 2);
      fmt::E(line, s.cowljp1[failed], 10, 4);
      message(line);
      message(" Never ending loop !");
      sayAndStop(env_, {" Error: ", " Never ending loop in wlso; ", " see message.out ", " Program stops "},
                 "wlso: never ending loop");
    }
  }

  // Final clipping: a negative result is reported, then everything is kept
  // at or above the floor.
  for (int i = 1; i <= n; ++i) {
    if (s.cowljp1[i] < 0.0f) {
      message("");
      message("");
      message(" Message from subroutine wlso:");
      message("");
      message(" Negative concentration in ditch !");
      std::string line(" at timestep:");
      fmt::I(line, s.j, 6);
      fmt::A(line, " and node:");
      fmt::I(line, i, 3);
      message(line);
      line.assign(" Concentration is:");
      fmt::E(line, s.cowljp1[i], 10, 4);
      message(line);
      s.cowljp1[i] = kFloor;
    }
    if (s.cowljp1[i] < kFloor) s.cowljp1[i] = kFloor;
  }
}

// The parts of a step that depend only on the old level `old` (the
// step's cowlj, which the step raises off zero where it is not above it):
// the face concentrations and their Freundlich powers, the dispersion of
// every node (wlsods), and the sorption factors of the old level.  The
// powers one call after the other.
void Kernel::wlsoprep(const float* old) {
  const int n = s.nxnotot;
  for (int i = 1; i <= n; ++i) {
    if (i > 1) {
      float cf = s.nwwmh[i] * old[i] + (1.0f - s.nwwmh[i]) * old[i - 1];
      if (cf <= 0.0f) cf = kFloor;
      s.cfimh[i] = cf;
    }
    if (i < n) {
      float cf = s.nwwph[i] * old[i + 1] + (1.0f - s.nwwph[i]) * old[i];
      if (cf <= 0.0f) cf = kFloor;
      s.cfiph[i] = cf;
    }
  }
  for (int i = 2; i <= n; ++i) s.pwimh[i] = powf(s.cfimh[i] / s.coobkomss, s.exfrss - 1.0f);
  for (int i = 1; i < n; ++i) s.pwiph[i] = powf(s.cfiph[i] / s.coobkomss, s.exfrss - 1.0f);
  for (s.i = 1; s.i <= n; ++s.i) wlsods();
  for (int i = 1; i <= n; ++i) s.sfold[i] = sorbFactor(s, i, old[i] <= 0.0f ? kFloor : old[i]);
}

// Time-level values of node i: the top sediment under it and the seepage.
void Kernel::wlsotl() {
  const int i = s.i;
  if (s.j == 1) {
    s.cotopwl[i] = s.cowb[1];
  } else {
    s.cotopwl[i] = s.cowbtop[i];
  }
  s.qseifjp1 = s.qseif;
  s.qseifjph = s.qseif;
  s.colotjp1 = s.colot;
  s.colotjph = s.colot;
}

// Geometry of node i at both time levels and the half level.
void Kernel::wlsoge() {
  const int i = s.i;
  const int n = s.nxnotot;
  const float theta = s.thetawl;
  const float omega = 1.0f - s.thetawl;
  // The water depth is the same at every node and level.
  const float hj = s.wdh;
  const float hjp1 = s.wdh;
  const float q = s.u * wetArea(s, s.wdh);

  s.warj[i] = wetArea(s, hj);
  s.warjp1[i] = wetArea(s, hjp1);
  s.warjph[i] = omega * s.warjp1[i] + theta * s.warj[i];

  // Face depths: length-weighted means of the neighbouring node depths.
  if (i == 1) {
    s.wdhjimh[i] = hj;
    s.wdhjp1imh[i] = hjp1;
  } else {
    const float rsum = 1.0f / (s.delx[i - 1] + s.delx[i]);
    const float wi = s.delx[i - 1] * rsum;
    const float wim1 = s.delx[i] * rsum;
    s.wdhjimh[i] = wi * hj + wim1 * hj;
    s.wdhjp1imh[i] = wi * hjp1 + wim1 * hjp1;
  }
  if (i == n) {
    s.wdhjiph[i] = hj;
    s.wdhjp1iph[i] = hjp1;
  } else {
    const float rsum = 1.0f / (s.delx[i] + s.delx[i + 1]);
    const float wi = s.delx[i + 1] * rsum;
    const float wip1 = s.delx[i] * rsum;
    s.wdhjiph[i] = wi * hj + wip1 * hj;
    s.wdhjp1iph[i] = wi * hjp1 + wip1 * hjp1;
  }

  s.warjimh[i] = wetArea(s, s.wdhjimh[i]);
  s.warjiph[i] = wetArea(s, s.wdhjiph[i]);
  s.warjp1imh[i] = wetArea(s, s.wdhjp1imh[i]);
  s.warjp1iph[i] = wetArea(s, s.wdhjp1iph[i]);
  s.warjphimh[i] = omega * s.warjp1imh[i] + theta * s.warjimh[i];
  s.warjphiph[i] = omega * s.warjp1iph[i] + theta * s.warjiph[i];

  s.qjphimh[i] = omega * q + theta * q;
  s.qjphiph[i] = omega * q + theta * q;

  if (i == 1) s.ujfront = q / s.warjimh[i];
  if (i == s.nxsefb + s.nxsedit) s.ujend = q / s.warjiph[i];

  s.wiwsj[i] = 2.0f * s.sisl * hj + s.wibot;
  s.wiwsjph[i] = 2.0f * s.sisl * (omega * hjp1 + theta * hj) + s.wibot;

  if (echoOn(s, env_)) {
    if (i == 1) {
      icwlhy(env_, "");
      icwlhy(env_, " Results of calculations from subroutine wlsoge (for first timestep):");
      icwlhy(env_, " first water depth at interfaces for all nodes:");
      icwlhy(env_, "    ixnotot     wdhjimh        wdhjiph      (m)");
      icwlhy(env_, " then wetted area at interfaces at time j+1/2 for all nodes:");
      icwlhy(env_, "                warjphimh      warjphiph    (m2)");
    }
    icwlhy(env_, "");
    icwlhy(env_, "    ixnotot     wdhjimh        wdhjiph      (m)");
    icwlhy(env_, "                warjphimh      warjphiph    (m2)");
    std::string line;
    fmt::freeInt(line, i);
    fmt::freeReal(line, s.wdhjimh[i]);
    fmt::freeReal(line, s.wdhjiph[i]);
    icwlhy(env_, line);
    line.clear();
    fmt::X(line, 14);
    fmt::F(line, s.warjphimh[i], 10, 7);
    fmt::X(line, 6);
    fmt::F(line, s.warjphiph[i], 10, 7);
    icwlhy(env_, line);
  }
}

// Numerical and calculation dispersion at the faces of node i, from the old
// level (whose face concentrations and their powers wlso has computed).
void Kernel::wlsods() {
  const int i = s.i;
  const int n = s.nxnotot;
  const float q = s.u * wetArea(s, s.wdh);  // discharge at level j

  // Midpoint distances restart at every zone boundary (front buffer, water
  // body, end buffer); across a boundary the node distance is the half-sum
  // of the two lengths.
  auto boundaryBetween = [&](int m) {  // true when nodes m and m+1 lie in different zones
    return (s.nxsefb > 0 && m == s.nxsefb) || (s.nxseeb > 0 && m == s.nxsefb + s.nxsedit);
  };

  // Dnum at a face with discharge qf, area af, the Freundlich power pw of
  // the face concentration, node distance delta and space weight w.
  auto numericalDispersion = [&](float qf, float af, float pw, float delta, float w) {
    const float v = qf * (1.0f / af);
    const float slope = s.coss * s.kdfrss[i] * s.exfrss * pw;
    const float m = s.pez0hw * s.dwmp * s.kdmp[i] * (1.0f / af);
    return ((1.0f + slope) * v * (1.0f - 2.0f * s.thetawl) * s.deltwl / (m + 1.0f + slope) +
            delta * (1.0f - 2.0f * w)) *
           qf / (2.0f * af);
  };

  if (i > 1) {
    const float delta =
        boundaryBetween(i - 1) ? (s.delx[i - 1] + s.delx[i]) / 2.0f : s.xcd[i] - s.xcd[i - 1];
    s.kdswnujimh[i] = numericalDispersion(q, s.warjimh[i], s.pwimh[i], delta, s.nwwmh[i]);
    s.kdswcljimh[i] = s.kds - s.kdswnujimh[i];
  }
  if (i < n) {
    const float delta =
        boundaryBetween(i) ? (s.delx[i] + s.delx[i + 1]) / 2.0f : s.xcd[i + 1] - s.xcd[i];
    s.kdswnujiph[i] = numericalDispersion(q, s.warjiph[i], s.pwiph[i], delta, s.nwwph[i]);
    s.kdswcljiph[i] = s.kds - s.kdswnujiph[i];
  }

  // The echo belongs to step 1, not to the driver's preparing of step 2.
  if (i == 1 && !preparing_ && echoOn(s, env_)) {
    icwlhy(env_, "");
    icwlhy(env_, " Some calculation results from subroutine wlsods:");
    icwlhy(env_, " physical, numerical and calculation dispersion for");
    icwlhy(env_, " first timestep and first node");
    icwlhy(env_, " kds  kdswnujiph  kdswcljiph  (m2.(day)-1)");
    std::string line;
    fmt::freeReal(line, s.kds * 86400.0f);
    fmt::freeReal(line, s.kdswnujiph[1] * 86400.0f);
    fmt::freeReal(line, s.kdswcljiph[1] * 86400.0f);
    icwlhy(env_, line);
  }
}

// The thirteen terms of node i in the new-level (lt) and old-level (rt) set,
// and the two unweighted sources.  Only the new-level set depends on the
// iterate, and there only through the sorption factors, which every term
// takes as its last factor: the first pass of a step computes the old-level
// set, the sources and the new-level terms' factors before the sorption
// factor, and keeps them for the step's later passes.
void Kernel::wlsote() {
  const int i = s.i;
  const int n = s.nxnotot;
  float* const kept = s.ltkept[i];

  if (s.itwl == 1) {
    const float dt = s.deltwl;
    const float perim = s.pez0hw;
    // Sediment exchange factor: diffusion over half the top sediment segment.
    const float e = (1.0f / s.delz[1]) * 2.0f * s.por[1] * s.kdfwbmh[1] * perim;

    // One set: weight tau, sorption factors sf (of the iterate or the old
    // level), area a; the factors before the sorption factor go to pre.
    // Terms that a node does not have stay 0.
    auto terms = [&](float* tm, float* pre, float tau, const float* sf, float a) {
      for (int t = 0; t <= 13; ++t) tm[t] = pre[t] = 0.0f;
      const float fi = 1.0f + sf[i];
      const float am = s.qjphimh[i] / s.delx[i];
      const float ap = s.qjphiph[i] / s.delx[i];
      if (i > 1) {
        const float fim1 = 1.0f + sf[i - 1];
        const float dm = 2.0f * s.warjphimh[i] * s.kdswcljimh[i] / ((s.delx[i] + s.delx[i - 1]) * s.delx[i]);
        pre[1] = tau * dt * am * (1.0f - s.nwwmh[i]);
        pre[2] = tau * dt * dm;
        pre[3] = tau * dt * am * s.nwwmh[i];
        tm[1] = pre[1] * fim1;
        tm[2] = pre[2] * fim1;
        tm[3] = pre[3] * fi;
        tm[5] = pre[2] * fi;
      }
      if (i < n) {
        const float fip1 = 1.0f + sf[i + 1];
        const float dp = 2.0f * s.warjphiph[i] * s.kdswcljiph[i] / ((s.delx[i + 1] + s.delx[i]) * s.delx[i]);
        pre[4] = tau * dt * ap * (1.0f - s.nwwph[i]);
        pre[6] = tau * dt * dp;
        pre[12] = tau * dt * ap * s.nwwph[i];
        tm[4] = pre[4] * fi;
        tm[6] = pre[6] * fi;
        tm[12] = pre[12] * fip1;
        tm[13] = pre[6] * fip1;
      }
      const float sorb = sf[i];
      // pre[7]: the storage factor without the sorption factor; pre[8]: the
      // transformation term's factors before it.
      pre[7] = perim * s.dwmp * s.kdmp[i] / a + 1.0f;
      pre[8] = tau * dt * s.ktwl * s.warjph[i];
      tm[7] = (pre[7] + sorb) * a;
      tm[8] = pre[8] * (pre[7] + sorb);
      tm[9] = tau * dt * s.kvl * s.wiwsjph[i];
      tm[10] = tau * dt * (s.leplot / perim) * s.qseifjph * perim;
      tm[11] = tau * dt * e;
      pre[9] = tm[9];
      pre[10] = tm[10];
      pre[11] = tm[11];
    };

    const float omega = 1.0f - s.thetawl;
    float unused[14];
    terms(s.lt, kept, omega, s.sfit, s.warjp1[i]);
    terms(s.rt, unused, s.thetawl, s.sfold, s.warj[i]);
    for (int t = 0; t <= 13; ++t) s.rtkept[i][t] = s.rt[t];

    // Source from the air; without substance in the air there is none (and
    // no division by the Henry coefficient).
    if (s.coair == 0.0f) {
      s.v1 = 0.0f;
    } else {
      s.v1 = dt * (s.coair / s.kh) * s.kvl * s.wiwsjph[i];
    }
    s.v2 = dt * e * s.cotopwl[i];
    s.v1kept[i] = s.v1;
    s.v2kept[i] = s.v2;
    return;
  }

  // A later pass: the new-level set from the kept factors and the iterate's
  // sorption factors, the rest as kept.
  const float* sf = s.sfit;
  const float fi = 1.0f + sf[i];
  float* const lt = s.lt;
  for (int t = 0; t <= 13; ++t) lt[t] = 0.0f;
  if (i > 1) {
    const float fim1 = 1.0f + sf[i - 1];
    lt[1] = kept[1] * fim1;
    lt[2] = kept[2] * fim1;
    lt[3] = kept[3] * fi;
    lt[5] = kept[2] * fi;
  }
  if (i < n) {
    const float fip1 = 1.0f + sf[i + 1];
    lt[4] = kept[4] * fi;
    lt[6] = kept[6] * fi;
    lt[12] = kept[12] * fip1;
    lt[13] = kept[6] * fip1;
  }
  const float sorb = sf[i];
  lt[7] = (kept[7] + sorb) * s.warjp1[i];
  lt[8] = kept[8] * (kept[7] + sorb);
  lt[9] = kept[9];
  lt[10] = kept[10];
  lt[11] = kept[11];
  for (int t = 0; t <= 13; ++t) s.rt[t] = s.rtkept[i][t];
  s.v1 = s.v1kept[i];
  s.v2 = s.v2kept[i];
}

// Coefficients of an interior node.
void Kernel::wlsocf() {
  const int i = s.i;
  const float* lt = s.lt;
  const float* rt = s.rt;
  s.lod[i] = -lt[1] - lt[2];
  s.ldd[i] = -lt[3] + lt[4] + lt[5] + lt[6] + lt[7] + lt[8] + lt[9] + lt[10] + lt[11];
  s.lbd[i] = lt[12] - lt[13];
  s.rod[i] = rt[1] + rt[2];
  s.rdd[i] = rt[3] - rt[4] - rt[5] - rt[6] + rt[7] - rt[8] - rt[9] - rt[10] - rt[11];
  s.rbd[i] = -rt[12] + rt[13];
  s.rv[i] = s.v1 + s.v2;
}

namespace {

// Coefficients of a buffer node: transport and storage with suspended-solids sorption only.
void bufferNode(KernelState& s, int i) {
  const float* lt = s.lt;
  const float* rt = s.rt;
  const float fs = 1.0f + s.sfit[i];
  const float f0 = 1.0f + s.sfold[i];
  s.lod[i] = -lt[1] - lt[2];
  s.ldd[i] = -lt[3] + lt[4] + lt[5] + lt[6] + fs * s.warjp1[i];
  s.lbd[i] = lt[12] - lt[13];
  s.rod[i] = rt[1] + rt[2];
  s.rdd[i] = rt[3] - rt[4] - rt[5] - rt[6] + f0 * s.warj[i];
  s.rbd[i] = -rt[12] + rt[13];
  s.rv[i] = 0.0f;
}

// Upwind outflow through the front face of node 1 when the flow runs towards the front.
void frontOutflow(KernelState& s) {
  if (s.ujfront < 0.0f) {
    const float a = s.qjphimh[1] / s.delx[1];
    s.ldd[1] = s.ldd[1] - (1.0f - s.thetawl) * s.deltwl * a * (1.0f + s.sfit[1]);
    s.rdd[1] = s.rdd[1] + s.thetawl * s.deltwl * a * (1.0f + s.sfold[1]);
  }
}

// Upwind outflow through the end face of the last node when the flow runs towards the end.
void endOutflow(KernelState& s) {
  const int n = s.nxnotot;
  if (s.ujend >= 0.0f) {
    const float a = s.qjphiph[n] / s.delx[n];
    s.ldd[n] = s.ldd[n] + (1.0f - s.thetawl) * s.deltwl * a * (1.0f + s.sfit[n]);
    s.rdd[n] = s.rdd[n] - s.thetawl * s.deltwl * a * (1.0f + s.sfold[n]);
  }
}

}  // namespace

// Coefficients of the front buffer and of the first node after it.
void Kernel::wlsofb() {
  const int i = s.i;
  const float* lt = s.lt;
  const float* rt = s.rt;
  if (s.nxsefb == 0 && i == 1) {
    s.ldd[i] = lt[4] + lt[6] + lt[7] + lt[8] + lt[9] + lt[10] + lt[11];
    s.lbd[i] = lt[12] - lt[13];
    s.rdd[i] = -rt[4] - rt[6] + rt[7] - rt[8] - rt[9] - rt[10] - rt[11];
    s.rbd[i] = -rt[12] + rt[13];
    s.rv[i] = s.v1 + s.v2;
    frontOutflow(s);
  } else if (i == 1) {
    s.ldd[i] = (1.0f + s.sfit[1]) * s.warjp1[1] + lt[4] + lt[6];
    s.lbd[i] = lt[12] - lt[13];
    s.rdd[i] = (1.0f + s.sfold[1]) * s.warj[1] - rt[4] - rt[6];
    s.rbd[i] = -rt[12] + rt[13];
    s.rv[i] = 0.0f;
    frontOutflow(s);
  } else if (i <= s.nxsefb) {
    bufferNode(s, i);
  } else {
    wlsocf();
  }
}

// Coefficients of the last water-body node and of the end buffer.
void Kernel::wlsoeb() {
  const int i = s.i;
  const int n = s.nxnotot;
  const float* lt = s.lt;
  const float* rt = s.rt;
  if (s.nxseeb == 0 && i == n) {
    s.lod[i] = -lt[1] - lt[2];
    s.ldd[i] = -lt[3] + lt[5] + lt[7] + lt[8] + lt[9] + lt[10] + lt[11];
    s.rod[i] = rt[1] + rt[2];
    s.rdd[i] = rt[3] - rt[5] + rt[7] - rt[8] - rt[9] - rt[10] - rt[11];
    s.rv[i] = s.v1 + s.v2;
    endOutflow(s);
  } else if (i == s.nxsefb + s.nxsedit) {
    wlsocf();
  } else if (i < n) {
    bufferNode(s, i);
  } else {
    const float fs = 1.0f + s.sfit[n];
    const float f0 = 1.0f + s.sfold[n];
    s.lod[i] = -lt[1] - lt[2];
    s.ldd[i] = -lt[3] + lt[5] + fs * s.warjp1[n];
    s.rod[i] = rt[1] + rt[2];
    s.rdd[i] = rt[3] - rt[5] + f0 * s.warj[n];
    s.rv[i] = 0.0f;
    endOutflow(s);
  }
  // Node 1 handled here (a water body of one node without a front buffer)
  // still loses substance through its front face when the flow runs
  // towards the front, as the mass balance counts it.
  if (i == 1) frontOutflow(s);
}

}  // namespace kirmel
