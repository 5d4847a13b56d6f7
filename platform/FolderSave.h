// Saving a folder of files as one unit, and one file on its own, so that a
// failure or a kill at any moment leaves either the old version or the new
// one on disk, never a mixture.
//
// A folder save writes the complete new version into a fresh folder beside
// the old one (created exclusively, named "." + the folder's name + "+saving-"
// + a random part: a dot name that listings skip, and a "+" that no scenario
// or pesticide name holds), carries over every entry of the old folder that
// it does not write itself (hard links where possible, else copies), flushes
// files and folder to disk, and then exchanges the two folders in one step
// (renameat2 with RENAME_EXCHANGE).  Where the filesystem refuses the
// exchange, the old folder is renamed aside and the new one renamed in, and
// the old one goes only after that.  The parent is flushed and the old
// version removed, under a name that no restore takes (an old version set
// aside is renamed first), so that a removal cut short leaves a leftover,
// never a part of a version to put back.  Leftovers of a killed save are
// removed by the next save of that folder; an old version that a killed save
// left aside is put back by whatever looks for the folder first
// (RestoreAsideFolders, a save, a load).
//
// Programs that share a folder are ordered by its lock: flock on the hidden
// file "." + name + "+lock" beside it.  A save holds it exclusively from
// before it opens the old folder until after its commit, a load
// (TFolderReadLock) holds it shared while it reads the files.  A save that
// cannot get it within a few seconds is refused.  The lock file goes again
// when its last holder lets go.  Only a regular file serves as the lock file:
// anything else of that name, or a file that the user cannot open for the
// whole wait, refuses saves and loads with a message that names it.  A user
// who cannot make the lock file (a folder he may not write) loads without
// it, and reads again when the folder was replaced meanwhile.
//
// A save never writes over a folder or a file that lacks its owner's write
// permission, nor into a parent folder that lacks it (judged by the mode
// bits, so root is refused too).  Files keep
// the permission bits of the file they replace, the folder those of the
// folder it replaces.  Nothing is written through a symbolic link: new files
// are created exclusively inside the fresh folder.  A folder that is a
// symbolic link stays one; its target is saved in place.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kirmel::files {

// A save that did not happen; the message names the file or folder and the
// reason.
class TSaveError : public std::runtime_error {
 public:
  enum class TKind {
    Failed,
    InPlace,              // the new version is in place and only the system's
                          // confirmation that it reached the disk is missing
    WriteProtected,       // a folder or file it would replace lacks its
                          // owner's write permission
    ParentWriteProtected  // the folder that holds the folder lacks it: no
                          // folder can be saved there under any name
  };
  explicit TSaveError(const std::string& message, TKind kind = TKind::Failed)
      : std::runtime_error(message), kind_(kind) {}
  bool InPlace() const { return kind_ == TKind::InPlace; }
  // Either kind of write protection.
  bool WriteProtected() const {
    return kind_ == TKind::WriteProtected || kind_ == TKind::ParentWriteProtected;
  }
  bool ParentWriteProtected() const { return kind_ == TKind::ParentWriteProtected; }

 private:
  TKind kind_;
};

// Closes a descriptor when it goes out of scope.
class TFd {
 public:
  explicit TFd(int fd = -1) : fd_(fd) {}
  ~TFd() { close(); }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    close();
    fd_ = fd;
  }
  // Closes now; the error of close, or 0.
  int close();
  // Gives the descriptor up without closing it.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// The steps of a save, for tests that make one of them fail.
enum class TSaveStep {
  CreateFolder,  // name: the fresh folder's name
  WriteFile,     // name: the file's name
  SyncFile,      // name: the file's name
  CarryEntry,    // name: the entry's path relative to the folder
  SyncFolder,    // name: the folder's name
  Swap,          // name: the folder's name; EINVAL or ENOSYS: the filesystem cannot
                 // exchange two folders, the save moves them one after the other
  MoveAside,     // that fallback: the old folder renamed aside
  MoveIn,        // that fallback: the new folder renamed into place
  SyncParent,    // name: the folder's name
  RemoveOld,     // name: the folder's name; the old version, renamed for removal,
                 // is about to be removed (the result is not used)
  ReadFile       // name: the file's name; a load is about to read it (tests run a
                 // save of the same folder here; the result is not used)
};

// Called before each step; a non-zero result is taken as the errno value with
// which that step fails.
using TSaveFault = std::function<int(TSaveStep step, const std::string& name)>;

// The name prefix of the fresh folders and temporary files of `name`.
std::string SavingPrefix(const std::string& name);
// Within those, the prefix of an old folder moved aside where the
// filesystem cannot exchange two folders.  A save that finds no folder in
// place but one moved aside (its predecessor was killed between the two
// moves) puts that one back first.
std::string AsidePrefix(const std::string& name);

// How long a save (or a load) waits for another program's save of the same
// folder to end.
inline constexpr std::chrono::milliseconds kLockWait{5000};

// The longest name (in bytes) of a folder that can be saved again and again:
// the name under which a save sets the old version aside must fit the
// filesystem's limit of 255 bytes.
std::size_t LongestFolderName();

// The lock of one folder (defined with the save).
class TFolderLock;

// Holds the folder `folder` against saves while a load reads its files (its
// lock, shared), after putting back a version that a killed save left aside
// (also one that a save it waited for left).  A user who cannot make the
// lock file reads without it: Replaced tells him whether to read again.
class TFolderReadLock {
 public:
  explicit TFolderReadLock(const std::string& folder, std::chrono::milliseconds wait = kLockWait);
  ~TFolderReadLock();
  TFolderReadLock(const TFolderReadLock&) = delete;
  TFolderReadLock& operator=(const TFolderReadLock&) = delete;
  // True when a save held the folder for the whole wait: its files may be
  // changing and are not to be read now.
  bool Busy() const;
  // Why the lock cannot be used (its file is not a file, or cannot be
  // opened), naming the lock file; "" when it can.  The folder is not to
  // be read then.
  std::string Problem() const;
  // True when the folder's name now leads to another folder (or to one
  // where there was none) than when the lock was taken: a save replaced it
  // while its files were read, and what was read may mix two versions.
  bool Replaced() const;

 private:
  std::string folder_;  // as found on disk
  TFd parentFd_;
  TFd folderFd_;        // held open, so that its number is not given to another
  bool there_ = false;  // the folder was there when the lock was taken
  unsigned long long device_ = 0, inode_ = 0;
  std::unique_ptr<TFolderLock> lock_;
};

// Puts back every folder in `parent` that a save killed between its two
// moves left aside, when no save of it is running and nothing has taken its
// name meanwhile.  Listings call it before they show the folders.
void RestoreAsideFolders(const std::string& parent);

class TFolderSave {
 public:
  // Prepares the save of `folder` (it need not exist; its parent must):
  // takes its lock, removes leftovers of killed saves and creates the fresh
  // folder.  Raises TSaveError when the parent is write-protected, when its
  // lock file cannot serve, or when another program's save of it holds the
  // lock for longer than `lockWait`.
  explicit TFolderSave(const std::string& folder, TSaveFault fault = {},
                       std::chrono::milliseconds lockWait = kLockWait);
  // Without Commit: removes the fresh folder; the old one is untouched.
  ~TFolderSave();
  TFolderSave(const TFolderSave&) = delete;
  TFolderSave& operator=(const TFolderSave&) = delete;

  // The name under which file `name` is saved: the name of the old file
  // that matches it exactly or, failing that, without regard to case; else
  // `name` itself.
  std::string FileName(const std::string& name) const;

  // Writes one file of the new version completely and flushes it.  Raises
  // TSaveError when the file it replaces is write-protected.
  void WriteFile(const std::string& name, std::string_view bytes);
  // Carries the old folder's other entries over and puts the new version in
  // place.  Raises TSaveError when the old version is still in place (also
  // when the old folder is write-protected); when
  // only the final flush of the parent failed, the message says that the
  // new version is in place.
  void Commit();

 private:
  void Fail(TSaveStep step, const std::string& name, const std::string& what) const;
  void CarryTree(int from, int to, const std::string& relative);
  void RemoveFresh();

  TSaveFault fault_;
  std::string folder_;  // the folder as saved: a link's target, else the name on disk
  std::string parent_;
  std::string base_;
  std::string fresh_;   // the fresh folder's name in parent_
  TFd parentFd_;
  std::unique_ptr<TFolderLock> lock_;
  TFd oldFd_;           // the old folder, or -1 when there is none
  TFd freshFd_;
  unsigned oldMode_ = 0;
  std::set<std::string> written_;
  bool committed_ = false;
};

// Replaces the file at `path` (its name resolved as FileName does) with
// `bytes`: written to a temporary file beside it, flushed and renamed over
// it; the permission bits of the old file are kept.  A write-protected file
// is not replaced (TSaveError).
void ReplaceFile(const std::string& path, std::string_view bytes, const TSaveFault& fault = {});

}  // namespace kirmel::files
