// File opening, fatal and warning messages, and the string routines of the
// data-file library.  Everything is written to the Env's console; every wait
// reads one line from its input.
#pragma once

#include <string>
#include <string_view>

#include "platform/Env.h"

namespace kirmel {

// Opens `filnam` on `iunit` after the checks of the library; any failure
// prints its message and the argument listing and stops (Env::stop, non-zero).
void FOPENG(Env& env, int iunit, const std::string& filnam, const std::string& status,
            const std::string& type, int reclen, const std::string& priv);
// FOPENG(iunit, filnam, status, "FS", 0, priv).
void FOPENR(Env& env, int iunit, const std::string& filnam, const std::string& status,
            const std::string& priv);
[[noreturn]] void FOPERR(Env& env, int iunit, const std::string& filnam, const std::string& status,
                         const std::string& type, int reclen, const std::string& priv, int ios);
// `filein` with its extension replaced by `newext` (blank: removed).
std::string EXTENS(Env& env, const std::string& filein, const std::string& newext, int icheck,
                   std::size_t outlen = 132);
bool FEXIST(const std::string& filnam);

// Fatal message, wait for a line, stop with a non-zero status.
[[noreturn]] void ERRSTOP(Env& env, std::string_view module, std::string_view msg);
// Warning, wait for a line, return.
void WARNMSG(Env& env, std::string_view module, std::string_view msg);
std::string ASKSTR(Env& env, const std::string& question, const std::string& deflt);

void STRUPP(std::string& s);
void STRLOW(std::string& s);
void LOWFIL(std::string& filnam);
// 1-based position of the first non-blank character, 0 when blank.
int IFNBLK(std::string_view s);
// 1-based index of the first element of arr[0..ildec-1] equal to s, searching
// ist..iend (downwards when iend < ist); 0 when none or iend = 0.
int IFINDC(Env& env, const std::string* arr, int ildec, int ist, int iend, const std::string& s);
// Appends integer i formatted with descriptor fmt ("I3", "I5.5", ...) to s.
void ADDREF(Env& env, std::string& s, int i, std::string_view fmt);
// Appends t without leading and trailing blanks to s.
void ADDSTR(Env& env, std::string& s, std::string_view t);
// t := s cut to tlen; fits is false when s without trailing blanks is longer.
bool STRFIT(const std::string& s, std::string& t, std::size_t tlen);

}  // namespace kirmel
