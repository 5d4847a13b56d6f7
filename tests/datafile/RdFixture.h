// Shared set-up of the data-file library tests: a private directory that is
// also the working directory (cache files land there), a console captured in
// strings with empty input, and one library instance.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "common/TempDir.h"
#include "datafile/Rd.h"
#include "platform/Env.h"
#include "platform/Stop.h"

namespace kirmel::test {

struct RdFixture : ::testing::Test {
  TempDir dir;
  ScopedCwd cwd{dir.path()};
  std::istringstream in;
  std::ostringstream out;
  Env env{in, out};
  Rd rd{env};

  // Writes a data file into the directory and returns its path.
  std::string data(const std::string& name, const std::string& text) { return dir.write(name, text); }

  // Runs fn, expecting a stop; returns its exit status (-1 when none came).
  int stops(const std::function<void()>& fn) {
    try {
      fn();
    } catch (const Stop& s) {
      return s.status;
    }
    return -1;
  }
  std::string console() const { return out.str(); }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir.path() / name); }
};

}  // namespace kirmel::test
