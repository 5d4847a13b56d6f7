// File opening, fatal and warning messages, and the string routines of the
// data-file library.  Everything is written to the Env's console; every wait
// reads one line from its input (and returns at once at end of input).
//
// Texts handed to these routines are used without their trailing blanks.
// File names are kept as given: an existing file is found by its exact name
// first, then case-insensitively per path component (kirmel::paths).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Env.h"
#include "platform/Paths.h"

namespace kirmel {

// Longest file name the opener accepts (without trailing blanks): any path
// the system can open.
constexpr std::size_t kFileNameField = paths::kMaxPath;

// Opens `filnam` on `iunit` (10..99) after the library's checks.
//   status: "NEW", "OLD", or "RDO" (= "OLD"); upper or lower case.
//   type:   form F (formatted), U (unformatted), B (binary), then access
//           S (sequential) or D (direct); e.g. "FS", "UD".
//   reclen: 0 for sequential access; for direct access the record length in
//           bytes (> 0).
//   priv:   for "NEW" over an existing file: "DEL" replace it, "NOD" fail,
//           "UNK" ask on the console; blank for "OLD" (else a warning).
// Opened files: formatted sequential "OLD" is opened for reading, "NEW" for
// writing; direct-access files for reading and writing (UnitTable::readRecord,
// writeRecord; close with UnitTable::close or closeDelete).  The unit's path
// holds the file actually opened.  Any failure prints its message and the
// FOPERR listing, waits for a line and stops (Env::stop with status 1).
void FOPENG(Env& env, int iunit, const std::string& filnam, const std::string& status,
            const std::string& type, int reclen, const std::string& priv);
// FOPENG(iunit, filnam, status, "FS", 0, priv).
void FOPENR(Env& env, int iunit, const std::string& filnam, const std::string& status,
            const std::string& priv);
// Lists the arguments of a failed FOPENG and the I/O status (0 when no I/O
// call failed), then ERRSTOP with empty module and message.
[[noreturn]] void FOPERR(Env& env, int iunit, const std::string& filnam, const std::string& status,
                         const std::string& type, int reclen, const std::string& priv, int ios);
// `filein` with its extension replaced by `newext` ("TMP" or ".TMP"; blank:
// extension removed).  The extension starts at the last '.' after the last
// '\', '/', ':' or ']'.  icheck != 0: the old extension (upper-cased) must
// differ from newext.  `outlen` is the room for the result.  Misuse stops
// through ERRSTOP with module "EXTENS".
std::string EXTENS(Env& env, const std::string& filein, const std::string& newext, int icheck,
                   std::size_t outlen = kFileNameField);
// True when the file exists (exact name, else case-insensitive match).
bool FEXIST(const std::string& filnam);

// Fatal message, wait for a line, stop with status 1.
[[noreturn]] void ERRSTOP(Env& env, std::string_view module, std::string_view msg);
// Warning, wait for a line, return.
void WARNMSG(Env& env, std::string_view module, std::string_view msg);
// Asks `question` (showing the default) and reads one line; an empty answer
// takes the default; with no default the question is repeated.  End of input
// stops with status 1.
std::string ASKSTR(Env& env, const std::string& question, const std::string& deflt);

void STRUPP(std::string& s);
void STRLOW(std::string& s);
void LOWFIL(std::string& filnam);
// 1-based position of the first non-blank character, 0 when blank.
int IFNBLK(std::string_view s);
// 1-based index of the first element of arr[0..ildec-1] equal to s (trailing
// blanks do not count), searching ist..iend (downwards when iend < ist); 0
// when none or iend = 0.  ist or iend outside 1..ildec (iend may be 0) stops
// with "search outside array bounds".
int IFINDC(Env& env, const std::string* arr, int ildec, int ist, int iend, const std::string& s);
// Appends integer i written with the descriptor fmt ("I3", "I5.5", "I0") to
// s.  An unknown descriptor, or a result longer than `cap`, stops with
// "internal error".
void ADDREF(Env& env, std::string& s, int i, std::string_view fmt,
            std::size_t cap = std::string::npos);
// Appends t without leading and trailing blanks to s; a blank t, or a result
// longer than `cap`, stops with "internal error".
void ADDSTR(Env& env, std::string& s, std::string_view t, std::size_t cap = std::string::npos);
// t := s cut to tlen; false when s without trailing blanks (at least one
// character) is longer than tlen.
bool STRFIT(const std::string& s, std::string& t, std::size_t tlen);

}  // namespace kirmel
