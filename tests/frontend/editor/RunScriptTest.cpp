// The run batch file and the batch file: their text line by line, and what
// they do when /bin/sh runs them with a stand-in kernel.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "EditorTestSupport.h"
#include "frontend/editor/Run.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

// The part both scripts share: the marker and the trap that removes it.
std::string Preamble(const std::string& what) {
  return "#!/bin/sh\n"
         "# " + what + ", written by KIRMEL-GUI; run with /bin/sh and the run's id.\n" + R"(kirmel_marker='/r/GUI/TempKir.txt'
kirmel_run="${1-}"
# Removes the run marker while it holds this run's id.
kirmel_end() {
  if [ -n "$kirmel_run" ] && [ -f "$kirmel_marker" ]; then
    while IFS= read -r kirmel_line; do
      if [ "$kirmel_line" = "$kirmel_run" ]; then rm -f -- "$kirmel_marker"; break; fi
    done < "$kirmel_marker"
  fi
}
kirmel_pause() {
  printf '%s' 'Press <Enter> to continue . . . '
  read -r kirmel_answer || printf '\n'
}
trap 'kirmel_end' EXIT
trap 'kirmel_end; trap - EXIT; exit 129' HUP
trap 'kirmel_end; trap - EXIT; exit 130' INT
trap 'kirmel_end; trap - EXIT; exit 143' TERM
)";
}

const fe::TScriptContext kContext{"/k dir/it's/KIRMEL_12", "/r/GUI/TempKir.txt",
                                  "09-12-2026 10:11:12"};

TEST(RunScripts, RunBatchFileLineByLine) {
  const std::string expected = Preamble("Run batch file") + R"(printf '%s\n' 'Running the simulation. Please wait... '
printf '%s\n' 'Created with KIRMEL-GUI v1.0'
printf '%s\n' 'Date: 09-12-2026 10:11:12'
cd -- '/r/RUNS/S+P' || { printf '%s\n' 'Cannot enter the run directory /r/RUNS/S+P: the run ends here.'; kirmel_pause; exit 1; }
rm -f -- *.[oO][uU][tT] 'kirmel.status'
'/k dir/it'\''s/KIRMEL_12' '/r/RUNS/S+P/FILES.INP'
kirmel_status=$?
printf '%s\n' "$kirmel_status" > 'kirmel.status'
kirmel_pause
kirmel_end
printf '%s\n' 'Batch completed'
printf '%s\n' '*************************************************************'
printf '%s\n' '*** CLOSE THIS WINDOW BEFORE GOING ON WITH THE KIRMEL-GUI ***'
printf '%s\n' '*************************************************************'
exit "$kirmel_status"
)";
  EXPECT_EQ(fe::RunBatchText("/r/RUNS/S+P", kContext), expected);
}

TEST(RunScripts, BatchFileOfTwoRunsLineByLine) {
  std::vector<fe::TSimRun> runs(2);
  runs[0].Name = "S+P";
  runs[0].InputDir = runs[0].OutputDir = "/r/RUNS/S+P";
  runs[1].InputDir = "/r/RUNS/T+Q";
  runs[1].OutputDir = "/r/out";  // never made by the dialog: the move line
  auto block = [](const std::string& name, const std::string& in, const std::string& out,
                  const std::string& move) {
    return "printf '%s\\n' '---'\n"
           "printf '%s\\n' '  Running: " + name + "'\n"
           "printf '%s\\n' '    Input directory=" + in + "'\n"
           "printf '%s\\n' '    Name file=FILES.INP'\n"
           "printf '%s\\n' '    Output directory=" + out + "'\n"
           "if cd -- '" + in + "'; then\n" + R"(  rm -f -- *.[oO][uU][tT] 'kirmel.status'
  '/k dir/it'\''s/KIRMEL_12' 'FILES.INP'
  kirmel_status=$?
  printf '%s\n' "$kirmel_status" > 'kirmel.status'
  if [ "$kirmel_status" -ne 0 ]; then printf '%s\n' "  KIRMEL stopped with exit status $kirmel_status: see message.out"; fi
)" + move + R"(  printf '%s\n' '  Finished'
else
  printf '%s\n' '  Not run: cannot enter the input directory'
fi
)";
  };
  const std::string expected =
      Preamble("Batch file") +
      "printf '%s\\n' 'Running simulation batch'\n"
      "printf '%s\\n' 'Created with KIRMEL-GUI v1.0'\n"
      "printf '%s\\n' '09-12-2026 10:11:12'\n" +
      block("S+P", "/r/RUNS/S+P", "/r/RUNS/S+P", "") +
      block("<unnamed>", "/r/RUNS/T+Q", "/r/out", "  mv -f -- *.[oO][uU][tT] '/r/out'\n") +
      "kirmel_pause\nkirmel_end\nprintf '%s\\n' 'Batch completed'\n";
  EXPECT_EQ(fe::BatchFileText(runs, kContext), expected);
}

// Runs scripts with /bin/sh in a scratch tree: a stand-in kernel in a
// directory whose name would run commands if it were not quoted, and a run
// directory with old output files.
struct ScriptRun {
  TempDir dir;
  std::string kernelDir = dir.str() + "/ker nel's $(touch pwned);x";
  std::string runDir = dir.str() + "/RUNS/a b'$(touch pwned)+P";
  std::string marker = dir.str() + "/GUI/TempKir.txt";

  ScriptRun() {
    fs::create_directories(kernelDir);
    fs::create_directories(runDir);
    fs::create_directories(dir.path() / "GUI");
    const std::string kernel = dir.write(
        "ker nel's $(touch pwned);x/KIRMEL_12",
        "#!/bin/sh\n"
        "d=$(dirname \"$0\")\n"
        "pwd > \"$d/cwd\"\n"
        "printf '%s\\n' \"$#\" \"$@\" > \"$d/args\"\n"
        "ls > \"$d/seen\"\n"
        "printf 'x\\n' > wlsoco.out\n"
        "exit 3\n");
    fs::permissions(kernel, fs::perms::owner_all);
    dir.write("RUNS/a b'$(touch pwned)+P/old.out", "old\n");
    dir.write("RUNS/a b'$(touch pwned)+P/WBSCO001.OUT", "old\n");
  }
  fe::TScriptContext Context() const {
    return {kernelDir + "/KIRMEL_12", marker, "today"};
  }
  void Marker(const std::string& id) const {
    std::ofstream(marker) << "today, KIRMEL is running.\n" << id << "\n";
  }
  // Runs the script from `from` with the id as its argument, no input.
  int Run(const std::string& script, const std::string& from, const std::string& id) const {
    const std::string command = "cd " + fe::ShellQuote(from) + " && /bin/sh " +
                                fe::ShellQuote(script) + " " + fe::ShellQuote(id) +
                                " </dev/null >" + fe::ShellQuote(dir.str() + "/console") + " 2>&1";
    return std::system(command.c_str());
  }
  std::string Kernel(const char* what) const { return readFile(kernelDir + "/" + what); }
  bool Pwned() const {
    for (const auto& e : fs::recursive_directory_iterator(dir.path()))
      if (e.path().filename() == "pwned") return true;
    return fs::exists("pwned");
  }
};

TEST(RunScripts, RunBatchFileRunsTheKernelInTheRunDirectory) {
  ScriptRun s;
  const std::string script = s.dir.write("RUNS/a b'$(touch pwned)+P/RUN.BAT",
                                         fe::RunBatchText(s.runDir, s.Context()));
  s.Marker("run-1");
  const int status = s.Run(script, s.dir.str(), "run-1");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << readFile(s.dir.str() + "/console");
  EXPECT_EQ(s.Kernel("cwd"), s.runDir + "\n");
  EXPECT_EQ(s.Kernel("args"), "1\n" + s.runDir + "/FILES.INP\n");
  EXPECT_EQ(s.Kernel("seen"), "RUN.BAT\n");  // old outputs of any case went first
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "3\n");
  EXPECT_FALSE(fs::exists(s.marker));
  EXPECT_FALSE(s.Pwned());
  EXPECT_NE(readFile(s.dir.str() + "/console").find("Batch completed"), std::string::npos);

  // A marker of a later run stays when this script ends.
  s.Marker("run-2");
  s.Run(script, s.dir.str(), "run-1");
  EXPECT_TRUE(fs::exists(s.marker));
}

TEST(RunScripts, AFailedCdEndsTheRunBeforeAnythingIsDeleted) {
  ScriptRun s;
  const std::string script = s.dir.write("RUN.BAT", fe::RunBatchText(s.runDir + "/gone", s.Context()));
  s.dir.write("here/keep.out", "keep\n");
  s.Marker("run-1");
  const int status = s.Run(script, s.dir.str() + "/here", "run-1");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_TRUE(fs::exists(s.dir.str() + "/here/keep.out"));
  EXPECT_FALSE(fs::exists(s.kernelDir + "/args"));
  EXPECT_FALSE(fs::exists(s.marker));

  // In a batch only that run is skipped.
  std::vector<fe::TSimRun> runs(2);
  runs[0].InputDir = runs[0].OutputDir = s.dir.str() + "/gone";
  runs[1].Name = "a b'$(touch pwned)+P";
  runs[1].InputDir = runs[1].OutputDir = s.runDir;
  const std::string batch = s.dir.write("BATCH.BAT", fe::BatchFileText(runs, s.Context()));
  s.Marker("run-2");
  s.Run(batch, s.dir.str() + "/here", "run-2");
  EXPECT_TRUE(fs::exists(s.dir.str() + "/here/keep.out"));
  EXPECT_EQ(s.Kernel("args"), "1\nFILES.INP\n");
  EXPECT_EQ(s.Kernel("cwd"), s.runDir + "\n");
  EXPECT_EQ(readFile(s.runDir + "/kirmel.status"), "3\n");
  EXPECT_FALSE(fs::exists(s.runDir + "/old.out"));
  EXPECT_FALSE(fs::exists(s.marker));
  const std::string console = readFile(s.dir.str() + "/console");
  EXPECT_NE(console.find("  Not run: cannot enter the input directory"), std::string::npos);
  EXPECT_NE(console.find("  KIRMEL stopped with exit status 3: see message.out"), std::string::npos);
  EXPECT_FALSE(s.Pwned());
}

TEST(RunScripts, ScriptFileReplacesTheOldOneOnlyWhenWritten) {
  TempDir dir;
  const std::string path = dir.write("BATCH.BAT", "old");
  fe::WriteScriptFile(path, "new");
  EXPECT_EQ(readFile(path), "new");
  EXPECT_THROW(fe::WriteScriptFile(dir.str() + "/missing/BATCH.BAT", "x"), fe::EInOutError);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace kirmel::test
