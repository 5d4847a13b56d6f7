// The floating-point faults that stop a run: invalid operation, division by
// zero and overflow.
#pragma once

#include <cfenv>

namespace kirmel {

constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

}  // namespace kirmel
