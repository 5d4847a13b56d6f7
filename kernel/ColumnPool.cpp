#include "kernel/ColumnPool.h"

#include <algorithm>
#include <cfenv>
#include <chrono>

#include "kernel/Faults.h"
#include "kernel/Kernel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kirmel {

namespace {

// How long a thread spins before it sleeps: longer than the serial part of
// a step (water layer, play-back of the logs), far shorter than a tick.
constexpr std::chrono::microseconds kSpin{200};

void relax() {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#else
  std::this_thread::yield();
#endif
}

// Waits until value differs from `old`: spinning first, then asleep.
template <class T>
T awaitChange(const std::atomic<T>& value, T old) {
  const auto until = std::chrono::steady_clock::now() + kSpin;
  for (int n = 1;; ++n) {
    const T v = value.load(std::memory_order_acquire);
    if (v != old) return v;
    relax();
    if (n % 64 == 0 && std::chrono::steady_clock::now() >= until) break;
  }
  for (;;) {
    value.wait(old, std::memory_order_acquire);
    const T v = value.load(std::memory_order_acquire);
    if (v != old) return v;
  }
}

}  // namespace

ColumnPool::ColumnPool(Kernel& kn, int threads) : kn_(kn) {
  for (int w = 0; w < threads; ++w) workers_.push_back(std::make_unique<Worker>());
  for (int w = 1; w < threads; ++w) threads_.emplace_back([this, w] { loop(w); });
}

ColumnPool::~ColumnPool() {
  quit_.store(true, std::memory_order_relaxed);
  generation_.fetch_add(1, std::memory_order_release);
  generation_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void ColumnPool::run(int first, int last) {
  const int n = last - first + 1;
  if (slots_.size() < static_cast<std::size_t>(n)) slots_ = std::vector<Slot>(static_cast<std::size_t>(n));
  first_ = first;
  last_ = last;
  // A few chunks per thread: neighbouring columns stay on one thread (they
  // share cache lines of the per-node arrays), and a slow column is evened out.
  chunk_ = std::max(1, n / (threads() * 4));
  next_.store(first, std::memory_order_relaxed);
  pending_.store(threads() - 1, std::memory_order_relaxed);
  generation_.fetch_add(1, std::memory_order_release);
  generation_.notify_all();

  // The calling thread's flags belong to the rest of the step: keep them
  // apart from those its columns raise.
  std::fexcept_t saved;
  std::fegetexceptflag(&saved, kFaults);
  std::feclearexcept(kFaults);
  columns(0);
  workers_[0]->faults = std::fetestexcept(kFaults);
  std::fesetexceptflag(&saved, kFaults);

  for (int v = pending_.load(std::memory_order_acquire); v != 0;) v = awaitChange(pending_, v);
}

void ColumnPool::loop(int w) {
  unsigned seen = 0;
  Worker& me = *workers_[static_cast<std::size_t>(w)];
  for (;;) {
    seen = awaitChange(generation_, seen);
    if (quit_.load(std::memory_order_relaxed)) return;
    columns(w);
    me.faults = std::fetestexcept(kFaults);
    std::feclearexcept(kFaults);
    if (pending_.fetch_sub(1, std::memory_order_acq_rel) == 1) pending_.notify_one();
  }
}

void ColumnPool::columns(int w) {
  Column col(kn_, workers_[static_cast<std::size_t>(w)]->col, nullptr);
  for (;;) {
    const int start = next_.fetch_add(chunk_, std::memory_order_relaxed);
    if (start > last_) return;
    const int end = std::min(start + chunk_ - 1, last_);
    for (int i = start; i <= end; ++i) col.stepLogged(i, log(i));
  }
}

int ColumnPool::faults() const {
  int f = 0;
  for (const auto& w : workers_) f |= w->faults;
  return f;
}

long long ColumnPool::nodePasses() const {
  long long n = 0;
  for (const auto& w : workers_) n += w->col.nodepasses;
  return n;
}

}  // namespace kirmel
