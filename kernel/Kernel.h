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

  // ---- output options, hydrology, substance ----
  void opout();
  void hyin();
  void suin();

  // ---- water-layer and sediment input ----
  void wlin();
  void wbin();

  // ---- loadings ----
  void slin();
  void wlload();

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

  // ---- sediment solver ----
  void wbso();
  void wbsods();
  void wbsosf();
  void wbsote();
  void wbsotp();
  void wbsocf();
  void wbsobt();

  // ---- concentration and distribution output ----
  void wlsocoout();
  void wbscoout();
  void dbout();

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
