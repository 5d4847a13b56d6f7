// The run and batch buttons of the KIRMEL page and their menu twins, and the
// wait for a started run.
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <system_error>

#include "frontend/editor/Directories.h"
#include "frontend/editor/RunCheck.h"
#include "frontend/gui/BatchForm.h"
#include "frontend/gui/MainForm.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "platform/Paths.h"

namespace kirmel::gui {
namespace {

const std::string kCR(1, '\r');
// How often the wait looks for the end of a run.
constexpr int kPollMilliseconds = 200;

// The names of unsaved work, in any case of letters (Save As takes none).
bool HasDefaultNames(const fe::TKirmelData& data) {
  return fe::IsUnsavedName(data.ScenarioName(), "scenario") ||
         fe::IsUnsavedName(data.PesticideName(), "pesticide");
}

// The common steps of a run and a saved run: check, save the scenario and
// the pesticide, make the run directory and write FILES.INP into it.  For a
// run (forRun) the kernel must be there and an existing run directory is
// only reused after a Yes.  False when the run must not go on (the reason
// has been shown).
bool WriteRun(TMainForm& form, const std::string& refusal, bool forRun) {
  fe::TKirmelEditor& editor = form.Editor();
  if (std::string problem = fe::RunProblem(editor, forRun); !problem.empty()) {
    qt::ShowError(refusal + kCR + problem);
    return false;
  }
  const std::string scenario = form.Data().ScenarioName();
  const std::string pesticide = form.Data().PesticideName();
  std::string saving = "scenarios";  // what the folder being saved into holds
  try {
    form.SaveScenario(scenario);
    saving = "pesticides";
    form.SavePesticide(pesticide);
  } catch (const fe::EInOutError& e) {
    std::string message = e.what() + kCR +
                          (forRun ? "KIRMEL was not started." : "The run was not saved.");
    // A new name helps only where the folder of all scenarios (pesticides)
    // takes one.
    if (const auto* p = dynamic_cast<const fe::EWriteProtected*>(&e)) {
      const std::string advice =
          p->ParentFolder()
              ? "The folder of " + saving +
                    " is write-protected: nothing can be saved or run in it."
              : "Save it under a new name with SaveAs to run it.";
      message += kCR + advice;
    }
    qt::ShowError(message);
    return false;
  }

  fe::TSettings& settings = editor.Settings();
  const std::string runDir = paths::forCreate(settings.RunDirOf(scenario, pesticide));
  settings.RunPath = runDir;
  settings.RunDir = runDir;
  if (paths::exists(runDir)) {
    if (forRun &&
        !qt::Confirm("Results for this combination of scenario and pesticide already exist." +
                     kCR + "Override existing results?"))
      return false;
  } else {
    std::error_code ec;
    std::filesystem::create_directories(runDir, ec);
    if (ec) {
      qt::ShowError("Cannot create the run directory \"" + runDir + "\": " + ec.message());
      return false;
    }
  }
  editor.WriteFilesInp();
  return true;
}

}  // namespace

void TMainForm::RunKirmelButtonClick() {
  if (HasDefaultNames(Data())) {
    qt::ShowError("Could not run KIRMEL." + kCR + "Scenario or pesticide is not yet saved.");
    return;
  }
  // A run that still goes on (after "Stop waiting", or of a window that
  // was killed) keeps its directory: refused before anything is saved or
  // asked.
  if (std::string problem = fe::LiveRunProblem(fe::MarkerPath(editor_->Settings()));
      !problem.empty()) {
    qt::ShowError("Could not run KIRMEL." + kCR + problem);
    return;
  }
  if (!WriteRun(*this, "Could not run KIRMEL.", true)) return;
  if (std::unique_ptr<fe::TStartedRun> run = editor_->RunSimulation()) StartWait(std::move(run));
}

void TMainForm::BitBtnSaveRunClick() {
  if (HasDefaultNames(Data())) {
    qt::ShowError("Could not save run." + kCR +
                  "Scenario or pesticide has still got the default name.");
    return;
  }
  WriteRun(*this, "Could not save run.", false);
}

void TMainForm::GraphButtonClick() {
  fe::TSettings& settings = editor_->Settings();
  settings.OutputDir = settings.RunDirOf(Data().ScenarioName(), Data().PesticideName());
  if (std::optional<std::string> dir = paths::resolveExisting(settings.OutputDir)) {
    settings.OutputDir = *dir;
    viewer::OpenGraphMenu(this, settings.OutputDir, settings.Root());
  } else {
    qt::ShowInfo("No output exists for this combination of scenario and pesticide.");
  }
}

void TMainForm::BitBtnCreateBatchClick() {
  TBatchForm form(*editor_, this);
  form.exec();
}

void TMainForm::BitBtnRunBatchClick() {
  const std::string path = fe::BatchFilePath(editor_->Settings());
  if (!paths::exists(path)) {
    qt::ShowError("Batchfile " + path + " not found." + kCR +
                  "You should first create a batchfile.");
    return;
  }
  if (std::string problem = fe::LiveRunProblem(fe::MarkerPath(editor_->Settings()));
      !problem.empty()) {
    qt::ShowError("Could not run batchfile." + kCR + problem);
    return;
  }
  StartWait(editor_->RunBatchFile());
}

// ---- the wait ----

void TMainForm::StartWait(std::unique_ptr<fe::TStartedRun> run) {
  if (!run) return;
  if (!runStatus_) {
    // The status bar is there only while a run is waited for.
    runStatus_ = new QWidget;
    runStatus_->setObjectName(QStringLiteral("RunStatus"));
    auto* layout = new QHBoxLayout(runStatus_);
    layout->setContentsMargins(4, 0, 4, 0);
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("RunStatusLabel"));
    // A long name is cut rather than widening the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* stop = new QPushButton(QStringLiteral("Stop waiting"));
    stop->setObjectName(QStringLiteral("StopWaitingButton"));
    connect(stop, &QPushButton::clicked, this, qt::GuardedSlot([this] { StopWaitingClick(); }));
    layout->addWidget(label, 1);
    layout->addWidget(stop);
    statusBar()->addWidget(runStatus_, 1);
    runTimer_ = new QTimer(this);
    runTimer_->setInterval(kPollMilliseconds);
    connect(runTimer_, &QTimer::timeout, this, qt::GuardedSlot([this] { PollRun(); }));
  }
  // The run's folder or the batch file by name; the whole path as a tip.
  const bool batch = run->IsBatch();
  const std::string path = batch ? run->ScriptPath() : run->RunDir();
  auto* label = runStatus_->findChild<QLabel*>(QStringLiteral("RunStatusLabel"));
  label->setText(QString::fromStdString(
      (batch ? "The batch file " + fe::ExtractLastDirectory(path) + " is running."
             : "KIRMEL is running (" + fe::ExtractLastDirectory(path) + ").") +
      " The window is locked until it ends."));
  label->setToolTip(QString::fromStdString(path));
  run_ = std::move(run);
  SetMenusEnabled(false);
  pageControlMain_->setEnabled(false);
  statusBar()->show();
  runTimer_->start();
}

void TMainForm::PollRun() {
  if (!run_ || run_->Poll() == fe::TStartedRun::TState::Running) return;
  const std::string outcome = run_->Outcome();
  const std::string information = run_->Information();
  EndWait();
  if (!outcome.empty())
    qt::ShowError(outcome);
  else if (!information.empty())
    qt::ShowInfo(information);
}

void TMainForm::EndWait() {
  if (runTimer_) runTimer_->stop();
  run_.reset();
  SetMenusEnabled(true);
  pageControlMain_->setEnabled(true);
  if (runStatus_) statusBar()->hide();
}

// The script goes on; when it ends it removes its own marker only.
void TMainForm::StopWaitingClick() { EndWait(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  if (Waiting()) {
    bool quit = false;
    qt::Guarded([&] {
      quit = qt::Confirm("KIRMEL is still running." + kCR + "Stop waiting and exit KIRMEL-GUI?");
    });
    if (!quit) {
      event->ignore();
      return;
    }
  }
  // Edits are not thrown away: the field being edited is taken, and changes
  // are saved or dropped as the user answers.
  bool close = false;
  qt::Guarded([&] { close = CommitEdits() && AskSaveChanges(); });
  if (!close) {
    event->ignore();
    return;
  }
  if (Waiting()) EndWait();
  QMainWindow::closeEvent(event);
}

}  // namespace kirmel::gui
