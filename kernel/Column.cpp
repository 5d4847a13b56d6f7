// One sediment column's step, what it hands over (to its log or straight to
// the kernel), and the playing back of a log.
#include "kernel/Column.h"

#include <algorithm>

#include "kernel/Echo.h"
#include "kernel/Kernel.h"

namespace kirmel {

// ---- the log ----

void ColumnLog::clear(int col) {
  column = col;
  fpflags = 0;
  count = 0;
  totalAt = -1;
  stopped = false;
  failure = nullptr;
  entries.clear();
  text_.clear();
  nums_.clear();
}

void ColumnLog::add(Op op, int a, std::string_view text) {
  entries.push_back({op, a, static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(text.size())});
  text_.append(text);
  ++count;
}

void ColumnLog::addNums(Op op, int a, const float* values, int n) {
  entries.push_back({op, a, static_cast<std::uint32_t>(nums_.size()), static_cast<std::uint32_t>(n)});
  nums_.insert(nums_.end(), values, values + n);
  ++count;
}

void ColumnLog::addTotal(const float* v) {
  std::copy(v, v + 9, total);
  totalAt = count;
}

void ColumnLog::addNums(Op op, int a, std::initializer_list<float> values) {
  addNums(op, a, values.begin(), static_cast<int>(values.size()));
}

// ---- the column ----

Column::Column(Kernel& kn, WbColumn& c, ColumnLog* log)
    : kn_(kn),
      s(kn.state()),
      c(c),
      log_(log),
      outWl_(kn.isOutputTime(kn.state().deltwl)),
      outWb_(kn.isOutputTime(kn.state().deltwb)) {}

void Column::step(int column) {
  i = column;
  closed_.reset();
  const int n = s.nznotot;
  for (int m = 1; m <= n; ++m) c.cowbj[m] = s.j == 0 ? s.cowb[m] : s.cowbst[i][m];
  if (s.j == 0) s.cowbtop[i] = s.cowb[1];
  if (s.j >= 1) wbso();
  wbscoout();
  wbmb();
  dbout();
  ecout();
  for (int m = 1; m <= n; ++m) s.cowbst[i][m] = s.j == 0 ? s.cowb[m] : c.cowbjp1[m];
}

void Column::stepLogged(int column, ColumnLog& log, const std::bitset<100>& open) {
  log.clear(column);
  log_ = &log;
  open_ = &open;
  try {
    step(column);
  } catch (const Stopped&) {
    log.stopped = true;
  } catch (...) {
    log.failure = std::current_exception();
    log.add(ColumnLog::Op::Failure);
    log.stopped = true;
  }
  log_ = nullptr;
}

void Column::writeLine(int unit, std::string_view line) {
  if (log_)
    log_->add(ColumnLog::Op::Line, unit, line);
  else
    kn_.env().units().writeLine(unit, line);
}

void Column::say(std::string_view line) {
  if (log_)
    log_->add(ColumnLog::Op::Say, 0, line);
  else
    kn_.env().say(line);
}

bool Column::isOpen(int unit) const {
  if (!log_) return kn_.env().units().isOpen(unit);
  const auto u = static_cast<std::size_t>(unit);
  return u < closed_.size() && (*open_)[u] && !closed_[u];
}

void Column::wait() {
  if (log_)
    log_->add(ColumnLog::Op::Wait);
  else
    kn_.env().waitLine();
}

void Column::stop(int status, const std::string& why) {
  if (!log_) kn_.env().stop(status, why);
  log_->add(ColumnLog::Op::Stop, status, why);
  throw Stopped{};
}

void Column::sayAndStop(std::initializer_list<std::string_view> lines, const std::string& why) {
  for (std::string_view line : lines) say(freeText(line));
  stop(1, why);
}

void Column::closeUnit(int unit) {
  if (!log_) {
    kn_.env().units().close(unit);
    return;
  }
  log_->add(ColumnLog::Op::CloseUnit, unit);
  closed_.set(static_cast<std::size_t>(unit));
}

void Column::closeOut(int unit) {
  // A failed write is noted by the unit table (Kernel::checkWrites).
  if (isOpen(unit)) closeUnit(unit);
}

void Column::positivityReset() {
  if (log_)
    log_->add(ColumnLog::Op::PosReset);
  else
    s.icposwb = 1;
}

void Column::positivity(const std::string& block) {
  if (log_)
    log_->add(ColumnLog::Op::Positivity, 0, block);
  else
    kn_.positivity(block);
}

void Column::sofdReset() {
  if (log_)
    log_->add(ColumnLog::Op::SofdReset);
  else
    s.icsofd = 0;
}

void Column::sofdWarning(float mh, float ph) {
  if (log_)
    log_->addNums(ColumnLog::Op::Sofd, k, {mh, ph});
  else
    kn_.sofdWarning(i, k, mh, ph);
}

void Column::wbmbReset() {
  if (log_)
    log_->add(ColumnLog::Op::WbmbReset);
  else
    kn_.wbmbReset();
}

void Column::wbmbWarning(float pct, float qumwb, float inputs) {
  if (log_)
    log_->addNums(ColumnLog::Op::WbmbWarning, 0, {pct, qumwb, inputs});
  else
    kn_.wbmbWarning(i, pct, qumwb, inputs);
}

void Column::bottomWarning() {
  if (log_)
    log_->add(ColumnLog::Op::Bottom);
  else
    kn_.bottomWarning();
}

void Column::wbTotal(const float* v) {
  if (log_)
    log_->addTotal(v);
  else
    kn_.wbTotal(i, v);
}

void Column::dbdit() {
  if (log_)
    log_->add(ColumnLog::Op::Dbdit);
  else
    kn_.dbdit(i);
}

// ---- the kernel's side ----

void Kernel::replay(const ColumnLog& log) {
  if (!log.stopped) s.cowbtop[log.column] = log.top;
  if (log.count == 0) {
    if (log.totalAt == 0) wbTotal(log.column, log.total);
    return;
  }
  UnitTable& units = env_.units();
  using Op = ColumnLog::Op;
  for (int n = 0; n < log.count; ++n) {
    if (n == log.totalAt) wbTotal(log.column, log.total);
    const ColumnLog::Entry& e = log.entries[static_cast<std::size_t>(n)];
    switch (e.op) {
      case Op::Line: units.writeLine(e.a, log.text(e)); break;
      case Op::Say: env_.say(log.text(e)); break;
      case Op::CloseUnit: units.close(e.a); break;
      case Op::Wait: env_.waitLine(); break;
      case Op::Stop: env_.stop(e.a, std::string(log.text(e)));
      case Op::PosReset: s.icposwb = 1; break;
      case Op::Positivity: positivity(log.text(e)); break;
      case Op::SofdReset: s.icsofd = 0; break;
      case Op::Sofd: sofdWarning(log.column, e.a, log.nums(e)[0], log.nums(e)[1]); break;
      case Op::WbmbReset: wbmbReset(); break;
      case Op::WbmbWarning:
        wbmbWarning(log.column, log.nums(e)[0], log.nums(e)[1], log.nums(e)[2]);
        break;
      case Op::Bottom: bottomWarning(); break;
      case Op::Dbdit: dbdit(log.column); break;
      case Op::Failure: std::rethrow_exception(log.failure);
    }
  }
  if (log.totalAt == log.count) wbTotal(log.column, log.total);
}

void Kernel::wbso() {
  ++stamp_;
  Column col(*this, s.col, nullptr);
  col.i = s.i;
  col.wbso();
}

void Kernel::wbscoout() {
  Column col(*this, s.col, nullptr);
  col.i = s.i;
  col.wbscoout();
}

void Kernel::wbmb() {
  Column col(*this, s.col, nullptr);
  col.i = s.i;
  col.wbmb();
}

void Kernel::dbout() {
  Column col(*this, s.col, nullptr);
  col.i = s.i;
  col.dbout();
}

void Kernel::ecout() {
  Column col(*this, s.col, nullptr);
  col.i = s.i;
  col.ecout();
}

}  // namespace kirmel
