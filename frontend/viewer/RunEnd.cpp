#include "frontend/viewer/RunEnd.h"

#include <algorithm>
#include <cmath>

#include "frontend/editor/Run.h"
#include "frontend/model/Numbers.h"
#include "platform/Paths.h"

namespace kirmel::fe {

namespace {

const std::string kCR(1, '\r');

// The files give times with three decimals.
constexpr double kTimeRounding = 0.001;

// `text`, then CR and `more` when there is more.
std::string Then(std::string text, const std::string& more) {
  return more.empty() ? text : text + kCR + more;
}

}  // namespace

TRunEnd::TRunEnd(std::string dir, const std::string& markerPath)
    : dir_(std::move(dir)),
      stillWritten_(RunStillWriting(markerPath, dir_)),
      status_(stillWritten_ ? std::nullopt : ReadLastRunStatus(dir_)) {}

std::string TRunEnd::StillWritingNotice() const {
  return "KIRMEL is still writing this run (\"" + dir_ + "\")." + kCR +
         "The graphs show the output times written so far.";
}

std::string TRunEnd::WhyText() const {
  if (!status_) return MessageFileText(dir_);
  return RunFailureText(dir_, dir_, status_);
}

bool TRunEnd::Holds(const std::string& name) const {
  return paths::resolveExisting(dir_ + "/" + name).has_value();
}

std::string TRunEnd::StoppedNotice(const TINPUT& echo, std::optional<double> reached,
                                   char decimalSeparator) const {
  const double set = echo.SimulationTime();
  // The kernel writes its last output time within one interval of the end;
  // an interval shorter than the time step is taken as the time step.
  const double interval = std::max(echo.OutputInterval(), echo.TimeStep() / 86400);
  if (stillWritten_ || !std::isfinite(set) || !std::isfinite(interval) || set <= 0) return {};
  if (reached && *reached + interval + kTimeRounding >= set) return {};
  const std::string times =
      (reached ? "end at " + Format("%.2f d", {*reached}, decimalSeparator)
               : std::string("hold no output time")) +
      "; it was set to simulate " + Format("%.2f d", {set}, decimalSeparator) + ".";
  return Then("The output files of this run (\"" + dir_ + "\") " + times, WhyText()) + kCR +
         "The graphs show the output times written.";
}

bool TRunEnd::ReadEcho(TOutputCache& cache, TReadContext& context, TINPUT& echo) const {
  // Named as the kernel writes it.
  const std::string file = dir_ + "/input.out";
  const std::optional<std::string> found = paths::resolveExisting(file);
  if (!found) {
    std::string text = "Cannot open file \"" + file + "\"";
    if (stillWritten_) {
      // The notice of a run still being written says the rest.
    } else if (status_ && *status_ != 0) {
      text = Then(text, WhyText());
    } else {
      text += ": the graphs need this echo of the input." + kCR +
              "KIRMEL writes it only when \"Echo of input\" is on (the scenario's Output page; "
              "op_input = 1 in OPOUT.INP).";
      // Without any results, where KIRMEL may have said more.
      if (!Holds("wlsoco.out")) text = Then(text, WhyText());
    }
    context.Report(file, text);
    return false;
  }
  // The reader's message is held back, to follow what is known of the
  // run's end.
  std::string refused;
  TReadContext reader([&refused](const std::string& message) { refused = message; },
                      context.DecimalSeparator(),
                      [&context](const std::string& name, std::uint64_t done, std::uint64_t size) {
                        return context.Progress(name, done, size);
                      });
  if (cache.INPUT(file, reader, echo)) return true;
  if (refused.empty()) return false;
  // A kernel that stops on its input leaves the echo cut where it stopped,
  // and writes no output file.
  const bool cut = refused.rfind(*found, 0) == 0;  // refused for what it holds
  if (cut && !stillWritten_ && status_ != 0 && !Holds("wlsoco.out"))
    refused = StoppedInInputText() + kCR + refused;
  context.Report(*found, refused);
  return false;
}

std::string TRunEnd::StoppedInInputText() const {
  return Then("KIRMEL stopped while reading the input of this run (\"" + dir_ + "\").", WhyText());
}

void TRunEnd::ReportNoResults(TOutputCache& cache, TReadContext& context) const {
  if (stillWritten_ || Holds("wlsoco.out")) return;
  TINPUT echo;
  TReadContext quiet;
  const bool cut =
      status_ != 0 && Holds("input.out") && !cache.INPUT(dir_ + "/input.out", quiet, echo);
  context.Report(dir_, cut ? StoppedInInputText() : Then("The run has no results.", WhyText()));
}

bool TRunEnd::HasResultFile(const std::string& name, TReadContext& context) const {
  if (Holds(name)) return true;
  const std::string file = dir_ + "/" + name;
  context.Report(file, Then("Cannot open file \"" + file + "\": the run has no results.", WhyText()));
  return false;
}

void SayWithNotice(const std::string& notice, const std::string& text,
                   const TMessageSink& error, const TMessageSink& information) {
  if (!text.empty())
    error(notice.empty() ? text : notice + kCR + text);
  else if (!notice.empty() && information)
    information(notice);
}

std::optional<double> LastOutputTime(const TWLSOCOList& list) {
  const int t = list.NumberOfTimesteps();
  if (t == 0) return std::nullopt;
  return list.GetItem(list.RecordIndex(t, 1)).Time;
}

}  // namespace kirmel::fe
