// Working a window's controls from a test, by their object names.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QString>
#include <QWidget>

namespace kirmel::test {

// Runs the events waiting, such as queued redraws and closes.
inline void Settle() {
  for (int i = 0; i < 4; ++i) QApplication::processEvents();
}

// The child of `w` named `name`; a missing one fails the test.
template <class T = QWidget>
T* Child(QWidget* w, const QString& name) {
  T* c = w->findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name.toStdString();
  return c;
}

inline void Click(QWidget* w, const QString& name) { Child<QAbstractButton>(w, name)->click(); }

}  // namespace kirmel::test
