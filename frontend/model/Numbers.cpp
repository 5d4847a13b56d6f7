#include "frontend/model/Numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace kirmel::fe {
namespace {

// Text of a non-finite value, or empty for a finite one.
std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  return {};
}

void Pad(std::string& out, const std::string& body, int width, bool left) {
  std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  if (body.size() >= w) {
    out += body;
  } else if (left) {
    out += body;
    out.append(w - body.size(), ' ');
  } else {
    out.append(w - body.size(), ' ');
    out += body;
  }
}

double AsDouble(const TFormatArg& arg, std::string_view tmpl) {
  const auto& v = arg.value();
  if (const double* d = std::get_if<double>(&v)) return *d;
  if (const long long* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
  throw std::invalid_argument("Format \"" + std::string(tmpl) + "\": text given for a number");
}

bool IsBlank(char c) { return c == ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FormatGeneral(double value, char decimalSeparator, int precision) {
  if (std::string nf = NonFinite(value); !nf.empty()) return nf;
  if (value == 0) return "0";
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;

  // Correctly rounded digits d.ddd and exponent: "d.ddde+XX" or "de+XX".
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                           std::chars_format::scientific, precision - 1);
  std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
  std::size_t epos = text.find('e');
  std::string digits;
  for (char c : text.substr(0, epos))
    if (c != '.') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exp10 = 0;
  std::string_view etext = text.substr(epos + 1);
  if (!etext.empty() && etext.front() == '+') etext.remove_prefix(1);
  std::from_chars(etext.data(), etext.data() + etext.size(), exp10);

  std::string out;
  if (value < 0) out += '-';
  // Integer digits of the rounded value: exp10 + 1.
  int intDigits = exp10 + 1;
  if (intDigits > precision || intDigits < -4) {
    out += digits[0];
    if (digits.size() > 1) {
      out += decimalSeparator;
      out.append(digits, 1);
    }
    out += 'E';
    out += IntToStr(exp10);
  } else if (exp10 >= 0) {
    std::size_t n = static_cast<std::size_t>(intDigits);
    if (digits.size() <= n) {
      out += digits;
      out.append(n - digits.size(), '0');
    } else {
      out.append(digits, 0, n);
      out += decimalSeparator;
      out.append(digits, n);
    }
  } else {
    out += '0';
    out += decimalSeparator;
    out.append(static_cast<std::size_t>(-exp10 - 1), '0');
    out += digits;
  }
  return out;
}

std::string FormatFixed(double value, int decimals, char decimalSeparator) {
  if (std::string nf = NonFinite(value); !nf.empty()) return nf;
  if (decimals < 0) decimals = 0;
  if (decimals > 100) decimals = 100;
  // Enough for the largest double in fixed notation with 100 decimals.
  char buf[512];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  std::string out(buf, static_cast<std::size_t>(res.ptr - buf));
  bool allZero = true;
  for (char& c : out) {
    if (c == '.') c = decimalSeparator;
    else if (IsDigit(c) && c != '0') allZero = false;
  }
  if (allZero && !out.empty() && out.front() == '-') out.erase(0, 1);
  return out;
}

std::string Format(std::string_view tmpl, std::span<const TFormatArg> args,
                   char decimalSeparator) {
  std::string out;
  std::size_t next = 0;
  std::size_t i = 0;
  auto bad = [&](const char* why) {
    return std::invalid_argument("Format \"" + std::string(tmpl) + "\": " + why);
  };
  while (i < tmpl.size()) {
    char c = tmpl[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < tmpl.size() && tmpl[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool left = false;
    if (i < tmpl.size() && tmpl[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    while (i < tmpl.size() && IsDigit(tmpl[i])) {
      width = width * 10 + (tmpl[i++] - '0');
      if (width > 1000) throw bad("width too large");
    }
    int precision = -1;
    if (i < tmpl.size() && tmpl[i] == '.') {
      ++i;
      precision = 0;
      while (i < tmpl.size() && IsDigit(tmpl[i])) {
        precision = precision * 10 + (tmpl[i++] - '0');
        if (precision > 1000) throw bad("precision too large");
      }
    }
    if (i >= tmpl.size()) throw bad("directive without a type");
    char type = tmpl[i++];
    if (next >= args.size()) throw bad("missing argument");
    const TFormatArg& arg = args[next++];
    std::string body;
    switch (type) {
      case 'd': {
        const long long* v = std::get_if<long long>(&arg.value());
        if (!v) throw bad("%d needs an integer");
        unsigned long long mag = *v < 0 ? 0ULL - static_cast<unsigned long long>(*v)
                                        : static_cast<unsigned long long>(*v);
        std::string digits = std::to_string(mag);
        if (precision > 0 && digits.size() < static_cast<std::size_t>(precision))
          digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
        body = (*v < 0 ? "-" : "") + digits;
        break;
      }
      case 's': {
        const std::string* v = std::get_if<std::string>(&arg.value());
        if (!v) throw bad("%s needs a text");
        body = *v;
        if (precision >= 0 && body.size() > static_cast<std::size_t>(precision))
          body.resize(static_cast<std::size_t>(precision));
        break;
      }
      case 'f':
        body = FormatFixed(AsDouble(arg, tmpl), precision < 0 ? 2 : precision, decimalSeparator);
        break;
      case 'g':
        body = FormatGeneral(AsDouble(arg, tmpl), decimalSeparator,
                             precision < 0 ? 15 : (precision == 0 ? 1 : precision));
        break;
      default:
        throw bad("unknown directive type");
    }
    Pad(out, body, width, left);
  }
  return out;
}

std::string Format(std::string_view tmpl, std::initializer_list<TFormatArg> args,
                   char decimalSeparator) {
  return Format(tmpl, std::span<const TFormatArg>(args.begin(), args.size()), decimalSeparator);
}

std::string IntToStr(long long value) { return std::to_string(value); }

bool TryStrToFloat(std::string_view text, char decimalSeparator, double& value) {
  text = Trim(text);
  std::string plain;  // the text with '.' as separator, for from_chars
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  int mantissaDigits = 0;
  bool separatorSeen = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      plain += c;
      ++mantissaDigits;
    } else if (c == decimalSeparator && !separatorSeen) {
      plain += '.';
      separatorSeen = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    int expDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++expDigits) plain += text[i];
    if (expDigits == 0) return false;
  }
  if (i != text.size()) return false;
  double v = 0;
  auto res = std::from_chars(plain.data(), plain.data() + plain.size(), v,
                             std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(v))
    return false;
  value = v;
  return true;
}

bool TryStrToInt(std::string_view text, int& value) {
  text = Trim(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace kirmel::fe
