// The editor's part in runs: the run batch file and the start of a run or
// a batch.
#include <filesystem>
#include <fstream>
#include <system_error>

#include "frontend/editor/Editor.h"
#include "frontend/editor/Run.h"
#include "platform/Paths.h"

namespace kirmel::fe {
namespace {

// The largest batch file that is read for its runs.
constexpr std::uintmax_t kBatchFileLimit = 16 * 1024 * 1024;

TScriptContext ContextOf(const TSettings& settings, const std::string& dateTime) {
  return TScriptContext{KernelPath(settings), MarkerPath(settings), dateTime};
}

// The script writes the status and the console log anew; old ones must not
// speak for a run that never reached the kernel.
void RemoveOldRecords(const std::string& runDir) {
  std::error_code ec;
  std::filesystem::remove(runDir + "/" + kStatusFile, ec);
  std::filesystem::remove(runDir + "/" + kRunLogName, ec);
}

}  // namespace

bool TKirmelEditor::WriteBatchFile(const std::string& path) {
  try {
    WriteScriptFile(path, RunBatchText(settings_.RunDir, ContextOf(settings_, DateTime())));
  } catch (const EInOutError&) {
    ShowError("Cannot write to file " + path);
    return false;
  }
  return true;
}

std::unique_ptr<TStartedRun> TKirmelEditor::RunSimulation() {
  const std::string marker = MarkerPath(settings_);
  // Nothing in the run directory is touched while a live run may use it.
  if (std::string problem = LiveRunProblem(marker); !problem.empty()) throw ERunError(problem);
  const std::string path = settings_.RunDir + "/" + kRunBatchName;
  if (!WriteBatchFile(path)) return nullptr;
  RemoveOldRecords(settings_.RunDir);
  return StartScript({path, settings_.RunDir, settings_.RunDir, {}, marker, DateTime()});
}

std::unique_ptr<TStartedRun> TKirmelEditor::RunBatchFile() {
  const std::string marker = MarkerPath(settings_);
  if (std::string problem = LiveRunProblem(marker); !problem.empty()) throw ERunError(problem);
  const std::string path = paths::forCreate(BatchFilePath(settings_));
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) throw ERunError("Cannot read the batch file " + path + ": " + ec.message());
  if (size > kBatchFileLimit)
    throw ERunError("Cannot read the batch file " + path + ": it is larger than " +
                    std::to_string(kBatchFileLimit / (1024 * 1024)) + " MB.");
  std::ifstream in(path, std::ios::binary);
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (!in) throw ERunError("Cannot read the batch file " + path + ".");
  // The batch file is the user's: it runs as it is, also when its list of
  // runs cannot be read (the report after the batch then says so) or the
  // kernel it runs is missing (each run then reports that).
  std::vector<TSimRun> runs;
  std::string runsProblem;
  try {
    runs = BatchFileRuns(text, path);
  } catch (const ERunError& e) {
    runsProblem = e.what();
  }
  for (const TSimRun& run : runs) RemoveOldRecords(run.InputDir);
  return StartScript(
      {path, settings_.BatchDir, "", std::move(runs), marker, DateTime(), std::move(runsProblem)});
}

}  // namespace kirmel::fe
