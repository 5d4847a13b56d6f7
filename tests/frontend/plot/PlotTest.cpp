// The chart adapter: what QCustomPlot is asked to draw for the model, and
// that drawings, bitmaps and printed charts come out with something on them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <string>

#include "common/TempDir.h"
#include "frontend/plot/ChartPlot.h"
#include "qtcommon/Images.h"

namespace kirmel::test {
namespace {

using namespace kirmel::fe;

// A page that keeps no drawing, only the bounds of every coordinate drawn
// on it (lines, paths, polygons, rectangles, points, images), taking what
// a PDF page takes as it takes it: shapes unclipped, with their transform.
class TBoundsPage : public QPaintDevice {
 public:
  explicit TBoundsPage(QSize size) : size_(size) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  QRectF Bounds() const { return engine_.bounds; }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth: return size_.width();
      case PdmHeight: return size_.height();
      case PdmWidthMM: return size_.width() * 254 / 3000;
      case PdmHeightMM: return size_.height() * 254 / 3000;
      case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 300;
      case PdmDepth: return 32;
      case PdmNumColors: return INT_MAX;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
      default: return 0;
    }
  }

 private:
  struct TEngine : QPaintEngine {
    TEngine()
        : QPaintEngine(AllFeatures & ~(PorterDuff | PerspectiveTransform |
                                       ObjectBoundingModeGradients | ConicalGradientFill)) {}
    QRectF bounds;
    QTransform transform;
    void Take(const QRectF& r) {
      const QRectF mapped = transform.mapRect(r);
      bounds = bounds.isNull() ? mapped : bounds.united(mapped);
    }
    void Take(const QPointF* points, int count) {
      for (int i = 0; i < count; ++i) Take(QRectF(points[i], QSizeF(0, 0)));
    }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
      if (state.state() & DirtyTransform) transform = state.transform();
    }
    Type type() const override { return User; }
    void drawPath(const QPainterPath& path) override { Take(path.controlPointRect()); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override { Take(points, count); }
    void drawPoints(const QPointF* points, int count) override { Take(points, count); }
    void drawLines(const QLineF* lines, int count) override {
      for (int i = 0; i < count; ++i) Take(QRectF(lines[i].p1(), lines[i].p2()).normalized());
    }
    void drawRects(const QRectF* rects, int count) override {
      for (int i = 0; i < count; ++i) Take(rects[i].normalized());
    }
    void drawEllipse(const QRectF& r) override { Take(r.normalized()); }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { Take(r); }
    void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { Take(r); }
    void drawTextItem(const QPointF&, const QTextItem&) override {}
  };
  QSize size_;
  mutable TEngine engine_;
};

// A chart with a series of every kind, on three axes.
TChart Sample() {
  TChart chart;
  chart.Title = "Positive terms";
  chart.LegendPosition = TLegendPosition::Bottom;
  chart.Left.Title = "Mass (mg)    ";
  chart.Bottom.Title = "Time (d)";
  chart.Left.LabelFormat = "      #,##0.#######";
  TSeries area;
  area.Title = "Loadings";
  area.Kind = TSeriesKind::Area;
  area.Color = colors::Fuchsia;
  for (int i = 0; i <= 30; ++i) area.Add(i, 300 - 2.0 * i);
  TSeries line;
  line.Title = "Remaining";
  for (int i = 0; i <= 30; ++i) line.Add(i, 266 - 5.0 * i);
  TSeries step;
  step.Title = "Measured";
  step.Kind = TSeriesKind::StepLine;
  step.Color = colors::Blue;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 100.0}, {10.0, 100.0}, {10.0, 0.0}, {20.0, 0.0},
                      {20.0, 50.0}, {25.0, 50.0}, {25.0, 0.0}})
    step.Add(x, y);
  TSeries bars;
  bars.Title = "Measured";
  bars.Kind = TSeriesKind::ErrorBars;
  bars.ShowInLegend = false;
  bars.Color = colors::Teal;
  bars.AddError(5, 100, 20);
  bars.AddError(22.5, 50, 10);
  TSeries points;
  points.Title = "Measured points";
  points.Kind = TSeriesKind::Points;
  points.VerticalAxis = TAxisSide::Right;
  points.Add(5, 1);
  points.Add(22.5, 0.5);
  chart.Series = {area, line, step, bars, points};
  return chart;
}

TEST(ChartPlot, SeriesBecomeTheRightPlottables) {
  TChart chart = Sample();
  // A depth profile: unsorted X on the top axis, the bottom axis hidden.
  TSeries profile;
  profile.Title = "0.50 d";
  profile.XOrder = TSortOrder::None;
  profile.HorizontalAxis = TAxisSide::Top;
  for (auto [x, y] : {std::pair{5.0, -0.0005}, {9.0, -0.0015}, {2.0, -0.0025}}) profile.Add(x, y);
  chart.Series.push_back(profile);
  chart.Bottom.Increment = 5;
  chart.Left.SetManual(0, 330);

  ChartPlot plot;
  plot.Draw(chart);
  // Area, line, error-bar carrier, points: graphs.  Step line and profile:
  // curves holding the points in the order given.
  EXPECT_EQ(plot.graphCount(), 4);
  auto* step = qobject_cast<QCPCurve*>(plot.plottable(2));
  ASSERT_NE(step, nullptr);
  ASSERT_EQ(step->dataCount(), 8);
  std::vector<std::pair<double, double>> drawn;
  for (auto it = step->data()->constBegin(); it != step->data()->constEnd(); ++it)
    drawn.emplace_back(it->key, it->value);
  std::vector<std::pair<double, double>> given;
  for (const TChartPoint& p : chart.Series[2].Points) given.emplace_back(p.X, p.Y);
  EXPECT_EQ(drawn, given);
  auto* depth = qobject_cast<QCPCurve*>(plot.plottable(plot.plottableCount() - 1));
  ASSERT_NE(depth, nullptr);
  EXPECT_EQ(depth->keyAxis(), plot.xAxis2);
  EXPECT_EQ(depth->data()->at(1)->key, 9.0);

  // Error bars drawn, not listed; the legend lists the five others.
  auto* bars = qobject_cast<QCPErrorBars*>(plot.plottable(4));
  ASSERT_NE(bars, nullptr);
  EXPECT_EQ(bars->data()->at(0).errorPlus, 20);
  EXPECT_FALSE(plot.legend->hasItemWithPlottable(bars));
  EXPECT_EQ(plot.legend->itemCount(), 5);
  // Bars given against falling X keep their own error: the drawing orders
  // points and errors together.
  {
    TChart reversed;
    TSeries r = chart.Series[3];
    r.Clear();
    r.AddError(22.5, 50, 10);
    r.AddError(5, 100, 20);
    reversed.Series = {r};
    ChartPlot other;
    other.Draw(reversed);
    auto* b = qobject_cast<QCPErrorBars*>(other.plottable(1));
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->dataCount(), 2);
    EXPECT_EQ(b->dataPlottable()->interface1D()->dataMainKey(0), 5);
    EXPECT_EQ(b->data()->at(0).errorPlus, 20);
    EXPECT_EQ(b->data()->at(1).errorPlus, 10);
  }

  // Axes: manual and automatic ranges, the fixed tick step, the used top
  // and right axes shown.
  EXPECT_EQ(plot.yAxis->range(), QCPRange(0, 330));
  EXPECT_EQ(plot.xAxis->range(), QCPRange(0, 30));
  EXPECT_EQ(plot.xAxis2->range(), QCPRange(2, 9));
  EXPECT_TRUE(plot.xAxis2->visible());
  EXPECT_TRUE(plot.yAxis2->visible());
  plot.resize(600, 400);
  plot.replot();
  const QVector<double> ticks = plot.xAxis->tickVector();
  ASSERT_GE(ticks.size(), 2);
  EXPECT_DOUBLE_EQ(ticks[1] - ticks[0], 5);
  EXPECT_EQ(plot.yAxis->tickVectorLabels().back(), "      300");

  // Drawn again without the extra series: nothing of the first drawing stays.
  chart.Series.resize(2);
  chart.Series[1].Active = false;
  chart.Title.clear();
  plot.Draw(chart);
  EXPECT_EQ(plot.plottableCount(), 1);
  EXPECT_EQ(plot.legend->itemCount(), 1);
  EXPECT_FALSE(plot.xAxis2->visible());
  EXPECT_EQ(plot.plotLayout()->rowCount(), 2);  // axes, legend below
}

TEST(ChartPlot, RenderAndBitmap) {
  TempDir dir;
  const TChart chart = Sample();
  const QImage image = RenderChart(chart, QSize(640, 420));
  ASSERT_EQ(image.size(), QSize(640, 420));
  EXPECT_GT(Inked(image, image.rect()), 20000);
  // The area's colour is there.
  bool fuchsia = false;
  for (int y = 0; y < image.height() && !fuchsia; ++y)
    for (int x = 0; x < image.width() && !fuchsia; ++x)
      fuchsia = image.pixelColor(x, y) == QColor(255, 0, 255);
  EXPECT_TRUE(fuchsia);

  const QString file = QString::fromStdString(dir.file("chart.bmp"));
  ASSERT_TRUE(SaveChartBitmap(chart, file, QSize(640, 420)));
  QImage back;
  ASSERT_TRUE(back.load(file, "BMP"));
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
  EXPECT_FALSE(SaveChartBitmap(chart, QString::fromStdString(dir.file("no/such/dir/c.bmp")),
                               QSize(640, 420)));
}

TEST(ChartPlot, PrintIntoRectangle) {
  TempDir dir;
  TChart chart = Sample();
  // A 300 dpi page: the chart lands inside its rectangle and nowhere else.
  QImage page(2480, 3508, QImage::Format_RGB32);
  page.setDotsPerMeterX(11811);
  page.setDotsPerMeterY(11811);
  const QRect rect(200, 300, 2000, 1200);
  for (int resolution : {0, -20}) {
    SCOPED_TRACE(resolution);
    page.fill(Qt::white);
    chart.PrintResolution = resolution;
    QPainter painter(&page);
    const QRect legend = PrintChart(chart, painter, rect);
    painter.end();
    EXPECT_GT(Inked(page, rect), 100000);
    EXPECT_EQ(Inked(page, page.rect()), Inked(page, rect));
    // Where the legend came: the lower part of the rectangle, whole, with
    // its frame on the page.
    ASSERT_FALSE(legend.isEmpty());
    EXPECT_TRUE(rect.contains(legend));
    EXPECT_GT(legend.top(), rect.center().y());
    EXPECT_GT(Inked(page, QRect(legend.left(), legend.top(), legend.width(), 3)), legend.width());
  }
  chart.LegendVisible = false;
  QPainter painter(&page);
  EXPECT_TRUE(PrintChart(chart, painter, rect).isEmpty());
  painter.end();

  // A PDF page with the chart holds far more than an empty one.
  auto pdf = [&](const std::string& name, bool withChart) {
    const QString file = QString::fromStdString(dir.file(name));
    QPdfWriter writer(file);
    QPainter painter(&writer);
    painter.drawText(100, 100, "KIRMEL");
    if (withChart) PrintChart(chart, painter, QRect(500, 500, 6000, 4000));
    painter.end();
    return QFileInfo(file).size();
  };
  EXPECT_GT(pdf("chart.pdf", true), pdf("empty.pdf", false) + 2000);

  // Points far outside the axes (the value axis set to end at 1E-12): every
  // series is kept to its plot area on paper too, nothing drawn leaves the
  // page.
  chart.Left.SetManual(0, 1e-12);
  chart.Right.SetManual(0, 1e-12);
  chart.Bottom.SetManual(10, 20);
  chart.Series[1].Add(31, -1e300);
  chart.Series[3].AddError(15, 0, 1);  // a bar across the whole axis
  TBoundsPage bounded(QSize(2480, 3508));
  QPainter onPage(&bounded);
  PrintChart(chart, onPage, QRect(200, 300, 2000, 1200));
  onPage.end();
  EXPECT_TRUE(QRectF(0, 0, 2480, 3508).contains(bounded.Bounds())) << bounded.Bounds().top();

  // Where a line leaves the axes it keeps its slope up to the edge of the
  // margin around them (a tenth of each range), then runs along that edge.
  TChart steep;
  TSeries rise;
  rise.Add(0, 0);
  rise.Add(10, 100);
  steep.Series = {rise};
  steep.Left.SetManual(0, 10);
  steep.Bottom.SetManual(0, 10);
  ChartPlot plot;
  plot.Draw(steep);
  auto* graph = qobject_cast<QCPGraph*>(plot.plottable(0));
  ASSERT_NE(graph, nullptr);
  ASSERT_EQ(graph->dataCount(), 3);
  EXPECT_DOUBLE_EQ(graph->data()->at(1)->key, 1.1);
  EXPECT_DOUBLE_EQ(graph->data()->at(1)->value, 11);
  EXPECT_DOUBLE_EQ(graph->data()->at(2)->key, 10);
  EXPECT_DOUBLE_EQ(graph->data()->at(2)->value, 11);
}

// Where the tick labels of `axis` stand along it, as spans of pixels; the
// first overlap (with less than 3 pixels between two labels) is described
// in `overlap`.
bool LabelsApart(const QCPAxis* axis, std::string& overlap) {
  const QFontMetrics metrics(axis->tickLabelFont());
  const QVector<double> ticks = axis->tickVector();
  const QVector<QString> labels = axis->tickVectorLabels();
  const bool across = axis->orientation() == Qt::Horizontal;
  double previousLo = 0, previousHi = 0;
  QString previous;
  for (int i = 0; i < ticks.size(); ++i) {
    if (labels[i].isEmpty()) continue;  // a tick left without a label
    const double half = (across ? metrics.horizontalAdvance(labels[i]) : metrics.height()) / 2.0;
    const double lo = axis->coordToPixel(ticks[i]) - half, hi = lo + 2 * half;
    if (!previous.isEmpty() && std::min(hi, previousHi) - std::max(lo, previousLo) > -3) {
      overlap = (previous + " and " + labels[i]).toStdString();
      return false;
    }
    previous = labels[i];
    previousLo = lo;
    previousHi = hi;
  }
  return true;
}

// The chart drawn on a plot shown at `size`, laid out as in a window.
std::unique_ptr<ChartPlot> ShownPlot(const TChart& chart, QSize size) {
  auto plot = std::make_unique<ChartPlot>();
  plot->resize(size);
  plot->show();
  plot->Draw(chart);
  plot->replot(QCustomPlot::rpImmediateRefresh);
  return plot;
}

// The labels an axis writes, leaving out ticks without one.
QStringList WrittenLabels(const QCPAxis* axis) {
  QStringList written;
  for (const QString& label : axis->tickVectorLabels())
    if (!label.isEmpty()) written.push_back(label);
  return written;
}

// Labels of ticks the drawing chooses never run into each other, whatever
// the size of the values and of the chart: when the chart is first drawn at
// its size, and when it is drawn again after a resize (a window fitted to a
// small screen).  The chart is a depth profile (concentration on the top
// axis, depth on the left) with a bottom axis running from -top to top.
TEST(ChartPlot, TickLabelsNeverOverlap) {
  for (double top : {5.5e-15, 3.3e-9, 1.1e-5, 1.1, 5555.0, 1.23e9, 5.5e20}) {
    TChart chart;
    TSeries profile;
    profile.XOrder = TSortOrder::None;
    profile.HorizontalAxis = TAxisSide::Top;
    for (int i = 0; i <= 10; ++i) profile.Add(top * i / 11, -0.01 * i);
    TSeries line;
    for (int i = 0; i <= 10; ++i) line.Add(top * (i - 5) / 6, -0.01 * i);
    chart.Series = {profile, line};
    chart.LegendVisible = false;
    chart.Top.SetManual(0, top);
    chart.Bottom.SetManual(-top, top);
    chart.Left.SetManual(-0.11, 0);
    // The smallest charts of the windows are 180 x 200; on the smallest
    // here only one label may fit.
    for (QSize size : {QSize(120, 60), QSize(180, 200), QSize(260, 160), QSize(420, 300)}) {
      SCOPED_TRACE(QString::number(top).toStdString() + " at " + std::to_string(size.width()) +
                   "x" + std::to_string(size.height()));
      // Shown, as in a window: a hidden widget takes its size only when shown.
      const std::unique_ptr<ChartPlot> first = ShownPlot(chart, size);
      const std::unique_ptr<ChartPlot> resized = ShownPlot(chart, QSize(900, 700));
      resized->resize(size);  // queues a replot, run here as the event loop would
      resized->replot(QCustomPlot::rpImmediateRefresh);
      for (ChartPlot* plot : {first.get(), resized.get()})
        for (QCPAxis* axis : {plot->xAxis, plot->xAxis2, plot->yAxis}) {
          std::string overlap;
          EXPECT_TRUE(LabelsApart(axis, overlap)) << overlap;
          if (size.width() >= 260 || (top < 1e-9 && size.width() >= 180)) {
            EXPECT_GE(axis->tickVector().size(), 2)
                << axis->tickVectorLabels().join(QStringLiteral(" ")).toStdString();
          }
        }
    }
  }
  // One label at least stays where the round values of a step that leaves
  // room for one lie beyond the axis's ends (1.1E4 .. 4.9E4, the smallest
  // chart).
  TChart narrow;
  narrow.LegendVisible = false;
  narrow.Bottom.SetManual(1.1e4, 4.9e4);
  EXPECT_FALSE(WrittenLabels(ShownPlot(narrow, QSize(120, 60))->xAxis).isEmpty());
}

// A typed major step keeps its ticks at that step on a chart too narrow
// for all their labels: only labels that would run into each other are
// left out, and one label at least stays, also where no tick is a 50th
// (1.1E4 .. 4.9E4 by 1000) and every 20th would run into each other.  The
// labels of a vertical axis are judged by their height: long ones stand
// at every tick of a tall chart.
TEST(ChartPlot, ATypedStepKeepsItsTicks) {
  TChart chart;
  TSeries line;
  line.Add(0, 1e9);
  line.Add(30, 1e9 + 10);
  chart.Series = {line};
  chart.LegendVisible = false;
  chart.Bottom.SetManual(0, 30);
  chart.Bottom.Increment = 1;
  chart.Bottom.MinorTickCount = 3;
  chart.Left.SetManual(1e9, 1e9 + 10);
  chart.Left.Increment = 1;
  const std::unique_ptr<ChartPlot> shown = ShownPlot(chart, QSize(260, 500));
  const ChartPlot& plot = *shown;
  for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
    const QVector<double> ticks = axis->tickVector();
    ASSERT_GE(ticks.size(), 2);
    for (int i = 1; i < ticks.size(); ++i) EXPECT_DOUBLE_EQ(ticks[i] - ticks[i - 1], 1);
    std::string overlap;
    EXPECT_TRUE(LabelsApart(axis, overlap)) << overlap;
  }
  EXPECT_EQ(plot.xAxis->tickVector().size(), 31);
  const QStringList bottom = WrittenLabels(plot.xAxis);
  EXPECT_GE(bottom.size(), 3);
  EXPECT_LT(bottom.size(), 31);
  EXPECT_EQ(bottom.front(), "0");
  EXPECT_EQ(WrittenLabels(plot.yAxis).size(), 11);

  chart.Bottom.SetManual(1.1e4, 4.9e4);
  chart.Bottom.Increment = 1000;
  const std::unique_ptr<ChartPlot> narrow = ShownPlot(chart, QSize(120, 500));
  EXPECT_EQ(narrow->xAxis->tickVector().size(), 39);
  EXPECT_FALSE(WrittenLabels(narrow->xAxis).isEmpty());
  std::string overlap;
  EXPECT_TRUE(LabelsApart(narrow->xAxis, overlap)) << overlap;
}

// Labels a pattern would write alike (an axis from 0 to 1E-12 under the
// enlarged graph's "#,##0.#######") all differ, in the general number form
// with the pattern's leading blanks; those it tells apart keep the pattern
// (a typed step of 1000 under "#,##0.00" writes "1,000.00").
TEST(ChartPlot, LabelsOfATinyRangeDiffer) {
  TChart chart;
  TSeries line;
  line.Add(0, 0);
  line.Add(1, 1e-12);
  chart.Series = {line};
  chart.LegendVisible = false;
  chart.Left.LabelFormat = "      #,##0.#######";
  chart.Left.SetManual(0, 1e-12);
  for (double increment : {0.0, 2e-13}) {
    SCOPED_TRACE(increment);
    chart.Left.Increment = increment;
    const QStringList labels = WrittenLabels(ShownPlot(chart, QSize(400, 300))->yAxis);
    ASSERT_GE(labels.size(), 2);
    EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size())
        << labels.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(labels.front(), "      0");
    EXPECT_TRUE(labels.back().startsWith("      1E-12") || labels.back().contains("E-13"))
        << labels.back().toStdString();
  }
  chart.Left.LabelFormat = "#,##0.00";
  chart.Left.SetManual(0, 3000);
  chart.Left.Increment = 1000;
  EXPECT_EQ(WrittenLabels(ShownPlot(chart, QSize(400, 300))->yAxis).join(" ").toStdString(),
            "0.00 1,000.00 2,000.00 3,000.00");
}

// An axis whose range is tiny against its values (a range typed in the
// axis dialog as 1E20 to 1.0000000000000001E20: one step of the number
// format apart) is drawn, with its ticks, in bounded time; adding such a
// tick step to such a value changes nothing.  A typed step far too small
// for its axis (1E-4 on 0 .. 1000) is widened to a multiple of itself that
// puts at most 1001 ticks on the axis; they are counted as the axis's
// ticker makes them, not drawn.
TEST(ChartPlot, AnAxisOfATinyRangeAtHugeValuesIsDrawn) {
  const double lo = 1e20;
  const double hi = std::nextafter(lo, 2e20);
  TChart chart;
  TSeries line;
  line.Add(0, lo);
  line.Add(1, hi);
  chart.Series = {line};
  chart.Left.SetManual(lo, hi);
  chart.Bottom.SetManual(lo, hi);
  const std::unique_ptr<ChartPlot> plot = ShownPlot(chart, QSize(400, 300));
  EXPECT_EQ(plot->yAxis->range().lower, lo);
  EXPECT_EQ(plot->yAxis->range().upper, hi);

  TChart fine;
  fine.Bottom.SetManual(0, 1000);
  fine.Bottom.Increment = 1e-4;
  ChartPlot unshown;
  unshown.Draw(fine);
  QVector<double> ticks;
  unshown.xAxis->ticker()->generate(unshown.xAxis->range(), QLocale::c(), 'g', 6, ticks, nullptr,
                                    nullptr);
  ASSERT_GE(ticks.size(), 2);
  EXPECT_LE(ticks.size(), 1001);
  EXPECT_DOUBLE_EQ(ticks[1] - ticks[0], 1);
}

// Two charts one above the other with legends of different widths and
// value axes of different magnitudes: lined up, the same time falls on the
// same pixel on screen, after a resize too, and on a printed page their
// legends stand one above the other, equally wide.
TEST(ChartPlot, AlignedPlotAreasShareTheirTimeAxis) {
  auto chart = [](double top, std::vector<const char*> titles) {
    TChart c;
    c.Bottom.Title = "Time (d)";
    c.Left.Title = "Mass (mg)";
    for (const char* title : titles) {
      TSeries s;
      s.Title = title;
      for (int i = 0; i <= 30; ++i) s.Add(i, top * i / 30);
      c.Series.push_back(s);
    }
    c.Bottom.SetManual(0, 33);
    c.Left.SetManual(0, top);
    return c;
  };
  const TChart positive = chart(4.5, {"Loadings", "From sediment"});
  const TChart negative = chart(35000, {"Volatilized", "Transformed", "Flowed out of the water"});

  ChartPlot upper, lower;
  for (ChartPlot* plot : {&upper, &lower}) {
    plot->resize(600, 250);
    plot->show();
  }
  upper.Draw(positive);
  lower.Draw(negative);
  auto settle = [] {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  };
  settle();
  ASSERT_NE(upper.xAxis->coordToPixel(30), lower.xAxis->coordToPixel(30));  // apart unaligned
  AlignPlotAreas({&upper, &lower});
  settle();
  EXPECT_EQ(upper.axisRect()->left(), lower.axisRect()->left());
  EXPECT_EQ(upper.axisRect()->right(), lower.axisRect()->right());
  EXPECT_EQ(upper.xAxis->coordToPixel(30), lower.xAxis->coordToPixel(30));
  // Drawn again with a wider legend above, and narrower: still lined up.
  upper.Draw(chart(4.5, {"A much longer title than any below"}));
  lower.resize(500, 250);
  upper.resize(500, 250);
  settle();
  EXPECT_EQ(upper.axisRect()->left(), lower.axisRect()->left());
  EXPECT_EQ(upper.axisRect()->right(), lower.axisRect()->right());

  QImage page(1600, 2000, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter painter(&page);
  const std::vector<QRect> legends = PrintAlignedCharts(
      {&positive, &negative}, painter, {QRect(100, 100, 1400, 800), QRect(100, 1000, 1400, 800)});
  painter.end();
  ASSERT_EQ(legends.size(), 2u);
  EXPECT_FALSE(legends[0].isEmpty());
  EXPECT_EQ(legends[0].left(), legends[1].left());
  EXPECT_EQ(legends[0].width(), legends[1].width());
  EXPECT_GT(Inked(page, QRect(100, 100, 1400, 800)), 3000);
  EXPECT_GT(Inked(page, QRect(100, 1000, 1400, 800)), 3000);
}

}  // namespace
}  // namespace kirmel::test
