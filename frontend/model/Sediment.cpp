#include "frontend/model/Sediment.h"

#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

void CheckSedimentLength(double value) { CheckRange("Sediment length", value, 0.001, 0.5); }
void CheckEndBufferLength(double value) { CheckRange("End buffer length", value, 0, 0.1); }

// The default profile, top to bottom.
struct TLayerGroup {
  int count;
  double thickness, bulkDensity, porosity, tortuosity, organicMatter;
};
constexpr TLayerGroup kDefaultProfile[] = {
    {4, 0.001, 80, 0.82, 0.82, 0.25},  {3, 0.002, 80, 0.82, 0.82, 0.25},
    {2, 0.005, 220, 0.77, 0.77, 0.19}, {2, 0.01, 670, 0.62, 0.62, 0.06},
    {3, 0.02, 1500, 0.36, 0.28, 0.02},
};

}  // namespace

TSedimentNode::TSedimentNode(double length, double initialConcentration, double bulkDensity,
                             double porosity, double tortuosity, double organicMatter) {
  SetLength(length);
  SetInitialConcentration(initialConcentration);
  SetBulkDensity(bulkDensity);
  SetPorosity(porosity);
  SetTortuosity(tortuosity);
  SetOrganicMatter(organicMatter);
}

void TSedimentNode::CheckLength(double value) {
  CheckRange("Length of segment", value, 0.0001, 0.6);
}

void TSedimentNode::SetLength(double value) {
  CheckLength(value);
  length_ = value;
}

void TSedimentNode::SetPorosity(double value) {
  SetChecked(porosity_, value, "Porosity", 0, 1);
}

void TSedimentNode::SetTortuosity(double value) {
  SetChecked(tortuosity_, value, "Tortuosity", 0, 1);
}

void TSedimentNode::SetOrganicMatter(double value) {
  SetChecked(organicMatter_, value, "Mass ratio organic matter", 0, 1);
}

void TSedimentNode::SetBulkDensity(double value) {
  SetChecked(bulkDensity_, value, "Bulk density", 10, 3000);
}

void TSedimentNode::SetInitialConcentration(double value) {
  SetChecked(initialConcentration_, value, "Initial mass concentration", 0, 1000000);
}

TSediment::TSediment() {
  for (const TLayerGroup& g : kDefaultProfile)
    for (int i = 0; i < g.count; ++i)
      nodes_.Add(std::make_unique<TSedimentNode>(g.thickness, 0, g.bulkDensity, g.porosity,
                                                 g.tortuosity, g.organicMatter));
}

void TSediment::ScaleNodes(double factor) {
  ScaleNodeList(nodes_, sedimentLength_, factor, CheckSedimentLength);
}

void TSediment::ScaleEndBufferNodes(double factor) {
  ScaleNodeList(endBufferNodes_, endBufferLength_, factor, CheckEndBufferLength);
}

void TSediment::SetSedimentLength(double value) {
  CheckSedimentLength(value);
  sedimentLength_ = value;
}

void TSediment::SetEndBufferLength(double value) {
  CheckEndBufferLength(value);
  endBufferLength_ = value;
}

void TSediment::SetDispersionLength(double value) {
  SetChecked(dispersionLength_, value, "Dispersion length", 0, 1);
}

void TSediment::ComputeCoordinates() {
  for (TNodeList<TSedimentNode>* list : {&nodes_, &endBufferNodes_}) {
    double depth = 0;
    for (int i = 1; i <= list->Count(); ++i) {
      TSedimentNode& node = list->Node(i);
      node.topDepth_ = depth;
      node.bottomDepth_ = node.topDepth_ + node.length_;
      depth = node.bottomDepth_;
    }
  }
}

}  // namespace kirmel::fe
