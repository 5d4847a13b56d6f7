// Kernel storage — Water-layer solver.
// Part of KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct WlState {
};

}  // namespace kirmel
