#include "frontend/viewer/windows/ChartPanel.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"

namespace kirmel::viewer {

namespace {

// A magnifying glass with a plus, drawn once.
QIcon ZoomIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 3));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(3, 3, 18, 18));
  p.drawLine(QPointF(12, 7.5), QPointF(12, 16.5));
  p.drawLine(QPointF(7.5, 12), QPointF(16.5, 12));
  p.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(19, 19), QPointF(28, 28));
  return QIcon(pixmap);
}

}  // namespace

TChartPanel::TChartPanel(const QString& name, const QString& zoomName, QWidget* parent)
    : QWidget(parent), plot_(new fe::ChartPlot(this)) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(plot_);
  plot_->setMinimumSize(200, 150);
  if (!zoomName.isEmpty()) {
    zoom_ = new QToolButton(plot_);
    zoom_->setObjectName(zoomName);
    zoom_->setIcon(ZoomIcon());
    zoom_->setIconSize(QSize(18, 18));
    zoom_->setToolTip(QStringLiteral("Enlarge"));
    zoom_->setAutoRaise(true);
    zoom_->move(2, 2);
    connect(zoom_, &QToolButton::clicked, this, &TChartPanel::ZoomClicked);
  }
}

void TChartPanel::Redraw() { plot_->Draw(Chart, qt::DecimalSeparator()); }

void SaveAsBitmap(TChartPanel& panel) {
  qt::TFileDialogOptions options;
  options.Title = "Save graph as bitmap";
  options.Filter = "Bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*";
  options.DefaultExtension = "bmp";
  options.AskOverwrite = true;
  const std::optional<std::string> file = qt::TheDialogs().SaveFile(options);
  if (!file) return;
  if (!fe::SaveChartBitmap(panel.Chart, QString::fromStdString(*file), panel.Plot()->size(),
                           qt::DecimalSeparator())) {
    qt::ShowError("Could not save the bitmap to \"" + *file + "\".");
    return;
  }
  qt::ShowInfo("Bitmap saved to \"" + *file + "\"");
}

}  // namespace kirmel::viewer
