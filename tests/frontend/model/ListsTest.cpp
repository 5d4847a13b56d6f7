// Segment lists of the water body and the sediment (capacity, order, index
// errors, scaling, coordinates) and the drift-entry list.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "frontend/model/Ditch.h"
#include "frontend/model/Sediment.h"
#include "frontend/model/Solids.h"

namespace kirmel::fe {
namespace {

std::unique_ptr<TDitchNode> Segment(double length) {
  return std::make_unique<TDitchNode>(false, length, 0);
}

std::unique_ptr<TSedimentNode> Layer(double thickness) {
  return std::make_unique<TSedimentNode>(thickness, 0, 400, 0.8, 0.8, 0.08);
}

void ExpectIndexError(const std::function<void()>& f) {
  try {
    f();
    ADD_FAILURE() << "no error";
  } catch (const EIndexOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Index out of range");
  }
}

TEST(DitchSegments, DefaultWaterBodyAndCoordinates) {
  TDitch d;
  ASSERT_EQ(d.NodeCount(), 80);
  EXPECT_EQ(d.TotalNodeCount(), 80);
  EXPECT_EQ(d.OutputNodeCount(), 2);
  EXPECT_TRUE(d.Node(1).Output());
  EXPECT_TRUE(d.Node(80).Output());
  for (int i = 2; i < 80; ++i) EXPECT_FALSE(d.Node(i).Output()) << i;
  d.ComputeCoordinates();
  for (int i = 1; i <= 80; ++i) {
    EXPECT_EQ(d.Node(i).Length(), 4);
    EXPECT_EQ(d.Node(i).StartX(), 4.0 * (i - 1));
    EXPECT_EQ(d.Node(i).EndX(), 4.0 * i);
  }
  // Each buffer counts from 0 on its own.
  d.AddFrontBufferNode(Segment(2));
  d.AddEndBufferNode(Segment(3));
  d.AddEndBufferNode(Segment(5));
  d.ComputeCoordinates();
  EXPECT_EQ(d.TotalNodeCount(), 83);
  EXPECT_EQ(d.FrontBufferNode(1).StartX(), 0);
  EXPECT_EQ(d.EndBufferNode(2).StartX(), 3);
  EXPECT_EQ(d.EndBufferNode(2).EndX(), 8);
  EXPECT_EQ(d.Node(1).StartX(), 0);
}

TEST(DitchSegments, IndexCapacityAndRemoval) {
  TDitch d;
  ExpectIndexError([&] { d.Node(0); });
  ExpectIndexError([&] { d.Node(81); });
  ExpectIndexError([&] { d.FrontBufferNode(1); });
  ExpectIndexError([&] { d.EndBufferNode(-1); });

  TDitchNode* second = &d.Node(2);
  d.RemoveNode(&d.Node(1));
  EXPECT_EQ(d.NodeCount(), 79);
  EXPECT_EQ(&d.Node(1), second);
  TDitchNode stranger(false, 1, 0);
  d.RemoveNode(&stranger);  // not in the list: ignored
  d.RemoveNode(nullptr);
  EXPECT_EQ(d.NodeCount(), 79);

  while (d.CanAddNode()) d.AddNode(Segment(1));
  EXPECT_EQ(d.NodeCount(), 500);
  EXPECT_THROW(d.AddNode(Segment(1)), EOutOfRange);
  EXPECT_EQ(d.NodeCount(), 500);
  EXPECT_EQ(d.Node(500).Length(), 1);
  ExpectIndexError([&] { d.Node(501); });

  for (int i = 0; i < 25; ++i) d.AddFrontBufferNode(Segment(1));
  EXPECT_FALSE(d.CanAddFrontBufferNode());
  EXPECT_THROW(d.AddFrontBufferNode(Segment(1)), EOutOfRange);
  EXPECT_EQ(d.FrontBufferNodeCount(), 25);

  d.ClearNodes();
  d.ClearFrontBufferNodes();
  EXPECT_EQ(d.NodeCount(), 0);
  EXPECT_EQ(d.TotalNodeCount(), 0);
  EXPECT_EQ(d.OutputNodeCount(), 0);
  ExpectIndexError([&] { d.Node(1); });
}

TEST(DitchSegments, NodeConstructorChecksItsValues) {
  EXPECT_THROW(TDitchNode(false, 0.04, 0), EOutOfRange);
  EXPECT_THROW(TDitchNode(false, 1, -1), EOutOfRange);
  EXPECT_THROW(TSedimentNode(0.7, 0, 400, 0.8, 0.8, 0.08), EOutOfRange);
  EXPECT_THROW(TSedimentNode(0.01, 0, 5, 0.8, 0.8, 0.08), EOutOfRange);
  EXPECT_THROW(TSedimentNode(0.01, 0, 400, 0.8, 0.8, 1.5), EOutOfRange);
}

TEST(DitchScaling, AllOrNothing) {
  TDitch d;
  d.ScaleNodes(2);
  EXPECT_EQ(d.Length(), 640);
  for (int i = 1; i <= 80; ++i) EXPECT_EQ(d.Node(i).Length(), 8);

  // 640 x 300 is beyond the water body's range: nothing changes.
  try {
    d.ScaleNodes(300);
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Length of waterbody must be between 0.05 and 10000");
  }
  EXPECT_EQ(d.Length(), 640);
  for (int i = 1; i <= 80; ++i) EXPECT_EQ(d.Node(i).Length(), 8);

  // A total in range with one segment out of range: nothing changes either.
  d.SetLength(100);
  d.ClearNodes();
  d.AddNode(Segment(1));
  d.AddNode(Segment(99));
  try {
    d.ScaleNodes(11);  // 1100 m total is fine, 99 x 11 = 1089 m is not
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Length of segment must lie between 0.05 and 1000");
  }
  EXPECT_EQ(d.Length(), 100);
  EXPECT_EQ(d.Node(1).Length(), 1);
  EXPECT_EQ(d.Node(2).Length(), 99);

  // A factor that is not positive does nothing.
  for (double f : {0.0, -1.0, std::nan("")}) d.ScaleNodes(f);
  EXPECT_EQ(d.Length(), 100);

  d.SetFrontBufferLength(10);
  d.AddFrontBufferNode(Segment(10));
  d.ScaleFrontBufferNodes(0.5);
  EXPECT_EQ(d.FrontBufferLength(), 5);
  EXPECT_EQ(d.FrontBufferNode(1).Length(), 5);
  EXPECT_THROW(d.ScaleEndBufferNodes(std::numeric_limits<double>::infinity()), EOutOfRange);
  d.ScaleEndBufferNodes(3);  // empty buffer of length 0
  EXPECT_EQ(d.EndBufferLength(), 0);
}

TEST(SedimentLayers, DefaultDepthsCapacityAndScaling) {
  TSediment s;
  s.ComputeCoordinates();
  EXPECT_EQ(s.Node(1).TopDepth(), 0);
  EXPECT_EQ(s.Node(1).BottomDepth(), 0.001);
  EXPECT_NEAR(s.Node(14).TopDepth(), 0.08, 1e-15);
  EXPECT_NEAR(s.Node(14).BottomDepth(), 0.1, 1e-15);
  for (int i = 2; i <= 14; ++i) EXPECT_EQ(s.Node(i).TopDepth(), s.Node(i - 1).BottomDepth());
  ExpectIndexError([&] { s.Node(15); });

  EXPECT_TRUE(s.CanAddNode());
  while (s.CanAddNode()) s.AddNode(Layer(0.001));
  EXPECT_EQ(s.NodeCount(), 50);
  EXPECT_THROW(s.AddNode(Layer(0.001)), EOutOfRange);
  for (int i = 0; i < 10; ++i) s.AddEndBufferNode(Layer(0.01));
  EXPECT_FALSE(s.CanAddEndBufferNode());
  s.ComputeCoordinates();
  EXPECT_EQ(s.EndBufferNode(1).TopDepth(), 0);
  EXPECT_NEAR(s.EndBufferNode(10).BottomDepth(), 0.1, 1e-15);

  TSediment t;
  t.ScaleNodes(2);
  EXPECT_EQ(t.SedimentLength(), 0.2);
  EXPECT_EQ(t.Node(14).Length(), 0.04);
  try {
    t.ScaleNodes(5);  // 1 m of sediment
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Sediment length must lie between 0.001 and 0.5");
  }
  EXPECT_EQ(t.SedimentLength(), 0.2);
  EXPECT_EQ(t.Node(14).Length(), 0.04);
  t.SetEndBufferLength(0.05);
  t.AddEndBufferNode(Layer(0.05));
  EXPECT_THROW(t.ScaleEndBufferNodes(3), EOutOfRange);
  EXPECT_EQ(t.EndBufferLength(), 0.05);
  t.ScaleEndBufferNodes(2);
  EXPECT_EQ(t.EndBufferNode(1).Length(), 0.1);
}

TEST(DriftList, NeverEmptyAtMost500AndIndexChecked) {
  TDrift drift;
  TDriftLoadings& list = drift.Loadings();
  ASSERT_EQ(list.Count(), 1);
  list.Entry(0).SetEntryTime(3);
  list.Entry(0).SetEndPos(320);

  list.InsertCopy(1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_NE(&list.Entry(0), &list.Entry(1));
  EXPECT_EQ(list.Entry(1).EntryTime(), 3);
  EXPECT_EQ(list.Entry(1).Mass(), 0.001);
  EXPECT_EQ(list.Entry(1).StartPos(), 20);
  EXPECT_EQ(list.Entry(1).EndPos(), 320);

  // A copy goes directly after the entry it copies.
  list.Entry(1).SetEntryTime(7);
  list.InsertCopy(1);
  EXPECT_EQ(list.Entry(0).EntryTime(), 3);
  EXPECT_EQ(list.Entry(1).EntryTime(), 3);
  EXPECT_EQ(list.Entry(2).EntryTime(), 7);

  for (int bad : {0, -1, 4}) ExpectIndexError([&] { list.InsertCopy(bad); });
  for (int bad : {-1, 3}) ExpectIndexError([&] { list.DeleteEntry(bad); });
  ExpectIndexError([&] { list.Entry(3); });
  EXPECT_EQ(list.Count(), 3);

  list.DeleteEntry(0);
  list.DeleteEntry(0);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Entry(0).EntryTime(), 7);
  list.DeleteEntry(0);  // the last entry stays
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Entry(0).EntryTime(), 7);

  while (list.Count() < 500) list.InsertCopy(list.Count());
  try {
    list.InsertCopy(1);
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Number of loadings must lie between 0 and 499");
  }
  EXPECT_THROW(list.Add(std::make_unique<TDriftEntry>()), EOutOfRange);
  EXPECT_EQ(list.Count(), 500);

  // A reader clears and appends its rows.
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  ExpectIndexError([&] { list.DeleteEntry(0); });
  list.Add(std::make_unique<TDriftEntry>());
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Entry(0).EndPos(), 0);
  EXPECT_TRUE(drift.Enabled());
  drift.SetEnabled(false);
  EXPECT_FALSE(drift.Enabled());
}

}  // namespace
}  // namespace kirmel::fe
