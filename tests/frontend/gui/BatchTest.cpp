// The batch dialog's buttons and its Changed rule, and batches run from the
// main window: two saved runs, a run folder moved away, a batch file edited
// by hand, and runs with their own output folder.
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "RunFixture.h"
#include "frontend/gui/BatchForm.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
const std::string CR(1, '\r');

class BatchTest : public RunFixture {
 protected:
  void Open() {
    batch = std::make_unique<gui::TBatchForm>(form->Editor(), form.get());
    batch->show();
    Settle();
  }
  void Press(const char* name) {
    batch->findChild<QPushButton*>(QString::fromLatin1(name))->click();
    Settle();
  }
  QListWidget* List() { return batch->findChild<QListWidget*>(QStringLiteral("LstRuns")); }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (int i = 0; i < List()->count(); ++i) lines.push_back(List()->item(i)->text().toStdString());
    return lines;
  }
  void Add(const std::string& dir) {
    dialogs->AnswerFolder(dir);
    Press("AddRunButton");
  }
  std::string Runs() { return root.str() + "/RUNS"; }
  // Two saved runs of the example (its pesticide also saved as Cpf2) in a
  // batch file saved through the dialog, which is then closed.
  void SaveBatchOfTwoRuns() {
    Click("BitBtnSaveRun");
    form->SavePesticide("Cpf2");
    Click("BitBtnSaveRun");
    Open();
    Add(RunDir());
    Add(RunDir("NLStandard_sp", "Cpf2"));
    Press("BitBtnSaveBatch");
    batch.reset();
  }

  std::unique_ptr<gui::TBatchForm> batch;
};

TEST_F(BatchTest, AddRemoveUpDownAndTheChangedRule) {
  Start();
  for (const char* run : {"A+P", "B+P", "C+P"}) fs::create_directories(Runs() + "/" + run);
  Open();
  EXPECT_EQ(batch->windowTitle(), "Batch definition");
  Add(root.str() + "/SCENARIOS/S");
  Add(Runs());
  ASSERT_FALSE(dialogs->Records().empty());
  EXPECT_EQ(dialogs->Records()[0].Text, Runs());  // the browser opens on the runs
  const std::string notARun = "This is not a valid run." + CR + "Valid runs are in the directory " +
                              Runs() + "." + CR + "Select a run from this directory.";
  EXPECT_EQ(Errors(), (std::vector<std::string>{notARun, notARun}));
  EXPECT_FALSE(batch->Changed());

  // Closing without changes asks nothing.
  Press("BitBtnClose");
  EXPECT_FALSE(batch->isVisible());
  Open();

  Add(Runs() + "/A+P/");
  Add(Runs() + "/b+p");  // any case, taken as it is on disk
  Add(Runs() + "/A+P");  // twice is allowed
  EXPECT_EQ(Lines(), (std::vector<std::string>{"A+P", "B+P", "A+P"}));
  EXPECT_EQ(batch->Runs()[0].InputDir, Runs() + "/A+P");
  EXPECT_EQ(batch->Runs()[0].OutputDir, Runs() + "/A+P");
  EXPECT_EQ(batch->Runs()[0].NamesFile, "FILES.INP");
  EXPECT_TRUE(batch->Changed());

  // Nothing selected, Up on the first and Down on the last change nothing.
  List()->clearSelection();
  List()->setCurrentRow(-1);
  Press("RemoveRunButton");
  List()->setCurrentRow(0);
  Press("MoveUpButton");
  List()->setCurrentRow(2);
  Press("MoveDownButton");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"A+P", "B+P", "A+P"}));

  List()->setCurrentRow(1);
  Press("MoveDownButton");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"A+P", "A+P", "B+P"}));
  EXPECT_EQ(List()->currentRow(), 2);
  Press("MoveUpButton");
  Press("MoveUpButton");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"B+P", "A+P", "A+P"}));
  EXPECT_EQ(List()->currentRow(), 0);
  List()->setCurrentRow(1);
  Press("RemoveRunButton");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"B+P", "A+P"}));

  // A failed save keeps the runs and the question before closing.
  form->Editor().Settings().BatchDir = root.str() + "/missing";
  Press("BitBtnSaveBatch");
  EXPECT_EQ(LastError(), "Cannot write to file " + root.str() + "/missing/BATCH.BAT");
  EXPECT_TRUE(batch->Changed());
  dialogs->AnswerConfirm(false);
  Press("BitBtnClose");
  EXPECT_EQ(dialogs.LastRecord().Text,
            "Batch definition is changed! Are you sure you want to discard the changes?");
  EXPECT_TRUE(batch->isVisible());

  form->Editor().Settings().BatchDir = root.str();
  Press("BitBtnSaveBatch");
  EXPECT_EQ(dialogs.LastInfo(), "Batch file " + root.str() + "/BATCH.BAT saved");
  EXPECT_FALSE(batch->Changed());
  EXPECT_NE(readFile(root.str() + "/BATCH.BAT").find("if cd -- '" + Runs() + "/B+P'; then"),
            std::string::npos);
  Press("BitBtnClose");
  EXPECT_FALSE(batch->isVisible());

  // The close box asks as Close does; Yes discards.
  Open();
  Add(Runs() + "/C+P");
  dialogs->AnswerConfirm(false);
  batch->close();
  Settle();
  EXPECT_TRUE(batch->isVisible());
  dialogs->AnswerConfirm(true);
  batch->close();
  Settle();
  EXPECT_FALSE(batch->isVisible());

  // A minimise and restore hides and shows the dialog again: its runs and
  // its Changed state stay, so Close still asks.
  Open();
  Add(Runs() + "/C+P");
  batch->showMinimized();
  Settle();
  batch->hide();
  Settle();
  batch->showNormal();
  Settle();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"C+P"}));
  EXPECT_TRUE(batch->Changed());
  const std::size_t asked = dialogs->Records().size();
  dialogs->AnswerConfirm(false);
  Press("BitBtnClose");
  EXPECT_EQ(dialogs->Records().size(), asked + 1);
  EXPECT_TRUE(batch->isVisible());
  dialogs->AnswerConfirm(true);
  Press("BitBtnClose");

  // An empty list is not saved.
  Open();
  Press("BitBtnSaveBatch");
  EXPECT_EQ(LastError(), "Could not save batchfile." + CR + "No runs defined.");
}

// Passes every start on to the child-process launcher and notes the
// working directory it was given.
class TRecordingLauncher : public launch::TLauncher {
 public:
  std::unique_ptr<launch::TStartedScript> Start(const std::string& script,
                                                const std::vector<std::string>& args,
                                                const std::string& dir, std::string& why) override {
    Dirs.push_back(dir);
    return launch::TChildProcessLauncher().Start(script, args, dir, why);
  }
  std::vector<std::string> Dirs;
};

TEST_F(BatchTest, ABatchOfTwoSavedRunsRunsFromTheMainWindowAndReportsItsFailedRuns) {
  SeedExamples();
  Start();
  Click("BitBtnRunBatch");
  EXPECT_EQ(Errors(), (std::vector<std::string>{"Batchfile " + root.str() + "/BATCH.BAT not found." +
                                                CR + "You should first create a batchfile."}));

  // "Create batchfile" opens the dialog modally, each time empty.
  std::string title;
  QTimer::singleShot(0, [&] {
    if (auto* dialog = qobject_cast<gui::TBatchForm*>(QApplication::activeModalWidget())) {
      title = dialog->windowTitle().toStdString();
      dialog->findChild<QPushButton*>(QStringLiteral("BitBtnClose"))->click();
    }
  });
  Click("BitBtnCreateBatch");
  EXPECT_EQ(title, "Batch definition");

  SaveBatchOfTwoRuns();
  root.write("RUNS/NLStandard_sp+Cpf/old.out", "old\n");
  // An old status of a run says nothing about this batch.
  root.write("RUNS/NLStandard_sp+Cpf2/kirmel.status", "3\nrun-0\n");

  auto* recorder = new TRecordingLauncher;
  auto previous = launch::InstallLauncher(std::unique_ptr<launch::TLauncher>(recorder));
  Hold();
  Click("BitBtnRunBatch");
  ASSERT_TRUE(form->Waiting());
  EXPECT_TRUE(AllLocked());
  Release();
  ASSERT_TRUE(WaitEnds());
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_TRUE(NoneLocked());
  // The batch starts in the batch directory and enters each run's.
  EXPECT_EQ(recorder->Dirs, (std::vector<std::string>{root.str()}));
  EXPECT_EQ(Kernel("cwd"), RunDir() + "\n" + RunDir("NLStandard_sp", "Cpf2") + "\n");
  EXPECT_EQ(Kernel("args"), "1\nFILES.INP\n1\nFILES.INP\n");
  EXPECT_FALSE(fs::exists(RunDir() + "/old.out"));
  EXPECT_TRUE(fs::exists(RunDir("NLStandard_sp", "Cpf2") + "/wlsoco.out"));
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_NE(readFile(root.str() + "/BATCH.LOG").find("Batch completed"), std::string::npos);
  EXPECT_FALSE(Pwned());

  // One run fails, with the kernel's fatal stop (1) or another status: the
  // window names it, its directory and its messages, once the batch ends.
  for (int status : {3, 1}) {
    const std::string failing = RunDir("NLStandard_sp", "Cpf2");
    std::ofstream(failing + "/kernel.exit") << status << "\n";
    Click("BitBtnRunBatch");
    ASSERT_TRUE(WaitEnds());
    EXPECT_EQ(Errors().back(),
              "1 of the 2 runs of the batch file " + root.str() + "/BATCH.BAT failed." + CR + CR +
                  "Run directory \"" + failing + "\":" + CR + "KIRMEL stopped with exit status " +
                  std::to_string(status) + "." + CR + "See the messages in \"" + failing +
                  "/message.out\"." + CR + "The last messages of KIRMEL on its console (\"" +
                  failing + "/RUN.LOG\"):" + CR + "  ERROR in STANDIN: stopping with " +
                  std::to_string(status));
    // The run's console is in its directory; the batch's own in BATCH.LOG.
    EXPECT_EQ(readFile(failing + "/RUN.LOG"),
              " ERROR in STANDIN: stopping with " + std::to_string(status) + "\n");
    EXPECT_NE(readFile(root.str() + "/BATCH.LOG")
                  .find("  KIRMEL stopped with exit status " + std::to_string(status) +
                        ": see message.out\n"),
              std::string::npos);
  }
  EXPECT_EQ(Errors().size(), 3u);
  EXPECT_EQ(recorder->Dirs, (std::vector<std::string>(3, root.str())));
  launch::InstallLauncher(std::move(previous));
}

TEST_F(BatchTest, ABatchWithAMissingRunFolderSaysItCouldNotBeEntered) {
  SeedExamples();
  Start();
  SaveBatchOfTwoRuns();
  // The first run's folder is moved away after the batch was saved.
  fs::rename(RunDir(), Runs() + "/moved");
  Click("BitBtnRunBatch");
  ASSERT_TRUE(WaitEnds());
  EXPECT_EQ(Errors(),
            (std::vector<std::string>{
                "1 of the 2 runs of the batch file " + root.str() + "/BATCH.BAT failed." + CR +
                CR + "Run directory \"" + RunDir() + "\":" + CR +
                "KIRMEL was not run: the batch could not enter the run directory (it does not "
                "exist)."}));
  EXPECT_NE(readFile(root.str() + "/BATCH.LOG").find("  Not run: cannot enter the input directory"),
            std::string::npos);
  // The other run ran.
  EXPECT_EQ(Kernel("cwd"), RunDir("NLStandard_sp", "Cpf2") + "\n");
}

TEST_F(BatchTest, AHandEditedBatchFileRunsAsItIs) {
  SeedExamples();
  Start();
  Click("BitBtnSaveRun");
  Open();
  Add(RunDir());
  Press("BitBtnSaveBatch");
  batch.reset();

  // Its run list line edited by hand so that it no longer reads: the batch
  // runs all the same, and says once, after it ended, that its runs could
  // not be checked (no error: none is known).
  const std::string path = root.str() + "/BATCH.BAT";
  const std::string saved = readFile(path);
  const std::size_t at = saved.find("# kirmel-run '");
  ASSERT_NE(at, std::string::npos);
  const std::size_t eol = saved.find('\n', at);
  root.write("BATCH.BAT", saved.substr(0, at) + "# kirmel-run '" + RunDir() + saved.substr(eol));
  const long line = std::count(saved.begin(), saved.begin() + static_cast<long>(at), '\n') + 1;
  const std::string ended = "The batch file " + path + " has ended." + CR;
  const std::string unchecked = CR + "Its runs could not be checked." + CR +
                                "See the messages in the message.out of each run, or save the "
                                "batch again with \"Create batchfile\".";
  Hold();
  Click("BitBtnRunBatch");
  ASSERT_TRUE(form->Waiting());
  EXPECT_TRUE(Errors().empty());
  Release();
  ASSERT_TRUE(WaitEnds());
  EXPECT_EQ(Kernel("cwd"), RunDir() + "\n");
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(dialogs->Infos().back(), ended + "Cannot read the runs of the batch file " + path +
                                         ", line " + std::to_string(line) +
                                         ": a quote is not closed." + unchecked);

  // The kernel it runs is gone: it runs, and the run reports that KIRMEL
  // could not be started.
  root.write("BATCH.BAT", saved);
  fs::remove(kernelDir + "/KIRMEL_12");
  Click("BitBtnRunBatch");
  ASSERT_TRUE(WaitEnds());
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors().back().rfind("1 of the 1 runs of the batch file " + path + " failed." + CR +
                                      CR + "Run directory \"" + RunDir() + "\":" + CR +
                                      "KIRMEL could not be started (exit status 127).",
                                  0),
            0u)
      << Errors().back();
  EXPECT_EQ(readFile(RunDir() + "/kirmel.status").rfind("127\n", 0), 0u);

  // A batch file of other commands, that lists no runs, runs too (and ends
  // by removing the run marker, as the batch files of the first version).
  root.write("BATCH.BAT",
             "#!/bin/sh\nprintf '%s\\n' ran > ran\nrm -f -- " + fe::ShellQuote(Marker()) + "\n");
  Click("BitBtnRunBatch");
  ASSERT_TRUE(WaitEnds());
  EXPECT_EQ(readFile(root.str() + "/ran"), "ran\n");
  EXPECT_EQ(dialogs->Infos().back(),
            ended + "The batch file " + path +
                " does not list its runs in a form that KIRMEL-GUI reads." + unchecked);
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_FALSE(fs::exists(Marker()));
  EXPECT_FALSE(Pwned());
}

// A batch file whose first run has its own output folder (the dialog makes
// none, a batch file written for it does): that run's output files are
// moved there, and its failure points at the messages there.
TEST_F(BatchTest, ARunWithItsOwnOutputFolderHasItsResultsMovedThere) {
  SeedExamples();
  Start();
  Click("BitBtnSaveRun");
  form->SavePesticide("Cpf2");
  Click("BitBtnSaveRun");
  const std::string out = root.str() + "/OUT/o d'$(touch pwned)";
  fs::create_directories(out);
  std::vector<fe::TSimRun> runs(2);
  runs[0].InputDir = RunDir();
  runs[0].OutputDir = out;
  runs[1].InputDir = runs[1].OutputDir = RunDir("NLStandard_sp", "Cpf2");
  const fe::TSettings& settings = form->Editor().Settings();
  root.write("BATCH.BAT", fe::BatchFileText(runs, {fe::KernelPath(settings),
                                                   fe::MarkerPath(settings), "today"}));
  std::ofstream(RunDir() + "/kernel.exit") << "3\n";
  Click("BitBtnRunBatch");
  ASSERT_TRUE(WaitEnds());
  for (const char* file : {"/message.out", "/wlsoco.out"}) {
    EXPECT_TRUE(fs::exists(out + file)) << file;
    EXPECT_FALSE(fs::exists(RunDir() + file)) << file;
    // A run whose output folder is its run directory keeps its files.
    EXPECT_TRUE(fs::exists(RunDir("NLStandard_sp", "Cpf2") + file)) << file;
  }
  EXPECT_EQ(Errors(), (std::vector<std::string>{
                          "1 of the 2 runs of the batch file " + root.str() + "/BATCH.BAT failed." +
                          CR + CR + "Run directory \"" + RunDir() + "\":" + CR +
                          "KIRMEL stopped with exit status 3." + CR + "See the messages in \"" +
                          out + "/message.out\"." + CR +
                          "The last messages of KIRMEL on its console (\"" + RunDir() +
                          "/RUN.LOG\"):" + CR + "  ERROR in STANDIN: stopping with 3"}));
  EXPECT_FALSE(Pwned());
}

}  // namespace
}  // namespace kirmel::test
