// A token reader whose messages a test collects instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "frontend/editor/Parser.h"

namespace kirmel::test {

struct Messages {
  std::vector<std::string> list;
  fe::Parser parser{[this](const std::string& m) { list.push_back(m); }};
};

}  // namespace kirmel::test
