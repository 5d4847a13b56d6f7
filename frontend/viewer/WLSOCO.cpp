#include "frontend/viewer/WLSOCO.h"

namespace kirmel::fe {

bool TWLSOCOList::ReadFile(const std::string& fileName, Parser& parser) {
  ClearItems();
  numberOfTimesteps_ = 0;
  recordsPerTimestep_ = 0;
  detail::TFileScan scan(parser, fileName);
  if (!scan.Open()) return false;

  int blockSize = 0;  // rows of the first block, known once it has ended
  int rows = 0;       // rows of the block being read
  try {
    std::string token;
    while (scan.First(token)) {
      TWLSOCORecord r;
      r.Time = scan.Real(token);
      r.Segment = scan.Integer(scan.Next());
      scan.Next();  // distance
      scan.Next();  // total concentration
      r.Concentration = scan.Real(scan.Next());
      for (int i = 0; i < 6; ++i) scan.Next();  // sorbed contents, percentages
      r.Timestep = scan.Integer(scan.Next());
      scan.ExpectEndOfLine();

      if (items_.empty() || r.Timestep != items_.back().Timestep) {
        if (!items_.empty()) {
          if (blockSize == 0) blockSize = rows;
          if (rows != blockSize)
            scan.Fail("the time block before this line has " + std::to_string(rows) +
                      " rows where " + std::to_string(blockSize) + " were expected");
          ++numberOfTimesteps_;
        }
        if (r.Segment != 1)
          scan.Fail("a time block starts with segment " + std::to_string(r.Segment));
        rows = 0;
      } else {
        if (r.Segment != items_.back().Segment + 1)
          scan.Fail("segment " + std::to_string(r.Segment) + " follows segment " +
                    std::to_string(items_.back().Segment));
        if (blockSize != 0 && rows == blockSize)
          scan.Fail("a time block has more than " + std::to_string(blockSize) + " rows");
        if (r.Time != items_.back().Time) scan.Fail("the time changes inside a time block");
      }
      items_.push_back(r);
      ++rows;
    }
    if (!items_.empty()) {
      if (blockSize == 0) blockSize = rows;
      if (rows != blockSize)
        scan.Fail("the file ends inside a time block (" + std::to_string(rows) + " of " +
                  std::to_string(blockSize) + " rows)");
      ++numberOfTimesteps_;
    }
  } catch (const detail::TReadFault& fault) {
    readError_ = scan.Report(fault);
  }
  recordsPerTimestep_ = numberOfTimesteps_ > 0 ? blockSize : 0;
  return true;
}

int TWLSOCOList::RecordIndex(int t, int segment) const {
  if (t < 1 || t > numberOfTimesteps_ || segment < 1 || segment > recordsPerTimestep_) return -1;
  return (t - 1) * recordsPerTimestep_ + segment - 1;
}

}  // namespace kirmel::fe
