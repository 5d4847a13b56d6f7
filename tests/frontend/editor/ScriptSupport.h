// Runs the front end's scripts with /bin/sh against a stand-in kernel, as a
// session of their own so that a test can signal the script's whole process
// group the way a closing terminal does.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/TempDir.h"
#include "frontend/editor/Run.h"

extern char** environ;

namespace kirmel::test {

// The longest a script or its stand-in kernel is waited for: they take
// milliseconds, but seconds on a busy machine; only a broken script takes
// the whole wait.
inline constexpr int kScriptWaitMs = 60000;

// Waits until cond holds; false after ms milliseconds.
inline bool WaitUntil(const std::function<bool()>& cond, int ms = kScriptWaitMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A process started with argv in dir, in a session of its own, with
// standard input from stdinFd (-1: /dev/null) and standard output and error
// into the file out.  -1 when it could not be started.
inline pid_t SpawnSession(const std::vector<std::string>& argv, const std::string& dir,
                          int stdinFd, const std::string& out) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  if (stdinFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  sigemptyset(&none);
  for (int s : {SIGHUP, SIGINT, SIGTERM, SIGPIPE}) sigaddset(&defaults, s);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int err = posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return err ? -1 : pid;
}

// The exit status of a child as a shell gives it (128 + N after signal N);
// -1 when it was not started or has not ended within ms milliseconds (it
// is then killed).
inline int ExitStatus(pid_t pid, int ms = kScriptWaitMs) {
  if (pid <= 0) return -1;
  int status = 0;
  const bool ended = WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, ms);
  if (!ended) {
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

// A scratch tree: a stand-in kernel in a directory whose name would run
// commands if a script did not quote it, a run directory of the same kind
// with old output files, and the GUI folder for the marker.
//
// The stand-in appends its working directory and arguments to files beside
// it, writes its process id into "pid" there, lists what the run directory
// held, leaves an empty message.out (as a kernel whose disk is full), says a
// line on its console, asks a question when the file "ask" is beside it,
// creates "started" and waits while "hold" is there, writes wlsoco.out, and
// exits with the number in the run directory's "kernel.exit", else in
// "status" beside it (0 without either), saying an error line on its error
// stream when that is not 0.
struct ScriptRun {
  TempDir dir;
  std::string kernelDir = dir.str() + "/ker nel's $(touch pwned);x";
  std::string runDir = dir.str() + "/RUNS/a b'$(touch pwned)+P";
  std::string marker = dir.str() + "/GUI/TempKir.txt";

  ScriptRun() {
    namespace fs = std::filesystem;
    fs::create_directories(kernelDir);
    fs::create_directories(runDir);
    fs::create_directories(dir.path() / "GUI");
    const std::string kernel = dir.write(
        "ker nel's $(touch pwned);x/KIRMEL_12",
        "#!/bin/sh\n"
        "d=$(dirname \"$0\")\n"
        "pwd >> \"$d/cwd\"\n"
        "printf '%s\\n' \"$#\" \"$@\" >> \"$d/args\"\n"
        "printf '%s\\n' \"$$\" > \"$d/pid\"\n"
        "ls > \"$d/seen\"\n"
        ": > message.out\n"
        "printf ' KIRMEL stand-in started\\n'\n"
        "if [ -f \"$d/ask\" ]; then printf ' Overwrite (Y/N) : '; read -r a; "
        "printf ' answer: %s\\n' \"$a\"; fi\n"
        ": > \"$d/started\"\n"
        "while [ -f \"$d/hold\" ]; do sleep 0.02; done\n"
        "printf 'x\\n' > wlsoco.out\n"
        "s=$(cat kernel.exit 2>/dev/null || cat \"$d/status\" 2>/dev/null || echo 0)\n"
        "if [ \"$s\" != 0 ]; then printf ' ERROR in STANDIN: stopping with %s\\n' \"$s\" >&2; fi\n"
        "exit \"$s\"\n");
    fs::permissions(kernel, fs::perms::owner_all);
    dir.write("RUNS/a b'$(touch pwned)+P/old.out", "old\n");
    dir.write("RUNS/a b'$(touch pwned)+P/WBSCO001.OUT", "old\n");
  }
  fe::TScriptContext Context() const { return {kernelDir + "/KIRMEL_12", marker, "today"}; }
  void Marker(const std::string& id) const {
    std::ofstream(marker) << "today, KIRMEL is running.\n" << id << "\n";
  }
  // Starts the script from `from` with the id as its argument; its console
  // goes to the file "console" unless `console` names another file.
  pid_t Start(const std::string& script, const std::string& from, const std::string& id,
              int stdinFd = -1, const std::string& console = "") const {
    return SpawnSession({"/bin/sh", script, id}, from, stdinFd,
                        console.empty() ? Console() : console);
  }
  int Run(const std::string& script, const std::string& from, const std::string& id) const {
    return ExitStatus(Start(script, from, id));
  }
  std::string Console() const { return dir.str() + "/console"; }
  std::string Kernel(const char* what) const { return readFile(kernelDir + "/" + what); }
  void Hold() const { std::ofstream(kernelDir + "/hold") << "\n"; }
  void Release() const { std::filesystem::remove(kernelDir + "/hold"); }
  bool Started() const { return std::filesystem::exists(kernelDir + "/started"); }
  bool Pwned() const {
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
      if (e.path().filename() == "pwned") return true;
    return std::filesystem::exists("pwned");
  }
};

}  // namespace kirmel::test
