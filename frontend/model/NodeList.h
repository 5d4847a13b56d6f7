// A fixed-capacity, 1-based list of owned segments, shared by the water body
// and the sediment.  Slots 1 .. Count() hold segments; there are no gaps.
#pragma once

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "frontend/model/KirExcpt.h"

namespace kirmel::fe {

template <class TNode>
class TNodeList {
 public:
  explicit TNodeList(int capacity) : capacity_(capacity) {}

  int Capacity() const { return capacity_; }
  int Count() const { return static_cast<int>(nodes_.size()); }
  bool CanAdd() const { return Count() < capacity_; }

  // The segment in slot index; EIndexOutOfRange outside 1 .. Count().
  TNode& Node(int index) { return *nodes_[Slot(index)]; }
  const TNode& Node(int index) const { return *nodes_[Slot(index)]; }

  // Puts the segment into slot Count() + 1; the list owns it from then on.
  // A full list refuses with EOutOfRange and the segment is released.
  TNode& Add(std::unique_ptr<TNode> node) {
    if (!node) throw std::invalid_argument("TNodeList::Add: no segment");
    if (!CanAdd()) throw EOutOfRange(std::string("Maximum number of segments reached"));
    nodes_.push_back(std::move(node));
    return *nodes_.back();
  }

  // Releases the segment (found by identity) and moves the later ones down;
  // a segment that is not in the list is ignored.
  void Remove(const TNode* node) {
    auto it = std::find_if(nodes_.begin(), nodes_.end(),
                           [node](const std::unique_ptr<TNode>& p) { return p.get() == node; });
    if (it != nodes_.end()) nodes_.erase(it);
  }

  void Clear() { nodes_.clear(); }

 private:
  std::size_t Slot(int index) const {
    if (index < 1 || index > Count()) throw EIndexOutOfRange();
    return static_cast<std::size_t>(index - 1);
  }

  int capacity_;
  std::vector<std::unique_ptr<TNode>> nodes_;
};

// Scales a list's total length and every segment's length by factor > 0
// (a factor <= 0, or NaN, does nothing).  checkTotal(newTotal) raises the
// total's own range error.  All checks come first: a refused total or segment
// raises EOutOfRange and leaves the total and every segment unchanged.
template <class TNode, class CheckTotal>
void ScaleNodeList(TNodeList<TNode>& list, double& total, double factor, CheckTotal checkTotal) {
  if (!(factor > 0)) return;
  double newTotal = total * factor;
  checkTotal(newTotal);
  std::vector<double> lengths;
  lengths.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 1; i <= list.Count(); ++i) {
    double length = list.Node(i).Length() * factor;
    TNode::CheckLength(length);
    lengths.push_back(length);
  }
  total = newTotal;
  for (int i = 1; i <= list.Count(); ++i) list.Node(i).SetLength(lengths[static_cast<std::size_t>(i - 1)]);
}

}  // namespace kirmel::fe
