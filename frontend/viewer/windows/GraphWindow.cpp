#include "frontend/viewer/windows/GraphWindow.h"

#include <QApplication>
#include <QMetaObject>
#include <QShowEvent>

#include "frontend/editor/Parser.h"
#include "frontend/editor/Run.h"
#include "frontend/editor/Settings.h"
#include "frontend/qt/Fields.h"
#include "frontend/viewer/windows/ReadProgress.h"

namespace kirmel::viewer {

namespace {

std::string WithoutFinalSeparator(std::string dir) {
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

}  // namespace

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }

TGraphWindow::TGraphWindow(QWidget* owner, std::string outputDir)
    : QDialog(owner), outputDir_(WithoutFinalSeparator(std::move(outputDir))) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
}

std::string TGraphWindow::OutputFile(const std::string& name) const {
  return outputDir_ + "/" + name;
}

bool TGraphWindow::Load() {
  // Each file named once a show.
  reports_.Take();
  context_ = fe::TReadContext(reports_.Sink(), fe::ProgramParser().DecimalSeparator());
  const fe::TSettings settings = root_.empty() ? fe::TSettings() : fe::TSettings(root_);
  runEnd_ = fe::TRunEnd(outputDir_, fe::MarkerPath(settings));
  context_.SetRunStillWritten(runEnd_.StillWritten());
  bool read = false;
  bool cancelled = false;
  std::string stopped;
  {
    TWaitCursor wait;
    QWidget* over = isVisible() || !parentWidget() ? this : parentWidget();
    qt::Guarded([&] {
      read = ReadWithProgress(over, context_, [this] { return ReadFiles(context_); }, &cancelled);
      if (read && !noticeShown_) stopped = StoppedNotice();
    });
  }
  // A cancelled read changes nothing and says nothing.
  if (cancelled)
    reports_.Take();
  else
    ShowReports(stopped);
  readCancelled_ = cancelled;
  readFailed_ = !read;
  return read;
}

std::string TGraphWindow::StoppedNotice() const {
  // The echo tells the time the run was set to simulate; a window that does
  // not draw from it reads it here without a word (it has no other use).
  fe::TINPUT echo;
  fe::TReadContext quiet;
  if (!Cache().INPUT(OutputFile("input.out"), quiet, echo)) return {};
  return runEnd_.StoppedNotice(echo, LastOutputTime(), context_.DecimalSeparator());
}

void TGraphWindow::ShowReports(const std::string& stopped) {
  const std::string text = reports_.Take();
  std::string notice;
  if (!noticeShown_) {
    notice = runEnd_.StillWritten() ? runEnd_.StillWritingNotice() : stopped;
    noticeShown_ = !notice.empty();
  }
  // The readers' messages go where the token reader's go (the error
  // dialog); the notice alone is information.
  fe::SayWithNotice(
      notice, text, [](const std::string& m) { fe::ProgramParser().ShowMessage(m); },
      [](const std::string& m) { qt::ShowInfo(m); });
}

int TGraphWindow::exec() {
  if (!Load()) return QDialog::Rejected;
  loaded_ = true;
  const int result = QDialog::exec();
  loaded_ = false;
  return result;
}

void TGraphWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // shown again by the window system, not opened
  if (!loaded_ && !Load()) {
    // Closed once the show is complete, so a modal run of the window ends too.
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    return;
  }
  loaded_ = false;
  TWaitCursor wait;
  qt::Guarded([this] { FormShow(); });
}

bool TGraphWindow::ReadLater(const std::function<bool()>& read, bool* cancelled) {
  bool stopped = false;
  bool result = false;
  {
    TWaitCursor wait;
    result = ReadWithProgress(this, context_, read, &stopped);
  }
  if (stopped)
    reports_.Take();
  else
    ShowReports();
  if (cancelled) *cancelled = stopped;
  return result;
}

}  // namespace kirmel::viewer
