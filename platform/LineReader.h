// Reads text lines; CR LF, LF and a lone CR all end a line.
#pragma once

#include <cstdio>
#include <string>

namespace kirmel {

class LineReader {
 public:
  explicit LineReader(std::FILE* fp) : fp_(fp) {}
  // Next line without its line end; false at end of file with nothing read.
  bool next(std::string& line);

 private:
  std::FILE* fp_;
};

}  // namespace kirmel
