// Reader of the sediment concentration file of one selected sediment
// subsystem, "WBSCO%.3d.OUT".
//
// One time block per output time: a row per sediment layer in depth order
// (the layers of a lower buffer included), then the top-layer row whose
// segment column reads "top".  Each row holds the time, the segment, the
// depth, three concentrations, three percentages and the time step; the list
// keeps the time, the segment, the total concentration and the time step:
// the concentrations one number a row, the time and time step one pair a
// block, the segment the row's place in its block.  A list is a handle:
// copies share the rows read.
//
// Only complete time blocks count: layer rows 1 .. m in order, then "top",
// all with one time and time step, m being the first block's layer count
// (a step column of asterisks, from step 1000000 on, keeps the stand-in
// step of StandInStep).
// Anything else, or a file without any row, ends the reading with a
// message naming the file and line; the rows read before stay in the list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

struct TWBSCORecord {
  double Time = 0;           // d
  std::string Segment;       // sediment segment number as written, or "top"
  double Concentration = 0;  // total, g/m3
  int Timestep = 0;          // kernel time-step number, or its stand-in (StandInStep)
};

class TWBSCOList {
 public:
  // The width of the file's rows.
  static constexpr std::size_t kRowWidth = 97;

  // Clears the list, then reads the whole file.  False only when the file
  // cannot be opened.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, TReadContext& context);

  // Rows read, those of an incomplete last block included.
  int Count() const;
  // The row at a 0-based index; EIndexOutOfRange outside 0 .. Count - 1.
  TWBSCORecord GetItem(int index) const;
  // The total concentration (g/m3) of the row at a 0-based index.
  double Concentration(int index) const;
  void ClearItems();
  // Empty after a read that took the whole file; otherwise the message that
  // reported why the read stopped.
  const std::string& ReadError() const;

  // Complete output times read.
  int NumberOfTimesteps() const;
  // Rows of one time block: the layer rows and the top-layer row.
  int RecordsPerTimestep() const;
  // Layer rows of one time block (sediment layers and lower buffer).
  int LayersPerTimestep() const;

  // True with the 0-based index of the first row of the complete time block
  // of `timestep`; false when no complete block has it.
  bool FindTimestep(int timestep, int& index) const;
  // 0-based index of the "top" row of complete time block t (1-based), or -1.
  int TopIndex(int t) const;
  // 0-based index of layer `layer` (1-based) of complete time block t, or -1.
  int LayerIndex(int t, int layer) const;

  // Bytes the list holds.
  std::size_t MemoryBytes() const;

  struct TData;

 private:
  std::shared_ptr<const TData> data_;
};

}  // namespace kirmel::fe
