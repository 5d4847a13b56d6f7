#include "frontend/model/Timestep.h"

#include <climits>
#include <cmath>
#include <cstdint>

#include "frontend/model/KirExcpt.h"

namespace kirmel::fe {
namespace {

// Floor division and its non-negative remainder for a positive divisor.
void FloorDivMod(std::int64_t value, std::int64_t divisor, std::int64_t& quotient,
                 std::int64_t& remainder) {
  quotient = value / divisor;
  remainder = value % divisor;
  if (remainder < 0) {
    remainder += divisor;
    --quotient;
  }
}

// Beyond this many seconds (2^53) the day count is far outside int whatever
// the other parts are, and below it every step of the arithmetic is exact.
constexpr double kMaxSeconds = 9007199254740992.0;

}  // namespace

TTimestep::TTimestep(int days, int hours, int minutes, double seconds) {
  SetTime(days, hours, minutes, seconds);
}

void TTimestep::SetDays(int value) { SetTime(value, hours_, minutes_, seconds_); }
void TTimestep::SetHours(int value) { SetTime(days_, value, minutes_, seconds_); }
void TTimestep::SetMinutes(int value) { SetTime(days_, hours_, value, seconds_); }
void TTimestep::SetSeconds(double value) { SetTime(days_, hours_, minutes_, value); }
void TTimestep::Assign(const TTimestep& other) {
  SetTime(other.days_, other.hours_, other.minutes_, other.seconds_);
}

void TTimestep::Normalize() { SetTime(days_, hours_, minutes_, seconds_); }

// Gives the same parts as subtracting (adding) 60 seconds, 60 minutes and 24
// hours one at a time, in constant time.  Below 2^53 s each of those
// subtractions is exact, so the seconds left are the exact remainder; the one
// rounding step is the last addition that lifts a negative remainder into
// [0, 60).
void TTimestep::SetTime(int days, int hours, int minutes, double seconds) {
  if (!std::isfinite(seconds))
    throw EIllegalValue("Illegal number of seconds: %g", {seconds});
  if (!(std::fabs(seconds) < kMaxSeconds))
    throw EIllegalValue("Time of %g seconds is out of range", {seconds});

  std::int64_t carry = 0;  // whole minutes moved out of the seconds
  if (seconds >= 60) {
    double rest = std::fmod(seconds, 60.0);
    carry = static_cast<std::int64_t>((seconds - rest) / 60.0);
    seconds = rest;
  }
  if (seconds < 0) {
    double rest = std::fmod(seconds, 60.0);  // in (-60, 0]
    std::int64_t steps = static_cast<std::int64_t>((rest - seconds) / 60.0);
    if (rest < 0) {
      ++steps;
      rest += 60.0;
      // A remainder closer to 0 than the precision of 60 rounds up to 60;
      // keep the parts normal instead: the duration is then 0 s into the
      // minute after.
      if (rest >= 60.0) {
        --steps;
        rest = 0.0;
      }
    } else {
      rest = 0.0;
    }
    carry -= steps;
    seconds = rest;
  }

  std::int64_t totalMinutes = static_cast<std::int64_t>(minutes) + carry;
  std::int64_t hourCarry = 0, newMinutes = 0;
  FloorDivMod(totalMinutes, 60, hourCarry, newMinutes);
  std::int64_t totalHours = static_cast<std::int64_t>(hours) + hourCarry;
  std::int64_t dayCarry = 0, newHours = 0;
  FloorDivMod(totalHours, 24, dayCarry, newHours);
  std::int64_t newDays = static_cast<std::int64_t>(days) + dayCarry;
  if (newDays < INT_MIN || newDays > INT_MAX)
    throw EIllegalValue("Time of %g days is out of range", {static_cast<double>(newDays)});

  days_ = static_cast<int>(newDays);
  hours_ = static_cast<int>(newHours);
  minutes_ = static_cast<int>(newMinutes);
  seconds_ = seconds;
}

double TTimestep::AsSeconds() const {
  // The whole part is an exact integer (|days| < 2^31, so below 2^48 s); one
  // addition then rounds the exact sum once.
  std::int64_t whole = static_cast<std::int64_t>(minutes_) * 60 +
                       static_cast<std::int64_t>(hours_) * 3600 +
                       static_cast<std::int64_t>(days_) * 86400;
  return static_cast<double>(whole) + seconds_;
}

double TTimestep::AsDays() const { return AsSeconds() / 86400.0; }

}  // namespace kirmel::fe
