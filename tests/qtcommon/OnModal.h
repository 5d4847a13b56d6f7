// Acting on a modal window from inside a test: the window's exec() runs its
// own event loop, so the test's action waits on a timer for it to come up.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

namespace kirmel::test {

// Runs `act` on the next modal window of type T once it is up (it must
// close it); a window that does not come within 60 s (only a guard against
// a hang: a busy machine may take seconds) fails the test and whatever is
// modal then is closed.
template <class T>
void OnModal(std::function<void(T*)> act) {
  auto* timer = new QTimer(QCoreApplication::instance());
  QElapsedTimer clock;
  clock.start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
    if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
      timer->stop();
      timer->deleteLater();
      act(w);
      if (w->isVisible()) {
        ADD_FAILURE() << "the modal window was left open";
        w->reject();
      }
    } else if (clock.elapsed() > 60000) {
      ADD_FAILURE() << "no modal " << T::staticMetaObject.className();
      timer->stop();
      timer->deleteLater();
      if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
    }
  });
  timer->start(5);
}

}  // namespace kirmel::test
