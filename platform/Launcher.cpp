#include "platform/Launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

extern char** environ;

namespace kirmel::launch {
namespace {

// Children whose handle went away before they ended; reaped when they have.
std::vector<pid_t>& Unreaped() {
  static std::vector<pid_t> pids;
  return pids;
}

void ReapUnreaped() {
  std::vector<pid_t>& pids = Unreaped();
  for (auto it = pids.begin(); it != pids.end();) {
    int status = 0;
    pid_t r = ::waitpid(*it, &status, WNOHANG);
    if (r == *it || (r < 0 && errno == ECHILD))
      it = pids.erase(it);
    else
      ++it;
  }
}

class TSpawned : public TStartedScript {
 public:
  TSpawned(pid_t pid, bool terminal) : pid_(pid), terminal_(terminal) {}
  ~TSpawned() override {
    if (!Reaped()) Unreaped().push_back(pid_);
    ReapUnreaped();
  }

  bool ScriptGone() override {
    if (!Reaped()) return false;
    if (!terminal_) return true;
    return !(WIFEXITED(status_) && WEXITSTATUS(status_) == 0);
  }
  int Pid() const override { return pid_; }

 private:
  bool Reaped() {
    if (reaped_) return true;
    int status = 0;
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      reaped_ = true;
      status_ = status;
    } else if (r < 0 && errno == ECHILD) {
      // Someone else reaped it: it has ended, how is unknown.
      reaped_ = true;
      status_ = 0;
    }
    return reaped_;
  }

  pid_t pid_;
  bool terminal_;
  bool reaped_ = false;
  int status_ = 0;
};

std::vector<std::string> SplitBlanks(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// Spawns argv in dir with stdin from /dev/null and, when logFile is not
// empty, stdout and stderr into it.  The child gets a session of its own and
// the default handling of the signals a shell cares about.  Returns the pid,
// or -1 with `why` set.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& dir,
            const std::string& logFile, bool searchPath, std::string& why) {
  ReapUnreaped();
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  int err = posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  if (!err) err = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (!err && !logFile.empty()) {
    err = posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!err) err = posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int s : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGCHLD}) sigaddset(&defaults, s);
  sigset_t none;
  sigemptyset(&none);
  if (!err) err = posix_spawnattr_setsigdefault(&attr, &defaults);
  if (!err) err = posix_spawnattr_setsigmask(&attr, &none);
  if (!err)
    err = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF |
                                              POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  if (!err)
    err = searchPath ? posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ)
                     : posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (err) {
    why = argv[0] + ": " + std::strerror(err);
    return -1;
  }
  return pid;
}

bool DisplayPresent() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* v = std::getenv(name); v && *v) return true;
  return false;
}

std::unique_ptr<TLauncher>& Installed() {
  static std::unique_ptr<TLauncher> launcher;
  return launcher;
}

}  // namespace

std::string LogFileOf(const std::string& script) {
  const std::string::size_type slash = script.find_last_of('/');
  const std::string::size_type dot = script.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    return script.substr(0, dot) + ".LOG";
  return script + ".LOG";
}

std::unique_ptr<TStartedScript> TChildProcessLauncher::Start(const std::string& script,
                                                             const std::vector<std::string>& args,
                                                             const std::string& dir,
                                                             std::string& why) {
  std::vector<std::string> argv = {"/bin/sh", script};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = Spawn(argv, dir, LogFileOf(script), false, why);
  if (pid < 0) return nullptr;
  return std::make_unique<TSpawned>(pid, false);
}

TTerminalLauncher::TTerminalLauncher(std::vector<std::string> candidates)
    : candidates_(std::move(candidates)) {}

std::unique_ptr<TStartedScript> TTerminalLauncher::Start(const std::string& script,
                                                         const std::vector<std::string>& args,
                                                         const std::string& dir,
                                                         std::string& why) {
  why = "no terminal to start";
  for (const std::string& candidate : candidates_) {
    std::vector<std::string> argv = SplitBlanks(candidate);
    if (argv.empty()) continue;
    argv.insert(argv.end(), {"-e", "/bin/sh", script});
    argv.insert(argv.end(), args.begin(), args.end());
    std::string reason;
    pid_t pid = Spawn(argv, dir, "", true, reason);
    if (pid >= 0) return std::make_unique<TSpawned>(pid, true);
    why = reason;
  }
  return nullptr;
}

std::vector<std::string> TerminalCandidates() {
  std::vector<std::string> candidates;
  if (const char* t = std::getenv("KIRMEL_TERMINAL"); t && *t) candidates.emplace_back(t);
  candidates.emplace_back("x-terminal-emulator");
  candidates.emplace_back("xterm");
  return candidates;
}

std::unique_ptr<TStartedScript> TDesktopLauncher::Start(const std::string& script,
                                                        const std::vector<std::string>& args,
                                                        const std::string& dir,
                                                        std::string& why) {
  if (DisplayPresent()) {
    TTerminalLauncher terminal(TerminalCandidates());
    if (auto started = terminal.Start(script, args, dir, why)) return started;
  }
  return TChildProcessLauncher().Start(script, args, dir, why);
}

TLauncher& TheLauncher() {
  if (!Installed()) Installed() = std::make_unique<TDesktopLauncher>();
  return *Installed();
}

std::unique_ptr<TLauncher> InstallLauncher(std::unique_ptr<TLauncher> launcher) {
  std::unique_ptr<TLauncher> old = std::move(Installed());
  Installed() = std::move(launcher);
  return old;
}

std::unique_ptr<TStartedScript> OpenFileExecute(const std::string& fileName,
                                                const std::vector<std::string>& params,
                                                const std::string& dir) {
  std::string where = dir;
  if (where.empty()) {
    const std::string::size_type slash = fileName.find_last_of('/');
    where = slash == std::string::npos ? "." : fileName.substr(0, slash + 1);
  }
  if (where.size() > 1 && where.back() == '/') where.pop_back();
  std::string why;
  return TheLauncher().Start(fileName, params, where, why);
}

}  // namespace kirmel::launch
