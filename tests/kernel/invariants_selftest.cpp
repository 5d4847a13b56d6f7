// The invariant checker passes on a sound set of output files and reports a
// balance that does not close and files that disagree with each other.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/TempDir.h"
#include "invariants_check.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

class InvariantCheckerTest : public ::testing::Test {
 protected:
  TempDir dir;
  void SetUp() override {
    const fs::path golden =
        fs::path(KIRMEL_TEST_DATA) / "kernel" / "golden" / "buffers" / "expected";
    if (!fs::is_directory(golden)) GTEST_SKIP() << "no expected files yet";
    for (const auto& e : fs::directory_iterator(golden))
      fs::copy_file(e.path(), dir.path() / e.path().filename());
  }
  // Replaces the first occurrence of `from` in a file.
  void edit(const std::string& name, const std::string& from, const std::string& to) {
    std::string text = readFile(dir.file(name));
    const std::size_t p = text.find(from);
    ASSERT_NE(p, std::string::npos) << from;
    text.replace(p, from.size(), to);
    std::ofstream(dir.file(name), std::ios::binary) << text;
  }
  // The failure messages of one check of the directory.
  std::string failures() {
    ::testing::TestPartResultArray results;
    {
      ::testing::ScopedFakeTestPartResultReporter reporter(
          ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
      inv::checkAll(dir.path());
    }
    std::string all;
    for (int n = 0; n < results.size(); ++n)
      all += results.GetTestPartResult(n).message() + std::string("\n");
    return all;
  }
};

TEST_F(InvariantCheckerTest, SoundFilesPass) { EXPECT_EQ(failures(), ""); }

TEST_F(InvariantCheckerTest, ReportsBalanceThatDoesNotClose) {
  // The remaining mass of the first water-layer line, changed in its third digit.
  std::string text = readFile(dir.file("wlmb.out"));
  const std::size_t line = text.find("   0.000 ");
  ASSERT_NE(line, std::string::npos);
  text[line + 8 + 12 + 12 + 4] = text[line + 8 + 12 + 12 + 4] == '9' ? '1' : '9';
  std::ofstream(dir.file("wlmb.out"), std::ios::binary) << text;
  EXPECT_NE(failures().find("balance does not close"), std::string::npos);
}

TEST_F(InvariantCheckerTest, ReportsExposureFileThatDisagreesWithConcentrations) {
  std::string text = readFile(dir.file("ec003.out"));
  const std::size_t line = text.find("\n   0.250 ");
  ASSERT_NE(line, std::string::npos);
  text[line + 1 + 8 + 3 + 3] = text[line + 1 + 8 + 3 + 3] == '9' ? '1' : '9';
  std::ofstream(dir.file("ec003.out"), std::ios::binary) << text;
  EXPECT_NE(failures().find("vs wlsoco.out"), std::string::npos);
}

TEST_F(InvariantCheckerTest, ReportsMissingTableAndLongLine) {
  std::string text = readFile(dir.file("ec007.out"));
  text = text.substr(0, text.find("\n\n") + 1);
  std::ofstream(dir.file("ec007.out"), std::ios::binary) << text;
  edit("dbdit.out", "     0\n", "      0\n");
  const std::string f = failures();
  EXPECT_NE(f.find("exposure table"), std::string::npos) << f;
  EXPECT_NE(f.find("dbdit.out"), std::string::npos) << f;
}

}  // namespace
}  // namespace kirmel::test
