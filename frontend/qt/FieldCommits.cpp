#include "frontend/qt/FieldCommits.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "frontend/qt/Fields.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::qt {

TFieldCommits::TFieldCommits(QWidget* window) : window_(window) {
  focusConnection_ = QObject::connect(qApp, &QApplication::focusChanged, window,
                                      [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
}

// The window's controls go away after its own destructor; their focus
// changes are no longer its business.
TFieldCommits::~TFieldCommits() { QObject::disconnect(focusConnection_); }

void TFieldCommits::Register(QWidget* control, std::function<bool()> handler) {
  handlers_[control] = std::move(handler);
}

QWidget* TFieldCommits::RegisteredControlOf(QWidget* widget) const {
  for (; widget; widget = widget->parentWidget())
    if (handlers_.count(widget)) return widget;
  return nullptr;
}

void TFieldCommits::FocusChanged(QWidget* old, QWidget* now) {
  QWidget* left = RegisteredControlOf(old);
  if (!left || !window_->isVisible()) return;
  if (!now || now->window() != window_ || RegisteredControlOf(now) == left) return;
  pending_ = left;
  QTimer::singleShot(0, window_, [this] {
    if (QWidget* control = pending_) {
      pending_ = nullptr;
      Guarded([&] { Commit(control); });
    }
  });
}

bool TFieldCommits::Commit(QWidget* control) {
  if (auto* grid = qobject_cast<TStringGrid*>(control)) grid->CommitEditor();
  auto it = handlers_.find(control);
  return it == handlers_.end() || it->second();
}

bool TFieldCommits::CommitEdits() {
  QWidget* pending = pending_;
  pending_ = nullptr;
  if (pending && !Commit(pending)) return false;
  QWidget* focused = RegisteredControlOf(window_->focusWidget());
  if (focused && focused != pending && !Commit(focused)) return false;
  return true;
}

}  // namespace kirmel::qt
