// File opening, messages and string routines of the data-file library.
#include "datafile/FileOpen.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "platform/Format.h"
#include "platform/Paths.h"

namespace kirmel {
namespace {

std::string_view rtrim(std::string_view s) {
  auto end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : s.substr(0, end + 1);
}

std::string_view trim(std::string_view s) {
  s = rtrim(s);
  auto start = s.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view() : s.substr(start);
}

std::string upper(std::string_view s) {
  std::string u(s);
  STRUPP(u);
  return u;
}

// First three characters, upper-cased.
std::string code3(const std::string& s) { return upper(std::string_view(s).substr(0, 3)); }

// True when `path` is the file behind an open unit (same device and inode),
// so a file is recognised under any of its names.
bool connectedToUnit(UnitTable& units, const std::string& path) {
  struct stat target;
  if (::stat(path.c_str(), &target) != 0) return false;
  for (int u = UnitTable::kFirst; u <= UnitTable::kLast; ++u) {
    Unit* unit = units.get(u);
    if (!unit) continue;
    struct stat open;
    bool same = false;
    if (unit->fp && ::fstat(::fileno(unit->fp), &open) == 0)
      same = open.st_dev == target.st_dev && open.st_ino == target.st_ino;
    else
      same = unit->path == path;
    if (same) return true;
  }
  return false;
}

// The arguments of one FOPENG call, for its failure report.
struct OpenCall {
  Env& env;
  int iunit;
  const std::string& filnam;
  const std::string& status;
  const std::string& type;
  int reclen;
  const std::string& priv;

  // An empty line and the message, then the listing and the stop.
  [[noreturn]] void fail(std::string_view msg, int ios = 0) const {
    env.out() << '\n' << msg << '\n';
    FOPERR(env, iunit, filnam, status, type, reclen, priv, ios);
  }
};

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Removes an existing file so that it can be created anew.  A directory of
// that name is never removed.
void deleteExisting(const OpenCall& call, const std::string& path) {
  if (isDirectory(path)) call.fail(" ERROR in FOPENG: existing file cannot be deleted", EISDIR);
  if (std::remove(path.c_str()) != 0)
    call.fail(" ERROR in FOPENG: existing file cannot be deleted", errno);
}

}  // namespace

void FOPENG(Env& env, int iunit, const std::string& filnam, const std::string& status,
            const std::string& type, int reclen, const std::string& priv) {
  const OpenCall call{env, iunit, filnam, status, type, reclen, priv};
  UnitTable& units = env.units();

  std::string field;
  if (!STRFIT(filnam, field, kFileNameField))
    call.fail("ERROR in FOPENG: File name too long for internal buffer");
  // The name is kept as given: lower-casing it would make every upper-case
  // file unreachable on a case-sensitive file system.
  std::string name(rtrim(filnam));

  if (iunit < UnitTable::kFirst || iunit > UnitTable::kLast)
    call.fail(" ERROR in FOPENG: Unit number is < 10 or > 99 !");

  if (Unit* open = units.get(iunit)) {
    env.out() << "\n ERROR in FOPENG: Unit number is already in use for file\n"
              << ' ' << open->name << '\n';
    FOPERR(env, iunit, filnam, status, type, reclen, priv, 0);
  }

  std::string st = code3(status);
  if (st == "RDO") st = "OLD";
  if ((st != "NEW" && st != "OLD") || rtrim(status).size() != 3)
    call.fail(" ERROR in FOPENG: illegal file status");
  const bool isNew = st == "NEW";

  if (rtrim(type).size() != 2) call.fail(" ERROR in FOPENG: Illegal TYPE description");
  Form form = Form::Formatted;
  switch (upper(type.substr(0, 1))[0]) {
    case 'F': form = Form::Formatted; break;
    case 'U': form = Form::Unformatted; break;
    case 'B': form = Form::Binary; break;
    default: call.fail(" ERROR in FOPENG: No FORM specified");
  }
  Access access = Access::Sequential;
  switch (upper(type.substr(1, 1))[0]) {
    case 'S': access = Access::Sequential; break;
    case 'D': access = Access::Direct; break;
    default: call.fail(" ERROR in FOPENG: No ACCESS specified");
  }

  if ((access == Access::Sequential && reclen != 0) || (access == Access::Direct && reclen <= 0))
    call.fail(" ERROR in FOPENG: Illegal record length for direct access file");

  const std::string pv = code3(priv);
  if (!isNew) {
    if (!rtrim(priv).empty()) WARNMSG(env, "FOPENG", "status OLD does not require a privilege");
  } else if ((pv != "DEL" && pv != "NOD" && pv != "UNK") || rtrim(priv).size() != 3) {
    call.fail(" ERROR in FOPENG: illegal privilege");
  }

  if (name.empty()) call.fail(" ERROR in FOPENG: zero length file name");

  std::optional<std::string> existing = paths::resolveExisting(name);
  if (existing && connectedToUnit(units, *existing))
    call.fail(" ERROR in FOPENG: File is already open");
  if (!isNew && !existing) call.fail(" ERROR in FOPENG: File does not exist");

  std::string path = existing ? *existing : paths::forCreate(name);
  if (isNew && existing) {
    if (pv == "DEL") {
      deleteExisting(call, *existing);
    } else if (pv == "NOD") {
      call.fail(" ERROR in FOPENG: Existing file cannot be deleted");
    } else {
      // Ask until the user allows overwriting or names a file that does not
      // exist.  Each round reads at least one line, and the suggested names
      // are numbered with three digits, so the dialogue ends.
      while (existing) {
        env.out() << " File " << name << " already exists\n";
        std::string answer;
        do {
          answer = upper(trim(ASKSTR(env, "Overwrite (Y/N)", "")));
        } while (answer != "Y" && answer != "N");
        if (answer == "Y") {
          deleteExisting(call, *existing);
          break;
        }
        int& refusals = env.fileRefusals();
        if (refusals >= 999) call.fail(" ERROR in FOPENG: Existing file cannot be deleted");
        ++refusals;
        std::string counter;
        fmt::I(counter, refusals, 3, 3);
        name = std::string(rtrim(ASKSTR(env, "Enter new file name", EXTENS(env, name, counter, 0))));
        if (!STRFIT(name, field, kFileNameField))
          call.fail("ERROR in FOPENG: File name too long for internal buffer");
        existing = paths::resolveExisting(name);
        path = existing ? *existing : paths::forCreate(name);
        if (existing && connectedToUnit(units, *existing))
          call.fail(" ERROR in FOPENG: File is already open");
      }
    }
  }

  const char* mode = nullptr;
  if (access == Access::Direct)
    mode = isNew ? "w+b" : "r+b";
  else
    mode = isNew ? "wb" : "rb";
  // fopen accepts a directory for reading; it is no file to open.
  if (isDirectory(path))
    call.fail(" ERROR in FOPENG: system error while trying to open file", EISDIR);
  errno = 0;
  // A file to read opens without waiting, also a named pipe without writer.
  std::FILE* fp = access == Access::Sequential && !isNew ? openForReading(path) : std::fopen(path.c_str(), mode);
  if (!fp && access == Access::Direct && !isNew && (errno == EACCES || errno == EROFS))
    fp = std::fopen(path.c_str(), "rb");  // a read-only cache file can still be read back
  if (!fp) call.fail(" ERROR in FOPENG: system error while trying to open file", errno);

  // Direct-access files keep the standard buffer: each record access seeks.
  const bool bigBuffer = isNew && access == Access::Sequential;
  units.attach(iunit, name, path, fp, form, access, access == Access::Direct ? reclen : 0,
               bigBuffer);
  units.get(iunit)->writing = isNew || access == Access::Direct;
}

void FOPENR(Env& env, int iunit, const std::string& filnam, const std::string& status,
            const std::string& priv) {
  FOPENG(env, iunit, filnam, status, "FS", 0, priv);
}

void FOPERR(Env& env, int iunit, const std::string& filnam, const std::string& status,
            const std::string& type, int reclen, const std::string& priv, int ios) {
  std::string text = "\n Arguments of the CALL to FOPENG leading to this error:\n";
  text += "   Unit             = ";
  fmt::I(text, iunit, 5);
  text += "\n   File name        =    ";
  text += rtrim(filnam);
  text += "\n   File status      =    " + status;
  text += "\n   File type        =    " + type;
  text += "\n   Record length    = ";
  fmt::I(text, reclen, 4);
  text += "\n   Delete privilege =    " + priv;
  text += "\n   IOSTAT           = ";
  fmt::I(text, ios, 6);
  text += " <-- system I/O status code\n";
  env.out() << text;
  ERRSTOP(env, "", "");
}

std::string EXTENS(Env& env, const std::string& filein, const std::string& newext, int icheck,
                   std::size_t outlen) {
  const std::string in(rtrim(filein));
  const std::string_view given = rtrim(newext);
  std::string_view ext = trim(given);
  if (!ext.empty() && ext[0] == '.') ext.remove_prefix(1);

  if (in.empty()) ERRSTOP(env, "EXTENS", "no filename supplied");

  const auto sep = in.find_last_of("\\/:]");
  const auto dot = in.rfind('.');
  const bool hasExt = dot != std::string::npos && (sep == std::string::npos || dot > sep);
  const std::string namePart = hasExt ? in.substr(0, dot) : in;
  const std::string oldExt = hasExt ? in.substr(dot + 1) : std::string();

  if (namePart.size() > kFileNameField) {
    env.out() << "Input file name:\n" << in << '\n';
    ERRSTOP(env, "EXTENS", "input filename too long");
  }
  std::string result = namePart;
  if (!ext.empty()) {
    result += '.';
    result += ext;
  }
  if (result.size() > kFileNameField) ERRSTOP(env, "EXTENS", "new filename too long");
  if (icheck != 0 && upper(oldExt) == given) ERRSTOP(env, "EXTENS", "old and new extension equal");
  if (result.size() > outlen) ERRSTOP(env, "EXTENS", "output string too short for new name");
  return result;
}

bool FEXIST(const std::string& filnam) {
  // The whole name is tested, as given: neither cut to a field nor lower-cased.
  const std::string name(rtrim(filnam));
  return !name.empty() && paths::exists(name);
}

void ERRSTOP(Env& env, std::string_view module, std::string_view msg) {
  module = rtrim(module);
  msg = rtrim(msg);
  std::string text;
  if (module.empty() && msg.empty()) {
    text = " Fatal execution error, press <Enter>\n";
  } else if (msg.empty()) {
    text = " Fatal execution error in " + std::string(module) + ", press <Enter>\n";
  } else {
    text = " ERROR in " + std::string(module) + ": " + std::string(msg) + "\n Press <Enter>\n";
  }
  env.out() << text;
  env.waitLine();
  env.stop(1, "fatal error" + (module.empty() ? std::string() : " in " + std::string(module)));
}

void WARNMSG(Env& env, std::string_view module, std::string_view msg) {
  module = rtrim(module);
  msg = rtrim(msg);
  std::string text;
  if (module.empty() && msg.empty())
    text = " WARNING from unspecified source\n";
  else if (msg.empty())
    text = " WARNING from " + std::string(module) + "\n";
  else
    text = " WARNING from " + std::string(module) + ": " + std::string(msg) + "\n";
  env.out() << text;
  env.waitLine();
}

std::string ASKSTR(Env& env, const std::string& question, const std::string& deflt) {
  const std::string_view def = rtrim(deflt);
  // Each round reads one line; the end of input stops, so the loop ends.
  for (;;) {
    env.out() << ' ' << rtrim(question);
    if (!def.empty()) env.out() << " [" << def << ']';
    env.out() << " : ";
    std::string line;
    if (!env.waitLine(&line)) {
      env.out() << "\n End_Of_File detected ; program STOP or <CTRL> Z  to STOP (<Command>. on Mac)\n";
      env.stop(1, "end of input");
    }
    if (!trim(line).empty()) return line;
    if (!def.empty()) return std::string(def);
    env.out() << " Enter a CHARACTER string !!\n";
  }
}

void STRUPP(std::string& s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

void STRLOW(std::string& s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

void LOWFIL(std::string& filnam) { STRLOW(filnam); }

int IFNBLK(std::string_view s) {
  auto pos = s.find_first_not_of(' ');
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int IFINDC(Env& env, const std::string* arr, int ildec, int ist, int iend, const std::string& s) {
  if (iend == 0) return 0;
  if (ist < 1 || ist > ildec || iend < 1 || iend > ildec || !arr)
    ERRSTOP(env, "IFINDC", "search outside array bounds");
  const std::string_view want = rtrim(s);
  const int step = iend < ist ? -1 : 1;
  for (int k = ist;; k += step) {
    if (rtrim(arr[k - 1]) == want) return k;
    if (k == iend) break;
  }
  return 0;
}

void ADDREF(Env& env, std::string& s, int i, std::string_view fmtText, std::size_t cap) {
  // Descriptor Iw or Iw.m; w = 0 writes the integer at its own length.
  const std::string d = upper(trim(fmtText));
  std::size_t pos = 1;
  auto number = [&](int& v) {
    const std::size_t start = pos;
    v = 0;
    while (pos < d.size() && d[pos] >= '0' && d[pos] <= '9' && pos - start < 3)
      v = v * 10 + (d[pos++] - '0');
    return pos > start;
  };
  int w = 0, m = -1;
  bool ok = !d.empty() && d[0] == 'I' && number(w);
  if (ok && pos < d.size() && d[pos] == '.') {
    ++pos;
    ok = number(m);
  }
  // The integer and its end mark must fit a 30-character buffer.
  ok = ok && pos == d.size() && w <= 29 && m <= 29;
  if (!ok) ERRSTOP(env, "ADDREF", "internal error");

  std::string text;
  if (w == 0) {
    std::string digits = std::to_string(i < 0 ? -static_cast<long long>(i) : i);
    if (m > 0 && static_cast<int>(digits.size()) < m)
      digits.insert(0, static_cast<std::size_t>(m) - digits.size(), '0');
    text = (i < 0 ? "-" : "") + digits;
    if (m == 0 && i == 0) text.clear();
  } else {
    fmt::I(text, i, w, m);
  }
  if (cap != std::string::npos && s.size() + text.size() > cap)
    ERRSTOP(env, "ADDREF", "internal error");
  s += text;
}

void ADDSTR(Env& env, std::string& s, std::string_view t, std::size_t cap) {
  const std::string_view text = trim(t);
  if (text.empty() || (cap != std::string::npos && s.size() + text.size() > cap))
    ERRSTOP(env, "ADDSTR", "internal error");
  s += text;
}

bool STRFIT(const std::string& s, std::string& t, std::size_t tlen) {
  t = s.substr(0, std::min(tlen, s.size()));
  const std::size_t used = std::max<std::size_t>(rtrim(s).size(), 1);
  return used <= tlen;
}

}  // namespace kirmel
