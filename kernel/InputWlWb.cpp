// Water-layer (wlin) and sediment (wbin) input: the time grid, the node
// grids with their buffers, the physical parameters, the initial
// concentrations, their consistency checks and echo sections.
#include <cmath>

#include "kernel/Echo.h"
#include "kernel/Kernel.h"
#include "platform/Format.h"

namespace kirmel {

namespace {

// Midpoints of nodes 1 .. n of one zone from their lengths, measured from the
// upstream (or upper) end of the zone.
void midpoints(const float* len, float* xcd, int n) {
  if (n < 1) return;
  xcd[1] = len[1] / 2.0f;
  for (int m = 2; m <= n; ++m) xcd[m] = xcd[m - 1] + (len[m - 1] + len[m]) / 2.0f;
}

// Sum of lengths 1 .. n in double: the consistency checks must not report
// rounding of a long float sum as an input error.
double sumLengths(const float* len, int n) {
  double sum = 0.0;
  for (int m = 1; m <= n; ++m) sum += static_cast<double>(len[m]);
  return sum;
}

}  // namespace

// Counted error: the number of values in a file differs from the declared count.
void Kernel::arrayLengthError(const std::string& path, std::string_view name) {
  message("");
  message("");
  message(" Error in input " + pad100(path));
  message(" actual length array " + std::string(name) + " is not equal");
  message(" to declared length, please correct data");
  ++s.nerr;
}

void Kernel::wlin() {
  UnitTable& units = env_.units();
  echo("");
  echo(" All input data from wlin:");
  if (s.op_icwlhy == 1) {
    if (!units.openWrite(23, "icwlhy.out"))
      fatal({" Error: cannot create the initial-calculation file icwlhy.out in the working directory"});
    units.writeLine(23, dateLine());
    units.writeLine(23, " Output of initial calculations water layer and hydrology:");
    units.writeLine(23, "");
  }

  // ---- numerics ----
  rd_.RDINIT(83, 21, s.wlnuinp);
  rd_.RDSRER("betawl", 0.0f, 1.0f, s.betawl);
  rd_.RDSRER("thetawl", 0.0f, 1.0f, s.thetawl);
  echo("");
  echo(" Input from " + pad100(s.wlnuinp) + ":");
  echo(" Section 1: Numerical weight factors   (no dimensions)");
  echo(Ld().r(s.betawl).r(s.thetawl));

  rd_.RDSRER("deltwl", 1.0f, 86400.0f, s.deltwl);
  if (amod(86400.0f, s.deltwl) > 0.5f) {
    message("");
    message("");
    message(" Error in input " + pad100(s.wlnuinp));
    message(" multiple of simulation timestep deltwl");
    message(" is not equal to one day (86400 s) ");
    ++s.nerr;
  }

  // The output interval must be a whole number of time steps.
  const float rem = amod(s.deltout, s.deltwl);
  if (rem > 0.5f) {
    const float old = s.deltout;
    s.deltout = s.deltout - rem;
    // An interval shorter than one step would leave no output time at all.
    if (s.deltout < s.deltwl) s.deltout = s.deltwl;
    std::string line = " therefore deltout = ";
    fmt::F(line, old / 86400.0f, 7, 4);
    line += " d is replaced by deltout = ";
    fmt::F(line, s.deltout / 86400.0f, 7, 4);
    line += " d";
    message("");
    message("");
    message(" Warning: timestep for output (deltout) is not");
    message(" a multiple of calculation timestep deltwl,");
    message(line);
    ++s.nwarn;
  } else if (rem > 0.0f) {
    // A fraction of a second off a multiple (a day fraction that is not
    // exact in single precision): take the exact multiple.
    s.deltout = s.deltout - rem;
  }

  rd_.RDSRER("ttot", 0.1f, 510.0f, s.ttot);
  echo(" Section 2: Time parameters    (s, resp d)");
  echo(Ld().r(s.deltwl).r(s.ttot));
  s.ttot = s.ttot * 86400.0f;
  s.nt = static_cast<int>(s.ttot / s.deltwl) + 1;

  rd_.RDSRER("xdit", 0.05f, 10000.0f, s.xdit);
  rd_.RDSRER("xfb", 0.0f, 1000.0f, s.xfb);
  rd_.RDSRER("xeb", 0.0f, 1000.0f, s.xeb);
  echo(" Section 3: Space parameters     (m)");
  echo(Ld().r(s.xdit).r(s.xfb).r(s.xeb));

  rd_.RDSINR("nxsedit", 1, MXDIT, s.nxsedit);
  rd_.RDSINR("nxsefb", 0, MXFB, s.nxsefb);
  rd_.RDSINR("nxseeb", 0, MXEB, s.nxseeb);
  echo(" Section 4: Number segments   (no dimensions)");
  echo(Ld().n(s.nxsedit).n(s.nxsefb).n(s.nxseeb));

  int ifnd = 0;
  if (s.nxsefb > 0) {
    rd_.RDARER("lesefb", 0.0f, 1000.0f, &s.lesefb[1], MXFB, ifnd);
    midpoints(s.lesefb, s.xcdfb, s.nxsefb);
    for (int m = 1; m <= s.nxsefb; ++m) s.delx[m] = s.lesefb[m];
    if (s.nxsefb != ifnd) arrayLengthError(s.wlnuinp, "lesefb");
  }

  rd_.RDARER("lesedit", 0.05f, 1000.0f, &s.lesedit[1], MXDIT, ifnd);
  midpoints(s.lesedit, s.xcddit, s.nxsedit);
  for (int m = 1; m <= s.nxsedit; ++m) s.delx[s.nxsefb + m] = s.lesedit[m];
  if (s.nxsedit != ifnd) arrayLengthError(s.wlnuinp, "lesedit");
  if (std::fabs(sumLengths(s.lesedit, s.nxsedit) - static_cast<double>(s.xdit)) > 0.005) {
    message("");
    message("");
    message(" Error in input " + pad100(s.wlnuinp));
    message(" cumulative length of segments in ditch is not equal");
    message(" to declared length, please correct data");
    ++s.nerr;
  }

  if (s.nxseeb > 0) {
    rd_.RDARER("leseeb", 0.0f, 1000.0f, &s.leseeb[1], MXEB, ifnd);
    midpoints(s.leseeb, s.xcdeb, s.nxseeb);
    for (int m = 1; m <= s.nxseeb; ++m) s.delx[s.nxsefb + s.nxsedit + m] = s.leseeb[m];
    if (s.nxseeb != ifnd) arrayLengthError(s.wlnuinp, "leseeb");
  }
  echo(" Section 5: Lengths segments     (m)");
  echo(Ld().ra(s.lesefb, 1, s.nxsefb));
  echo(Ld().ra(s.lesedit, 1, s.nxsedit));
  echo(Ld().ra(s.leseeb, 1, s.nxseeb));
  units.close(83);

  // ---- parameters ----
  rd_.RDINIT(85, 21, s.wlpainp);
  rd_.RDSRER("wibot", 0.05f, 100.0f, s.wibot);
  rd_.RDSRER("sisl", 1.0e-5f, 10.0f, s.sisl);
  rd_.RDSRER("wdhfl", 0.0f, 2.0f, s.wdhfl);
  echo("");
  echo(" Input from " + pad100(s.wlpainp) + ":");
  echo(" Section 1: geometry ditch   (m, dimensionless, resp m)");
  echo(Ld().r(s.wibot).r(s.sisl).r(s.wdhfl));
  s.pez0hw = s.wibot + 2.0f * s.wdhfl * sqrtf(1.0f + s.sisl * s.sisl);

  rd_.RDSRER("leplot", 1.0f, 1000.0f, s.leplot);
  echo(" Section 2: Geometry neighbouring plot     (m)");
  echo(Ld().r(s.leplot));
  rd_.RDSRER("coss", 1.0f, 1.0e5f, s.coss);
  rd_.RDSRER("raomss", 0.0f, 1.0f, s.raomss);
  echo(" Section 3: Concentration and org. matter susp.solids   (g/m^3, dimensionless");
  echo(Ld().r(s.coss).r(s.raomss));
  rd_.RDSRER("dwmp", 0.0f, 1000.0f, s.dwmp);
  echo(" Section 4: Amount macrophytes    (g/m^2");
  echo(Ld().r(s.dwmp));
  units.close(85);

  // ---- initial state ----
  rd_.RDINIT(87, 21, s.wlstinp);
  rd_.RDARER("castwl", 0.0f, 100.0f, &s.castwl[1], MXNODE, ifnd);
  s.nxnotot = s.nxsefb + s.nxsedit + s.nxseeb;
  if (s.nxnotot != ifnd) arrayLengthError(s.wlstinp, "castwl");
  echo("");
  echo(" Input from " + pad100(s.wlstinp) + ":");
  echo(" Section 1: Initial concentrations (g/m^3)");
  echo(Ld().ra(s.castwl, 1, s.nxnotot));
  rd_.RDSRER("coair", 0.0f, 0.0f, s.coair);
  echo(" section 3: Background concentration    (g/m^3)");
  echo(Ld().r(s.coair));
  units.close(87);
}

void Kernel::wbin() {
  UnitTable& units = env_.units();

  // ---- numerics ----
  rd_.RDINIT(89, 21, s.wbnuinp);
  echo("");
  echo("");
  echo(" All input data from wbin:");
  rd_.RDSRER("betawb", 0.0f, 1.0f, s.betawb);
  rd_.RDSRER("thetawb", 0.0f, 1.0f, s.thetawb);
  echo("");
  echo(" Input from " + pad100(s.wbnuinp) + ":");
  echo(" Section 1: Numerical weight factors   (no dimensions)");
  echo(Ld().r(s.betawb).r(s.thetawb));

  rd_.RDSRER("deltwb", 1.0f, 86400.0f, s.deltwb);
  if (std::fabs(s.deltwb - s.deltwl) > 0.5f) {
    message("");
    message("");
    message(" Error in " + pad100(s.wbnuinp) + ":");
    message(" deltwb should be equal to deltwl in KIRMEL 1.0 !");
    message(" Program stops");
    env_.say(Ld().t(" Error in " + pad100(s.wbnuinp) + ":").str());
    env_.say(Ld().t(" Deltwb should be equal to deltwl in KIRMEL 1.0").str());
    env_.say(Ld().t(" Programs stops").str());
    env_.say("Stop - Program terminated.");
    env_.stop(1);
  }
  echo(" Section 2: Time parameters       (s)");
  echo(Ld().r(s.deltwb));

  rd_.RDSRER("zwb", 0.001f, 0.5f, s.zwb);
  rd_.RDSRER("zebb", 0.0f, 0.5f, s.zebb);
  echo(" Section 3: Space parameters       (m)");
  echo(Ld().r(s.zwb).r(s.zebb));

  rd_.RDSINR("nzsewb", 1, MZSED, s.nzsewb);
  rd_.RDSINR("nzseebb", 0, MZBB, s.nzseebb);
  if (s.nzsewb < s.ktop) {
    std::string line = " ktop is corrected from ";
    fmt::I(line, s.ktop, 3);
    line += " to ";
    fmt::I(line, s.nzsewb, 3);
    message("");
    message("");
    message(" Warning: " + pad100(s.opoutinp));
    message(" number of segments for average concentration in top");
    message(" sediment ktop is greater than total number of sediment segments");
    message(line);
    message(" segments");
    ++s.nwarn;
    s.ktop = s.nzsewb;
  }
  echo(" Section 4: Number segments   (no dimensions)");
  echo(Ld().n(s.nzsewb).n(s.nzseebb));

  int ifnd = 0;
  rd_.RDARER("lesewb", 1.0e-4f, 0.5f, &s.lesewb[1], MZSED, ifnd);
  midpoints(s.lesewb, s.zcdwb, s.nzsewb);
  for (int k = 1; k <= s.nzsewb; ++k) s.delz[k] = s.lesewb[k];
  if (s.nzsewb != ifnd) arrayLengthError(s.wbnuinp, "lesewb");
  {
    // Relative tolerance: the thicknesses and zwb are single-precision
    // values of decimal inputs, each off by up to 6e-8 of itself.
    const double d = sumLengths(s.lesewb, s.nzsewb) - static_cast<double>(s.zwb);
    const double tol = std::fmax(1.0e-8, 1.0e-6 * static_cast<double>(s.zwb));
    if (std::fabs(d) >= tol) {
      std::string line = " to declared length, difference is ";
      fmt::E(line, d, 10, 4);
      line += " m";
      message("");
      message("");
      message(" Error in input " + pad100(s.wbnuinp));
      message(" cumulative length of segments in sediment is not equal");
      message(line);
      message("please correct data");
      ++s.nerr;
    }
  }

  if (s.nzseebb > 0) {
    rd_.RDARER("leseebb", 0.0f, 0.6f, &s.leseebb[1], MZBB, ifnd);
    midpoints(s.leseebb, s.zcdebb, s.nzseebb);
    for (int k = 1; k <= s.nzseebb; ++k) s.delz[s.nzsewb + k] = s.leseebb[k];
    if (s.nzseebb != ifnd) arrayLengthError(s.wbnuinp, "leseebb");
  }
  s.nznotot = s.nzsewb + s.nzseebb;
  echo(" Section 5: Lengths segments        (m)");
  echo(Ld().ra(s.lesewb, 1, s.nzsewb));
  echo(Ld().ra(s.leseebb, 1, s.nzseebb));
  units.close(89);

  // ---- parameters ----
  rd_.RDINIT(91, 21, s.wbpainp);
  int nbdwb = 0, npor = 0, ntor = 0;
  rd_.RDARER("bdwb", 10.0f, 3000.0f, &s.bdwb[1], MZSED, nbdwb);
  rd_.RDARER("por", 0.0f, 1.0f, &s.por[1], MZSED, npor);
  rd_.RDARER("tor", 0.0f, 1.0f, &s.tor[1], MZSED, ntor);
  if (s.nzsewb != nbdwb || s.nzsewb != npor || s.nzsewb != ntor)
    arrayLengthError(s.wbpainp, "bdwb, por or tor");
  echo("");
  echo(" Input from " + pad100(s.wbpainp) + ":");
  echo(" Section 1: Physical properties sediment   (kg/m^3, (2x) dimensionless)");
  echo(Ld().ra(s.bdwb, 1, s.nzsewb));
  echo(Ld().ra(s.por, 1, s.nzsewb));
  echo(Ld().ra(s.tor, 1, s.nzsewb));
  // The lower buffer takes the properties of the deepest sediment node.
  for (int k = s.nzsewb + 1; k <= s.nzsewb + s.nzseebb; ++k) {
    s.bdwb[k] = s.bdwb[s.nzsewb];
    s.por[k] = s.por[s.nzsewb];
    s.tor[k] = s.tor[s.nzsewb];
  }
  for (int k = 1; k <= s.nzsewb + s.nzseebb; ++k) s.bdwb[k] = s.bdwb[k] * 1000.0f;

  rd_.RDARER("raomwb", 0.0f, 1.0f, &s.raomwb[1], MZSED, ifnd);
  if (s.nzsewb != ifnd) arrayLengthError(s.wbpainp, "raomwb");
  echo(" Section 2: Organic matter sediment   (dimensionless)");
  echo(Ld().ra(s.raomwb, 1, s.nzsewb));
  for (int k = s.nzsewb + 1; k <= s.nzsewb + s.nzseebb; ++k) s.raomwb[k] = s.raomwb[s.nzsewb];

  rd_.RDSRER("ldis", 0.0f, 1.0f, s.ldis);
  echo(" Section 3: Dispersion length          (m)");
  echo(Ld().r(s.ldis));
  units.close(91);

  // ---- initial state ----
  rd_.RDINIT(93, 21, s.wbstinp);
  s.nznotot = s.nzsewb + s.nzseebb;
  rd_.RDARER("castwb", 0.0f, 1000.0f, &s.castwb[1], MZNODE, ifnd);
  if (s.nznotot != ifnd) arrayLengthError(s.wbstinp, "castwb");
  echo("");
  echo(" Input from " + pad100(s.wbstinp) + ":");
  echo(" Section 1: Initial concentrations   (g/m^3");
  echo(Ld().ra(s.castwb, 1, s.nznotot));
  units.close(93);
}

}  // namespace kirmel
