// Runs of the kernel: the run batch file RUN.BAT, the batch file BATCH.BAT,
// the run marker and a started script (no Qt).
//
// Both batch files are POSIX shell scripts run with /bin/sh.  Every path and
// name in them is written in single quotes (a quote inside as '\''), and
// every text is written with printf, so a blank or "$(...)" in a name is just
// text.  A script
// - is given the run's id as its first argument and, through a trap, removes
//   the run marker when it ends for any reason, but only while the marker
//   holds that id (a later run's marker stays);
// - ends a run whose directory it cannot enter before anything is deleted;
// - records the kernel's exit status in kStatusFile in the run directory;
// - ends with a prompt and one read, which returns at once at end of input.
//
// The run marker (GUI/TempKir.txt under the root) holds two lines: the date
// and time with ", KIRMEL is running.", and the run's id.  Its existence
// means that a script started by the front end is still running.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/editor/Editor.h"
#include "platform/Launcher.h"

namespace kirmel::fe {

// One entry of a batch.
struct TSimRun {
  std::string Name;       // shown in the batch dialog's list
  std::string InputDir;   // the run directory that holds the names file
  std::string OutputDir;  // where the output files end up
  std::string NamesFile = "FILES.INP";
};

// A script that could not be started.
class ERunError : public EKirmelError {
 public:
  using EKirmelError::EKirmelError;
};

// The file in a run directory that receives the kernel's exit status.
inline constexpr const char* kStatusFile = "kirmel.status";
inline constexpr const char* kRunBatchName = "RUN.BAT";
inline constexpr const char* kKernelName = "KIRMEL_12";

// text in single quotes for /bin/sh, a quote inside written as '\''.
std::string ShellQuote(std::string_view text);

// Why text cannot be written into a batch file (a control character), or
// "" when it can.  `what` names the text in the message.
std::string ScriptTextProblem(const std::string& text, const std::string& what);

// What the scripts need besides the runs.
struct TScriptContext {
  std::string Kernel;    // full path of KIRMEL_12
  std::string Marker;    // full path of the run marker
  std::string DateTime;  // the date line's text
};

// The kernel program: ExecDir/KIRMEL_12.
std::string KernelPath(const TSettings& settings);
// The run marker: GUI/TempKir.txt under the root.
std::string MarkerPath(const TSettings& settings);
// The batch file: BatchDir/BatchFileName.
std::string BatchFilePath(const TSettings& settings);

// The text of RUN.BAT for the run directory runDir.
std::string RunBatchText(const std::string& runDir, const TScriptContext& context);
// The text of BATCH.BAT for the runs, in their order.
std::string BatchFileText(const std::vector<TSimRun>& runs, const TScriptContext& context);

// Writes text to a temporary file next to path and renames it into place,
// so that an old file stays whole when writing fails.  Throws EInOutError.
void WriteScriptFile(const std::string& path, const std::string& text);

// A fresh id for a run: unique within this machine and time.
std::string NewRunId();

// A script started by the front end, and the wait for its end.
class TStartedRun {
 public:
  enum class TState {
    Running,  // the marker is there and the script has not gone
    Ended,    // the script removed the marker
    Lost      // the script went without removing it (killed, or never ran)
  };

  // runDir: the run directory whose status file tells how the kernel ended;
  // empty for a batch.
  TStartedRun(std::unique_ptr<launch::TStartedScript> script, std::string scriptPath,
              std::string markerPath, std::string id, std::string runDir);

  // Looks once; never blocks.  After Lost the marker has been removed.
  TState Poll();

  // After Ended or Lost: what went wrong, or "" when the kernel ended with
  // status 0 (a batch: when its script ended by itself).
  std::string Outcome() const;

  const std::string& ScriptPath() const { return scriptPath_; }
  const std::string& RunDir() const { return runDir_; }
  int Pid() const { return script_ ? script_->Pid() : -1; }

 private:
  std::unique_ptr<launch::TStartedScript> script_;
  std::string scriptPath_;
  std::string markerPath_;
  std::string id_;
  std::string runDir_;
  TState state_ = TState::Running;
};

// Whether the marker at path holds the id.
bool MarkerHolds(const std::string& path, const std::string& id);

// Creates the marker (EInOutError when it cannot), starts the script with
// the id as its argument through launch::OpenFileExecute in dir, and returns
// the started run.  When the script cannot be started the marker is removed
// again and ERunError "Unable to execute '<script>'" is raised.
std::unique_ptr<TStartedRun> StartScript(const std::string& script, const std::string& dir,
                                         const std::string& runDir, const std::string& marker,
                                         const std::string& dateTime);

}  // namespace kirmel::fe
