#include "platform/FolderSave.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "platform/Paths.h"

namespace kirmel::files {
namespace {

std::string Reason(int error) { return std::strerror(error); }

int Injected(const TSaveFault& fault, TSaveStep step, const std::string& name) {
  return fault ? fault(step, name) : 0;
}

// A random part for a fresh name: the process and a random number, so that
// two programs saving at once never pick the same name.
std::string RandomPart() {
  static std::mt19937_64 generator{std::random_device{}() ^
                                   (static_cast<std::uint64_t>(::getpid()) << 32)};
  char text[32];
  std::snprintf(text, sizeof text, "%016llx",
                static_cast<unsigned long long>(generator()));
  return text;
}

// The names in the folder open at `fd` (without "." and "..").
std::vector<std::string> Entries(int fd, int* error) {
  std::vector<std::string> names;
  *error = 0;
  int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) {
    *error = errno;
    return names;
  }
  DIR* dir = ::fdopendir(copy);
  if (!dir) {
    *error = errno;
    ::close(copy);
    return names;
  }
  ::rewinddir(dir);
  errno = 0;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
    errno = 0;
  }
  if (errno != 0) *error = errno;
  ::closedir(dir);
  return names;
}

// Removes `name` in the folder `dirFd` with everything in it, never
// following a symbolic link.  Errors are ignored: what stays behind is
// removed by a later save.
void RemoveTree(int dirFd, const std::string& name) {
  int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    ::unlinkat(dirFd, name.c_str(), 0);
    return;
  }
  TFd dir(fd);
  // A folder that goes may be read-only (a sub-folder of the old version,
  // or one carried over with its bits): without write permission its
  // entries could not be removed, and every save would leave a whole
  // hidden copy behind.
  struct stat own;
  if (::fstat(dir.get(), &own) == 0 && (own.st_mode & S_IRWXU) != S_IRWXU)
    ::fchmod(dir.get(), (own.st_mode & 07777) | S_IRWXU);
  int error = 0;
  for (const std::string& entry : Entries(dir.get(), &error)) {
    struct stat st;
    if (::fstatat(dir.get(), entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
      RemoveTree(dir.get(), entry);
    else
      ::unlinkat(dir.get(), entry.c_str(), 0);
  }
  dir.close();
  ::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR);
}

// Removes the folder `name` in `dirFd` that held a version of `base`.  An
// old version set aside is first renamed to a name that no restore takes,
// so that a removal cut short leaves a leftover for the next save, never a
// part of a version that would be put back as the whole.
void RemoveVersion(int dirFd, const std::string& name, const std::string& base,
                   const TSaveFault& fault = {}) {
  std::string gone = name;
  if (name.starts_with(AsidePrefix(base))) {
    gone = SavingPrefix(base) + RandomPart();
    if (::renameat(dirFd, name.c_str(), dirFd, gone.c_str()) != 0) return;
  }
  Injected(fault, TSaveStep::RemoveOld, base);
  RemoveTree(dirFd, gone);
}

// Removes what killed saves of `base` left in `dirFd`; what a running save
// holds locked stays.
void RemoveLeftovers(int dirFd, const std::string& base) {
  const std::string prefix = SavingPrefix(base);
  int error = 0;
  for (const std::string& name : Entries(dirFd, &error)) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      // A symbolic link or something that cannot be opened: not ours to keep.
      ::unlinkat(dirFd, name.c_str(), 0);
      continue;
    }
    TFd held(fd);
    if (::flock(held.get(), LOCK_EX | LOCK_NB) != 0) continue;  // a save in progress
    struct stat st;
    if (::fstat(held.get(), &st) == 0 && S_ISDIR(st.st_mode))
      RemoveVersion(dirFd, name, base);
    else
      ::unlinkat(dirFd, name.c_str(), 0);
  }
}

// Writes all of `bytes` to `fd`; the errno of the failure, or 0.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Copies the regular file `name` from `from` to `to` with its permission
// bits and times; the errno of the failure, or 0.
int CopyFile(int from, int to, const std::string& name, const struct stat& st) {
  TFd in(::openat(from, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (in.get() < 0) return errno;
  TFd out(::openat(to, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (out.get() < 0) return errno;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t n = ::read(in.get(), buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    if (int error = WriteAll(out.get(), std::string_view(buffer.data(), static_cast<std::size_t>(n))))
      return error;
  }
  if (::fchmod(out.get(), st.st_mode & 07777) != 0) return errno;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(out.get(), times);
  if (::fsync(out.get()) != 0) return errno;
  return out.close();
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

// A path's folder ("." when it has none, "/" for the root) and last name.
struct TSplitPath {
  std::string Parent;
  std::string Base;
};

TSplitPath SplitPath(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return {std::string("."), path};
  return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Without its owner's write permission, whoever the program runs as.
bool WriteProtected(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

std::string WriteProtectedMessage(const std::string& path, const char* what) {
  return "Cannot save over \"" + path + "\": the " + what + " is write-protected";
}

// `folder` as a save works on it: the name it has on disk (found without
// regard to case), or a linked folder's target.  Raises TSaveError when it
// cannot be a folder.
std::string FolderOnDisk(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string found = paths::forCreate(path);
  struct stat st;
  if (::lstat(found.c_str(), &st) != 0) return found;
  if (S_ISLNK(st.st_mode)) {
    // A linked folder stays a link: its target is what is saved.
    char* target = ::realpath(found.c_str(), nullptr);
    if (!target)
      throw TSaveError("Cannot save \"" + found +
                       "\": it is a symbolic link whose target cannot be used: " + Reason(errno));
    found = target;
    std::free(target);
    if (::stat(found.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      throw TSaveError("Cannot save \"" + path + "\": its link leads to \"" + found +
                       "\", which is not a folder");
  } else if (!S_ISDIR(st.st_mode)) {
    throw TSaveError("Cannot save \"" + found + "\": a file of that name is in the way");
  }
  return found;
}

// Puts the old version of `name` back from where a save killed between its
// two moves left it, when nothing is in place.  The caller holds the
// folder's lock, so no running save has it aside.  True when it did.
bool RestoreAside(int parentFd, const std::string& name) {
  struct stat st;
  if (::fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
    return false;
  const std::string prefix = AsidePrefix(name);
  int error = 0;
  for (const std::string& entry : Entries(parentFd, &error)) {
    if (entry.compare(0, prefix.size(), prefix) != 0) continue;
    if (::fstatat(parentFd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
      continue;
    if (::renameat2(parentFd, entry.c_str(), parentFd, name.c_str(), RENAME_NOREPLACE) == 0)
      return true;
    if ((errno == EINVAL || errno == ENOSYS) &&
        ::renameat(parentFd, entry.c_str(), parentFd, name.c_str()) == 0)
      return true;
  }
  return false;
}

}  // namespace

std::string SavingPrefix(const std::string& name) { return "." + name + "+saving-"; }

std::string AsidePrefix(const std::string& name) { return SavingPrefix(name) + "old-"; }

std::size_t LongestFolderName() {
  constexpr std::size_t kNameMax = 255;
  return kNameMax - AsidePrefix("").size() - RandomPart().size();
}

int TFd::close() {
  int error = 0;
  if (fd_ >= 0 && ::close(fd_) != 0) error = errno;
  fd_ = -1;
  return error;
}

// ---- TFolderLock ----

// The lock of the folder `name` in a parent folder: flock on the hidden file
// "." + name + "+lock" beside it (a dot name that listings skip).  The file
// goes again when the last holder lets go, unless a holder was killed.
class TFolderLock {
 public:
  enum class TMode { Shared, Exclusive };
  // Takes the lock, waiting up to `wait` while another program holds it.
  // Where the lock file can neither be opened nor made (a parent the user
  // may not write) nobody else can save, and the lock is not taken.  A lock
  // file that exists but that this user may not open is taken as held
  // during the wait (another user's, just made and not yet opened up to
  // others); after it, as a lock file that cannot be used.  `parent` is the
  // parent's path, for messages.
  TFolderLock(int parentFd, const std::string& parent, const std::string& name, TMode mode,
              std::chrono::milliseconds wait);
  ~TFolderLock();
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;
  // True when another program held the lock for the whole wait.
  bool Busy() const { return busy_; }
  // ... and only loads held it then.
  bool HeldByReaders() const { return readers_; }
  // Why the lock file cannot serve (naming it); "" when it can.
  const std::string& Problem() const { return problem_; }
  // Neither busy nor unusable: whoever holds the lock (or nobody can save).
  bool Clear() const { return !busy_ && problem_.empty(); }

 private:
  int parentFd_ = -1;  // a copy of the parent's descriptor
  int fd_ = -1;        // the lock file, while held
  std::string file_;
  bool busy_ = false;
  bool readers_ = false;
  std::string problem_;
};

namespace {

// What messages say of a file of mode `mode` that is not a regular file
// ("is a folder, not a file").
std::string NotAFile(mode_t mode) {
  const char* kind = S_ISDIR(mode)    ? "a folder"
                     : S_ISLNK(mode)  ? "a symbolic link"
                     : S_ISFIFO(mode) ? "a named pipe"
                     : S_ISSOCK(mode) ? "a socket"
                                      : "a device";
  return std::string("is ") + kind + ", not a file";
}

}  // namespace

TFolderLock::TFolderLock(int parentFd, const std::string& parent, const std::string& name,
                         TMode mode, std::chrono::milliseconds wait)
    : file_("." + name + "+lock") {
  parentFd_ = ::fcntl(parentFd, F_DUPFD_CLOEXEC, 0);
  if (parentFd_ < 0) return;
  // Why the lock file cannot serve, naming it.
  auto refuse = [&](const std::string& why) {
    problem_ = "its lock file \"" + Join(parent, file_) + "\" " + why +
               ". Its owner or an administrator can remove it.";
  };
  const int operation = (mode == TMode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    // Never blocks (a named pipe of that name would) and never follows a link.
    const int fd = ::openat(parentFd_, file_.c_str(),
                            O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    struct stat st;
    if (fd < 0) {
      const int error = errno;
      if (::fstatat(parentFd_, file_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return;  // cannot be made: nobody else can save here either
      if (!S_ISREG(st.st_mode)) {
        refuse(NotAFile(st.st_mode));
        return;
      }
      // Another user's lock file, just made and not yet opened up to others;
      // or one that stays closed to this user.
      if (std::chrono::steady_clock::now() >= deadline) {
        refuse("cannot be opened (" + Reason(error) + ")");
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    TFd file(fd);
    if (::fstat(file.get(), &st) == 0 && !S_ISREG(st.st_mode)) {
      refuse(NotAFile(st.st_mode));
      return;
    }
    // Whatever the umask, every user who shares the folder can open the
    // file to lock it (only its owner may change the bits; others fail).
    ::fchmod(file.get(), 0644);
    if (::flock(file.get(), operation) == 0) {
      // Still the file of that name: a holder that lets go removes it, and
      // whoever waited on the removed one tries again with a new one.
      struct stat there;
      if (::fstat(file.get(), &st) == 0 &&
          ::fstatat(parentFd_, file_.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
          SameFile(st, there)) {
        fd_ = file.release();  // kept open: the lock lives with it
        return;
      }
      continue;
    }
    const int error = errno;
    if (error == EWOULDBLOCK && std::chrono::steady_clock::now() >= deadline) {
      busy_ = true;
      // Only loads hold it when it can be shared.
      readers_ = mode == TMode::Exclusive && ::flock(file.get(), LOCK_SH | LOCK_NB) == 0;
    }
    if (error != EWOULDBLOCK || busy_) return;
    file.close();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

TFolderLock::~TFolderLock() {
  if (fd_ >= 0) {
    // The last holder removes the file (a shared holder finds out whether it
    // is the last by asking for the lock alone).
    struct stat mine, there;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd_, &mine) == 0 &&
        ::fstatat(parentFd_, file_.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(mine, there))
      ::unlinkat(parentFd_, file_.c_str(), 0);
    ::close(fd_);
  }
  if (parentFd_ >= 0) ::close(parentFd_);
}

// ---- reading and listing ----

TFolderReadLock::TFolderReadLock(const std::string& folder, std::chrono::milliseconds wait) {
  try {
    folder_ = FolderOnDisk(folder);
  } catch (const TSaveError&) {
    return;  // not a folder: the load says what it cannot read
  }
  const TSplitPath split = SplitPath(folder_);
  parentFd_.reset(::open(split.Parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (parentFd_.get() < 0) return;
  lock_ = std::make_unique<TFolderLock>(parentFd_.get(), split.Parent, split.Base,
                                        TFolderLock::TMode::Shared, wait);
  // No save runs now (or none can be told of): a version that a killed save
  // left aside, also one that this load waited for, goes back first.
  if (lock_->Clear()) RestoreAside(parentFd_.get(), split.Base);
  folderFd_.reset(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct stat st;
  there_ = folderFd_.get() >= 0 ? ::fstat(folderFd_.get(), &st) == 0
                                : ::stat(folder_.c_str(), &st) == 0;
  if (there_) {
    device_ = st.st_dev;
    inode_ = st.st_ino;
  }
}

bool TFolderReadLock::Busy() const { return lock_ && lock_->Busy(); }

std::string TFolderReadLock::Problem() const { return lock_ ? lock_->Problem() : std::string(); }

bool TFolderReadLock::Replaced() const {
  if (folder_.empty()) return false;
  struct stat st;
  const bool there = ::stat(folder_.c_str(), &st) == 0;
  if (there != there_) return there;
  return there && (st.st_dev != device_ || st.st_ino != inode_);
}

TFolderReadLock::~TFolderReadLock() = default;

void RestoreAsideFolders(const std::string& parent) {
  TFd dir(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return;
  int error = 0;
  for (const std::string& entry : Entries(dir.get(), &error)) {
    // "." + name + "+saving-old-" + random part; no name holds a "+".
    const std::string::size_type plus = entry.find('+');
    if (entry.size() < 2 || entry[0] != '.' || plus == std::string::npos) continue;
    const std::string name = entry.substr(1, plus - 1);
    if (name.empty() || entry.compare(0, AsidePrefix(name).size(), AsidePrefix(name)) != 0)
      continue;
    // A running save holds it; no wait for that.
    TFolderLock lock(dir.get(), parent, name, TFolderLock::TMode::Exclusive,
                     std::chrono::milliseconds(0));
    if (lock.Clear()) RestoreAside(dir.get(), name);
  }
}

// ---- TFolderSave ----

TFolderSave::TFolderSave(const std::string& folder, TSaveFault fault,
                         std::chrono::milliseconds lockWait)
    : fault_(std::move(fault)) {
  folder_ = FolderOnDisk(folder);
  TSplitPath split = SplitPath(folder_);
  parent_ = std::move(split.Parent);
  base_ = std::move(split.Base);

  parentFd_.reset(::open(parent_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (parentFd_.get() < 0)
    throw TSaveError("Cannot save \"" + folder_ + "\": cannot open the folder \"" + parent_ +
                     "\": " + Reason(errno));
  struct stat st;
  if (::fstat(parentFd_.get(), &st) == 0 && WriteProtected(st))
    throw TSaveError("Cannot save \"" + folder_ + "\": the folder \"" + parent_ +
                         "\" is write-protected",
                     TSaveError::TKind::ParentWriteProtected);
  // Before the old folder is opened: what it holds is carried over at the
  // commit, and no other save may replace it in between.
  lock_ = std::make_unique<TFolderLock>(parentFd_.get(), parent_, base_,
                                        TFolderLock::TMode::Exclusive, lockWait);
  if (!lock_->Problem().empty())
    throw TSaveError("Cannot save \"" + folder_ + "\": " + lock_->Problem());
  if (lock_->Busy())
    throw TSaveError("Cannot save \"" + folder_ + "\": " +
                     (lock_->HeldByReaders() ? "another program is reading it."
                                             : "it is being saved by another program."));
  RestoreAside(parentFd_.get(), base_);
  oldFd_.reset(
      ::openat(parentFd_.get(), base_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (oldFd_.get() < 0 && errno != ENOENT)
    throw TSaveError("Cannot save \"" + folder_ + "\": " + Reason(errno));
  if (oldFd_.get() >= 0 && ::fstat(oldFd_.get(), &st) == 0) oldMode_ = st.st_mode & 07777;

  RemoveLeftovers(parentFd_.get(), base_);

  int error = Injected(fault_, TSaveStep::CreateFolder, base_);
  for (int attempt = 0; error == 0 && attempt < 100; ++attempt) {
    fresh_ = SavingPrefix(base_) + RandomPart();
    if (::mkdirat(parentFd_.get(), fresh_.c_str(), 0777) == 0) break;
    error = errno == EEXIST ? 0 : errno;
    fresh_.clear();
  }
  if (error == 0 && fresh_.empty()) error = EEXIST;
  if (error == 0) {
    freshFd_.reset(::openat(parentFd_.get(), fresh_.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (freshFd_.get() < 0 || ::flock(freshFd_.get(), LOCK_EX) != 0) error = errno;
  }
  if (error != 0) {
    RemoveFresh();
    throw TSaveError("Cannot save \"" + folder_ + "\": cannot create a folder in \"" + parent_ +
                     "\": " + Reason(error));
  }
}

TFolderSave::~TFolderSave() {
  if (!committed_) RemoveFresh();
}

void TFolderSave::RemoveFresh() {
  if (fresh_.empty() || parentFd_.get() < 0) return;
  // Only the folder this save made, should anything have taken its name.
  struct stat mine, there;
  if (freshFd_.get() >= 0 && ::fstat(freshFd_.get(), &mine) == 0 &&
      ::fstatat(parentFd_.get(), fresh_.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
      SameFile(mine, there))
    RemoveTree(parentFd_.get(), fresh_);
}

void TFolderSave::Fail(TSaveStep step, const std::string& name, const std::string& what) const {
  if (int error = Injected(fault_, step, name)) throw TSaveError(what + ": " + Reason(error));
}

std::string TFolderSave::FileName(const std::string& name) const {
  if (oldFd_.get() < 0) return name;
  if (auto found = paths::resolveExisting(Join(folder_, name))) return SplitPath(*found).Base;
  return name;
}

void TFolderSave::WriteFile(const std::string& requested, std::string_view bytes) {
  const std::string name = FileName(requested);
  const std::string what = "Cannot write file \"" + Join(folder_, name) + "\"";
  struct stat st;
  if (oldFd_.get() >= 0 && ::fstatat(oldFd_.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      WriteProtected(st))
    throw TSaveError(WriteProtectedMessage(Join(folder_, name), "file"),
                     TSaveError::TKind::WriteProtected);
  Fail(TSaveStep::WriteFile, name, what);
  TFd file(::openat(freshFd_.get(), name.c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (file.get() < 0) throw TSaveError(what + ": " + Reason(errno));
  if (int error = WriteAll(file.get(), bytes)) throw TSaveError(what + ": " + Reason(error));
  // The permission bits of the file it replaces.
  if (oldFd_.get() >= 0 && ::fstatat(oldFd_.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(st.st_mode) && ::fchmod(file.get(), st.st_mode & 07777) != 0)
    throw TSaveError(what + ": " + Reason(errno));
  Fail(TSaveStep::SyncFile, name, what);
  if (::fsync(file.get()) != 0) throw TSaveError(what + ": " + Reason(errno));
  if (int error = file.close()) throw TSaveError(what + ": " + Reason(error));
  written_.insert(name);
}

void TFolderSave::CarryTree(int from, int to, const std::string& relative) {
  int error = 0;
  const std::vector<std::string> names = Entries(from, &error);
  const std::string here = relative.empty() ? folder_ : Join(folder_, relative);
  if (error) throw TSaveError("Cannot read the folder \"" + here + "\": " + Reason(error));
  for (const std::string& name : names) {
    if (relative.empty() && written_.count(name)) continue;
    const std::string path = relative.empty() ? name : relative + "/" + name;
    const std::string what = "Cannot keep \"" + Join(folder_, path) + "\" in the saved folder";
    Fail(TSaveStep::CarryEntry, path, what);
    struct stat st;
    if (::fstatat(from, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
      throw TSaveError(what + ": " + Reason(errno));
    if (S_ISREG(st.st_mode)) {
      if (::linkat(from, name.c_str(), to, name.c_str(), 0) != 0) {
        if (int e = CopyFile(from, to, name, st)) throw TSaveError(what + ": " + Reason(e));
      }
    } else if (S_ISLNK(st.st_mode)) {
      if (::linkat(from, name.c_str(), to, name.c_str(), 0) != 0) {
        std::vector<char> target(static_cast<std::size_t>(st.st_size) + 2);
        ssize_t n = ::readlinkat(from, name.c_str(), target.data(), target.size() - 1);
        if (n < 0) throw TSaveError(what + ": " + Reason(errno));
        target[static_cast<std::size_t>(n)] = '\0';
        if (::symlinkat(target.data(), to, name.c_str()) != 0)
          throw TSaveError(what + ": " + Reason(errno));
      }
    } else if (S_ISDIR(st.st_mode)) {
      if (::mkdirat(to, name.c_str(), 0700) != 0) throw TSaveError(what + ": " + Reason(errno));
      TFd sub(::openat(from, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      TFd copy(::openat(to, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (sub.get() < 0 || copy.get() < 0) throw TSaveError(what + ": " + Reason(errno));
      CarryTree(sub.get(), copy.get(), path);
      const struct timespec times[2] = {st.st_atim, st.st_mtim};
      if (::fchmod(copy.get(), st.st_mode & 07777) != 0 || ::fsync(copy.get()) != 0)
        throw TSaveError(what + ": " + Reason(errno));
      ::futimens(copy.get(), times);
    } else if (S_ISFIFO(st.st_mode)) {
      if (::mkfifoat(to, name.c_str(), st.st_mode & 07777) != 0)
        throw TSaveError(what + ": " + Reason(errno));
    } else {
      throw TSaveError(what + ": it is not a file, a folder or a link");
    }
  }
}

void TFolderSave::Commit() {
  const std::string what = "Cannot save \"" + folder_ + "\"";
  const int parent = parentFd_.get();
  const int fresh = freshFd_.get();
  if (oldFd_.get() >= 0 && (oldMode_ & S_IWUSR) == 0)
    throw TSaveError(WriteProtectedMessage(folder_, "folder"), TSaveError::TKind::WriteProtected);
  if (oldFd_.get() >= 0) CarryTree(oldFd_.get(), fresh, "");
  if (oldFd_.get() >= 0 && ::fchmod(fresh, oldMode_) != 0)
    throw TSaveError(what + ": " + Reason(errno));
  Fail(TSaveStep::SyncFolder, base_, what);
  if (::fsync(fresh) != 0) throw TSaveError(what + ": " + Reason(errno));

  // The swap: from here on the new version is in place or the old one is.
  std::string old;  // where the old version is afterwards
  int error = Injected(fault_, TSaveStep::Swap, base_);
  if (oldFd_.get() >= 0) {
    if (error == 0 && ::renameat2(parent, fresh_.c_str(), parent, base_.c_str(),
                                  RENAME_EXCHANGE) != 0)
      error = errno;
    if (error == 0) {
      old = fresh_;
    } else if (error == EINVAL || error == ENOSYS) {
      // The filesystem cannot exchange: the old folder aside, the new one in.
      std::string aside;
      for (int attempt = 0; attempt < 100 && aside.empty(); ++attempt) {
        aside = AsidePrefix(base_) + RandomPart();
        struct stat st;
        if (::fstatat(parent, aside.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) aside.clear();
      }
      error = Injected(fault_, TSaveStep::MoveAside, base_);
      if (error == 0 && ::renameat(parent, base_.c_str(), parent, aside.c_str()) != 0)
        error = errno;
      if (error != 0) throw TSaveError(what + ": " + Reason(error));
      error = Injected(fault_, TSaveStep::MoveIn, base_);
      if (error == 0 && ::renameat(parent, fresh_.c_str(), parent, base_.c_str()) != 0)
        error = errno;
      if (error != 0) {
        if (::renameat(parent, aside.c_str(), parent, base_.c_str()) != 0)
          throw TSaveError(what + ": " + Reason(error) + "; the previous version is in \"" +
                           Join(parent_, aside) + "\"");
        throw TSaveError(what + ": " + Reason(error));
      }
      old = aside;
    } else {
      throw TSaveError(what + ": " + Reason(error));
    }
  } else {
    if (error == 0 && ::renameat2(parent, fresh_.c_str(), parent, base_.c_str(),
                                  RENAME_NOREPLACE) != 0) {
      error = errno;
      if ((error == EINVAL || error == ENOSYS) &&
          ::renameat(parent, fresh_.c_str(), parent, base_.c_str()) == 0)
        error = 0;
    }
    if (error != 0) throw TSaveError(what + ": " + Reason(error));
  }
  committed_ = true;

  error = Injected(fault_, TSaveStep::SyncParent, base_);
  if (error == 0 && ::fsync(parent) != 0) error = errno;
  if (!old.empty()) RemoveVersion(parent, old, base_, fault_);
  if (error != 0)
    throw TSaveError("\"" + folder_ +
                         "\" has been saved, but the system did not confirm that it is on disk: " +
                         Reason(error),
                     TSaveError::TKind::InPlace);
}

// ---- one file ----

void ReplaceFile(const std::string& path, std::string_view bytes, const TSaveFault& fault) {
  const std::string target = paths::forCreate(path);
  const auto [parent, base] = SplitPath(target);
  const std::string what = "Cannot write file \"" + target + "\"";
  TFd dir(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) throw TSaveError(what + ": " + Reason(errno));
  struct stat st;
  if (::fstatat(dir.get(), base.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode) && WriteProtected(st))
    throw TSaveError(WriteProtectedMessage(target, "file"), TSaveError::TKind::WriteProtected);
  RemoveLeftovers(dir.get(), base);

  std::string temp;
  TFd file;
  int error = Injected(fault, TSaveStep::WriteFile, base);
  for (int attempt = 0; error == 0 && attempt < 100; ++attempt) {
    temp = SavingPrefix(base) + RandomPart();
    int fd = ::openat(dir.get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0666);
    if (fd >= 0) {
      file.reset(fd);
      break;
    }
    error = errno == EEXIST ? 0 : errno;
    temp.clear();
  }
  if (error == 0 && temp.empty()) error = EEXIST;
  if (error != 0) throw TSaveError(what + ": " + Reason(error));

  auto fail = [&](int e) {
    file.close();
    ::unlinkat(dir.get(), temp.c_str(), 0);
    throw TSaveError(what + ": " + Reason(e));
  };
  if (::flock(file.get(), LOCK_EX) != 0) fail(errno);
  if (int e = WriteAll(file.get(), bytes)) fail(e);
  if (::fstatat(dir.get(), base.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode) &&
      ::fchmod(file.get(), st.st_mode & 07777) != 0)
    fail(errno);
  if (int e = Injected(fault, TSaveStep::SyncFile, base)) fail(e);
  if (::fsync(file.get()) != 0) fail(errno);
  if (int e = Injected(fault, TSaveStep::Swap, base)) fail(e);
  if (::renameat(dir.get(), temp.c_str(), dir.get(), base.c_str()) != 0) fail(errno);
  file.close();
  int e = Injected(fault, TSaveStep::SyncParent, base);
  if (e == 0 && ::fsync(dir.get()) != 0) e = errno;
  if (e != 0)
    throw TSaveError("\"" + target +
                         "\" has been saved, but the system did not confirm that it is on disk: " +
                         Reason(e),
                     TSaveError::TKind::InPlace);
}

}  // namespace kirmel::files
