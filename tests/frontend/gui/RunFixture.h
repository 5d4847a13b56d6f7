// A main window whose runs go through the real scripts with /bin/sh, started
// as child processes, to a stand-in kernel.
//
// The stand-in lives in a directory whose name would run commands if a
// script did not quote it.  It appends its working directory and arguments
// to files beside it, writes the shell's pid and what the run directory held
// when it started, waits while the file "hold" exists, writes message.out and
// wlsoco.out, and exits with the number in the file "status" (0 without it).
#pragma once

#include <signal.h>

#include <QStatusBar>
#include <chrono>
#include <fstream>
#include <functional>

#include "MainFormFixture.h"
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
                             "printf '%s\\n' \"$PPID\" > \"$d/shellpid\"\n"
                             "ls > \"$d/seen\"\n"
                             "while [ -f \"$d/hold\" ]; do sleep 0.02; done\n"
                             "printf ' KIRMEL simulation\\n' > message.out\n"
                             "printf 'x\\n' > wlsoco.out\n"
                             "exit \"$(cat \"$d/status\" 2>/dev/null || echo 0)\"\n";
    std::filesystem::permissions(kernel, std::filesystem::perms::owner_all);
    UseKernelIn(kernelDir);
    previousLauncher_ = launch::InstallLauncher(std::make_unique<launch::TChildProcessLauncher>());
  }
  ~RunFixture() override {
    // Let every script that is still running end.
    std::filesystem::remove(kernelDir + "/hold");
    Until([&] { return !std::filesystem::exists(Marker()); }, 10000);
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

  // Processes events until cond holds; false after ms milliseconds.
  static bool Until(const std::function<bool()>& cond, int ms = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
      if (std::chrono::steady_clock::now() > end) return false;
      QApplication::processEvents();
      QThread::msleep(5);
    }
    return true;
  }
  bool WaitEnds(int ms = 20000) { return Until([&] { return !form->Waiting(); }, ms); }

  void Hold() { std::ofstream(kernelDir + "/hold") << "\n"; }
  void Release() { std::filesystem::remove(kernelDir + "/hold"); }
  void KernelStatus(int status) { std::ofstream(kernelDir + "/status") << status << "\n"; }
  std::string Kernel(const char* what) { return readFile(kernelDir + "/" + what); }
  // Waits for the stand-in to have started and kills its script with
  // everything it started; the script's trap cannot run.
  void KillScript() {
    ASSERT_TRUE(Until([&] { return !Kernel("shellpid").empty(); }));
    ::kill(-std::stoi(Kernel("shellpid")), SIGKILL);
  }

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
