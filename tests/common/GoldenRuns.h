// The kernel's golden runs under tests/data/kernel/golden, as the tests of
// the results viewer use them: their folders and files, and copies.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace kirmel::test {

// The folder of golden run `run`, which holds the kernel's output files.
inline std::string GoldenRunDir(const std::string& run) {
  return std::string(KIRMEL_TEST_DATA) + "/kernel/golden/" + run + "/expected";
}

// File `file` of golden run `run`.
inline std::string Golden(const std::string& run, const std::string& file) {
  return GoldenRunDir(run) + "/" + file;
}

// Copies the files of golden run `run` into `dir`, made when missing, all
// but those named in `without`.
inline void CopyGoldenRun(const std::string& run, const std::filesystem::path& dir,
                          const std::vector<std::string>& without = {}) {
  std::filesystem::create_directories(dir);
  for (const auto& entry : std::filesystem::directory_iterator(GoldenRunDir(run))) {
    const std::string name = entry.path().filename().string();
    if (std::find(without.begin(), without.end(), name) == without.end())
      std::filesystem::copy_file(entry.path(), dir / name);
  }
}

}  // namespace kirmel::test
