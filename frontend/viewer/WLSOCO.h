// Reader of the water-layer concentration file "WLSOCO.OUT".
//
// The file holds one time block per output time: one row per water-layer
// node in node order (front buffer, water body, end buffer), each row the
// time, the node number, the distance, four concentrations, four
// percentages and the time-step number.  The list keeps the time, node,
// dissolved concentration and time step of every row.
//
// Only complete time blocks count: every block must hold the rows 1 .. n in
// order with one time and one time step, n being the first block's size.  A
// block that breaks this, a row cut short or a value that does not convert
// ends the reading with a message naming the file and line; the rows read
// before stay in the list, and NumberOfTimesteps counts the complete blocks
// among them.
#pragma once

#include <string>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

struct TWLSOCORecord {
  double Time = 0;           // d
  int Segment = 0;           // water-layer node number
  double Concentration = 0;  // dissolved, g/m3
  int Timestep = 0;          // kernel time-step number
};

class TWLSOCOList : public TRecordList<TWLSOCORecord> {
 public:
  // Clears the list, then reads the whole file.  False only when the file
  // cannot be opened.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());

  // Complete output times read.
  int NumberOfTimesteps() const { return numberOfTimesteps_; }
  // Rows of one time block: every water-layer node, buffers included.
  int RecordsPerTimestep() const { return recordsPerTimestep_; }
  // 0-based index of node `segment` (1-based) at output time t (1-based), or
  // -1 when either lies outside the complete blocks.
  int RecordIndex(int t, int segment) const;

 private:
  int numberOfTimesteps_ = 0;
  int recordsPerTimestep_ = 0;
};

}  // namespace kirmel::fe
