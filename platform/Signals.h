// The signals that end a run: SIGINT, SIGTERM and SIGHUP (control-C,
// control-BREAK and the closing of the console window).  The handler only
// notes the signal; the run looks at the note wherever it may wait or loop
// for long (reading an input file, waiting for a line on the console, each
// time step) and then stops through its normal stop path, which closes the
// files and removes the scratch files.
#pragma once

#include <csignal>
#include <functional>

namespace kirmel {

class Env;

class RunSignals {
 public:
  // Installs the handlers while the object lives and hands the note to env:
  // its waits and reads end when a signal arrives, after onSignal has run
  // (which may stop the run itself).  System calls that a signal interrupts
  // are not restarted, so a read or a wait that blocks returns at once.  A
  // second signal of the same kind gets the default action, so that a run
  // that hangs anyway can still be killed.
  RunSignals(Env& env, std::function<void()> onSignal);
  ~RunSignals();
  RunSignals(const RunSignals&) = delete;
  RunSignals& operator=(const RunSignals&) = delete;

  // The signal noted, 0 when none.
  static int pending();
  // Forgets the note.
  static void clear();

 private:
  static constexpr int kCount = 3;
  Env& env_;
  struct sigaction old_[kCount];
};

// Blocks the run's signals in the calling thread while it lives.  Threads
// started meanwhile keep them blocked, so that the signals reach the thread
// that reads and waits.
class BlockRunSignals {
 public:
  BlockRunSignals();
  ~BlockRunSignals();
  BlockRunSignals(const BlockRunSignals&) = delete;
  BlockRunSignals& operator=(const BlockRunSignals&) = delete;

 private:
  sigset_t old_;
};

}  // namespace kirmel
