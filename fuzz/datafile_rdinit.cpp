// Fuzz target for the data-file library: the input is written to a data file
// in a private directory (also the working directory, where the cache files
// land); RDINIT parses it, and every variable the index holds is read back
// with the type it holds, as an array, and once more after a recovery.  Every
// fatal stop is caught; standard input is empty, so no wait blocks.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "datafile/Rd.h"
#include "datafile/RdEngine.h"
#include "platform/Env.h"
#include "platform/Stop.h"

namespace {

constexpr int kLog = 40;  // the message file

// The private directory, created once and removed at exit; made again when
// something else has removed it meanwhile.
const std::string& workDir() {
  // Never destroyed, so that the exit handler can still use it.
  static const std::string* const dir = [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kirmel-fuzz-rd-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    auto* d = new std::string(tmpl);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(workDir(), ec);
    });
    return d;
  }();
  std::error_code ec;
  std::filesystem::create_directories(*dir, ec);
  return *dir;
}

template <typename F>
bool guarded(F&& f) {
  try {
    f();
    return true;
  } catch (const kirmel::Stop&) {
    return false;
  }
}

void readAll(kirmel::Rd& rd, const std::string& file) {
  auto& impl = rd.impl();
  const kirmel::VarIndex index = impl.index;  // a stop below may clear it
  constexpr int kDec = 64;
  for (int i = 0; i < index.size(); ++i) {
    const auto k = static_cast<std::size_t>(i);
    const char stored = index.types[k];
    const char* wanted = stored == 'C' ? "C" : stored == 'I' ? "I" : stored == 'F' ? "RD"
                         : stored == 'L' ? "L" : stored == 'T' ? "T" : "CDIRLT";
    for (const char* t = wanted; *t; ++t) {
      std::vector<double> d(kDec);
      std::vector<float> r(kDec);
      std::vector<int> iv(kDec);
      std::vector<std::string> c(kDec);
      bool l[kDec] = {};
      kirmel::RdArgs a;
      a.itask = 6;
      a.caller = "FUZZ";
      a.varnam = index.names[k];
      a.vartyp = *t;
      a.dval = d.data();
      a.rval = r.data();
      a.ival = iv.data();
      a.cval = c.data();
      a.lval = l;
      a.nddec = a.nrdec = a.nidec = a.ncdec = a.nldec = kDec;
      a.clen = 80;
      if (!guarded([&] { impl.RDDATA(a); })) {
        // The stop closed every unit: make the file current again.
        if (!guarded([&] { rd.RDINIT(20, kLog, file); })) return;
      }
    }
    float x = 0.0f;
    int n = 0;
    if (!guarded([&] { rd.RDSRER(index.names[k], -1.0e30f, 1.0e30f, x); }) ||
        !guarded([&] { rd.RDSINR(index.names[k], -1000, 1000, n); })) {
      if (!guarded([&] { rd.RDINIT(20, kLog, file); })) return;
    }
    std::string text;
    if (!guarded([&] { rd.RDSCHA(index.names[k], text, 10); })) {
      if (!guarded([&] { rd.RDINIT(20, kLog, file); })) return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The library works in the working directory; libFuzzer's own paths may be
  // relative, so the directory is changed for this call only.
  const std::filesystem::path oldCwd = std::filesystem::current_path();
  std::filesystem::current_path(workDir());
  const std::string file = workDir() + "/fuzz.inp";
  {
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::istringstream in;
  std::ostringstream out;
  kirmel::Env env(in, out);
  {
    kirmel::Rd rd(env);
    env.units().openWrite(kLog, workDir() + "/message.out");
    if (guarded([&] { rd.RDINIT(20, kLog, file); })) {
      readAll(rd, file);
      // Initialising the same file again recovers it from its cache file.
      if (guarded([&] { rd.RDINIT(20, kLog, file); })) readAll(rd, file);
    }
    guarded([&] { rd.RDDTMP(22); });
  }
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(workDir(), ec))
    std::filesystem::remove_all(e.path(), ec);
  std::filesystem::current_path(oldCwd, ec);
  return 0;
}
