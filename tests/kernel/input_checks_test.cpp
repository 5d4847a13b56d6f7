// The input readers on the bundled example and on variants of it: grids,
// counted errors and warnings with their exact message-file text, and the
// stops.
#include <gtest/gtest.h>

#include <cmath>

#include "input_fixture.h"

namespace kirmel::test {
namespace {

std::string join(const std::vector<std::string>& lines) {
  std::string t;
  for (const auto& l : lines) t += l + "\n";
  return t;
}

TEST(InputReaders, ExampleGridsAndOptions) {
  KernelRun r;
  ASSERT_EQ(r.readUpTo("suin"), -1) << r.out.str();
  KernelState& s = r.s();
  EXPECT_EQ(s.nerr, 0);
  EXPECT_EQ(s.nwarn, 0);
  EXPECT_EQ(r.messages(), "");

  EXPECT_EQ(s.op_input, 1);
  EXPECT_EQ(s.op_icwlhy, 0);
  EXPECT_EQ(s.op_wbsconodenr, 1);
  EXPECT_EQ(s.op_ecnodenr, 1);
  EXPECT_EQ(s.deltout, 43200.0f);
  EXPECT_EQ(s.nwbsy, 2);
  EXPECT_EQ(s.iwbsy[1], 1);
  EXPECT_EQ(s.iwbsy[2], 80);
  EXPECT_EQ(s.ktop, 7);

  // 30 d of 600 s: the last step lies one step past 30 d.
  EXPECT_EQ(s.deltwl, 600.0f);
  EXPECT_EQ(s.ttot, 2592000.0f);
  EXPECT_EQ(s.nt, 4321);
  EXPECT_EQ(s.nxsefb, 0);
  EXPECT_EQ(s.nxsedit, 80);
  EXPECT_EQ(s.nxnotot, 80);
  for (int i = 1; i <= 80; ++i) {
    EXPECT_EQ(s.delx[i], 4.0f);
    EXPECT_EQ(s.xcddit[i], 4.0f * static_cast<float>(i) - 2.0f);
  }
  EXPECT_EQ(s.delx[81], 0.0f);
  EXPECT_NEAR(s.pez0hw, 0.4 + 2 * 0.1 * std::sqrt(2.0), 1e-6);

  EXPECT_EQ(s.nzsewb, 14);
  EXPECT_EQ(s.nznotot, 14);
  EXPECT_EQ(s.delz[1], 0.001f);
  EXPECT_EQ(s.delz[14], 0.02f);
  EXPECT_NEAR(s.zcdwb[14], 0.09, 1e-7);
  EXPECT_EQ(s.bdwb[1], 80000.0f);
  EXPECT_EQ(s.bdwb[14], 1500000.0f);
  EXPECT_EQ(s.tor[14], 0.28f);
  EXPECT_EQ(s.raomwb[8], 0.19f);
  EXPECT_EQ(s.ldis, 0.015f);

  // Steady flow: A = 0.3 x 0.4 + 0.3^2 x 1 at every node, both arrays.
  const float area = 0.3f * 0.4f + 0.3f * 0.3f * 1.0f;
  EXPECT_EQ(s.warst[1], area);
  EXPECT_EQ(s.warst[80], area);
  EXPECT_EQ(s.warjp1[80], area);
  EXPECT_EQ(s.warst[81], 0.0f);
}

TEST(InputReaders, BuffersTakeTheirPlaceInTheGrid) {
  KernelRun r;
  r.input.set("WLNU.INP", "nxsefb", "2");
  r.input.set("WLNU.INP", "nxseeb", "1");
  r.input.set("WLNU.INP", "lesefb", "3. 5.");
  r.input.set("WLNU.INP", "leseeb", "7.");
  r.input.replaceStatement("WLST.INP", "castwl", "castwl = 83*0.");
  r.input.set("WBNU.INP", "nzseebb", "2");
  r.input.set("WBNU.INP", "leseebb", "0.05 0.03");
  r.input.replaceStatement("WBST.INP", "castwb", "castwb = 16*0.");
  ASSERT_EQ(r.readUpTo("suin"), -1) << r.out.str();
  KernelState& s = r.s();
  EXPECT_EQ(s.nerr, 0) << r.messages();
  EXPECT_EQ(s.nxnotot, 83);
  EXPECT_EQ(s.delx[1], 3.0f);
  EXPECT_EQ(s.delx[2], 5.0f);
  EXPECT_EQ(s.delx[3], 4.0f);
  EXPECT_EQ(s.delx[83], 7.0f);
  EXPECT_EQ(s.xcdfb[2], 5.5f);
  EXPECT_EQ(s.xcdeb[1], 3.5f);
  EXPECT_EQ(s.nznotot, 16);
  EXPECT_EQ(s.delz[15], 0.05f);
  EXPECT_EQ(s.zcdebb[2], 0.065f);
  // The buffer layers take the deepest layer's properties.
  EXPECT_EQ(s.bdwb[16], 1500000.0f);
  EXPECT_EQ(s.por[16], 0.36f);
  EXPECT_EQ(s.raomwb[16], 0.02f);
  // Sorption only in the water body and the sediment proper.
  EXPECT_EQ(s.kdomss[2], 0.0f);
  EXPECT_EQ(s.kdomss[3], 0.0164f);
  EXPECT_EQ(s.kdomss[83], 0.0f);
  EXPECT_EQ(s.kdmp[3], 0.0f);
  EXPECT_EQ(s.kdomwb[14], 0.0164f);
  EXPECT_EQ(s.kdomwb[15], 0.0f);
  EXPECT_EQ(s.kdfrwb[14], 0.02f * 0.0164f);
}

TEST(InputChecks, DeltwlThatDoesNotDivideADay) {
  KernelRun r;
  r.input.set("WLNU.INP", "deltwl", "7.");
  r.input.set("WBNU.INP", "deltwb", "7.");
  ASSERT_EQ(r.readUpTo("suin"), -1) << r.out.str();
  const std::string wlnu = pad100(r.input.path(r.dir, "WLNU.INP"));
  // 43200 s is no multiple of 7 s either: cut to 43197 s with a warning.
  EXPECT_EQ(r.messages(), join({"", "", " Error in input " + wlnu, " multiple of simulation timestep deltwl",
                                " is not equal to one day (86400 s) ", "", "",
                                " Warning: timestep for output (deltout) is not",
                                " a multiple of calculation timestep deltwl,",
                                " therefore deltout =  0.5000 d is replaced by deltout =  0.5000 d"}));
  EXPECT_EQ(r.s().nerr, 1);
  EXPECT_EQ(r.s().nwarn, 1);
  EXPECT_EQ(r.s().deltout, 43197.0f);
  EXPECT_EQ(r.s().nt, static_cast<int>(2592000.0f / 7.0f) + 1);
}

TEST(InputChecks, DeltoutCutToAMultipleOfDeltwl) {
  KernelRun r;
  r.input.set("OPOUT.INP", "deltout", "0.3");
  r.input.set("WLNU.INP", "deltwl", "3600.");
  r.input.set("WBNU.INP", "deltwb", "3600.");
  ASSERT_EQ(r.readUpTo("wbin"), -1);
  EXPECT_EQ(r.messages(), join({"", "", " Warning: timestep for output (deltout) is not",
                                " a multiple of calculation timestep deltwl,",
                                " therefore deltout =  0.3000 d is replaced by deltout =  0.2917 d"}));
  EXPECT_EQ(r.s().nwarn, 1);
  EXPECT_EQ(r.s().nerr, 0);
  EXPECT_EQ(r.s().deltout, 25200.0f);
}

TEST(InputChecks, DeltoutBelowDeltwlBecomesOneStep) {
  KernelRun r;
  r.input.set("OPOUT.INP", "deltout", "0.001");  // 86.4 s against 600 s
  ASSERT_EQ(r.readUpTo("wlin"), -1);
  EXPECT_EQ(r.messages(), join({"", "", " Warning: timestep for output (deltout) is not",
                                " a multiple of calculation timestep deltwl,",
                                " therefore deltout =  0.0010 d is replaced by deltout =  0.0069 d"}));
  EXPECT_EQ(r.s().deltout, 600.0f);
  // Every step is an output time; no remainder by zero.
  Kernel& k = *r.kernel;
  for (int j : {0, 1, 2, 4321}) {
    r.s().j = j;
    EXPECT_TRUE(k.isOutputTime(600.0f)) << j;
  }
}

TEST(InputChecks, DeltoutAFractionOfASecondOffAMultiple) {
  // 0.3 d is 25920.002 s in single precision; with 60 s steps the interval
  // becomes exactly 25920 s (432 steps) without a warning.
  KernelRun r;
  r.input.set("OPOUT.INP", "deltout", "0.3");
  r.input.set("WLNU.INP", "deltwl", "60.");
  ASSERT_EQ(r.readUpTo("wlin"), -1);
  EXPECT_EQ(r.messages(), "");
  EXPECT_EQ(r.s().nwarn, 0);
  EXPECT_EQ(r.s().deltout, 25920.0f);
  Kernel& k = *r.kernel;
  int count = 0;
  for (r.s().j = 1; r.s().j <= 1440; ++r.s().j)
    if (k.isOutputTime(60.0f)) {
      ++count;
      EXPECT_EQ(r.s().j % 432, 0) << r.s().j;
    }
  EXPECT_EQ(count, 3);
}

TEST(InputChecks, OutputTimeRule) {
  KernelRun r;
  ASSERT_EQ(r.readUpTo("wlin"), -1);
  Kernel& k = *r.kernel;
  KernelState& s = r.s();
  s.j = 0;
  EXPECT_TRUE(k.isOutputTime(600.0f));
  for (int j : {1, 71, 73, 143}) {
    s.j = j;
    EXPECT_FALSE(k.isOutputTime(600.0f)) << j;
  }
  for (int j : {72, 144, 4320}) {
    s.j = j;
    EXPECT_TRUE(k.isOutputTime(600.0f)) << j;
  }
  // A sediment step within 0.5 s of deltwl gives the same times.
  s.j = 72;
  EXPECT_TRUE(k.isOutputTime(600.4f));
}

TEST(InputChecks, KtopLoweredToTheNumberOfLayers) {
  KernelRun r;
  r.input.set("OPOUT.INP", "ktop", "20");
  ASSERT_EQ(r.readUpTo("wbin"), -1);
  EXPECT_EQ(r.messages(),
            join({"", "", " Warning: " + pad100(r.input.path(r.dir, "OPOUT.INP")),
                  " number of segments for average concentration in top",
                  " sediment ktop is greater than total number of sediment segments",
                  " ktop is corrected from  20 to  14", " segments"}));
  EXPECT_EQ(r.s().ktop, 14);
  EXPECT_EQ(r.s().nwarn, 1);
}

TEST(InputChecks, NwbsyAgainstTheNumberOfIwbsyValues) {
  for (const char* iw : {"1 80 40", "1"}) {
    KernelRun r;
    r.input.replaceStatement("OPOUT.INP", "iwbsy", std::string("  iwbsy = ") + iw);
    ASSERT_EQ(r.readUpTo("opout"), -1) << r.out.str();
    const std::string opout = r.input.path(r.dir, "OPOUT.INP");
    EXPECT_EQ(r.messages(), join({"", "", " Error in input " + opout.substr(0, 12),
                                  " actual length array iwbsy is not equal",
                                  " to declared length, please correct data"}))
        << iw;
    EXPECT_EQ(r.s().nerr, 1);
    EXPECT_EQ(r.s().nwbsy, 2);  // the run goes on with nwbsy as read
  }
}

TEST(InputChecks, DitchLengthSum) {
  {
    KernelRun r;
    r.input.set("WLNU.INP", "xdit", "320.01");
    ASSERT_EQ(r.readUpTo("wlin"), -1);
    EXPECT_EQ(r.messages(), join({"", "", " Error in input " + pad100(r.input.path(r.dir, "WLNU.INP")),
                                  " cumulative length of segments in ditch is not equal",
                                  " to declared length, please correct data"}));
    EXPECT_EQ(r.s().nerr, 1);
  }
  {
    // 500 segments of 3.3 m: a float sum drifts off 1650 m; the check must not.
    KernelRun r;
    r.input.set("WLNU.INP", "xdit", "1650.");
    r.input.set("WLNU.INP", "nxsedit", "500");
    r.input.replaceStatement("WLNU.INP", " lesedit", " lesedit = 500*3.3");
    r.input.replaceStatement("WLST.INP", "  castwl", "  castwl = 500*0.");
    ASSERT_EQ(r.readUpTo("wlin"), -1) << r.out.str();
    EXPECT_EQ(r.messages(), "");
    EXPECT_EQ(r.s().nerr, 0);
    EXPECT_EQ(r.s().nxnotot, 500);
  }
}

TEST(InputChecks, SedimentLengthSum) {
  auto tenLayers = [](KernelRun& r, const std::string& lesewb) {
    r.input.set("WBNU.INP", "nzsewb", "10");
    r.input.replaceStatement("WBNU.INP", " lesewb", " lesewb = " + lesewb);
    std::string wbpa = "bdwb = 10*80.\r\npor = 10*0.8\r\ntor = 10*0.8\r\nraomwb = 10*0.2\r\nldis = 0.015\r\n";
    r.input.setText("WBPA.INP", wbpa);
    r.input.setText("WBST.INP", "castwb = 10*0.\r\n");
    r.input.set("OPOUT.INP", "ktop", "5");
  };
  {
    // Ten layers of 0.01 m make 0.1 m.
    KernelRun r;
    tenLayers(r, "10*0.01");
    ASSERT_EQ(r.readUpTo("wbin"), -1) << r.out.str();
    EXPECT_EQ(r.messages(), "");
    EXPECT_EQ(r.s().nerr, 0);
    EXPECT_EQ(r.s().nznotot, 10);
  }
  {
    KernelRun r;
    tenLayers(r, "9*0.01 0.00999");
    ASSERT_EQ(r.readUpTo("wbin"), -1) << r.out.str();
    EXPECT_EQ(r.messages(), join({"", "", " Error in input " + pad100(r.input.path(r.dir, "WBNU.INP")),
                                  " cumulative length of segments in sediment is not equal",
                                  " to declared length, difference is -.1000E-04 m", "please correct data"}));
    EXPECT_EQ(r.s().nerr, 1);
  }
}

TEST(InputChecks, ArrayLengths) {
  KernelRun r;
  r.input.replaceStatement("WLST.INP", "  castwl", "  castwl = 79*0.");
  r.input.replaceStatement("WBST.INP", "  castwb", "  castwb = 0.");
  ASSERT_EQ(r.readUpTo("wbin"), -1) << r.out.str();
  const std::string wlst = pad100(r.input.path(r.dir, "WLST.INP"));
  const std::string wbst = pad100(r.input.path(r.dir, "WBST.INP"));
  EXPECT_EQ(r.messages(), join({"", "", " Error in input " + wlst, " actual length array castwl is not equal",
                                " to declared length, please correct data", "", "", " Error in input " + wbst,
                                " actual length array castwb is not equal",
                                " to declared length, please correct data"}));
  EXPECT_EQ(r.s().nerr, 2);
}

TEST(InputChecks, DeltwbDifferentFromDeltwlStops) {
  KernelRun r;
  r.input.set("WBNU.INP", "deltwb", "601.");
  int status = r.readUpTo("suin");
  EXPECT_NE(status, 0);
  EXPECT_NE(status, -1);
  const std::string wbnu = pad100(r.input.path(r.dir, "WBNU.INP"));
  EXPECT_EQ(r.messages(), join({"", "", " Error in " + wbnu + ":",
                                " deltwb should be equal to deltwl in KIRMEL 1.0 !", " Program stops"}));
  EXPECT_EQ(r.out.str(), join({"  Error in " + wbnu + ":", "  Deltwb should be equal to deltwl in KIRMEL 1.0",
                               "  Programs stops", "Stop - Program terminated."}));
  EXPECT_EQ(r.s().nerr, 0);
}

TEST(InputChecks, RangeErrorsStopNamingTheFile) {
  const struct {
    const char *file, *key, *value, *lines;
  } cases[] = {
      {"HY.INP", "te", "400.",
       " ERROR in RDSRER: Range error of identifier 'te',\n"
       "                 value =  400.00    , range = [  273.00    ,  323.00    ]\n"},
      {"OPOUT.INP", "deltout", "26.",
       " ERROR in RDSRER: Range error of identifier 'deltout',\n"
       "                 value =  26.000    , range = [ 0.10000E-02,  25.000    ]\n"},
  };
  for (const auto& c : cases) {
    KernelRun r;
    r.input.set(c.file, c.key, c.value);
    EXPECT_EQ(r.readUpTo("hyin"), 1) << c.key;
    EXPECT_NE(r.out.str().find(std::string(c.lines) + "                 in file " +
                               r.input.path(r.dir, c.file) + "\n"),
              std::string::npos)
        << r.out.str();
  }
}

TEST(InputChecks, DeltwbWithinHalfASecondIsAccepted) {
  KernelRun r;
  r.input.set("WBNU.INP", "deltwb", "600.5");
  EXPECT_EQ(r.readUpTo("wbin"), -1);
  EXPECT_EQ(r.messages(), "");
}

TEST(InputEcho, OpInputZeroWritesNoEchoButReadsTheOptions) {
  KernelRun r;
  r.input.set("OPOUT.INP", "op_input", "0");
  r.input.set("OPOUT.INP", "deltout", "1.");
  r.input.set("OPOUT.INP", "ktop", "3");
  ASSERT_EQ(r.readUpTo("suin"), -1);
  EXPECT_FALSE(std::filesystem::exists(r.dir.file("input.out")));
  EXPECT_EQ(r.s().deltout, 86400.0f);
  EXPECT_EQ(r.s().nwbsy, 2);
  EXPECT_EQ(r.s().iwbsy[2], 80);
  EXPECT_EQ(r.s().ktop, 3);
}

TEST(InputEcho, InitialCalculationFilesHaveTheirHeadings) {
  KernelRun r;
  r.input.set("OPOUT.INP", "op_icwlhy", "1");
  r.input.set("OPOUT.INP", "op_icwb", "1");
  ASSERT_EQ(r.readUpTo("suin"), -1);
  const std::string date = r.kernel->dateLine();
  EXPECT_EQ(r.file("icwlhy.out").substr(0, date.size() + 1), date + "\n");
  EXPECT_NE(r.file("icwlhy.out").find(" Output of initial calculations water layer and hydrology:\n\n\n"
                                      " Results from subroutine hyin:\n discharge equals  0.2431E-04 m3.s-1\n"),
            std::string::npos)
      << r.file("icwlhy.out");
  EXPECT_NE(r.file("icwlhy.out").find(" kdfrss(1-nxnotot)   (m^3/kg)\n 0.0082"), std::string::npos);
  const std::string icwb = r.file("icwb.out");
  EXPECT_EQ(icwb.substr(date.size()), "\n Results from initial calculations for sediment:\n\n\n"
                                      " Results of some initial calculations from subroutine suin:\n"
                                      " kdfrwb(1-nznotot):   (m^3/kg)\n" +
                                          Ld().ra(r.s().kdfrwb, 1, 14).str() + "\n");
}

TEST(Driver, DateLineAndNodeFileNames) {
  KernelRun r;
  Kernel& k = r.make();
  KernelState& s = k.state();
  s.iday = 8;
  s.imonth = 12;
  s.iyear = 2026;
  s.ihour = 8;
  s.iminute = 5;
  s.isecond = 9;
  EXPECT_EQ(k.dateLine(), " KIRMEL simulation:   8-12-2026   8: 5: 9");
  EXPECT_EQ(Kernel::nodeFileName("wbsco###.out", 7), "wbsco007.out");
  EXPECT_EQ(Kernel::nodeFileName("ec###.out   ", 80), "ec080.out");
  EXPECT_EQ(Kernel::nodeFileName("db###.out   ", 200), "db200.out");
  EXPECT_EQ(Kernel::amod(86400.0f, 7.0f), 6.0f);
  EXPECT_EQ(Kernel::amod(-7.5f, 2.0f), -1.5f);
}

}  // namespace
}  // namespace kirmel::test
