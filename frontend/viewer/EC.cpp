#include "frontend/viewer/EC.h"

namespace kirmel::fe {

bool TECList::ReadFile(const std::string& fileName, int SkipLines, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, SkipLines, context);
}

bool TECList::ReadFile(const std::string& fileName, int SkipLines, TReadContext& context) {
  ClearItems();
  detail::TFileScan scan(context, fileName);
  scan.SetRowWidth(kRowWidth);
  if (!scan.Open()) return false;

  static const char* const kWindows[4] = {"0", "4", "21", "28"};
  try {
    std::string_view token;
    if (SkipLines < 0) scan.Fail("cannot pass over " + std::to_string(SkipLines) + " lines");
    // The line that the table's first row should be.
    bool current;
    if (SkipLines != 0) {
      // The first token makes the first data line current; each NextLine
      // then passes over one line.
      if (!scan.First(token)) scan.FailAtEnd("the file holds no time series");
      for (int i = 0; i < SkipLines; ++i)
        if (!scan.NextLine())
          scan.FailAtEnd("the file ends before the table of maximal exposure concentrations");
      current = true;
    } else {
      current = scan.NextLine();
    }
    while (current && scan.TokensLeft() > 3) current = scan.NextLine();
    for (const char* window : kWindows) {
      if (!scan.First(token))
        scan.FailAtEnd("the table of maximal exposure concentrations is missing or incomplete");
      if (token != window)
        scan.Fail("the row of the " + std::string(window) +
                  "-day exposure window was expected here");
      TECRecord r;
      const std::string_view time = scan.Next();
      r.TimeOfOccurrence = time == "-" ? -1 : scan.Real(time);
      const std::string_view concentration = scan.Next();
      r.Concentration = concentration == "-" ? -1 : scan.Real(concentration) * 1000;
      scan.ExpectEndOfLine();
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
