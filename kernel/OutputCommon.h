// Helpers shared by the output writers and the mass balances: the current
// concentrations, the sorbed contents, the selected subsystems, record
// building and the opening of output files.
#pragma once

#include <cmath>
#include <string>
#include <string_view>

#include "kernel/Kernel.h"
#include "platform/Format.h"

namespace kirmel::out {

// Fixed unit numbers of the time-series files; per selected subsystem l the
// unit is base + l.
constexpr int kUnitWlsoco = 25;
constexpr int kUnitWlmb = 26;
constexpr int kUnitWbmball = 27;
constexpr int kUnitDbdit = 28;
constexpr int kBaseEc = 29;
constexpr int kBaseWbmb = 39;
constexpr int kBaseWlmbn = 49;
constexpr int kBaseWbsco = 59;
constexpr int kBaseDb = 69;

// Dissolved concentration of water-layer node i at the current step: the old
// level at j = 0 (initial value plus the loadings of time 0), the new level
// afterwards.
inline float cwl(const KernelState& s, int i) { return s.j == 0 ? s.cowlj[i] : s.cowljp1[i]; }

// Pore-water concentration of sediment node k of the column c: the initial
// profile at j = 0, the solver's new profile afterwards.
inline float cwb(const KernelState& s, const WbColumn& c, int k) { return s.j == 0 ? s.cowb[k] : c.cowbjp1[k]; }

// Wetted area of water-layer node i at the current step.
inline float areaWl(const KernelState& s, int i) { return s.j == 0 ? s.warst[i] : s.warjp1[i]; }

// Content sorbed to suspended solids (g/g) at dissolved concentration c.
inline float xss(const KernelState& s, int i, float c) {
  return s.raomss * s.kdomss[i] * s.coobkomss * powf(c / s.coobkomss, s.exfrss);
}

// Content sorbed to the solid phase of sediment node k (g/g).
inline float xb(const KernelState& s, int k, float c) {
  return s.kdfrwb[k] * s.coobkomwb * powf(c / s.coobkomwb, s.exfrwb);
}

// Total concentration per volume of sediment node k (g/m3).
inline float cbtot(const KernelState& s, int k, float c) {
  return s.bdwb[k] * xb(s, k, c) + s.por[k] * c;
}

// Thickness of the sediment top layer, the upper ktop nodes (m).
inline float topThickness(const KernelState& s) {
  float th = 0.0f;
  for (int k = 1; k <= s.ktop; ++k) th += s.delz[k];
  return th;
}

// Position l (1 .. nwbsy) of node i in the selection of sediment subsystems,
// 0 when it is not selected.  A node listed more than once counts at its
// first position only, so no file is written twice and no node balanced twice.
inline int selected(const KernelState& s, int i) {
  for (int l = 1; l <= s.nwbsy && l <= MSUB; ++l)
    if (s.iwbsy[l] == i) return l;
  return 0;
}

inline bool isWaterBodyNode(const KernelState& s, int i) {
  return i >= s.nxsefb + 1 && i <= s.nxsefb + s.nxsedit;
}

// Time of step j in days for time step dt.
inline float days(int j, float dt) { return static_cast<float>(j) * dt / 86400.0f; }

// True at the writer's last output time: an output time after which the run
// ends before the next one.
inline bool lastOutput(const KernelState& s, float dt) {
  return static_cast<float>(s.nt - s.j) * dt < s.deltout;
}

// A record buffer, emptied; its capacity is kept from line to line.
inline std::string& rec(std::string& r) {
  if (r.capacity() < 512) r.reserve(512);
  r.clear();
  return r;
}

// The record buffer of the writers that the driver runs once per step.
inline std::string& rec(KernelState& s) { return rec(s.outrec); }

// File name of subsystem node i from a 12-character template, without the
// template's trailing blanks.
std::string nodeFile(std::string_view tmpl, int i);

// Creates (or overwrites) an output file on `unit`.  A file that cannot be
// created ends the run with a message naming it.
void openOut(Kernel& kn, int unit, const std::string& name);

// Closes an output file when it is open.  A file whose buffered end could
// not be written (a full disk) ends the run after the step, with the file
// named (Kernel::checkWrites).
void closeOut(Kernel& kn, int unit);

// Percentage 100 * part / whole, the whole replaced by 1 when it is exactly 0.
float percentOf(float part, float whole);

// Writes one line to the console and the message file.
void say(Kernel& kn, std::string_view line);

}  // namespace kirmel::out
