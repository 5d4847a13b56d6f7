// Runs of the kernel: the run batch file RUN.BAT, the batch file BATCH.BAT,
// the run marker, a started script and how its runs ended (no Qt).
//
// Both batch files are POSIX shell scripts run with /bin/sh.  Every path and
// name in them is written in single quotes (a quote inside as '\''), and
// every text is written with printf, so a blank or "$(...)" in a name is just
// text.  A script
// - is given the run's id as its first argument, adds its own process id and
//   start time to the run marker, and through a trap removes the marker when
//   it ends for any reason, but only while the marker holds that id (a later
//   run's marker stays);
// - ends a run whose directory it cannot enter before anything is deleted;
// - keeps the kernel's console output in RUN.LOG in the run directory while
//   the console still shows it, and the kernel still reads its answers from
//   the console;
// - records the kernel's exit status and the run's id in kStatusFile in the
//   run directory, written whole (a temporary file renamed into place); a
//   hang-up, interrupt or terminate signal while the kernel runs records
//   128 + the signal's number there instead and ends the script;
// - ends with a prompt and one read, which returns at once at end of input.
//
// The run marker (GUI/TempKir.txt under the root) begins with the date and
// time with ", KIRMEL is running." and the run's id, then what the run uses
// ("dir <run directory>" or "batch <batch file>", and "dir" lines that a
// batch adds as it enters each run directory) and the script's
// "pid <process id> <start time> <process group>".  Its existence means that
// a script started by the front end is still running; one that belongs to a
// process that is gone is removed before the next run.  A script that leads
// a process group of its own (the launchers start it so) counts as running
// while any process of that group does: a kernel goes on writing into its
// run directory after its script was killed outright.
#pragma once

#include <memory>
#include <optional>
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

  bool operator==(const TSimRun&) const = default;
};

// A script that could not be started, or must not be.
class ERunError : public EKirmelError {
 public:
  using EKirmelError::EKirmelError;
};

// The file in a run directory that receives the kernel's exit status (first
// line) and the run's id (second line).
inline constexpr const char* kStatusFile = "kirmel.status";
// The kernel's console output in a run directory.
inline constexpr const char* kRunLogName = "RUN.LOG";
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
// The text of BATCH.BAT for the runs, in their order.  Each run is also
// listed in a comment line that BatchFileRuns reads back.  A run whose
// directories or name hold a control character raises ERunError naming it.
std::string BatchFileText(const std::vector<TSimRun>& runs, const TScriptContext& context);

// The runs that a batch file lists in its comment lines, in their order;
// none for a batch file written without them.  A malformed list line raises
// ERunError naming `path` and the line.
std::vector<TSimRun> BatchFileRuns(std::string_view text, const std::string& path);

// Writes text to a fresh temporary file next to path (created exclusively,
// never through a symbolic link), flushes it, gives it the permission bits
// of the old file and renames it into place, so that an old file stays
// whole when writing fails.  Throws EInOutError.
void WriteScriptFile(const std::string& path, const std::string& text);

// A fresh id for a run: unique within this machine and time.
std::string NewRunId();

// ---- How a run ended ----

// The exit status that the status file in runDir records for the run with
// this id; nothing when the file is missing, unreadable or another run's.
std::optional<int> ReadRunStatus(const std::string& runDir, const std::string& id);
// The exit status that the status file in runDir records for the last run a
// script made there, whatever its id, for one who does not know the id (the
// results viewer).  Nothing when the file is missing or unreadable, or when
// the kernel wrote its message.out there after the status was recorded: the
// output files are then those of a later run by hand, whose status nobody
// recorded.
std::optional<int> ReadLastRunStatus(const std::string& runDir);

// The kernel's last messages in the text of a console log: at most five
// non-empty lines, from the first line among the last twelve that speaks of
// an error, else the last ones; what the scripts print before and after the
// kernel is left out.  Lines are trimmed, runs of blanks become one, control
// characters are written as \xNN, and long lines are shortened.
std::vector<std::string> KernelLastLines(std::string_view log);

// What went wrong in a run whose names file and console log are in
// inputDir and whose output files are in outputDir, given its recorded
// status; "" for status 0.  Status 126 and 127 come from the shell when it
// cannot start the kernel; 128 + N from a kernel ended by signal N, of which
// hang-up, interrupt, kill and terminate come from outside the kernel.  The
// status line is followed by MessageFileText and ConsoleLogText.  Lines are
// joined with CR.
std::string RunFailureText(const std::string& inputDir, const std::string& outputDir,
                           std::optional<int> status);
// Where KIRMEL said why a run ended as it did, each "" when there is
// nothing to point at: the message file message.out in outputDir (only
// when it is there and not empty), and the kernel's last lines in the
// console log RUN.LOG in inputDir, after a line that names it.
std::string MessageFileText(const std::string& outputDir);
std::string ConsoleLogText(const std::string& inputDir);

// ---- The run marker ----

// What a marker says.
struct TRunMarker {
  std::string Id;         // the run's id
  std::string RunDir;     // the last run directory it names
  std::string BatchFile;  // the batch file it was made for; "" for a single run
  int Pid = 0;            // the script's process id; 0 before the script wrote it
  std::string StartTime;  // that process's start time, "" when unknown
  int Group = 0;          // that process's process group, 0 when unknown
};

// What the marker's text says: after its first line, "pid", "dir" and
// "batch" lines, and the first other non-empty line as the id.
TRunMarker ParseRunMarker(std::string_view text);
// The marker at path; nothing when there is none or it cannot be read.
std::optional<TRunMarker> ReadRunMarker(const std::string& path);

// Whether KIRMEL is still writing the output files in runDir: a script that
// still runs (ScriptAlive) holds the marker at path, the run directory it
// works in now (its last "dir" line) is runDir, and the status file there
// does not yet record the end of the kernel's run.
bool RunStillWriting(const std::string& markerPath, const std::string& runDir);

// Whether the process with this id still runs and, when startTime is not
// empty, started at that time (a reused process id does not count).  A
// process that exists but may not be signalled counts as running.
bool ProcessAlive(int pid, const std::string& startTime);

// The start time of a process as the system gives it (/proc/<pid>/stat),
// "" when unknown.
std::string ProcessStartTime(int pid);

// Whether a process of the process group `group` has not ended.  One that
// has ended but was not yet waited for does not count; processes that exist
// but may not be signalled do.  `member`, when given, holds a process found
// running in the group before: it is looked at before all processes are,
// and is set to the one found.
bool ProcessGroupAlive(int group, int* member = nullptr);

// Whether a script that the marker names still runs: its process
// (ProcessAlive), or, when it leads its own process group (group == pid),
// any process left in that group.  A script's process id that now belongs
// to another process means the script's group has gone too: the system
// gives no new process the number of a group that still exists.  `member`
// as for ProcessGroupAlive.
bool ScriptAlive(int pid, const std::string& startTime, int group, int* member = nullptr);

// Before a run or a batch starts: "" when no script that still runs
// (ScriptAlive) holds the marker at path; a marker whose script is gone is
// removed.  Otherwise the message that names the run directory the live run
// uses and the script's process; when only what the script started runs on,
// it names one of those processes (the kernel when it is one) and the
// command that ends it.
std::string LiveRunProblem(const std::string& path);

// ---- A started script ----

// A script started by the front end, and the wait for its end.
class TStartedRun {
 public:
  enum class TState {
    Running,  // the marker is there and the script has not gone
    Ended,    // the script removed the marker
    Lost      // the script went without removing it (killed, or never ran),
              // and nothing it started runs on in its process group
  };

  // A single run of the kernel in runDir.
  TStartedRun(std::unique_ptr<launch::TStartedScript> script, std::string scriptPath,
              std::string markerPath, std::string id, std::string runDir);
  // A batch file and the runs it lists (none: not known; runsProblem says
  // why they could not be read, "" when it lists none).
  static std::unique_ptr<TStartedRun> ForBatch(std::unique_ptr<launch::TStartedScript> script,
                                               std::string scriptPath, std::string markerPath,
                                               std::string id, std::vector<TSimRun> runs,
                                               std::string runsProblem = {});

  // Looks once; never blocks.  After Lost the marker has been removed.
  TState Poll();

  // After Ended or Lost: what went wrong, or "" when every run ended with
  // status 0.  A batch lists each of its runs that did not, with its run
  // directory (a directory it could not enter as such); a batch stopped
  // before it finished whose runs are not known says once that they could
  // not be listed.
  std::string Outcome() const;
  // After Ended: for a batch whose runs are not known, that it has ended,
  // why its runs could not be checked and where to look; otherwise "".
  std::string Information() const;

  const std::string& ScriptPath() const { return scriptPath_; }
  // The run directory of a single run; empty for a batch.
  const std::string& RunDir() const { return runDir_; }
  bool IsBatch() const { return batch_; }
  const std::string& Id() const { return id_; }
  int Pid() const { return script_ ? script_->Pid() : -1; }

 private:
  // Why the runs of a batch are not known, `what` that means, and where to
  // look instead.
  std::string UnknownRunsText(const std::string& what) const;

  std::unique_ptr<launch::TStartedScript> script_;
  std::string scriptPath_;
  std::string markerPath_;
  std::string id_;
  std::string runDir_;
  bool batch_ = false;
  std::vector<TSimRun> runs_;
  std::string runsProblem_;
  // The script's process and its process group, once the marker names them.
  int scriptPid_ = 0;
  std::string scriptStart_;
  int scriptGroup_ = 0;
  // A process of that group last found running, so that a poll while only
  // what the script started runs on need not look at every process.
  int groupMember_ = 0;
  TState state_ = TState::Running;
};

// Whether the marker at path holds the id.
bool MarkerHolds(const std::string& path, const std::string& id);

// What StartScript starts.
struct TScriptStart {
  std::string Script;           // the script file
  std::string Dir;              // its working directory
  std::string RunDir;           // a single run's directory; empty for a batch
  std::vector<TSimRun> Runs;    // a batch's runs
  std::string Marker;           // the run marker
  std::string DateTime;         // the marker's date text
  std::string RunsProblem = {}; // why a batch's runs are not known: its list is unreadable
};

// Refuses (ERunError) while a live script holds the marker, creates the
// marker (EInOutError when it cannot), starts the script with the id as its
// argument through launch::OpenFileExecute in its directory, and returns the
// started run.  When the script cannot be started the marker is removed
// again and ERunError "Unable to execute '<script>'" is raised.
std::unique_ptr<TStartedRun> StartScript(const TScriptStart& start);

}  // namespace kirmel::fe
