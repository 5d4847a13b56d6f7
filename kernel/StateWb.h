// Kernel storage — Sediment solver.
// Part of KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct WbState {
};

}  // namespace kirmel
