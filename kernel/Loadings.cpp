// Loadings: reading and checking the entry routes (slin), snapping loading
// times and distances to the grid (slsnap), the drainage model's output file
// (slmdin), and the concentration increments of every step (wlload).
#include <stdio.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "kernel/Echo.h"
#include "kernel/InitCommon.h"
#include "kernel/Kernel.h"
#include "platform/Format.h"
#include "platform/LineReader.h"
#include "platform/Paths.h"

namespace kirmel {

namespace {

constexpr int kUnitSl = 17;
constexpr int kUnitMacro = 19;
constexpr int kUnitInput = 22;

// Node rule of the user-specified routes, on the distances as read.  Only the
// midpoints of the water body are searched; the nodes returned are
// water-layer node numbers.  The stretch is empty (start > end) when it lies
// beyond the last midpoint or before the first one.
int userStartNode(const KernelState& s, float stx) {
  const float* x = s.xcddit;
  if (stx < x[1]) return s.nxsefb + 1;
  for (int m = 1; m <= s.nxsedit - 1; ++m) {
    if (x[m] <= stx && stx < x[m + 1]) return s.nxsefb + m + 1;
  }
  return s.nxsefb + s.nxsedit + 1;
}

int userEndNode(const KernelState& s, float enx) {
  const float* x = s.xcddit;
  if (enx >= x[s.nxsedit]) return s.nxsefb + s.nxsedit;
  for (int m = 1; m <= s.nxsedit - 1; ++m) {
    if (x[m] <= enx && enx < x[m + 1]) return s.nxsefb + m;
  }
  return s.nxsefb;
}

// Node rule of the model drainage route: a start between two midpoints gives
// the node before it.  Same search range and empty stretches as above.
int modelStartNode(const KernelState& s, float stx) {
  const float* x = s.xcddit;
  if (stx < 0.1f || stx < x[1]) return s.nxsefb + 1;
  if (stx >= x[s.nxsedit]) return s.nxsefb + s.nxsedit + 1;
  for (int m = 1; m <= s.nxsedit - 1; ++m) {
    if (x[m] <= stx && stx < x[m + 1]) return s.nxsefb + m;
  }
  return s.nxsefb + s.nxsedit + 1;
}

int modelEndNode(const KernelState& s, float enx) {
  const float* x = s.xcddit;
  if (enx > x[s.nxsedit] - 0.1f) return s.nxsefb + s.nxsedit;
  for (int m = 1; m <= s.nxsedit - 1; ++m) {
    if (x[m] <= enx && enx < x[m + 1]) return s.nxsefb + m;
  }
  return s.nxsefb;
}

// The arrays of one user-specified route with a time window (drainage, runoff).
struct UserRoute {
  const char* count;
  const char* names[5];  // start time, end time, mass, start x, end x
  int& nt;
  float* stt;
  float* ent;
  float* mass;
  float* stx;
  float* enx;
  float* ts;  // window in s
  float* te;
  int* ns;  // stretch
  int* ne;
  const char* labels[4];
};

// One field of a fixed-column record: the characters from column `first`
// (1-based) on, `width` of them; a short record is padded with blanks.
std::string field(const std::string& rec, std::size_t first, std::size_t width) {
  std::string f;
  for (std::size_t p = first - 1; p < first - 1 + width; ++p) f += p < rec.size() ? rec[p] : ' ';
  return f;
}

// An Iw input field: blanks are ignored, an all-blank field is 0.
bool readIntField(const std::string& f, int& out) {
  std::string t;
  for (char ch : f)
    if (ch != ' ') t += ch;
  if (t.empty()) {
    out = 0;
    return true;
  }
  std::size_t p = 0;
  bool neg = false;
  if (t[0] == '+' || t[0] == '-') {
    neg = t[0] == '-';
    p = 1;
  }
  if (p == t.size()) return false;
  int v = 0;
  for (; p < t.size(); ++p) {
    if (t[p] < '0' || t[p] > '9') return false;
    v = v * 10 + (t[p] - '0');
  }
  out = neg ? -v : v;
  return true;
}

// An Ew.d input field: blanks are ignored, an all-blank field is 0; a number
// without a decimal point has d implied decimals; the exponent may be written
// with E or D, or as a signed number directly after the digits.
bool readRealField(const std::string& f, int d, float& out) {
  std::string t;
  for (char ch : f)
    if (ch != ' ') t += ch;
  if (t.empty()) {
    out = 0.0f;
    return true;
  }
  std::size_t p = 0;
  std::string mant;
  if (t[p] == '+' || t[p] == '-') {
    if (t[p] == '-') mant += '-';
    ++p;
  }
  std::string ip, fp;
  bool point = false;
  for (; p < t.size(); ++p) {
    char ch = t[p];
    if (ch >= '0' && ch <= '9') {
      (point ? fp : ip) += ch;
    } else if (ch == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (ip.empty() && fp.empty()) return false;
  long exp = 0;
  if (p < t.size()) {
    char ch = t[p];
    if (ch == 'E' || ch == 'e' || ch == 'D' || ch == 'd') ++p;
    else if (ch != '+' && ch != '-') return false;
    bool neg = false;
    if (p < t.size() && (t[p] == '+' || t[p] == '-')) {
      neg = t[p] == '-';
      ++p;
    }
    if (p == t.size()) return false;
    for (; p < t.size(); ++p) {
      if (t[p] < '0' || t[p] > '9') return false;
      if (exp < 100000) exp = exp * 10 + (t[p] - '0');
    }
    if (neg) exp = -exp;
  }
  if (!point) exp -= d;
  std::string txt = mant + (ip.empty() ? "0" : ip) + "." + (fp.empty() ? "0" : fp) + "e" + std::to_string(exp);
  float v = 0.0f;
  auto res = std::from_chars(txt.data(), txt.data() + txt.size(), v);
  if (res.ec != std::errc() || res.ptr != txt.data() + txt.size()) return false;
  out = v;
  return true;
}

}  // namespace

void Kernel::slsnap(int kind, std::string_view name, int number, float& value) {
  std::string_view label = name.substr(0, std::min<std::size_t>(20, name.size()));
  if (kind == 1) {
    const float dt = s.deltwl;
    if (!(dt > 0.0f) || !(std::fabs(value / dt) < 2.0e9f)) return;
    const float r = amod(value, dt);
    int steps = static_cast<int>(std::trunc(value / dt));
    if (r >= 0.5f && !(r < dt / 2.0f)) ++steps;
    // The snapped time is a whole number of steps times deltwl, computed as
    // the time loop computes the time of step j, so that it is met exactly.
    const float snapped = static_cast<float>(steps) * dt;
    if (r >= 0.5f) {
      message("");
      message("");
      std::string l = " Warning: input time for ";
      l += padTo(label, 20);
      l += " (loading no ";
      fmt::I(l, number, 5);
      l += ")";
      message(l);
      message(" is not a multiple of calculation timestep,");
      l = " therefore input time ";
      fmt::F(l, value / 86400.0f, 10, 4);
      l += " d is replaced by ";
      fmt::F(l, snapped / 86400.0f, 10, 4);
      l += " d";
      message(l);
      ++s.nwarn;
    }
    value = snapped;
    return;
  }

  auto warn = [&](float oldv, float newv) {
    message("");
    message("");
    std::string l = " Warning: input distance for ";
    l += padTo(label, 20);
    l += " (segment ";
    fmt::I(l, number, 5);
    l += ")";
    message(l);
    message(" matches not with defined segment lengths, therefore ");
    l = " input distance ";
    fmt::F(l, oldv, 8, 2);
    l += " m is replaced by ";
    fmt::F(l, newv, 8, 2);
    l += " m";
    message(l);
    ++s.nwarn;
  };

  // Segment lengths of the water body rebuilt from its midpoints.
  const int n = s.nxsedit;
  if (n < 1) return;
  float len[MXDIT + 1]{};
  len[1] = 2.0f * s.xcddit[1];
  for (int m = 2; m <= n; ++m) len[m] = 2.0f * (s.xcddit[m] - s.xcddit[m - 1] - len[m - 1] / 2.0f);
  for (int m = 1; m <= n; ++m) {
    float lo = s.xcddit[m] - len[m] / 2.0f;
    float hi = s.xcddit[m] + len[m] / 2.0f;
    if (lo < value && value < hi && std::fabs(value - lo) > 1.0e-6f) {
      float nv = value - lo >= len[m] / 2.0f ? hi : lo;
      warn(value, nv);
      value = nv;
    }
  }
  float end = s.xcddit[n] + len[n] / 2.0f;
  if (value > end) {
    warn(value, end);
    value = end;
  }
}

namespace {

// Snaps the window of a model's output to the grid: its start time (d) and
// the start and end of its stretch (m).  `model` is the 12-character label
// that begins each snapping message.
void snapModelWindow(Kernel& kn, std::string_view model, float& startDays, float& startX,
                     float& endX) {
  const std::string label(model);
  float t = startDays * 86400.0f;
  kn.slsnap(1, label + "start t  ", 1, t);
  startDays = t / 86400.0f;
  kn.slsnap(2, label + "start x  ", 1, startX);
  kn.slsnap(2, label + "end x    ", 1, endX);
}

}  // namespace

void Kernel::slin() {
  rd_.RDINIT(kUnitSl, 21, s.slinp);
  echo("");
  echo("");
  echo(" All input from subroutine slin:");

  rd_.RDSINR("op_slus", 0, 1, s.op_slus);
  rd_.RDSINR("op_slud", 0, 1, s.op_slud);
  rd_.RDSINR("op_slur", 0, 1, s.op_slur);
  rd_.RDSINR("op_slmd", 0, 1, s.op_slmd);
  rd_.RDSINR("op_slmr", 0, 1, s.op_slmr);
  echo("");
  echo(" Input from " + pad100(s.slinp) + ":");
  echo(" Section 1: Options data sources, entry routes");
  echo(Ld().t(" User specified, spray drift: ").n(s.op_slus));
  echo(Ld().t(" User specified, drainage   : ").n(s.op_slud));
  echo(Ld().t(" User specified, runoff     : ").n(s.op_slur));
  echo(Ld().t(" Model output, drainage     : ").n(s.op_slmd));
  echo(Ld().t(" Model output, runoff       : ").n(s.op_slmr));

  // ---- spray drift ----
  if (s.op_slus == 1) {
    int n1 = 0, n2 = 0, n3 = 0, n4 = 0;
    rd_.RDSINR("ntslus", 1, 500, s.ntslus);
    rd_.RDARER("tslus", 0.0f, 500.0f, &s.tslus[1], MLOAD, n1);
    rd_.RDARER("mslus", 0.0f, 1000.0f, &s.mslus[1], MLOAD, n2);
    rd_.RDARER("stxslus", 0.0f, 10000.0f, &s.stxslus[1], MLOAD, n3);
    rd_.RDARER("enxslus", 0.0f, 10000.0f, &s.enxslus[1], MLOAD, n4);
    if (s.ntslus != n1 || s.ntslus != n2 || s.ntslus != n3 || s.ntslus != n4) {
      message("");
      message("");
      message(" Error in input " + pad100(s.slinp));
      message(" actual length array tslus, mslus, stxslus or enxslus ");
      message("is not equal to declared length, please correct data");
      ++s.nerr;
    }
    float sumc = 0.0f;
    for (int i = 1; i <= s.nxnotot; ++i) sumc += s.castwl[i];
    if (s.mslus[1] > 1.0e-20f && sumc > 1.0e-20f && s.tslus[1] < 1.0e-6f) {
      message("");
      message("");
      message(" Warning: ");
      message(" substance present in water layer and loading of");
      message(" substance taking place simultaneously at start of simulation");
      ++s.nwarn;
    }
    echo("");
    echo(" Section 2: User specified input, spray drift");
    echo(" number of loadings");
    echo("  -");
    echo(" time, mass and stretch of watercourse");
    echo(" (d, g/m^2, m, m)");
    echo(Ld().n(s.ntslus));
    Ld all;
    for (int n = 1; n <= s.ntslus; ++n) all.r(s.tslus[n]).r(s.mslus[n]).r(s.stxslus[n]).r(s.enxslus[n]);
    echo(all);

    for (int n = 1; n <= s.ntslus; ++n) {
      s.stslus[n] = s.tslus[n] * 86400.0f;
      s.etslus[n] = s.stslus[n];
      s.snslus[n] = userStartNode(s, s.stxslus[n]);
      s.enslus[n] = userEndNode(s, s.enxslus[n]);
    }
    for (int n = 1; n <= s.ntslus; ++n) {
      slsnap(1, "spray drift          ", n, s.stslus[n]);
      s.etslus[n] = s.stslus[n];
      slsnap(2, "spray drift start x  ", n, s.stxslus[n]);
      slsnap(2, "spray drift end x    ", n, s.enxslus[n]);
    }
    for (int n = 2; n <= s.ntslus; ++n) {
      if (std::fabs(s.stslus[n] - s.stslus[n - 1]) < 1.0e-6f) {
        message("");
        message("");
        message(" Error in input " + pad100(s.slinp) + ",");
        std::string l = " loading from spray drift no ";
        fmt::I(l, n, 3);
        l += " and no ";
        fmt::I(l, n - 1, 3);
        l += " concur";
        message(l);
        ++s.nerr;
      }
      if (s.stslus[n] < s.stslus[n - 1]) {
        message("");
        message("");
        message(" Error in input " + pad100(s.slinp) + ",");
        message(" loadings from spray drift not entered in chronological order, please change order");
        ++s.nerr;
      }
    }
  }

  // ---- user drainage and user runoff ----
  UserRoute drainage{"ntslud",
                     {"sttslud", "entslud", "mslud", "stxslud", "enxslud"},
                     s.ntslud,
                     s.sttslud,
                     s.entslud,
                     s.mslud,
                     s.stxslud,
                     s.enxslud,
                     s.stslud,
                     s.etslud,
                     s.snslud,
                     s.enslud,
                     {"drainage    start t  ", "drainage    end t    ", "drainage    start x  ",
                      "drainage    end x    "}};
  UserRoute runoff{"ntslur",
                   {"sttslur", "entslur", "mslur", "stxslur", "enxslur"},
                   s.ntslur,
                   s.sttslur,
                   s.entslur,
                   s.mslur,
                   s.stxslur,
                   s.enxslur,
                   s.stslur,
                   s.etslur,
                   s.snslur,
                   s.enslur,
                   {"runoff      start t  ", "runoff      end t    ", "runoff      start x  ",
                    "runoff      end x    "}};
  for (int route = 0; route < 2; ++route) {
    if ((route == 0 ? s.op_slud : s.op_slur) != 1) continue;
    UserRoute& r = route == 0 ? drainage : runoff;
    int cnt[5]{};
    rd_.RDSINR(r.count, 1, 500, r.nt);
    rd_.RDARER(r.names[0], 0.0f, 500.0f, &r.stt[1], MLOAD, cnt[0]);
    rd_.RDARER(r.names[1], 0.0f, 500.0f, &r.ent[1], MLOAD, cnt[1]);
    rd_.RDARER(r.names[2], 0.0f, 1000.0f, &r.mass[1], MLOAD, cnt[2]);
    rd_.RDARER(r.names[3], 0.0f, 10000.0f, &r.stx[1], MLOAD, cnt[3]);
    rd_.RDARER(r.names[4], 0.0f, 10000.0f, &r.enx[1], MLOAD, cnt[4]);
    bool bad = false;
    for (int c : cnt) bad = bad || c != r.nt;
    if (bad) {
      message("");
      message("");
      message(" Error in input " + pad100(s.slinp));
      if (route == 0) {
        message(" actual length array sttslud, entslud, mslud, stxslud");
        message(" or enxslud is not equal to declared length, please correct data");
      } else {
        message(" actual length array sttslur, entslur, mslur, stxslur");
        message(" or enxslur is not equal to declared length,");
        message(" please correct data");
      }
      ++s.nerr;
    }
    echo("");
    if (route == 0) {
      echo(" Section 3: User specified input, drainage");
      echo(" number of loadings");
      echo("  - ");
      echo(" start time, end time, mass and stretch of waterbody");
    } else {
      echo(" Section 4: User specified input, runoff");
      echo(" number of loadings");
      echo(" start time, end time, mass  stretch of waterbody");
      echo(" - ");
    }
    echo(" (d, d, g.m'-1, m, m)");
    echo(Ld().n(r.nt));
    Ld all;
    for (int n = 1; n <= r.nt; ++n) all.r(r.stt[n]).r(r.ent[n]).r(r.mass[n]).r(r.stx[n]).r(r.enx[n]);
    echo(all);

    for (int n = 1; n <= r.nt; ++n) {
      r.ts[n] = r.stt[n] * 86400.0f;
      r.te[n] = r.ent[n] * 86400.0f;
      r.ns[n] = userStartNode(s, r.stx[n]);
      r.ne[n] = userEndNode(s, r.enx[n]);
    }
    for (int n = 1; n <= r.nt; ++n) {
      slsnap(1, r.labels[0], n, r.ts[n]);
      slsnap(1, r.labels[1], n, r.te[n]);
      slsnap(2, r.labels[2], n, r.stx[n]);
      slsnap(2, r.labels[3], n, r.enx[n]);
    }
  }

  // ---- model drainage ----
  if (s.op_slmd == 1) {
    rd_.RDSINR("op1_slmd", 1, 2, s.op1_slmd);
    rd_.RDSCHA("fnslmdinp", s.fnslmdinp, static_cast<int>(paths::kMaxPath));
    rd_.RDSRER("sttmd", 0.0f, 500.0f, s.sttmd);
    rd_.RDSRER("stxslmd", 0.0f, 10000.0f, s.stxslmd);
    rd_.RDSRER("enxslmd", 0.0f, 10000.0f, s.enxslmd);
    rd_.RDSINR("op2_slmd", 0, 1, s.op2_slmd);
    if (s.op2_slmd == 1) {
      rd_.RDSRER("xslmd", 0.0f, 10000.0f, s.xslmd);
      rd_.RDSRER("x1slmd", 0.0f, 10000.0f, s.x1slmd);
    }
    echo("");
    echo(" Section 5: Model output, drainage");
    echo(" model switch   file   simulation time");
    echo(" stretch of waterbody, (geometry neighbouring plot)");
    echo(" -  -  d");
    echo(" (m m m)");
    echo(Ld().n(s.op1_slmd).t(" ").t(padPath(s.fnslmdinp, 120)).r(s.sttmd));
    echo(Ld().r(s.stxslmd).r(s.enxslmd));
    if (s.op2_slmd == 1) {
      echo("");
      echo(" first drain      distance between drains");
      echo(" (m       m)");
      echo(Ld().r(s.xslmd).r(s.x1slmd));
    }
    snapModelWindow(*this, "drainage    ", s.sttmd, s.stxslmd, s.enxslmd);
  }

  // ---- model runoff: its variables only; no time series is read ----
  if (s.op_slmr == 1) {
    rd_.RDSINR("op1_slmr", 1, 2, s.op1_slmr);
    rd_.RDSCHA("fnslmrinp", s.fnslmrinp, static_cast<int>(paths::kMaxPath));
    rd_.RDSRER("sttmr", 0.0f, 500.0f, s.sttmr);
    rd_.RDSRER("stxslmr", 0.0f, 10000.0f, s.stxslmr);
    rd_.RDSRER("enxslmr", 0.0f, 10000.0f, s.enxslmr);
    echo("");
    echo(" Section 6: Model output, runoff");
    echo(" model switch  file  simulation time");
    echo(" stretch of waterbody, (geometry plot)");
    echo(" -  -  d");
    echo(" (m m m)");
    echo(Ld().n(s.op1_slmr).t(" ").t(padPath(s.fnslmrinp, 120)).r(s.sttmr));
    echo(Ld().r(s.stxslmr).r(s.enxslmr));
    snapModelWindow(*this, "runoff      ", s.sttmr, s.stxslmr, s.enxslmr);
  }
  env_.units().close(kUnitSl);

  if (s.op_slmd == 1 && s.op1_slmd == 2) slmdin();

  if (s.op_slmd == 1) {
    const int sn = modelStartNode(s, s.stxslmd);
    const int en = modelEndNode(s, s.enxslmd);
    for (int n = 1; n <= s.ntslmd; ++n) {
      s.snslmd[n] = sn;
      s.enslmd[n] = en;
      s.stslmd[n] = (s.sttmd + static_cast<float>(s.dayslmd[n])) * 86400.0f;
      s.etslmd[n] = (s.sttmd + static_cast<float>(s.dayslmd[n]) + 1.0f) * 86400.0f;
    }
    for (int n = 1; n <= s.ntslmd; ++n) {
      slsnap(1, "drainage    start t  ", n, s.stslmd[n]);
      slsnap(1, "drainage    end t    ", n, s.etslmd[n]);
    }
  }

  if (s.op_input == 1) env_.units().close(kUnitInput);
}

void Kernel::slmdin() {
  std::string name = s.fnslmdinp;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  auto fail = [&](std::vector<std::string> lines) {
    env_.units().close(kUnitMacro);
    lines.insert(lines.begin(), "");
    lines.push_back(" Program stops");
    fatal(lines);
  };

  auto path = paths::resolveExisting(name);
  std::FILE* fp = path ? openForReading(*path) : nullptr;
  if (!fp) fail({" Error in slin: cannot open drainage model file " + name});
  env_.units().attach(kUnitMacro, name, *path, fp, Form::Formatted, Access::Sequential, 0, false);

  // A record is far shorter; one without an end is not read on.
  constexpr std::size_t kMaxRecord = 65536;
  InputLines reader(env_, ::fileno(fp), kMaxRecord);
  std::string rec;
  s.ntslmd = 0;
  int recno = 0;
  // The next record into rec; false at the end of the file.
  auto next = [&]() {
    const InputLines::Result r = reader.next(rec);
    if (r == InputLines::Result::End) return false;
    ++recno;
    std::string l = " Error in slin: record";
    fmt::I(l, recno, 6);
    l += " of drainage model file " + name;
    if (r == InputLines::Result::RunsOn)
      fail({l, " has no line end within " + std::to_string(kMaxRecord) + " characters"});
    if (r == InputLines::Result::Failed) fail({l, " cannot be read"});
    return true;
  };
  next();  // the first record is a heading
  while (s.ntslmd < MLOAD && next()) {
    int day = 0;
    float rate = 0.0f;
    bool okDay = readIntField(field(rec, 3, 3), day);
    bool okRate = readRealField(field(rec, 66, 8), 2, rate);
    if (!okDay || !okRate) {
      std::string l = " Error in slin: record";
      fmt::I(l, recno, 6);
      l += " of drainage model file " + name;
      fail({l, okDay ? " loss rate in columns 66-73 is not a number: \"" + field(rec, 66, 8) + "\""
                     : " day number in columns 3-5 is not a whole number: \"" + field(rec, 3, 3) + "\""});
    }
    ++s.ntslmd;
    s.dayslmd[s.ntslmd] = day;
    s.lrslmd[s.ntslmd] = rate;
  }

  echo("");
  echo(" Input from " + padPath(s.fnslmdinp, 120) + ":");
  echo("");
  echo(" Section 1: Drainage from MACRO output file");
  echo(" time, loss rate");
  echo(" (d    g/m^2.d)");
  Ld all;
  for (int n = 1; n <= s.ntslmd; ++n) all.r(s.sttmd + static_cast<float>(s.dayslmd[n])).r(s.lrslmd[n]);
  echo(all);
  for (int n = 1; n <= s.ntslmd; ++n) s.lrslmd[n] = s.lrslmd[n] * 1000.0f;
  env_.units().close(kUnitMacro);
}

void Kernel::wlload() {
  const int nx = s.nxnotot;
  const float t = static_cast<float>(s.j) * s.deltwl;
  const float* area = s.j == 0 ? s.warst : s.warjp1;
  float* conc = s.j == 0 ? s.cowlj : s.cowljp1;

  for (int i = 1; i <= nx; ++i) {
    s.load[i] = 0.0f;
    if (area[i] == 0.0f) fatal(init::solveFailure("wlload", "wetted area zero", i, init::Solve::ZeroDenominator));
  }

  auto first = [](int n) { return n < 1 ? 1 : n; };
  auto last = [nx](int n) { return n > nx ? nx : n; };

  for (int n = 1; n <= s.ntslus; ++n) {
    if (s.stslus[n] <= t && t <= s.etslus[n]) {
      for (int i = first(s.snslus[n]); i <= last(s.enslus[n]); ++i)
        s.load[i] = (s.wibot + 2.0f * s.wdh * s.sisl) * s.mslus[n] / area[i];
    }
  }

  // Routes with a time window: the amount is spread evenly over its steps.
  auto window = [&](int nt, const float* ts, const float* te, const int* ns, const int* ne, auto mass) {
    for (int n = 1; n <= nt; ++n) {
      if (ts[n] <= t && t <= te[n] - s.deltwl) {
        const float m = mass(n);
        for (int i = first(ns[n]); i <= last(ne[n]); ++i)
          s.load[i] += m / area[i] * s.deltwl / (te[n] - ts[n]);
      }
    }
  };
  window(s.ntslud, s.stslud, s.etslud, s.snslud, s.enslud, [&](int n) { return s.mslud[n]; });
  window(s.ntslur, s.stslur, s.etslur, s.snslur, s.enslur, [&](int n) { return s.mslur[n]; });
  window(s.ntslmd, s.stslmd, s.etslmd, s.snslmd, s.enslmd, [&](int n) { return s.leplot * s.lrslmd[n]; });
  window(s.ntslmr, s.stslmr, s.etslmr, s.snslmr, s.enslmr, [&](int n) { return s.leplot * s.lrslmr[n]; });

  // Add each increment to the total concentration and solve again for the
  // dissolved concentration.
  for (int i = 1; i <= nx; ++i) {
    if (!(s.load[i] > 0.0f)) continue;
    const float c = conc[i];
    const float total = c + s.kdmp[i] * c * s.pez0hw * s.dwmp / area[i] +
                        s.coss * s.raomss * s.kdomss[i] * s.coobkomss * powf(c / s.coobkomss, s.exfrss) + s.load[i];
    float cn = 0.0f;
    init::Solve r = init::fixedPoint(
        total,
        [&](float cc) {
          return powf(cc / s.coobkomss, s.exfrss - 1.0f) * s.raomss * s.coss * s.kdomss[i] + 1.0f +
                 s.pez0hw * s.dwmp * s.kdmp[i] / area[i];
        },
        cn);
    if (r != init::Solve::Ok) fatal(init::solveFailure("wlload", "dissolved concentration after loading", i, r));
    conc[i] = cn;
  }

  if (s.j == 0) {
    s.nsolwl = 0;
    return;
  }
  for (int i = 1; i <= nx && s.nsolwl < 20; ++i) {
    if (s.cowljp1[i] > s.cosol) {
      message("");
      message(" Concentration in water layer exceeds");
      std::string l = " solubility at timestep:";
      fmt::I(l, s.j, 6);
      l += " and node:";
      fmt::I(l, i, 3);
      message(l);
      l = " Concentration is:";
      fmt::E(l, s.cowljp1[i], 10, 4);
      l += " Solubility is:";
      fmt::E(l, s.cosol, 10, 4);
      message(l);
      ++s.nsolwl;
      ++s.nwarn;
    }
  }
}

}  // namespace kirmel
