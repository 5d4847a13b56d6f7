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
  EXPECT_TRUE(fe::IsRunDirectory(r + "/RUNS/S+P", r + "/"));  // a root given with a final '/'
  EXPECT_FALSE(fe::IsRunDirectory(r + "/RUNS/S+P/x", r + "/"));

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

TEST(Directories, NewNamesHaveNoBlankAtAnEndAndFitEveryLaterSave) {
  EXPECT_EQ(fe::NewNameProblem("with space", "scenario"), "");
  EXPECT_EQ(fe::NewNameProblem("Foss\xc3\xa9", "scenario"), "");
  EXPECT_EQ(fe::NewNameProblem("Trail ", "scenario"),
            "The name of a scenario may not begin or end with a blank: \"Trail \".");
  EXPECT_NE(fe::NewNameProblem(" Lead", "pesticide"), "");
  EXPECT_NE(fe::NewNameProblem(" ", "pesticide"), "");
  // The refusals of every name stay.
  EXPECT_EQ(fe::NewNameProblem("a+b", "pesticide"), fe::NameProblem("a+b", "pesticide"));
  EXPECT_NE(fe::NewNameProblem("", "pesticide"), "");
  // Names already on disk may keep their blanks.
  EXPECT_EQ(fe::NameProblem("Trail ", "scenario"), "");
  // A save sets the old version aside under a longer name, which must fit
  // the filesystem's 255 bytes.
  EXPECT_EQ(fe::NewNameProblem(std::string(226, 'x'), "scenario"), "");
  EXPECT_EQ(fe::NewNameProblem(std::string(227, 'x'), "scenario"),
            "The name of a scenario may be at most 226 bytes long; this one has 227.");
}

TEST(Directories, SaveAsTargets) {
  TempDir root;
  const std::string folder = root.str() + "/SCENARIOS";
  fs::create_directories(folder + "/Full");
  root.write("SCENARIOS/Full/WLNU.INP", "x");
  fs::create_directories(folder + "/Empty");
  root.write("SCENARIOS/notes", "x");

  fe::TSaveAsTarget t = fe::CheckSaveAsTarget(folder + "/New/", folder, "scenario");
  EXPECT_EQ(t.Problem, "");
  EXPECT_EQ(t.Name, "New");
  EXPECT_FALSE(t.Exists);
  EXPECT_FALSE(fs::exists(folder + "/New"));  // nothing is made

  t = fe::CheckSaveAsTarget(folder + "/Empty", folder, "scenario");
  EXPECT_TRUE(t.Exists);
  EXPECT_FALSE(t.HoldsFiles);

  // Found in another case: the folder's own name.
  t = fe::CheckSaveAsTarget(folder + "/full", folder, "scenario");
  EXPECT_EQ(t.Problem, "");
  EXPECT_EQ(t.Name, "Full");
  EXPECT_EQ(t.Dir, folder + "/Full");
  EXPECT_TRUE(t.Exists);
  EXPECT_TRUE(t.HoldsFiles);

  EXPECT_EQ(fe::CheckSaveAsTarget(folder + "/notes", folder, "scenario").Problem,
            "The scenario cannot be saved as \"notes\": the directory " + folder +
                " holds a file of that name.");
  for (const std::string& outside : {folder, root.str() + "/x"})
    EXPECT_EQ(fe::CheckSaveAsTarget(outside, folder, "scenario").Problem,
              "The scenario should be in the directory " + folder)
        << outside;
  // A name typed after the folder is judged as a name, a "/" in it too.
  for (const char* bad : {"a+b", "..", " x", "x ", "Full/Inner"})
    EXPECT_EQ(fe::CheckSaveAsTarget(folder + "/" + std::string(bad), folder, "scenario").Problem,
              fe::NewNameProblem(bad, "scenario"))
        << bad;
  // The names of unsaved work, in any case.
  EXPECT_EQ(fe::CheckSaveAsTarget(folder + "/defaultSCENARIO", folder, "scenario").Problem,
            "\"defaultSCENARIO\" cannot be the name of a saved scenario: the name "
            "DefaultScenario is kept for unsaved work.");
  EXPECT_NE(fe::CheckSaveAsTarget(folder + "/DefaultPesticide", folder, "pesticide").Problem, "");
  EXPECT_EQ(fe::CheckSaveAsTarget(folder + "/DefaultPesticide", folder, "scenario").Problem, "");
}

TEST(Directories, RemoveIfEmptyRemovesOnlyAnEmptyFolder) {
  TempDir root;
  fs::create_directories(root.path() / "empty");
  fs::create_directories(root.path() / "full");
  root.write("full/file", "x");
  root.write("file", "x");
  EXPECT_TRUE(fe::RemoveIfEmpty(root.str() + "/empty"));
  EXPECT_FALSE(fs::exists(root.path() / "empty"));
  EXPECT_FALSE(fe::RemoveIfEmpty(root.str() + "/full"));
  EXPECT_TRUE(fs::exists(root.path() / "full" / "file"));
  EXPECT_FALSE(fe::RemoveIfEmpty(root.str() + "/file"));
  EXPECT_TRUE(fs::exists(root.path() / "file"));
  EXPECT_FALSE(fe::RemoveIfEmpty(root.str() + "/missing"));
}

}  // namespace
}  // namespace kirmel::test
