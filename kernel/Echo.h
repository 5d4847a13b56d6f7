// Building list-directed (free-format) lines: one leading blank, numbers
// separated by blanks, texts written whole.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Env.h"
#include "platform/Format.h"

namespace kirmel {

// A text padded with blanks (or cut) to n characters, as a fixed-length
// text variable holds it.
inline std::string padTo(std::string_view text, std::size_t n) {
  std::string out(text.substr(0, n));
  out.resize(n, ' ');
  return out;
}

// A path padded with blanks to at least n characters; a longer path is
// written whole.
inline std::string padPath(std::string_view text, std::size_t n) {
  std::string out(text);
  if (out.size() < n) out.resize(n, ' ');
  return out;
}

// Paths and the names-file name in messages and the input echo: padded to
// 100 characters, never cut.
inline std::string pad100(std::string_view text) { return padPath(text, 100); }

// A free-format line holding one text: a leading blank, then the text whole.
inline std::string freeText(std::string_view text) {
  std::string line(" ");
  line.append(text);
  return line;
}

// A fatal stop of a solver: each text to the console as a free-format line,
// then the run ends with status 1 for the reason `why`.
[[noreturn]] inline void sayAndStop(Env& env, std::initializer_list<std::string_view> lines,
                                    const std::string& why) {
  for (std::string_view line : lines) env.say(freeText(line));
  env.stop(1, why);
}

class Ld {
 public:
  Ld& t(std::string_view text) {
    if (s_.empty()) s_ = ' ';
    s_ += text;
    return *this;
  }
  Ld& r(float v) {
    fmt::freeReal(s_, v);
    return *this;
  }
  Ld& n(long long v) {
    fmt::freeInt(s_, v);
    return *this;
  }
  // Values first .. last of a 1-based array.
  Ld& ra(const float* a, int first, int last) {
    for (int m = first; m <= last; ++m) r(a[m]);
    return *this;
  }
  Ld& na(const int* a, int first, int last) {
    for (int m = first; m <= last; ++m) n(a[m]);
    return *this;
  }
  const std::string& str() const { return s_; }
  operator std::string_view() const { return s_; }

 private:
  std::string s_;
};

}  // namespace kirmel
