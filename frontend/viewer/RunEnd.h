// How a run ended, as far as its files and records tell, and what the
// graph windows and the comparisons say about it.
//
// What is known of a run: whether KIRMEL is still writing it (the run
// marker of the editor's root names it, RunStillWriting); the exit status
// the run script recorded in the run directory (ReadLastRunStatus: a
// status that a later run by hand made stale does not count); and, from the
// input echo, the time the run was set to simulate and its output interval.
// Nothing here claims more than that: a run with status 0 finished; a run
// without a recorded status (a run by hand, or one whose script was
// killed) has only its message.out to point at; only a recorded status
// other than 0 brings the run's own end message (RunFailureText), with the
// last lines of its RUN.LOG.
//
//   fe::TRunEnd end(dir, fe::MarkerPath(settings));
//   if (!end.ReadEcho(cache, context, echo)) return false;  // said why
//   ... read the files ...
//   notice = end.StoppedNotice(echo, fe::LastOutputTime(wlsoco), '.');
#pragma once

#include <optional>
#include <string>

#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/OutputCache.h"
#include "frontend/viewer/ReaderSupport.h"
#include "frontend/viewer/WLSOCO.h"

namespace kirmel::fe {

class TRunEnd {
 public:
  TRunEnd() = default;
  // The run whose output files are in `dir`, where a run of the front end
  // also keeps its status file and console log; `markerPath` is the run
  // marker of the root the editor runs in.
  TRunEnd(std::string dir, const std::string& markerPath);

  bool StillWritten() const { return stillWritten_; }
  // The recorded exit status; nothing when none is known.
  std::optional<int> Status() const { return status_; }

  // "KIRMEL is still writing this run" and that the graphs show the output
  // times written so far.
  std::string StillWritingNotice() const;
  // For a run that is not still being written and whose files end more
  // than one output interval (or time step, when that is longer) short of
  // the time its echo says it was set to simulate: the time reached
  // (`reached`: the last output time the files hold whole, nothing when
  // they hold none) and the time set, where KIRMEL said why, and that the
  // graphs show what was written.  "" otherwise.
  std::string StoppedNotice(const TINPUT& echo, std::optional<double> reached,
                            char decimalSeparator) const;

  // Reads the run's input echo input.out through the cache into `echo`, as
  // TOutputCache::INPUT does.  A missing echo is reported under the name
  // the kernel gives it, with what is known: that KIRMEL writes it only
  // with "Echo of input" on, or the run's failure.  An echo the reader
  // refuses in a run whose kernel stopped before it wrote its first output
  // (recorded status not 0, no wlsoco.out) is reported as the kernel
  // stopping while it read the input, with where it said why, before the
  // reader's own line.  False in both cases.
  bool ReadEcho(TOutputCache& cache, TReadContext& context, TINPUT& echo) const;
  // Whether the run holds the kernel output file `name`; when it does not,
  // that is reported ("the run has no results", and where KIRMEL said why).
  bool HasResultFile(const std::string& name, TReadContext& context) const;
  // After a window could not read a file it needs: for a run that wrote no
  // results (no wlsoco.out) and is not still being written, reports on a
  // line of its own that KIRMEL stopped while reading the input (its echo is
  // there but cut) or else that the run has no results, with where KIRMEL
  // said why.  Nothing for a run with results, whose missing file may be
  // one that its output switches left out.
  void ReportNoResults(TOutputCache& cache, TReadContext& context) const;

 private:
  // Where KIRMEL said why the run ended as it did: the run's end message
  // for a recorded status other than 0, message.out for an unknown status,
  // nothing for 0.  Lines joined with CR.
  std::string WhyText() const;
  // "KIRMEL stopped while reading the input of this run", then WhyText.
  std::string StoppedInInputText() const;
  bool Holds(const std::string& name) const;

  std::string dir_;
  bool stillWritten_ = false;
  std::optional<int> status_;
};

// Says what the reads of one action reported (`text`) with a notice about
// the run: the notice first in the error message when there is one, else
// the notice alone as information.  Nothing when both are empty.
void SayWithNotice(const std::string& notice, const std::string& text,
                   const TMessageSink& error, const TMessageSink& information);

// The time (d) of the last output time a list holds whole; nothing when it
// holds none.
std::optional<double> LastOutputTime(const TWLSOCOList& list);
template <class Record>
std::optional<double> LastOutputTime(const TRecordList<Record>& list) {
  if (list.Count() == 0) return std::nullopt;
  return list.Items().back().Time;
}

}  // namespace kirmel::fe
