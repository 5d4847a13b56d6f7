// Reads text lines; CR LF, LF and a lone CR all end a line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <string>

namespace kirmel {

class Env;

class LineReader {
 public:
  explicit LineReader(std::FILE* fp,
                      std::size_t maxLine = std::numeric_limits<std::size_t>::max())
      : fp_(fp), max_(maxLine) {}
  // Next line without its line end; false at end of file with nothing read.
  // A line that runs on past maxLine characters is not read on: `line` holds
  // its first maxLine characters and runsOn() is true.
  bool next(std::string& line);
  bool runsOn() const { return runsOn_; }

 private:
  std::FILE* fp_;
  std::size_t max_;
  bool runsOn_ = false;
};

// The lines of an input file of a run, read through its Env: a read that
// waits (a pipe, a terminal) ends when a signal asks the run to end, and a
// line that runs on without an end is not read on.
class InputLines {
 public:
  enum class Result {
    Line,    // a line, without its line end
    End,     // the end of the file, nothing read
    RunsOn,  // more than maxLine characters without a line end; not read on
    Failed,  // the file could not be read
  };
  InputLines(Env& env, int fd, std::size_t maxLine) : env_(env), fd_(fd), max_(maxLine) {}
  Result next(std::string& line);

 private:
  Env& env_;
  int fd_;
  std::size_t max_;
  std::array<char, 4096> buf_{};
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool end_ = false;
  bool failed_ = false;
  bool afterCr_ = false;  // the last line ended at a CR: an LF next belongs to it
};

}  // namespace kirmel
