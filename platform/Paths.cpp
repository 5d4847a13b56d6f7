#include "platform/Paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace kirmel::paths {

namespace {

bool existsExact(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

std::vector<std::string> split(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

// `name` in directory `dir` ("" for the working directory).
std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  std::string path = dir;
  if (path != "/") path += '/';
  path += name;
  return path;
}

// Finds `name` in directory `dir`: exact first, then ignoring case.
std::optional<std::string> findIn(const std::string& dir, const std::string& name) {
  std::string exact = join(dir, name);
  if (existsExact(exact)) return exact;
  if (name == "." || name == "..") return std::nullopt;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0) {
      found = join(dir, e->d_name);
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::string root() {
  if (const char* r = std::getenv("KIRMEL_ROOT"); r && *r) return r;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/KIRMEL";
}

std::string kernelDir() {
  if (const char* d = std::getenv("KIRMEL_EXECDIR"); d && *d) {
    std::string dir = d;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
  }
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return ".";
  return exe.parent_path().string();
}

std::optional<std::string> resolveExisting(const std::string& path) {
  if (path.empty()) return std::nullopt;
  if (existsExact(path)) return path;
  std::string cur = path[0] == '/' ? "/" : "";
  for (const auto& part : split(path)) {
    auto next = findIn(cur, part);
    if (!next) return std::nullopt;
    cur = *next;
  }
  return cur;
}

bool exists(const std::string& path) { return resolveExisting(path).has_value(); }

std::string forCreate(const std::string& path) {
  if (auto p = resolveExisting(path)) return *p;
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return path;
  std::string dir = path.substr(0, slash);
  if (dir.empty()) return path;
  if (auto d = resolveExisting(dir)) return *d + path.substr(slash);
  return path;
}

}  // namespace kirmel::paths
