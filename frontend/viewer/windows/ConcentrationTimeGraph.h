// The concentration-in-time graph "Concentration of pesticide in time": the
// dissolved concentration in the water layer at up to five water-layer
// segments, and the average concentration of the sediment's top layer at
// each selected sediment subsystem, against time; beside them the table of
// maximal exposure concentrations of one chosen subsystem.
//
// The user can hide series, pick other water-layer segments ("..."), show
// markers, choose the subsystem of the table, enlarge a chart, print the
// page with both charts and the table, and start a comparison in time.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "frontend/viewer/EC.h"
#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/WLSOCO.h"
#include "frontend/viewer/windows/GraphWindow.h"

class QCheckBox;
class QComboBox;
class QPainter;
class QPushButton;

namespace kirmel::qt {
class TStringGrid;
}

namespace kirmel::viewer {

class TChartPanel;

class TConcentrationTimeGraphForm : public TGraphWindow {
  Q_OBJECT

 public:
  static constexpr int kMaxSeries = 5;
  static constexpr int kMaxSedimentSeries = 9;

  TConcentrationTimeGraphForm(QWidget* owner, std::string outputDir);

  TChartPanel& WaterLayerGraph() const { return *waterLayer_; }
  TChartPanel& SedimentGraph() const { return *sediment_; }
  qt::TStringGrid* StrGridExpConc() const { return grid_; }
  QComboBox* CbbMaxConc() const { return cbbMaxConc_; }

  fe::TINPUT InputData;
  fe::TWLSOCOList WLSOCOList;
  // One exposure table per selected subsystem that has output files, in the
  // order of the run's subsystems.
  fe::TECNodesList ECNodesList;
  // The sediment concentrations of the same subsystems, in the same order.
  std::vector<fe::TWBSCOList> SedimentConc;
  // Water-layer series (1 .. 5) and the water-body segment (1-based) of each.
  int NumberOfSeries = 0;
  std::array<int, kMaxSeries> SeriesNode{};

  // Handlers; k is the tag of the box or button.
  void CheckBoxClick(int k);
  void SedCheckBoxClick(int k);
  void ChckMarkersClick();
  void BtnSelNodeClick(int k);
  void CbbMaxConcChange();
  void FillExposureTable();
  void SpeedButton1Click();
  void SpeedButton3Click();
  void BtnCompareClick(int graphType);
  void SpeedBtnPrintClick();

 protected:
  bool ReadFiles(fe::TReadContext& context) override;
  std::optional<double> LastOutputTime() const override {
    return fe::LastOutputTime(WLSOCOList);
  }
  void FormShow() override;

 private:
  void PrintExposureTable(QPainter& painter, int x, int y) const;

  TChartPanel* waterLayer_;
  TChartPanel* sediment_;
  qt::TStringGrid* grid_;
  QComboBox* cbbMaxConc_;
  QCheckBox* markers_;
  std::array<QCheckBox*, kMaxSeries> WLCheckBoxes{};
  std::array<QCheckBox*, kMaxSedimentSeries> SedCheckBoxes{};
  std::array<QPushButton*, kMaxSeries> NodeButtons{};
};

}  // namespace kirmel::viewer
