// The lexer RDLEX: character classes, seven small automata, the token stack
// of the current line, and the value decoders with the date conversion.
#include <cmath>
#include <cstring>

#include "datafile/FileOpen.h"
#include "datafile/RdParse.h"

namespace kirmel {

namespace {

constexpr int kStackMax = 200;

// Character classes 1..22 of every byte value.
struct ClassTable {
  unsigned char c[256];
  constexpr void set(char ch, unsigned char k) { c[static_cast<unsigned char>(ch)] = k; }
  constexpr ClassTable() : c{} {
    for (int i = 0; i < 256; ++i) c[i] = 1;
    c[13] = 2;
    set(' ', 3);
    set('!', 4);
    for (char ch : {'"', '#', '%', '&', '<', '>', '?', '@', '[', '\\', ']', '^', '`', '{', '}', '~', '|'})
      set(ch, 5);
    set('$', 6);
    set('\'', 7);
    set('(', 8);
    set(')', 9);
    set('*', 10);
    set('+', 11);
    set(',', 12);
    set('-', 13);
    set('.', 14);
    set('/', 15);
    for (int d = '0'; d <= '9'; ++d) c[d] = 16;
    set(':', 17);
    set(';', 18);
    set('=', 19);
    for (int l = 'A'; l <= 'Z'; ++l) c[l] = 20;
    for (int l = 'a'; l <= 'z'; ++l) c[l] = 20;
    for (char ch : {'D', 'E', 'd', 'e'}) set(ch, 21);
    set('_', 22);
  }
};
constexpr ClassTable kClass;

constexpr int CBLANK = 3, CEXCL = 4, CDOLLAR = 6, CQUOTE = 7, CLPAR = 8, CRPAR = 9, CSTAR = 10,
              CPLUS = 11, CCOMMA = 12, CMINUS = 13, CPOINT = 14, CSLASH = 15, CDIGIT = 16,
              CCOLON = 17, CSEMI = 18, CEQUAL = 19, CLETTER = 20, CEXP = 21, CUNDER = 22, CEND = 2;

bool isLetter(int c) { return c == CLETTER || c == CEXP; }
bool isSign(int c) { return c == CPLUS || c == CMINUS; }

// Exact powers of ten used by the real decoder.
constexpr double kPos[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr double kNeg[16] = {1e0,  1e-1, 1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                             1e-8, 1e-9, 1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15};

double pow10i(long long k) {
  if (k >= 0 && k <= 15) return kPos[k];
  if (k < 0 && k >= -15) return kNeg[-k];
  return std::pow(10.0, static_cast<double>(k));
}

const char* const kMonth3[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
const char* const kMonthFull[12] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                    "MAY",     "JUNE",     "JULY",      "AUGUST",
                                    "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};

}  // namespace

bool ISLEAP(int iyear) { return (iyear % 4 == 0 && iyear % 100 != 0) || iyear % 400 == 0; }

void DTSYS(Env& env, int itask, const int idate[6], float fsec, double& daynr, bool& err,
           std::string& msg) {
  if (itask != 1) ERRSTOP(env, "DTSYS", "unknown task");
  static constexpr int kLen[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  static constexpr int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int year = idate[0], month = idate[1], day = idate[2];
  const int hour = idate[3], minute = idate[4], second = idate[5];
  err = true;
  daynr = 0.0;
  const bool allZero = year == 0 && month == 0 && day == 0;
  const bool noneZero = year != 0 && month != 0 && day != 0;
  if (!allZero && !noneZero) {
    msg = "date not allowed";
    return;
  }
  if (year != 0 && (year < 1900 || year > 2000)) {
    msg = "illegal year";
    return;
  }
  if (month != 0 && (month < 1 || month > 12)) {
    msg = "month invalid";
    return;
  }
  if (day != 0) {
    int mlen = kLen[month - 1];
    if (month == 2 && ISLEAP(year)) mlen = 29;
    if (day < 1 || day > mlen) {
      msg = "day invalid";
      return;
    }
  }
  if (hour < 0) {
    msg = "hour invalid";
    return;
  }
  if (minute < 0 || minute > 59) {
    msg = "minute invalid";
    return;
  }
  if (second < 0 || second > 59) {
    msg = "seconds invalid";
    return;
  }
  if (!(fsec >= 0.0f && fsec < 1.0f)) {
    msg = "fractional seconds invalid";
    return;
  }
  err = false;
  msg.clear();
  double dn = 0.0;
  if (!allZero) {
    for (int y = 1900; y < year; ++y) {
      dn += 365.0;
      if (ISLEAP(y)) dn += 1.0;
    }
    dn += kBefore[month - 1];
    if (ISLEAP(year) && month > 2) dn += 1.0;
    dn += day;
  }
  dn += hour / 24.0;
  dn += minute / 1440.0;
  dn += second / 86400.0;
  dn += static_cast<double>(fsec) / 86400.0;
  daynr = dn;
}

void RdParse::setLine(const std::string& text, int reclen) {
  if (reclen < 0) reclen = 0;
  if (reclen > LINMAX) reclen = LINMAX;
  txt_.fill(' ');
  const int n = std::min<int>(reclen, static_cast<int>(text.size()));
  for (int i = 0; i < n; ++i) txt_[static_cast<std::size_t>(i + 1)] = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
  len_ = reclen;
  realLen_ = reclen;
}

void RdParse::RDLEX(int itask) {
  switch (itask) {
    case 1:
      tok_ = Token{};
      tok_.kind = -1;
      stack_.assign(1, Token{});
      ntok_ = itok_ = 0;
      return;
    case 2: {
      // End marker after the last character; classes of every position.
      ++len_;
      txt_[static_cast<std::size_t>(len_)] = 13;
      for (int p = 1; p <= len_; ++p) cls_[static_cast<std::size_t>(p)] = kClass.c[txt_[static_cast<std::size_t>(p)]];
      tok_ = Token{};
      tok_.kind = TNONE;
      stack_.assign(1, Token{});
      ntok_ = itok_ = 0;
      return;
    }
    case 3:
      if (itok_ < ntok_) {
        ++itok_;
        tok_ = stack_[static_cast<std::size_t>(itok_)];
      } else {
        scan();
      }
      return;
    case 4:
      if (itok_ <= 0) ERRSTOP(env_, "RDLEX", "Internal error, empty stack");
      --itok_;
      if (itok_ == 0) {
        tok_ = Token{};
        tok_.kind = TNONE;
      } else {
        tok_ = stack_[static_cast<std::size_t>(itok_)];
      }
      return;
    default:
      ERRSTOP(env_, "RDLEX", "illegal ITASK value");
  }
}

void RdParse::scan() {
  if (ntok_ >= kStackMax) ERRSTOP(env_, "LEXPARSE", "Internal error, too many stack elements");
  const int p = ntok_ == 0 ? 1 : stack_[static_cast<std::size_t>(ntok_)].last + 1;
  Token t;
  t.first = p;
  if (p >= len_) {
    // The end marker (a line is always prepared with one).
    t.first = t.last = len_;
    t.kind = TEOL;
  } else {
    int best = 0, kind = TNONE, k = 0, n = 0;
    auto take = [&](int len, int kd) {
      if (len > 0 && len >= best) {
        best = len;
        kind = kd;
      }
    };
    take(autDate(p), TTIME);
    n = autNumber(p, k);
    take(n, k);
    n = autPunct(p, k);
    take(n, k);
    take(autIdent(p), TIDENT);
    take(autString(p), TSTRNG);
    take(autLogic(p), TLOGIC);
    take(txt_[static_cast<std::size_t>(p)] == '-' ? 1 : 0, TMISS);
    t.kind = kind;
    t.last = best > 0 ? p + best - 1 : p;
  }
  tok_ = t;
  tok_.type = ' ';
  switch (tok_.kind) {
    case TFLOAT:
      tok_.type = 'F';
      RDDECD(tok_.first, tok_.last);
      break;
    case TINTEG:
      tok_.type = 'I';
      RDDECI(tok_.first, tok_.last);
      break;
    case TLOGIC:
      tok_.type = 'L';
      RDDECL(tok_.first, tok_.last);
      break;
    case TTIME:
      tok_.type = 'T';
      RDDECT(tok_.first, tok_.last);
      break;
    case TSTRNG:
      tok_.type = 'C';
      break;
    case TMISS:
      tok_.type = '-';
      break;
    default:
      break;
  }
  ++ntok_;
  stack_.push_back(tok_);
  itok_ = ntok_;
}

// Each automaton returns the length of the token it accepts from position p,
// 0 when it fails.  The end marker (class 2) is taken by none except the
// comment, so every automaton stops within the line.

int RdParse::autDate(int p) const {
  int q = p;
  auto digits = [&]() {
    int n = 0;
    while (cls(q) == CDIGIT) ++q, ++n;
    return n;
  };
  // Time part from q: digits ':' digits [':' digits ['.' digits*]].
  auto timePart = [&]() -> int {
    if (digits() == 0) return 0;
    if (cls(q) != CCOLON) return 0;
    ++q;
    if (digits() == 0) return 0;
    if (cls(q) == CCOLON) {
      ++q;
      if (digits() == 0) return 0;
      if (cls(q) == CPOINT) {
        ++q;
        digits();
      }
    }
    return q - p;
  };
  if (cls(q) != CDIGIT) return 0;
  digits();
  if (cls(q) == CCOLON) {
    q = p;
    return timePart();
  }
  if (cls(q) != CMINUS && cls(q) != CSLASH) return 0;
  ++q;
  if (cls(q) == CDIGIT) {
    digits();
  } else if (isLetter(cls(q))) {
    while (isLetter(cls(q))) ++q;
  } else {
    return 0;
  }
  if (cls(q) != CMINUS && cls(q) != CSLASH) return 0;
  ++q;
  if (digits() == 0) return 0;
  if (cls(q) != CUNDER) return q - p;
  ++q;
  return timePart();
}

int RdParse::autNumber(int p, int& kind) const {
  int q = p;
  kind = TINTEG;
  if (isSign(cls(q))) ++q;
  int lead = 0;
  while (cls(q) == CDIGIT) ++q, ++lead;
  bool point = false;
  int frac = 0;
  if (cls(q) == CPOINT) {
    // A '.' must have a digit before or after it.
    if (lead == 0 && cls(q + 1) != CDIGIT) return 0;
    point = true;
    ++q;
    while (cls(q) == CDIGIT) ++q, ++frac;
  }
  if (lead == 0 && frac == 0) return 0;
  if (point) kind = TFLOAT;
  if (cls(q) == CEXP) {
    ++q;
    kind = TFLOAT;
    if (cls(q) == CDIGIT) {
      while (cls(q) == CDIGIT) ++q;
    } else if (isSign(cls(q))) {
      ++q;
      while (cls(q) == CDIGIT) ++q;
    } else {
      return 0;
    }
  }
  return q - p;
}

int RdParse::autPunct(int p, int& kind) const {
  int q = p;
  int blanks = 0;
  while (cls(q) == CBLANK) ++q, ++blanks;
  kind = TSPACE;
  switch (cls(q)) {
    case CCOMMA: kind = TCOMMA; break;
    case CEQUAL: kind = TEQUAL; break;
    case CSEMI: kind = TSEMIC; break;
    case CSTAR: kind = TMULT; break;
    case CLPAR: kind = TLPAR; break;
    case CRPAR: kind = TRPAR; break;
    case CSLASH:
      if (cls(q + 1) != CSLASH) return 0;
      kind = TSCONC;
      ++q;
      break;
    case CEXCL:
      kind = TCMMNT;
      while (cls(q) != CEND) ++q;
      return q - p;
    default:
      return blanks;
  }
  ++q;
  while (cls(q) == CBLANK) ++q;
  return q - p;
}

int RdParse::autIdent(int p) const {
  int q = p;
  if (!isLetter(cls(q))) return 0;
  ++q;
  for (;;) {
    const int c = cls(q);
    if (isLetter(c) || c == CDIGIT || c == CUNDER || c == CDOLLAR) {
      ++q;
    } else {
      break;
    }
  }
  return q - p;
}

int RdParse::autString(int p) const {
  int q = p;
  if (cls(q) != CQUOTE) return 0;
  ++q;
  int n = 0;
  for (;;) {
    const int c = cls(q);
    // Bytes 128-255 are characters of the string, so that names with
    // letters beyond ASCII (UTF-8) pass through unchanged; outside strings
    // they stay characters that no automaton takes.
    if ((c >= 3 && c <= 22 && c != CQUOTE) || txt_[static_cast<std::size_t>(q)] >= 128) {
      ++q;
      ++n;
    } else {
      break;
    }
  }
  if (n == 0 || cls(q) != CQUOTE) return 0;
  ++q;
  // A doubled quote does not stand for a quote: no string at all.
  if (cls(q) == CQUOTE) return 0;
  return q - p;
}

int RdParse::autLogic(int p) const {
  int q = p;
  if (cls(q) != CPOINT) return 0;
  ++q;
  while (isLetter(cls(q))) ++q;
  if (cls(q) != CPOINT) return 0;
  ++q;
  return q - p;
}

void RdParse::RDDECD(int is, int ie) {
  tok_.dval = 0.0;
  int i = is;
  bool neg = false;
  if (txt_[static_cast<std::size_t>(i)] == '-') {
    neg = true;
    ++i;
  } else if (txt_[static_cast<std::size_t>(i)] == '+') {
    ++i;
  }
  // Reference position: the first '.', else the exponent letter.
  int ref = 0;
  for (int k = i; k <= ie && ref == 0; ++k)
    if (txt_[static_cast<std::size_t>(k)] == '.') ref = k;
  int expPos = 0;
  for (char e : {'E', 'e', 'D', 'd'}) {
    if (expPos) break;
    for (int k = i; k <= ie; ++k)
      if (txt_[static_cast<std::size_t>(k)] == static_cast<unsigned char>(e)) {
        expPos = k;
        break;
      }
  }
  if (ref == 0) ref = expPos;
  if (ref == 0) ERRSTOP(env_, "RDDECD", "internal error");
  const int mantEnd = expPos ? expPos - 1 : ie;
  double v = 0.0;
  int sig = 0;
  for (int k = i; k <= mantEnd; ++k) {
    const unsigned char c = txt_[static_cast<std::size_t>(k)];
    if (c < '0' || c > '9') continue;
    const int d = c - '0';
    if (sig > 0 || d != 0) ++sig;
    if (k < ref) {
      v += d * pow10i(ref - k - 1);
    } else {
      v += d * pow10i(-(k - ref));
    }
  }
  if (neg) v = -v;
  if (expPos) {
    int k = expPos + 1;
    bool eneg = false;
    if (k <= ie && (txt_[static_cast<std::size_t>(k)] == '-' || txt_[static_cast<std::size_t>(k)] == '+')) {
      eneg = txt_[static_cast<std::size_t>(k)] == '-';
      ++k;
    }
    long long e = 0;
    for (; k <= ie; ++k) {
      const unsigned char c = txt_[static_cast<std::size_t>(k)];
      if (c < '0' || c > '9') break;
      if (e < 100000) e = e * 10 + (c - '0');
    }
    if (eneg) e = -e;
    if (e > -39 && e < 39) {
      v *= pow10i(e);
    } else {
      RDERR(2, "Exponent outside limits");
      v = 0.0;
    }
  }
  if (!std::isfinite(v)) {
    // A long digit string can overflow the double range.
    RDERR(2, "Exponent outside limits");
    v = 0.0;
  }
  if (sig > 15) RDERR(3, "Many digits, possible loss of accuracy, even with RD*DOU calls");
  tok_.dval = v;
}

long long RdParse::decodeInt(int is, int ie, bool& bad) const {
  bad = false;
  int i = is;
  bool neg = false;
  if (i <= ie && (txt_[static_cast<std::size_t>(i)] == '-' || txt_[static_cast<std::size_t>(i)] == '+')) {
    neg = txt_[static_cast<std::size_t>(i)] == '-';
    ++i;
  }
  const int ndig = ie - i + 1;
  if (ndig > 10) {
    bad = true;
    return 0;
  }
  if (ndig == 10 &&
      std::memcmp(&txt_[static_cast<std::size_t>(i)], "2147483647", 10) > 0) {
    bad = true;
    return 0;
  }
  long long v = 0;
  for (; i <= ie; ++i) v = v * 10 + (txt_[static_cast<std::size_t>(i)] - '0');
  return neg ? -v : v;
}

void RdParse::RDDECI(int is, int ie) {
  bool bad = false;
  const long long v = decodeInt(is, ie, bad);
  if (bad) {
    RDERR(2, "Integer value too large");
    tok_.ival = 0;
    return;
  }
  tok_.ival = static_cast<int>(v);
}

void RdParse::RDDECL(int is, int ie) {
  tok_.lval = false;
  const int n = ie - is + 1;
  if (n >= 1 && n <= 7) {
    std::string s;
    for (int k = is; k <= ie; ++k) {
      unsigned char c = txt_[static_cast<std::size_t>(k)];
      if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
      s.push_back(static_cast<char>(c));
    }
    if (s == ".TRUE.") {
      tok_.lval = true;
      return;
    }
    if (s == ".FALSE.") return;
  }
  RDERR(2, "not a logical value");
}

void RdParse::RDDECT(int is, int ie) {
  tok_.tval = 0.0;
  int idate[6] = {1900, 1, 1, 0, 0, 0};
  float fsec = 0.0f;
  int sep[6];
  int nsep = 0;
  for (int k = is; k <= ie && nsep < 6; ++k) {
    const unsigned char c = txt_[static_cast<std::size_t>(k)];
    if (c == '-' || c == '/' || c == ':' || c == '_' || c == '.') sep[nsep++] = k;
  }
  // Field j (0-based) lies between separator j-1 and separator j.
  auto fieldStart = [&](int j) { return j == 0 ? is : sep[j - 1] + 1; };
  auto fieldEnd = [&](int j) { return j < nsep ? sep[j] - 1 : ie; };
  bool failed = false;
  auto num = [&](int j) -> int {
    const int a = fieldStart(j), b = fieldEnd(j);
    if (b < a) return 0;
    bool bad = false;
    const long long v = decodeInt(a, b, bad);
    if (bad) {
      RDERR(2, "Integer value too large");
      failed = true;
      return 0;
    }
    return static_cast<int>(v);
  };
  if (nsep == 0) return;
  const unsigned char first = txt_[static_cast<std::size_t>(sep[0])];
  int timeField = -1;  // field index of the hour
  if (first == '-' || first == '/') {
    if (nsep < 2) return;
    const int a = fieldStart(1), b = fieldEnd(1);
    bool name = false;
    for (int k = a; k <= b; ++k) {
      const unsigned char c = txt_[static_cast<std::size_t>(k)];
      if (c < '0' || c > '9') name = true;
    }
    if (name) {
      std::string m;
      for (int k = a; k <= b; ++k) {
        unsigned char c = txt_[static_cast<std::size_t>(k)];
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        m.push_back(static_cast<char>(c));
      }
      const int len = b - a + 1;
      int month = 0;
      if (len <= 2) {
        RDERR(2, "length of month not correct");
        return;
      }
      if (len == 3) {
        for (int k = 0; k < 12; ++k)
          if (m == kMonth3[k]) month = k + 1;
      } else {
        const std::string m9 = m.substr(0, 9);
        for (int k = 0; k < 12; ++k)
          if (m9 == kMonthFull[k]) month = k + 1;
      }
      if (month == 0) {
        RDERR(2, "illegal month name");
        return;
      }
      idate[2] = num(0);
      idate[1] = month;
      idate[0] = num(2);
    } else {
      idate[0] = num(0);
      idate[1] = num(1);
      idate[2] = num(2);
    }
    if (nsep >= 3) timeField = 3;
  } else if (first == ':') {
    idate[0] = idate[1] = idate[2] = 0;
    timeField = 0;
  }
  if (timeField >= 0) {
    idate[3] = num(timeField);
    if (timeField < nsep) {
      idate[4] = num(timeField + 1);
      if (timeField + 1 < nsep && txt_[static_cast<std::size_t>(sep[timeField + 1])] == ':') {
        idate[5] = num(timeField + 2);
        if (timeField + 2 < nsep && txt_[static_cast<std::size_t>(sep[timeField + 2])] == '.') {
          const int dot = sep[timeField + 2];
          if (dot < ie) {
            const Token save = tok_;
            RDDECD(dot, ie);
            fsec = static_cast<float>(tok_.dval);
            tok_ = save;
          }
        }
      }
    }
  }
  if (failed) return;
  double dn = 0.0;
  bool err = false;
  std::string msg;
  DTSYS(env_, 1, idate, fsec, dn, err, msg);
  if (err) {
    RDERR(2, msg);
    return;
  }
  tok_.tval = dn;
}

}  // namespace kirmel
