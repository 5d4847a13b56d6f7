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
#include <cstring>
#include <string>

#include "kernel/Column.h"
#include "kernel/Echo.h"
#include "kernel/Kernel.h"
#include "kernel/Tridag.h"
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
void coefficientLines(const WbColumn& c, int k, Put&& put) {
  std::string line;
  fmt::freeReal(line, c.bldd[k]);
  fmt::freeReal(line, c.brdd[k]);
  put(line);
  line.clear();
  fmt::freeReal(line, c.blod[k]);
  fmt::freeReal(line, c.brod[k]);
  put(line);
  line.clear();
  fmt::freeReal(line, c.brv[k]);
  put(line);
}

}  // namespace

// Stops the run cleanly where a model divisor is exactly zero at node k.
// `source` names the input that leads to the zero.
void Column::stopZeroDivisor(std::string_view routine, std::string_view what, const std::string& source) {
  message("");
  message("");
  message(std::string(" Message from subroutine ") + std::string(routine) + ":");
  message("");
  message(std::string(" Division by zero: ") + std::string(what) + " is 0");
  std::string line = " at timestep:";
  fmt::I(line, s.j, 6);
  fmt::A(line, " and node: ");
  fmt::I(line, k, 3);
  message(line);
  line = ", in sediment sub-system under node wl:";
  fmt::I(line, i, 6);
  message(line);
  message(" Check " + source);
  message(" Program stops");
  sayAndStop({" Error:", std::string(" Division by zero in ") + std::string(routine) + ";", " see message.out",
              " Program stops"},
             "division by zero in " + std::string(routine));
}

// Dispersion of every node k from the old profile: face concentrations,
// physical, numerical and calculation dispersion.  Each face is computed
// once: the upper face of node k is the lower face of node k-1 (computed just
// before, as the nodes run top down), so both sides of a face use the same
// values.
void Column::wbsods() {
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;
  for (k = 1; k <= n; ++k) wbsodsNode(n, q);
}

void Column::wbsodsNode(int n, float q) {
  if (k == 1) {
    float cf = c.cowbj[1];
    if (cf <= 0.0f) cf = kFloor;
    c.cowbjkmh[1] = cf;
    if (q == 0.0f) {
      c.kdswbjmh[1] = 0.0f;
    } else {
      const float div = s.pemh[1] * s.pormh[1];
      if (div == 0.0f) stopZeroDivisor("wbsods", "perimeter x porosity at the upper face", porosityInput(s));
      c.kdswbjmh[1] = std::fabs(q / div) * s.ldis;
    }
    c.kdsbnujkmh[1] = 0.0f;
    c.kdsbcljkmh[1] = 0.0f;
  } else {
    c.cowbjkmh[k] = c.cowbjkph[k - 1];
    c.kdswbjmh[k] = c.kdswbjph[k - 1];
    c.kdsbnujkmh[k] = c.kdsbnujkph[k - 1];
    c.kdsbcljkmh[k] = c.kdswbjmh[k] - c.kdsbnujkmh[k];
  }

  if (k == n) {
    float cf = c.cowbj[n];
    if (cf <= 0.0f) cf = kFloor;
    c.cowbjkph[k] = cf;
  } else {
    float cf = s.nwbph[k] * c.cowbj[k + 1] + (1.0f - s.nwbph[k]) * c.cowbj[k];
    if (cf <= 0.0f) cf = kFloor;
    c.cowbjkph[k] = cf;
  }

  // Without seepage there is neither physical nor numerical dispersion; this
  // also keeps a zero porosity from dividing zero by zero.
  if (q == 0.0f) {
    c.kdswbjph[k] = 0.0f;
  } else {
    const float div = s.peph[k] * s.porph[k];
    if (div == 0.0f) stopZeroDivisor("wbsods", "perimeter x porosity at the lower face", porosityInput(s));
    c.kdswbjph[k] = std::fabs(q / div) * s.ldis;
  }

  if (k < n) {
    if (q == 0.0f) {
      c.kdsbnujkph[k] = 0.0f;
    } else {
      const float cf = c.cowbjkph[k];
      const float delta = nodeDistance(s, k + 1);
      const float w = s.nwbph[k];
      const float cap = (s.bdwbph[k] * s.kdfrwbph[k] * s.exfrwb *
                             powf(cf / s.coobkomwb, s.exfrwb - 1.0f) +
                         s.porph[k]) *
                        s.peph[k];
      if (cap == 0.0f) stopZeroDivisor("wbsods", "capacity x perimeter at the lower face", capacityInput(s));
      if (s.peph[k] == 0.0f) stopZeroDivisor("wbsods", "perimeter at the lower face", perimeterInput(s));
      c.kdsbnujkph[k] = ((1.0f - 2.0f * s.thetawb) * s.deltwb * q / cap +
                         delta * (1.0f - 2.0f * w)) *
                        q / (2.0f * s.peph[k]);
    }
    c.kdsbcljkph[k] = c.kdswbjph[k] - c.kdsbnujkph[k];
  } else {
    c.kdsbnujkph[k] = 0.0f;
    c.kdsbcljkph[k] = 0.0f;
  }

  if (k == 1 && s.op_icwb == 1 && s.j == 1 && i == s.nxsefb + 1 && isOpen(kIcwb)) {
    writeLine(kIcwb, "");
    writeLine(kIcwb, " Some calculation results from subroutine wbsods:");
    writeLine(kIcwb, " physical, numerical and calculation dispersion for first timestep and");
    writeLine(kIcwb, " first node sediment under first node water layer");
    writeLine(kIcwb, "  kdswbjph(k)  kdsbnujkph(k)   kdsbcljkph(k)  (m2.(day)-1)");
    std::string line;
    fmt::freeReal(line, c.kdswbjph[1] * 86400.0f);
    fmt::freeReal(line, c.kdsbnujkph[1] * 86400.0f);
    fmt::freeReal(line, c.kdsbcljkph[1] * 86400.0f);
    writeLine(kIcwb, line);
  }
}

// Limitation of every node k: where, under downward seepage, the
// concentration rises with depth so steeply that the dispersion flux would
// cancel or exceed the advection flux at a face, that face loses advection
// and calculation dispersion (diffusion stays).  Each face is tested once, as
// the lower face of the node above it; the node below takes the same switch.
void Column::wbsosf() {
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;
  for (k = 1; k <= n; ++k) wbsosfNode(n, q);
}

void Column::wbsosfNode(int n, float q) {
  c.sofdfactormh[k] = 1.0f;
  c.sofdfactorph[k] = 1.0f;

  if (k > 1 && c.sofdfactorph[k - 1] == 0.0f) {
    c.kdsbcljkmh[k] = 0.0f;
    c.sofdfactormh[k] = 0.0f;
  }
  if (k < n) {
    const float g = (c.cowbj[k + 1] - c.cowbj[k]) / nodeDistance(s, k + 1);
    if (g > 0.0f && q > 0.0f && c.cowbjkph[k] - s.ldis * g < 0.0f) {
      c.kdsbcljkph[k] = 0.0f;
      c.sofdfactorph[k] = 0.0f;
    }
  }

  if (k == 1 && s.j == 1 && i == s.nxsefb + 1) sofdReset();

  if (c.sofdfactormh[k] == 0.0f || c.sofdfactorph[k] == 0.0f) sofdWarning(c.sofdfactormh[k], c.sofdfactorph[k]);
}

// Terms of node k for the step: the old-level set RB with the old profile's
// storage capacity, and the new-level set LB but for its storage and
// transformation terms LB(7) and LB(8), which depend on the iterate and are
// added pass by pass (wbsodg).  Terms that do not apply to the node are 0.
// RB(7) is kept in rcap: the first pass's iterate is the old profile, so its
// LB(7) is the same value.
void Column::wbsote() {
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;
  const float omega = 1.0f - s.thetawb;
  const float theta = s.thetawb;
  float* const L = c.LB;
  float* const R = c.RB;

  const float u = s.deltwb * q / (s.pe[k] * s.delz[k]);
  const float uo = u * omega;
  const float ut = u * theta;
  if (k > 1) {
    const float em = (c.kdsbcljkmh[k] + s.kdfwbmh[k]) * s.pemh[k] * s.pormh[k] * s.deltwb /
                     (0.5f * (s.delz[k] + s.delz[k - 1]) * s.delz[k] * s.pe[k]);
    const float sm = c.sofdfactormh[k];
    const float w = s.nwbmh[k];
    const float uw = u * (1.0f - w);
    L[1] = uw * omega * sm;
    R[1] = uw * theta * sm;
    L[2] = L[6] = omega * em;
    R[2] = R[6] = theta * em;
    L[5] = uo * w * sm;
    R[5] = ut * w * sm;
  } else {
    L[1] = L[2] = L[5] = L[6] = 0.0f;
    R[1] = R[2] = R[5] = R[6] = 0.0f;
  }
  if (k < n) {
    const float ep = (c.kdsbcljkph[k] + s.kdfwbph[k]) * s.peph[k] * s.porph[k] * s.deltwb /
                     (0.5f * (s.delz[k + 1] + s.delz[k]) * s.delz[k] * s.pe[k]);
    const float sp = c.sofdfactorph[k];
    const float w = s.nwbph[k];
    const float uw = u * (1.0f - w);
    L[3] = uw * omega * sp;
    R[3] = uw * theta * sp;
    L[4] = L[10] = omega * ep;
    R[4] = R[10] = theta * ep;
    L[9] = uo * w * sp;
    R[9] = ut * w * sp;
  } else {
    L[3] = L[4] = L[9] = L[10] = 0.0f;
    R[3] = R[4] = R[9] = R[10] = 0.0f;
  }
  L[7] = L[8] = 0.0f;
  c.bldsto[k] = k <= s.nzsewb;
  if (c.bldsto[k]) {
    c.bk[k] = s.bdwb[k] * s.kdfrwb[k];
    R[7] = s.por[k] + c.bk[k] * powf(c.cowbj[k] / s.coobkomwb, s.exfrwb - 1.0f);
    R[8] = theta * s.ktwb * R[7] * s.deltwb;
    c.rcap[k] = R[7];
  } else {
    R[7] = R[8] = 0.0f;
  }
}

// Coefficients of node 1: diffusive exchange with the water layer over half
// the top segment, and inflow of seepage water with the water layer's
// concentration at both levels.  A column of a single node without lower
// buffer also loses its seepage water through the bottom face (its outflow
// term is added to bldd after the storage terms, blddx).
void Column::wbsotp() {
  const float q = s.qseif * s.leplot;
  const float omega = 1.0f - s.thetawb;
  const float th = s.thetawb;
  const float dt = s.deltwb;
  const float X = s.pormh[1] * s.pemh[1] * s.kdfwbmh[1] * (1.0f / (s.delz[1] * s.delz[1] * 0.5f * s.pe[1]));
  const float Y = q * (1.0f / (s.pe[1] * s.delz[1]));
  const float* L = c.LB;
  const float* R = c.RB;

  c.blod[1] = 0.0f;
  c.brod[1] = 0.0f;
  c.bldp[1] = omega * dt * X + L[4] + L[3];
  c.blbd[1] = L[9] - L[10];
  c.brddp[1] = -R[3] - R[4] - th * dt * X;
  c.brdd[1] = c.brddp[1] + R[7] - R[8];
  c.brbd[1] = -R[9] + R[10];
  c.brvnew = omega * dt * X + omega * dt * Y;
  c.brvold = th * dt * X + th * dt * Y;
  c.brv[1] = c.brvnew * s.cowljp1[i] + c.brvold * s.cowlj[i];

  c.blddxon = s.nznotot == 1;
  if (c.blddxon) {
    const float Yb = q * (1.0f / (s.delz[1] * s.pe[1]));
    c.blddx = omega * dt * Yb;
    c.brddx = th * dt * Yb;
    c.brdd[1] = c.brdd[1] - c.brddx;
  }
}

// Coefficients of an interior node.
void Column::wbsocf() {
  const float* L = c.LB;
  const float* R = c.RB;
  c.blod[k] = -L[1] - L[2];
  c.bldp[k] = L[4] + L[3] - L[5] + L[6];
  c.blbd[k] = L[9] - L[10];
  c.brod[k] = R[2] + R[1];
  c.brddp[k] = -R[3] - R[4] + R[5] - R[6];
  c.brdd[k] = c.brddp[k] + R[7] - R[8];
  c.brbd[k] = -R[9] + R[10];
  c.brv[k] = 0.0f;
}

// Coefficients of the bottom node and of the lower-buffer nodes.  The bottom
// face lets the seepage water leave with the node's own concentration and has
// no dispersion or diffusion; buffer nodes store in pore water only, so their
// diagonal is complete here.
void Column::wbsobt() {
  const int n = s.nznotot;
  const float q = s.qseif * s.leplot;
  const float omega = 1.0f - s.thetawb;
  const float th = s.thetawb;
  const float dt = s.deltwb;
  const float* L = c.LB;
  const float* R = c.RB;

  c.blod[k] = -L[1] - L[2];
  c.brod[k] = R[2] + R[1];
  c.brv[k] = 0.0f;
  if (k == n) {
    const float Yb = q * (1.0f / (s.delz[k] * s.pe[k]));
    if (s.nzseebb == 0) {
      c.bldp[k] = omega * dt * Yb - L[5] + L[6];
      c.brddp[k] = -th * dt * Yb + R[5] - R[6];
      c.brdd[k] = c.brddp[k] + R[7] - R[8];
    } else {
      c.bldd[k] = omega * dt * Yb - L[5] + L[6] + s.por[k];
      c.brdd[k] = -th * dt * Yb + R[5] - R[6] + s.por[k];
    }
    c.blbd[k] = 0.0f;
    c.brbd[k] = 0.0f;
  } else {
    c.bldd[k] = L[4] + L[3] - L[5] + L[6] + s.por[k];
    c.blbd[k] = L[9] - L[10];
    c.brdd[k] = -R[3] - R[4] + R[5] - R[6] + s.por[k];
    c.brbd[k] = -R[9] + R[10];
  }
}

// Whether the step's face values (calculation dispersion and advection
// switches of every node) equal, bit for bit, those of the terms kept in the
// column storage.
bool Column::sameFaces() const {
  const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(s.nznotot + 1);
  return std::memcmp(c.kdsbcljkmh, c.keykdmh, bytes) == 0 && std::memcmp(c.kdsbcljkph, c.keykdph, bytes) == 0 &&
         std::memcmp(c.sofdfactormh, c.keysfmh, bytes) == 0 && std::memcmp(c.sofdfactorph, c.keysfph, bytes) == 0;
}

// Marks the terms just built as those of the step's face values.
void Column::keepFaces() {
  const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(s.nznotot + 1);
  std::memcpy(c.keykdmh, c.kdsbcljkmh, bytes);
  std::memcpy(c.keykdph, c.kdsbcljkph, bytes);
  std::memcpy(c.keysfmh, c.sofdfactormh, bytes);
  std::memcpy(c.keysfph, c.sofdfactorph, bytes);
  c.stamp = kn_.stamp_;
}

// The terms of the step that the kept ones lack: the old profile's storage
// and transformation terms RB(7) and RB(8) with the old-level diagonal brdd,
// and the source brv of node 1 from the water layer's concentrations, each
// as wbsote, wbsotp, wbsocf and wbsobt compute them.
void Column::wbsocp() {
  const int n = s.nznotot;
  const float theta = s.thetawb;
  const float ref = s.coobkomwb;
  const float e1 = s.exfrwb - 1.0f;
  // The powers first, one call after the other, then what depends on them.
  for (int m = 1; m <= n; ++m)
    if (c.bldsto[m]) c.pw[m] = powf(c.cowbj[m] / ref, e1);
  for (int m = 1; m <= n; ++m) {
    if (!c.bldsto[m]) continue;
    const float r7 = s.por[m] + c.bk[m] * c.pw[m];
    const float r8 = theta * s.ktwb * r7 * s.deltwb;
    c.rcap[m] = r7;
    c.brdd[m] = c.brddp[m] + r7 - r8;
  }
  if (c.blddxon) c.brdd[1] = c.brdd[1] - c.brddx;
  c.brv[1] = c.brvnew * s.cowljp1[i] + c.brvold * s.cowlj[i];
}

// The iterate of the pass (the old profile in the first pass, else the
// previous pass's new profile, raised off zero), the new-level storage and
// transformation terms LB(7) and LB(8) of every node that has them, and
// with them the diagonal bldd.  The first pass's iterate is the old
// profile, whose capacity wbsote kept.  Returns whether a node fails the
// positivity conditions or has a zero diagonal.
bool Column::wbsodg(bool firstPass) {
  const int n = s.nznotot;
  const float* const from = firstPass ? c.cowbj : c.cowbjp1;
  float* const old = c.oldcowbjp1;
  float* const bldd = c.bldd;
  const float* const bldp = c.bldp;
  const float* const rcap = c.rcap;
  const float* const bk = c.bk;
  const float* const por = s.por;
  const bool* const sto = c.bldsto;
  const float ref = s.coobkomwb;
  const float e1 = s.exfrwb - 1.0f;
  const float omegakt = (1.0f - s.thetawb) * s.ktwb;
  const float dt = s.deltwb;
  const bool* const posfail = c.posfail;
  for (int m = 1; m <= n; ++m) {
    float it = from[m];
    if (it <= 0.0f) it = kFloor;
    old[m] = it;
  }
  // The powers first, one call after the other, then what depends on them.
  float* const pw = c.pw;
  if (!firstPass)
    for (int m = 1; m <= n; ++m)
      if (sto[m]) pw[m] = powf(old[m] / ref, e1);
  bool odd = false;
  for (int m = 1; m <= n; ++m) {
    if (sto[m]) {
      const float cap = firstPass ? rcap[m] : por[m] + bk[m] * pw[m];
      bldd[m] = bldp[m] + cap + omegakt * cap * dt;
    }
    odd |= posfail[m] || !(bldd[m] > 0.0f);
  }
  if (c.blddxon) {
    bldd[1] = bldd[1] + c.blddx;
    odd = true;
  }
  return odd;
}

// The first step's echo of node m's coefficients to icwb.out.
void Column::echoCoefficients(int m) {
  if (m == 1) {
    writeLine(kIcwb, "");
    writeLine(kIcwb, "");
    writeLine(kIcwb, " Results from subroutine wbso");
    writeLine(kIcwb, "");
    writeLine(kIcwb, " positivity conditions are: blbd =< 0    brbd >= 0");
    writeLine(kIcwb, "                            bldd > 0     brdd > 0");
    writeLine(kIcwb, "                            blod =< 0    brod >= 0");
  }
  writeLine(kIcwb, "");
  writeLine(kIcwb, " blbd    brbd    timestep   nodenumber");
  writeLine(kIcwb, " bldd    brdd");
  writeLine(kIcwb, " blod    brod");
  writeLine(kIcwb, "    brv");
  std::string line;
  fmt::freeReal(line, c.blbd[m]);
  fmt::freeReal(line, c.brbd[m]);
  fmt::freeInt(line, s.j);
  fmt::freeInt(line, m);
  writeLine(kIcwb, line);
  coefficientLines(c, m, [&](const std::string& l) { writeLine(kIcwb, l); });
}

// A positivity violation at node m: its message lines, which are written, or
// the run stops, depending on the violations counted before this one.
void Column::positivityAt(int m) {
  std::string block;
  auto put = [&block](std::string_view l) {
    block.append(l);
    block += '\n';
  };
  put("");
  put("");
  put(" Message from subroutine wbso:");
  put("");
  put(" Positivity conditions are: blbd =< 0    brbd >= 0");
  put("                            bldd > 0     brdd > 0");
  put("                            blod =< 0    brod >= 0");
  put("");
  put(" blbd   brbd   timestep  nodewl  nodewb");
  put(" bldd   brdd");
  put(" blod   brod");
  put("     brv");
  std::string line;
  fmt::freeReal(line, c.blbd[m]);
  fmt::freeReal(line, c.brbd[m]);
  fmt::freeInt(line, s.j);
  fmt::freeInt(line, i);
  fmt::freeInt(line, m);
  put(line);
  coefficientLines(c, m, put);
  put("");
  put(" So positivity conditions have not been fulfilled");
  put(" are solutions given and are these OK ?");
  k = m;
  positivity(block);
}

// One time step of the sediment subsystem under water-layer node i: from the
// old profile cowbj (level j) to the new profile cowbjp1 (level j+1).
void Column::wbso() {
  const int n = s.nznotot;

  // Divisors of the terms that do not change during the run; a column
  // storage that has kept terms of this run has seen them pass.
  for (k = 1; c.stamp != kn_.stamp_ && k <= n; ++k) {
    if (s.delz[k] == 0.0f) stopZeroDivisor("wbso", "thickness of the sediment segment", thicknessInput(s));
    if (s.pe[k] == 0.0f) stopZeroDivisor("wbso", "perimeter of the sediment segment", perimeterInput(s));
    if (k < n && nodeDistance(s, k + 1) == 0.0f)
      stopZeroDivisor("wbso", "distance to the next sediment node", thicknessInput(s));
  }
  if (s.coobkomwb == 0.0f) stopZeroDivisor("wbso", "reference concentration coobkomwb", "coobkomwb in " + s.suinp);

  wbsods();
  wbsosf();

  if (s.j == 1) positivityReset();

  const bool echo = s.op_icwb == 1 && s.j == 1 && i == s.nxsefb + 1;
  const bool explicitStep = !(std::fabs(s.thetawb - 1.0f) >= kBranch);

  // The old profile is raised off zero once: the first pass's iterate is the
  // old profile raised the same way.
  for (int m = 1; m <= n; ++m)
    if (c.cowbj[m] <= 0.0f) c.cowbj[m] = kFloor;

  // Everything but the diagonal's storage terms is the same in every pass.
  // Within a run, the terms and coefficients but those of the old profile's
  // storage (and the source of node 1) depend only on the step's face values:
  // where these equal those that the column storage last saw in this run,
  // the kept terms serve again.
  if (c.stamp == kn_.stamp_ && sameFaces()) {
    wbsocp();
  } else {
    for (k = 1; k <= n; ++k) {
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
    }
    keepFaces();
  }
  // The conditions on the coefficients other than bldd, and the right-hand
  // sides.
  for (int m = 1; m <= n; ++m) {
    c.posfail[m] = c.blbd[m] > 0.0f || c.blod[m] > 0.0f || c.brbd[m] < 0.0f || c.brdd[m] < 0.0f ||
                   c.brod[m] < 0.0f;
    float r = c.brdd[m] * c.cowbj[m];
    if (m > 1) r = c.brod[m] * c.cowbj[m - 1] + r;
    if (m < n) r = r + c.brbd[m] * c.cowbj[m + 1];
    c.rwb[m] = r + c.brv[m];
  }

  float* const old = c.oldcowbjp1;
  float* const c1 = c.cowbjp1;
  const float* const bldd = c.bldd;
  const float* const rwb = c.rwb;
  const bool* const posfail = c.posfail;
  for (int p = 1;; ++p) {
    c.nitwb = p;
    c.nodepasses += n;
    // A pass in which every node passes the positivity conditions with a
    // diagonal above zero needs neither their messages nor a zero check.
    const bool odd = wbsodg(p == 1);
    if (echo && p == 1) {
      for (int m = 1; m <= n; ++m) {
        if (isOpen(kIcwb)) echoCoefficients(m);
        if (posfail[m] || bldd[m] < 0.0f) positivityAt(m);
      }
    } else if (odd) {
      for (int m = 1; m <= n; ++m)
        if (posfail[m] || bldd[m] < 0.0f) positivityAt(m);
    }

    // icwb.out receives nothing after the first step's echo: close it once,
    // when the last subsystem of the water body has been set up.
    if (i == s.nxsefb + s.nxsedit && !s.icwbclosed) {
      if (isOpen(kIcwb)) closeUnit(kIcwb);
      s.icwbclosed = true;
    }

    // Solve, and test for convergence: the first node that fails ends the
    // test.  A node whose iterate and new value both sit at or below the
    // floor counts as converged: the iterate is raised to the floor every
    // pass, so a new value below it (a negative one above all) could
    // otherwise never pass the relative test, and the negative-concentration
    // report after the iteration would never be reached.
    auto fails = [&](int m) {
      if (c1[m] <= kFloor && old[m] <= kFloor) return false;
      return !(std::fabs(c1[m] - old[m]) < std::fabs(c1[m] * kTol));
    };
    int kfail = 0;
    if (!explicitStep) {
      tridag(*this, c.blod, c.bldd, c.blbd, c.rwb, c1, n, c.gamwb);
      for (int m = 1; m <= n; ++m) {
        if (fails(m)) {
          kfail = m;
          break;
        }
      }
    } else {
      for (int m = 1; m <= n; ++m) {
        if (odd && bldd[m] == 0.0f) {
          k = m;
          stopZeroDivisor("wbso", "bldd", capacityInput(s));
        }
        c1[m] = rwb[m] * (1.0f / bldd[m]);
        if (kfail == 0 && fails(m)) kfail = m;
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
      fmt::I(line, i, 8);
      message(line);
      message("");
      line = " Iteration values oldcowbjp1 and cowbjp1 are:";
      fmt::E(line, c.oldcowbjp1[kfail], 10, 4);
      fmt::X(line, 2);
      fmt::E(line, c.cowbjp1[kfail], 10, 4);
      message(line);
      message(" Never ending loop !");
      sayAndStop({" Error:", " see message.out", " Program stops"}, "never ending loop in wbso");
    }
  }

  for (k = 1; k <= n; ++k) {
    if (c.cowbjp1[k] < 0.0f) {
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
      fmt::I(line, i, 6);
      message(line);
      line = " Concentration is:";
      fmt::E(line, c.cowbjp1[k], 10, 4);
      message(line);
      c.cowbjp1[k] = kFloor;
    }
    if (c.cowbjp1[k] < kFloor) c.cowbjp1[k] = kFloor;
  }
  // The water layer reads it at the next step; a column on a pool thread
  // hands it over in its log (cowbtop is one float per column, and columns
  // on different threads would write the same cache lines).
  if (log_)
    log_->top = c.cowbjp1[1];
  else
    s.cowbtop[i] = c.cowbjp1[1];
}

// A positivity violation of the sediment: counted over the run's columns;
// below the limit its message lines (block, one per line end) go to the
// message file, at the limit the run stops.
void Kernel::positivity(std::string_view block) {
  ++s.icposwb;
  if (s.icposwb < kMaxPositivity) {
    while (!block.empty()) {
      const std::size_t eol = block.find('\n');
      message(block.substr(0, eol));
      block.remove_prefix(eol == std::string_view::npos ? block.size() : eol + 1);
    }
    return;
  }
  sayAndStop(env_, {" Error:", " Positivity conditions wb not fulfilled;", " see message.out", " Program stops"},
             "positivity conditions wb not fulfilled");
}

// The dispersion limitation at node k of the column under node i: counted
// over the run, written while the count is within the limit.
void Kernel::sofdWarning(int i, int k, float mh, float ph) {
  ++s.icsofd;
  if (s.icsofd > kMaxSofdWarnings) return;
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
  fmt::I(line, i, 6);
  message(line);
  line = " sediment node:";
  fmt::I(line, k, 6);
  message(line);
  line = " sofdfactormh:";
  fmt::F(line, mh, 6, 2);
  fmt::A(line, " sofdfactorph:");
  fmt::F(line, ph, 6, 2);
  message(line);
  ++s.nwarn;
}

}  // namespace kirmel
