// Reader of the exposure file of one selected sediment subsystem,
// "EC%.3d.OUT": the table of maximal exposure concentrations that follows
// the time series.
//
// The table has four rows, for the exposure windows of 0, 4, 21 and 28 days
// in this order, each the window's length, the time of occurrence (d) and
// the concentration (g/m3).  The reader reaches the table by passing over
// the time-series lines (their number is the caller's: the run's output
// times), and over any further time-series lines (lines of more than three
// values) when the caller's count fell short, so that a water-layer file
// that stopped early does not hide the table.  It checks that the rows it
// finds start with 0, 4, 21 and 28; a file that does not hold them there,
// or whose last row was cut, is reported with its name and line and keeps
// the rows read before.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

struct TECRecord {
  double TimeOfOccurrence = 0;  // d; -1 when the file shows "-"
  double Concentration = 0;     // ug/L (the file's g/m3 x 1000); -1 when the file shows "-"
};

class TECList : public TRecordList<TECRecord> {
 public:
  // The width of the table's rows.
  static constexpr std::size_t kRowWidth = 45;

  // Clears the list, passes over `SkipLines` time-series lines and reads the
  // four table rows.  False only when the file cannot be opened.
  bool ReadFile(const std::string& fileName, int SkipLines, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, int SkipLines, TReadContext& context);

  // Mid-point distance (m) of the list's water-layer segment, set by the caller.
  double Distance() const { return distance_; }
  void SetDistance(double value) { distance_ = value; }

 private:
  double distance_ = 0;
};

// One TECList per selected sediment subsystem, in the order of the run's
// subsystems; owns its lists.
class TECNodesList {
 public:
  int Count() const { return static_cast<int>(lists_.size()); }
  // EIndexOutOfRange outside 0 .. Count - 1.
  TECList& GetItem(int index) const;
  void Add(std::unique_ptr<TECList> list) { lists_.push_back(std::move(list)); }
  void ClearItems() { lists_.clear(); }

 private:
  std::vector<std::unique_ptr<TECList>> lists_;
};

}  // namespace kirmel::fe
