// A kernel with a small hand-filled state for testing the output writers and
// the mass balances without the solvers: 1 front-buffer node, 2 water-body
// nodes, 1 end-buffer node; 2 sediment layers and 1 lower-buffer layer.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "common/TempDir.h"
#include "kernel/Kernel.h"

namespace kirmel::test {

class OutputFixture : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedCwd cwd{dir.path()};
  std::istringstream in;
  std::ostringstream console;
  Env env{in, console};
  Kernel kn{env, {}};
  KernelState& s = kn.state();

  void SetUp() override {
    s.nxsefb = 1;
    s.nxsedit = 2;
    s.nxseeb = 1;
    s.nxnotot = 4;
    const float xcd[] = {0.0f, 5.0f, 5.0f, 15.0f, 5.0f};
    for (int i = 1; i <= 4; ++i) {
      s.delx[i] = 10.0f;
      s.xcd[i] = xcd[i];
      s.warst[i] = s.warj[i] = s.warjp1[i] = 2.0f;
      s.wiwsj[i] = 3.0f;
      const bool ditch = i == 2 || i == 3;
      s.kdomss[i] = ditch ? 0.5f : 0.0f;
      s.kdfrss[i] = ditch ? 0.25f : 0.0f;
      s.kdmp[i] = ditch ? 0.25f : 0.0f;
      s.nwwmh[i] = s.nwwph[i] = 0.5f;
    }
    s.pez0hw = 2.0f;
    s.dwmp = 4.0f;
    s.coss = 4.0f;
    s.raomss = 0.5f;
    s.coobkomss = 1.0f;
    s.exfrss = 1.0f;
    s.kh = 1.0f;

    s.nzsewb = 2;
    s.nzseebb = 1;
    s.nznotot = 3;
    const float delz[] = {0.0f, 0.01f, 0.03f, 0.05f};
    const float zcd[] = {0.0f, 0.005f, 0.025f, 0.025f};
    for (int k = 1; k <= 3; ++k) {
      s.delz[k] = delz[k];
      s.zcd[k] = zcd[k];
      s.bdwb[k] = 2.0f;
      s.por[k] = s.pormh[k] = 0.5f;
      s.pe[k] = s.pemh[k] = 1.0f;
      s.kdfrwb[k] = k <= 2 ? 0.5f : 0.0f;
    }
    s.coobkomwb = 1.0f;
    s.exfrwb = 1.0f;
    s.ktop = 2;

    s.deltwl = s.deltwb = 43200.0f;
    s.deltout = 86400.0f;
    s.nt = 4;
    s.nwbsy = 1;
    s.iwbsy[1] = 3;
    s.op_wlmb = s.op_wlmbnodenr = s.op_wbsconodenr = s.op_wbmbnodenr = 1;
    s.op_wbmball = s.op_dbnodenr = s.op_dbdit = s.op_ecnodenr = 1;
    env.units().openWrite(21, "message.out");
  }

  // Sets the dissolved concentration of every water-layer node to c(i, j)
  // at the level the writers read.
  void setWater(const std::function<float(int, int)>& c) {
    for (int i = 1; i <= s.nxnotot; ++i) {
      if (s.j == 0)
        s.cowlj[i] = c(i, 0);
      else
        s.cowljp1[i] = c(i, s.j);
    }
  }

  // Runs steps 0 .. nt through the writers in the driver's order, the
  // concentrations coming from the two functions (water layer: node, step;
  // sediment: node k, step).  Each step's new level becomes the next step's
  // old level.
  void run(const std::function<float(int, int)>& cw, const std::function<float(int, int)>& cb,
           bool water = true, bool sediment = true) {
    for (s.j = 0; s.j <= s.nt; ++s.j) {
      if (s.j >= 1)
        for (int i = 1; i <= s.nxnotot; ++i) s.cowlj[i] = s.j == 1 ? cw(i, 0) : cw(i, s.j - 1);
      setWater(cw);
      if (water) {
        kn.wlsocoout();
        kn.wlmb();
        kn.wlmbn();
      }
      for (s.i = s.nxsefb + 1; s.i <= s.nxsefb + s.nxsedit; ++s.i) {
        for (int k = 1; k <= s.nznotot; ++k) {
          s.cowb[k] = cb(k, 0);
          s.col.cowbj[k] = cb(k, s.j == 0 ? 0 : s.j - 1);
          s.col.cowbjp1[k] = cb(k, s.j);
        }
        if (sediment) {
          kn.wbscoout();
          kn.wbmb();
          kn.dbout();
          kn.ecout();
        }
      }
    }
  }

  // The lines of a file in the working directory.
  std::vector<std::string> lines(const std::string& name) const {
    std::vector<std::string> out;
    std::istringstream text(readFile(dir.file(name)));
    std::string line;
    while (std::getline(text, line)) out.push_back(line);
    return out;
  }
};

// Fields of a record, for building expected lines.
inline std::string sp(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

}  // namespace kirmel::test
