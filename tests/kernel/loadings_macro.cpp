// Reading the drainage model's output file.
#include <cstdio>
#include <filesystem>

#include "init_fixture.h"

namespace kirmel::test {
namespace {

// One record: columns 3-5 the day, columns 66-73 the loss rate field.
std::string record(const std::string& day3, const std::string& rate8) {
  return "  " + day3 + std::string(60, 'x') + rate8;
}

struct Macro : KernelFixture {
  void SetUp() override { openMessages(); }
  void read(const std::string& text) {
    s.fnslmdinp = dir.write("macro.out", text);
    k.slmdin();
  }
};

TEST_F(Macro, FixedColumnsWithImpliedDecimals) {
  std::string text = "heading that is skipped 999\r\n";
  text += record("  1", "   12345") + "\r\n";
  text += record(" 12", " 1.5E-02") + "\n";
  text += record("3  ", "  2.5-03") + "\r";
  text += record("  4", "        ") + "   trailing text ignored\n";
  text += "  5\n";  // a short record: the missing columns are blank
  read(text);
  ASSERT_EQ(s.ntslmd, 5);
  EXPECT_EQ(s.dayslmd[1], 1);
  EXPECT_FLOAT_EQ(s.lrslmd[1], 123.45f * 1000.0f);
  EXPECT_EQ(s.dayslmd[2], 12);
  EXPECT_FLOAT_EQ(s.lrslmd[2], 15.0f);
  EXPECT_EQ(s.dayslmd[3], 3);
  EXPECT_FLOAT_EQ(s.lrslmd[3], 2.5f);
  EXPECT_EQ(s.dayslmd[4], 4);
  EXPECT_EQ(s.lrslmd[4], 0.0f);
  EXPECT_EQ(s.dayslmd[5], 5);
  EXPECT_FALSE(env.units().isOpen(19));
}

TEST_F(Macro, AtMostOneThousandRecordsAreUsed) {
  std::string text = "heading\n";
  for (int n = 1; n <= 1200; ++n) {
    char day[8];
    std::snprintf(day, sizeof day, "%3d", n % 1000);
    text += record(day, "     100") + "\n";
  }
  read(text);
  EXPECT_EQ(s.ntslmd, 1000);
  EXPECT_EQ(s.dayslmd[999], 999);
  EXPECT_EQ(s.dayslmd[1000], 0);
  EXPECT_FLOAT_EQ(s.lrslmd[1000], 1000.0f);
}

TEST_F(Macro, MalformedRecordStopsNamingFileAndRecord) {
  std::string text = "heading\n" + record("  1", "    1.00") + "\n" + record("  2", "   1.0x0") + "\n";
  EXPECT_NE(stopStatus([&] { read(text); }), 0);
  std::string msg = readFile(dir.file("message.out"));
  EXPECT_NE(msg.find(" Error in slin: record     3 of drainage model file " + dir.file("macro.out")), std::string::npos)
      << msg;
  EXPECT_NE(msg.find("columns 66-73"), std::string::npos) << msg;

  text = "heading\n" + record(" a1", "    1.00") + "\n";
  EXPECT_NE(stopStatus([&] { read(text); }), 0);
  EXPECT_NE(out.str().find("day number in columns 3-5"), std::string::npos) << out.str();
}

TEST_F(Macro, RecordWithoutEndStopsNamingFileAndRecord) {
  // Nothing is read after it; /dev/zero, which never ends a line, ends the
  // same way instead of filling memory.
  std::string text = "heading\n" + record("  1", "    1.00") + "\n" + std::string(70000, ' ');
  EXPECT_NE(stopStatus([&] { read(text); }), 0);
  EXPECT_NE(out.str().find(" Error in slin: record     3 of drainage model file " + dir.file("macro.out") +
                           "\n has no line end within 65536 characters\n"),
            std::string::npos)
      << out.str();
  if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
  s.fnslmdinp = "/dev/zero";
  EXPECT_NE(stopStatus([&] { k.slmdin(); }), 0);
  EXPECT_NE(out.str().find(" Error in slin: record     1 of drainage model file /dev/zero\n"), std::string::npos)
      << out.str();
}

TEST_F(Macro, MissingFileStops) {
  s.fnslmdinp = dir.file("nothing.out");
  EXPECT_NE(stopStatus([&] { k.slmdin(); }), 0);
  EXPECT_NE(out.str().find("cannot open drainage model file " + dir.file("nothing.out")), std::string::npos);
}

}  // namespace
}  // namespace kirmel::test
