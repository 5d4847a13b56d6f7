// KIRMEL_12: the simulation kernel's console entry point.  The only argument
// is the names file's path; --help and --version print and end before
// anything is written.  The exit status is 0 after a normal end and
// non-zero after any fatal stop (see the usage text).  KIRMEL_THREADS sets
// the number of threads that step the sediment columns (default: one per
// core; 1 steps them in turn).  KIRMEL_STATS=1 writes the sediment solver's
// node-passes to the error stream at the end (for the benchmarks).
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/Kernel.h"
#include "platform/Env.h"
#include "platform/Version.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: KIRMEL_12 [NAMES-FILE]\n"
    "       KIRMEL_12 --help | -h | --version\n"
    "\n"
    "Simulates a pesticide in a ditch.  NAMES-FILE gives the paths of the ten\n"
    "kernel input files; relative paths are taken from the working directory.\n"
    "Without NAMES-FILE, or when it is one character long, the names file is\n"
    "files.inp in the working directory.  Further arguments are ignored.\n"
    "\n"
    "The output files (*.out), the message file message.out and, while the input\n"
    "is read, the cache files RD$nnnnn.TMP go to the working directory.\n"
    "\n"
    "Environment:\n"
    "  KIRMEL_THREADS  the number of threads that step the sediment columns,\n"
    "                  1 .. 1024 (else one per core; 1 steps them in turn); the\n"
    "                  output files are the same for every number\n"
    "\n"
    "Exit status:\n"
    "  0        a normal end (counted errors and warnings are listed in\n"
    "           message.out)\n"
    "  1        a fatal stop or a run-time error\n"
    "  2        an output file or message.out could not be written completely\n"
    "           (a full disk, for instance)\n"
    "  128 + N  ended by signal N (SIGINT, SIGTERM or SIGHUP)\n";

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::string_view first = argc >= 2 ? argv[1] : "";
  if (first == "--help" || first == "-h" || first == "--version") {
    if (first == "--version")
      std::cout << "KIRMEL_12 " << kirmel::version::kernel() << '\n';
    else
      std::cout << kUsage;
    std::cout.flush();
    return std::cout ? 0 : 1;
  }
  kirmel::Env env(std::cin, std::cout);
  std::vector<std::string> args;
  for (int n = 1; n < argc; ++n) args.emplace_back(argv[n]);
  int threads = 0;
  if (const char* t = std::getenv("KIRMEL_THREADS"); t && *t) {
    threads = kirmel::parseThreads(t);
    if (threads == 0) std::cerr << " KIRMEL_THREADS=" << t << " is not a number of threads (1 .. 1024); ignored\n";
  }
  int status = 1;
  try {
    kirmel::Kernel kernel(env, std::move(args));
    kernel.setThreads(threads);
    status = kernel.run();
    if (const char* st = std::getenv("KIRMEL_STATS"); st && std::string(st) == "1")
      std::cerr << "sediment node-passes: " << kernel.nodePasses() << '\n';
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << " Severe run-time error: " << e.what() << '\n';
    status = 1;
  }
  std::cout.flush();
  return status;
}
