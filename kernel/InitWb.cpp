// Initial calculations of the sediment: layer depths, space weight factors,
// perimeters and properties at the layer interfaces, and the initial
// pore-water and sorbed concentrations.  Every sediment subsystem shares them.
#include <cmath>

#include "kernel/Echo.h"
#include "kernel/InitCommon.h"
#include "kernel/Kernel.h"

namespace kirmel {

namespace {

constexpr int kIcwb = 24;

// Values of a layer property at the upper (mh) and lower (ph) interface of
// every layer 1 .. n: linear between the two midpoints, the layer's own value
// at the top of layer 1 and at the bottom of layer n.
void interfaceValues(const float* p, const float* delz, int n, float* mh, float* ph) {
  mh[1] = p[1];
  for (int k = 1; k < n; ++k) {
    float v = (delz[k] * p[k + 1] + delz[k + 1] * p[k]) / (delz[k] + delz[k + 1]);
    ph[k] = v;
    mh[k + 1] = v;
  }
  ph[n] = p[n];
}

}  // namespace

// Writes one line to icwb.out when that file is on.
static void icwb(Kernel& k, std::string_view line) {
  if (k.state().op_icwb == 1 && k.env().units().isOpen(kIcwb)) k.env().units().writeLine(kIcwb, line);
}

void Kernel::wbit() {
  for (int k = 1; k <= s.nzsewb; ++k) s.zcd[k] = s.zcdwb[k];
  for (int k = s.nzsewb + 1; k <= s.nznotot; ++k) s.zcd[k] = s.zcdebb[k - s.nzsewb];
  if (s.nzseebb == 0) s.nznotot = s.nzsewb;
  const int n = s.nznotot;

  icwb(*this, "");
  icwb(*this, " Results of initial calculations from subroutine wbit:");
  icwb(*this, " delz(1-nznotot) from wbit:   (m)");
  icwb(*this, Ld().ra(s.delz, 1, n));
  icwb(*this, " zcd(1-nznotot) from wbit:   (m)");
  icwb(*this, Ld().ra(s.zcd, 1, n));

  // A layer without thickness would divide by zero in the interface values
  // and in every step of the sediment solver.
  for (int k = 1; k <= n; ++k) {
    if (!(s.delz[k] > 0.0f)) {
      std::string l = " thickness of sediment node";
      fmt::I(l, k, 5);
      l += " is zero: the time loop cannot start";
      fatal({"", "", " Error in input " + pad100(s.wbnuinp), l, " Program stops"});
    }
  }

  wbitnu();
  wbitge();
  wbitco();
}

void Kernel::wbitnu() {
  const int n = s.nznotot;
  const int nsed = s.nzsewb;
  int bad = init::spaceWeights(s.betawb, s.delz, s.zcd, n, [nsed](int k) { return k <= nsed ? 0 : 1; }, s.nwbmh,
                               s.nwbph);
  if (bad != 0) {
    std::string l = " Error in wbitnu: distance between the midpoints of nodes";
    fmt::I(l, bad - 1, 5);
    l += " and";
    fmt::I(l, bad, 5);
    l += " is not positive";
    fatal({"", l, " Program stops"});
  }

  icwb(*this, "");
  icwb(*this, " Results of initial calculations from subroutine wbitnu:");
  icwb(*this, " num. weight factors for all nodes:");
  icwb(*this, "  nodenumber    nwbmh          nwbph      (dimensionless)");
  for (int k = 1; k <= n; ++k) icwb(*this, Ld().n(k).r(s.nwbmh[k]).r(s.nwbph[k]));
}

void Kernel::wbitge() {
  const int n = s.nznotot;
  const int nsed = s.nzsewb;
  const float theta = atanf(1.0f / s.sisl);
  const float T = tanf(theta / 2.0f);
  const float S = sqrtf(s.sisl * s.sisl + 1.0f);

  // Depths of the lower-buffer layers count from the top of the buffer; the
  // perimeter needs the depth below the sediment top, so the buffer layers
  // get the thickness of the sediment layers added.
  const float bufferTop = nsed >= 1 ? s.zcd[nsed] + s.delz[nsed] / 2.0f : 0.0f;
  auto depth = [&](int k) { return k <= nsed ? s.zcd[k] : bufferTop + s.zcd[k]; };
  auto perimeter = [&](float z) { return s.wibot + 2.0f * z * T + 2.0f * (s.wdhfl + z) * S; };

  for (int k = 1; k <= n; ++k) {
    float zb = depth(k) + s.delz[k] / 2.0f;
    s.pe[k] = perimeter(depth(k));
    s.peph[k] = perimeter(zb);
    if (k == 1) {
      s.pemh[k] = s.pez0hw;
    } else {
      float zbu = depth(k - 1) + s.delz[k - 1] / 2.0f;
      s.pemh[k] = perimeter(zbu);
    }
  }

  float raommh[MZNODE + 1]{};
  float raomph[MZNODE + 1]{};
  float tormh[MZNODE + 1]{};
  float torph[MZNODE + 1]{};
  interfaceValues(s.por, s.delz, n, s.pormh, s.porph);
  interfaceValues(s.bdwb, s.delz, n, s.bdwbmh, s.bdwbph);
  interfaceValues(s.raomwb, s.delz, n, raommh, raomph);
  interfaceValues(s.tor, s.delz, n, tormh, torph);

  for (int k = 1; k <= n; ++k) {
    s.kdfrwbmh[k] = raommh[k] * s.kdomwb[k];
    s.kdfrwbph[k] = raomph[k] * s.kdomwb[k];
  }
  // The interface between the sediment layers and the lower buffer takes the
  // mean of the two coefficients (without a buffer the second one is 0).
  if (nsed >= 1 && nsed < MZNODE) {
    float v = (s.kdfrwb[nsed] + s.kdfrwb[nsed + 1]) * 0.5f;
    s.kdfrwbph[nsed] = v;
    s.kdfrwbmh[nsed + 1] = v;
  }
  for (int k = 1; k <= n; ++k) {
    s.kdfwbmh[k] = tormh[k] * s.kdfw;
    s.kdfwbph[k] = torph[k] * s.kdfw;
  }

  icwb(*this, "");
  icwb(*this, " Results of initial calculations from subroutine wbitge:");
  icwb(*this, " length perimeter at nodes and interfaces for all nodes:");
  icwb(*this, "  nodenumber     pemh           pe             peph        (m)");
  for (int k = 1; k <= n; ++k) icwb(*this, Ld().n(k).r(s.pemh[k]).r(s.pe[k]).r(s.peph[k]));
  icwb(*this, " porosity at interfaces for all nodes:");
  icwb(*this, "  nodenumber    pormh          porph        (dimensionless)");
  for (int k = 1; k <= n; ++k) icwb(*this, Ld().n(k).r(s.pormh[k]).r(s.porph[k]));
  icwb(*this, " bulkdensity at interfaces for all nodes:");
  icwb(*this, "  nodenumber   bdwbmh         bdwbph      (g.(m)-3)");
  for (int k = 1; k <= n; ++k) icwb(*this, Ld().n(k).r(s.bdwbmh[k]).r(s.bdwbph[k]));
  icwb(*this, " Freundlich sorption coefficient at interfaces for all nodes:");
  icwb(*this, "  nodenumber    kdfrwbmh       kdfrwbph    (m3.(g)-1)");
  for (int k = 1; k <= n; ++k) icwb(*this, Ld().n(k).r(s.kdfrwbmh[k]).r(s.kdfrwbph[k]));
  icwb(*this, " diffusion coefficients at interfaces for all nodes:");
  icwb(*this, "  nodenumber    kdfwbmh        kdfwbph      (m3.(g)-1)");
  for (int k = 1; k <= n; ++k) icwb(*this, Ld().n(k).r(s.kdfwbmh[k]).r(s.kdfwbph[k]));
}

void Kernel::wbitco() {
  const int n = s.nznotot;
  for (int k = 1; k <= n; ++k) {
    if (s.castwb[k] <= 0.0f) {
      s.cowb[k] = 0.0f;
      s.sowb[k] = 0.0f;
      continue;
    }
    float c = 0.0f;
    init::Solve r = init::fixedPoint(
        s.castwb[k],
        [&](float cc) { return powf(cc / s.coobkomwb, s.exfrwb - 1.0f) * s.bdwb[k] * s.kdfrwb[k] + s.por[k]; },
        c);
    if (r != init::Solve::Ok) fatal(init::solveFailure("wbitco", "initial pore-water concentration", k, r));
    s.cowb[k] = c;
    s.sowb[k] = s.kdfrwb[k] * s.coobkomwb * powf(s.cowb[k] / s.coobkomwb, s.exfrwb);
  }

  icwb(*this, "");
  icwb(*this, " Results of initial calculations from subroutine wbitco:");
  icwb(*this, " initial concentrations for all nodes");
  icwb(*this, "       nodenr,  total,         dissolved and  sorbed at solid bottom mat.");
  icwb(*this, "     kznotot    castwb(k)      co(k)          sowb(k) ");
  icwb(*this, "                (g.(m)-3       g.(m)-3        g.(g)-1)");
  for (int k = 1; k <= n; ++k) icwb(*this, Ld().n(k).r(s.castwb[k]).r(s.cowb[k]).r(s.sowb[k]));
}

}  // namespace kirmel
