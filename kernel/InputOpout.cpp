// Output options (opout), hydrology (hyin) and substance (suin) input with
// their unit conversions, derived constants and echo sections.
#include <cmath>

#include "kernel/Echo.h"
#include "kernel/Kernel.h"
#include "platform/Format.h"
#include "platform/Version.h"

namespace kirmel {

void Kernel::opout() {
  static constexpr const char* kSwitches[] = {
      "op_input",     "op_icwlhy",   "op_icwb",  "op_wlmb",    "op_wlmbnodenr", "op_wbsconodenr",
      "op_wbmbnodenr", "op_wbmball", "op_dbnodenr", "op_dbdit", "op_ecnodenr"};
  int* const sw[] = {&s.op_input,     &s.op_icwlhy,   &s.op_icwb,  &s.op_wlmb,
                     &s.op_wlmbnodenr, &s.op_wbsconodenr, &s.op_wbmbnodenr, &s.op_wbmball,
                     &s.op_dbnodenr,  &s.op_dbdit,    &s.op_ecnodenr};

  rd_.RDINIT(81, 21, s.opoutinp);
  for (int n = 0; n < 11; ++n) rd_.RDSINR(kSwitches[n], 0, 1, *sw[n]);

  if (s.op_input == 1) {
    if (!env_.units().openWrite(22, "input.out"))
      fatal({" Error: cannot create the input echo file input.out in the working directory"});
    echo(dateLine());
    echo(" Output of input:");
    echo("");
    echo("");
    echo(" Simulation with KIRMEL version: " + version::kernel());
    echo("");
    echo("");
    echo(" All input from subroutine opout:");
    echo("");
    echo(" Input from " + pad100(s.filnam) + ":");
    echo(" Section 1: Filenames inputfiles");
    for (const std::string* p : {&s.opoutinp, &s.wlnuinp, &s.wlpainp, &s.wlstinp, &s.wbnuinp,
                                 &s.wbpainp, &s.wbstinp, &s.hyinp, &s.suinp, &s.slinp})
      echo(Ld().t(pad100(*p)));
    echo("");
    echo(" Input from " + pad100(s.opoutinp) + ":");
    echo(" Section 1: Selected output files:      (no dimensions)");
    for (int n = 0; n < 11; ++n) echo(Ld().n(*sw[n]));
  }

  // The output interval, the selected subsystems and ktop are needed by the
  // run whatever op_input says; op_input only decides about the echo.
  rd_.RDSRER("deltout", 0.001f, 25.0f, s.deltout);
  echo(" Section 2: Timestep for output (d):");
  echo(Ld().r(s.deltout));
  s.deltout = s.deltout * 86400.0f;

  rd_.RDSINR("nwbsy", 1, MSUB, s.nwbsy);
  int ifnd = 0;
  rd_.RDAINR("iwbsy", 1, 200, &s.iwbsy[1], MSUB, ifnd);
  if (s.nwbsy != ifnd) {
    message("");
    message("");
    message(" Error in input " + padTo(s.opoutinp, 12));
    message(" actual length array iwbsy is not equal");
    message(" to declared length, please correct data");
    ++s.nerr;
  }
  rd_.RDSINR("ktop", 1, 200, s.ktop);
  echo(" Section 3: Selected sediment subsystems for output:   (no dimensions)");
  echo(Ld().n(s.nwbsy));
  echo(Ld().na(s.iwbsy, 1, s.nwbsy));
  echo(Ld().n(s.ktop));
  env_.units().close(81);
}

void Kernel::hyin() {
  echo("");
  echo("");
  echo(" All input from subroutine hyin:");
  rd_.RDINIT(95, 21, s.hyinp);
  rd_.RDSRER("u", -1.0e5f, 1.0e5f, s.u);
  rd_.RDSRER("wdh", 0.01f, 2.0f, s.wdh);
  echo("");
  echo(" Input from " + pad100(s.hyinp) + ":");
  echo(" Section 1: Flow velocity and water depth   (m/d, resp m)");
  echo(Ld().r(s.u).r(s.wdh));
  s.u = s.u / 86400.0f;

  rd_.RDSRER("kds", 0.0f, 1.0e8f, s.kds);
  echo(" Section 2: Dispersion coefficient     (m^2/d)");
  echo(Ld().r(s.kds));
  s.kds = s.kds / 86400.0f;

  rd_.RDSRER("qseif", 0.0f, 0.01f, s.qseif);
  rd_.RDSRER("colot", 0.0f, 1.0f, s.colot);
  echo("");
  echo(" Section 3: Seepage with concentration   (m^3/m^2.d, resp g/m^3)");
  echo(Ld().r(s.qseif).r(s.colot));
  s.qseif = s.qseif / 86400.0f;

  rd_.RDSRER("te", 273.0f, 323.0f, s.te);
  echo("");
  echo(" Section 4: Temperature (K)");
  echo(Ld().r(s.te));
  env_.units().close(95);

  // Wetted area of the steady flow, the same at every node.
  const float area = s.wdh * s.wibot + s.wdh * s.wdh * s.sisl;
  for (int n = 1; n <= s.nxnotot; ++n) {
    s.warst[n] = area;
    s.warjp1[n] = area;
  }

  if (s.op_icwlhy == 1) {
    env_.units().writeLine(23, "");
    env_.units().writeLine(23, " Results from subroutine hyin:");
    std::string line = " discharge equals";
    fmt::X(line, 2);
    fmt::E(line, s.u * area, 10, 4);
    line += " m3.s-1";
    env_.units().writeLine(23, line);
  }
}

namespace {

bool positiveFinite(float v) { return std::isfinite(v) && v > 0.0f; }

}  // namespace

void Kernel::suin() {
  // A value that makes a derived constant infinite, zero or not a number
  // would divide by zero later in the run: stop here and name it.
  auto refuse = [this](const std::string& what) {
    fatal({"", "", " Error in input " + pad100(s.suinp), what, " Program stops"});
  };

  echo("");
  echo("");
  echo(" All input from subroutine suin:");
  rd_.RDINIT(97, 21, s.suinp);

  rd_.RDSRER("dt50wl", 0.0f, 10000.0f, s.dt50wl);
  rd_.RDSRER("aetf", 0.0f, 1.0e6f, s.aetf);
  echo("");
  echo(" Input from " + pad100(s.suinp) + ":");
  echo(" Section 1: Transformation in water layer   (d)    (J/mol)");
  echo(Ld().r(s.dt50wl).r(s.aetf));
  if (s.dt50wl == 0.0f) refuse(" half-life dt50wl is 0: the transformation rate would be infinite");
  s.R = 8.3144f;
  // Temperature factor of the transformation, reference temperature 293 K.
  const float ftemp = expf(s.aetf * (s.te - 293.0f) / (s.R * 293.0f * s.te));
  s.ktwl = logf(2.0f) / (s.dt50wl * 86400.0f) * ftemp;

  rd_.RDSRER("kdomssdit", 0.0f, 1000.0f, s.kdomssdit);
  rd_.RDSRER("coobkomss", 1.0e-8f, 0.1f, s.coobkomss);
  rd_.RDSRER("exfrss", 0.1f, 2.0f, s.exfrss);
  echo(" section 2: Sorption susp. solids   (m^3/kg, kg/m^3, resp dimensionless)");
  echo(Ld().r(s.kdomssdit).r(s.coobkomss).r(s.exfrss));
  s.kdomssdit = s.kdomssdit * 0.001f;
  s.coobkomss = s.coobkomss * 1000.0f;
  const int ifirst = s.nxsefb + 1;
  const int ilast = s.nxsefb + s.nxsedit;
  if (s.nxseeb == 0) s.nxnotot = s.nxsefb + s.nxsedit;
  for (int n = 1; n <= s.nxnotot; ++n)
    s.kdomss[n] = (n >= ifirst && n <= ilast) ? s.kdomssdit : 0.0f;
  for (int n = 1; n <= s.nxnotot; ++n) s.kdfrss[n] = s.raomss * s.kdomss[n];

  rd_.RDSRER("kdmpdit", 0.0f, 1000.0f, s.kdmpdit);
  echo(" Section 3: Sorption to macrophytes   (m^3/kg)");
  echo(Ld().r(s.kdmpdit));
  s.kdmpdit = s.kdmpdit * 0.001f;
  for (int n = 1; n <= s.nxnotot; ++n) s.kdmp[n] = (n >= ifirst && n <= ilast) ? s.kdmpdit : 0.0f;

  rd_.RDSRER("mamol", 10.0f, 1000.0f, s.mamol);
  rd_.RDSRER("klq", 0.1f, 5.0f, s.klq);
  rd_.RDSRER("kga", 0.1f, 500.0f, s.kga);
  rd_.RDSRER("psat", 1.0e-15f, 5000.0f, s.psat);
  rd_.RDSRER("tepsat", 273.0f, 373.0f, s.tepsat);
  rd_.RDSRER("mepsat", 0.0f, 1.0e6f, s.mepsat);
  rd_.RDSRER("cosol", 1.0e-6f, 2.0e6f, s.cosol);
  rd_.RDSRER("tesol", 273.0f, 373.0f, s.tesol);
  rd_.RDSRER("mesol", 0.0f, 1.0e6f, s.mesol);
  echo(" Section 4: Volatilisation   (g/mol, m/d, m/d, Pa, K, J/mol, g/m^3, K, J/mol)");
  echo(Ld().r(s.mamol).r(s.klq).r(s.kga));
  echo(Ld().r(s.psat).r(s.tepsat).r(s.mepsat));
  echo(Ld().r(s.cosol).r(s.tesol).r(s.mesol));
  s.klq = s.klq / 86400.0f;
  s.kga = s.kga / 86400.0f;
  // Vapour pressure and solubility at the temperature of the run.
  s.psat = s.psat * expf(-(s.mepsat / s.R) * (1.0f / s.te - 1.0f / s.tepsat));
  s.cosol = s.cosol * expf(-(s.mesol / s.R) * (1.0f / s.te - 1.0f / s.tesol));
  if (!positiveFinite(s.psat))
    refuse(" vapour pressure psat corrected to the temperature te is not a positive number");
  if (!positiveFinite(s.cosol))
    refuse(" solubility cosol corrected to the temperature te is not a positive number");
  s.kh = s.mamol * s.psat / (s.te * s.R * s.cosol);
  if (!positiveFinite(s.kh))
    refuse(" Henry coefficient kh from psat and cosol is not a positive number");
  s.kvl = 1.0f / (1.0f / s.klq + 1.0f / (s.kga * s.kh));

  rd_.RDSRER("kdfw", 1.0f, 100.0f, s.kdfw);
  echo(" Section 5: Exchange water layer - sed.   (mm^2/d)");
  echo(Ld().r(s.kdfw));
  s.kdfw = s.kdfw * 1.0e-6f / 86400.0f;

  rd_.RDSRER("dt50wb", 0.0f, 1.0e6f, s.dt50wb);
  echo(" Section 6: Transformation in sediment    (d)");
  echo(Ld().r(s.dt50wb));
  if (s.dt50wb == 0.0f) refuse(" half-life dt50wb is 0: the transformation rate would be infinite");
  s.ktwb = logf(2.0f) / (s.dt50wb * 86400.0f) * ftemp;

  rd_.RDSRER("kdomwb1", 0.0f, 1000.0f, s.kdomwb1);
  rd_.RDSRER("coobkomwb", 1.0e-6f, 0.1f, s.coobkomwb);
  rd_.RDSRER("exfrwb", 0.1f, 2.0f, s.exfrwb);
  echo(" Section 7: Sorption sediment   (m^3/kg, kg/m^3, resp. dimensionless)");
  echo(Ld().r(s.kdomwb1).r(s.coobkomwb).r(s.exfrwb));
  s.kdomwb1 = s.kdomwb1 * 0.001f;
  s.coobkomwb = s.coobkomwb * 1000.0f;
  if (s.nzseebb == 0) s.nznotot = s.nzsewb;
  for (int k = 1; k <= s.nznotot; ++k) s.kdomwb[k] = k <= s.nzsewb ? s.kdomwb1 : 0.0f;
  for (int k = 1; k <= s.nznotot; ++k) s.kdfrwb[k] = s.raomwb[k] * s.kdomwb[k];
  env_.units().close(97);

  if (s.op_icwlhy == 1) {
    UnitTable& u = env_.units();
    u.writeLine(23, "");
    u.writeLine(23, " Results of some initial calculations from subroutine suin:");
    u.writeLine(23, " kdfrss(1-nxnotot)   (m^3/kg)");
    u.writeLine(23, Ld().ra(s.kdfrss, 1, s.nxnotot));
  }
  if (s.op_icwb == 1) {
    UnitTable& u = env_.units();
    if (!u.openWrite(24, "icwb.out"))
      fatal({" Error: cannot create the initial-calculation file icwb.out in the working directory"});
    u.writeLine(24, dateLine());
    u.writeLine(24, " Results from initial calculations for sediment:");
    u.writeLine(24, "");
    u.writeLine(24, "");
    u.writeLine(24, " Results of some initial calculations from subroutine suin:");
    u.writeLine(24, " kdfrwb(1-nznotot):   (m^3/kg)");
    u.writeLine(24, Ld().ra(s.kdfrwb, 1, s.nznotot));
  }
}

}  // namespace kirmel
