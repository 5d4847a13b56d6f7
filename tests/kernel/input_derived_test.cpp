// Unit conversions and derived substance constants of the readers, against
// the same formulas evaluated independently in double precision.
#include <gtest/gtest.h>

#include <cmath>

#include "input_fixture.h"

namespace kirmel::test {
namespace {

struct Substance {
  double dt50wl, aetf, kdomssdit, coobkomss, kdmpdit, mamol, klq, kga, psat, tepsat, mepsat, cosol, tesol,
      mesol, kdfw, dt50wb, kdomwb1, coobkomwb;
};

std::string num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  std::string s = buf;
  if (s.find_first_of(".e") == std::string::npos) s += ".";
  return s;
}

// Checks every derived constant of suin against double-precision values for
// temperature te (K) and raomss/raomwb of the example.
void expectDerived(const KernelState& s, const Substance& p, double te) {
  const double R = 8.3144;
  const double ftemp = std::exp(p.aetf * (te - 293.0) / (R * 293.0 * te));
  const double ktwl = std::log(2.0) / (p.dt50wl * 86400.0) * ftemp;
  const double ktwb = std::log(2.0) / (p.dt50wb * 86400.0) * ftemp;
  const double psat = p.psat * std::exp(-(p.mepsat / R) * (1.0 / te - 1.0 / p.tepsat));
  const double cosol = p.cosol * std::exp(-(p.mesol / R) * (1.0 / te - 1.0 / p.tesol));
  const double kh = p.mamol * psat / (te * R * cosol);
  const double klq = p.klq / 86400.0, kga = p.kga / 86400.0;
  const double kvl = 1.0 / (1.0 / klq + 1.0 / (kga * kh));
  const double rel = 1e-4;
  EXPECT_NEAR(s.ktwl, ktwl, rel * ktwl);
  EXPECT_NEAR(s.ktwb, ktwb, rel * ktwb);
  EXPECT_NEAR(s.psat, psat, rel * psat);
  EXPECT_NEAR(s.cosol, cosol, rel * cosol);
  EXPECT_NEAR(s.kh, kh, rel * kh);
  EXPECT_NEAR(s.kvl, kvl, rel * kvl);
  EXPECT_NEAR(s.klq, klq, rel * klq);
  EXPECT_NEAR(s.kga, kga, rel * kga);
  EXPECT_NEAR(s.kdfw, p.kdfw * 1e-6 / 86400.0, rel * p.kdfw * 1e-6 / 86400.0);
  EXPECT_NEAR(s.kdomssdit, p.kdomssdit * 0.001, rel * p.kdomssdit * 0.001);
  EXPECT_NEAR(s.coobkomss, p.coobkomss * 1000.0, rel * p.coobkomss * 1000.0);
  EXPECT_NEAR(s.kdmpdit, p.kdmpdit * 0.001, rel * p.kdmpdit * 0.001 + 1e-30);
  EXPECT_NEAR(s.coobkomwb, p.coobkomwb * 1000.0, rel * p.coobkomwb * 1000.0);
  EXPECT_FLOAT_EQ(s.R, 8.3144f);
  for (int i = 1; i <= s.nxnotot; ++i) {
    EXPECT_EQ(s.kdomss[i], s.kdomssdit);
    EXPECT_EQ(s.kdmp[i], s.kdmpdit);
    EXPECT_NEAR(s.kdfrss[i], 0.5 * p.kdomssdit * 0.001, rel * p.kdomssdit * 0.001);
  }
  for (int k = 1; k <= s.nznotot; ++k)
    EXPECT_NEAR(s.kdfrwb[k], s.raomwb[k] * p.kdomwb1 * 0.001, rel * p.kdomwb1 * 0.001 + 1e-30);
}

TEST(InputDerived, ExampleSubstanceAndHydrology) {
  KernelRun r;
  ASSERT_EQ(r.readUpTo("suin"), -1) << r.out.str();
  const KernelState& s = r.s();
  // Hydrology: per day to per second, as held in memory.
  EXPECT_NEAR(s.u, 10.0 / 86400.0, 1e-11);
  EXPECT_EQ(s.wdh, 0.3f);
  EXPECT_NEAR(s.kds, 20.0 / 86400.0, 1e-11);
  EXPECT_EQ(s.qseif, 0.0f);
  EXPECT_EQ(s.te, 283.0f);
  Substance cpf{75.3, 55000, 16.4, 1e-6, 0, 350.6, 1.7, 163.1, 0.0025, 293, 95000, 2, 293, 27000, 40, 100, 16.4, 1e-6};
  expectDerived(s, cpf, 283.0);
  // At 283 K against 293 K: slower transformation, lower vapour pressure.
  EXPECT_LT(s.ktwl, std::log(2.0f) / (75.3f * 86400.0f));
  EXPECT_LT(s.psat, 0.0025f);
}

TEST(InputDerived, AnotherSubstanceAtAnotherTemperature) {
  KernelRun r;
  Substance p{3.5, 72000, 0.35, 0.002, 0.08, 188.2, 2.2, 95.5, 12.5, 298, 61000, 430, 303, 15000, 55, 412, 0.9, 0.05};
  for (auto [key, v] : std::initializer_list<std::pair<const char*, double>>{
           {"dt50wl", p.dt50wl}, {"aetf", p.aetf}, {"kdomssdit", p.kdomssdit}, {"coobkomss", p.coobkomss},
           {"kdmpdit", p.kdmpdit}, {"mamol", p.mamol}, {"klq", p.klq}, {"kga", p.kga}, {"psat", p.psat},
           {"tepsat", p.tepsat}, {"mepsat", p.mepsat}, {"cosol", p.cosol}, {"tesol", p.tesol},
           {"mesol", p.mesol}, {"kdfw", p.kdfw}, {"dt50wb", p.dt50wb}, {"kdomwb1", p.kdomwb1},
           {"coobkomwb", p.coobkomwb}})
    r.input.set("SU.INP", key, num(v));
  r.input.set("HY.INP", "te", "305.5");
  r.input.set("HY.INP", "u", "-250.");
  ASSERT_EQ(r.readUpTo("suin"), -1) << r.out.str();
  expectDerived(r.s(), p, 305.5);
  EXPECT_NEAR(r.s().u, -250.0 / 86400.0, 1e-10);
}

TEST(InputDerived, TemperatureFactorIsOneAt293K) {
  KernelRun r;
  r.input.set("HY.INP", "te", "293.");
  ASSERT_EQ(r.readUpTo("suin"), -1);
  EXPECT_EQ(r.s().ktwl, std::log(2.0f) / (75.3f * 86400.0f));
  EXPECT_EQ(r.s().psat, 0.0025f);
  EXPECT_EQ(r.s().cosol, 2.0f);
}

TEST(InputDerived, ValuesThatWouldDivideByZeroStopTheRun) {
  struct Case {
    const char* key;
    const char* value;
    const char* key2;
    const char* value2;
    const char* line;
  };
  const Case cases[] = {
      {"dt50wl", "0.", nullptr, nullptr, " half-life dt50wl is 0: the transformation rate would be infinite"},
      {"dt50wb", "0.", nullptr, nullptr, " half-life dt50wb is 0: the transformation rate would be infinite"},
      // exp(-118) is below the smallest single-precision number.
      {"mepsat", "1000000.", "tepsat", "373.",
       " vapour pressure psat corrected to the temperature te is not a positive number"},
      {"mesol", "1000000.", "tesol", "373.",
       " solubility cosol corrected to the temperature te is not a positive number"},
  };
  for (const Case& c : cases) {
    KernelRun r;
    r.input.set("SU.INP", c.key, c.value);
    if (c.key2) r.input.set("SU.INP", c.key2, c.value2);
    r.input.set("HY.INP", "te", "273.");
    const int status = r.readUpTo("suin");
    EXPECT_GT(status, 0) << c.key;
    const std::string su = pad100(r.input.path(r.dir, "SU.INP"));
    const std::string expected =
        std::string("\n\n Error in input ") + su + "\n" + c.line + "\n Program stops\n";
    EXPECT_EQ(r.messages(), expected) << c.key;
    EXPECT_NE(r.out.str().find(c.line), std::string::npos) << c.key;
    EXPECT_NE(r.out.str().find("Stop - Program terminated."), std::string::npos);
  }
}

}  // namespace
}  // namespace kirmel::test
