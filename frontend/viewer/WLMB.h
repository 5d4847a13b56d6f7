// Reader of the water-layer mass-balance file "WLMB.OUT": one record a data
// line, the time and the eight mass columns (g) in file order; the balance,
// percentage and time-step columns are passed over.  A line cut short, a
// value that does not convert or a file without any data line ends the
// reading with a message naming the file and line; the records before stay
// in the list.
#pragma once

#include <string>

#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

struct TWLMBRecord {
  double Time = 0;  // d
  double InitLoad = 0;
  double FromSed = 0;
  double Remaining = 0;
  double ToSed = 0;
  double Volatilized = 0;
  double Transformed = 0;
  double OutEnd = 0;
  double OutFront = 0;
};

class TWLMBList : public TRecordList<TWLMBRecord> {
 public:
  // The width of the file's rows.
  static constexpr std::size_t kRowWidth = 136;

  // Clears the list, then reads the whole file.  False only when the file
  // cannot be opened.
  bool ReadFile(const std::string& fileName, Parser& parser = ProgramParser());
  bool ReadFile(const std::string& fileName, TReadContext& context);
};

}  // namespace kirmel::fe
