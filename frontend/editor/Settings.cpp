#include "frontend/editor/Settings.h"

#include <filesystem>
#include <system_error>

#include "platform/Paths.h"

namespace kirmel::fe {
namespace {

// The root as an absolute, normalised path without a trailing '/'.
std::string AbsoluteRoot(const std::string& root) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(root.empty() ? "." : root, ec);
  if (ec) p = root;
  std::string s = p.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

}  // namespace

TSettings::TSettings() : TSettings(paths::root()) {}

TSettings::TSettings(const std::string& root) : root_(AbsoluteRoot(root)) {
  ExecDir = paths::kernelDir();
  RunDir = RunDirOf("DefaultScenario", "DefaultPesticide");
  RunPath = RunDir;
  OutputDir = RunDir;
  BatchDir = root_;
}

std::string TSettings::ScenarioDir(const std::string& scenario) const {
  return ScenariosDir() + "/" + scenario;
}

std::string TSettings::PesticideDir(const std::string& pesticide) const {
  return PesticidesDir() + "/" + pesticide;
}

std::string TSettings::RunDirOf(const std::string& scenario, const std::string& pesticide) const {
  return RunsDir() + "/" + scenario + "+" + pesticide;
}

void TSettings::SetNeededOutput() {
  op_input = op_wlmb = op_wbsconodenr = op_ecnodenr = op_wbmball = op_dbnodenr = op_dbdit = true;
  op_icwlhy = op_icwb = op_wlmbnodenr = op_wbmbnodenr = false;
}

bool TSettings::IsNeededOutput() const {
  return op_input && op_wlmb && op_wbsconodenr && op_ecnodenr && op_wbmball && op_dbnodenr &&
         op_dbdit && !op_icwlhy && !op_icwb && !op_wlmbnodenr && !op_wbmbnodenr;
}

bool TSettings::IsAllOutput() const {
  return op_input && op_icwlhy && op_icwb && op_wlmb && op_wlmbnodenr && op_wbsconodenr &&
         op_ecnodenr && op_wbmbnodenr && op_wbmball && op_dbnodenr && op_dbdit;
}

}  // namespace kirmel::fe
