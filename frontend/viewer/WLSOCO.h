// Reader of the water-layer concentration file "WLSOCO.OUT".
//
// The file holds one time block per output time: one row per water-layer
// node in node order (front buffer, water body, end buffer), each row the
// time, the node number, the distance, four concentrations, four
// percentages and the time step.  The list keeps the time, node, dissolved
// concentration and time step of every row: the concentrations one number
// a row, the time and time step one pair a block, the node the row's place
// in its block.  A list is a handle: copies share the rows read.
//
// Only complete time blocks count: every block must hold the rows 1 .. n in
// order with one time and one time step, n being the first block's size.
// From step 1000000 on the step column holds asterisks: such blocks are told
// apart by their rows and time, and keep the stand-in step of StandInStep.  A
// block that breaks this, a row cut short, a value that does not convert or
// a file without any row ends the reading with a message naming the file
// and line; the rows read before stay in the list, and NumberOfTimesteps
// counts the complete blocks among them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

struct TWLSOCORecord {
  double Time = 0;           // d
  int Segment = 0;           // water-layer node number
  double Concentration = 0;  // dissolved, g/m3
  int Timestep = 0;          // kernel time-step number, or its stand-in (StandInStep)
};

class TWLSOCOList {
 public:
  // The width of the file's rows.
  static constexpr std::size_t kRowWidth = 122;

  // Clears the list, then reads the whole file.  False only when the file
  // cannot be opened.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, TReadContext& context);

  // Rows read, the rows of an incomplete last block included.
  int Count() const;
  // The row at a 0-based index; EIndexOutOfRange outside 0 .. Count - 1.
  TWLSOCORecord GetItem(int index) const;
  void ClearItems();
  // Empty after a read that took the whole file; otherwise the message that
  // reported why the read stopped.
  const std::string& ReadError() const;

  // Complete output times read.
  int NumberOfTimesteps() const;
  // Rows of one time block: every water-layer node, buffers included.
  int RecordsPerTimestep() const;
  // 0-based index of node `segment` (1-based) at output time t (1-based), or
  // -1 when either lies outside the complete blocks.
  int RecordIndex(int t, int segment) const;

  // Bytes the list holds.
  std::size_t MemoryBytes() const;

  struct TData;

 private:
  std::shared_ptr<const TData> data_;
};

}  // namespace kirmel::fe
