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
// version removed.  A save in progress holds a lock on its folder; leftovers
// of a killed save (unlocked) are removed by the next save of that folder.
//
// Files keep the permission bits of the file they replace, the folder those
// of the folder it replaces.  Nothing is written through a symbolic link: new
// files are created exclusively inside the fresh folder.  A folder that is a
// symbolic link stays one; its target is saved in place.
#pragma once

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
  explicit TSaveError(const std::string& message, bool inPlace = false)
      : std::runtime_error(message), inPlace_(inPlace) {}
  // True when the new version is in place and only the system's
  // confirmation that it reached the disk is missing.
  bool InPlace() const { return inPlace_; }

 private:
  bool inPlace_;
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
  SyncParent     // name: the folder's name
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

class TFolderSave {
 public:
  // Prepares the save of `folder` (it need not exist; its parent must):
  // removes leftovers of killed saves and creates the fresh folder.
  explicit TFolderSave(const std::string& folder, TSaveFault fault = {});
  // Without Commit: removes the fresh folder; the old one is untouched.
  ~TFolderSave();
  TFolderSave(const TFolderSave&) = delete;
  TFolderSave& operator=(const TFolderSave&) = delete;

  // The name under which file `name` is saved: the name of the old file
  // that matches it exactly or, failing that, without regard to case; else
  // `name` itself.
  std::string FileName(const std::string& name) const;

  // Writes one file of the new version completely and flushes it.
  void WriteFile(const std::string& name, std::string_view bytes);
  // Carries the old folder's other entries over and puts the new version in
  // place.  Raises TSaveError when the old version is still in place; when
  // only the final flush of the parent failed, the message says that the
  // new version is in place.
  void Commit();

 private:
  void Fail(TSaveStep step, const std::string& name, const std::string& what) const;
  void CarryTree(int from, int to, const std::string& relative);
  bool RestoreAside();
  void RemoveFresh();

  TSaveFault fault_;
  std::string folder_;  // the folder as saved: a link's target, else the name on disk
  std::string parent_;
  std::string base_;
  std::string fresh_;   // the fresh folder's name in parent_
  int parentFd_ = -1;
  int oldFd_ = -1;      // the old folder, or -1 when there is none
  int freshFd_ = -1;
  unsigned oldMode_ = 0;
  std::set<std::string> written_;
  bool committed_ = false;
};

// Replaces the file at `path` (its name resolved as FileName does) with
// `bytes`: written to a temporary file beside it, flushed and renamed over
// it; the permission bits of the old file are kept.
void ReplaceFile(const std::string& path, std::string_view bytes, const TSaveFault& fault = {});

}  // namespace kirmel::files
