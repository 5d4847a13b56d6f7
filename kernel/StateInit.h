// Kernel storage — Initial calculations and loadings.
// One of the structs that make up KernelState (KernelState.h); value-initialised to zero.
// Arrays are 1-based: element 0 is unused.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct InitState {
  // ---- water layer (wlit, wlitnu, wlitco) ----
  float xcd[MXNODE + 1]{};    // m, midpoint of node i within its zone
  float nwwmh[MXNODE + 1]{};  // space weight at the upstream face (i-1/2)
  float nwwph[MXNODE + 1]{};  // space weight at the downstream face (i+1/2)
  float co[MXNODE + 1]{};     // g/m3, initial dissolved concentration
  float somp[MXNODE + 1]{};   // g/g, initial content sorbed on macrophytes
  float soss[MXNODE + 1]{};   // g/g, initial content sorbed on suspended solids

  // ---- sediment (wbit, wbitnu, wbitge, wbitco) ----
  float zcd[MZNODE + 1]{};       // m, midpoint depth of layer k within its zone
  float nwbmh[MZNODE + 1]{};     // space weight at the upper interface (k-1/2)
  float nwbph[MZNODE + 1]{};     // space weight at the lower interface (k+1/2)
  float pemh[MZNODE + 1]{};      // m, sediment perimeter at the upper interface
  float pe[MZNODE + 1]{};        // m, sediment perimeter at the midpoint
  float peph[MZNODE + 1]{};      // m, sediment perimeter at the lower interface
  float pormh[MZNODE + 1]{};     // porosity at the upper interface
  float porph[MZNODE + 1]{};     // porosity at the lower interface
  float bdwbmh[MZNODE + 1]{};    // g/m3, dry bulk density at the upper interface
  float bdwbph[MZNODE + 1]{};    // g/m3, dry bulk density at the lower interface
  float kdfrwbmh[MZNODE + 1]{};  // m3/g, Freundlich coefficient at the upper interface
  float kdfrwbph[MZNODE + 1]{};  // m3/g, Freundlich coefficient at the lower interface
  float kdfwbmh[MZNODE + 1]{};   // m2/s, diffusion coefficient at the upper interface
  float kdfwbph[MZNODE + 1]{};   // m2/s, diffusion coefficient at the lower interface
  float cowb[MZNODE + 1]{};      // g/m3, initial pore-water concentration
  float sowb[MZNODE + 1]{};      // g/g, initial content sorbed on the solid phase

  // ---- loadings: switches of the five entry routes (slin) ----
  int op_slus = 0;  // user specified, spray drift
  int op_slud = 0;  // user specified, drainage
  int op_slur = 0;  // user specified, runoff
  int op_slmd = 0;  // model output, drainage
  int op_slmr = 0;  // model output, runoff

  // Spray drift, as read: time (d), mass (g/m2 of water surface), stretch (m).
  int ntslus = 0;
  float tslus[MLOAD + 1]{};
  float mslus[MLOAD + 1]{};
  float stxslus[MLOAD + 1]{};
  float enxslus[MLOAD + 1]{};
  // User drainage, as read: start and end time (d), mass (g/m), stretch (m).
  int ntslud = 0;
  float sttslud[MLOAD + 1]{};
  float entslud[MLOAD + 1]{};
  float mslud[MLOAD + 1]{};
  float stxslud[MLOAD + 1]{};
  float enxslud[MLOAD + 1]{};
  // User runoff, as read.
  int ntslur = 0;
  float sttslur[MLOAD + 1]{};
  float entslur[MLOAD + 1]{};
  float mslur[MLOAD + 1]{};
  float stxslur[MLOAD + 1]{};
  float enxslur[MLOAD + 1]{};
  // Model drainage: switch, file, model day 0 (d, snapped), stretch (m), drain geometry.
  int op1_slmd = 0;
  std::string fnslmdinp;
  float sttmd = 0.0f;
  float stxslmd = 0.0f;
  float enxslmd = 0.0f;
  int op2_slmd = 0;
  float xslmd = 0.0f;
  float x1slmd = 0.0f;
  // Model runoff: switch, file, model day 0 (d, snapped), stretch (m).
  int op1_slmr = 0;
  std::string fnslmrinp;
  float sttmr = 0.0f;
  float stxslmr = 0.0f;
  float enxslmr = 0.0f;

  // Per loading, as used by wlload: window in s (whole steps of deltwl) and
  // the first and last water-layer node of the stretch (empty when first > last).
  float stslus[MLOAD + 1]{};
  float etslus[MLOAD + 1]{};
  int snslus[MLOAD + 1]{};
  int enslus[MLOAD + 1]{};
  float stslud[MLOAD + 1]{};
  float etslud[MLOAD + 1]{};
  int snslud[MLOAD + 1]{};
  int enslud[MLOAD + 1]{};
  float stslur[MLOAD + 1]{};
  float etslur[MLOAD + 1]{};
  int snslur[MLOAD + 1]{};
  int enslur[MLOAD + 1]{};
  // Model drainage entries from the drainage model's file: day number, loss
  // rate (as read x 1000), window and stretch.
  int ntslmd = 0;
  int dayslmd[MLOAD + 1]{};
  float lrslmd[MLOAD + 1]{};
  float stslmd[MLOAD + 1]{};
  float etslmd[MLOAD + 1]{};
  int snslmd[MLOAD + 1]{};
  int enslmd[MLOAD + 1]{};
  // Model runoff entries: the route reads no time series, so ntslmr stays 0.
  int ntslmr = 0;
  float lrslmr[MLOAD + 1]{};
  float stslmr[MLOAD + 1]{};
  float etslmr[MLOAD + 1]{};
  int snslmr[MLOAD + 1]{};
  int enslmr[MLOAD + 1]{};

  // wlload: concentration increment of the current step per node (g/m3 of
  // water), kept until the next call for the mass balances.
  float load[MXNODE + 1]{};
  // Number of solubility warnings written (at most 20 per run).
  int nsolwl = 0;
};

}  // namespace kirmel
