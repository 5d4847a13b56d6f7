// The kernel's own tridiagonal solve (the water layer's): messages to the
// message file, console lines, pause and stop straight to the run's Env.

#include "kernel/Tridag.h"

#include "kernel/Kernel.h"

namespace kirmel {

namespace {

struct KernelOut {
  Kernel& kn;
  void message(std::string_view line) { kn.message(line); }
  void say(std::string_view line) { kn.env().say(line); }
  void wait() { kn.env().waitLine(); }
  [[noreturn]] void stop(int status, const std::string& why) { kn.env().stop(status, why); }
};

}  // namespace

void Kernel::tridag(const float a[], const float b[], const float c[], const float r[], float u[], int n,
                    float gam[]) {
  KernelOut out{*this};
  kirmel::tridag(out, a, b, c, r, u, n, gam);
}

}  // namespace kirmel
