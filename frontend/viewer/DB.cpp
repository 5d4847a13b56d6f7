#include "frontend/viewer/DB.h"

namespace kirmel::fe {

bool TDBList::ReadFile(const std::string& fileName, Parser& parser) {
  ClearItems();
  detail::TFileScan scan(parser, fileName);
  if (!scan.Open()) return false;
  try {
    std::string token;
    while (scan.First(token)) {
      TDBRecord r;
      r.Time = scan.Real(token);
      scan.Next();  // total in the water layer
      r.Dissolved = scan.Real(scan.Next());
      r.Macrophytes = scan.Real(scan.Next());
      r.SuspSolids = scan.Real(scan.Next());
      scan.Next();  // total in the sediment
      r.DissolvedSed = scan.Real(scan.Next());
      r.SorbedSed = scan.Real(scan.Next());
      for (int i = 0; i < 3; ++i) scan.Next();  // percentages, time step
      items_.push_back(r);
      if (!scan.NextLine()) break;
    }
  } catch (const detail::TReadFault& fault) {
    readError_ = scan.Report(fault);
  }
  return true;
}

}  // namespace kirmel::fe
