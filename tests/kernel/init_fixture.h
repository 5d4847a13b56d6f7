// A kernel with console streams of its own and a scratch directory, for
// tests that fill the state by hand and call single routines.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "common/TempDir.h"
#include "kernel/Kernel.h"

namespace kirmel::test {

struct KernelFixture : ::testing::Test {
  std::istringstream in;
  std::ostringstream out;
  Env env{in, out};
  Kernel k{env, {}};
  KernelState& s = k.state();
  TempDir dir;

  // Opens message.out (unit 21) in the scratch directory.
  void openMessages() { ASSERT_TRUE(env.units().openWrite(21, dir.file("message.out"))); }
  // Closes unit 21 and returns what was written to it.
  std::string messages() {
    env.units().close(21);
    return readFile(dir.file("message.out"));
  }
  // Opens a unit on a scratch file; closeAndRead gives its content back.
  void openUnit(int unit, const std::string& name) { ASSERT_TRUE(env.units().openWrite(unit, dir.file(name))); }
  std::string closeAndRead(int unit, const std::string& name) {
    env.units().close(unit);
    return readFile(dir.file(name));
  }

  // Water-layer grid from the lengths of front buffer, water body and end
  // buffer, with midpoints within each zone.
  void setWaterLayer(const std::vector<float>& fb, const std::vector<float>& dit, const std::vector<float>& eb) {
    s.nxsefb = static_cast<int>(fb.size());
    s.nxsedit = static_cast<int>(dit.size());
    s.nxseeb = static_cast<int>(eb.size());
    s.nxnotot = s.nxsefb + s.nxsedit + s.nxseeb;
    midpoints(fb, s.lesefb, s.xcdfb);
    midpoints(dit, s.lesedit, s.xcddit);
    midpoints(eb, s.leseeb, s.xcdeb);
    int i = 0;
    for (float l : fb) s.delx[++i] = l;
    for (float l : dit) s.delx[++i] = l;
    for (float l : eb) s.delx[++i] = l;
  }
  // Sediment grid from the layer and lower-buffer thicknesses.
  void setSediment(const std::vector<float>& wb, const std::vector<float>& ebb) {
    s.nzsewb = static_cast<int>(wb.size());
    s.nzseebb = static_cast<int>(ebb.size());
    s.nznotot = s.nzsewb + s.nzseebb;
    midpoints(wb, s.lesewb, s.zcdwb);
    midpoints(ebb, s.leseebb, s.zcdebb);
    int k = 0;
    for (float l : wb) s.delz[++k] = l;
    for (float l : ebb) s.delz[++k] = l;
  }
  static void midpoints(const std::vector<float>& len, float* le, float* mid) {
    for (std::size_t m = 1; m <= len.size(); ++m) {
      le[m] = len[m - 1];
      mid[m] = m == 1 ? le[1] / 2.0f : mid[m - 1] + (le[m - 1] + le[m]) / 2.0f;
    }
  }
  // Runs fn and returns the exit status of the stop it must end in.
  template <class Fn>
  int stopStatus(Fn fn) {
    try {
      fn();
    } catch (const Stop& st) {
      return st.status;
    }
    ADD_FAILURE() << "expected a stop";
    return 0;
  }
};

}  // namespace kirmel::test
