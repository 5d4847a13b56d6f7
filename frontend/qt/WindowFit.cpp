#include "frontend/qt/WindowFit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace kirmel::qt {
namespace {

// A title bar and border as window managers commonly draw them, for a
// window whose frame cannot be measured yet.
constexpr QMargins kTypicalFrame(5, 36, 5, 5);

// Set on a dialog this placed over its owner, which it places afresh on its
// next show; a dialog the program moved keeps its place.
constexpr const char* kPlaced = "kirmelPlacedOverOwner";

QMargins MeasuredFrame(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  const QRect inner = window->geometry();
  return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                  frame.right() - inner.right(), frame.bottom() - inner.bottom());
}

bool IsFittedWindow(const QWidget* widget) {
  const Qt::WindowType type = widget->windowType();
  return widget->isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

// A dialog opens over its owner, so on its owner's screen.
QScreen* ScreenOf(const QWidget* window) {
  if (const QWidget* owner = window->parentWidget()) return owner->window()->screen();
  return window->screen();
}

// One axis of FitFrame: the start and length of the fitted span.
void FitSpan(int start, int length, int minimum, int availableStart, int availableLength,
             int& fittedStart, int& fittedLength) {
  fittedLength = std::max(std::min(length, availableLength), minimum);
  const int last = availableStart + availableLength - fittedLength;  // the last start inside
  fittedStart = fittedLength > availableLength ? availableStart
                                               : std::clamp(start, availableStart, last);
}

}  // namespace

QMargins WindowFrameMargins(const QWidget* window) {
  if (window->isVisible()) {
    const QMargins own = MeasuredFrame(window);
    if (!own.isNull()) return own;
  }
  for (const QWidget* other : QApplication::topLevelWidgets()) {
    if (other == window || !other->isVisible() || !IsFittedWindow(other)) continue;
    const QMargins margins = MeasuredFrame(other);
    if (!margins.isNull()) return margins;
  }
  return kTypicalFrame;
}

QRect FitFrame(const QRect& frame, const QSize& minimum, const QRect& available) {
  int x = 0, y = 0, width = 0, height = 0;
  FitSpan(frame.x(), frame.width(), minimum.width(), available.x(), available.width(), x, width);
  FitSpan(frame.y(), frame.height(), minimum.height(), available.y(), available.height(), y,
          height);
  return QRect(x, y, width, height);
}

void FitToScreen(QWidget* window) {
  if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const QScreen* screen = ScreenOf(window);
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  const QMargins frame = WindowFrameMargins(window);
  const QSize minimum =
      window->minimumSize().expandedTo(window->minimumSizeHint()).grownBy(frame);
  // A window's position is that of its frame.
  QRect fitted = FitFrame(QRect(window->pos(), window->size().grownBy(frame)), minimum, available);

  // A dialog opens in the middle of its owner (of the screen without one)
  // each time, as Qt places it, unless the program moved it; the window
  // system places other windows that were not moved.
  const bool dialog = qobject_cast<QDialog*>(window) != nullptr;
  const bool moved = window->testAttribute(Qt::WA_Moved) && !window->property(kPlaced).toBool();
  const bool place = dialog && !moved;
  if (place) {
    const QWidget* owner = window->parentWidget();
    const QPoint centre = owner ? owner->window()->geometry().center() : available.center();
    fitted.moveTopLeft(centre - QPoint(fitted.width() / 2, fitted.height() / 2));
    fitted = FitFrame(fitted, minimum, available);
  }

  const QSize size = fitted.size().shrunkBy(frame);
  if (size != window->size()) window->resize(size);
  // Moved here, a dialog is not placed again by Qt as it shows.
  if (place || (moved && fitted.topLeft() != window->pos())) {
    window->move(fitted.topLeft());
    window->setProperty(kPlaced, place);
  }
}

TWindowFitting::TWindowFitting() { QCoreApplication::instance()->installEventFilter(this); }

TWindowFitting::~TWindowFitting() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool TWindowFitting::eventFilter(QObject* watched, QEvent* event) {
  // The show of a widget's window-system window: after the widget's own
  // show handling (where a message box takes its final size and Qt places
  // a dialog) and before the window is mapped, so it appears at its fitted
  // size and place.
  if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWindowType()) {
    const auto* handle = static_cast<const QWindow*>(watched);
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (widget->windowHandle() == handle) {
        if (IsFittedWindow(widget)) FitToScreen(widget);
        break;
      }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kirmel::qt
