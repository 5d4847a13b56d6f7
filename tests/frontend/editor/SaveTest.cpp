// A scenario and a pesticide are saved whole or not at all, and the editor
// knows when the model differs from what was last loaded or saved.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <stdexcept>
#include <filesystem>
#include <fstream>
#include <functional>

#include "EditorTestSupport.h"
#include "common/SmallFilesystem.h"
#include "common/Tree.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using files::TSaveStep;

const std::string CR(1, '\r');

// What a failed save must say: the file, the reason, and that nothing changed.
void ExpectNotSaved(const fe::EInOutError& e, const std::string& file, const std::string& reason,
                    const std::string& what, const std::string& name) {
  EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + file + "\": " + reason + CR + "The " +
                                       what + " \"" + name +
                                       "\" has not been saved; its files are as they were.");
}

// What a second editor over the same root reads back.
struct TLoaded {
  double FlowVelocity = 0;
  double HalfLifeWater = 0;
};
TLoaded Loaded(EditorFixture& f, const std::string& scenario, const std::string& pesticide) {
  fe::TKirmelEditor::TEnvironment env;
  env.Root = f.root.str();
  env.DecimalSeparator = '.';
  fe::TKirmelEditor other(std::move(env));
  EXPECT_TRUE(other.LoadScenario(scenario));
  EXPECT_TRUE(other.LoadPesticide(pesticide));
  return {other.Data().Hydrology().FlowVelocity(), other.Data().Solids().HalfLifeWater()};
}

// A notes file and a sub-folder of measured data that the user keeps in a
// scenario folder.
void AddUsersOwnFiles(const fs::path& dir) {
  std::ofstream(dir / "notes.txt") << "measured on 3 May";
  fs::create_directories(dir / "data");
  std::ofstream(dir / "data" / "wl.csv") << "1;2";
}

// Another program over the same root.  By default it waits only briefly for
// a save of the first: long enough where the test holds the lock throughout
// and the wait is to run out.
std::unique_ptr<fe::TKirmelEditor> OtherProgram(
    EditorFixture& f, std::chrono::milliseconds lockWait = std::chrono::milliseconds(100)) {
  fe::TKirmelEditor::TEnvironment env;
  env.Root = f.root.str();
  env.DecimalSeparator = '.';
  env.LockWait = lockWait;
  return std::make_unique<fe::TKirmelEditor>(std::move(env));
}

TEST(EditorSave, AFailureAtEachOfTheNineFilesKeepsThePreviousScenario) {
  EditorFixture f;
  f.data().Hydrology().SetFlowVelocity(20);
  f.save("S", "P");
  const fs::path dir = f.scenarioDir("S");
  // The user's own files beside the scenario's, and permission bits of his.
  AddUsersOwnFiles(dir);
  fs::permissions(dir / "HY.INP", fs::perms(0600));
  fs::permissions(dir / "SL.INP", fs::perms(0640));
  const auto before = DescribeTree(dir);

  f.data().Hydrology().SetFlowVelocity(30);
  for (const std::string& file : ScenarioFiles()) {
    SCOPED_TRACE(file);
    f.ed().SetSaveFault([&](TSaveStep step, const std::string& name) {
      return step == TSaveStep::WriteFile && name == file ? ENOSPC : 0;
    });
    try {
      f.ed().SaveScenario();
      ADD_FAILURE() << "the save did not fail";
    } catch (const fe::EInOutError& e) {
      ExpectNotSaved(e, (dir / file).string(), "No space left on device", "scenario", "S");
    }
    EXPECT_EQ(DescribeTree(dir), before);
    EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 20);
    EXPECT_EQ(EntryNames(f.ed().Settings().ScenariosDir()), std::vector<std::string>{"S"});
    EXPECT_TRUE(f.ed().ScenarioChanged());
  }

  // Then a save that goes through: the new values, the user's files and bits.
  f.ed().SetSaveFault({});
  f.ed().SaveScenario();
  EXPECT_FALSE(f.ed().ScenarioChanged());
  EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 30);
  auto after = DescribeTree(dir);
  EXPECT_EQ(after["notes.txt"], before.at("notes.txt"));
  EXPECT_EQ(after["data/wl.csv"], before.at("data/wl.csv"));
  EXPECT_EQ(after["."], before.at("."));
  EXPECT_EQ(fs::status(dir / "HY.INP").permissions(), fs::perms(0600));
  EXPECT_EQ(fs::status(dir / "SL.INP").permissions(), fs::perms(0640));
  EXPECT_EQ(EntryNames(f.ed().Settings().ScenariosDir()), std::vector<std::string>{"S"});
}

// The program killed at any step of a save leaves one whole version, old or
// new, that loads; the next save clears what the killed one left.  Where the
// filesystem cannot exchange two folders, a kill between its two moves
// leaves the old version aside, and the next load puts it back first; a kill
// while it removes the old version leaves nothing that would come back.
TEST(EditorSave, AKillAtAnyStepLeavesOneWholeVersion) {
  struct TKill {
    TSaveStep Step;
    std::string At;
    bool WithoutExchange = false;
  };
  std::vector<TKill> steps = {{TSaveStep::CreateFolder, "S"}};
  for (const std::string& file : ScenarioFiles()) {
    steps.push_back({TSaveStep::WriteFile, file});
    steps.push_back({TSaveStep::SyncFile, file});
  }
  for (TSaveStep step : {TSaveStep::CarryEntry, TSaveStep::SyncFolder, TSaveStep::Swap,
                         TSaveStep::SyncParent, TSaveStep::RemoveOld})
    steps.push_back({step, step == TSaveStep::CarryEntry ? "notes.txt" : "S"});
  for (TSaveStep step :
       {TSaveStep::MoveAside, TSaveStep::MoveIn, TSaveStep::SyncParent, TSaveStep::RemoveOld})
    steps.push_back({step, "S", true});
  for (const auto& [killed, at, withoutExchange] : steps) {
    SCOPED_TRACE(at + " at step " + std::to_string(static_cast<int>(killed)) +
                 (withoutExchange ? " without exchange" : ""));
    EditorFixture f;
    f.data().Hydrology().SetFlowVelocity(20);
    f.save("S", "P");
    std::ofstream(f.scenarioDir("S") + "/notes.txt") << "mine";
    const auto oldVersion = DescribeTree(f.scenarioDir("S"));
    f.data().Hydrology().SetFlowVelocity(30);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      f.ed().SetSaveFault([&](TSaveStep step, const std::string& name) {
        if (step == killed && name == at) ::kill(::getpid(), SIGKILL);
        return withoutExchange && step == TSaveStep::Swap ? EINVAL : 0;
      });
      try {
        f.ed().SaveScenario();
      } catch (...) {
      }
      ::_exit(0);  // not killed: the test fails below
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    // Killed between the two moves: nothing in place until whatever looks
    // for the scenario next (here a load) puts the old version back.
    if (killed == TSaveStep::MoveIn) {
      EXPECT_FALSE(fs::exists(f.scenarioDir("S")));
    }
    // Killed while it removes the old version, and the user renames the
    // scenario before anything tidies: no part of the old one comes back.
    const bool inPlace = killed == TSaveStep::SyncParent || killed == TSaveStep::RemoveOld;
    if (killed == TSaveStep::RemoveOld) {
      fs::rename(f.scenarioDir("S"), f.scenarioDir("T"));
      files::RestoreAsideFolders(f.ed().Settings().ScenariosDir());
      EXPECT_FALSE(fs::exists(f.scenarioDir("S")));
      fs::rename(f.scenarioDir("T"), f.scenarioDir("S"));
    }
    const double flow = Loaded(f, "S", "P").FlowVelocity;
    if (inPlace) {
      EXPECT_EQ(flow, 30);  // swapped in before the kill
      EXPECT_EQ(readFile(f.scenarioDir("S") + "/notes.txt"), "mine");
    } else {
      EXPECT_EQ(flow, 20);
      EXPECT_EQ(DescribeTree(f.scenarioDir("S")), oldVersion);
    }
    f.ed().SaveScenario();
    EXPECT_EQ(EntryNames(f.ed().Settings().ScenariosDir()), std::vector<std::string>{"S"});
    EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 30);
  }
}

TEST(EditorSave, PesticideAndFolderStepsFailTheSameWay) {
  EditorFixture f;
  f.data().Solids().SetHalfLifeWater(5);
  f.save("S", "P");
  const auto scenario = DescribeTree(f.scenarioDir("S"));
  const auto pesticide = DescribeTree(f.pesticideDir("P"));
  f.data().Solids().SetHalfLifeWater(9);
  f.data().Hydrology().SetFlowVelocity(30);
  for (TSaveStep failing : {TSaveStep::CreateFolder, TSaveStep::WriteFile, TSaveStep::SyncFile,
                            TSaveStep::SyncFolder, TSaveStep::Swap}) {
    SCOPED_TRACE(static_cast<int>(failing));
    f.ed().SetSaveFault([&](TSaveStep step, const std::string&) { return step == failing ? EIO : 0; });
    EXPECT_THROW(f.ed().SavePesticide(), fe::EInOutError);
    EXPECT_THROW(f.ed().SaveScenario(), fe::EInOutError);
    EXPECT_EQ(DescribeTree(f.pesticideDir("P")), pesticide);
    EXPECT_EQ(DescribeTree(f.scenarioDir("S")), scenario);
    EXPECT_EQ(Loaded(f, "S", "P").HalfLifeWater, 5);
  }
  f.ed().SetSaveFault([](TSaveStep step, const std::string&) {
    return step == TSaveStep::WriteFile ? ENOSPC : 0;
  });
  try {
    f.ed().SavePesticide();
    ADD_FAILURE() << "the save did not fail";
  } catch (const fe::EInOutError& e) {
    ExpectNotSaved(e, f.pesticideDir("P") + "/SU.INP", "No space left on device", "pesticide", "P");
  }
  EXPECT_EQ(EntryNames(f.ed().Settings().PesticidesDir()), std::vector<std::string>{"P"});
}

// Two programs save one scenario at once: the second, started while the
// first holds the old folder open, is refused until the first has finished,
// and what only the old folder held (the user's notes and data) survives,
// whether the folders are exchanged or moved one after the other.
TEST(EditorSave, TwoProgramsSavingOneScenarioLoseNothing) {
  for (const bool exchange : {true, false}) {
    SCOPED_TRACE(exchange ? "exchange" : "two moves");
    EditorFixture f;
    f.data().Hydrology().SetFlowVelocity(20);
    f.save("S", "P");
    const fs::path dir = f.scenarioDir("S");
    AddUsersOwnFiles(dir);

    auto second = OtherProgram(f);
    ASSERT_TRUE(second->LoadScenario("S"));
    second->Data().SetScenarioName("S");
    second->Data().Hydrology().SetFlowVelocity(40);
    second->SetSaveFault([&](TSaveStep step, const std::string&) {
      return !exchange && step == TSaveStep::Swap ? EINVAL : 0;
    });
    std::string refused;
    f.data().Hydrology().SetFlowVelocity(30);
    f.ed().SetSaveFault([&](TSaveStep step, const std::string& name) {
      // The first save has opened the old folder: the second one runs whole.
      if (step == TSaveStep::WriteFile && name == "WBNU.INP") {
        try {
          second->SaveScenario();
        } catch (const fe::EInOutError& e) {
          refused = e.what();
        }
      }
      return !exchange && step == TSaveStep::Swap ? EINVAL : 0;
    });
    f.ed().SaveScenario();
    EXPECT_EQ(refused, "Cannot save \"" + dir.string() +
                           "\": it is being saved by another program." + CR +
                           "The scenario \"S\" has not been saved; its files are as they were.");
    EXPECT_TRUE(second->ScenarioChanged());
    EXPECT_EQ(readFile((dir / "notes.txt").string()), "measured on 3 May");
    EXPECT_EQ(readFile((dir / "data" / "wl.csv").string()), "1;2");
    EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 30);

    // Afterwards the second program saves its own version over it.
    second->SaveScenario();
    EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 40);
    EXPECT_EQ(readFile((dir / "notes.txt").string()), "measured on 3 May");
    EXPECT_EQ(readFile((dir / "data" / "wl.csv").string()), "1;2");
    EXPECT_EQ(EntryNames(f.ed().Settings().ScenariosDir()), std::vector<std::string>{"S"});
  }
}

// A load while another program saves reads one version, never files of both.
TEST(EditorSave, ALoadDuringASaveReadsOneVersion) {
  EditorFixture f;
  f.data().TotalTime().SetTime(30, 0, 0, 0);  // WLNU.INP, read first
  f.data().Hydrology().SetFlowVelocity(20);   // HY.INP, read seventh
  f.save("S", "P");
  auto saver = OtherProgram(f);
  ASSERT_TRUE(saver->LoadScenario("S"));
  saver->Data().SetScenarioName("S");
  saver->Data().TotalTime().SetTime(40, 0, 0, 0);
  saver->Data().Hydrology().SetFlowVelocity(30);

  auto reader = OtherProgram(f);
  std::string refused;
  reader->SetSaveFault([&](TSaveStep step, const std::string& name) {
    if (step == TSaveStep::ReadFile && name == "WBNU.INP") {
      try {
        saver->SaveScenario();
      } catch (const fe::EInOutError& e) {
        refused = e.what();
      }
    }
    return 0;
  });
  ASSERT_TRUE(reader->LoadScenario("S"));
  const std::pair<double, double> read = {reader->Data().TotalTime().AsDays(),
                                          reader->Data().Hydrology().FlowVelocity()};
  EXPECT_TRUE(read == std::make_pair(30.0, 20.0) || read == std::make_pair(40.0, 30.0))
      << read.first << " days, " << read.second << " m/d";
  EXPECT_NE(refused.find("another program is reading it"), std::string::npos) << refused;
  EXPECT_TRUE(saver->ScenarioChanged());

  // A load that arrives while the save holds the scenario for longer than
  // the load waits is refused, and reads nothing.
  std::vector<std::string> shown;
  reader->SetSaveFault({});
  reader->SetMessageSink([&](const std::string& m) { shown.push_back(m); });
  reader->Data().Hydrology().SetFlowVelocity(55);
  bool loaded = true;
  saver->SetSaveFault([&](TSaveStep step, const std::string& name) {
    if (step == TSaveStep::WriteFile && name == "WBNU.INP") loaded = reader->LoadScenario("S");
    return 0;
  });
  saver->SaveScenario();
  EXPECT_FALSE(loaded);
  const std::string dir = f.scenarioDir("S");
  EXPECT_EQ(shown, std::vector<std::string>{"Cannot read the scenario \"" + dir +
                                            "\": it is being saved by another program. Try "
                                            "again in a moment."});
  EXPECT_EQ(reader->Data().Hydrology().FlowVelocity(), 55);

  // Something else than a file where the lock file should be refuses both,
  // naming it.
  const std::string lock = f.ed().Settings().ScenariosDir() + "/.S+lock";
  fs::create_directory(lock);
  const std::string problem = "its lock file \"" + lock +
                              "\" is a folder, not a file. Its owner or an administrator can "
                              "remove it.";
  EXPECT_FALSE(reader->LoadScenario("S"));
  EXPECT_EQ(shown.back(), "Cannot read the scenario \"" + dir + "\": " + problem);
  try {
    saver->SaveScenario();
    ADD_FAILURE() << "saved";
  } catch (const fe::EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot save \"" + dir + "\": " + problem + CR +
                                         "The scenario \"S\" has not been saved; its files are "
                                         "as they were.");
  }
}

// Where folders cannot be exchanged, a save killed between its two moves
// leaves the old version aside: a load that waited for that save puts it
// back and reads it.
TEST(EditorSave, ALoadThatWaitedForAKilledSaveReadsTheOldVersion) {
  EditorFixture f;
  f.data().Hydrology().SetFlowVelocity(20);
  f.save("S", "P");
  f.data().Hydrology().SetFlowVelocity(30);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    f.ed().SetSaveFault([&](TSaveStep step, const std::string&) {
      if (step == TSaveStep::MoveAside) {
        // The load comes meanwhile and waits.
        if (::write(ready[1], "x", 1) == 1) ::usleep(500000);
      }
      if (step == TSaveStep::MoveIn) ::kill(::getpid(), SIGKILL);
      return step == TSaveStep::Swap ? EINVAL : 0;
    });
    try {
      f.ed().SaveScenario();
    } catch (...) {
    }
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 20);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  ::close(ready[0]);
  ::close(ready[1]);
}

// A user who may not write SCENARIOS cannot make the lock file and loads
// without it: when the folder's owner saves while he reads, he reads again,
// and never takes a model made of two versions.
TEST(EditorSave, AUserWhoCannotMakeTheLockFileLoadsOneVersion) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to save as one user and load as another";
  EditorFixture f;
  f.data().TotalTime().SetTime(30, 0, 0, 0);  // WLNU.INP, read first
  f.data().Hydrology().SetFlowVelocity(20);   // HY.INP, read seventh
  f.save("S", "P");
  ::chmod(f.root.str().c_str(), 0755);
  // Root saves the other version when the load is about to read WBNU.INP.
  int toSaver[2], toReader[2];
  ASSERT_EQ(::pipe(toSaver), 0);
  ASSERT_EQ(::pipe(toReader), 0);
  const pid_t saver = ::fork();
  ASSERT_GE(saver, 0);
  if (saver == 0) {
    char byte = 0;
    if (::read(toSaver[0], &byte, 1) == 1) {
      f.data().TotalTime().SetTime(40, 0, 0, 0);
      f.data().Hydrology().SetFlowVelocity(30);
      f.ed().SaveScenario();
    }
    ::_exit(::write(toReader[1], "s", 1) == 1 ? 0 : 1);
  }
  std::string why;
  EXPECT_TRUE(RunUnprivileged({}, [&] {
    // The load reads again after the whole save, which takes seconds on a
    // busy machine; the wait only guards against a save that never ends.
    auto reader = OtherProgram(f, std::chrono::seconds(60));
    std::string shown;
    reader->SetMessageSink([&](const std::string& m) { shown += m + "\n"; });
    bool once = true;
    reader->SetSaveFault([&](TSaveStep step, const std::string& name) {
      char byte = 0;
      if (step == TSaveStep::ReadFile && name == "WBNU.INP" && once &&
          ::write(toSaver[1], "l", 1) == 1)
        once = ::read(toReader[0], &byte, 1) != 1;
      return 0;
    });
    if (!reader->LoadScenario("S")) throw std::runtime_error("not loaded: " + shown);
    const double days = reader->Data().TotalTime().AsDays();
    const double flow = reader->Data().Hydrology().FlowVelocity();
    if (once || days != 40 || flow != 30)
      throw std::runtime_error("read " + std::to_string(days) + " days and " +
                               std::to_string(flow) + " m/d");
  }, why)) << why;
  int status = 0;
  ASSERT_EQ(::waitpid(saver, &status, 0), saver);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(EntryNames(f.ed().Settings().ScenariosDir()), std::vector<std::string>{"S"});
}

// A scenario or pesticide that the user write-protected is not saved over,
// even by root: the message names the file, nothing on disk changes, and the
// model keeps its changes.  Save As to a new name still saves it, unless the
// folder of all scenarios is write-protected.
TEST(EditorSave, AWriteProtectedScenarioOrPesticideIsNotSavedOver) {
  EditorFixture f;
  f.save("S", "P");
  const std::string scenario = f.scenarioDir("S");
  const std::string pesticide = f.pesticideDir("P");
  auto protect = [](const std::string& dir, fs::perms files) {
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) fs::permissions(e.path(), files);
    fs::permissions(dir, fs::perms(0555));
  };
  protect(scenario, fs::perms(0444));
  protect(pesticide, fs::perms(0444));
  const auto scenarioBefore = DescribeTree(scenario);
  const auto pesticideBefore = DescribeTree(pesticide);
  f.data().Hydrology().SetFlowVelocity(30);
  f.data().Solids().SetHalfLifeWater(9);

  // The message, marked when the folder of all scenarios (pesticides) is
  // the one write-protected.
  auto refusal = [](const std::function<void()>& save) {
    try {
      save();
    } catch (const fe::EWriteProtected& e) {
      return (e.ParentFolder() ? "[parent] " : "") + std::string(e.what());
    } catch (const fe::EInOutError& e) {
      return "[not as write protection] " + std::string(e.what());
    }
    return std::string("saved");
  };
  EXPECT_EQ(refusal([&] { f.ed().SaveScenario(); }),
            "Cannot save over \"" + scenario + "/WLNU.INP\": the file is write-protected" + CR +
                "The scenario \"S\" has not been saved; its files are as they were.");
  EXPECT_EQ(refusal([&] { f.ed().SavePesticide(); }),
            "Cannot save over \"" + pesticide + "/SU.INP\": the file is write-protected" + CR +
                "The pesticide \"P\" has not been saved; its files are as they were.");
  EXPECT_EQ(DescribeTree(scenario), scenarioBefore);
  EXPECT_EQ(DescribeTree(pesticide), pesticideBefore);
  EXPECT_EQ(EntryNames(f.ed().Settings().ScenariosDir()), std::vector<std::string>{"S"});
  EXPECT_EQ(EntryNames(f.ed().Settings().PesticidesDir()), std::vector<std::string>{"P"});
  EXPECT_TRUE(f.ed().ScenarioChanged());
  EXPECT_TRUE(f.ed().PesticideChanged());

  // Writable files in a write-protected folder: the folder is named.
  protect(scenario, fs::perms(0644));
  EXPECT_EQ(refusal([&] { f.ed().SaveScenario(); }),
            "Cannot save over \"" + scenario + "\": the folder is write-protected" + CR +
                "The scenario \"S\" has not been saved; its files are as they were.");
  EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 10);

  // A writable scenario in a write-protected SCENARIOS: that folder is named.
  const std::string scenarios = f.ed().Settings().ScenariosDir();
  fs::permissions(scenario, fs::perms(0755));
  fs::permissions(scenarios, fs::perms(0555));
  EXPECT_EQ(refusal([&] { f.ed().SaveScenario(); }),
            "[parent] Cannot save \"" + scenario + "\": the folder \"" + scenarios +
                "\" is write-protected" + CR +
                "The scenario \"S\" has not been saved; its files are as they were.");
  // Nor under a new name, which has no files to keep.
  f.data().SetScenarioName("S2");
  EXPECT_EQ(refusal([&] { f.ed().SaveScenario(); }),
            "[parent] Cannot save \"" + scenarios + "/S2\": the folder \"" + scenarios +
                "\" is write-protected" + CR + "The scenario \"S2\" has not been saved.");
  EXPECT_EQ(EntryNames(scenarios), std::vector<std::string>{"S"});
  EXPECT_EQ(Loaded(f, "S", "P").FlowVelocity, 10);
  fs::permissions(scenarios, fs::perms(0755));

  f.data().SetPesticideName("P2");
  f.ed().SaveScenario();
  f.ed().SavePesticide();
  EXPECT_EQ(Loaded(f, "S2", "P2").FlowVelocity, 30);
  EXPECT_EQ(Loaded(f, "S2", "P2").HalfLifeWater, 9);
  fs::permissions(scenario, fs::perms(0755));
  fs::permissions(pesticide, fs::perms(0755));
}

TEST(EditorSave, FullFilesystemKeepsThePreviousScenarioAndPesticide) {
  TempDir scratch;
  SmallFilesystem disk(scratch.path() / "disk", "512k");
  if (!disk.Mounted()) GTEST_SKIP() << "needs root and a tmpfs mount";
  const fs::path root = scratch.path() / "disk";
  fs::create_directories(root / "SCENARIOS");
  fs::create_directories(root / "PESTICIDES");
  fe::TKirmelEditor::TEnvironment env;
  env.Root = root.string();
  env.DecimalSeparator = '.';
  fe::TKirmelEditor editor(std::move(env));
  editor.Data().SetScenarioName("S");
  editor.Data().SetPesticideName("P");
  editor.Data().Hydrology().SetFlowVelocity(20);
  editor.SaveScenario();
  editor.SavePesticide();
  const auto scenario = DescribeTree(root / "SCENARIOS" / "S");
  const auto pesticide = DescribeTree(root / "PESTICIDES" / "P");

  disk.Fill();
  editor.Data().Hydrology().SetFlowVelocity(30);
  editor.Data().Solids().SetHalfLifeWater(9);
  try {
    editor.SaveScenario();
    ADD_FAILURE() << "the save did not fail";
  } catch (const fe::EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("has not been saved"), std::string::npos) << e.what();
  }
  EXPECT_THROW(editor.SavePesticide(), fe::EInOutError);
  EXPECT_EQ(DescribeTree(root / "SCENARIOS" / "S"), scenario);
  EXPECT_EQ(DescribeTree(root / "PESTICIDES" / "P"), pesticide);
  EXPECT_EQ(EntryNames(root / "SCENARIOS"), std::vector<std::string>{"S"});
  EXPECT_EQ(EntryNames(root / "PESTICIDES"), std::vector<std::string>{"P"});

  disk.Empty();
  fe::TKirmelEditor::TEnvironment env2;
  env2.Root = root.string();
  fe::TKirmelEditor reader(std::move(env2));
  ASSERT_TRUE(reader.LoadScenario("S"));
  EXPECT_EQ(reader.Data().Hydrology().FlowVelocity(), 20);
  editor.SaveScenario();
  ASSERT_TRUE(reader.LoadScenario("S"));
  EXPECT_EQ(reader.Data().Hydrology().FlowVelocity(), 30);
}

TEST(EditorSave, FirstSaveLinkedFolderAndLeftoversOfAKilledSave) {
  EditorFixture f;
  // A new name: the folder is made by the save.
  f.data().SetScenarioName("New");
  f.ed().SaveScenario();
  EXPECT_EQ(EntryNames(f.scenarioDir("New")).size(), 9u);

  // A killed save left its folder behind; the next save removes it.
  const std::string scenarios = f.ed().Settings().ScenariosDir();
  const std::string leftover = scenarios + "/" + files::SavingPrefix("New") + "0123";
  fs::create_directories(leftover);
  std::ofstream(leftover + "/WLNU.INP") << "half";
  f.ed().SaveScenario();
  EXPECT_EQ(EntryNames(scenarios), std::vector<std::string>{"New"});

  // A scenario folder that is a link to a folder elsewhere stays a link.
  fs::create_directories(f.root.path() / "shared" / "S");
  fs::create_directory_symlink(f.root.path() / "shared" / "S", scenarios + "/Linked");
  f.data().SetScenarioName("Linked");
  f.data().Hydrology().SetFlowVelocity(42);
  f.ed().SaveScenario();
  EXPECT_TRUE(fs::is_symlink(scenarios + "/Linked"));
  EXPECT_EQ(EntryNames(f.root.path() / "shared" / "S").size(), 9u);
  f.data().Hydrology().SetFlowVelocity(1);
  ASSERT_TRUE(f.ed().LoadScenario("Linked"));
  EXPECT_EQ(f.data().Hydrology().FlowVelocity(), 42);

  // The longest name that Save As takes is saved again and again, also
  // where folders cannot be exchanged.
  f.data().SetScenarioName(std::string(files::LongestFolderName(), 'n'));
  f.ed().SaveScenario();
  f.ed().SetSaveFault([](TSaveStep step, const std::string&) {
    return step == TSaveStep::Swap ? EINVAL : 0;
  });
  for (int save = 0; save < 2; ++save) EXPECT_NO_THROW(f.ed().SaveScenario()) << save;
}

TEST(EditorChanges, TheModelIsComparedWithWhatWasLastLoadedOrSaved) {
  EditorFixture f;
  fe::TKirmelEditor& ed = f.ed();
  EXPECT_FALSE(ed.ScenarioChanged());
  EXPECT_FALSE(ed.PesticideChanged());

  // A value changed and changed back is no change.
  f.data().Hydrology().SetFlowVelocity(30);
  EXPECT_TRUE(ed.ScenarioChanged());
  EXPECT_FALSE(ed.PesticideChanged());
  f.data().Hydrology().SetFlowVelocity(10);
  EXPECT_FALSE(ed.ScenarioChanged());

  // Output switches and segments are the scenario's; the substance is the
  // pesticide's, its background concentration in air the scenario's.
  ed.Settings().op_icwb = true;
  EXPECT_TRUE(ed.ScenarioChanged());
  ed.Settings().op_icwb = false;
  f.data().Ditch().Node(80).SetOutput(false);
  EXPECT_TRUE(ed.ScenarioChanged());
  f.data().Ditch().Node(80).SetOutput(true);
  f.data().Solids().SetBackgroundConcentration(0.5);
  EXPECT_TRUE(ed.ScenarioChanged());
  EXPECT_FALSE(ed.PesticideChanged());
  f.data().Solids().SetBackgroundConcentration(0);
  f.data().Solids().SetMolecularMass(300);
  EXPECT_FALSE(ed.ScenarioChanged());
  EXPECT_TRUE(ed.PesticideChanged());

  // Saving makes both unchanged, whatever day it is later.
  f.save("S", "P");
  EXPECT_FALSE(ed.ScenarioChanged());
  EXPECT_FALSE(ed.PesticideChanged());
  ed.SetDateProvider([] { return std::string("01-01-2031"); });
  ed.Settings().OutputOptions.WriteFileName = false;
  EXPECT_FALSE(ed.ScenarioChanged());

  // Another name is another scenario; loading takes the loaded one as it is.
  f.data().SetScenarioName("T");
  EXPECT_TRUE(ed.ScenarioChanged());
  f.data().Hydrology().SetFlowVelocity(77);
  ASSERT_TRUE(ed.LoadScenario("S"));
  EXPECT_TRUE(ed.ScenarioChanged());  // still named T
  f.data().SetScenarioName("S");
  EXPECT_FALSE(ed.ScenarioChanged());
  f.data().Solids().SetMolecularMass(200);
  ASSERT_TRUE(ed.LoadPesticide("P"));
  EXPECT_FALSE(ed.PesticideChanged());

  // A load that fails changes nothing, the baseline included.
  f.data().Hydrology().SetFlowVelocity(55);
  fs::remove(f.scenarioDir("S") + "/SL.INP");
  EXPECT_FALSE(ed.LoadScenario("S"));
  EXPECT_TRUE(ed.ScenarioChanged());
  ed.MarkScenarioUnchanged();
  EXPECT_FALSE(ed.ScenarioChanged());
}

}  // namespace
}  // namespace kirmel::test
