// KirmelGUI on the command line: --help and --version before anything is
// touched, a refusal of what neither the program nor Qt knows, and one line
// instead of a crash when there is nowhere to draw.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Process.h"
#include "common/TempDir.h"
#include "frontend/gui/Program.h"
#include "platform/Version.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

const std::string kGui = std::string(KIRMEL_BINARY_DIR) + "/KirmelGUI";

// A scratch home and root; nothing exists under either at first.
struct Scratch {
  TempDir dir;
  std::string home = dir.file("home");
  std::string root = dir.file("root");
  Scratch() { fs::create_directories(home); }
  std::vector<std::string> Env(std::vector<std::string> more = {}) const {
    std::vector<std::string> env{"PATH=/usr/bin:/bin", "HOME=" + home, "KIRMEL_ROOT=" + root};
    env.insert(env.end(), more.begin(), more.end());
    return env;
  }
  // Everything the program left in the scratch directory.
  std::vector<std::string> Made() const { return Listing(dir.path()); }
};

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CommandLine, ArgumentsAndDisplays) {
  auto parse = [](std::vector<std::string> args) {
    args.insert(args.begin(), "KirmelGUI");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return gui::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  };
  EXPECT_EQ(parse({}), gui::TCommandAction::Start);
  EXPECT_EQ(parse({"-platform", "offscreen"}), gui::TCommandAction::Start);
  EXPECT_EQ(parse({"--help"}), gui::TCommandAction::Help);
  EXPECT_EQ(parse({"-style", "fusion", "-h"}), gui::TCommandAction::Help);
  EXPECT_EQ(parse({"--version", "--help"}), gui::TCommandAction::Version);

  auto display = [](std::vector<std::string> args, std::map<std::string, std::string> env) {
    args.insert(args.begin(), "KirmelGUI");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    return gui::HasDisplay(static_cast<int>(argv.size()), argv.data(),
                           [&](const char* name) { return env[name]; });
  };
  EXPECT_FALSE(display({}, {}));
  EXPECT_TRUE(display({}, {{"DISPLAY", ":0"}}));
  EXPECT_TRUE(display({}, {{"WAYLAND_DISPLAY", "wayland-0"}}));
  EXPECT_FALSE(display({}, {{"QT_QPA_PLATFORM", "xcb"}}));
  EXPECT_FALSE(display({}, {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}));
  EXPECT_TRUE(display({}, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":1"}}));
  EXPECT_TRUE(display({}, {{"QT_QPA_PLATFORM", "offscreen"}}));
  EXPECT_TRUE(display({}, {{"QT_QPA_PLATFORM", "minimal:enable_fonts"}}));
  EXPECT_TRUE(display({}, {{"QT_QPA_PLATFORM", "xcb;offscreen"}}));
  // The command line goes before the environment.
  EXPECT_TRUE(display({"-platform", "offscreen"}, {{"QT_QPA_PLATFORM", "xcb"}}));
  EXPECT_FALSE(display({"-platform", "xcb"}, {{"QT_QPA_PLATFORM", "offscreen"}}));
  EXPECT_TRUE(display({"--platform=vnc"}, {}));
  EXPECT_TRUE(display({"-display", ":2"}, {{"QT_QPA_PLATFORM", "xcb"}}));
}

TEST(CommandLine, HelpAndVersionPrintAndCreateNothing) {
  Scratch s;
  const TProcessResult help = RunProcess(kGui, {"--help"}, s.Env({"DISPLAY=:0"}));
  EXPECT_EQ(help.Status, 0) << help.Err;
  EXPECT_EQ(help.Err, "");
  const std::string& usage = help.Out;
  for (const std::string& part : std::vector<std::string>{
           "Usage: KirmelGUI", "KIRMEL_ROOT", "KIRMEL_EXECDIR", "KIRMEL_TERMINAL",
           "KIRMEL_SPLASH_MS", "RUNS/<scenario>+<pesticide>", "message.out", "$HOME/KIRMEL",
           "NLStandard_sp",
           // The root and the kernel's directory as they are now.
           "the root, now " + s.root + ":\n", "KirmelGUI), now " KIRMEL_BINARY_DIR "\n"})
    EXPECT_NE(usage.find(part), std::string::npos) << part << "\n" << usage;
  // Without KIRMEL_ROOT the root is under the home folder; -h is --help.
  const TProcessResult h = RunProcess(kGui, {"-platform", "offscreen", "-h"},
                                      {"PATH=/usr/bin:/bin", "HOME=" + s.home});
  EXPECT_EQ(h.Status, 0);
  EXPECT_NE(h.Out.find("the root, now " + s.home + "/KIRMEL:\n"), std::string::npos) << h.Out;

  const TProcessResult v = RunProcess(kGui, {"--version"}, s.Env());
  EXPECT_EQ(v.Status, 0);
  EXPECT_EQ(v.Out, "KirmelGUI " + version::gui() + " (KIRMEL " + version::kernel() + ")\n");
  EXPECT_EQ(s.Made(), std::vector<std::string>{"home"});
}

TEST(CommandLine, UnknownArgumentsAreRefusedAndQtOptionsTaken) {
  // With a window system at hand, so that only the arguments can stop the
  // program; a program that took a typo would open its window and stay.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--bogus"}, std::vector<std::string>{"--hepl"},
        std::vector<std::string>{"-platform", "offscreen", "-style", "fusion", "-bogus"},
        std::vector<std::string>{"scenario"}}) {
    SCOPED_TRACE(args.back());
    Scratch s;
    TChildProcess gui(kGui, args,
                      s.Env({"QT_QPA_PLATFORM=offscreen", "KIRMEL_SPLASH_MS=0", "XDG_RUNTIME_DIR=" + s.home}));
    ASSERT_TRUE(gui.Started());
    ASSERT_TRUE(WaitFor([&] { return gui.Ended(); }, 30000)) << "the program took " << args.back();
    const TProcessResult r = gui.Wait();
    EXPECT_EQ(r.Status, 2);
    const std::string what = args.back()[0] == '-' ? "unknown option " : "unexpected argument ";
    const std::string first = "KirmelGUI: " + what + args.back() + "\n\nUsage: KirmelGUI ";
    // (Qt may say something of its own before.)
    EXPECT_NE(r.Err.find(first), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("  --version         the version\n"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
    // No root: the program ended before it touched anything.
    EXPECT_EQ(s.Made(), std::vector<std::string>{"home"});
  }

  // Qt's own options are Qt's: the window opens on them (the root is made,
  // tidied and seeded), and the program runs until it is ended.
  Scratch s;
  const pid_t gone = ::fork();
  ASSERT_GE(gone, 0);
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  // The copy of the example that a killed start left.
  const std::string killedCopy =
      s.root + "/SCENARIOS/.NLStandard_sp.example-" + std::to_string(gone);
  fs::create_directories(killedCopy);
  TChildProcess gui(kGui, {"-platform", "offscreen", "-style", "fusion", "-qwindowgeometry", "700x500+10+10"},
                    s.Env({"KIRMEL_SPLASH_MS=0", "XDG_RUNTIME_DIR=" + s.home}));
  ASSERT_TRUE(gui.Started());
  ASSERT_TRUE(WaitFor([&] { return gui.Ended() || fs::is_directory(s.root + "/GUI"); }, 30000));
  ASSERT_FALSE(gui.Ended()) << gui.Wait().Err;
  gui.Terminate();
  EXPECT_EQ(gui.Wait().Err.find("unknown option"), std::string::npos);
  EXPECT_FALSE(fs::exists(killedCopy));
  EXPECT_TRUE(fs::exists(s.root + "/SCENARIOS/NLStandard_sp/WLNU.INP"));
}

TEST(CommandLine, WithoutADisplayOneLineAndStatusOne) {
  Scratch s;
  // No display at all; the X11 platform asked for without one.
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{}, std::vector<std::string>{"QT_QPA_PLATFORM=xcb"},
        std::vector<std::string>{"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=wayland-0"}}) {
    const TProcessResult r = RunProcess(kGui, {}, s.Env(extra));
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_EQ(r.Err, gui::NoDisplayText() + "\n");
    EXPECT_EQ(r.Out, "");
  }
  // A display that is not there: Qt's own abort is turned into one line.
  const TProcessResult r =
      RunProcess(kGui, {}, s.Env({"QT_QPA_PLATFORM=xcb", "DISPLAY=:7391", "XAUTHORITY=/dev/null"}));
  EXPECT_EQ(r.Signal, 0);
  EXPECT_EQ(r.Status, 1) << r.Err;
  EXPECT_EQ(Lines(r.Err), 1) << r.Err;
  EXPECT_EQ(r.Err.rfind("KirmelGUI: cannot open a window (", 0), 0u) << r.Err;
  EXPECT_NE(r.Err.find(":7391"), std::string::npos) << r.Err;
  EXPECT_EQ(s.Made(), std::vector<std::string>{"home"});
}

}  // namespace
}  // namespace kirmel::test
