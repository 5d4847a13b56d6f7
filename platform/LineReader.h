// Reads text lines; CR LF, LF and a lone CR all end a line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>

namespace kirmel {

class Env;

class LineReader {
 public:
  explicit LineReader(std::FILE* fp) : fp_(fp) {}
  // Next line without its line end; false at end of file with nothing read.
  bool next(std::string& line);

 private:
  std::FILE* fp_;
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
