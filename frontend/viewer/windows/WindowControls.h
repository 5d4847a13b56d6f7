// Controls the viewer's windows share: the Print and
// Close buttons, the series check boxes beside a chart and the "..." button
// of each.
#pragma once

#include <QString>
#include <functional>
#include <span>
#include <vector>

#include "frontend/chart/Chart.h"

class QCheckBox;
class QDialog;
class QHBoxLayout;
class QPushButton;

namespace kirmel::viewer {

class TChartPanel;

// The "..." button of series `tag`, as narrow as its caption.
QPushButton* SelectButton(const QString& name, int tag);

// "Print" (SpeedBtnPrint), which runs `print` guarded, and "Close"
// (BitBtnClose), which accepts `window`.
struct TPrintClose {
  QPushButton* Print;
  QPushButton* Close;
};
TPrintClose PrintAndCloseButtons(QDialog* window, std::function<void()> print);
// The two in a row, Print at the left and Close at the right.
QHBoxLayout* PrintCloseRow(QDialog* window, std::function<void()> print);

// Shows check box k, and button k where `buttons` has one, for every series
// k of `series`, captioned with the series' title; hides the others.
void ShowSeriesBoxes(const std::vector<fe::TSeries>& series, std::span<QCheckBox* const> boxes,
                     std::span<QPushButton* const> buttons = {});

// Switches series k (1-based) of the panel's chart on or off and redraws
// it; a chart without that series is left alone.
void ShowSeries(TChartPanel& panel, int k, bool shown);

// Shows or hides the point markers of every series of the charts and
// redraws them.
void ShowMarkers(const std::vector<TChartPanel*>& panels, bool visible);

}  // namespace kirmel::viewer
