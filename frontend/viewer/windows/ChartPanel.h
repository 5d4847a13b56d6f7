// A chart of a graph window: the chart model, the plot that draws it and,
// optionally, a zoom button in the chart's top left corner.
//
// The window fills Chart, then calls Redraw.  The zoom button only signals;
// the window decides what to enlarge and how (see EnlargeChart in
// GraphForm.h).
#pragma once

#include <QWidget>

#include "frontend/chart/Chart.h"

class QToolButton;

namespace kirmel::fe {
class ChartPlot;
}

namespace kirmel::viewer {

class TChartPanel : public QWidget {
  Q_OBJECT

 public:
  // `name` is the chart's object name; `zoomName` the zoom button's, or
  // empty for a chart without one.
  TChartPanel(const QString& name, const QString& zoomName, QWidget* parent = nullptr);

  fe::TChart Chart;

  // Draws Chart as it is now.
  void Redraw();

  fe::ChartPlot* Plot() const { return plot_; }
  QToolButton* ZoomButton() const { return zoom_; }

 signals:
  void ZoomClicked();

 private:
  fe::ChartPlot* plot_;
  QToolButton* zoom_ = nullptr;
};

// "Save as BMP": asks for a file and saves the panel's chart there as a
// bitmap of the plot's size, then says where it went or that it could not.
void SaveAsBitmap(TChartPanel& panel);

}  // namespace kirmel::viewer
