// The sediment: its layers, the lower (end) buffer and the sediment-wide
// properties (WBNU.INP, WBPA.INP, WBST.INP).
#pragma once

#include <memory>

#include "frontend/model/NodeList.h"
#include "frontend/model/Timestep.h"

namespace kirmel::fe {

// One sediment layer.
class TSedimentNode {
 public:
  // Every value goes through its setter.
  TSedimentNode(double length, double initialConcentration, double bulkDensity, double porosity,
                double tortuosity, double organicMatter);

  // m, "Length of segment", 0.0001 .. 0.6 (the layer's thickness)
  double Length() const { return length_; }
  void SetLength(double value);
  // The range check of SetLength on its own.
  static void CheckLength(double value);
  // -, "Porosity", 0 .. 1
  double Porosity() const { return porosity_; }
  void SetPorosity(double value);
  // -, "Tortuosity", 0 .. 1
  double Tortuosity() const { return tortuosity_; }
  void SetTortuosity(double value);
  // mass ratio, "Mass ratio organic matter", 0 .. 1
  double OrganicMatter() const { return organicMatter_; }
  void SetOrganicMatter(double value);
  // kg/m^3, "Bulk density", 10 .. 3000
  double BulkDensity() const { return bulkDensity_; }
  void SetBulkDensity(double value);
  // mg/m^3 (written / 1000 in g/m^3), "Initial mass concentration", 0 .. 1000000
  double InitialConcentration() const { return initialConcentration_; }
  void SetInitialConcentration(double value);
  // Depths of the layer's top and bottom, as of the last ComputeCoordinates.
  double TopDepth() const { return topDepth_; }
  double BottomDepth() const { return bottomDepth_; }

 private:
  friend class TSediment;
  double length_ = 0;
  double porosity_ = 0;
  double tortuosity_ = 0;
  double organicMatter_ = 0;
  double bulkDensity_ = 0;
  double initialConcentration_ = 0;
  double topDepth_ = 0;
  double bottomDepth_ = 0;
};

class TSediment {
 public:
  static constexpr int kMaxNodes = 50;
  static constexpr int kMaxEndBufferNodes = 10;

  // The default profile: 14 layers, 0.1 m in all; no lower buffer; 600 s.
  TSediment();

  int NodeCount() const { return nodes_.Count(); }
  TSedimentNode& Node(int index) { return nodes_.Node(index); }
  const TSedimentNode& Node(int index) const { return nodes_.Node(index); }
  bool CanAddNode() const { return nodes_.CanAdd(); }
  TSedimentNode& AddNode(std::unique_ptr<TSedimentNode> node) { return nodes_.Add(std::move(node)); }
  void RemoveNode(const TSedimentNode* node) { nodes_.Remove(node); }
  void ClearNodes() { nodes_.Clear(); }
  void ScaleNodes(double factor);

  int EndBufferNodeCount() const { return endBufferNodes_.Count(); }
  TSedimentNode& EndBufferNode(int index) { return endBufferNodes_.Node(index); }
  const TSedimentNode& EndBufferNode(int index) const { return endBufferNodes_.Node(index); }
  bool CanAddEndBufferNode() const { return endBufferNodes_.CanAdd(); }
  TSedimentNode& AddEndBufferNode(std::unique_ptr<TSedimentNode> node) {
    return endBufferNodes_.Add(std::move(node));
  }
  void RemoveEndBufferNode(const TSedimentNode* node) { endBufferNodes_.Remove(node); }
  void ClearEndBufferNodes() { endBufferNodes_.Clear(); }
  void ScaleEndBufferNodes(double factor);

  // Kept but not written: the writer takes the water layer's step for both.
  TTimestep& Timestep() { return timestep_; }
  const TTimestep& Timestep() const { return timestep_; }

  // m, "Sediment length", 0.001 .. 0.5 (zwb)
  double SedimentLength() const { return sedimentLength_; }
  void SetSedimentLength(double value);
  // m, "End buffer length", 0 .. 0.1 (zebb)
  double EndBufferLength() const { return endBufferLength_; }
  void SetEndBufferLength(double value);
  // m, "Dispersion length", 0 .. 1 (ldis)
  double DispersionLength() const { return dispersionLength_; }
  void SetDispersionLength(double value);

  // TopDepth and BottomDepth of every layer, the layers and the lower buffer
  // each on their own from 0.
  void ComputeCoordinates();

 private:
  TNodeList<TSedimentNode> nodes_{kMaxNodes};
  TNodeList<TSedimentNode> endBufferNodes_{kMaxEndBufferNodes};
  TTimestep timestep_{0, 0, 0, 600};
  double sedimentLength_ = 0.1;
  double endBufferLength_ = 0;
  double dispersionLength_ = 0.015;
};

}  // namespace kirmel::fe
