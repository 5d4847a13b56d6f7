// Initial calculations of the water layer: node positions, space weight
// factors and the initial dissolved and sorbed concentrations.
#include <cmath>

#include "kernel/Echo.h"
#include "kernel/InitCommon.h"
#include "kernel/Kernel.h"

namespace kirmel {

namespace {

constexpr int kIcwlhy = 23;

// Zone of water-layer node i: 0 front buffer, 1 water body, 2 end buffer.
int wlZone(const KernelState& s, int i) {
  if (i <= s.nxsefb) return 0;
  if (i <= s.nxsefb + s.nxsedit) return 1;
  return 2;
}

}  // namespace

// Writes one line to icwlhy.out when that file is on.
static void icwl(Kernel& k, std::string_view line) {
  if (k.state().op_icwlhy == 1 && k.env().units().isOpen(kIcwlhy)) k.env().units().writeLine(kIcwlhy, line);
}

void Kernel::wlit() {
  const int nfb = s.nxsefb;
  const int ndit = s.nxsedit;
  const int n = s.nxnotot;
  for (int m = 1; m <= nfb; ++m) s.xcd[m] = s.xcdfb[m];
  for (int m = 1; m <= ndit; ++m) s.xcd[nfb + m] = s.xcddit[m];
  for (int m = nfb + ndit + 1; m <= n; ++m) s.xcd[m] = s.xcdeb[m - nfb - ndit];

  icwl(*this, "");
  icwl(*this, " Results of initial calculations from subroutine wlit:");
  icwl(*this, " delx(1-nxnotot):   (m)");
  icwl(*this, Ld().ra(s.delx, 1, n));
  icwl(*this, " xcd(1-nxnotot):   (m)");
  icwl(*this, Ld().ra(s.xcd, 1, n));

  // A node without length (an array shorter than its count, or a zero buffer
  // length) would divide by zero in the weights and in every step.
  for (int m = 1; m <= n; ++m) {
    if (!(s.delx[m] > 0.0f)) {
      std::string l = " length of water-layer node";
      fmt::I(l, m, 5);
      l += " is zero: the time loop cannot start";
      fatal({"", "", " Error in input " + pad100(s.wlnuinp), l, " Program stops"});
    }
  }

  wlitnu();
  wlitco();
}

void Kernel::wlitnu() {
  const int n = s.nxnotot;
  if (n == 1) {
    s.nwwmh[1] = 1.0f;
    s.nwwph[1] = 1.0f;
  } else {
    int bad = init::spaceWeights(s.betawl, s.delx, s.xcd, n, [this](int i) { return wlZone(s, i); }, s.nwwmh,
                                 s.nwwph);
    if (bad != 0) {
      std::string l = " Error in wlitnu: distance between the midpoints of nodes";
      fmt::I(l, bad - 1, 5);
      l += " and";
      fmt::I(l, bad, 5);
      l += " is not positive";
      fatal({"", l, " Program stops"});
    }
  }

  icwl(*this, "");
  icwl(*this, " Results of calculations from subroutine wlitnu:");
  icwl(*this, " num. weight factors for all nodes:");
  icwl(*this, "  nodenumber    nwwmh          nwwph        (dimensionless)");
  for (int i = 1; i <= n; ++i) icwl(*this, Ld().n(i).r(s.nwwmh[i]).r(s.nwwph[i]));
}

void Kernel::wlitco() {
  const int n = s.nxnotot;
  for (int i = 1; i <= n; ++i) {
    if (s.castwl[i] <= 0.0f) {
      s.co[i] = 0.0f;
      s.somp[i] = 0.0f;
      s.soss[i] = 0.0f;
      continue;
    }
    if (s.warst[i] == 0.0f) fatal(init::solveFailure("wlitco", "wetted area zero", i, init::Solve::ZeroDenominator));
    float c = 0.0f;
    init::Solve r = init::fixedPoint(
        s.castwl[i],
        [&](float cc) {
          return powf(cc / s.coobkomss, s.exfrss - 1.0f) * s.raomss * s.coss * s.kdomss[i] + 1.0f +
                 s.pez0hw * s.dwmp * s.kdmp[i] / s.warst[i];
        },
        c);
    if (r != init::Solve::Ok) fatal(init::solveFailure("wlitco", "initial dissolved concentration", i, r));
    s.co[i] = c;
    s.somp[i] = s.kdmp[i] * s.co[i];
    s.soss[i] = s.raomss * s.kdomss[i] * s.coobkomss * powf(s.co[i] / s.coobkomss, s.exfrss);
  }

  icwl(*this, "");
  icwl(*this, " Results of calculations from subroutine wlitco:");
  icwl(*this, " length exchanging perimeter, pez0hw:   (m)");
  icwl(*this, Ld().r(s.pez0hw));
  icwl(*this, " initial wetted area ditch for all nodes, warst(1-nxnotot):   (m2)");
  icwl(*this, Ld().ra(s.warst, 1, n));
  icwl(*this, " initial concentrations for all nodes");
  icwl(*this, " nodenr, total, dissolved, at macrophytes and at susp solids");
  icwl(*this, "     ixnotot    castwl(i)      co(i)          somp(i)  and   soss(i)");
  icwl(*this, "                (g.(m)-3       g.(m)-3        g.(g)-1        g.(g)-1)");
  for (int i = 1; i <= n; ++i) icwl(*this, Ld().n(i).r(s.castwl[i]).r(s.co[i]).r(s.somp[i]).r(s.soss[i]));
}

}  // namespace kirmel
