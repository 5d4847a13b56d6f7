// One run of the simulation kernel.  The model's routines are member
// functions that share the run's KernelState; they carry the model's names.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/Rd.h"
#include "kernel/Column.h"
#include "kernel/KernelState.h"
#include "platform/Env.h"

namespace kirmel {

class ColumnPool;

// The number of threads in the text t (KIRMEL_THREADS): a whole number from
// 1 to 1024, blanks around it allowed; 0 for anything else.
int parseThreads(std::string_view t);

class Kernel {
 public:
  // args: the command-line words after the program name.
  Kernel(Env& env, std::vector<std::string> args);
  ~Kernel();

  // Runs simmain and returns the exit status: 0 after a normal end, 1 after
  // a fatal stop, kStatusWriteFailed when a file could not be written
  // completely, 128 + N after signal N.  Open files are flushed and closed
  // on every path.
  int run();

  KernelState& state() { return *st_; }
  Env& env() { return env_; }

  // ---- driver and names file ----
  void simmain();
  void filin();
  // True at j = 0 and at every step whose time is an output time for time step dt.
  bool isOutputTime(float dt) const;
  // "ec###.out   " style template with ### replaced by node i (three digits).
  static std::string nodeFileName(std::string_view tmpl, int i);
  // Writes one line to the message file (unit 21).
  void message(std::string_view line);
  // Remainder a − b × INT(a / b) in single precision, sign of a.
  static float amod(float a, float b);
  // " KIRMEL simulation:  dd-mm-yyyy  hh:mm:ss" with the run's date and time.
  std::string dateLine() const;
  // Writes one line to the input echo file when op_input = 1.
  void echo(std::string_view line);
  // Fatal stop: each line goes to the console and the message file, then
  // "Stop - Program terminated." and the run ends with a non-zero status.
  [[noreturn]] void fatal(const std::vector<std::string>& lines, int status = 1);
  // Stops the run when a console signal arrived, a floating-point invalid
  // operation, division by zero or overflow was raised, or a file could not
  // be written (checkWrites).
  void checkEvents();
  // When a console signal arrived: the abort line on the console and in the
  // message file, then the stop with status 128 + signal.
  void signalAbort();
  // When writing an output file or the message file failed: each such file
  // named once on the console and in the message file, then the stop with
  // status kStatusWriteFailed.
  void checkWrites();
  // " Error: output file NAME could not be written completely".
  static std::string writeFailureLine(const std::string& name);
  // After a stop that a console signal caused (it ended a wait for Enter):
  // the abort line on the console and the exit status 128 + signal; 0 when
  // no signal is pending.
  int signalStop();

  // ---- output options, hydrology, substance ----
  void opout();
  void hyin();
  void suin();

  // ---- water-layer and sediment input ----
  void wlin();
  void wbin();
  // Counted error: a file holds another number of values than declared.
  void arrayLengthError(const std::string& path, std::string_view name);

  // ---- loadings ----
  void slin();
  void wlload();
  // Snaps a loading time (kind 1, s) or distance (kind 2, m) to the grid, in place.
  void slsnap(int kind, std::string_view name, int number, float& value);
  // Reads the drainage model's output file fnslmdinp into the model drainage entries.
  void slmdin();

  // ---- initial calculations ----
  void wlit();
  void wlitnu();
  void wlitco();
  void wbit();
  void wbitnu();
  void wbitge();
  void wbitco();

  // ---- water-layer solver ----
  void wlso();
  void wlsotl();
  void wlsoge();
  void wlsods();
  // What a step of the water layer computes from its old level alone; see
  // WaterLayerSolver.cpp.
  void wlsoprep(const float* old);
  void wlsote();
  void wlsocf();
  void wlsofb();
  void wlsoeb();
  void tridag(const float a[], const float b[], const float c[], const float r[], float u[], int n, float gam[]);

  // ---- sediment columns ----
  // The routines of one column (Column.h) for column s.i on the column
  // storage s.col, as a one-thread run calls them.
  void wbso();
  void wbscoout();
  void dbout();
  void ecout();
  void wbmb();

  // Threads that step the sediment columns: n >= 1, or 0 for one per core
  // (the default).  One thread steps them in turn on the calling thread.
  void setThreads(int n) { threads_ = n; }
  // Node-passes of the sediment solver in the run so far (Picard passes
  // times nodes, summed over every column and step).
  long long nodePasses() const;

  // ---- concentration and distribution output ----
  void wlsocoout();
  // x, or 1.0 when x is exactly 0: the divisor of every percentage.
  static float nozero(float x);

  // ---- mass balances ----
  void wlmb();
  void wlmbn();

 private:
  friend class Column;

  // The sediment columns of time step s.j, on the pool's threads or in turn.
  void stepColumns();
  // Ends the threads of the columns.
  void endColumns();
  // Plays a column's log back: its lines, warnings, balance terms and stop.
  void replay(const ColumnLog& log);

  // What a column's step hands over in the order of the columns.
  void positivity(std::string_view block);
  void sofdWarning(int i, int k, float mh, float ph);
  void wbmbReset();
  void wbmbWarning(int i, float pct, float qumwb, float inputs);
  void bottomWarning();
  void wbTotal(int i, const float* v);
  void dbdit(int i);

  Env& env_;
  std::vector<std::string> args_;
  std::unique_ptr<KernelState> st_;
  KernelState& s;
  Rd rd_;
  // Identifies the terms a column storage keeps as built in this run (see
  // Column::wbsocp); a new run, and every call of the kernel's own wbso,
  // takes a new value.
  std::uint64_t stamp_ = 0;
  int threads_ = 0;
  std::unique_ptr<ColumnPool> pool_;
  long long poolPasses_ = 0;
  // The driver is preparing the next step's water layer (wlsoprep).
  bool preparing_ = false;
};

}  // namespace kirmel
