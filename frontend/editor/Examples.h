// The example scenario and pesticide that a new root starts with.
//
// A root without scenarios (SCENARIOS missing, or holding no scenario
// folder) gets the example's scenario and pesticide folders copied in, so
// that the program opens on something that runs.  They come from the
// installed copy (<program dir>/../share/kirmel/examples) when it is there,
// else from the copy built into the program.  A folder that already exists
// under the root, in any case of its letters, is never written to.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kirmel::fe {

// One file of the example: its path under the examples folder, such as
// "SCENARIOS/NLStandard_sp/HY.INP", and its bytes.
struct TExampleFile {
  std::string Path;
  std::string Content;
};

// The example as built into the program.
std::vector<TExampleFile> BuiltinExample();

// The installed examples folder for a program in programDir, or "" when it
// is not there (a folder that lacks SCENARIOS or PESTICIDES does not count).
std::string InstalledExamplesDir(const std::string& programDir);

// The example read from an examples folder (every file of each folder in
// its SCENARIOS and PESTICIDES).  Throws std::runtime_error naming the file
// that cannot be read.
std::vector<TExampleFile> ReadExample(const std::string& examplesDir);

// True when root/SCENARIOS holds at least one scenario folder (a folder
// whose name does not begin with '.').
bool RootHasScenarios(const std::string& root);

struct TSeedResult {
  std::vector<std::string> Copied;  // the folders created, as "SCENARIOS/NLStandard_sp"
  std::string Error;                // what went wrong, naming the path; empty when nothing did
};

// Copies the example into a root without scenarios: each of its scenario
// and pesticide folders that the root lacks.  Every folder is written
// complete under a hidden name first and then renamed into place, so a
// failure leaves no partial folder behind.  Nothing happens when the root
// has a scenario.
TSeedResult SeedExample(const std::string& root, const std::vector<TExampleFile>& example);

// SeedExample with the installed example of a program in programDir, else
// the built-in one.
TSeedResult SeedRootWithExample(const std::string& root, const std::string& programDir);

// Puts right what killed programs left under the root, before the program
// starts using it (and before the example is copied in): scenario and
// pesticide folders that a killed save left aside go back in place, and the
// hidden copies of the example that a killed start left behind are removed:
// only folders named exactly as a copy of the built-in example or of the
// one installed for a program in programDir is named
// (".<example folder>.example-<process id>"), whose process is gone (one of
// another user counts as there).
void TidyRoot(const std::string& root, const std::string& programDir);

}  // namespace kirmel::fe
