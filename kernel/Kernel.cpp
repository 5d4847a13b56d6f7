#include "kernel/Kernel.h"

#include "kernel/ColumnPool.h"

namespace kirmel {

Kernel::Kernel(Env& env, std::vector<std::string> args)
    : env_(env), args_(std::move(args)), st_(std::make_unique<KernelState>()), s(*st_), rd_(env) {}

Kernel::~Kernel() = default;

int Kernel::run() {
  int status = 0;
  try {
    simmain();
  } catch (const Stop& stop) {
    endColumns();
    status = stop.status;
  }
  // Files that a stop closed may not have been written completely either;
  // the message file is closed by now, so only the console hears of them.
  env_.units().closeAll();
  for (const std::string& name : env_.units().newWriteFailures()) env_.say(writeFailureLine(name));
  env_.out().flush();
  if (const int signalled = signalStop(); signalled != 0) return signalled;
  if (status == 0 && env_.units().writeFailed()) return kStatusWriteFailed;
  return status;
}

}  // namespace kirmel
