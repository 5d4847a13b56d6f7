// Kernel storage — Kernel driver: counters, loop indices, names file, run date, sediment store.
// Part of KernelState (KernelState.h); value-initialised to zero.
#pragma once

#include <string>

#include "kernel/Sizes.h"

namespace kirmel {

struct DriverState {
};

}  // namespace kirmel
