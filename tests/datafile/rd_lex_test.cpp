// The lexer and its value decoders: numbers, exponents, logicals, strings,
// dates with leap years and bad months, identifiers against numbers, and the
// token stack.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "datafile/RdParse.h"
#include "platform/Env.h"
#include "platform/Stop.h"

namespace kirmel {
namespace {

struct Tok {
  int kind;
  char type;
  std::string text;
  const Token t;
};

struct Lexer : ::testing::Test {
  std::istringstream in;
  std::ostringstream out;
  Env env{in, out};
  RdParse p{env};

  // Tokens of one line up to (not including) the end of line.
  std::vector<Tok> lex(const std::string& line) {
    p.setOutput(true, false, 0, "lex.inp");
    p.resetCounters();
    p.RDLEX(1);
    const auto e = line.find_last_not_of(' ');
    p.setLine(line, e == std::string::npos ? 0 : static_cast<int>(e + 1));
    p.RDLEX(2);
    std::vector<Tok> v;
    for (int i = 0; i < 300; ++i) {
      p.RDLEX(3);
      const Token& t = p.token();
      if (t.kind == TEOL) break;
      v.push_back(Tok{t.kind, t.type, line.substr(static_cast<std::size_t>(t.first - 1), static_cast<std::size_t>(t.last - t.first + 1)), t});
    }
    return v;
  }
  // The single token of a text (with the kind, type and values).
  Token one(const std::string& text) {
    auto v = lex(text);
    EXPECT_EQ(v.size(), 1u) << text;
    return v.empty() ? Token{} : v[0].t;
  }
};

TEST_F(Lexer, NumbersAndExponents) {
  EXPECT_EQ(one("42").kind, TINTEG);
  EXPECT_EQ(one("-5").ival, -5);
  EXPECT_EQ(one("+7").ival, 7);
  struct {
    const char* text;
    double value;
  } reals[] = {{"1.E5", 1e5}, {".5", 0.5},    {"+.5", 0.5},   {"1.5D-3", 1.5e-3}, {"1d3", 1000.0},
               {"-2.25", -2.25}, {"1E+", 1.0}, {"3.e-2", 3e-2}, {"30.", 30.0}};
  for (const auto& r : reals) {
    const Token t = one(r.text);
    EXPECT_EQ(t.kind, TFLOAT) << r.text;
    EXPECT_EQ(t.type, 'F') << r.text;
    EXPECT_DOUBLE_EQ(t.dval, r.value) << r.text;
  }
  EXPECT_EQ(p.errors(), 0);

  // 1E followed by a blank is no token at all: the digit stands alone.
  auto v = lex("1E x");
  ASSERT_GE(v.size(), 2u);
  EXPECT_EQ(v[0].kind, TNONE);
  EXPECT_EQ(v[0].text, "1");
  EXPECT_EQ(v[1].kind, TIDENT);

  lex("1.2E39");
  EXPECT_EQ(p.errors(), 1);
  EXPECT_NE(out.str().find("Exponent outside limits"), std::string::npos);
  // A long digit string overflows without an exponent: reported the same way.
  out.str("");
  const Token big = one(std::string(400, '9') + ".0");
  EXPECT_EQ(p.errors(), 1);
  EXPECT_EQ(big.dval, 0.0);
  EXPECT_NE(out.str().find("Exponent outside limits"), std::string::npos);

  lex("1.0000000000000000");
  EXPECT_EQ(p.errors(), 0);
  EXPECT_EQ(p.warnings(), 1);
  // The warning starts at 16 significant digits; leading zeros do not count.
  lex("1.000000000000000");
  EXPECT_EQ(p.warnings(), 1);
  EXPECT_NE(out.str().find("Many digits, possible loss of accuracy"), std::string::npos);
  lex("0.00000000000000123456789012345");
  EXPECT_EQ(p.warnings(), 0);
}

TEST_F(Lexer, IntegerLimits) {
  EXPECT_EQ(one("2147483647").ival, 2147483647);
  EXPECT_EQ(one("-2147483647").ival, -2147483647);
  EXPECT_EQ(one("000000001").ival, 1);
  for (const char* bad : {"2147483648", "-2147483648", "00000000001", "99999999999999"}) {
    lex(bad);
    EXPECT_EQ(p.errors(), 1) << bad;
  }
  EXPECT_NE(out.str().find("Integer value too large"), std::string::npos);
}

TEST_F(Lexer, LogicalsAndStrings) {
  EXPECT_TRUE(one(".true.").lval);
  Token f = one(".False.");
  EXPECT_EQ(f.kind, TLOGIC);
  EXPECT_FALSE(f.lval);
  for (const char* bad : {".T.", "..", ".TRUEX."}) {
    one(bad);
    EXPECT_EQ(p.errors(), 1) << bad;
  }
  Token s = one("'a b!c'");
  EXPECT_EQ(s.kind, TSTRNG);
  EXPECT_EQ(s.type, 'C');
  // Two quotes with nothing between are no token; nor is an open string.
  EXPECT_EQ(lex("''")[0].kind, TNONE);
  EXPECT_EQ(lex("'abc")[0].kind, TNONE);
  EXPECT_EQ(lex("'a\tb'")[0].kind, TNONE);
  EXPECT_EQ(lex("'it''s'")[0].kind, TNONE);
}

TEST_F(Lexer, LettersBeyondAsciiOnlyInsideStrings) {
  // UTF-8 names pass through a string byte for byte, also at its ends and
  // with every byte 128-255.
  for (const std::string text : {"'/home/jos\xC3\xA9/Foss\xC3\xA9'", "'\xC3\xA9'", "'\x80\xFF'"}) {
    auto v = lex(text);
    ASSERT_EQ(v.size(), 1u) << text;
    EXPECT_EQ(v[0].kind, TSTRNG) << text;
    EXPECT_EQ(v[0].text, text);
  }
  EXPECT_EQ(p.errors(), 0);
  // Outside a string such a byte is still a character no automaton takes:
  // no identifier, no part of a number.
  auto v = lex("Foss\xC3\xA9 = 1");
  ASSERT_GE(v.size(), 2u);
  EXPECT_EQ(v[0].kind, TIDENT);
  EXPECT_EQ(v[0].text, "Foss");
  EXPECT_EQ(v[1].kind, TNONE);
  EXPECT_EQ(lex("\xC3\xA9")[0].kind, TNONE);
  // Control characters inside a string still end it.
  EXPECT_EQ(lex("'a\x01" "b'")[0].kind, TNONE);
}

TEST_F(Lexer, DatesAndLeapYears) {
  struct {
    const char* text;
    double day;
  } good[] = {{"1-JAN-1900", 1.0},        {"1-JAN-1900_12:00", 1.5}, {"12:00", 0.5},
              {"1900-3-1", 60.0},         {"1-jan-2000", 36525.0},   {"2000/1/1", 36525.0},
              {"29-FEB-2000", 36584.0},   {"29/feb-1996", 35123.0},  {"1-september-1950", 18506.0},
              {"1-JAN-1900_00:00:30.5", 1.0 + 30.5 / 86400.0}};
  for (const auto& g : good) {
    const Token t = one(g.text);
    EXPECT_EQ(t.kind, TTIME) << g.text;
    EXPECT_EQ(t.type, 'T') << g.text;
    EXPECT_NEAR(t.tval, g.day, 1e-9) << g.text;
  }
  EXPECT_NEAR(one("25:00").tval, 25.0 / 24.0, 1e-12);
  EXPECT_EQ(p.errors(), 0);
  struct {
    const char* text;
    const char* msg;
  } bad[] = {{"29-FEB-1900", "Day invalid"},       {"1-JAN-2001", "Illegal year"},
             {"1-JA-2000", "Length of month not correct"}, {"1-SEPT-2000", "Illegal month name"},
             {"12:60", "Minute invalid"},          {"2000-13-1", "Month invalid"},
             {"31-APR-1999", "Day invalid"},       {"1-1-1", "Illegal year"},
             {"1:2:60", "Seconds invalid"}};
  for (const auto& b : bad) {
    out.str("");
    lex(b.text);
    EXPECT_EQ(p.errors(), 1) << b.text;
    EXPECT_NE(out.str().find(b.msg), std::string::npos) << b.text << "\n" << out.str();
  }
}

TEST_F(Lexer, DateTimeConversionChecks) {
  int d[6] = {0, 0, 1, 0, 0, 0};
  double dn = 0;
  bool err = false;
  std::string msg;
  DTSYS(env, 1, d, 0.0f, dn, err, msg);
  EXPECT_TRUE(err);
  EXPECT_EQ(msg, "date not allowed");
  int h[6] = {0, 0, 0, -1, 0, 0};
  DTSYS(env, 1, h, 0.0f, dn, err, msg);
  EXPECT_EQ(msg, "hour invalid");
  int ok[6] = {0, 0, 0, 1, 0, 0};
  DTSYS(env, 1, ok, 1.0f, dn, err, msg);
  EXPECT_EQ(msg, "fractional seconds invalid");
  EXPECT_THROW(DTSYS(env, 2, ok, 0.0f, dn, err, msg), Stop);
  EXPECT_TRUE(ISLEAP(2000));
  EXPECT_FALSE(ISLEAP(1900));
  EXPECT_TRUE(ISLEAP(1996));
  EXPECT_FALSE(ISLEAP(1999));
}

TEST_F(Lexer, LongestMatchBetweenIdentifiersNumbersAndPunctuation) {
  auto v = lex("12abc E5 - a_1$ x=3, y ; z*2 'a' // 'b' ( ) ! rest");
  std::vector<int> kinds;
  for (const auto& t : v) kinds.push_back(t.kind);
  const std::vector<int> want = {TINTEG, TIDENT, TSPACE, TIDENT, TSPACE, TMISS,  TSPACE, TIDENT,
                                 TSPACE, TIDENT, TEQUAL, TINTEG, TCOMMA, TIDENT, TSEMIC, TIDENT,
                                 TMULT,  TINTEG, TSPACE, TSTRNG, TSCONC, TSTRNG, TLPAR,  TRPAR,
                                 TCMMNT};
  EXPECT_EQ(kinds, want);
  EXPECT_EQ(v[10].text, "=");
  EXPECT_EQ(v[12].text, ", ");
  EXPECT_EQ(v[24].text, "! rest");  // the blank belongs to ")"
  // A single '/' is no token, and the blanks before it are none either.
  v = lex("a /b");
  EXPECT_EQ(v[1].kind, TNONE);
  EXPECT_EQ(v[1].text, " ");
  // Dates beat numbers by length; a minus alone is a missing value.
  v = lex("2000-1-1 1-JAN-2000 -");
  EXPECT_EQ(v[0].kind, TTIME);
  EXPECT_EQ(v[2].kind, TTIME);
  EXPECT_EQ(v[4].kind, TMISS);
  EXPECT_EQ(v[4].type, '-');
}

TEST_F(Lexer, StackStepsBackAndHoldsTwoHundredTokens) {
  lex("a = - 1");
  // Now at the end of the line; step back to the '-'.
  p.RDLEX(4);
  p.RDLEX(4);
  p.RDLEX(4);
  EXPECT_EQ(p.token().kind, TMISS);
  EXPECT_EQ(p.token().type, '-');
  p.RDLEX(3);
  EXPECT_EQ(p.token().kind, TSPACE);
  p.RDLEX(3);
  EXPECT_EQ(p.token().ival, 1);

  lex("a");
  p.RDLEX(4);
  p.RDLEX(4);
  EXPECT_EQ(p.token().kind, TNONE);
  EXPECT_EQ(p.token().first, 0);
  EXPECT_THROW(p.RDLEX(4), Stop);
  EXPECT_NE(out.str().find(" ERROR in RDLEX: Internal error, empty stack"), std::string::npos);

  std::string line = "x =";
  for (int i = 0; i < 99; ++i) line += " 1";
  EXPECT_EQ(lex(line).size(), 199u);
  EXPECT_THROW(lex(line + " 1"), Stop);
  EXPECT_NE(out.str().find(" ERROR in LEXPARSE: Internal error, too many stack elements"),
            std::string::npos);
}

}  // namespace
}  // namespace kirmel
