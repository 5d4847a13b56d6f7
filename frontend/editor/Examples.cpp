#include "frontend/editor/Examples.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "platform/FolderSave.h"
#include "platform/Paths.h"

#ifndef KIRMEL_EXAMPLES_FROM_BIN
#define KIRMEL_EXAMPLES_FROM_BIN "../share/kirmel/examples"
#endif

namespace kirmel::fe {

// The example's files, generated from the source tree's examples folder.
namespace builtin {
struct TExampleData {
  const char* Path;
  const unsigned char* Data;
  std::size_t Size;
};
extern const TExampleData kExampleFiles[];
extern const std::size_t kExampleFileCount;
}  // namespace builtin

namespace {

namespace fs = std::filesystem;

const char* const kKinds[] = {"SCENARIOS", "PESTICIDES"};

// A folder of the example being copied is "." + its name + this + the id of
// the copying process.
const std::string kCopyMark = ".example-";

// The process that copied into the hidden folder `name`, or 0 when the name
// is not that of a copy of one of the example folders `examples`.
pid_t CopyingProcess(const std::string& name, const std::set<std::string>& examples) {
  for (const std::string& example : examples) {
    const std::string mark = "." + example + kCopyMark;
    if (!name.starts_with(mark)) continue;
    const std::string digits = name.substr(mark.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      continue;
    return static_cast<pid_t>(std::stol(digits));
  }
  return 0;
}

// The names of the example's folders by kind ("SCENARIOS" -> NLStandard_sp,
// ...): those of the built-in example and of the one installed for a
// program in programDir.
std::map<std::string, std::set<std::string>> ExampleFolders(const std::string& programDir) {
  std::map<std::string, std::set<std::string>> folders;
  for (std::size_t i = 0; i < builtin::kExampleFileCount; ++i) {
    const fs::path path(builtin::kExampleFiles[i].Path);
    auto part = path.begin();
    const std::string kind = part->string();
    if (++part != path.end()) folders[kind].insert(part->string());
  }
  if (const std::string installed = InstalledExamplesDir(programDir); !installed.empty()) {
    for (const char* kind : kKinds) {
      std::error_code ec;
      for (const fs::directory_entry& e : fs::directory_iterator(fs::path(installed) / kind, ec))
        if (e.is_directory(ec)) folders[kind].insert(e.path().filename().string());
    }
  }
  return folders;
}

std::string SystemMessage(int error) { return std::strerror(error); }

// Writes one file completely and flushes it to disk; false with errno set.
bool WriteWhole(const std::string& path, const std::string& content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int saved = errno;
      ::close(fd);
      errno = saved;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) return false;
  return true;
}

void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Renames from to to unless to exists; false with errno EEXIST when it does.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A filesystem without the flag: check first.
  if (paths::exists(to)) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// The existing folder dir (in any case of its letters), or dir created.
std::string ExistingOrCreated(const std::string& dir, std::string& error) {
  if (auto found = paths::resolveExisting(dir)) return *found;
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) error = "Cannot create the directory \"" + dir + "\": " + ec.message() + ".";
  return dir;
}

// Writes one folder of the example under a hidden name in parent and
// renames it to name; returns false (error set) when it could not.  A folder
// that appears under that name meanwhile is left as it is.
bool CopyFolder(const std::string& parent, const std::string& name,
                const std::vector<std::pair<std::string, const std::string*>>& files,
                bool& copied, std::string& error) {
  copied = false;
  const std::string target = parent + "/" + name;
  const std::string temp = parent + "/." + name + kCopyMark + std::to_string(::getpid());
  std::error_code ec;
  fs::remove_all(temp, ec);
  auto fail = [&](const std::string& what) {
    error = "Cannot copy the example into \"" + target + "\": " + what + ".";
    std::error_code ignored;
    fs::remove_all(temp, ignored);
    return false;
  };
  if (!fs::create_directory(temp, ec)) return fail(ec ? ec.message() : "the folder exists");
  for (const auto& [file, content] : files) {
    if (!WriteWhole(temp + "/" + file, *content))
      return fail("cannot write " + file + " (" + SystemMessage(errno) + ")");
  }
  SyncDirectory(temp);
  if (!RenameNoReplace(temp, target)) {
    if (errno == EEXIST || errno == ENOTEMPTY) {
      fs::remove_all(temp, ec);
      return true;
    }
    return fail(SystemMessage(errno));
  }
  SyncDirectory(parent);
  copied = true;
  return true;
}

}  // namespace

std::vector<TExampleFile> BuiltinExample() {
  std::vector<TExampleFile> files;
  for (std::size_t i = 0; i < builtin::kExampleFileCount; ++i) {
    const builtin::TExampleData& d = builtin::kExampleFiles[i];
    files.push_back({d.Path, std::string(reinterpret_cast<const char*>(d.Data), d.Size)});
  }
  return files;
}

std::string InstalledExamplesDir(const std::string& programDir) {
  std::error_code ec;
  const fs::path dir = fs::path(programDir) / KIRMEL_EXAMPLES_FROM_BIN;
  for (const char* kind : kKinds)
    if (!fs::is_directory(dir / kind, ec)) return "";
  return fs::weakly_canonical(dir, ec).string();
}

std::vector<TExampleFile> ReadExample(const std::string& examplesDir) {
  std::vector<TExampleFile> files;
  for (const char* kind : kKinds) {
    const fs::path top = fs::path(examplesDir) / kind;
    std::error_code ec;
    for (const fs::directory_entry& folder : fs::directory_iterator(top, ec)) {
      if (!folder.is_directory()) continue;
      for (const fs::directory_entry& entry : fs::directory_iterator(folder.path(), ec)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        if (in) bytes << in.rdbuf();
        if (!in || in.bad())
          throw std::runtime_error("Cannot read the example file \"" + entry.path().string() +
                                   "\".");
        files.push_back({std::string(kind) + "/" + folder.path().filename().string() + "/" +
                             entry.path().filename().string(),
                         bytes.str()});
      }
      if (ec) break;
    }
    if (ec)
      throw std::runtime_error("Cannot read the example folder \"" + top.string() +
                               "\": " + ec.message() + ".");
  }
  std::sort(files.begin(), files.end(),
            [](const TExampleFile& a, const TExampleFile& b) { return a.Path < b.Path; });
  return files;
}

bool RootHasScenarios(const std::string& root) {
  const std::optional<std::string> scenarios = paths::resolveExisting(root + "/SCENARIOS");
  if (!scenarios) return false;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(*scenarios, ec)) {
    const std::string name = e.path().filename().string();
    if (!name.empty() && name[0] != '.' && e.is_directory(ec)) return true;
  }
  return false;
}

TSeedResult SeedExample(const std::string& root, const std::vector<TExampleFile>& example) {
  TSeedResult result;
  if (RootHasScenarios(root)) return result;
  // The files of each folder: "SCENARIOS/NLStandard_sp" -> (file name, bytes).
  std::map<std::string, std::vector<std::pair<std::string, const std::string*>>> folders;
  for (const TExampleFile& f : example) {
    const std::size_t last = f.Path.rfind('/');
    if (last == std::string::npos) continue;
    folders[f.Path.substr(0, last)].push_back({f.Path.substr(last + 1), &f.Content});
  }
  // Scenarios before pesticides, as the start-up loads them.
  for (const char* kind : kKinds) {
    for (const auto& [folder, files] : folders) {
      const std::size_t slash = folder.find('/');
      if (folder.substr(0, slash) != kind || slash == std::string::npos) continue;
      const std::string name = folder.substr(slash + 1);
      const std::string parent = ExistingOrCreated(root + "/" + kind, result.Error);
      if (!result.Error.empty()) return result;
      if (paths::exists(parent + "/" + name)) continue;
      bool copied = false;
      if (!CopyFolder(parent, name, files, copied, result.Error)) return result;
      if (copied) result.Copied.push_back(folder);
    }
  }
  return result;
}

void TidyRoot(const std::string& root, const std::string& programDir) {
  const std::map<std::string, std::set<std::string>> examples = ExampleFolders(programDir);
  for (const char* kind : kKinds) {
    const std::optional<std::string> dir = paths::resolveExisting(root + "/" + kind);
    if (!dir) continue;
    files::RestoreAsideFolders(*dir);
    const auto names = examples.find(kind);
    if (names == examples.end()) continue;
    std::vector<fs::path> gone;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(*dir, ec)) {
      // A copy is a folder; a file or link of that name is the user's.
      std::error_code typeError;
      if (!e.is_directory(typeError) || e.is_symlink(typeError)) continue;
      const pid_t copier = CopyingProcess(e.path().filename().string(), names->second);
      // A process that is there (also one of another user) may still copy.
      if (copier > 0 && ::kill(copier, 0) != 0 && errno == ESRCH) gone.push_back(e.path());
    }
    for (const fs::path& copy : gone) fs::remove_all(copy, ec);
  }
}

TSeedResult SeedRootWithExample(const std::string& root, const std::string& programDir) {
  if (RootHasScenarios(root)) return {};
  const std::string installed = InstalledExamplesDir(programDir);
  if (installed.empty()) return SeedExample(root, BuiltinExample());
  try {
    return SeedExample(root, ReadExample(installed));
  } catch (const std::exception& e) {
    TSeedResult result;
    result.Error = e.what();
    return result;
  }
}

}  // namespace kirmel::fe
