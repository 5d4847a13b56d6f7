// Run-time environment of one kernel run: console streams, the unit table and
// the stop.  No globals: every kernel and library instance gets its own Env,
// so tests can run several in one process.
#pragma once

#include <csignal>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Stop.h"
#include "platform/Units.h"

namespace kirmel {

class Env {
 public:
  Env() : in_(&std::cin), out_(&std::cout) {}
  Env(std::istream& in, std::ostream& out) : in_(&in), out_(&out) {}

  std::istream& in() { return *in_; }
  std::ostream& out() { return *out_; }
  UnitTable& units() { return units_; }
  // Names refused so far in the "file already exists" dialogue of the file
  // opener; it numbers the suggested names over the whole run.
  int& fileRefusals() { return fileRefusals_; }

  // Writes text plus a line end to the console.
  void say(std::string_view line);
  // Reads one line from the console; returns at once at end of input, and
  // when the interrupt flag is or becomes non-zero.  Returns false when no
  // line could be read.
  bool waitLine(std::string* line = nullptr);
  // The flag that a signal handler sets to end the run (the signal's
  // number), the descriptor behind in() (-1 when it has none), and what
  // checkInterrupt does first when the flag is set.  A wait on that
  // descriptor ends when the flag is set.  nullptr: waits and reads are not
  // interrupted.
  void setInterrupt(const volatile std::sig_atomic_t* flag, int fd,
                    std::function<void()> onInterrupt = {}) {
    interrupt_ = flag;
    inFd_ = fd;
    onInterrupt_ = std::move(onInterrupt);
  }
  // The signal that asked the run to end, 0 when none.
  int interruptSignal() const { return interrupt_ ? *interrupt_ : 0; }
  // When a signal asked the run to end: runs the interrupt action, then
  // stops with status 128 + the signal's number.
  void checkInterrupt();
  // Reads up to n bytes of an input file, pipe or device.  While no byte is
  // there it waits, looking at the interrupt flag at least every 200 ms
  // (checkInterrupt), so a signal ends even a read that would never return.
  // Returns the bytes read, 0 at the end of the file, -1 on a read error
  // (errno tells which).
  long readInput(int fd, void* buf, std::size_t n);
  // Runs the stop hooks, flushes and closes every open unit and the
  // console, then throws Stop.
  [[noreturn]] void stop(int status, const std::string& why = "stop");

  // Work that every stop does before the units close, such as removing the
  // run's scratch files; hooks must not throw.  Returns the id by which the
  // owner removes its hook again.
  int addStopHook(std::function<void()> hook);
  void removeStopHook(int id);

 private:
  // Waits until fd has something to read (or cannot be polled), looking at
  // the interrupt flag at least every 200 ms; false when the flag is or
  // becomes set.
  bool awaitInput(int fd) const;

  std::istream* in_;
  std::ostream* out_;
  UnitTable units_;
  int fileRefusals_ = 0;
  std::vector<std::pair<int, std::function<void()>>> stopHooks_;
  const volatile std::sig_atomic_t* interrupt_ = nullptr;
  std::function<void()> onInterrupt_;
  int inFd_ = -1;
  int nextHook_ = 0;
};

}  // namespace kirmel
