// A water layer set up directly in the kernel state and stepped the way the
// driver steps it: the initial concentrations into the old level at j = 0,
// then wlso for j = 1, 2, ...
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "solver_fixture.h"

namespace kirmel::test {

struct DitchSpec {
  int nfb = 0;              // front-buffer nodes
  int ndit = 10;            // water-body nodes
  int neb = 0;              // end-buffer nodes
  float dx = 1.0f;          // length of every node, m
  float wibot = 1.0f;       // bottom width, m
  float sisl = 1.0e-5f;     // side slope
  float wdh = 1.0f;         // water depth, m
  float u = 0.0f;           // flow velocity, m/s
  float kds = 0.0f;         // dispersion coefficient, m2/s
  float theta = 0.5f;       // thetawl
  float beta = 0.5f;        // betawl
  float dt = 60.0f;         // deltwl, s
  float coss = 1.0f;        // suspended solids, g/m3
  float kf = 0.0f;          // Freundlich coefficient of the water body's suspended solids, m3/g
  float cref = 1.0f;        // Freundlich reference concentration, g/m3
  float nfr = 1.0f;         // Freundlich exponent
  float dwmp = 0.0f;        // macrophyte dry mass, g/m2
  float kmp = 0.0f;         // macrophyte sorption coefficient of the water body, m3/g
  float kt = 0.0f;          // transformation rate, 1/s
  float kv = 0.0f;          // volatilisation coefficient, m/s
  float kh = 1.0f;          // Henry coefficient
  float coair = 0.0f;       // concentration in air, g/m3
  float qseif = 0.0f;       // seepage flux, m/s
  float leplot = 1.0f;      // m
  float por1 = 0.5f;        // porosity of the top sediment segment
  float dz1 = 0.01f;        // thickness of the top sediment segment, m
  float dif1 = 0.0f;        // diffusion coefficient at the sediment surface, m2/s
  float cowb1 = 0.0f;       // initial concentration of sediment node 1, g/m3
};

// Single-precision values widened for the double-precision reference sums.
inline double d(float v) { return static_cast<double>(v); }

class WlsoTest : public SolverTest {
 protected:
  DitchSpec spec;

  // Grid, weights and parameters of `c`; every node starts with c0 (buffer nodes with cb0).
  void ditch(const DitchSpec& c, float c0 = 0.0f, float cb0 = 0.0f) {
    spec = c;
    s.nxsefb = c.nfb;
    s.nxsedit = c.ndit;
    s.nxseeb = c.neb;
    s.nxnotot = c.nfb + c.ndit + c.neb;
    const int n = s.nxnotot;
    s.thetawl = c.theta;
    s.betawl = c.beta;
    s.deltwl = c.dt;
    s.wibot = c.wibot;
    s.sisl = c.sisl;
    s.wdh = c.wdh;
    s.wdhfl = c.wdh;
    s.pez0hw = c.wibot + 2.0f * c.wdh * sqrtf(1.0f + c.sisl * c.sisl);
    s.u = c.u;
    s.kds = c.kds;
    s.coss = c.coss;
    s.coobkomss = c.cref;
    s.exfrss = c.nfr;
    s.dwmp = c.dwmp;
    s.ktwl = c.kt;
    s.kvl = c.kv;
    s.kh = c.kh;
    s.coair = c.coair;
    s.qseif = c.qseif;
    s.leplot = c.leplot;
    s.por[1] = c.por1;
    s.delz[1] = c.dz1;
    s.kdfwbmh[1] = c.dif1;
    s.cowb[1] = c.cowb1;
    for (int i = 1; i <= n; ++i) {
      const bool body = i > c.nfb && i <= c.nfb + c.ndit;
      s.delx[i] = c.dx;
      s.kdfrss[i] = body ? c.kf : 0.0f;
      s.kdmp[i] = body ? c.kmp : 0.0f;
      s.warst[i] = c.wibot * c.wdh + c.sisl * (c.wdh * c.wdh);
      s.warjp1[i] = s.warst[i];
      // Midpoints within each zone.
      const bool first = i == 1 || i == c.nfb + 1 || i == c.nfb + c.ndit + 1;
      s.xcd[i] = first ? s.delx[i] / 2.0f : s.xcd[i - 1] + (s.delx[i - 1] + s.delx[i]) / 2.0f;
      s.cowlj[i] = body ? c0 : cb0;
      s.cowbtop[i] = body ? c.cowb1 : 0.0f;
    }
    // Space weights; the node spacing is the half-sum of the lengths.
    for (int m = 2; m <= n - 1; ++m) {
      const float b = c.beta;
      const float sm = (s.delx[m - 1] + s.delx[m]) / 2.0f;
      const float sp = (s.delx[m] + s.delx[m + 1]) / 2.0f;
      if (b <= 0.5f) {
        s.nwwmh[m] = b * s.delx[m - 1] / sm;
        s.nwwph[m] = b * s.delx[m] / sp;
      } else {
        s.nwwmh[m] = (0.5f * s.delx[m - 1] + (b - 0.5f) * s.delx[m]) / sm;
        s.nwwph[m] = (0.5f * s.delx[m] + (b - 0.5f) * s.delx[m + 1]) / sp;
      }
    }
    if (n == 1) {
      s.nwwmh[1] = 1.0f;
      s.nwwph[1] = 1.0f;
    } else {
      s.nwwph[1] = n > 2 ? s.nwwmh[2] : c.beta;
      s.nwwmh[n] = n > 2 ? s.nwwph[n - 1] : c.beta;
    }
    s.j = 0;
  }

  // One step as the driver runs it.
  void step() {
    s.j = s.j + 1;
    kern.wlso();
  }
  void steps(int count) {
    for (int m = 0; m < count; ++m) step();
  }

  // Current concentration of node i: the initial one before the first step.
  double conc(int i) const { return s.j == 0 ? s.cowlj[i] : s.cowljp1[i]; }

  // Mass of node i in water, on suspended solids and on macrophytes (g).
  double mass(int i) const {
    const double c = conc(i);
    if (c <= 0.0) return 0.0;
    const double a = s.warjp1[i];
    const double sorb = d(s.coss) * d(s.kdfrss[i]) * std::pow(c / d(s.coobkomss), d(s.exfrss) - 1.0);
    const double macro = d(s.pez0hw) * d(s.dwmp) * d(s.kdmp[i]) / a;
    return (1.0 + sorb + macro) * c * a * d(s.delx[i]);
  }
  double totalMass() const {
    double m = 0.0;
    for (int i = 1; i <= s.nxnotot; ++i) m += mass(i);
    return m;
  }
};

}  // namespace kirmel::test
