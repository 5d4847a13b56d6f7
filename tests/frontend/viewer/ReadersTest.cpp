// Readers of the kernel output files and of measured-data files: the golden
// runs read as the kernel wrote them, and damaged copies of every file read
// without a crash, keep what came before the damage, close the file and
// name the file and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>

#include "common/GoldenRuns.h"
#include "common/ReaderMessages.h"
#include "common/TempDir.h"
#include "frontend/viewer/DB.h"
#include "frontend/viewer/EC.h"
#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/Measure.h"
#include "frontend/viewer/WBMBALL.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/WLMB.h"
#include "frontend/viewer/WLSOCO.h"

namespace kirmel::test {
namespace {

using namespace kirmel::fe;

TEST(GoldenRuns, ExampleReadsAsWritten) {
  Messages m;
  // Upper-case names as the windows ask for them; the kernel wrote lower case.
  TWLSOCOList wl;
  ASSERT_TRUE(wl.ReadFile(Golden("example", "WLSOCO.OUT"), m.parser));
  EXPECT_EQ(wl.NumberOfTimesteps(), 61);
  EXPECT_EQ(wl.RecordsPerTimestep(), 80);
  ASSERT_EQ(wl.Count(), 61 * 80);
  const TWLSOCORecord& last = wl.GetItem(wl.Count() - 1);
  EXPECT_EQ(last.Time, 30);
  EXPECT_EQ(last.Segment, 80);
  EXPECT_DOUBLE_EQ(last.Concentration, 0.4795E-03);
  EXPECT_EQ(last.Timestep, 4320);
  EXPECT_EQ(wl.RecordIndex(61, 80), wl.Count() - 1);
  EXPECT_EQ(wl.GetItem(wl.RecordIndex(2, 1)).Time, 0.5);
  EXPECT_EQ(wl.RecordIndex(62, 1), -1);
  EXPECT_EQ(wl.RecordIndex(1, 81), -1);
  EXPECT_THROW(wl.GetItem(wl.Count()), EIndexOutOfRange);
  EXPECT_FALSE(m.parser.FileOpen());

  TWBSCOList sed;
  ASSERT_TRUE(sed.ReadFile(Golden("example", "WBSCO001.OUT"), m.parser));
  EXPECT_EQ(sed.NumberOfTimesteps(), 61);
  EXPECT_EQ(sed.LayersPerTimestep(), 14);
  int index = -1;
  ASSERT_TRUE(sed.FindTimestep(4320, index));
  EXPECT_EQ(index, 60 * 15);
  EXPECT_EQ(sed.GetItem(index).Segment, "1");
  EXPECT_EQ(sed.TopIndex(61), index + 14);
  const TWBSCORecord& top = sed.GetItem(sed.TopIndex(61));
  EXPECT_EQ(top.Segment, "top");
  EXPECT_DOUBLE_EQ(top.Concentration, 0.1076E-12);
  EXPECT_EQ(top.Timestep, 4320);
  EXPECT_FALSE(sed.FindTimestep(4321, index));
  EXPECT_EQ(sed.LayerIndex(61, 15), -1);

  TECList ec;
  ASSERT_TRUE(ec.ReadFile(Golden("example", "EC080.OUT"), wl.NumberOfTimesteps(), m.parser));
  ASSERT_EQ(ec.Count(), 4);
  const double expected[4][2] = {{0, 4.304}, {4, 3.057}, {21, 1.564}, {28, 1.327}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(ec.GetItem(i).TimeOfOccurrence, expected[i][0]);
    EXPECT_NEAR(ec.GetItem(i).Concentration, expected[i][1], 1e-12);
  }

  TINPUT in;
  ASSERT_TRUE(in.ReadFile(Golden("example", "INPUT.OUT"), m.parser));
  EXPECT_EQ(in.WaterBodyLength(), 320);
  ASSERT_EQ(in.NumberOfSubsystems(), 2);
  EXPECT_EQ(in.Subsystems(1), 1);
  EXPECT_EQ(in.Subsystems(2), 80);
  ASSERT_EQ(in.NumberOfWLSegments(), 80);
  EXPECT_EQ(in.WLMidDistance(1), 2);
  EXPECT_EQ(in.WLMidDistance(80), 318);
  ASSERT_EQ(in.NumberOfSedimentSegments(), 14);
  EXPECT_NEAR(in.SedimentMidDepth(1), 0.0005, 1e-12);
  EXPECT_NEAR(in.SedimentMidDepth(14), 0.09, 1e-12);
  EXPECT_THROW(in.WLMidDistance(81), EIndexOutOfRange);
  EXPECT_THROW(in.Subsystems(0), EIndexOutOfRange);

  TWLMBList mb;
  ASSERT_TRUE(mb.ReadFile(Golden("example", "WLMB.OUT"), m.parser));
  ASSERT_EQ(mb.Count(), 61);
  const TWLMBRecord& half = mb.GetItem(1);
  EXPECT_EQ(half.Time, 0.5);
  EXPECT_DOUBLE_EQ(half.InitLoad, 0.3);
  EXPECT_DOUBLE_EQ(half.Remaining, 0.2662);
  EXPECT_DOUBLE_EQ(half.ToSed, -0.02161);
  EXPECT_DOUBLE_EQ(half.OutEnd, -0.004753);

  TWBMBALLList wb;
  ASSERT_TRUE(wb.ReadFile(Golden("example", "WBMBALL.OUT"), m.parser));
  ASSERT_EQ(wb.Count(), 61);
  EXPECT_DOUBLE_EQ(wb.GetItem(3).ToWL, -0.2135E-05);
  EXPECT_DOUBLE_EQ(wb.GetItem(3).Transformed, -0.1374E-03);

  EXPECT_TRUE(m.list.empty());
}

// Water-layer buffers: more rows per time than water-body segments, lower
// buffer rows before "top", and a subsystem in a buffer.
TEST(GoldenRuns, BuffersMapNodesToSegments) {
  Messages m;
  TINPUT in;
  ASSERT_TRUE(in.ReadFile(Golden("buffers", "input.out"), m.parser));
  EXPECT_EQ(in.WaterBodyLength(), 20);
  EXPECT_EQ(in.NumberOfFrontBufferSegments(), 2);
  EXPECT_EQ(in.NumberOfEndBufferSegments(), 2);
  ASSERT_EQ(in.NumberOfWLSegments(), 5);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(in.WLMidDistance(i), 4.0 * i - 2);
  ASSERT_EQ(in.NumberOfSubsystems(), 3);
  EXPECT_EQ(in.WLSegmentOfNode(in.Subsystems(1)), 1);  // node 3
  EXPECT_EQ(in.WLSegmentOfNode(in.Subsystems(2)), 5);  // node 7
  EXPECT_EQ(in.WLSegmentOfNode(in.Subsystems(3)), 0);  // node 1: front buffer
  EXPECT_EQ(in.NumberOfSedimentSegments(), 5);
  EXPECT_NEAR(in.SedimentMidDepth(5), 0.03, 1e-12);

  TWLSOCOList wl;
  ASSERT_TRUE(wl.ReadFile(Golden("buffers", "wlsoco.out"), m.parser));
  EXPECT_EQ(wl.NumberOfTimesteps(), 9);
  ASSERT_EQ(wl.RecordsPerTimestep(), 9);
  const TWLSOCORecord& first = wl.GetItem(wl.RecordIndex(9, in.WLNodeOfSegment(1)));
  EXPECT_EQ(first.Segment, 3);
  EXPECT_EQ(first.Time, 2);

  TWBSCOList sed;
  ASSERT_TRUE(sed.ReadFile(Golden("buffers", "wbsco003.out"), m.parser));
  EXPECT_EQ(sed.LayersPerTimestep(), 7);  // 5 layers and 2 of the lower buffer
  EXPECT_EQ(sed.GetItem(sed.TopIndex(9)).Segment, "top");
  int index = 0;
  ASSERT_TRUE(sed.FindTimestep(wl.GetItem(wl.RecordIndex(9, 1)).Timestep, index));
  EXPECT_EQ(index, 8 * 8);

  TECList ec;
  ASSERT_TRUE(ec.ReadFile(Golden("buffers", "ec007.out"), wl.NumberOfTimesteps(), m.parser));
  EXPECT_EQ(ec.Count(), 4);
  EXPECT_TRUE(ec.ReadError().empty());
  EXPECT_TRUE(m.list.empty());
}

// Every golden run: each reader takes each file whole, and the files agree.
TEST(GoldenRuns, EveryFileReadsWhole) {
  for (const char* run : {"example", "buffers", "freundlich", "seepage"}) {
    SCOPED_TRACE(run);
    Messages m;
    TINPUT in;
    ASSERT_TRUE(in.ReadFile(Golden(run, "input.out"), m.parser));
    TWLSOCOList wl;
    ASSERT_TRUE(wl.ReadFile(Golden(run, "wlsoco.out"), m.parser));
    EXPECT_EQ(wl.RecordsPerTimestep(), in.NumberOfFrontBufferSegments() + in.NumberOfWLSegments() +
                                           in.NumberOfEndBufferSegments());
    EXPECT_EQ(wl.Count(), wl.NumberOfTimesteps() * wl.RecordsPerTimestep());
    TWLMBList mb;
    ASSERT_TRUE(mb.ReadFile(Golden(run, "wlmb.out"), m.parser));
    EXPECT_EQ(mb.Count(), wl.NumberOfTimesteps());
    TWBMBALLList wb;
    ASSERT_TRUE(wb.ReadFile(Golden(run, "wbmball.out"), m.parser));
    EXPECT_EQ(wb.Count(), wl.NumberOfTimesteps());
    for (int i = 1; i <= in.NumberOfSubsystems(); ++i) {
      if (in.WLSegmentOfNode(in.Subsystems(i)) == 0) continue;  // no files for a buffer node
      char suffix[8];
      std::snprintf(suffix, sizeof suffix, "%.3d", in.Subsystems(i));
      TWBSCOList sed;
      ASSERT_TRUE(sed.ReadFile(Golden(run, std::string("wbsco") + suffix + ".out"), m.parser));
      EXPECT_EQ(sed.NumberOfTimesteps(), wl.NumberOfTimesteps());
      EXPECT_GE(sed.LayersPerTimestep(), in.NumberOfSedimentSegments());
      TECList ec;
      ASSERT_TRUE(ec.ReadFile(Golden(run, std::string("ec") + suffix + ".out"),
                              wl.NumberOfTimesteps(), m.parser));
      EXPECT_EQ(ec.Count(), 4);
    }
    EXPECT_TRUE(m.list.empty()) << m.list.front();
  }
}

// A generic reader run: file name in, records out as text, so one table can
// drive every reader.
struct ReaderCase {
  const char* file;
  std::function<std::vector<std::string>(const std::string&, Parser&, std::string&)> read;
};

template <class List, class Row>
std::vector<std::string> Dump(const List& list, Row row) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(row(list.GetItem(i)));
  return out;
}

std::string Num(double v) {
  std::ostringstream s;
  s.precision(17);
  s << v;
  return s.str();
}

const std::vector<ReaderCase>& Readers() {
  static const std::vector<ReaderCase> cases = {
      {"wlsoco.out",
       [](const std::string& f, Parser& p, std::string& err) {
         TWLSOCOList l;
         EXPECT_TRUE(l.ReadFile(f, p));
         EXPECT_LE(l.NumberOfTimesteps() * l.RecordsPerTimestep(), l.Count());
         err = l.ReadError();
         return Dump(l, [](const TWLSOCORecord& r) {
           return Num(r.Time) + " " + std::to_string(r.Segment) + " " + Num(r.Concentration) +
                  " " + std::to_string(r.Timestep);
         });
       }},
      {"wbsco080.out",
       [](const std::string& f, Parser& p, std::string& err) {
         TWBSCOList l;
         EXPECT_TRUE(l.ReadFile(f, p));
         EXPECT_LE(l.NumberOfTimesteps() * l.RecordsPerTimestep(), l.Count());
         for (int t = 1; t <= l.NumberOfTimesteps(); ++t)
           EXPECT_EQ(l.GetItem(l.TopIndex(t)).Segment, "top");
         err = l.ReadError();
         return Dump(l, [](const TWBSCORecord& r) {
           return Num(r.Time) + " " + r.Segment + " " + Num(r.Concentration) + " " +
                  std::to_string(r.Timestep);
         });
       }},
      {"ec080.out",
       [](const std::string& f, Parser& p, std::string& err) {
         TECList l;
         EXPECT_TRUE(l.ReadFile(f, 61, p));
         err = l.ReadError();
         return Dump(l, [](const TECRecord& r) {
           return Num(r.TimeOfOccurrence) + " " + Num(r.Concentration);
         });
       }},
      {"wlmb.out",
       [](const std::string& f, Parser& p, std::string& err) {
         TWLMBList l;
         EXPECT_TRUE(l.ReadFile(f, p));
         err = l.ReadError();
         return Dump(l, [](const TWLMBRecord& r) {
           return Num(r.Time) + " " + Num(r.InitLoad) + " " + Num(r.OutFront);
         });
       }},
      {"wbmball.out",
       [](const std::string& f, Parser& p, std::string& err) {
         TWBMBALLList l;
         EXPECT_TRUE(l.ReadFile(f, p));
         err = l.ReadError();
         return Dump(l, [](const TWBMBALLRecord& r) {
           return Num(r.Time) + " " + Num(r.Initial) + " " + Num(r.Transformed);
         });
       }},
      {"dbdit.out",
       [](const std::string& f, Parser& p, std::string& err) {
         TDBList l;
         EXPECT_TRUE(l.ReadFile(f, p));
         err = l.ReadError();
         return Dump(l, [](const TDBRecord& r) {
           return Num(r.Time) + " " + Num(r.Dissolved) + " " + Num(r.SorbedSed);
         });
       }},
      {"input.out",
       [](const std::string& f, Parser& p, std::string& err) {
         TINPUT in;
         const bool ok = in.ReadFile(f, p);
         err = ok ? "" : "refused";
         // Refused: nothing was taken.
         if (!ok) {
           EXPECT_EQ(in.NumberOfWLSegments(), 0);
         }
         std::vector<std::string> out;
         if (ok) {
           out.push_back(Num(in.WaterBodyLength()));
           for (int i = 1; i <= in.NumberOfWLSegments(); ++i) out.push_back(Num(in.WLMidDistance(i)));
           for (int i = 1; i <= in.NumberOfSedimentSegments(); ++i)
             out.push_back(Num(in.SedimentMidDepth(i)));
         }
         return out;
       }},
  };
  return cases;
}

// Cuts every file at many places, inside lines and at line ends: every
// record read is one the whole file holds, the file is closed, and a file
// cut inside a line (which the kernel ends every line of) says where it
// stopped, in one message naming the file and line.  The input echo is
// either refused or read as whole: the reader stops before most of it.
TEST(DamagedFiles, TruncatedCopiesKeepWhatCameBefore) {
  TempDir dir;
  for (const ReaderCase& c : Readers()) {
    SCOPED_TRACE(c.file);
    const bool echo = std::string(c.file) == "input.out";
    const std::string path = Golden("example", c.file);
    const std::string text = readFile(path);
    Messages m;
    std::string err;
    const std::vector<std::string> whole = c.read(path, m.parser, err);
    ASSERT_TRUE(err.empty());
    ASSERT_FALSE(whole.empty());

    const int cuts = 41;
    for (int k = 1; k < cuts; ++k) {
      const std::size_t at = text.size() * k / cuts + (k % 3);  // inside and at line ends
      SCOPED_TRACE("cut at " + std::to_string(at));
      const std::string cut = dir.write("cut.out", text.substr(0, at));
      Messages mc;
      std::string cutErr;
      const std::vector<std::string> part = c.read(cut, mc.parser, cutErr);
      EXPECT_FALSE(mc.parser.FileOpen());
      ASSERT_LE(part.size(), whole.size());
      if (echo && cutErr.empty()) {
        EXPECT_EQ(part, whole);
        continue;
      }
      for (std::size_t i = 0; i < part.size(); ++i) ASSERT_EQ(part[i], whole[i]) << "record " << i;
      if (text[at - 1] != '\n' || std::string(c.file) == "ec080.out") {
        EXPECT_FALSE(cutErr.empty());
        EXPECT_LT(part.size(), whole.size());
      }
      if (!cutErr.empty() && !echo) {
        ASSERT_EQ(mc.list.size(), 1u);
        EXPECT_EQ(mc.list[0], cutErr);
        EXPECT_EQ(cutErr.rfind(cut + ", line ", 0), 0u) << cutErr;
      }
    }
  }
}

// The last line of a kernel output file lacks its line end: cut inside its
// last number it would read as another number, so it is left out and the
// file named with that line; whole (as long as a row) it counts.
TEST(DamagedFiles, LastLineCountsOnlyWhenWhole) {
  TempDir dir;
  for (const ReaderCase& c : Readers()) {
    if (std::string(c.file) == "input.out") continue;
    SCOPED_TRACE(c.file);
    const std::string text = readFile(Golden("example", c.file));
    Messages m;
    std::string err;
    const std::vector<std::string> whole = c.read(Golden("example", c.file), m.parser, err);

    // Without the final line end only, and without the line ends after the
    // last row.
    const std::string unended = dir.write("unended.out", text.substr(0, text.size() - 1));
    Messages mw;
    EXPECT_EQ(c.read(dir.write("unended2.out", text.substr(0, text.find_last_not_of('\n') + 1)),
                     mw.parser, err),
              whole);
    EXPECT_TRUE(mw.list.empty());
    Messages mu;
    EXPECT_EQ(c.read(unended, mu.parser, err), whole);
    EXPECT_TRUE(err.empty()) << err;
    EXPECT_TRUE(mu.list.empty());

    // Cut inside the last number of the last data line (empty lines may
    // follow it), which stays a number: "0.1327E-02" becomes "0.13", a time
    // step "4320" becomes "432".
    const std::size_t end = text.find_last_not_of('\n') + 1;
    const std::size_t lastLine = text.rfind('\n', end - 1) + 1;
    const std::size_t lastNumber = text.rfind(' ', end - 1) + 1;
    const std::string number = text.substr(lastNumber, end - lastNumber);
    const std::size_t keep =
        lastNumber + (number.find('E') != std::string::npos ? 4 : number.size() - 1);
    const std::string cut = dir.write("cut.out", text.substr(0, keep));
    Messages mc;
    const std::vector<std::string> part = c.read(cut, mc.parser, err);
    const long line = std::count(text.begin(), text.begin() + static_cast<long>(lastLine), '\n') + 1;
    EXPECT_EQ(err, cut + ", line " + std::to_string(line) +
                       ": the file ends inside this line (it has no line end)");
    EXPECT_EQ(mc.list, std::vector<std::string>{err});
    ASSERT_EQ(part.size() + 1, whole.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), whole.begin()));
  }
}

// Each file damaged inside: the reading stops at the damage with a message
// naming the file and its line, and the whole blocks before it stay usable.
TEST(DamagedFiles, MalformedCopiesStopAtTheFault) {
  TempDir dir;
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  };
  auto join = [](const std::vector<std::string>& ls) {
    std::string s;
    for (const auto& l : ls) s += l + "\n";
    return s;
  };
  Messages m;

  // wlsoco.out: header of 12 lines, then 80 rows a time block.
  const std::vector<std::string> wlsoco = lines(readFile(Golden("example", "wlsoco.out")));
  const std::size_t block5 = 12 + 4 * 80;  // first row of the fifth block (0-based line)
  {
    auto ls = wlsoco;
    ls.erase(ls.begin() + static_cast<long>(block5 + 40));  // segment 41 of block 5 lost
    TWLSOCOList wl;
    ASSERT_TRUE(wl.ReadFile(dir.write("a.out", join(ls)), m.parser));
    EXPECT_EQ(wl.NumberOfTimesteps(), 4);
    EXPECT_EQ(wl.Count(), 4 * 80 + 40);
    EXPECT_EQ(wl.RecordIndex(5, 1), -1);
    EXPECT_EQ(wl.ReadError(), dir.file("a.out") + ", line " + std::to_string(block5 + 41) +
                                  ": segment 42 follows segment 40");
  }
  {
    auto ls = wlsoco;
    ls[block5 + 79].replace(ls[block5 + 79].size() - 6, 6, "******");  // time step overflowed
    ls[block5 + 3].resize(40);                                          // and a row cut short
    TWLSOCOList wl;
    ASSERT_TRUE(wl.ReadFile(dir.write("b.out", join(ls)), m.parser));
    EXPECT_EQ(wl.NumberOfTimesteps(), 4);
    EXPECT_EQ(wl.Count(), 4 * 80 + 3);
    EXPECT_EQ(wl.ReadError(), dir.file("b.out") + ", line " + std::to_string(block5 + 4) +
                                  ": the line ends before the record is complete");
  }

  // wbsco080.out: header of 15 lines, 15 rows a block; the third block's
  // "top" row lost, then a run that stopped one block early.
  const std::vector<std::string> wbsco = lines(readFile(Golden("example", "wbsco080.out")));
  {
    auto ls = wbsco;
    ls.erase(ls.begin() + 15 + 3 * 15 - 1);
    TWBSCOList sed;
    ASSERT_TRUE(sed.ReadFile(dir.write("c.out", join(ls)), m.parser));
    EXPECT_EQ(sed.NumberOfTimesteps(), 2);
    EXPECT_EQ(sed.TopIndex(3), -1);
    EXPECT_NE(sed.ReadError().find("a time block ends without a \"top\" row"), std::string::npos);
  }
  {
    auto ls = wbsco;
    ls.resize(ls.size() - 15);
    TWBSCOList sed;
    ASSERT_TRUE(sed.ReadFile(dir.write("d.out", join(ls)), m.parser));
    EXPECT_EQ(sed.NumberOfTimesteps(), 60);
    EXPECT_TRUE(sed.ReadError().empty());
    int index = 0;
    EXPECT_FALSE(sed.FindTimestep(4320, index));
    EXPECT_TRUE(sed.FindTimestep(4248, index));
    // Cut at a line end inside the last block: its rows are whole, yet the
    // file is named, where it stopped.
    ls = wbsco;
    ls.resize(ls.size() - 3);
    const std::size_t before = m.list.size();
    ASSERT_TRUE(sed.ReadFile(dir.write("d2.out", join(ls)), m.parser));
    EXPECT_EQ(sed.NumberOfTimesteps(), 60);
    EXPECT_EQ(sed.ReadError(), dir.file("d2.out") + ", line " + std::to_string(ls.size()) +
                                   ": the file ends inside a time block (no \"top\" row)");
    ASSERT_EQ(m.list.size(), before + 1);
    EXPECT_EQ(m.list.back(), sed.ReadError());
  }
  {
    // A lower-buffer-like extra row in the second block only.
    auto ls = wbsco;
    ls.insert(ls.begin() + 15 + 15 + 14,
              "   0.500   15  0.1000    0.0000E+00    0.0000E+00    0.0000E+00      0.00    0.00    0.00      72");
    TWBSCOList sed;
    ASSERT_TRUE(sed.ReadFile(dir.write("e.out", join(ls)), m.parser));
    EXPECT_EQ(sed.NumberOfTimesteps(), 1);
    EXPECT_NE(sed.ReadError().find("more than 14 sediment segments"), std::string::npos);
  }

  // ec080.out: the table found after a count that fell short (a
  // water-layer file that stopped early) or that is 0, refused after a count
  // beyond the time series, and "-" in the table.
  const std::string ec = readFile(Golden("example", "ec080.out"));
  {
    TECList l;
    for (int skip : {0, 1, 60}) {
      ASSERT_TRUE(l.ReadFile(dir.write("f.out", ec), skip, m.parser));
      ASSERT_EQ(l.Count(), 4) << skip;
      EXPECT_DOUBLE_EQ(l.GetItem(3).Concentration, 1.327);
      EXPECT_TRUE(l.ReadError().empty());
    }
    ASSERT_TRUE(l.ReadFile(dir.file("f.out"), 65, m.parser));
    EXPECT_EQ(l.Count(), 0);
    EXPECT_NE(l.ReadError().find("the file ends before the table"), std::string::npos);
    auto ls = lines(ec);
    ls[ls.size() - 2] = "             21               -             -";
    ls[ls.size() - 1] = "             28            28.00    0.1500E-02";
    ASSERT_TRUE(l.ReadFile(dir.write("g.out", join(ls)), 61, m.parser));
    ASSERT_EQ(l.Count(), 4);
    EXPECT_EQ(l.GetItem(2).TimeOfOccurrence, -1);
    EXPECT_EQ(l.GetItem(2).Concentration, -1);
    EXPECT_DOUBLE_EQ(l.GetItem(3).Concentration, 1.5);
    ls.resize(ls.size() - 1);  // the run stopped early: no 28-day row
    ASSERT_TRUE(l.ReadFile(dir.write("h.out", join(ls)), 61, m.parser));
    EXPECT_EQ(l.Count(), 3);
    EXPECT_FALSE(l.ReadError().empty());
    // The rows of the 4- and 21-day windows in the wrong order: refused at
    // the first that is out of place, the 0-day row kept.
    ls = lines(ec);
    std::swap(ls[ls.size() - 3], ls[ls.size() - 2]);
    ASSERT_TRUE(l.ReadFile(dir.write("order.out", join(ls)), 61, m.parser));
    EXPECT_EQ(l.Count(), 1);
    EXPECT_EQ(l.ReadError(), dir.file("order.out") + ", line " + std::to_string(ls.size() - 2) +
                                 ": the row of the 4-day exposure window was expected here");
  }

  // wlmb.out: a line that lost a column keeps the lines before it.
  {
    auto ls = lines(readFile(Golden("example", "wlmb.out")));
    ls[10 + 5].resize(56);  // four of the twelve columns
    TWLMBList l;
    ASSERT_TRUE(l.ReadFile(dir.write("i.out", join(ls)), m.parser));
    EXPECT_EQ(l.Count(), 5);
    EXPECT_EQ(l.ReadError(), dir.file("i.out") +
                                 ", line 16: the line ends before the record is complete");
  }
  EXPECT_FALSE(m.parser.FileOpen());
}

// input.out: counts beyond what a run holds, and missing headings, are
// refused with the file and line; the object keeps what it held.
TEST(DamagedFiles, InputEchoRefusedWhole) {
  TempDir dir;
  const std::string text = readFile(Golden("example", "input.out"));
  Messages m;
  TINPUT in;
  ASSERT_TRUE(in.ReadFile(Golden("example", "input.out"), m.parser));
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = text;
    const std::size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return t.replace(at, from.size(), to);
  };
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {replaced(" 2\n 1 80\n", " 10\n 1 2 3 4 5 6 7 8 9 10\n"),
       "line 39: 10 sediment subsystems; at most 9 can be shown"},
      {replaced(" 80 0 0\n", " 501 0 0\n"), "line 53: 501 water-layer segments; at most 500 can be shown"},
      {replaced(" 14 0\n", " -1 0\n"), "line 86: illegal number of sediment segments: -1"},
      {replaced("wbin:", "wbin"), "the heading word \"wbin:\" was not found"},
      {replaced(" 320.0 0.0 0.0", " 320,0 0.0 0.0"), "line 51: Illegal floating-point value: \"320,0\""},
      {replaced(" 1 80\n", " 1 0\n"), "line 40: no water-layer node 0"},
      {replaced(" 1 80\n", " 1 551\n"), "line 40: no water-layer node 551"},
      // Cut inside the last sediment thickness ("0.02" read as "0.0"), and
      // right after the thicknesses' line.
      {text.substr(0, text.find("0.02\n\n\n Input from") + 3),
       "line 88: the file ends inside this line (it has no line end)"},
      {text.substr(0, text.find("0.02\n\n\n Input from") + 5),
       "line 88: the file ends after the sediment segments' lengths"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    m.list.clear();
    const std::string path = dir.write("input.out", c.text);
    EXPECT_FALSE(in.ReadFile(path, m.parser));
    ASSERT_EQ(m.list.size(), 1u);
    EXPECT_EQ(m.list[0].rfind(path + ", ", 0), 0u);
    EXPECT_NE(m.list[0].find(c.message), std::string::npos) << m.list[0];
    EXPECT_FALSE(m.parser.FileOpen());
    EXPECT_EQ(in.NumberOfWLSegments(), 80);  // still the example's
  }
  m.list.clear();
  EXPECT_FALSE(in.ReadFile(dir.file("missing.out"), m.parser));
  EXPECT_EQ(m.list, std::vector<std::string>{"Cannot open file \"" + dir.file("missing.out") + "\""});
}

// Measured data: groups by the first value, all alike in size and point
// order, or the file is refused.
TEST(MeasuredData, GroupsMustMatchTheFirst) {
  TempDir dir;
  Messages m;
  TWLMeasure wl;
  // Comments in both forms, a record over two lines, "!" comments.
  ASSERT_TRUE(wl.ReadFile(dir.write("a.dat",
                                    "* water layer\n"
                                    " * sampled\n"
                                    "1 2 10 0.5 0.1 ! first\n"
                                    "1 2 20 0.4\n 0.1\n"
                                    "3 4 10 0.3 0\n"
                                    "\n"
                                    "3 4 20 0.2 0\n"),
                          m.parser));
  EXPECT_EQ(wl.NumberOfPeriods(), 2);
  EXPECT_EQ(wl.PointsPerPeriod(), 2);
  EXPECT_EQ(wl.GetItem(wl.RecordIndex(2, 2)).Concentration, 0.2);
  EXPECT_EQ(wl.RecordIndex(3, 1), -1);

  ASSERT_TRUE(wl.ReadFile(dir.write("b.dat", "1 1 5 1 0\n2 2 5 1 0\n1 1 5 1 0\n"), m.parser));
  EXPECT_EQ(wl.NumberOfPeriods(), 3);
  EXPECT_EQ(wl.PointsPerPeriod(), 1);
  ASSERT_TRUE(wl.ReadFile(dir.write("c.dat", "* nothing\n"), m.parser));
  EXPECT_EQ(wl.NumberOfPeriods(), 0);
  EXPECT_EQ(wl.PointsPerPeriod(), 0);
  EXPECT_TRUE(m.list.empty());

  const struct {
    const char* text;
    int records, periods;
    const char* message;
  } refused[] = {
      {"1 2 10 1 0\n1 2 20 1 0\n3 4 10 1 0\n5 6 10 1 0\n", 3, 1,
       "line 4: the group before this record has 1 records where the first has 2"},
      {"1 2 10 1 0\n1 2 20 1 0\n3 4 20 1 0\n3 4 10 1 0\n", 2, 1,
       "line 3: point 1 of this group differs from point 1 of the first group"},
      {"1 2 10 1 0\n3 4 10 1 0\n3 4 20 1 0\n", 2, 1,
       "line 3: a group has more records than the first, which has 1"},
      {"1 2 10 1 0\n1 2 20 1 0\n3 4 10 1 0\n", 3, 1,
       "line 3: the last group has 1 records where the first has 2"},
      {"1 2 10 1 0\n1 2 20 1\n", 1, 0, "line 2: the file ends before the record is complete"},
      {"1 2 10 1 0\n1 2 2O 1 0\n", 1, 0, "line 2: Illegal floating-point value: \"2O\""},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.message);
    m.list.clear();
    const std::string path = dir.write("bad.dat", c.text);
    EXPECT_FALSE(wl.ReadFile(path, m.parser));
    EXPECT_EQ(wl.Count(), c.records);
    EXPECT_EQ(wl.NumberOfPeriods(), c.periods);
    EXPECT_EQ(m.list, std::vector<std::string>{path + ", " + c.message});
    EXPECT_FALSE(m.parser.FileOpen());
    for (int g = 1; g <= wl.NumberOfPeriods(); ++g)
      for (int k = 1; k <= wl.PointsPerPeriod(); ++k) EXPECT_GE(wl.RecordIndex(g, k), 0);
  }

  // Sediment layers are told apart by top and bottom.
  TWBMeasure wb;
  ASSERT_TRUE(wb.ReadFile(dir.write("d.dat", "1 0 0.01 5 1\n1 0.01 0.02 4 1\n"
                                             "2 0 0.01 3 1\n2 0.01 0.02 2 1\n"),
                          m.parser));
  EXPECT_EQ(wb.NumberOfPeriods(), 2);
  EXPECT_EQ(wb.GetItem(3).LayerBottom, 0.02);
  EXPECT_FALSE(wb.ReadFile(dir.write("e.dat", "1 0 0.01 5 1\n1 0.01 0.02 4 1\n"
                                              "2 0 0.01 3 1\n2 0.01 0.03 2 1\n"),
                           m.parser));
}

// A line longer than any row the file can hold is refused at once, before
// more of it is read: only the first block of a long line is read, and the
// rows before it stay.
TEST(DamagedFiles, OverlongLinesRefusedAtOnce) {
  TempDir dir;
  std::vector<std::string> messages;
  std::uint64_t furthest = 0;
  // A context names each file once: one a read.
  const auto newContext = [&] {
    return TReadContext([&](const std::string& m) { messages.push_back(m); }, '.',
                        [&](const std::string&, std::uint64_t done, std::uint64_t) {
                          furthest = std::max(furthest, done);
                          return true;
                        });
  };
  TReadContext context = newContext();

  // A row one character longer than the longest row a kernel file has.
  std::string text = readFile(Golden("example", "wlsoco.out"));
  const std::size_t row = text.find("   0.000    2");
  text.insert(row, std::string(kLongestKernelRow + 1 - 9, ' ') + "0.000    2");
  TWLSOCOList wl;
  ASSERT_TRUE(wl.ReadFile(dir.write("long.out", text), context));
  EXPECT_EQ(wl.ReadError(), dir.file("long.out") + ", line 14: the line is longer than the " +
                                std::to_string(kLongestKernelRow) +
                                " characters a line of this file can hold");
  EXPECT_EQ(wl.Count(), 1);
  EXPECT_EQ(wl.NumberOfTimesteps(), 0);
  EXPECT_EQ(messages, std::vector<std::string>{wl.ReadError()});
  // A line of exactly the longest width passes.
  text = readFile(Golden("example", "wlsoco.out"));
  text.insert(text.find("   0.000    2"), std::string(kLongestKernelRow, ' ') + "\n");
  ASSERT_TRUE(wl.ReadFile(dir.write("wide.out", text), context));
  EXPECT_EQ(wl.NumberOfTimesteps(), 61);
  EXPECT_TRUE(wl.ReadError().empty()) << wl.ReadError();

  // An endless line: 8 MB without a line end, in a file of every reader.
  const std::string endless = dir.write("endless.out", std::string(8 << 20, '7'));
  const auto check = [&](const std::string& error) {
    EXPECT_EQ(error.rfind(endless + ", line 1: the line is longer than ", 0), 0u) << error;
    EXPECT_LT(furthest, 3u << 20);  // of 8 MB
    furthest = 0;
  };
  context = newContext();
  EXPECT_TRUE(wl.ReadFile(endless, context));
  check(wl.ReadError());
  TWBSCOList wb;
  EXPECT_TRUE(wb.ReadFile(endless, context));
  check(wb.ReadError());
  TECList ec;
  EXPECT_TRUE(ec.ReadFile(endless, 61, context));
  check(ec.ReadError());
  TWLMBList mb;
  EXPECT_TRUE(mb.ReadFile(endless, context));
  check(mb.ReadError());
  TDBList db;
  EXPECT_TRUE(db.ReadFile(endless, context));
  check(db.ReadError());
  TINPUT in;
  messages.clear();
  context = newContext();
  EXPECT_FALSE(in.ReadFile(endless, context));
  check(messages.empty() ? "" : messages.back());
  TWLMeasure measured;
  messages.clear();
  context = newContext();
  EXPECT_FALSE(measured.ReadFile(endless, context));
  check(messages.empty() ? "" : messages.back());
}

// The free-format files' limits: a line of exactly the longest length is
// read, one character more is refused, naming the file and line.
TEST(DamagedFiles, FreeFormatLinesUpToTheirLimit) {
  TempDir dir;
  Messages m;
  const auto tooLong = [](const std::string& path, int line, std::size_t limit) {
    return path + ", line " + std::to_string(line) + ": the line is longer than the " +
           std::to_string(limit) + " characters a line of this file can hold";
  };

  // The input echo: 64 KiB, as a list of lengths before its first section.
  ASSERT_EQ(kLongestEchoLine, 64u * 1024);
  std::string list;
  while (list.size() < kLongestEchoLine) list += " 4.0";
  ASSERT_EQ(list.size(), kLongestEchoLine);
  const std::string echo = readFile(Golden("example", "input.out"));
  TINPUT in;
  const std::string atLimit = dir.write("input.out", list + "\n" + echo);
  ASSERT_TRUE(in.ReadFile(atLimit, m.parser)) << (m.list.empty() ? "" : m.list[0]);
  EXPECT_EQ(in.NumberOfWLSegments(), 80);
  EXPECT_EQ(in.NumberOfSubsystems(), 2);
  EXPECT_TRUE(m.list.empty());
  const std::string beyond = dir.write("input2.out", list + " \n" + echo);
  TINPUT refused;
  EXPECT_FALSE(refused.ReadFile(beyond, m.parser));
  EXPECT_EQ(m.list, std::vector<std::string>{tooLong(beyond, 1, kLongestEchoLine)});

  // Measured data: 1 MiB, a record and the blanks after it.
  ASSERT_EQ(kLongestMeasuredLine, 1024u * 1024);
  std::string first = "1 2 10 0.5 0.1";
  first.resize(kLongestMeasuredLine, ' ');
  m.list.clear();
  TWLMeasure wl;
  ASSERT_TRUE(wl.ReadFile(dir.write("a.dat", first + "\n1 2 20 0.4 0.1\n"), m.parser));
  EXPECT_EQ(wl.PointsPerPeriod(), 2);
  EXPECT_EQ(wl.GetItem(0).Concentration, 0.5);
  EXPECT_TRUE(m.list.empty());
  const std::string longer = dir.write("b.dat", first + " \n1 2 20 0.4 0.1\n");
  EXPECT_FALSE(wl.ReadFile(longer, m.parser));
  EXPECT_EQ(wl.Count(), 0);
  EXPECT_EQ(m.list, std::vector<std::string>{tooLong(longer, 1, kLongestMeasuredLine)});
}

// An empty file, and one that stopped before its first row, are named with
// where they stopped; none reads as an empty run without a word.
TEST(DamagedFiles, EmptyAndHeaderOnlyFilesAreNamed) {
  TempDir dir;
  const std::string empty = dir.write("empty.out", "");
  for (const ReaderCase& c : Readers()) {
    SCOPED_TRACE(c.file);
    Messages m;
    std::string err;
    EXPECT_TRUE(c.read(empty, m.parser, err).empty());
    if (std::string(c.file) == "input.out") {
      EXPECT_EQ(m.list, std::vector<std::string>{empty + ": the file is empty"});
      continue;
    }
    EXPECT_EQ(err, empty + ": the file is empty");
    EXPECT_EQ(m.list, std::vector<std::string>{err});

    // The header alone.
    const std::string text = readFile(Golden("example", c.file));
    const std::string header = text.substr(0, text.find("   0.000"));
    const std::string path = dir.write("header.out", header);
    const long lines = std::count(header.begin(), header.end(), '\n');
    Messages mh;
    EXPECT_TRUE(c.read(path, mh.parser, err).empty());
    const std::string what = std::string(c.file) == "ec080.out"
                                 ? "the file holds no time series"
                                 : "the file ends before its first output time";
    EXPECT_EQ(err, path + ", line " + std::to_string(lines) + ": " + what);
    EXPECT_EQ(mh.list, std::vector<std::string>{err});
  }
}

// Asterisks fill a field whose value did not fit.  In a column the list
// keeps, they end the reading there; in one it passes over, they are
// nothing to it.
TEST(DamagedFiles, AsterisksInAFieldTheReaderKeepsEndTheReading) {
  TempDir dir;
  Messages m;
  std::string text = readFile(Golden("example", "wlsoco.out"));
  // Block 2: a distance and a percentage overflowed, then in block 3 the
  // dissolved concentration (a NaN prints so).
  const std::size_t block2 = text.find("   0.500    1");
  text.replace(block2 + 15, 9, "*********");
  text.replace(text.find('\n', block2) - 30, 6, "******");
  const std::size_t block3 = text.find("   1.000    1");
  text.replace(block3 + 42, 10, "**********");
  TWLSOCOList wl;
  ASSERT_TRUE(wl.ReadFile(dir.write("stars.out", text), m.parser));
  EXPECT_EQ(wl.NumberOfTimesteps(), 2);
  EXPECT_EQ(wl.Count(), 160);
  EXPECT_EQ(wl.ReadError(), dir.file("stars.out") + ", line " +
                                std::to_string(12 + 2 * 80 + 1) +
                                ": Illegal floating-point value: \"**********\"");
  EXPECT_DOUBLE_EQ(wl.GetItem(wl.RecordIndex(2, 1)).Concentration, 0.4741E-15);
}

// A run of more than 999999 steps: the kernel writes the step column of
// every row from step 1000000 on as asterisks.  Each file is read whole,
// its blocks told apart by their rows and times, and the blocks of one
// output time share their stand-in step across the files.
TEST(LongRuns, StepsBeyondTheirFieldAreReadWhole) {
  TempDir dir;
  Messages m;
  // The example with the step column (a row's last six places) of every
  // row from 15 d (the 31st output time) on overflowed.  Output times so
  // close that their time column reads alike are told apart by the rows of
  // a block: 23 d is written as 22.5 d here.
  auto overflowed = [&dir](const std::string& name) {
    std::istringstream in(readFile(Golden("example", name)));
    std::string out;
    for (std::string line; std::getline(in, line);) {
      double time = 0;
      if (std::sscanf(line.c_str(), "%lf", &time) == 1 && time >= 15) {
        line.replace(line.size() - 6, 6, "******");
        if (time == 23) line.replace(0, 8, "  22.500");
      }
      out += line + "\n";
    }
    return dir.write(name, out);
  };

  TWLSOCOList whole, wl;
  ASSERT_TRUE(whole.ReadFile(Golden("example", "wlsoco.out"), m.parser));
  ASSERT_TRUE(wl.ReadFile(overflowed("wlsoco.out"), m.parser));
  EXPECT_EQ(wl.ReadError(), "");
  EXPECT_EQ(wl.NumberOfTimesteps(), 61);
  ASSERT_EQ(wl.Count(), whole.Count());
  EXPECT_EQ(wl.GetItem(wl.RecordIndex(47, 1)).Time, 22.5);
  for (int i = 0; i < wl.Count(); i += 37) {
    if (whole.GetItem(i).Time != 23) {
      EXPECT_EQ(wl.GetItem(i).Time, whole.GetItem(i).Time) << i;
    }
    EXPECT_EQ(wl.GetItem(i).Segment, whole.GetItem(i).Segment) << i;
    EXPECT_EQ(wl.GetItem(i).Concentration, whole.GetItem(i).Concentration) << i;
  }
  EXPECT_EQ(wl.GetItem(wl.RecordIndex(30, 80)).Timestep, 29 * 72);
  EXPECT_EQ(wl.GetItem(wl.RecordIndex(45, 1)).Timestep, StandInStep(45));

  TWBSCOList wholeSed, sed;
  ASSERT_TRUE(wholeSed.ReadFile(Golden("example", "wbsco080.out"), m.parser));
  ASSERT_TRUE(sed.ReadFile(overflowed("wbsco080.out"), m.parser));
  EXPECT_EQ(sed.ReadError(), "");
  EXPECT_EQ(sed.NumberOfTimesteps(), 61);
  EXPECT_EQ(sed.LayersPerTimestep(), 14);
  int index = 0;
  ASSERT_TRUE(sed.FindTimestep(wl.GetItem(wl.RecordIndex(45, 1)).Timestep, index));
  EXPECT_EQ(index, 44 * 15);
  EXPECT_EQ(sed.GetItem(sed.TopIndex(61)).Concentration,
            wholeSed.GetItem(wholeSed.TopIndex(61)).Concentration);

  // The mass balances and distributions pass over the column.
  auto readWhole = [&](auto list, const std::string& name) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(list.ReadFile(overflowed(name), m.parser));
    EXPECT_EQ(list.ReadError(), "");
    EXPECT_EQ(list.Count(), 61);
  };
  readWhole(TWLMBList(), "wlmb.out");
  readWhole(TWBMBALLList(), "wbmball.out");
  readWhole(TDBList(), "db080.out");
  EXPECT_TRUE(m.list.empty());

  // A negative number in the step column is no stand-in but damage: the
  // reading stops there, naming the file and line.
  auto negative = [&](auto list, const std::string& name, int blocks) {
    SCOPED_TRACE(name);
    std::string text = readFile(dir.file(name));
    const std::size_t at = text.find("******");  // the first row of 15 d
    text.replace(at, 6, "   -31");
    const std::string path = dir.write("negative-" + name, text);
    Messages mn;
    ASSERT_TRUE(list.ReadFile(path, mn.parser));
    EXPECT_EQ(list.ReadError(),
              path + ", line " +
                  std::to_string(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n') + 1) +
                  ": Illegal time step: -31");
    EXPECT_EQ(mn.list, std::vector<std::string>{list.ReadError()});
    EXPECT_EQ(list.NumberOfTimesteps(), blocks);
  };
  negative(TWLSOCOList(), "wlsoco.out", 30);
  negative(TWBSCOList(), "wbsco080.out", 30);
}

// A sediment time block one layer short is refused where it stands: the
// blocks before keep their layers, and no later profile is shifted by a
// row.
TEST(DamagedFiles, SedimentBlockOneLayerShort) {
  TempDir dir;
  Messages m;
  const std::string text = readFile(Golden("example", "wbsco080.out"));
  TWBSCOList whole;
  ASSERT_TRUE(whole.ReadFile(Golden("example", "wbsco080.out"), m.parser));
  // Layer 7 of the fourth block (1.5 d) dropped.
  const std::size_t block4 = text.find("   1.500    1");
  std::size_t layer7 = block4;
  for (int i = 0; i < 6; ++i) layer7 = text.find('\n', layer7) + 1;
  std::string cut = text;
  cut.erase(layer7, text.find('\n', layer7) + 1 - layer7);
  TWBSCOList sed;
  ASSERT_TRUE(sed.ReadFile(dir.write("short.out", cut), m.parser));
  EXPECT_EQ(sed.ReadError(),
            dir.file("short.out") + ", line " +
                std::to_string(std::count(text.begin(), text.begin() + static_cast<long>(layer7), '\n') + 1) +
                ": segment \"8\" where 7 was expected");
  EXPECT_EQ(sed.NumberOfTimesteps(), 3);
  EXPECT_EQ(sed.LayersPerTimestep(), 14);
  int index = 0;
  EXPECT_FALSE(sed.FindTimestep(216, index));
  ASSERT_TRUE(sed.FindTimestep(144, index));
  for (int k = 0; k < 15; ++k) EXPECT_EQ(sed.Concentration(index + k), whole.Concentration(index + k));

  // A block whose "top" row comes one layer early: 13 layers where the
  // first block had 14.
  cut = text;
  const std::size_t layer14 = text.find("   1.500   14");
  cut.erase(layer14, text.find('\n', layer14) + 1 - layer14);
  ASSERT_TRUE(sed.ReadFile(dir.write("short2.out", cut), m.parser));
  EXPECT_NE(sed.ReadError().find(": a time block has 13 sediment segments where 14 were expected"),
            std::string::npos)
      << sed.ReadError();
  EXPECT_EQ(sed.NumberOfTimesteps(), 3);
  EXPECT_EQ(sed.TopIndex(4), -1);
  EXPECT_EQ(sed.GetItem(sed.TopIndex(3)).Segment, "top");
  EXPECT_EQ(sed.GetItem(sed.TopIndex(3)).Concentration, whole.GetItem(whole.TopIndex(3)).Concentration);
}

// Measured data take "." or "," as decimal separator whatever the user's
// separator; kernel output files keep the token reader's rule.
TEST(MeasuredData, DecimalPointOrComma) {
  TempDir dir;
  for (char separator : {'.', ','}) {
    SCOPED_TRACE(separator);
    std::vector<std::string> messages;
    Parser parser([&](const std::string& m) { messages.push_back(m); }, separator);
    TWLMeasure wl;
    ASSERT_TRUE(wl.ReadFile(dir.write("comma.dat", "1 1,5 150,0 0.002 0,0005\n2 2.5 150.0 1E-3 0\n"),
                            parser));
    ASSERT_EQ(wl.NumberOfPeriods(), 2);
    EXPECT_EQ(wl.GetItem(0).EndTime, 1.5);
    EXPECT_EQ(wl.GetItem(0).Distance, 150);
    EXPECT_EQ(wl.GetItem(0).StandardDeviation, 0.0005);
    EXPECT_EQ(wl.GetItem(1).EndTime, 2.5);
    TWBMeasure wb;
    EXPECT_TRUE(wb.ReadFile(dir.write("comma2.dat", "1 0 0,01 0,1 0,02\n"), parser));
    EXPECT_EQ(wb.GetItem(0).LayerBottom, 0.01);
    // One separator a number.
    EXPECT_FALSE(wb.ReadFile(dir.write("two.dat", "1 0 0,0.1 0.1 0\n"), parser));
    EXPECT_EQ(messages, std::vector<std::string>{dir.file("two.dat") +
                                                 ", line 1: Illegal floating-point value: \"0,0.1\""});

    // A kernel output file with a comma reads only when the user's
    // separator is one.
    std::string text = readFile(Golden("example", "wlmb.out"));
    text.replace(text.find("0.3000E+00"), 10, "0,3000E+00");
    TWLMBList mb;
    ASSERT_TRUE(mb.ReadFile(dir.write("wlmb.out", text), parser));
    EXPECT_EQ(mb.ReadError().empty(), separator == ',');
    EXPECT_EQ(mb.Count(), separator == ',' ? 61 : 0);
  }
}

// Output times are counted from the file, not bounded: a year with output
// every half day has 731.
TEST(LongRuns, TablesSizedFromTheFile) {
  TempDir dir;
  std::string text = "\n * header\n";
  char line[200];
  for (int t = 0; t <= 730; ++t)
    for (int s = 1; s <= 3; ++s) {
      std::snprintf(line, sizeof line,
                    "%8.3f  %3d  %9.3f  %12.4E  %12.4E  %12.4E  %12.4E    %6.2f  %6.2f  %6.2f  %6.2f  %6d\n",
                    t * 0.5, s, 1.0 * s, 1.0, 0.001 * t, 0.0, 0.0, 100.0, 100.0, 0.0, 0.0, t * 72);
      text += line;
    }
  Messages m;
  TWLSOCOList wl;
  ASSERT_TRUE(wl.ReadFile(dir.write("wlsoco.out", text), m.parser));
  EXPECT_EQ(wl.NumberOfTimesteps(), 731);
  EXPECT_DOUBLE_EQ(wl.GetItem(wl.RecordIndex(731, 3)).Concentration, 0.73);
  EXPECT_TRUE(wl.ReadError().empty());
}

}  // namespace
}  // namespace kirmel::test
