// Kernel storage — Sediment solver.
// One of the structs that make up KernelState (KernelState.h); value-initialised to zero.
// Arrays are 1-based: element 0 is unused.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

// Working storage of one sediment subsystem (the column under one water-body
// node) while it is stepped: its profiles, the step's face values, terms and
// coefficients, and the record buffer of its output lines.  Columns are
// independent within a step, so each thread that steps columns has one.
struct WbColumn {
  // ---- profiles (pore water, g/m3) ----
  // Old profile (level j): the working profile that the driver loads from the
  // sediment store (or from cowb at j = 0) before wbso runs.  wbso raises
  // values <= 0 to 1.0E-25 in place, so the mass balances see what the solver used.
  float cowbj[MZNODE + 1]{};
  // New profile (level j+1): the solution of wbso; the driver stores it back.
  float cowbjp1[MZNODE + 1]{};
  // Iterate of the Picard iteration (the previous pass's cowbjp1).
  float oldcowbjp1[MZNODE + 1]{};

  // ---- per-step face values (from the old profile) ----
  // Face concentrations, upper (k-1/2) and lower (k+1/2) face, g/m3.
  float cowbjkmh[MZNODE + 1]{};
  float cowbjkph[MZNODE + 1]{};
  // Physical dispersion |q / (A_f por_f)| * ldis at both faces, m2/s.
  float kdswbjmh[MZNODE + 1]{};
  float kdswbjph[MZNODE + 1]{};
  // Numerical dispersion at both faces, m2/s.
  float kdsbnujkmh[MZNODE + 1]{};
  float kdsbnujkph[MZNODE + 1]{};
  // Calculation dispersion (physical minus numerical; 0 where limited), m2/s.
  float kdsbcljkmh[MZNODE + 1]{};
  float kdsbcljkph[MZNODE + 1]{};
  // Advection switches of the upper and lower face: 1, or 0 where the
  // dispersion flux would cancel or exceed the advection flux.
  float sofdfactormh[MZNODE + 1]{};
  float sofdfactorph[MZNODE + 1]{};

  // ---- terms and coefficients ----
  // Terms of node k: LB (new level, weight 1 - thetawb), RB (old level, weight thetawb), 1 .. 10;
  // LB(7) and LB(8) depend on the iterate and are not kept here.
  float LB[11]{};
  float RB[11]{};
  // Coefficients: blod c(k-1) + bldd c(k) + blbd c(k+1) at the new level equals
  // brod c(k-1) + brdd c(k) + brbd c(k+1) at the old level plus brv.
  float blod[MZNODE + 1]{};
  float bldd[MZNODE + 1]{};
  float blbd[MZNODE + 1]{};
  float brod[MZNODE + 1]{};
  float brdd[MZNODE + 1]{};
  float brbd[MZNODE + 1]{};
  float brv[MZNODE + 1]{};
  // Parts of the pass that stay the same in every pass of a step: bldd up to
  // its new-level storage and transformation terms (bldp), whether the node
  // has those terms (bldsto), the old profile's storage capacity RB(7) (rcap),
  // the bottom outflow of a one-node column added to bldd last (blddx, when
  // blddxon), and whether a coefficient other than bldd already fails the
  // positivity conditions (posfail).
  float bldp[MZNODE + 1]{};
  bool bldsto[MZNODE + 1]{};
  float rcap[MZNODE + 1]{};
  float bk[MZNODE + 1]{};     // bdwb * kdfrwb of the nodes with storage terms
  float pw[MZNODE + 1]{};     // the Freundlich powers of the pass's iterate
  float blddx = 0.0f;
  bool blddxon = false;
  bool posfail[MZNODE + 1]{};
  // brdd up to the old level's storage terms (brddp), the bottom outflow of
  // a one-node column taken off brdd last (brddx), and the weights of the
  // water layer's new and old concentration in brv of node 1.
  float brddp[MZNODE + 1]{};
  float brddx = 0.0f;
  float brvnew = 0.0f;
  float brvold = 0.0f;
  // The face values that the terms and coefficients above were built from,
  // and the run they belong to (Kernel's stamp); see wbsocp.
  float keykdmh[MZNODE + 1]{};
  float keykdph[MZNODE + 1]{};
  float keysfmh[MZNODE + 1]{};
  float keysfph[MZNODE + 1]{};
  std::uint64_t stamp = 0;
  // Right-hand sides and the tridiagonal solver's elimination work array.
  float rwb[MZNODE + 1]{};
  float gamwb[MZNODE + 1]{};

  int nitwb = 0;              // Picard passes of the last wbso call
  long long nodepasses = 0;   // node-passes of every wbso call on this storage

  // Record buffer of the column's output lines.
  std::string rec;
};

struct WbState {
  // The column that the driver steps when one thread does all columns (and
  // that the kernel's own wbso, wbscoout, wbmb, dbout and ecout work on).
  WbColumn col;

  // Top sediment node per water-layer node i, as the water layer sees it at
  // the next step: cowb(1) at j = 0 (set by the driver), then cowbjp1(1) of
  // subsystem i after each converged sediment step.
  float cowbtop[MXNODE + 1]{};

  // ---- counters of the run ----
  int icposwb = 0;     // positivity violations (restarts at 1 at step 1 of every subsystem)
  int icsofd = 0;      // occurrences of the dispersion limitation (warnings up to 50)
  bool icwbclosed = false;  // icwb.out has been closed by the solver
};

}  // namespace kirmel
