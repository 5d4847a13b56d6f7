#include "frontend/viewer/windows/GraphWindow.h"

#include <QApplication>
#include <QMetaObject>
#include <QShowEvent>

#include "frontend/editor/Parser.h"
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
  // Messages go where the readers' messages go, each once a show.
  context_ = fe::TReadContext(fe::ProgramParser());
  bool read = false;
  bool cancelled = false;
  {
    TWaitCursor wait;
    QWidget* over = isVisible() || !parentWidget() ? this : parentWidget();
    qt::Guarded([&] {
      read = ReadWithProgress(over, context_, [this] { return ReadFiles(context_); }, &cancelled);
    });
  }
  readCancelled_ = cancelled;
  readFailed_ = !read;
  return read;
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
  TWaitCursor wait;
  return ReadWithProgress(this, context_, read, cancelled);
}

}  // namespace kirmel::viewer
