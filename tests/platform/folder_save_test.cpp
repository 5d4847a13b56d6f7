// Saving a folder as one unit: what the new version keeps of the old one,
// the fallback when the filesystem cannot exchange two folders, leftovers of
// killed saves, and single files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>

#include "common/TempDir.h"
#include "common/Tree.h"
#include "platform/FolderSave.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using files::TFolderSave;
using files::TSaveError;
using files::TSaveStep;

// A folder with two files the save writes and entries it does not.
struct Folder {
  TempDir root;
  fs::path dir = root.path() / "S";
  Folder() {
    fs::create_directories(dir / "notes" / "deeper");
    root.write("S/A.INP", "old a");
    root.write("S/b.inp", "old b");  // the save asks for B.INP
    root.write("S/measured.txt", "1 2 3");
    root.write("S/notes/deeper/n.txt", "note");
    fs::create_symlink("measured.txt", dir / "link");
    ::mkfifo((dir / "pipe").c_str(), 0640);
    ::chmod((dir / "A.INP").c_str(), 0640);
    ::chmod((dir / "b.inp").c_str(), 0600);
    ::chmod((dir / "notes").c_str(), 0750);
    ::chmod(dir.c_str(), 0710);
  }
  void Save(const files::TSaveFault& fault = {}) {
    TFolderSave save(dir.string(), fault);
    save.WriteFile("A.INP", "new a");
    save.WriteFile("B.INP", "new b");
    save.Commit();
  }
};

// What a save of `dir` that waits `wait` for its lock says when it is
// refused; "saved" when it saves.
std::string SaveRefusal(const fs::path& dir, std::chrono::milliseconds wait) {
  try {
    TFolderSave other(dir.string(), {}, wait);
    other.WriteFile("A.INP", "other a");
    other.Commit();
  } catch (const TSaveError& e) {
    return e.what();
  }
  return "saved";
}

TEST(FolderSave, NewVersionKeepsNamesModesAndEverythingItDoesNotWrite) {
  Folder f;
  std::map<std::string, std::string> expected = DescribeTree(f.dir);
  expected["A.INP"] = "416 file new a";  // 0640
  expected["b.inp"] = "384 file new b";  // 0600, under its own name
  struct stat st;
  ::stat((f.dir / "measured.txt").c_str(), &st);
  const ino_t measured = st.st_ino;
  f.Save();
  EXPECT_EQ(DescribeTree(f.dir), expected);
  // Carried over as a hard link, not copied.
  ::stat((f.dir / "measured.txt").c_str(), &st);
  EXPECT_EQ(st.st_ino, measured);
  EXPECT_EQ(EntryNames(f.root.path()), std::vector<std::string>{"S"});
}

TEST(FolderSave, AFailureAtAnyStepBeforeTheSwapLeavesTheOldFolder) {
  const std::pair<TSaveStep, std::string> steps[] = {
      {TSaveStep::CreateFolder, "S"}, {TSaveStep::WriteFile, "A.INP"},
      {TSaveStep::SyncFile, "b.inp"}, {TSaveStep::CarryEntry, "notes/deeper/n.txt"},
      {TSaveStep::CarryEntry, "pipe"}, {TSaveStep::SyncFolder, "S"},
      {TSaveStep::Swap, "S"},          {TSaveStep::MoveAside, "S"},
      {TSaveStep::MoveIn, "S"}};
  for (const auto& [step, name] : steps) {
    SCOPED_TRACE(name + " at step " + std::to_string(static_cast<int>(step)));
    Folder f;
    const auto before = DescribeTree(f.dir);
    // The two fallback steps are reached when the exchange is refused.
    const bool fallback = step == TSaveStep::MoveAside || step == TSaveStep::MoveIn;
    auto fault = [&](TSaveStep s, const std::string& n) {
      if (fallback && s == TSaveStep::Swap) return EINVAL;
      return s == step && n == name ? ENOSPC : 0;
    };
    try {
      f.Save(fault);
      ADD_FAILURE() << "no failure";
    } catch (const TSaveError& e) {
      EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos)
          << e.what();
      EXPECT_FALSE(e.InPlace());
    }
    EXPECT_EQ(DescribeTree(f.dir), before);
    EXPECT_EQ(EntryNames(f.root.path()), std::vector<std::string>{"S"});
  }
}

TEST(FolderSave, WithoutExchangeTheFoldersAreMovedOneAfterTheOther) {
  Folder f;
  f.Save([](TSaveStep s, const std::string&) { return s == TSaveStep::Swap ? ENOSYS : 0; });
  EXPECT_EQ(readFile((f.dir / "A.INP").string()), "new a");
  EXPECT_EQ(readFile((f.dir / "notes/deeper/n.txt").string()), "note");
  EXPECT_EQ(EntryNames(f.root.path()), std::vector<std::string>{"S"});
}

TEST(FolderSave, FailureToConfirmAfterTheSwapSaysTheNewVersionIsInPlace) {
  Folder f;
  try {
    f.Save([](TSaveStep s, const std::string&) { return s == TSaveStep::SyncParent ? EIO : 0; });
    ADD_FAILURE() << "no failure";
  } catch (const TSaveError& e) {
    EXPECT_TRUE(e.InPlace());
    EXPECT_NE(std::string(e.what()).find("has been saved"), std::string::npos);
  }
  EXPECT_EQ(readFile((f.dir / "A.INP").string()), "new a");
  EXPECT_EQ(EntryNames(f.root.path()), std::vector<std::string>{"S"});
}

TEST(FolderSave, FirstSaveLinkedFolderAndFileInTheWay) {
  TempDir root;
  // A folder that does not exist yet; the file name is taken as given.
  {
    TFolderSave save((root.path() / "New").string());
    EXPECT_EQ(save.FileName("X.INP"), "X.INP");
    save.WriteFile("X.INP", "x");
    save.Commit();
  }
  EXPECT_EQ(readFile((root.path() / "New/X.INP").string()), "x");

  // A linked folder stays a link; its target gets the new version.
  fs::create_directories(root.path() / "elsewhere" / "Real");
  root.write("elsewhere/Real/X.INP", "old");
  root.write("elsewhere/Real/keep.txt", "keep");
  fs::create_directory_symlink(root.path() / "elsewhere" / "Real", root.path() / "Linked");
  {
    TFolderSave save((root.path() / "Linked").string());
    save.WriteFile("X.INP", "new");
    save.Commit();
  }
  EXPECT_TRUE(fs::is_symlink(root.path() / "Linked"));
  EXPECT_EQ(readFile((root.path() / "Linked/X.INP").string()), "new");
  EXPECT_EQ(readFile((root.path() / "elsewhere/Real/keep.txt").string()), "keep");

  // A link that leads nowhere, and a file where the folder should be.
  fs::create_directory_symlink(root.path() / "gone", root.path() / "Dangling");
  EXPECT_THROW(TFolderSave((root.path() / "Dangling").string()), TSaveError);
  root.write("Plain", "not a folder");
  EXPECT_THROW(TFolderSave((root.path() / "Plain").string()), TSaveError);
  EXPECT_EQ(readFile((root.path() / "Plain").string()), "not a folder");
}

TEST(FolderSave, LeftoversOfKilledSavesGoButNotThoseOfARunningSave) {
  Folder f;
  const std::string prefix = files::SavingPrefix("S");
  // A killed save left a folder and a planted link; another save is running.
  fs::create_directories(f.root.path() / (prefix + "dead") / "sub");
  f.root.write(prefix + "dead/sub/WLNU.INP", "half");
  fs::create_symlink(f.root.path() / "S", f.root.path() / (prefix + "link"));
  fs::create_directories(f.root.path() / (prefix + "live"));
  int live = ::open((f.root.path() / (prefix + "live")).c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(live, 0);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);
  // Another scenario's leftovers are not this save's business.
  fs::create_directories(f.root.path() / (files::SavingPrefix("T") + "dead"));

  f.Save();
  EXPECT_EQ(EntryNames(f.root.path()),
            (std::vector<std::string>{prefix + "live", files::SavingPrefix("T") + "dead", "S"}));
  EXPECT_EQ(readFile((f.dir / "measured.txt").string()), "1 2 3");  // the link's target is intact
  ::close(live);
}

TEST(FolderSave, AnOldVersionMovedAsideByAKilledSaveIsPutBack) {
  Folder f;
  const auto before = DescribeTree(f.dir);
  const fs::path aside = f.root.path() / (files::AsidePrefix("S") + "0123");
  fs::rename(f.dir, aside);
  fs::create_directories(f.root.path() / (files::SavingPrefix("S") + "4567"));  // the new one
  f.Save();
  auto after = DescribeTree(f.dir);
  EXPECT_EQ(after["notes/deeper/n.txt"], before.at("notes/deeper/n.txt"));
  EXPECT_EQ(after["b.inp"], "384 file new b");
  EXPECT_EQ(after["."], before.at("."));
  EXPECT_EQ(EntryNames(f.root.path()), std::vector<std::string>{"S"});
}

TEST(FolderSave, AReadOnlySubFolderIsCarriedWithoutLeavingACopyBehind) {
  TempDir scratch;
  // Within a folder of its own, which the unprivileged user may write.
  const fs::path parent = scratch.path() / "SCENARIOS";
  const fs::path dir = parent / "S";
  ::chmod(scratch.str().c_str(), 0711);
  fs::create_directories(dir / "notes");
  scratch.write("SCENARIOS/S/A.INP", "old a");
  scratch.write("SCENARIOS/S/notes/n.txt", "note");
  ::chmod((dir / "notes").c_str(), 0555);
  std::string why;
  const bool ran = RunUnprivileged(parent, [&] {
    for (const char* text : {"new a", "newer a"}) {
      TFolderSave save(dir.string());
      save.WriteFile("A.INP", text);
      save.Commit();
    }
  }, why);
  if (!ran) GTEST_SKIP() << why;
  EXPECT_EQ(EntryNames(parent), std::vector<std::string>{"S"});
  EXPECT_EQ(readFile((dir / "A.INP").string()), "newer a");
  EXPECT_EQ(readFile((dir / "notes/n.txt").string()), "note");
  EXPECT_EQ(fs::status(dir / "notes").permissions(), fs::perms(0555));
}

// A save by another user meets a lock file in the two ways it can: one that
// a save under a umask that keeps others out made (opened up to every user:
// it waits and is refused as busy, and never saves beside it unlocked), and
// one left with mode 0600 that it cannot open (counted as held for the whole
// wait, then named as a lock file that cannot be opened; it does not save).
TEST(FolderSave, AnotherUsersSaveMeetsTheLockFileWhateverItsMode) {
  TempDir scratch;
  const fs::path parent = scratch.path() / "SCENARIOS";
  const fs::path dir = parent / "S";
  ::chmod(scratch.str().c_str(), 0711);
  fs::create_directories(dir);
  scratch.write("SCENARIOS/S/A.INP", "old a");
  std::string why;
  {
    const mode_t umask = ::umask(077);
    TFolderSave running(dir.string());
    ::umask(umask);
    const bool ran = RunUnprivileged(dir, [&] {
      const std::string refused = SaveRefusal(dir, std::chrono::milliseconds(200));
      if (refused != "Cannot save \"" + dir.string() + "\": it is being saved by another program.")
        throw std::runtime_error(refused);
    }, why);
    if (!ran) GTEST_SKIP() << why;
  }
  if (::geteuid() != 0) GTEST_SKIP() << "the rest needs another user's file";
  // A leftover of root's that the other user cannot open, in a folder he
  // could save in.
  const fs::path lock = parent / ".S+lock";
  ::close(::open(lock.c_str(), O_CREAT | O_WRONLY, 0600));
  ::chown(parent.c_str(), kNobody, kNobody);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(RunUnprivileged(dir, [&] {
    const std::string expected = "\"" + dir.string() + "\": its lock file \"" + lock.string() +
                                 "\" cannot be opened (Permission denied). Its owner or an "
                                 "administrator can remove it.";
    const std::string refused = SaveRefusal(dir, std::chrono::milliseconds(300));
    if (refused != "Cannot save " + expected) throw std::runtime_error(refused);
    if (files::TFolderReadLock(dir.string(), std::chrono::milliseconds(0)).Problem() !=
        expected.substr(expected.find(": ") + 2))
      throw std::runtime_error("a load reads it");
  }, why));
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
  EXPECT_EQ(readFile((dir / "A.INP").string()), "old a");
}

// Only a regular file is a lock file: a named pipe there would block every
// open, and a folder or a link would leave saves unlocked.  Each refuses
// saves and loads, naming it.
TEST(FolderSave, WhatIsNotALockFileRefusesSavesAndLoads) {
  Folder f;
  const fs::path lock = f.root.path() / ".S+lock";
  const std::pair<std::string, std::function<void()>> kinds[] = {
      {"a named pipe", [&] { ::mkfifo(lock.c_str(), 0644); }},
      {"a folder", [&] { fs::create_directory(lock); }},
      {"a symbolic link", [&] { fs::create_symlink("S/A.INP", lock); }}};
  ::alarm(60);  // a save that blocks on the pipe ends the test
  for (const auto& [kind, make] : kinds) {
    SCOPED_TRACE(kind);
    make();
    const std::string problem = "its lock file \"" + lock.string() + "\" is " + kind +
                                ", not a file. Its owner or an administrator can remove it.";
    EXPECT_EQ(SaveRefusal(f.dir, std::chrono::milliseconds(0)),
              "Cannot save \"" + f.dir.string() + "\": " + problem);
    const files::TFolderReadLock load(f.dir.string(), std::chrono::milliseconds(0));
    EXPECT_EQ(load.Problem(), problem);
    fs::remove(lock);
  }
  ::alarm(0);
  EXPECT_EQ(readFile((f.dir / "A.INP").string()), "old a");
}

// A save beside a save of another program that holds the lock about 1.5 s
// waits for it with the default wait (seconds, not half a second); a lock
// shared by two loads stays until the last of them lets go.
TEST(FolderSave, TheLockWaitsForAShortSaveAndStaysWithItsLastHolder) {
  Folder f;
  std::promise<void> held;
  std::thread other([&] {
    TFolderSave running(f.dir.string());
    held.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  });
  held.get_future().wait();
  EXPECT_NO_THROW(f.Save());
  other.join();
  EXPECT_EQ(readFile((f.dir / "A.INP").string()), "new a");

  const fs::path lock = f.root.path() / ".S+lock";
  auto first = std::make_unique<files::TFolderReadLock>(f.dir.string());
  {
    const files::TFolderReadLock second(f.dir.string());
    first.reset();
    EXPECT_TRUE(fs::exists(lock));
    EXPECT_EQ(SaveRefusal(f.dir, std::chrono::milliseconds(0)),
              "Cannot save \"" + f.dir.string() + "\": another program is reading it.");
  }
  EXPECT_FALSE(fs::exists(lock));
}

TEST(ReplaceFile, KeepsModeAndNeverWritesThroughALink) {
  TempDir root;
  const std::string path = root.write("FILES.INP", "old");
  ::chmod(path.c_str(), 0640);
  // A link planted at a temporary name of the file points at a file of the user.
  const std::string victim = root.write("victim", "mine");
  fs::create_symlink(victim, root.path() / (files::SavingPrefix("FILES.INP") + "x"));
  files::ReplaceFile(root.file("files.inp"), "new");  // the file's own name is kept
  EXPECT_EQ(readFile(path), "new");
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
  EXPECT_EQ(readFile(victim), "mine");
  EXPECT_EQ(EntryNames(root.path()), (std::vector<std::string>{"FILES.INP", "victim"}));

  // A write-protected file stays as it is, also for root.
  ::chmod(path.c_str(), 0444);
  EXPECT_THROW(files::ReplaceFile(path, "newer"), TSaveError);
  EXPECT_EQ(readFile(path), "new");
  ::chmod(path.c_str(), 0640);

  for (TSaveStep step : {TSaveStep::WriteFile, TSaveStep::SyncFile, TSaveStep::Swap}) {
    EXPECT_THROW(files::ReplaceFile(path, "newer",
                                    [step](TSaveStep s, const std::string&) { return s == step ? EIO : 0; }),
                 TSaveError);
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(EntryNames(root.path()), (std::vector<std::string>{"FILES.INP", "victim"}));
  }
}

}  // namespace
}  // namespace kirmel::test
