#include "common/SmallFilesystem.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace kirmel::test {

namespace fs = std::filesystem;

SmallFilesystem::SmallFilesystem(const fs::path& dir, const std::string& size) : dir_(dir) {
  if (::geteuid() != 0) return;
  std::error_code ec;
  fs::create_directories(dir, ec);
  const std::string options = "size=" + size;
  mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallFilesystem::~SmallFilesystem() {
  if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
}

void SmallFilesystem::Fill() const {
  const int fd = ::open((dir_ / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return;
  const std::string block(4096, 'x');
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  ::close(fd);
}

void SmallFilesystem::Empty() const {
  std::error_code ec;
  fs::remove(dir_ / "filler", ec);
}

}  // namespace kirmel::test
