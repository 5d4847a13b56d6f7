// The open times of the results viewer's windows on one run, and the read
// rate of the water-layer concentration file beside a floor: the same bytes
// mapped and every number converted with std::from_chars.  Run offscreen
// (QT_QPA_PLATFORM=offscreen) by bench/viewer.sh.
//
//   kirmel_viewer_bench RUN_DIR             every window, opened twice
//   kirmel_viewer_bench --endless RUN_DIR   only the concentration window,
//                                           on a run whose WLSOCO.OUT is
//                                           one endless line
//
// An open is timed from the graph menu's "View" (or the "Compare" button's
// call) to the window shown with its event loop running; the first open
// after the cache was emptied reads the files, the second finds them in the
// cache.  Peak memory is the process's largest resident set (ru_maxrss).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/editor/Parser.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/viewer/OutputCache.h"
#include "frontend/viewer/WLSOCO.h"
#include "frontend/viewer/windows/Compare.h"
#include "frontend/viewer/windows/CompareConc.h"
#include "frontend/viewer/windows/CompareConcTime.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "frontend/viewer/windows/GraphWindow.h"

using namespace kirmel;

namespace {

double PeakMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Closes the next window that shows and whose class is `className` (any
// dialog when empty) once its event loop runs, noting the time it showed.
class TShowWatch : public QObject {
 public:
  explicit TShowWatch(std::string className) : className_(std::move(className)) {
    qApp->installEventFilter(this);
  }
  ~TShowWatch() override { qApp->removeEventFilter(this); }
  bool Seen() const { return seen_; }
  std::chrono::steady_clock::time_point At() const { return at_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!seen_ && event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (w->isWindow() && (className_.empty() || className_ == w->metaObject()->className())) {
        seen_ = true;
        auto* dialog = qobject_cast<QDialog*>(w);
        QMetaObject::invokeMethod(
            w,
            [this, dialog] {
              at_ = std::chrono::steady_clock::now();
              if (dialog) dialog->reject();
            },
            Qt::QueuedConnection);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::string className_;
  bool seen_ = false;
  std::chrono::steady_clock::time_point at_;
};

// Seconds from `open` to the window of `className` shown; -1 when it did
// not show.
double TimeOpen(const std::string& className, const std::function<void()>& open) {
  TShowWatch watch(className);
  const auto start = std::chrono::steady_clock::now();
  open();
  if (!watch.Seen()) return -1;
  return std::chrono::duration<double>(watch.At() - start).count();
}

// The floor: the file mapped, split at blanks and line ends, and every
// token converted with std::from_chars.  Returns seconds; `numbers` gets the
// count converted.
double MapAndConvert(const std::string& path, long& numbers) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return -1;
  struct stat st;
  ::fstat(fd, &st);
  const auto size = static_cast<std::size_t>(st.st_size);
  const auto start = std::chrono::steady_clock::now();
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  const char* p = static_cast<const char*>(map);
  const char* end = p + size;
  numbers = 0;
  double sum = 0;
  while (p < end) {
    while (p < end && (*p == ' ' || *p == '\n' || *p == '\r')) ++p;
    const char* t = p;
    while (p < end && *p != ' ' && *p != '\n' && *p != '\r') ++p;
    double v = 0;
    if (std::from_chars(t, p, v).ec == std::errc()) {
      sum += v;
      ++numbers;
    }
  }
  ::munmap(map, size);
  const double seconds = Seconds(start);
  ::close(fd);
  if (sum == 1.5) std::puts("");  // keeps the conversions
  return seconds;
}

void ReadRate(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return;
  const double mb = static_cast<double>(st.st_size) / (1024.0 * 1024.0);
  double floor = 1e9, reader = 1e9;
  long numbers = 0;
  for (int i = 0; i < 3; ++i) floor = std::min(floor, MapAndConvert(path, numbers));
  fe::Parser quiet;
  for (int i = 0; i < 3; ++i) {
    fe::TWLSOCOList list;
    const auto start = std::chrono::steady_clock::now();
    list.ReadFile(path, quiet);
    reader = std::min(reader, Seconds(start));
  }
  std::printf("WLSOCO.OUT %.1f MB (%ld numbers)\n", mb, numbers);
  std::printf("  floor (map + from_chars of every number): %7.1f ms  %6.2f ms/MB  %7.0f MB/s\n",
              floor * 1e3, floor * 1e3 / mb, mb / floor);
  std::printf("  reader (TWLSOCOList, uncached):           %7.1f ms  %6.2f ms/MB  %7.0f MB/s\n",
              reader * 1e3, reader * 1e3 / mb, mb / reader);
  std::printf("  reader / floor: %.2f\n", reader / floor);
}

int Bench(const std::string& run) {
  struct TWindow {
    const char* Name;
    const char* ClassName;
    std::function<void()> Open;
  };
  auto menu = std::make_shared<viewer::TGraphMenuForm>();
  menu->OutputDir = run;
  auto view = [menu](int type) {
    return [menu, type] {
      menu->SetGraphType(type);
      menu->ViewButtonClick();
    };
  };
  const std::string title = "Concentration of pesticide in waterbody";
  const std::vector<TWindow> windows = {
      {"Concentration in waterbody", "kirmel::viewer::TConcentrationGraphForm", view(0)},
      {"Concentration in time", "kirmel::viewer::TConcentrationTimeGraphForm", view(1)},
      {"Distribution", "kirmel::viewer::TDistributionGraphForm", view(2)},
      {"Mass balance water layer", "kirmel::viewer::TMassBalanceWLGraphForm", view(3)},
      {"Mass balance sediment", "kirmel::viewer::TMassBalanceSedGraphForm", view(4)},
      {"Compare at one time (water layer)", "kirmel::viewer::TFrmCompareConc",
       [&] { viewer::OpenCompareConc(nullptr, title, viewer::kCompareWaterLayer, run, 0); }},
      {"Compare at one time (sediment)", "kirmel::viewer::TFrmCompareConc",
       [&] { viewer::OpenCompareConc(nullptr, title, viewer::kCompareSediment, run, 1); }},
      {"Compare in time (water layer)", "kirmel::viewer::TFrmCompareConcTime",
       [&] { viewer::OpenCompareConcTime(nullptr, title, viewer::kCompareWaterLayer, run); }},
      {"Compare in time (sediment)", "kirmel::viewer::TFrmCompareConcTime",
       [&] { viewer::OpenCompareConcTime(nullptr, title, viewer::kCompareSediment, run); }},
  };
  menu->show();
  std::printf("memory before any window: %.0f MB\n", PeakMB());
  std::printf("%-36s %10s %10s\n", "window", "first (s)", "second (s)");
  double worst = 0;
  for (const TWindow& w : windows) {
    fe::TOutputCache::Viewer().Clear();
    const double first = TimeOpen(w.ClassName, w.Open);
    const double second = TimeOpen(w.ClassName, w.Open);
    worst = std::max({worst, first, second});
    std::printf("%-36s %10.3f %10.3f\n", w.Name, first, second);
  }
  std::printf("slowest open: %.3f s; cache %.1f MB in %zu tables\n", worst,
              static_cast<double>(fe::TOutputCache::Viewer().MemoryBytes()) / (1024.0 * 1024.0),
              fe::TOutputCache::Viewer().Count());
  std::printf("peak memory after the windows: %.0f MB\n", PeakMB());
  ReadRate(run + "/wlsoco.out");
  std::printf("peak memory with the floor's mapping of the file: %.0f MB\n", PeakMB());
  return 0;
}

int Endless(const std::string& run) {
  auto* dialogs = static_cast<qt::TScriptedDialogs*>(&qt::TheDialogs());
  viewer::TGraphMenuForm menu;
  menu.OutputDir = run;
  menu.SetGraphType(0);
  const auto start = std::chrono::steady_clock::now();
  const double shown = TimeOpen("kirmel::viewer::TConcentrationGraphForm", [&] { menu.ViewButtonClick(); });
  std::printf("endless WLSOCO.OUT: window %s after %.3f s; peak memory %.0f MB\n",
              shown >= 0 ? "shown" : "not shown", Seconds(start), PeakMB());
  for (const std::string& e : dialogs->Errors()) std::printf("  message: %s\n", e.c_str());
  return dialogs->Errors().empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  auto scripted = std::make_unique<qt::TScriptedDialogs>();
  scripted->SetStrict(false);
  qt::InstallDialogs(std::move(scripted));
  viewer::ShowReaderMessagesAsErrors();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "--endless") return Endless(args[1]);
  if (args.size() == 1) return Bench(args[0]);
  std::fprintf(stderr, "usage: kirmel_viewer_bench [--endless] RUN_DIR\n");
  return 2;
}
