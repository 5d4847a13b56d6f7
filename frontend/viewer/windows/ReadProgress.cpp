#include "frontend/viewer/windows/ReadProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <filesystem>

namespace kirmel::viewer {

namespace {

int& Delay() {
  static int delay = 500;
  return delay;
}

constexpr int kSteps = 1000;

}  // namespace

int ReadProgressDelay() { return Delay(); }
void SetReadProgressDelay(int milliseconds) { Delay() = milliseconds; }

TReadProgressDialog::TReadProgressDialog(QWidget* parent) : parent_(parent) { timer_.start(); }

TReadProgressDialog::~TReadProgressDialog() = default;

fe::TReadProgress TReadProgressDialog::Callback() {
  return [this](const std::string& fileName, std::uint64_t done, std::uint64_t size) {
    return Step(fileName, done, size);
  };
}

bool TReadProgressDialog::Step(const std::string& fileName, std::uint64_t done,
                               std::uint64_t size) {
  if (cancelled_) return false;
  if (!dialog_) {
    if (timer_.elapsed() < ReadProgressDelay()) return true;
    dialog_ = std::make_unique<QProgressDialog>(parent_.data());
    dialog_->setObjectName(QStringLiteral("ReadProgress"));
    dialog_->setWindowTitle(QStringLiteral("Reading output"));
    dialog_->setCancelButtonText(QStringLiteral("Cancel"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setRange(0, kSteps);
    dialog_->setMinimumWidth(360);
  }
  const std::string name = std::filesystem::path(fileName).filename().string();
  dialog_->setLabelText(QStringLiteral("Reading %1 ...").arg(QString::fromStdString(name)));
  const int value = size > 0 ? static_cast<int>(std::min<std::uint64_t>(done, size) * kSteps / size) : 0;
  dialog_->setValue(value);
  if (!dialog_->isVisible()) dialog_->show();
  QCoreApplication::processEvents();
  if (dialog_->wasCanceled()) cancelled_ = true;
  return !cancelled_;
}

namespace {

bool Run(QWidget* parent, const std::function<void(fe::TReadProgress)>& install,
         const std::function<bool()>& read, bool* cancelled) {
  TReadProgressDialog progress(parent);
  install(progress.Callback());
  bool result = false;
  try {
    result = read();
  } catch (const fe::TReadCancelled&) {
    result = false;
  } catch (...) {
    install({});
    throw;
  }
  install({});
  if (cancelled) *cancelled = progress.Cancelled();
  return result && !progress.Cancelled();
}

}  // namespace

bool ReadWithProgress(QWidget* parent, fe::TReadContext& context,
                      const std::function<bool()>& read, bool* cancelled) {
  return Run(
      parent, [&context](fe::TReadProgress p) { context.SetProgress(std::move(p)); }, read,
      cancelled);
}

bool ReadWithProgress(QWidget* parent, fe::TReadProgress& slot, const std::function<bool()>& read,
                      bool* cancelled) {
  return Run(
      parent, [&slot](fe::TReadProgress p) { slot = std::move(p); }, read, cancelled);
}

}  // namespace kirmel::viewer
