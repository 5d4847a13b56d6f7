// Kernel storage — Input: output options, hydrology, substance, water-layer and sediment grids.
// One of the structs that make up KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct InputState {
  // ---- output options (opout) ----
  int op_input = 0;
  int op_icwlhy = 0;
  int op_icwb = 0;
  int op_wlmb = 0;
  int op_wlmbnodenr = 0;
  int op_wbsconodenr = 0;
  int op_wbmbnodenr = 0;
  int op_wbmball = 0;
  int op_dbnodenr = 0;
  int op_dbdit = 0;
  int op_ecnodenr = 0;
  float deltout = 0.0f;         // output interval, s (a multiple of deltwl after wlin)
  int nwbsy = 0;                // number of selected sediment subsystems
  int iwbsy[MSUB + 1]{};        // their water-layer node numbers, 1 .. nwbsy
  int ktop = 0;                 // sediment segments in the top layer

  // ---- hydrology (hyin) ----
  float u = 0.0f;               // flow velocity, m/s
  float wdh = 0.0f;             // water depth, m
  float kds = 0.0f;             // dispersion coefficient, m2/s
  float qseif = 0.0f;           // seepage flux, m/s
  float colot = 0.0f;           // concentration in seepage water, g/m3
  float te = 0.0f;              // temperature, K
  float warst[MXNODE + 1]{};    // initial wetted area per node, m2

  // ---- substance (suin) ----
  float dt50wl = 0.0f;          // d
  float aetf = 0.0f;            // J/mol
  float kdomssdit = 0.0f;       // m3/g
  float coobkomss = 0.0f;       // g/m3
  float exfrss = 0.0f;
  float kdmpdit = 0.0f;         // m3/g
  float mamol = 0.0f;           // g/mol
  float klq = 0.0f;             // m/s
  float kga = 0.0f;             // m/s
  float psat = 0.0f;            // Pa, at te after suin
  float tepsat = 0.0f;          // K
  float mepsat = 0.0f;          // J/mol
  float cosol = 0.0f;           // g/m3, at te after suin
  float tesol = 0.0f;           // K
  float mesol = 0.0f;           // J/mol
  float kdfw = 0.0f;            // m2/s
  float dt50wb = 0.0f;          // d
  float kdomwb1 = 0.0f;         // m3/g
  float coobkomwb = 0.0f;       // g/m3
  float exfrwb = 0.0f;
  float R = 0.0f;               // gas constant, J/(mol K)
  float ktwl = 0.0f;            // transformation rate, water layer, 1/s
  float ktwb = 0.0f;            // transformation rate, sediment, 1/s
  float kh = 0.0f;              // Henry coefficient, dimensionless
  float kvl = 0.0f;             // volatilisation coefficient, m/s
  float kdomss[MXNODE + 1]{};   // m3/g per water-layer node
  float kdfrss[MXNODE + 1]{};   // m3/g per water-layer node
  float kdmp[MXNODE + 1]{};     // m3/g per water-layer node
  float kdomwb[MZNODE + 1]{};   // m3/g per sediment node
  float kdfrwb[MZNODE + 1]{};   // m3/g per sediment node

  // ---- water layer (wlin) ----
  float betawl = 0.0f;
  float thetawl = 0.0f;
  float deltwl = 0.0f;          // s
  float ttot = 0.0f;            // s
  float xdit = 0.0f;            // m
  float xfb = 0.0f;             // m
  float xeb = 0.0f;             // m
  int nxsedit = 0;
  int nxsefb = 0;
  int nxseeb = 0;
  int nxnotot = 0;
  float lesefb[MXFB + 1]{};
  float lesedit[MXDIT + 1]{};
  float leseeb[MXEB + 1]{};
  float delx[MXNODE + 1]{};     // length of every water-layer node, m
  float xcdfb[MXFB + 1]{};      // midpoints within the front buffer, m
  float xcddit[MXDIT + 1]{};    // midpoints within the water body, m
  float xcdeb[MXEB + 1]{};      // midpoints within the end buffer, m
  float wibot = 0.0f;           // m
  float sisl = 0.0f;
  float wdhfl = 0.0f;           // m
  float pez0hw = 0.0f;          // exchanging perimeter at wdhfl, m
  float leplot = 0.0f;          // m
  float coss = 0.0f;            // g/m3
  float raomss = 0.0f;
  float dwmp = 0.0f;            // g/m2
  float castwl[MXNODE + 1]{};   // g/m3
  float coair = 0.0f;           // g/m3

  // ---- sediment (wbin) ----
  float betawb = 0.0f;
  float thetawb = 0.0f;
  float deltwb = 0.0f;          // s
  float zwb = 0.0f;             // m
  float zebb = 0.0f;            // m
  int nzsewb = 0;
  int nzseebb = 0;
  int nznotot = 0;
  float lesewb[MZSED + 1]{};
  float leseebb[MZBB + 1]{};
  float delz[MZNODE + 1]{};     // thickness of every sediment node, m
  float zcdwb[MZSED + 1]{};     // midpoints within the sediment layer, m
  float zcdebb[MZBB + 1]{};     // midpoints within the lower buffer, m
  float bdwb[MZNODE + 1]{};     // g/m3 after wbin
  float por[MZNODE + 1]{};
  float tor[MZNODE + 1]{};
  float raomwb[MZNODE + 1]{};
  float ldis = 0.0f;            // m
  float castwb[MZNODE + 1]{};   // g/m3
};

}  // namespace kirmel
