// Starting the front end's shell scripts (the run batch file and the batch
// file): the launcher.
//
// A script is run with /bin/sh in a directory of its own and is not waited
// for: the caller gets a handle and asks it now and then whether the script
// is still there.  Two launchers exist:
//
// - the terminal launcher runs the script in a terminal window
//   ($KIRMEL_TERMINAL, else x-terminal-emulator, else xterm; each is given
//   "-e /bin/sh SCRIPT ARGS..."), when a display is there; the first terminal
//   that starts is taken;
// - the child-process launcher runs the script as a child process in a
//   session of its own, with standard input from /dev/null and its console
//   output (standard output and error) in a log file next to the script:
//   the script's name with the extension ".LOG" (RUN.BAT -> RUN.LOG).
//
// The process-wide launcher (TheLauncher) tries the terminal launcher and
// falls back to the child process when no terminal can be started; tests
// install the child-process launcher.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kirmel::launch {

// A script that was started.
class TStartedScript {
 public:
  virtual ~TStartedScript() = default;
  // True once the started process has ended in a way that means the script
  // no longer runs.  A terminal that ends normally may only have handed the
  // script to a terminal server, so only a terminal that failed counts.
  // Never blocks.
  virtual bool ScriptGone() = 0;
  // The process that was started (the shell or the terminal).
  virtual int Pid() const = 0;
};

class TLauncher {
 public:
  virtual ~TLauncher() = default;
  // Starts /bin/sh script args... with dir as working directory.  nullptr
  // when nothing could be started; `why` then says why.
  virtual std::unique_ptr<TStartedScript> Start(const std::string& script,
                                                const std::vector<std::string>& args,
                                                const std::string& dir, std::string& why) = 0;
};

// The script as a child process; its output goes to LogFileOf(script).
class TChildProcessLauncher : public TLauncher {
 public:
  std::unique_ptr<TStartedScript> Start(const std::string& script,
                                        const std::vector<std::string>& args,
                                        const std::string& dir, std::string& why) override;
};

// The script in a terminal window, the candidates tried in order.  Each
// candidate is a command line split at blanks, followed by "-e".
class TTerminalLauncher : public TLauncher {
 public:
  explicit TTerminalLauncher(std::vector<std::string> candidates);
  std::unique_ptr<TStartedScript> Start(const std::string& script,
                                        const std::vector<std::string>& args,
                                        const std::string& dir, std::string& why) override;

 private:
  std::vector<std::string> candidates_;
};

// A terminal window when a display is there ($DISPLAY or $WAYLAND_DISPLAY)
// and one can be started, else a child process.
class TDesktopLauncher : public TLauncher {
 public:
  std::unique_ptr<TStartedScript> Start(const std::string& script,
                                        const std::vector<std::string>& args,
                                        const std::string& dir, std::string& why) override;
};

// The terminals the desktop launcher tries: $KIRMEL_TERMINAL when set,
// x-terminal-emulator, xterm.
std::vector<std::string> TerminalCandidates();

// The log file of a script run as a child process: the script's path with
// its extension replaced by ".LOG".
std::string LogFileOf(const std::string& script);

// The process-wide launcher: a TDesktopLauncher until another one is
// installed; InstallLauncher returns the one it replaced.
TLauncher& TheLauncher();
std::unique_ptr<TLauncher> InstallLauncher(std::unique_ptr<TLauncher> launcher);

// Starts a script through TheLauncher().  An empty dir means the directory
// part of fileName; one trailing '/' of dir is removed.  nullptr when it
// could not be started.
std::unique_ptr<TStartedScript> OpenFileExecute(const std::string& fileName,
                                                const std::vector<std::string>& params,
                                                const std::string& dir);

}  // namespace kirmel::launch
