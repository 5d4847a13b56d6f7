// Exposure concentrations: ec###.out with the momentary concentration, the
// time-weighted averages over 4, 21 and 28 days, the momentary total
// concentration in the sediment top layer, and the closing table of maxima.
#include "kernel/Column.h"
#include "kernel/Kernel.h"
#include "kernel/OutputCommon.h"

namespace kirmel {

using namespace out;

namespace {

// Daily integral of subsystem m for day d (d >= -27).  The table is sized at
// j = 0 for the whole run; should a day still fall outside, the table grows
// rather than being written past its end.
float& dayIntegral(KernelState& s, int m, int d) {
  std::vector<float>& v = s.ecint[m];
  const std::size_t n = static_cast<std::size_t>(d + 27);
  if (n >= v.size()) v.resize(n + 1, 0.0f);
  return v[n];
}

// Momentary total concentration in the sediment top layer (g/m3): the
// thickness-weighted average of cb* over the upper ktop nodes.
float topConcentration(const KernelState& s, const WbColumn& c, float th) {
  float sum = 0.0f;
  for (int k = 1; k <= s.ktop; ++k) sum += cbtot(s, k, cwb(s, c, k)) * s.delz[k];
  return sum / th;
}

template <class Out>
void writeTable(Out& out, const KernelState& s, std::string& r, int i, int unit, int m) {
  out.writeLine(unit, "");
  out.writeLine(unit, "");
  out.writeLine(unit,
                " * Maximal exposure concentrations in water layer for"
                " 0, 4, 21 and 28 days");
  rec(r);
  fmt::A(r, " * at ");
  fmt::F(r, s.xcd[i], 9, 3);
  fmt::A(r, " m in waterbody");
  out.writeLine(unit, r);
  out.writeLine(unit, " *");
  out.writeLine(unit, " *  exp. time     time of occur.     exp.conc.");
  out.writeLine(unit, " *            d               d         g.m-3");
  out.writeLine(unit, " *");
  static constexpr std::string_view window[] = {"", "       0", "       4", "      21", "      28"};
  for (int n = 1; n <= 4; ++n) {
    rec(r);
    fmt::X(r, 7);
    fmt::A(r, window[n]);
    fmt::X(r, 8);
    fmt::F(r, s.ectmax[m][n], 8, 2);
    fmt::X(r, 2);
    fmt::E(r, s.ecmax[m][n], 12, 4);
    out.writeLine(unit, r);
  }
}

}  // namespace

void Column::ecout() {
  if (s.op_ecnodenr != 1) return;
  const int m = selected(s, i);
  if (m == 0) return;
  const int unit = kBaseEc + m;

  const float t = static_cast<float>(s.j) * s.deltwl;
  const float q = t / 86400.0f;
  const int d = static_cast<int>(q) + 1;
  const float rest = t - 86400.0f * static_cast<float>(static_cast<int>(q));
  const float f = rest / 86400.0f;
  const float frac = s.deltwl / 86400.0f;
  const float cm = cwl(s, i);

  // Daily integrals by the trapezoidal rule; the 28 days before the start
  // count as zero.
  if (s.j == 0) {
    const float tend = static_cast<float>(s.nt) * s.deltwl;
    s.ecdmax = static_cast<int>(tend / 86400.0f) + 2;
    s.ecint[m].assign(static_cast<std::size_t>(s.ecdmax + 28), 0.0f);
    for (int n = 1; n <= 4; ++n) {
      s.ecmax[m][n] = 0.0f;
      s.ectmax[m][n] = 0.0f;
    }
    dayIntegral(s, m, 1) = 0.5f * frac * cm;
  } else if (rest >= 1.0e-6f) {
    dayIntegral(s, m, d) += frac * cm;
  } else {
    dayIntegral(s, m, d - 1) += 0.5f * frac * cm;
    dayIntegral(s, m, d) = 0.5f * frac * cm;
  }

  // Time-weighted averages over n days ending now.
  float twa[5] = {};
  twa[1] = cm;
  static constexpr int span[] = {0, 0, 4, 21, 28};
  const float factor[] = {0.0f, 0.0f, 0.25f, 1.0f / 21.0f, 1.0f / 28.0f};
  for (int w = 2; w <= 4; ++w) {
    const int n = span[w];
    float sum = (1.0f - f) * dayIntegral(s, m, d - n);
    for (int dd = d - n + 1; dd <= d - 1; ++dd) sum += dayIntegral(s, m, dd);
    sum += dayIntegral(s, m, d);
    twa[w] = sum * factor[w];
  }
  for (int w = 1; w <= 4; ++w) {
    if (twa[w] > s.ecmax[m][w]) {
      s.ecmax[m][w] = twa[w];
      s.ectmax[m][w] = q;
    }
  }

  if (outWl_) {
    const float th = topThickness(s);
    if (s.j == 0) {
      openOut(kn_, unit, nodeFile("ec###.out   ", i));
      writeLine(unit, "");
      writeLine(unit,
                " * Exposure concentrations in water layer"
                " and momentary total concentrations");
      std::string& r = rec(c.rec);
      fmt::A(r, " * in top layer sediment (depth-weighed average of top");
      fmt::F(r, th * 1000.0f, 6, 1);
      fmt::A(r, " mm)");
      writeLine(unit, r);
      rec(c.rec);
      fmt::A(r, " * at segment");
      fmt::I(r, i, 4);
      fmt::A(r, " of water layer (middle of segment at");
      fmt::F(r, s.xcd[i], 9, 3);
      fmt::A(r, " m)");
      writeLine(unit, r);
      writeLine(unit,
                " * (for calculation of TWAECs it is assumed that"
                " concentration in water layer is zero in 28 days");
      writeLine(unit, " * before start of simulation");
      writeLine(unit, " *");
      writeLine(unit,
                " *<====>  <= water layer ========================="
                "=======>  <sediment>   <======>");
      writeLine(unit,
                " *  time    momentary      TWAEC4     TWAEC21    "
                " TWAEC28   momentary  time step");
      writeLine(unit,
                " *     d        g.m-3       g.m-3       g.m-3      "
                " g.m-3       g.m-3");
      writeLine(unit, " *");
    }
    std::string& r = rec(c.rec);
    fmt::F(r, q, 8, 3);
    fmt::X(r, 3);
    fmt::E(r, cm, 10, 3);
    if (s.j == 0) {
      fmt::A(r, "           -           -           -");
    } else {
      for (int w = 2; w <= 4; ++w) {
        fmt::X(r, 2);
        fmt::E(r, twa[w], 10, 3);
      }
    }
    fmt::X(r, 2);
    fmt::E(r, topConcentration(s, c, th), 10, 3);
    fmt::X(r, 3);
    fmt::I(r, s.j, 8);
    writeLine(unit, r);
    if (lastOutput(s, s.deltwl) && isOpen(unit)) {
      writeTable(*this, s, c.rec, i, unit, m);
      closeOut(unit);
    }
  }
  // A run whose last output time was missed still gets its table.
  if (s.j == s.nt && isOpen(unit)) {
    writeTable(*this, s, c.rec, i, unit, m);
    closeOut(unit);
  }
}

}  // namespace kirmel
