#include "platform/Env.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace kirmel {

void Env::say(std::string_view line) {
  out() << line << '\n';
}

bool Env::waitLine(std::string* line) {
  out().flush();
  if (interrupt_) {
    // A line not yet buffered is waited for while the flag is watched.
    if (inFd_ >= 0 && in().rdbuf()->in_avail() <= 0 && !awaitInput(inFd_)) return false;
    if (*interrupt_ != 0) return false;
  }
  std::string tmp;
  if (!std::getline(in(), tmp)) return false;
  if (!tmp.empty() && tmp.back() == '\r') tmp.pop_back();
  if (line) *line = tmp;
  return true;
}

bool Env::awaitInput(int fd) const {
  // A signal also ends the poll at once.
  for (;;) {
    if (interruptSignal() != 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, interrupt_ ? 200 : -1);
    if (r > 0 || (r < 0 && errno != EINTR)) return true;
  }
}

void Env::checkInterrupt() {
  const int sig = interruptSignal();
  if (sig == 0) return;
  if (onInterrupt_) onInterrupt_();
  stop(128 + sig, "signal");
}

long Env::readInput(int fd, void* buf, std::size_t n) {
  if (fd < 0) {
    errno = EBADF;
    return -1;
  }
  for (;;) {
    // A regular file is always ready; a pipe or a terminal may give nothing
    // for ever.
    if (!awaitInput(fd)) checkInterrupt();
    const ssize_t got = ::read(fd, buf, n);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return -1;
  }
}

void Env::stop(int status, const std::string& why) {
  // Latest first, as owners that came later may depend on earlier ones.
  for (auto it = stopHooks_.rbegin(); it != stopHooks_.rend(); ++it) it->second();
  units_.closeAll();
  out().flush();
  throw Stop(status, why);
}

int Env::addStopHook(std::function<void()> hook) {
  stopHooks_.emplace_back(++nextHook_, std::move(hook));
  return nextHook_;
}

void Env::removeStopHook(int id) {
  std::erase_if(stopHooks_, [id](const auto& h) { return h.first == id; });
}

}  // namespace kirmel
