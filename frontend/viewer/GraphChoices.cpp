#include "frontend/viewer/GraphChoices.h"

#include "frontend/model/KirExcpt.h"

namespace kirmel::fe {

std::vector<int> FiveOfN(int n) {
  std::vector<int> chosen;
  if (n <= 5) {
    for (int i = 1; i <= n; ++i) chosen.push_back(i);
    return chosen;
  }
  const int m = (n + 1) / 2;
  return {1, (m + 1) / 2, m, (m + n) / 2, n};
}

std::array<int, 3> DefaultListChoices(int n) {
  if (n <= 0) return {-1, -1, -1};
  return {0, n % 2 == 1 ? n / 2 : n / 2 - 1, n - 1};
}

std::vector<int> SubsystemsInWaterBody(const TINPUT& in) {
  std::vector<int> inside;
  for (int i = 1; i <= in.NumberOfSubsystems(); ++i)
    if (in.WLSegmentOfNode(in.Subsystems(i)) > 0) inside.push_back(i);
  return inside;
}

double SubsystemDistance(const TINPUT& in, int i) {
  const int segment = in.WLSegmentOfNode(in.Subsystems(i));
  if (segment == 0) throw EIndexOutOfRange();
  return in.WLMidDistance(segment);
}

}  // namespace kirmel::fe
