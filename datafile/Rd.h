// The data-file library's reading calls.  One Rd instance holds all state of
// the library for one run (current file, list of analysed files, variable
// index, cache file); every failure is fatal through Env::stop.
#pragma once

#include <memory>
#include <string>

#include "platform/Env.h"

namespace kirmel {

class Rd {
 public:
  explicit Rd(Env& env);
  ~Rd();
  Rd(const Rd&) = delete;
  Rd& operator=(const Rd&) = delete;

  // Makes `datfil` the current data file (parse and cache, or recover an
  // earlier parse of the same name, compared ignoring case).  Cache on
  // `iunit`, data file read on iunit+1; iulog > 0 logs to that (already open)
  // unit.  The cache files "RD$nnnnn.TMP" are created in the working
  // directory.  Syntax errors are all listed, then the program stops.
  void RDINIT(int iunit, int iulog, const std::string& datfil);
  // One string; `declen` is the caller's declared length (a longer stored
  // string stops the program).  x receives the stored characters without
  // trailing blanks (no padding to declen).
  void RDSCHA(const std::string& xname, std::string& x, int declen = 80);
  void RDSRER(const std::string& xname, float xmin, float xmax, float& x);
  void RDSINR(const std::string& xname, int imin, int imax, int& x);
  // Arrays: ia/xa hold ildec elements (index 0 = first value); ifnd gets the
  // number of values found.  Never writes past ildec.
  void RDAINR(const std::string& xname, int imin, int imax, int* ia, int ildec, int& ifnd);
  void RDARER(const std::string& xname, float xmin, float xmax, float* xa, int ildec, int& ifnd);
  // Closes the current cache file and deletes the cache files (`iunit` is a
  // free unit used to open each for deletion).  No read may follow.
  void RDDTMP(int iunit);

  struct Impl;
  // The engine (datafile/RdEngine.h), for reads of the types that the calls
  // above do not cover.
  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace kirmel
