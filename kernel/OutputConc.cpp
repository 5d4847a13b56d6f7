// Concentration and distribution output: wlsoco.out, wbsco###.out,
// db###.out and dbdit.out, and the guard nozero for the percentages.
#include <cmath>
#include <initializer_list>

#include "kernel/Kernel.h"
#include "kernel/OutputCommon.h"

namespace kirmel {

namespace out {

std::string nodeFile(std::string_view tmpl, int i) {
  std::string name = Kernel::nodeFileName(tmpl, i);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

void openOut(Kernel& kn, int unit, const std::string& name) {
  if (kn.env().units().openWrite(unit, name)) return;
  kn.fatal({"", " Error: cannot create output file " + name + " in the working directory",
            " Program stops"});
}

void closeOut(Kernel& kn, int unit) {
  // A failure is noted by the unit table; the driver reports it and stops
  // the run after the step (Kernel::checkWrites).
  kn.env().units().close(unit);
}

void say(Kernel& kn, std::string_view line) {
  kn.env().say(line);
  kn.message(line);
}

}  // namespace out

using namespace out;

float Kernel::nozero(float x) { return x == 0.0f ? 1.0f : x; }

namespace out {

float percentOf(float part, float whole) {
  const float w = Kernel::nozero(whole);
  // The reciprocal of a whole this small would overflow; divide instead.
  if (std::fabs(w) < 1.0e-30f) return 100.0f * part / w;
  return 100.0f * part * (1.0f / w);
}

}  // namespace out

namespace {

// The fields of a concentration line after its position: the concentrations
// (E12.4), the total as a percentage of itself and each part as a percentage
// of the total (F6.2), then the time step.
void concentrationFields(std::string& r, const KernelState& s, std::initializer_list<float> concs,
                         float total, std::initializer_list<float> parts) {
  for (float c : concs) {
    fmt::X(r, 2);
    fmt::E(r, c, 12, 4);
  }
  fmt::X(r, 4);
  fmt::F(r, percentOf(total, total), 6, 2);
  for (float p : parts) {
    fmt::X(r, 2);
    fmt::F(r, percentOf(p, total), 6, 2);
  }
  fmt::X(r, 2);
  fmt::I(r, s.j, 6);
}

}  // namespace

void Kernel::wlsocoout() {
  UnitTable& units = env_.units();
  if (s.j == 0) {
    openOut(*this, kUnitWlsoco, "wlsoco.out");
    static constexpr std::string_view head[] = {
        "",
        " * Output of concentrations and distribution"
        " percentages",
        " * as a function of time for all"
        " segments of the water layer",
        " * ",
        " * Percentage of total present calculated from ",
        " * lineic mass (mass per running metre ditch)",
        " * ",
        " *<====>  <=>  <=======>    <= concentrations ======"
        "===========================>    <= distribution water "
        "layer =>  <====>",
        " *  time  segm  distance         total     dissolved"
        "   macrophytes   susp.solids      total dissol macroph"
        " susp.s.  timest",
        " *                                  c*             c"
        "           Xmp           Xss",
        " *     d               m         g.m-3         g.m-3"
        "         g.g-1         g.g-1         %       %       %"
        "      %",
        " *",
    };
    for (std::string_view h : head) units.writeLine(kUnitWlsoco, h);
  }
  if (isOutputTime(s.deltwl)) {
    const float t = days(s.j, s.deltwl);
    for (int i = 1; i <= s.nxnotot; ++i) {
      const float c = cwl(s, i);
      const float a = areaWl(s, i);
      const float xs = xss(s, i, c);
      const float xmp = s.kdmp[i] * c;
      const float ctot = s.coss * xs + s.pez0hw * s.dwmp * xmp / a + c;
      std::string& r = rec(s);
      fmt::F(r, t, 8, 3);
      fmt::X(r, 2);
      fmt::I(r, i, 3);
      fmt::X(r, 2);
      fmt::F(r, s.xcd[i], 9, 3);
      concentrationFields(r, s, {ctot, c, xmp, xs}, ctot,
                          {c, (s.pez0hw * s.dwmp / a) * xmp, s.coss * xs});
      units.writeLine(kUnitWlsoco, r);
    }
  }
  if (s.j == s.nt) closeOut(*this, kUnitWlsoco);
}

void Column::wbscoout() {
  if (s.j == 0) s.thtop = topThickness(s);
  const int l = selected(s, i);
  if (s.op_wbsconodenr != 1 || l == 0) return;
  const int unit = kBaseWbsco + l;
  if (s.j == 0) {
    openOut(kn_, unit, nodeFile("wbsco###.out", i));
    writeLine(unit, "");
    writeLine(unit,
              " * Output of concentrations and distribution"
              " percentages for the sediment subsystem");
    std::string& r = rec(c.rec);
    fmt::A(r, " * under segment ");
    fmt::I(r, i, 4);
    fmt::A(r, " of the water layer as a function of time and depth");
    writeLine(unit, r);
    rec(c.rec);
    fmt::A(r, " * (middle of segment is at");
    fmt::F(r, s.xcd[i], 9, 3);
    fmt::A(r, " m in waterbody)");
    writeLine(unit, r);
    writeLine(unit, " * ");
    writeLine(unit, " * Percentage of total present calculated from ");
    writeLine(unit, " * mass per volume sediment");
    writeLine(unit, " * ");
    rec(c.rec);
    fmt::A(r, " * Thickness top layer is");
    fmt::F(r, s.thtop * 1000.0f, 7, 2);
    fmt::A(r, " mm (upper ");
    fmt::I(r, s.ktop, 2);
    fmt::A(r, " sediment segments)");
    writeLine(unit, r);
    static constexpr std::string_view head[] = {
        " * ",
        " *<====>  <=>  <====>    <= concentrations =="
        "=================>    <= percentage =======>  "
        "<====>",
        " *  time  segm  depth         total     liq. phase  "
        "solid phase     total  liq.ph  sol.ph  timest",
        " *                               cb*           clb  "
        "         Xb",
        " *     d            m         g.m-3         g.m-3   "
        "     g.g-1          %       %       %",
        " *",
    };
    for (std::string_view h : head) writeLine(unit, h);
  }
  if (outWl_) {
    const float t = days(s.j, s.deltwl);
    // Sums over the top layer: weighted by thickness for the concentrations,
    // unweighted for the percentages.
    float sumct = 0.0f, sumcl = 0.0f, sumxb = 0.0f;
    float sumt = 0.0f, suml = 0.0f, sums = 0.0f;
    for (int k = 1; k <= s.nznotot; ++k) {
      const float cb = cwb(s, c, k);
      const float x = xb(s, k, cb);
      const float ct = cbtot(s, k, cb);
      const float liq = s.por[k] * cb;
      const float sol = s.bdwb[k] * x;
      if (k <= s.ktop) {
        sumct += ct * s.delz[k];
        sumcl += cb * s.delz[k];
        sumxb += x * s.delz[k];
        sumt += ct;
        suml += liq;
        sums += sol;
      }
      std::string& r = rec(c.rec);
      fmt::F(r, t, 8, 3);
      fmt::X(r, 2);
      fmt::I(r, k, 3);
      fmt::X(r, 2);
      fmt::F(r, s.zcd[k], 6, 4);
      concentrationFields(r, s, {ct, cb, x}, ct, {liq, sol});
      writeLine(unit, r);
    }
    std::string& r = rec(c.rec);
    fmt::F(r, t, 8, 3);
    fmt::X(r, 2);
    fmt::A(r, "top");
    fmt::X(r, 2);
    fmt::F(r, s.zcd[s.ktop], 6, 4);
    concentrationFields(r, s, {sumct / s.thtop, sumcl / s.thtop, sumxb / s.thtop}, sumt,
                        {suml, sums});
    writeLine(unit, r);
  }
  if (s.j == s.nt) closeOut(unit);
}

namespace {

// One data line of db###.out or dbdit.out, built in the record buffer r.
const std::string& dbLine(std::string& r, const KernelState& s, const float* m) {
  r.clear();
  fmt::F(r, days(s.j, s.deltwl), 8, 3);
  for (int n = 1; n <= 7; ++n) {
    fmt::X(r, 2);
    fmt::E(r, m[n], 10, 4);
  }
  fmt::X(r, 4);
  fmt::F(r, percentOf(m[1], m[1] + m[5]), 6, 2);
  fmt::X(r, 4);
  fmt::F(r, percentOf(m[5], m[1] + m[5]), 6, 2);
  fmt::X(r, 2);
  fmt::I(r, s.j, 6);
  return r;
}

constexpr std::string_view kDbHead5 =
    " *<====>  <= water layer ==========================="
    "===>  <= sediment ==================="
    "==>  <= whole system =>  <====>";

}  // namespace

void Column::dbout() {
  const int l = selected(s, i);
  const bool nodeFileOn = s.op_dbnodenr == 1 && l != 0;
  const int unit = kBaseDb + l;
  const int last = s.nxsefb + s.nxsedit;
  if (s.j == 0 && nodeFileOn) {
    openOut(kn_, unit, nodeFile("db###.out   ", i));
    writeLine(unit, "");
    writeLine(unit,
              " * Output of substance distribution in water layer"
              " and sediment");
    std::string& r = rec(c.rec);
    fmt::A(r, " * as a function of time at segment");
    fmt::I(r, i, 4);
    fmt::A(r, " of water layer (middle of segment is at");
    fmt::F(r, s.xcd[i], 9, 3);
    fmt::A(r, " m)");
    writeLine(unit, r);
    writeLine(unit, " *");
    writeLine(unit, kDbHead5);
    writeLine(unit,
              " *  time    total wl   dissolved    macroph.  sus"
              "p.solid  total sed.   dissolved  solid sed."
              "   wat.lyr  sediment  timest");
    writeLine(unit,
              " *     d      g.m'-1      g.m'-1      g.m'-1   "
              "   g.m'-1      g.m'-1      g.m'-1     "
              " g.m'-1         %         %");
    writeLine(unit, " *");
  }
  if (s.j == 0 && i == last && s.op_dbdit == 1) {
    openOut(kn_, kUnitDbdit, "dbdit.out");
    writeLine(kUnitDbdit, "");
    writeLine(kUnitDbdit,
              " * Output of substance distribution in water layer"
              " and sediment");
    writeLine(kUnitDbdit, " * as a function of time ");
    writeLine(kUnitDbdit, " *");
    writeLine(kUnitDbdit, kDbHead5);
    writeLine(kUnitDbdit,
              " *  time    total wl   dissolved    macroph.  sus"
              "p.solid  total sed.   dissolved   solid sed"
              "        wl  sediment  timest");
    writeLine(kUnitDbdit,
              " *     d           g           g           g      "
              "     g           g           g        "
              "   g         %         %");
    writeLine(kUnitDbdit, " *");
  }
  if (outWb_) {
    // Masses per metre of watercourse at node i.
    float m[8];
    const float cw = cwl(s, i);
    const float a = areaWl(s, i);
    const float xs = xss(s, i, cw);
    const float xmp = s.kdmp[i] * cw;
    const float ctot = s.coss * xs + s.pez0hw * s.dwmp * xmp / a + cw;
    m[1] = a * ctot;
    m[2] = a * cw;
    m[3] = s.pez0hw * s.dwmp * xmp;
    m[4] = s.coss * a * xs;
    float sedt = 0.0f, sedl = 0.0f, seds = 0.0f;
    for (int k = 1; k <= s.nzsewb; ++k) {
      const float cb = cwb(s, c, k);
      const float x = xb(s, k, cb);
      const float ct = s.bdwb[k] * x + s.por[k] * cb;
      sedt += ct * s.pe[k] * s.delz[k];
      sedl += s.por[k] * cb * s.pe[k] * s.delz[k];
      seds += s.bdwb[k] * x * s.pe[k] * s.delz[k];
    }
    m[5] = sedt;
    m[6] = sedl;
    m[7] = seds;
    if (nodeFileOn) writeLine(unit, dbLine(c.rec, s, m));
    for (int n = 1; n <= 7; ++n) s.dbmass[i][n] = m[n] * s.delx[i];
    if (i == last) dbdit();
    // A node file ends at its last output time.
    if (nodeFileOn && lastOutput(s, s.deltwb)) closeOut(unit);
  }
  if (s.j == s.nt) {
    if (nodeFileOn) closeOut(unit);
    if (i == last) closeOut(kUnitDbdit);
  }
}

// The line of the whole water body in dbdit.out: the sums of the masses
// that every column of the step has kept.
void Kernel::dbdit(int i) {
  if (s.op_dbdit != 1) return;
  float tot[8] = {};
  for (int ii = s.nxsefb + 1; ii <= i; ++ii)
    for (int n = 1; n <= 7; ++n) tot[n] += s.dbmass[ii][n];
  env_.units().writeLine(kUnitDbdit, dbLine(rec(s), s, tot));
}

}  // namespace kirmel
