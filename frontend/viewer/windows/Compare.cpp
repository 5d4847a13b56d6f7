#include "frontend/viewer/windows/Compare.h"

#include "frontend/viewer/windows/CompareConc.h"
#include "frontend/viewer/windows/CompareConcTime.h"

namespace kirmel::viewer {

void OpenCompareConc(QWidget* owner, const std::string& graphTitle, int graphType,
                     const std::string& runDir1, int nodeRun1) {
  TFrmCompareConc form(owner, graphTitle, graphType, runDir1, nodeRun1);
  form.exec();
}

void OpenCompareConcTime(QWidget* owner, const std::string& graphTitle, int graphType,
                         const std::string& runDir1) {
  TFrmCompareConcTime form(owner, graphTitle, graphType, runDir1);
  form.exec();
}

}  // namespace kirmel::viewer
