// One sediment column stepped by the driver: the sediment solver of the
// column and its per-column writers and balance, working on a column storage
// of their own.
//
// Columns are independent within a time step, so the driver may step them
// on several threads.  Everything a column hands to the rest of the run (a
// line for the message file, the console or an output file, a warning whose
// writing depends on a run-wide count, its share of the whole-sediment
// balance, a stop) then goes into the column's log instead, and the driver
// plays the logs back in column order: the run writes what, and stops where,
// a one-thread run would.  Without a log the column hands everything over at
// once, in the same order.  Step 0, which opens the output files, is always
// stepped in turn without logs.
#pragma once

#include <bitset>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/KernelState.h"

namespace kirmel {

class Kernel;
class UnitTable;

// What a column handed over during one step, in order.  Its share of the
// whole-sediment balance, which every column hands over at every step, is
// kept beside the entries (with the place among them where it belongs), so
// that playing back the log of a column that handed over nothing else reads
// one cache line.  So is the new top concentration, which the play-back
// stores for the water layer.
class alignas(64) ColumnLog {
 public:
  enum class Op : std::uint8_t {
    Line,         // a line (text) for unit a; the message file is unit 21
    Say,          // a console line (text)
    CloseUnit,    // unit a is closed
    Wait,         // the console pause: one line is read
    Stop,         // the run stops with status a for the reason in text
    PosReset,     // the positivity counter restarts
    Positivity,   // a positivity violation: its message lines in text
    SofdReset,    // the dispersion-limitation counter restarts
    Sofd,         // dispersion limitation at node a; switches in nums
    WbmbReset,    // the counters of the sediment balance warnings restart
    WbmbWarning,  // missing mass in the subsystem; percentage, missing, inputs in nums
    Bottom,       // substance leaving the bottom segment
    Dbdit,        // the line of the whole water body's distribution
    Failure,      // the column ended with an exception (kept in `failure`)
  };
  struct Entry {
    Op op;
    int a;
    std::uint32_t off;  // text or nums
    std::uint32_t len;
  };

  void clear(int column);
  void add(Op op, int a = 0, std::string_view text = {});
  void addNums(Op op, int a, std::initializer_list<float> values);
  void addNums(Op op, int a, const float* values, int count);
  // The subsystem's terms of the whole-sediment balance (9 values).
  void addTotal(const float* v);
  std::string_view text(const Entry& e) const { return std::string_view(text_).substr(e.off, e.len); }
  const float* nums(const Entry& e) const { return nums_.data() + e.off; }

  int column = 0;        // water-layer node i of the column
  int fpflags = 0;       // floating-point faults the column raised
  int count = 0;         // entries
  int totalAt = -1;      // the balance terms come before entry totalAt (-1: none)
  bool stopped = false;  // the log ends with a stop or a failure
  float total[9]{};
  float top = 0.0f;      // the column's new top concentration (cowbtop)
  std::exception_ptr failure;
  std::vector<Entry> entries;

 private:
  std::string text_;
  std::vector<float> nums_;
};

class Column {
 public:
  // log: where the column's output goes; null hands it to the kernel at once.
  Column(Kernel& kn, WbColumn& c, ColumnLog* log);

  // Time step s.j of column i as the driver runs it: load the stored profile
  // (the initial one at j = 0), solve, write, balance, store the new profile.
  void step(int column);
  // The same with everything the column hands over going into `log`; a stop
  // or an exception ends the column's step and the log.  `open` holds the
  // units that were open when the step's columns started: a logged column
  // reads nothing of the unit table, which the calling thread may change.
  void stepLogged(int column, ColumnLog& log, const std::bitset<100>& open);

  // The model's routines for column i (node k where they handle one node;
  // wbsods and wbsosf handle every node in turn).
  void wbso();
  void wbsods();
  void wbsosf();
  void wbsote();
  void wbsotp();
  void wbsocf();
  void wbsobt();
  void wbsocp();
  bool wbsodg(bool firstPass);
  void wbscoout();
  void wbmb();
  void dbout();
  void ecout();

  // Output of the column, to the log or straight through.
  void message(std::string_view line) { writeLine(21, line); }
  void writeLine(int unit, std::string_view line);
  void say(std::string_view line);
  bool isOpen(int unit) const;
  void wait();
  [[noreturn]] void stop(int status, const std::string& why);

  int i = 0;  // water-layer node of the column
  int k = 0;  // current sediment node

 private:
  // Thrown after a stop has gone into the log: the column ends there.
  struct Stopped {};

  [[noreturn]] void sayAndStop(std::initializer_list<std::string_view> lines, const std::string& why);
  [[noreturn]] void stopZeroDivisor(std::string_view routine, std::string_view what, const std::string& source);
  void wbsodsNode(int n, float q);
  void wbsosfNode(int n, float q);
  bool sameFaces() const;
  void keepFaces();
  void echoCoefficients(int m);
  void positivityAt(int m);
  void closeUnit(int unit);
  void closeOut(int unit);
  void positivityReset();
  void positivity(const std::string& block);
  void sofdReset();
  void sofdWarning(float mh, float ph);
  void wbmbReset();
  void wbmbWarning(float pct, float qumwb, float inputs);
  void bottomWarning();
  void wbTotal(const float* v);
  void dbdit();

  Kernel& kn_;
  KernelState& s;
  WbColumn& c;
  ColumnLog* log_;
  // Units this column closed while its closes wait in the log, and the units
  // open when the logged step began.
  std::bitset<100> closed_;
  const std::bitset<100>* open_ = nullptr;
  // Whether this step is an output time of the water layer's and the
  // sediment's time step.
  bool outWl_;
  bool outWb_;

  friend class Kernel;
};

}  // namespace kirmel
