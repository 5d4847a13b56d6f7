// Exposure file: daily integrals, time-weighted averages, maxima with their
// times, the closing table, and when the table is written.
#include "output_fixture.h"

namespace kirmel::test {
namespace {

// Four steps a day: every daily integral of a constant concentration is a
// binary fraction, so the averages below are exact.
class ExposureTest : public OutputFixture {
 protected:
  void SetUp() override {
    OutputFixture::SetUp();
    s.deltwl = s.deltwb = 21600.0f;
    s.deltout = 5.0f * 86400.0f;
    s.nt = 120;  // 30 days
    s.op_wlmb = s.op_wlmbnodenr = s.op_wbsconodenr = s.op_wbmbnodenr = 0;
    s.op_wbmball = s.op_dbnodenr = s.op_dbdit = 0;
  }
  void runEc(const std::function<float(int, int)>& cw) {
    run(cw, [](int, int) { return 1.0f; }, false, true);
  }
};

TEST_F(ExposureTest, ConstantConcentrationFromTimeZero) {
  runEc([](int, int) { return 1.0f; });
  auto l = lines("ec003.out");
  ASSERT_EQ(l.size(), 11u + 7u + 12u);
  EXPECT_EQ(l[2], " * in top layer sediment (depth-weighed average of top  40.0 mm)");
  EXPECT_EQ(l[3], " * at segment   3 of water layer (middle of segment at   15.000 m)");
  EXPECT_EQ(l[7], " *<====>  <= water layer ================================>  <sediment>   <======>");
  EXPECT_EQ(l[8], " *  time    momentary      TWAEC4     TWAEC21     TWAEC28   momentary  time step");
  // Time 0: dashes for the averages; top layer cb* = 2 * 0.5 + 0.5 * 1.
  EXPECT_EQ(l[11], "   0.000    0.100E+01           -           -           -   0.150E+01          0");
  // Day 5: TWAEC4 complete plus the half step of day 6; the days before
  // the start still weigh on the longer averages.
  EXPECT_EQ(l[12], "   5.000    0.100E+01   0.103E+01   0.244E+00   0.183E+00   0.150E+01         20");
  // Day 30: (1 + 27 + 0.125) / 28 for TWAEC28.
  EXPECT_EQ(l[17], "  30.000    0.100E+01   0.103E+01   0.101E+01   0.100E+01   0.150E+01        120");
  const std::vector<std::string> table = {
      "",
      "",
      " * Maximal exposure concentrations in water layer for 0, 4, 21 and 28 days",
      " * at    15.000 m in waterbody",
      " *",
      " *  exp. time     time of occur.     exp.conc.",
      " *            d               d         g.m-3",
      " *",
      "              0            0.00    0.1000E+01",
      "              4            4.00    0.1031E+01",
      "             21           21.00    0.1006E+01",
      "             28           28.00    0.1004E+01",
  };
  for (std::size_t n = 0; n < table.size(); ++n) EXPECT_EQ(l[18 + n], table[n]) << n;
  EXPECT_FALSE(env.units().isOpen(29 + 1));
}

TEST_F(ExposureTest, ShortAverageIsBelowTheConcentrationBeforeDayFour) {
  s.deltout = 86400.0f;
  s.nt = 8;
  runEc([](int, int) { return 1.0f; });
  auto l = lines("ec003.out");
  // Day 1: (I(1) = 1 plus the half step of day 2) / 4.
  EXPECT_EQ(l[12].substr(0, 33), "   1.000    0.100E+01   0.281E+00");
}

TEST_F(ExposureTest, EqualPeaksReportTheEarlierTime) {
  runEc([](int, int j) { return j == 2 || j == 9 ? 4.0f : 0.0f; });
  auto l = lines("ec003.out");
  ASSERT_GE(l.size(), 12u);
  EXPECT_EQ(l[l.size() - 4], "              0            0.50    0.4000E+01");
}

TEST_F(ExposureTest, NoConcentrationGivesZeroMaxima) {
  s.nt = 8;
  runEc([](int, int) { return 0.0f; });
  auto l = lines("ec003.out");
  EXPECT_EQ(l[l.size() - 1], "             28            0.00    0.0000E+00");
}

TEST_F(ExposureTest, OutputIntervalLongerThanTheRunGivesTimeZeroOnly) {
  s.deltout = 25.0f * 86400.0f;
  s.nt = 8;
  runEc([](int, int j) { return static_cast<float>(j); });
  auto l = lines("ec003.out");
  ASSERT_EQ(l.size(), 11u + 1u + 12u);
  EXPECT_EQ(l[11].substr(0, 21), "   0.000    0.000E+00");
  // The maxima were those of time 0 when the table was written.
  EXPECT_EQ(l[l.size() - 4], "              0            0.00    0.0000E+00");
  EXPECT_FALSE(env.units().isOpen(30));
}

TEST_F(ExposureTest, TableWrittenAtTheEndWhenNoLastOutputTimeIsSeen) {
  // With an interval that is no multiple of the step, the last output time
  // (step 3) is followed by more than an interval: the table and the closing
  // come at the last step instead of never.
  s.deltwl = s.deltwb = 43200.0f;
  s.deltout = 60000.0f;
  s.nt = 5;
  runEc([](int, int) { return 1.0f; });
  auto l = lines("ec003.out");
  ASSERT_EQ(l.size(), 11u + 2u + 12u);
  EXPECT_EQ(l[13], "");
  EXPECT_EQ(l[l.size() - 1].substr(0, 16), "             28 ");
  EXPECT_FALSE(env.units().isOpen(30));
}

TEST_F(ExposureTest, RunOfMoreThanFiveHundredDays) {
  // 510 days: the last step lies at 511 d, in day 512.  One step a day puts
  // half a day's integral into the current day at every day boundary.
  s.deltwl = s.deltwb = 86400.0f;
  s.deltout = 85.0f * 86400.0f;
  s.nt = 511;
  runEc([](int, int) { return 2.0f; });
  auto l = lines("ec003.out");
  ASSERT_EQ(l.size(), 11u + 7u + 12u);
  // (2 + 3 * 2 + 1) / 4, (20 * 2 + 2 + 1) / 21, (27 * 2 + 2 + 1) / 28
  EXPECT_EQ(l[17], " 510.000    0.200E+01   0.225E+01   0.205E+01   0.204E+01   0.150E+01        510");
  EXPECT_EQ(l[l.size() - 3], "              4            4.00    0.2250E+01");
  EXPECT_EQ(l[l.size() - 2], "             21           21.00    0.2048E+01");
}

}  // namespace
}  // namespace kirmel::test
