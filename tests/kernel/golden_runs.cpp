// Whole kernel runs compared byte for byte with committed output files, and
// checked against the output invariants.
//
// Each scenario's ten input files are copied into a scratch directory with a
// names file of relative names; the kernel runs there, and every *.out file
// plus the console output (console.txt) must equal the file of the same name
// in tests/data/kernel/golden/<scenario>/expected/.  The run's date and time
// (the first line of message.out, input.out, icwlhy.out and icwb.out) are
// replaced by a fixed text before comparing and storing.
//
// Scenarios: the bundled example; buffers in the water layer and the
// sediment; seepage with a spray drift and a drainage window; Freundlich
// exponents other than 1 with time weights of 0.5.
//
// To regenerate the expected files after an intended change of the output:
//   KIRMEL_UPDATE_GOLDEN=1 build/<dir>/tests/test_kernel --gtest_filter='GoldenRun.*'
// and review the differences (git diff) before committing them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "common/TempDir.h"
#include "invariants_check.h"
#include "kernel/Kernel.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(KIRMEL_TEST_DATA) / "kernel" / "golden";

struct InputFile {
  const char* key;
  const char* name;
};
constexpr InputFile kInputs[] = {
    {"opoutinp", "OPOUT.INP"}, {"wlnuinp", "WLNU.INP"}, {"wlpainp", "WLPA.INP"},
    {"wlstinp", "WLST.INP"},   {"wbnuinp", "WBNU.INP"}, {"wbpainp", "WBPA.INP"},
    {"wbstinp", "WBST.INP"},   {"hyinp", "HY.INP"},     {"suinp", "SU.INP"},
    {"slinp", "SL.INP"},
};

// The date-and-time line of a run, fixed so that runs compare equal.
std::string normalise(const std::string& text) {
  const std::string tag = " KIRMEL simulation:";
  if (text.rfind(tag, 0) != 0) return text;
  const std::size_t eol = text.find('\n');
  return tag + "  dd-mm-yyyy  hh:mm:ss" + (eol == std::string::npos ? "" : text.substr(eol));
}

std::string firstDifference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string la, lb;
  for (int n = 1;; ++n) {
    const bool ha = static_cast<bool>(std::getline(a, la));
    const bool hb = static_cast<bool>(std::getline(b, lb));
    if (!ha && !hb) return "files differ in their line ends";
    if (!ha || !hb || la != lb)
      return "line " + std::to_string(n) + "\n  expected: " + (ha ? la : "<end>") +
             "\n  got:      " + (hb ? lb : "<end>");
  }
}

struct KernelRun {
  TempDir dir;
  int status = -1;
  std::string console;
};

// Runs the kernel on the ten files found in `scenario` (SU.INP may come from
// `pesticide` instead) with `threads` threads for the sediment columns.
void runKernel(KernelRun& run, const fs::path& scenario, const fs::path& pesticide, int threads) {
  std::string names;
  for (const InputFile& f : kInputs) {
    const fs::path from = (std::string(f.name) == "SU.INP" ? pesticide : scenario) / f.name;
    fs::copy_file(from, run.dir.path() / f.name);
    names += std::string(f.key) + " = '" + f.name + "'\n";
  }
  run.dir.write("FILES.INP", names);
  std::istringstream in;
  std::ostringstream out;
  {
    ScopedCwd cwd(run.dir.path());
    Env env(in, out);
    Kernel kernel(env, {"FILES.INP"});
    kernel.setThreads(threads);
    run.status = kernel.run();
  }
  run.console = out.str();
  run.dir.write("console.txt", run.console);
}

void compareWithGolden(const KernelRun& run, const std::string& scenario) {
  const fs::path expected = kGolden / scenario / "expected";
  std::set<std::string> produced;
  for (const auto& e : fs::directory_iterator(run.dir.path())) {
    const std::string n = e.path().filename().string();
    if (e.path().extension() == ".out" || n == "console.txt") produced.insert(n);
  }
  if (UpdateGolden()) {
    fs::remove_all(expected);
    fs::create_directories(expected);
    for (const std::string& n : produced) {
      std::ofstream f(expected / n, std::ios::binary);
      f << normalise(readFile((run.dir.path() / n).string()));
    }
    std::cout << "updated " << produced.size() << " files in " << expected.string() << "\n";
    return;
  }
  ASSERT_TRUE(fs::is_directory(expected)) << "no expected files; run with KIRMEL_UPDATE_GOLDEN=1";
  std::set<std::string> stored;
  for (const auto& e : fs::directory_iterator(expected))
    stored.insert(e.path().filename().string());
  EXPECT_EQ(produced, stored) << "the run wrote another set of files";
  for (const std::string& n : produced) {
    if (!stored.count(n)) continue;
    const std::string want = readFile((expected / n).string());
    const std::string got = normalise(readFile((run.dir.path() / n).string()));
    EXPECT_TRUE(want == got) << scenario << "/" << n << ": " << firstDifference(want, got);
  }
}

// The sediment columns in turn (1) and on one thread per core (0): both
// write the golden files.
constexpr int kThreads[] = {1, 0};

void goldenRun(const std::string& scenario, const fs::path& inputs, const fs::path& pesticide) {
  for (int threads : kThreads) {
    SCOPED_TRACE(threads == 1 ? "one thread" : "one thread per core");
    KernelRun run;
    runKernel(run, inputs, pesticide, threads);
    EXPECT_EQ(run.status, 0) << run.console;
    {
      SCOPED_TRACE("invariants of " + scenario);
      inv::checkAll(run.dir.path());
    }
    compareWithGolden(run, scenario);
  }
}

fs::path scenarioInputs(const std::string& scenario) { return kGolden / scenario / "input"; }

TEST(GoldenRun, Example) {
  const fs::path ex = fs::path(KIRMEL_SOURCE_DIR) / "examples";
  for (int threads : kThreads) {
    SCOPED_TRACE(threads == 1 ? "one thread" : "one thread per core");
    KernelRun run;
    runKernel(run, ex / "SCENARIOS" / "NLStandard_sp", ex / "PESTICIDES" / "Cpf", threads);
    EXPECT_EQ(run.status, 0) << run.console;
    // A clean run: no balance reports missing mass.
    const std::string messages = readFile(run.dir.file("message.out"));
    EXPECT_EQ(messages.find("missing"), std::string::npos) << messages;
    EXPECT_EQ(run.console.find("Warning"), std::string::npos) << run.console;
    {
      SCOPED_TRACE("invariants of the example");
      inv::checkAll(run.dir.path());
    }
    compareWithGolden(run, "example");
  }
}

TEST(GoldenRun, ExampleUnderFolderWithAccents) {
  // The front end's names file, with absolute paths to a folder whose name
  // holds letters beyond ASCII (UTF-8), and the kernel run there.  The
  // results are the example's; only the echo of the paths differs.
  const fs::path ex = fs::path(KIRMEL_SOURCE_DIR) / "examples";
  KernelRun run;
  const fs::path folder = run.dir.path() / "jos\xC3\xA9" / "Foss\xC3\xA9";
  fs::create_directories(folder);
  std::string names;
  for (const InputFile& f : kInputs) {
    const fs::path from = (std::string(f.name) == "SU.INP" ? ex / "PESTICIDES" / "Cpf" : ex / "SCENARIOS" / "NLStandard_sp") / f.name;
    fs::copy_file(from, folder / f.name);
    names += std::string("  ") + f.key + " = '" + (folder / f.name).string() + "'\r\n";
  }
  const fs::path namesFile = folder / "FILES.INP";
  std::ofstream(namesFile, std::ios::binary) << names;
  std::istringstream in;
  std::ostringstream out;
  {
    ScopedCwd cwd(folder);
    Env env(in, out);
    Kernel kernel(env, {namesFile.string()});
    run.status = kernel.run();
  }
  EXPECT_EQ(run.status, 0) << out.str();
  const fs::path expected = kGolden / "example" / "expected";
  EXPECT_EQ(out.str(), readFile((expected / "console.txt").string()));
  for (const auto& e : fs::directory_iterator(expected)) {
    const std::string n = e.path().filename().string();
    if (n == "console.txt") continue;
    SCOPED_TRACE(n);
    const std::string got = normalise(readFile((folder / n).string()));
    if (n == "input.out" || n == "message.out") {
      // Every line but those that name an input file.
      std::istringstream want(readFile(e.path().string())), have(got);
      std::string a, b;
      while (std::getline(want, a)) {
        ASSERT_TRUE(std::getline(have, b)) << "ends early";
        if (a.find(".INP") == std::string::npos) EXPECT_EQ(b, a);
        else EXPECT_NE(b.find("\xC3\xA9"), std::string::npos) << b;
      }
      EXPECT_FALSE(std::getline(have, b)) << "more lines: " << b;
    } else {
      EXPECT_TRUE(got == readFile(e.path().string())) << firstDifference(readFile(e.path().string()), got);
    }
  }
}

TEST(GoldenRun, BuffersInWaterAndSediment) {
  goldenRun("buffers", scenarioInputs("buffers"), scenarioInputs("buffers"));
}

TEST(GoldenRun, SeepageWithDriftAndDrainage) {
  goldenRun("seepage", scenarioInputs("seepage"), scenarioInputs("seepage"));
}

TEST(GoldenRun, FreundlichAndHalfTimeWeights) {
  goldenRun("freundlich", scenarioInputs("freundlich"), scenarioInputs("freundlich"));
}

}  // namespace
}  // namespace kirmel::test
