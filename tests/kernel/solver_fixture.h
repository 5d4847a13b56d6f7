// What the water-layer and sediment solver fixtures share: a kernel whose
// message file (unit 21) is open in a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "common/TempDir.h"
#include "kernel/Kernel.h"
#include "text_count.h"

namespace kirmel::test {

class SolverTest : public ::testing::Test {
 protected:
  std::istringstream in;
  std::ostringstream out;
  Env env{in, out};
  Kernel kern{env, {}};
  KernelState& s = kern.state();
  TempDir dir;

  void SetUp() override { ASSERT_TRUE(env.units().openWrite(21, dir.file("message.out"))); }

  // What the message file holds so far.
  std::string messages() {
    if (env.units().isOpen(21)) std::fflush(env.units().get(21)->fp);
    return readFile(dir.file("message.out"));
  }
};

}  // namespace kirmel::test
