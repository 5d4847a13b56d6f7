// A sediment column set up directly in the kernel state, stepped the way the
// driver steps it: load the stored profile, solve, store the new profile.
#pragma once

#include <cmath>
#include <string>

#include "solver_fixture.h"

namespace kirmel::test {

struct ColumnSetup {
  int nsed = 10;            // sediment layers
  int nbuf = 0;             // lower-buffer layers
  float dz = 0.01f;         // thickness of a sediment layer, m
  float dzb = 0.02f;        // thickness of a buffer layer, m
  float por = 0.5f;         // porosity
  float bd = 1.0e6f;        // bulk density, g/m3
  float kf = 1.0e-6f;       // Freundlich coefficient, m3/g
  float nfr = 1.0f;         // Freundlich exponent
  float cref = 1.0f;        // Freundlich reference concentration, g/m3
  float dif = 1.0e-9f;      // diffusion coefficient at every face, m2/s
  float weight = 0.5f;      // space weight of every inner face
  float perim = 1.0f;       // perimeter at every node and face, m
  float theta = 0.5f;       // thetawb
  float dt = 3600.0f;       // deltwb, s
  float kb = 0.0f;          // transformation rate, 1/s
  float qseif = 0.0f;       // seepage flux, m/s
  float leplot = 1.0f;      // m
  float ldis = 0.0f;        // dispersion length, m
  int nodes = 1;            // water-body nodes (one subsystem each)
};

// Fills the sediment grid, properties and the stored profiles of every
// water-body node: c0 in the sediment layers, cb0 in the lower buffer.
inline void setColumn(KernelState& s, const ColumnSetup& c, float c0 = 0.0f, float cb0 = 0.0f) {
  s.nzsewb = c.nsed;
  s.nzseebb = c.nbuf;
  s.nznotot = c.nsed + c.nbuf;
  s.thetawb = c.theta;
  s.deltwb = c.dt;
  s.coobkomwb = c.cref;
  s.exfrwb = c.nfr;
  s.ktwb = c.kb;
  s.qseif = c.qseif;
  s.leplot = c.leplot;
  s.ldis = c.ldis;
  const int n = s.nznotot;
  for (int k = 1; k <= n; ++k) {
    const bool buf = k > c.nsed;
    s.delz[k] = buf ? c.dzb : c.dz;
    // Midpoints are measured within each zone.
    if (k == 1 || k == c.nsed + 1)
      s.zcd[k] = s.delz[k] / 2.0f;
    else
      s.zcd[k] = s.zcd[k - 1] + (s.delz[k - 1] + s.delz[k]) / 2.0f;
    s.por[k] = s.pormh[k] = s.porph[k] = c.por;
    s.bdwb[k] = s.bdwbmh[k] = s.bdwbph[k] = c.bd;
    const float kf = buf ? 0.0f : c.kf;
    s.kdfrwb[k] = s.kdfrwbmh[k] = s.kdfrwbph[k] = kf;
    s.kdfwbmh[k] = s.kdfwbph[k] = c.dif;
    s.pe[k] = s.pemh[k] = s.peph[k] = c.perim;
    s.nwbmh[k] = k > 1 ? c.weight : 0.0f;
    s.nwbph[k] = k < n ? c.weight : 0.0f;
    s.cowb[k] = buf ? cb0 : c0;
  }
  if (c.nbuf > 0) s.kdfrwbph[c.nsed] = s.kdfrwbmh[c.nsed + 1] = 0.5f * c.kf;
  for (int i = s.nxsefb + 1; i <= s.nxsefb + s.nxsedit; ++i) {
    for (int k = 1; k <= n; ++k) s.cowbst[i][k] = s.cowb[k];
    s.cowbtop[i] = s.cowb[1];
  }
}

// The sediment part of time step s.j, as the driver runs it: for every
// water-body node load the stored profile, solve, store the new profile.
inline void stepSediment(Kernel& kern) {
  KernelState& s = kern.state();
  for (s.i = s.nxsefb + 1; s.i <= s.nxsefb + s.nxsedit; ++s.i) {
    for (int k = 1; k <= s.nznotot; ++k) s.col.cowbj[k] = s.cowbst[s.i][k];
    kern.wbso();
    for (int k = 1; k <= s.nznotot; ++k) s.cowbst[s.i][k] = s.col.cowbjp1[k];
  }
}

// Total content per m3 of sediment node k for pore-water concentration c.
inline float content(const KernelState& s, int k, float c) {
  return s.por[k] * c + s.bdwb[k] * s.kdfrwb[k] * s.coobkomwb * powf(c / s.coobkomwb, s.exfrwb);
}

// Substance in the sediment subsystem of node i per metre of watercourse (g/m).
inline double sedimentMass(const KernelState& s, int i) {
  double m = 0.0;
  for (int k = 1; k <= s.nznotot; ++k)
    m += static_cast<double>(content(s, k, s.cowbst[i][k]) * s.pe[k] * s.delz[k]);
  return m;
}

class WbsoTest : public SolverTest {
 protected:
  int jstep = 0;

  // A column under each of c.nodes water-body nodes (no buffers in the water layer).
  void column(const ColumnSetup& c, float c0 = 0.0f, float cb0 = 0.0f) {
    s.nxsefb = 0;
    s.nxsedit = c.nodes;
    s.nxseeb = 0;
    s.nxnotot = c.nodes;
    s.deltwl = c.dt;
    setColumn(s, c, c0, cb0);
    jstep = 0;
  }

  void water(float cw) {
    for (int i = 1; i <= s.nxnotot; ++i) s.cowlj[i] = s.cowljp1[i] = cw;
  }

  // Steps j = jstep+1 .. jstep+m for every subsystem, as the driver does.
  void run(int m) {
    for (int n = 0; n < m; ++n) {
      s.j = ++jstep;
      stepSediment(kern);
    }
  }

  // Runs up to m steps; returns the exit status of the stop that ended them, or -1.
  int stopStatus(int m) {
    try {
      run(m);
    } catch (const Stop& stop) {
      return stop.status;
    }
    return -1;
  }

  float content(int k, float c) const { return kirmel::test::content(s, k, c); }
};

}  // namespace kirmel::test
