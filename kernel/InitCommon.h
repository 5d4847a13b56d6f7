// Pieces shared by the initial calculations and the loadings: the bounded
// fixed-point iteration for a dissolved concentration under Freundlich
// sorption, and the space weight factors of a grid made of zones.
#pragma once

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/Kernel.h"
#include "platform/Format.h"

namespace kirmel::init {

// Rounds allowed to the fixed-point iteration before it counts as diverging.
// Ordinary cases converge in a few dozen rounds; a strongly sorbing layer
// with an exponent near 2 can need many thousands.
constexpr int kMaxRounds = 1000000;

enum class Solve { Ok, ZeroDenominator, NoConvergence };

// Solves total = c × den(c) for c by the rounds c' = total / den(c), starting
// from c = total, until |c' − c| < |0.001 × c'| (or c' equals c exactly).
// den must give the whole denominator, written as the caller's model writes
// it, so that the arithmetic stays bit for bit that of the model.
template <class Den>
Solve fixedPoint(float total, Den den, float& result) {
  float c = total;
  for (int round = 1; round <= kMaxRounds; ++round) {
    float d = den(c);
    if (d == 0.0f) return Solve::ZeroDenominator;
    float cn = total / d;
    if (std::fabs(cn - c) < std::fabs(0.001f * cn) || cn == c) {
      result = cn;
      return Solve::Ok;
    }
    c = cn;
  }
  return Solve::NoConvergence;
}

// The fatal lines for a failed iteration of `routine` at `node`.
inline std::vector<std::string> solveFailure(std::string_view routine, std::string_view what, int node,
                                             Solve why) {
  std::string head = " Error in ";
  head += routine;
  head += ": ";
  head += what;
  head += " at node";
  fmt::I(head, node, 5);
  std::vector<std::string> lines{"", head};
  if (why == Solve::ZeroDenominator) {
    lines.push_back(" the denominator of the iteration is zero");
  } else {
    std::string l = " the iteration does not converge within";
    fmt::I(l, kMaxRounds, 8);
    l += " rounds";
    lines.push_back(l);
  }
  lines.push_back(" Program stops");
  return lines;
}

// Space weight factors of one grid of n nodes: node lengths len(1 .. n),
// midpoints mid(1 .. n) measured within each node's zone, zone(m) the zone
// number of node m, weight b.  Each face between nodes m−1 and m gets one
// value, which is both mh(m) and ph(m−1); mh(1) and ph(n) stay 0.  Across a
// zone boundary the midpoints restart, so the spacing there is the half-sum
// of the two lengths (which is also the spacing inside a zone).
// Returns 0, or the node m whose upstream spacing is not positive.
template <class Zone>
int spaceWeights(float b, const float* len, const float* mid, int n, Zone zone, float* mh, float* ph) {
  for (int m = 1; m <= n; ++m) {
    mh[m] = 0.0f;
    ph[m] = 0.0f;
  }
  for (int m = 2; m <= n; ++m) {
    float dist = zone(m - 1) == zone(m) ? mid[m] - mid[m - 1] : (len[m - 1] + len[m]) / 2.0f;
    if (!(dist > 0.0f)) return m;
    float f;
    if (b <= 0.5f) {
      f = b * len[m - 1] / dist;
    } else {
      f = (0.5f * len[m - 1] + (b - 0.5f) * len[m]) / dist;
    }
    mh[m] = f;
    ph[m - 1] = f;
  }
  return 0;
}

}  // namespace kirmel::init
