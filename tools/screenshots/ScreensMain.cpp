// KirmelScreens OUT_DIR [RUN_DIR]: starts the main window on the root
// ($KIRMEL_ROOT), renders every registered window to OUT_DIR, and ends with
// status 0 only when every window it should draw was drawn, inside its
// screen, and written, and no error dialog came up.  Error and information
// dialogs are listed on standard error.  The viewer's windows show a copy of
// RUN_DIR; RUN_DIR itself is only read.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>

#include "frontend/editor/Directories.h"
#include "frontend/gui/MainForm.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/WindowFit.h"
#include "platform/Paths.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

namespace fs = std::filesystem;

std::map<std::string, TScreenFunction>& Registry() {
  static std::map<std::string, TScreenFunction> registry;
  return registry;
}

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    QThread::msleep(20);
  }
}

// A copy of the run directory in root/RUNS, where the comparisons look for
// runs: under the run's own name, or with a number added ("S+P-2") when
// root/RUNS already holds that name.  The windows read the copy and run
// control writes into root/RUNS, so nothing is ever written into the run
// directory the tool was given.  The files keep their modification times,
// by which the viewer tells a recorded exit status from a stale one.
// Empty, with `error` set, when no copy can be made.
std::string CopyRunIntoRoot(const std::string& dir, const std::string& root,
                            std::string& error) {
  std::error_code ec;
  const fs::path runs = fs::path(root) / "RUNS";
  fs::create_directories(runs, ec);
  const std::string name = fe::ExtractLastDirectory(dir);
  for (int n = 1; n <= 100; ++n) {
    const fs::path copy = runs / (n == 1 ? name : name + "-" + std::to_string(n));
    if (fs::exists(fs::symlink_status(copy, ec))) continue;
    fs::copy(dir, copy, fs::copy_options::recursive, ec);
    if (ec) {
      error = "Cannot copy " + dir + " to " + copy.string() + ": " + ec.message();
      fs::remove_all(copy, ec);
      return {};
    }
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir, ec)) {
      std::error_code ignored;
      if (e.is_regular_file(ignored))
        fs::last_write_time(copy / fs::relative(e.path(), dir, ignored),
                            e.last_write_time(ignored), ignored);
    }
    return copy.string();
  }
  error = "No free name for a copy of " + dir + " in " + runs.string();
  return {};
}

// Whether the window, frame and all, lies inside the available geometry of
// its screen; else `why` says whether it is larger than the screen or where
// it reaches beyond it.
bool OnScreen(const QWidget* window, std::string& why) {
  const QScreen* screen = window->screen();
  if (!screen) return true;
  const QRect frame = window->frameGeometry();
  const QRect available = screen->availableGeometry();
  if (available.contains(frame)) return true;
  const bool larger =
      frame.width() > available.width() || frame.height() > available.height();
  why = std::string(larger ? "is larger than the screen" : "reaches beyond the screen") +
        ": frame " + std::to_string(frame.width()) + "x" + std::to_string(frame.height()) +
        " at " + std::to_string(frame.x()) + "," + std::to_string(frame.y()) + ", screen " +
        std::to_string(available.width()) + "x" + std::to_string(available.height()) + " at " +
        std::to_string(available.x()) + "," + std::to_string(available.y());
  return false;
}

// Whether the character ends a path at that place (it cannot be part of a
// file name that goes on).
bool EndsName(char c) {
  return !(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '+');
}

}  // namespace

TScreenRegistrar::TScreenRegistrar(const char* key, TScreenFunction render) {
  Registry()[key] = render;
}

void TScreenContext::Save(QWidget* window, const std::string& name) {
  if (!window->isVisible()) window->show();
  window->raise();
  Settle();
  if (!window->isVisible()) {
    Fail(name, "the window closed itself");
    return;
  }
  const std::string file = OutDir + "/" + name + ".png";
  std::string offScreen;
  if (!OnScreen(window, offScreen)) Report(name, offScreen + " (written all the same)");
  if (window->grab().save(QString::fromStdString(file), "PNG"))
    std::printf("%s\n", file.c_str());
  else
    Fail(name, "could not write " + file);
}

void TScreenContext::Fail(const std::string& name, const std::string& why) {
  Report(name, "left out: " + why);
}

void TScreenContext::Report(const std::string& what, const std::string& text) {
  Note(what, text);
  ++Failures;
}

void TScreenContext::Note(const std::string& what, const std::string& text) const {
  // The lines of a message, joined by CR, each on a line of its own.
  std::string lines;
  for (const char c : AsGiven(text)) lines += c == '\r' ? std::string("\n    ") : std::string(1, c);
  std::fprintf(stderr, "%s %s\n", what.c_str(), lines.c_str());
}

std::string TScreenContext::AsGiven(std::string text) const {
  if (RunDir.empty() || GivenRunDir.empty()) return text;
  for (std::size_t at = text.find(RunDir); at != std::string::npos;
       at = text.find(RunDir, at)) {
    const std::size_t end = at + RunDir.size();
    if (end < text.size() && !EndsName(text[end])) {
      at = end;
      continue;
    }
    text.replace(at, RunDir.size(), GivenRunDir);
    at += GivenRunDir.size();
  }
  return text;
}

}  // namespace kirmel::screens

int main(int argc, char** argv) {
  using namespace kirmel;
  QApplication app(argc, argv);
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: KirmelScreens OUT_DIR [RUN_DIR]\n");
    return 2;
  }
  const std::string outDir = argv[1];
  const std::string runDir = argc > 2 ? argv[2] : "";
  if (!QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "Cannot create the folder %s\n", outDir.c_str());
    return 2;
  }
  std::error_code ec;
  if (!runDir.empty() && !std::filesystem::is_directory(runDir, ec)) {
    std::fprintf(stderr, "The run directory %s is no folder\n", runDir.c_str());
    return 2;
  }
  const std::string givenRun =
      runDir.empty() ? std::string()
                     : fe::StripTrailingSeparator(
                           std::filesystem::absolute(runDir, ec).lexically_normal().string());
  std::string runCopy;
  if (!runDir.empty()) {
    std::string error;
    runCopy = screens::CopyRunIntoRoot(givenRun, paths::root(), error);
    if (runCopy.empty()) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 2;
    }
  }
  qt::TWindowFitting fitting;  // as the program opens its windows

  // No dialog may wait for a user: every one is logged and cancelled.
  auto dialogs = std::make_unique<qt::TScriptedDialogs>();
  dialogs->SetStrict(false);
  qt::TScriptedDialogs* log = dialogs.get();
  qt::InstallDialogs(std::move(dialogs));

  gui::TMainForm main;
  main.show();
  main.StartUp();
  screens::TScreenContext context{outDir, runCopy, givenRun, paths::root(), main};
  // No window is drawn to show a dialog, so each one is listed with the
  // area that brought it up: an error dialog is a failure of that area, an
  // information dialog only said.
  std::size_t seen = 0;
  auto reportDialogs = [&](const std::string& area) {
    const std::vector<qt::TDialogRecord>& records = log->Records();
    for (; seen < records.size(); ++seen) {
      if (records[seen].Kind == qt::TDialogKind::Error)
        context.Report("Error dialog in " + area + ":", records[seen].Text);
      else if (records[seen].Kind == qt::TDialogKind::Information)
        context.Note("Information dialog in " + area + ":", records[seen].Text);
    }
  };
  reportDialogs("start-up");
  for (const auto& [key, render] : screens::Registry()) {
    render(context);
    reportDialogs(key);
  }

  main.hide();
  qt::InstallDialogs(nullptr);
  if (!runCopy.empty()) std::filesystem::remove_all(runCopy, ec);
  if (context.Failures > 0)
    std::fprintf(stderr, "%d failure(s): not every window was drawn as it should be\n",
                 context.Failures);
  return context.Failures == 0 ? 0 : 1;
}
