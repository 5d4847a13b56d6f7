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

// True when a and b name the same directory.
bool SameDirectory(const std::string& a, const std::string& b);

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

// Why `name` cannot name a scenario or pesticide the program is to create:
// NameProblem's reasons, a blank at its start or end (a trailing blank
// cannot be seen in a name field), and more bytes than every later save of
// it can hold (files::LongestFolderName).  Names beyond ASCII are fine.
std::string NewNameProblem(const std::string& name, const std::string& what);

// The names of a scenario and a pesticide that have not been saved; a run
// refuses them, so Save As does not take them (in any case of letters).
inline constexpr const char* kUnsavedScenario = "DefaultScenario";
inline constexpr const char* kUnsavedPesticide = "DefaultPesticide";
// True when `name` is the unsaved scenario's (`what` "scenario") or
// pesticide's name, in any case of letters.
bool IsUnsavedName(const std::string& name, const std::string& what);

// A folder chosen to save a scenario (pesticide) in, as Save As finds it.
struct TSaveAsTarget {
  std::string Problem;     // why it cannot take the save; "" when it can
  std::string Dir;         // the folder (as it is on disk when it exists)
  std::string Name;        // its own name: the name to save under
  bool Exists = false;     // the folder is there
  bool HoldsFiles = false; // ... and is not empty: saving replaces what it holds
};

// Checks `dir` for Save As without changing anything: it must lie directly
// in `folder` (the root's SCENARIOS or PESTICIDES), its name (all that
// follows folder + "/", when it does) must pass NewNameProblem and may not
// be the unsaved model's name, and what is there under that name (found
// also in another case) must be a folder.  `what` is "scenario" or
// "pesticide".
TSaveAsTarget CheckSaveAsTarget(const std::string& dir, const std::string& folder,
                                const std::string& what);

// Removes `dir` when it is an empty folder; true when it did.
bool RemoveIfEmpty(const std::string& dir);

}  // namespace kirmel::fe
