// Choices the graph windows make before they draw: which output times or
// segments a chart shows, which sediment subsystem each of three lists
// starts on, and which selected subsystems have output files at all.
#pragma once

#include <array>
#include <vector>

#include "frontend/viewer/INPUT.h"

namespace kirmel::fe {

// The numbers (1-based, in series order) of the at most five of n output
// times or segments a chart shows: all of them when n <= 5, else 1,
// (m + 1) div 2, m, (m + n) div 2 and n with m = (n + 1) div 2.  Nothing
// for n <= 0.
std::vector<int> FiveOfN(int n);

// The first choices (0-based) of the three subsystem lists of a window with
// n lines: the first, the middle (n div 2 when n is odd, n div 2 - 1 when
// even) and the last.  All -1 when the lists are empty.
std::array<int, 3> DefaultListChoices(int n);

// The selected subsystems (1-based numbers into TINPUT::Subsystems, in
// order) that lie under the water body.  The kernel writes the sediment,
// distribution and exposure files of these only: a subsystem placed on a
// buffer node has none.
std::vector<int> SubsystemsInWaterBody(const TINPUT& in);

// Mid-point distance (m) of the water-body segment under selected
// subsystem i (1-based); the subsystem must lie under the water body.
double SubsystemDistance(const TINPUT& in, int i);

}  // namespace kirmel::fe
