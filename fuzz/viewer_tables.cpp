// Fuzz target for the table readers: the input echo, the exposure table,
// the two mass-balance files and the distribution files.  The first byte
// chooses the reader (low two bits, and bit 2 between the water layer's mass
// balance and the distribution); for the exposure table the second byte is
// the number of time-series lines to pass over.  The rest is the file.
#include <cstddef>
#include <cstdint>

#include "ViewerFuzz.h"
#include "frontend/viewer/DB.h"
#include "frontend/viewer/EC.h"
#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/WBMBALL.h"
#include "frontend/viewer/WLMB.h"

using namespace kirmel::fe;
using kirmel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  Parser parser;
  switch (data[0] & 3) {
    case 0: {
      TINPUT in;
      if (in.ReadFile(kirmel::fuzz::WriteScratch(data + 1, size - 1), parser)) {
        Check(in.NumberOfSubsystems() <= TINPUT::MaxSubsystems);
        Check(in.NumberOfWLSegments() <= TINPUT::MaxSegments);
        Check(in.NumberOfSedimentSegments() <= TINPUT::MaxSegments);
        for (int i = 1; i <= in.NumberOfSubsystems(); ++i) {
          const int segment = in.WLSegmentOfNode(in.Subsystems(i));
          Check(segment >= 0 && segment <= in.NumberOfWLSegments());
          if (segment > 0) in.WLMidDistance(segment);
        }
        for (int i = 1; i <= in.NumberOfSedimentSegments(); ++i) in.SedimentMidDepth(i);
      }
      break;
    }
    case 1: {
      TECList list;
      Check(list.ReadFile(kirmel::fuzz::WriteScratch(data + 2, size - 2), data[1], parser));
      Check(list.Count() <= 4);
      Check(list.Count() == 4 || !list.ReadError().empty());
      break;
    }
    case 2: {
      if (data[0] & 4) {
        TDBList list;
        Check(list.ReadFile(kirmel::fuzz::WriteScratch(data + 1, size - 1), parser));
      } else {
        TWLMBList list;
        Check(list.ReadFile(kirmel::fuzz::WriteScratch(data + 1, size - 1), parser));
      }
      break;
    }
    default: {
      TWBMBALLList list;
      Check(list.ReadFile(kirmel::fuzz::WriteScratch(data + 1, size - 1), parser));
      break;
    }
  }
  Check(!parser.FileOpen());
  return 0;
}
