// Parsing one data file: the record reader (RECOPEN, RECREAD, RECCLOSE), the
// lexer RDLEX with its value decoders, the statement automaton RDSCTB, the
// indexer RDINDX, the cache-file writer RDTMP1, the index in the cache file
// RDTMPI and the error listing RDERR.
//
// One RdParse object serves one data file at a time; it is reset by every
// parse, so it may be reused after a Stop has interrupted a parse.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "datafile/FileOpen.h"
#include "platform/Env.h"

namespace kirmel {

// Limits of the data-file syntax.
constexpr int NCOLMX = 40;   // names in one statement (columns of a table)
constexpr int ILNDAT = 400;  // names in one data file
constexpr int NAMLEN = 31;   // characters of a variable name
constexpr int LINMAX = 1023; // characters kept of one line

// Token kinds.
enum TokenKind : int {
  TNONE = 0,
  TEOI = 1,
  TEOL = 2,
  TTIME = 3,
  TINTEG = 4,
  TFLOAT = 5,
  TSPACE = 6,
  TCOMMA = 7,
  TEQUAL = 8,
  TSEMIC = 9,
  TMULT = 10,
  TLPAR = 11,
  TRPAR = 12,
  TSCONC = 13,
  TCMMNT = 14,
  TIDENT = 15,
  TSTRNG = 16,
  TLOGIC = 17,
  TMISS = 18,
};

struct Token {
  int first = 0;  // 1-based positions in the current line; 0 when no token
  int last = 0;
  int kind = -1;  // -1 after a reset: no line read yet
  char type = ' ';  // F I L T C - or blank
  double dval = 0.0;
  int ival = 0;
  bool lval = false;
  double tval = 0.0;  // day number
};

// Blocked reader of raw lines.  A line ends at CR, at LF, or at CR LF; the
// last line needs no line end.
class RecordReader {
 public:
  // Bytes of a line after which, without a line end, the line is not read
  // on: far beyond what a line holds (LINMAX), so that long lines are still
  // cut and reported as the syntax says, yet a file that never ends a line
  // is refused at once.
  static constexpr long long kMaxRecord = 65536;

  explicit RecordReader(Env& env) : env_(env) {}
  void RECOPEN(int iunit, const std::string& file);
  // Next line into `line` (at most lenmax characters kept).  reclen: characters
  // kept without trailing blanks; eof: no further line (the unit is closed);
  // trunc: 1 when the line was longer than lenmax.
  void RECREAD(std::string& line, int lenmax, int& reclen, bool& eof, int& trunc);
  void RECCLOSE();
  // The line last read had no line end within kMaxRecord bytes; the rest of
  // the file is unread.
  bool runsOn() const { return runsOn_; }

 private:
  bool nextByte(unsigned char& b);

  Env& env_;
  int unit_ = 0;
  std::string file_;
  std::array<unsigned char, 1024> block_{};
  int pos_ = 1024;       // bytes of the block consumed
  int blockLen_ = 1024;  // valid bytes in the block
  bool lastBlock_ = false;
  bool endReached_ = false;
  bool closed_ = true;
  bool initialised_ = false;
  bool skipLf_ = false;  // the previous line ended at a CR
  bool runsOn_ = false;
};

// The index of one data file.
struct VarIndex {
  std::vector<std::string> names;  // upper-case, at most 31 characters
  std::vector<char> types;         // C I F L T or '-'
  std::vector<long long> counts;
  std::vector<long long> positions;
  int nsets = 0;
  void clear() {
    names.clear();
    types.clear();
    counts.clear();
    positions.clear();
    nsets = 0;
  }
  int size() const { return static_cast<int>(names.size()); }
};

class RdParse {
 public:
  explicit RdParse(Env& env) : env_(env), rec_(env) {}

  // Parses `datfil` (read on iunit+1) into the new cache file `tmpnam` (on
  // iunit) and fills `index`.  Returns the number of errors.  On return
  // without errors the cache file is complete but the index is not yet
  // written to it (RDTMPI task 1).
  int RDINDX(int iunit, bool toscreen, bool tolog, int iulog, const std::string& datfil,
             const std::string& tmpnam, VarIndex& index);
  // Task 1: appends the index to the open cache file on iunit.  Task 2: reads
  // it back; returns false when the file does not hold a sound index.
  bool RDTMPI(int itask, int iunit, VarIndex& index);

  int errors() const { return nerr_; }
  int warnings() const { return nwarn_; }

  // --- the layers below are public so that tests can drive them directly ---

  // Lexer.  Task 1 reset, 2 prepare the current line, 3 next token, 4 back.
  void RDLEX(int itask);
  // Sets the current line (as the record reader delivered it; reclen
  // characters without trailing blanks).
  void setLine(const std::string& text, int reclen);
  const Token& token() const { return tok_; }

  // Decoders of characters is..ie of the current line into the current token.
  void RDDECD(int is, int ie);
  void RDDECI(int is, int ie);
  void RDDECL(int is, int ie);
  void RDDECT(int is, int ie);

  // Reports one error (2) or warning (3) at the current token, or a variable
  // error (4) of the name `name` that stood on line `line`.
  void RDERR(int itask, const std::string& msg, int line = 0, const std::string& name = {});
  // Output settings of the listing (set by RDINDX; tests may set them).
  void setOutput(bool toscreen, bool tolog, int iulog, const std::string& datfil) {
    toscreen_ = toscreen;
    tolog_ = tolog;
    iulog_ = iulog;
    datfil_ = datfil;
  }
  void resetCounters() { nerr_ = nwarn_ = 0; }

 private:
  struct Column {
    std::string name;
    int line = 0;
    char type = '-';
    long long start = 0;
  };
  struct Buffer {
    std::array<unsigned char, 128> data{};
    long long rec = 0;
    int off = 0;
  };

  // Statement automaton: reads and checks the next statement.
  void RDSCTB(bool& eof);
  void nextLine();
  void addColumn();
  void value(int prevState, int newState);
  // Cache-file writer.  `arg` is the unit (task 1), the repeat count (task 6);
  // task 4 returns the start position.
  long long RDTMP1(int itask, long long arg = 0);
  void putBytes(Buffer& b, const unsigned char* p, int n);
  void align8(Buffer& b);
  void newRecord(Buffer& b, bool link);
  void writeBuffer(const Buffer& b, long long link);
  [[noreturn]] void tmpFault(const char* what);

  // Scanning.
  void scan();
  int autDate(int p) const;
  int autNumber(int p, int& kind) const;
  int autPunct(int p, int& kind) const;
  int autIdent(int p) const;
  int autString(int p) const;
  int autLogic(int p) const;
  int cls(int p) const { return cls_[static_cast<std::size_t>(p)]; }
  long long decodeInt(int is, int ie, bool& bad) const;

  Env& env_;
  RecordReader rec_;

  // Listing settings and counters.
  bool toscreen_ = true;
  bool tolog_ = false;
  int iulog_ = 0;
  std::string datfil_;
  int nerr_ = 0;
  int nwarn_ = 0;

  // Current line: positions 1..len_ (len_ includes the end marker after RDLEX
  // task 2); index 0 unused.
  std::array<unsigned char, 1026> txt_{};
  std::array<unsigned char, 1026> cls_{};
  int len_ = 0;
  int realLen_ = 0;  // characters of the line itself, without the end marker
  int lineno_ = 0;
  bool inputEnded_ = false;
  bool abandoned_ = false;  // a line without an end ended the reading

  // Token and stack.
  Token tok_;
  std::vector<Token> stack_;  // stack_[0] unused
  int ntok_ = 0;
  int itok_ = 0;

  // Statement.
  std::vector<Column> cols_;
  long long total_ = 0;
  bool stmtErr_ = false;
  bool nameErr_ = false;
  long long repeat_ = 1;
  bool rowComplete_ = true;

  // Cache writer.
  std::string tmpName_;
  int tmpUnit_ = 0;
  int prevTask_ = 0;
  long long lastRec_ = 0;
  Buffer shared_;
  std::vector<Buffer> colBuf_;
  int ncolTmp_ = 0;
  int nextCol_ = 0;   // column (0-based) of the next value run
  int lastCol_ = -1;  // column of the last run
  char lastRunType_ = ' ';
};

// Text helpers of the parser and the engine.
namespace rdtext {

// s with a..z upper-cased; every other character stays.
inline std::string upper(std::string s) {
  STRUPP(s);
  return s;
}

// s without its trailing blanks.
inline std::string rtrim(const std::string& s) {
  const auto e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

}  // namespace rdtext

// Leap year of the Gregorian calendar.
bool ISLEAP(int iyear);
// Task 1: date fields (year, month, day, hour, minute, second) and fraction of
// a second to a day number; err and msg report a field out of range.
void DTSYS(Env& env, int itask, const int idate[6], float fsec, double& daynr, bool& err,
           std::string& msg);

}  // namespace kirmel
