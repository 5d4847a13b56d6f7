// A main window whose runs go through the real scripts with /bin/sh, started
// as child processes, to a stand-in kernel.
//
// The stand-in lives in a directory whose name would run commands if a
// script did not quote it.  It appends its working directory and arguments
// to files beside it, writes what the run directory held when it started,
// creates "started" and waits while the file "hold" exists, writes
// message.out and wlsoco.out, and exits with the number in the run
// directory's "kernel.exit", else in the file "status" beside it (0 without
// either), saying an error line when that is not 0.
#pragma once

#include <signal.h>

#include <QStatusBar>
#include <chrono>
#include <fstream>
#include <functional>

#include "MainFormFixture.h"
#include "frontend/editor/Run.h"
#include "platform/Launcher.h"

namespace kirmel::test {

class RunFixture : public MainFormTest {
 protected:
  RunFixture() : kernelDir(root.str() + "/ker nel's $(touch pwned);x") {
    std::filesystem::create_directories(kernelDir);
    const std::string kernel = kernelDir + "/KIRMEL_12";
    std::ofstream(kernel) << "#!/bin/sh\n"
                             "d=$(dirname \"$0\")\n"
                             "pwd >> \"$d/cwd\"\n"
                             "printf '%s\\n' \"$#\" \"$@\" >> \"$d/args\"\n"
                             "ls > \"$d/seen\"\n"
                             ": > \"$d/started\"\n"
                             "while [ -f \"$d/hold\" ]; do sleep 0.02; done\n"
                             "printf ' KIRMEL simulation\\n' > message.out\n"
                             "printf 'x\\n' > wlsoco.out\n"
                             "s=$(cat kernel.exit 2>/dev/null || cat \"$d/status\" 2>/dev/null "
                             "|| echo 0)\n"
                             "if [ \"$s\" != 0 ]; then printf ' ERROR in STANDIN: stopping with "
                             "%s\\n' \"$s\" >&2; fi\n"
                             "exit \"$s\"\n";
    std::filesystem::permissions(kernel, std::filesystem::perms::owner_all);
    UseKernelIn(kernelDir);
    previousLauncher_ = launch::InstallLauncher(std::make_unique<launch::TChildProcessLauncher>());
  }
  ~RunFixture() override {
    // Let every script that is still running end.
    std::filesystem::remove(kernelDir + "/hold");
    Until([&] { return !std::filesystem::exists(Marker()); });
    launch::InstallLauncher(std::move(previousLauncher_));
    if (oldExecDir_)
      setenv("KIRMEL_EXECDIR", oldExecDir_->c_str(), 1);
    else
      unsetenv("KIRMEL_EXECDIR");
  }

  // Settings made after this (New scenario) look for the kernel in dir.
  void UseKernelIn(const std::string& dir) {
    if (!savedExecDir_) {
      const char* old = std::getenv("KIRMEL_EXECDIR");
      oldExecDir_ = old ? std::optional<std::string>(old) : std::nullopt;
      savedExecDir_ = true;
    }
    setenv("KIRMEL_EXECDIR", dir.c_str(), 1);
  }

  // Processes events until cond holds; false after ms milliseconds (a guard
  // against a hang, generous for a busy machine).
  static bool Until(const std::function<bool()>& cond, int ms = 60000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
      if (std::chrono::steady_clock::now() > end) return false;
      QApplication::processEvents();
      QThread::msleep(5);
    }
    return true;
  }
  bool WaitEnds(int ms = 60000) { return Until([&] { return !form->Waiting(); }, ms); }
  // Clicks a button that starts a run: whether the window then waits for
  // it, judged before any event is handled (a run that is not held may have
  // ended by the time they have been).
  bool ClickStartsRun(const char* name) {
    Find<QPushButton>(name)->click();
    const bool waiting = form->Waiting();
    Settle();
    return waiting;
  }

  void Hold() { std::ofstream(kernelDir + "/hold") << "\n"; }
  void Release() { std::filesystem::remove(kernelDir + "/hold"); }
  void KernelStatus(int status) { std::ofstream(kernelDir + "/status") << status << "\n"; }
  std::string Kernel(const char* what) { return readFile(kernelDir + "/" + what); }
  // Waits for the stand-in to have started and for its script to have
  // named itself in the run marker; the script's process id.
  int ScriptPid() {
    int pid = 0;
    EXPECT_TRUE(Until([&] {
      std::optional<fe::TRunMarker> m = fe::ReadRunMarker(Marker());
      pid = m ? m->Pid : 0;
      return pid > 0 && std::filesystem::exists(kernelDir + "/started");
    }));
    return pid;
  }
  // Sends sig to the script and everything it started, as a closing
  // terminal does (the child-process launcher gives the script a process
  // group of its own).
  void SignalScript(int sig) {
    const int pid = ScriptPid();
    ASSERT_GT(pid, 0);
    ::kill(-pid, sig);
  }
  // Kills the script and everything it started; its trap cannot run.
  void KillScript() { SignalScript(SIGKILL); }

  std::string Marker() { return root.str() + "/GUI/TempKir.txt"; }
  std::string RunDir(const std::string& scenario = "NLStandard_sp",
                     const std::string& pesticide = "Cpf") {
    return root.str() + "/RUNS/" + scenario + "+" + pesticide;
  }
  // True when any file named "pwned" was made: in the root or here.
  bool Pwned() {
    for (const auto& e : std::filesystem::recursive_directory_iterator(root.path()))
      if (e.path().filename() == "pwned") return true;
    return std::filesystem::exists("pwned");
  }

  bool PagesEnabled() { return Find<QTabWidget>("PageControlMain")->isEnabled(); }
  // The menu items a run locks.
  std::vector<QAction*> LockedItems() {
    std::vector<QAction*> items;
    for (const char* name : {"Edit1", "View1", "Help1", "SelectScenario1", "SaveScenario1",
                             "SelectPesticide1", "SavePesticide1", "Save1", "Run1",
                             "Printersetup1"})
      items.push_back(form->findChild<QAction*>(name));
    return items;
  }
  bool AllLocked() {
    for (QAction* a : LockedItems())
      if (a->isEnabled()) return false;
    return !PagesEnabled();
  }
  bool NoneLocked() {
    for (QAction* a : LockedItems())
      if (!a->isEnabled()) return false;
    return PagesEnabled();
  }

  const std::string kernelDir;

 private:
  std::unique_ptr<launch::TLauncher> previousLauncher_;
  std::optional<std::string> oldExecDir_;
  bool savedExecDir_ = false;
};

}  // namespace kirmel::test
