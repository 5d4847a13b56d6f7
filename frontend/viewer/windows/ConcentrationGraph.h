// The concentration graph "Concentration of pesticide in waterbody": the
// dissolved concentration along the water body at up to five output times,
// and under it three depth profiles of the sediment, each at a selected
// sediment subsystem of the user's choice, one curve per shown time.
//
// Series k (1 .. 5) of every chart belongs to shown time k and has style
// row k.  The user can replace any time ("..."), switch times on and off,
// show markers, choose the subsystem of each profile, enlarge each chart,
// print the page and start a comparison.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/WLSOCO.h"
#include "frontend/viewer/windows/GraphWindow.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace kirmel::viewer {

class TChartPanel;

class TConcentrationGraphForm : public TGraphWindow {
  Q_OBJECT

 public:
  static constexpr int kMaxSeries = 5;
  static constexpr int kSedimentGraphs = 3;

  TConcentrationGraphForm(QWidget* owner, std::string outputDir);

  TChartPanel& WaterlayerGraph() const { return *waterLayer_; }
  // j = 1 .. 3.
  TChartPanel& SedimentGraph(int j) const;
  QComboBox* ComboBox(int j) const;

  // Times shown (0 .. 5) and the kernel time step of each.
  int NumberOfSeries = 0;
  std::array<int, kMaxSeries> SeriesTimesteps{};

  fe::TINPUT RunInput;
  fe::TWLSOCOList WaterLayerConc;
  std::array<fe::TWBSCOList, kSedimentGraphs> SedimentConc;

  // Handlers; k is the tag (1 .. 5) of the box or button, j the chart
  // (1 .. 3).
  void FillSedimentGraph(int j);
  void BtnSelTimeClick(int k);
  void CheckBoxClick(int k);
  void ChckMarkersClick();
  void WaterLayerZoomClick();
  void SedimentZoomClick(int j);
  void BtnCompareClick(int graphType);
  void SpeedBtnPrintClick();

 protected:
  bool ReadFiles(fe::TReadContext& context) override;
  std::optional<double> LastOutputTime() const override {
    return fe::LastOutputTime(WaterLayerConc);
  }
  void FormShow() override;

 private:
  // The sediment concentration file of selected subsystem i (1-based).
  std::string SedimentFile(int i) const;
  // The subsystem (1-based into RunInput's subsystems) chosen in list j, or
  // 0 for none.
  int ChosenSubsystem(int j) const;
  // Sets series k - 1 of the sediment chart j from the block of its time.
  void FillProfile(int j, int k);
  std::vector<TChartPanel*> AllCharts() const;

  TChartPanel* waterLayer_;
  std::array<TChartPanel*, kSedimentGraphs> sediment_{};
  std::array<QComboBox*, kSedimentGraphs> lists_{};
  // The list line each profile chart shows (-1: none).
  std::array<int, kSedimentGraphs> shownChoice_{-1, -1, -1};
  std::array<QCheckBox*, kMaxSeries> CheckBoxes{};
  std::array<QPushButton*, kMaxSeries> TimeButtons{};
  QCheckBox* markers_;
};

}  // namespace kirmel::viewer
