// The editor's part in runs: the run batch file and the start of a run or
// a batch.
#include <filesystem>
#include <system_error>

#include "frontend/editor/Editor.h"
#include "frontend/editor/Run.h"
#include "platform/Paths.h"

namespace kirmel::fe {
namespace {

TScriptContext ContextOf(const TSettings& settings, const std::string& dateTime) {
  return TScriptContext{KernelPath(settings), MarkerPath(settings), dateTime};
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
  const std::string path = settings_.RunDir + "/" + kRunBatchName;
  if (!WriteBatchFile(path)) return nullptr;
  // The script writes the status anew; an old one must not speak for a run
  // that never reached the kernel.
  std::error_code ec;
  std::filesystem::remove(settings_.RunDir + "/" + kStatusFile, ec);
  return StartScript(path, settings_.RunDir, settings_.RunDir, MarkerPath(settings_), DateTime());
}

std::unique_ptr<TStartedRun> TKirmelEditor::RunBatchFile() {
  return StartScript(paths::forCreate(BatchFilePath(settings_)), settings_.BatchDir, "",
                     MarkerPath(settings_), DateTime());
}

}  // namespace kirmel::fe
