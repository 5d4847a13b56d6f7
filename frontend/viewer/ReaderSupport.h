// What the readers of the kernel output files and of measured-data files
// share: the owning record list, what a read reports to and through (its
// context), and one pass over one file.
//
// A reader reads its file in large blocks and takes the numbers it keeps
// straight from the bytes; it never holds the text.  Every reader keeps to
// one rule: the file is closed on every way out; a file that cannot be
// opened gives false and the message "Cannot open file" with the name in
// double quotes; a file that does not hold what it should keeps the records
// read before the fault and reports one message that names the file and the
// line:
//     <file name>, line <n>: <what is wrong>
// A message names the file as it is on disk.
//
// Damage the readers find at once, whatever the file holds after it:
//  - a line longer than the longest row the file can hold (a kernel output
//    file's rows have fixed widths), so an endless line is never read into
//    memory;
//  - a kernel output file whose last line lacks its line end: the kernel
//    ends every line it writes, so such a line is a row the file was cut
//    inside, and counts only when it is whole (as long as the row).
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/editor/Parser.h"
#include "frontend/model/KirExcpt.h"

namespace kirmel::fe {

// Called while a file is read: the file's name, the bytes read so far and
// the file's size.  Returning false cancels the read.
using TReadProgress =
    std::function<bool(const std::string& fileName, std::uint64_t done, std::uint64_t size)>;

// Leaves a read whose progress callback asked to cancel.  Nothing that was
// being read is kept.
class TReadCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "Reading cancelled."; }
};

// Where a read reports, and how it converts: the message sink, the user's
// decimal separator (with ',' a '.' is read too, as the token reader does)
// and the progress callback.  A context names each file once, with the
// first message about it: one window, or one choice in a comparison, names
// a damaged file once however often it reads it.  Messages name a file as
// it is on disk (a name asked for as WLSOCO.OUT finds wlsoco.out), and one
// that is not there by the name it was asked for.
class TReadContext {
 public:
  TReadContext() = default;
  TReadContext(TMessageSink sink, char decimalSeparator, TReadProgress progress = {});
  // The sink and decimal separator of a token reader (which must outlive
  // the context).
  explicit TReadContext(const Parser& parser, TReadProgress progress = {});

  char DecimalSeparator() const { return decimalSeparator_; }
  void SetProgress(TReadProgress progress) { progress_ = std::move(progress); }

  // The files belong to a run that KIRMEL is still writing: each of them
  // ends where the kernel has got to, so a file whose reading stopped early
  // is not reported (ReportStopped); the rest is reported as always.
  void SetRunStillWritten(bool written) { runStillWritten_ = written; }
  bool RunStillWritten() const { return runStillWritten_; }

  // Hands `message` about `fileName` (a file that cannot be opened, or that
  // its reader refuses) to the sink unless this context named the file
  // before.
  void Report(const std::string& fileName, const std::string& message);
  // The same for a file whose reading stopped at a fault, the records
  // before it kept.
  void ReportStopped(const std::string& fileName, const std::string& message);
  // The progress callback's answer; true when there is none.
  bool Progress(const std::string& fileName, std::uint64_t done, std::uint64_t size) const {
    return !progress_ || progress_(fileName, done, size);
  }

 private:
  TMessageSink sink_;
  char decimalSeparator_ = '.';
  TReadProgress progress_;
  bool runStillWritten_ = false;
  std::set<std::string> named_;
};

// What the reads of one user action report, to be shown as one message:
// each message on a line of its own, in the order they came, the lines
// joined by CR (character 13).
//
//   TReadReports reports;
//   TReadContext context(reports.Sink(), '.');
//   ... reads ...
//   if (std::string text = reports.Take(); !text.empty()) ShowError(text);
class TReadReports {
 public:
  // Adds each message it is given; valid while this object lives.
  TMessageSink Sink();
  // The message, "" when there is none; the list is emptied.
  std::string Take();

 private:
  std::vector<std::string> messages_;
};

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
  // Bytes the records hold.
  std::size_t MemoryBytes() const { return items_.capacity() * sizeof(Record); }

 protected:
  std::vector<Record> items_;
  std::string readError_;
};

// The longest lines the files can hold.  A kernel time-series file's rows
// have fixed widths (the two whole-system mass-balance files' 136 characters
// are the longest) and its headers are no longer than its rows; the input
// echo is free-format, its longest lines the lists of up to 1000 values and
// the paths of the input files.
inline constexpr std::size_t kLongestKernelRow = 160;
inline constexpr std::size_t kLongestEchoLine = 64 * 1024;
// A user's measured-data file: generous, yet a file of one endless line is
// refused before it fills memory.
inline constexpr std::size_t kLongestMeasuredLine = 1024 * 1024;

// Number conversion of the readers, straight from a token's bytes.
// Kernel output files: the token reader's rule, a "." as decimal separator
// and, when the user's separator is ',', a ',' as well.  Measured-data
// files: "." or "," whatever the user's separator.  At most one separator,
// an optional sign and exponent, at least one digit, a finite value; no
// blanks, NaN, infinities or hexadecimal.  False (value unchanged) when the
// token does not convert.
bool ConvertReal(std::string_view token, bool commaToo, double& value);
// Optional sign and decimal digits within the range of int.
bool ConvertInteger(std::string_view token, int& value);

// The kernel writes its time-step number in six places: from step 1000000
// on the field is filled with asterisks.  TFileScan::Step gives such a step
// as kStepDidNotFit.
inline constexpr int kStepDidNotFit = -1;
// What the concentration readers keep as the step of time block t (1-based)
// whose step did not fit: -t.  The kernel writes its time-series files at
// the same steps from step 0 on, so the blocks of one output time have the
// same step, or stand-in, in each file.
inline int StandInStep(std::size_t t) { return -static_cast<int>(t); }

namespace detail {

// A file that does not hold what its reader expects; `message` names the
// file and line.  Thrown and caught inside the readers only.
struct TReadFault {
  std::string message;
};

// The lines of one file, read in large blocks.  A line is a view into the
// block and stays valid until the next line is asked for.  CR LF, LF and a
// lone CR end a line.
class TLineSource {
 public:
  TLineSource(const std::string& fileName, std::size_t longestLine, TReadContext& context);
  ~TLineSource();
  TLineSource(const TLineSource&) = delete;
  TLineSource& operator=(const TLineSource&) = delete;

  // Opens the file (exact name first, then each path component without
  // regard to case); only a regular file opens.  False, with "Cannot open
  // file" reported, when it cannot.
  bool Open();
  void Close();
  // The file's name as it is on disk once it opened; before, and when it
  // cannot be opened, the name it was asked for.
  const std::string& FileName() const { return fileName_; }

  // The next line without its line end; false at the end of the file.  A
  // line longer than `longestLine` is a fault, found before more of it is
  // read.  TReadCancelled when the progress callback cancels.
  bool Next(std::string_view& line);
  // 1-based number of the line Next gave last (0 before the first).
  long LineNumber() const { return lineNumber_; }
  // Whether the line Next gave last ended with a line end (only the file's
  // last line can lack one).
  bool Terminated() const { return terminated_; }

 private:
  // Reads more of the file behind the unread bytes; false at its end.
  bool Fill();
  [[noreturn]] void TooLong() const;

  std::string fileName_;
  std::size_t longestLine_;
  TReadContext& context_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::uint64_t done_ = 0;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;  // unread bytes: buffer_[begin_, end_)
  std::size_t end_ = 0;
  bool atEnd_ = false;
  long lineNumber_ = 0;
  bool terminated_ = true;
};

// What a reader expects of the lines of its file.
struct TFileRules {
  // The longest line the file can hold.
  std::size_t LongestLine = kLongestKernelRow;
  // A user's file: its last line may lack its line end.  Kernel output
  // files' may not (see SetRowWidth).
  bool UserFile = false;
};

// One pass of a reader over one file, with the token reader's rules: lines
// whose first character is "*" or whose first two are " *", and empty
// lines, are comments; tokens are separated by blanks; a "!" where a token
// would start ends the line's content; a "(" before "." or a digit is a
// token of its own.  Tokens are views that stay valid until the next line
// is read.  Records of the kernel's files stand on one line each: Next()
// refuses a token from a later line unless asked to follow the stream
// across lines (the measured-data files, the input echo's lists).
class TFileScan {
 public:
  TFileScan(TReadContext& context, std::string fileName, TFileRules rules = {});
  TFileScan(const TFileScan&) = delete;
  TFileScan& operator=(const TFileScan&) = delete;

  // Opens the file; false (with "Cannot open file" reported) when it
  // cannot.
  bool Open();
  void Close();

  // The rows the reader takes from now on are `width` characters long: the
  // file's last line, when it lacks its line end, is whole only when it is
  // at least that long; a shorter one is where the file was cut.  0: such a
  // line is never whole (free-format files).  Applies to kernel output
  // files only.
  void SetRowWidth(std::size_t width) { rowWidth_ = width; }

  // The first token of the next record, wherever it stands; false at the
  // end of the file.  The record's line is remembered for Next().
  bool First(std::string_view& token);
  // The next token of the record: on the record's line, or anywhere when
  // `sameLine` is false.  A fault when there is none.
  std::string_view Next(bool sameLine = true);
  // The next token when the current line holds one more; false otherwise
  // (nothing is consumed then).
  bool NextOnLine(std::string_view& token);
  // A fault when the current line holds more than the record took.
  void ExpectEndOfLine();
  // Passes over `count` tokens of the record's line; a fault when the line
  // ends first.
  void Skip(int count);
  // The tokens the current line holds after the cursor (nothing consumed).
  int TokensLeft();
  // NextLine of the token reader: drops the rest of the line and makes the
  // next line that is not a comment current; false at the end of the file.
  bool NextLine();
  // SkipTo of the token reader; a fault naming the word when the file ends
  // first.
  void Find(std::string_view word);

  // Conversions; a fault with the token reader's message when the token is
  // no number.  Measured-data files (UserFile) take "." or "," as decimal
  // separator.
  double Real(std::string_view token) const;
  int Integer(std::string_view token) const;
  // A time-step column: a step number (0 or more), or kStepDidNotFit for a
  // field of asterisks.
  int Step(std::string_view token) const;

  // Throws the fault `what` at the current line (or at `line`).
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void FailAt(long line, const std::string& what) const;
  // Throws the fault `what` at the file's last line: where a file stopped
  // before it held what it should.  An empty file is named as such.
  [[noreturn]] void FailAtEnd(const std::string& what) const;

  // Closes the file, reports the fault's message through the context and
  // returns it: Report for a file whose reading stopped there, the records
  // before it kept; Refuse for a file the reader refuses whole.
  std::string Report(const TReadFault& fault);
  std::string Refuse(const TReadFault& fault);

  long Line() const { return source_.LineNumber(); }
  // The name that messages give the file: as it is on disk once it opened.
  const std::string& FileName() const { return source_.FileName(); }

 private:
  // Reads lines until one that is not empty and not a comment; false at the
  // end of the file.
  bool ReadDataLine();
  // Skips blanks; true when a token starts at the cursor.
  bool AtToken();
  std::string_view TakeToken();

  TReadContext& context_;
  TFileRules rules_;
  TLineSource source_;
  std::string_view line_;  // the current line
  std::size_t column_ = 0;
  bool haveLine_ = false;
  long recordLine_ = 0;
  std::size_t rowWidth_ = 0;
};

}  // namespace detail
}  // namespace kirmel::fe
