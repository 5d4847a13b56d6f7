#include "frontend/viewer/WBSCO.h"

#include "frontend/model/Numbers.h"

namespace kirmel::fe {

namespace {
const char* const kTop = "top";
}

bool TWBSCOList::ReadFile(const std::string& fileName, Parser& parser) {
  ClearItems();
  numberOfTimesteps_ = 0;
  layersPerTimestep_ = 0;
  detail::TFileScan scan(parser, fileName);
  if (!scan.Open()) return false;

  int layersPerBlock = -1;  // known once the first block has ended
  int layers = 0;           // layer rows of the open block
  bool inBlock = false;     // a block is open: its "top" row is still to come
  try {
    std::string token;
    while (scan.First(token)) {
      TWBSCORecord r;
      r.Time = scan.Real(token);
      r.Segment = scan.Next();
      scan.Next();  // depth
      r.Concentration = scan.Real(scan.Next());
      for (int i = 0; i < 5; ++i) scan.Next();  // liquid, solid, percentages
      r.Timestep = scan.Integer(scan.Next());
      scan.ExpectEndOfLine();

      if (!inBlock) {
        if (!items_.empty() && r.Timestep == items_.back().Timestep)
          scan.Fail("a row follows the \"top\" row of its time block");
        inBlock = true;
        layers = 0;
      } else {
        if (r.Timestep != items_.back().Timestep)
          scan.Fail("a time block ends without a \"top\" row");
        if (r.Time != items_.back().Time) scan.Fail("the time changes inside a time block");
      }
      if (r.Segment == kTop) {
        if (layers == 0) scan.Fail("a \"top\" row stands before any sediment segment");
        if (layersPerBlock < 0) layersPerBlock = layers;
        if (layers != layersPerBlock)
          scan.Fail("a time block has " + std::to_string(layers) + " sediment segments where " +
                    std::to_string(layersPerBlock) + " were expected");
        inBlock = false;
      } else {
        int segment = 0;
        if (!TryStrToInt(r.Segment, segment) || segment != layers + 1)
          scan.Fail("segment \"" + r.Segment + "\" where " + std::to_string(layers + 1) +
                    " was expected");
        if (layersPerBlock >= 0 && segment > layersPerBlock)
          scan.Fail("a time block has more than " + std::to_string(layersPerBlock) +
                    " sediment segments");
        ++layers;
      }
      items_.push_back(std::move(r));
      if (!inBlock) ++numberOfTimesteps_;
    }
    if (inBlock) scan.Fail("the file ends inside a time block (no \"top\" row)");
  } catch (const detail::TReadFault& fault) {
    readError_ = scan.Report(fault);
  }
  layersPerTimestep_ = numberOfTimesteps_ > 0 ? layersPerBlock : 0;
  return true;
}

bool TWBSCOList::FindTimestep(int timestep, int& index) const {
  const int rows = RecordsPerTimestep();
  for (int t = 0; t < numberOfTimesteps_; ++t) {
    if (items_[static_cast<std::size_t>(t * rows)].Timestep == timestep) {
      index = t * rows;
      return true;
    }
  }
  return false;
}

int TWBSCOList::TopIndex(int t) const {
  if (t < 1 || t > numberOfTimesteps_) return -1;
  const int rows = RecordsPerTimestep();
  for (int i = (t - 1) * rows; i < t * rows; ++i)
    if (items_[static_cast<std::size_t>(i)].Segment == kTop) return i;
  return -1;
}

int TWBSCOList::LayerIndex(int t, int layer) const {
  if (t < 1 || t > numberOfTimesteps_ || layer < 1 || layer > layersPerTimestep_) return -1;
  return (t - 1) * RecordsPerTimestep() + layer - 1;
}

}  // namespace kirmel::fe
