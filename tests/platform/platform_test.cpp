#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/TempDir.h"
#include "platform/Env.h"
#include "platform/LineReader.h"
#include "platform/Paths.h"
#include "platform/Stop.h"
#include "platform/Units.h"

using kirmel::test::TempDir;
using kirmel::test::readFile;
namespace fs = std::filesystem;

TEST(Paths, ExactFirstThenCaseInsensitivePerComponent) {
  TempDir dir;
  fs::create_directories(dir.path() / "Scen" / "run1");
  dir.write("Scen/run1/wlnu.inp", "lower");
  const std::string base = dir.str();

  auto found = kirmel::paths::resolveExisting(base + "/SCEN/RUN1/WLNU.INP");
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, base + "/Scen/run1/wlnu.inp");
  EXPECT_EQ(readFile(*found), "lower");
  EXPECT_TRUE(kirmel::paths::exists(base + "/scen/Run1/Wlnu.Inp"));
  EXPECT_FALSE(kirmel::paths::exists(base + "/scen/run2/wlnu.inp"));
  EXPECT_FALSE(kirmel::paths::resolveExisting(""));

  // Two names differing only in case: the exact one wins.
  dir.write("Scen/run1/WLNU.INP", "upper");
  EXPECT_EQ(*kirmel::paths::resolveExisting(base + "/Scen/run1/WLNU.INP"),
            base + "/Scen/run1/WLNU.INP");
  EXPECT_EQ(*kirmel::paths::resolveExisting(base + "/Scen/run1/wlnu.inp"),
            base + "/Scen/run1/wlnu.inp");
}

TEST(Paths, ForCreateKeepsTheGivenLastComponent) {
  TempDir dir;
  fs::create_directories(dir.path() / "Runs");
  const std::string base = dir.str();
  EXPECT_EQ(kirmel::paths::forCreate(base + "/RUNS/wlsoco.out"), base + "/Runs/wlsoco.out");
  EXPECT_EQ(kirmel::paths::forCreate(base + "/runs/WLSOCO.OUT"), base + "/Runs/WLSOCO.OUT");
  dir.write("Runs/Message.out", "");
  EXPECT_EQ(kirmel::paths::forCreate(base + "/runs/MESSAGE.OUT"), base + "/Runs/Message.out");
  EXPECT_EQ(kirmel::paths::forCreate("plain.out"), "plain.out");
}

TEST(LineReader, AllLineEndsAndUnterminatedLastLine) {
  TempDir dir;
  const std::string path = dir.write("lines.txt", "a\r\nb\nc\rd\r\r\ne\n\nlast");
  std::FILE* fp = std::fopen(path.c_str(), "rb");
  ASSERT_NE(fp, nullptr);
  kirmel::LineReader reader(fp);
  std::vector<std::string> lines;
  std::string line;
  for (int guard = 0; guard < 100 && reader.next(line); ++guard) lines.push_back(line);
  std::fclose(fp);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e", "", "last"}));

  kirmel::LineReader none(nullptr);
  EXPECT_FALSE(none.next(line));
}

TEST(LineReader, EmptyFileAndFinalLineEnd) {
  TempDir dir;
  for (const char* text : {"", "x\r\n"}) {
    const std::string path = dir.write("f.txt", text);
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    ASSERT_NE(fp, nullptr);
    kirmel::LineReader reader(fp);
    std::string line;
    int n = 0;
    while (n < 10 && reader.next(line)) ++n;
    std::fclose(fp);
    EXPECT_EQ(n, text[0] ? 1 : 0) << text;
  }
}

TEST(UnitTable, OpenWriteFindCloseAndRange) {
  TempDir dir;
  kirmel::UnitTable units;
  EXPECT_FALSE(units.openWrite(9, dir.file("a.out")));
  EXPECT_FALSE(units.openWrite(100, dir.file("a.out")));
  ASSERT_TRUE(units.openWrite(10, dir.file("a.out")));
  EXPECT_TRUE(units.isOpen(10));
  EXPECT_EQ(units.freeUnit(), 11);
  EXPECT_EQ(units.findByName(dir.file("a.out")), 10);
  EXPECT_EQ(units.findByName(dir.file("A.OUT")), 10);
  EXPECT_EQ(units.findByName(dir.file("b.out")), 0);
  units.writeLine(10, "first");
  units.writeLine(10, "");
  units.writeLine(11, "not open");  // ignored
  EXPECT_TRUE(units.close(10));
  EXPECT_FALSE(units.close(10));
  EXPECT_EQ(readFile(dir.file("a.out")), "first\n\n");
  EXPECT_FALSE(units.openWrite(12, dir.file("missing/dir/x.out")));
  EXPECT_EQ(units.get(12), nullptr);
}

TEST(UnitTable, DirectAccessRecords) {
  TempDir dir;
  kirmel::UnitTable units;
  const std::string path = dir.file("rd.tmp");
  std::FILE* fp = std::fopen(path.c_str(), "w+b");
  ASSERT_NE(fp, nullptr);
  units.attach(20, "rd.tmp", path, fp, kirmel::Form::Unformatted, kirmel::Access::Direct, 4, true);

  char buf[4];
  EXPECT_FALSE(units.readRecord(20, 1, buf));  // empty file
  ASSERT_TRUE(units.writeRecord(20, 3, "ccc3"));
  ASSERT_TRUE(units.writeRecord(20, 1, "aaa1"));
  EXPECT_FALSE(units.writeRecord(20, 0, "xxxx"));
  ASSERT_TRUE(units.readRecord(20, 3, buf));
  EXPECT_EQ(std::string(buf, 4), "ccc3");
  ASSERT_TRUE(units.readRecord(20, 2, buf));  // the gap reads as zero bytes
  EXPECT_EQ(std::string(buf, 4), std::string(4, '\0'));
  ASSERT_TRUE(units.readRecord(20, 1, buf));
  EXPECT_EQ(std::string(buf, 4), "aaa1");
  EXPECT_FALSE(units.readRecord(20, 4, buf));
  ASSERT_TRUE(units.writeRecord(20, 4, "dddd"));  // writing after a failed read
  ASSERT_TRUE(units.readRecord(20, 4, buf));
  EXPECT_EQ(std::string(buf, 4), "dddd");

  // Sequential units have no records.
  ASSERT_TRUE(units.openWrite(21, dir.file("seq.out")));
  EXPECT_FALSE(units.writeRecord(21, 1, "abcd"));
  EXPECT_FALSE(units.readRecord(22, 1, buf));

  EXPECT_TRUE(units.closeDelete(20));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(units.isOpen(20));
  EXPECT_FALSE(units.closeDelete(20));
}

TEST(UnitTable, WriteFailuresAreNotedOncePerFile) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  for (const char* name : {"early.out", "late.out", "flushed.out"})
    fs::create_symlink("/dev/full", dir.path() / name);
  kirmel::UnitTable units;
  EXPECT_FALSE(units.writeFailed());
  // More than the buffer holds: the failure shows while writing, and
  // nothing more is written to the file.
  ASSERT_TRUE(units.openWrite(10, dir.file("early.out")));
  const std::string line(1000, 'x');
  for (int n = 0; n < 3000 && !units.get(10)->failed; ++n) units.writeLine(10, line);
  EXPECT_TRUE(units.get(10)->failed);
  EXPECT_TRUE(units.hasNewWriteFailures());
  EXPECT_EQ(units.newWriteFailures(), std::vector<std::string>{dir.file("early.out")});
  units.writeLine(10, line);
  EXPECT_FALSE(units.close(10));
  EXPECT_FALSE(units.hasNewWriteFailures());  // named once only
  // A short file fails when it is closed, or flushed.
  ASSERT_TRUE(units.openWrite(11, dir.file("late.out")));
  ASSERT_TRUE(units.openWrite(12, dir.file("flushed.out")));
  ASSERT_TRUE(units.openWrite(13, dir.file("sound.out")));
  for (int u : {11, 12, 13}) units.writeLine(u, "one line");
  EXPECT_FALSE(units.hasNewWriteFailures());
  EXPECT_FALSE(units.close(11));
  units.flushAll();
  EXPECT_EQ(units.newWriteFailures(), (std::vector<std::string>{dir.file("late.out"), dir.file("flushed.out")}));
  EXPECT_TRUE(units.close(13));
  units.closeAll();
  EXPECT_TRUE(units.newWriteFailures().empty());
  EXPECT_TRUE(units.writeFailed());
  EXPECT_EQ(readFile(dir.file("sound.out")), "one line\n");
}

TEST(UnitTable, AttachToBadUnitReleasesTheFile) {
  TempDir dir;
  kirmel::UnitTable units;
  std::FILE* fp = std::fopen(dir.file("x").c_str(), "wb");
  ASSERT_NE(fp, nullptr);
  units.attach(5, "x", dir.file("x"), fp, kirmel::Form::Formatted, kirmel::Access::Sequential, 0,
               true);  // closed by the table, so no leak under ASan
  EXPECT_EQ(units.findByName("x"), 0);
}

TEST(Env, WaitLineReturnsAtOnceAtEndOfInput) {
  std::istringstream in("first\r\nsecond\n");
  std::ostringstream out;
  kirmel::Env env(in, out);
  std::string line;
  ASSERT_TRUE(env.waitLine(&line));
  EXPECT_EQ(line, "first");
  ASSERT_TRUE(env.waitLine());
  for (int k = 0; k < 3; ++k) EXPECT_FALSE(env.waitLine(&line));
  env.say("hello");
  EXPECT_EQ(out.str(), "hello\n");
}

TEST(Env, StopClosesUnitsAndThrowsWithStatus) {
  TempDir dir;
  std::istringstream in;
  std::ostringstream out;
  kirmel::Env env(in, out);
  ASSERT_TRUE(env.units().openWrite(15, dir.file("m.out")));
  env.units().writeLine(15, "buffered");
  try {
    env.stop(3, "why");
    FAIL() << "stop returned";
  } catch (const kirmel::Stop& s) {
    EXPECT_EQ(s.status, 3);
    EXPECT_STREQ(s.what(), "why");
  }
  EXPECT_FALSE(env.units().isOpen(15));
  EXPECT_EQ(readFile(dir.file("m.out")), "buffered\n");
}

TEST(Env, ReadInputWaitsForDataAndEndsOnSignal) {
  std::istringstream in;
  std::ostringstream out;
  kirmel::Env env(in, out);
  int p[2];
  ASSERT_EQ(::pipe(p), 0);
  // Data, then the end once the writer is gone.
  ASSERT_EQ(::write(p[1], "abc", 3), 3);
  char buf[16];
  EXPECT_EQ(env.readInput(p[0], buf, sizeof buf), 3);
  // A pipe that gives nothing: the read waits until the signal's note is
  // seen, runs the interrupt action and stops with 128 + the signal.
  volatile std::sig_atomic_t note = 0;
  int actions = 0;
  env.setInterrupt(&note, -1, [&] { ++actions; });
  std::thread signaller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    note = SIGHUP;
  });
  int status = 0;
  try {
    env.readInput(p[0], buf, sizeof buf);
  } catch (const kirmel::Stop& s) {
    status = s.status;
  }
  signaller.join();
  EXPECT_EQ(status, 128 + SIGHUP);
  EXPECT_EQ(actions, 1);
  EXPECT_EQ(env.interruptSignal(), SIGHUP);
  env.setInterrupt(nullptr, -1);
  EXPECT_EQ(env.interruptSignal(), 0);
  ::close(p[1]);
  EXPECT_EQ(env.readInput(p[0], buf, sizeof buf), 0);
  ::close(p[0]);
}

TEST(Env, NamedPipeWithoutWriterOpensAtOnce) {
  TempDir dir;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::FILE* fp = kirmel::openForReading(fifo);
  ASSERT_NE(fp, nullptr);
  // Reads wait again (the read end is not left non-blocking).
  EXPECT_EQ(::fcntl(::fileno(fp), F_GETFL) & O_NONBLOCK, 0);
  std::fclose(fp);
  EXPECT_EQ(kirmel::openForReading(dir.file("missing")), nullptr);
}

TEST(InputLines, LineEndsLongLinesAndPieces) {
  std::istringstream in;
  std::ostringstream out;
  kirmel::Env env(in, out);
  int p[2];
  ASSERT_EQ(::pipe(p), 0);
  // The lines arrive in pieces; a CR LF pair is split between two of them.
  std::thread writer([&] {
    for (const char* piece : {"a\r", "\nb\nc\rd\r\r\n", "e\n\nlast"}) {
      if (::write(p[1], piece, std::strlen(piece)) < 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(p[1]);
  });
  kirmel::InputLines lines(env, p[0], 10);
  std::vector<std::string> got;
  std::string line;
  using R = kirmel::InputLines::Result;
  for (int guard = 0; guard < 100 && lines.next(line) == R::Line; ++guard) got.push_back(line);
  writer.join();
  ::close(p[0]);
  EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "d", "", "e", "", "last"}));
  EXPECT_EQ(lines.next(line), R::End);

  TempDir dir;
  const std::string path = dir.write("long.txt", std::string(10, 'x') + "\n" + std::string(11, 'y') + "\n");
  const int fd = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  kirmel::InputLines bounded(env, fd, 10);
  EXPECT_EQ(bounded.next(line), R::Line);
  EXPECT_EQ(line, std::string(10, 'x'));
  EXPECT_EQ(bounded.next(line), R::RunsOn);
  ::close(fd);
  kirmel::InputLines broken(env, -1, 10);
  EXPECT_EQ(broken.next(line), R::Failed);
}

TEST(Env, TwoEnvsAreIndependent) {
  TempDir dir;
  std::istringstream in1, in2;
  std::ostringstream out1, out2;
  kirmel::Env a(in1, out1), b(in2, out2);
  ASSERT_TRUE(a.units().openWrite(10, dir.file("a.out")));
  ASSERT_TRUE(b.units().openWrite(10, dir.file("b.out")));
  EXPECT_THROW(a.stop(1), kirmel::Stop);
  EXPECT_TRUE(b.units().isOpen(10));
}
