// Record reader: raw 1024-byte blocks split into lines by the library itself.
#include <stdio.h>

#include <cstdio>

#include "datafile/FileOpen.h"
#include "datafile/RdParse.h"

namespace kirmel {

namespace {
constexpr unsigned char kCR = 13;
constexpr unsigned char kLF = 10;
}  // namespace

void RecordReader::RECOPEN(int iunit, const std::string& file) {
  // The general open routine applies its checks (name, unit, existence) and
  // stops on failure; the file is then reopened as a raw byte stream.
  FOPENR(env_, iunit, file, "RDO", " ");
  std::string path = file;
  if (Unit* u = env_.units().get(iunit)) path = u->path;
  env_.units().close(iunit);
  std::FILE* fp = openForReading(path);
  if (!fp) {
    FOPERR(env_, iunit, file, "RDO", "FS", 0, " ", 0);
  }
  env_.units().attach(iunit, file, path, fp, Form::Binary, Access::Sequential, 0, false);
  unit_ = iunit;
  file_ = file;
  pos_ = 1024;
  blockLen_ = 1024;
  lastBlock_ = false;
  endReached_ = false;
  closed_ = false;
  initialised_ = true;
  skipLf_ = false;
  runsOn_ = false;
}

// Next byte of the file; false when the file is exhausted.
bool RecordReader::nextByte(unsigned char& b) {
  if (pos_ >= blockLen_) {
    if (lastBlock_) return false;
    Unit* u = env_.units().get(unit_);
    if (!u || !u->fp) ERRSTOP(env_, "RECREAD", "internal error");
    // A pipe may deliver less than a block at a time; only an empty read is
    // the end of the file.  The read ends on a signal.
    const long n = env_.readInput(::fileno(u->fp), block_.data(), block_.size());
    if (n < 0) ERRSTOP(env_, "RECREAD", "cannot read the data file " + file_);
    blockLen_ = static_cast<int>(n);
    pos_ = 0;
    if (blockLen_ == 0) {
      lastBlock_ = true;
      return false;
    }
  }
  b = block_[static_cast<std::size_t>(pos_++)];
  return true;
}

void RecordReader::RECREAD(std::string& line, int lenmax, int& reclen, bool& eof, int& trunc) {
  if (!initialised_) ERRSTOP(env_, "RECREAD", "system not initialized");
  line.clear();
  eof = false;
  trunc = 0;
  reclen = 0;
  runsOn_ = false;
  long long count = 0;     // characters of the line
  long long nonBlank = 0;  // position of its last non-blank character
  bool any = false;
  unsigned char b = 0;
  // Every pass consumes one byte; a line ends within kMaxRecord + 1 bytes.
  for (;;) {
    if (!nextByte(b)) {
      if (any) break;
      RECCLOSE();
      endReached_ = true;
      initialised_ = false;
      eof = true;
      line.clear();
      return;
    }
    if (skipLf_) {
      skipLf_ = false;
      if (b == kLF) continue;
    }
    if (b == kCR) {
      skipLf_ = true;
      break;
    }
    if (b == kLF) break;
    any = true;
    if (++count > kMaxRecord) {
      // No line end in sight (a device such as /dev/zero gives none): the
      // line is not read on, and the caller ends the file here.
      runsOn_ = true;
      break;
    }
    if (static_cast<long long>(line.size()) < lenmax) line.push_back(static_cast<char>(b));
    if (b != ' ') nonBlank = count;
  }
  if (nonBlank > lenmax) {
    reclen = lenmax;
    trunc = 1;
  } else {
    reclen = static_cast<int>(nonBlank);
  }
}

void RecordReader::RECCLOSE() {
  if (closed_) return;
  env_.units().close(unit_);
  closed_ = true;
}

}  // namespace kirmel
