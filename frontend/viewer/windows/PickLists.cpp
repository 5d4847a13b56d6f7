#include "frontend/viewer/windows/PickLists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"

namespace kirmel::viewer {

TFrmSelectList::TFrmSelectList(QWidget* owner, const char* formName, const char* caption,
                               const char* label, const char* listName)
    : QDialog(owner), list_(new QListWidget) {
  setObjectName(QString::fromLatin1(formName));
  setWindowTitle(QString::fromLatin1(caption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  list_->setObjectName(QString::fromLatin1(listName));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  // The line double-clicked is the one chosen.
  connect(list_, &QListWidget::itemDoubleClicked, this,
          qt::GuardedSlot([this](QListWidgetItem* item) {
            if (item) list_->setCurrentItem(item);
            BitBtnOKClick();
          }));


  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromLatin1(label)));
  layout->addWidget(list_, 1);
  layout->addLayout(qt::OkCancelRow(this, [this] { BitBtnOKClick(); }, QStringLiteral("BitBtnOK"),
                                    QStringLiteral("BitBtnCancel")));
  resize(260, 340);
}

void TFrmSelectList::showEvent(QShowEvent* event) {
  qt::Guarded([this] { FormShow(); });
  QDialog::showEvent(event);
}

void TFrmSelectList::FormShow() {
  list_->clear();
  for (const std::string& line : Lines()) list_->addItem(QString::fromStdString(line));
  list_->setCurrentRow(-1);
  Selected = 0;
}

void TFrmSelectList::BitBtnOKClick() {
  const QList<QListWidgetItem*> chosen = list_->selectedItems();
  if (!chosen.isEmpty()) Selected = list_->row(chosen.first()) + 1;
  accept();
}

TFrmSelectNode::TFrmSelectNode(QWidget* owner)
    : TFrmSelectList(owner, "FrmSelectNode", "Select node", "Nodes:", "LstNodes") {}

TFrmSelectTimestep::TFrmSelectTimestep(QWidget* owner)
    : TFrmSelectList(owner, "FrmSelectTimestep", "Select timestep", "Timesteps:",
                     "LstTimesteps") {}

int SelectNode(QWidget* owner, const std::vector<std::string>& nodes) {
  TFrmSelectNode form(owner);
  form.Nodes = nodes;
  form.exec();
  return form.Selected;
}

int SelectTimestep(QWidget* owner, const std::vector<std::string>& timesteps) {
  TFrmSelectTimestep form(owner);
  form.Timesteps = timesteps;
  form.exec();
  return form.Selected;
}

}  // namespace kirmel::viewer
