// Reader of the distribution files: "DBDIT.OUT" (the whole water body,
// masses in g) and "DB%.3d.OUT" (one selected sediment subsystem, lineic
// masses in g/m).
//
// Each data line holds the time, the water layer's total, dissolved, on
// macrophytes and on suspended solids, the sediment's total, dissolved and
// sorbed, two percentages and the time step: eleven columns.  A record keeps
// the time and the five compartments; the totals and the rest of the line
// are passed over.  A line cut short, a value that does not convert or a
// file without any data line ends the reading with a message naming the
// file and line; the records before stay in the list.
#pragma once

#include <string>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

struct TDBRecord {
  double Time = 0;  // d
  double Dissolved = 0;
  double Macrophytes = 0;
  double SuspSolids = 0;
  double DissolvedSed = 0;
  double SorbedSed = 0;
};

class TDBList : public TRecordList<TDBRecord> {
 public:
  // The width of the file's rows.
  static constexpr std::size_t kRowWidth = 120;

  // Clears the list, then reads the whole file.  False only when the file
  // cannot be opened.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, TReadContext& context);
};

}  // namespace kirmel::fe
