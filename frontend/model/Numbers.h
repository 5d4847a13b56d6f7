// Number text of the front end: the general number form, format templates
// and strict conversions of text to numbers.
//
// Everything here is locale-free (std::to_chars / std::from_chars); the
// decimal separator the user's locale asks for is passed in by the caller.
// Kernel input files always use '.'.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace kirmel::fe {

// The general number form used for every floating-point number the front end
// shows: at most `precision` significant digits (15 by default), correctly
// rounded, no trailing zeros, `decimalSeparator` as separator.  Fixed notation
// when the rounded value is at least 0.00001 in magnitude and has at most
// `precision` integer digits; otherwise mantissa, "E", a "-" only for a
// negative exponent and the exponent without leading zeros
// (0.1, 500, 0.00001, 1E-15, 1E15).  Zero is "0"; NaN and infinities are
// "NAN", "INF" and "-INF".
std::string FormatGeneral(double value, char decimalSeparator, int precision = 15);

// Fixed notation with `decimals` decimals, correctly rounded; a value that
// rounds to zero has no minus sign.
std::string FormatFixed(double value, int decimals, char decimalSeparator);

// One argument of Format: an integer, a floating-point number or a text.
class TFormatArg {
 public:
  TFormatArg(int v) : value_(static_cast<long long>(v)) {}
  TFormatArg(long v) : value_(static_cast<long long>(v)) {}
  TFormatArg(long long v) : value_(v) {}
  TFormatArg(double v) : value_(v) {}
  TFormatArg(const char* v) : value_(std::string(v)) {}
  TFormatArg(std::string v) : value_(std::move(v)) {}
  TFormatArg(std::string_view v) : value_(std::string(v)) {}

  const std::variant<long long, double, std::string>& value() const { return value_; }

 private:
  std::variant<long long, double, std::string> value_;
};

// Fills a format template.  Each directive is "%" [-] [width] [.precision]
// followed by one of:
//   d  an integer; the precision is the minimum number of digits ("%.3d" -> 007)
//   s  a text; the precision is the maximum number of characters
//   f  fixed notation, two decimals when no precision is given
//   g  the general number form, 15 significant digits when no precision is given
// "%%" is a literal percent sign.  Width pads with blanks on the left, or on the
// right with "-", and never cuts.  f and g also take an integer argument.
// A malformed template, a missing argument or a text for a number throws
// std::invalid_argument (a programming error, not a user error).
std::string Format(std::string_view tmpl, std::span<const TFormatArg> args,
                   char decimalSeparator);
std::string Format(std::string_view tmpl, std::initializer_list<TFormatArg> args,
                   char decimalSeparator);

// Plain decimal integer.
std::string IntToStr(long long value);

// Strict conversion of a user's number text: optional blanks around it, an
// optional sign, digits with at most one `decimalSeparator`, at least one
// digit, and an optional exponent ("E" or "e", optional sign, digits).  No
// NaN, infinity, hexadecimal, group separators or out-of-range values.
// Returns false and leaves `value` unchanged when the text does not convert.
bool TryStrToFloat(std::string_view text, char decimalSeparator, double& value);

// Strict decimal integer: optional blanks around it, an optional sign and
// digits, within the range of int.  Returns false and leaves `value` unchanged
// when the text does not convert.
bool TryStrToInt(std::string_view text, int& value);

}  // namespace kirmel::fe
