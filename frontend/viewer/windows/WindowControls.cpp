#include "frontend/viewer/windows/WindowControls.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/ChartPanel.h"

namespace kirmel::viewer {

using qt::NewButton;

QPushButton* SelectButton(const QString& name, int tag) {
  QPushButton* b = NewButton(QStringLiteral("..."), name);
  b->setProperty("Tag", tag);
  b->setFixedWidth(32);
  return b;
}

TPrintClose PrintAndCloseButtons(QDialog* window, std::function<void()> print) {
  TPrintClose buttons{NewButton(QStringLiteral("Print"), QStringLiteral("SpeedBtnPrint")),
                      NewButton(QStringLiteral("Close"), QStringLiteral("BitBtnClose"))};
  QObject::connect(buttons.Print, &QPushButton::clicked, window, qt::GuardedSlot(std::move(print)));
  QObject::connect(buttons.Close, &QPushButton::clicked, window, &QDialog::accept);
  return buttons;
}

QHBoxLayout* PrintCloseRow(QDialog* window, std::function<void()> print) {
  const TPrintClose buttons = PrintAndCloseButtons(window, std::move(print));
  auto* row = new QHBoxLayout;
  row->addWidget(buttons.Print);
  row->addStretch();
  row->addWidget(buttons.Close);
  return row;
}

void ShowSeriesBoxes(const std::vector<fe::TSeries>& series, std::span<QCheckBox* const> boxes,
                     std::span<QPushButton* const> buttons) {
  for (std::size_t k = 0; k < boxes.size(); ++k) {
    const bool shown = k < series.size();
    boxes[k]->setVisible(shown);
    if (k < buttons.size()) buttons[k]->setVisible(shown);
    if (shown) boxes[k]->setText(QString::fromStdString(series[k].Title));
  }
}

void ShowSeries(TChartPanel& panel, int k, bool shown) {
  std::vector<fe::TSeries>& series = panel.Chart.Series;
  if (k < 1 || k > static_cast<int>(series.size())) return;
  series[static_cast<std::size_t>(k - 1)].Active = shown;
  panel.Redraw();
}

void ShowMarkers(const std::vector<TChartPanel*>& panels, bool visible) {
  for (TChartPanel* panel : panels) {
    for (fe::TSeries& s : panel->Chart.Series) s.Marker.Visible = visible;
    panel->Redraw();
  }
}

}  // namespace kirmel::viewer
