// The versions of the two programs.  Both are set once, at the top of
// CMakeLists.txt, and reach the code only through these functions.
#pragma once

#include <string>

namespace kirmel::version {

// The kernel KIRMEL_12's version: CMake's project version ("1.2.1").
std::string kernel();

// The kernel's release, its major and minor number ("1.2"): the version
// that the names file's heading states.
std::string kernelRelease();

// The front end KirmelGUI's version ("1.0").
std::string gui();

}  // namespace kirmel::version
