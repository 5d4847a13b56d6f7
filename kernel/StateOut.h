// Kernel storage — Output writers: concentrations, distribution, exposure, mass balances.
// Part of KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct OutState {
};

}  // namespace kirmel
