// Shared set-up of the editor tests: an editor over a private root with a
// fixed date and captured messages.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/TempDir.h"
#include "frontend/editor/Editor.h"

namespace kirmel::test {

inline constexpr const char* kTestDate = "09-12-2026";

struct EditorFixture {
  TempDir root;
  std::vector<std::string> messages;
  std::unique_ptr<fe::TKirmelEditor> editor;

  explicit EditorFixture(char decimalSeparator = '.') {
    fe::TKirmelEditor::TEnvironment env;
    env.Root = root.str();
    env.DecimalSeparator = decimalSeparator;
    env.Date = [] { return std::string(kTestDate); };
    env.Messages = [this](const std::string& m) { messages.push_back(m); };
    editor = std::make_unique<fe::TKirmelEditor>(std::move(env));
    for (const char* sub : {"SCENARIOS", "PESTICIDES", "RUNS", "GUI"})
      std::filesystem::create_directories(root.path() / sub);
  }

  fe::TKirmelEditor& ed() { return *editor; }
  fe::TKirmelData& data() { return editor->Data(); }

  std::string scenarioDir(const std::string& name) const {
    return editor->Settings().ScenarioDir(name);
  }
  std::string pesticideDir(const std::string& name) const {
    return editor->Settings().PesticideDir(name);
  }

  // Saves the model's scenario and pesticide under the given names, creating
  // their directories as the main window does.
  void save(const std::string& scenario, const std::string& pesticide) {
    data().SetScenarioName(scenario);
    data().SetPesticideName(pesticide);
    std::filesystem::create_directories(scenarioDir(scenario));
    std::filesystem::create_directories(pesticideDir(pesticide));
    editor->SaveScenario();
    editor->SavePesticide();
  }
};

// The example's header options: no date and no file-name line; its switches.
inline void UseExampleOptions(fe::TSettings& s) {
  s.OutputOptions.WriteDate = false;
  s.OutputOptions.WriteFileName = false;
  s.op_input = true;
  s.op_wlmb = true;
  s.op_wbsconodenr = true;
  s.op_wbmball = true;
  s.op_dbnodenr = true;
  s.op_dbdit = true;
  s.op_ecnodenr = true;
}

inline const std::vector<std::string>& ScenarioFiles() {
  static const std::vector<std::string> files = {"WLNU.INP", "WLPA.INP", "WLST.INP",
                                                 "WBNU.INP", "WBPA.INP", "WBST.INP",
                                                 "HY.INP",   "OPOUT.INP", "SL.INP"};
  return files;
}

}  // namespace kirmel::test
