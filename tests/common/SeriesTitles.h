// The titles of a chart's series, in order, for comparing with a list.
#pragma once

#include <string>
#include <vector>

#include "frontend/chart/Chart.h"

namespace kirmel::test {

inline std::vector<std::string> Titles(const std::vector<fe::TSeries>& series) {
  std::vector<std::string> out;
  for (const fe::TSeries& s : series) out.push_back(s.Title);
  return out;
}

inline std::vector<std::string> Titles(const fe::TChart& chart) { return Titles(chart.Series); }

}  // namespace kirmel::test
