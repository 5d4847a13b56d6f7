// Kernel storage — Kernel driver: counters, loop indices, names file, run date, sediment store.
// One of the structs that make up KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct DriverState {
  // Counted (non-fatal) errors and warnings of the run; printed in the end summary.
  int nerr = 0;
  int nwarn = 0;

  // Shared loop indices: current time step (0 .. nt), water-layer node, sediment node.
  int j = 0;
  int i = 0;
  int k = 0;
  // Number of the last time step (set by wlin).
  int nt = 0;

  // Names file and the ten kernel input files it lists (trimmed paths of
  // any length the system opens).
  std::string filnam;
  std::string opoutinp;
  std::string wlnuinp;
  std::string wlpainp;
  std::string wlstinp;
  std::string wbnuinp;
  std::string wbpainp;
  std::string wbstinp;
  std::string hyinp;
  std::string suinp;
  std::string slinp;

  // Local date and time of the run, taken once by filin.
  std::int16_t iyear = 0;
  std::int16_t imonth = 0;
  std::int16_t iday = 0;
  std::int16_t ihour = 0;
  std::int16_t iminute = 0;
  std::int16_t isecond = 0;

  // Pore-water profile of every sediment subsystem between steps:
  // cowbst[i][k] is sediment node k under water-layer node i.
  alignas(64) float cowbst[MXNODE + 1][MZROW]{};
};

}  // namespace kirmel
