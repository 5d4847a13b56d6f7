// Runs a program of the build as its own process, with exactly the
// environment given, standard input from /dev/null and its output caught in
// files of a scratch directory.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/TempDir.h"

namespace kirmel::test {

struct TProcessResult {
  int Status = -1;  // the exit status; -1 when the process was ended by a signal
  int Signal = 0;   // the signal that ended it
  std::string Out;
  std::string Err;
};

// NAME=VALUE for the sanitizers' settings of this process, so that the
// child reports as the tests do.
inline std::vector<std::string> SanitizerEnv() {
  std::vector<std::string> env;
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* v = std::getenv(name)) env.push_back(std::string(name) + "=" + v);
  return env;
}

class TChildProcess {
 public:
  // Starts program with args and the environment env (NAME=VALUE).
  TChildProcess(const std::string& program, const std::vector<std::string>& args,
                std::vector<std::string> env)
      : out_(scratch_.file("out")), err_(scratch_.file("err")) {
    for (const std::string& e : SanitizerEnv()) env.push_back(e);
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> a, e;
    for (std::string& s : argv) a.push_back(s.data());
    a.push_back(nullptr);
    for (std::string& s : env) e.push_back(s.data());
    e.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, a.data(), e.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TChildProcess() {
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  bool Started() const { return pid_ > 0; }

  // Waits for the process to end.
  TProcessResult Wait() {
    if (pid_ > 0 && !ended_) {
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
      Finish(status);
    }
    return result_;
  }
  // True when the process has ended.
  bool Ended() {
    if (ended_ || pid_ <= 0) return true;
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r != pid_) return false;
    Finish(status);
    return true;
  }
  void Terminate() {
    if (pid_ > 0 && !ended_) ::kill(pid_, SIGTERM);
  }

 private:
  // Takes the wait status of the ended process and its output.
  void Finish(int status) {
    ended_ = true;
    if (WIFEXITED(status)) result_.Status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result_.Signal = WTERMSIG(status);
    result_.Out = readFile(out_);
    result_.Err = readFile(err_);
  }

  TempDir scratch_;
  std::string out_, err_;
  pid_t pid_ = -1;
  bool ended_ = false;
  TProcessResult result_;
};

inline TProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                 const std::vector<std::string>& env) {
  TChildProcess child(program, args, env);
  return child.Wait();
}

// Checks cond every 20 ms until it holds or the process ends; false after
// ms milliseconds.
inline bool WaitFor(const std::function<bool()>& cond, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Every path under dir, relative to it, sorted.
inline std::vector<std::string> Listing(const std::filesystem::path& dir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    out.push_back(std::filesystem::relative(it->path(), dir).string());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace kirmel::test
