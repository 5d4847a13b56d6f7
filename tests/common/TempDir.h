// A scratch directory for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace kirmel::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Full path of a file in the directory.
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Writes `text` to a file in the directory (bytes as given) and returns its path.
  std::string write(const std::string& name, const std::string& text) const;

 private:
  std::filesystem::path path_;
};

// True when the environment asks the golden tests to rewrite their golden
// files instead of comparing: KIRMEL_UPDATE_GOLDEN is exactly "1".
bool UpdateGolden();

// Whole content of a file as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

// Runs `fn` as a user without root's power over permission bits: in this
// process when it is not root, else in a child that has become "nobody"
// (kNobody), after `own` (unless empty) and all it holds were given to that
// user.  False, with `why`, when that cannot be arranged; an exception out
// of `fn` fails the test.
inline constexpr unsigned kNobody = 65534;
bool RunUnprivileged(const std::filesystem::path& own, const std::function<void()>& fn,
                     std::string& why);

// Runs `fn` with the process working directory set to `dir`, restoring it after.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::filesystem::path& dir);
  ~ScopedCwd();

 private:
  std::filesystem::path old_;
};

}  // namespace kirmel::test
