#include "frontend/viewer/EC.h"

namespace kirmel::fe {

bool TECList::ReadFile(const std::string& fileName, int SkipLines, Parser& parser) {
  ClearItems();
  detail::TFileScan scan(parser, fileName);
  if (!scan.Open()) return false;

  static const char* const kWindows[4] = {"0", "4", "21", "28"};
  try {
    std::string token;
    if (SkipLines < 0) scan.Fail("cannot pass over " + std::to_string(SkipLines) + " lines");
    if (SkipLines != 0) {
      // The first token makes the first data line current; each NextLine
      // then passes over one line.
      if (!scan.First(token)) scan.Fail("the file holds no time series");
      for (int i = 0; i < SkipLines; ++i)
        if (!scan.NextLine())
          scan.Fail("the file ends before the table of maximal exposure concentrations");
    }
    for (const char* window : kWindows) {
      if (!scan.First(token))
        scan.Fail("the table of maximal exposure concentrations is missing or incomplete");
      if (token != window)
        scan.Fail("the row of the " + std::string(window) +
                  "-day exposure window was expected here");
      TECRecord r;
      const std::string time = scan.Next();
      const std::string concentration = scan.Next();
      scan.ExpectEndOfLine();
      r.TimeOfOccurrence = time == "-" ? -1 : scan.Real(time);
      r.Concentration = concentration == "-" ? -1 : scan.Real(concentration) * 1000;
      items_.push_back(r);
    }
  } catch (const detail::TReadFault& fault) {
    readError_ = scan.Report(fault);
  }
  return true;
}

TECList& TECNodesList::GetItem(int index) const {
  if (index < 0 || index >= Count()) throw EIndexOutOfRange();
  return *lists_[static_cast<std::size_t>(index)];
}

}  // namespace kirmel::fe
