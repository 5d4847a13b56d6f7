#include "frontend/editor/SegmentLists.h"

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

const char* const kMaximumReached = "Maximum number of segments reached";

std::unique_ptr<TDitchNode> NewWaterSegment(double length) {
  return std::make_unique<TDitchNode>(false, length, 0);
}

std::unique_ptr<TSedimentNode> NewLayer(double length) {
  return std::make_unique<TSedimentNode>(length, 0, 400, 0.8, 0.8, 0.08);
}

// Rounds a number of tenths of a millimetre to a whole number, halves to the
// even neighbour.  The value is first taken to six decimals, so that a half
// that the arithmetic in binary misses by a few ulps still counts as a half.
long RoundTenths(double tenths) {
  return RoundHalfEven(std::round(tenths * 1e6) / 1e6);
}

}  // namespace

TSegmentList::TSegmentList(TKirmelData& data, TSegmentEditorKind editor, int mode)
    : data_(data), editor_(editor), mode_(mode) {
  const bool valid = editor == TSegmentEditorKind::WaterLayer ? (mode >= 1 && mode <= 3)
                                                              : (mode == 3 || mode == 4);
  if (!valid) throw std::invalid_argument("TSegmentList: no list for mode " + std::to_string(mode));
}

TSegmentLimits TSegmentList::Limits() const {
  const TDitch& ditch = data_.Ditch();
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    switch (mode_) {
      case 1:
        return {0, 0, 1000, 0, TDitch::kMaxBufferNodes};
      case 2:
        return {ditch.FrontBufferLength(), 0.05, 10000, 1, TDitch::kMaxNodes};
      default:
        return {ditch.FrontBufferLength() + ditch.Length(), 0, 1000, 0, TDitch::kMaxBufferNodes};
    }
  }
  if (mode_ == 3) return {data_.Sediment().SedimentLength(), 0, 0.1, 0, TSediment::kMaxEndBufferNodes};
  return {0, 0.001, 0.5, 1, TSediment::kMaxNodes};
}

int TSegmentList::Count() const {
  const TDitch& ditch = data_.Ditch();
  const TSediment& sediment = data_.Sediment();
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    if (mode_ == 1) return ditch.FrontBufferNodeCount();
    if (mode_ == 2) return ditch.NodeCount();
    return ditch.EndBufferNodeCount();
  }
  return mode_ == 3 ? sediment.EndBufferNodeCount() : sediment.NodeCount();
}

double TSegmentList::SegmentLength(int index) const {
  const TDitch& ditch = data_.Ditch();
  const TSediment& sediment = data_.Sediment();
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    if (mode_ == 1) return ditch.FrontBufferNode(index).Length();
    if (mode_ == 2) return ditch.Node(index).Length();
    return ditch.EndBufferNode(index).Length();
  }
  return mode_ == 3 ? sediment.EndBufferNode(index).Length() : sediment.Node(index).Length();
}

double TSegmentList::SumOfLengths() const {
  double sum = 0;
  for (int i = 1; i <= Count(); ++i) sum += SegmentLength(i);
  return sum;
}

double TSegmentList::Total() const {
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    const TDitch& ditch = data_.Ditch();
    if (mode_ == 1) return ditch.FrontBufferLength();
    if (mode_ == 2) return ditch.Length();
    return ditch.EndBufferLength();
  }
  const TSediment& sediment = data_.Sediment();
  return mode_ == 3 ? sediment.EndBufferLength() : sediment.SedimentLength();
}

void TSegmentList::SetTotal(double value) {
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    TDitch& ditch = data_.Ditch();
    if (mode_ == 1)
      ditch.SetFrontBufferLength(value);
    else if (mode_ == 2)
      ditch.SetLength(value);
    else
      ditch.SetEndBufferLength(value);
    return;
  }
  TSediment& sediment = data_.Sediment();
  if (mode_ == 3)
    sediment.SetEndBufferLength(value);
  else
    sediment.SetSedimentLength(value);
}

void TSegmentList::ComputeCoordinates() {
  if (editor_ == TSegmentEditorKind::WaterLayer)
    data_.Ditch().ComputeCoordinates();
  else
    data_.Sediment().ComputeCoordinates();
}

void TSegmentList::CheckSegmentLength(double length) const {
  if (editor_ == TSegmentEditorKind::WaterLayer)
    TDitchNode::CheckLength(length);
  else
    TSedimentNode::CheckLength(length);
}

void TSegmentList::Remove(int index) {
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    TDitch& ditch = data_.Ditch();
    if (mode_ == 1)
      ditch.RemoveFrontBufferNode(&ditch.FrontBufferNode(index));
    else if (mode_ == 2)
      ditch.RemoveNode(&ditch.Node(index));
    else
      ditch.RemoveEndBufferNode(&ditch.EndBufferNode(index));
    return;
  }
  TSediment& sediment = data_.Sediment();
  if (mode_ == 3)
    sediment.RemoveEndBufferNode(&sediment.EndBufferNode(index));
  else
    sediment.RemoveNode(&sediment.Node(index));
}

void TSegmentList::ReplaceAll(const std::vector<double>& lengths) {
  if (lengths.size() > static_cast<std::size_t>(Limits().MaxSegments))
    throw EOutOfRange(std::string(kMaximumReached));
  for (double length : lengths) CheckSegmentLength(length);

  if (editor_ == TSegmentEditorKind::WaterLayer) {
    TDitch& ditch = data_.Ditch();
    if (mode_ == 1) {
      ditch.ClearFrontBufferNodes();
      for (double length : lengths) ditch.AddFrontBufferNode(NewWaterSegment(length));
    } else if (mode_ == 2) {
      ditch.ClearNodes();
      for (double length : lengths) ditch.AddNode(NewWaterSegment(length));
    } else {
      ditch.ClearEndBufferNodes();
      for (double length : lengths) ditch.AddEndBufferNode(NewWaterSegment(length));
    }
    return;
  }
  TSediment& sediment = data_.Sediment();
  if (mode_ == 3) {
    sediment.ClearEndBufferNodes();
    for (double length : lengths) sediment.AddEndBufferNode(NewLayer(length));
  } else {
    sediment.ClearNodes();
    for (double length : lengths) sediment.AddNode(NewLayer(length));
  }
}

void TSegmentList::ClearToOne(double total) { ReplaceAll({total}); }

void TSegmentList::Distribute(double total, int count) {
  count = std::max(count, 1);
  // Checked before the list of lengths is built: the count is the user's.
  if (count > Limits().MaxSegments) throw EOutOfRange(std::string(kMaximumReached));
  ReplaceAll(std::vector<double>(static_cast<std::size_t>(count), total / count));
}

void TSegmentList::GenerateOfLength(double total, double length) {
  if (!(length > 0)) return;
  // Compared before rounding, so that no quotient can overflow the rounding.
  const double segments = total / length;
  if (!(segments < 1e9) || RoundHalfEven(segments) > GenerationLimit())
    throw EOutOfRange(std::string("Too many segments"));
  // The sum counts as reaching the total within the tolerance: sums such as
  // 0.05 + 0.05 + ... miss a total they meet exactly by a few ulps, which
  // would otherwise call for one more segment of almost no length.
  std::vector<double> lengths;
  double sum = 0;
  while (sum < total - kSegmentTolerance) {
    if (lengths.size() >= static_cast<std::size_t>(Limits().MaxSegments))
      throw EOutOfRange(std::string(kMaximumReached));
    lengths.push_back(length);
    sum += length;
  }
  if (sum - total > kSegmentTolerance) lengths.back() = length - (sum - total);
  ReplaceAll(lengths);
}

void TSegmentList::GenerateQuadratic(double total, int count) {
  if (count > Limits().MaxSegments) throw EOutOfRange(std::string(kMaximumReached));
  ReplaceAll(QuadraticThicknesses(total, count));
}

void TSegmentList::Truncate(double total) {
  // The segment in which the total ends (a total within the tolerance of a
  // segment's end ends in that segment).
  int last = 0;
  double sum = 0;
  while (last < Count() && sum < total - kSegmentTolerance) sum += SegmentLength(++last);
  if (last == 0 || sum < total - kSegmentTolerance) return;  // nothing lies beyond the total
  double lastLength = SegmentLength(last);
  if (sum > total) {
    lastLength -= sum - total;
    CheckSegmentLength(lastLength);
  }
  while (Count() > last) Remove(Count());
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    TDitch& ditch = data_.Ditch();
    TDitchNode& node = mode_ == 1   ? ditch.FrontBufferNode(last)
                       : mode_ == 2 ? ditch.Node(last)
                                    : ditch.EndBufferNode(last);
    node.SetLength(lastLength);
  } else {
    TSediment& sediment = data_.Sediment();
    (mode_ == 3 ? sediment.EndBufferNode(last) : sediment.Node(last)).SetLength(lastLength);
  }
}

void TSegmentList::ScaleBy(double total, double factor) {
  if (!(factor > 0)) return;
  const TSegmentLimits limits = Limits();
  const double scaled = total * factor;
  if (scaled > limits.MaxLength)
    throw EOutOfRange("Length must lie between %g and %g;\rMaximal scaling factor is %.3g",
                      {limits.MinLength, limits.MaxLength, limits.MaxLength / total});
  if (scaled < limits.MinLength)
    throw EOutOfRange("Length must lie between %g and %g;\rMinimal scaling factor is %.3g",
                      {limits.MinLength, limits.MaxLength, limits.MinLength / total});
  // The model checks the new total and every new length before it changes any.
  if (editor_ == TSegmentEditorKind::WaterLayer) {
    TDitch& ditch = data_.Ditch();
    if (mode_ == 1)
      ditch.ScaleFrontBufferNodes(factor);
    else if (mode_ == 2)
      ditch.ScaleNodes(factor);
    else
      ditch.ScaleEndBufferNodes(factor);
  } else if (mode_ == 3) {
    data_.Sediment().ScaleEndBufferNodes(factor);
  } else {
    data_.Sediment().ScaleNodes(factor);
  }
}

std::vector<double> QuadraticThicknesses(double total, int count) {
  if (count < 2) return {total};
  const double n = count;
  // Growth per layer in mm; layers of 1 mm each fill total / 1 mm of them.
  double growth = 2 * (1000 * total - n) / (n * (n - 1));
  const auto refuse = [&] {
    return EOutOfRange("%d segments starting with 1 mm do not fit in a thickness of %g m",
                       {count, total});
  };
  if (growth < -1e-9) throw refuse();
  growth = std::max(growth, 0.0);
  // Tenths of a millimetre, so that the rounded mid-points and the
  // thicknesses made from them are exact.
  std::vector<double> lengths{0.001};
  long made = 10;
  for (int i = 2; i <= count; ++i) {
    const double mid = (i - 0.5) + 0.5 * growth * (i - 1.0) * (i - 1.0);
    const long thickness = 2 * (RoundTenths(mid * 10) - made);
    if (thickness <= 0) throw refuse();
    lengths.push_back(thickness / 10000.0);
    made += thickness;
  }
  return lengths;
}

}  // namespace kirmel::fe
