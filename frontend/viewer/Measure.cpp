#include "frontend/viewer/Measure.h"

namespace kirmel::fe {

namespace {

// Reads records of five numbers into `items` and checks their groups.  The
// group of a record is its `key` field; its point is told by `samePoint`.
// Sets the counters to the complete, consistent groups read; false when the
// file cannot be opened or is refused.
template <class Record, class SamePoint>
bool ReadMeasured(std::vector<Record>& items, std::string& readError, int& numberOfPeriods,
                  int& pointsPerPeriod, const std::string& fileName, TReadContext& context,
                  double Record::*const (&fields)[5], SamePoint samePoint) {
  numberOfPeriods = 0;
  pointsPerPeriod = 0;
  detail::TFileRules rules;
  rules.LongestLine = kLongestMeasuredLine;
  rules.UserFile = true;
  detail::TFileScan scan(context, fileName, rules);
  if (!scan.Open()) return false;

  const auto key = fields[0];
  std::size_t groupStart = 0;  // index of the first record of the open group
  int groupSize = 0;           // size of the first group, once it has ended
  try {
    std::string_view token;
    while (scan.First(token)) {
      Record r;
      r.*fields[0] = scan.Real(token);
      for (int i = 1; i < 5; ++i) r.*fields[i] = scan.Real(scan.Next(false));

      if (!items.empty() && r.*key != items.back().*key) {
        const int size = static_cast<int>(items.size() - groupStart);
        if (groupSize == 0) groupSize = size;
        if (size != groupSize)
          scan.Fail("the group before this record has " + std::to_string(size) +
                                       " records where the first has " +
                                       std::to_string(groupSize));
        ++numberOfPeriods;
        groupStart = items.size();
      }
      const std::size_t k = items.size() - groupStart;  // 0-based point in the group
      if (groupSize != 0) {
        if (static_cast<int>(k) >= groupSize)
          scan.Fail("a group has more records than the first, which has " +
                    std::to_string(groupSize));
        if (!samePoint(r, items[k]))
          scan.Fail("point " + std::to_string(k + 1) +
                    " of this group differs from point " + std::to_string(k + 1) +
                    " of the first group");
      }
      items.push_back(r);
    }
    if (!items.empty()) {
      const int size = static_cast<int>(items.size() - groupStart);
      if (groupSize == 0) groupSize = size;
      if (size != groupSize)
        scan.Fail("the last group has " + std::to_string(size) + " records where the first has " +
                  std::to_string(groupSize));
      ++numberOfPeriods;
    }
  } catch (const detail::TReadFault& fault) {
    readError = scan.Refuse(fault);
  }
  pointsPerPeriod = numberOfPeriods > 0 ? groupSize : 0;
  return readError.empty();
}

}  // namespace

bool TWLMeasure::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TWBMeasure::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TWLMeasure::ReadFile(const std::string& fileName, TReadContext& context) {
  using R = TWLMeasureRecord;
  static double R::*const fields[5] = {&R::StartTime, &R::EndTime, &R::Distance,
                                       &R::Concentration, &R::StandardDeviation};
  ClearItems();
  return ReadMeasured(items_, readError_, numberOfPeriods_, pointsPerPeriod_, fileName, context,
                      fields, [](const R& a, const R& b) { return a.Distance == b.Distance; });
}

bool TWBMeasure::ReadFile(const std::string& fileName, TReadContext& context) {
  using R = TWBMeasureRecord;
  static double R::*const fields[5] = {&R::Time, &R::LayerTop, &R::LayerBottom, &R::Concentration,
                                       &R::StandardDeviation};
  ClearItems();
  return ReadMeasured(items_, readError_, numberOfPeriods_, pointsPerPeriod_, fileName, context,
                      fields, [](const R& a, const R& b) {
                        return a.LayerTop == b.LayerTop && a.LayerBottom == b.LayerBottom;
                      });
}

}  // namespace kirmel::fe
