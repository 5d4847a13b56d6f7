// Fixed-width field formatting on std::to_chars: locale-free and correctly
// rounded.  Every field is built first at its natural length and then placed
// right-aligned in its width, or replaced by asterisks when it does not fit.
#include "platform/Format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace kirmel::fmt {
namespace {

// Upper bound for any text to_chars produces here: fixed notation of the
// largest double with a large precision still fits.
constexpr int kMaxDecimals = 100;
constexpr int kBufSize = 512;

void stars(std::string& out, int w) {
  if (w > 0) out.append(static_cast<std::size_t>(w), '*');
}

// Places `body` (sign included) right-aligned in w places, or asterisks.
void place(std::string& out, const std::string& body, int w) {
  if (w <= 0) return;
  if (static_cast<int>(body.size()) > w) {
    stars(out, w);
    return;
  }
  out.append(static_cast<std::size_t>(w) - body.size(), ' ');
  out += body;
}

bool allZeroDigits(const std::string& s) {
  for (char c : s)
    if (c >= '1' && c <= '9') return false;
  return true;
}

// Digits of |value| in fixed notation with d decimals, e.g. "0.50", "12.",
// "3." for d = 0.  False when to_chars fails (it never should).
bool fixedDigits(double magnitude, int d, std::string& digits) {
  char buf[kBufSize];
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, d);
  if (r.ec != std::errc()) return false;
  digits.assign(buf, r.ptr);
  if (d == 0) digits += '.';
  return true;
}

// Mantissa digits (exactly d of them, for 0.ddd) and the exponent of the
// 0.ddd form of |value| > 0, correctly rounded.
bool expDigits(double magnitude, int d, std::string& mant, int& exponent) {
  char buf[kBufSize];
  // Scientific with d-1 decimals gives d significant digits: D.DDDe+XX.
  auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, d - 1);
  if (r.ec != std::errc()) return false;
  std::string s(buf, r.ptr);
  auto epos = s.find('e');
  if (epos == std::string::npos) return false;
  mant.clear();
  for (std::size_t k = 0; k < epos; ++k)
    if (s[k] != '.') mant += s[k];
  exponent = std::atoi(s.c_str() + epos + 1) + 1;
  return true;
}

// Ew.d body at natural length with the leading zero; false when no exponent
// form exists (more than three exponent digits).
bool expBody(double value, int d, std::string& body) {
  double magnitude = std::fabs(value);
  std::string mant;
  int exponent = 0;
  if (magnitude == 0.0) {
    mant.assign(static_cast<std::size_t>(d), '0');
  } else if (!expDigits(magnitude, d, mant, exponent)) {
    return false;
  }
  bool negative = std::signbit(value) && !allZeroDigits(mant);
  body.clear();
  if (negative) body += '-';
  body += "0.";
  body += mant;
  int ae = std::abs(exponent);
  if (ae > 999) return false;
  char e[8];
  if (ae <= 99) {
    e[0] = 'E';
    e[1] = exponent < 0 ? '-' : '+';
    e[2] = static_cast<char>('0' + ae / 10);
    e[3] = static_cast<char>('0' + ae % 10);
    body.append(e, 4);
  } else {
    e[0] = exponent < 0 ? '-' : '+';
    e[1] = static_cast<char>('0' + ae / 100);
    e[2] = static_cast<char>('0' + ae / 10 % 10);
    e[3] = static_cast<char>('0' + ae % 10);
    body.append(e, 4);
  }
  return true;
}

// Drops the optional leading zero ("0." -> ".") when the body is exactly one
// place too long.
void dropOptionalZero(std::string& body, int w) {
  if (static_cast<int>(body.size()) != w + 1) return;
  std::size_t at = (!body.empty() && body[0] == '-') ? 1 : 0;
  if (body.size() > at + 1 && body[at] == '0' && body[at + 1] == '.') body.erase(at, 1);
}

}  // namespace

void I(std::string& out, long long value, int w, int m) {
  if (w <= 0) return;
  if (m == 0 && value == 0) {  // Iw.0 of zero is all blanks
    out.append(static_cast<std::size_t>(w), ' ');
    return;
  }
  char buf[32];
  unsigned long long mag = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
  auto r = std::to_chars(buf, buf + sizeof buf, mag);
  std::string digits(buf, r.ptr);
  if (m > w) {
    stars(out, w);
    return;
  }
  if (m > 0 && static_cast<int>(digits.size()) < m)
    digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
  std::string body = value < 0 ? "-" + digits : digits;
  place(out, body, w);
}

void F(std::string& out, double value, int w, int d) {
  if (w <= 0) return;
  if (d < 0 || d > kMaxDecimals || !std::isfinite(value)) {
    stars(out, w);
    return;
  }
  std::string digits;
  if (!fixedDigits(std::fabs(value), d, digits)) {
    stars(out, w);
    return;
  }
  std::string body = (std::signbit(value) && !allZeroDigits(digits)) ? "-" + digits : digits;
  dropOptionalZero(body, w);
  place(out, body, w);
}

void E(std::string& out, double value, int w, int d) {
  if (w <= 0) return;
  std::string body;
  if (d <= 0 || d > kMaxDecimals || !std::isfinite(value) || !expBody(value, d, body)) {
    stars(out, w);
    return;
  }
  dropOptionalZero(body, w);
  place(out, body, w);
}

void G125(std::string& out, double value) {
  // Fixed form with five significant digits in eight places plus four blanks
  // for 0.1 <= |v| < 100000 after rounding to five digits; otherwise E12.5.
  if (std::isfinite(value) && value != 0.0) {
    std::string mant;
    int exponent = 0;  // of the 0.ddddd form: |v| rounded lies in [10^(e-1), 10^e)
    if (expDigits(std::fabs(value), 5, mant, exponent) && exponent >= 0 && exponent <= 5) {
      F(out, value, 8, 5 - exponent);
      out.append(4, ' ');
      return;
    }
  }
  E(out, value, 12, 5);
}

void X(std::string& out, int n) {
  if (n > 0) out.append(static_cast<std::size_t>(n), ' ');
}

void T(std::string& out, int n) {
  // A plain string has no separate write position, so moving back drops the
  // text from column n on; the text written next takes its place.
  std::size_t col = n > 1 ? static_cast<std::size_t>(n - 1) : 0;
  if (out.size() < col)
    out.append(col - out.size(), ' ');
  else
    out.resize(col);
}

void A(std::string& out, std::string_view text) { out.append(text); }

void freeReal(std::string& out, float value) {
  out += ' ';
  if (std::isnan(value)) {
    out += "NaN";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-Infinity" : "Infinity";
    return;
  }
  if (value == 0.0f) {
    out += std::signbit(value) ? "-0.0" : "0.0";
    return;
  }
  char buf[64];
  float magnitude = std::fabs(value);
  if (magnitude >= 1e-3f && magnitude < 1e7f) {
    // Shortest round-trip digits in fixed notation, always with a point.
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string s(buf, r.ptr);
    if (s.find('.') == std::string::npos) s += ".0";
    out += s;
    return;
  }
  // Shortest round-trip digits with an 'E' exponent of at least two digits.
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  std::string s(buf, r.ptr);
  auto epos = s.find('e');
  std::string mant = s.substr(0, epos);
  if (mant.find('.') == std::string::npos) mant += ".0";
  int exponent = std::atoi(s.c_str() + epos + 1);
  int ae = std::abs(exponent);
  out += mant;
  out += 'E';
  out += exponent < 0 ? '-' : '+';
  if (ae < 10) out += '0';
  out += std::to_string(ae);
}

void freeInt(std::string& out, long long value) {
  out += ' ';
  out += std::to_string(value);
}

}  // namespace kirmel::fmt
