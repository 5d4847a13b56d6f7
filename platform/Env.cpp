#include "platform/Env.h"

#include <poll.h>

#include <cerrno>
#include <utility>

namespace kirmel {

void Env::say(std::string_view line) {
  out() << line << '\n';
}

bool Env::waitLine(std::string* line) {
  out().flush();
  if (interrupt_) {
    // Until a line can be read, look at the flag at least every 200 ms; a
    // signal also ends the poll at once.
    for (;;) {
      if (*interrupt_ != 0) return false;
      if (inFd_ < 0 || in().rdbuf()->in_avail() > 0) break;
      pollfd p{inFd_, POLLIN, 0};
      const int r = ::poll(&p, 1, 200);
      if (r > 0 || (r < 0 && errno != EINTR)) break;
    }
    if (*interrupt_ != 0) return false;
  }
  std::string tmp;
  if (!std::getline(in(), tmp)) return false;
  if (!tmp.empty() && tmp.back() == '\r') tmp.pop_back();
  if (line) *line = tmp;
  return true;
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
