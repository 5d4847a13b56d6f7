// The enlarged graph window: one chart of a graph window shown large, on a
// copy.
//
// On its first show the window copies the source chart's axes, title and
// series into its own chart; the user can switch series on and off, show
// point markers, list a series as a table, change the axes, save the chart
// as a bitmap and print it.  When it closes, the axis settings and the title
// go back into the source chart, which is redrawn; the series there are left
// as they were.
//
// Graph windows open it through EnlargeChart with their options.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "frontend/chart/Chart.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace kirmel::viewer {

class TChartPanel;

class TGraphForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kControlledSeries = 10;

  explicit TGraphForm(QWidget* owner = nullptr);

  // Set between creating and showing the window.
  fe::TChart* SourceChart = nullptr;     // receives the axes and title on close
  std::function<void()> SourceRedraw;    // redraws the source chart after that
  std::string GraphTitle;                // caption and printed page title
  std::string RunDir;                    // the run's folder, where a page saved as PDF goes
  std::string LegendTitle;               // printed above the legend; may be empty
  std::string TableTitlePrefix;          // before a series title in the table's caption
  std::string XDescription;
  std::string YDescription;

  // The ten series check boxes, then the ten table buttons.
  std::array<QWidget*, 2 * kControlledSeries> SeriesControls{};

  // Hides every series check box and table button.
  void HideSeriesControls();
  QCheckBox* ChckMarkers() const { return markers_; }
  QLabel* LblSediment() const { return sediment_; }

  // The window's own chart.
  fe::TChart& Chart1();
  TChartPanel* Chart1Panel() const { return chart_; }

  // Handlers.
  void ChckSeriesClick(int tag, bool checked);
  void ChckMarkersClick();
  void TableBtnClick(int tag);
  void BtnAxisOptionsClick();
  void BitBtnSaveClick();
  void BitBtnPrintClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void FormShow();
  void FormClose();

  TChartPanel* chart_;
  QWidget* seriesBox_;
  QCheckBox* markers_;
  QLabel* sediment_;
  bool shown_ = false;
  bool closed_ = false;
};

// What a graph window sets on the enlarged window before showing it.
struct TGraphOptions {
  std::string GraphTitle;
  std::string LegendTitle;
  std::string TableTitlePrefix;
  std::string XDescription;
  std::string YDescription;
  bool HideMarkers = false;         // hide the "Show markers" box
  bool HideSeriesControls = false;  // no series check boxes and table buttons
  bool ShowSedimentLabel = false;   // the "Sediment" label on the chart
  // A value-axis title that the enlarged copy shows and the panel's chart,
  // beside a titled neighbour, does not; empty for none.
  std::string LentLeftTitle;
};

// Opens the enlarged window on the panel's chart, modally, with `owner` as
// its owner; the panel is redrawn when the window closes (without a lent
// title, when there was one).
void EnlargeChart(QWidget* owner, TChartPanel& panel, const TGraphOptions& options);

}  // namespace kirmel::viewer
