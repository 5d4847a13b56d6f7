// Kernel driver: the main program with its time loop, the names file, the
// output-time rule, node file names, the message file and the stops on
// console signals and floating-point faults.
#include <cerrno>
#include <cfenv>
#include <cmath>
#include <algorithm>
#include <csignal>
#include <ctime>
#include <iostream>
#include <thread>

#include "kernel/ColumnPool.h"
#include "kernel/Echo.h"
#include "kernel/Faults.h"
#include "kernel/Kernel.h"
#include "kernel/OutputCommon.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/Signals.h"

namespace kirmel {

namespace {

const char* eventName(int sig) {
  switch (sig) {
    case SIGINT: return "control-C";
    case SIGTERM: return "control-BREAK";
    default: return "window-CLOSE";
  }
}

}  // namespace

float Kernel::amod(float a, float b) { return a - b * std::trunc(a / b); }

std::string Kernel::dateLine() const {
  std::string line = " KIRMEL simulation:  ";
  fmt::I(line, s.iday, 2);
  line += '-';
  fmt::I(line, s.imonth, 2);
  line += '-';
  fmt::I(line, s.iyear, 4);
  line += "  ";
  fmt::I(line, s.ihour, 2);
  line += ':';
  fmt::I(line, s.iminute, 2);
  line += ':';
  fmt::I(line, s.isecond, 2);
  return line;
}

void Kernel::message(std::string_view line) { env_.units().writeLine(21, line); }

void Kernel::echo(std::string_view line) {
  if (s.op_input == 1) env_.units().writeLine(22, line);
}

void Kernel::fatal(const std::vector<std::string>& lines, int status) {
  for (const auto& line : lines) {
    message(line);
    env_.say(line);
  }
  env_.say("Stop - Program terminated.");
  env_.stop(status == 0 ? 1 : status);
}

int Kernel::signalStop() {
  const int sig = RunSignals::pending();
  if (sig == 0) return 0;
  RunSignals::clear();
  // Whatever became of the console meanwhile, the line is still tried.
  env_.out().clear();
  env_.say(std::string("program aborting due to ") + eventName(sig) + " event");
  env_.out().flush();
  return 128 + sig;
}

void Kernel::signalAbort() {
  const int sig = RunSignals::pending();
  if (sig == 0) return;
  message(std::string("program aborting due to ") + eventName(sig) + " event");
  // The same line on the console, and the status.
  env_.stop(signalStop(), "signal");
}

std::string Kernel::writeFailureLine(const std::string& name) {
  return " Error: output file " + name + " could not be written completely";
}

void Kernel::checkWrites() {
  UnitTable& units = env_.units();
  if (!units.hasNewWriteFailures()) return;
  // Writes fail when a buffer is flushed: flush them all to find every file
  // that is cut, and report each once.
  units.flushAll();
  std::vector<std::string> failed = units.newWriteFailures();
  for (const std::string& name : failed) {
    ++s.nerr;
    message("");
    message(writeFailureLine(name));
  }
  // The message file may be the one that cannot be written.
  units.flushAll();
  for (const std::string& name : units.newWriteFailures()) failed.push_back(name);
  for (const std::string& name : failed) env_.say(writeFailureLine(name));
  // Results that cannot be written are not worth computing on.
  env_.say("Stop - Program terminated.");
  env_.stop(kStatusWriteFailed, "output not written");
}

void Kernel::checkEvents() {
  // Run-time aborts rather than stops of the model: the line goes to the
  // console and the message file, and the run ends at once.
  signalAbort();
  int raised = std::fetestexcept(kFaults);
  if (raised != 0) {
    const char* what = (raised & FE_INVALID)     ? "floating invalid"
                       : (raised & FE_DIVBYZERO) ? "floating divide by zero"
                                                 : "floating overflow";
    std::feclearexcept(kFaults);
    std::string line = " Severe run-time error at time step ";
    fmt::freeInt(line, s.j);
    line += ": ";
    line += what;
    message(line);
    env_.say(line);
    env_.stop(1);
  }
  checkWrites();
}

int parseThreads(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  if (t.empty() || t.size() > 4) return 0;
  int n = 0;
  for (char ch : t) {
    if (ch < '0' || ch > '9') return 0;
    n = n * 10 + (ch - '0');
  }
  return n >= 1 && n <= 1024 ? n : 0;
}

void Kernel::stepColumns() {
  const int first = s.nxsefb + 1;
  const int last = s.nxsefb + s.nxsedit;
  // Step 0 opens the output files: always in turn.  Later steps with a pool
  // have started their columns already (simmain).
  if (!pool_ || s.j == 0) {
    Column col(*this, s.col, nullptr);
    for (s.i = first; s.i <= last; ++s.i) col.step(s.i);
    return;
  }
  pool_->finish();
  int faults = 0;
  for (s.i = first; s.i <= last; ++s.i) {
    // The logs were written on other cores: ask for the next ones early.
    if (s.i + 4 <= last) __builtin_prefetch(&pool_->log(s.i + 4));
    const ColumnLog& log = pool_->log(s.i);
    faults |= log.fpflags;
    replay(log);
  }
  if (faults != 0) std::feraiseexcept(faults);
}

void Kernel::endColumns() {
  if (!pool_) return;
  poolPasses_ += pool_->nodePasses();
  pool_.reset();
}

long long Kernel::nodePasses() const {
  return s.col.nodepasses + poolPasses_ + (pool_ ? pool_->nodePasses() : 0);
}

bool Kernel::isOutputTime(float dt) const {
  if (s.j == 0) return true;
  if (s.deltout <= 0.0f) return false;
  float t = static_cast<float>(s.j) * dt;
  return amod(t, s.deltout) < 0.5f * dt;
}

std::string Kernel::nodeFileName(std::string_view tmpl, int i) {
  std::string name(tmpl);
  auto pos = name.find("###");
  if (pos != std::string::npos) {
    std::string digits;
    fmt::I(digits, i, 3, 3);
    name.replace(pos, 3, digits);
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

void Kernel::filin() {
  // Names file: the first argument, whole, or "files.inp" when it is missing
  // or at most one character long.
  if (args_.empty() || args_[0].size() <= 1)
    s.filnam = "files.inp";
  else
    s.filnam = args_[0];

  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  s.iyear = static_cast<std::int16_t>(tm.tm_year + 1900);
  s.imonth = static_cast<std::int16_t>(tm.tm_mon + 1);
  s.iday = static_cast<std::int16_t>(tm.tm_mday);
  s.ihour = static_cast<std::int16_t>(tm.tm_hour);
  s.iminute = static_cast<std::int16_t>(tm.tm_min);
  s.isecond = static_cast<std::int16_t>(tm.tm_sec);

  if (!env_.units().openWrite(21, "message.out")) {
    env_.say(" Error: cannot create the message file message.out in the working directory");
    env_.say("Stop - Program terminated.");
    env_.stop(1);
  }
  message(dateLine());
  message(" Messages (error/warning/plovix):");
  message("");

  rd_.RDINIT(15, 21, s.filnam);
  std::string* const names[] = {&s.opoutinp, &s.wlnuinp, &s.wlpainp, &s.wlstinp, &s.wbnuinp,
                                &s.wbpainp,  &s.wbstinp, &s.hyinp,   &s.suinp,   &s.slinp};
  const char* const keys[] = {"opoutinp", "wlnuinp", "wlpainp", "wlstinp", "wbnuinp",
                              "wbpainp",  "wbstinp", "hyinp",   "suinp",   "slinp"};
  for (int n = 0; n < 10; ++n) {
    rd_.RDSCHA(keys[n], *names[n], static_cast<int>(paths::kMaxPath));
    std::string& p = *names[n];
    while (!p.empty() && p.back() == ' ') p.pop_back();
  }
  env_.units().close(15);
}

void Kernel::simmain() {
  RunSignals::clear();
  // A signal ends the run wherever it waits or reads (Env::checkInterrupt),
  // and between time steps (checkEvents).
  RunSignals signals(env_, [this] { signalAbort(); });
  s.nerr = 0;
  s.nwarn = 0;

  filin();
  opout();
  wlin();
  wbin();
  hyin();
  suin();
  slin();
  rd_.RDDTMP(99);
  checkEvents();

  // Model arithmetic starts here: faults raised while parsing input text
  // (an out-of-range literal) are not faults of the model.
  std::feclearexcept(kFaults);
  wlit();
  wbit();
  checkEvents();

  ++stamp_;
  // The sediment columns of a step are independent: they may be stepped on
  // several threads.
  int threads = threads_ > 0 ? threads_ : static_cast<int>(std::thread::hardware_concurrency());
  threads = std::min(threads, s.nxsedit);
  if (threads > 1) pool_ = std::make_unique<ColumnPool>(*this, threads);

  for (s.j = 0; s.j <= s.nt; ++s.j) {
    const float t = static_cast<float>(s.j) * s.deltwl;
    if (amod(t, 86400.0f) <= 0.5f) {
      std::string line = " Time simulated: ";
      fmt::F(line, static_cast<float>(s.j) * s.deltwl / 86400.0f, 5, 1);
      line += " d";
      env_.say(line);
      env_.out().flush();
    }

    if (s.j == 0) {
      for (int n = 1; n <= s.nxnotot; ++n) s.cowlj[n] = s.co[n];
    } else {
      wlso();
    }
    wlload();
    // The water layer's writers and balances read nothing the sediment
    // columns write: with a pool, the columns start first.
    if (pool_ && s.j >= 1) pool_->start(s.nxsefb + 1, s.nxsefb + s.nxsedit);
    wlsocoout();
    wlmb();
    wlmbn();
    // With the columns on the pool, this thread also prepares the next
    // step's water layer from this step's new level, which is the next
    // one's old level; the floating-point flags that raises belong to the
    // next step and are kept for it.
    if (pool_ && s.j >= 1 && s.j < s.nt) {
      std::fexcept_t saved;
      std::fegetexceptflag(&saved, kFaults);
      std::feclearexcept(kFaults);
      preparing_ = true;
      wlsoprep(s.cowljp1);
      preparing_ = false;
      s.wlprepflags = std::fetestexcept(kFaults);
      std::fesetexceptflag(&saved, kFaults);
      s.wlprep = s.j + 1;
    }
    stepColumns();
    checkEvents();
  }
  endColumns();
  // Every output file closes before the message file, so that a file that
  // could not be written completely is reported there; the message file
  // closes after the last step, once every writer of that step (and the
  // check for floating-point faults) has had its say.
  for (int u = UnitTable::kFirst; u <= UnitTable::kLast; ++u)
    if (u != 21) env_.units().close(u);
  checkWrites();
  env_.units().close(21);
  checkWrites();

  env_.say(Ld().t("     end of simulation").str());
  if (s.nerr >= 1 || s.nwarn >= 1) {
    env_.say(Ld().t(" ").str());
    env_.say(Ld().t("  Number of errors  : ").n(s.nerr).str());
    env_.say(Ld().t("  Number of warnings: ").n(s.nwarn).str());
    env_.say(Ld().t("  see MESSAGE.OUT").str());
  }
  env_.say("Stop - Program terminated.");
}

}  // namespace kirmel
