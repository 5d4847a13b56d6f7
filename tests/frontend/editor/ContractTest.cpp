// The committed examples and the kernel agree with what the writer produces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "frontend/editor/RunCheck.h"

namespace kirmel::test {
namespace {

TEST(EditorContract, ExamplesAreTheDefaultModelAsWritten) {
  EditorFixture f;
  UseExampleOptions(f.ed().Settings());
  f.save("NLStandard_sp", "Cpf");
  const std::string examples = std::string(KIRMEL_SOURCE_DIR) + "/examples";
  for (const std::string& name : ScenarioFiles()) {
    SCOPED_TRACE(name);
    EXPECT_EQ(readFile(f.scenarioDir("NLStandard_sp") + "/" + name),
              readFile(examples + "/SCENARIOS/NLStandard_sp/" + name));
  }
  EXPECT_EQ(readFile(f.pesticideDir("Cpf") + "/SU.INP"),
            readFile(examples + "/PESTICIDES/Cpf/SU.INP"));
}

// Lines of message.out that report a problem (its heading names the kinds).
std::vector<std::string> ProblemLines(const std::string& messages) {
  std::vector<std::string> problems;
  std::size_t start = 0;
  while (start < messages.size()) {
    std::size_t end = messages.find('\n', start);
    if (end == std::string::npos) end = messages.size();
    std::string line = messages.substr(start, end - start);
    start = end + 1;
    if (line.find("Messages (error/warning") != std::string::npos) continue;
    std::string lower;
    for (char c : line) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("error") != std::string::npos || lower.find("warning") != std::string::npos)
      problems.push_back(line);
  }
  return problems;
}

const std::string kKernel = std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12";

// The names of the files in `dir` that match `pattern` (a regular expression).
std::set<std::string> FilesMatching(const std::string& dir, const std::string& pattern) {
  std::set<std::string> names;
  const std::regex re(pattern);
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (std::regex_match(e.path().filename().string(), re)) names.insert(e.path().filename());
  return names;
}

// Saves the model, writes the names file and runs the kernel in the run
// directory as the run batch file does; checks a clean normal end and
// returns the run directory.
std::string SaveAndRun(EditorFixture& f, const std::string& scenario,
                       const std::string& pesticide) {
  f.save(scenario, pesticide);
  const std::string run = f.ed().Settings().RunDirOf(scenario, pesticide);
  std::filesystem::create_directories(run);
  f.ed().WriteFilesInp();
  const std::string command = "cd '" + run + "' && '" + kKernel + "' '" + run +
                              "/FILES.INP' < /dev/null > console.txt 2>&1";
  int status = std::system(command.c_str());
  const std::string console = readFile(run + "/console.txt");
  EXPECT_EQ(status, 0) << console;
  EXPECT_NE(console.find("end of simulation"), std::string::npos) << console;
  const std::string messages = readFile(run + "/message.out");
  EXPECT_FALSE(messages.empty()) << "no message.out";
  EXPECT_EQ(ProblemLines(messages), std::vector<std::string>{}) << messages;
  EXPECT_FALSE(readFile(run + "/wlsoco.out").empty());
  EXPECT_EQ(FilesMatching(run, "RD\\$.*\\.TMP"), std::set<std::string>{});
  return run;
}

TEST(EditorContract, KernelReadsTheSavedDefaultModel) {
  if (!std::filesystem::exists(kKernel)) GTEST_SKIP() << "kernel not built: " << kKernel;
  EditorFixture f;  // every header option at its default, the date line included
  SaveAndRun(f, "DefaultScenario", "DefaultPesticide");
}

TEST(EditorContract, KernelWritesTheFlaggedSegmentsBehindTheFrontBuffer) {
  if (!std::filesystem::exists(kKernel)) GTEST_SKIP() << "kernel not built: " << kKernel;
  EditorFixture f;
  fe::TDitch& ditch = f.data().Ditch();
  ditch.AddFrontBufferNode(std::make_unique<fe::TDitchNode>(false, 4, 0));
  ditch.AddFrontBufferNode(std::make_unique<fe::TDitchNode>(false, 4, 0));
  ditch.SetFrontBufferLength(8);
  ditch.AddEndBufferNode(std::make_unique<fe::TDitchNode>(false, 4, 0));
  ditch.SetEndBufferLength(4);
  ditch.Node(1).SetOutput(false);
  ditch.Node(80).SetOutput(false);
  ditch.Node(2).SetOutput(true);
  ditch.Node(79).SetOutput(true);
  f.data().SetTotalTime(fe::TTimestep(1, 0, 0, 0));
  f.ed().Settings().op_ecnodenr = true;
  f.ed().Settings().op_wbsconodenr = true;
  const std::string run = SaveAndRun(f, "Buffers", "DefaultPesticide");
  // Water-body segments 2 and 79 are kernel nodes 4 and 81.
  EXPECT_EQ(FilesMatching(run, "ec.*\\.out"), (std::set<std::string>{"ec004.out", "ec081.out"}));
  EXPECT_EQ(FilesMatching(run, "wbsco.*\\.out"),
            (std::set<std::string>{"wbsco004.out", "wbsco081.out"}));
  // And they read back as the segments the user flagged.
  ASSERT_TRUE(f.ed().LoadScenario("Buffers"));
  std::vector<int> flagged;
  for (int i = 1; i <= f.data().Ditch().NodeCount(); ++i)
    if (f.data().Ditch().Node(i).Output()) flagged.push_back(i);
  EXPECT_EQ(flagged, (std::vector<int>{2, 79}));
}

TEST(EditorContract, KernelRunsUnderALongRootWithALongScenarioName) {
  if (!std::filesystem::exists(kKernel)) GTEST_SKIP() << "kernel not built: " << kKernel;
  // A root of over 200 characters, and one so long that the names file
  // holds each path in pieces over several lines.
  for (std::size_t length : {200, 1100}) {
    TempDir base;
    std::string root = base.str() + "/home-of-a-user-with-a-rather-long-folder-name";
    while (root.size() <= length) root += "/and-one-more-level-of-folders";
    EditorFixture f;
    fe::TKirmelEditor::TEnvironment env;
    env.Root = root;
    env.DecimalSeparator = '.';
    env.Date = [] { return std::string(kTestDate); };
    f.editor = std::make_unique<fe::TKirmelEditor>(std::move(env));
    for (const char* sub : {"SCENARIOS", "PESTICIDES", "RUNS"})
      std::filesystem::create_directories(root + "/" + sub);
    const std::string scenario =
        "A_scenario_name_of_seventy_characters_for_a_ditch_beside_a_potato_fiel";
    ASSERT_EQ(scenario.size(), 70u);
    f.data().SetTotalTime(fe::TTimestep(1, 0, 0, 0));
    f.data().SetScenarioName(scenario);
    f.data().SetPesticideName("DefaultPesticide");
    EXPECT_EQ(fe::RunProblem(f.ed(), false), "");  // the front end lets it run
    const std::string run = SaveAndRun(f, scenario, "DefaultPesticide");
    EXPECT_GT(run.size(), length + 70);
  }
}

}  // namespace
}  // namespace kirmel::test
