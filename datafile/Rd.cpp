// The reading calls and their engine RDDATA.
#include "datafile/Rd.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <type_traits>

#include "datafile/FileOpen.h"
#include "datafile/RdEngine.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace kirmel {

namespace {

constexpr int kData = 128;

const char* const kErrText[27] = {
    "",
    "Variable name too long",
    "Under ITASK=5 declared length should be 1",
    "Requested number of values not positive",
    "Variable name not in data file",
    "On data file this is a CHARACTER string",
    "On data file this variable is INTEGER",
    "On data file this variable is REAL",
    "On data file this variable is LOGICAL",
    "On data file this is a DATE_TIME",
    "On data file this variable is an array",
    "Array on data file not of requested size",
    "Array on data file too large",
    "The rerun file contains a CHARACTER string",
    "The rerun file contains an INTEGER",
    "The rerun file contains a REAL variable",
    "The rerun file contains a LOGICAL variable",
    "The rerun file contains a DATE_TIME",
    "On rerun file this variable is an array",
    "Array on rerun file not of requested size",
    "Array on rerun file too large to fit",
    "Single precision underflow on data file",
    "Single precision overflow on data file",
    "String(s) on data file too long",
    "Single precision underflow on rerun file",
    "Single precision overflow on rerun file",
    "String(s) on rerun file too long",
};

using rdtext::rtrim;
using rdtext::upper;

std::string pad(std::string s, std::size_t w) {
  if (s.size() < w) s.resize(w, ' ');
  return s;
}

// Requested type letter to its code 1..6; 0 when unknown.
int typeCode(char t) {
  switch (t) {
    case 'C': return 1;
    case 'D': return 2;
    case 'I': return 3;
    case 'R': return 4;
    case 'L': return 5;
    case 'T': return 6;
    default: return 0;
  }
}

const char* const kTypeName[7] = {"",        "CHARACTER", "DOUBLE PRECISION", "INTEGER",
                                  "REAL",    "LOGICAL",   "DATE_TIME"};

std::string cacheName(int k) {
  std::string name = "RD$";
  fmt::I(name, k, 5, 5);
  name += ".TMP";
  return name;
}

// Declared number of elements of the receiving array of the requested type;
// 1 for an unknown type.
int declaredLength(const RdArgs& a) {
  switch (a.vartyp) {
    case 'C': return a.ncdec;
    case 'D':
    case 'T': return a.nddec;
    case 'I': return a.nidec;
    case 'R': return a.nrdec;
    case 'L': return a.nldec;
    default: return 1;
  }
}

// A variable name as the index holds it: without surrounding blanks,
// upper-cased.
std::string indexName(const std::string& varnam) {
  const std::string trimmed = rtrim(varnam);
  const std::size_t f = trimmed.find_first_not_of(' ');
  return upper(f == std::string::npos ? std::string() : trimmed.substr(f));
}

}  // namespace

Rd::Rd(Env& env) : impl_(std::make_unique<Impl>(env)) {
  impl_->restoreMissing();
  // A stop ends the run: the cache files it made go with it.
  Impl* impl = impl_.get();
  impl_->stopHook = env.addStopHook([impl] { impl->removeCreated(); });
}

Rd::~Rd() {
  impl_->env.removeStopHook(impl_->stopHook);
  impl_->removeCreated();
}

void Rd::Impl::removeCreated() {
  for (const std::string& path : created) std::remove(path.c_str());
  created.clear();
}

void Rd::Impl::restoreMissing() {
  dmiss = -99.99;
  tmiss = -99.99;
  rmiss = -99.99f;
  imiss = -99;
  lmiss = false;
  cmiss = pad("- MISSING -", 80);
}

void Rd::Impl::RDDATA(RdArgs& a) {
  switch (a.itask) {
    case 1:
    case 2:
    case 8:
      ERRSTOP(env, "RDDATA", "rerun files are not supported");
    case 3:
    case 4:
      init(a);
      return;
    case 5:
    case 6:
    case 7:
      read(a);
      return;
    case 9:
      deleteCaches(a);
      return;
    case 10:
      setMissing(a);
      return;
    case 11:
      restoreMissing();
      return;
    default:
      ERRSTOP(env, "RDDATA", "illegal ITASK value");
  }
}

void Rd::Impl::setMissing(const RdArgs& a) {
  switch (a.vartyp) {
    case 'D': if (a.dval) dmiss = a.dval[0]; break;
    case 'T': if (a.dval) tmiss = a.dval[0]; break;
    case 'R': if (a.rval) rmiss = a.rval[0]; break;
    case 'I': if (a.ival) imiss = a.ival[0]; break;
    case 'L': if (a.lval) lmiss = a.lval[0]; break;
    case 'C':
      if (a.cval) cmiss = pad(a.cval[0].substr(0, 80), 80);
      break;
    default: break;
  }
}

void Rd::Impl::init(RdArgs& a) {
  UnitTable& units = env.units();
  if (active && units.isOpen(cacheUnit)) units.close(cacheUnit);
  active = false;
  cacheUnit = a.iunit;
  logging = a.iulog > 0;
  logUnit = a.iulog;
  // Messages name the file as it is on disk (as given when it does not
  // exist); the list of analysed files is keyed by the upper-cased name.
  const std::string given = rtrim(a.datfil);
  current = upper(given);
  const std::string datfil = paths::resolveExisting(given).value_or(given);
  shown = datfil;
  // The last 12 characters; a letter beyond ASCII (UTF-8) is not cut.
  std::size_t start = datfil.size();
  for (int chars = 0; start > 0 && chars < 12;)
    if ((static_cast<unsigned char>(datfil[--start]) & 0xC0) != 0x80) ++chars;
  const std::string shortName = datfil.substr(start);

  int k = -1;
  for (std::size_t i = 0; i < files.size(); ++i)
    if (files[i].name == current) k = static_cast<int>(i);
  bool mustParse = true;
  if (k < 0) {
    if (static_cast<int>(files.size()) < INFDEC) {
      files.push_back(Entry{current, cacheName(static_cast<int>(files.size()) + 1), false});
      k = static_cast<int>(files.size()) - 1;
    } else if (a.itask == 3 && !noticeGiven) {
      noticeGiven = true;
      env.say("");
      env.say(" MESSAGE from RDDATA: After reading with RDINIT the data");
      env.say(" file " + shortName);
      env.say(" the list of file names appears to be full. Hence, the name");
      env.say(" of the analyzed file cannot be included in the list, which");
      env.say(" implies that RDINIT will not recover the file contents from");
      env.say(" temporary file when you initialize the same file once again.");
      env.say(" When you, in a rerun loop for instance, repeatedly use this");
      env.say(" file, the data will be parsed again and again. To avoid that,");
      env.say(" use RDPARS for files you initialize only once and/or increase");
      env.say(" PARAMETER INFDEC in RDDATA.");
      env.say(" This message will not be repeated for other files.");
    }
  } else if (a.itask == 3 && files[static_cast<std::size_t>(k)].valid &&
             FEXIST(files[static_cast<std::size_t>(k)].cache)) {
    mustParse = false;
  }
  currentCache = k >= 0 ? files[static_cast<std::size_t>(k)].cache : cacheName(0);
  heldRec = 0;

  if (!mustParse) {
    FOPENG(env, cacheUnit, currentCache, "OLD", "UD", 132, " ");
    mustParse = !parse.RDTMPI(2, cacheUnit, index);
    if (mustParse) {
      // Not a sound cache file: parse the data file again.
      units.close(cacheUnit);
      files[static_cast<std::size_t>(k)].valid = false;
    } else if (logging) {
      units.writeLine(logUnit, " Contents of " + shown + " recovered from TMP file");
    }
  }
  if (mustParse) {
    if (k >= 0) files[static_cast<std::size_t>(k)].valid = false;
    if (k < 0) zeroCreated = true;
    // The cache file about to be made, by the name the opener will give it,
    // absolute so that it can be removed from any working directory.
    std::error_code ec;
    std::string made = std::filesystem::absolute(paths::forCreate(currentCache), ec).string();
    if (ec) made = currentCache;
    if (std::find(created.begin(), created.end(), made) == created.end()) created.push_back(made);
    int nerr = 0;
    try {
      nerr = parse.RDINDX(cacheUnit, true, logging, logUnit, datfil, currentCache, index);
      if (nerr == 0) parse.RDTMPI(1, cacheUnit, index);
    } catch (...) {
      // A stop in the middle of a parse leaves no partial cache file behind.
      if (units.isOpen(cacheUnit)) units.close(cacheUnit);
      std::remove(currentCache.c_str());
      index.clear();
      throw;
    }
    if (nerr > 0) {
      index.clear();
      std::string l = " Number of errors in data file " + shown + ":";
      fmt::I(l, nerr, 4);
      env.say("");
      env.say("");
      env.say(l);
      ERRSTOP(env, "", "");
    }
    if (k >= 0) files[static_cast<std::size_t>(k)].valid = true;
    if (logging) {
      std::string l = " Data file   " + shortName + " with";
      fmt::I(l, index.size(), 4);
      l += " variables parsed by RDINDX";
      units.writeLine(logUnit, l);
    }
  }
  unsigned char rec[132];
  lastValueRec = units.readRecord(cacheUnit, 1, rec) ? [&] {
    std::int32_t v;
    std::memcpy(&v, rec, 4);
    return static_cast<long long>(v);
  }() : 0;
  active = true;
}

void Rd::Impl::inputError(const RdArgs& a, int code) {
  const int tc = typeCode(a.vartyp);
  std::string name = indexName(a.varnam);
  if (name.size() > NAMLEN) name.resize(NAMLEN);
  const int ndec = declaredLength(a);
  const std::string typeName = tc > 0 ? kTypeName[tc] : "";
  const std::string routine = "Routine RDDATA, called by " + a.caller + ", attempts to read";
  std::string l[4];
  if (a.itask == 5) {
    l[0] = "";
    l[1] = routine;
    l[2] = "a single value from file " + shown;
    l[3] = "into " + typeName + " variable " + name;
  } else {
    l[0] = routine;
    if (a.itask == 6) {
      l[1] = "an unspecified number of values from file " + shown;
    } else {
      l[1] = "precisely";
      fmt::I(l[1], a.ifnd, 6);
      l[1] += " values from file " + shown;
    }
    l[2] = "into " + typeName + " array " + name;
    l[3] = "(with declared length";
    fmt::I(l[3], ndec, 5);
    l[3] += ") :";
  }
  env.say("");
  for (const auto& s : l) env.say(std::string(" ").append(pad(s, 79)));
  UnitTable& units = env.units();
  if (logging && units.isOpen(logUnit)) {
    units.writeLine(logUnit, "");
    units.writeLine(logUnit, " INPUT ERROR");
    units.writeLine(logUnit, " ===========");
    for (const auto& s : l) units.writeLine(logUnit, " " + pad(s, 79));
    units.writeLine(logUnit, " ERROR in RDDATA: " + pad(kErrText[code], 42));
  }
  ERRSTOP(env, "RDDATA", kErrText[code]);
}

void Rd::Impl::corrupt() { ERRSTOP(env, "RDDATA", "temporary file damaged"); }

void Rd::Impl::loadRecord(long long rec) {
  if (rec == heldRec) return;
  if (rec < 2 || rec > lastValueRec || !env.units().readRecord(cacheUnit, rec, held.data()))
    corrupt();
  heldRec = rec;
}

unsigned char Rd::Impl::nextByte() {
  if (rdOff >= kData) {
    // Follow the chain; links always point forward, so this ends.
    std::int32_t link;
    std::memcpy(&link, held.data() + kData, 4);
    const long long rec = link / kData + 1;
    if (link <= 0 || rec <= rdRec) corrupt();
    rdRec = rec;
    rdOff = link % kData;
    loadRecord(rdRec);
  }
  return held[static_cast<std::size_t>(rdOff++)];
}

std::int32_t Rd::Impl::nextWord() {
  unsigned char b[4];
  for (auto& c : b) c = nextByte();
  std::int32_t v;
  std::memcpy(&v, b, 4);
  return v;
}

void Rd::Impl::alignRun() {
  const int a = (rdOff + 7) / 8 * 8;
  if (a >= kData) {
    rdOff = kData;
  } else {
    rdOff = a;
  }
}

void Rd::Impl::read(RdArgs& a) {
  // A stop closes every unit, the cache unit included.
  if (!active || !env.units().isOpen(cacheUnit)) ERRSTOP(env, "RDDATA", "no data file active");
  const int tc = typeCode(a.vartyp);
  if (tc == 0) ERRSTOP(env, "RDDATA", "illegal variable type");
  const int ndec = declaredLength(a);
  const std::string name = indexName(a.varnam);
  if (rtrim(a.varnam).size() > NAMLEN) inputError(a, 1);
  if (a.itask == 5 && ndec != 1) inputError(a, 2);
  if (a.itask == 7 && a.ifnd <= 0) inputError(a, 3);
  int k = -1;
  for (int i = 0; i < index.size(); ++i)
    if (index.names[static_cast<std::size_t>(i)] == name) k = i;
  if (k < 0) inputError(a, 4);
  const char stored = index.types[static_cast<std::size_t>(k)];
  const char accepted = "CFIFLT"[tc - 1];
  if (stored != '-' && stored != accepted) {
    const char* p = std::strchr("CIFLT", stored);
    inputError(a, p ? 5 + static_cast<int>(p - "CIFLT") : 4);
  }
  const long long count = index.counts[static_cast<std::size_t>(k)];
  if (a.itask == 5 && count > 1) inputError(a, 10);
  if (a.itask == 7 && count != a.ifnd) inputError(a, 11);
  if (count > ndec) inputError(a, 12);

  // Deliver the values run by run, following the column's record chain.
  const long long pos = index.positions[static_cast<std::size_t>(k)];
  rdRec = pos / kData + 1;
  rdOff = static_cast<int>(pos % kData);
  if (count > 0) loadRecord(rdRec);
  long long out = 0;
  const long long n = count;  // never more than the declared length
  while (out < n) {
    alignRun();
    const std::int32_t cnt = nextWord();
    if (cnt == 0) corrupt();
    const bool miss = cnt < 0;
    const long long reps = miss ? -static_cast<long long>(cnt) : cnt;
    const long long m = std::min(reps, n - out);
    if (miss) {
      for (long long i = 0; i < m; ++i, ++out) {
        switch (a.vartyp) {
          case 'C': a.cval[out] = rtrim(cmiss).substr(0, static_cast<std::size_t>(std::max(0, a.clen))); break;
          case 'D': a.dval[out] = dmiss; break;
          case 'T': a.dval[out] = tmiss; break;
          case 'I': a.ival[out] = imiss; break;
          case 'R': a.rval[out] = rmiss; break;
          case 'L': a.lval[out] = lmiss; break;
          default: break;
        }
      }
      nextWord();
      continue;
    }
    switch (stored) {
      case 'I':
      case 'L': {
        const std::int32_t v = nextWord();
        for (long long i = 0; i < m; ++i, ++out) {
          if (stored == 'I') {
            a.ival[out] = v;
          } else {
            a.lval[out] = v != 0;
          }
        }
        break;
      }
      case 'F':
      case 'T': {
        nextWord();
        unsigned char b[8];
        for (auto& c : b) c = nextByte();
        double v;
        std::memcpy(&v, b, 8);
        for (long long i = 0; i < m; ++i, ++out) {
          if (a.vartyp == 'R') {
            const double av = std::fabs(v);
            if (!std::isfinite(v)) inputError(a, 22);
            // Magnitudes of exactly 1.0E-38 and 1.0E+38 are delivered.
            if (av > 0.0 && av < 1.0e-38) inputError(a, 21);
            if (av > 1.0e+38) inputError(a, 22);
            a.rval[out] = static_cast<float>(v);
          } else {
            a.dval[out] = v;
          }
        }
        break;
      }
      case 'C': {
        std::string s;
        // A string ends at its 0; the chain is finite.
        for (;;) {
          const unsigned char c = nextByte();
          if (c == 0) break;
          s.push_back(static_cast<char>(c));
        }
        if (static_cast<long long>(s.size()) > a.clen) inputError(a, 23);
        // A fixed-length element cannot tell trailing blanks from padding.
        s = rtrim(s);
        for (long long i = 0; i < m; ++i, ++out) a.cval[out] = s;
        break;
      }
      default:
        corrupt();
    }
  }
  if (a.itask == 6) a.ifnd = static_cast<int>(count);
}

void Rd::Impl::deleteCaches(RdArgs& a) {
  UnitTable& units = env.units();
  if (!active) return;
  if (units.isOpen(cacheUnit)) units.close(cacheUnit);
  if (logging) units.writeLine(logUnit, "  ");
  auto remove = [&](const std::string& name) {
    if (!FEXIST(name)) return;
    FOPENG(env, a.iunit, name, "OLD", "UD", 132, " ");
    units.closeDelete(a.iunit);
    if (logging) units.writeLine(logUnit, " Temporary file " + name + " deleted by RDDTMP");
  };
  for (auto& e : files) {
    remove(e.cache);
    e.valid = false;
  }
  if (zeroCreated) {
    remove(cacheName(0));
    zeroCreated = false;
  }
  created.clear();
  active = false;
  heldRec = 0;
}

template <typename T>
void Rd::Impl::rangeCheck(const char* caller, const std::string& xname, T lo, T hi, const T* v,
                          int n, bool array) {
  const std::string name = rtrim(xname);
  auto num = [](std::string& s, T x) {
    if constexpr (std::is_same_v<T, int>) {
      fmt::I(s, x, 8);
    } else {
      fmt::G125(s, static_cast<double>(x));
    }
  };
  for (int i = 0; i < n; ++i) {
    if (hi < lo) {
      env.say(std::string(" ERROR in ") + caller + ": Range not valid of identifier '" + name + "'");
      ERRSTOP(env, "", "");
    }
    if (v[i] < lo || v[i] > hi) {
      std::string l1 = std::string(" ERROR in ") + caller + ": Range error of identifier '" + name;
      if (array) {
        l1 += "(";
        fmt::I(l1, i + 1, 3);
        l1 += ")";
      }
      l1 += "',";
      std::string l2(17, ' ');
      l2 += "value =";
      num(l2, v[i]);
      l2 += ", range = [";
      num(l2, lo);
      l2 += ",";
      num(l2, hi);
      l2 += "]";
      env.say(l1);
      env.say(l2);
      // Which file holds the value.
      env.say(std::string(17, ' ') + "in file " + shown);
      ERRSTOP(env, "", "");
    }
  }
}

// ---------------------------------------------------------------------------

namespace {

// The arguments of an RDDATA task for variable xname, on behalf of caller.
RdArgs readArgs(int itask, const char* caller, const std::string& xname) {
  RdArgs a;
  a.itask = itask;
  a.caller = caller;
  a.varnam = xname;
  return a;
}

// Points the arguments at receiving values of the element type and their
// declared number of elements.
void receive(RdArgs& a, int* values, int declared) {
  a.vartyp = 'I';
  a.ival = values;
  a.nidec = declared;
}
void receive(RdArgs& a, float* values, int declared) {
  a.vartyp = 'R';
  a.rval = values;
  a.nrdec = declared;
}

// One value into x (unchanged when the read stops), then its range check.
template <typename T>
void readSingleInRange(Rd::Impl& impl, const char* caller, const std::string& xname, T lo, T hi,
                       T& x) {
  RdArgs a = readArgs(5, caller, xname);
  T v = x;
  receive(a, &v, 1);
  impl.RDDATA(a);
  x = v;
  impl.rangeCheck<T>(caller, xname, lo, hi, &x, 1, false);
}

// Up to ildec values into xa, their number into ifnd, then their range checks.
template <typename T>
void readArrayInRange(Rd::Impl& impl, const char* caller, const std::string& xname, T lo, T hi,
                      T* xa, int ildec, int& ifnd) {
  RdArgs a = readArgs(6, caller, xname);
  receive(a, xa, ildec);
  impl.RDDATA(a);
  ifnd = a.ifnd;
  impl.rangeCheck<T>(caller, xname, lo, hi, xa, ifnd, true);
}

}  // namespace

void Rd::RDINIT(int iunit, int iulog, const std::string& datfil) {
  RdArgs a;
  a.itask = 3;
  a.caller = "RDINIT";
  a.iunit = iunit;
  a.iulog = iulog;
  a.datfil = datfil;
  impl_->RDDATA(a);
}

void Rd::RDSCHA(const std::string& xname, std::string& x, int declen) {
  RdArgs a = readArgs(5, "RDSCHA", xname);
  a.vartyp = 'C';
  std::string v;
  a.cval = &v;
  a.clen = declen;
  impl_->RDDATA(a);
  x = v;
}

void Rd::RDSRER(const std::string& xname, float xmin, float xmax, float& x) {
  readSingleInRange<float>(*impl_, "RDSRER", xname, xmin, xmax, x);
}

void Rd::RDSINR(const std::string& xname, int imin, int imax, int& x) {
  readSingleInRange<int>(*impl_, "RDSINR", xname, imin, imax, x);
}

void Rd::RDAINR(const std::string& xname, int imin, int imax, int* ia, int ildec, int& ifnd) {
  readArrayInRange<int>(*impl_, "RDAINR", xname, imin, imax, ia, ildec, ifnd);
}

void Rd::RDARER(const std::string& xname, float xmin, float xmax, float* xa, int ildec, int& ifnd) {
  readArrayInRange<float>(*impl_, "RDARER", xname, xmin, xmax, xa, ildec, ifnd);
}

void Rd::RDDTMP(int iunit) {
  RdArgs a;
  a.itask = 9;
  a.caller = "RDDTMP";
  a.iunit = iunit;
  impl_->RDDATA(a);
}

}  // namespace kirmel
