// The statement automaton RDSCTB, the indexer RDINDX and the error listing
// RDERR.
#include <algorithm>
#include <climits>
#include <string>

#include "datafile/FileOpen.h"
#include "datafile/RdParse.h"
#include "platform/Format.h"

namespace kirmel {

namespace {

constexpr int kCtrlZ = 26;

// Error texts of the states 1..15.
const char* const kStateText[16] = {"",
                                    "Variable name expected",
                                    "Next variable name or = expected",
                                    "Without =, a next name is expected",
                                    "Next variable name expected",
                                    "Next name, = or value on next line",
                                    "Next name or first value expected",
                                    "Value expected",
                                    "Illegal after INTEGER value",
                                    "After * a value is expected",
                                    "Illegal after CHARACTER string",
                                    "After // next string expected",
                                    "No proper value separation",
                                    "There must be another value",
                                    "After a value this is illegal",
                                    "New variable or next value expected"};

bool isV(int k) { return k == TFLOAT || k == TTIME || k == TLOGIC || k == TMISS; }
bool isValue(int k) { return k == TINTEG || k == TSTRNG || isV(k); }

// Next state of the statement automaton; 0 and -1 are the error states.
int transition(int state, int k) {
  const bool sp = k == TSPACE || k == TCMMNT;
  if (state == -1) {
    switch (k) {
      case TEOI:
      case TSEMIC: return 16;
      case TEOL: return 6;
      case TCOMMA: return 4;
      case TEQUAL: return 7;
      case TIDENT: return 5;
      default: return -1;
    }
  }
  if (state == 0) {
    if (k == TEOI || k == TSEMIC || k == TIDENT) return 16;
    if (k == TEOL) return 15;
    if (k == TCOMMA) return 13;
    if (k == TINTEG) return 8;
    if (isV(k)) return 12;
    if (k == TSTRNG) return 10;
    return 0;
  }
  int next = 0;
  switch (state) {
    case 1:
      if (k == TEOL || sp) next = 1;
      else if (k == TIDENT) next = 2;
      else if (k == TEOI) next = 16;
      break;
    case 2:
      if (k == TEOL) next = 3;
      else if (sp) next = 2;
      else if (k == TIDENT) next = 5;
      else if (k == TEQUAL) next = 7;
      else if (k == TCOMMA) next = 4;
      break;
    case 3:
      if (k == TEOL || sp) next = 3;
      else if (k == TIDENT) next = 5;
      break;
    case 4:
      if (k == TEOL || sp) next = 4;
      else if (k == TIDENT) next = 5;
      break;
    case 5:
      if (k == TEOL) next = 6;
      else if (sp || k == TIDENT) next = 5;
      else if (k == TEQUAL) next = 7;
      else if (k == TCOMMA) next = 4;
      break;
    case 6:
      if (k == TEOL || sp) next = 6;
      else if (k == TIDENT) next = 5;
      else if (k == TINTEG) next = 8;
      else if (isV(k)) next = 12;
      else if (k == TSTRNG) next = 10;
      break;
    case 7:
      if (k == TEOL || sp) next = 7;
      else if (k == TINTEG) next = 8;
      else if (isV(k)) next = 12;
      else if (k == TSTRNG) next = 10;
      break;
    case 8:
    case 10:
    case 12:
      if (k == TEOL) next = 15;
      else if (k == TSPACE) next = 14;
      else if (k == TCMMNT) next = state;
      else if (k == TCOMMA) next = 13;
      else if (k == TSEMIC || k == TEOI) next = 16;
      else if (state == 8 && k == TMULT) next = 9;
      else if (state == 10 && k == TSCONC) next = 11;
      break;
    case 9:
      if (k == TEOL || sp) next = 9;
      else if (k == TINTEG || isV(k)) next = 12;
      else if (k == TSTRNG) next = 10;
      break;
    case 11:
      if (k == TEOL || sp) next = 11;
      else if (k == TSTRNG) next = 10;
      break;
    case 13:
      if (k == TEOL || sp) next = 13;
      else if (k == TINTEG) next = 8;
      else if (isV(k)) next = 12;
      else if (k == TSTRNG) next = 10;
      break;
    case 14:
      if (k == TEOL) next = 15;
      else if (sp) next = 14;
      else if (k == TCOMMA) next = 13;
      else if (k == TSEMIC || k == TEOI) next = 16;
      else if (k == TINTEG) next = 8;
      else if (isV(k)) next = 12;
      else if (k == TSTRNG) next = 10;
      break;
    case 15:
      if (k == TEOL || sp) next = 15;
      else if (k == TIDENT || k == TSEMIC || k == TEOI) next = 16;
      else if (k == TINTEG) next = 8;
      else if (isV(k)) next = 12;
      else if (k == TSTRNG) next = 10;
      break;
    default:
      break;
  }
  if (next == 0 && state <= 6) next = -1;
  return next;
}

using rdtext::rtrim;
using rdtext::upper;

}  // namespace

// Reads lines until one is usable, or marks the end of the input.
void RdParse::nextLine() {
  std::string line;
  int reclen = 0, trunc = 0;
  bool eof = false;
  // Every pass reads one line of a finite file.
  for (;;) {
    rec_.RECREAD(line, LINMAX, reclen, eof, trunc);
    if (eof || (!line.empty() && static_cast<unsigned char>(line[0]) == kCtrlZ)) {
      rec_.RECCLOSE();
      inputEnded_ = true;
      lineno_ = 0;
      setLine(std::string(), 0);
      tok_ = Token{};
      tok_.first = tok_.last = 1;
      tok_.kind = TEOI;
      return;
    }
    ++lineno_;
    if (rec_.runsOn()) {
      // A line without an end is refused at once, at its last character
      // kept, and the file is read no further.
      setLine(line, reclen);
      tok_ = Token{};
      tok_.first = tok_.last = reclen;
      tok_.kind = TNONE;
      RDERR(2, "No line end within " + std::to_string(RecordReader::kMaxRecord) + " characters");
      rec_.RECCLOSE();
      inputEnded_ = true;
      abandoned_ = true;
      tok_ = Token{};
      tok_.first = tok_.last = 1;
      tok_.kind = TEOI;
      return;
    }
    if (reclen == 0 || line[0] == '*' || line[0] == '!') continue;
    setLine(line, reclen);
    if (trunc == 1) {
      tok_ = Token{};
      tok_.first = tok_.last = LINMAX - 1;
      tok_.kind = TNONE;
      RDERR(2, "Input record truncated");
    }
    RDLEX(2);
    return;
  }
}

void RdParse::addColumn() {
  if (static_cast<int>(cols_.size()) >= NCOLMX) {
    RDERR(2, "Too many columns in table");
    std::string l = " Table has more than";
    fmt::I(l, NCOLMX, 3);
    l += " columns. Increase the value";
    env_.say("");
    env_.say(l);
    env_.say(" of NCOLMX in the subroutines RDSCTB and RDTMP1 (both!!).");
    ERRSTOP(env_, "RDSCTB", "too many columns");
  }
  const int n = tok_.last - tok_.first + 1;
  if (n > NAMLEN) {
    RDERR(2, "Variable name too long");
    stmtErr_ = true;
    nameErr_ = true;
    return;
  }
  Column c;
  for (int p = tok_.first; p <= tok_.last; ++p) c.name.push_back(static_cast<char>(txt_[static_cast<std::size_t>(p)]));
  c.name = upper(c.name);
  c.line = lineno_;
  c.type = '-';
  c.start = RDTMP1(4);
  cols_.push_back(c);
}

void RdParse::value(int prevState, int newState) {
  if (tok_.kind == TINTEG) {
    // An integer directly followed by '*' is a repeat count.
    RDLEX(3);
    const bool mult = tok_.kind == TMULT;
    RDLEX(4);
    if (mult) {
      const long long cnt = tok_.ival;
      if (cols_.size() < 2 || newState <= 0 || prevState <= 0) {
        if (cnt < 1) {
          RDERR(2, "Repeat value should be positive");
          repeat_ = 1;
        } else {
          repeat_ = cnt;
        }
      } else {
        RDERR(2, "Repeat value not allowed in table");
        repeat_ = 1;
      }
      return;
    }
  }
  if (tok_.kind == TSTRNG && prevState == 11) {
    RDTMP1(7);
    return;
  }
  RDTMP1(6, repeat_);
  total_ += repeat_;
  const long long n = static_cast<long long>(cols_.size());
  if (n == 0) {
    repeat_ = 1;
    return;
  }
  const long long col = (total_ - 1) % n;
  Column& c = cols_[static_cast<std::size_t>(col)];
  if (tok_.type != '-') {
    if (c.type == '-') {
      c.type = tok_.type;
    } else if (c.type != tok_.type && !nameErr_) {
      if (n < 2) {
        RDERR(2, "Inconsistent variable type");
      } else if (!stmtErr_) {
        RDERR(2, "Column type inconsistent ");
        stmtErr_ = true;
      }
    }
  }
  repeat_ = 1;
  rowComplete_ = col == n - 1;
}

void RdParse::RDSCTB(bool& eof) {
  cols_.clear();
  total_ = 0;
  stmtErr_ = false;
  nameErr_ = false;
  repeat_ = 1;
  rowComplete_ = true;
  eof = false;
  int state = 1;
  RDTMP1(2);
  // Every pass consumes one token; the end of the input ends the statement
  // within two passes.
  while (state != 16) {
    if (!inputEnded_ && (tok_.kind == TEOL || tok_.kind == -1)) nextLine();
    // The statement under way is not judged: the file was refused.
    if (abandoned_) break;
    if (inputEnded_) {
      tok_ = Token{};
      tok_.first = tok_.last = 1;
      tok_.kind = TEOI;
    } else {
      RDLEX(3);
    }
    const int kind = tok_.kind;
    const int next = transition(state, kind);
    if (state > 0 && next <= 0) {
      stmtErr_ = true;
      if (next == -1) nameErr_ = true;
      if (next == 0) repeat_ = 1;
      RDERR(2, kind == TEOI ? "Unexpected End_Of_File" : kStateText[state]);
    }
    const int prev = state;
    state = next;
    if (kind == TIDENT && state != 16) {
      addColumn();
    } else if (isValue(kind)) {
      value(prev, state);
    }
  }
  if (!stmtErr_ && !rowComplete_ && !abandoned_) RDERR(2, "Previous table is incomplete");
  if (tok_.kind == TEOI) eof = true;
  if (tok_.kind == TIDENT) RDLEX(4);
  RDTMP1(8);
}

int RdParse::RDINDX(int iunit, bool toscreen, bool tolog, int iulog, const std::string& datfil,
                    const std::string& tmpnam, VarIndex& index) {
  nerr_ = nwarn_ = 0;
  index.clear();
  setOutput(toscreen, tolog, iulog, rtrim(datfil));
  tmpName_ = tmpnam;
  inputEnded_ = false;
  abandoned_ = false;
  lineno_ = 0;
  setLine(std::string(), 0);
  rec_.RECOPEN(iunit + 1, datfil_);
  RDLEX(1);
  RDTMP1(1, iunit);
  bool eof = false;
  // Every statement consumes at least one token of a finite file.
  while (!eof) {
    RDSCTB(eof);
    if (abandoned_) break;
    const long long n = static_cast<long long>(cols_.size());
    const long long rows = total_ / std::max(1LL, n);
    for (const Column& c : cols_) {
      auto it = std::find(index.names.begin(), index.names.end(), c.name);
      std::size_t k = 0;
      if (it == index.names.end()) {
        if (index.size() >= ILNDAT) {
          RDERR(4, "exceeded maximum number of names", c.line, c.name);
          env_.say("");
          env_.say(" Too many names occur in the data file " + datfil_);
          env_.say(" Increase the value of ILNDAT in RDMACHIN.");
          ERRSTOP(env_, "", "");
        }
        index.names.push_back(c.name);
        index.types.push_back(' ');
        index.counts.push_back(0);
        index.positions.push_back(0);
        k = index.names.size() - 1;
      } else {
        RDERR(4, "name already used", c.line, c.name);
        k = static_cast<std::size_t>(it - index.names.begin());
      }
      // The index holds counts as 4-byte integers.
      if (rows > INT_MAX) RDERR(4, "too many values", c.line, c.name);
      index.counts[k] = rows;
      index.positions[k] = c.start;
      if (index.types[k] == ' ') {
        index.types[k] = c.type;
      } else if (c.type != '-' && c.type != index.types[k]) {
        RDERR(4, "data type is not consistent", c.line, c.name);
      }
    }
  }
  index.nsets = 1;
  RDTMP1(9);
  return nerr_;
}

void RdParse::RDERR(int itask, const std::string& msg, int line, const std::string& name) {
  if (itask < 2 || itask > 4) ERRSTOP(env_, "RDERR", "internal error");
  std::vector<std::string> out;
  if (nerr_ == 0 && nwarn_ == 0) {
    out.emplace_back("");
    out.push_back(" Error(s) while reading from " + datfil_);
    out.emplace_back("");
    std::string h = " Line";
    fmt::T(h, 7);
    h += "Error text";
    fmt::T(h, 48);
    h += "Somewhere here";
    out.push_back(h);
    h = " ====";
    fmt::T(h, 7);
    h += "==========";
    fmt::T(h, 48);
    h += "==============";
    out.push_back(h);
  }
  if (itask == 4) {
    std::string l = " ";
    fmt::I(l, line, 5);
    l += "  Variable " + rtrim(name) + ": " + rtrim(msg);
    out.push_back(l);
    out.emplace_back("");
    ++nerr_;
  } else {
    std::string m = msg.substr(0, std::min<std::size_t>(msg.size(), 40));
    m.resize(40, ' ');
    if (m[0] >= 'a' && m[0] <= 'z') m[0] = static_cast<char>(m[0] - 'a' + 'A');
    // The excerpt shows characters of the line itself, never its end marker.
    const int e = std::min(tok_.last + 5, realLen_);
    std::string l = " ";
    fmt::I(l, lineno_, 4);
    l += " " + m;
    if (e <= 0) {
      out.push_back(l);
    } else {
      const int s = std::max(1, e - 29);
      std::string ex, mk;
      for (int k = s; k <= e; ++k) {
        unsigned char c = txt_[static_cast<std::size_t>(k)];
        if (c < 32 || c == 127) c = '?';
        ex.push_back(static_cast<char>(c));
        const bool inside = k >= tok_.first && k <= tok_.last;
        if (k == tok_.first || k == tok_.last) {
          mk.push_back('^');
        } else if (k == s && inside) {
          mk.push_back('<');
        } else if (inside) {
          mk.push_back('-');
        } else {
          mk.push_back(' ');
        }
      }
      l += " [" + ex + "]";
      out.push_back(l);
      std::string m2;
      fmt::T(m2, 49);
      m2 += mk;
      out.push_back(m2);
    }
    if (itask == 2) {
      ++nerr_;
    } else {
      ++nwarn_;
    }
  }
  if (tolog_ && !env_.units().isOpen(iulog_)) FOPENR(env_, iulog_, "RDINDX.LOG", "NEW", "DEL");
  for (const std::string& l : out) {
    if (toscreen_) env_.say(l);
    if (tolog_) env_.units().writeLine(iulog_, l);
  }
}

}  // namespace kirmel
