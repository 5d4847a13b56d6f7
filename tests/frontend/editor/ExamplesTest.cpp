// The example that a root without scenarios starts with: where it comes
// from, when it is copied, and that nothing saved is ever written over.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/TempDir.h"
#include "frontend/editor/Examples.h"
#include "platform/FolderSave.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

const std::string kSourceExamples = std::string(KIRMEL_SOURCE_DIR) + "/examples";

std::vector<std::string> Paths(const std::vector<fe::TExampleFile>& files) {
  std::vector<std::string> out;
  for (const fe::TExampleFile& f : files) out.push_back(f.Path);
  return out;
}

// What the root holds, hidden entries included, relative to it.
std::vector<std::string> Tree(const fs::path& root) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    out.push_back(e.path().lexically_relative(root).string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(Examples, TheBuiltInCopyIsTheSourceTreesExample) {
  const std::vector<fe::TExampleFile> builtin = fe::BuiltinExample();
  const std::vector<fe::TExampleFile> source = fe::ReadExample(kSourceExamples);
  ASSERT_EQ(Paths(builtin), Paths(source));
  EXPECT_EQ(builtin.size(), 10u);
  EXPECT_EQ(builtin.front().Path, "PESTICIDES/Cpf/SU.INP");
  for (std::size_t i = 0; i < builtin.size(); ++i)
    EXPECT_EQ(builtin[i].Content, source[i].Content) << builtin[i].Path;
  EXPECT_THROW(fe::ReadExample(kSourceExamples + "/no-such"), std::runtime_error);
}

TEST(Examples, AnEmptyRootGetsTheWholeExample) {
  TempDir dir;
  const std::string root = dir.file("new root");  // not there yet
  EXPECT_FALSE(fe::RootHasScenarios(root));
  const fe::TSeedResult r = fe::SeedExample(root, fe::BuiltinExample());
  EXPECT_EQ(r.Error, "");
  EXPECT_EQ(r.Copied, (std::vector<std::string>{"SCENARIOS/NLStandard_sp", "PESTICIDES/Cpf"}));
  for (const fe::TExampleFile& f : fe::BuiltinExample())
    EXPECT_EQ(readFile(root + "/" + f.Path), f.Content) << f.Path;
  // No hidden folder is left from the copying.
  for (const std::string& p : Tree(root)) EXPECT_EQ(p.find("/."), std::string::npos) << p;
  EXPECT_TRUE(fe::RootHasScenarios(root));

  // A second start changes nothing, also after the user changed a file.
  std::ofstream(root + "/SCENARIOS/NLStandard_sp/HY.INP") << "mine";
  fs::remove_all(root + "/PESTICIDES/Cpf");
  EXPECT_TRUE(fe::SeedExample(root, fe::BuiltinExample()).Copied.empty());
  EXPECT_EQ(readFile(root + "/SCENARIOS/NLStandard_sp/HY.INP"), "mine");
  EXPECT_FALSE(fs::exists(root + "/PESTICIDES/Cpf"));
}

TEST(Examples, OnlyARootWithoutScenariosIsSeededAndSavedFoldersStay) {
  // Any scenario folder keeps the root as it is.
  {
    TempDir root;
    fs::create_directories(root.path() / "SCENARIOS" / "Mine");
    EXPECT_TRUE(fe::SeedExample(root.str(), fe::BuiltinExample()).Copied.empty());
    EXPECT_EQ(Tree(root.path()), (std::vector<std::string>{"SCENARIOS", "SCENARIOS/Mine"}));
  }
  // A hidden folder (a save that was cut off) and a file are no scenarios;
  // a pesticide saved under the example's name, in other letters, stays.
  {
    TempDir root;
    fs::create_directories(root.path() / "SCENARIOS" / ".Mine.tmp");
    std::ofstream(root.file("SCENARIOS/notes.txt")) << "x";
    fs::create_directories(root.path() / "pesticides" / "CPF");
    std::ofstream(root.file("pesticides/CPF/SU.INP")) << "my pesticide";
    EXPECT_FALSE(fe::RootHasScenarios(root.str()));
    const fe::TSeedResult r = fe::SeedExample(root.str(), fe::BuiltinExample());
    EXPECT_EQ(r.Error, "");
    EXPECT_EQ(r.Copied, std::vector<std::string>{"SCENARIOS/NLStandard_sp"});
    EXPECT_EQ(readFile(root.file("pesticides/CPF/SU.INP")), "my pesticide");
    EXPECT_FALSE(fs::exists(root.path() / "PESTICIDES"));
    EXPECT_TRUE(fs::exists(root.path() / "SCENARIOS" / "NLStandard_sp" / "WLNU.INP"));
  }
}

TEST(Examples, AFailureNamesThePlaceAndLeavesNothingHalfWritten) {
  TempDir root;
  std::ofstream(root.file("SCENARIOS")) << "a file where the folder should be";
  const fe::TSeedResult r = fe::SeedExample(root.str(), fe::BuiltinExample());
  EXPECT_TRUE(r.Copied.empty());
  EXPECT_EQ(r.Error.rfind("Cannot copy the example into \"" + root.str() +
                              "/SCENARIOS/NLStandard_sp\": ",
                          0),
            0u)
      << r.Error;
  EXPECT_EQ(readFile(root.file("SCENARIOS")), "a file where the folder should be");
  EXPECT_EQ(Tree(root.path()), std::vector<std::string>{"SCENARIOS"});
}

// At start-up, before the example is copied in: a scenario that a killed
// save left aside goes back (it is then no root without scenarios), and a
// copy of the example (the built-in one or the installed one) whose copying
// process was killed goes; one whose process is there, also another user's,
// stays.  Folders of the user's that only look alike stay, whatever they
// hold, and so do a file and a link of a copy's name.
TEST(Examples, StartUpPutsRightWhatKilledProgramsLeft) {
  TempDir root;
  std::string dead[2];
  for (std::string& pid : dead) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    pid = std::to_string(child);
  }
  const std::string live = std::to_string(::getppid());
  // The example installed for the program in prefix/bin.
  fs::create_directories(root.path() / "prefix" / "bin");
  root.write("prefix/share/kirmel/examples/SCENARIOS/Inst_sp/HY.INP", "installed");
  root.write("prefix/share/kirmel/examples/PESTICIDES/InstP/SU.INP", "installed");
  root.write("SCENARIOS/" + files::AsidePrefix("Mine") + "0123/WLNU.INP", "mine");
  root.write("SCENARIOS/.NLStandard_sp.example-" + dead[0] + "/WLNU.INP", "half");
  root.write("SCENARIOS/.Inst_sp.example-" + dead[0] + "/HY.INP", "half");
  root.write("PESTICIDES/.Cpf.example-" + dead[0] + "/SU.INP", "half");
  root.write("PESTICIDES/.Cpf.example-" + live + "/SU.INP", "being copied");
  const std::vector<std::string> users = {
      "SCENARIOS/.old-S.example-20240101",            // not a copy of the example
      "SCENARIOS/NLStandard_sp.example-" + dead[0],   // not hidden
      "SCENARIOS/.NLStandard_sp.example-abc",         // no process number
      "PESTICIDES/.Cpf.example-" + dead[0] + "x"};
  for (const std::string& folder : users) root.write(folder + "/notes.txt", "mine");
  const std::string file = "SCENARIOS/.NLStandard_sp.example-" + dead[1];
  const std::string link = "PESTICIDES/.InstP.example-" + dead[1];
  root.write(file, "mine");
  fs::create_directory_symlink("../SCENARIOS/Mine", root.path() / link);
  // Tidied by a user to whom the copying process that is there (root's)
  // does not belong.
  std::string why;
  ASSERT_TRUE(RunUnprivileged(
                  root.path(), [&] { fe::TidyRoot(root.str(), root.file("prefix/bin")); }, why))
      << why;
  std::vector<std::string> expected = {
      "PESTICIDES", "PESTICIDES/.Cpf.example-" + live,
      "PESTICIDES/.Cpf.example-" + live + "/SU.INP", "SCENARIOS", "SCENARIOS/Mine",
      "SCENARIOS/Mine/WLNU.INP", file, link};
  for (const std::string& folder : users) {
    expected.push_back(folder);
    expected.push_back(folder + "/notes.txt");
  }
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> tree = Tree(root.path());
  std::erase_if(tree, [](const std::string& p) { return p.starts_with("prefix"); });
  EXPECT_EQ(tree, expected);
  EXPECT_TRUE(fe::SeedExample(root.str(), fe::BuiltinExample()).Copied.empty());
}

TEST(Examples, TheInstalledCopyComesFirstThenTheBuiltInOne) {
  TempDir prefix;
  fs::create_directories(prefix.path() / "bin");
  const std::string bin = prefix.file("bin");
  EXPECT_EQ(fe::InstalledExamplesDir(bin), "");
  const fs::path share = prefix.path() / "share" / "kirmel" / "examples";
  fs::create_directories(share / "SCENARIOS" / "Other_sp");
  std::ofstream(share / "SCENARIOS" / "Other_sp" / "HY.INP") << "installed";
  EXPECT_EQ(fe::InstalledExamplesDir(bin), "");  // no PESTICIDES: not an example
  fs::create_directories(share / "PESTICIDES" / "P");
  std::ofstream(share / "PESTICIDES" / "P" / "SU.INP") << "su";
  EXPECT_EQ(fe::InstalledExamplesDir(bin), share.string());

  TempDir root;
  fe::TSeedResult r = fe::SeedRootWithExample(root.str(), bin);
  EXPECT_EQ(r.Copied, (std::vector<std::string>{"SCENARIOS/Other_sp", "PESTICIDES/P"}));
  EXPECT_EQ(readFile(root.file("SCENARIOS/Other_sp/HY.INP")), "installed");

  TempDir other;
  r = fe::SeedRootWithExample(other.str(), other.file("nowhere/bin"));
  EXPECT_EQ(r.Copied, (std::vector<std::string>{"SCENARIOS/NLStandard_sp", "PESTICIDES/Cpf"}));
}

}  // namespace
}  // namespace kirmel::test
