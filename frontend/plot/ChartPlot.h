// Draws the chart model (TChart) with QCustomPlot: on screen, into an
// image, into a BMP file and into a rectangle of a printer page.
//
// How the model's series become plottables:
//   Line      a QCPGraph (drawn in X order), or a QCPCurve that keeps the
//             points in the order given when XOrder is None (depth profiles)
//   Area      a QCPGraph filled down to the value axis's zero; areas are
//             drawn in series order, so later ones lie on top
//   Points    a QCPGraph of markers only
//   StepLine  a QCPCurve through the points in the order given
//   ErrorBars a QCPErrorBars of +-Errors[i] around each point, with bar ends
//             ErrorBarWidth pixels wide
// Inactive series are not drawn and not listed in the legend; a series with
// ShowInLegend off is drawn but not listed.  The left and bottom axes show
// when visible; the top and right axes when visible and a drawn series uses
// them.  Axis ranges are the model's (TChart::AxisRange); an increment of 0
// lets the drawing choose the ticks.  Tick labels follow the axis's
// LabelFormat, else the general number form, with the given decimal
// separator; where the LabelFormat would write two labels of an axis alike,
// they are written in the general number form.  Labels never run into each
// other: where they would, an axis gets fewer ticks, or, with a fixed
// increment, keeps its ticks and labels only every 2nd, 5th, 10th, ... of
// them; where even that leaves labels that run into each other, only one
// stays, as no axis is left without a label.  Every series is kept to its
// plot area and a margin around it (a line leaving it runs along the
// margin's edge), so nothing drawn, on a printed page either, lies far
// beyond the chart.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <memory>
#include <qcustomplot.h>
#include <vector>

#include "frontend/chart/Chart.h"

class QImage;
class QPainter;

namespace kirmel::fe {

class ChartPlot : public QCustomPlot {
 public:
  explicit ChartPlot(QWidget* parent = nullptr);
  ~ChartPlot() override;

  // Shows `chart`: whatever was drawn before is replaced, and the widget is
  // redrawn on the next pass of the event loop.  Call again after every
  // change of the model.
  void Draw(const TChart& chart, char decimalSeparator = '.');

 protected:
  void updateLayout() override;

 private:
  QCPTextElement* title_;
  // Beside the axes the legend stands in a cell of its own, at the top,
  // with an empty element under it taking the rest of the height.
  QCPLayoutGrid* legendCell_;
  // Below the axes the legend stands in the middle of a row of its own,
  // as wide as its entries, with empty elements on either side.
  QCPLayoutGrid* legendRow_;
  // The plots this one lines up with, itself included (AlignPlotAreas),
  // and the left and right margins and legend width it was last laid out
  // with to line up.
  std::shared_ptr<std::vector<ChartPlot*>> aligned_;
  std::array<int, 3> alignedAt_{-1, -1, -1};

  // The width the legend beside the axes needs, 0 without one.
  int LegendBesideWidth() const;
  friend void AlignPlotAreas(const std::vector<ChartPlot*>& plots);
};

// Lines up the plot areas of charts shown one above the other, such as the
// positive and negative terms of a mass balance: each gets the widest left
// and right margins and the widest legend beside its axes of them all, so
// that the same values of their horizontal axes fall on the same pixels
// when the plots are equally wide.  It holds for every later Draw and
// resize while the plots live.
void AlignPlotAreas(const std::vector<ChartPlot*>& plots);

// The chart drawn on a white image of `size` pixels.
QImage RenderChart(const TChart& chart, QSize size, char decimalSeparator = '.');

// Saves the chart drawn at `size` as a BMP file; false when the file cannot
// be written.
bool SaveChartBitmap(const TChart& chart, const QString& fileName, QSize size,
                     char decimalSeparator = '.');

// Draws the chart into `rect` (device pixels) of the painter's device with
// the chart's PrintResolution p: the chart is laid out on
// (W - W*p/100) x (H - H*p/100), W x H being the rectangle measured in
// screen pixels (so text has its screen size on paper at p = 0; p < 0 lays
// the chart out larger and makes text smaller), and scaled into the
// rectangle.  The drawing stays vector graphics on a printer or PDF.
// Returns where the legend came to stand, in device pixels (an empty
// rectangle when the chart has none), for a heading written above it.
QRect PrintChart(const TChart& chart, QPainter& painter, const QRect& rect,
                 char decimalSeparator = '.');

// Draws each chart into its rectangle as PrintChart does, with their plot
// areas lined up as AlignPlotAreas lines them up on screen.  Returns the
// legends' rectangles, one a chart.
std::vector<QRect> PrintAlignedCharts(const std::vector<const TChart*>& charts,
                                      QPainter& painter, const std::vector<QRect>& rects,
                                      char decimalSeparator = '.');

}  // namespace kirmel::fe
