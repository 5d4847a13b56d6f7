// Fuzz target for what the front end reads back from its runs: the list of
// runs in a batch file, the run marker and the kernel's console log.  The
// first byte chooses the reader.  A refused batch-file line is the reader's
// ordinary answer (ERunError); anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frontend/editor/Run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 3) {
    case 0:
      try {
        for (const kirmel::fe::TSimRun& run : kirmel::fe::BatchFileRuns(text, "BATCH.BAT"))
          if (run.InputDir.empty()) __builtin_trap();
      } catch (const kirmel::fe::ERunError&) {
      }
      break;
    case 1: {
      const kirmel::fe::TRunMarker marker = kirmel::fe::ParseRunMarker(text);
      if (marker.Pid < 0) __builtin_trap();
      break;
    }
    default:
      for (const std::string& line : kirmel::fe::KernelLastLines(text)) {
        if (line.empty() || line.size() > 200) __builtin_trap();
        for (unsigned char c : line)
          if (c < 32 || c == 127) __builtin_trap();
      }
      if (kirmel::fe::KernelLastLines(text).size() > 5) __builtin_trap();
      break;
  }
  return 0;
}
