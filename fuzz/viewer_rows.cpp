// Fuzz target for the row readers: the water-layer and sediment
// concentration files and the two measured-data files.  The first byte
// chooses the reader (low two bits) and the decimal separator (next bit);
// the rest is the file.  Every lookup the graph windows use must stay
// inside the list for whatever the reader kept.
#include <cstddef>
#include <cstdint>

#include "ViewerFuzz.h"
#include "frontend/viewer/Measure.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/WLSOCO.h"

using namespace kirmel::fe;
using kirmel::fuzz::Check;
using kirmel::fuzz::CheckIndex;

template <class List>
void CheckMeasure(const List& list) {
  Check(list.NumberOfPeriods() * list.PointsPerPeriod() <= list.Count());
  for (int g = 0; g <= list.NumberOfPeriods() + 1; ++g)
    for (int k = 0; k <= list.PointsPerPeriod() + 1; ++k) CheckIndex(list, list.RecordIndex(g, k));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string& file = kirmel::fuzz::WriteScratch(data + 1, size - 1);
  Parser parser({}, (data[0] & 4) ? ',' : '.');
  switch (data[0] & 3) {
    case 0: {
      TWLSOCOList list;
      Check(list.ReadFile(file, parser));
      Check(list.NumberOfTimesteps() * list.RecordsPerTimestep() <= list.Count());
      for (int t = 0; t <= list.NumberOfTimesteps() + 1; ++t)
        for (int s = 0; s <= list.RecordsPerTimestep() + 1; ++s) {
          const int i = list.RecordIndex(t, s);
          CheckIndex(list, i);
          if (i >= 0) Check(list.GetItem(i).Segment == s);
        }
      break;
    }
    case 1: {
      TWBSCOList list;
      Check(list.ReadFile(file, parser));
      Check(list.NumberOfTimesteps() * list.RecordsPerTimestep() <= list.Count());
      for (int t = 0; t <= list.NumberOfTimesteps() + 1; ++t) {
        const int top = list.TopIndex(t);
        CheckIndex(list, top);
        Check((top >= 0) == (t >= 1 && t <= list.NumberOfTimesteps()));
        if (top >= 0) {
          Check(list.GetItem(top).Segment == "top");
          int index = -1;
          Check(list.FindTimestep(list.GetItem(top).Timestep, index));
          CheckIndex(list, index + list.LayersPerTimestep());
        }
        for (int k = 0; k <= list.LayersPerTimestep() + 1; ++k) CheckIndex(list, list.LayerIndex(t, k));
      }
      break;
    }
    case 2: {
      TWLMeasure list;
      list.ReadFile(file, parser);
      CheckMeasure(list);
      break;
    }
    default: {
      TWBMeasure list;
      list.ReadFile(file, parser);
      CheckMeasure(list);
      break;
    }
  }
  Check(!parser.FileOpen());
  return 0;
}
