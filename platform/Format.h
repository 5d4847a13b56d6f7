// Fixed-width field formatting for every kernel and library output file.
//
// Each function appends exactly the field's width to `out` (the current
// record).  A value that does not fit fills the whole field with asterisks.
// Values are taken as double: a float converts exactly, so the printed digits
// are those of the float itself, correctly rounded (std::to_chars).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kirmel::fmt {

// Iw and Iw.m: integer right-aligned in w places, at least m digits (m < 0: no minimum).
void I(std::string& out, long long value, int w, int m = -1);

// Fw.d: fixed notation with d decimals.  The leading zero of |v| < 1 is
// optional and is dropped first when the field is one place short
// ("-.50" in F4.2).  A value that rounds to zero prints without a minus sign.
void F(std::string& out, double value, int w, int d);

// Ew.d: 0.dddE+xx in w places (three-digit exponents drop the E: 0.ddd+100).
// The optional leading zero is dropped first for a value one place short
// ("-.1234E+02" in E10.4).
void E(std::string& out, double value, int w, int d);

// G12.5 as the data-file library's messages use it.
void G125(std::string& out, double value);

// nX: n blanks.
void X(std::string& out, int n);

// Tn: continue at column n (1-based) of the current record `out`; pads with
// blanks, or moves back so that later text overwrites.
void T(std::string& out, int n);

// A: the text at its own length.
void A(std::string& out, std::string_view text);

// Single-precision values (the kernel's) print exactly as their double
// conversion; these overloads only keep the conversion explicit.
inline void F(std::string& out, float value, int w, int d) { F(out, static_cast<double>(value), w, d); }
inline void E(std::string& out, float value, int w, int d) { E(out, static_cast<double>(value), w, d); }
inline void G125(std::string& out, float value) { G125(out, static_cast<double>(value)); }

// A free-format (list-directed) number: shortest text that reads back to the
// same float, preceded by one blank.  Used for progress lines, echo files and
// console summaries.
void freeReal(std::string& out, float value);
void freeInt(std::string& out, long long value);

}  // namespace kirmel::fmt
