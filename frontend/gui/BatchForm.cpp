#include "frontend/gui/BatchForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "frontend/editor/Directories.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "platform/Paths.h"

namespace kirmel::gui {
namespace {

const std::string kCR(1, '\r');

}  // namespace

TBatchForm::TBatchForm(fe::TKirmelEditor& editor, QWidget* parent)
    : QDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("BatchForm"));
  setWindowTitle(QStringLiteral("Batch definition"));

  auto* label = new QLabel(QStringLiteral("Defined runs"));
  label->setObjectName(QStringLiteral("LblRuns"));
  lstRuns_ = new QListWidget;
  lstRuns_->setObjectName(QStringLiteral("LstRuns"));
  lstRuns_->setSelectionMode(QAbstractItemView::SingleSelection);
  label->setBuddy(lstRuns_);

  auto button = [this](const char* caption, const char* name, void (TBatchForm::*handler)()) {
    QPushButton* b = qt::NewButton(QString::fromLatin1(caption), QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, qt::GuardedSlot([this, handler] { (this->*handler)(); }));
    return b;
  };

  auto* side = new QVBoxLayout;
  side->addWidget(button("Add", "AddRunButton", &TBatchForm::AddRunButtonClick));
  side->addWidget(button("Remove", "RemoveRunButton", &TBatchForm::RemoveRunButtonClick));
  side->addSpacing(12);
  side->addWidget(button("Up", "MoveUpButton", &TBatchForm::MoveUpButtonClick));
  side->addWidget(button("Down", "MoveDownButton", &TBatchForm::MoveDownButtonClick));
  side->addStretch(1);

  auto* list = new QVBoxLayout;
  list->addWidget(label);
  list->addWidget(lstRuns_, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(list, 1);
  top->addLayout(side);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(button("Save batch file", "BitBtnSaveBatch", &TBatchForm::BitBtnSaveBatchClick));
  bottom->addWidget(button("Close", "BitBtnClose", &TBatchForm::BitBtnCloseClick));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(bottom);
  resize(480, 320);
  Initialise();
}

TBatchForm::~TBatchForm() { ClearRuns(); }

void TBatchForm::ClearRuns() { runs_.clear(); }

void TBatchForm::Initialise() {
  FillList();
  changed_ = false;
}

int TBatchForm::exec() {
  Initialise();
  return QDialog::exec();
}

void TBatchForm::open() {
  Initialise();
  QDialog::open();
}

void TBatchForm::FillList() {
  lstRuns_->clear();
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    const std::string& name = runs_[i].Name;
    auto* item = new QListWidgetItem(QString::fromStdString(name.empty() ? "<unnamed>" : name));
    item->setData(Qt::UserRole, static_cast<int>(i));
    lstRuns_->addItem(item);
  }
}

void TBatchForm::AddRunButtonClick() {
  const fe::TSettings& s = editor_.Settings();
  std::optional<std::string> dir = qt::TheDialogs().BrowseFolder("Select run", s.RunsDir(), false);
  if (!dir) return;
  std::string folder = fe::StripTrailingSeparator(*dir);
  if (!fe::IsRunDirectory(folder, s.Root())) {
    qt::ShowError("This is not a valid run." + kCR + "Valid runs are in the directory " +
                  s.RunsDir() + "." + kCR + "Select a run from this directory.");
    return;
  }
  if (std::string problem = fe::ScriptTextProblem(folder, "run directory"); !problem.empty()) {
    qt::ShowError(problem);
    return;
  }
  // The batch enters the directory by the name it has on disk.
  folder = paths::resolveExisting(folder).value_or(folder);
  fe::TSimRun run;
  run.Name = fe::ExtractLastDirectory(folder);
  run.InputDir = folder;
  run.OutputDir = folder;
  runs_.push_back(std::move(run));
  FillList();
  changed_ = true;
}

void TBatchForm::RemoveRunButtonClick() {
  const int i = lstRuns_->currentRow();
  if (i < 0 || i >= static_cast<int>(runs_.size()) || !lstRuns_->currentItem()->isSelected())
    return;
  runs_.erase(runs_.begin() + i);
  FillList();
  changed_ = true;
}

void TBatchForm::Swap(int from, int to) {
  std::swap(runs_[static_cast<std::size_t>(from)], runs_[static_cast<std::size_t>(to)]);
  FillList();
  lstRuns_->setCurrentRow(to);
  changed_ = true;
}

void TBatchForm::MoveUpButtonClick() {
  const int i = lstRuns_->currentRow();
  if (i >= 1 && i < static_cast<int>(runs_.size())) Swap(i, i - 1);
}

void TBatchForm::MoveDownButtonClick() {
  const int i = lstRuns_->currentRow();
  if (i >= 0 && i < static_cast<int>(runs_.size()) - 1) Swap(i, i + 1);
}

void TBatchForm::BitBtnSaveBatchClick() {
  if (runs_.empty()) {
    qt::ShowError("Could not save batchfile." + kCR + "No runs defined.");
    return;
  }
  const fe::TSettings& s = editor_.Settings();
  const std::string path = fe::BatchFilePath(s);
  const fe::TScriptContext context{fe::KernelPath(s), fe::MarkerPath(s), editor_.DateTime()};
  try {
    fe::WriteScriptFile(path, fe::BatchFileText(runs_, context));
  } catch (const fe::EInOutError&) {
    // The runs stay, and so does the question before closing.
    qt::ShowError("Cannot write to file " + path);
    return;
  }
  qt::ShowInfo("Batch file " + path + " saved");
  changed_ = false;
}

void TBatchForm::BitBtnCloseClick() {
  if (changed_ &&
      !qt::Confirm("Batch definition is changed! Are you sure you want to discard the changes?"))
    return;
  QDialog::reject();
}

void TBatchForm::reject() {
  qt::Guarded([this] { BitBtnCloseClick(); });
}

}  // namespace kirmel::gui
