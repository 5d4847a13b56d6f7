// Reader of the input echo file "INPUT.OUT": the run geometry the graph
// windows need.
//
// The values are found by the words of the echo's section headings, each
// value being the first token of the line under its heading: the output
// interval ("Timestep"), the selected sediment subsystems ("subsystems"),
// the water layer's time step and the time simulated ("Time"), the
// water-body length ("Space"), the
// numbers of water-layer segments ("Number": water body, front buffer, end
// buffer) and their lengths ("Lengths": front buffer, water body, end
// buffer), then, after "wbin:", the number of sediment segments and their
// thicknesses.  Mid-point distances and depths are running sums of the
// lengths; the distances count from the start of the water body.
//
// A file that lacks a heading or a value, that ends inside a line the
// reader needs, whose counts exceed what a run can hold (9 subsystems,
// 500 segments), or that selects a node no run can have (below 1, above
// 550), is refused: the reader reports it with the file's name and line,
// returns false and leaves the object as it was.  A selected node that the
// run does not have, or a buffer node, is read: the kernel writes no files
// for it, and the windows offer only the subsystems under the water body.
#pragma once

#include <string>
#include <vector>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

class TINPUT {
 public:
  static constexpr int MaxSubsystems = 9;
  static constexpr int MaxSegments = 500;
  static constexpr int MaxBufferSegments = 25;

  // Reads the file into this object.  False when the file cannot be opened
  // or is refused; the object is then unchanged.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, TReadContext& context);

  double WaterBodyLength() const { return waterBodyLength_; }  // m
  // The run's settings of time: the interval of its output times (d), its
  // time step (s) and the time it was set to simulate (d), as read.
  double OutputInterval() const { return outputInterval_; }
  double TimeStep() const { return timeStep_; }
  double SimulationTime() const { return simulationTime_; }
  int NumberOfSubsystems() const { return static_cast<int>(subsystems_.size()); }
  // Sediment layers of a subsystem, a lower buffer not counted.
  int NumberOfSedimentSegments() const { return static_cast<int>(sedimentMidDepth_.size()); }
  // Water-layer segments of the water body.
  int NumberOfWLSegments() const { return static_cast<int>(wlMidDistance_.size()); }
  // Water-layer segments of the front and end buffers (0 in the runs this
  // front end writes).
  int NumberOfFrontBufferSegments() const { return frontBuffer_; }
  int NumberOfEndBufferSegments() const { return endBuffer_; }

  // 1-based lookups; EIndexOutOfRange outside 1 .. the count.
  // Depth (m) of the middle of sediment segment i below the sediment surface.
  double SedimentMidDepth(int i) const;
  // Distance (m) of the middle of water-body segment i from the water body's start.
  double WLMidDistance(int i) const;
  // Water-layer node number of selected subsystem i (the "%.3d" of its files).
  int Subsystems(int i) const;

  // The water-body segment (1-based) of water-layer node `node`, or 0 when
  // the node is a buffer node or no node of the run.
  int WLSegmentOfNode(int node) const;
  // Water-layer node number of water-body segment i (1-based).
  int WLNodeOfSegment(int i) const { return frontBuffer_ + i; }

 private:
  double waterBodyLength_ = 0;
  double outputInterval_ = 0;
  double timeStep_ = 0;
  double simulationTime_ = 0;
  int frontBuffer_ = 0;
  int endBuffer_ = 0;
  std::vector<int> subsystems_;
  std::vector<double> wlMidDistance_;
  std::vector<double> sedimentMidDepth_;
};

}  // namespace kirmel::fe
