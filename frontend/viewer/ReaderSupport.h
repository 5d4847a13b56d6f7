// What the readers of the kernel output files and of measured-data files
// share: the owning record list, and one pass over one file through the
// token reader.
//
// Every reader reads through a Parser (the program-wide one unless the
// caller passes its own) and keeps to one rule: the file is closed on every
// way out; a file that cannot be opened gives false and the token reader's
// "Cannot open file" message; a file that does not hold what it should keeps
// the records read before the fault and reports one message through the
// parser's message sink that names the file and the line:
//     <file name>, line <n>: <what is wrong>
#pragma once

#include <string>
#include <vector>

#include "frontend/editor/Parser.h"
#include "frontend/model/KirExcpt.h"

namespace kirmel::fe {

// The records of one file in file order, indexed from 0; the list owns them.
template <class Record>
class TRecordList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // The record at a 0-based index; EIndexOutOfRange outside 0 .. Count - 1.
  const Record& GetItem(int index) const {
    if (index < 0 || index >= Count()) throw EIndexOutOfRange();
    return items_[static_cast<std::size_t>(index)];
  }
  const std::vector<Record>& Items() const { return items_; }
  // Frees every record and forgets the last read's fault.
  void ClearItems() {
    items_.clear();
    readError_.clear();
  }
  // Empty after a read that took the whole file; otherwise the message that
  // reported why the read stopped.
  const std::string& ReadError() const { return readError_; }

 protected:
  std::vector<Record> items_;
  std::string readError_;
};

namespace detail {

// A file that does not hold what its reader expects; `message` names the
// file and line.  Thrown and caught inside the readers only.
struct TReadFault {
  std::string message;
};

// One pass of a reader over one file.  Records of the kernel's files stand
// on one line each: Next() refuses a token from a later line unless asked to
// follow the stream across lines (the measured-data files).
class TFileScan {
 public:
  TFileScan(Parser& parser, std::string fileName);
  ~TFileScan();
  TFileScan(const TFileScan&) = delete;
  TFileScan& operator=(const TFileScan&) = delete;

  // Opens the file; false (with the token reader's message) when it cannot.
  bool Open();
  void Close();

  // The first token of the next record, wherever it stands; false at the end
  // of the file.  The record's line is remembered for Next().
  bool First(std::string& token);
  // The next token of the record: on the record's line, or anywhere when
  // `sameLine` is false.  A fault when there is none.
  std::string Next(bool sameLine = true);
  // The next token when the current line holds one more; false otherwise
  // (nothing is consumed then).
  bool NextOnLine(std::string& token);
  // A fault when the current line holds more than the record took.
  void ExpectEndOfLine();
  // NextLine of the token reader: drops the rest of the line; false at the
  // end of the file.
  bool NextLine();
  // SkipTo of the token reader; a fault naming the word when the file ends
  // first.
  void Find(const std::string& word);

  double Real(const std::string& token) const;
  int Integer(const std::string& token) const;

  // Throws the fault `what` at the current line (or at `line`).
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void FailAt(long line, const std::string& what) const;

  // Closes the file, then shows the fault's message through the parser's
  // sink and returns it.
  std::string Report(const TReadFault& fault);

  long Line() const { return parser_.LineNumber(); }
  const std::string& FileName() const { return fileName_; }

 private:
  bool RestOfLineEmpty() const;

  Parser& parser_;
  std::string fileName_;
  bool open_ = false;
  long recordLine_ = 0;
};

}  // namespace detail
}  // namespace kirmel::fe
