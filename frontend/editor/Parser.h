// Token reader over one text file at a time.
//
// Lines whose first character is '*', or whose first two characters are
// " *", are comments and are skipped, as are empty lines.  Tokens are
// separated by blanks (character 32 only; a tab is a token character); a "!"
// where a token would start ends the line's content, a "!" inside a token is
// part of it.  A token never spans two lines.  A "(" followed by "." or a
// digit is a token of its own.  Line ends may be CR LF, LF or a lone CR.
//
// Numbers convert strictly (no NaN, infinities, hexadecimal or group
// separators, never the process locale); a failed conversion raises
// EIllegalValue naming the file and the token.  A line longer than
// kLongestInputLine raises EIllegalValue naming the file and the line as soon
// as it is seen, and the file is read no further.
//
// The program has one current file: ProgramParser() and the free routines
// below use the program-wide reader.  Every Parser is an independent reader,
// so tests and the kernel-input reader can own one.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace kirmel::fe {

// Receives the error messages that the front end shows in its error dialog.
using TMessageSink = std::function<void(const std::string&)>;

// The longest line read.  The kernel's data-file library keeps 1023
// characters of a line, but reads blanks after them and comment lines up to
// this length; a line that runs on further it refuses.  So every line the
// kernel reads is read here too, and a file of one endless line is refused
// after 64 KiB instead of being read whole into memory.
inline constexpr std::size_t kLongestInputLine = 65536;

class Parser {
 public:
  // `decimalSeparator` is the one the user's locale uses; with ',' a "." in a
  // number is read as the separator too.
  explicit Parser(TMessageSink sink = {}, char decimalSeparator = '.');
  ~Parser();
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  void SetMessageSink(TMessageSink sink) { sink_ = std::move(sink); }
  // Hands a message to the sink (when there is one): readers built on the
  // token reader report their own faults the way it reports its own.
  void ShowMessage(const std::string& message) const {
    if (sink_) sink_(message);
  }
  void SetDecimalSeparator(char separator) { decimalSeparator_ = separator; }
  char DecimalSeparator() const { return decimalSeparator_; }

  // Closes any file still open, then opens `fileName` (exact name first, then
  // each path component case-insensitively).  On failure the sink gets
  // "Cannot open file " + the name in double quotes and the result is false.
  bool OpenInputFile(const std::string& fileName);
  // Closes the current file; afterwards no file is open.
  void CloseInputFile();

  // Reads lines until one that is not empty and not a comment; the scan
  // column goes back to the line's start.  False at the end of the file (the
  // current line then stays as it was).  A line longer than
  // kLongestInputLine closes the file and raises EIllegalValue with
  // FileName + ", line " + its number + ": the line is longer than the 65536
  // characters a line of this file can hold".
  bool ReadNextLine();
  // ReadNextLine on the current file: abandons the rest of the current line.
  bool NextLine() { return ReadNextLine(); }
  // The next token, across lines.  False at the end of the file or when no
  // file is open.
  bool GetToken(std::string& token);
  // Reads tokens until one equals `s` exactly; false when the file ends first.
  bool SkipTo(std::string_view s);

  // Decimal integer (optional sign).  True, or EIllegalValue with
  // FileName + ": Illegal integer value: " + s (as PrintableText shows it).
  bool StrToIntValue(std::string_view s, int& value) const;
  // Floating-point number with an optional exponent.  True, or EIllegalValue
  // with FileName + ": Illegal floating-point value: " + s in double quotes
  // (as PrintableText shows it).
  bool StrToFloatValue(std::string_view s, double& value) const;

  const std::string& FileName() const { return fileName_; }
  bool FileOpen() const { return fileOpen_; }
  const std::string& Line() const { return line_; }
  // 1-based position of the next character to scan in Line().
  int Column() const { return static_cast<int>(column_) + 1; }

 private:
  bool AtEnd();

  TMessageSink sink_;
  char decimalSeparator_;
  std::FILE* file_ = nullptr;
  std::string fileName_;
  bool fileOpen_ = false;
  std::string line_;
  std::size_t column_ = 0;  // 0-based
  long lineNumber_ = 0;     // lines read from the file, comments included
};

// A token as a message shows it: bytes that do not print (control
// characters, bytes that are not part of a UTF-8 character) as \xNN, and a
// token longer than 80 characters cut there and followed by "...".
std::string PrintableText(std::string_view token);

// The program-wide token reader and the routines that work on it.
Parser& ProgramParser();
bool OpenInputFile(const std::string& fileName);
void CloseInputFile();
bool ReadNextLine();
bool NextLine();
bool GetToken(std::string& token);
bool SkipTo(std::string_view s);
bool StrToIntValue(std::string_view s, int& value);
bool StrToFloatValue(std::string_view s, double& value);

}  // namespace kirmel::fe
