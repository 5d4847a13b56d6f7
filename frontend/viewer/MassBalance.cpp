// The two mass-balance readers: the same loop over data lines, each line's
// leading columns taken in field order and the rest of the line dropped.
// Both files' data lines hold 12 columns (time, ten masses and percentages,
// time step); a line with fewer was cut, and ends the reading.
#include "frontend/viewer/WBMBALL.h"
#include "frontend/viewer/WLMB.h"

namespace kirmel::fe {

namespace {

constexpr int kColumns = 12;

// Reads the N leading numbers of every data line into the fields of a new
// record; `items` and `readError` belong to a list just cleared.
template <class Record, std::size_t N>
bool ReadColumns(std::vector<Record>& items, std::string& readError, const std::string& fileName,
                 TReadContext& context, std::size_t rowWidth,
                 double Record::*const (&fields)[N]) {
  detail::TFileScan scan(context, fileName);
  scan.SetRowWidth(rowWidth);
  if (!scan.Open()) return false;
  try {
    std::string_view token;
    while (scan.First(token)) {
      Record r;
      r.*fields[0] = scan.Real(token);
      for (std::size_t i = 1; i < N; ++i) r.*fields[i] = scan.Real(scan.Next());
      scan.Skip(kColumns - static_cast<int>(N));
      items.push_back(r);
      if (!scan.NextLine()) break;
    }
    if (items.empty()) scan.FailAtEnd("the file ends before its first output time");
  } catch (const detail::TReadFault& fault) {
    readError = scan.Report(fault);
  }
  return true;
}

}  // namespace

bool TWLMBList::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TWLMBList::ReadFile(const std::string& fileName, TReadContext& context) {
  using R = TWLMBRecord;
  static double R::*const fields[] = {&R::Time,        &R::InitLoad,    &R::FromSed,
                                      &R::Remaining,   &R::ToSed,       &R::Volatilized,
                                      &R::Transformed, &R::OutEnd,      &R::OutFront};
  ClearItems();
  return ReadColumns(items_, readError_, fileName, context, kRowWidth, fields);
}

bool TWBMBALLList::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TWBMBALLList::ReadFile(const std::string& fileName, TReadContext& context) {
  using R = TWBMBALLRecord;
  static double R::*const fields[] = {&R::Time,      &R::Initial, &R::FromWL,     &R::UpSeepage,
                                      &R::Remaining, &R::ToWL,    &R::Percolated, &R::Transformed};
  ClearItems();
  return ReadColumns(items_, readError_, fileName, context, kRowWidth, fields);
}

}  // namespace kirmel::fe
