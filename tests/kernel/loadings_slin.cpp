// slin: reading the loadings file, the stretches of water-layer nodes, the
// checks of every route and the input echo.
#include "init_fixture.h"
#include "kernel/Echo.h"

namespace kirmel::test {
namespace {

struct Slin : KernelFixture {
  // The default water body: 80 segments of 4 m; 3600 s steps.
  void SetUp() override {
    std::vector<float> len(80, 4.0f);
    setWaterLayer({}, len, {});
    s.deltwl = 3600.0f;
    openMessages();
  }
  void run(const std::string& body) {
    s.slinp = dir.write("SL.INP", "* loadings\r\n" + body);
    // The data-file library writes its cache files into the working
    // directory: keep them in this test's scratch directory, apart from
    // tests running at the same time.
    ScopedCwd cwd{dir.path()};
    k.slin();
  }
  static std::string switches(int us, int ud, int ur, int md, int mr) {
    return "  op_slus = " + std::to_string(us) + "\r\n  op_slud = " + std::to_string(ud) +
           "\r\n  op_slur = " + std::to_string(ur) + "\r\n  op_slmd = " + std::to_string(md) +
           "\r\n  op_slmr = " + std::to_string(mr) + "\r\n";
  }
};

TEST_F(Slin, DefaultStretchHitsNodesSixToEighty) {
  run(switches(1, 0, 0, 0, 0) +
      "  ntslus = 1\r\n  tslus  mslus  stxslus  enxslus\r\n  0.15  0.001  20.  320.\r\n");
  EXPECT_EQ(s.ntslus, 1);
  EXPECT_EQ(s.snslus[1], 6);
  EXPECT_EQ(s.enslus[1], 80);
  EXPECT_EQ(s.stslus[1], 14400.0f);
  EXPECT_EQ(s.etslus[1], 14400.0f);
  EXPECT_EQ(s.nerr, 0);
  EXPECT_EQ(s.nwarn, 1);  // the time only: both distances lie on segment ends
}

TEST_F(Slin, StretchesThatStartOrEndOnAMidpoint) {
  // Midpoints lie at 2, 6, ..., 318 m.  A start on a midpoint belongs to the
  // next node; an end on the last midpoint reaches the last node.
  run(switches(1, 0, 0, 0, 0) +
      "  ntslus = 1\r\n  tslus  mslus  stxslus  enxslus\r\n  1.  0.001  6.  318.\r\n");
  EXPECT_EQ(s.snslus[1], 3);
  EXPECT_EQ(s.enslus[1], 80);
}

TEST_F(Slin, ModelDrainageStartingWithinTheFirstMetre) {
  // Segments of 0.2 m up to 2 m, then of 4 m: a start at 0.6 m lies on a
  // segment end (so it is not moved) between the midpoints 0.5 and 0.7 m,
  // and the model rule takes the node before: node 3.
  std::vector<float> len(10, 0.2f);
  len.insert(len.end(), 79, 4.0f);
  setWaterLayer({}, len, {});
  const std::string mpath = dir.write("macro.out", "heading\r\n  1" + std::string(60, ' ') + "    1.00\r\n");
  run(switches(0, 0, 0, 1, 0) + "  op1_slmd = 2\r\n  fnslmdinp = '" + mpath +
      "'\r\n  sttmd = 0.\r\n  stxslmd = 0.6\r\n  enxslmd = 100.\r\n  op2_slmd = 0\r\n");
  ASSERT_EQ(s.ntslmd, 1);
  EXPECT_EQ(s.stxslmd, 0.6f);
  EXPECT_EQ(s.snslmd[1], 3);
}

TEST_F(Slin, StretchesBeyondTheMidpointsAreEmptyAndBuffersAreSkipped) {
  setWaterLayer({5.0f, 5.0f}, std::vector<float>(80, 4.0f), {5.0f});
  run(switches(1, 0, 0, 0, 0) +
      "  ntslus = 3\r\n  tslus  mslus  stxslus  enxslus\r\n"
      "  1.  0.001  0.  1.\r\n"        // ends before the first midpoint
      "  2.  0.001  319.  320.\r\n"    // starts beyond the last midpoint
      "  3.  0.001  0.  10000.\r\n");  // the whole water body
  EXPECT_GT(s.snslus[1], s.enslus[1]);
  EXPECT_GT(s.snslus[2], s.enslus[2]);
  EXPECT_EQ(s.snslus[3], 3);
  EXPECT_EQ(s.enslus[3], 82);
  EXPECT_EQ(s.nerr, 0);
}

TEST_F(Slin, ConcurrentAndUnorderedDriftsAreCountedErrors) {
  run(switches(1, 0, 0, 0, 0) +
      "  ntslus = 3\r\n  tslus  mslus  stxslus  enxslus\r\n"
      "  1.0  0.001  20.  320.\r\n"
      "  1.01 0.001  20.  320.\r\n"  // snaps onto 1.0 d: concurs with no 1
      "  0.5  0.001  20.  320.\r\n");
  EXPECT_EQ(s.nerr, 2);
  std::string msg = messages();
  EXPECT_NE(msg.find("\n\n Error in input " + pad100(s.slinp) + ",\n loading from spray drift no   2 and no   1 concur\n"),
            std::string::npos)
      << msg;
  EXPECT_NE(msg.find("\n\n Error in input " + pad100(s.slinp) +
                     ",\n loadings from spray drift not entered in chronological order, please change order\n"),
            std::string::npos)
      << msg;
}

TEST_F(Slin, CountThatDiffersFromTheArraysIsAnError) {
  run(switches(1, 1, 0, 0, 0) +
      "  ntslus = 2\r\n  tslus  mslus  stxslus  enxslus\r\n  1.  0.001  20.  320.\r\n"
      "  ntslud = 1\r\n  sttslud entslud mslud stxslud enxslud\r\n  1. 2. 5. 0. 320.\r\n  3. 4. 5. 0. 320.\r\n");
  // The missing second drift reads as time 0: it is also out of order.
  EXPECT_EQ(s.nerr, 3);
  std::string msg = messages();
  EXPECT_NE(msg.find(" actual length array tslus, mslus, stxslus or enxslus \n"
                     "is not equal to declared length, please correct data\n"),
            std::string::npos)
      << msg;
  EXPECT_NE(msg.find(" actual length array sttslud, entslud, mslud, stxslud\n"
                     " or enxslud is not equal to declared length, please correct data\n"),
            std::string::npos)
      << msg;
}

TEST_F(Slin, SubstancePresentAndDriftAtStartWarns) {
  s.castwl[3] = 0.1f;
  run(switches(1, 0, 0, 0, 0) + "  ntslus = 1\r\n  tslus  mslus  stxslus  enxslus\r\n  0.  0.001  20.  320.\r\n");
  EXPECT_EQ(s.nwarn, 1);
  EXPECT_NE(messages().find(" substance present in water layer and loading of\n"
                            " substance taking place simultaneously at start of simulation\n"),
            std::string::npos);
}

TEST_F(Slin, UserRoutesAndModelDrainage) {
  std::string macro = "heading\r\n";
  macro += "  1" + std::string(60, ' ') + "   12345\r\n";
  macro += "  2" + std::string(60, ' ') + "    1.00\r\n";
  std::string mpath = dir.write("macro.out", macro);
  run(switches(0, 1, 1, 1, 1) +
      "  ntslud = 1\r\n  sttslud entslud mslud stxslud enxslud\r\n  1. 2. 5. 21. 320.\r\n"
      "  ntslur = 1\r\n  sttslur entslur mslur stxslur enxslur\r\n  2. 2.5 3. 0. 40.\r\n"
      "  op1_slmd = 2\r\n  fnslmdinp = '" + mpath + "'\r\n  sttmd = 10.\r\n"
      "  stxslmd = 22.\r\n  enxslmd = 100.\r\n  op2_slmd = 0\r\n"
      "  op1_slmr = 1\r\n  fnslmrinp = 'none'\r\n  sttmr = 0.\r\n  stxslmr = 0.\r\n  enxslmr = 320.\r\n");
  EXPECT_EQ(s.nerr, 0);
  EXPECT_EQ(s.stslud[1], 86400.0f);
  EXPECT_EQ(s.etslud[1], 172800.0f);
  EXPECT_EQ(s.snslud[1], 6);  // 21 m lies past the midpoint of node 5 (18 m)
  EXPECT_EQ(s.enslud[1], 80);
  EXPECT_EQ(s.snslur[1], 1);
  EXPECT_EQ(s.enslur[1], 10);  // 40 m: the last midpoint not above it is 38 m
  ASSERT_EQ(s.ntslmd, 2);
  EXPECT_FLOAT_EQ(s.lrslmd[1], 123450.0f);
  EXPECT_EQ(s.stslmd[1], 11.0f * 86400.0f);
  EXPECT_EQ(s.etslmd[2], 13.0f * 86400.0f);
  // The model rule takes the node before a start between two midpoints:
  // 22 m snaps to 24 m, which lies between the midpoints 22 and 26 m.
  EXPECT_EQ(s.stxslmd, 24.0f);
  EXPECT_EQ(s.snslmd[1], 6);
  EXPECT_EQ(s.enslmd[2], 25);
  EXPECT_EQ(s.ntslmr, 0);
  EXPECT_EQ(s.nwarn, 2);  // the start distances of drainage and model drainage
}

TEST_F(Slin, EchoToInputOut) {
  s.op_input = 1;
  openUnit(22, "input.out");
  run(switches(1, 1, 0, 0, 0) +
      "  ntslus = 2\r\n  tslus  mslus  stxslus  enxslus\r\n  0.5  0.001  20.  320.\r\n  1.5 0.002 0. 40.\r\n"
      "  ntslud = 1\r\n  sttslud entslud mslud stxslud enxslud\r\n  1. 2. 5. 0. 320.\r\n");
  EXPECT_FALSE(env.units().isOpen(22));  // slin closes the echo file
  std::string got = readFile(dir.file("input.out"));
  std::string expect = readFile(std::string(KIRMEL_TEST_DATA) + "/kernel/loadings/slin_echo.out");
  std::string path = pad100(s.slinp);
  auto at = expect.find("@SLINP@");
  ASSERT_NE(at, std::string::npos);
  expect.replace(at, 7, path);
  EXPECT_EQ(got, expect);
}

}  // namespace
}  // namespace kirmel::test
