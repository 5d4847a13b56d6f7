// Statement syntax: continuation lines, tables, repeats, ';', missing values,
// concatenation, the limits on columns and names, and the parse errors.
#include <string>
#include <vector>

#include "RdFixture.h"
#include "datafile/RdEngine.h"

namespace kirmel::test {
namespace {

struct Syntax : RdFixture {
  // Parses text that must fail; returns the console.
  // Each text goes to a file of its own name (a name seen before would be
  // recovered from its cache file).
  int files = 0;
  std::string fails(const std::string& text) {
    const std::string f = data("bad" + std::to_string(++files) + ".inp", text);
    EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), 1) << text;
    EXPECT_FALSE(exists(rd.impl().currentCache)) << "a failed parse leaves no cache file";
    return console();
  }
  void parses(const std::string& text) {
    const std::string f = data("good" + std::to_string(++files) + ".inp", text);
    ASSERT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), -1) << console();
  }
  std::vector<int> ints(const std::string& name, int dec = 50) {
    std::vector<int> v(static_cast<std::size_t>(dec));
    int n = 0;
    rd.RDAINR(name, -1000, 1000, v.data(), dec, n);
    v.resize(static_cast<std::size_t>(n));
    return v;
  }
  std::vector<float> reals(const std::string& name, int dec = 50) {
    std::vector<float> v(static_cast<std::size_t>(dec));
    int n = 0;
    rd.RDARER(name, -1000.0f, 1000.0f, v.data(), dec, n);
    v.resize(static_cast<std::size_t>(n));
    return v;
  }
  char type(const std::string& name) {
    const VarIndex& ix = rd.impl().index;
    for (int i = 0; i < ix.size(); ++i)
      if (ix.names[static_cast<std::size_t>(i)] == name) return ix.types[static_cast<std::size_t>(i)];
    return '?';
  }
  static int count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
    return n;
  }
};

TEST_F(Syntax, StatementsContinueAndEndAtNamesOrSemicolons) {
  parses("a = 1 2,\n 3\n  4 ! more\nb c = 1 2 3 4; d = 5\ne, f\n g = 1 2 3\n 4 5 6\n");
  EXPECT_EQ(ints("a"), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(ints("b"), (std::vector<int>{1, 3}));
  EXPECT_EQ(ints("c"), (std::vector<int>{2, 4}));
  EXPECT_EQ(ints("d"), (std::vector<int>{5}));
  EXPECT_EQ(ints("e"), (std::vector<int>{1, 4}));
  EXPECT_EQ(ints("g"), (std::vector<int>{3, 6}));
  EXPECT_EQ(type("A"), 'I');
}

TEST_F(Syntax, TableRowsNeedNotFollowLines) {
  parses("a b\n1.0 2\n3.0\n4 5.0 6 7.0 8\n");
  EXPECT_EQ(reals("a"), (std::vector<float>{1.0f, 3.0f, 5.0f, 7.0f}));
  EXPECT_EQ(ints("b"), (std::vector<int>{2, 4, 6, 8}));
}

TEST_F(Syntax, RepeatsMissingValuesAndConcatenation) {
  parses("a = 3*\n1.5 2*-\nb = - 2\nc = - -\ns = 'x' // 'y' //\n  'z'\nt = 2*'ab' // 'c'\n");
  EXPECT_EQ(reals("a"), (std::vector<float>{1.5f, 1.5f, 1.5f, -99.99f, -99.99f}));
  EXPECT_EQ(type("B"), 'I');
  EXPECT_EQ(ints("b"), (std::vector<int>{-99, 2}));
  EXPECT_EQ(type("C"), '-');
  EXPECT_EQ(reals("c"), (std::vector<float>{-99.99f, -99.99f}));
  std::string s;
  rd.RDSCHA("s", s);
  EXPECT_EQ(s, "xyz");
  std::string t[3];
  RdArgs a;
  a.itask = 6;
  a.caller = "TEST";
  a.varnam = "t";
  a.vartyp = 'C';
  a.cval = t;
  a.ncdec = 3;
  rd.impl().RDDATA(a);
  EXPECT_EQ(a.ifnd, 2);
  EXPECT_EQ(t[1], "abc");
  // A continuation line cannot begin with "//".
  EXPECT_NE(fails("s = 'x'\n // 'y'\n").find("New variable or next value expected"), std::string::npos);
}

TEST_F(Syntax, ErrorsOfTheStatementAutomaton) {
  EXPECT_NE(fails("a = 1 b = 2\n").find("    1 After a value this is illegal"), std::string::npos);
  EXPECT_NE(fails("a = (\n").find("Value expected"), std::string::npos);
  EXPECT_NE(fails("a ( = 1\n").find("Next variable name or = expected"), std::string::npos);
  EXPECT_NE(fails("a =").find("    0 Unexpected End_Of_File"), std::string::npos);
  EXPECT_NE(fails("a\n= 1\n").find("Without =, a next name is expected"), std::string::npos);
  EXPECT_NE(fails("a = 1 2.0\n").find("Inconsistent variable type"), std::string::npos);
  EXPECT_NE(fails("a = 0*5\n").find("Repeat value should be positive"), std::string::npos);
  EXPECT_NE(fails("a b\n2*5 1\n").find("Repeat value not allowed in table"), std::string::npos);
  EXPECT_NE(fails("a b\n1 2\n3 4\n5\nc = 1\n").find("Previous table is incomplete"), std::string::npos);
  // 31 characters are the most a name may have.
  parses(std::string(31, 'w') + " = 2\n");
  EXPECT_EQ(ints(std::string(31, 'w')), (std::vector<int>{2}));
  EXPECT_NE(fails("a = 1\n" + std::string(32, 'v') + " = 2\n").find("Variable name too long"),
            std::string::npos);
  EXPECT_NE(fails("a = 1 $\n").find("After a value this is illegal"), std::string::npos);
}

TEST_F(Syntax, ColumnTypeErrorIsReportedOncePerStatement) {
  const std::string c = fails("a b\n1 2\n3.0 4.0\n5.0 6.0\n");
  EXPECT_EQ(count(c, "Column type inconsistent"), 1) << c;
  EXPECT_NE(c.find("Number of errors in data file"), std::string::npos);
}

TEST_F(Syntax, NamesAreDefinedOnceIgnoringCase) {
  const std::string c = fails("abc = 1\nx = 2\nABC = 3\n");
  EXPECT_NE(c.find("    3  Variable ABC: name already used\n\n"), std::string::npos) << c;
  EXPECT_NE(c.find(":   1\n"), std::string::npos) << c;
}

TEST_F(Syntax, FortyColumnsAndFourHundredNames) {
  std::string names;
  for (int i = 1; i <= 40; ++i) names += " c" + std::to_string(i);
  std::string row;
  for (int i = 1; i <= 40; ++i) row += " 1";
  parses(names + "\n" + row + "\n");
  EXPECT_EQ(ints("c40"), (std::vector<int>{1}));

  const std::string c = fails(names + " c41\n" + row + " 1\n");
  EXPECT_NE(c.find("Too many columns in table"), std::string::npos);
  EXPECT_NE(c.find("\n Table has more than 40 columns. Increase the value\n"
                   " of NCOLMX in the subroutines RDSCTB and RDTMP1 (both!!).\n"
                   " ERROR in RDSCTB: too many columns\n"),
            std::string::npos)
      << c;

  std::string many;
  for (int i = 1; i <= 400; ++i) many.append("v").append(std::to_string(i)).append(" = 1\n");
  parses(many);
  EXPECT_EQ(rd.impl().index.size(), 400);
  out.str("");
  const std::string d = fails(many + "v401 = 1\n");
  EXPECT_NE(d.find("  401  Variable V401: exceeded maximum number of names\n"), std::string::npos) << d;
  EXPECT_NE(d.find(" Too many names occur in the data file "), std::string::npos);
  EXPECT_NE(d.find(" Increase the value of ILNDAT in RDMACHIN.\n Fatal execution error, press <Enter>"),
            std::string::npos);
}

TEST_F(Syntax, OversizedColumnIsAParseError) {
  // The repeat counts add up beyond what a 4-byte count holds.
  const std::string c = fails("a = 2147483647*1 2*1\n");
  EXPECT_NE(c.find("Variable A: too many values"), std::string::npos) << c;
  // The largest count parses; reading it never writes past the array.
  parses("a = 2147483647*1\n");
  int ia[4] = {0, 0, 0, 0};
  int guard[2] = {123, 456};
  int n = 0;
  EXPECT_EQ(stops([&] { rd.RDAINR("a", 0, 5, ia, 3, n); }), 1);
  EXPECT_NE(console().find("Array on data file too large"), std::string::npos);
  EXPECT_EQ(ia[3], 0);
  EXPECT_EQ(guard[0], 123);
}

TEST_F(Syntax, AllErrorsAreListedBeforeTheStop) {
  const std::string c = fails("a = 1 b\nc = (\nd = 1.2E40\ne = .t.\nf = 1-JAN-2001\n");
  EXPECT_NE(c.find(" Number of errors in data file "), std::string::npos);
  EXPECT_NE(c.find(":   5\n"), std::string::npos) << c;
}

}  // namespace
}  // namespace kirmel::test

namespace kirmel::test {
namespace {

using Listing = RdFixture;

TEST_F(Listing, ErrorsGoToRdindxLogWhenTheLogUnitIsNotOpen) {
  const std::string f = data("bad.inp", "a = (\n");
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 45, f); }), 1);
  const std::string log = readFile(dir.file("RDINDX.LOG"));
  EXPECT_NE(log.find(" Error(s) while reading from "), std::string::npos);
  EXPECT_NE(log.find("    1 Value expected"), std::string::npos) << log;
}

TEST_F(Listing, UnreadableDataFilesStopWithTheirName) {
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, dir.file("missing.inp")); }), 1);
  EXPECT_NE(console().find("File does not exist"), std::string::npos) << console();
  std::filesystem::create_directory(dir.path() / "adir");
  out.str("");
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, dir.file("adir")); }), 1);
  EXPECT_NE(console().find("adir"), std::string::npos) << console();
  EXPECT_FALSE(exists("RD$00002.TMP"));
}

}  // namespace
}  // namespace kirmel::test
