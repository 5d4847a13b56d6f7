// The water body: its segments, the front and end buffers, and the
// properties of the water layer (WLNU.INP, WLPA.INP, WLST.INP, OPOUT.INP).
#pragma once

#include <memory>

#include "frontend/model/NodeList.h"
#include "frontend/model/Timestep.h"

namespace kirmel::fe {

// One water-layer segment.
class TDitchNode {
 public:
  // Length and initial concentration go through their setters.
  TDitchNode(bool output, double length, double initialConcentration);

  // m, "Length of segment", 0.05 .. 1000
  double Length() const { return length_; }
  void SetLength(double value);
  // The range check of SetLength on its own.
  static void CheckLength(double value);
  // ug/L (= mg/m^3; written / 1000 in g/m^3), "Initial mass concentration", 0 .. 100000
  double InitialConcentration() const { return initialConcentration_; }
  void SetInitialConcentration(double value);
  // Selected for per-segment output (iwbsy).
  bool Output() const { return output_; }
  void SetOutput(bool value) { output_ = value; }
  // Start and end coordinate within its list, as of the last ComputeCoordinates.
  double StartX() const { return startX_; }
  double EndX() const { return endX_; }

 private:
  friend class TDitch;
  double length_ = 0;
  double initialConcentration_ = 0;
  bool output_ = false;
  double startX_ = 0;
  double endX_ = 0;
};

class TDitch {
 public:
  static constexpr int kMaxNodes = 500;
  static constexpr int kMaxBufferNodes = 25;

  // The default water body: 320 m in 80 segments of 4 m, the first and the
  // last selected for output; no buffers; time step 600 s.
  TDitch();

  // Water-body segments, slots 1 .. NodeCount().
  int NodeCount() const { return nodes_.Count(); }
  TDitchNode& Node(int index) { return nodes_.Node(index); }
  const TDitchNode& Node(int index) const { return nodes_.Node(index); }
  bool CanAddNode() const { return nodes_.CanAdd(); }
  TDitchNode& AddNode(std::unique_ptr<TDitchNode> node) { return nodes_.Add(std::move(node)); }
  void RemoveNode(const TDitchNode* node) { nodes_.Remove(node); }
  void ClearNodes() { nodes_.Clear(); }
  void ScaleNodes(double factor);

  int FrontBufferNodeCount() const { return frontBufferNodes_.Count(); }
  TDitchNode& FrontBufferNode(int index) { return frontBufferNodes_.Node(index); }
  const TDitchNode& FrontBufferNode(int index) const { return frontBufferNodes_.Node(index); }
  bool CanAddFrontBufferNode() const { return frontBufferNodes_.CanAdd(); }
  TDitchNode& AddFrontBufferNode(std::unique_ptr<TDitchNode> node) {
    return frontBufferNodes_.Add(std::move(node));
  }
  void RemoveFrontBufferNode(const TDitchNode* node) { frontBufferNodes_.Remove(node); }
  void ClearFrontBufferNodes() { frontBufferNodes_.Clear(); }
  void ScaleFrontBufferNodes(double factor);

  int EndBufferNodeCount() const { return endBufferNodes_.Count(); }
  TDitchNode& EndBufferNode(int index) { return endBufferNodes_.Node(index); }
  const TDitchNode& EndBufferNode(int index) const { return endBufferNodes_.Node(index); }
  bool CanAddEndBufferNode() const { return endBufferNodes_.CanAdd(); }
  TDitchNode& AddEndBufferNode(std::unique_ptr<TDitchNode> node) {
    return endBufferNodes_.Add(std::move(node));
  }
  void RemoveEndBufferNode(const TDitchNode* node) { endBufferNodes_.Remove(node); }
  void ClearEndBufferNodes() { endBufferNodes_.Clear(); }
  void ScaleEndBufferNodes(double factor);

  // m, xdit, 0.05 .. 10000 ("Length of waterbody must be between ...")
  double Length() const { return length_; }
  void SetLength(double value);
  // m, xfb, 0 .. 1000 ("Frontbuffer length must be between ...")
  double FrontBufferLength() const { return frontBufferLength_; }
  void SetFrontBufferLength(double value);
  // m, xeb, 0 .. 1000 ("Endbuffer length must be between ...")
  double EndBufferLength() const { return endBufferLength_; }
  void SetEndBufferLength(double value);

  // Calculation time step of the water layer (deltwl).
  TTimestep& Timestep() { return timestep_; }
  const TTimestep& Timestep() const { return timestep_; }

  // m, "Length draining plot", 10 .. 100000 (leplot)
  double PlotLength() const { return plotLength_; }
  void SetPlotLength(double value);
  // g/m^3, "Concentration suspended solids", 1 .. 100000 (coss)
  double SuspendedSolids() const { return suspendedSolids_; }
  void SetSuspendedSolids(double value);
  // -, "Mass ratio", 0 .. 1 (raomss)
  double MassRatioOM() const { return massRatioOM_; }
  void SetMassRatioOM(double value);
  // g/m^2, "Dry weight macrophytes", 0 .. 1000 (dwmp)
  double Macrophytes() const { return macrophytes_; }
  void SetMacrophytes(double value);

  int TotalNodeCount() const;
  // Water-body segments with Output set (nwbsy).
  int OutputNodeCount() const;
  // StartX and EndX of every segment, each list on its own from 0.
  void ComputeCoordinates();

 private:
  TNodeList<TDitchNode> nodes_{kMaxNodes};
  TNodeList<TDitchNode> frontBufferNodes_{kMaxBufferNodes};
  TNodeList<TDitchNode> endBufferNodes_{kMaxBufferNodes};
  double length_ = 320;
  double frontBufferLength_ = 0;
  double endBufferLength_ = 0;
  TTimestep timestep_{0, 0, 0, 600};
  double plotLength_ = 100;
  double suspendedSolids_ = 15;
  double massRatioOM_ = 0.5;
  double macrophytes_ = 0;
};

}  // namespace kirmel::fe
