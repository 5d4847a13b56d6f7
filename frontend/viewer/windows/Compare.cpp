#include "frontend/viewer/windows/Compare.h"

#include <QPushButton>

#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/CompareConc.h"
#include "frontend/viewer/windows/CompareConcTime.h"
#include "frontend/viewer/windows/WindowControls.h"

namespace kirmel::viewer {

std::pair<QPushButton*, QPushButton*> CompareButtons(QWidget* window,
                                                     std::function<void(int)> compare) {
  QPushButton* waterLayer = qt::NewButton(QStringLiteral("Compare"), QStringLiteral("BtnCompare1"));
  QPushButton* sediment = qt::NewButton(QStringLiteral("Compare"), QStringLiteral("BtnCompare2"));
  QObject::connect(waterLayer, &QPushButton::clicked, window,
                   qt::GuardedSlot([compare] { compare(kCompareWaterLayer); }));
  QObject::connect(sediment, &QPushButton::clicked, window,
                   qt::GuardedSlot([compare] { compare(kCompareSediment); }));
  return {waterLayer, sediment};
}

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
