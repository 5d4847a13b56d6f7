// Counting a text in what a run wrote (a file or the console).
#pragma once

#include <string>

namespace kirmel::test {

// Number of occurrences of `what` in `text`, overlapping ones included.
inline int countOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

}  // namespace kirmel::test
