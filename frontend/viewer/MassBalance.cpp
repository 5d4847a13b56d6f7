// The two mass-balance readers: the same loop over data lines, each line's
// leading columns taken in field order and the rest of the line dropped.
// Both files' data lines hold 12 columns (time, ten masses and percentages,
// time step); a line with fewer was cut, and ends the reading.
#include "frontend/viewer/WBMBALL.h"
#include "frontend/viewer/WLMB.h"

namespace kirmel::fe {

namespace {

constexpr std::size_t kColumns = 12;

// Reads the N leading numbers of every data line into the fields of a new
// record; `items` and `readError` belong to a list just cleared.
template <class Record, std::size_t N>
bool ReadColumns(std::vector<Record>& items, std::string& readError, const std::string& fileName,
                 Parser& parser, double Record::*const (&fields)[N]) {
  detail::TFileScan scan(parser, fileName);
  if (!scan.Open()) return false;
  try {
    std::string token;
    while (scan.First(token)) {
      Record r;
      r.*fields[0] = scan.Real(token);
      for (std::size_t i = 1; i < N; ++i) r.*fields[i] = scan.Real(scan.Next());
      for (std::size_t i = N; i < kColumns; ++i) scan.Next();
      items.push_back(r);
      if (!scan.NextLine()) break;
    }
  } catch (const detail::TReadFault& fault) {
    readError = scan.Report(fault);
  }
  return true;
}

}  // namespace

bool TWLMBList::ReadFile(const std::string& fileName, Parser& parser) {
  using R = TWLMBRecord;
  static double R::*const fields[] = {&R::Time,        &R::InitLoad,    &R::FromSed,
                                      &R::Remaining,   &R::ToSed,       &R::Volatilized,
                                      &R::Transformed, &R::OutEnd,      &R::OutFront};
  ClearItems();
  return ReadColumns(items_, readError_, fileName, parser, fields);
}

bool TWBMBALLList::ReadFile(const std::string& fileName, Parser& parser) {
  using R = TWBMBALLRecord;
  static double R::*const fields[] = {&R::Time,      &R::Initial, &R::FromWL,     &R::UpSeepage,
                                      &R::Remaining, &R::ToWL,    &R::Percolated, &R::Transformed};
  ClearItems();
  return ReadColumns(items_, readError_, fileName, parser, fields);
}

}  // namespace kirmel::fe
