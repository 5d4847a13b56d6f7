// Checks of the reading calls: the matrix of stored and requested types with
// missing values, value counts, real narrowing, string lengths, and the range
// messages with their exact fields.
#include <string>

#include "RdFixture.h"
#include "datafile/RdEngine.h"

namespace kirmel::test {
namespace {

struct Checks : RdFixture {
  void SetUp() override {
    const std::string f = data("all.inp",
                               "c = 'text'\n"
                               "i = 3\n"
                               "f = 3.0\n"
                               "l = .true.\n"
                               "t = 1-JAN-1900_12:00\n"
                               "m = -\n"
                               "arr = 1 2 3\n"
                               "big = 5.0E+38\n"
                               "tiny = 0.5E-38\n"
                               "zero = 0.0\n"
                               "edge = 1.0E+38 -1.0E-38\n"
                               "long = 'abcdefghij'\n");
    rd.RDINIT(20, 0, f);
  }
  // Reads one value of the requested type; returns the stop text ("" when the
  // read succeeded) and leaves the values in the members.
  std::string read(const std::string& name, char type, int task = 5, int dec = 1, int want = 0) {
    RdArgs a;
    a.itask = task;
    a.caller = "TEST";
    a.varnam = name;
    a.vartyp = type;
    a.dval = d;
    a.rval = r;
    a.ival = i;
    a.cval = c;
    a.lval = l;
    a.nddec = a.nrdec = a.nidec = a.ncdec = a.nldec = dec;
    a.clen = clen;
    a.ifnd = want;
    out.str("");
    if (stops([&] { rd.impl().RDDATA(a); }) < 0) {
      ifnd = a.ifnd;
      return "";
    }
    const std::string s = console();
    const auto p = s.find(" ERROR in RDDATA: ");
    std::string msg = p == std::string::npos ? s : s.substr(p + 18, s.find('\n', p) - p - 18);
    rd.RDINIT(20, 0, "all.inp");  // the stop closed the cache unit
    return msg;
  }
  double d[4] = {};
  float r[4] = {};
  int i[4] = {};
  std::string c[4];
  bool l[4] = {};
  int clen = 80;
  int ifnd = 0;
};

TEST_F(Checks, StoredTypesAgainstRequestedTypes) {
  // Rows: stored variable; columns: requested C D I R L T.
  const char* types = "CDIRLT";
  const struct {
    const char* name;
    const char* result[6];
  } matrix[] = {
      {"c", {"", "On data file this is a CHARACTER string", "On data file this is a CHARACTER string",
             "On data file this is a CHARACTER string", "On data file this is a CHARACTER string",
             "On data file this is a CHARACTER string"}},
      {"i", {"On data file this variable is INTEGER", "On data file this variable is INTEGER", "",
             "On data file this variable is INTEGER", "On data file this variable is INTEGER",
             "On data file this variable is INTEGER"}},
      {"f", {"On data file this variable is REAL", "", "On data file this variable is REAL", "",
             "On data file this variable is REAL", "On data file this variable is REAL"}},
      {"l", {"On data file this variable is LOGICAL", "On data file this variable is LOGICAL",
             "On data file this variable is LOGICAL", "On data file this variable is LOGICAL", "",
             "On data file this variable is LOGICAL"}},
      {"t", {"On data file this is a DATE_TIME", "On data file this is a DATE_TIME",
             "On data file this is a DATE_TIME", "On data file this is a DATE_TIME",
             "On data file this is a DATE_TIME", ""}},
      {"m", {"", "", "", "", "", ""}},
  };
  for (const auto& row : matrix)
    for (int k = 0; k < 6; ++k)
      EXPECT_EQ(read(row.name, types[k]), row.result[k]) << row.name << " as " << types[k];

  // Values delivered, and the missing value of every type.
  read("c", 'C');
  EXPECT_EQ(c[0], "text");
  read("f", 'D');
  EXPECT_EQ(d[0], 3.0);
  read("l", 'L');
  EXPECT_TRUE(l[0]);
  read("t", 'T');
  EXPECT_EQ(d[0], 1.5);
  read("m", 'C');
  EXPECT_EQ(c[0], "- MISSING -");
  read("m", 'D');
  EXPECT_EQ(d[0], -99.99);
  read("m", 'T');
  EXPECT_EQ(d[0], -99.99);
  read("m", 'I');
  EXPECT_EQ(i[0], -99);
  read("m", 'R');
  EXPECT_EQ(r[0], -99.99f);
  l[0] = true;
  read("m", 'L');
  EXPECT_FALSE(l[0]);

  // Changed missing values (task 10), restored by task 11.
  RdArgs set;
  set.itask = 10;
  set.vartyp = 'I';
  int mi = 7;
  set.ival = &mi;
  rd.impl().RDDATA(set);
  read("m", 'I');
  EXPECT_EQ(i[0], 7);
  set.itask = 11;
  rd.impl().RDDATA(set);
  read("m", 'I');
  EXPECT_EQ(i[0], -99);
}

TEST_F(Checks, CountsAndDeclaredLengths) {
  EXPECT_EQ(read("arr", 'I'), "On data file this variable is an array");
  EXPECT_EQ(read("arr", 'I', 6, 2), "Array on data file too large");
  EXPECT_EQ(read("arr", 'I', 6, 3), "");
  EXPECT_EQ(ifnd, 3);
  EXPECT_EQ(read("arr", 'I', 7, 4, 2), "Array on data file not of requested size");
  EXPECT_EQ(read("arr", 'I', 7, 4, 0), "Requested number of values not positive");
  EXPECT_EQ(read("arr", 'I', 7, 4, 3), "");
  EXPECT_EQ(read("i", 'I', 5, 2), "Under ITASK=5 declared length should be 1");
  EXPECT_EQ(read("nothere", 'I'), "Variable name not in data file");
  EXPECT_EQ(read(std::string(32, 'x'), 'I'), "Variable name too long");
  EXPECT_EQ(read("  ARR ", 'I', 6, 3), "");
}

TEST_F(Checks, NarrowingToSinglePrecisionAndStringLength) {
  EXPECT_EQ(read("big", 'R'), "Single precision overflow on data file");
  EXPECT_EQ(read("tiny", 'R'), "Single precision underflow on data file");
  EXPECT_EQ(read("zero", 'R'), "");
  EXPECT_EQ(r[0], 0.0f);
  EXPECT_EQ(read("big", 'D'), "");
  EXPECT_EQ(d[0], 5.0e38);
  // Magnitudes of exactly 1.0E+38 and 1.0E-38 are delivered.
  EXPECT_EQ(read("edge", 'R', 6, 4), "");
  EXPECT_EQ(r[0], 1.0e38f);
  clen = 9;
  EXPECT_EQ(read("long", 'C'), "String(s) on data file too long");
  clen = 10;
  EXPECT_EQ(read("long", 'C'), "");
  EXPECT_EQ(c[0], "abcdefghij");
}

TEST_F(Checks, RangeMessagesOfTheRealCalls) {
  float x = 0.0f;
  EXPECT_EQ(stops([&] { rd.RDSRER("f", 0.0f, 1.0f, x); }), 1);
  EXPECT_EQ(console(),
            " ERROR in RDSRER: Range error of identifier 'f',\n"
            "                 value =  3.0000    , range = [ 0.00000E+00,  1.0000    ]\n"
            "                 in file " + dir.file("all.inp") + "\n"
            " Fatal execution error, press <Enter>\n");
  rd.RDINIT(20, 0, "all.inp");
  out.str("");
  float xa[3];
  int n = 0;
  EXPECT_EQ(stops([&] { rd.RDARER("edge", -1.0f, 1.0e37f, xa, 3, n); }), 1);
  EXPECT_EQ(console(),
            " ERROR in RDARER: Range error of identifier 'edge(  1)',\n"
            "                 value = 0.10000E+39, range = [ -1.0000    , 0.10000E+38]\n"
            "                 in file all.inp\n"
            " Fatal execution error, press <Enter>\n");
  rd.RDINIT(20, 0, "all.inp");
  out.str("");
  EXPECT_EQ(stops([&] { rd.RDSRER("f", 2.0f, 1.0f, x); }), 1);
  EXPECT_EQ(console(),
            " ERROR in RDSRER: Range not valid of identifier 'f'\n"
            " Fatal execution error, press <Enter>\n");
  // Bounds are inclusive; a missing value is checked like any other.
  rd.RDINIT(20, 0, "all.inp");
  rd.RDSRER("f", 3.0f, 3.0f, x);
  EXPECT_EQ(x, 3.0f);
  rd.RDSRER("m", -100.0f, 0.0f, x);
  EXPECT_EQ(x, -99.99f);
}

TEST_F(Checks, RangeMessagesOfTheIntegerCalls) {
  int k = 0;
  rd.RDSINR("i", 3, 5, k);
  rd.RDSINR("i", 1, 3, k);
  EXPECT_EQ(stops([&] { rd.RDSINR("i", 5, 1, k); }), 1);
  EXPECT_EQ(console(), " ERROR in RDSINR: Range not valid of identifier 'i'\n"
                       " Fatal execution error, press <Enter>\n");
  rd.RDINIT(20, 0, "all.inp");
  out.str("");
  EXPECT_EQ(stops([&] { rd.RDSINR("i", 4, 10, k); }), 1);
  EXPECT_EQ(console(),
            " ERROR in RDSINR: Range error of identifier 'i',\n"
            "                 value =       3, range = [       4,      10]\n"
            "                 in file all.inp\n"
            " Fatal execution error, press <Enter>\n");
  rd.RDINIT(20, 0, "all.inp");
  out.str("");
  int ia[3];
  int n = 0;
  EXPECT_EQ(stops([&] { rd.RDAINR("Arr", 1, 2, ia, 3, n); }), 1);
  EXPECT_EQ(console(),
            " ERROR in RDAINR: Range error of identifier 'Arr(  3)',\n"
            "                 value =       3, range = [       1,       2]\n"
            "                 in file all.inp\n"
            " Fatal execution error, press <Enter>\n");
}

TEST_F(Checks, ReadsNeedAnActiveFile) {
  Rd fresh(env);
  int k = 0;
  out.str("");
  EXPECT_EQ(stops([&] { fresh.RDSINR("i", 0, 5, k); }), 1);
  EXPECT_NE(console().find(" ERROR in RDDATA: no data file active"), std::string::npos);
  rd.RDDTMP(21);
  EXPECT_EQ(stops([&] { rd.RDSINR("i", 0, 5, k); }), 1);
  RdArgs a;
  a.itask = 12;
  EXPECT_EQ(stops([&] { rd.impl().RDDATA(a); }), 1);
  EXPECT_NE(console().find(" ERROR in RDDATA: illegal ITASK value"), std::string::npos);
}

}  // namespace
}  // namespace kirmel::test
