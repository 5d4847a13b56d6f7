// What the run batch file and the batch file do when /bin/sh runs them with
// a stand-in kernel: where the kernel runs and with what, what is deleted
// and what stays, the status and the console log they keep, the marker, and
// what a signal does.
#include <gtest/gtest.h>

#include <filesystem>

#include "EditorTestSupport.h"
#include "ScriptSupport.h"
#include "frontend/editor/Run.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

TEST(RunScripts, RunBatchFileRunsTheKernelInTheRunDirectory) {
  ScriptRun s;
  const std::string script = s.dir.write("RUNS/a b'$(touch pwned)+P/RUN.BAT",
                                         fe::RunBatchText(s.runDir, s.Context()));
  s.dir.write("RUNS/a b'$(touch pwned)+P/kirmel.status", "0\nrun-0\n");
  std::ofstream(s.kernelDir + "/status") << "3\n";
  s.Marker("run-1");
  s.Hold();
  const pid_t pid = s.Start(script, s.dir.str(), "run-1");
  ASSERT_TRUE(WaitUntil([&] { return s.Started(); }));
  // The script names itself in the marker: its process, start time and
  // process group (its own, in a session of its own).
  std::optional<fe::TRunMarker> marker = fe::ReadRunMarker(s.marker);
  ASSERT_TRUE(marker);
  EXPECT_EQ(marker->Id, "run-1");
  EXPECT_EQ(marker->Pid, pid);
  EXPECT_EQ(marker->Group, pid);
  EXPECT_EQ(marker->StartTime, fe::ProcessStartTime(pid));
  EXPECT_FALSE(marker->StartTime.empty());
  // The old status went with the old outputs, before the kernel ran.
  EXPECT_FALSE(fs::exists(s.runDir + "/kirmel.status"));
  s.Release();

  ASSERT_EQ(ExitStatus(pid), 3) << readFile(s.Console());
  EXPECT_EQ(s.Kernel("cwd"), s.runDir + "\n");
  EXPECT_EQ(s.Kernel("args"), "1\n" + s.runDir + "/FILES.INP\n");
  // Old outputs of any case and the old status went first.
  for (const char* gone : {"old.out", "WBSCO001.OUT", "kirmel.status\n"})
    EXPECT_EQ(s.Kernel("seen").find(gone), std::string::npos) << gone;
  // The room kept for the status while the kernel ran is given back.
  EXPECT_NE(s.Kernel("seen").find("kirmel.status.room\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(s.runDir + "/kirmel.status.room"));
  EXPECT_NE(s.Kernel("seen").find("RUN.BAT\n"), std::string::npos);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "3\nrun-1\n");
  EXPECT_EQ(fe::ReadRunStatus(s.runDir, "run-1"), 3);
  EXPECT_EQ(fe::ReadRunStatus(s.runDir, "run-2"), std::nullopt);
  EXPECT_FALSE(fs::exists(s.runDir + "/kirmel.status.tmp"));
  EXPECT_FALSE(fs::exists(s.marker));
  EXPECT_FALSE(s.Pwned());
  const std::string console = readFile(s.Console());
  for (const char* line : {"Running the simulation. Please wait... \n", " KIRMEL stand-in started\n",
                           " ERROR in STANDIN: stopping with 3\n", "Batch completed\n",
                           "*** CLOSE THIS WINDOW BEFORE GOING ON WITH THE KIRMEL-GUI ***\n"})
    EXPECT_NE(console.find(line), std::string::npos) << line;

  // A marker of a later run stays when this script ends.
  s.Marker("run-2");
  ASSERT_EQ(s.Run(script, s.dir.str(), "run-1"), 3);
  EXPECT_TRUE(fs::exists(s.marker));
  // The kernel's own fatal stop, status 1, is recorded as it is.
  std::ofstream(s.kernelDir + "/status") << "1\n";
  ASSERT_EQ(s.Run(script, s.dir.str(), "run-3"), 1);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "1\nrun-3\n");
}

TEST(RunScripts, TheKernelsConsoleIsKeptInRunLogAndStillAnswered) {
  ScriptRun s;
  // In a terminal: the console shows the kernel's lines as they come and
  // RUN.LOG in the run directory keeps them; the kernel reads its answer
  // from the console.
  const std::string script = s.dir.write("term/RUN.BAT", fe::RunBatchText(s.runDir, s.Context()));
  std::ofstream(s.kernelDir + "/ask") << "\n";
  std::ofstream(s.kernelDir + "/status") << "2\n";
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  const pid_t pid = s.Start(script, s.dir.str(), "run-1", fds[0]);
  ::close(fds[0]);
  ASSERT_EQ(::write(fds[1], "Y\n\n", 3), 3);
  ::close(fds[1]);
  ASSERT_EQ(ExitStatus(pid), 2);
  const std::string log = readFile(s.runDir + "/RUN.LOG");
  EXPECT_EQ(log,
            " KIRMEL stand-in started\n"
            " Overwrite (Y/N) :  answer: Y\n"
            " ERROR in STANDIN: stopping with 2\n");
  EXPECT_NE(readFile(s.Console()).find(log), std::string::npos);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "2\nrun-1\n");

  // Without a terminal the console already is RUN.LOG: the kernel's lines
  // are there once, after the script's own.
  const std::string inRun = s.dir.write("RUNS/a b'$(touch pwned)+P/RUN.BAT",
                                        fe::RunBatchText(s.runDir, s.Context()));
  const pid_t child = s.Start(inRun, s.runDir, "run-2", -1, s.runDir + "/RUN.LOG");
  ASSERT_EQ(ExitStatus(child), 2);
  const std::string childLog = readFile(s.runDir + "/RUN.LOG");
  EXPECT_EQ(childLog.find("Running the simulation."), 0u) << childLog;
  const std::size_t first = childLog.find(" KIRMEL stand-in started\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(childLog.find(" KIRMEL stand-in started\n", first + 1), std::string::npos);
  EXPECT_NE(childLog.find("Batch completed"), std::string::npos);
  EXPECT_FALSE(s.Pwned());
}

// A signal to the script's process group, as a closed terminal or Ctrl+C
// sends it, while the kernel runs: the script's exit status, or -1 at once
// when the kernel did not start or the script did not name itself in the
// marker (a broken script).
int SignalledRun(ScriptRun& s, const std::string& script, int sig, const std::string& id) {
  fs::remove(s.kernelDir + "/started");
  s.Hold();
  s.Marker(id);
  const pid_t pid = s.Start(script, s.dir.str(), id);
  if (pid <= 0) {
    ADD_FAILURE() << "the script did not start";
    return -1;
  }
  const bool running = WaitUntil([&] {
    std::optional<fe::TRunMarker> m = fe::ReadRunMarker(s.marker);
    return s.Started() && m && m->Pid == pid;
  });
  if (!running) ADD_FAILURE() << "the kernel did not start: " << readFile(s.Console());
  ::kill(-pid, running ? sig : SIGKILL);
  const int status = ExitStatus(pid);
  s.Release();
  return running ? status : -1;
}

TEST(RunScripts, ASignalRecordsItsStatusAndEndsTheScript) {
  ScriptRun s;
  const std::string script = s.dir.write("term/RUN.BAT", fe::RunBatchText(s.runDir, s.Context()));
  ASSERT_EQ(SignalledRun(s, script, SIGTERM, "run-1"), 143);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "143\nrun-1\n");
  EXPECT_FALSE(fs::exists(s.marker));
  EXPECT_FALSE(fs::exists(s.runDir + "/kirmel.status.tmp"));
  // The log kept what the kernel said before it was stopped.
  EXPECT_EQ(readFile(s.runDir + "/RUN.LOG"), " KIRMEL stand-in started\n");

  ASSERT_EQ(SignalledRun(s, script, SIGHUP, "run-2"), 129);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "129\nrun-2\n");
  ASSERT_EQ(SignalledRun(s, script, SIGINT, "run-3"), 130);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "130\nrun-3\n");
  EXPECT_FALSE(fs::exists(s.marker));

  // A signal to the script alone takes effect when the kernel has ended:
  // the kernel's own status stands.
  fs::remove(s.kernelDir + "/started");
  s.Hold();
  s.Marker("run-4");
  pid_t pid = s.Start(script, s.dir.str(), "run-4");
  ASSERT_TRUE(WaitUntil([&] { return s.Started(); }));
  ::kill(pid, SIGTERM);
  s.Release();
  ASSERT_EQ(ExitStatus(pid), 143);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "0\nrun-4\n");
  EXPECT_FALSE(fs::exists(s.marker));

  // A terminal closed at the prompt after the kernel ended leaves the
  // kernel's status.
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  s.Marker("run-5");
  pid = s.Start(script, s.dir.str(), "run-5", fds[0]);
  ::close(fds[0]);
  ASSERT_TRUE(WaitUntil(
      [&] { return readFile(s.Console()).find("Press <Enter>") != std::string::npos; }));
  ::kill(-pid, SIGHUP);
  ASSERT_EQ(ExitStatus(pid), 129);
  ::close(fds[1]);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "0\nrun-5\n");
  EXPECT_FALSE(fs::exists(s.marker));
}

TEST(RunScripts, AFailedCdEndsTheRunBeforeAnythingIsDeleted) {
  ScriptRun s;
  const std::string script = s.dir.write("RUN.BAT", fe::RunBatchText(s.runDir + "/gone", s.Context()));
  s.dir.write("here/keep.out", "keep\n");
  s.dir.write("here/kirmel.status", "0\n");
  s.Marker("run-1");
  ASSERT_EQ(s.Run(script, s.dir.str() + "/here", "run-1"), 1);
  EXPECT_TRUE(fs::exists(s.dir.str() + "/here/keep.out"));
  EXPECT_EQ(readFile(s.dir.str() + "/here/kirmel.status"), "0\n");
  EXPECT_FALSE(fs::exists(s.kernelDir + "/args"));
  EXPECT_FALSE(fs::exists(s.marker));

  // In a batch only that run is skipped; each run has its own console log.
  std::vector<fe::TSimRun> runs(2);
  runs[0].InputDir = runs[0].OutputDir = s.dir.str() + "/gone";
  runs[1].Name = "a b'$(touch pwned)+P";
  runs[1].InputDir = runs[1].OutputDir = s.runDir;
  const std::string batch = s.dir.write("BATCH.BAT", fe::BatchFileText(runs, s.Context()));
  std::ofstream(s.kernelDir + "/status") << "3\n";
  s.Marker("run-2");
  ASSERT_EQ(s.Run(batch, s.dir.str() + "/here", "run-2"), 0);
  EXPECT_TRUE(fs::exists(s.dir.str() + "/here/keep.out"));
  EXPECT_EQ(s.Kernel("args"), "1\nFILES.INP\n");
  EXPECT_EQ(s.Kernel("cwd"), s.runDir + "\n");
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "3\nrun-2\n");
  EXPECT_EQ(readFile(s.runDir + "/RUN.LOG"),
            " KIRMEL stand-in started\n ERROR in STANDIN: stopping with 3\n");
  EXPECT_FALSE(fs::exists(s.runDir + "/old.out"));
  EXPECT_FALSE(fs::exists(s.marker));
  const std::string console = readFile(s.Console());
  EXPECT_NE(console.find("  Not run: cannot enter the input directory"), std::string::npos);
  // The stand-in leaves an empty message.out, which is not pointed at.
  EXPECT_TRUE(fs::exists(s.runDir + "/message.out"));
  EXPECT_NE(console.find("  KIRMEL stopped with exit status 3\n"), std::string::npos) << console;
  EXPECT_NE(console.find(" KIRMEL stand-in started\n"), std::string::npos);  // shown live too
  EXPECT_FALSE(s.Pwned());
}

// A kernel that is not there or cannot be executed: the shell's status is
// recorded, the batch's console and the run's message say that the kernel
// could not be started, and no message file is named.
TEST(RunScripts, AKernelThatCannotBeStartedIsSaidSo) {
  ScriptRun s;
  fe::TScriptContext context = s.Context();
  context.Kernel = s.dir.str() + "/none/KIRMEL_12";
  const std::string script =
      s.dir.write("RUNS/a b'$(touch pwned)+P/RUN.BAT", fe::RunBatchText(s.runDir, context));
  s.Marker("run-1");
  ASSERT_EQ(s.Run(script, s.dir.str(), "run-1"), 127);
  EXPECT_EQ(fe::ReadRunStatus(s.runDir, "run-1"), 127);
  const std::string outcome = fe::RunFailureText(s.runDir, s.runDir, 127);
  EXPECT_EQ(outcome.rfind("KIRMEL could not be started (exit status 127)." + std::string(1, '\r') +
                              "The last messages of KIRMEL on its console",
                          0),
            0u)
      << outcome;
  EXPECT_EQ(outcome.find("message.out"), std::string::npos);

  // Found but not executable.
  fs::permissions(s.kernelDir + "/KIRMEL_12", fs::perms::owner_read | fs::perms::owner_write);
  const std::string kept = s.dir.write("RUNS/a b'$(touch pwned)+P/RUN.BAT",
                                       fe::RunBatchText(s.runDir, s.Context()));
  s.Marker("run-3");
  ASSERT_EQ(s.Run(kept, s.dir.str(), "run-3"), 126);
  EXPECT_EQ(fe::RunFailureText(s.runDir, s.runDir, 126)
                .rfind("KIRMEL could not be started (exit status 126).", 0),
            0u);

  std::vector<fe::TSimRun> runs(1);
  runs[0].InputDir = runs[0].OutputDir = s.runDir;
  const std::string batch = s.dir.write("BATCH.BAT", fe::BatchFileText(runs, context));
  s.Marker("run-4");
  ASSERT_EQ(s.Run(batch, s.dir.str(), "run-4"), 0);
  EXPECT_EQ(fe::ReadRunStatus(s.runDir, "run-4"), 127);
  const std::string console = readFile(s.Console());
  EXPECT_NE(console.find("  KIRMEL could not be started (exit status 127)\n"), std::string::npos)
      << console;
  EXPECT_EQ(console.find("see message.out"), std::string::npos) << console;
  EXPECT_FALSE(s.Pwned());
}

TEST(RunScripts, ABatchNotesEachRunDirectoryAndStopsAtASignal) {
  ScriptRun s;
  const std::string second = s.dir.str() + "/RUNS/second+P";
  fs::create_directories(second);
  s.dir.write("RUNS/second+P/kirmel.status", "0\nrun-0\n");
  std::vector<fe::TSimRun> runs(2);
  runs[0].InputDir = runs[0].OutputDir = s.runDir;
  runs[1].InputDir = runs[1].OutputDir = second;
  const std::string batch = s.dir.write("BATCH.BAT", fe::BatchFileText(runs, s.Context()));
  s.Hold();
  s.Marker("run-1");
  const pid_t pid = s.Start(batch, s.dir.str(), "run-1");
  ASSERT_TRUE(WaitUntil([&] { return s.Started(); }));
  std::optional<fe::TRunMarker> marker = fe::ReadRunMarker(s.marker);
  ASSERT_TRUE(marker);
  EXPECT_EQ(marker->RunDir, s.runDir);
  ::kill(-pid, SIGTERM);
  ASSERT_EQ(ExitStatus(pid), 143);
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "143\nrun-1\n");
  // The second run was not reached: its old status is left alone.
  EXPECT_EQ(readFile(second + "/kirmel.status"), "0\nrun-0\n");
  EXPECT_EQ(s.Kernel("cwd"), s.runDir + "\n");
  EXPECT_FALSE(fs::exists(s.marker));
}

TEST(RunScripts, ABatchFileListsItsRunsForTheFrontEnd) {
  std::vector<fe::TSimRun> runs(3);
  runs[0].Name = "a b'$(touch x)+P";
  runs[0].InputDir = runs[0].OutputDir = "/r/RUNS/a b'$(touch x)+P";
  runs[1].InputDir = "/r/RUNS/T+Q";
  runs[1].OutputDir = "/r/out dir";
  runs[2] = runs[0];
  const fe::TScriptContext context{"/k/KIRMEL_12", "/r/GUI/TempKir.txt", "today"};
  EXPECT_EQ(fe::BatchFileRuns(fe::BatchFileText(runs, context), "/r/BATCH.BAT"), runs);
  EXPECT_TRUE(fe::BatchFileRuns(fe::RunBatchText("/r/RUNS/S+P", context), "x").empty());

  // A line end in a run's directory or name would end its list line and
  // run the rest as a command: such a run is refused, whoever asks.
  for (std::size_t field = 0; field < 3; ++field) {
    std::vector<fe::TSimRun> bad(1, runs[1]);
    std::string* text[] = {&bad[0].InputDir, &bad[0].OutputDir, &bad[0].Name};
    *text[field] = "/r/RUNS/a\ntouch pwned\r+P";
    try {
      fe::BatchFileText(bad, context);
      ADD_FAILURE() << "written: " << field;
    } catch (const fe::ERunError& e) {
      EXPECT_EQ(e.what(), "The " +
                              std::string(field == 0   ? "run directory"
                                          : field == 1 ? "output directory"
                                                       : "run name") +
                              " \"/r/RUNS/a\\x0Atouch pwned\\x0D+P\" contains a control "
                              "character and cannot be written into a batch file.");
    }
  }

  // CR LF line ends, blanks and backslashes as /bin/sh reads them; other
  // comments are not list lines.
  const std::string text =
      "#!/bin/sh\r\n# kirmel-runner 'x'\r\n#  kirmel-run 'y' '' ''\r\n"
      "# kirmel-run\t/a\\ b '' 'n'\\''m'\r\n";
  const std::vector<fe::TSimRun> read = fe::BatchFileRuns(text, "B");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].InputDir, "/a b");
  EXPECT_EQ(read[0].OutputDir, "/a b");  // none given: the input directory
  EXPECT_EQ(read[0].Name, "n'm");

  for (const auto& [line, why] : std::vector<std::pair<std::string, std::string>>{
           {"# kirmel-run '/a' '/a\n", "line 2: a quote is not closed."},
           {"# kirmel-run '/a' '/a'\n", "line 2: 3 names (input directory, output directory, run) "
                                        "expected, 2 found."},
           {"# kirmel-run '' '/a' 'n'\n", "line 2: the input directory is empty."},
           {"# kirmel-run /a /b c\\\n", "line 2: the line ends in a backslash."}}) {
    try {
      fe::BatchFileRuns("#!/bin/sh\n" + line, "/r/BATCH.BAT");
      ADD_FAILURE() << line;
    } catch (const fe::ERunError& e) {
      EXPECT_EQ(e.what(), "Cannot read the runs of the batch file /r/BATCH.BAT, " + why);
    }
  }
}

TEST(RunScripts, ScriptFileReplacesTheOldOneOnlyWhenWritten) {
  TempDir dir;
  const std::string path = dir.write("BATCH.BAT", "old");
  fe::WriteScriptFile(path, "new");
  EXPECT_EQ(readFile(path), "new");
  EXPECT_THROW(fe::WriteScriptFile(dir.str() + "/missing/BATCH.BAT", "x"), fe::EInOutError);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  // A symbolic link planted where a fixed temporary name would be is not
  // written through; the script is written whole, keeps the old one's
  // permission bits, and is a file of its own.
  const std::string victim = dir.write("victim", "keep\n");
  fs::create_symlink(victim, dir.str() + "/RUN.BAT.tmp");
  const std::string run = dir.write("RUN.BAT", "old");
  fs::permissions(run, fs::perms::owner_all);
  const std::string text = "#!/bin/sh\n" + std::string(200000, '#') + "\nexit 0\n";
  fe::WriteScriptFile(run, text);
  EXPECT_EQ(readFile(victim), "keep\n");
  EXPECT_FALSE(fs::is_symlink(run));
  EXPECT_EQ(readFile(run), text);
  EXPECT_EQ(fs::status(run).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(fs::is_symlink(dir.str() + "/RUN.BAT.tmp"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
}

}  // namespace
}  // namespace kirmel::test
