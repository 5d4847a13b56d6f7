// Settings of the front end: the directories of runs, batches and the kernel,
// the output switches written to OPOUT.INP, and what the header of every
// kernel input file holds.
//
// The root (the Linux stand-in for the fixed root directory) is
// paths::root() unless a caller passes another one; it is made absolute so
// that the names file can give every kernel input file by absolute path.
// Directories use '/' separators and have no trailing separator.
#pragma once

#include <string>

namespace kirmel::fe {

// Which lines the header of a kernel input file holds, and whether the files
// carry their separators, section headings and explanations.
struct TOutputOptions {
  std::string Author;
  std::string Note;
  bool WriteDate = true;
  bool WriteAuthor = false;
  bool WriteVersions = true;
  bool WriteFileName = true;
  bool WriteContents = true;
  bool Comments = true;
  bool WriteNote = false;  // only when Note is not empty
};

class TSettings {
 public:
  // Root from paths::root().
  TSettings();
  explicit TSettings(const std::string& root);

  // The absolute root and its fixed sub-directories.
  const std::string& Root() const { return root_; }
  std::string ScenariosDir() const { return root_ + "/SCENARIOS"; }
  std::string PesticidesDir() const { return root_ + "/PESTICIDES"; }
  std::string RunsDir() const { return root_ + "/RUNS"; }
  std::string GuiDir() const { return root_ + "/GUI"; }
  std::string ScenarioDir(const std::string& scenario) const;
  std::string PesticideDir(const std::string& pesticide) const;
  // The run directory of a scenario and a pesticide: RUNS/<scenario>+<pesticide>.
  std::string RunDirOf(const std::string& scenario, const std::string& pesticide) const;

  std::string ExecDir;    // directory of the kernel program (paths::kernelDir())
  std::string RunDir;     // directory of the current run
  std::string RunPath;    // the same run directory, as used for the run batch file
  std::string OutputDir;  // directory whose kernel output files the viewer reads
  TOutputOptions OutputOptions;
  std::string BatchDir;
  std::string BatchFileName = "BATCH.BAT";

  // The eleven output switches of OPOUT.INP.
  bool op_input = false;
  bool op_icwlhy = false;
  bool op_icwb = false;
  bool op_wlmb = false;
  bool op_wlmbnodenr = false;
  bool op_wbsconodenr = false;
  bool op_ecnodenr = false;
  bool op_wbmbnodenr = false;
  bool op_wbmball = false;
  bool op_dbnodenr = false;
  bool op_dbdit = false;

  // The switches whose files the results viewer reads: op_input, op_wlmb,
  // op_wbsconodenr, op_ecnodenr, op_wbmball, op_dbnodenr and op_dbdit on,
  // the other four off.
  void SetNeededOutput();
  bool IsNeededOutput() const;
  // All eleven switches on.
  bool IsAllOutput() const;

 private:
  std::string root_;
};

}  // namespace kirmel::fe
