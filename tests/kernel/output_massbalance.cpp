// Mass balances: file layouts, accounting of the terms, closure, the
// missing-mass warnings with their limits, and the bottom-leaving warning
// with its limit.
#include <cfenv>

#include "output_fixture.h"
#include "text_count.h"

namespace kirmel::test {
namespace {

class MassBalanceTest : public OutputFixture {
 protected:
  void SetUp() override {
    OutputFixture::SetUp();
    // Substance only in the water body; c = 1 holds a total of 3 g/m3.
    s.castwl[2] = s.castwl[3] = 3.0f;
  }
  std::string messages() {
    env.units().close(21);
    return readFile(dir.file("message.out"));
  }
};

float ditchOnly(int i, float c) { return i == 2 || i == 3 ? c : 0.0f; }

TEST_F(MassBalanceTest, WaterLayerHeaderAndTimeZero) {
  s.nt = 2;
  run([](int i, int) { return ditchOnly(i, 1.0f); }, [](int, int) { return 0.0f; }, true, false);
  auto l = lines("wlmb.out");
  ASSERT_EQ(l.size(), 10u + 2u + 2u);
  const std::vector<std::string> head = {
      "",
      " * Output of mass balance of the entire water layer",
      " * as a function of time ",
      " * ",
      " * Mass balance, percentage of initial, loaded and incoming mass from the sediment",
      " *",
      " *<====>  <= positive terms ===>  <= negative terms"
      "=================================================="
      "==>  <====================>  <====>",
      " *  time init.+load.   from sed.   remaining   to sedim.    volatil.     transf."
      "     out end   out front     balance     balance  timest",
      " *     d           g           g           g           g           g           g"
      "           g           g           g           %",
      " *",
  };
  for (std::size_t n = 0; n < head.size(); ++n) EXPECT_EQ(l[n], head[n]) << n;
  // Time 0: the initial mass is all there, no fluxes, nothing missing.
  EXPECT_EQ(l[10], "   0.000  0.1200E+03  0.0000E+00  0.1200E+03  0.0000E+00  0.0000E+00"
                   "  0.0000E+00  0.0000E+00  0.0000E+00  0.0000E+00  0.0000E+00       0");
  EXPECT_EQ(l[12], "");
  EXPECT_EQ(l[13], "");
  EXPECT_FALSE(env.units().isOpen(26));
  EXPECT_EQ(s.nwarn, 0);
}

TEST_F(MassBalanceTest, TransformationClosesTheBalanceAndPrintsNegativeLosses) {
  // Half of the mass transforms in every step: kt * deltwl = 0.5.
  s.ktwl = 0.5f / s.deltwl;
  run([](int i, int j) { return ditchOnly(i, 1.0f / static_cast<float>(1 << j)); },
      [](int, int) { return 0.0f; }, true, false);
  auto l = lines("wlmb.out");
  // Step 2 (1 d): 30 g left of 120, 90 g transformed.  A negative E10.4
  // value drops its leading zero to fit.
  EXPECT_EQ(l[11], "   1.000  0.1200E+03  0.0000E+00  0.3000E+02  0.0000E+00  0.0000E+00"
                   "  -.9000E+02  0.0000E+00  0.0000E+00  0.0000E+00  0.0000E+00       2");
  auto n = lines("wlmb003.out");
  ASSERT_EQ(n.size(), 11u + 3u);
  EXPECT_EQ(n[1], " * Output of mass balance of segment   3 of the ");
  EXPECT_EQ(n[2], " * water layer as a function of time (middle of segment is at    15.000 m) ");
  // Per metre of node 3: 6 g/m at first, 1.5 left, 4.5 transformed.
  EXPECT_EQ(n[12], "   1.000  0.6000E+01  0.0000E+00  0.0000E+00  0.0000E+00  0.1500E+01"
                   "  0.0000E+00  0.0000E+00  0.0000E+00  0.0000E+00  -.4500E+01  0.0000E+00"
                   "  0.0000E+00       2");
  EXPECT_EQ(s.nwarn, 0);
  EXPECT_EQ(countOf(messages(), "Warning"), 0);
}

TEST_F(MassBalanceTest, OutflowAndSedimentExchangeAreCounted) {
  // Flow towards the end carries the end node's mobile concentration out;
  // the sediment takes up substance by diffusion.
  s.u = 1.0e-3f;
  s.kdfwbmh[1] = 1.0e-6f;
  s.nt = 2;
  run([](int i, int) { return ditchOnly(i, 1.0f) + (i == 4 ? 1.0f : 0.0f); },
      [](int, int) { return 0.0f; }, true, false);
  const float q = s.u * s.warst[1];
  // Out end: c = 1 in the buffer node without sorption, for two steps.
  EXPECT_FLOAT_EQ(s.cuoute, 1.0f * q * s.deltwl * 2.0f);
  EXPECT_FLOAT_EQ(s.cuoutf, 0.0f);
  // To the sediment, per node: D * por * dx * P * c / (dz / 2).
  const float f = s.kdfwbmh[1] * s.por[1] * s.delx[2] * s.pez0hw * (1.0f / (s.delz[1] * 0.5f));
  EXPECT_NEAR(s.cuoutwb, 2.0f * f * s.deltwl * 2.0f, 1e-4f * s.cuoutwb);
  EXPECT_EQ(s.cuinwb, 0.0f);
  auto l = lines("wlmb.out");
  EXPECT_EQ(l[11].substr(44, 12), "  -.3456E+03");  // to sediment
}

TEST_F(MassBalanceTest, MissingMassWarnsTwentyTimesAtMost) {
  s.nt = 30;
  // Half of the substance disappears at step 1 without any loss term.
  run([](int i, int j) { return ditchOnly(i, j == 0 ? 1.0f : 0.5f); },
      [](int, int) { return 0.0f; }, true, false);
  const std::string m = messages();
  EXPECT_EQ(countOf(m, " is missing in the mass balance of the water layer"), 20);
  EXPECT_EQ(countOf(m, " is missing in the mass balance of node "), 20);
  EXPECT_EQ(s.nwarn, 40);
  const std::string first =
      "\n\n Warning: 0.50000E+02% of initial and loadings plus accumulated mass incoming from sediment\n"
      " is missing in the mass balance of the water layer\n"
      " at timestep       1 (  0.50 day)\n"
      " qumwl = 0.600E+02 g and\n"
      " cuinsl-cuinwb = 0.120E+03 g\n"
      " See output in wlmb.out\n\n";
  EXPECT_NE(m.find(first), std::string::npos) << m.substr(0, 800);
  const std::string node =
      "\n\n Warning: 0.50000E+02 % of initial mass, loadings plus incoming mass \n"
      " is missing in the mass balance of node        3 of the water layer\n"
      " at timestep       1 (  0.50 day)\n"
      " qumn = 0.300E+02 g and\n"
      " (cuinsln+cuinfn-cuinen-cuinwbn) = 0.600E+02 g\n"
      " See output in wlmb###.out\n\n";
  EXPECT_NE(m.find(node), std::string::npos);
  EXPECT_EQ(countOf(console.str(), "  Warning: \n  More than 0.1% mass missing in \n"
                                 "  mass balance water layer; \n  see message.out \n"),
            20);
}

TEST_F(MassBalanceTest, SurplusWarnsOnlyForTheWholeWaterLayer) {
  run([](int i, int j) { return ditchOnly(i, j == 0 ? 1.0f : 2.0f); },
      [](int, int) { return 0.0f; }, true, false);
  const std::string m = messages();
  EXPECT_EQ(countOf(m, " is missing in the mass balance of the water layer"), 4);
  EXPECT_EQ(countOf(m, " mass balance of node "), 0);
  EXPECT_NE(m.find(" Warning:-0.10000E+03%"), std::string::npos);
}

TEST_F(MassBalanceTest, NoInputsGiveFixedPercentagesAndNoWarning) {
  s.castwl[2] = s.castwl[3] = 0.0f;
  run([](int, int) { return 0.0f; }, [](int, int) { return 0.0f; });
  auto l = lines("wlmb.out");
  EXPECT_EQ(l[12].substr(l[12].size() - 20), "  0.1000E-01       4");
  auto b = lines("wbmb003.out");
  EXPECT_EQ(b[b.size() - 1].substr(104), "  0.0000E+00  0.0000E+00       4");
  EXPECT_EQ(s.nwarn, 0);
}

TEST_F(MassBalanceTest, TinyInputsAgainstALargeMissingMassRaiseNoFault) {
  // 2e-37 g put in, 60 g present: the quotient would overflow a float.
  s.castwl[2] = 1.0e-38f;
  s.castwl[3] = 0.0f;
  s.nt = 1;
  std::feclearexcept(FE_ALL_EXCEPT);
  run([](int i, int) { return i == 2 ? 1.0f : 0.0f; }, [](int, int) { return 0.0f; }, true, false);
  EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_DIVBYZERO | FE_INVALID), 0);
  auto l = lines("wlmb.out");
  EXPECT_EQ(l[10].substr(l[10].size() - 20), "  -.1000E+37       0");
}

TEST_F(MassBalanceTest, VolatilisationCountsOnlyLosses) {
  s.kvl = 1.0e-6f;
  s.nt = 1;
  run([](int i, int) { return ditchOnly(i, 1.0f); }, [](int, int) { return 0.0f; }, true, false);
  // Two nodes of width 3 m and length 10 m at c = 1 for one step.
  EXPECT_FLOAT_EQ(s.cuvol, -2.0f * 1.0e-6f * 3.0f * 10.0f * s.deltwl);
  // Air above the water's equilibrium: the water would gain; nothing counts.
  s.coair = 10.0f;
  run([](int i, int) { return ditchOnly(i, 1.0f); }, [](int, int) { return 0.0f; }, true, false);
  EXPECT_EQ(s.cuvol, 0.0f);
  EXPECT_EQ(s.cuvoln[3], 0.0f);
}

TEST_F(MassBalanceTest, WholeSedimentWithoutInputsDividesByOne) {
  // Substance present in the sediment that was never put in.
  s.nt = 1;
  run([](int, int) { return 0.0f; }, [](int, int) { return 1.0f; }, false, true);
  auto a = lines("wbmball.out");
  // 2 subsystems * 10 m * (1.5 * 0.01 + 1.5 * 0.03 + 0.5 * 0.05) = 1.7 g missing
  // (negative: a surplus), as a percentage of 1.
  EXPECT_EQ(a[12].substr(92, 24), "  -.1700E+01  -.1700E+03");
  auto b = lines("wbmb003.out");
  EXPECT_EQ(b[12].substr(92, 24), "  -.8500E-01  0.0000E+00");
}

TEST_F(MassBalanceTest, SedimentHeaderTotalsAndTimeZero) {
  // Node 1: clb = 2 holds 3 g/m3 of sediment, node 2: clb = 4 holds 6, the
  // buffer node: clb = 1 holds 0.5.
  const float cb[] = {0.0f, 2.0f, 4.0f, 1.0f};
  s.castwb[1] = 3.0f;
  s.castwb[2] = 6.0f;
  s.castwb[3] = 0.5f;
  s.nt = 2;
  run([](int, int) { return 0.0f; }, [&](int k, int) { return cb[k]; });
  auto b = lines("wbmb003.out");
  ASSERT_EQ(b.size(), 12u + 2u);
  EXPECT_EQ(b[1], " * Output of mass balance of the sediment subsystem under segment   3 of water layer");
  EXPECT_EQ(b[2], " * as a function of time at  (middle of segment is at    15.000 m)");
  EXPECT_EQ(b[6], " * Thickness of selected top layer is   40.00 mm");
  EXPECT_EQ(b[8], " *<====>  <= positive terms ===============>  <= negative terms "
                  "===========================>  <====================>  <========>  <====>");
  EXPECT_EQ(b[9], " *  time     initial     from wl     seepage   remaining       to wl  percolated"
                  "     transf.     balance     balance   top layer  timest");
  // 3 * 0.01 + 6 * 0.03 + 0.5 * 0.05 per metre; the top layer leaves out the buffer.
  EXPECT_EQ(b[12], "   0.000  0.2350E+00  0.0000E+00  0.0000E+00  0.2350E+00  0.0000E+00"
                   "  0.0000E+00  0.0000E+00  0.0000E+00  0.0000E+00  0.2100E+00       0");
  auto a = lines("wbmball.out");
  ASSERT_EQ(a.size(), 12u + 2u);
  EXPECT_EQ(a[1], " * Output of mass balance of the entire sediment (all sediment subsystems of waterbody)");
  EXPECT_EQ(a[8], b[8]);
  EXPECT_EQ(a[10], " *     d           g           g           g           g           g           g"
                   "           g           g           %           g");
  // Two subsystems of 10 m each.
  EXPECT_EQ(a[12], "   0.000  0.4700E+01  0.0000E+00  0.0000E+00  0.4700E+01  0.0000E+00"
                   "  0.0000E+00  0.0000E+00  0.0000E+00  0.0000E+00  0.4200E+01       0");
  EXPECT_FALSE(env.units().isOpen(27));
  EXPECT_FALSE(env.units().isOpen(40));
  // The message file stays open for the rest of the last step; the driver
  // closes it after the loop, so later messages of that step are kept.
  EXPECT_TRUE(env.units().isOpen(21));
}

TEST_F(MassBalanceTest, SubstanceLeavingTheBottomWarnsTwentyTimesAndCountsAll) {
  s.qseif = 1.0e-7f;
  s.leplot = 1.0f;
  s.castwb[1] = s.castwb[2] = 1.5f;
  s.castwb[3] = 0.5f;
  s.nt = 12;
  run([](int, int) { return 0.0f; }, [](int, int) { return 1.0f; }, false, true);
  const std::string m = messages();
  // Every subsystem (2) at every step after the start (12): 24 occurrences.
  // The first 20 are written, to the message file and the console; then one
  // line says that the others are only counted, and every one counts.
  const std::string further = " Further warnings of substance leaving bottom segment are counted, not written\n";
  for (const std::string& text : {m, console.str()}) {
    EXPECT_EQ(countOf(text, " substance leaving bottom segment\n"), 20);
    EXPECT_EQ(countOf(text, further), 1);
    // The 20th is the second subsystem's at step 10 (5 d); the line follows it.
    EXPECT_NE(text.find(" of sediment at   5.000 d\n\n" + further), std::string::npos) << text;
    EXPECT_EQ(text.find(" of sediment at   5.500 d"), std::string::npos);
  }
  EXPECT_NE(m.find("\n\n Warning: \n substance leaving bottom segment\n of sediment at   0.500 d\n"),
            std::string::npos);
  EXPECT_EQ(s.nwarn, 24);
  // Percolated: q * leplot * clb(bottom) * deltwb per step, printed negative.
  auto b = lines("wbmb003.out");
  EXPECT_EQ(b[14].substr(68, 12), "  -.1728E-01");
  // The whole sediment (two subsystems of 10 m): the percolated mass is a
  // loss, so with a profile that stays as it is the balance shows it as a
  // surplus of the same size.
  // Line 14 is step 4 (day 2); the run writes days 0 to 6.
  auto a = lines("wbmball.out");
  ASSERT_EQ(a.size(), 12u + 7u);
  EXPECT_EQ(a[14].substr(68, 12), "  -.3456E+00");
  EXPECT_EQ(a[14].substr(92, 24), "  -.3456E+00  -.2033E+02");
}

}  // namespace
}  // namespace kirmel::test
