// Readers of a user's measured-data files (*.dat), the water layer's
// (TWLMeasure) and the sediment's (TWBMeasure).
//
// The numbers form records of five, in file order; a record may run over
// lines.  A number may have "." or "," as its decimal separator, whatever
// the user's locale.  Records are grouped by their first value (a sample period, or a
// measuring time): a group ends where the first value changes.  The
// comparison windows address point k of group g as record
// (g - 1) x PointsPerPeriod + (k - 1), so every group must hold as many
// records as the first, with the points (distances, or layers) in the same
// order.  A file that breaks this, or whose numbers do not form whole
// records, is refused: the reader reports it with the file's name and line
// and returns false; the records read before stay in the list and the
// counters cover the complete groups among them.
#pragma once

#include <string>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

struct TWLMeasureRecord {
  double StartTime = 0;          // d
  double EndTime = 0;            // d
  double Distance = 0;           // m
  double Concentration = 0;      // g/m3
  double StandardDeviation = 0;  // g/m3
};

struct TWBMeasureRecord {
  double Time = 0;               // d
  double LayerTop = 0;           // m
  double LayerBottom = 0;        // m
  double Concentration = 0;      // g/m3
  double StandardDeviation = 0;  // g/m3
};

// The list and its counters, common to both files.
template <class Record>
class TMeasureList : public TRecordList<Record> {
 public:
  // Groups of records (sample periods or measuring times).
  int NumberOfPeriods() const { return numberOfPeriods_; }
  // Records of every group.
  int PointsPerPeriod() const { return pointsPerPeriod_; }
  // 0-based index of point k of group g (both 1-based), or -1 outside.
  int RecordIndex(int g, int k) const {
    if (g < 1 || g > numberOfPeriods_ || k < 1 || k > pointsPerPeriod_) return -1;
    return (g - 1) * pointsPerPeriod_ + k - 1;
  }

 protected:
  int numberOfPeriods_ = 0;
  int pointsPerPeriod_ = 0;
};

class TWLMeasure : public TMeasureList<TWLMeasureRecord> {
 public:
  // Clears the list and its counters, then reads the whole file.  False when
  // the file cannot be opened or is refused.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, TReadContext& context);
};

class TWBMeasure : public TMeasureList<TWBMeasureRecord> {
 public:
  // As TWLMeasure::ReadFile.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, TReadContext& context);
};

}  // namespace kirmel::fe
