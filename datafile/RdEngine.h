// The engine RDDATA behind the reading calls: all state of the data-file
// library for one run.  Tests use it directly for the types that the kernel's
// calls do not reach (double precision, logical, date-time).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "datafile/Rd.h"
#include "datafile/RdParse.h"

namespace kirmel {

// Arguments of one RDDATA call.  Receiving arrays hold the declared number of
// elements; a null array is not used.
struct RdArgs {
  int itask = 0;
  std::string caller;
  int iunit = 0;
  int iulog = 0;
  std::string datfil;
  int iset = 0;
  std::string varnam;
  char vartyp = ' ';
  double* dval = nullptr;
  float* rval = nullptr;
  int* ival = nullptr;
  std::string* cval = nullptr;
  bool* lval = nullptr;
  int nddec = 1, nrdec = 1, nidec = 1, ncdec = 1, nldec = 1;
  int clen = 80;  // declared length of one string element
  int ifnd = 0;   // out for task 6, the requested number for task 7
};

struct Rd::Impl {
  explicit Impl(Env& e) : env(e), parse(e) {}

  void RDDATA(RdArgs& a);

  // Tasks.
  void init(RdArgs& a);
  void read(RdArgs& a);
  void deleteCaches(RdArgs& a);
  void setMissing(const RdArgs& a);
  void restoreMissing();

  // Range checks of the wrappers.
  template <typename T>
  void rangeCheck(const char* caller, const std::string& xname, T lo, T hi, const T* v, int n,
                  bool array);

  // Cache-file reading.
  void loadRecord(long long rec);
  unsigned char nextByte();
  std::int32_t nextWord();
  void alignRun();
  [[noreturn]] void corrupt();

  [[noreturn]] void inputError(const RdArgs& a, int code);
  // Removes every cache file this instance made that RDDTMP has not removed
  // (on a stop, and when the instance ends).
  void removeCreated();

  struct Entry {
    std::string name;   // upper-cased data-file name
    std::string cache;  // cache-file name
    bool valid = false; // the cache file holds a complete parse
  };

  Env& env;
  RdParse parse;
  std::string current;  // upper-cased name of the current data file
  std::string shown;    // its name in messages: as on disk, else as given
  bool active = false;
  int cacheUnit = 0;
  bool logging = false;
  int logUnit = 0;
  std::vector<Entry> files;
  bool noticeGiven = false;
  bool zeroCreated = false;  // "RD$00000.TMP" was written by this run
  VarIndex index;
  std::string currentCache;
  std::vector<std::string> created;  // absolute paths of the cache files made
  int stopHook = 0;

  // Missing values.
  double dmiss = -99.99;
  double tmiss = -99.99;
  float rmiss = -99.99f;
  int imiss = -99;
  bool lmiss = false;
  std::string cmiss;

  // The cache record held in memory.
  std::array<unsigned char, 132> held{};
  long long heldRec = 0;
  long long rdRec = 0;
  int rdOff = 0;
  long long lastValueRec = 0;
};

constexpr int INFDEC = 100;

}  // namespace kirmel
