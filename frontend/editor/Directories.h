// Directory rules shared by the main window, the batch dialog and the
// comparison windows: which directories hold scenarios, pesticides and runs,
// and which names may become such directories.
//
// A directory is a scenario (pesticide, run) directory exactly when it lies
// directly in the root's SCENARIOS (PESTICIDES, RUNS) folder; its own name is
// not examined.  Paths are compared normalised: "." and ".." and repeated
// separators resolved, symbolic links followed, and a parent that does not
// exist under the name given found by matching each component without
// regard to case.
#pragma once

#include <string>

namespace kirmel::fe {

// The text after the last '/' of path (all of path when it has none, empty
// when it ends with '/').
std::string ExtractLastDirectory(const std::string& path);

// Removes one trailing '/' (not from "/" itself).
std::string StripTrailingSeparator(const std::string& path);

// True when dir lies directly in root/SCENARIOS (PESTICIDES, RUNS).
bool IsScenarioDirectory(const std::string& dir, const std::string& root);
bool IsPesticideDirectory(const std::string& dir, const std::string& root);
bool IsRunDirectory(const std::string& dir, const std::string& root);

// Why `name` cannot name a scenario or pesticide folder, or "" when it can.
// Refused: an empty name, "." and "..", a name that begins with "." (hidden
// in listings; saves work under such names), "/", control characters, a
// single quote, and "+" (the run folder is "<scenario>+<pesticide>").  `what` is
// "scenario" or "pesticide".
std::string NameProblem(const std::string& name, const std::string& what);

}  // namespace kirmel::fe
