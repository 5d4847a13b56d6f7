// The program KirmelGUI: splash, main window, message loop.
#pragma once

namespace kirmel::gui {

// How long the splash stays up at least: 3500 ms, or KIRMEL_SPLASH_MS from
// the environment (a whole number of milliseconds, 0 or more).
int SplashMilliseconds();

// Runs the program; returns its exit status.
int RunKirmelGui(int argc, char** argv);

}  // namespace kirmel::gui
