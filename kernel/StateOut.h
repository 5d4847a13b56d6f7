// Kernel storage — Output writers: concentrations, distribution, exposure, mass balances.
// One of the structs that make up KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kernel/Sizes.h"

namespace kirmel {

struct OutState {
  // Record buffer shared by every writer: each line is built here with the
  // field formatter and written out whole (reserved once, reused per line).
  std::string outrec;

  // ---- concentration and distribution output (wlsocoout, wbscoout, dbout) ----
  float thtop = 0.0f;  // thickness of the sediment top layer (upper ktop nodes), m; set at j = 0
  // Masses of every water-body node times its length (g), kept until the last
  // water-body node of the step sums them for dbdit.out: water layer total,
  // dissolved, macrophytes, suspended solids; sediment total, dissolved, solid.
  float dbmass[MXNODE + 1][8]{};

  // ---- exposure concentrations (ecout) ----
  // Daily integrals of the dissolved concentration per selected subsystem m,
  // for days -27 .. ecdmax (g.m-3.d); day d of subsystem m is
  // ecint[m][d + 27].  Sized at j = 0 from the length of the run.
  int ecdmax = 0;
  std::vector<float> ecint[MSUB + 1];
  // Maxima of the momentary concentration and of TWAEC4, TWAEC21, TWAEC28
  // (index 1 .. 4) with their times of occurrence (d).
  float ecmax[MSUB + 1][5]{};
  float ectmax[MSUB + 1][5]{};

  // ---- mass balance of the water layer (wlmb), g ----
  float cuinsl = 0.0f;   // initial mass plus loadings
  float cuinwb = 0.0f;   // incoming from the sediment (<= 0)
  float cuoutwb = 0.0f;  // lost to the sediment (>= 0)
  float cuvol = 0.0f;    // volatilised (<= 0)
  float cutrf = 0.0f;    // transformed (<= 0)
  float cuoute = 0.0f;   // out through the end (>= 0)
  float cuoutf = 0.0f;   // out through the front (<= 0)
  float qumwl = 0.0f;    // missing mass
  int nwwlmb = 0;        // warnings given

  // ---- mass balance of selected water-body nodes (wlmbn), g per node ----
  float cuinsln[MXNODE + 1]{};   // initial mass plus loadings
  float cuinfn[MXNODE + 1]{};    // in through the upstream face (>= 0)
  float cuinen[MXNODE + 1]{};    // in through the downstream face (<= 0)
  float cuinwbn[MXNODE + 1]{};   // incoming from the sediment (<= 0)
  float cuouten[MXNODE + 1]{};   // out through the downstream face (>= 0)
  float cuoutfn[MXNODE + 1]{};   // out through the upstream face (<= 0)
  float cuoutwbn[MXNODE + 1]{};  // lost to the sediment (>= 0)
  float cuvoln[MXNODE + 1]{};    // volatilised (<= 0)
  float cutrfn[MXNODE + 1]{};    // transformed (<= 0)
  int nwwlmbn = 0;               // warnings given

  // ---- mass balance of the sediment subsystems (wbmb), g per m of watercourse ----
  // One cache line per subsystem: columns stepped on different threads
  // write their own lines only.
  struct alignas(64) WbBalance {
    float cuinwl = 0.0f;   // incoming from the water layer (>= 0)
    float cuus = 0.0f;     // upward seepage (always 0)
    float cuperc = 0.0f;   // percolated through the bottom (>= 0)
    float cuoutwl = 0.0f;  // lost to the water layer (<= 0)
    float cutrfwb = 0.0f;  // transformed (<= 0)
  };
  WbBalance wbbal[MXNODE + 1]{};
  int nwwbmb = 0;               // warnings given
  int nwbottom = 0;             // substance leaving the bottom: occurrences (the first 20 written)
  // Initial mass of one subsystem, g per m of watercourse (the same for all).
  float wbinit = 0.0f;
  // Total content per m3 of sediment of every node after the last step, with
  // the bits of the pore-water concentration it belongs to: the next step's
  // old profile takes it from here.
  alignas(64) float wbcapv[MXNODE + 1][MZROW]{};
  alignas(64) std::uint32_t wbcapc[MXNODE + 1][MZROW]{};
  // Whole sediment, g, rebuilt every step: initial, top layer, remaining,
  // from wl, seepage, percolated, to wl, transformed.
  float wbtot[9]{};
};

}  // namespace kirmel
