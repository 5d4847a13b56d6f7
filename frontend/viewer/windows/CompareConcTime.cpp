#include "frontend/viewer/windows/CompareConcTime.h"

#include <QGridLayout>

#include "frontend/editor/Settings.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/PickLists.h"

namespace kirmel::viewer {

TFrmCompareConcTime::TFrmCompareConcTime(QWidget* owner, const std::string& graphTitle,
                                         int graphType, std::string runDir1)
    : TFrmCompareSetup(owner, comparison_, "FrmCompareConcTime",
                       "Compare concentration of pesticide in time"),
      comparison_(graphType, fe::TSettings().Root()),
      runDir1_(std::move(runDir1)) {
  comparison_.GraphTitle = graphTitle;
  comparison_.DecimalSeparator = qt::DecimalSeparator();
  comparison_.Information = [](const std::string& notice) { qt::ShowInfo(notice); };
  for (int r = 1; r <= 2; ++r) AddNodeRow(r);
  distance_ = AddRow(MeasuredGrid(), "Distance:", QStringLiteral("LblDistance"),
                     QStringLiteral("EdtDistance"), QStringLiteral("BtnChangeDistance"),
                     [this] { BtnChangeDistanceClick(); });
  depthLayer_ = AddRow(MeasuredGrid(), "Depth layer:", QStringLiteral("LblDepthLayer"),
                       QStringLiteral("EdtDepthLayer"), QStringLiteral("BtnChangeDepthLayer"),
                       [this] { BtnChangeDepthLayerClick(); });
  UpdateControls();
}

void TFrmCompareConcTime::FormShow() { comparison_.Show(runDir1_); }

void TFrmCompareConcTime::UpdateControls() {
  TFrmCompareSetup::UpdateControls();
  distance_.SetText(comparison_.DistanceText());
  distance_.SetEnabled(comparison_.DistanceRowEnabled());
  depthLayer_.SetText(comparison_.DepthLayerText());
  depthLayer_.SetEnabled(comparison_.DepthLayerRowEnabled());
}

void TFrmCompareConcTime::BtnChangeDistanceClick() {
  comparison_.ChooseDistance(SelectNode(this, comparison_.DistanceLines()));
  UpdateControls();
}

void TFrmCompareConcTime::BtnChangeDepthLayerClick() {
  comparison_.ChooseDepthLayer(SelectNode(this, comparison_.DepthLayerLines()));
  UpdateControls();
}

}  // namespace kirmel::viewer
