// All state of one kernel run, in one object.  The members come from one
// struct per area of the model so that each area's storage sits beside its
// routines; inside the routines every item is reached by its model name
// (s.deltwl, s.nt, ...).
#pragma once

#include "kernel/StateDriver.h"
#include "kernel/StateInit.h"
#include "kernel/StateInput.h"
#include "kernel/StateOut.h"
#include "kernel/StateWb.h"
#include "kernel/StateWl.h"

namespace kirmel {

struct KernelState : DriverState, InputState, InitState, WlState, WbState, OutState {};

}  // namespace kirmel
