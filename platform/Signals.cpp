#include "platform/Signals.h"

#include <pthread.h>

#include <iostream>
#include <utility>

#include "platform/Env.h"

namespace kirmel {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A signal handler can reach only static storage.
volatile std::sig_atomic_t noted = 0;

extern "C" void onRunSignal(int sig) { noted = sig; }

sigset_t runSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : kSignals) sigaddset(&set, sig);
  return set;
}

}  // namespace

RunSignals::RunSignals(Env& env, std::function<void()> onSignal) : env_(env) {
  struct sigaction sa {};
  sa.sa_handler = onRunSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESETHAND;
  for (int n = 0; n < kCount; ++n) sigaction(kSignals[n], &sa, &old_[n]);
  env_.setInterrupt(&noted, &env_.in() == &std::cin ? 0 : -1, std::move(onSignal));
}

RunSignals::~RunSignals() {
  env_.setInterrupt(nullptr, -1);
  for (int n = 0; n < kCount; ++n) sigaction(kSignals[n], &old_[n], nullptr);
}

int RunSignals::pending() { return noted; }

void RunSignals::clear() { noted = 0; }

BlockRunSignals::BlockRunSignals() {
  const sigset_t set = runSignalSet();
  pthread_sigmask(SIG_BLOCK, &set, &old_);
}

BlockRunSignals::~BlockRunSignals() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

}  // namespace kirmel
