// The list operations of the segment editors, without any drawing: which
// list of the model an editor works on in each mode, its limits, and the
// operations that replace, cut or scale the list.
//
// Every operation that changes the list computes the new list first and
// checks every new length with the segment's own range check (and the count
// with the list's capacity) before it touches the model: a refused operation
// raises EOutOfRange with the message to show and leaves the list, its
// lengths and the list's total exactly as they were.
#pragma once

#include <vector>

#include "frontend/model/Kirdata.h"

namespace kirmel::fe {

enum class TSegmentEditorKind { WaterLayer, Sediment };

// The editor's fields for one mode.
struct TSegmentLimits {
  double Start;      // m: where the list starts along the water layer or in depth
  double MinLength;  // m: the list's total length
  double MaxLength;
  int MinSegments;
  int MaxSegments;
};

// Sums within this distance (m) of a total count as equal to it.
inline constexpr double kSegmentTolerance = 1e-5;

class TSegmentList {
 public:
  // The list an editor works on in its mode:
  //   water-layer editor: 1 front buffer, 2 water body, 3 end buffer;
  //   sediment editor:    3 lower (end) buffer, 4 sediment layers.
  // Any other pair throws std::invalid_argument.
  TSegmentList(TKirmelData& data, TSegmentEditorKind editor, int mode);

  TSegmentEditorKind Editor() const { return editor_; }
  int Mode() const { return mode_; }
  TSegmentLimits Limits() const;
  // The most segments "segments of length" may make: 500 in the water-layer
  // editor and 50 in the sediment editor, whatever the mode.
  int GenerationLimit() const { return editor_ == TSegmentEditorKind::WaterLayer ? 500 : 50; }

  int Count() const;
  double SegmentLength(int index) const;  // 1 .. Count()
  double SumOfLengths() const;
  // The model's total length of the list; SetTotal uses the model's setter.
  double Total() const;
  void SetTotal(double value);
  void ComputeCoordinates();
  bool CanAdd() const { return Count() < Limits().MaxSegments; }
  // The segment's range check ("Length of segment must lie between ...").
  void CheckSegmentLength(double length) const;

  // Removes the segment in slot index (1 .. Count()).
  void Remove(int index);

  // Replaces the list by new segments of these lengths (new water-layer
  // segments: initial concentration 0, no output; new sediment layers:
  // porosity and tortuosity 0.8, organic matter 0.08, bulk density 400 kg/m3,
  // initial concentration 0).  More than MaxSegments lengths raise
  // "Maximum number of segments reached".
  void ReplaceAll(const std::vector<double>& lengths);

  // One segment of the whole total.
  void ClearToOne(double total);
  // `count` (at least 1) equal segments of total / count.
  void Distribute(double total, int count);
  // Segments of `length` up to total, the last one shortened to fit.  A
  // length <= 0 does nothing; more than GenerationLimit() segments raise
  // "Too many segments".
  void GenerateOfLength(double total, double length);
  // Layers growing linearly from 1 mm (QuadraticThicknesses).
  void GenerateQuadratic(double total, int count);
  // Keeps the segments up to the one in which `total` ends and shortens that
  // one so that the sum is total.
  void Truncate(double total);
  // Scales the total and every segment by factor > 0.  A scaled total
  // outside the mode's limits raises the two-line message with the largest
  // or smallest factor allowed; a segment that would leave its range raises
  // its setter's message.
  void ScaleBy(double total, double factor);

 private:
  TKirmelData& data_;
  TSegmentEditorKind editor_;
  int mode_;
};

// The thicknesses (m) of `count` layers over `total` m: the first 1 mm, each
// following one d mm thicker, d = 2 (1000 total - count) / (count (count - 1)),
// the mid-point of each layer rounded to 0.1 mm (halves to even).  Fewer
// than two layers give one layer of the whole total.  Layers that cannot all
// be at least 1 mm thick, or a layer that the rounding leaves without
// thickness, raise EOutOfRange.
std::vector<double> QuadraticThicknesses(double total, int count);

}  // namespace kirmel::fe
