#include "frontend/plot/ChartPlot.h"

#include <QImage>
#include <QPainter>
#include <QPicture>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "frontend/model/Numbers.h"

namespace kirmel::fe {

namespace {

// Ticks of one axis as the model asks: a fixed major step (or the drawing's
// own choice for 0), a fixed number of minor ticks, labels by the axis's
// pattern or in the general number form.  Labels never run into each
// other: where they would (a narrow or low chart, long labels such as
// 2.5E-10), the drawing's own choice takes fewer ticks, and a fixed step
// keeps its ticks but labels only every 2nd, 5th, 10th, 20th, ... of them;
// where labels still run into each other, only the first stays, so that
// an axis keeps one label at least.  Where the pattern would write two
// labels of the axis alike (a range of 1E-12 under "#,##0.###"), the
// labels are written in the general number form, which tells them apart,
// with the pattern's text before and after the number.
class ModelTicker : public QCPAxisTicker {
 public:
  ModelTicker(const TAxis& axis, char decimalSeparator, const QCPAxis* owner)
      : step_(axis.Increment),
        minorTicks_(std::clamp(axis.MinorTickCount, 0, 100)),
        format_(axis.LabelFormat),
        decimalSeparator_(decimalSeparator),
        owner_(owner) {
    const std::size_t first = format_.find_first_of("#0,.");
    if (first != std::string::npos) {
      const std::size_t last = format_.find_last_of("#0,.");
      prefix_ = format_.substr(0, first);
      suffix_ = format_.substr(last + 1);
    }
  }

 protected:
  double getTickStep(const QCPRange& range) override {
    labelEvery_ = 1;
    onlyLabel_ = kNone;
    if (step_ > 0 && std::isfinite(step_)) {
      // Only a step far too small for the range is widened (to a multiple of
      // itself), so an axis never holds more than kMostTicks major ticks.
      const double ticks = range.size() / step_;
      lastStep_ = ticks > kMostTicks ? step_ * std::ceil(ticks / kMostTicks) : step_;
      ChooseForm(range);
      // Every 1st, 2nd, 5th, 10th, 20th, ... tick labelled, while a tick of
      // the range is.  It ends: the stride grows until a tick other than 0
      // is no multiple of it, and the tick at 0 alone fits.
      double crowded = 1;
      for (int i = 0; !std::isnan(FirstLabelled(range)); ++i) {
        if (LabelsFit(range)) return lastStep_;
        crowded = labelEvery_;
        labelEvery_ *= i % 3 == 1 ? 2.5 : 2;
      }
      labelEvery_ = crowded;
      return OnlyFirstLabelled(range);
    }
    double crowded = kNone;
    for (int count = kTickCount; count >= 1; --count) {
      setTickCount(count);
      lastStep_ = QCPAxisTicker::getTickStep(range);
      ChooseForm(range);
      if (std::isnan(FirstLabelled(range))) continue;  // no tick on the axis
      if (LabelsFit(range)) return lastStep_;
      crowded = lastStep_;
    }
    if (std::isnan(crowded)) return lastStep_;
    lastStep_ = crowded;
    ChooseForm(range);
    return OnlyFirstLabelled(range);
  }

  int getSubTickCount(double) override { return minorTicks_; }

  QString getTickLabel(double tick, const QLocale&, QChar, int) override {
    if (!Labelled(std::round(tick / lastStep_))) return QString();
    return QString::fromStdString(Text(tick));
  }

 private:
  static constexpr int kTickCount = 5;
  static constexpr double kMostTicks = 1000;
  static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

  // Whether the tick at `index` x the step carries a label.
  bool Labelled(double index) const {
    if (!std::isnan(onlyLabel_)) return index == onlyLabel_;
    return labelEvery_ <= 1 || std::fmod(index, labelEvery_) == 0;
  }

  // The index of the first tick of the range that carries a label, kNone
  // when none does.
  double FirstLabelled(const QCPRange& range) const {
    const double first = FirstIndex(range);
    for (int i = 0, n = TickCount(range); i < n; ++i)
      if (Labelled(first + i)) return first + i;
    return kNone;
  }

  // Where the labels of every choice that labels a tick of the range run
  // into each other: the last of them keeps its ticks, and only the first
  // of its labels stays, rather than the axis being left without any.
  double OnlyFirstLabelled(const QCPRange& range) {
    onlyLabel_ = FirstLabelled(range);
    return lastStep_;
  }

  // The label of a tick.
  std::string Text(double tick) const {
    if (std::fabs(tick) < std::fabs(lastStep_) * 1e-9) tick = 0;  // rounding left-overs of 0
    if (generalForm_) return prefix_ + FormatGeneral(tick, decimalSeparator_, 15) + suffix_;
    return FormatAxisLabel(format_, tick, decimalSeparator_);
  }

  // The index (tick / step) of the first tick in the range, and the number
  // of ticks; each tick is taken from the first by its index, as at values
  // far larger than the step adding the step to a tick may leave it as it
  // was.
  double FirstIndex(const QCPRange& range) const { return std::ceil(range.lower / lastStep_); }
  int TickCount(const QCPRange& range) const {
    const double n = std::floor(range.upper / lastStep_ + 1e-9) - FirstIndex(range) + 1;
    return static_cast<int>(std::clamp(n, 0.0, kMostTicks + 1));
  }

  // The general number form when the pattern writes two neighbouring ticks
  // of the range alike at lastStep_.
  void ChooseForm(const QCPRange& range) {
    generalForm_ = format_.empty();
    if (generalForm_ || !(lastStep_ > 0)) return;
    const double first = FirstIndex(range);
    std::string previous;
    for (int i = 0, n = TickCount(range); i < n; ++i) {
      std::string text = Text((first + i) * lastStep_);
      if (i > 0 && text == previous) {
        generalForm_ = true;
        return;
      }
      previous = std::move(text);
    }
  }

  // Whether the labels at lastStep_ stand apart, side by side (one above
  // the other on a vertical axis, judged by their height), on the axis as
  // it is laid out: each is centred on its tick, with a gap to the next.
  // An axis not laid out yet is taken as it comes; the plot lays itself out
  // again once it knows the axis's length (ChartPlot::updateLayout).
  bool LabelsFit(const QCPRange& range) {
    if (!owner_ || !owner_->axisRect()) return true;
    const bool across = owner_->orientation() == Qt::Horizontal;
    const int length = across ? owner_->axisRect()->width() : owner_->axisRect()->height();
    if (length < 1 || !(lastStep_ > 0)) return true;
    const QFontMetrics metrics(owner_->tickLabelFont());
    const int gap = across ? metrics.horizontalAdvance(QStringLiteral("  ")) : metrics.height() / 4;
    const double spacing = length * lastStep_ / range.size();  // pixels from tick to tick
    double previousHalf = -1;
    double previousIndex = 0;
    const double first = FirstIndex(range);
    for (int i = 0, n = TickCount(range); i < n; ++i) {
      const double index = first + i;
      if (!Labelled(index)) continue;
      const QString label = QString::fromStdString(Text(index * lastStep_));
      const double half = (across ? metrics.horizontalAdvance(label) : metrics.height()) / 2.0;
      if (previousHalf >= 0 && spacing * (index - previousIndex) < previousHalf + half + gap)
        return false;
      previousHalf = half;
      previousIndex = index;
    }
    return true;
  }

  double step_;
  int minorTicks_;
  std::string format_;
  std::string prefix_;  // the pattern's text before and after the number
  std::string suffix_;
  char decimalSeparator_;
  const QCPAxis* owner_;
  double lastStep_ = 1;
  double labelEvery_ = 1;    // every how many ticks (counted from 0) a label stands
  double onlyLabel_ = kNone;  // the index of the one tick labelled, when only one is
  bool generalForm_ = true;  // labels in the general number form, not by the pattern
};

QColor ToQColor(const TColor& c) { return QColor(c.R, c.G, c.B); }

Qt::PenStyle ToPenStyle(TLinePattern pattern) {
  switch (pattern) {
    case TLinePattern::Solid:
      return Qt::SolidLine;
    case TLinePattern::Dash:
      return Qt::DashLine;
    case TLinePattern::Dot:
      return Qt::DotLine;
    case TLinePattern::DashDot:
      return Qt::DashDotLine;
    case TLinePattern::DashDotDot:
      return Qt::DashDotDotLine;
  }
  return Qt::SolidLine;
}

QCPScatterStyle::ScatterShape ToShape(TMarkerShape shape) {
  switch (shape) {
    case TMarkerShape::Circle:
      return QCPScatterStyle::ssCircle;
    case TMarkerShape::DownTriangle:
      return QCPScatterStyle::ssTriangleInverted;
    case TMarkerShape::Rectangle:
      return QCPScatterStyle::ssSquare;
    case TMarkerShape::Triangle:
      return QCPScatterStyle::ssTriangle;
    case TMarkerShape::DiagCross:
      return QCPScatterStyle::ssCross;
    case TMarkerShape::Star:
      return QCPScatterStyle::ssStar;
  }
  return QCPScatterStyle::ssCircle;
}

// A marker's width and height are half-sizes in pixels, as a 2 x 2 marker
// is drawn 5 pixels across.
QCPScatterStyle ToScatter(const TSeries& s, bool always) {
  if (!s.Marker.Visible && !always) return QCPScatterStyle(QCPScatterStyle::ssNone);
  const double size = 2.0 * std::max({s.Marker.Width, s.Marker.Height, 1}) + 1;
  return QCPScatterStyle(ToShape(s.Marker.Shape), ToQColor(s.Color), ToQColor(s.Marker.Fill), size);
}

// The range an axis shows as the model gives it, made drawable: ends that
// are not finite give 0 .. 1, and an empty range is widened by 1 each way.
QCPRange DrawnRange(const TChart& chart, TAxisSide side) {
  auto [lo, hi] = chart.AxisRange(side);
  if (!std::isfinite(lo) || !std::isfinite(hi)) lo = 0, hi = 1;
  if (lo > hi) std::swap(lo, hi);
  if (lo == hi) lo -= 1, hi += 1;
  return QCPRange(lo, hi);
}

// What a series keeps of the plane: its axes' ranges widened by a tenth on
// either side, so that a line kept to the edge of it is not drawn (the
// plot area clips it) while the printed page holds it.
QCPRange Around(const QCPRange& r) {
  const double margin = r.size() / 10;
  return QCPRange(r.lower - margin, r.upper + margin);
}

// Brings the points (v, c) into the band lo <= v <= hi of coordinate v.
// Where the line through them (when `joined`) crosses an edge of the band,
// a point is put on the edge; points beyond it are moved onto it.  Within
// the band the line is unchanged, and beyond it runs along the edge, off
// the plot area: so a point far outside the axes never gives the drawing,
// on a printed page above all, coordinates far beyond it.  A coordinate
// that is not a finite number (a gap) stays as it is.
void IntoBand(QVector<double>& v, QVector<double>& c, double lo, double hi, bool joined) {
  QVector<double> bandV, bandC;
  bandV.reserve(v.size());
  bandC.reserve(c.size());
  auto drawn = [&](int i) { return std::isfinite(v[i]) && std::isfinite(c[i]); };
  for (int i = 0; i < v.size(); ++i) {
    if (joined && i > 0 && drawn(i - 1) && drawn(i)) {
      const double a = v[i - 1], b = v[i];
      for (double edge : a < b ? std::array{lo, hi} : std::array{hi, lo})
        if ((a < edge && edge < b) || (b < edge && edge < a)) {
          const double t = (edge - a) / (b - a);
          bandV.push_back(edge);
          bandC.push_back(c[i - 1] + t * (c[i] - c[i - 1]));
        }
    }
    bandV.push_back(std::isfinite(v[i]) ? std::clamp(v[i], lo, hi) : v[i]);
    bandC.push_back(c[i]);
  }
  v.swap(bandV);
  c.swap(bandC);
}

// IntoBand for both coordinates: the points end up within the box of the
// two ranges.
void IntoBox(QVector<double>& xs, QVector<double>& ys, const QCPRange& x, const QCPRange& y,
             bool joined) {
  IntoBand(xs, ys, x.lower, x.upper, joined);
  IntoBand(ys, xs, y.lower, y.upper, joined);
}

}  // namespace

ChartPlot::ChartPlot(QWidget* parent)
    : QCustomPlot(parent),
      title_(new QCPTextElement(this)),
      legendCell_(new QCPLayoutGrid),
      legendRow_(new QCPLayoutGrid) {
  legendCell_->setParent(this);
  legendCell_->setRowSpacing(0);
  legendCell_->setMargins(QMargins(0, 0, 6, 0));  // the legend's frame clear of the edge
  legendCell_->addElement(1, 0, new QCPLayoutElement(this));
  legendRow_->setParent(this);
  legendRow_->setColumnSpacing(0);
  legendRow_->setMargins(QMargins(6, 2, 6, 6));
  legendRow_->addElement(0, 0, new QCPLayoutElement(this));
  legendRow_->addElement(0, 2, new QCPLayoutElement(this));
  QFont font = title_->font();
  font.setBold(true);
  title_->setFont(font);
  // The legend has a place of its own beside or below the axes; Draw puts it there.
  axisRect()->insetLayout()->take(legend);
  setBackground(Qt::white);
}

void ChartPlot::Draw(const TChart& chart, char decimalSeparator) {
  clearPlottables();
  clearItems();
  if (title_->layout()) title_->layout()->take(title_);
  if (legend->layout()) legend->layout()->take(legend);
  if (legendCell_->layout()) legendCell_->layout()->take(legendCell_);
  if (legendRow_->layout()) legendRow_->layout()->take(legendRow_);
  plotLayout()->simplify();

  QCPAxis* const axes[4] = {yAxis, xAxis, xAxis2, yAxis2};  // Left, Bottom, Top, Right
  auto axisOf = [&](TAxisSide side) { return axes[static_cast<int>(side)]; };
  bool used[4] = {false, false, false, false};
  QCPRange ranges[4];
  for (TAxisSide side : {TAxisSide::Left, TAxisSide::Bottom, TAxisSide::Top, TAxisSide::Right})
    ranges[static_cast<int>(side)] = DrawnRange(chart, side);

  for (const TSeries& s : chart.Series) {
    if (!s.Active) continue;
    const TAxisSide hSide = s.HorizontalAxis == TAxisSide::Top ? TAxisSide::Top : TAxisSide::Bottom;
    const TAxisSide vSide = s.VerticalAxis == TAxisSide::Right ? TAxisSide::Right : TAxisSide::Left;
    used[static_cast<int>(hSide)] = used[static_cast<int>(vSide)] = true;
    QCPAxis* keyAxis = axisOf(hSide);
    QCPAxis* valueAxis = axisOf(vSide);

    // The points in the order they are drawn in: as given for curves,
    // else by X (the graph draws them so); points without a finite X are
    // not drawn, and one without a finite Y is a gap.
    const bool keepOrder = s.Kind == TSeriesKind::StepLine ||
                           (s.Kind == TSeriesKind::Line && s.XOrder == TSortOrder::None);
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(s.Points.size()); ++i)
      if (std::isfinite(s.Points[static_cast<std::size_t>(i)].X)) order.push_back(i);
    const auto at = [&s](int i) { return s.Points[static_cast<std::size_t>(i)]; };
    if (!keepOrder)
      std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return at(a).X < at(b).X; });
    QVector<double> xs, ys, errors;
    for (int i : order) {
      const TChartPoint p = at(i);
      xs.push_back(p.X);
      ys.push_back(std::isfinite(p.Y) ? p.Y : qQNaN());
      if (s.Kind == TSeriesKind::ErrorBars)
        errors.push_back(i < static_cast<int>(s.Errors.size())
                             ? std::fabs(s.Errors[static_cast<std::size_t>(i)])
                             : 0.0);
    }
    // Kept to the plot area and a margin around it.  Error bars are drawn
    // only as far as their axis shows them.
    if (s.Kind != TSeriesKind::ErrorBars)
      IntoBox(xs, ys, Around(ranges[static_cast<int>(hSide)]),
              Around(ranges[static_cast<int>(vSide)]), s.Kind != TSeriesKind::Points);

    QPen pen(ToQColor(s.Color), std::max(1, s.LineWidth), ToPenStyle(s.Pattern));
    const QString name = QString::fromStdString(s.Title);

    QCPAbstractPlottable* listed = nullptr;
    if (keepOrder) {
      auto* curve = new QCPCurve(keyAxis, valueAxis);
      curve->setData(xs, ys);  // keeps the order given
      curve->setPen(pen);
      curve->setScatterStyle(ToScatter(s, false));
      listed = curve;
    } else if (s.Kind == TSeriesKind::ErrorBars) {
      // The bars hang on a graph of their points that draws nothing itself.
      QCPGraph* carrier = addGraph(keyAxis, valueAxis);
      carrier->setData(xs, ys, true);
      carrier->setLineStyle(QCPGraph::lsNone);
      carrier->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
      carrier->removeFromLegend();
      auto* bars = new QCPErrorBars(keyAxis, valueAxis);
      bars->setDataPlottable(carrier);
      bars->setData(errors);
      bars->setErrorType(QCPErrorBars::etValueError);
      bars->setWhiskerWidth(s.ErrorBarWidth);
      // Unbroken bars: a point drawn there covers the bar's middle itself.
      bars->setSymbolGap(0);
      bars->setPen(pen);
      listed = bars;
    } else {
      QCPGraph* graph = addGraph(keyAxis, valueAxis);
      graph->setData(xs, ys, true);
      graph->setPen(pen);
      if (s.Kind == TSeriesKind::Points) {
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setScatterStyle(ToScatter(s, true));
      } else {
        graph->setScatterStyle(ToScatter(s, false));
      }
      if (s.Kind == TSeriesKind::Area) graph->setBrush(QBrush(ToQColor(s.Color)));
      listed = graph;
    }
    listed->setName(name);
    if (!s.ShowInLegend) listed->removeFromLegend();
  }

  for (TAxisSide side : {TAxisSide::Left, TAxisSide::Bottom, TAxisSide::Top, TAxisSide::Right}) {
    const int i = static_cast<int>(side);
    const TAxis& model = chart.Axis(side);
    QCPAxis* axis = axes[i];
    const bool primary = side == TAxisSide::Left || side == TAxisSide::Bottom;
    const bool shown = model.Visible && (primary || used[i]);
    axis->setVisible(shown);

    axis->setRange(ranges[i]);
    axis->setTicker(QSharedPointer<QCPAxisTicker>(new ModelTicker(model, decimalSeparator, axis)));
    axis->setSubTicks(model.MinorTicksVisible && model.MinorTickCount > 0);
    axis->setTickLabels(true);
    axis->setLabel(QString::fromStdString(model.Title));
  }
  // Grid lines from the left and bottom axes, or from the right and top ones
  // when those stand alone.
  for (int i = 0; i < 4; ++i) {
    const int counterpart = i == 0 ? 3 : i == 1 ? 2 : i == 2 ? 1 : 0;
    const bool primary = i < 2;
    axes[i]->grid()->setVisible(axes[i]->visible() &&
                                (primary || !axes[counterpart]->visible()));
  }

  if (chart.TitleVisible && !chart.Title.empty()) {
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, title_);
    title_->setText(QString::fromStdString(chart.Title));
    title_->setTextFlags((chart.TitleAlignment == TTitleAlignment::Left ? Qt::AlignLeft
                                                                        : Qt::AlignHCenter) |
                         Qt::AlignVCenter);
    title_->setVisible(true);
  } else {
    title_->setVisible(false);
  }

  const bool withLegend = chart.LegendVisible && legend->itemCount() > 0;
  legend->setVisible(withLegend);
  if (withLegend) {
    const int axesRow = plotLayout()->rowCount() - 1;
    legend->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (chart.LegendPosition == TLegendPosition::Bottom) {
      legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
      legend->setWrap(4);
      legendRow_->addElement(0, 1, legend);
      legend->setMaximumSize(legend->minimumOuterSizeHint());
      legendRow_->setColumnStretchFactors({1, 0.001, 1});
      plotLayout()->addElement(axesRow + 1, 0, legendRow_);
      plotLayout()->setRowStretchFactor(axesRow + 1, 0.001);
    } else {
      // The legend goes into its cell first: a layout element must not be
      // added to the plot with an empty cell in it.
      legendCell_->addElement(0, 0, legend);
      plotLayout()->addElement(axesRow, 1, legendCell_);
      plotLayout()->setColumnStretchFactor(1, 0.001);
      legend->setFillOrder(QCPLayoutGrid::foRowsFirst);
      legend->setWrap(0);
      legend->setMaximumSize(legend->minimumOuterSizeHint());
      legendCell_->setRowStretchFactor(0, 0.001);
    }
  }
  replot(rpQueuedReplot);
}

ChartPlot::~ChartPlot() {
  if (aligned_) std::erase(*aligned_, this);
}

int ChartPlot::LegendBesideWidth() const {
  if (!legend->visible() || legend->layout() != legendCell_) return 0;
  return legend->minimumOuterSizeHint().width();
}

void ChartPlot::updateLayout() {
  int widest = 0;
  if (aligned_) {
    for (const ChartPlot* plot : *aligned_) widest = std::max(widest, plot->LegendBesideWidth());
    if (LegendBesideWidth() > 0) {
      legend->setMinimumSize(widest, 0);
      legend->setMaximumSize(widest, legend->minimumOuterSizeHint().height());
    }
  }
  // The ticks of each axis are chosen as a layout begins, for the length
  // the axis had before it; when it comes out another length (the first
  // layout, a resize, wider labels on the other axis), they are chosen
  // again for the length they are drawn on.
  for (int pass = 0; pass < 3; ++pass) {
    const QSize chosenFor = axisRect()->size();
    QCustomPlot::updateLayout();
    if (axisRect()->size() == chosenFor) break;
  }
  if (aligned_) {
    // The margins came from the margin group: the widest of the aligned
    // plots as they were last laid out.  One laid out with narrower ones
    // is laid out again.
    const QMargins margins = axisRect()->margins();
    alignedAt_ = {margins.left(), margins.right(), widest};
    for (ChartPlot* plot : *aligned_)
      if (plot != this && plot->alignedAt_ != alignedAt_) plot->replot(rpQueuedReplot);
  }
}

void AlignPlotAreas(const std::vector<ChartPlot*>& plots) {
  if (plots.empty()) return;
  auto aligned = std::make_shared<std::vector<ChartPlot*>>(plots);
  // The group belongs to the first plot; a plot that goes leaves it.
  auto* margins = new QCPMarginGroup(plots.front());
  for (ChartPlot* plot : plots) {
    plot->aligned_ = aligned;
    plot->axisRect()->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    plot->replot(QCustomPlot::rpQueuedReplot);
  }
}

QImage RenderChart(const TChart& chart, QSize size, char decimalSeparator) {
  size = size.expandedTo(QSize(1, 1));
  ChartPlot plot;
  plot.resize(size);
  plot.Draw(chart, decimalSeparator);
  plot.replot(QCustomPlot::rpImmediateRefresh);  // lays the axes out at this size
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QCPPainter painter(&image);
  plot.toPainter(&painter, size.width(), size.height());
  painter.end();
  return image;
}

bool SaveChartBitmap(const TChart& chart, const QString& fileName, QSize size,
                     char decimalSeparator) {
  return RenderChart(chart, size, decimalSeparator).save(fileName, "BMP");
}

namespace {

// A chart laid out for a rectangle of a printed page (see PrintChart).
struct TPrintedChart {
  std::unique_ptr<ChartPlot> Plot;
  QRect Rect;        // on the page, in device pixels
  int Width = 1;     // the plot's size, in screen pixels
  int Height = 1;
  double ToScreenX = 1;
  double ToScreenY = 1;
};

TPrintedChart LayOutForPrint(const TChart& chart, const QPainter& painter, const QRect& rect,
                             char decimalSeparator) {
  TPrintedChart printed;
  printed.Rect = rect;
  // The rectangle in the picture's (screen) pixels, enlarged or reduced by
  // the print-resolution percentage.
  const QPicture picture;
  const QPaintDevice* device = painter.device();
  const double p = std::clamp(chart.PrintResolution, -1000, 99) / 100.0;
  printed.ToScreenX = double(picture.logicalDpiX()) / std::max(1, device->logicalDpiX());
  printed.ToScreenY = double(picture.logicalDpiY()) / std::max(1, device->logicalDpiY());
  printed.Width = std::max(1, int(std::lround(rect.width() * printed.ToScreenX * (1 - p))));
  printed.Height = std::max(1, int(std::lround(rect.height() * printed.ToScreenY * (1 - p))));
  printed.Plot = std::make_unique<ChartPlot>();
  printed.Plot->resize(printed.Width, printed.Height);
  printed.Plot->setViewport(QRect(0, 0, printed.Width, printed.Height));  // never shown
  printed.Plot->Draw(chart, decimalSeparator);
  printed.Plot->replot(QCustomPlot::rpImmediateRefresh);  // lays the axes out at this size
  return printed;
}

QRect PrintLaidOut(TPrintedChart& printed, QPainter& painter) {
  ChartPlot& plot = *printed.Plot;
  const QRect& rect = printed.Rect;
  QPicture picture;
  {
    QCPPainter recorder(&picture);
    plot.toPainter(&recorder, printed.Width, printed.Height);
  }
  // Replaying a picture on a device of another resolution scales it by the
  // ratio of the resolutions already; the rest of the way into the
  // rectangle is ours.
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.translate(rect.topLeft());
  painter.scale(rect.width() * printed.ToScreenX / printed.Width,
                rect.height() * printed.ToScreenY / printed.Height);
  painter.drawPicture(0, 0, picture);
  painter.restore();

  if (!plot.legend->visible() || !plot.legend->layout()) return {};
  const QRectF legend = plot.legend->outerRect();
  const double sx = double(rect.width()) / printed.Width;
  const double sy = double(rect.height()) / printed.Height;
  return QRectF(rect.left() + legend.left() * sx, rect.top() + legend.top() * sy,
                legend.width() * sx, legend.height() * sy)
      .toAlignedRect();
}

}  // namespace

QRect PrintChart(const TChart& chart, QPainter& painter, const QRect& rect, char decimalSeparator) {
  if (rect.width() <= 0 || rect.height() <= 0 || !painter.isActive()) return {};
  TPrintedChart printed = LayOutForPrint(chart, painter, rect, decimalSeparator);
  return PrintLaidOut(printed, painter);
}

std::vector<QRect> PrintAlignedCharts(const std::vector<const TChart*>& charts,
                                      QPainter& painter, const std::vector<QRect>& rects,
                                      char decimalSeparator) {
  std::vector<QRect> legends(charts.size());
  if (charts.size() != rects.size() || !painter.isActive()) return legends;
  std::vector<TPrintedChart> printed;
  std::vector<ChartPlot*> plots;
  for (std::size_t i = 0; i < charts.size(); ++i) {
    if (rects[i].width() <= 0 || rects[i].height() <= 0) return legends;
    printed.push_back(LayOutForPrint(*charts[i], painter, rects[i], decimalSeparator));
    plots.push_back(printed.back().Plot.get());
  }
  // Each laid out again now that all know each other's margins; no event
  // loop runs the queued layouts here.
  AlignPlotAreas(plots);
  for (int round = 0; round < 2; ++round)
    for (ChartPlot* plot : plots) plot->replot(QCustomPlot::rpImmediateRefresh);
  for (std::size_t i = 0; i < printed.size(); ++i) legends[i] = PrintLaidOut(printed[i], painter);
  return legends;
}

}  // namespace kirmel::fe
