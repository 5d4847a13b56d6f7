// The programs installed as Linux programs are: cmake --install into a
// prefix puts both programs, the example and a desktop entry in place, and
// the installed KirmelGUI starts an empty root on the example, which runs
// through the installed kernel.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Process.h"
#include "RunFixture.h"
#include "frontend/editor/Examples.h"
#include "platform/Version.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

// One install for all tests here, into a prefix with a blank in its name.
class Installation {
  TempDir dir_;  // first: the paths below lie in it

 public:
  static Installation& Get() {
    static Installation installation;
    return installation;
  }
  std::string prefix;
  std::string bin;
  TProcessResult result;

 private:
  Installation() : prefix(dir_.file("prefix dir")), bin(prefix + "/bin") {
    // Test programs that run at the same time install one after the other:
    // every install writes the build's list of installed files.
    const int lock = ::open(KIRMEL_BINARY_DIR "/install-test.lock", O_CREAT | O_RDWR | O_CLOEXEC,
                            0644);
    if (lock >= 0) ::flock(lock, LOCK_EX);
    const char* path = std::getenv("PATH");
    result = RunProcess(KIRMEL_CMAKE_COMMAND, {"--install", KIRMEL_BINARY_DIR, "--prefix", prefix},
                        {std::string("PATH=") + (path ? path : "/usr/bin:/bin")});
    if (lock >= 0) ::close(lock);
  }
};

const Installation& Install() {
  const Installation& i = Installation::Get();
  EXPECT_EQ(i.result.Status, 0) << i.result.Out << i.result.Err;
  return i;
}

TEST(Install, PutsTheProgramsTheExampleAndTheDesktopEntryInPlace) {
  const Installation& i = Install();
  for (const char* program : {"KIRMEL_12", "KirmelGUI"}) {
    const fs::path p = fs::path(i.bin) / program;
    EXPECT_TRUE(fs::is_regular_file(p)) << p;
    EXPECT_NE(fs::status(p).permissions() & fs::perms::owner_exec, fs::perms::none) << p;
  }
  const std::string examples = i.prefix + "/share/kirmel/examples";
  EXPECT_EQ(fe::InstalledExamplesDir(i.bin), examples);
  const std::vector<fe::TExampleFile> installed = fe::ReadExample(examples);
  const std::vector<fe::TExampleFile> builtin = fe::BuiltinExample();
  ASSERT_EQ(installed.size(), builtin.size());
  for (std::size_t k = 0; k < installed.size(); ++k) {
    EXPECT_EQ(installed[k].Path, builtin[k].Path);
    EXPECT_EQ(installed[k].Content, builtin[k].Content) << installed[k].Path;
  }

  const std::string entry = readFile(i.prefix + "/share/applications/kirmel.desktop");
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u) << entry;
  for (const std::string& line : std::vector<std::string>{"Type=Application\n", "Exec=\"" + i.bin + "/KirmelGUI\"\n",
        "TryExec=" + i.bin + "/KirmelGUI\n", "Terminal=false\n", "Categories=Science;Geoscience;\n"})
    EXPECT_NE(entry.find("\n" + line), std::string::npos) << line << entry;

  const TProcessResult v = RunProcess(i.bin + "/KirmelGUI", {"--version"}, {"PATH=/usr/bin:/bin"});
  EXPECT_EQ(v.Out, "KirmelGUI " + version::gui() + " (KIRMEL " + version::kernel() + ")\n");
}

TEST(Install, TheInstalledProgramStartsAnEmptyRootOnTheExample) {
  const Installation& i = Install();
  TempDir scratch;
  const std::string root = scratch.file("root");
  fs::create_directories(scratch.file("home"));
  TChildProcess gui(i.bin + "/KirmelGUI", {},
                    {"PATH=/usr/bin:/bin", "HOME=" + scratch.file("home"), "KIRMEL_ROOT=" + root,
                     "QT_QPA_PLATFORM=offscreen", "KIRMEL_SPLASH_MS=0",
                     "XDG_RUNTIME_DIR=" + scratch.file("home")});
  ASSERT_TRUE(gui.Started());
  // The example is copied in before the main window makes the root's other
  // folders; the program is still up when they are there.
  const bool up = WaitFor(
      [&] { return gui.Ended() || fs::is_directory(root + "/GUI"); }, 60000);
  ASSERT_TRUE(up);
  ASSERT_FALSE(gui.Ended()) << gui.Wait().Err;
  gui.Terminate();
  gui.Wait();
  for (const fe::TExampleFile& f : fe::BuiltinExample())
    EXPECT_EQ(readFile(root + "/" + f.Path), f.Content) << f.Path;
  for (const char* folder : {"SCENARIOS", "PESTICIDES", "RUNS", "GUI"})
    EXPECT_TRUE(fs::is_directory(root + "/" + folder)) << folder;
}

// The window on a root seeded as the installed program seeds it: it opens
// the example, and the installed kernel runs it (one day of it) to the end.
class InstalledRun : public RunFixture {};

TEST_F(InstalledRun, TheWindowOpensTheExampleAndTheInstalledKernelRunsIt) {
  const Installation& i = Install();
  const fe::TSeedResult seeded = fe::SeedRootWithExample(root.str(), i.bin);
  EXPECT_EQ(seeded.Error, "");
  EXPECT_EQ(seeded.Copied,
            (std::vector<std::string>{"SCENARIOS/NLStandard_sp", "PESTICIDES/Cpf"}));
  UseKernelIn(i.bin);
  Start();
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "NLStandard_sp");
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "Cpf");

  Enter("TTDays", "1");
  ASSERT_TRUE(ClickStartsRun("RunKirmelButton"));
  ASSERT_TRUE(WaitEnds(120000));
  EXPECT_TRUE(Errors().empty()) << (Errors().empty() ? "" : Errors().front());
  const std::string run = RunDir();
  // The status file holds the kernel's exit status, then the run's id.
  const std::string status = readFile(run + "/kirmel.status");
  EXPECT_EQ(status.substr(0, status.find('\n') + 1), "0\n") << status;
  const std::string log = readFile(run + "/RUN.LOG");
  EXPECT_NE(log.find("     end of simulation\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Stop - Program terminated.\n"), std::string::npos) << log;
  for (const char* file : {"wlsoco.out", "wlmb.out", "wbmball.out", "dbdit.out"})
    EXPECT_GT(fs::file_size(run + "/" + file), 0u) << file;
}

}  // namespace
}  // namespace kirmel::test
