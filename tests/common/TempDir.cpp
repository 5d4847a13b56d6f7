#include "common/TempDir.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kirmel::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "kirmel-test-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

bool RunUnprivileged(const std::filesystem::path& own, const std::function<void()>& fn,
                     std::string& why) {
  if (::geteuid() != 0) {
    fn();
    return true;
  }
  namespace fs = std::filesystem;
  if (!own.empty()) {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(own))
      ::lchown(e.path().c_str(), kNobody, kNobody);
    ::lchown(own.c_str(), kNobody, kNobody);
  }
  const pid_t child = ::fork();
  if (child < 0) {
    why = "fork failed";
    return false;
  }
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(2);
    try {
      fn();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
      ::_exit(1);
    } catch (...) {
      ::_exit(1);
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 2) {
    why = "cannot become an unprivileged user";
    return false;
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "it failed as another user";
  return true;
}

std::string TempDir::write(const std::string& name, const std::string& text) const {
  auto p = path_ / name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary);
  f << text;
  return p.string();
}

std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

ScopedCwd::ScopedCwd(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

ScopedCwd::~ScopedCwd() {
  std::error_code ec;
  std::filesystem::current_path(old_, ec);
}

bool UpdateGolden() {
  const char* update = std::getenv("KIRMEL_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

}  // namespace kirmel::test
