// The two mass-balance windows: the terms of the mass balance of the water
// layer (WLMB.OUT) and of the whole sediment (WBMBALL.OUT) in time, the
// positive terms in the upper chart and the negative ones in the lower, as
// stacked areas drawn largest first.  Masses are shown in mg: the file's g
// x 1000, the losses (negative in the file) x -1000.  Both charts share one
// value axis from 0 to 1.1 x the larger of their maxima.
#pragma once

#include <string>

#include "frontend/viewer/WBMBALL.h"
#include "frontend/viewer/WLMB.h"
#include "frontend/viewer/windows/GraphWindow.h"

class QPushButton;

namespace kirmel::viewer {

class TChartPanel;

// The two charts of a mass-balance window, their zoom buttons and the print
// and close buttons.
class TMassBalanceGraphForm : public TGraphWindow {
  Q_OBJECT

 public:
  TChartPanel& Positive() const { return *positive_; }
  TChartPanel& Negative() const { return *negative_; }

  void SpeedBtnZoomClick(TChartPanel& panel);
  void SpeedBtnPrintClick();

 protected:
  TMassBalanceGraphForm(QWidget* owner, std::string outputDir, const char* formName,
                        const char* caption, const char* positiveName, const char* negativeName);

  // Axes of both charts after the series were filled: value axes shared.
  void SetAxes();

 private:
  TChartPanel* positive_;
  TChartPanel* negative_;
};

class TMassBalanceWLGraphForm : public TMassBalanceGraphForm {
  Q_OBJECT

 public:
  TMassBalanceWLGraphForm(QWidget* owner, std::string outputDir);
  fe::TWLMBList MassBalanceList;

 protected:
  bool ReadFiles(fe::TReadContext& context) override;
  std::optional<double> LastOutputTime() const override {
    return fe::LastOutputTime(MassBalanceList);
  }
  void FormShow() override;
};

class TMassBalanceSedGraphForm : public TMassBalanceGraphForm {
  Q_OBJECT

 public:
  TMassBalanceSedGraphForm(QWidget* owner, std::string outputDir);
  fe::TWBMBALLList MassBalanceList;

 protected:
  bool ReadFiles(fe::TReadContext& context) override;
  std::optional<double> LastOutputTime() const override {
    return fe::LastOutputTime(MassBalanceList);
  }
  void FormShow() override;
};

}  // namespace kirmel::viewer
