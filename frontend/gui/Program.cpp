#include "frontend/gui/Program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "frontend/editor/Editor.h"
#include "frontend/editor/Examples.h"
#include "frontend/gui/About.h"
#include "frontend/gui/MainForm.h"
#include "frontend/model/Numbers.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/WindowFit.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "platform/Paths.h"
#include "platform/Version.h"

namespace kirmel::gui {

int SplashMilliseconds() {
  constexpr int kDefault = 3500;
  const char* text = std::getenv("KIRMEL_SPLASH_MS");
  int ms = 0;
  if (text && fe::TryStrToInt(text, ms) && ms >= 0) return ms;
  return kDefault;
}

TCommandAction ParseCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return TCommandAction::Help;
    if (arg == "--version") return TCommandAction::Version;
  }
  return TCommandAction::Start;
}

std::string ProcessEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string VersionText() {
  return "KirmelGUI " + fe::TKirmelEditor::Version() + " (KIRMEL " + version::kernel() + ")";
}

std::string UsageText() {
  const std::string root = paths::root();
  const std::string kernel = paths::kernelDir();
  std::string t;
  t += "Usage: KirmelGUI [--help | -h | --version] [Qt options]\n";
  t += "\n";
  t += "Opens the KIRMEL main window: it edits scenarios and pesticides, runs the\n";
  t += "kernel KIRMEL_12 on a scenario and a pesticide, and shows the results.\n";
  t += "It needs a display; KIRMEL_12 runs without one.\n";
  t += "\n";
  t += "Everything is kept under the root, now " + root + ":\n";
  t += "  SCENARIOS/<scenario>          the scenario's input files\n";
  t += "  PESTICIDES/<pesticide>        the pesticide's input file SU.INP\n";
  t += "  RUNS/<scenario>+<pesticide>   a run: FILES.INP and RUN.BAT, and the kernel's\n";
  t += "                                output files (*.out, message.out)\n";
  t += "  GUI                           the help file (Kirmel.html or Kirmel.pdf)\n";
  t += "A root without scenarios gets the example scenario NLStandard_sp and\n";
  t += "pesticide Cpf; the program opens on them when they are there.\n";
  t += "\n";
  t += "Environment:\n";
  t += "  KIRMEL_ROOT       the root (else $HOME/KIRMEL)\n";
  t += "  KIRMEL_EXECDIR    the directory of KIRMEL_12 (else the directory of\n";
  t += "                    KirmelGUI), now " + kernel + "\n";
  t += "  KIRMEL_TERMINAL   the terminal a run is shown in, given -e /bin/sh RUN.BAT ...\n";
  t += "                    (else x-terminal-emulator, else xterm; without any, the\n";
  t += "                    run's console output goes to RUN.LOG in the run folder)\n";
  t += "  KIRMEL_SPLASH_MS  how long the splash stays up, in milliseconds (else 3500)\n";
  t += "\n";
  t += "Options:\n";
  t += "  -h, --help        this text\n";
  t += "  --version         the version\n";
  t += "Qt's own options (-platform NAME, -style NAME, -qwindowgeometry WxH+X+Y;\n";
  t += "with X11 also -display, -geometry, ...) are taken too; any other argument\n";
  t += "is refused with this text and status 2.\n";
  return t;
}

namespace {

// The platform names of a -platform argument or QT_QPA_PLATFORM: a list
// separated by ';', each name perhaps followed by ':' and its options.
std::vector<std::string> PlatformNames(const std::string& value) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    std::string entry = value.substr(start, end - start);
    entry = entry.substr(0, entry.find(':'));
    if (!entry.empty()) names.push_back(entry);
    start = end + 1;
  }
  return names;
}

// The value of a Qt option given as "-name value", "--name value" or
// "-name=value"; nullptr when it is not there.
const char* QtOption(int argc, char** argv, const char* name) {
  const std::string single = std::string("-") + name;
  const std::string twice = "-" + single;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == single || arg == twice) && i + 1 < argc) return argv[i + 1];
    for (const std::string& form : {single, twice})
      if (arg.rfind(form + "=", 0) == 0) return argv[i] + form.size() + 1;
  }
  return nullptr;
}

}  // namespace

bool HasDisplay(int argc, char** argv, const TGetEnv& env) {
  const char* platformArg = QtOption(argc, argv, "platform");
  const std::vector<std::string> platforms =
      PlatformNames(platformArg ? platformArg : env("QT_QPA_PLATFORM"));
  const bool x11 = !env("DISPLAY").empty() || QtOption(argc, argv, "display") != nullptr;
  if (platforms.empty()) return x11 || !env("WAYLAND_DISPLAY").empty();
  for (const std::string& name : platforms)
    if (name != "xcb" || x11) return true;
  return false;
}

std::string NoDisplayText() {
  return "KirmelGUI: no display found (DISPLAY and WAYLAND_DISPLAY are not set); "
         "set DISPLAY, or run the kernel KIRMEL_12 alone.";
}

namespace {

// While the application object is made, Qt's messages are held back: when
// the window system cannot be started, Qt ends the program with a fatal
// message (and a core dump); the program says instead in one line why, and
// ends with status 1.  Otherwise the messages go out as they would have.
struct THeldMessage {
  QtMsgType Type;
  std::string Category;
  QString Text;
};

QtMessageHandler gPreviousHandler = nullptr;
std::vector<THeldMessage>* gHeld = nullptr;

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    // The platform plugin's first warning says best what went wrong
    // ("could not connect to display :5"); else the first line of the fatal
    // message.
    QString reason = text.section(QChar('\n'), 0, 0);
    if (gHeld) {
      for (const THeldMessage& m : *gHeld) {
        if (m.Category.rfind("qt.qpa", 0) == 0 && m.Type != QtDebugMsg && m.Type != QtInfoMsg) {
          reason = m.Text.section(QChar('\n'), 0, 0);
          break;
        }
      }
    }
    std::fprintf(stderr,
                 "KirmelGUI: cannot open a window (%s); set DISPLAY to a running X server, "
                 "or run the kernel KIRMEL_12 alone.\n",
                 reason.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
  }
  if (gHeld) gHeld->push_back({type, context.category ? context.category : "", text});
}

void ReleaseStartMessages() {
  qInstallMessageHandler(gPreviousHandler);
  std::vector<THeldMessage> held = std::move(*gHeld);
  delete gHeld;
  gHeld = nullptr;
  for (const THeldMessage& m : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.Category.c_str());
    if (gPreviousHandler)
      gPreviousHandler(m.Type, context, m.Text);
    else
      qt_message_output(m.Type, context, m.Text);
  }
}

}  // namespace

int RunKirmelGui(int argc, char** argv) {
  switch (ParseCommandLine(argc, argv)) {
    case TCommandAction::Help:
      std::fputs(UsageText().c_str(), stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    case TCommandAction::Version:
      std::printf("%s\n", VersionText().c_str());
      return std::fflush(stdout) == 0 ? 0 : 1;
    case TCommandAction::Start:
      break;
  }
  if (!HasDisplay(argc, argv)) {
    std::fprintf(stderr, "%s\n", NoDisplayText().c_str());
    return 1;
  }

  gHeld = new std::vector<THeldMessage>;
  gPreviousHandler = qInstallMessageHandler(HoldStartMessage);
  QApplication app(argc, argv);
  ReleaseStartMessages();
  // Qt has taken its own options (-platform, -style, ...) and those of the
  // chosen platform (with X11 -display, -geometry, ...) out of argv.  The
  // program takes no other argument: whatever is left is a typo or unknown,
  // and the window does not open.
  if (argc > 1) {
    const bool option = argv[1][0] == '-';
    std::fprintf(stderr, "KirmelGUI: %s %s\n\n%s", option ? "unknown option" : "unexpected argument",
                 argv[1], UsageText().c_str());
    return 2;
  }
  QApplication::setApplicationName(QStringLiteral("KIRMEL-GUI"));
  viewer::ShowReaderMessagesAsErrors();
  qt::TWindowFitting fitting;  // every window opens inside its screen

  TSplashForm splash;
  splash.show();
  QElapsedTimer shown;
  shown.start();
  app.processEvents();

  // What killed programs left is put right first; then a root without
  // scenarios starts with the example.
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  fe::TidyRoot(paths::root(), programDir);
  const fe::TSeedResult seeded = fe::SeedRootWithExample(paths::root(), programDir);

  TMainForm main;
  // The splash stays up at least its time while the event loop runs; then
  // the main window takes its place.
  const qint64 left = std::max<qint64>(0, SplashMilliseconds() - shown.elapsed());
  QTimer::singleShot(static_cast<int>(left), &main, [&] {
    splash.hide();
    main.show();
    if (!seeded.Error.empty())
      QTimer::singleShot(0, &main, [&] { qt::ShowError(seeded.Error); });
  });
  return app.exec();
}

}  // namespace kirmel::gui
