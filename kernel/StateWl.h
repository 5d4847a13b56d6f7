// Kernel storage — Water-layer solver.
// One of the structs that make up KernelState (KernelState.h); value-initialised to zero.
//
// Node arrays are 1-based (element 0 unused) over nodes 1 .. nxnotot.
// "j" is the old time level, "jp1" the new one (j+1), "jph" the half level
// (j+1/2, weighted with thetawl); "imh"/"iph" are the upstream (i-1/2) and
// downstream (i+1/2) faces of node i.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct WlState {
  // ---- concentrations dissolved in water (g/m3) ----
  float cowlj[MXNODE + 1]{};       // old level j (filled from co by the driver at j = 0)
  float cowljp1[MXNODE + 1]{};     // new level j+1, the solution of the step
  float oldcowljp1[MXNODE + 1]{};  // iterate: the previous Picard pass's cowljp1

  // Top-sediment concentration under node i that the water layer used in
  // this step (sediment at level j); only water-body nodes use it.
  float cotopwl[MXNODE + 1]{};

  // Seepage flux (m/s) and seepage-water concentration (g/m3) at j+1 and j+1/2.
  float qseifjp1 = 0.0f;
  float qseifjph = 0.0f;
  float colotjp1 = 0.0f;
  float colotjph = 0.0f;

  // ---- geometry of the step (wlsoge) ----
  float warj[MXNODE + 1]{};     // wetted area of node i at level j (m2)
  float warjp1[MXNODE + 1]{};   // wetted area at level j+1 (set first by hyin)
  float warjph[MXNODE + 1]{};   // weighted area at the half level
  float wdhjimh[MXNODE + 1]{};  // face depths at level j (m)
  float wdhjiph[MXNODE + 1]{};
  float wdhjp1imh[MXNODE + 1]{};  // face depths at level j+1
  float wdhjp1iph[MXNODE + 1]{};
  float warjimh[MXNODE + 1]{};    // face areas at level j (m2)
  float warjiph[MXNODE + 1]{};
  float warjp1imh[MXNODE + 1]{};  // face areas at level j+1
  float warjp1iph[MXNODE + 1]{};
  float warjphimh[MXNODE + 1]{};  // face areas at the half level
  float warjphiph[MXNODE + 1]{};
  float qjphimh[MXNODE + 1]{};    // half-level discharge through the faces (m3/s)
  float qjphiph[MXNODE + 1]{};
  float wiwsj[MXNODE + 1]{};      // water-surface width at level j (m)
  float wiwsjph[MXNODE + 1]{};    // water-surface width at the half level
  float ujfront = 0.0f;           // velocity at level j through the front face of node 1 (m/s)
  float ujend = 0.0f;             // velocity at level j through the end face of the last water-body node

  // ---- face concentrations of the old level (g/m3) and their Freundlich
  // powers (cf / coobkomss)^(exfrss - 1), upstream and downstream face ----
  float cfimh[MXNODE + 1]{};
  float cfiph[MXNODE + 1]{};
  float pwimh[MXNODE + 1]{};
  float pwiph[MXNODE + 1]{};

  // ---- dispersion of the step (wlsods), m2/s ----
  float kdswnujimh[MXNODE + 1]{};  // numerical dispersion, upstream face
  float kdswnujiph[MXNODE + 1]{};  // numerical dispersion, downstream face
  float kdswcljimh[MXNODE + 1]{};  // calculation dispersion, upstream face
  float kdswcljiph[MXNODE + 1]{};  // calculation dispersion, downstream face

  // ---- sorption factors: suspended-solids-sorbed over dissolved substance
  // per m3 of water at the old level (sfold, per step) and at the iterate
  // (sfit, per pass) of every node ----
  float sfold[MXNODE + 1]{};
  float sfit[MXNODE + 1]{};

  // ---- terms of the current node (wlsote); index 1 .. 13 ----
  float lt[14]{};  // new-level set (LT1 .. LT13)
  float rt[14]{};  // old-level set (RT1 .. RT13)
  float v1 = 0.0f;  // source from the air (g/m)
  float v2 = 0.0f;  // source from the sediment (g/m)
  // Kept by the first pass of a step for the later ones, per node: the
  // new-level terms' factors before the sorption factor (wlsote), the
  // old-level terms and the two sources.
  float ltkept[MXNODE + 1][14]{};
  float rtkept[MXNODE + 1][14]{};
  float v1kept[MXNODE + 1]{};
  float v2kept[MXNODE + 1]{};

  // ---- coefficients of the equations ----
  float lod[MXNODE + 1]{};
  float ldd[MXNODE + 1]{};
  float lbd[MXNODE + 1]{};
  float rod[MXNODE + 1]{};
  float rdd[MXNODE + 1]{};
  float rbd[MXNODE + 1]{};
  float rv[MXNODE + 1]{};
  float rhswl[MXNODE + 1]{};  // right-hand sides of the tridiagonal system
  float gamwl[MXNODE + 1]{};  // elimination work array of the water layer's tridag

  // The step whose dispersion and old-level sorption factors the driver
  // prepared ahead (wlsoprep) while the sediment columns of the step before
  // ran, and the floating-point flags that raised; 0 when none.
  int wlprep = 0;
  int wlprepflags = 0;

  // ---- counters ----
  int npositwl = 0;  // positivity violations of the run (set to 1 at step 1)
  int itwl = 0;      // Picard passes used by the last step
};

}  // namespace kirmel
