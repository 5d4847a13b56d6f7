#include "frontend/viewer/windows/Compare.h"

#include "frontend/qt/Fields.h"

namespace kirmel::viewer {

void OpenCompareConc(QWidget*, const std::string&, int, const std::string&, int) {
  qt::ShowInfo("The comparison is not built yet.");
}

void OpenCompareConcTime(QWidget*, const std::string&, int, const std::string&) {
  qt::ShowInfo("The comparison in time is not built yet.");
}

}  // namespace kirmel::viewer
