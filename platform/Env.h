// Run-time environment of one kernel run: console streams, the unit table and
// the stop.  No globals: every kernel and library instance gets its own Env,
// so tests can run several in one process.
#pragma once

#include <iostream>
#include <string>
#include <string_view>

#include "platform/Stop.h"
#include "platform/Units.h"

namespace kirmel {

class Env {
 public:
  Env() : in_(&std::cin), out_(&std::cout) {}
  Env(std::istream& in, std::ostream& out) : in_(&in), out_(&out) {}

  std::istream& in() { return *in_; }
  std::ostream& out() { return *out_; }
  UnitTable& units() { return units_; }
  // Names refused so far in the "file already exists" dialogue of the file
  // opener; it numbers the suggested names over the whole run.
  int& fileRefusals() { return fileRefusals_; }

  // Writes text plus a line end to the console.
  void say(std::string_view line);
  // Reads one line from the console; returns at once at end of input.
  // Returns false when no line could be read.
  bool waitLine(std::string* line = nullptr);
  // Flushes and closes every open unit and the console, then throws Stop.
  [[noreturn]] void stop(int status, const std::string& why = "stop");

 private:
  std::istream* in_;
  std::ostream* out_;
  UnitTable units_;
  int fileRefusals_ = 0;
};

}  // namespace kirmel
