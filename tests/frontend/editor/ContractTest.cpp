// The committed examples and the kernel agree with what the writer produces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EditorTestSupport.h"

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

TEST(EditorContract, KernelReadsTheSavedDefaultModel) {
  const std::string kernel = std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12";
  if (!std::filesystem::exists(kernel)) GTEST_SKIP() << "kernel not built: " << kernel;
  EditorFixture f;  // every header option at its default, the date line included
  f.save("DefaultScenario", "DefaultPesticide");
  const std::string run = f.ed().Settings().RunDirOf("DefaultScenario", "DefaultPesticide");
  std::filesystem::create_directories(run);
  f.ed().WriteFilesInp();
  const std::string command = "cd '" + run + "' && '" + kernel + "' '" + run +
                              "/FILES.INP' < /dev/null > console.txt 2>&1";
  int status = std::system(command.c_str());
  const std::string console = readFile(run + "/console.txt");
  EXPECT_EQ(status, 0) << console;
  EXPECT_NE(console.find("end of simulation"), std::string::npos) << console;
  const std::string messages = readFile(run + "/message.out");
  ASSERT_FALSE(messages.empty()) << "no message.out";
  EXPECT_EQ(ProblemLines(messages), std::vector<std::string>{}) << messages;
  EXPECT_FALSE(readFile(run + "/wlsoco.out").empty());
}

}  // namespace
}  // namespace kirmel::test
