#include "platform/LineReader.h"

namespace kirmel {

bool LineReader::next(std::string& line) {
  line.clear();
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
    line.push_back(static_cast<char>(c));
    c = getc_unlocked(fp_);
  }
  return true;
}

}  // namespace kirmel
