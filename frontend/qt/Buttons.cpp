#include "frontend/qt/Buttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "frontend/qt/Fields.h"

namespace kirmel::qt {

QPushButton* NewButton(const QString& caption, const QString& name) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QHBoxLayout* OkCancelRow(QDialog* dialog, std::function<void()> onOk, const QString& okName,
                         const QString& cancelName) {
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(okName);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"));
  cancel->setObjectName(cancelName);
  QObject::connect(ok, &QPushButton::clicked, dialog, GuardedSlot(std::move(onOk)));
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace kirmel::qt
