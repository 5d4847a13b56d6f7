// The table window: the points of one chart series as a list of x and y.
#pragma once

#include <QDialog>
#include <string>

#include "frontend/chart/Chart.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace kirmel::qt {

class TTableForm : public QDialog {
  Q_OBJECT

 public:
  explicit TTableForm(QWidget* parent = nullptr);

  // Set before showing.
  fe::TSeries Series;
  std::string TableTitle;
  std::string XDescription;
  std::string YDescription;

  // Caption, descriptions and one line per point,
  // Format("%12.4f  %12.4f", x, y); done on every show.
  void Fill();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* xDescLabel_;
  QLabel* yDescLabel_;
  QListWidget* xyList_;
  QPushButton* closeButton_;
};

// Lists the series' points in the table window, shown modally.
void ShowTable(const fe::TSeries& series, const std::string& caption,
               const std::string& xDescription, const std::string& yDescription);

}  // namespace kirmel::qt
