// The list operations of the segment editors: the list and limits of each
// mode, the worked generations, and refusals that leave the list, its
// lengths and its total exactly as they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frontend/editor/SegmentLists.h"

namespace kirmel::fe {
namespace {

constexpr auto kWater = TSegmentEditorKind::WaterLayer;
constexpr auto kSediment = TSegmentEditorKind::Sediment;

std::vector<double> Lengths(const TSegmentList& list) {
  std::vector<double> out;
  for (int i = 1; i <= list.Count(); ++i) out.push_back(list.SegmentLength(i));
  return out;
}

// Everything a refused operation must leave as it was.
struct TSnapshot {
  std::vector<double> lengths;
  double total;
  std::vector<double> soil;  // sediment: bulk density, porosity, ... of every layer
  bool operator==(const TSnapshot&) const = default;
};

TSnapshot Snap(const TKirmelData& data, const TSegmentList& list) {
  TSnapshot s{Lengths(list), list.Total(), {}};
  for (int i = 1; i <= data.Sediment().NodeCount(); ++i) {
    const TSedimentNode& n = data.Sediment().Node(i);
    s.soil.insert(s.soil.end(), {n.BulkDensity(), n.Porosity(), n.Tortuosity(), n.OrganicMatter(),
                                 n.InitialConcentration()});
  }
  return s;
}

// The operation is refused with `message` and changes nothing.
void ExpectRefused(TKirmelData& data, TSegmentList& list, const std::string& message,
                   const std::function<void()>& operation) {
  const TSnapshot before = Snap(data, list);
  try {
    operation();
    ADD_FAILURE() << "not refused; expected: " << message;
  } catch (const EOutOfRange& e) {
    EXPECT_EQ(e.Message('.'), message);
  }
  EXPECT_TRUE(Snap(data, list) == before) << message;
}

// A water body of `count` segments of `length` m.
TSegmentList WaterBody(TKirmelData& data, int count, double length) {
  TSegmentList list(data, kWater, 2);
  list.ReplaceAll(std::vector<double>(static_cast<std::size_t>(count), length));
  list.SetTotal(count * length);
  return list;
}

TEST(SegmentLists, EachModeWorksOnItsOwnListWithItsLimits) {
  TKirmelData data;
  data.Ditch().SetFrontBufferLength(5);
  data.Ditch().SetEndBufferLength(7);
  data.Sediment().SetEndBufferLength(0.02);

  struct TCase {
    TSegmentEditorKind editor;
    int mode;
    TSegmentLimits limits;
    int defaultCount;
    double total;
  };
  const TCase cases[] = {
      {kWater, 1, {0, 0, 1000, 0, 25}, 0, 5},
      {kWater, 2, {5, 0.05, 10000, 1, 500}, 80, 320},
      {kWater, 3, {325, 0, 1000, 0, 25}, 0, 7},
      {kSediment, 3, {0.1, 0, 0.1, 0, 10}, 0, 0.02},
      {kSediment, 4, {0, 0.001, 0.5, 1, 50}, 14, 0.1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode);
    TSegmentList list(data, c.editor, c.mode);
    const TSegmentLimits l = list.Limits();
    EXPECT_EQ(l.Start, c.limits.Start);
    EXPECT_EQ(l.MinLength, c.limits.MinLength);
    EXPECT_EQ(l.MaxLength, c.limits.MaxLength);
    EXPECT_EQ(l.MinSegments, c.limits.MinSegments);
    EXPECT_EQ(l.MaxSegments, c.limits.MaxSegments);
    EXPECT_EQ(list.Count(), c.defaultCount);
    EXPECT_EQ(list.Total(), c.total);
    EXPECT_EQ(list.GenerationLimit(), c.editor == kWater ? 500 : 50);
  }

  // Generating in a buffer touches that buffer only.
  TSegmentList front(data, kWater, 1);
  front.Distribute(5, 2);
  TSegmentList end(data, kWater, 3);
  end.GenerateOfLength(7, 3);
  TSegmentList lower(data, kSediment, 3);
  lower.Distribute(0.02, 4);
  EXPECT_EQ(Lengths(front), (std::vector<double>{2.5, 2.5}));
  EXPECT_EQ(Lengths(end), (std::vector<double>{3, 3, 1}));
  EXPECT_EQ(data.Sediment().EndBufferNodeCount(), 4);
  EXPECT_EQ(data.Ditch().NodeCount(), 80);
  EXPECT_EQ(data.Sediment().NodeCount(), 14);
  end.ScaleBy(7, 2);
  EXPECT_EQ(Lengths(end), (std::vector<double>{6, 6, 2}));
  EXPECT_EQ(data.Ditch().EndBufferLength(), 14);
  EXPECT_EQ(data.Ditch().Length(), 320);
  // A buffer may be empty; more than 25 segments are refused.
  ExpectRefused(data, front, "Maximum number of segments reached", [&] { front.Distribute(5, 26); });

  EXPECT_THROW(TSegmentList(data, kWater, 4), std::invalid_argument);
  EXPECT_THROW(TSegmentList(data, kSediment, 2), std::invalid_argument);
  EXPECT_THROW(TSegmentList(data, kWater, 0), std::invalid_argument);
}

// The worked cases of the editors are driven through the windows
// (tests/frontend/gui/SegmentEditorsTest.cpp); these are the edges.
TEST(SegmentLists, SumsThatMeetTheTotalByAFewUlpsAndLayersFromOneMillimetre) {
  TKirmelData data;
  TSegmentList water(data, kWater, 2);
  // Sums of 0.05 miss 0.4 by a few ulps; that still makes 8 segments, not a
  // ninth of no length, and a cut after 6 of them removes the rest only.
  water.GenerateOfLength(0.4, 0.05);
  EXPECT_EQ(Lengths(water), std::vector<double>(8, 0.05));
  water.Truncate(0.3);
  EXPECT_EQ(Lengths(water), std::vector<double>(6, 0.05));
  water.Distribute(100, -3);
  EXPECT_EQ(Lengths(water), std::vector<double>{100});

  // One layer, or none asked for: one layer of the whole thickness; exactly
  // 1 mm each: no growth.
  EXPECT_EQ(QuadraticThicknesses(0.1, 1), std::vector<double>{0.1});
  EXPECT_EQ(QuadraticThicknesses(0.1, 0), std::vector<double>{0.1});
  EXPECT_EQ(QuadraticThicknesses(0.05, 50), std::vector<double>(50, 0.001));
}

TEST(SegmentLists, RefusalsChangeNothing) {
  TKirmelData data;
  TSegmentList water = WaterBody(data, 10, 10);
  // 10 m segments over 100.02 m would end in one of 0.02 m.
  ExpectRefused(data, water, "Length of segment must lie between 0.05 and 1000",
                [&] { water.GenerateOfLength(100.02, 10); });
  // A count far beyond the list; a length so small that the number of
  // segments overflows any integer; 500.4 rounds to 500 but needs 501.
  ExpectRefused(data, water, "Maximum number of segments reached",
                [&] { water.Distribute(100, 2000000000); });
  ExpectRefused(data, water, "Too many segments", [&] { water.GenerateOfLength(100, 1e-300); });
  ExpectRefused(data, water, "Maximum number of segments reached",
                [&] { water.GenerateOfLength(100, 100 / 500.4); });
  ExpectRefused(data, water,
                "Length must lie between 0.05 and 10000;\rMinimal scaling factor is 0.0005",
                [&] { water.ScaleBy(100, 0.0001); });
  // The total fits but a segment would not.
  TSegmentList big = WaterBody(data, 2, 400);
  ExpectRefused(data, big, "Length of segment must lie between 0.05 and 1000",
                [&] { big.ScaleBy(800, 3); });

  // Layers: one that the rounding of the mid-points leaves without
  // thickness; layers thinner than the setter allows.
  TSegmentList layers(data, kSediment, 4);
  ExpectRefused(data, layers, "16 segments starting with 1 mm do not fit in a thickness of 0.02 m",
                [&] { layers.GenerateQuadratic(0.02, 16); });
  ExpectRefused(data, layers, "Length of segment must lie between 0.0001 and 0.6",
                [&] { layers.Distribute(0.001, 11); });
}

}  // namespace
}  // namespace kirmel::fe
