#include "platform/LineReader.h"

#include "platform/Env.h"

namespace kirmel {

bool LineReader::next(std::string& line) {
  line.clear();
  runsOn_ = false;
  if (!fp_) return false;
  int c = getc_unlocked(fp_);
  if (c == EOF) return false;
  while (c != EOF) {
    if (c == '\n') return true;
    if (c == '\r') {
      int d = getc_unlocked(fp_);
      if (d != '\n' && d != EOF) std::ungetc(d, fp_);
      return true;
    }
    if (line.size() >= max_) {
      runsOn_ = true;
      return true;
    }
    line.push_back(static_cast<char>(c));
    c = getc_unlocked(fp_);
  }
  return true;
}

InputLines::Result InputLines::next(std::string& line) {
  line.clear();
  bool any = false;
  // Every pass consumes one byte, and a line ends within max_ + 1 of them.
  for (;;) {
    if (pos_ == len_) {
      if (!end_ && !failed_) {
        const long n = env_.readInput(fd_, buf_.data(), buf_.size());
        if (n < 0) failed_ = true;
        if (n <= 0) end_ = true;
        pos_ = 0;
        len_ = n > 0 ? static_cast<std::size_t>(n) : 0;
      }
      if (pos_ == len_) {
        if (failed_) return Result::Failed;
        return any ? Result::Line : Result::End;
      }
    }
    const char c = buf_[pos_++];
    if (afterCr_) {
      afterCr_ = false;
      if (c == '\n') continue;
    }
    if (c == '\n') return Result::Line;
    if (c == '\r') {
      afterCr_ = true;
      return Result::Line;
    }
    any = true;
    if (line.size() >= max_) return Result::RunsOn;
    line.push_back(c);
  }
}

}  // namespace kirmel
