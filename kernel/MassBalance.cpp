// Mass balances of the whole water layer (wlmb), of the selected water-body
// nodes (wlmbn) and of the sediment subsystems and the whole sediment (wbmb),
// with their files wlmb.out, wlmb###.out, wbmb###.out and wbmball.out and the
// warnings on missing mass.
#include <bit>
#include <cmath>
#include <cstdint>

#include "kernel/Echo.h"
#include "kernel/Kernel.h"
#include "kernel/OutputCommon.h"

namespace kirmel {

using namespace out;

namespace {

// Warnings on missing mass stop after this many per routine.
constexpr int kMaxWarnings = 20;

// Content on suspended solids (g/g) at dissolved concentration c.
float xssMb(const KernelState& s, int i, float c) {
  return s.kdfrss[i] * s.coobkomss * powf(c / s.coobkomss, s.exfrss);
}

// Mass per m3 of water: in solution, on suspended solids and on macrophytes.
float ctotWl(const KernelState& s, int i, float c, float a) {
  return c + s.coss * xssMb(s, i, c) + s.pez0hw * s.dwmp * s.kdmp[i] * c / a;
}

// Mobile concentration: dissolved plus sorbed to suspended solids.
float cmobile(const KernelState& s, int i, float c) { return c + s.coss * xssMb(s, i, c); }

// Total content per m3 of sediment of node k at pore-water concentration c,
// with pw = powf(c / coobkomwb, exfrwb) given.
float ctotWbPow(const KernelState& s, int k, float c, float pw) {
  return s.bdwb[k] * s.kdfrwb[k] * s.coobkomwb * pw + s.por[k] * c;
}

// Total content per m3 of sediment of node k at pore-water concentration c.
float ctotWb(const KernelState& s, int k, float c) {
  return ctotWbPow(s, k, c, powf(c / s.coobkomwb, s.exfrwb));
}

// Discharge (m3/s), with the sign of the flow velocity.
float discharge(const KernelState& s) { return s.u * s.warst[1]; }

// Exchange flux between node i of the water layer and the sediment for the
// whole node (g/s), positive when the water layer loses.
float sedimentFlux(const KernelState& s, int i) {
  const float c0 = s.cowlj[i];
  return s.qseif * s.leplot * c0 * s.delx[i] - ((s.cotopwl[i] - c0) * (1.0f / (s.delz[1] * 0.5f))) *
                                                   (s.kdfwbmh[1] * s.por[1] * s.delx[i] * s.pez0hw);
}

// Volatilisation of node i (g/s); a gain from the air is not counted.
float volatilisation(const KernelState& s, int i) {
  return std::fmin(-(s.cowlj[i] - s.coair / s.kh) * s.kvl * s.wiwsj[i] * s.delx[i], 0.0f);
}

// missing / inputs * 100 for inputs > 0.  Inputs so small against the
// missing mass that the quotient would overflow give a huge percentage of
// the right sign instead of a floating-point fault.
float ratioPercent(float missing, float inputs) {
  if (inputs < std::fabs(missing) * 1.0e-34f) return std::copysign(1.0e36f, missing);
  return missing / inputs * 100.0f;
}

float percentage(float missing, float inputs) {
  return inputs <= 0.0f ? 0.01f : ratioPercent(missing, inputs);
}

// A free-format console line holding one text.
void sayFree(Kernel& kn, std::string_view text) { kn.env().say(freeText(text)); }

void lineE(std::string& r, float v) {
  fmt::X(r, 2);
  fmt::E(r, v, 10, 4);
}

// Console part of a missing-mass warning: the warning word, which balance,
// and where the details are.
void sayMissing(Kernel& kn, std::string_view warning, std::string_view balance) {
  sayFree(kn, warning);
  sayFree(kn, " More than 0.1% mass missing in ");
  sayFree(kn, balance);
  sayFree(kn, " see message.out ");
}

// Opening of a missing-mass warning in the message file: two blank lines,
// then the percentage missing and what it is a percentage of.
void warnHead(Kernel& kn, KernelState& s, float pct, std::string_view of) {
  kn.message("");
  kn.message("");
  std::string& r = rec(s);
  fmt::A(r, " Warning:");
  fmt::E(r, pct, 12, 5);
  fmt::A(r, of);
  kn.message(r);
}

// Closing of a missing-mass warning in the message file: the time step, the
// missing mass and the inputs under the names given, and the file to look in.
void warnTail(Kernel& kn, KernelState& s, float dt, std::string_view missingName, float missing,
              std::string_view inputsName, float inputs, std::string_view see) {
  std::string& r = rec(s);
  fmt::A(r, " at timestep");
  fmt::I(r, s.j, 8);
  fmt::A(r, " (");
  fmt::F(r, days(s.j, dt), 6, 2);
  fmt::A(r, " day)");
  kn.message(r);
  rec(s);
  fmt::A(r, missingName);
  fmt::E(r, missing, 10, 3);
  fmt::A(r, " g and");
  kn.message(r);
  rec(s);
  fmt::A(r, inputsName);
  fmt::E(r, inputs, 10, 3);
  fmt::A(r, " g");
  kn.message(r);
  kn.message(see);
  kn.message("");
}

}  // namespace

void Kernel::wlmb() {
  UnitTable& units = env_.units();
  const int n = s.nxnotot;
  if (s.j == 0) {
    s.cuinsl = s.cuinwb = s.cuoutwb = s.cuvol = s.cutrf = s.cuoute = s.cuoutf = 0.0f;
    s.nwwlmb = 0;
    if (s.op_wlmb == 1) {
      openOut(*this, kUnitWlmb, "wlmb.out");
      static constexpr std::string_view head[] = {
          "",
          " * Output of mass balance of the entire water layer",
          " * as a function of time ",
          " * ",
          " * Mass balance, percentage of initial, loaded and "
          "incoming mass from the sediment",
          " *",
          " *<====>  <= positive terms ===>  <= negative terms"
          "=================================================="
          "==>  <====================>  <====>",
          " *  time init.+load.   from sed.   remaining   to "
          "sedim.    volatil.     transf.     out end   out "
          "front     balance     balance  timest",
          " *     d           g           g           g      "
          "     g           g           g           g        "
          "   g           g           %",
          " *",
      };
      for (std::string_view h : head) units.writeLine(kUnitWlmb, h);
    }
  }

  // Input of the step: initial mass at time 0, loadings at every step.
  float input = 0.0f;
  if (s.j == 0)
    for (int i = 1; i <= n; ++i) input += s.castwl[i] * s.warst[i] * s.delx[i];
  for (int i = 1; i <= n; ++i)
    if (s.load[i] > 0.0f) input += s.load[i] * areaWl(s, i) * s.delx[i];

  // Fluxes of the step from the old level.
  float fneg = 0.0f, fpos = 0.0f, vol = 0.0f, trf = 0.0f, oute = 0.0f, outf = 0.0f;
  if (s.j >= 1) {
    for (int i = s.nxsefb + 1; i <= s.nxsefb + s.nxsedit; ++i) {
      const float f = sedimentFlux(s, i);
      fneg += std::fmin(f, 0.0f);
      fpos += std::fmax(f, 0.0f);
      vol += volatilisation(s, i);
      const float c0 = s.cowlj[i];
      if (c0 > 0.0f) {
        const float a0 = s.warj[i];
        const float ctot = (s.coss * s.kdfrss[i] * powf(c0 / s.coobkomss, s.exfrss - 1.0f) +
                            s.pez0hw * s.dwmp * s.kdmp[i] / a0 + 1.0f) *
                           c0;
        trf -= s.ktwl * ctot * a0 * s.delx[i];
      }
    }
    const float q = discharge(s);
    oute = std::fmax(cmobile(s, n, s.cowlj[n]) * q, 0.0f);
    outf = std::fmin(cmobile(s, 1, s.cowlj[1]) * q, 0.0f);
  }

  // Mass present now.
  float rem = 0.0f;
  for (int i = 1; i <= n; ++i) {
    const float c = cwl(s, i);
    const float a = areaWl(s, i);
    rem += ctotWl(s, i, c, a) * a * s.delx[i];
  }

  const float dt = s.deltwl;
  s.cuinsl += input;
  s.cuinwb += fneg * dt;
  s.cuoutwb += fpos * dt;
  s.cuvol += vol * dt;
  s.cutrf += trf * dt;
  s.cuoute += oute * dt;
  s.cuoutf += outf * dt;
  const float inputs = s.cuinsl - s.cuinwb;
  s.qumwl = inputs - s.cuoutwb + s.cuvol + s.cutrf - s.cuoute + s.cuoutf - rem;
  const float pct = percentage(s.qumwl, inputs);

  if (s.nwwlmb < kMaxWarnings && std::fabs(pct) > 0.1f) {
    ++s.nwwlmb;
    ++s.nwarn;
    sayMissing(*this, " Warning: ", " mass balance water layer; ");
    warnHead(*this, s, pct, "% of initial and loadings plus accumulated mass incoming from sediment");
    message(" is missing in the mass balance of the water layer");
    warnTail(*this, s, s.deltwl, " qumwl =", s.qumwl, " cuinsl-cuinwb =", inputs,
             " See output in wlmb.out");
  }

  if (s.op_wlmb == 1) {
    if (isOutputTime(s.deltwl)) {
      std::string& r = rec(s);
      fmt::F(r, days(s.j, s.deltwl), 8, 3);
      lineE(r, s.cuinsl);
      lineE(r, std::fabs(s.cuinwb));
      lineE(r, rem);
      lineE(r, -s.cuoutwb);
      lineE(r, s.cuvol);
      lineE(r, s.cutrf);
      lineE(r, -s.cuoute);
      lineE(r, s.cuoutf);
      lineE(r, s.qumwl);
      lineE(r, pct);
      fmt::X(r, 2);
      fmt::I(r, s.j, 6);
      units.writeLine(kUnitWlmb, r);
    }
    if (s.j == s.nt) {
      units.writeLine(kUnitWlmb, "");
      units.writeLine(kUnitWlmb, "");
      closeOut(*this, kUnitWlmb);
    }
  }
}

void Kernel::wlmbn() {
  UnitTable& units = env_.units();
  const int n = s.nxnotot;
  if (s.j == 0) s.nwwlmbn = 0;
  for (int m = 1; m <= s.nwbsy && m <= MSUB; ++m) {
    const int i = s.iwbsy[m];
    if (!isWaterBodyNode(s, i) || selected(s, i) != m) continue;
    const int unit = kBaseWlmbn + m;
    const float dx = s.delx[i];

    if (s.j == 0) {
      s.cuinsln[i] = s.cuinfn[i] = s.cuinen[i] = s.cuinwbn[i] = 0.0f;
      s.cuouten[i] = s.cuoutfn[i] = s.cuoutwbn[i] = s.cuvoln[i] = s.cutrfn[i] = 0.0f;
      if (s.op_wlmbnodenr == 1) {
        openOut(*this, unit, nodeFile("wlmb###.out ", i));
        units.writeLine(unit, "");
        std::string& r = rec(s);
        fmt::A(r, " * Output of mass balance of segment");
        fmt::I(r, i, 4);
        fmt::A(r, " of the ");
        units.writeLine(unit, r);
        rec(s);
        fmt::A(r, " * water layer as a function of time (middle of segment is at ");
        fmt::F(r, s.xcd[i], 9, 3);
        fmt::A(r, " m) ");
        units.writeLine(unit, r);
        static constexpr std::string_view head[] = {
            " * ",
            " * Mass balance per running metre of the water body",
            " * percentage of initial, loaded and"
            " incoming mass from the sediment",
            " *",
            " *<====>  <= positive terms ======================"
            "=====>  <= negative terms"
            "=================================================="
            "==>  <====================>  <====>",
            " *  time init.+load.    in front      in end   from"
            " sed.   remaining     out end   out front   to "
            "  sed.    volatil.     transf."
            "     balance     balance  timest",
            " *     d      g.m'-1      g.m'-1      g.m'-1"
            "      g.m'-1      g.m'-1      g.m'-1"
            "      g.m'-1      g.m'-1      g.m'-1"
            "      g.m'-1      g.m'-1           %",
            " *",
        };
        for (std::string_view h : head) units.writeLine(unit, h);
      }
    }

    // Input of the step.
    float input = 0.0f;
    if (s.j == 0 && s.castwl[i] > 0.0f) input += s.castwl[i] * s.warst[i] * dx;
    if (s.load[i] > 0.0f) input += s.load[i] * areaWl(s, i) * dx;

    float infront = 0.0f, outfront = 0.0f, inend = 0.0f, outend = 0.0f;
    float fromsed = 0.0f, tosed = 0.0f, vol = 0.0f, trf = 0.0f;
    if (s.j >= 1) {
      const float q = discharge(s);
      const float c0 = s.cowlj[i];
      const float xs = xssMb(s, i, c0);
      const float cw = cmobile(s, i, c0);
      // Upstream face, positive into the node.
      float fup;
      if (i > 1) {
        const float w = s.nwwmh[i];
        const float xf = w * xs + (1.0f - w) * xssMb(s, i - 1, s.cowlj[i - 1]);
        const float cf = w * c0 + (1.0f - w) * s.cowlj[i - 1];
        fup = (s.coss * xf + cf) * q - (cw - cmobile(s, i - 1, s.cowlj[i - 1])) * s.warjimh[i] *
                                           s.kdswcljimh[i] / ((dx + s.delx[i - 1]) * 0.5f);
      } else {
        fup = q < 0.0f ? cw * q : 0.0f;
      }
      // Downstream face, positive out of the node.
      float fdn;
      if (i < n) {
        const float w = s.nwwph[i];
        const float xf = w * xssMb(s, i + 1, s.cowlj[i + 1]) + (1.0f - w) * xs;
        const float cf = w * s.cowlj[i + 1] + (1.0f - w) * c0;
        fdn = (s.coss * xf + cf) * q - (cmobile(s, i + 1, s.cowlj[i + 1]) - cw) * s.warjiph[i] *
                                           s.kdswcljiph[i] / ((s.delx[i + 1] + dx) * 0.5f);
      } else {
        fdn = q >= 0.0f ? cw * q : 0.0f;
      }
      infront = std::fmax(fup, 0.0f);
      outfront = std::fmin(fup, 0.0f);
      inend = std::fmin(fdn, 0.0f);
      outend = std::fmax(fdn, 0.0f);
      const float f = sedimentFlux(s, i);
      fromsed = std::fmin(f, 0.0f);
      tosed = std::fmax(f, 0.0f);
      vol = volatilisation(s, i);
      if (c0 > 0.0f) trf = -s.ktwl * ctotWl(s, i, c0, s.warj[i]) * s.warj[i] * dx;
    }
    const float a = areaWl(s, i);
    const float rem = ctotWl(s, i, cwl(s, i), a) * a * dx;

    const float dt = s.deltwl;
    s.cuinsln[i] += input;
    s.cuinfn[i] += infront * dt;
    s.cuinen[i] += inend * dt;
    s.cuinwbn[i] += fromsed * dt;
    s.cuouten[i] += outend * dt;
    s.cuoutfn[i] += outfront * dt;
    s.cuoutwbn[i] += tosed * dt;
    s.cuvoln[i] += vol * dt;
    s.cutrfn[i] += trf * dt;
    const float inputs = s.cuinsln[i] + s.cuinfn[i] - s.cuinen[i] - s.cuinwbn[i];
    const float qumn =
        inputs - s.cuouten[i] + s.cuoutfn[i] - s.cuoutwbn[i] + s.cuvoln[i] + s.cutrfn[i] - rem;
    const float pct = percentage(qumn, inputs);

    if (s.nwwlmbn < kMaxWarnings && qumn > 1.0e-20f && std::fabs(pct) > 0.1f) {
      ++s.nwwlmbn;
      ++s.nwarn;
      warnHead(*this, s, pct, " % of initial mass, loadings plus incoming mass ");
      std::string& r = rec(s);
      fmt::A(r, " is missing in the mass balance of node ");
      fmt::I(r, i, 8);
      fmt::A(r, " of the water layer");
      message(r);
      warnTail(*this, s, s.deltwl, " qumn =", qumn, " (cuinsln+cuinfn-cuinen-cuinwbn) =", inputs,
               " See output in wlmb###.out");
    }

    if (s.op_wlmbnodenr == 1) {
      if (isOutputTime(s.deltwb)) {
        std::string& r = rec(s);
        fmt::F(r, days(s.j, s.deltwl), 8, 3);
        lineE(r, s.cuinsln[i] / dx);
        lineE(r, std::fabs(s.cuinfn[i]) / dx);
        lineE(r, std::fabs(s.cuinen[i]) / dx);
        lineE(r, std::fabs(s.cuinwbn[i]) / dx);
        lineE(r, rem / dx);
        lineE(r, -s.cuouten[i] / dx);
        lineE(r, s.cuoutfn[i] / dx);
        lineE(r, -s.cuoutwbn[i] / dx);
        lineE(r, s.cuvoln[i] / dx);
        lineE(r, s.cutrfn[i] / dx);
        lineE(r, qumn / dx);
        lineE(r, pct);
        fmt::X(r, 2);
        fmt::I(r, s.j, 6);
        units.writeLine(unit, r);
      }
      if (s.j == s.nt) closeOut(*this, unit);
    }
  }
}

namespace {

// Heading lines 9 to 10 shared by wbmb###.out and wbmball.out.
constexpr std::string_view kWbmbHead9 =
    " *<====>  <= positive terms ===============>  <="
    " negative terms ==========================="
    ">  <====================>  <========>  <====>";
constexpr std::string_view kWbmbHead10 =
    " *  time     initial     from wl     seepage   rem"
    "aining       to wl  percolated     transf."
    "     balance     balance   top layer  timest";
constexpr std::string_view kWbmbHead5 =
    " * Mass balance, percentage of initial and "
    "incoming mass (from water layer and upward seepage)";

// A data line of wbmb###.out or wbmball.out, built in the record buffer r.
// v: initial, top layer, remaining, from wl, seepage, percolated, to wl, transf.
const std::string& wbmbLine(std::string& r, const KernelState& s, const float* v, float missing,
                            float pct) {
  rec(r);
  fmt::F(r, days(s.j, s.deltwb), 8, 3);
  lineE(r, v[1]);
  lineE(r, v[4]);
  lineE(r, std::fabs(v[5]));
  lineE(r, v[3]);
  lineE(r, v[7]);
  lineE(r, -v[6]);
  lineE(r, v[8]);
  lineE(r, missing);
  lineE(r, pct);
  lineE(r, v[2]);
  fmt::X(r, 2);
  fmt::I(r, s.j, 6);
  return r;
}

const std::string& thicknessLine(std::string& r, const KernelState& s) {
  rec(r);
  fmt::A(r, " * Thickness of selected top layer is");
  fmt::F(r, topThickness(s) * 1000.0f, 8, 2);
  fmt::A(r, " mm");
  return r;
}

}  // namespace

void Column::wbmb() {
  OutState::WbBalance& b = s.wbbal[i];
  const int first = s.nxsefb + 1;
  const int l = selected(s, i);
  const bool nodeFileOn = s.op_wbmbnodenr == 1 && l != 0;
  const int unit = kBaseWbmb + l;

  if (s.j == 0) {
    if (i == first) wbmbReset();
    b = OutState::WbBalance{};
    if (nodeFileOn) {
      openOut(kn_, unit, nodeFile("wbmb###.out ", i));
      writeLine(unit, "");
      std::string& r = rec(c.rec);
      fmt::A(r, " * Output of mass balance of the sediment subsystem under segment");
      fmt::I(r, i, 4);
      fmt::A(r, " of water layer");
      writeLine(unit, r);
      rec(c.rec);
      fmt::A(r, " * as a function of time at  (middle of segment is at ");
      fmt::F(r, s.xcd[i], 9, 3);
      fmt::A(r, " m)");
      writeLine(unit, r);
      writeLine(unit, " * ");
      writeLine(unit, kWbmbHead5);
      writeLine(unit, " *");
      writeLine(unit, thicknessLine(c.rec, s));
      writeLine(unit, " *");
      writeLine(unit, kWbmbHead9);
      writeLine(unit, kWbmbHead10);
      writeLine(unit,
                " *     d      g.m'-1      g.m'-1      g.m'-1"
                "      g.m'-1      g.m'-1      g.m'-1      "
                "g.m'-1      g.m'-1           %      g.m'-1");
      writeLine(unit, " *");
    }
  }

  // Fluxes of the step from the old level (g per m per s).
  float fromwl = 0.0f, towl = 0.0f, perc = 0.0f, trf = 0.0f;
  const float seep = 0.0f;
  if (s.j >= 1) {
    const float c0 = s.cowlj[i];
    const float fb = s.qseif * s.leplot * c0 - ((c.cowbj[1] - c0) / (s.delz[1] * 0.5f)) *
                                                   s.pormh[1] * s.pemh[1] * s.kdfwbmh[1];
    fromwl = std::fmax(fb, 0.0f);
    towl = std::fmin(fb, 0.0f);
    perc = std::fmax(s.qseif, 0.0f) * s.leplot * c.cowbj[s.nznotot];
  }

  // The initial mass is the same at every step.
  if (s.j == 0) {
    s.wbinit = 0.0f;
    for (int k = 1; k <= s.nznotot; ++k) s.wbinit += s.castwb[k] * s.pe[k] * s.delz[k];
  }
  const float initial = s.wbinit;
  // Transformation in the step, from the old level, and the mass present now.
  // The old profile is the previous step's new one, whose contents this
  // routine kept: they are taken again where the concentration is the same.
  float rem = 0.0f, top = 0.0f;
  // The powers of the new level first, one call after the other.
  for (int k = 1; k <= s.nznotot; ++k) c.pw[k] = powf(cwb(s, c, k) / s.coobkomwb, s.exfrwb);
  for (int k = 1; k <= s.nznotot; ++k) {
    if (s.j >= 1 && k <= s.nzsewb) {
      const float cb = c.cowbj[k];
      const float ctot = std::bit_cast<std::uint32_t>(cb) == s.wbcapc[i][k] ? s.wbcapv[i][k] : ctotWb(s, k, cb);
      trf -= s.ktwb * ctot * s.pe[k] * s.delz[k];
    }
    const float cb = cwb(s, c, k);
    const float ctot = ctotWbPow(s, k, cb, c.pw[k]);
    s.wbcapc[i][k] = std::bit_cast<std::uint32_t>(cb);
    s.wbcapv[i][k] = ctot;
    const float m = ctot * s.pe[k] * s.delz[k];
    rem += m;
    if (k <= s.ktop) top += m;
  }

  const float dt = s.deltwb;
  b.cuinwl += fromwl * dt;
  b.cuus += seep * dt;
  b.cuperc += perc * dt;
  b.cuoutwl += towl * dt;
  b.cutrfwb += trf * dt;
  const float inputs = initial + b.cuinwl - b.cuus;
  const float qumwb = inputs - b.cuperc + b.cuoutwl + b.cutrfwb - rem;
  const float pct = inputs <= 0.0f ? 0.0f : ratioPercent(qumwb, inputs);

  // Whether the warning is written depends on the warnings of the columns
  // before; none is once the limit has been reached.
  if (qumwb > 1.0e-20f && s.nwwbmb < kMaxWarnings && std::fabs(pct) > 0.1f) wbmbWarning(pct, qumwb, inputs);

  // Substance leaving through the bottom.
  if (perc > 0.0f) bottomWarning();

  const float v[9] = {0.0f,      initial,     top,          rem,         b.cuinwl,
                      b.cuus, b.cuperc, b.cuoutwl, b.cutrfwb};
  if (nodeFileOn) {
    if (outWb_) writeLine(unit, wbmbLine(c.rec, s, v, qumwb, pct));
    if (s.j == s.nt) closeOut(unit);
  }

  // Whole sediment.
  wbTotal(v);
}

// The warning on missing mass in the sediment subsystem of node i, while
// fewer than the limit have been given.
void Kernel::wbmbWarning(int i, float pct, float qumwb, float inputs) {
  if (s.nwwbmb >= kMaxWarnings) return;
  ++s.nwwbmb;
  ++s.nwarn;
  sayMissing(*this, " Warning:", " mass balance of one sediment subsystem; ");
  warnHead(*this, s, pct, "% of initial mass plus accumulated mass incoming");
  message(" from water layer and by upward seepage is missing in the mass balance");
  std::string& r = rec(s);
  fmt::A(r, " of the sediment subsystem under node");
  fmt::I(r, i, 8);
  fmt::A(r, " of wl");
  message(r);
  warnTail(*this, s, s.deltwb, " qumwb =", qumwb, " totmwbst+cuinwl-cuus =", inputs,
           " See or make output in wbmb###.out");
}

// Substance leaving through the bottom of a subsystem: every occurrence
// counts as a warning; the first kMaxWarnings are written, then one line
// says that the rest are counted only.
void Kernel::bottomWarning() {
  ++s.nwarn;
  ++s.nwbottom;
  if (s.nwbottom <= kMaxWarnings) {
    say(*this, "");
    say(*this, "");
    say(*this, " Warning: ");
    say(*this, " substance leaving bottom segment");
    std::string& r = rec(s);
    fmt::A(r, " of sediment at ");
    fmt::F(r, days(s.j, s.deltwb), 7, 3);
    fmt::A(r, " d");
    say(*this, r);
  } else if (s.nwbottom == kMaxWarnings + 1) {
    say(*this, "");
    say(*this, " Further warnings of substance leaving bottom segment are counted, not written");
  }
}

// The resetting of the sediment balance's warning counts at step 0.
void Kernel::wbmbReset() {
  s.nwwbmb = 0;
  s.nwbottom = 0;
}

// The share of the subsystem of node i in the balance of the whole
// sediment (v: initial, top layer, remaining, from wl, seepage, percolated,
// to wl, transformed, per m of watercourse), summed in the order of the
// nodes; the last node writes wbmball.out.
void Kernel::wbTotal(int i, const float* v) {
  UnitTable& units = env_.units();
  const int first = s.nxsefb + 1;
  const int last = s.nxsefb + s.nxsedit;
  const float dx = s.delx[i];
  if (i == first)
    for (int n = 1; n <= 8; ++n) s.wbtot[n] = 0.0f;
  for (int n = 1; n <= 8; ++n) s.wbtot[n] += v[n] * dx;
  if (i != last) return;
  const float* w = s.wbtot;
  const float tin = w[4] + w[1] - w[5];
  const float tmiss = tin - w[6] + w[7] + w[8] - w[3];
  const float tdiv = nozero(tin);
  const float tpct = std::fabs(tdiv) < std::fabs(tmiss) * 1.0e-34f
                         ? std::copysign(1.0e36f, tmiss * tdiv)
                         : tmiss * 100.0f / tdiv;
  if (s.op_wbmball != 1) return;
  if (s.j == 0) {
    openOut(*this, kUnitWbmball, "wbmball.out");
    units.writeLine(kUnitWbmball, "");
    units.writeLine(kUnitWbmball,
                    " * Output of mass balance of the entire sediment"
                    " (all sediment subsystems of waterbody)");
    units.writeLine(kUnitWbmball, " * as a function of time ");
    units.writeLine(kUnitWbmball, " * ");
    units.writeLine(kUnitWbmball, kWbmbHead5);
    units.writeLine(kUnitWbmball, " *");
    units.writeLine(kUnitWbmball, thicknessLine(rec(s), s));
    units.writeLine(kUnitWbmball, " *");
    units.writeLine(kUnitWbmball, kWbmbHead9);
    units.writeLine(kUnitWbmball, kWbmbHead10);
    units.writeLine(kUnitWbmball,
                    " *     d           g           g           g      "
                    "     g           g           g           g        "
                    "   g           %           g");
    units.writeLine(kUnitWbmball, " *");
  }
  if (isOutputTime(s.deltwb)) units.writeLine(kUnitWbmball, wbmbLine(rec(s), s, s.wbtot, tmiss, tpct));
  if (s.j == s.nt) closeOut(*this, kUnitWbmball);
}

}  // namespace kirmel
