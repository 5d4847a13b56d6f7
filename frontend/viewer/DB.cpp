#include "frontend/viewer/DB.h"

namespace kirmel::fe {

bool TDBList::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TDBList::ReadFile(const std::string& fileName, TReadContext& context) {
  ClearItems();
  detail::TFileScan scan(context, fileName);
  scan.SetRowWidth(kRowWidth);
  if (!scan.Open()) return false;
  try {
    std::string_view token;
    while (scan.First(token)) {
      TDBRecord r;
      r.Time = scan.Real(token);
      scan.Skip(1);  // total in the water layer
      r.Dissolved = scan.Real(scan.Next());
      r.Macrophytes = scan.Real(scan.Next());
      r.SuspSolids = scan.Real(scan.Next());
      scan.Skip(1);  // total in the sediment
      r.DissolvedSed = scan.Real(scan.Next());
      r.SorbedSed = scan.Real(scan.Next());
      scan.Skip(3);  // percentages, time step
      items_.push_back(r);
      if (!scan.NextLine()) break;
    }
    if (items_.empty()) scan.FailAtEnd("the file ends before its first output time");
  } catch (const detail::TReadFault& fault) {
    readError_ = scan.Report(fault);
  }
  return true;
}

}  // namespace kirmel::fe
