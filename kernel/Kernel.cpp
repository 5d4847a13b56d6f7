#include "kernel/Kernel.h"

#include "kernel/ColumnPool.h"

namespace kirmel {

Kernel::Kernel(Env& env, std::vector<std::string> args)
    : env_(env), args_(std::move(args)), st_(std::make_unique<KernelState>()), s(*st_), rd_(env) {}

Kernel::~Kernel() = default;

int Kernel::run() {
  try {
    simmain();
  } catch (const Stop& stop) {
    endColumns();
    env_.units().closeAll();
    env_.out().flush();
    const int signalled = signalStop();
    return signalled != 0 ? signalled : stop.status;
  }
  env_.units().closeAll();
  env_.out().flush();
  return 0;
}

}  // namespace kirmel
