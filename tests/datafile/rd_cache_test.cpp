// The cache file and the list of analysed files: record layout, round trips
// of generated files, recovery, deletion, and the state after a stop.
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "RdFixture.h"
#include "datafile/RdEngine.h"

namespace kirmel::test {
namespace {

std::int32_t word(const std::string& bytes, std::size_t at) {
  std::int32_t v = 0;
  if (at + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

struct Cache : RdFixture {
  std::string logText() {
    env.units().close(40);
    return readFile(dir.file("message.out"));
  }
};

TEST_F(Cache, RecordLayout) {
  const std::string a = data("a.inp", "x = 1 2 3\ns = 'abcde' // 'fg'\nr = 2*0.5 -\n");
  const std::string b = data("b.inp", "y = 1\n");
  rd.RDINIT(20, 0, a);
  rd.RDINIT(20, 0, b);  // closes the first cache file
  const std::string f = readFile(dir.file("RD$00001.TMP"));
  ASSERT_EQ(f.size() % 132, 0u);
  const std::size_t R = 132;
  // Header: last value record, 128, 4, names, sets.
  EXPECT_EQ(word(f, 0), 2);
  EXPECT_EQ(word(f, 4), 128);
  EXPECT_EQ(word(f, 8), 4);
  EXPECT_EQ(word(f, 12), 3);
  EXPECT_EQ(word(f, 16), 1);
  // Record 2: x's three runs, then s (count, characters, 0), then r.
  const std::size_t r2 = R;
  EXPECT_EQ(word(f, r2 + 0), 1);
  EXPECT_EQ(word(f, r2 + 4), 1);
  EXPECT_EQ(word(f, r2 + 16), 1);
  EXPECT_EQ(word(f, r2 + 20), 3);
  EXPECT_EQ(word(f, r2 + 24), 1);
  EXPECT_EQ(f.substr(r2 + 28, 8), std::string("abcdefg\0", 8));
  EXPECT_EQ(word(f, r2 + 40), 2);  // r: count 2, padding, 0.5
  double v = 0;
  std::memcpy(&v, f.data() + r2 + 48, 8);
  EXPECT_EQ(v, 0.5);
  EXPECT_EQ(word(f, r2 + 56), -1);  // one missing value
  EXPECT_EQ(word(f, r2 + 128), 0);  // link
  // Index: letters and names, then (count, position) pairs.
  const std::size_t r3 = 2 * R;
  EXPECT_EQ(f.substr(r3, 32), "I" + std::string("X") + std::string(30, ' '));
  EXPECT_EQ(f.substr(r3 + 32, 2), "CS");
  EXPECT_EQ(f.substr(r3 + 64, 2), "FR");
  const std::size_t r4 = 3 * R;
  EXPECT_EQ(word(f, r4), 3);
  EXPECT_EQ(word(f, r4 + 4), 128);
  EXPECT_EQ(word(f, r4 + 8), 1);
  EXPECT_EQ(word(f, r4 + 12), 128 + 24);
  EXPECT_EQ(word(f, r4 + 16), 3);
  EXPECT_EQ(word(f, r4 + 20), 128 + 40);
}

TEST_F(Cache, TableColumnsGetTheirOwnRecordChains) {
  std::string text = "a b\n";
  for (int i = 0; i < 40; ++i) text += std::to_string(i) + " " + std::to_string(i) + ".25\n";
  const std::string a = data("t.inp", text);
  rd.RDINIT(20, 0, a);
  rd.RDINIT(20, 0, data("other.inp", "z = 1\n"));
  const std::string f = readFile(dir.file("RD$00001.TMP"));
  // a: runs of 8 bytes from record 2 (16 a record); b: runs of 16 bytes
  // from record 3 (8 a record).  b fills its record first and takes record
  // 4; a then takes record 5.
  EXPECT_EQ(word(f, 132 + 128), 4 * 128);      // record 2 goes on in record 5
  EXPECT_EQ(word(f, 2 * 132 + 128), 3 * 128);  // record 3 goes on in record 4
  float a40[40];
  int n = 0;
  rd.RDINIT(20, 0, a);
  rd.RDARER("b", 0.0f, 100.0f, a40, 40, n);
  ASSERT_EQ(n, 40);
  EXPECT_EQ(a40[39], 39.25f);
}

// Generated files: random statements of every kind, read back in full.
TEST_F(Cache, RoundTripOfGeneratedFiles) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    struct Var {
      std::string name;
      char type;  // I F C
      std::vector<std::string> texts;  // expected string values
      std::vector<double> nums;        // expected numbers (NaN for missing)
    };
    std::vector<Var> vars;
    std::string text = "* generated\r\n";
    const int nstat = 5 + pick(30);
    for (int s = 0; s < nstat; ++s) {
      const int ncol = pick(3) == 0 ? 2 + pick(5) : 1;
      std::vector<Var> cols(static_cast<std::size_t>(ncol));
      for (int c = 0; c < ncol; ++c) {
        Var& v = cols[static_cast<std::size_t>(c)];
        v.name = "v" + std::to_string(vars.size() + static_cast<std::size_t>(c)) + "_" + std::to_string(seed);
        v.type = "IFC"[pick(3)];
      }
      for (std::size_t c = 0; c < cols.size(); ++c)
        text += (c == 0 ? "" : pick(2) ? " " : ", ") + cols[c].name;
      text += " ";
      text += ncol == 1 ? "= " : "\n";
      const int rows = 1 + pick(ncol == 1 ? 60 : 25);
      int onLine = 0;
      for (int r = 0; r < rows; ++r) {
        for (Var& v : cols) {
          std::string item;
          int rep = 1;
          if (ncol == 1 && pick(5) == 0) rep = 2 + pick(4);
          const bool miss = pick(7) == 0;
          if (rep > 1) item += std::to_string(rep) + "*";
          for (int k = 0; k < rep; ++k) {
            if (miss && v.type == 'C') {
              v.texts.push_back("- MISSING -");
            } else if (miss) {
              v.nums.push_back(-99.0);
            } else if (k > 0) {
              if (v.type == 'C') {
                v.texts.push_back(v.texts.back());
              } else {
                v.nums.push_back(v.nums.back());
              }
            } else if (v.type == 'I') {
              v.nums.push_back(static_cast<double>(static_cast<int>(rng() % 200001) - 100000));
            } else if (v.type == 'F') {
              v.nums.push_back((static_cast<int>(rng() % 80001) - 40000) / 8.0);
            } else {
              std::string s(static_cast<std::size_t>(1 + pick(70)), 'a');
              for (char& ch : s) ch = "abcXYZ 019.,;=*!$"[pick(17)];
              v.texts.push_back(s);
            }
          }
          if (miss) {
            item += "-";
          } else if (v.type == 'I') {
            item += std::to_string(static_cast<long long>(v.nums.back()));
          } else if (v.type == 'F') {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.3f", v.nums.back());
            item += buf;
          } else {
            const std::string& s = v.texts.back();
            const std::size_t cut = s.size() / 2;
            item += cut > 0 && pick(3) == 0 ? "'" + s.substr(0, cut) + "' // '" + s.substr(cut) + "'"
                                            : "'" + s + "'";
          }
          if (onLine > 0) {
            if (onLine > 8 || pick(6) == 0) {
              text += pick(2) ? "\r\n" : "  ! comment\n";
              onLine = 0;
            } else {
              text += pick(2) ? " " : " , ";
            }
          }
          text += item;
          ++onLine;
        }
      }
      text += pick(3) == 0 ? " ;\n" : "\n";
      for (auto& v : cols) vars.push_back(v);
    }
    const std::string f = data("gen" + std::to_string(seed) + ".inp", text);
    ASSERT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), -1) << console() << text;
    for (int pass = 0; pass < 2; ++pass) {
      for (const Var& v : vars) {
        const int n = static_cast<int>(v.nums.size() + v.texts.size());
        std::vector<double> d(static_cast<std::size_t>(n) + 1);
        std::vector<int> iv(static_cast<std::size_t>(n) + 1);
        std::vector<std::string> c(static_cast<std::size_t>(n) + 1);
        RdArgs a;
        a.itask = 6;
        a.caller = "TEST";
        a.varnam = v.name;
        a.vartyp = v.type == 'I' ? 'I' : v.type == 'F' ? 'D' : 'C';
        a.dval = d.data();
        a.ival = iv.data();
        a.cval = c.data();
        a.nddec = a.nidec = a.ncdec = n + 1;
        ASSERT_EQ(stops([&] { rd.impl().RDDATA(a); }), -1) << console();
        ASSERT_EQ(a.ifnd, n) << v.name;
        for (int k = 0; k < n; ++k) {
          const auto kk = static_cast<std::size_t>(k);
          if (v.type == 'I') {
            EXPECT_EQ(iv[kk], static_cast<int>(v.nums[kk])) << v.name << k;
          } else if (v.type == 'F') {
            EXPECT_NEAR(d[kk], v.nums[kk] == -99.0 ? -99.99 : v.nums[kk], 1e-9) << v.name << k;
          } else {
            // Delivered without trailing blanks.
            const std::string& t = v.texts[kk];
            EXPECT_EQ(c[kk], t.substr(0, t.find_last_not_of(' ') + 1)) << v.name << k;
          }
        }
      }
      // The second pass reads the index back from the cache file.
      rd.RDINIT(20, 0, data("dummy.inp", "q = 1\n"));
      rd.RDINIT(20, 0, f);
    }
  }
}

TEST_F(Cache, FilesAreRecoveredThenDeleted) {
  ASSERT_TRUE(env.units().openWrite(40, dir.file("message.out")));
  const std::string a = data("first.inp", "x = 1\n");
  const std::string b = data("second.inp", "y = 2.0\nz = 3\n");
  rd.RDINIT(20, 40, a);
  rd.RDINIT(20, 40, b);
  data("first.inp", "x = 5\n");  // not seen: the parse is recovered
  rd.RDINIT(20, 40, dir.file("FIRST.INP"));
  int x = 0;
  rd.RDSINR("x", 0, 9, x);
  EXPECT_EQ(x, 1);
  EXPECT_TRUE(exists("RD$00001.TMP"));
  EXPECT_TRUE(exists("RD$00002.TMP"));
  rd.RDDTMP(21);
  EXPECT_FALSE(exists("RD$00001.TMP"));
  EXPECT_FALSE(exists("RD$00002.TMP"));
  // Files are named as they are on disk, also when asked for in another case.
  EXPECT_EQ(logText(),
            " Data file   " + a.substr(a.size() - 12) + " with   1 variables parsed by RDINDX\n" +
                " Data file   " + b.substr(b.size() - 12) + " with   2 variables parsed by RDINDX\n"
                " Contents of " + a + " recovered from TMP file\n"
                "  \n"
                " Temporary file RD$00001.TMP deleted by RDDTMP\n"
                " Temporary file RD$00002.TMP deleted by RDDTMP\n");
  EXPECT_EQ(console(), "");
  // Afterwards the same file is parsed again.
  rd.RDINIT(20, 0, a);
  rd.RDSINR("x", 0, 9, x);
  EXPECT_EQ(x, 5);
}

TEST_F(Cache, LongNamesSharingEightyCharactersKeepTheirOwnCaches) {
  const std::string sub(90, 'd');
  const std::string a = dir.write(sub + "/one.inp", "x = 1\n");
  const std::string b = dir.write(sub + "/two.inp", "x = 2\n");
  ASSERT_GT(a.size(), 80u);
  int x = 0;
  rd.RDINIT(20, 0, a);
  rd.RDINIT(20, 0, b);
  rd.RDSINR("x", 0, 9, x);
  EXPECT_EQ(x, 2);
  rd.RDINIT(20, 0, a);
  rd.RDSINR("x", 0, 9, x);
  EXPECT_EQ(x, 1);
}

TEST_F(Cache, FullListParsesIntoTheSpareCacheFile) {
  for (int i = 1; i <= 100; ++i)
    rd.RDINIT(20, 0, data(std::string("f").append(std::to_string(i)).append(".inp"), "x = 1\n"));
  EXPECT_EQ(console(), "");
  EXPECT_TRUE(exists("RD$00100.TMP"));
  rd.RDINIT(20, 0, data("f101.inp", "x = 101\n"));
  EXPECT_TRUE(exists("RD$00000.TMP"));
  const std::string notice = console();
  EXPECT_EQ(notice.find("\n MESSAGE from RDDATA: After reading with RDINIT the data\n file " +
                        dir.file("f101.inp").substr(dir.file("f101.inp").size() - 12) + "\n"), 0u)
      << notice;
  EXPECT_NE(notice.find(" This message will not be repeated for other files.\n"), std::string::npos);
  rd.RDINIT(20, 0, data("f102.inp", "x = 102\n"));
  EXPECT_EQ(console(), notice);  // once per run
  int x = 0;
  rd.RDSINR("x", 0, 999, x);
  EXPECT_EQ(x, 102);
  rd.RDDTMP(21);
  EXPECT_FALSE(exists("RD$00000.TMP"));
  EXPECT_FALSE(exists("RD$00050.TMP"));
}

TEST_F(Cache, StateStaysSoundAfterAStop) {
  // A stop in the middle of a parse leaves no partial cache file behind.
  std::string names;
  for (int i = 1; i <= 41; ++i) names += " c" + std::to_string(i);
  const std::string f = data("wide.inp", "a = 1\n" + names + "\n");
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), 1);
  EXPECT_FALSE(exists("RD$00001.TMP"));
  data("wide.inp", "a = 7\n");
  rd.RDINIT(20, 0, f);
  int x = 0;
  rd.RDSINR("a", 0, 9, x);
  EXPECT_EQ(x, 7);
  // After a read error, which removed the run's cache files, the file is
  // parsed again and reads go on.
  EXPECT_EQ(stops([&] { rd.RDSINR("b", 0, 9, x); }), 1);
  EXPECT_FALSE(env.units().isOpen(20));
  rd.RDINIT(20, 0, f);
  rd.RDSINR("a", 0, 9, x);
  EXPECT_EQ(x, 7);
  // A damaged cache file is parsed again instead of being trusted.
  rd.RDINIT(20, 0, data("other.inp", "o = 1\n"));
  data("RD$00001.TMP", std::string(264, '\xff'));
  rd.RDINIT(20, 0, f);
  rd.RDSINR("a", 0, 9, x);
  EXPECT_EQ(x, 7);
}

TEST_F(Cache, DataFilesAreFoundIgnoringCase) {
  data("Scenario/WL.inp", "x = 4\n");
  rd.RDINIT(20, 0, dir.file("scenario/wl.INP"));
  int x = 0;
  rd.RDSINR("x", 0, 9, x);
  EXPECT_EQ(x, 4);
  EXPECT_TRUE(exists("Scenario/WL.inp"));
}

}  // namespace
}  // namespace kirmel::test
