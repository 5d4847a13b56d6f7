#include "platform/Env.h"

namespace kirmel {

void Env::say(std::string_view line) {
  out() << line << '\n';
}

bool Env::waitLine(std::string* line) {
  out().flush();
  std::string tmp;
  if (!std::getline(in(), tmp)) return false;
  if (!tmp.empty() && tmp.back() == '\r') tmp.pop_back();
  if (line) *line = tmp;
  return true;
}

void Env::stop(int status, const std::string& why) {
  units_.closeAll();
  out().flush();
  throw Stop(status, why);
}

}  // namespace kirmel
