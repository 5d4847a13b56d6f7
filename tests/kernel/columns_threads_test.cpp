// The sediment columns stepped on several threads write what one thread
// writes: the same message file, console text and output files, with the
// warnings and positivity messages of every column in column order, their
// run-wide counts and numbers included, and a stop taken at the same column
// and line.
//
// The scenario (tests/data/kernel/columns) has six columns; each breaks the
// positivity conditions at every node and pass, meets the dispersion
// limitation and loses substance through its bottom.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "common/TempDir.h"
#include "kernel/Kernel.h"
#include "text_count.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::map<std::string, std::string> files;  // every *.out file and console.txt
};

// Runs the scenario with `threads` threads and the run length ttot (days).
Outcome runColumns(int threads, const std::string& ttot) {
  TempDir dir;
  const fs::path data = fs::path(KIRMEL_TEST_DATA) / "kernel" / "columns";
  std::string names;
  for (const char* f : {"OPOUT", "WLNU", "WLPA", "WLST", "WBNU", "WBPA", "WBST", "HY", "SU", "SL"}) {
    std::string text = readFile((data / (std::string(f) + ".INP")).string());
    if (std::string(f) == "WLNU") text.replace(text.find("ttot = 0.1"), 10, "ttot = " + ttot);
    dir.write(std::string(f) + ".INP", text);
    std::string key(f);
    for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    names += key + "inp = '" + f + ".INP'\n";
  }
  dir.write("FILES.INP", names);
  Outcome out;
  std::istringstream in;
  std::ostringstream console;
  {
    ScopedCwd cwd(dir.path());
    Env env(in, console);
    Kernel kernel(env, {"FILES.INP"});
    kernel.setThreads(threads);
    out.status = kernel.run();
  }
  out.files["console.txt"] = console.str();
  for (const auto& e : fs::directory_iterator(dir.path())) {
    if (e.path().extension() != ".out") continue;
    std::string text = readFile(e.path().string());
    // The run's date and time stand in the first line of some files.
    if (text.rfind(" KIRMEL simulation:", 0) == 0) text.erase(0, text.find('\n'));
    out.files[e.path().filename().string()] = text;
  }
  return out;
}

void expectSame(const Outcome& one, const Outcome& many) {
  EXPECT_EQ(one.status, many.status);
  ASSERT_EQ(one.files.size(), many.files.size());
  for (const auto& [name, text] : one.files) {
    auto it = many.files.find(name);
    ASSERT_NE(it, many.files.end()) << name;
    EXPECT_TRUE(it->second == text) << name << " differs between 1 and 4 threads";
  }
}

// Positivity messages per water-layer node: the free-format line
// "blbd brbd j i k" stands four lines below the heading of its names.
std::map<int, int> positivityColumns(const std::string& messages) {
  std::map<int, int> count;
  std::istringstream text(messages);
  std::string line;
  int ahead = 0;
  while (std::getline(text, line)) {
    if (ahead > 0 && --ahead == 0) {
      std::istringstream fields(line);
      float blbd, brbd;
      int j, i, k;
      if (fields >> blbd >> brbd >> j >> i >> k) ++count[i];
    }
    if (line == " blbd   brbd   timestep  nodewl  nodewb") ahead = 4;
  }
  return count;
}

TEST(ColumnThreads, WarningsAndPositivityMessagesOfSeveralColumns) {
  const Outcome one = runColumns(1, "0.1");
  const Outcome four = runColumns(4, "0.1");
  ASSERT_EQ(one.status, 0) << one.files.at("console.txt");
  expectSame(one, four);

  const std::string& messages = one.files.at("message.out");
  // Every column reports: ten positivity messages (five nodes, two passes),
  // five dispersion limitations and one bottom loss, all counted.
  const auto columns = positivityColumns(messages);
  ASSERT_EQ(columns.size(), 6u) << messages;
  for (const auto& [i, n] : columns) EXPECT_EQ(n, 10) << "column " << i;
  EXPECT_EQ(countOf(messages, " Phenomenon of dispersion flux cancel out/exceeding"), 30);
  EXPECT_NE(messages.find(" Number of ocurrence of this phenomenon:    30"), std::string::npos);
  EXPECT_EQ(countOf(messages, " substance leaving bottom segment"), 6);
  EXPECT_NE(one.files.at("console.txt").find("   Number of warnings:  36\n"), std::string::npos);
}

TEST(ColumnThreads, StopAtThePositivityLimitInTheSameColumn) {
  // From step 2 on the violations of all columns add up: the run stops at
  // the 50th, in the middle of step 2.
  const Outcome one = runColumns(1, "0.3");
  const Outcome four = runColumns(4, "0.3");
  ASSERT_EQ(one.status, 1);
  expectSame(one, four);
  const std::string& console = one.files.at("console.txt");
  EXPECT_NE(console.find("  Positivity conditions wb not fulfilled;\n"), std::string::npos) << console;
  // After step 1 the count stands at 11 (restarted at 1 in the last column,
  // plus its 10); step 2 adds 10 per column, so the 50th violation is the
  // 9th of column 4, which writes 8 messages before it; columns 5 and 6
  // write nothing of step 2.
  const auto columns = positivityColumns(one.files.at("message.out"));
  const std::map<int, int> want = {{1, 20}, {2, 20}, {3, 20}, {4, 18}, {5, 10}, {6, 10}};
  EXPECT_EQ(columns, want);
}

TEST(ColumnThreads, ThreadCountFromTheEnvironment) {
  EXPECT_EQ(parseThreads("4"), 4);
  EXPECT_EQ(parseThreads(" 8 "), 8);
  EXPECT_EQ(parseThreads("1"), 1);
  EXPECT_EQ(parseThreads("1024"), 1024);
  // Anything else leaves the default.
  for (const char* bad : {"0", "-1", "+2", "2x", "x", "", "  ", "1025", "99999", "4.0"})
    EXPECT_EQ(parseThreads(bad), 0) << '"' << bad << '"';
}

}  // namespace
}  // namespace kirmel::test
