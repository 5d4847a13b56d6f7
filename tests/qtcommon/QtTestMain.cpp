// main of the GUI test programs: one QApplication for all tests, offscreen
// unless the environment asks for another platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!std::getenv("KIRMEL_SPLASH_MS")) setenv("KIRMEL_SPLASH_MS", "0", 1);
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
