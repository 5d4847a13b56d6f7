// Whole runs: the example through the KIRMEL_12 program as the front end
// starts it, short in-process runs for the progress lines and the end
// summary, and the stops on console signals and floating-point faults.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cfenv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/SmallFilesystem.h"
#include "input_fixture.h"
#include "platform/Version.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

// Lays the example out under `root` as the front end does and returns the
// run directory; FILES.INP there holds absolute paths.
fs::path layOutExample(const fs::path& root) {
  const fs::path ex = fs::path(KIRMEL_SOURCE_DIR) / "examples";
  fs::create_directories(root / "SCENARIOS");
  fs::create_directories(root / "PESTICIDES");
  fs::copy(ex / "SCENARIOS" / "NLStandard_sp", root / "SCENARIOS" / "NLStandard_sp");
  fs::copy(ex / "PESTICIDES" / "Cpf", root / "PESTICIDES" / "Cpf");
  const fs::path run = root / "RUNS" / "NLStandard_sp+Cpf";
  fs::create_directories(run);
  const fs::path s = root / "SCENARIOS" / "NLStandard_sp";
  std::ofstream f(run / "FILES.INP", std::ios::binary);
  const char* keys[] = {"opoutinp", "wlnuinp", "wlpainp", "wlstinp", "wbnuinp",
                        "wbpainp",  "wbstinp", "hyinp",   "suinp",   "slinp"};
  const char* files[] = {"OPOUT", "WLNU", "WLPA", "WLST", "WBNU", "WBPA", "WBST", "HY", "SU", "SL"};
  for (int n = 0; n < 10; ++n) {
    fs::path p = n == 8 ? root / "PESTICIDES" / "Cpf" / "SU.INP" : s / (std::string(files[n]) + ".INP");
    f << "  " << keys[n] << " = '" << p.string() << "'\r\n";
  }
  return run;
}

struct Child {
  pid_t pid = -1;
  int fd = -1;
  int in = -1;  // write end of its standard input, when it reads a pipe
};

// Starts KIRMEL_12 in `dir` with the names file as its argument, stdout into
// a pipe, and stdin from /dev/null or, with `pipedInput`, from a pipe that
// stays open without a line until the test closes it.
Child startKernel(const fs::path& dir, const std::string& names, bool pipedInput = false) {
  int p[2];
  int q[2] = {-1, -1};
  if (pipe(p) != 0 || (pipedInput && pipe(q) != 0)) return {};
  pid_t pid = fork();
  if (pid == 0) {
    dup2(p[1], 1);
    dup2(p[1], 2);
    close(p[0]);
    close(p[1]);
    int input = pipedInput ? q[0] : open("/dev/null", O_RDONLY);
    dup2(input, 0);
    if (pipedInput) close(q[1]);
    if (chdir(dir.c_str()) != 0) _exit(126);
    const std::string exe = std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12";
    execl(exe.c_str(), "KIRMEL_12", names.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(p[1]);
  if (pipedInput) close(q[0]);
  return {pid, p[0], q[1]};
}

// The names of the data-file library's cache files in `dir`.
std::vector<std::string> cacheFiles(const fs::path& dir) {
  std::vector<std::string> found;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().rfind("RD$", 0) == 0) found.push_back(e.path().filename());
  return found;
}

std::string readAll(int fd) {
  std::string out;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
  close(fd);
  return out;
}

TEST(DriverRun, ExampleEndToEnd) {
  if (!fs::exists(std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12")) GTEST_SKIP() << "KIRMEL_12 not built";
  TempDir root;
  const fs::path run = layOutExample(root.path());
  Child c = startKernel(run, (run / "FILES.INP").string());
  ASSERT_GT(c.pid, 0);
  const std::string out = readAll(c.fd);
  int status = 0;
  waitpid(c.pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << out;

  std::string expected;
  for (int d = 0; d <= 30; ++d) {
    char line[64];
    std::snprintf(line, sizeof line, " Time simulated: %5.1f d\n", static_cast<double>(d));
    expected += line;
  }
  expected += "      end of simulation\nStop - Program terminated.\n";
  EXPECT_EQ(out, expected);

  const std::string msg = readFile((run / "message.out").string());
  EXPECT_EQ(msg.find("Error"), std::string::npos) << msg;
  EXPECT_EQ(msg.find("Warning"), std::string::npos) << msg;
  for (const char* f : {"input.out", "wlsoco.out", "wlmb.out", "wbmball.out", "dbdit.out", "wbsco001.out",
                        "wbsco080.out", "db001.out", "db080.out", "ec001.out", "ec080.out"})
    EXPECT_TRUE(fs::exists(run / f)) << f;
  for (const char* f : {"icwlhy.out", "icwb.out", "wlmb001.out", "wbmb001.out"})
    EXPECT_FALSE(fs::exists(run / f)) << f;
  // The library's cache files are gone.
  for (const auto& e : fs::directory_iterator(run))
    EXPECT_NE(e.path().extension(), ".TMP") << e.path();
}

TEST(DriverRun, ConsoleSignalEndsTheRun) {
  if (!fs::exists(std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12")) GTEST_SKIP() << "KIRMEL_12 not built";
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir root;
    const fs::path run = layOutExample(root.path());
    Child c = startKernel(run, (run / "FILES.INP").string());
    ASSERT_GT(c.pid, 0);
    // Wait for the first simulated day, then signal.
    std::string out;
    char buf[256];
    ssize_t n;
    while (out.find("1.0 d") == std::string::npos && (n = read(c.fd, buf, sizeof buf)) > 0)
      out.append(buf, static_cast<std::size_t>(n));
    kill(c.pid, sig);
    out += readAll(c.fd);
    int status = 0;
    waitpid(c.pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << sig;
    EXPECT_NE(WEXITSTATUS(status), 0);
    const char* event = sig == SIGINT ? "control-C" : sig == SIGTERM ? "control-BREAK" : "window-CLOSE";
    const std::string line = std::string("program aborting due to ") + event + " event\n";
    EXPECT_NE(out.find(line), std::string::npos) << out;
    EXPECT_EQ(out.find("end of simulation"), std::string::npos);
    EXPECT_NE(readFile((run / "message.out").string()).find(line), std::string::npos);
    // What was written up to the stop is on disk.
    EXPECT_NE(readFile((run / "wlsoco.out").string()).find("   0.500"), std::string::npos);
  }
}

TEST(DriverRun, FatalStopLeavesNoCacheFiles) {
  if (!fs::exists(std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12")) GTEST_SKIP() << "KIRMEL_12 not built";
  // A value out of range in the sixth file: five cache files exist when the
  // library stops.  Once the wait for Enter ends at the end of input, once
  // by control-C while it waits on a console that gives no line.
  for (bool signalled : {false, true}) {
    TempDir root;
    const fs::path run = layOutExample(root.path());
    const fs::path hy = root.path() / "SCENARIOS" / "NLStandard_sp" / "HY.INP";
    std::string text = readFile(hy.string());
    text.replace(text.find("te = 283."), 9, "te = 400.");
    std::ofstream(hy, std::ios::binary) << text;
    Child c = startKernel(run, (run / "FILES.INP").string(), signalled);
    ASSERT_GT(c.pid, 0);
    std::string out;
    if (signalled) {
      char buf[256];
      ssize_t n;
      while (out.find("press <Enter>") == std::string::npos && (n = read(c.fd, buf, sizeof buf)) > 0)
        out.append(buf, static_cast<std::size_t>(n));
      kill(c.pid, SIGINT);
      // A wait that the signal does not end would last for ever: after 60 s
      // the console ends instead, and the checks below fail.
      pollfd pf{c.fd, POLLIN, 0};
      if (poll(&pf, 1, 60000) == 0) {
        ADD_FAILURE() << "the signal did not end the wait";
        close(c.in);
        c.in = -1;
      }
    }
    out += readAll(c.fd);
    int status = 0;
    waitpid(c.pid, &status, 0);
    if (c.in >= 0) close(c.in);
    ASSERT_TRUE(WIFEXITED(status)) << out;
    EXPECT_EQ(WEXITSTATUS(status), signalled ? 128 + SIGINT : 1) << out;
    EXPECT_NE(out.find("                 in file " + hy.string() + "\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("program aborting due to control-C event") != std::string::npos, signalled)
        << out;
    EXPECT_EQ(cacheFiles(run), std::vector<std::string>{}) << out;
  }
}

// Points the names file's `key` at `path` (as the front end writes it).
void setInput(const fs::path& run, const std::string& key, const std::string& path) {
  const fs::path names = run / "FILES.INP";
  std::string text = readFile(names.string());
  const std::size_t at = text.find("  " + key + " = '");
  ASSERT_NE(at, std::string::npos) << key;
  const std::size_t end = text.find("\r\n", at);
  text.replace(at, end - at, "  " + key + " = '" + path + "'");
  std::ofstream(names, std::ios::binary) << text;
}

// Reads the child's console until it ends and waits for it.  A child that
// has not ended after `seconds` is killed: false.
bool finish(Child& c, std::string& out, int& status, int seconds) {
  bool ended = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  char buf[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd pf{c.fd, POLLIN, 0};
    if (poll(&pf, 1, 100) <= 0) continue;
    const ssize_t n = read(c.fd, buf, sizeof buf);
    if (n <= 0) {
      ended = true;
      break;
    }
    out.append(buf, static_cast<std::size_t>(n));
  }
  if (!ended) kill(c.pid, SIGKILL);
  close(c.fd);
  if (c.in >= 0) close(c.in);
  waitpid(c.pid, &status, 0);
  return ended;
}

// Waits until process pid holds `path` open (at most 60 s: the kernel reads
// eight files first, which takes seconds on a busy machine).
bool holdsOpen(pid_t pid, const fs::path& path) {
  const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
  for (int n = 0; n < 6000; ++n) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fds, ec))
      if (fs::read_symlink(e.path(), ec) == path) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(DriverRun, InputThatNeverEndsALineStopsTheRun) {
  if (!fs::exists(std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12")) GTEST_SKIP() << "KIRMEL_12 not built";
  if (!fs::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
  TempDir root;
  const fs::path run = layOutExample(root.path());
  setInput(run, "suinp", "/dev/zero");
  Child c = startKernel(run, (run / "FILES.INP").string());
  ASSERT_GT(c.pid, 0);
  std::string out;
  int status = 0;
  ASSERT_TRUE(finish(c, out, status, 60)) << "still reading /dev/zero: " << out;
  ASSERT_TRUE(WIFEXITED(status)) << out;
  EXPECT_EQ(WEXITSTATUS(status), 1) << out;
  EXPECT_NE(out.find(" Error(s) while reading from /dev/zero\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\n    1 No line end within 65536 characters"), std::string::npos) << out;
  EXPECT_NE(out.find(" Number of errors in data file /dev/zero:   1\n"), std::string::npos) << out;
  EXPECT_EQ(cacheFiles(run), std::vector<std::string>{}) << out;
}

TEST(DriverRun, SignalEndsARunWaitingForInput) {
  if (!fs::exists(std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12")) GTEST_SKIP() << "KIRMEL_12 not built";
  // The substance file is a named pipe that a writer holds open but never
  // writes to: the kernel waits in the middle of its input, with the cache
  // files of the eight files before it on disk.  Once with no writer at all.
  for (bool writer : {true, false}) {
    SCOPED_TRACE(writer ? "a writer that writes nothing" : "no writer");
    TempDir root;
    const fs::path run = layOutExample(root.path());
    const fs::path fifo = root.path() / "SU.PIPE";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    setInput(run, "suinp", fifo.string());
    Child c = startKernel(run, (run / "FILES.INP").string());
    ASSERT_GT(c.pid, 0);
    // Opened after the start, so that only the kernel itself can hold the
    // pipe's other end.
    const int w = writer ? open(fifo.c_str(), O_RDWR | O_CLOEXEC) : -1;
    EXPECT_TRUE(holdsOpen(c.pid, fifo));
    kill(c.pid, SIGTERM);
    std::string out;
    int status = 0;
    const bool ended = finish(c, out, status, 60);
    if (w >= 0) close(w);
    ASSERT_TRUE(ended) << "SIGTERM did not end the run: " << out;
    ASSERT_TRUE(WIFEXITED(status)) << out;
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM) << out;
    EXPECT_NE(out.find("program aborting due to control-BREAK event\n"), std::string::npos) << out;
    EXPECT_NE(readFile((run / "message.out").string()).find("program aborting due to control-BREAK event\n"),
              std::string::npos);
    EXPECT_EQ(cacheFiles(run), std::vector<std::string>{}) << out;
  }
}

// Runs the example in `dir` (the example's run directory or another one
// holding a copy of its names file) and expects the run to fail because an
// output file could not be written: exit status 2 after naming the file
// (any file when `file` is empty).
void expectWriteFailure(const fs::path& dir, const std::string& file) {
  Child c = startKernel(dir, (dir / "FILES.INP").string());
  ASSERT_GT(c.pid, 0);
  std::string out;
  int status = 0;
  ASSERT_TRUE(finish(c, out, status, 300)) << out;
  ASSERT_TRUE(WIFEXITED(status)) << out;
  EXPECT_EQ(WEXITSTATUS(status), 2) << out;
  const std::string line = file.empty()
                               ? std::string(" could not be written completely\n")
                               : " Error: output file " + file + " could not be written completely\n";
  EXPECT_NE(out.find(line), std::string::npos) << out;
  if (!file.empty()) {
    EXPECT_EQ(out.find(line), out.rfind(line)) << out;  // named once
  }
  EXPECT_NE(out.find("Stop - Program terminated.\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("end of simulation"), std::string::npos) << out;
  EXPECT_EQ(cacheFiles(dir), std::vector<std::string>{}) << out;
}

TEST(DriverRun, OutputThatCannotBeWrittenFailsTheRun) {
  if (!fs::exists(std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12")) GTEST_SKIP() << "KIRMEL_12 not built";
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // /dev/full takes every write and fails it, as a full disk does: as an
  // output file, whose failure the message file then records too, and as
  // the message file itself.
  for (const std::string file : {"wlsoco.out", "message.out"}) {
    SCOPED_TRACE(file);
    TempDir root;
    const fs::path run = layOutExample(root.path());
    fs::create_symlink("/dev/full", run / file);
    expectWriteFailure(run, file);
    if (file != "message.out") {
      EXPECT_NE(readFile((run / "message.out").string()).find(" Error: output file " + file),
                std::string::npos);
    }
  }
}

TEST(DriverRun, FullFileSystemFailsTheRun) {
  if (!fs::exists(std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12")) GTEST_SKIP() << "KIRMEL_12 not built";
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  TempDir root;
  const fs::path run = layOutExample(root.path());
  // The run directory on 256 KiB; the example writes about 850 KiB.
  const fs::path small = root.path() / "small";
  SmallFilesystem tmpfs(small, "256k");
  if (!tmpfs.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  fs::copy_file(run / "FILES.INP", small / "FILES.INP");
  expectWriteFailure(small, "");
}

TEST(DriverRun, HelpAndVersionPrintAndWriteNothing) {
  const std::string exe = std::string(KIRMEL_BINARY_DIR) + "/KIRMEL_12";
  if (!fs::exists(exe)) GTEST_SKIP() << "KIRMEL_12 not built";
  for (const char* option : {"--help", "-h", "--version"}) {
    SCOPED_TRACE(option);
    TempDir dir, out;
    const std::string command =
        "cd '" + dir.str() + "' && '" + exe + "' " + option + " > '" + out.file("text") + "' 2>&1 < /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const std::string text = readFile(out.file("text"));
    if (std::string(option) == "--version") {
      EXPECT_EQ(text, "KIRMEL_12 " + version::kernel() + "\n");
    } else {
      EXPECT_EQ(text.rfind("Usage: KIRMEL_12 [NAMES-FILE]\n", 0), 0u) << text;
      for (const char* part : {"files.inp", "one character long", "KIRMEL_THREADS",
                               "  2        an output file or message.out could not be written completely\n",
                               "  128 + N  ended by signal N"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }
    // Nothing of a run: no message file, nothing at all in the working directory.
    EXPECT_TRUE(fs::is_empty(dir.path()));
    // A text that cannot be written is a failure.
    if (fs::exists("/dev/full")) {
      const int status = std::system(("'" + exe + "' " + option + " > /dev/full").c_str());
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << status;
    }
  }
}

TEST(DriverRun, ProgressLinesAndEndSummary) {
  KernelRun r;
  r.input.set("WLNU.INP", "deltwl", "3600.");
  r.input.set("WBNU.INP", "deltwb", "3600.");
  r.input.set("WLNU.INP", "ttot", "2.");
  r.input.set("WLNU.INP", "xdit", "320.01");  // one counted error
  r.input.set("OPOUT.INP", "ktop", "20");     // one counted warning
  Kernel& k = r.make();
  EXPECT_EQ(k.run(), 0);
  EXPECT_EQ(r.s().nt, 49);
  EXPECT_EQ(r.out.str(),
            " Time simulated:   0.0 d\n Time simulated:   1.0 d\n Time simulated:   2.0 d\n"
            "      end of simulation\n  \n   Number of errors  :  1\n   Number of warnings:  1\n"
            "   see MESSAGE.OUT\nStop - Program terminated.\n");
}

TEST(DriverRun, ShortestRun) {
  // ttot 0.1 d with a step of 4 h: nt = 1, so the loop runs j = 0 and 1.
  // The output interval of 0.1 d would be cut to 0; it becomes one step.
  KernelRun r;
  r.input.set("WLNU.INP", "deltwl", "14400.");
  r.input.set("WBNU.INP", "deltwb", "14400.");
  r.input.set("WLNU.INP", "ttot", "0.1");
  r.input.set("OPOUT.INP", "deltout", "0.1");
  Kernel& k = r.make();
  EXPECT_EQ(k.run(), 0) << r.out.str();
  EXPECT_EQ(r.s().nt, 1);
  EXPECT_EQ(r.s().deltout, 14400.0f);
  EXPECT_NE(r.messages().find(" therefore deltout =  0.1000 d is replaced by deltout =  0.1667 d\n"),
            std::string::npos)
      << r.messages();
  EXPECT_EQ(r.out.str(),
            " Time simulated:   0.0 d\n      end of simulation\n  \n   Number of errors  :  0\n"
            "   Number of warnings:  1\n   see MESSAGE.OUT\nStop - Program terminated.\n");
  // Both levels are in the concentration file: the initial state and one step.
  const std::string wlsoco = r.file("wlsoco.out");
  EXPECT_NE(wlsoco.find("\n   0.000"), std::string::npos);
  EXPECT_NE(wlsoco.find("\n   0.167"), std::string::npos);
}

TEST(DriverRun, SedimentStoreCarriesEveryProfile) {
  KernelRun r;
  r.input.set("WLNU.INP", "ttot", "0.1");
  r.input.set("WLNU.INP", "deltwl", "2160.");
  r.input.set("WBNU.INP", "deltwb", "2160.");
  r.input.set("OPOUT.INP", "deltout", "0.025");
  Kernel& k = r.make();
  k.setThreads(1);  // the columns in turn on the kernel's own column storage
  EXPECT_EQ(k.run(), 0) << r.out.str();
  KernelState& s = r.s();
  EXPECT_EQ(s.nt, 5);
  // After the last step every water-body node holds the solver's last profile
  // of its own subsystem; nodes outside the water body hold nothing.
  for (int k2 = 1; k2 <= s.nznotot; ++k2) EXPECT_EQ(s.cowbst[80][k2], s.col.cowbjp1[k2]) << k2;
  EXPECT_GT(s.cowbst[1][1], 0.0f);
  EXPECT_EQ(s.cowbst[81][1], 0.0f);
  EXPECT_EQ(s.cowbst[0][1], 0.0f);
}

TEST(DriverRun, FloatingPointFaultStopsTheRun) {
  KernelRun r;
  ASSERT_EQ(r.readUpTo("opout"), -1);
  Kernel& k = *r.kernel;
  r.s().j = 12;
  std::feraiseexcept(FE_DIVBYZERO);
  int status = -1;
  try {
    k.checkEvents();
  } catch (const Stop& s) {
    status = s.status;
  }
  EXPECT_GT(status, 0);
  EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO), 0);
  EXPECT_EQ(r.out.str().substr(r.out.str().size() - 65),
            " Severe run-time error at time step  12: floating divide by zero\n");
  // Underflow is no fault.
  std::feraiseexcept(FE_UNDERFLOW);
  EXPECT_NO_THROW(k.checkEvents());
  std::feclearexcept(FE_ALL_EXCEPT);
}

TEST(DriverRun, NamesFileFromTheCommandLine) {
  // No argument, or one of a single character: files.inp in the working directory.
  for (std::vector<std::string> args : {std::vector<std::string>{}, std::vector<std::string>{"x"}}) {
    KernelRun r;
    std::string names = r.input.write(r.dir);
    fs::copy_file(names, r.dir.file("files.inp"));
    ScopedCwd cwd(r.dir.path());
    Env env(r.in, r.out);
    Kernel k(env, args);
    try {
      k.filin();
    } catch (const Stop&) {
      ADD_FAILURE() << r.out.str();
    }
    EXPECT_EQ(k.state().filnam, "files.inp");
    EXPECT_EQ(k.state().opoutinp, r.input.path(r.dir, "OPOUT.INP"));
    EXPECT_EQ(k.state().slinp, r.input.path(r.dir, "SL.INP"));
    env.units().closeAll();
  }
}

TEST(DriverRun, MissingNamesFileStopsWithNonZeroStatus) {
  TempDir dir;
  std::istringstream in;
  std::ostringstream out;
  ScopedCwd cwd(dir.path());
  Env env(in, out);
  Kernel k(env, {dir.file("NOSUCH.INP")});
  EXPECT_NE(k.run(), 0);
  EXPECT_TRUE(fs::exists(dir.file("message.out")));
}

}  // namespace
}  // namespace kirmel::test
