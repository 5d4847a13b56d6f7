#include "frontend/qt/TableForm.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/model/Numbers.h"
#include "frontend/qt/Fields.h"

namespace kirmel::qt {

TTableForm::TTableForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TableForm"));
  setWindowTitle(QStringLiteral("Table"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  auto* descriptions = new QGridLayout;
  xDescLabel_ = new QLabel;
  xDescLabel_->setObjectName(QStringLiteral("XDescLabel"));
  yDescLabel_ = new QLabel;
  yDescLabel_->setObjectName(QStringLiteral("YDescLabel"));
  descriptions->addWidget(new QLabel(QStringLiteral("X=")), 0, 0);
  descriptions->addWidget(xDescLabel_, 0, 1);
  descriptions->addWidget(new QLabel(QStringLiteral("Y=")), 1, 0);
  descriptions->addWidget(yDescLabel_, 1, 1);
  descriptions->setColumnStretch(1, 1);

  xyList_ = new QListWidget;
  xyList_->setObjectName(QStringLiteral("XYList"));
  xyList_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  closeButton_ = new QPushButton(QStringLiteral("Close"));
  closeButton_->setObjectName(QStringLiteral("BitBtn2"));
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(closeButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(descriptions);
  layout->addWidget(xyList_, 1);
  layout->addLayout(buttons);

  // Room for the two 12-character columns and a scroll bar.
  const QFontMetrics metrics(xyList_->font());
  xyList_->setMinimumWidth(metrics.horizontalAdvance(QString(30, QChar('0'))) + 40);
  resize(sizeHint().width(), 400);
}

void TTableForm::Fill() {
  setWindowTitle(QString::fromStdString(TableTitle));
  xDescLabel_->setText(QString::fromStdString(XDescription));
  yDescLabel_->setText(QString::fromStdString(YDescription));
  xyList_->clear();
  for (const fe::TChartPoint& p : Series.Points)
    xyList_->addItem(
        QString::fromStdString(fe::Format("%12.4f  %12.4f", {p.X, p.Y}, DecimalSeparator())));
}

void TTableForm::showEvent(QShowEvent* event) {
  Fill();
  QDialog::showEvent(event);
}

void ShowTable(const fe::TSeries& series, const std::string& caption,
               const std::string& xDescription, const std::string& yDescription) {
  TTableForm form(QApplication::activeWindow());
  form.Series = series;
  form.TableTitle = caption;
  form.XDescription = xDescription;
  form.YDescription = yDescription;
  form.exec();
}

}  // namespace kirmel::qt
