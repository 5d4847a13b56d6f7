// The program KirmelGUI: command line, splash, main window, message loop.
#pragma once

#include <functional>
#include <string>

namespace kirmel::gui {

// How long the splash stays up at least: 3500 ms, or KIRMEL_SPLASH_MS from
// the environment (a whole number of milliseconds, 0 or more).
int SplashMilliseconds();

// What the command line asks for before anything else happens.
enum class TCommandAction { Start, Help, Version };
// --help or -h: Help; --version: Version (the first of them counts); any
// other argument is left to Qt, and what Qt does not take is refused.
TCommandAction ParseCommandLine(int argc, char** argv);

// The usage that --help prints: what the program opens, its root and the
// environment variables it reads, with the values they have now.
std::string UsageText();
// The line that --version prints.
std::string VersionText();

// A variable of the environment, "" when unset.
using TGetEnv = std::function<std::string(const char*)>;
std::string ProcessEnv(const char* name);

// True when the window system has somewhere to draw: the platform chosen by
// -platform or QT_QPA_PLATFORM is one other than xcb (offscreen, minimal,
// wayland, ...), or it is xcb or unset and there is a display (DISPLAY or
// -display; with the platform unset, WAYLAND_DISPLAY too).
bool HasDisplay(int argc, char** argv, const TGetEnv& env = ProcessEnv);

// The one line on standard error when there is no display.
std::string NoDisplayText();

// Runs the program; returns its exit status.  --help and --version print
// and end at once, and without a display the program says so and ends with
// status 1; an argument that neither the program nor Qt takes ends it with
// the usage on standard error and status 2.  All of this happens before any
// window or the root is touched.
int RunKirmelGui(int argc, char** argv);

}  // namespace kirmel::gui
