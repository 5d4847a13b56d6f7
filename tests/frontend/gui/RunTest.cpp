// Running KIRMEL from the main window: the refusals, the saves and the
// override question, a complete run through RUN.BAT with the wait, failures
// of the kernel and of the script, Exit during a wait, save run and view
// output; and one run of the real kernel.
#include <spawn.h>
#include <sys/wait.h>

#include <QPushButton>

#include "RunFixture.h"
#include "common/SmallFilesystem.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "qtcommon/OnModal.h"
#include "frontend/editor/Directories.h"
#include "frontend/editor/Run.h"

extern char** environ;

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
const std::string CR(1, '\r');

bool Empty(const fs::path& dir) { return fs::is_empty(dir); }

// The names of unsaved work, in any case of letters: Run and Save run refuse
// them, Save goes through SaveAs (cancelled here).
TEST_F(RunFixture, DefaultNamesAreRefusedAndNothingIsWritten) {
  Start();
  Click("RunKirmelButton");
  form->findChild<QAction*>("Save1")->trigger();
  Data().SetScenarioName("defaultSCENARIO");
  Data().SetPesticideName("defaultpesticide");
  Click("RunKirmelButton");
  const std::vector<std::string> refusals = {
      "Could not run KIRMEL." + CR + "Scenario or pesticide is not yet saved.",
      "Could not save run." + CR + "Scenario or pesticide has still got the default name."};
  EXPECT_EQ(Errors(), (std::vector<std::string>{refusals[0], refusals[1], refusals[0]}));
  dialogs->Clear();
  dialogs->AnswerSaveFolder(std::nullopt).AnswerSaveFolder(std::nullopt);
  Click("SaveScenarioButton");
  Click("SavePesticideButton");
  ASSERT_EQ(dialogs->Records().size(), 2u);
  for (const qt::TDialogRecord& r : dialogs->Records()) {
    EXPECT_EQ(r.Kind, qt::TDialogKind::SaveFolder);
    EXPECT_EQ(r.Name, "");
  }
  for (const char* sub : {"SCENARIOS", "PESTICIDES", "RUNS"}) EXPECT_TRUE(Empty(root.path() / sub));
  EXPECT_FALSE(fs::exists(Marker()));
}

TEST_F(RunFixture, BothSavesComeBeforeTheOverrideQuestionAndNoKeepsOldResults) {
  SeedExamples();
  Start();
  root.write("RUNS/NLStandard_sp+Cpf/wlsoco.out", "old results\n");
  root.write("RUNS/NLStandard_sp+Cpf/FILES.INP", "old names\n");
  Enter("Width", "3");
  Enter("MolecularMass", "300");
  dialogs->AnswerConfirm(false);
  Click("RunKirmelButton");
  ASSERT_EQ(dialogs->Records().size(), 1u);
  EXPECT_EQ(dialogs->Records()[0].Kind, qt::TDialogKind::Confirm);
  EXPECT_EQ(dialogs->Records()[0].Text,
            "Results for this combination of scenario and pesticide already exist." + CR +
                "Override existing results?");
  EXPECT_NE(readFile(root.str() + "/SCENARIOS/NLStandard_sp/WLPA.INP").find("wibot = 3."),
            std::string::npos);
  EXPECT_NE(readFile(root.str() + "/PESTICIDES/Cpf/SU.INP").find("mamol = 300."),
            std::string::npos);
  EXPECT_EQ(readFile(RunDir() + "/wlsoco.out"), "old results\n");
  EXPECT_EQ(readFile(RunDir() + "/FILES.INP"), "old names\n");
  EXPECT_FALSE(fs::exists(RunDir() + "/RUN.BAT"));
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_FALSE(form->Waiting());
  EXPECT_TRUE(NoneLocked());
}

TEST_F(RunFixture, ACompleteRunThroughTheScript) {
  SeedExamples();
  Start();
  root.write("RUNS/NLStandard_sp+Cpf/stale.out", "old\n");
  root.write("RUNS/NLStandard_sp+Cpf/DB001.OUT", "old\n");
  Hold();
  dialogs->AnswerConfirm(true);
  form->findChild<QAction*>("Run1")->trigger();  // Ctrl+R
  Settle();
  ASSERT_TRUE(form->Waiting());
  // Locked while the kernel runs; Exit and the way out of the wait stay.
  EXPECT_TRUE(AllLocked());
  EXPECT_TRUE(form->findChild<QAction*>("Exit1")->isEnabled());
  EXPECT_TRUE(form->findChild<QAction*>("File1")->isEnabled());
  EXPECT_TRUE(form->statusBar()->isVisible());
  EXPECT_TRUE(Find<QPushButton>("StopWaitingButton")->isEnabled());
  EXPECT_NE(readFile(Marker()).find(", KIRMEL is running.\n"), std::string::npos);

  Release();
  ASSERT_TRUE(WaitEnds());
  EXPECT_TRUE(NoneLocked());
  EXPECT_FALSE(form->statusBar()->isVisible());
  EXPECT_TRUE(Errors().empty()) << Errors().front();
  EXPECT_EQ(Kernel("args"), "1\n" + RunDir() + "/FILES.INP\n");  // one argument, whole
  EXPECT_EQ(Kernel("cwd"), RunDir() + "\n");
  // The old outputs went first; RUN.LOG holds the script's console, and
  // room for the status is kept while the kernel runs.
  EXPECT_EQ(Kernel("seen"), "FILES.INP\nRUN.BAT\nRUN.LOG\nkirmel.status.room\n");
  EXPECT_FALSE(fs::exists(RunDir() + "/kirmel.status.room"));
  EXPECT_EQ(readFile(RunDir() + "/kirmel.status").rfind("0\nrun-", 0), 0u);
  EXPECT_NE(readFile(RunDir() + "/FILES.INP").find("SCENARIOS/NLStandard_sp/OPOUT.INP'"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_FALSE(Pwned());

  // "View output" opens the graph menu on the run directory.
  OnModal<viewer::TGraphMenuForm>([&](viewer::TGraphMenuForm* menu) {
    EXPECT_EQ(menu->OutputDir, RunDir());
    EXPECT_EQ(menu->Root, form->Editor().Settings().Root());
    menu->reject();
  });
  Click("GraphButton");
  EXPECT_EQ(form->Editor().Settings().OutputDir, RunDir());
}

TEST_F(RunFixture, KernelFailuresAreReported) {
  SeedExamples();
  Start();
  const std::string seeMessages = CR + "See the messages in \"" + RunDir() + "/message.out\".";
  const std::string console =
      CR + "The last messages of KIRMEL on its console (\"" + RunDir() + "/RUN.LOG\"):" + CR;
  // The kernel's own fatal stops exit 1; any status but 0 is a failure.
  for (int status : {3, 1}) {
    KernelStatus(status);
    dialogs->AnswerConfirm(true);
    Click("RunKirmelButton");
    ASSERT_TRUE(WaitEnds());
    EXPECT_EQ(Errors().back(), "KIRMEL stopped with exit status " + std::to_string(status) + "." +
                                   seeMessages + console + "  ERROR in STANDIN: stopping with " +
                                   std::to_string(status));
  }
  EXPECT_EQ(Errors().size(), 2u);

  // A script killed with its kernel cannot remove its marker; the wait
  // ends all the same and the marker goes.  The kernel was stopped before
  // it wrote message.out, so none is named.
  Hold();
  fs::remove(kernelDir + "/started");
  Click("RunKirmelButton");
  ASSERT_TRUE(form->Waiting());
  KillScript();
  ASSERT_TRUE(WaitEnds());
  EXPECT_EQ(LastError(), "KIRMEL did not finish the run.");
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_TRUE(NoneLocked());
}

// A run whose script gets a terminate or hang-up signal (a closed terminal)
// while the kernel runs.
TEST_F(RunFixture, ARunEndedFromOutsideSaysSo) {
  SeedExamples();
  Start();
  dialogs->AnswerConfirm(true);
  for (const auto& [sig, status] : {std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    Hold();
    fs::remove(kernelDir + "/started");
    Click("RunKirmelButton");
    ASSERT_TRUE(form->Waiting());
    SignalScript(sig);
    ASSERT_TRUE(WaitEnds());
    Release();
    EXPECT_EQ(readFile(RunDir() + "/kirmel.status").substr(0, 4), std::to_string(status) + "\n");
    // The message may go on with the shell's word on the stopped kernel;
    // the kernel was stopped before it wrote message.out.
    EXPECT_EQ(Errors().back().rfind(
                  "KIRMEL did not finish the run." + CR +
                      "It was ended before it finished: its terminal was closed or the run was "
                      "stopped from outside (exit status " + std::to_string(status) + ").",
                  0),
              0u)
        << Errors().back();
    EXPECT_EQ(Errors().back().find("message.out"), std::string::npos) << Errors().back();
    EXPECT_FALSE(fs::exists(Marker()));
    EXPECT_TRUE(NoneLocked());
  }
}

// A child process that runs until the test ends it.
struct LiveProcess {
  pid_t pid = -1;
  LiveProcess() {
    char arg0[] = "sleep", arg1[] = "60";
    char* argv[] = {arg0, arg1, nullptr};
    posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ);
  }
  ~LiveProcess() { End(); }
  void End() {
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
  }
};

// After the window was killed during a run, its script and kernel still
// run; a new window must not touch that run directory.
TEST_F(RunFixture, ARunDirectoryThatALiveRunUsesIsNotTouched) {
  SeedExamples();
  Start();
  root.write("RUNS/NLStandard_sp+Cpf/wlsoco.out", "results of the live run\n");
  root.write("RUNS/NLStandard_sp+Cpf/FILES.INP", "names of the live run\n");
  root.write("BATCH.BAT", "# a batch\n");
  LiveProcess live;
  ASSERT_GT(live.pid, 0);
  const std::string marker = "today, KIRMEL is running.\nrun-elsewhere\ndir " + RunDir() +
                             "\npid " + std::to_string(live.pid) + " " +
                             fe::ProcessStartTime(live.pid) + "\n";
  root.write("GUI/TempKir.txt", marker);
  const std::string refusal = "KIRMEL is still running in the run directory \"" + RunDir() +
                              "\" (process " + std::to_string(live.pid) + ")." + CR +
                              "Wait until it has ended, or close its window, before starting "
                              "another run.";
  Click("RunKirmelButton");
  Click("BitBtnRunBatch");
  EXPECT_EQ(Errors(), (std::vector<std::string>{"Could not run KIRMEL." + CR + refusal,
                                                "Could not run batchfile." + CR + refusal}));
  EXPECT_EQ(dialogs->Records().size(), 2u);  // no question before the refusal
  EXPECT_EQ(readFile(RunDir() + "/wlsoco.out"), "results of the live run\n");
  EXPECT_EQ(readFile(RunDir() + "/FILES.INP"), "names of the live run\n");
  EXPECT_FALSE(fs::exists(RunDir() + "/RUN.BAT"));
  EXPECT_EQ(readFile(Marker()), marker);
  EXPECT_FALSE(form->Waiting());
  EXPECT_TRUE(Kernel("args").empty());

  // Once that process is gone its marker is removed and the run goes on.
  live.End();
  dialogs->AnswerConfirm(true);
  ASSERT_TRUE(ClickStartsRun("RunKirmelButton"));
  ASSERT_TRUE(WaitEnds());
  EXPECT_EQ(Errors().size(), 2u);
  EXPECT_EQ(dialogs->Records().back().Text,
            "Results for this combination of scenario and pesticide already exist." + CR +
                "Override existing results?");
  EXPECT_EQ(readFile(RunDir() + "/wlsoco.out"), "x\n");
  EXPECT_FALSE(fs::exists(Marker()));

  // After "Stop waiting" the run goes on and keeps its directory.
  Hold();
  dialogs->AnswerConfirm(true);
  Click("RunKirmelButton");
  ASSERT_TRUE(form->Waiting());
  const int script = ScriptPid();
  ASSERT_GT(script, 0);
  Find<QPushButton>("StopWaitingButton")->click();
  Click("RunKirmelButton");
  EXPECT_EQ(Errors().back(), "Could not run KIRMEL." + CR +
                                 "KIRMEL is still running in the run directory \"" + RunDir() +
                                 "\" (process " + std::to_string(script) + ")." + CR +
                                 "Wait until it has ended, or close its window, before starting "
                                 "another run.");
  EXPECT_FALSE(form->Waiting());
  Release();
}

// A launcher that never starts anything.
class TRefusingLauncher : public launch::TLauncher {
 public:
  std::unique_ptr<launch::TStartedScript> Start(const std::string&, const std::vector<std::string>&,
                                                const std::string&, std::string& why) override {
    why = "refused";
    return nullptr;
  }
};

TEST_F(RunFixture, AScriptThatCannotBeStartedLeavesNoMarker) {
  SeedExamples();
  Start();
  auto previous = launch::InstallLauncher(std::make_unique<TRefusingLauncher>());
  Click("RunKirmelButton");
  launch::InstallLauncher(std::move(previous));
  EXPECT_EQ(Errors(), (std::vector<std::string>{"Unable to execute '" + RunDir() + "/RUN.BAT'"}));
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_FALSE(form->Waiting());
  EXPECT_TRUE(NoneLocked());

  // No GUI folder: the marker cannot be made and nothing starts.
  fs::remove_all(root.path() / "GUI");
  dialogs->AnswerConfirm(true);  // the run directory is there now
  Click("RunKirmelButton");
  EXPECT_NE(LastError().find("Cannot create the run marker"), std::string::npos);
  EXPECT_FALSE(form->Waiting());
  EXPECT_TRUE(Kernel("args").empty());
}

TEST_F(RunFixture, StopWaitingAndExitDuringAWait) {
  SeedExamples();
  Start();
  Hold();
  Click("RunKirmelButton");
  ASSERT_TRUE(form->Waiting());
  Find<QPushButton>("StopWaitingButton")->click();
  EXPECT_FALSE(form->Waiting());
  EXPECT_TRUE(NoneLocked());
  EXPECT_TRUE(fs::exists(Marker()));  // the script still runs and owns it
  Release();
  ASSERT_TRUE(Until([&] { return !fs::exists(Marker()); }));

  // Exit asks first; No goes on waiting, Yes ends the wait and closes.
  Hold();
  dialogs->AnswerConfirm(true);
  Click("RunKirmelButton");
  ASSERT_TRUE(form->Waiting());
  dialogs->AnswerConfirm(false);
  form->findChild<QAction*>("Exit1")->trigger();
  Settle();
  EXPECT_EQ(dialogs.LastRecord().Text,
            "KIRMEL is still running." + CR + "Stop waiting and exit KIRMEL-GUI?");
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->Waiting());
  dialogs->AnswerConfirm(true);
  form->close();  // the window's close box
  Settle();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Waiting());
}

TEST_F(RunFixture, EveryRefusalBeforeARun) {
  SeedExamples();
  Start();
  const std::string before = readFile(root.str() + "/SCENARIOS/NLStandard_sp/WLPA.INP");
  const std::string danger = "a b'$(touch pwned);x";
  struct TCase {
    std::function<void(fe::TKirmelData&)> Change;
    std::string Message;
  };
  const std::vector<TCase> cases = {
      {[](fe::TKirmelData& d) {
         while (d.Ditch().NodeCount() < 250)
           d.Ditch().AddNode(std::make_unique<fe::TDitchNode>(false, 1, 0));
         d.Ditch().Node(250).SetOutput(true);
       },
       "Output segment is 250; KIRMEL accepts 1 to 200."},
      {[](fe::TKirmelData& d) {
         for (int i = 1; i <= d.Ditch().NodeCount(); ++i) d.Ditch().Node(i).SetOutput(false);
       },
       "Number of output segments is 0; KIRMEL accepts 1 to 9."},
      {[](fe::TKirmelData& d) { d.SetOutputTimestep(0.001); },
       "Time interval of output is 0.001 d; KIRMEL accepts 0.00694444444444444 to 25 d (at least "
       "the calculation time step of 600 s)."},
      {[](fe::TKirmelData& d) { d.Sediment().Node(2).SetLength(0.6); },
       "Thickness of sediment segment 2 is 0.6 m; KIRMEL accepts 0.0001 to 0.5 m."},
      {[](fe::TKirmelData& d) { d.Solids().SetHalfLifeWater(0); },
       "Half-life for transformation in water at 20 \u00baC is 0 d; KIRMEL accepts values above 0 d."},
      {[](fe::TKirmelData& d) { d.Solids().SetHalfLifeSediment(0); },
       "Half-life for transformation in sediment at 20 \u00baC is 0 d; KIRMEL accepts values above "
       "0 d."},
      {[](fe::TKirmelData& d) { d.Solids().SetMolecularMass(1000.5); },
       "Molecular mass is 1000.5 g/mol; KIRMEL accepts 10 to 1000 g/mol."},
      {[](fe::TKirmelData& d) { d.Solids().SetDiffusionCoefficient(150); },
       "Diffusion coefficient in water is 150 mm\u00b2/d; KIRMEL accepts 1 to 100 mm\u00b2/d."},
      {[](fe::TKirmelData& d) { d.Drift().Loadings().InsertCopy(1); },
       "Drift entries 1 and 2 both enter at 0 d; KIRMEL accepts one drift entry per time step."},
      {[](fe::TKirmelData& d) {
         d.Drift().Loadings().InsertCopy(1);
         d.Drift().Loadings().Entry(1).SetEntryTime(0.001);  // 86.4 s: the step at 0 s
       },
       "Drift entries 1 and 2 enter at 0 d and 0.001 d, in one calculation time step of 600 s; "
       "KIRMEL accepts one drift entry per time step."},
      {[](fe::TKirmelData& d) { d.Solids().SetBackgroundConcentration(0.5); },
       "Background concentration in air is 0.5 g/m\u00b3; KIRMEL accepts 0 to 0 g/m\u00b3."},
      {[&](fe::TKirmelData& d) { d.SetScenarioName(danger); },
       fe::NameProblem(danger, "scenario")},
      {[&](fe::TKirmelData& d) { d.SetPesticideName("P+Q"); }, fe::NameProblem("P+Q", "pesticide")},
      // The unsaved names in any case of letters, as Save As refuses them.
      {[](fe::TKirmelData& d) { d.SetPesticideName("defaultPESTICIDE"); },
       "Scenario or pesticide is not yet saved."},
      {[&](fe::TKirmelData&) { form->Editor().Settings().ExecDir = root.str(); },
       "The kernel program \"" + root.str() + "/KIRMEL_12\" was not found or cannot be executed."},
  };
  for (const TCase& c : cases) {
    // Each case starts from the defaults; the last case's change is dropped.
    form->Editor().MarkScenarioUnchanged();
    form->Editor().MarkPesticideUnchanged();
    form->NewScenarioClick();
    form->NewPesticideClick();
    Data().SetScenarioName("NLStandard_sp");
    Data().SetPesticideName("Cpf");
    c.Change(Data());
    Click("RunKirmelButton");
    EXPECT_EQ(LastError(), "Could not run KIRMEL." + CR + c.Message);
  }
  EXPECT_EQ(Errors().size(), cases.size());
  // Nothing was saved or run.
  EXPECT_EQ(readFile(root.str() + "/SCENARIOS/NLStandard_sp/WLPA.INP"), before);
  EXPECT_TRUE(Empty(root.path() / "RUNS"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root.path() / "SCENARIOS"), {}), 1);
  EXPECT_TRUE(Kernel("args").empty());
  EXPECT_FALSE(Pwned());

  // Save run refuses the same way, with its own first line.
  Data().Solids().SetMolecularMass(2000);
  Click("BitBtnSaveRun");
  EXPECT_EQ(LastError(), "Could not save run." + CR +
                                 "Molecular mass is 2000 g/mol; KIRMEL accepts 10 to 1000 g/mol.");
}

// A run whose scenario cannot be saved does not start: the save says why,
// and a write-protected scenario can be saved under a new name to run it;
// in a write-protected folder of scenarios (pesticides) nothing can.
TEST_F(RunFixture, ARunWhoseSaveIsRefusedDoesNotStart) {
  SeedExamples();
  Start();
  const std::string hy = root.str() + "/SCENARIOS/NLStandard_sp/HY.INP";
  fs::permissions(hy, fs::perms(0444));
  Click("RunKirmelButton");
  EXPECT_EQ(LastError(), "Cannot save over \"" + hy + "\": the file is write-protected" + CR +
                             "The scenario \"NLStandard_sp\" has not been saved; its files are as "
                             "they were." +
                             CR + "KIRMEL was not started." + CR +
                             "Save it under a new name with SaveAs to run it.");
  fs::permissions(hy, fs::perms(0644));

  const struct {
    std::string folder, name, what;
  } saves[] = {{"SCENARIOS", "NLStandard_sp", "scenario"}, {"PESTICIDES", "Cpf", "pesticide"}};
  for (const auto& save : saves) {
    const std::string folder = root.str() + "/" + save.folder;
    fs::permissions(folder, fs::perms(0555));
    Click("RunKirmelButton");
    EXPECT_EQ(LastError(), "Cannot save \"" + folder + "/" + save.name + "\": the folder \"" +
                               folder + "\" is write-protected" + CR + "The " + save.what + " \"" +
                               save.name + "\" has not been saved; its files are as they were." +
                               CR + "KIRMEL was not started." + CR + "The folder of " + save.what +
                               "s is write-protected: nothing can be saved or run in it.");
    fs::permissions(folder, fs::perms(0755));
  }
  EXPECT_FALSE(fs::exists(RunDir()));
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_TRUE(Kernel("args").empty());
}

TEST_F(RunFixture, SaveRunAndViewOutput) {
  SeedExamples();
  Start();
  Click("GraphButton");
  EXPECT_EQ(dialogs.LastInfo(), "No output exists for this combination of scenario and pesticide.");
  Click("BitBtnSaveRun");
  EXPECT_TRUE(fs::exists(RunDir() + "/FILES.INP"));
  root.write("RUNS/NLStandard_sp+Cpf/FILES.INP", "old\n");
  form->findChild<QAction*>("Save1")->trigger();  // an existing run is reused without a question
  EXPECT_NE(readFile(RunDir() + "/FILES.INP"), "old\n");
  EXPECT_FALSE(fs::exists(RunDir() + "/RUN.BAT"));
  EXPECT_FALSE(form->Waiting());
  EXPECT_TRUE(Errors().empty());

  // A run directory that cannot be made is reported and stops the run.
  fs::remove_all(root.path() / "RUNS");
  root.write("RUNS", "a file in the way\n");
  Click("RunKirmelButton");
  EXPECT_FALSE(fs::exists(Marker()));
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].rfind("Cannot create the run directory \"" + RunDir() + "\"", 0), 0u);
}

// The default scenario and pesticide through the real kernel, shortened to
// one day.
TEST_F(RunFixture, EndToEndWithTheRealKernel) {
  UseKernelIn(KIRMEL_BINARY_DIR);
  Start();
  dialogs->AnswerSaveFolder(root.str() + "/SCENARIOS/Default_sp");
  Click("SaveAsScenarioButton");
  dialogs->AnswerSaveFolder(root.str() + "/PESTICIDES/Default_p");
  Click("SaveAsPesticideButton");
  Enter("TTDays", "1");
  ASSERT_TRUE(ClickStartsRun("RunKirmelButton"));
  ASSERT_TRUE(WaitEnds(120000));
  EXPECT_TRUE(Errors().empty()) << Errors().front();
  const std::string run = RunDir("Default_sp", "Default_p");
  EXPECT_EQ(readFile(run + "/kirmel.status").rfind("0\nrun-", 0), 0u);
  const std::string messages = readFile(run + "/message.out");
  EXPECT_NE(messages.find("Messages"), std::string::npos);
  EXPECT_EQ(messages.find("Error"), std::string::npos) << messages;
  EXPECT_EQ(messages.find("ERROR"), std::string::npos) << messages;
  EXPECT_NE(readFile(run + "/RUN.LOG").find("end of simulation"), std::string::npos);
  for (const char* file : {"input.out", "wlsoco.out", "wlmb.out", "wbmball.out", "dbdit.out",
                           "wbsco001.out", "wbsco080.out", "ec001.out", "ec080.out", "db001.out",
                           "db080.out"})
    EXPECT_GT(fs::file_size(run + "/" + file), 0u) << file;
}

// The real kernel, its names file naming an input file that is gone: the
// kernel says so only on its console, and the failure message quotes it.
TEST_F(RunFixture, TheRealKernelsErrorLineReachesTheMessage) {
  SeedExamples();
  Start();
  const std::string hy = root.str() + "/SCENARIOS/NLStandard_sp/HY.INP";
  const std::string wrapper = root.str() + "/wrapper";
  fs::create_directories(wrapper);
  const std::string kernel = std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12";
  std::ofstream(wrapper + "/KIRMEL_12") << "#!/bin/sh\nrm -f -- " << fe::ShellQuote(hy)
                                        << "\nexec " << fe::ShellQuote(kernel) << " \"$@\"\n";
  fs::permissions(wrapper + "/KIRMEL_12", fs::perms::owner_all);
  form->Editor().Settings().ExecDir = wrapper;
  Click("RunKirmelButton");
  ASSERT_TRUE(WaitEnds(120000));
  ASSERT_EQ(Errors().size(), 1u);
  const std::string message = Errors()[0];
  EXPECT_EQ(message.rfind("KIRMEL stopped with exit status 1." + CR + "See the messages in \"" +
                              RunDir() + "/message.out\"." + CR,
                          0),
            0u)
      << message;
  EXPECT_NE(message.find(CR + "  ERROR in FOPENG: File does not exist" + CR), std::string::npos)
      << message;
  EXPECT_NE(message.find(hy), std::string::npos) << message;
  // message.out itself does not say it.
  EXPECT_EQ(readFile(RunDir() + "/message.out").find("File does not exist"), std::string::npos);
}

// The real kernel with its run directory on a filesystem that fills up
// during the run: the kernel stops with its own status, the script records
// it, and the window reports a failed run, not results.
TEST_F(RunFixture, ARunWhoseResultsCannotBeWrittenFails) {
  SeedExamples();
  UseKernelIn(KIRMEL_BINARY_DIR);
  Start();
  // Room for the names file, the scripts and the first days of output only.
  SmallFilesystem disk(RunDir(), "256k");
  if (!disk.Mounted()) GTEST_SKIP() << "needs root to mount a small filesystem";
  dialogs->AnswerConfirm(true);  // the (empty) run directory exists: go on
  ASSERT_TRUE(ClickStartsRun("RunKirmelButton"));
  ASSERT_TRUE(WaitEnds(120000));
  ASSERT_EQ(Errors().size(), 1u);
  const std::string message = Errors()[0];
  // The reason is quoted from RUN.LOG; the kernel could write nothing into
  // message.out, which is not named.
  EXPECT_EQ(message.rfind("KIRMEL stopped with exit status 2." + CR +
                              "The last messages of KIRMEL on its console (\"" + RunDir() +
                              "/RUN.LOG\"):" + CR,
                          0),
            0u)
      << message;
  EXPECT_NE(message.find("could not be written completely"), std::string::npos) << message;
  EXPECT_EQ(message.find("message.out\"."), std::string::npos) << message;
  const std::string status = readFile(RunDir() + "/kirmel.status");
  EXPECT_EQ(status.substr(0, status.find('\n') + 1), "2\n") << status;
}

// A terminal that hands its script on and ends at once, as terminal
// servers do: the script's output goes to the file "screen" beside it.
TEST_F(RunFixture, InATerminalTheConsoleIsKeptAndAKilledScriptEndsTheWait) {
  SeedExamples();
  Start();
  const std::string term = root.str() + "/term";
  fs::create_directories(term);
  std::ofstream(term + "/faketerm") << "#!/bin/sh\n"
                                       "[ \"$1\" = -e ] && shift\n"
                                       "( \"$@\" > \"$(dirname \"$0\")/screen\" 2>&1 < /dev/null & )\n"
                                       "exit 0\n";
  fs::permissions(term + "/faketerm", fs::perms::owner_all);
  auto previous = launch::InstallLauncher(
      std::make_unique<launch::TTerminalLauncher>(std::vector<std::string>{term + "/faketerm"}));
  KernelStatus(2);
  Click("RunKirmelButton");
  ASSERT_TRUE(WaitEnds());
  const std::string error = "  ERROR in STANDIN: stopping with 2";
  EXPECT_EQ(Errors().back(),
            "KIRMEL stopped with exit status 2." + CR + "See the messages in \"" + RunDir() +
                "/message.out\"." + CR + "The last messages of KIRMEL on its console (\"" +
                RunDir() + "/RUN.LOG\"):" + CR + error);
  EXPECT_EQ(readFile(RunDir() + "/RUN.LOG"), error.substr(1) + "\n");
  EXPECT_NE(readFile(term + "/screen").find(error.substr(1)), std::string::npos);

  // Killed outright, the script cannot remove its marker; the terminal
  // cannot tell, the marker's process can.
  Hold();
  fs::remove(kernelDir + "/started");
  dialogs->AnswerConfirm(true);
  Click("RunKirmelButton");
  ASSERT_TRUE(form->Waiting());
  const int script = ScriptPid();
  ASSERT_GT(script, 0);  // never 0: that would signal this test's own group
  ::kill(script, SIGKILL);
  ASSERT_TRUE(WaitEnds());
  EXPECT_EQ(Errors().back(), "KIRMEL did not finish the run.");
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_TRUE(NoneLocked());
  Release();
  launch::InstallLauncher(std::move(previous));
}

}  // namespace
}  // namespace kirmel::test
