// The distribution graph "Distribution of pesticide": how the substance is
// spread over five compartments in time, as areas stacked on one another,
// in the whole water body (g, from DBDIT.OUT) and per running metre at three
// selected sediment subsystems chosen in lists (mg/m, from DB%.3d.OUT).  The
// three lineic charts always share one value range.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "frontend/viewer/DB.h"
#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/windows/GraphWindow.h"

class QComboBox;

namespace kirmel::viewer {

class TChartPanel;

class TDistributionGraphForm : public TGraphWindow {
  Q_OBJECT

 public:
  static constexpr int kLineicGraphs = 3;

  TDistributionGraphForm(QWidget* owner, std::string outputDir);

  TChartPanel& MassGraph() const { return *mass_; }
  // g = 1 .. 3.
  TChartPanel& LineicMassGraph(int g) const;
  QComboBox* ComboBox(int g) const;

  fe::TINPUT RunInput;
  fe::TDBList WaterBody;
  // One distribution list per selected subsystem that has output files, in
  // the order of the run's subsystems.
  std::vector<fe::TDBList> Subsystems;
  // Output times the lineic charts draw.
  int NumberOfTimes = 0;
  // Largest total drawn in each lineic chart (mg/m).
  std::array<double, kLineicGraphs> LineicMax{};

  // Handlers.
  void FillLineicGraphs(int g);
  void ZoomClick(int g);  // 0: the water body's chart
  void SpeedBtnPrintClick();

 protected:
  bool ReadFiles(fe::TReadContext& context) override;
  std::optional<double> LastOutputTime() const override {
    return fe::LastOutputTime(WaterBody);
  }
  void FormShow() override;

 private:
  void ScaleLineicGraphs();

  TChartPanel* mass_;
  std::array<TChartPanel*, kLineicGraphs> lineic_{};
  std::array<QComboBox*, kLineicGraphs> lists_{};
};

}  // namespace kirmel::viewer
