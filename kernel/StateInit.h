// Kernel storage — Initial calculations and loadings.
// Part of KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct InitState {
};

}  // namespace kirmel
