// One run of the simulation kernel.  The model's routines are member
// functions that share the run's KernelState; they carry the model's names.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/Rd.h"
#include "kernel/KernelState.h"
#include "platform/Env.h"

namespace kirmel {

class Kernel {
 public:
  // args: the command-line words after the program name.
  Kernel(Env& env, std::vector<std::string> args);
  ~Kernel();

  // Runs simmain and returns the exit status: 0 after a normal end, non-zero
  // after any fatal stop.  Open files are flushed and closed on every path.
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
  // Stops the run when a console signal arrived or a floating-point
  // invalid operation, division by zero or overflow was raised.
  void checkEvents();
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
  void wlsote();
  void wlsocf();
  void wlsofb();
  void wlsoeb();
  void tridag(const float a[], const float b[], const float c[], const float r[], float u[], int n, float gam[]);

  // ---- sediment solver ----
  void wbso();
  void wbsods();
  void wbsosf();
  void wbsote();
  void wbsotp();
  void wbsocf();
  void wbsobt();
  // New-level storage terms and diagonal of node k for the pass's iterate.
  void wbsodg(bool firstPass);

  // ---- concentration and distribution output ----
  void wlsocoout();
  void wbscoout();
  void dbout();
  // x, or 1.0 when x is exactly 0: the divisor of every percentage.
  static float nozero(float x);

  // ---- exposure concentrations ----
  void ecout();

  // ---- mass balances ----
  void wlmb();
  void wlmbn();
  void wbmb();

 private:
  Env& env_;
  std::vector<std::string> args_;
  std::unique_ptr<KernelState> st_;
  KernelState& s;
  Rd rd_;
};

}  // namespace kirmel
