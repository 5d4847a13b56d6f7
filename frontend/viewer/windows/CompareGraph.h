// The chart window of the comparisons: one chart that a set-up dialog
// fills, with the axis dialog, saving as a bitmap and printing on the upper
// half of a page under GraphTitle.
#pragma once

#include <QDialog>
#include <string>

#include "frontend/chart/Chart.h"

namespace kirmel::viewer {

class TChartPanel;

class TFrmCompareGraph : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmCompareGraph(QWidget* owner = nullptr);

  // The title of the printed page, and the folder of the run compared
  // (where a page saved as PDF goes); set before showing.
  std::string GraphTitle;
  std::string RunDir;

  // The chart shown; fill it before showing (or Redraw after a change).
  fe::TChart& CompareChart();
  TChartPanel* CompareChartPanel() const { return chart_; }
  void Redraw();

  // Handlers.
  void BtnAxisOptionsClick();
  void BitBtnSaveClick();
  void BitBtnPrintClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TChartPanel* chart_;
};

}  // namespace kirmel::viewer
