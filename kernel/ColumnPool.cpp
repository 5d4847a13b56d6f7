#include "kernel/ColumnPool.h"

#include <algorithm>
#include <cfenv>
#include <chrono>
#include <optional>

#include "kernel/Faults.h"
#include "kernel/Kernel.h"
#include "platform/Signals.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kirmel {

namespace {

// Waiting: spin this long (longer than the serial part of a step: the water
// layer and the play-back of the logs), then yield the processor until
// kYield has passed, then sleep until woken.
constexpr std::chrono::microseconds kSpin{50};
constexpr std::chrono::microseconds kYield{500};

void relax() {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#endif
}

// Waits until value differs from `old`; returns the new value.
template <class T>
T awaitChange(const std::atomic<T>& value, T old) {
  const auto start = std::chrono::steady_clock::now();
  for (int n = 1;; ++n) {
    const T v = value.load(std::memory_order_acquire);
    if (v != old) return v;
    if (n % 64 != 0) {
      relax();
      continue;
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    if (waited >= kYield) break;
    if (waited >= kSpin) std::this_thread::yield();
  }
  for (;;) {
    value.wait(old, std::memory_order_acquire);
    const T v = value.load(std::memory_order_acquire);
    if (v != old) return v;
  }
}

}  // namespace

ColumnPool::ColumnPool(Kernel& kn, int threads) : kn_(kn), ranges_(std::make_unique<Range[]>(threads)) {
  for (int w = 0; w < threads; ++w) workers_.push_back(std::make_unique<Worker>());
  // The signals that end a run go to the calling thread, which looks at
  // them after every step.
  BlockRunSignals block;
  for (int w = 1; w < threads; ++w) threads_.emplace_back([this, w] { loop(w); });
}

ColumnPool::~ColumnPool() {
  quit_.store(true, std::memory_order_relaxed);
  step_.fetch_add(1, std::memory_order_release);
  step_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void ColumnPool::start(int first, int last) {
  const int n = last - first + 1;
  if (slots_.size() < static_cast<std::size_t>(n)) slots_ = std::vector<Slot>(static_cast<std::size_t>(n));
  first_.store(first, std::memory_order_relaxed);
  last_.store(last, std::memory_order_relaxed);
  const UnitTable& units = kn_.env().units();
  for (int u = 0; u < static_cast<int>(open_.size()); ++u) open_[static_cast<std::size_t>(u)] = units.isOpen(u);
  const std::uint32_t step = step_.load(std::memory_order_relaxed) + 1;
  done_.store(0, std::memory_order_relaxed);
  // Equal home ranges, claimed a quarter at a time: a thread that is late or
  // slow leaves the rest of its range to the others.
  const int t = threads();
  for (int w = 0; w < t; ++w) {
    const int lo = first + static_cast<int>(static_cast<long long>(n) * w / t);
    const int hi = first + static_cast<int>(static_cast<long long>(n) * (w + 1) / t) - 1;
    Range& r = ranges_[static_cast<std::size_t>(w)];
    r.last.store(hi, std::memory_order_relaxed);
    r.chunk.store(std::max(1, (hi - lo + 1) / 4), std::memory_order_relaxed);
    r.next.store(static_cast<std::uint64_t>(step) << 32 | static_cast<std::uint32_t>(lo), std::memory_order_relaxed);
  }
  step_.store(step, std::memory_order_release);
  step_.notify_all();
}

void ColumnPool::finish() {
  const std::uint32_t step = step_.load(std::memory_order_relaxed);
  const int n = last_.load(std::memory_order_relaxed) - first_.load(std::memory_order_relaxed) + 1;
  // The calling thread's flags belong to the rest of the step: keep them
  // apart from those its columns raise.
  std::fexcept_t saved;
  std::fegetexceptflag(&saved, kFaults);
  std::feclearexcept(kFaults);
  columns(0, step);
  std::fesetexceptflag(&saved, kFaults);

  for (int v = done_.load(std::memory_order_acquire); v != n;) v = awaitChange(done_, v);
}

void ColumnPool::loop(int w) {
  std::uint32_t seen = 0;
  for (;;) {
    seen = awaitChange(step_, seen);
    if (quit_.load(std::memory_order_relaxed)) return;
    columns(w, seen);
  }
}

void ColumnPool::columns(int w, std::uint32_t step) {
  // Made at the first claim: only a claim shows that the step's state
  // (s.j above all) is the one of `step`.
  std::optional<Column> col;
  const int t = threads();
  for (int k = 0; k < t; ++k) {
    Range& r = ranges_[static_cast<std::size_t>((w + k) % t)];
    std::uint64_t v = r.next.load(std::memory_order_relaxed);
    for (;;) {
      if (static_cast<std::uint32_t>(v >> 32) != step) return;
      const int start = static_cast<int>(static_cast<std::uint32_t>(v));
      const int last = r.last.load(std::memory_order_relaxed);
      const int chunk = r.chunk.load(std::memory_order_relaxed);
      if (start > last) break;
      if (!r.next.compare_exchange_weak(v, v + static_cast<std::uint64_t>(chunk), std::memory_order_relaxed))
        continue;
      // The claim succeeded: the step is still this one, and so are its columns.
      const int n = last_.load(std::memory_order_relaxed) - first_.load(std::memory_order_relaxed) + 1;
      const int end = std::min(start + chunk - 1, last);
      if (!col) col.emplace(kn_, workers_[static_cast<std::size_t>(w)]->col, nullptr);
      for (int i = start; i <= end; ++i) col->stepLogged(i, log(i), open_);
      // The faults of the chunk go with its first column.
      if (const int f = std::fetestexcept(kFaults)) {
        log(start).fpflags = f;
        std::feclearexcept(kFaults);
      }
      if (done_.fetch_add(end - start + 1, std::memory_order_acq_rel) + (end - start + 1) == n) done_.notify_all();
      v = r.next.load(std::memory_order_relaxed);
    }
  }
}

long long ColumnPool::nodePasses() const {
  long long n = 0;
  for (const auto& w : workers_) n += w->col.nodepasses;
  return n;
}

}  // namespace kirmel
