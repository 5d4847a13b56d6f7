// Sediment solver: one time step of the sediment subsystem (the column of
// sediment nodes, with its optional lower buffer) under water-layer node i.
//
// The equation of node k is a weighted two-level mass balance per unit volume:
//   blod c1(k-1) + bldd c1(k) + blbd c1(k+1) = brod c0(k-1) + brdd c0(k) + brbd c0(k+1) + brv
// with advection by the (downward) seepage flow, dispersion, diffusion,
// Freundlich storage, transformation and, at node 1, exchange with the water
// layer.  Freundlich sorption makes it non-linear: the coefficients are rebuilt
// from the previous pass's solution until the solution stops changing.
#include <cmath>
#include <string>

#include "kernel/Echo.h"
#include "kernel/Kernel.h"
#include "platform/Format.h"

namespace kirmel {

namespace {

constexpr float kFloor = 1.0E-25f;    // lowest concentration the solver works with
constexpr float kTol = 1.0E-5f;       // relative convergence tolerance
constexpr float kBranch = 1.0E-6f;    // thetawb within this of 1: explicit update
constexpr int kMaxPass = 50;          // Picard passes before the run stops
constexpr int kMaxPositivity = 50;    // positivity counter value that stops the run
constexpr int kMaxSofdWarnings = 50;  // limitation warnings written per run
constexpr int kIcwb = 24;             // unit of icwb.out

// Distance between the midpoints of nodes k-1 and k.  Midpoint depths are
// measured within their zone (sediment layers from the sediment top, buffer
// layers from the buffer top), so across the sediment/lower-buffer boundary
// the half-sum of the two thicknesses is the distance.
float nodeDistance(const KernelState& s, int k) {
  if (k == s.nzsewb + 1) return 0.5f * (s.delz[k - 1] + s.delz[k]);
  return s.zcd[k] - s.zcd[k - 1];
}

// Inputs behind the divisors, for the stop message.
std::string thicknessInput(const KernelState& s) { return "lesewb and leseebb in " + s.wbnuinp; }
std::string porosityInput(const KernelState& s) { return "por in " + s.wbpainp; }
std::string perimeterInput(const KernelState& s) { return "wibot, sisl and wdhfl in " + s.wlpainp; }
std::string capacityInput(const KernelState& s) {
  return "bdwb, por and raomwb in " + s.wbpainp + ", kdomwb1 in " + s.suinp;
}

// The free-format coefficient lines of node k after the first one: bldd and
// brdd, blod and brod, then brv; each is handed to `put`.
template <class Put>
void coefficientLines(const KernelState& s, int k, Put&& put) {
  std::string line;
  fmt::freeReal(line, s.bldd[k]);
  fmt::freeReal(line, s.brdd[k]);
  put(line);
  line.clear();
  fmt::freeReal(line, s.blod[k]);
  fmt::freeReal(line, s.brod[k]);
  put(line);
  line.clear();
  fmt::freeReal(line, s.brv[k]);
  put(line);
}

// Stops the run cleanly where a model divisor is exactly zero.
// `source` names the input that leads to the zero.
[[noreturn]] void stopZeroDivisor(Kernel& kn, std::string_view routine, std::string_view what,
                                  const std::string& source) {
  KernelState& s = kn.state();
  kn.message("");
  kn.message("");
  kn.message(std::string(" Message from subroutine ") + std::string(routine) + ":");
  kn.message("");
  kn.message(std::string(" Division by zero: ") + std::string(what) + " is 0");
  std::string line = " at timestep:";
  fmt::I(line, s.j, 6);
  fmt::A(line, " and node: ");
  fmt::I(line, s.k, 3);
  kn.message(line);
  line = ", in sediment sub-system under node wl:";
  fmt::I(line, s.i, 6);
  kn.message(line);
  kn.message(" Check " + source);
  kn.message(" Program stops");
  sayAndStop(kn.env(),
             {" Error:", std::string(" Division by zero in ") + std::string(routine) + ";",
              " see message.out", " Program stops"},
             "division by zero in " + std::string(routine));
}

}  // namespace

// Dispersion of node k from the old profile: face concentrations, physical,
// numerical and calculation dispersion.  Each face is computed once: the upper
// face of node k is the lower face of node k-1 (computed just before, as the
// nodes run top down), so both sides of a face use the same values.
void Kernel::wbsods() {
  const int k = s.k;
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;

  if (k == 1) {
    float cf = s.cowbj[1];
    if (cf <= 0.0f) cf = kFloor;
    s.cowbjkmh[1] = cf;
    if (q == 0.0f) {
      s.kdswbjmh[1] = 0.0f;
    } else {
      const float div = s.pemh[1] * s.pormh[1];
      if (div == 0.0f) stopZeroDivisor(*this, "wbsods", "perimeter x porosity at the upper face", porosityInput(s));
      s.kdswbjmh[1] = std::fabs(q / div) * s.ldis;
    }
    s.kdsbnujkmh[1] = 0.0f;
    s.kdsbcljkmh[1] = 0.0f;
  } else {
    s.cowbjkmh[k] = s.cowbjkph[k - 1];
    s.kdswbjmh[k] = s.kdswbjph[k - 1];
    s.kdsbnujkmh[k] = s.kdsbnujkph[k - 1];
    s.kdsbcljkmh[k] = s.kdswbjmh[k] - s.kdsbnujkmh[k];
  }

  if (k == n) {
    float cf = s.cowbj[n];
    if (cf <= 0.0f) cf = kFloor;
    s.cowbjkph[k] = cf;
  } else {
    float cf = s.nwbph[k] * s.cowbj[k + 1] + (1.0f - s.nwbph[k]) * s.cowbj[k];
    if (cf <= 0.0f) cf = kFloor;
    s.cowbjkph[k] = cf;
  }

  // Without seepage there is neither physical nor numerical dispersion; this
  // also keeps a zero porosity from dividing zero by zero.
  if (q == 0.0f) {
    s.kdswbjph[k] = 0.0f;
  } else {
    const float div = s.peph[k] * s.porph[k];
    if (div == 0.0f) stopZeroDivisor(*this, "wbsods", "perimeter x porosity at the lower face", porosityInput(s));
    s.kdswbjph[k] = std::fabs(q / div) * s.ldis;
  }

  if (k < n) {
    if (q == 0.0f) {
      s.kdsbnujkph[k] = 0.0f;
    } else {
      const float cf = s.cowbjkph[k];
      const float delta = nodeDistance(s, k + 1);
      const float w = s.nwbph[k];
      const float cap = (s.bdwbph[k] * s.kdfrwbph[k] * s.exfrwb *
                             powf(cf / s.coobkomwb, s.exfrwb - 1.0f) +
                         s.porph[k]) *
                        s.peph[k];
      if (cap == 0.0f) stopZeroDivisor(*this, "wbsods", "capacity x perimeter at the lower face", capacityInput(s));
      if (s.peph[k] == 0.0f) stopZeroDivisor(*this, "wbsods", "perimeter at the lower face", perimeterInput(s));
      s.kdsbnujkph[k] = ((1.0f - 2.0f * s.thetawb) * s.deltwb * q / cap +
                         delta * (1.0f - 2.0f * w)) *
                        q / (2.0f * s.peph[k]);
    }
    s.kdsbcljkph[k] = s.kdswbjph[k] - s.kdsbnujkph[k];
  } else {
    s.kdsbnujkph[k] = 0.0f;
    s.kdsbcljkph[k] = 0.0f;
  }

  if (k == 1 && s.op_icwb == 1 && s.j == 1 && s.i == s.nxsefb + 1 && env_.units().isOpen(kIcwb)) {
    UnitTable& u = env_.units();
    u.writeLine(kIcwb, "");
    u.writeLine(kIcwb, " Some calculation results from subroutine wbsods:");
    u.writeLine(kIcwb, " physical, numerical and calculation dispersion for first timestep and");
    u.writeLine(kIcwb, " first node sediment under first node water layer");
    u.writeLine(kIcwb, "  kdswbjph(k)  kdsbnujkph(k)   kdsbcljkph(k)  (m2.(day)-1)");
    std::string line;
    fmt::freeReal(line, s.kdswbjph[1] * 86400.0f);
    fmt::freeReal(line, s.kdsbnujkph[1] * 86400.0f);
    fmt::freeReal(line, s.kdsbcljkph[1] * 86400.0f);
    u.writeLine(kIcwb, line);
  }
}

// Limitation of node k: where, under downward seepage, the concentration rises
// with depth so steeply that the dispersion flux would cancel or exceed the
// advection flux at a face, that face loses advection and calculation
// dispersion (diffusion stays).  Each face is tested once, as the lower face
// of the node above it; the node below takes the same switch.
void Kernel::wbsosf() {
  const int k = s.k;
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;

  s.sofdfactormh[k] = 1.0f;
  s.sofdfactorph[k] = 1.0f;

  if (k > 1 && s.sofdfactorph[k - 1] == 0.0f) {
    s.kdsbcljkmh[k] = 0.0f;
    s.sofdfactormh[k] = 0.0f;
  }
  if (k < n) {
    const float g = (s.cowbj[k + 1] - s.cowbj[k]) / nodeDistance(s, k + 1);
    if (g > 0.0f && q > 0.0f && s.cowbjkph[k] - s.ldis * g < 0.0f) {
      s.kdsbcljkph[k] = 0.0f;
      s.sofdfactorph[k] = 0.0f;
    }
  }

  if (k == 1 && s.j == 1 && s.i == s.nxsefb + 1) s.icsofd = 0;

  if (s.sofdfactormh[k] == 0.0f || s.sofdfactorph[k] == 0.0f) {
    ++s.icsofd;
    if (s.icsofd <= kMaxSofdWarnings) {
      message("");
      message("");
      message(" Warning:");
      message(" Phenomenon of dispersion flux cancel out/exceeding");
      message(" advection flux would occur in sediment. (This has");
      message(" been avoided with aid sofdfactors.)");
      std::string line = " Number of ocurrence of this phenomenon:";
      fmt::I(line, s.icsofd, 6);
      message(line);
      line = " Timestep:";
      fmt::I(line, s.j, 6);
      fmt::A(line, " under water layer node:");
      fmt::I(line, s.i, 6);
      message(line);
      line = " sediment node:";
      fmt::I(line, k, 6);
      message(line);
      line = " sofdfactormh:";
      fmt::F(line, s.sofdfactormh[k], 6, 2);
      fmt::A(line, " sofdfactorph:");
      fmt::F(line, s.sofdfactorph[k], 6, 2);
      message(line);
      ++s.nwarn;
    }
  }
}

// Terms of node k for the step: the old-level set RB with the old profile's
// storage capacity, and the new-level set LB but for its storage and
// transformation terms LB(7) and LB(8), which depend on the iterate and are
// added pass by pass (wbsodg).  Terms that do not apply to the node are 0.
// RB(7) is kept in rcap: the first pass's iterate is the old profile, so its
// LB(7) is the same value.
void Kernel::wbsote() {
  const int k = s.k;
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;
  const float omega = 1.0f - s.thetawb;

  for (int m = 1; m <= 10; ++m) {
    s.LB[m] = 0.0f;
    s.RB[m] = 0.0f;
  }

  const float u = s.deltwb * q / (s.pe[k] * s.delz[k]);
  float em = 0.0f;
  float ep = 0.0f;
  if (k > 1) {
    em = (s.kdsbcljkmh[k] + s.kdfwbmh[k]) * s.pemh[k] * s.pormh[k] * s.deltwb /
         (0.5f * (s.delz[k] + s.delz[k - 1]) * s.delz[k] * s.pe[k]);
  }
  if (k < n) {
    ep = (s.kdsbcljkph[k] + s.kdfwbph[k]) * s.peph[k] * s.porph[k] * s.deltwb /
         (0.5f * (s.delz[k + 1] + s.delz[k]) * s.delz[k] * s.pe[k]);
  }
  const float sm = s.sofdfactormh[k];
  const float sp = s.sofdfactorph[k];

  for (int set = 0; set < 2; ++set) {
    float* B = set == 0 ? s.LB : s.RB;
    const float tau = set == 0 ? omega : s.thetawb;
    if (k > 1) {
      B[1] = u * (1.0f - s.nwbmh[k]) * tau * sm;
      B[2] = tau * em;
      B[5] = u * tau * s.nwbmh[k] * sm;
      B[6] = tau * em;
    }
    if (k < n) {
      B[3] = u * (1.0f - s.nwbph[k]) * tau * sp;
      B[4] = tau * ep;
      B[9] = u * tau * s.nwbph[k] * sp;
      B[10] = tau * ep;
    }
  }
  s.bldsto[k] = k <= s.nzsewb;
  if (s.bldsto[k]) {
    s.RB[7] = s.por[k] + s.bdwb[k] * s.kdfrwb[k] * powf(s.cowbj[k] / s.coobkomwb, s.exfrwb - 1.0f);
    s.RB[8] = s.thetawb * s.ktwb * s.RB[7] * s.deltwb;
    s.rcap[k] = s.RB[7];
  }
}

// Coefficients of node 1: diffusive exchange with the water layer over half
// the top segment, and inflow of seepage water with the water layer's
// concentration at both levels.  A column of a single node without lower
// buffer also loses its seepage water through the bottom face (its outflow
// term is added to bldd after the storage terms, blddx).
void Kernel::wbsotp() {
  const float q = s.qseif * s.leplot;
  const float omega = 1.0f - s.thetawb;
  const float th = s.thetawb;
  const float dt = s.deltwb;
  const float X = s.pormh[1] * s.pemh[1] * s.kdfwbmh[1] * (1.0f / (s.delz[1] * s.delz[1] * 0.5f * s.pe[1]));
  const float Y = q * (1.0f / (s.pe[1] * s.delz[1]));
  const float* L = s.LB;
  const float* R = s.RB;

  s.blod[1] = 0.0f;
  s.brod[1] = 0.0f;
  s.bldp[1] = omega * dt * X + L[4] + L[3];
  s.blbd[1] = L[9] - L[10];
  s.brdd[1] = -R[3] - R[4] - th * dt * X + R[7] - R[8];
  s.brbd[1] = -R[9] + R[10];
  s.brv[1] = (omega * dt * X + omega * dt * Y) * s.cowljp1[s.i] + (th * dt * X + th * dt * Y) * s.cowlj[s.i];

  s.blddxon = s.nznotot == 1;
  if (s.blddxon) {
    const float Yb = q * (1.0f / (s.delz[1] * s.pe[1]));
    s.blddx = omega * dt * Yb;
    s.brdd[1] = s.brdd[1] - th * dt * Yb;
  }
}

// Coefficients of an interior node.
void Kernel::wbsocf() {
  const int k = s.k;
  const float* L = s.LB;
  const float* R = s.RB;
  s.blod[k] = -L[1] - L[2];
  s.bldp[k] = L[4] + L[3] - L[5] + L[6];
  s.blbd[k] = L[9] - L[10];
  s.brod[k] = R[2] + R[1];
  s.brdd[k] = -R[3] - R[4] + R[5] - R[6] + R[7] - R[8];
  s.brbd[k] = -R[9] + R[10];
  s.brv[k] = 0.0f;
}

// Coefficients of the bottom node and of the lower-buffer nodes.  The bottom
// face lets the seepage water leave with the node's own concentration and has
// no dispersion or diffusion; buffer nodes store in pore water only, so their
// diagonal is complete here.
void Kernel::wbsobt() {
  const int k = s.k;
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;
  const float omega = 1.0f - s.thetawb;
  const float th = s.thetawb;
  const float dt = s.deltwb;
  const float* L = s.LB;
  const float* R = s.RB;

  s.blod[k] = -L[1] - L[2];
  s.brod[k] = R[2] + R[1];
  s.brv[k] = 0.0f;
  if (k == n) {
    const float Yb = q * (1.0f / (s.delz[k] * s.pe[k]));
    if (s.nzseebb == 0) {
      s.bldp[k] = omega * dt * Yb - L[5] + L[6];
      s.brdd[k] = -th * dt * Yb + R[5] - R[6] + R[7] - R[8];
    } else {
      s.bldd[k] = omega * dt * Yb - L[5] + L[6] + s.por[k];
      s.brdd[k] = -th * dt * Yb + R[5] - R[6] + s.por[k];
    }
    s.blbd[k] = 0.0f;
    s.brbd[k] = 0.0f;
  } else {
    s.bldd[k] = L[4] + L[3] - L[5] + L[6] + s.por[k];
    s.blbd[k] = L[9] - L[10];
    s.brdd[k] = -R[3] - R[4] + R[5] - R[6] + s.por[k];
    s.brbd[k] = -R[9] + R[10];
  }
}

// New-level storage and transformation terms of node k for the pass's
// iterate, LB(7) and LB(8), and with them the diagonal bldd.  The first
// pass's iterate is the old profile, whose capacity wbsote kept.
void Kernel::wbsodg(bool firstPass) {
  const int k = s.k;
  const float omega = 1.0f - s.thetawb;
  const float cap = firstPass ? s.rcap[k]
                              : s.por[k] + s.bdwb[k] * s.kdfrwb[k] *
                                               powf(s.oldcowbjp1[k] / s.coobkomwb, s.exfrwb - 1.0f);
  const float decay = omega * s.ktwb * cap * s.deltwb;
  s.bldd[k] = s.bldp[k] + cap + decay;
  if (k == 1 && s.blddxon) s.bldd[1] = s.bldd[1] + s.blddx;
}

// One time step of the sediment subsystem under water-layer node i: from the
// old profile cowbj (level j) to the new profile cowbjp1 (level j+1).
void Kernel::wbso() {
  const int n = s.nznotot;
  UnitTable& units = env_.units();

  // Divisors of the terms that do not change during the run.
  for (s.k = 1; s.k <= n; ++s.k) {
    const int k = s.k;
    if (s.delz[k] == 0.0f) stopZeroDivisor(*this, "wbso", "thickness of the sediment segment", thicknessInput(s));
    if (s.pe[k] == 0.0f) stopZeroDivisor(*this, "wbso", "perimeter of the sediment segment", perimeterInput(s));
    if (k < n && nodeDistance(s, k + 1) == 0.0f)
      stopZeroDivisor(*this, "wbso", "distance to the next sediment node", thicknessInput(s));
  }
  if (s.coobkomwb == 0.0f) stopZeroDivisor(*this, "wbso", "reference concentration coobkomwb", "coobkomwb in " + s.suinp);

  for (s.k = 1; s.k <= n; ++s.k) wbsods();
  for (s.k = 1; s.k <= n; ++s.k) wbsosf();

  if (s.j == 1) s.icposwb = 1;

  const bool echo = s.op_icwb == 1 && s.j == 1 && s.i == s.nxsefb + 1;
  const bool explicitStep = !(std::fabs(s.thetawb - 1.0f) >= kBranch);

  // The old profile is raised off zero once: the first pass's iterate is the
  // old profile raised the same way.
  for (int k = 1; k <= n; ++k)
    if (s.cowbj[k] <= 0.0f) s.cowbj[k] = kFloor;

  // Everything but the diagonal's storage terms is the same in every pass.
  for (s.k = 1; s.k <= n; ++s.k) {
    const int k = s.k;
    wbsote();
    if (k == 1) {
      wbsotp();
    } else if (s.nzseebb == 0) {
      if (k < s.nzsewb)
        wbsocf();
      else
        wbsobt();
    } else {
      if (k <= s.nzsewb)
        wbsocf();
      else
        wbsobt();
    }
    // The conditions on the coefficients other than bldd.
    s.posfail[k] = s.blbd[k] > 0.0f || s.blod[k] > 0.0f || s.brbd[k] < 0.0f || s.brdd[k] < 0.0f ||
                   s.brod[k] < 0.0f;
  }
  for (int k = 1; k <= n; ++k) {
    float r = s.brdd[k] * s.cowbj[k];
    if (k > 1) r = s.brod[k] * s.cowbj[k - 1] + r;
    if (k < n) r = r + s.brbd[k] * s.cowbj[k + 1];
    s.rwb[k] = r + s.brv[k];
  }

  for (int p = 1;; ++p) {
    s.nitwb = p;
    for (s.k = 1; s.k <= n; ++s.k) {
      const int k = s.k;
      s.oldcowbjp1[k] = p == 1 ? s.cowbj[k] : s.cowbjp1[k];
      if (s.oldcowbjp1[k] <= 0.0f) s.oldcowbjp1[k] = kFloor;
      if (s.bldsto[k]) wbsodg(p == 1);

      if (echo && p == 1 && units.isOpen(kIcwb)) {
        if (k == 1) {
          units.writeLine(kIcwb, "");
          units.writeLine(kIcwb, "");
          units.writeLine(kIcwb, " Results from subroutine wbso");
          units.writeLine(kIcwb, "");
          units.writeLine(kIcwb, " positivity conditions are: blbd =< 0    brbd >= 0");
          units.writeLine(kIcwb, "                            bldd > 0     brdd > 0");
          units.writeLine(kIcwb, "                            blod =< 0    brod >= 0");
        }
        units.writeLine(kIcwb, "");
        units.writeLine(kIcwb, " blbd    brbd    timestep   nodenumber");
        units.writeLine(kIcwb, " bldd    brdd");
        units.writeLine(kIcwb, " blod    brod");
        units.writeLine(kIcwb, "    brv");
        std::string line;
        fmt::freeReal(line, s.blbd[k]);
        fmt::freeReal(line, s.brbd[k]);
        fmt::freeInt(line, s.j);
        fmt::freeInt(line, k);
        units.writeLine(kIcwb, line);
        coefficientLines(s, k, [&](const std::string& l) { units.writeLine(kIcwb, l); });
      }

      if (s.posfail[k] || s.bldd[k] < 0.0f) {
        ++s.icposwb;
        if (s.icposwb < kMaxPositivity) {
          message("");
          message("");
          message(" Message from subroutine wbso:");
          message("");
          message(" Positivity conditions are: blbd =< 0    brbd >= 0");
          message("                            bldd > 0     brdd > 0");
          message("                            blod =< 0    brod >= 0");
          message("");
          message(" blbd   brbd   timestep  nodewl  nodewb");
          message(" bldd   brdd");
          message(" blod   brod");
          message("     brv");
          std::string line;
          fmt::freeReal(line, s.blbd[k]);
          fmt::freeReal(line, s.brbd[k]);
          fmt::freeInt(line, s.j);
          fmt::freeInt(line, s.i);
          fmt::freeInt(line, k);
          message(line);
          coefficientLines(s, k, [this](const std::string& l) { message(l); });
          message("");
          message(" So positivity conditions have not been fulfilled");
          message(" are solutions given and are these OK ?");
        } else {
          sayAndStop(env_, {" Error:", " Positivity conditions wb not fulfilled;", " see message.out",
                            " Program stops"},
                     "positivity conditions wb not fulfilled");
        }
      }
    }

    // icwb.out receives nothing after the first step's echo: close it once,
    // when the last subsystem of the water body has been set up.
    if (s.i == s.nxsefb + s.nxsedit && !s.icwbclosed) {
      if (units.isOpen(kIcwb)) units.close(kIcwb);
      s.icwbclosed = true;
    }

    if (!explicitStep) {
      tridag(s.blod, s.bldd, s.blbd, s.rwb, s.cowbjp1, n, s.gamwb);
    } else {
      for (s.k = 1; s.k <= n; ++s.k) {
        const int k = s.k;
        if (s.bldd[k] == 0.0f) stopZeroDivisor(*this, "wbso", "bldd", capacityInput(s));
        s.cowbjp1[k] = s.rwb[k] * (1.0f / s.bldd[k]);
      }
    }

    // Convergence: the first node that fails ends the test.  A node whose
    // iterate and new value both sit at or below the floor counts as
    // converged: the iterate is raised to the floor every pass, so a new
    // value below it (a negative one above all) could otherwise never pass
    // the relative test, and the negative-concentration report after the
    // iteration would never be reached.
    int kfail = 0;
    for (int k = 1; k <= n; ++k) {
      if (s.cowbjp1[k] <= kFloor && s.oldcowbjp1[k] <= kFloor) continue;
      if (!(std::fabs(s.cowbjp1[k] - s.oldcowbjp1[k]) < std::fabs(s.cowbjp1[k] * kTol))) {
        kfail = k;
        break;
      }
    }
    if (kfail == 0) break;
    if (p >= kMaxPass) {
      message("");
      message("");
      message(" Message from subroutine wbso:");
      message("");
      message(" More than");
      std::string line;
      fmt::I(line, p, 6);
      fmt::A(line, " iteration loops will be needed to calculate clbj+1");
      message(line);
      line = " for gridpoint:";
      fmt::I(line, kfail, 6);
      fmt::A(line, " at timestep:");
      fmt::I(line, s.j, 8);
      message(line);
      message(" in the sediment subsystem");
      line = " under node waterlayer:";
      fmt::I(line, s.i, 8);
      message(line);
      message("");
      line = " Iteration values oldcowbjp1 and cowbjp1 are:";
      fmt::E(line, s.oldcowbjp1[kfail], 10, 4);
      fmt::X(line, 2);
      fmt::E(line, s.cowbjp1[kfail], 10, 4);
      message(line);
      message(" Never ending loop !");
      sayAndStop(env_, {" Error:", " see message.out", " Program stops"}, "never ending loop in wbso");
    }
  }

  for (s.k = 1; s.k <= n; ++s.k) {
    const int k = s.k;
    if (s.cowbjp1[k] < 0.0f) {
      message("");
      message("");
      message(" Message from subroutine wbso:");
      message("");
      message("Negative concentration in sediment !");
      std::string line = " at timestep:";
      fmt::I(line, s.j, 6);
      fmt::A(line, " and node: ");
      fmt::I(line, k, 3);
      message(line);
      line = ", in sediment sub-system under node wl:";
      fmt::I(line, s.i, 6);
      message(line);
      line = " Concentration is:";
      fmt::E(line, s.cowbjp1[k], 10, 4);
      message(line);
      s.cowbjp1[k] = kFloor;
    }
    if (s.cowbjp1[k] < kFloor) s.cowbjp1[k] = kFloor;
  }
  s.cowbtop[s.i] = s.cowbjp1[1];
}

}  // namespace kirmel
