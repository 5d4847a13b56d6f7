// The program stop.  A fatal stop anywhere in the kernel or the data-file
// library throws Stop after the message has been written; main() (or a test)
// catches it, and the Env has already flushed and closed every open unit.
#pragma once

#include <stdexcept>
#include <string>

namespace kirmel {

// Exit status of a run that ended because an output file or the message
// file could not be written completely (a full disk, for instance).  A
// normal end is 0, a fatal stop 1, a stop on signal N 128 + N.
constexpr int kStatusWriteFailed = 2;

struct Stop : std::runtime_error {
  int status;  // process exit status: 0 for a normal end, non-zero for a failure
  explicit Stop(int s, const std::string& why = "stop") : std::runtime_error(why), status(s) {}
};

}  // namespace kirmel
