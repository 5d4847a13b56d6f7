// New, Select, Save and SaveAs of scenarios and pesticides.
#include <QLineEdit>
#include <filesystem>
#include <functional>
#include <optional>

#include "frontend/editor/Directories.h"
#include "frontend/gui/MainForm.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"
#include "platform/FolderSave.h"
#include "platform/Paths.h"

namespace kirmel::gui {
namespace {

const std::string kCR(1, '\r');
const char* const kDefaultScenario = fe::kUnsavedScenario;
const char* const kDefaultPesticide = fe::kUnsavedPesticide;

// The directory the user chose, or nothing.  The browser lists also the
// folders that a killed save left aside: they are put back first.
std::optional<std::string> Browse(const std::string& title, const std::string& start) {
  files::RestoreAsideFolders(start);
  std::optional<std::string> dir = qt::TheDialogs().BrowseFolder(title, start, false);
  if (dir) *dir = fe::StripTrailingSeparator(*dir);
  return dir;
}

// The folder of scenarios or pesticides, when it has gone since start-up.
void CreateDirectory(const std::string& dir) {
  if (paths::exists(dir)) return;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw fe::EInOutError("Cannot create the directory \"" + dir + "\": " + ec.message());
}

// Save As of a scenario or a pesticide: the user names a folder directly in
// `folder` (listed with the folders a killed save left aside, put back
// first); the chooser stays open until the name passes the check or the
// user cancels, a folder that holds something is replaced only after the
// question, and a folder made for a save that fails is removed again.  `save` saves under the name given
// (the folder is folder + "/" + name) and, when it fails, leaves the model
// its old name `current`.  True when it saved.
bool SaveAs(const std::string& what, const std::string& folder, const std::string current,
            const std::function<void(const std::string&)>& save) {
  files::RestoreAsideFolders(folder);
  std::optional<std::string> dir = qt::TheDialogs().ChooseSaveFolder(
      "Save " + what + " as", folder, fe::IsUnsavedName(current, what) ? std::string() : current,
      [&](const std::string& path) { return fe::CheckSaveAsTarget(path, folder, what).Problem; });
  if (!dir) return false;
  const fe::TSaveAsTarget target = fe::CheckSaveAsTarget(*dir, folder, what);
  if (!target.Problem.empty()) {
    qt::ShowError(target.Problem);
    return false;
  }
  if (target.HoldsFiles &&
      !qt::TheDialogs().Question("A " + what + " with this name already exists." + kCR +
                                 "Overwrite existing " + what + "?"))
    return false;
  try {
    save(target.Name);
  } catch (...) {
    // Nothing was saved under the new name: a folder made for it does not
    // stay behind empty.
    if (!target.Exists) fe::RemoveIfEmpty(folder + "/" + target.Name);
    throw;
  }
  return true;
}

// When `changed` says the scenario (pesticide) `name` has unsaved changes:
// "Save changes to <what> <name>?"; Yes runs `save` as Save saves, without
// its own question (a new one through SaveAs).  A save that is cancelled,
// refused or fails leaves the changes, and the user where he was.  True
// when the caller may go on.
bool AskSave(const std::string& what, const std::string& name, const std::function<bool()>& changed,
             const std::function<void()>& save) {
  if (!changed()) return true;
  switch (qt::TheDialogs().YesNoCancel("Save changes to " + what + " " + name + "?")) {
    case qt::TChoice::No: return true;
    case qt::TChoice::Cancel: return false;
    case qt::TChoice::Yes: break;
  }
  qt::Guarded(save);
  return !changed();
}

}  // namespace

// ---- unsaved changes ----

bool TMainForm::AskSaveScenario() {
  return AskSave("scenario", Data().ScenarioName(), [this] { return editor_->ScenarioChanged(); },
                 [this] {
                   if (fe::IsUnsavedName(Data().ScenarioName(), "scenario"))
                     SaveAsScenarioClick();
                   else
                     SaveScenario(Data().ScenarioName());
                 });
}

bool TMainForm::AskSavePesticide() {
  return AskSave("pesticide", Data().PesticideName(),
                 [this] { return editor_->PesticideChanged(); },
                 [this] {
                   if (fe::IsUnsavedName(Data().PesticideName(), "pesticide"))
                     SaveAsPesticideClick();
                   else
                     SavePesticide(Data().PesticideName());
                 });
}

bool TMainForm::AskSaveChanges() { return AskSaveScenario() && AskSavePesticide(); }

// ---- scenario ----

void TMainForm::NewScenarioClick() {
  if (!AskSaveScenario()) return;
  fe::TKirmelData& data = Data();
  data.SetMetrics(std::make_unique<fe::TMetrics>());
  data.SetDitch(std::make_unique<fe::TDitch>());
  data.SetSediment(std::make_unique<fe::TSediment>());
  data.SetHydrology(std::make_unique<fe::THydrology>());
  data.SetDrift(std::make_unique<fe::TDrift>());
  data.Solids().SetBackgroundConcentration(0);
  data.Drift().Loadings().Entry(0).SetEndPos(data.Ditch().Length());
  data.TotalTime().SetTime(30, 0, 0, 0);
  data.SetKTop(7);
  data.SetOutputTimestep(0.5);
  data.SetScenarioName(kDefaultScenario);
  editor_->Settings() = fe::TSettings(editor_->Settings().Root());
  // A new scenario writes what the results viewer needs.
  editor_->Settings().SetNeededOutput();
  editor_->MarkScenarioUnchanged();
  UpdateAll();
}

void TMainForm::SelectScenarioClick() {
  if (!AskSaveScenario()) return;
  const fe::TSettings& s = editor_->Settings();
  std::optional<std::string> dir = Browse("Select scenario", s.ScenariosDir());
  if (!dir) return;
  if (!fe::IsScenarioDirectory(*dir, s.Root())) {
    qt::ShowError("This is not a valid scenario." + kCR + "Valid scenarios are in the directory " +
                  s.ScenariosDir() + "." + kCR + "Select a scenario from this directory.");
    return;
  }
  const std::string name = fe::ExtractLastDirectory(*dir);
  if (std::string problem = fe::NameProblem(name, "scenario"); !problem.empty()) {
    qt::ShowError(problem);
    return;
  }
  if (editor_->LoadScenario(name)) {
    Data().SetScenarioName(name);
    UpdateAll();
  } else {
    qt::ShowError("Error in reading scenario.");
  }
}

void TMainForm::SaveScenarioClick() {
  if (fe::IsUnsavedName(Data().ScenarioName(), "scenario")) {
    SaveAsScenarioClick();
    return;
  }
  if (qt::Confirm("Are you sure you want to save the changes to the scenario?"))
    SaveScenario(Data().ScenarioName());
}

void TMainForm::SaveAsScenarioClick() {
  SaveAs("scenario", editor_->Settings().ScenariosDir(), Data().ScenarioName(),
         [this](const std::string& name) { SaveScenario(name); });
}

void TMainForm::SaveScenario(const std::string& name) {
  const std::string previous = Data().ScenarioName();
  Data().SetScenarioName(name);
  edtNameScenario_->setText(QString::fromStdString(name));
  try {
    CreateDirectory(editor_->Settings().ScenariosDir());
    editor_->SaveScenario();
  } catch (...) {
    // Unless the new version is in place and only its confirmation failed
    // (the editor then counts the model as saved).
    if (editor_->ScenarioChanged()) {
      Data().SetScenarioName(previous);
      edtNameScenario_->setText(QString::fromStdString(previous));
    }
    throw;
  }
}

// ---- pesticide ----

void TMainForm::NewPesticideClick() {
  if (!AskSavePesticide()) return;
  // The background concentration in air belongs to the scenario.
  const double background = Data().Solids().BackgroundConcentration();
  auto solids = std::make_unique<fe::TSolids>();
  solids->SetBackgroundConcentration(background);
  Data().SetSolids(std::move(solids));
  Data().SetPesticideName(kDefaultPesticide);
  editor_->MarkPesticideUnchanged();
  UpdateAll();
}

void TMainForm::SelectPesticideClick() {
  if (!AskSavePesticide()) return;
  const fe::TSettings& s = editor_->Settings();
  std::optional<std::string> dir = Browse("Select pesticide", s.PesticidesDir());
  if (!dir) return;
  if (!fe::IsPesticideDirectory(*dir, s.Root())) {
    qt::ShowError("This is not a valid pesticide." + kCR +
                  "Valid pesticides are in the directory " + s.PesticidesDir() + "." + kCR +
                  "Select a pesticide from this directory.");
    return;
  }
  const std::string name = fe::ExtractLastDirectory(*dir);
  if (std::string problem = fe::NameProblem(name, "pesticide"); !problem.empty()) {
    qt::ShowError(problem);
    return;
  }
  if (editor_->LoadPesticide(name)) {
    Data().SetPesticideName(name);
    UpdateAll();
  } else {
    qt::ShowError("Error in reading pesticide.");
  }
}

void TMainForm::SavePesticideClick() {
  if (fe::IsUnsavedName(Data().PesticideName(), "pesticide")) {
    SaveAsPesticideClick();
    return;
  }
  if (qt::Confirm("Are you sure you want to save the changes to the pesticide?"))
    SavePesticide(Data().PesticideName());
}

void TMainForm::SaveAsPesticideClick() {
  SaveAs("pesticide", editor_->Settings().PesticidesDir(), Data().PesticideName(),
         [this](const std::string& name) { SavePesticide(name); });
}

void TMainForm::SavePesticide(const std::string& name) {
  const std::string previous = Data().PesticideName();
  Data().SetPesticideName(name);
  edtNamePesticide_->setText(QString::fromStdString(name));
  try {
    CreateDirectory(editor_->Settings().PesticidesDir());
    editor_->SavePesticide();
  } catch (...) {
    if (editor_->PesticideChanged()) {
      Data().SetPesticideName(previous);
      edtNamePesticide_->setText(QString::fromStdString(previous));
    }
    throw;
  }
}

}  // namespace kirmel::gui
