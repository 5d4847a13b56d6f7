// KIRMEL_12: the simulation kernel's console entry point.  The only argument
// is the names file's path; the exit status is 0 after a normal end and
// non-zero after any fatal stop.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/Kernel.h"
#include "platform/Env.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: KIRMEL_12 [NAMES-FILE]\n"
    "       KIRMEL_12 --help | -h\n"
    "\n"
    "Simulates a pesticide in a ditch.  NAMES-FILE (default: files.inp in the\n"
    "working directory) gives the paths of the ten kernel input files; relative\n"
    "paths are taken from the working directory.\n"
    "\n"
    "The output files (*.out), the message file message.out and, while the input\n"
    "is read, the cache files RD$nnnnn.TMP go to the working directory.\n"
    "\n"
    "Exit status: 0 after a normal end (counted errors and warnings are listed\n"
    "in message.out); non-zero after a fatal stop, a run-time error or a signal.\n";

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc >= 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << kUsage;
    std::cout.flush();
    return 0;
  }
  kirmel::Env env(std::cin, std::cout);
  std::vector<std::string> args;
  for (int n = 1; n < argc; ++n) args.emplace_back(argv[n]);
  int status = 1;
  try {
    status = kirmel::Kernel(env, std::move(args)).run();
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << " Severe run-time error: " << e.what() << '\n';
    status = 1;
  }
  std::cout.flush();
  return status;
}
