#include "frontend/model/Ditch.h"

#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

constexpr int kDefaultNodes = 80;
constexpr double kDefaultNodeLength = 4;

// The length setters of the water body and its buffers have their own texts.
void CheckWaterBodyLength(double value) {
  if (!(0.05 <= value && value <= 10000))
    throw EOutOfRange("Length of waterbody must be between %g and %g", {0.05, 10000.0});
}

void CheckFrontBufferLength(double value) {
  if (!(0 <= value && value <= 1000))
    throw EOutOfRange("Frontbuffer length must be between %g and %g", {0.0, 1000.0});
}

void CheckEndBufferLength(double value) {
  if (!(0 <= value && value <= 1000))
    throw EOutOfRange("Endbuffer length must be between %g and %g", {0.0, 1000.0});
}

}  // namespace

TDitchNode::TDitchNode(bool output, double length, double initialConcentration)
    : output_(output) {
  SetLength(length);
  SetInitialConcentration(initialConcentration);
}

void TDitchNode::CheckLength(double value) { CheckRange("Length of segment", value, 0.05, 1000); }

void TDitchNode::SetLength(double value) {
  CheckLength(value);
  length_ = value;
}

void TDitchNode::SetInitialConcentration(double value) {
  if (CheckRange("Initial mass concentration", value, 0, 100000)) initialConcentration_ = value;
}

TDitch::TDitch() {
  for (int i = 1; i <= kDefaultNodes; ++i)
    nodes_.Add(std::make_unique<TDitchNode>(i == 1 || i == kDefaultNodes, kDefaultNodeLength, 0));
}

void TDitch::ScaleNodes(double factor) {
  ScaleNodeList(nodes_, length_, factor, CheckWaterBodyLength);
}

void TDitch::ScaleFrontBufferNodes(double factor) {
  ScaleNodeList(frontBufferNodes_, frontBufferLength_, factor, CheckFrontBufferLength);
}

void TDitch::ScaleEndBufferNodes(double factor) {
  ScaleNodeList(endBufferNodes_, endBufferLength_, factor, CheckEndBufferLength);
}

void TDitch::SetLength(double value) {
  CheckWaterBodyLength(value);
  length_ = value;
}

void TDitch::SetFrontBufferLength(double value) {
  CheckFrontBufferLength(value);
  frontBufferLength_ = value;
}

void TDitch::SetEndBufferLength(double value) {
  CheckEndBufferLength(value);
  endBufferLength_ = value;
}

void TDitch::SetPlotLength(double value) {
  if (CheckRange("Length draining plot", value, 10, 100000)) plotLength_ = value;
}

void TDitch::SetSuspendedSolids(double value) {
  if (CheckRange("Concentration suspended solids", value, 1, 100000)) suspendedSolids_ = value;
}

void TDitch::SetMassRatioOM(double value) {
  if (CheckRange("Mass ratio", value, 0, 1)) massRatioOM_ = value;
}

void TDitch::SetMacrophytes(double value) {
  if (CheckRange("Dry weight macrophytes", value, 0, 1000)) macrophytes_ = value;
}

int TDitch::TotalNodeCount() const {
  return NodeCount() + FrontBufferNodeCount() + EndBufferNodeCount();
}

int TDitch::OutputNodeCount() const {
  int count = 0;
  for (int i = 1; i <= NodeCount(); ++i)
    if (Node(i).Output()) ++count;
  return count;
}

void TDitch::ComputeCoordinates() {
  for (TNodeList<TDitchNode>* list : {&frontBufferNodes_, &nodes_, &endBufferNodes_}) {
    double x = 0;
    for (int i = 1; i <= list->Count(); ++i) {
      TDitchNode& node = list->Node(i);
      node.startX_ = x;
      node.endX_ = node.startX_ + node.length_;
      x = node.endX_;
    }
  }
}

}  // namespace kirmel::fe
