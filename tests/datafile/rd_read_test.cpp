// Reading calls on valid data files: values by name, types, arrays, tables,
// repeats, missing values, strings, comments and continuation lines.
#include <filesystem>
#include <string>
#include <vector>

#include "RdFixture.h"
#include "datafile/RdEngine.h"

namespace kirmel::test {
namespace {

using RdRead = RdFixture;

TEST_F(RdRead, ReadsScalarsStringsAndArrays) {
  const std::string f = data("wl.inp",
                             "* header comment\r\n"
                             "! another comment\r\n"
                             "\r\n"
                             "ttot = 30.   ! days\r\n"
                             "nxwl = 12\r\n"
                             "Name = 'Ditch one'\r\n"
                             "xa = 1.5 2.5,\r\n"
                             "     3.5\r\n"
                             "ia = 3*7 8\r\n"
                             "s = 'ab' // 'cd'; t = 2.\r\n");
  rd.RDINIT(20, 0, f);
  float ttot = 0.0f;
  rd.RDSRER("ttot", 0.0f, 100.0f, ttot);
  EXPECT_EQ(ttot, 30.0f);
  int nx = 0;
  rd.RDSINR(" NXWL ", 1, 500, nx);
  EXPECT_EQ(nx, 12);
  std::string name;
  rd.RDSCHA("name", name);
  EXPECT_EQ(name, "Ditch one");
  float xa[5] = {};
  int n = 0;
  rd.RDARER("XA", 0.0f, 10.0f, xa, 5, n);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(xa[0], 1.5f);
  EXPECT_EQ(xa[2], 3.5f);
  int ia[4] = {};
  rd.RDAINR("ia", 0, 10, ia, 4, n);
  ASSERT_EQ(n, 4);
  EXPECT_EQ(ia[0], 7);
  EXPECT_EQ(ia[2], 7);
  EXPECT_EQ(ia[3], 8);
  rd.RDSCHA("s", name);
  EXPECT_EQ(name, "abcd");
  float t = 0.0f;
  rd.RDSRER("t", 0.0f, 10.0f, t);
  EXPECT_EQ(t, 2.0f);
  rd.RDDTMP(21);
  EXPECT_FALSE(exists("RD$00001.TMP"));
}

TEST_F(RdRead, NamesWithLettersBeyondAsciiPassThrough) {
  // A data file in a folder with such a name, naming another: the path
  // comes back byte for byte, and the log names the file by its last twelve
  // characters, none cut in two.
  std::filesystem::create_directories(dir.path() / "jos\xC3\xA9" / "Foss\xC3\xA9");
  const std::string f = data("jos\xC3\xA9/Foss\xC3\xA9/\xC3\xA9t\xC3\xA9.inp",
                             "suinp = '/home/jos\xC3\xA9/Foss\xC3\xA9/SU.INP'\r\n");
  ASSERT_TRUE(env.units().openWrite(40, dir.file("message.out")));
  rd.RDINIT(20, 40, f);
  std::string path;
  rd.RDSCHA("suinp", path, 300);
  EXPECT_EQ(path, "/home/jos\xC3\xA9/Foss\xC3\xA9/SU.INP");
  env.units().close(40);
  EXPECT_NE(readFile(dir.file("message.out"))
                .find(" Data file   oss\xC3\xA9/\xC3\xA9t\xC3\xA9.inp with   1 variables parsed by RDINDX\n"),
            std::string::npos)
      << readFile(dir.file("message.out"));
  rd.RDDTMP(22);
}

TEST_F(RdRead, TablesFillColumnsInTurnAcrossLines) {
  const std::string f = data("t.inp",
                             "a b\n"
                             "c\n"
                             "1.0 2 'x'\n"
                             "3.0 4\n"
                             "   'y'  5.0 6 'z'\n");
  rd.RDINIT(20, 0, f);
  float a[3];
  int b[3], n = 0;
  rd.RDARER("a", -1.0f, 10.0f, a, 3, n);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(a[1], 3.0f);
  EXPECT_EQ(a[2], 5.0f);
  rd.RDAINR("b", 0, 10, b, 3, n);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(b[2], 6);
}

TEST_F(RdRead, MissingValuesSatisfyEveryType) {
  const std::string f = data("m.inp", "x = -\nia = - 2\ns = -\n");
  rd.RDINIT(20, 0, f);
  float x = 0.0f;
  rd.RDSRER("x", -100.0f, 100.0f, x);
  EXPECT_EQ(x, -99.99f);
  int ia[2], n = 0;
  rd.RDAINR("ia", -100, 100, ia, 2, n);
  EXPECT_EQ(ia[0], -99);
  EXPECT_EQ(ia[1], 2);
  std::string s;
  rd.RDSCHA("s", s);
  EXPECT_EQ(s, "- MISSING -");
}

TEST_F(RdRead, LongValueListsSpanManyCacheRecords) {
  std::string text = "a b\n";
  for (int i = 0; i < 300; ++i) text += std::to_string(i) + ".5 " + std::to_string(i) + "\n";
  text += "s = 'first'\nv = ";
  for (int i = 0; i < 90; ++i)
    text.append("'").append(static_cast<std::size_t>(i % 20 + 1), 'q').append(i % 10 == 9 ? "'\n" : "' ");
  text += "\n";
  const std::string f = data("big.inp", text);
  ASSERT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), -1) << console();
  std::vector<float> a(300);
  std::vector<int> b(300);
  int n = 0;
  rd.RDARER("a", 0.0f, 1000.0f, a.data(), 300, n);
  ASSERT_EQ(n, 300);
  rd.RDAINR("b", 0, 1000, b.data(), 300, n);
  ASSERT_EQ(n, 300);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(a[static_cast<std::size_t>(i)], static_cast<float>(i) + 0.5f);
    EXPECT_EQ(b[static_cast<std::size_t>(i)], i);
  }
  std::string s;
  rd.RDSCHA("s", s);
  EXPECT_EQ(s, "first");
  std::vector<std::string> v(100);
  RdArgs req;
  req.itask = 6;
  req.caller = "TEST";
  req.varnam = "v";
  req.vartyp = 'C';
  req.cval = v.data();
  req.ncdec = 100;
  req.clen = 20;
  rd.impl().RDDATA(req);
  ASSERT_EQ(req.ifnd, 90);
  for (int i = 0; i < 90; ++i) EXPECT_EQ(v[static_cast<std::size_t>(i)].size(), static_cast<std::size_t>(i % 20 + 1));
}

}  // namespace
}  // namespace kirmel::test
