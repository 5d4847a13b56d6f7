// Checks before a run is written: values the front end accepts but the
// kernel refuses, names and paths that cannot go into the names file or a
// batch file, and the kernel program itself (no Qt).
//
// Each check returns the message of the first problem found, or "" when
// there is none.  Numbers in messages use the given decimal separator.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "frontend/editor/Editor.h"

namespace kirmel::fe {

// Values that pass the model's setters but stop the kernel: the number of
// output segments (1 .. 9) and their numbers (1 .. 200), an output interval
// shorter than the calculation time step, the number of sediment segments
// (1 .. 50) and their thickness (up to 0.5 m), half-lives of 0, the molecular
// mass (up to 1000 g/mol), the diffusion coefficient (up to 100 mm2/d), two
// drift entries in one time step, and a background concentration in air
// other than 0.
std::string KernelLimitProblem(const TKirmelData& data, char decimalSeparator);

// Everything a run needs before anything is written: the names, the
// kernel's limits, the paths FILES.INP will hold (no single quote or control
// character) and, with needKernel, an executable
// KIRMEL_12 in ExecDir.
std::string RunProblem(const TKirmelEditor& editor, bool needKernel);

// Whether the kernel program at `kernel` can be started: a regular file
// that may be executed, with no control character in its path.
std::string KernelProblem(const std::string& kernel);

}  // namespace kirmel::fe
