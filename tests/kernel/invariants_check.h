// Invariants that every set of kernel output files must satisfy, whatever
// the scenario: layout (header, line lengths, time and step columns),
// percentages and distribution sums, mass-balance closure within the printed
// precision, signs and monotonicity of the cumulative terms, the exposure
// table against its own columns, and the agreement between wlsoco.out,
// wbsco###.out, ec###.out, db###.out and the balance files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/TempDir.h"

namespace kirmel::test::inv {

struct Row {
  std::string text;
  std::vector<std::string> tok;
  double at(std::size_t n) const {
    if (n >= tok.size()) return std::nan("");
    char* end = nullptr;
    const double v = std::strtod(tok[n].c_str(), &end);
    return end && *end == '\0' ? v : std::nan("");
  }
  long step() const { return std::atol(tok.back().c_str()); }
  // Half a unit of the last printed digit of field n: the most by which the
  // printed text can differ from the value it shows.
  double hu(std::size_t n) const {
    if (n >= tok.size()) return 0.0;
    const std::string& s = tok[n];
    const std::size_t dot = s.find('.');
    if (dot == std::string::npos) return 0.5;
    std::size_t e = s.find_first_of("Ee+-", dot + 1);
    const int digits = static_cast<int>((e == std::string::npos ? s.size() : e) - dot - 1);
    int exp = 0;
    if (e != std::string::npos)
      exp = std::atoi(s.c_str() + e + (s[e] == 'E' || s[e] == 'e' ? 1 : 0));
    return 0.5 * std::pow(10.0, exp - digits);
  }
};

struct OutFile {
  std::string name;
  std::vector<std::string> lines;
  std::vector<Row> rows;  // time-series data lines
  std::vector<Row> tail;  // lines after the time series (exposure table)
};

inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

inline std::vector<std::string> tokens(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  std::string t;
  while (in >> t) out.push_back(t);
  return out;
}

// Reads a time-series file: an empty line, `headerLines` lines starting with
// " *", then data lines up to the first empty line; what follows goes to tail.
inline OutFile readSeries(const std::filesystem::path& path, std::size_t headerLines) {
  OutFile f;
  f.name = path.filename().string();
  f.lines = splitLines(readFile(path.string()));
  SCOPED_TRACE(f.name);
  if (f.lines.size() < headerLines + 1) {
    ADD_FAILURE() << "too short";
    return f;
  }
  EXPECT_EQ(f.lines[0], "") << "first line";
  for (std::size_t n = 1; n <= headerLines; ++n)
    EXPECT_EQ(f.lines[n].rfind(" *", 0), 0u) << "header line " << n + 1 << ": " << f.lines[n];
  std::size_t n = headerLines + 1;
  for (; n < f.lines.size() && !f.lines[n].empty(); ++n)
    f.rows.push_back({f.lines[n], tokens(f.lines[n])});
  for (; n < f.lines.size(); ++n) f.tail.push_back({f.lines[n], tokens(f.lines[n])});
  // Every data line has the same length, no field overflowed, and the time
  // column is the step times a constant step length.
  EXPECT_FALSE(f.rows.empty()) << "no data lines";
  for (const Row& r : f.rows) {
    EXPECT_EQ(r.text.size(), f.rows.front().text.size()) << r.text;
    EXPECT_EQ(r.text.find('*'), std::string::npos) << r.text;
  }
  if (!f.rows.empty()) {
    const Row& last = f.rows.back();
    const double perStep = last.step() > 0 ? last.at(0) / static_cast<double>(last.step()) : 0.0;
    long prev = -1;
    for (const Row& r : f.rows) {
      EXPECT_NEAR(r.at(0), perStep * static_cast<double>(r.step()), 0.0006 + 1e-6 * r.at(0))
          << r.text;
      EXPECT_GE(r.step(), prev) << r.text;
      prev = r.step();
    }
  }
  return f;
}

// The distinct steps of a file's data lines, in order.
inline std::vector<long> steps(const OutFile& f) {
  std::vector<long> out;
  for (const Row& r : f.rows)
    if (out.empty() || out.back() != r.step()) out.push_back(r.step());
  return out;
}

inline void checkWlsoco(const OutFile& f, int& nodes) {
  SCOPED_TRACE(f.name);
  std::map<long, int> perStep;
  for (const Row& r : f.rows) {
    ASSERT_EQ(r.tok.size(), 12u) << r.text;
    const int seg = ++perStep[r.step()];
    EXPECT_EQ(std::atoi(r.tok[1].c_str()), seg) << r.text;
    const double ctot = r.at(3), c = r.at(4), ptot = r.at(7), pd = r.at(8), pm = r.at(9),
                 ps = r.at(10);
    EXPECT_GE(c, 0.0) << r.text;
    if (ctot > 0.0) {
      EXPECT_EQ(r.tok[7], "100.00") << r.text;
      EXPECT_NEAR(pd + pm + ps, 100.0, 0.0151) << r.text;
      const double tol = r.hu(8) + 100.0 * r.hu(4) / ctot + 100.0 * c * r.hu(3) / (ctot * ctot);
      EXPECT_NEAR(pd, 100.0 * c / ctot, tol * 1.01) << r.text;
    } else {
      EXPECT_EQ(ptot + pd + pm + ps, 0.0) << r.text;
    }
  }
  // Each node keeps its distance from one time block to the next.
  std::map<std::string, std::string> distance;
  for (const Row& r : f.rows) {
    auto [it, fresh] = distance.emplace(r.tok[1], r.tok[2]);
    if (!fresh) {
      EXPECT_EQ(it->second, r.tok[2]) << r.text;
    }
  }
  nodes = perStep.empty() ? 0 : perStep.begin()->second;
  for (const auto& [j, n] : perStep) EXPECT_EQ(n, nodes) << "step " << j;
}

inline void checkWbsco(const OutFile& f) {
  SCOPED_TRACE(f.name);
  std::vector<const Row*> block;
  for (const Row& r : f.rows) {
    ASSERT_EQ(r.tok.size(), 10u) << r.text;
    const double ctot = r.at(3);
    if (ctot > 0.0) {
      EXPECT_EQ(r.tok[6], "100.00") << r.text;
      EXPECT_NEAR(r.at(7) + r.at(8), 100.0, 0.011) << r.text;
    }
    if (r.tok[1] != "top") {
      EXPECT_EQ(std::atoi(r.tok[1].c_str()), static_cast<int>(block.size()) + 1) << r.text;
      block.push_back(&r);
      continue;
    }
    // The top row: the depth of one of the upper nodes, and thickness-weighted
    // averages that lie within the range of those nodes.
    std::size_t ktop = 0;
    for (std::size_t k = 0; k < block.size() && ktop == 0; ++k)
      if (block[k]->tok[2] == r.tok[2]) ktop = k + 1;
    EXPECT_GT(ktop, 0u) << "no node at the top row's depth: " << r.text;
    for (int col = 3; col <= 5 && ktop > 0; ++col) {
      double lo = 1e300, hi = -1e300;
      for (std::size_t k = 0; k < ktop; ++k) {
        lo = std::min(lo, block[k]->at(col));
        hi = std::max(hi, block[k]->at(col));
      }
      EXPECT_GE(r.at(col), lo * (1.0 - 1e-3) - 1e-35) << r.text;
      EXPECT_LE(r.at(col), hi * (1.0 + 1e-3) + 1e-35) << r.text;
    }
    block.clear();
  }
  EXPECT_TRUE(block.empty()) << "last block without its top row";
  std::map<std::string, std::string> depth;
  for (const Row& r : f.rows) {
    auto [it, fresh] = depth.emplace(r.tok[1], r.tok[2]);
    if (!fresh) {
      EXPECT_EQ(it->second, r.tok[2]) << r.text;
    }
  }
}

inline void checkDb(const OutFile& f) {
  SCOPED_TRACE(f.name);
  for (const Row& r : f.rows) {
    ASSERT_EQ(r.tok.size(), 11u) << r.text;
    for (int n = 1; n <= 7; ++n) EXPECT_GE(r.at(n), 0.0) << r.text;
    EXPECT_NEAR(r.at(1), r.at(2) + r.at(3) + r.at(4),
                1.01 * (r.hu(1) + r.hu(2) + r.hu(3) + r.hu(4)))
        << r.text;
    EXPECT_NEAR(r.at(5), r.at(6) + r.at(7), 1.01 * (r.hu(5) + r.hu(6) + r.hu(7))) << r.text;
    const double all = r.at(1) + r.at(5);
    if (all > 0.0) {
      EXPECT_NEAR(r.at(8) + r.at(9), 100.0, 0.0101) << r.text;
      EXPECT_NEAR(r.at(8), 100.0 * r.at(1) / all, 0.0051 + 100.0 * (r.hu(1) + r.hu(5)) / all)
          << r.text;
    }
  }
}

// Cumulative columns: `up` never decrease and are >= 0, `down` never
// increase and are <= 0.
inline void checkCumulative(const OutFile& f, const std::vector<int>& up,
                            const std::vector<int>& down) {
  for (std::size_t n = 0; n < f.rows.size(); ++n) {
    const Row& r = f.rows[n];
    for (int c : up) {
      EXPECT_GE(r.at(c), 0.0) << "column " << c << ": " << r.text;
      if (n > 0) {
        EXPECT_GE(r.at(c), f.rows[n - 1].at(c) * (1.0 - 1e-4)) << "column " << c << ": " << r.text;
      }
    }
    for (int c : down) {
      EXPECT_LE(r.at(c), 0.0) << "column " << c << ": " << r.text;
      if (n > 0) {
        EXPECT_LE(r.at(c), f.rows[n - 1].at(c) * (1.0 - 1e-4)) << "column " << c << ": " << r.text;
      }
    }
  }
}

// missing = sum of `plus` columns + sum of `signed` columns - remaining, and the
// percentage against the inputs (the `in` columns, with `minusIn` subtracted).
struct Balance {
  std::vector<int> in, minusIn, losses;
  int remaining, missing, percent;
  double percentWhenNoInput;  // < 0: divide by 1 when the inputs are 0
};

inline void checkBalance(const OutFile& f, const Balance& b) {
  for (const Row& r : f.rows) {
    // The sums hold in the kernel's own numbers up to single-precision
    // rounding; the printed numbers add the rounding of the text.
    double inputs = 0.0, inTol = 0.0, scale = 0.0;
    for (int c : b.in) inputs += r.at(c), inTol += r.hu(c), scale += std::fabs(r.at(c));
    for (int c : b.minusIn) inputs -= r.at(c), inTol += r.hu(c), scale += std::fabs(r.at(c));
    double miss = inputs - r.at(b.remaining);
    double tol = inTol + r.hu(b.remaining) + r.hu(b.missing);
    scale += std::fabs(r.at(b.remaining));
    for (int c : b.losses) miss += r.at(c), tol += r.hu(c), scale += std::fabs(r.at(c));
    EXPECT_NEAR(r.at(b.missing), miss, 1.01 * tol + 1e-6 * scale)
        << "balance does not close: " << r.text;
    const double pct = r.at(b.percent);
    if (inputs <= 0.0 && b.percentWhenNoInput >= 0.0 && r.at(b.in.front()) == 0.0) {
      EXPECT_EQ(pct, b.percentWhenNoInput) << r.text;
    } else if (inputs > 0.0) {
      const double m = r.at(b.missing);
      const double ptol = r.hu(b.percent) + 100.0 * r.hu(b.missing) / inputs +
                          100.0 * std::fabs(m) * inTol / (inputs * inputs);
      EXPECT_NEAR(pct, 100.0 * m / inputs, 1.01 * ptol + 1e-6 * std::fabs(pct)) << r.text;
    }
  }
}

// The exposure file against its own columns and against the water-layer and
// sediment concentration files at the same steps.
inline void checkEc(const OutFile& f, const OutFile* wlsoco, int node, const OutFile* wbsco) {
  SCOPED_TRACE(f.name);
  double maxCol[5] = {0, 0, 0, 0, 0};
  double maxTol[5] = {0, 0, 0, 0, 0};
  for (const Row& r : f.rows) {
    ASSERT_EQ(r.tok.size(), 7u) << r.text;
    for (int c = 1; c <= 5; ++c) {
      if (r.step() == 0 && c >= 2 && c <= 4) {
        EXPECT_EQ(r.tok[c], "-") << r.text;
        continue;
      }
      EXPECT_GE(r.at(c), 0.0) << r.text;
      if (c <= 4 && r.at(c) > maxCol[c]) maxCol[c] = r.at(c), maxTol[c] = r.hu(c);
    }
  }
  // The table: two empty lines, six header lines, four rows.
  ASSERT_EQ(f.tail.size(), 12u) << "exposure table";
  EXPECT_EQ(f.tail[0].text, "");
  EXPECT_EQ(f.tail[1].text, "");
  const char* window[] = {"0", "4", "21", "28"};
  const double lastTime = f.rows.empty() ? 0.0 : f.rows.back().at(0);
  for (int n = 0; n < 4; ++n) {
    const Row& r = f.tail[8 + n];
    ASSERT_EQ(r.tok.size(), 3u) << r.text;
    EXPECT_EQ(r.tok[0], window[n]);
    EXPECT_GE(r.at(1), 0.0);
    EXPECT_LE(r.at(1), lastTime + 1.0) << "time of occurrence after the run";
    // The maxima cover every step, so no printed value exceeds them.
    EXPECT_GE(r.at(2), maxCol[n + 1] - 1.01 * (maxTol[n + 1] + r.hu(2))) << r.text;
  }
  if (wlsoco) {
    std::map<long, const Row*> c;
    for (const Row& r : wlsoco->rows)
      if (std::atoi(r.tok[1].c_str()) == node) c[r.step()] = &r;
    for (const Row& r : f.rows) {
      ASSERT_TRUE(c.count(r.step())) << "step missing in wlsoco.out: " << r.text;
      const Row& w = *c[r.step()];
      EXPECT_NEAR(r.at(1), w.at(4), 1.01 * (r.hu(1) + w.hu(4)))
          << r.text << " vs wlsoco.out " << w.text;
    }
    EXPECT_EQ(f.rows.size(), c.size()) << "output steps differ from wlsoco.out";
  }
  if (wbsco) {
    std::map<long, const Row*> top;
    for (const Row& r : wbsco->rows)
      if (r.tok[1] == "top") top[r.step()] = &r;
    for (const Row& r : f.rows) {
      ASSERT_TRUE(top.count(r.step())) << r.text;
      const Row& w = *top[r.step()];
      EXPECT_NEAR(r.at(5), w.at(3), 1.01 * (r.hu(5) + w.hu(3)))
          << r.text << " vs top row " << w.text;
    }
  }
}

// Runs every check on the output files in `dir`.
inline void checkAll(const std::filesystem::path& dir) {
  std::map<std::string, OutFile> files;
  auto have = [&](const std::string& n) { return std::filesystem::exists(dir / n); };
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.insert(e.path().filename().string());

  int nodes = 0;
  OutFile* wlsoco = nullptr;
  if (have("wlsoco.out")) {
    files["wlsoco.out"] = readSeries(dir / "wlsoco.out", 11);
    wlsoco = &files["wlsoco.out"];
    checkWlsoco(*wlsoco, nodes);
  }
  const std::vector<long> outSteps = wlsoco ? steps(*wlsoco) : std::vector<long>{};

  const Balance wlmbBal{{1, 2}, {}, {4, 5, 6, 7, 8}, 3, 9, 10, 0.01};
  if (have("wlmb.out")) {
    OutFile f = readSeries(dir / "wlmb.out", 9);
    SCOPED_TRACE(f.name);
    for (const Row& r : f.rows) ASSERT_EQ(r.tok.size(), 12u) << r.text;
    checkCumulative(f, {1, 2}, {4, 5, 6, 7, 8});
    checkBalance(f, wlmbBal);
    ASSERT_EQ(f.tail.size(), 2u) << "two empty lines end wlmb.out";
    EXPECT_EQ(steps(f), outSteps);
    files["wlmb.out"] = f;
  }
  // Per-subsystem files: name stem, then the node in three digits.
  std::vector<std::pair<std::string, int>> nodeFiles;
  for (const std::string& name : names) {
    const std::string stem =
        name.substr(0, std::min(name.size(), name.find_first_of("0123456789")));
    if (stem.size() + 7 != name.size() || name.substr(stem.size() + 3) != ".out") continue;
    nodeFiles.emplace_back(name, std::atoi(name.substr(stem.size(), 3).c_str()));
    if (stem == "wbsco") {
      files[name] = readSeries(dir / name, 14);
      checkWbsco(files[name]);
      EXPECT_EQ(steps(files[name]), outSteps) << name;
    }
  }
  for (const auto& [name, node] : nodeFiles) {
    const std::string stem = name.substr(0, name.size() - 7);
    if (stem == "db") {
      files[name] = readSeries(dir / name, 7);
      checkDb(files[name]);
    } else if (stem == "wlmb") {
      OutFile f = readSeries(dir / name, 10);
      SCOPED_TRACE(name);
      for (const Row& r : f.rows) ASSERT_EQ(r.tok.size(), 14u) << r.text;
      checkCumulative(f, {1, 2, 3, 4}, {6, 7, 8, 9, 10});
      checkBalance(f, {{1, 2, 3, 4}, {}, {6, 7, 8, 9, 10}, 5, 11, 12, 0.01});
      EXPECT_EQ(steps(f), outSteps);
    } else if (stem == "wbmb") {
      OutFile f = readSeries(dir / name, 11);
      SCOPED_TRACE(name);
      for (const Row& r : f.rows) {
        ASSERT_EQ(r.tok.size(), 12u) << r.text;
        EXPECT_EQ(r.at(3), 0.0) << "upward seepage: " << r.text;
        EXPECT_GE(r.at(4), 0.0) << r.text;
        EXPECT_LE(r.at(10), r.at(4) * (1.0 + 1e-4)) << "top layer above the whole: " << r.text;
      }
      checkCumulative(f, {2}, {5, 6, 7});
      checkBalance(f, {{1, 2}, {3}, {5, 6, 7}, 4, 8, 9, 0.0});
      EXPECT_EQ(steps(f), outSteps);
    } else if (stem == "ec") {
      files[name] = readSeries(dir / name, 10);
      const std::string wb = "wbsco" + name.substr(2, 3) + ".out";
      checkEc(files[name], wlsoco, node, files.count(wb) ? &files[wb] : nullptr);
    }
  }
  // The distribution file's dissolved mass per metre is the wetted area times
  // the concentration of wlsoco.out, and the area does not change.
  for (const std::string& name : names) {
    if (name.rfind("db", 0) != 0 || name == "dbdit.out" || !wlsoco) continue;
    const int node = std::atoi(name.substr(2, 3).c_str());
    std::map<long, const Row*> c;
    for (const Row& r : wlsoco->rows)
      if (std::atoi(r.tok[1].c_str()) == node) c[r.step()] = &r;
    double area = 0.0, areaTol = 0.0;
    for (const Row& r : files[name].rows) {
      if (!c.count(r.step()) || c[r.step()]->at(4) < 1e-20) continue;
      const Row& w = *c[r.step()];
      const double a = r.at(2) / w.at(4);
      const double tol = a * (r.hu(2) / r.at(2) + w.hu(4) / w.at(4));
      if (area == 0.0) area = a, areaTol = tol;
      EXPECT_NEAR(a, area, 1.01 * (tol + areaTol)) << name << ": " << r.text;
    }
  }
  if (have("dbdit.out")) {
    OutFile f = readSeries(dir / "dbdit.out", 7);
    checkDb(f);
    EXPECT_EQ(steps(f), outSteps);
  }
  if (have("wbmball.out")) {
    OutFile f = readSeries(dir / "wbmball.out", 11);
    SCOPED_TRACE(f.name);
    for (const Row& r : f.rows) ASSERT_EQ(r.tok.size(), 12u) << r.text;
    checkCumulative(f, {2}, {5, 6, 7});
    checkBalance(f, {{1, 2}, {3}, {5, 6, 7}, 4, 8, 9, -1.0});
    EXPECT_EQ(steps(f), outSteps);
    // What the water layer gives the sediment, the sediment receives.
    if (files.count("wlmb.out")) {
      const OutFile& w = files["wlmb.out"];
      ASSERT_EQ(w.rows.size(), f.rows.size());
      for (std::size_t n = 0; n < f.rows.size(); ++n) {
        const Row& a = w.rows[n];
        const Row& b = f.rows[n];
        // Both sum the same per-node fluxes in single precision; far below
        // the mass of the run (at the concentration floor) they may differ.
        const double floor = 1e-7 * a.at(1);
        EXPECT_NEAR(a.at(4), -b.at(2),
                    1.01 * (a.hu(4) + b.hu(2)) + 1e-5 * std::fabs(b.at(2)) + floor)
            << a.text << "\n"
            << b.text;
        EXPECT_NEAR(a.at(2), -b.at(5),
                    1.01 * (a.hu(2) + b.hu(5)) + 1e-5 * std::fabs(b.at(5)) + floor)
            << a.text << "\n"
            << b.text;
      }
    }
  }
}

}  // namespace kirmel::test::inv
