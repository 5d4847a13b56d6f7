// Range check and rounding shared by the model, the file writer and reader,
// and the windows.
#pragma once

#include <string_view>
#include <type_traits>

#include "frontend/model/KirExcpt.h"

namespace kirmel::fe {

// Returns true when min <= value <= max (both bounds inclusive).  Otherwise
// raises EOutOfRange with name + " must lie between " + min + " and " + max,
// the bounds in the general number form.  NaN never lies in a range.  It never
// returns false: setters store the value only after it returned.
bool CheckRange(std::string_view name, double value, double min, double max);

// The setters' check-then-store: field takes value only after
// CheckRange(name, value, min, max) let it pass; a refused value raises
// EOutOfRange and leaves field as it was.
template <class T>
void SetChecked(T& field, std::type_identity_t<T> value, std::string_view name, double min,
                double max) {
  if (CheckRange(name, value, min, max)) field = value;
}

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2).  A value that is not finite or whose rounded value
// lies outside the range of int raises EIllegalValue instead.
int RoundHalfEven(double value);

}  // namespace kirmel::fe
