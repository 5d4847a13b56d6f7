#include "common/Tree.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/TempDir.h"

namespace kirmel::test {

namespace fs = std::filesystem;

std::map<std::string, std::string> DescribeTree(const fs::path& dir) {
  std::map<std::string, std::string> out;
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0) return out;
  out["."] = std::to_string(st.st_mode & 07777);
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    ::lstat(e.path().c_str(), &st);
    std::string what = std::to_string(st.st_mode & 07777) + " ";
    if (S_ISLNK(st.st_mode))
      what += "link " + fs::read_symlink(e.path()).string();
    else if (S_ISDIR(st.st_mode))
      what += "dir";
    else if (S_ISREG(st.st_mode))
      what += "file " + readFile(e.path().string());
    else
      what += "other";  // a fifo would block a read
    out[fs::relative(e.path(), dir).string()] = what;
  }
  return out;
}

std::vector<std::string> EntryNames(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kirmel::test
