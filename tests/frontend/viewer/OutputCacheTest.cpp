// The viewer's cache of output files: a file is read once while it stays as
// it is, read again when it changes, a damaged file's message reaches every
// reader that gets its table, and nothing is kept of a file that cannot be
// opened or of a read that was cancelled.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "common/GoldenRuns.h"
#include "common/TempDir.h"
#include "frontend/viewer/OutputCache.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using namespace kirmel::fe;

struct Collected {
  std::vector<std::string> list;
  TReadContext Context() {
    return TReadContext([this](const std::string& m) { list.push_back(m); }, '.');
  }
};

TEST(OutputCache, ReadsAFileOnceWhileItStaysTheSame) {
  TempDir run;
  CopyGoldenRun("example", run.path());
  TOutputCache cache;
  Collected m;
  TReadContext context = m.Context();

  TWLSOCOList a, b;
  ASSERT_TRUE(cache.WLSOCO(run.file("WLSOCO.OUT"), context, a));
  ASSERT_TRUE(cache.WLSOCO(run.file("wlsoco.out"), context, b));  // the same file
  EXPECT_EQ(cache.FilesRead(), 1u);
  EXPECT_EQ(b.NumberOfTimesteps(), 61);
  EXPECT_EQ(a.GetItem(4000).Concentration, b.GetItem(4000).Concentration);
  TINPUT in;
  ASSERT_TRUE(cache.INPUT(run.file("INPUT.OUT"), context, in));
  ASSERT_TRUE(cache.INPUT(run.file("INPUT.OUT"), context, in));
  TECList ec;
  ec.SetDistance(318);
  ASSERT_TRUE(cache.EC(run.file("EC080.OUT"), 61, context, ec));
  ASSERT_TRUE(cache.EC(run.file("EC080.OUT"), 61, context, ec));
  EXPECT_EQ(ec.Distance(), 318);  // the caller's, not the cache's
  EXPECT_EQ(ec.Count(), 4);
  EXPECT_EQ(cache.FilesRead(), 3u);
  // Another count of lines to pass over is another read.
  ASSERT_TRUE(cache.EC(run.file("EC080.OUT"), 60, context, ec));
  EXPECT_EQ(cache.FilesRead(), 4u);
  EXPECT_EQ(cache.Count(), 4u);
  EXPECT_TRUE(m.list.empty());

  // Written again (a run made anew), the file is read again.
  const std::string text = readFile(run.file("wlsoco.out"));
  fs::remove(run.file("wlsoco.out"));
  run.write("wlsoco.out", text.substr(0, text.rfind("  29.500    1")));
  ASSERT_TRUE(cache.WLSOCO(run.file("WLSOCO.OUT"), context, b));
  EXPECT_EQ(cache.FilesRead(), 5u);
  EXPECT_EQ(b.NumberOfTimesteps(), 59);
  EXPECT_EQ(a.NumberOfTimesteps(), 61);  // a list read before keeps its rows
  // Rewritten in place with the same size: another modification time.
  timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, run.file("wlsoco.out").c_str(), times, 0), 0);
  ASSERT_TRUE(cache.WLSOCO(run.file("WLSOCO.OUT"), context, b));
  EXPECT_EQ(cache.FilesRead(), 6u);
  EXPECT_EQ(cache.Count(), 4u);  // the stale table went
}

TEST(OutputCache, DamagedFilesAreNamedToEveryReaderOnce) {
  TempDir run;
  CopyGoldenRun("example", run.path());
  const std::string text = readFile(run.file("wbmball.out"));
  run.write("wbmball.out", text.substr(0, text.size() * 6 / 10));
  TOutputCache cache;
  Collected first, second;
  TReadContext one = first.Context();
  TReadContext two = second.Context();
  TWBMBALLList list;
  ASSERT_TRUE(cache.WBMBALL(run.file("WBMBALL.OUT"), one, list));
  ASSERT_EQ(first.list.size(), 1u);
  // Named as it is on disk, not by the upper-case name asked for.
  EXPECT_EQ(first.list[0].rfind(run.file("wbmball.out") + ", line ", 0), 0u) << first.list[0];
  EXPECT_EQ(list.ReadError(), first.list[0]);
  const int rows = list.Count();
  ASSERT_TRUE(cache.WBMBALL(run.file("WBMBALL.OUT"), one, list));
  EXPECT_EQ(first.list.size(), 1u);  // once a context
  // Another window: told again, whatever name it asked for.
  ASSERT_TRUE(cache.WBMBALL(run.file("WbMbAlL.oUt"), two, list));
  EXPECT_EQ(cache.FilesRead(), 1u);
  EXPECT_EQ(list.Count(), rows);
  ASSERT_EQ(second.list.size(), 1u);
  EXPECT_EQ(second.list[0], first.list[0]);

  // A file that cannot be opened is not kept: said every time it is asked for.
  TWLMBList mb;
  ASSERT_TRUE(cache.WLMB(run.file("WLMB.OUT"), one, mb));
  fs::remove(run.file("wlmb.out"));
  EXPECT_FALSE(cache.WLMB(run.file("WLMB.OUT"), two, mb));
  EXPECT_FALSE(cache.WLMB(run.file("WLMB.OUT"), one, mb));
  EXPECT_EQ(mb.Count(), 61);  // the list is left as it was
  EXPECT_EQ(first.list.back(), "Cannot open file \"" + run.file("WLMB.OUT") + "\"");
  EXPECT_EQ(second.list.back(), first.list.back());
  // An echo that is refused is not kept either.
  run.write("input.out", "nothing here\n");
  TINPUT in;
  EXPECT_FALSE(cache.INPUT(run.file("INPUT.OUT"), one, in));
  EXPECT_FALSE(cache.INPUT(run.file("INPUT.OUT"), one, in));
  EXPECT_EQ(cache.FilesRead(), 6u);
}

TEST(OutputCache, CancelledReadsKeepNothing) {
  TempDir run;
  CopyGoldenRun("example", run.path());
  TOutputCache cache;
  Collected m;
  int steps = 0;
  TReadContext context([&](const std::string& message) { m.list.push_back(message); }, '.',
                       [&](const std::string& file, std::uint64_t done, std::uint64_t size) {
                         EXPECT_EQ(file, run.file("wlsoco.out"));
                         EXPECT_EQ(size, 600905u);
                         EXPECT_LE(done, size);
                         return ++steps < 2;  // the first block, then cancel
                       });
  TWLSOCOList list;
  TReadContext plain = m.Context();
  ASSERT_TRUE(cache.WLSOCO(run.file("WLSOCO.OUT"), plain, list));
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0u);
  EXPECT_THROW(cache.WLSOCO(run.file("WLSOCO.OUT"), context, list), TReadCancelled);
  EXPECT_EQ(cache.Count(), 0u);
  EXPECT_EQ(list.NumberOfTimesteps(), 61);  // as it was
  EXPECT_TRUE(m.list.empty());
}

TEST(OutputCache, OldestTablesGoBeyondTheBudget) {
  TempDir run;
  CopyGoldenRun("example", run.path());
  Collected m;
  TReadContext context = m.Context();
  TWLSOCOList wl;
  TWBSCOList a, b;
  TOutputCache probe;
  ASSERT_TRUE(probe.WLSOCO(run.file("WLSOCO.OUT"), context, wl));
  const std::size_t big = probe.MemoryBytes();
  EXPECT_LT(big, 61u * 80 * 8 + 4096);  // the concentrations, not the text

  TOutputCache cache(big + 12000);
  ASSERT_TRUE(cache.WLSOCO(run.file("WLSOCO.OUT"), context, wl));
  ASSERT_TRUE(cache.WBSCO(run.file("WBSCO001.OUT"), context, a));
  ASSERT_TRUE(cache.WLSOCO(run.file("WLSOCO.OUT"), context, wl));  // used last
  ASSERT_TRUE(cache.WBSCO(run.file("WBSCO080.OUT"), context, b));
  EXPECT_EQ(cache.Count(), 2u);  // WBSCO001 went
  EXPECT_LE(cache.MemoryBytes(), big + 12000);
  ASSERT_TRUE(cache.WLSOCO(run.file("WLSOCO.OUT"), context, wl));
  EXPECT_EQ(cache.FilesRead(), 3u);
  ASSERT_TRUE(cache.WBSCO(run.file("WBSCO001.OUT"), context, a));
  EXPECT_EQ(cache.FilesRead(), 4u);
  EXPECT_EQ(a.NumberOfTimesteps(), 61);
}

}  // namespace
}  // namespace kirmel::test
