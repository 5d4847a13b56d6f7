#include "frontend/viewer/windows/CompareConc.h"

#include <QGridLayout>

#include "frontend/editor/Settings.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/PickLists.h"

namespace kirmel::viewer {

TFrmCompareConc::TFrmCompareConc(QWidget* owner, const std::string& graphTitle, int graphType,
                                 std::string runDir1, int nodeRun1)
    : TFrmCompareSetup(owner, comparison_, "FrmCompareConc",
                       "Compare concentration of pesticide in waterbody"),
      comparison_(graphType, fe::TSettings().Root()),
      runDir1_(std::move(runDir1)),
      nodeRun1_(nodeRun1) {
  comparison_.GraphTitle = graphTitle;
  comparison_.DecimalSeparator = qt::DecimalSeparator();
  comparison_.Information = [](const std::string& notice) { qt::ShowInfo(notice); };
  for (int r = 1; r <= 2; ++r) {
    time_[r - 1] = AddRow(RunGrid(r), "Time:", QStringLiteral("LblTimeRun%1").arg(r),
                          QStringLiteral("EdtTimeRun%1").arg(r),
                          QStringLiteral("BtnChangeTimeRun%1").arg(r),
                          [this, r] { BtnChangeTimeRunClick(r); });
    AddNodeRow(r);
  }
  samplePeriod_ = AddRow(MeasuredGrid(), "Sample period:", QStringLiteral("LblSamplePeriod"),
                         QStringLiteral("EdtSamplePeriod"),
                         QStringLiteral("BtnChangeSamplePeriod"),
                         [this] { BtnChangeSamplePeriodClick(); });
  measuredTime_ = AddRow(MeasuredGrid(), "Time:", QStringLiteral("LblTimeMeasuredData"),
                         QStringLiteral("EdtTimeMeasuredData"),
                         QStringLiteral("BtnChangeTimeMeasuredData"),
                         [this] { BtnChangeTimeMeasuredDataClick(); });
  UpdateControls();
}

void TFrmCompareConc::FormShow() { comparison_.Show(runDir1_, nodeRun1_); }

void TFrmCompareConc::UpdateControls() {
  TFrmCompareSetup::UpdateControls();
  for (int r = 1; r <= 2; ++r) {
    time_[r - 1].SetText(comparison_.TimeText(r));
    time_[r - 1].SetEnabled(comparison_.TimeRowEnabled(r));
  }
  samplePeriod_.SetText(comparison_.SamplePeriodText());
  samplePeriod_.SetEnabled(comparison_.SamplePeriodRowEnabled());
  measuredTime_.SetText(comparison_.MeasuredTimeText());
  measuredTime_.SetEnabled(comparison_.MeasuredTimeRowEnabled());
}

void TFrmCompareConc::BtnChangeTimeRunClick(int r) {
  comparison_.ChooseTime(r, SelectTimestep(this, comparison_.TimeLines(r)));
  UpdateControls();
}

void TFrmCompareConc::BtnChangeSamplePeriodClick() {
  comparison_.ChooseSamplePeriod(SelectTimestep(this, comparison_.SamplePeriodLines()));
  UpdateControls();
}

void TFrmCompareConc::BtnChangeTimeMeasuredDataClick() {
  comparison_.ChooseMeasuredTime(SelectTimestep(this, comparison_.MeasuredTimeLines()));
  UpdateControls();
}

}  // namespace kirmel::viewer
