// A small filesystem (tmpfs) mounted over a folder for one test and
// unmounted however the test ends.  Mounting needs root: tests skip
// themselves when Mounted() is false.
#pragma once

#include <filesystem>
#include <string>

namespace kirmel::test {

class SmallFilesystem {
 public:
  // Creates `dir` when missing and mounts a tmpfs of `size` ("64k", "1m")
  // over it.
  SmallFilesystem(const std::filesystem::path& dir, const std::string& size);
  ~SmallFilesystem();
  SmallFilesystem(const SmallFilesystem&) = delete;
  SmallFilesystem& operator=(const SmallFilesystem&) = delete;

  bool Mounted() const { return mounted_; }
  // Fills what is left of it with one file, and removes that file again.
  void Fill() const;
  void Empty() const;

 private:
  std::filesystem::path dir_;
  bool mounted_ = false;
};

}  // namespace kirmel::test
