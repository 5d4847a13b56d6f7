#include "platform/Version.h"

// CMakeLists.txt defines the three for this file alone, so a new version
// rebuilds only this file.
#if !defined(KIRMEL_VERSION) || !defined(KIRMEL_RELEASE) || !defined(KIRMEL_GUI_VERSION)
#error "KIRMEL_VERSION, KIRMEL_RELEASE and KIRMEL_GUI_VERSION come from CMakeLists.txt"
#endif

namespace kirmel::version {

std::string kernel() { return KIRMEL_VERSION; }
std::string kernelRelease() { return KIRMEL_RELEASE; }
std::string gui() { return KIRMEL_GUI_VERSION; }

}  // namespace kirmel::version
