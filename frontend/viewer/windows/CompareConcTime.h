// The set-up dialog of the comparison in time: run 1 (the run the
// concentration-in-time graph shows), run 2 or a measured-data file, the
// water-layer segment or sediment subsystem of each run, and the measuring
// distance or depth layer.  "View" opens the comparison chart.
#pragma once

#include <string>

#include "frontend/viewer/Comparison.h"
#include "frontend/viewer/windows/CompareSetup.h"

namespace kirmel::viewer {

class TFrmCompareConcTime : public TFrmCompareSetup {
  Q_OBJECT

 public:
  // graphType 100 (water layer) or 200 (top layer of the sediment).  Run 1
  // is read when the dialog first shows.
  TFrmCompareConcTime(QWidget* owner, const std::string& graphTitle, int graphType,
                      std::string runDir1);

  fe::TCompareConcTime& Comparison() { return comparison_; }
  void UpdateControls() override;

  void BtnChangeDistanceClick();
  void BtnChangeDepthLayerClick();

 protected:
  void FormShow() override;

 private:
  fe::TCompareConcTime comparison_;
  std::string runDir1_;
  TChoiceRow distance_;
  TChoiceRow depthLayer_;
};

}  // namespace kirmel::viewer
