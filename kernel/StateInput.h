// Kernel storage — Input: output options, hydrology, substance, water-layer and sediment grids.
// Part of KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct InputState {
};

}  // namespace kirmel
