// KIRMEL_12: the simulation kernel's console entry point.  The only argument
// is the names file's path; the exit status is 0 after a normal end and
// non-zero after any fatal stop.
#include <iostream>
#include <string>
#include <vector>

#include "kernel/Kernel.h"
#include "platform/Env.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
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
