// The token reader: comments, token boundaries, line ends, end of file,
// opening and closing, and strict number conversion.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/TempDir.h"
#include "frontend/editor/Parser.h"
#include "frontend/model/KirExcpt.h"

namespace kirmel::test {
namespace {

using fe::Parser;

struct ParserFixture {
  TempDir dir;
  std::vector<std::string> messages;
  Parser parser{[this](const std::string& m) { messages.push_back(m); }};

  // All tokens of a file with the given text.
  std::vector<std::string> tokens(const std::string& text) {
    EXPECT_TRUE(parser.OpenInputFile(dir.write("f.txt", text)));
    std::vector<std::string> result;
    std::string token;
    for (int guard = 0; guard < 1000 && parser.GetToken(token); ++guard) result.push_back(token);
    parser.CloseInputFile();
    return result;
  }
};

using Tokens = std::vector<std::string>;

TEST(Parser, CommentsAndTokenBoundaries) {
  ParserFixture f;
  EXPECT_EQ(f.tokens("* comment\n *also comment\n  * not a comment\n"), (Tokens{"*", "not", "a", "comment"}));
  EXPECT_EQ(f.tokens("x = 5 ! note\nx=5\n5!note\n"), (Tokens{"x", "=", "5", "x=5", "5!note"}));
  EXPECT_EQ(f.tokens("! all comment\n   ! indented comment\n\n   \nlast"), (Tokens{"last"}));
  // Tabs belong to tokens; only the blank separates.
  EXPECT_EQ(f.tokens("a\tb c\n"), (Tokens{"a\tb", "c"}));
  // "(" before a number is a token of its own.
  EXPECT_EQ(f.tokens("(0.5 (.5) (abc (\n"), (Tokens{"(", "0.5", "(", ".5)", "(abc", "("}));
  EXPECT_EQ(f.tokens(""), Tokens{});
  EXPECT_EQ(f.tokens("* only\n* comments"), Tokens{});
}

TEST(Parser, EveryLineEnd) {
  ParserFixture f;
  EXPECT_EQ(f.tokens("a b\r\nc\rd\ne\r\n\r\n* x\rf"), (Tokens{"a", "b", "c", "d", "e", "f"}));
  // A token never runs on over a line end.
  EXPECT_EQ(f.tokens("ab\r\ncd"), (Tokens{"ab", "cd"}));
}

TEST(Parser, EndOfFileStaysTheEnd) {
  ParserFixture f;
  ASSERT_TRUE(f.parser.OpenInputFile(f.dir.write("f.txt", "a\n* words of a comment\n")));
  std::string token;
  EXPECT_TRUE(f.parser.GetToken(token));
  EXPECT_EQ(token, "a");
  // Neither the first nor a later call hands out the comment's words.
  EXPECT_FALSE(f.parser.GetToken(token));
  EXPECT_FALSE(f.parser.GetToken(token));
  EXPECT_EQ(token, "");
}

TEST(Parser, NextLineAndSkipTo) {
  ParserFixture f;
  ASSERT_TRUE(f.parser.OpenInputFile(f.dir.write("f.txt", "a b c\n* c\nd e\nf g\n")));
  std::string token;
  ASSERT_TRUE(f.parser.GetToken(token));
  EXPECT_TRUE(f.parser.NextLine());  // drops "b c", now on "d e"
  EXPECT_TRUE(f.parser.GetToken(token));
  EXPECT_EQ(token, "d");
  EXPECT_TRUE(f.parser.SkipTo("g"));
  EXPECT_FALSE(f.parser.NextLine());  // end: the current line is scanned again
  EXPECT_TRUE(f.parser.GetToken(token));
  EXPECT_EQ(token, "f");
  EXPECT_FALSE(f.parser.SkipTo("zz"));
}

TEST(Parser, OpeningAndClosing) {
  ParserFixture f;
  std::string token;
  EXPECT_FALSE(f.parser.GetToken(token));  // nothing opened yet
  const std::string missing = f.dir.file("none.txt");
  EXPECT_FALSE(f.parser.OpenInputFile(missing));
  EXPECT_FALSE(f.parser.OpenInputFile(f.dir.str()));  // a directory is no file
  ASSERT_EQ(f.messages.size(), 2u);
  EXPECT_EQ(f.messages[0], "Cannot open file \"" + missing + "\"");

  f.dir.write("Data.TXT", "x\n");
  ASSERT_TRUE(f.parser.OpenInputFile(f.dir.file("DATA.txt")));
  EXPECT_TRUE(f.parser.FileOpen());
  EXPECT_EQ(f.parser.FileName(), f.dir.file("DATA.txt"));
  f.parser.CloseInputFile();
  EXPECT_FALSE(f.parser.FileOpen());
  EXPECT_FALSE(f.parser.GetToken(token));

  // Opening a second file while one is open reads the new one from its start.
  ASSERT_TRUE(f.parser.OpenInputFile(f.dir.write("a.txt", "a1 a2\n")));
  ASSERT_TRUE(f.parser.GetToken(token));
  ASSERT_TRUE(f.parser.OpenInputFile(f.dir.write("b.txt", "b1\n")));
  ASSERT_TRUE(f.parser.GetToken(token));
  EXPECT_EQ(token, "b1");
}

TEST(Parser, ProgramWideReader) {
  TempDir dir;
  ASSERT_TRUE(fe::OpenInputFile(dir.write("f.txt", "k 12 0.25\n")));
  std::string token;
  int i = 0;
  double d = 0;
  ASSERT_TRUE(fe::SkipTo("k"));
  ASSERT_TRUE(fe::GetToken(token));
  EXPECT_TRUE(fe::StrToIntValue(token, i));
  ASSERT_TRUE(fe::GetToken(token));
  EXPECT_TRUE(fe::StrToFloatValue(token, d));
  EXPECT_EQ(i, 12);
  EXPECT_EQ(d, 0.25);
  fe::CloseInputFile();
  EXPECT_FALSE(fe::ProgramParser().FileOpen());
}

TEST(Parser, StrictNumbers) {
  Parser parser;
  ASSERT_FALSE(parser.OpenInputFile("/nonexistent/in.txt"));
  double d = 7;
  for (auto [text, value] : {std::pair{"1.5", 1.5}, {"-2E-3", -2e-3}, {"1e5", 1e5}, {"+3.", 3.0},
                             {".5", 0.5}, {"1.E-6", 1e-6}})
    EXPECT_TRUE(parser.StrToFloatValue(text, d) && d == value) << text;
  for (const char* bad : {"nan", "inf", "-INF", "0x10", "1,000", "1.5.2", "", "1e", "e5", "1e999",
                          "5!note", "1 000"}) {
    d = 7;
    EXPECT_THROW(parser.StrToFloatValue(bad, d), fe::EIllegalValue) << bad;
    EXPECT_EQ(d, 7) << bad;
  }
  try {
    parser.StrToFloatValue("abc", d);
  } catch (const fe::EIllegalValue& e) {
    EXPECT_STREQ(e.what(), "/nonexistent/in.txt: Illegal floating-point value: \"abc\"");
  }
  int i = 0;
  EXPECT_TRUE(parser.StrToIntValue("-42", i));
  EXPECT_EQ(i, -42);
  for (const char* bad : {"1.0", "2147483648", "0x1", "12a", "", "1e3"})
    EXPECT_THROW(parser.StrToIntValue(bad, i), fe::EIllegalValue) << bad;
  try {
    parser.StrToIntValue("1.0", i);
  } catch (const fe::EIllegalValue& e) {
    EXPECT_STREQ(e.what(), "/nonexistent/in.txt: Illegal integer value: 1.0");
  }
}

// A token quoted in a message never carries raw control bytes or broken
// characters into the dialog, and a very long one is cut.
TEST(Parser, MessagesShowTokensPrintably) {
  EXPECT_EQ(fe::PrintableText("abc 1.5"), "abc 1.5");
  EXPECT_EQ(fe::PrintableText("\x1b[2J\t\r\x7f"), "\\x1B[2J\\x09\\x0D\\x7F");
  EXPECT_EQ(fe::PrintableText("\xC2\xB5g/L"), "\xC2\xB5g/L");        // a whole UTF-8 character stays
  EXPECT_EQ(fe::PrintableText("\xC2g\xFF\xC0\x80"), "\\xC2g\\xFF\\xC0\\x80");  // broken ones do not
  EXPECT_EQ(fe::PrintableText("\xC2\x85"), "\\xC2\\x85");               // nor a C1 control
  EXPECT_EQ(fe::PrintableText(std::string(100, '9')), std::string(80, '9') + "...");

  Parser parser;
  parser.OpenInputFile("/nonexistent/in.txt");
  double d = 0;
  int i = 0;
  try {
    parser.StrToFloatValue("1\x1b]0;x\x07", d);
    ADD_FAILURE() << "no exception";
  } catch (const fe::EIllegalValue& e) {
    EXPECT_STREQ(e.what(),
                 "/nonexistent/in.txt: Illegal floating-point value: \"1\\x1B]0;x\\x07\"");
  }
  try {
    parser.StrToIntValue(std::string("4\0" "2", 3), i);
    ADD_FAILURE() << "no exception";
  } catch (const fe::EIllegalValue& e) {
    EXPECT_STREQ(e.what(), "/nonexistent/in.txt: Illegal integer value: 4\\x002");
  }
}

TEST(Parser, CommaSeparatorAcceptsBothForms) {
  Parser comma({}, ',');
  double d = 0;
  EXPECT_TRUE(comma.StrToFloatValue("0.5", d));
  EXPECT_EQ(d, 0.5);
  EXPECT_TRUE(comma.StrToFloatValue("0,25", d));
  EXPECT_EQ(d, 0.25);
  EXPECT_THROW(comma.StrToFloatValue("1.000,5", d), fe::EIllegalValue);
  Parser point;
  EXPECT_THROW(point.StrToFloatValue("0,5", d), fe::EIllegalValue);
}

}  // namespace
}  // namespace kirmel::test
