// The record reader: line ends (CR LF, LF, lone CR), 1024-byte block
// boundaries, truncation of long lines, and the line filter of the parser.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "RdFixture.h"
#include "datafile/RdParse.h"

namespace kirmel::test {
namespace {

struct Line {
  std::string text;
  int reclen;
  int trunc;
  bool operator==(const Line&) const = default;
};

struct RecordReading : RdFixture {
  std::vector<Line> lines(const std::string& bytes) {
    const std::string f = data("rec.inp", bytes);
    RecordReader r(env);
    r.RECOPEN(30, f);
    std::vector<Line> v;
    std::string line;
    int reclen = 0, trunc = 0;
    bool eof = false;
    for (int i = 0; i < 10000; ++i) {
      r.RECREAD(line, LINMAX, reclen, eof, trunc);
      if (eof) break;
      v.push_back(Line{line, reclen, trunc});
    }
    EXPECT_TRUE(eof);
    EXPECT_FALSE(env.units().isOpen(30));
    return v;
  }
};

TEST_F(RecordReading, EveryLineEndGivesTheSameLines) {
  const std::vector<Line> want = {{"a = 1", 5, 0}, {"", 0, 0}, {" b ", 2, 0}, {"c", 1, 0}};
  EXPECT_EQ(lines("a = 1\r\n\r\n b \r\nc\r\n"), want);
  EXPECT_EQ(lines("a = 1\n\n b \nc\n"), want);
  EXPECT_EQ(lines("a = 1\r\r b \rc\r"), want);
  EXPECT_EQ(lines("a = 1\r\n\n b \rc"), want);  // mixed, last line without an end
  EXPECT_TRUE(lines("").empty());
}

TEST_F(RecordReading, LineEndsAcrossBlockBoundaries) {
  // The CR of the first line is the last byte of the first block, its LF the
  // first byte of the second.
  const std::string first(1023, 'x');
  auto v = lines(first + "\r\nnext\r\n");
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].reclen, 1023);
  EXPECT_EQ(v[0].trunc, 0);
  EXPECT_EQ(v[1].text, "next");
  // A line that spans three blocks is cut but its end is still found.
  const std::string longLine(2500, 'y');
  v = lines("s\r\n" + longLine + "\r\nz");
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[1].trunc, 1);
  EXPECT_EQ(v[1].text.size(), 1023u);
  EXPECT_EQ(v[2].text, "z");
  // Exactly 1024 bytes with the last line end at the end of the block.
  v = lines(std::string(1022, 'q') + "\r\n");
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].reclen, 1022);
}

TEST_F(RecordReading, TruncationCountsNonBlankCharactersOnly) {
  auto v = lines(std::string(1023, 'a') + std::string(40, ' ') + "\n");
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].reclen, 1023);
  EXPECT_EQ(v[0].trunc, 0);
  v = lines(std::string(1024, 'a') + "\n");
  EXPECT_EQ(v[0].reclen, 1023);
  EXPECT_EQ(v[0].trunc, 1);
}

TEST_F(RecordReading, ReadingWithoutOpeningStops) {
  RecordReader r(env);
  std::string line;
  int reclen = 0, trunc = 0;
  bool eof = false;
  EXPECT_EQ(stops([&] { r.RECREAD(line, LINMAX, reclen, eof, trunc); }), 1);
  EXPECT_NE(console().find(" ERROR in RECREAD: system not initialized"), std::string::npos);
}

TEST_F(RecordReading, ParserSkipsCommentLinesAndStopsAtCtrlZ) {
  // Skipped lines still count: the error stands on line 6.
  const std::string f = data("skip.inp",
                             "* comment\n! comment\n\n   \n ! a comment token\nx = (\n\x1a\ny = )\n");
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), 1);
  EXPECT_NE(console().find("    6 Value expected"), std::string::npos) << console();
  EXPECT_EQ(console().find("y = )"), std::string::npos) << console();
  EXPECT_NE(console().find("Number of errors in data file"), std::string::npos);

  const std::string g = data("ctrlz.inp", "x = 1\r\n\x1a rest\r\ny = (\r\n");
  rd.RDINIT(20, 0, g);
  int x = 0;
  rd.RDSINR("x", 0, 5, x);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(stops([&] { rd.RDSINR("y", 0, 5, x); }), 1);
  EXPECT_NE(console().find("Variable name not in data file"), std::string::npos);
}

TEST_F(RecordReading, TruncatedLineIsAnError) {
  const std::string f = data("long.inp", "x = " + std::string(1100, '1') + "\n");
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), 1);
  EXPECT_NE(console().find("    1 Input record truncated"), std::string::npos) << console();
  // A comment line is skipped before its length is looked at.
  std::string text = "!";
  text.append(1100, 'c').append("\n*").append(1100, 's').append("\nx = 1\n");
  const std::string g = data("comment.inp", text);
  out.str("");
  rd.RDINIT(20, 0, g);
  int x = 0;
  rd.RDSINR("x", 0, 5, x);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(console(), "");
}

TEST_F(RecordReading, LineWithoutEndIsNotReadOn) {
  // Up to the bound a long line is cut and reported as any other.
  const auto max = static_cast<std::size_t>(RecordReader::kMaxRecord);
  auto v = lines(std::string(max, 'a') + "\r\nnext\r\n");
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].trunc, 1);
  EXPECT_EQ(v[1].text, "next");
  // One byte more without a line end: the reader stops in the line.
  RecordReader r(env);
  r.RECOPEN(30, data("over.inp", std::string(max + 1, 'a') + "\r\nnext\r\n"));
  std::string line;
  int reclen = 0, trunc = 0;
  bool eof = false;
  r.RECREAD(line, LINMAX, reclen, eof, trunc);
  EXPECT_TRUE(r.runsOn());
  EXPECT_FALSE(eof);
  EXPECT_EQ(line.size(), static_cast<std::size_t>(LINMAX));
  r.RECCLOSE();
  EXPECT_FALSE(env.units().isOpen(30));
}

TEST_F(RecordReading, FileThatNeverEndsALineIsRefusedAtOnce) {
  // The line is named; nothing after it is read (the open parenthesis would
  // be an error), and the statement it cut short is not reported.
  std::string text = "x = 1\r\n* c\r\ny = ";
  text.append(static_cast<std::size_t>(RecordReader::kMaxRecord), '2').append("\r\nz = (\r\n");
  const std::string f = data("endless.inp", text);
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, f); }), 1);
  const std::string c = console();
  EXPECT_NE(c.find(" Error(s) while reading from " + f + "\n"), std::string::npos) << c;
  EXPECT_NE(c.find("    3 No line end within 65536 characters"), std::string::npos) << c;
  EXPECT_EQ(c.find("Value expected"), std::string::npos) << c;
  EXPECT_EQ(c.find("End_Of_File"), std::string::npos) << c;
  EXPECT_EQ(c.find("truncated"), std::string::npos) << c;
  EXPECT_NE(c.find(" Number of errors in data file " + f + ":   1\n"), std::string::npos) << c;
  EXPECT_FALSE(exists("RD$00001.TMP"));
  // A device that gives bytes for ever without a line end ends the same way.
  if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
  out.str("");
  EXPECT_EQ(stops([&] { rd.RDINIT(20, 0, "/dev/zero"); }), 1);
  EXPECT_NE(console().find(" Error(s) while reading from /dev/zero\n"), std::string::npos) << console();
  EXPECT_NE(console().find("    1 No line end within 65536 characters"), std::string::npos) << console();
  EXPECT_FALSE(exists("RD$00002.TMP"));
}

TEST_F(RecordReading, SignalEndsAReadFromAPipeThatGivesNothing) {
  // A named pipe that a writer holds open but never writes to: the read
  // waits until the signal's note is seen, and the stop leaves no cache file.
  const std::string fifo = dir.file("pipe.inp");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  volatile std::sig_atomic_t note = 0;
  bool action = false;
  env.setInterrupt(&note, -1, [&] { action = true; });
  std::thread signaller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    note = SIGTERM;
  });
  const int status = stops([&] { rd.RDINIT(20, 0, fifo); });
  signaller.join();
  ::close(writer);
  env.setInterrupt(nullptr, -1);
  EXPECT_EQ(status, 128 + SIGTERM);
  EXPECT_TRUE(action);
  EXPECT_FALSE(exists("RD$00001.TMP"));
  EXPECT_FALSE(env.units().isOpen(21));
}

}  // namespace
}  // namespace kirmel::test
