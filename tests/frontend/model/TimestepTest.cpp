// Normalisation of durations, their totals in seconds and days, and the
// refusal of values that cannot be normalised.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>

#include "frontend/model/KirExcpt.h"
#include "frontend/model/Timestep.h"

namespace kirmel::fe {
namespace {

struct Parts {
  int d, h, m;
  double s;
};

// The normalisation as a step-by-step loop: the reference for small values.
Parts LoopReference(int d, int h, int m, double s) {
  while (s >= 60) { s -= 60; m += 1; }
  while (s < 0) { s += 60; m -= 1; }
  while (m >= 60) { m -= 60; h += 1; }
  while (m < 0) { m += 60; h -= 1; }
  while (h >= 24) { h -= 24; d += 1; }
  while (h < 0) { h += 24; d -= 1; }
  return {d, h, m, s};
}

void ExpectParts(const TTimestep& t, int d, int h, int m, double s) {
  EXPECT_EQ(t.Days(), d);
  EXPECT_EQ(t.Hours(), h);
  EXPECT_EQ(t.Minutes(), m);
  EXPECT_EQ(t.Seconds(), s);
}

TEST(Timestep, NormalisesEveryPart) {
  ExpectParts(TTimestep(0, 0, 0, 600), 0, 0, 10, 0);
  ExpectParts(TTimestep(1, 25, 0, 0), 2, 1, 0, 0);
  ExpectParts(TTimestep(0, 0, 0, 3661), 0, 1, 1, 1);
  ExpectParts(TTimestep(0, 0, 0, -30), -1, 23, 59, 30);
  ExpectParts(TTimestep(0, 0, 0, -120), -1, 23, 58, 0);
  ExpectParts(TTimestep(0, 0, 0, 59.75), 0, 0, 0, 59.75);
  ExpectParts(TTimestep(3, -1, -61, 0), 2, 21, 59, 0);
  ExpectParts(TTimestep(0, INT_MAX, INT_MAX, 0), 89478485 + 1491308, 7 + 2, 7, 0);

  TTimestep t;
  t.SetSeconds(90);
  ExpectParts(t, 0, 0, 1, 30);
  t.SetMinutes(125);
  ExpectParts(t, 0, 2, 5, 30);
  t.SetHours(49);
  ExpectParts(t, 2, 1, 5, 30);
  t.SetDays(-4);
  ExpectParts(t, -4, 1, 5, 30);
  TTimestep copy;
  copy.Assign(t);
  EXPECT_EQ(copy, t);
}

TEST(Timestep, ConstantTimeNormalisationMatchesTheStepwiseLoop) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> parts(-5000, 5000);
  std::uniform_real_distribution<double> seconds(-1e6, 1e6);
  for (int i = 0; i < 2000; ++i) {
    int d = parts(rng), h = parts(rng), m = parts(rng);
    double s = i % 2 ? seconds(rng) : std::round(seconds(rng));
    Parts r = LoopReference(d, h, m, s);
    SCOPED_TRACE(testing::Message() << d << " " << h << " " << m << " " << s);
    ExpectParts(TTimestep(d, h, m, s), r.d, r.h, r.m, r.s);
  }
  // The loop would leave 60 s for a tiny negative value; the parts stay
  // normal instead.
  ExpectParts(TTimestep(0, 0, 0, -1e-300), 0, 0, 0, 0);
  ExpectParts(TTimestep(0, 0, 0, -1e-10), -1, 23, 59, 60 - 1e-10);
}

TEST(Timestep, HugeAndNonFiniteValuesRefusedQuickly) {
  TTimestep t(1, 2, 3, 4);
  const TTimestep before = t;
  for (double bad : {1e300, -1e300, std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), std::nan(""),
                     // beyond the range of int in days, but finite and exact
                     86400.0 * 2147483648.0, -86400.0 * 2147483651.0}) {
    EXPECT_THROW(t.SetSeconds(bad), EIllegalValue) << bad;
    EXPECT_EQ(t, before);
  }
  EXPECT_THROW(TTimestep(INT_MAX, 24, 0, 0), EIllegalValue);
  EXPECT_THROW(TTimestep(INT_MIN, -1, 0, 0), EIllegalValue);
  try {
    t.SetSeconds(std::numeric_limits<double>::infinity());
  } catch (const EIllegalValue& e) {
    EXPECT_STREQ(e.what(), "Illegal number of seconds: INF");
  }
  // The largest day count still fits.
  TTimestep last(0, 0, 0, 86400.0 * INT_MAX);
  EXPECT_EQ(last.Days(), INT_MAX);
}

TEST(Timestep, SecondsAndDaysExactForExactInputs) {
  TTimestep t(0, 0, 0, 3661);
  EXPECT_EQ(t.AsSeconds(), 3661);
  EXPECT_EQ(t.AsDays(), 3661.0 / 86400);
  EXPECT_EQ(TTimestep(0, 2, 24, 0).AsDays(), 0.1);
  EXPECT_LT(TTimestep(0, 2, 23, 59).AsDays(), 0.1);
  EXPECT_EQ(TTimestep(30, 0, 0, 0).AsDays(), 30);
  EXPECT_EQ(TTimestep(30, 0, 0, 0).AsSeconds(), 2592000);
  EXPECT_EQ(TTimestep(0, 12, 0, 0).AsDays(), 0.5);
  EXPECT_EQ(TTimestep(0, 0, 0, 0.25).AsSeconds(), 0.25);
  EXPECT_EQ(TTimestep(-1, 23, 59, 30).AsSeconds(), -30);
  // Each time step that divides a day gives back its exact number of seconds.
  for (double s : {1.0, 7.0, 600.0, 86400.0}) EXPECT_EQ(TTimestep(0, 0, 0, s).AsSeconds(), s);
  // Days and seconds of a whole range of total times.
  for (int tenth = 1; tenth <= 5000; ++tenth) {
    double days = tenth / 10.0;
    TTimestep total(0, 0, 0, days * 86400);
    EXPECT_EQ(total.AsDays(), days) << days;
  }
}

}  // namespace
}  // namespace kirmel::fe
