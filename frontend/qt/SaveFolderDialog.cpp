#include "frontend/qt/SaveFolderDialog.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "frontend/qt/Buttons.h"

namespace kirmel::qt {

TSaveFolderDialog::TSaveFolderDialog(const QString& title, const std::string& parentDir,
                                     const std::string& name, QWidget* parent)
    : QDialog(parent), parentDir_(parentDir) {
  setObjectName(QStringLiteral("SaveFolderDialog"));
  setWindowTitle(title);

  auto* where = new QLabel(QStringLiteral("Save in ") + QString::fromStdString(parentDir));
  where->setObjectName(QStringLiteral("FolderLabel"));
  where->setWordWrap(true);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);

  folderList_ = new QListWidget;
  folderList_->setObjectName(QStringLiteral("FolderList"));
  folderList_->setMinimumHeight(220);
  FillList();

  nameEdit_ = new QLineEdit;
  nameEdit_->setObjectName(QStringLiteral("NameEdit"));
  auto* nameLabel = new QLabel(QStringLiteral("&Name:"));
  nameLabel->setBuddy(nameEdit_);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(nameEdit_, 1);

  QHBoxLayout* buttons = OkCancelRow(
      this, [this] { if (!nameEdit_->text().isEmpty()) Choose(); }, QStringLiteral("OKButton"),
      QStringLiteral("CancelButton"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(where);
  layout->addWidget(folderList_, 1);
  layout->addLayout(nameRow);
  layout->addLayout(buttons);
  // The buttons are children of the dialog only once the layout is set.
  okButton_ = findChild<QPushButton*>(QStringLiteral("OKButton"));

  // A folder picked in the list gives its name; a double click also confirms.
  connect(folderList_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { nameEdit_->setText(item->text()); });
  connect(folderList_, &QListWidget::currentItemChanged, this,
          [this](QListWidgetItem* item) {
            if (item) nameEdit_->setText(item->text());
          });
  connect(folderList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    nameEdit_->setText(item->text());
    Choose();
  });
  connect(nameEdit_, &QLineEdit::textChanged, this, &TSaveFolderDialog::NameEdited);

  nameEdit_->setText(QString::fromStdString(name));
  NameEdited(nameEdit_->text());
  nameEdit_->selectAll();
  nameEdit_->setFocus();
  resize(440, 400);
}

void TSaveFolderDialog::FillList() {
  // Dot folders (a save in progress, hidden folders) are not offered.
  const QStringList names =
      QDir(QString::fromStdString(parentDir_))
          .entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                     QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  folderList_->addItems(names);
}

// The folder of the typed name is shown selected; OK needs a name.
void TSaveFolderDialog::NameEdited(const QString& text) {
  if (okButton_) okButton_->setEnabled(!text.isEmpty());
  const QSignalBlocker blocker(folderList_);
  const QList<QListWidgetItem*> same = folderList_->findItems(text, Qt::MatchExactly);
  if (same.isEmpty()) {
    folderList_->clearSelection();
    folderList_->setCurrentItem(nullptr);
  } else {
    folderList_->setCurrentItem(same.first());
    folderList_->scrollToItem(same.first());
  }
}

void TSaveFolderDialog::Choose() {
  const std::string problem = check_ ? check_(Path()) : std::string();
  if (problem.empty()) {
    accept();
    return;
  }
  TheDialogs().Error(problem);
  nameEdit_->setFocus();
}

std::string TSaveFolderDialog::Path() const {
  return parentDir_ + "/" + nameEdit_->text().toStdString();
}

}  // namespace kirmel::qt
