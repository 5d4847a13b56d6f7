// Which directories hold scenarios, pesticides and runs, and which names may
// become such directories.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/TempDir.h"
#include "frontend/editor/Directories.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

TEST(Directories, LastComponentAndTrailingSeparator) {
  EXPECT_EQ(fe::ExtractLastDirectory("/k/RUNS/S+P"), "S+P");
  EXPECT_EQ(fe::ExtractLastDirectory("plain"), "plain");
  EXPECT_EQ(fe::ExtractLastDirectory("/k/RUNS/"), "");
  EXPECT_EQ(fe::StripTrailingSeparator("/k/x/"), "/k/x");
  EXPECT_EQ(fe::StripTrailingSeparator("/k/x//"), "/k/x/");
  EXPECT_EQ(fe::StripTrailingSeparator("/"), "/");
}

TEST(Directories, DirectlyInTheRootsFolderWhateverTheSpelling) {
  TempDir root;
  fs::create_directories(root.path() / "SCENARIOS" / "a");
  fs::create_directories(root.path() / "RUNS");
  const std::string r = root.str();
  EXPECT_TRUE(fe::IsScenarioDirectory(r + "/SCENARIOS/x", r));  // need not exist
  EXPECT_TRUE(fe::IsScenarioDirectory(r + "/scenarios/x", r));  // case of the folder
  EXPECT_TRUE(fe::IsScenarioDirectory(r + "/RUNS/../SCENARIOS/x", r));
  EXPECT_TRUE(fe::IsScenarioDirectory(r + "//SCENARIOS//x", r));
  EXPECT_FALSE(fe::IsScenarioDirectory(r + "/SCENARIOS", r));  // the folder itself
  EXPECT_FALSE(fe::IsScenarioDirectory(r + "/SCENARIOS/a/b", r));  // two levels down
  EXPECT_FALSE(fe::IsScenarioDirectory(r + "/PESTICIDES/x", r));
  EXPECT_FALSE(fe::IsScenarioDirectory("x", r));
  EXPECT_TRUE(fe::IsPesticideDirectory(r + "/PESTICIDES/Cpf", r));
  EXPECT_TRUE(fe::IsRunDirectory(r + "/RUNS/S+P", r));
  EXPECT_FALSE(fe::IsRunDirectory(r + "/RUNS", r));

  // A link to the folder is the folder.
  fs::create_directory_symlink(root.path() / "SCENARIOS", root.path() / "link");
  EXPECT_TRUE(fe::IsScenarioDirectory(r + "/link/x", r));
}

TEST(Directories, NamesThatCannotNameAFolder) {
  EXPECT_EQ(fe::NameProblem("NLStandard_sp", "scenario"), "");
  EXPECT_EQ(fe::NameProblem("with space", "scenario"), "");
  for (const char* bad : {"", ".", "..", ".hidden", "a+b", "it's", "a/b", "tab\there"})
    EXPECT_NE(fe::NameProblem(bad, "pesticide"), "") << bad;
  EXPECT_EQ(fe::NameProblem("a+b", "pesticide"),
            "The name of a pesticide may not contain \"/\", \"+\", a single quote or control "
            "characters: \"a+b\".");
  EXPECT_EQ(fe::NameProblem(".S+saving-1", "scenario"),
            "The name of a scenario may not begin with \".\": \".S+saving-1\".");
  EXPECT_EQ(fe::NameProblem("a.b", "scenario"), "");
}

}  // namespace
}  // namespace kirmel::test
