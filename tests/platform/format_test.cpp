#include "platform/Format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <limits>
#include <string>

namespace fmt = kirmel::fmt;

namespace {

struct IntCase {
  long long v;
  int w, m;
  const char* want;
};

struct RealCase {
  double v;
  int w, d;
  const char* want;
};

std::string runI(long long v, int w, int m) {
  std::string s;
  fmt::I(s, v, w, m);
  return s;
}
std::string runF(double v, int w, int d) {
  std::string s;
  fmt::F(s, v, w, d);
  return s;
}
std::string runE(double v, int w, int d) {
  std::string s;
  fmt::E(s, v, w, d);
  return s;
}
std::string runG(double v) {
  std::string s;
  fmt::G125(s, v);
  return s;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(FormatI, WidthsMinimumDigitsAndOverflow) {
  const IntCase cases[] = {
      {7, 3, 3, "007"},       {7, 5, 3, "  007"},     {-7, 5, 3, " -007"},  {-7, 4, 3, "-007"},
      {-7, 3, 3, "***"},      {1234, 3, 3, "***"},    {0, 3, -1, "  0"},    {0, 3, 0, "   "},
      {999999, 6, -1, "999999"}, {1000000, 6, -1, "******"}, {-99, 3, -1, "-99"},
      {-100, 3, -1, "***"},   {42, 8, -1, "      42"}, {5, 2, 3, "**"},
      {std::numeric_limits<long long>::min(), 20, -1, "-9223372036854775808"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(runI(c.v, c.w, c.m), c.want) << c.v << " I" << c.w << "." << c.m;
}

TEST(FormatF, FixedRoundingLeadingZeroAndOverflow) {
  const RealCase cases[] = {
      {0.5, 5, 2, " 0.50"},
      {0.5, 4, 2, "0.50"},
      {0.5, 3, 2, ".50"},      // one short: zero dropped
      {-0.5, 5, 2, "-0.50"},
      {-0.5, 4, 2, "-.50"},    // one short: zero dropped
      {-0.5, 3, 2, "***"},
      {0.5, 2, 2, "**"},
      {-0.004, 6, 2, "  0.00"},  // rounds to zero: no minus sign
      {-0.0, 5, 2, " 0.00"},
      {-0.004, 3, 2, ".00"},
      {0.125, 6, 2, "  0.12"},   // exact binary tie: round half to even digits of the value
      {0.375, 6, 2, "  0.38"},
      {2.675, 6, 2, "  2.67"},   // 2.675 is 2.67499999... in binary
      {123.456, 7, 3, "123.456"},
      {123.456, 6, 3, "******"},
      {-123.456, 8, 3, "-123.456"},
      {-123.456, 7, 3, "*******"},
      {9.995, 5, 2, " 9.99"},    // binary value lies below the tie
      {9.9951, 4, 2, "****"},    // rounds up to 10.00
      {3.0, 3, 0, " 3."},
      {0.4, 2, 0, "0."},
      {-0.6, 4, 0, " -1."},
      {1e10, 13, 1, "10000000000.0"},
      {1e10, 12, 1, "************"},
      {kNaN, 6, 2, "******"},
      {kInf, 6, 2, "******"},
      {-kInf, 6, 2, "******"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(runF(c.v, c.w, c.d), c.want) << c.v << " F" << c.w << "." << c.d;
}

TEST(FormatF, FloatDigitsAndEmptyField) {
  EXPECT_EQ(runF(static_cast<float>(0.1), 12, 10), "0.1000000015");  // digits of the float
  EXPECT_EQ(runF(1.0, 0, 2), "");
  EXPECT_EQ(runF(1.0, 5, -1), "*****");
}

TEST(FormatE, MantissaExponentAndEdges) {
  const RealCase cases[] = {
      {12.34, 10, 4, "0.1234E+02"},
      {12.34, 11, 4, " 0.1234E+02"},
      {-12.34, 11, 4, "-0.1234E+02"},
      {-12.34, 10, 4, "-.1234E+02"},  // one short: zero dropped
      {-12.34, 9, 4, "*********"},
      {12.34, 9, 4, ".1234E+02"},
      {0.0, 10, 4, "0.0000E+00"},
      {-0.0, 10, 4, "0.0000E+00"},
      {1.0, 10, 4, "0.1000E+01"},
      {0.099999, 10, 4, "0.1000E+00"},  // rounding carries into the exponent
      {9.99996, 11, 4, " 0.1000E+02"},
      {1.5e-5, 11, 4, " 0.1500E-04"},
      {1e100, 10, 4, "0.1000+101"},    // three-digit exponent drops the E
      {1e99, 10, 4, "0.1000+100"},
      {-1e-100, 10, 4, "-.1000E-99"},
      {1.23456e-101, 11, 4, " 0.1235-100"},
      {kNaN, 10, 4, "**********"},
      {kInf, 10, 4, "**********"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(runE(c.v, c.w, c.d), c.want) << c.v << " E" << c.w << "." << c.d;
}

TEST(FormatE, ThreeDigitExponentsAndDenormals) {
  EXPECT_EQ(runE(1e-100, 10, 4), "0.1000E-99");
  EXPECT_EQ(runE(1e-101, 10, 4), "0.1000-100");
  EXPECT_EQ(runE(-1e-101, 10, 4), "-.1000-100");
  EXPECT_EQ(runE(-1e-101, 11, 4), "-0.1000-100");
  EXPECT_EQ(runE(1e-320, 11, 4), " 0.1000-319");  // denormal
  EXPECT_EQ(runE(12.34, 12, 5), " 0.12340E+02");
  EXPECT_EQ(runE(1.0, 4, 0), "****");  // no digits: no form
}

TEST(FormatG125, FixedRangeAndSwitchPoints) {
  struct Case {
    double v;
    const char* want;
  };
  const Case cases[] = {
      {0.1, " 0.10000    "},
      {-0.1, "-0.10000    "},
      {0.099999, " 0.99999E-01"},
      {0.0999996, " 0.10000    "},   // rounds up into the fixed range
      {1.0, "  1.0000    "},
      {-1.0, " -1.0000    "},
      {9.99996, "  10.000    "},     // rounds up a decade: one decimal fewer
      {12.345678, "  12.346    "},
      {99999.4, "  99999.    "},
      {-99999.4, " -99999.    "},
      {99999.5, " 0.10000E+06"},     // rounds to 100000: exponent form
      {123456.0, " 0.12346E+06"},
      {0.0, " 0.00000E+00"},
      {-0.0, " 0.00000E+00"},
      {1e-5, " 0.10000E-04"},
      {-1e-5, "-0.10000E-04"},
      {1e100, " 0.10000+101"},
      {-1e100, "-0.10000+101"},
      {kNaN, "************"},
      {-kInf, "************"},
  };
  for (const auto& c : cases) EXPECT_EQ(runG(c.v), c.want) << c.v;
  EXPECT_EQ(runG(-1e-101), "-0.10000-100");
}

TEST(FormatLayout, XTAndA) {
  std::string s;
  fmt::X(s, 3);
  EXPECT_EQ(s, "   ");
  fmt::A(s, "ab");
  EXPECT_EQ(s, "   ab");
  fmt::T(s, 10);
  EXPECT_EQ(s, "   ab    ");
  fmt::A(s, "x");
  EXPECT_EQ(s, "   ab    x");
  fmt::T(s, 4);  // back: later text takes over from column 4
  fmt::A(s, "Z");
  EXPECT_EQ(s, "   Z");
  fmt::T(s, 1);
  EXPECT_EQ(s, "");
  fmt::X(s, 0);
  fmt::A(s, "");
  EXPECT_EQ(s, "");
  // The data-file library's error report: marker from column 49 on a new record.
  std::string rec;
  fmt::T(rec, 49);
  fmt::A(rec, "^");
  EXPECT_EQ(rec.size(), 49u);
  EXPECT_EQ(rec.back(), '^');
}

TEST(FormatFree, LeadingBlankAndRoundTrip) {
  auto freeR = [](float v) {
    std::string s;
    fmt::freeReal(s, v);
    return s;
  };
  EXPECT_EQ(freeR(0.5f), " 0.5");
  EXPECT_EQ(freeR(100.0f), " 100.0");
  EXPECT_EQ(freeR(-2.25f), " -2.25");
  EXPECT_EQ(freeR(0.0f), " 0.0");
  EXPECT_EQ(freeR(1.5e-5f), " 1.5E-05");
  EXPECT_EQ(freeR(1e7f), " 1.0E+07");
  EXPECT_EQ(freeR(-3e30f), " -3.0E+30");
  EXPECT_EQ(freeR(1.5e9f), " 1.5E+09");
  EXPECT_EQ(freeR(0.1f), " 0.1");

  // Every text reads back to the same float.
  const float values[] = {0.1f,      1.0f / 3.0f, 86400.0f, 1.17549435e-38f, 1.4e-45f,
                          3.4028235e38f, -7.777777e-4f, 9999999.0f, 0.001f, 123456.79f};
  for (float v : values) {
    std::string s = freeR(v);
    ASSERT_EQ(s[0], ' ');
    float back = 0.0f;
    auto r = std::from_chars(s.data() + 1, s.data() + s.size(), back);
    ASSERT_EQ(r.ec, std::errc()) << s;
    EXPECT_EQ(r.ptr, s.data() + s.size()) << s;
    EXPECT_EQ(back, v) << s;
  }

  std::string i;
  fmt::freeInt(i, -42);
  fmt::freeInt(i, 7);
  EXPECT_EQ(i, " -42 7");
}

// Random sweep over bit patterns, widths and decimals: every field has its
// width, holds either asterisks or a number that reads back to the value
// within half a unit of its last place, and never runs out of room early.
TEST(FormatSweep, RandomValuesKeepWidthAndReadBack) {
  std::uint32_t state = 12345u;
  auto next = [&state] {  // xorshift32: deterministic and cheap
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  auto parse = [](const std::string& field, double& v) {
    std::string t = field.substr(field.find_first_not_of(' '));
    // Exponent without its letter ("0.1000+101"): put the E back.
    auto sign = t.find_last_of("+-");
    if (sign != std::string::npos && sign > 0 && t[sign - 1] != 'E')
      t.insert(t.begin() + static_cast<std::ptrdiff_t>(sign), 'E');
    if (t[0] == '.' || (t[0] == '-' && t[1] == '.')) t.insert(t.begin() + (t[0] == '-' ? 1 : 0), '0');
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc() && r.ptr == t.data() + t.size();
  };
  for (int k = 0; k < 20000; ++k) {
    std::uint32_t bits = next();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (k % 2 == 0) f = static_cast<float>(static_cast<int>(next() % 2000001u) - 1000000) /
                        static_cast<float>(1u << (next() % 24u));
    const double v = f;
    const int w = 1 + static_cast<int>(next() % 16u);
    const int d = static_cast<int>(next() % static_cast<unsigned>(w));

    std::string sf = runF(v, w, d);
    ASSERT_EQ(sf.size(), static_cast<std::size_t>(w)) << v;
    if (sf == std::string(static_cast<std::size_t>(w), '*')) {
      EXPECT_FALSE(std::isfinite(v) && std::fabs(v) < std::pow(10.0, w - d - 2) && w >= d + 3)
          << v << " F" << w << "." << d;
    } else {
      double back = 0;
      ASSERT_TRUE(parse(sf, back)) << "[" << sf << "]";
      EXPECT_LE(std::fabs(back - v), 0.5 * std::pow(10.0, -d) + std::fabs(v) * 1e-15) << sf << " " << v;
      EXPECT_FALSE(sf.find('-') != std::string::npos && back == 0.0) << sf;
    }

    const int de = 1 + static_cast<int>(next() % 7u);
    std::string se = runE(v, 12, de);
    ASSERT_EQ(se.size(), 12u);
    if (se != "************") {
      double back = 0;
      ASSERT_TRUE(parse(se, back)) << "[" << se << "]";
      const double scale = v == 0 ? 0 : std::pow(10.0, std::floor(std::log10(std::fabs(v))) + 1);
      EXPECT_LE(std::fabs(back - v), 0.5 * scale * std::pow(10.0, -de) + std::fabs(v) * 1e-15) << se;
    } else {
      EXPECT_TRUE(!std::isfinite(v) || de + 6 + (v < 0 ? 1 : 0) > 12) << v << " E12." << de;
    }

    std::string sg = runG(v);
    ASSERT_EQ(sg.size(), 12u) << v;
  }
}
