// The set-up dialog of the comparison at one output time: run 1 (the run
// the concentration graph shows), run 2 or a measured-data file, their
// output times, sample periods or measuring times, and for the sediment the
// subsystems.  "View" opens the comparison chart.
#pragma once

#include <string>

#include "frontend/viewer/Comparison.h"
#include "frontend/viewer/windows/CompareSetup.h"

namespace kirmel::viewer {

class TFrmCompareConc : public TFrmCompareSetup {
  Q_OBJECT

 public:
  // graphType 100 (water layer) or 200 (sediment); for the sediment
  // nodeRun1 (1-based selected subsystem) is preset.  Run 1 is read when the
  // dialog first shows.
  TFrmCompareConc(QWidget* owner, const std::string& graphTitle, int graphType,
                  std::string runDir1, int nodeRun1);

  fe::TCompareConc& Comparison() { return comparison_; }
  void UpdateControls() override;

  void BtnChangeTimeRunClick(int r);
  void BtnChangeSamplePeriodClick();
  void BtnChangeTimeMeasuredDataClick();

 protected:
  void FormShow() override;

 private:
  fe::TCompareConc comparison_;
  std::string runDir1_;
  int nodeRun1_;
  TChoiceRow time_[2];
  TChoiceRow samplePeriod_;
  TChoiceRow measuredTime_;
};

}  // namespace kirmel::viewer
