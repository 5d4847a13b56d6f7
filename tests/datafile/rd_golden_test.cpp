// Golden texts of the console and the message file: the error listing of a
// file with several syntax errors, and the INPUT ERROR report of each kind of
// read.  KIRMEL_UPDATE_GOLDEN=1 rewrites the golden files instead of comparing.
#include <cstdlib>
#include <fstream>
#include <string>

#include "RdFixture.h"
#include "datafile/RdEngine.h"

namespace kirmel::test {
namespace {

struct Golden : RdFixture {
  static constexpr int kLog = 40;
  void SetUp() override { ASSERT_TRUE(env.units().openWrite(kLog, dir.file("message.out"))); }

  void expectGolden(const std::string& name, const std::string& text) {
    const std::string path = std::string(KIRMEL_TEST_DATA) + "/datafile/" + name;
    if (UpdateGolden()) {
      std::ofstream(path, std::ios::binary) << text;
      return;
    }
    EXPECT_EQ(text, readFile(path)) << "golden file " << path;
  }
  // Console and message file after a stop.
  void check(const std::string& stem) {
    expectGolden(stem + ".console", console());
    expectGolden(stem + ".message", readFile(dir.file("message.out")));
  }
};

TEST_F(Golden, ListingOfSyntaxErrors) {
  data("errors.inp",
       "* A data file with errors of several kinds\r\n"
       "ttot = 30. nxwl = 12\r\n"
       "depth = 1.5, , 2.5\r\n"
       "  names = 3 'a rather long string value that runs on past thirty'\r\n"
       "\tdepth2 = 1\r\n"
       "tab1 tab2\r\n"
       "  1 2\r\n"
       "  3.0 4\r\n"
       "prec = 1.00000000000000001\r\n"
       "Ttot = 31.\r\n"
       "when = 31-APR-1999 (x)\r\n"
       "last =");
  EXPECT_EQ(stops([&] { rd.RDINIT(20, kLog, "errors.inp"); }), 1);
  EXPECT_FALSE(exists("RD$00001.TMP"));
  check("syntax_errors");
}

struct InputError : Golden {
  void SetUp() override {
    Golden::SetUp();
    data("input.inp", "n = 3\nxa = 1. 2. 3.\n");
    rd.RDINIT(20, kLog, "input.inp");
  }
};

TEST_F(InputError, SingleValue) {
  float x = 0.0f;
  EXPECT_EQ(stops([&] { rd.RDSRER("n", 0.0f, 5.0f, x); }), 1);
  check("input_error_single");
}

TEST_F(InputError, UnspecifiedNumberOfValues) {
  float xa[2];
  int n = 0;
  EXPECT_EQ(stops([&] { rd.RDARER("XA", 0.0f, 5.0f, xa, 2, n); }), 1);
  check("input_error_array");
}

TEST_F(InputError, PreciseNumberOfValues) {
  double d[5];
  RdArgs a;
  a.itask = 7;
  a.caller = "RDFDOR";
  a.varnam = std::string("xa");
  a.vartyp = 'D';
  a.dval = d;
  a.nddec = 5;
  a.ifnd = 4;
  EXPECT_EQ(stops([&] { rd.impl().RDDATA(a); }), 1);
  check("input_error_exact");
}

}  // namespace
}  // namespace kirmel::test
