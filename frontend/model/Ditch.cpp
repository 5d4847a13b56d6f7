#include "frontend/model/Ditch.h"

#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

constexpr int kDefaultNodes = 80;
constexpr double kDefaultNodeLength = 4;

// The length setters of the water body and its buffers have their own texts:
// tmpl gets the bounds for its two %g.  NaN never lies in the range.
void CheckTotalLength(double value, const char* tmpl, double min, double max) {
  if (!(min <= value && value <= max)) throw EOutOfRange(tmpl, {min, max});
}

void CheckWaterBodyLength(double value) {
  CheckTotalLength(value, "Length of waterbody must be between %g and %g", 0.05, 10000);
}

void CheckFrontBufferLength(double value) {
  CheckTotalLength(value, "Frontbuffer length must be between %g and %g", 0, 1000);
}

void CheckEndBufferLength(double value) {
  CheckTotalLength(value, "Endbuffer length must be between %g and %g", 0, 1000);
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
  SetChecked(initialConcentration_, value, "Initial mass concentration", 0, 100000);
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
  SetChecked(plotLength_, value, "Length draining plot", 10, 100000);
}

void TDitch::SetSuspendedSolids(double value) {
  SetChecked(suspendedSolids_, value, "Concentration suspended solids", 1, 100000);
}

void TDitch::SetMassRatioOM(double value) {
  SetChecked(massRatioOM_, value, "Mass ratio", 0, 1);
}

void TDitch::SetMacrophytes(double value) {
  SetChecked(macrophytes_, value, "Dry weight macrophytes", 0, 1000);
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
