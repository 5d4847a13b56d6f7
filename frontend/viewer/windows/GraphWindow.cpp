#include "frontend/viewer/windows/GraphWindow.h"

#include <QApplication>
#include <QMetaObject>
#include <QShowEvent>

#include "frontend/qt/Fields.h"

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

void TGraphWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // shown again by the window system, not opened
  bool read = true;
  {
    TWaitCursor wait;
    qt::Guarded([&] { read = FormShow(); });
  }
  readFailed_ = !read;
  // Closed once the show is complete, so a modal run of the window ends too.
  if (!read) QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

}  // namespace kirmel::viewer
