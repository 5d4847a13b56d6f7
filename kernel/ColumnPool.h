// Threads that step the sediment columns of a time step together.  Each
// thread has a home range of neighbouring columns, the same at every step,
// so that a column's rows stay in that thread's cache; a thread that is done
// with its own range takes chunks from the others'.  The calling thread takes
// part like the others, so a step ends even when the other threads do not
// get a processor in time; those wait between steps, first spinning for a
// short while (the serial part of a step is short), then yielding, then
// asleep.
#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "kernel/Column.h"

namespace kirmel {

class Kernel;

class ColumnPool {
 public:
  // threads >= 2: the calling thread and threads - 1 started here.
  ColumnPool(Kernel& kn, int threads);
  ~ColumnPool();
  ColumnPool(const ColumnPool&) = delete;
  ColumnPool& operator=(const ColumnPool&) = delete;

  // Starts stepping columns first .. last of the current step on the pool's
  // threads, each column into its own log; finish() has the calling thread
  // step columns too and returns when all are done.  Between the two, the
  // calling thread may do work that neither reads nor writes what the
  // columns write.  The floating-point faults the columns raised are in
  // their logs; the calling thread's own flags are kept.
  void start(int first, int last);
  void finish();
  ColumnLog& log(int i) {
    return slots_[static_cast<std::size_t>(i - first_.load(std::memory_order_relaxed))].log;
  }
  int threads() const { return static_cast<int>(workers_.size()); }
  // Node-passes of the sediment solver on the pool's column storages.
  long long nodePasses() const;

 private:
  struct Slot {
    ColumnLog log;
  };
  struct alignas(64) Worker {
    WbColumn col;
  };
  // A thread's home range: the step number (high half) and the next
  // unclaimed column (low half), so that a thread that wakes late cannot
  // claim columns of a later step by mistake; the range's last column and
  // the size of a claim.
  struct alignas(64) Range {
    std::atomic<std::uint64_t> next{0};
    std::atomic<int> last{0};
    std::atomic<int> chunk{1};
  };

  void loop(int w);
  // Claims and steps chunks of columns of step `step`, from the home range
  // of thread w first, until none is left.
  void columns(int w, std::uint32_t step);

  Kernel& kn_;
  std::vector<std::unique_ptr<Worker>> workers_;  // [0] is the calling thread
  std::unique_ptr<Range[]> ranges_;               // one per thread
  std::vector<Slot> slots_;
  std::bitset<100> open_;  // units open when the step's columns started
  std::vector<std::thread> threads_;
  // The columns of the current step.  A thread that wakes late may read
  // them while the next step is being set up, so they are atomic; what it
  // reads then serves no claim.
  std::atomic<int> first_{0};
  std::atomic<int> last_{0};
  // The step (run) number; a change wakes the threads.
  alignas(64) std::atomic<std::uint32_t> step_{0};
  // Columns of the current step finished.
  alignas(64) std::atomic<int> done_{0};
  std::atomic<bool> quit_{false};
};

}  // namespace kirmel
