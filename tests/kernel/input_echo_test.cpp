// The input echo file of the example as the results viewer reads it: by the
// keywords "subsystems", "Space", "Number", "Lengths" and "wbin:", taking the
// first tokens of the line under each keyword's heading.
#include <gtest/gtest.h>

#include <sstream>

#include "input_fixture.h"

namespace kirmel::test {
namespace {

// A test-local token reader with the viewer's rules: blank-separated tokens
// running on across lines; empty lines and lines beginning with "*" or " *"
// passed over; "!" ends a line's content.
class Tokens {
 public:
  explicit Tokens(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '*' || line.rfind(" *", 0) == 0) continue;
      auto bang = line.find('!');
      if (bang != std::string::npos) line.resize(bang);
      lines_.push_back(line);
    }
  }
  // Next token, "" at the end of the file.
  std::string get() {
    while (row_ < lines_.size()) {
      const std::string& l = lines_[row_];
      while (col_ < l.size() && l[col_] == ' ') ++col_;
      if (col_ < l.size()) {
        auto end = l.find(' ', col_);
        if (end == std::string::npos) end = l.size();
        std::string t = l.substr(col_, end - col_);
        col_ = end;
        return t;
      }
      ++row_;
      col_ = 0;
    }
    return "";
  }
  void nextLine() {
    if (row_ < lines_.size()) ++row_;
    col_ = 0;
  }
  bool skipTo(const std::string& word) {
    for (std::string t = get(); !t.empty(); t = get())
      if (t == word) return true;
    return false;
  }

 private:
  std::vector<std::string> lines_;
  std::size_t row_ = 0, col_ = 0;
};

struct Geometry {
  double waterBodyLength = 0;
  int subsystems = 0, sedimentSegments = 0, wlSegments = 0;
  std::vector<double> sedimentMidDepth, wlMidDistance;
  std::vector<int> nodes;
};

Geometry readEcho(const std::string& text) {
  Geometry g;
  Tokens t(text);
  EXPECT_TRUE(t.skipTo("subsystems"));
  t.nextLine();
  g.subsystems = std::stoi(t.get());
  for (int n = 0; n < g.subsystems; ++n) g.nodes.push_back(std::stoi(t.get()));
  EXPECT_TRUE(t.skipTo("Space"));
  t.nextLine();
  g.waterBodyLength = std::stod(t.get());
  EXPECT_TRUE(t.skipTo("Number"));
  t.nextLine();
  g.wlSegments = std::stoi(t.get());
  EXPECT_TRUE(t.skipTo("Lengths"));
  t.nextLine();
  double sum = 0;
  for (int n = 0; n < g.wlSegments; ++n) {
    double len = std::stod(t.get());
    g.wlMidDistance.push_back(sum + len / 2);
    sum += len;
  }
  EXPECT_TRUE(t.skipTo("wbin:"));
  EXPECT_TRUE(t.skipTo("Number"));
  t.nextLine();
  g.sedimentSegments = std::stoi(t.get());
  EXPECT_TRUE(t.skipTo("Lengths"));
  t.nextLine();
  sum = 0;
  for (int n = 0; n < g.sedimentSegments; ++n) {
    double len = std::stod(t.get());
    g.sedimentMidDepth.push_back(sum + len / 2);
    sum += len;
  }
  return g;
}

TEST(InputEcho, ExampleGeometryAsTheViewerReadsIt) {
  KernelRun r;
  ASSERT_EQ(r.readUpTo("suin"), -1) << r.out.str();
  const std::string echo = r.file("input.out");
  ASSERT_FALSE(echo.empty());
  Geometry g = readEcho(echo);
  EXPECT_EQ(g.subsystems, 2);
  EXPECT_EQ(g.nodes, (std::vector<int>{1, 80}));
  EXPECT_DOUBLE_EQ(g.waterBodyLength, 320.0);
  ASSERT_EQ(g.wlSegments, 80);
  EXPECT_DOUBLE_EQ(g.wlMidDistance[0], 2.0);
  EXPECT_DOUBLE_EQ(g.wlMidDistance[79], 318.0);
  ASSERT_EQ(g.sedimentSegments, 14);
  const double depth[14] = {0.0005, 0.0015, 0.0025, 0.0035, 0.005, 0.007, 0.009,
                            0.0125, 0.0175, 0.025, 0.035, 0.05, 0.07, 0.09};
  for (int k = 0; k < 14; ++k) EXPECT_NEAR(g.sedimentMidDepth[k], depth[k], 1e-8) << k;
}

TEST(InputEcho, SectionsOfTheOptionsAndGrids) {
  KernelRun r;
  ASSERT_EQ(r.readUpTo("suin"), -1);
  const std::string echo = r.file("input.out");
  const std::string opout = pad100(r.input.path(r.dir, "OPOUT.INP"));
  const std::string head = r.kernel->dateLine() +
                           "\n Output of input:\n\n\n Simulation with KIRMEL version: 1.2.1\n\n\n"
                           " All input from subroutine opout:\n\n Input from " +
                           pad100(r.input.path(r.dir, "FILES.INP")) +
                           ":\n Section 1: Filenames inputfiles\n " + opout + "\n";
  EXPECT_EQ(echo.substr(0, head.size()), head);
  const std::string options =
      "\n Input from " + opout +
      ":\n Section 1: Selected output files:      (no dimensions)\n"
      " 1\n 0\n 0\n 1\n 0\n 1\n 0\n 1\n 1\n 1\n 1\n"
      " Section 2: Timestep for output (d):\n 0.5\n"
      " Section 3: Selected sediment subsystems for output:   (no dimensions)\n 2\n 1 80\n 7\n"
      "\n All input data from wlin:\n";
  EXPECT_NE(echo.find(options), std::string::npos) << echo;
  EXPECT_NE(echo.find(" Section 2: Time parameters    (s, resp d)\n 600.0 30.0\n"
                      " Section 3: Space parameters     (m)\n 320.0 0.0 0.0\n"
                      " Section 4: Number segments   (no dimensions)\n 80 0 0\n"
                      " Section 5: Lengths segments     (m)\n\n 4.0 4.0"),
            std::string::npos);
  EXPECT_NE(echo.find(" Section 4: Number segments   (no dimensions)\n 14 0\n"
                      " Section 5: Lengths segments        (m)\n 0.001 0.001 0.001 0.001 0.002"),
            std::string::npos);
  EXPECT_NE(echo.find(" Section 1: Transformation in water layer   (d)    (J/mol)\n 75.3 55000.0\n"),
            std::string::npos);
  // Values are echoed as read, before any conversion.
  EXPECT_NE(echo.find(" Section 4: Volatilisation   (g/mol, m/d, m/d, Pa, K, J/mol, g/m^3, K, J/mol)\n"
                      " 350.6 1.7 163.1\n 0.0025 293.0 95000.0\n 2.0 293.0 27000.0\n"),
            std::string::npos);
}

}  // namespace
}  // namespace kirmel::test
