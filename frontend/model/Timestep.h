// A duration of days, hours, minutes and seconds, always normalised.
#pragma once

namespace kirmel::fe {

// After every change: 0 <= Seconds < 60, 0 <= Minutes < 60,
// 0 <= Hours < 24; Days takes what is left and may be negative.
// A change that would make Days leave the range of int, or a non-finite
// Seconds, raises EIllegalValue and leaves the duration as it was.
class TTimestep {
 public:
  TTimestep() = default;
  TTimestep(int days, int hours, int minutes, double seconds);

  int Days() const { return days_; }
  int Hours() const { return hours_; }
  int Minutes() const { return minutes_; }
  double Seconds() const { return seconds_; }

  void SetDays(int value);
  void SetHours(int value);
  void SetMinutes(int value);
  void SetSeconds(double value);
  void SetTime(int days, int hours, int minutes, double seconds);
  void Assign(const TTimestep& other);

  // Moves whole minutes out of the seconds, whole hours out of the minutes
  // and whole days out of the hours, borrowing for negative parts:
  // 600 s -> 10 min 0 s; 1 d 25 h -> 2 d 1 h; -30 s -> -1 min 30 s -> ...
  // A negative Seconds too close to a whole minute for the sum with 60 to
  // stay below 60 becomes 0 s of that minute.
  void Normalize();

  // The whole duration in seconds and in days.  Whole seconds give exact
  // results: 2 h 24 min is exactly 8640 s and 0.1 d (the double nearest 0.1).
  double AsSeconds() const;
  double AsDays() const;

  bool operator==(const TTimestep& other) const = default;

 private:
  int days_ = 0;
  int hours_ = 0;
  int minutes_ = 0;
  double seconds_ = 0;
};

}  // namespace kirmel::fe
