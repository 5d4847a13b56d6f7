// Threads that step the sediment columns of a time step together.  The
// calling thread takes part; the others wait between steps, first spinning
// for a short while (a step's serial part is short), then asleep.
#pragma once

#include <atomic>
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

  // Steps columns first .. last of the current step, each into its own log,
  // and returns when all are done.  The floating-point faults the columns
  // raised are in faults(); the calling thread's own flags are kept.
  void run(int first, int last);
  ColumnLog& log(int i) { return slots_[static_cast<std::size_t>(i - first_)].log; }
  int faults() const;
  int threads() const { return static_cast<int>(workers_.size()); }
  // Node-passes of the sediment solver on the pool's column storages.
  long long nodePasses() const;

 private:
  struct alignas(64) Slot {
    ColumnLog log;
  };
  struct alignas(64) Worker {
    WbColumn col;
    int faults = 0;
  };

  void loop(int w);
  void columns(int w);

  Kernel& kn_;
  std::vector<std::unique_ptr<Worker>> workers_;  // [0] is the calling thread
  std::vector<Slot> slots_;
  std::vector<std::thread> threads_;
  int first_ = 0;
  int last_ = 0;
  int chunk_ = 1;
  alignas(64) std::atomic<unsigned> generation_{0};
  alignas(64) std::atomic<int> next_{0};
  alignas(64) std::atomic<int> pending_{0};
  std::atomic<bool> quit_{false};
};

}  // namespace kirmel
