// How the front end learns how a run ended: the status a run directory
// records, the kernel's last console lines, the message of a run and of a
// batch; and the run marker: whose process holds it, whether it still runs,
// and the refusal of a start while it does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EditorTestSupport.h"
#include "ScriptSupport.h"
#include "frontend/editor/Run.h"
#include "platform/Launcher.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
const std::string CR(1, '\r');

// A script whose end the launcher cannot see (as with a terminal that hands
// its script to a server).
class TUnseenScript : public launch::TStartedScript {
 public:
  bool ScriptGone() override { return false; }
  int Pid() const override { return 1; }
};

// A run directory with a status file and a console log.
struct RunDirs {
  TempDir dir;
  std::string Make(const std::string& name, const std::string& status, const std::string& log = "") {
    const std::string run = dir.str() + "/" + name;
    fs::create_directories(run);
    if (!status.empty()) dir.write(name + "/kirmel.status", status);
    if (!log.empty()) dir.write(name + "/RUN.LOG", log);
    return run;
  }
  // A run that has ended (its marker is gone) and what it says.
  std::string Outcome(const std::string& runDir, const std::string& id) {
    fe::TStartedRun run(std::make_unique<TUnseenScript>(), runDir + "/RUN.BAT",
                        dir.str() + "/no-marker", id, runDir);
    EXPECT_EQ(run.Poll(), fe::TStartedRun::TState::Ended);
    return run.Outcome();
  }
};

std::string SeeMessages(const std::string& dir) {
  return CR + "See the messages in \"" + dir + "/message.out\".";
}

TEST(RunOutcome, TheStatusOfThisRunDecides) {
  RunDirs d;
  EXPECT_EQ(d.Outcome(d.Make("ok", "0\nrun-1\n"), "run-1"), "");
  // What each status says; the message file is named only when the kernel
  // left one.
  const std::string outside =
      "KIRMEL did not finish the run." + CR +
      "It was ended before it finished: its terminal was closed or the run was stopped "
      "from outside (exit status ";
  for (const auto& [status, text] : std::vector<std::pair<std::string, std::string>>{
           // the kernel's own fatal stops exit 1
           {"1", "KIRMEL stopped with exit status 1."},
           {"3", "KIRMEL stopped with exit status 3."},
           {"200", "KIRMEL stopped with exit status 200."},
           // the shell found no kernel, or one it could not execute
           {"126", "KIRMEL could not be started (exit status 126)."},
           {"127", "KIRMEL could not be started (exit status 127)."},
           // hang-up, interrupt, kill and terminate come from outside
           {"129", outside + "129)."},
           {"130", outside + "130)."},
           {"137", outside + "137)."},
           {"143", outside + "143)."},
           // abort and segmentation fault are the kernel's own
           {"134", "KIRMEL ended on signal 6."},
           {"139", "KIRMEL ended on signal 11."}}) {
    const std::string dir = d.Make("status" + status, status + "\nrun-1\n");
    EXPECT_EQ(d.Outcome(dir, "run-1"), text) << status;
    d.dir.write("status" + status + "/message.out", " KIRMEL\n");
    EXPECT_EQ(d.Outcome(dir, "run-1"), text + SeeMessages(dir)) << status;
  }
  // CR LF line ends; the message file by the name it has on disk.
  std::string dir = d.Make("three", "3\r\nrun-1\r\n");
  d.dir.write("three/MESSAGE.OUT", " KIRMEL\n");
  EXPECT_EQ(d.Outcome(dir, "run-1"), "KIRMEL stopped with exit status 3." + CR +
                                         "See the messages in \"" + dir + "/MESSAGE.OUT\".");
  // No status of this run: none, another run's, an earlier version's, not
  // a number.
  for (const std::string& status : {std::string(), std::string("0\nrun-0\n"), std::string("0\n"),
                                    std::string("zero\nrun-1\n"), std::string("0 run-1\n")}) {
    dir = d.Make("none", status);
    if (status.empty()) fs::remove(dir + "/kirmel.status");
    EXPECT_EQ(d.Outcome(dir, "run-1"), "KIRMEL did not finish the run.") << status;
  }
  d.dir.write("none/message.out", " KIRMEL\n");
  EXPECT_EQ(d.Outcome(dir, "run-1"), "KIRMEL did not finish the run." + SeeMessages(dir));

  // A kernel that found its disk full left an empty message.out, which is
  // not named; its console log holds the reason and is.
  dir = d.Make("full", "2\nrun-1\n",
               " Error: output file wlsoco.out could not be written completely\n"
               " Stop - Program terminated.\n");
  d.dir.write("full/message.out", "");
  EXPECT_EQ(d.Outcome(dir, "run-1"),
            "KIRMEL stopped with exit status 2." + CR +
                "The last messages of KIRMEL on its console (\"" + dir + "/RUN.LOG\"):" + CR +
                "  Error: output file wlsoco.out could not be written completely" + CR +
                "  Stop - Program terminated.");
}

TEST(RunOutcome, TheKernelsLastConsoleLinesAreQuoted) {
  // The report of a missing file: from its error line on, five lines.
  const std::string missing =
      "Running the simulation. Please wait... \n"
      "Created with KIRMEL-GUI v1.0\n"
      "Date: 09-12-2026 10:11:12\n"
      "\n ERROR in FOPENG: File does not exist\n\n"
      " Arguments of the CALL to FOPENG leading to this error:\n"
      "   Unit             =    96\n"
      "   File name        =    /r/SCENARIOS/S/HY.INP\n"
      "   File status      =    RDO\n"
      "   File type        =    FS\n"
      " Fatal execution error, press <Enter>\n"
      "Press <Enter> to continue . . . \n"
      "Batch completed\n";
  EXPECT_EQ(fe::KernelLastLines(missing),
            (std::vector<std::string>{"ERROR in FOPENG: File does not exist",
                                      "Arguments of the CALL to FOPENG leading to this error:",
                                      "Unit = 96", "File name = /r/SCENARIOS/S/HY.INP",
                                      "File status = RDO"}));
  // No error: the last lines before the script's prompt, without the
  // kernel's own "Press <Enter>".
  std::string progress;
  for (int day = 0; day <= 9; ++day) progress += " Time simulated: " + std::to_string(day) + ".0 d\r\n";
  progress += " program aborting due to hangup event\r\n Press <Enter>\r\n";
  EXPECT_EQ(fe::KernelLastLines(progress + "Press <Enter> to continue . . . x\r\n"),
            (std::vector<std::string>{"Time simulated: 6.0 d", "Time simulated: 7.0 d",
                                      "Time simulated: 8.0 d", "Time simulated: 9.0 d",
                                      "program aborting due to hangup event"}));
  // An error long before the end is not what stopped the run.
  std::string late = " Error in input: x\n";
  for (int line = 1; line <= 12; ++line) late += " line " + std::to_string(line) + "\n";
  EXPECT_EQ(fe::KernelLastLines(late).front(), "line 8");
  // Control characters are shown, long lines cut at a character boundary.
  EXPECT_EQ(fe::KernelLastLines("\x1b[31m ERROR \t\x7f here\x1b[0m\n"),
            (std::vector<std::string>{"\\x1B[31m ERROR \\x7F here\\x1B[0m"}));
  const std::vector<std::string> cut = fe::KernelLastLines(std::string(159, 'a') + "\xc3\xa9tail");
  EXPECT_EQ(cut, (std::vector<std::string>{std::string(159, 'a') + "..."}));
  // Only the script's own lines: nothing of the kernel.
  EXPECT_TRUE(fe::KernelLastLines("Running the simulation. Please wait... \n"
                                  "Created with KIRMEL-GUI v1.0\nDate: today\n"
                                  "Press <Enter> to continue . . . \n")
                  .empty());
  EXPECT_TRUE(fe::KernelLastLines("").empty());
  EXPECT_TRUE(fe::KernelLastLines("\n \n\t\n").empty());

  // The message of the run quotes them from RUN.LOG in the run directory.
  RunDirs d;
  const std::string dir = d.Make("run", "1\nrun-1\n", missing);
  d.dir.write("run/message.out", " KIRMEL\n");
  EXPECT_EQ(d.Outcome(dir, "run-1"),
            "KIRMEL stopped with exit status 1." + SeeMessages(dir) + CR +
                "The last messages of KIRMEL on its console (\"" + dir + "/RUN.LOG\"):" + CR +
                "  ERROR in FOPENG: File does not exist" + CR +
                "  Arguments of the CALL to FOPENG leading to this error:" + CR +
                "  Unit = 96" + CR + "  File name = /r/SCENARIOS/S/HY.INP" + CR +
                "  File status = RDO");
}

TEST(RunOutcome, ABatchListsEachRunThatFailed) {
  RunDirs d;
  std::vector<fe::TSimRun> runs;
  auto add = [&](const std::string& name, const std::string& status, const std::string& log = "") {
    fe::TSimRun run;
    run.Name = name;
    run.InputDir = run.OutputDir = d.Make(name, status, log);
    runs.push_back(run);
  };
  add("A+P", "0\nrun-1\n");
  add("B+P", "3\nrun-1\n", " ERROR in B\n");
  d.dir.write("B+P/message.out", " KIRMEL\n");
  add("C+P", "0\nrun-0\n");  // not reached in this batch
  add("D+P", "0\nrun-1\n");
  runs.push_back(runs[1]);  // a run listed twice is reported once
  // A run with its own output folder: its messages are there, not in the
  // run directory (which holds an old message file).
  runs[2].OutputDir = d.dir.str() + "/elsewhere";
  d.dir.write("elsewhere/message.out", " KIRMEL\n");
  d.dir.write("C+P/message.out", " old KIRMEL\n");
  // Run directories moved away, or replaced by a file: the batch could not
  // enter them.
  add("E+P", "0\nrun-1\n");
  fs::rename(d.dir.str() + "/E+P", d.dir.str() + "/moved");
  add("F+P", "");
  fs::remove_all(d.dir.str() + "/F+P");
  d.dir.write("F+P", "a file\n");
  std::string runsProblem;
  std::string information;
  auto outcome = [&](bool lost) {
    auto batch = fe::TStartedRun::ForBatch(std::make_unique<TUnseenScript>(), "/r/BATCH.BAT",
                                           d.dir.str() + "/TempKir.txt", "run-1", runs,
                                           runsProblem);
    if (lost) std::ofstream(d.dir.str() + "/TempKir.txt") << "x\nrun-1\npid 999999999 1\n";
    EXPECT_EQ(batch->Poll(), lost ? fe::TStartedRun::TState::Lost : fe::TStartedRun::TState::Ended);
    information = batch->Information();
    return batch->Outcome();
  };
  const std::string b = d.dir.str() + "/B+P";
  const std::string c = d.dir.str() + "/C+P";
  const std::string failed =
      "4 of the 6 runs of the batch file /r/BATCH.BAT failed." + CR + CR + "Run directory \"" + b +
      "\":" + CR + "KIRMEL stopped with exit status 3." + SeeMessages(b) + CR +
      "The last messages of KIRMEL on its console (\"" + b + "/RUN.LOG\"):" + CR + "  ERROR in B" +
      CR + CR + "Run directory \"" + c + "\":" + CR + "KIRMEL did not finish the run." +
      SeeMessages(d.dir.str() + "/elsewhere") + CR + CR + "Run directory \"" + d.dir.str() +
      "/E+P\":" + CR +
      "KIRMEL was not run: the batch could not enter the run directory (it does not exist)." + CR +
      CR + "Run directory \"" + d.dir.str() + "/F+P\":" + CR +
      "KIRMEL was not run: the batch could not enter the run directory (it is not a folder).";
  EXPECT_EQ(outcome(false), failed);
  EXPECT_EQ(outcome(true), "The batch file /r/BATCH.BAT was stopped before it finished." + CR + failed);

  EXPECT_EQ(information, "");
  // All ended well: nothing to say.
  runs.resize(1);
  EXPECT_EQ(outcome(false), "");
  EXPECT_EQ(information, "");
  // A batch file that does not list its runs, or whose list cannot be
  // read: no failure it does not know of, but that its runs could not be
  // checked, once, after the batch.
  runs.clear();
  const std::string see = CR + "See the messages in the message.out of each run, or save the "
                               "batch again with \"Create batchfile\".";
  const std::string ended = "The batch file /r/BATCH.BAT has ended." + CR;
  EXPECT_EQ(outcome(false), "");
  EXPECT_EQ(information, ended +
                             "The batch file /r/BATCH.BAT does not list its runs in a form that "
                             "KIRMEL-GUI reads." +
                             CR + "Its runs could not be checked." + see);
  runsProblem =
      "Cannot read the runs of the batch file /r/BATCH.BAT, line 2: a quote is not closed.";
  EXPECT_EQ(outcome(false), "");
  EXPECT_EQ(information, ended + runsProblem + CR + "Its runs could not be checked." + see);
  // Stopped before it finished: that is a failure.
  EXPECT_EQ(outcome(true), "The batch file /r/BATCH.BAT was stopped before it finished." + CR +
                               runsProblem + CR + "The runs that failed could not be listed." +
                               see);
  EXPECT_EQ(information, "");
}

// A child that runs until it is ended.
struct Sleeper {
  pid_t pid = SpawnSession({"/bin/sleep", "60"}, "/", -1, "/dev/null");
  ~Sleeper() { End(); }
  void End() {
    if (pid > 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    pid = -1;
  }
};

TEST(RunMarker, WhoseProcessHoldsItAndWhetherItStillRuns) {
  const std::string mine = fe::ProcessStartTime(::getpid());
  ASSERT_FALSE(mine.empty());
  EXPECT_TRUE(fe::ProcessAlive(::getpid(), mine));
  EXPECT_TRUE(fe::ProcessAlive(::getpid(), ""));
  // The same number with another start time is another process.
  EXPECT_FALSE(fe::ProcessAlive(::getpid(), mine + "1"));
  EXPECT_FALSE(fe::ProcessAlive(0, ""));
  EXPECT_FALSE(fe::ProcessAlive(-1, ""));
  Sleeper s;
  ASSERT_GT(s.pid, 0);
  EXPECT_TRUE(fe::ProcessAlive(s.pid, fe::ProcessStartTime(s.pid)));
  // It leads a process group of its own, as a script does.
  EXPECT_TRUE(fe::ProcessGroupAlive(s.pid));
  EXPECT_TRUE(fe::ProcessGroupAlive(::getpgrp()));
  EXPECT_FALSE(fe::ProcessGroupAlive(0));
  EXPECT_FALSE(fe::ProcessGroupAlive(1));
  EXPECT_FALSE(fe::ProcessGroupAlive(-1));
  // Ended but not yet reaped, then gone: a group of such processes has ended.
  ::kill(s.pid, SIGKILL);
  ASSERT_TRUE(WaitUntil([&] { return !fe::ProcessAlive(s.pid, ""); }));
  EXPECT_FALSE(fe::ProcessGroupAlive(s.pid));
  EXPECT_FALSE(fe::ScriptAlive(s.pid, "", s.pid));
  // Another user cannot signal this group to learn that it has ended, so
  // it counts as running, and no process of it can be named: the refusal
  // names the group and the command that ends it.
  if (::geteuid() == 0) {
    TempDir seen;
    const std::string group = std::to_string(s.pid);
    const std::string marker =
        seen.write("TempKir.txt", "today, KIRMEL is running.\nrun-1\ndir /r/RUNS/A+P\npid " +
                                      group + " " + fe::ProcessStartTime(s.pid) + " " + group +
                                      "\n");
    std::string why;
    ASSERT_TRUE(RunUnprivileged(seen.path(), [&] {
      std::ofstream(seen.file("problem")) << fe::LiveRunProblem(marker);
    }, why)) << why;
    EXPECT_EQ(readFile(seen.file("problem")),
              "KIRMEL is still running in the run directory \"/r/RUNS/A+P\"." + CR +
                  "Its script and its window are gone, but processes that it started (process "
                  "group " + group + ") still run." + CR +
                  "Wait until they have ended, or end them with the command \"kill -- -" + group +
                  "\", before starting another run.");
  }
  s.End();
  EXPECT_FALSE(fe::ProcessGroupAlive(s.pid));

  TempDir dir;
  const std::string path = dir.write("TempKir.txt",
                                     "09-12-2026 10:11:12, KIRMEL is running.\r\nrun-1\r\n"
                                     "batch /r/BATCH.BAT\r\ndir /r/RUNS/A+P\r\ndir /r/RUNS/B+P\r\n"
                                     "pid 42 777\r\n");
  std::optional<fe::TRunMarker> m = fe::ReadRunMarker(path);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Id, "run-1");
  EXPECT_EQ(m->RunDir, "/r/RUNS/B+P");
  EXPECT_EQ(m->BatchFile, "/r/BATCH.BAT");
  EXPECT_EQ(m->Pid, 42);
  EXPECT_EQ(m->StartTime, "777");
  EXPECT_EQ(m->Group, 0);
  m = fe::ReadRunMarker(dir.write("group.txt", "today, KIRMEL is running.\nrun-1\npid 42 777 40\n"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Pid, 42);
  EXPECT_EQ(m->Group, 40);
  EXPECT_FALSE(fe::ReadRunMarker(dir.str() + "/none"));
  // An earlier version's marker: the date line and the id.
  m = fe::ReadRunMarker(dir.write("old.txt", "today, KIRMEL is running.\n"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Pid, 0);
  EXPECT_EQ(m->Id, "");
}

// KIRMEL is still writing a run directory while the marker's live script
// works in it (its last "dir" line) and the status file there does not yet
// record the end of the kernel's run.
TEST(RunMarker, TheRunStillBeingWrittenIsTheLiveScriptsDirectory) {
  TempDir dir;
  const std::string a = dir.str() + "/RUNS/A+P";
  const std::string b = dir.str() + "/RUNS/B+P";
  fs::create_directories(a);
  fs::create_directories(b);
  const std::string mine = fe::ProcessStartTime(::getpid());
  const auto marker = [&](const std::string& name, const std::string& pid) {
    return dir.write(name, "09-12-2026 10:11:12, KIRMEL is running.\nrun-7\nbatch " + dir.str() +
                               "/BATCH.BAT\ndir " + a + "\ndir " + b + "\n" + pid);
  };
  const std::string live = marker("TempKir.txt", "pid " + std::to_string(::getpid()) + " " + mine + "\n");
  EXPECT_TRUE(fe::RunStillWriting(live, b));
  EXPECT_TRUE(fe::RunStillWriting(live, dir.str() + "/runs/b+p/"));  // another spelling
  EXPECT_FALSE(fe::RunStillWriting(live, a));                      // the batch has left it
  EXPECT_FALSE(fe::RunStillWriting(live, dir.str() + "/RUNS"));
  // The kernel's end recorded for this run; another run's status does not count.
  dir.write("RUNS/B+P/kirmel.status", "0\nrun-6\n");
  EXPECT_TRUE(fe::RunStillWriting(live, b));
  dir.write("RUNS/B+P/kirmel.status", "3\nrun-7\n");
  EXPECT_FALSE(fe::RunStillWriting(live, b));
  fs::remove(b + "/kirmel.status");
  // A script that is gone (its number now another process's), one that
  // names no process yet, and no marker at all.
  EXPECT_FALSE(fe::RunStillWriting(marker("gone.txt", "pid " + std::to_string(::getpid()) + " " + mine + "1\n"), b));
  EXPECT_FALSE(fe::RunStillWriting(marker("starting.txt", ""), b));
  EXPECT_FALSE(fe::RunStillWriting(dir.str() + "/none.txt", b));
}

TEST(RunMarker, ALiveRunRefusesAStartAndAGoneOneIsRemoved) {
  TempDir dir;
  const std::string path = dir.str() + "/TempKir.txt";
  EXPECT_EQ(fe::LiveRunProblem(path), "");

  Sleeper live;
  auto write = [&](const std::string& lines) {
    std::ofstream(path) << "today, KIRMEL is running.\nrun-1\n" << lines;
  };
  write("dir /r/RUNS/A+P\npid " + std::to_string(live.pid) + " " +
        fe::ProcessStartTime(live.pid) + "\n");
  const std::string refusal =
      "KIRMEL is still running in the run directory \"/r/RUNS/A+P\" (process " +
      std::to_string(live.pid) + ")." + CR +
      "Wait until it has ended, or close its window, before starting another run.";
  EXPECT_EQ(fe::LiveRunProblem(path), refusal);
  EXPECT_TRUE(fs::exists(path));
  // StartScript refuses too, and leaves the marker as it was.
  const std::string before = readFile(path);
  try {
    fe::StartScript({dir.write("RUN.BAT", "exit 0\n"), dir.str(), dir.str(), {}, path, "today"});
    ADD_FAILURE() << "started";
  } catch (const fe::ERunError& e) {
    EXPECT_EQ(e.what(), refusal);
  }
  EXPECT_EQ(readFile(path), before);

  // A hand-made marker's directory is shown whole, its control characters
  // written out.
  const std::string longDir = "/r/" + std::string(200, 'd') + "/A\x01  +P";
  write("dir " + longDir + "\npid " + std::to_string(live.pid) + "\n");
  EXPECT_EQ(fe::LiveRunProblem(path).substr(0, 269),
            "KIRMEL is still running in the run directory \"/r/" + std::string(200, 'd') +
                "/A\\x01  +P\" (process");

  // A batch that has not entered a run directory yet.
  write("batch /r/BATCH.BAT\npid " + std::to_string(live.pid) + "\n");
  EXPECT_EQ(fe::LiveRunProblem(path),
            "The batch file \"/r/BATCH.BAT\" is still running (process " +
                std::to_string(live.pid) + ")." + CR +
                "Wait until it has ended, or close its window, before starting another run.");

  // A script that is still starting has not named its process yet; a
  // marker like that from long ago is left over.
  write("dir /r/RUNS/A+P\n");
  EXPECT_EQ(fe::LiveRunProblem(path),
            "KIRMEL is still running in the run directory \"/r/RUNS/A+P\"." + CR +
                "Wait until it has ended, or close its window, before starting another run.");
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
  EXPECT_EQ(fe::LiveRunProblem(path), "");
  EXPECT_FALSE(fs::exists(path));

  // The process is gone, or its number now belongs to another.
  const pid_t gone = live.pid;
  const std::string start = fe::ProcessStartTime(gone);
  live.End();
  write("dir /r/RUNS/A+P\npid " + std::to_string(gone) + " " + start + "\n");
  EXPECT_EQ(fe::LiveRunProblem(path), "");
  EXPECT_FALSE(fs::exists(path));
  write("pid " + std::to_string(::getpid()) + " 1\n");
  EXPECT_EQ(fe::LiveRunProblem(path), "");
  EXPECT_FALSE(fs::exists(path));
}

TEST(RunMarker, AScriptThatDiesWithoutItsTrapEndsTheWait) {
  // The launcher cannot see the script end (a terminal handed it on); the
  // marker's process can.
  TempDir dir;
  const std::string path = dir.str() + "/TempKir.txt";
  Sleeper script;
  std::ofstream(path) << "today, KIRMEL is running.\nrun-1\ndir " << dir.str() << "\npid "
                      << script.pid << " " << fe::ProcessStartTime(script.pid) << "\n";
  fe::TStartedRun run(std::make_unique<TUnseenScript>(), dir.str() + "/RUN.BAT", path, "run-1",
                      dir.str());
  EXPECT_EQ(run.Poll(), fe::TStartedRun::TState::Running);
  EXPECT_EQ(run.Poll(), fe::TStartedRun::TState::Running);
  script.End();
  EXPECT_EQ(run.Poll(), fe::TStartedRun::TState::Lost);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(run.Outcome(), "KIRMEL did not finish the run.");
}

// Starts scripts as child processes for one test.
struct ChildLauncher {
  std::unique_ptr<launch::TLauncher> previous =
      launch::InstallLauncher(std::make_unique<launch::TChildProcessLauncher>());
  ~ChildLauncher() { launch::InstallLauncher(std::move(previous)); }
};

fe::TStartedRun::TState WaitForEnd(fe::TStartedRun& run) {
  fe::TStartedRun::TState state = fe::TStartedRun::TState::Running;
  WaitUntil([&] { return (state = run.Poll()) != fe::TStartedRun::TState::Running; });
  return state;
}

TEST(RunMarker, AStartedRunWhoseDirectoryCannotBeEnteredDidNotFinish) {
  // An old status "0" stays in the run directory when the script cannot
  // enter it; it is not this run's.
  ChildLauncher launcher;
  ScriptRun s;
  s.dir.write("RUNS/a b'$(touch pwned)+P/kirmel.status", "0\n");
  const std::string script =
      s.dir.write("RUN.BAT", fe::RunBatchText(s.runDir + "/gone", s.Context()));
  fs::remove(s.marker);
  std::unique_ptr<fe::TStartedRun> run =
      fe::StartScript({script, s.dir.str(), s.runDir, {}, s.marker, "today"});
  ASSERT_EQ(WaitForEnd(*run), fe::TStartedRun::TState::Ended);
  EXPECT_EQ(run->Outcome().substr(0, 30), "KIRMEL did not finish the run.");
  EXPECT_FALSE(fs::exists(s.kernelDir + "/args"));

  // A marker left by a script that is gone does not keep the next run out.
  std::ofstream(s.marker) << "today, KIRMEL is running.\nrun-0\npid 999999999 1\n";
  const std::string good = s.dir.write("RUNS/a b'$(touch pwned)+P/RUN.BAT",
                                       fe::RunBatchText(s.runDir, s.Context()));
  run = fe::StartScript({good, s.runDir, s.runDir, {}, s.marker, "today"});
  ASSERT_EQ(WaitForEnd(*run), fe::TStartedRun::TState::Ended);
  EXPECT_EQ(run->Outcome(), "");
  EXPECT_EQ(fe::ReadRunStatus(s.runDir, run->Id()), 0);
  EXPECT_FALSE(fs::exists(s.marker));
}

TEST(RunMarker, AKernelThatOutlivesItsKilledScriptKeepsTheRunLive) {
  // The script is killed outright: its trap cannot remove the marker, and
  // the kernel it started goes on writing into the run directory, in the
  // process group that the script leads.
  ScriptRun s;
  const std::string script = s.dir.write("RUNS/a b'$(touch pwned)+P/RUN.BAT",
                                         fe::RunBatchText(s.runDir, s.Context()));
  s.Hold();
  std::ofstream(s.marker) << "today, KIRMEL is running.\nrun-1\ndir " << s.runDir << "\n";
  const pid_t pid = s.Start(script, s.dir.str(), "run-1");
  ASSERT_TRUE(WaitUntil([&] { return s.Started(); }));
  std::optional<fe::TRunMarker> m = fe::ReadRunMarker(s.marker);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Pid, pid);
  EXPECT_EQ(m->Group, pid);
  ::kill(pid, SIGKILL);
  EXPECT_EQ(ExitStatus(pid), 128 + SIGKILL);
  EXPECT_FALSE(fe::ProcessAlive(pid, m->StartTime));
  EXPECT_TRUE(fe::ScriptAlive(pid, m->StartTime, m->Group));
  // A marker without the group (an earlier version's) knows only the script.
  EXPECT_FALSE(fe::ScriptAlive(pid, m->StartTime, 0));

  // There is no window to close: the refusal names the kernel and how to
  // end it.
  const std::string kernel = s.Kernel("pid").substr(0, s.Kernel("pid").find('\n'));
  ASSERT_FALSE(kernel.empty());
  const std::string refusal = "KIRMEL is still running in the run directory \"" + s.runDir +
                              "\"." + CR +
                              "Its script and its window are gone, but KIRMEL_12 (process " +
                              kernel + "), which it started, still runs." + CR +
                              "Wait until it has ended, or end it with the command \"kill " +
                              kernel + "\", before starting another run.";
  EXPECT_EQ(fe::LiveRunProblem(s.marker), refusal);
  EXPECT_TRUE(fs::exists(s.marker));
  try {
    fe::StartScript({script, s.runDir, s.runDir, {}, s.marker, "today"});
    ADD_FAILURE() << "started";
  } catch (const fe::ERunError& e) {
    EXPECT_EQ(e.what(), refusal);
  }
  EXPECT_EQ(s.Kernel("args"), "1\n" + s.runDir + "/FILES.INP\n");  // started once

  // The command it gives ends the run: the marker is stale then and goes.
  ASSERT_EQ(::kill(std::stoi(kernel), SIGTERM), 0);
  ASSERT_TRUE(WaitUntil([&] { return fe::LiveRunProblem(s.marker).empty(); }));
  EXPECT_FALSE(fs::exists(s.marker));
  EXPECT_FALSE(fs::exists(s.runDir + "/wlsoco.out"));
  s.Release();

  // The wait of the front end, which sees its child end, goes on too.
  ChildLauncher launcher;
  fs::remove(s.kernelDir + "/started");
  s.Hold();
  std::unique_ptr<fe::TStartedRun> run =
      fe::StartScript({script, s.runDir, s.runDir, {}, s.marker, "today"});
  ASSERT_TRUE(WaitUntil([&] {
    std::optional<fe::TRunMarker> now = fe::ReadRunMarker(s.marker);
    return s.Started() && now && now->Pid == run->Pid();
  }));
  ::kill(run->Pid(), SIGKILL);
  ASSERT_TRUE(WaitUntil([&] { return !fe::ProcessAlive(run->Pid(), ""); }));
  EXPECT_EQ(run->Poll(), fe::TStartedRun::TState::Running);
  EXPECT_EQ(run->Poll(), fe::TStartedRun::TState::Running);
  EXPECT_NE(fe::LiveRunProblem(s.marker), "");
  // Left alone, the kernel goes on writing into the run directory and the
  // wait ends when it has ended.
  s.Release();
  ASSERT_EQ(WaitForEnd(*run), fe::TStartedRun::TState::Lost);
  EXPECT_TRUE(fs::exists(s.runDir + "/wlsoco.out"));
  EXPECT_FALSE(fs::exists(s.marker));
  EXPECT_EQ(run->Outcome().rfind("KIRMEL did not finish the run." + CR, 0), 0u) << run->Outcome();
  EXPECT_FALSE(s.Pwned());
}

}  // namespace
}  // namespace kirmel::test
