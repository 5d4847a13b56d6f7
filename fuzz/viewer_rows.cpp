// Fuzz target for the row readers: the water-layer and sediment
// concentration files and the two measured-data files.  The first byte
// chooses the reader (low two bits), the decimal separator (bit 2), a read
// through a cache (bit 3, read twice: the second must give the same table
// without reading) and a read cancelled at once (bit 4); the rest is the
// file.  Every lookup the graph windows use must stay inside the list for
// whatever the reader kept.
#include <cstddef>
#include <cstdint>

#include "ViewerFuzz.h"
#include "frontend/viewer/Measure.h"
#include "frontend/viewer/OutputCache.h"
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

template <class List>
void CheckWlsoco(const List& list) {
  Check(list.NumberOfTimesteps() * list.RecordsPerTimestep() <= list.Count());
  for (int t = 0; t <= list.NumberOfTimesteps() + 1; ++t)
    for (int s = 0; s <= list.RecordsPerTimestep() + 1; ++s) {
      const int i = list.RecordIndex(t, s);
      CheckIndex(list, i);
      if (i >= 0) Check(list.GetItem(i).Segment == s);
    }
  for (int i = 0; i < list.Count(); ++i) list.GetItem(i);
}

template <class List>
void CheckWbsco(const List& list) {
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
  for (int i = 0; i < list.Count(); ++i) list.GetItem(i);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string& file = kirmel::fuzz::WriteScratch(data + 1, size - 1);
  const char separator = (data[0] & 4) ? ',' : '.';
  const bool cached = data[0] & 8;
  const bool cancel = data[0] & 16;
  int messages = 0;
  TReadContext context([&](const std::string&) { ++messages; }, separator,
                       [cancel](const std::string&, std::uint64_t, std::uint64_t) { return !cancel; });
  try {
    switch (data[0] & 3) {
      case 0: {
        TWLSOCOList list;
        if (cached) {
          TOutputCache cache;
          Check(cache.WLSOCO(file, context, list));
          TWLSOCOList again;
          Check(cache.WLSOCO(file, context, again));
          Check(cache.FilesRead() == 1 && again.Count() == list.Count());
        } else {
          Check(list.ReadFile(file, context));
        }
        Check(list.ReadError().empty() || messages == 1);
        CheckWlsoco(list);
        break;
      }
      case 1: {
        TWBSCOList list;
        Check(list.ReadFile(file, context));
        Check(list.ReadError().empty() || messages == 1);
        CheckWbsco(list);
        break;
      }
      case 2: {
        TWLMeasure list;
        Check(list.ReadFile(file, context) == list.ReadError().empty());
        CheckMeasure(list);
        break;
      }
      default: {
        TWBMeasure list;
        list.ReadFile(file, context);
        CheckMeasure(list);
        break;
      }
    }
    Check(!cancel);
  } catch (const TReadCancelled&) {
    Check(cancel);
  }
  return 0;
}
