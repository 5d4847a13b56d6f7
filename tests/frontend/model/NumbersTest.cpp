// The general number form, format templates, strict number parsing,
// rounding, the range check and chart extremes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "frontend/model/Numbers.h"
#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

TEST(GeneralNumberForm, ShortestTextFixedAndExponentRanges) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.1, "0.1"},
      {500, "500"},
      {0, "0"},
      {-0.0, "0"},
      {1e-15, "1E-15"},
      {0.00001, "0.00001"},            // smallest magnitude in fixed notation
      {0.0000099, "9.9E-6"},           // just below it
      {-0.00001, "-0.00001"},
      {-2.5e-7, "-2.5E-7"},
      {999999999999999.0, "999999999999999"},  // 15 integer digits: fixed
      {1e15, "1E15"},                          // 16 integer digits: exponent
      {1234567890123456.0, "1.23456789012346E15"},
      {999999999999999.9, "1E15"},  // rounds up to 16 digits
      {0.1 + 0.2, "0.3"},           // at most 15 significant digits
      {1.0 / 3.0, "0.333333333333333"},
      {-75.3, "-75.3"},
      {16400, "16400"},
      {0.000999999999, "0.000999999999"},
      {9.99999999e-10, "9.99999999E-10"},
      {2000.000001, "2000.000001"},
      {1.5e300, "1.5E300"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatGeneral(c.value, '.'), c.text) << c.value;
  EXPECT_EQ(FormatGeneral(std::nan(""), '.'), "NAN");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity(), '.'), "-INF");
}

TEST(GeneralNumberForm, UsesTheGivenDecimalSeparator) {
  EXPECT_EQ(FormatGeneral(0.5, ','), "0,5");
  EXPECT_EQ(FormatGeneral(-1234.25, ','), "-1234,25");
  EXPECT_EQ(FormatGeneral(2.5e-9, ','), "2,5E-9");
  EXPECT_EQ(FormatGeneral(500, ','), "500");
}

TEST(GeneralNumberForm, PrecisionLimitsDigitsAndIntegerPart) {
  EXPECT_EQ(FormatGeneral(33.3333333, '.', 3), "33.3");
  EXPECT_EQ(FormatGeneral(12345, '.', 3), "1.23E4");
  EXPECT_EQ(FormatGeneral(999.6, '.', 3), "1E3");
}

TEST(FormatTemplate, DirectivesOfTheFrontEnd) {
  EXPECT_EQ(Format("%f m", {12.345}, '.'), "12.35 m");  // two decimals by default
  EXPECT_EQ(Format("%f", {3}, '.'), "3.00");
  EXPECT_EQ(Format("%g", {0.1}, '.'), "0.1");
  EXPECT_EQ(Format("%g", {1e-15}, '.'), "1E-15");
  EXPECT_EQ(Format("WBSCO%.3d.OUT", {7}, '.'), "WBSCO007.OUT");
  EXPECT_EQ(Format("EC%.3d.OUT", {1234}, '.'), "EC1234.OUT");
  EXPECT_EQ(Format("%.3d", {-7}, '.'), "-007");
  EXPECT_EQ(Format("%.0d", {0}, '.'), "0");
  EXPECT_EQ(Format("%8.2f", {-3.14159}, '.'), "   -3.14");
  EXPECT_EQ(Format("%6.4f", {0.1}, '.'), "0.1000");
  EXPECT_EQ(Format("%.2f", {-0.001}, '.'), "0.00");  // no minus on a zero
  EXPECT_EQ(Format("%.3g", {300.0 * 40 / 10000}, '.'), "1.2");
  EXPECT_EQ(Format("Maximal scaling factor is %.3g", {10000.0 / 300}, '.'),
            "Maximal scaling factor is 33.3");
  EXPECT_EQ(Format("%5s ", {"4."}, '.'), "   4. ");
  EXPECT_EQ(Format("%5s|", {"123456"}, '.'), "123456|");  // width never cuts
  EXPECT_EQ(Format("%-10s|", {"m"}, '.'), "m         |");
  EXPECT_EQ(Format("%500d", {7}, '.'), std::string(499, ' ') + "7");
  EXPECT_EQ(Format("%.2s", {"abc"}, '.'), "ab");
  EXPECT_EQ(Format("  %-30s ! unit: %-10s range: %d .... %d",
                   {Format("%s = %d", {"nxsedit", 80}, '.'), "-", 1, 500}, '.'),
            "  nxsedit = 80                   ! unit: -          range: 1 .... 500");
  EXPECT_EQ(Format("100%% of %s", {"x"}, '.'), "100% of x");
  EXPECT_EQ(Format("%.2f d - %.2f d", {0.5, 1.25}, ','), "0,50 d - 1,25 d");
  EXPECT_EQ(Format("%g", {0.5}, ','), "0,5");
}

TEST(FormatTemplate, ProgrammingErrorsThrow) {
  EXPECT_THROW(Format("%d", {1.5}, '.'), std::invalid_argument);
  EXPECT_THROW(Format("%f", {"x"}, '.'), std::invalid_argument);
  EXPECT_THROW(Format("%s", {1}, '.'), std::invalid_argument);
  EXPECT_THROW(Format("%d %d", {1}, '.'), std::invalid_argument);
  EXPECT_THROW(Format("%", {1}, '.'), std::invalid_argument);
  EXPECT_THROW(Format("%x", {1}, '.'), std::invalid_argument);
}

TEST(NumberParsing, FloatsAcceptedAndRefused) {
  double v = 0;
  EXPECT_TRUE(TryStrToFloat("1.5", '.', v));
  EXPECT_EQ(v, 1.5);
  EXPECT_TRUE(TryStrToFloat("  -2.5E-3 ", '.', v));
  EXPECT_EQ(v, -2.5e-3);
  EXPECT_TRUE(TryStrToFloat("+.5", '.', v));
  EXPECT_EQ(v, 0.5);
  EXPECT_TRUE(TryStrToFloat("30.", '.', v));
  EXPECT_EQ(v, 30);
  EXPECT_TRUE(TryStrToFloat("1e3", '.', v));
  EXPECT_EQ(v, 1000);
  EXPECT_TRUE(TryStrToFloat("0,1", ',', v));
  EXPECT_EQ(v, 0.1);

  v = 7;
  for (const char* bad : {"", " ", "abc", "1.5x", "1..5", "1.5.", ".", "-", "1e", "1e+",
                          "nan", "inf", "INF", "0x10", "1,000.5", "1 000", "1e400", "--1",
                          "1.5\t"}) {
    EXPECT_FALSE(TryStrToFloat(bad, '.', v)) << bad;
  }
  EXPECT_FALSE(TryStrToFloat("0.5", ',', v));  // the locale's separator only
  EXPECT_FALSE(TryStrToFloat("0,5", '.', v));
  EXPECT_EQ(v, 7);  // unchanged by every refusal
}

TEST(NumberParsing, IntegersAcceptedAndRefused) {
  int v = 0;
  EXPECT_TRUE(TryStrToInt(" 42 ", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(TryStrToInt("-2147483648", v));
  EXPECT_EQ(v, std::numeric_limits<int>::min());
  EXPECT_TRUE(TryStrToInt("+2147483647", v));
  EXPECT_EQ(v, std::numeric_limits<int>::max());
  v = 5;
  for (const char* bad : {"", "+", "2147483648", "-2147483649", "99999999999999999999", "1.0",
                          "$10", "0x10", "1e3", "12a"}) {
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
  }
  EXPECT_EQ(v, 5);
}

TEST(Rounding, HalvesToEvenAndHugeValuesRefused) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999999), 2);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(RoundHalfEven(7.0), 7);
  EXPECT_EQ(RoundHalfEven(2147483647.4), 2147483647);
  EXPECT_EQ(RoundHalfEven(-2147483648.5), -2147483648);
  for (double bad : {2147483647.5, -2147483649.0, 1e300, -1e300,
                     std::numeric_limits<double>::infinity(), std::nan("")}) {
    EXPECT_THROW(RoundHalfEven(bad), EIllegalValue) << bad;
  }
  try {
    RoundHalfEven(1e20);
    FAIL();
  } catch (const EIllegalValue& e) {
    EXPECT_STREQ(e.what(), "Cannot round 1E20 to an integer");
  }
}

TEST(RangeCheck, InclusiveBoundsAndMessage) {
  EXPECT_TRUE(CheckRange("Total time", 0.1, 0.1, 500));
  EXPECT_TRUE(CheckRange("Total time", 500, 0.1, 500));
  try {
    CheckRange("Total time", 0.05, 0.1, 500);
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Total time must lie between 0.1 and 500");
    EXPECT_EQ(e.Message(','), "Total time must lie between 0,1 and 500");
  }
  EXPECT_THROW(CheckRange("x", std::nan(""), 0, 1), EOutOfRange);
  // A name with a percent sign is text, not a template.
  try {
    CheckRange("100% sure", 2, 0, 1);
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "100% sure must lie between 0 and 1");
  }
}

}  // namespace
}  // namespace kirmel::fe
