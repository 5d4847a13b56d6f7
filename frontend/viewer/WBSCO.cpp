#include "frontend/viewer/WBSCO.h"

#include <algorithm>

namespace kirmel::fe {

struct TWBSCOList::TData {
  std::vector<double> concentration;  // one a row
  std::vector<double> blockTime;      // one a block, the incomplete last one included
  std::vector<int> blockTimestep;
  int layers = 0;     // layer rows of a complete block; 0 before the first has ended
  int timesteps = 0;  // complete blocks
  std::string readError;
};

namespace {

const char* const kTop = "top";

const TWBSCOList::TData& Empty() {
  static const TWBSCOList::TData empty;
  return empty;
}

}  // namespace

bool TWBSCOList::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TWBSCOList::ReadFile(const std::string& fileName, TReadContext& context) {
  ClearItems();
  detail::TFileScan scan(context, fileName);
  scan.SetRowWidth(kRowWidth);
  if (!scan.Open()) return false;

  auto data = std::make_shared<TData>();
  TData& d = *data;
  int layersPerBlock = -1;  // known once the first block has ended
  int layers = 0;           // layer rows of the open block
  bool inBlock = false;     // a block is open: its "top" row is still to come
  try {
    std::string_view token;
    while (scan.First(token)) {
      const double time = scan.Real(token);
      const std::string_view segment = scan.Next();
      scan.Skip(1);  // depth
      const double concentration = scan.Real(scan.Next());
      scan.Skip(5);  // liquid, solid, percentages
      const int step = scan.Step(scan.Next());
      scan.ExpectEndOfLine();

      // Each block ends with its "top" row.  A step that did not fit its
      // field matches any other such step; the time still tells blocks
      // apart.
      if (!inBlock) {
        if (!d.blockTime.empty() && step != kStepDidNotFit && step == d.blockTimestep.back())
          scan.Fail("a row follows the \"top\" row of its time block");
        layers = 0;
      } else {
        const bool sameStep = step == kStepDidNotFit ? d.blockTimestep.back() < 0
                                                     : step == d.blockTimestep.back();
        if (!sameStep) scan.Fail("a time block ends without a \"top\" row");
        if (time != d.blockTime.back()) scan.Fail("the time changes inside a time block");
      }
      const bool top = segment == kTop;
      if (top) {
        if (layers == 0) scan.Fail("a \"top\" row stands before any sediment segment");
        if (layersPerBlock < 0) layersPerBlock = layers;
        if (layers != layersPerBlock)
          scan.Fail("a time block has " + std::to_string(layers) + " sediment segments where " +
                    std::to_string(layersPerBlock) + " were expected");
      } else {
        int number = 0;
        if (!ConvertInteger(segment, number) || number != layers + 1)
          scan.Fail("segment \"" + std::string(segment) + "\" where " +
                    std::to_string(layers + 1) + " was expected");
        if (layersPerBlock >= 0 && number > layersPerBlock)
          scan.Fail("a time block has more than " + std::to_string(layersPerBlock) +
                    " sediment segments");
      }
      if (!inBlock) {
        d.blockTime.push_back(time);
        d.blockTimestep.push_back(step == kStepDidNotFit ? StandInStep(d.blockTime.size()) : step);
        inBlock = true;
      }
      d.concentration.push_back(concentration);
      if (top) {
        inBlock = false;
        ++d.timesteps;
      } else {
        ++layers;
      }
    }
    if (d.blockTime.empty()) scan.FailAtEnd("the file ends before its first output time");
    if (inBlock) scan.Fail("the file ends inside a time block (no \"top\" row)");
  } catch (const detail::TReadFault& fault) {
    d.readError = scan.Report(fault);
  }
  d.layers = d.timesteps > 0 ? layersPerBlock : 0;
  d.concentration.shrink_to_fit();
  d.blockTime.shrink_to_fit();
  d.blockTimestep.shrink_to_fit();
  data_ = std::move(data);
  return true;
}

int TWBSCOList::Count() const {
  return data_ ? static_cast<int>(data_->concentration.size()) : 0;
}

TWBSCORecord TWBSCOList::GetItem(int index) const {
  if (index < 0 || index >= Count()) throw EIndexOutOfRange();
  const TData& d = *data_;
  // Complete blocks hold layers + 1 rows; the rows beyond them belong to
  // the last block, which has no "top" row.
  std::size_t block = 0;
  int row = index;  // 0-based within its block
  if (d.layers > 0) {
    const int rows = d.layers + 1;
    block = std::min(static_cast<std::size_t>(index / rows), d.blockTime.size() - 1);
    row = index - static_cast<int>(block) * rows;
  }
  TWBSCORecord r;
  r.Time = d.blockTime[block];
  r.Segment = static_cast<int>(block) < d.timesteps && row == d.layers ? std::string(kTop)
                                                                      : std::to_string(row + 1);
  r.Concentration = d.concentration[static_cast<std::size_t>(index)];
  r.Timestep = d.blockTimestep[block];
  return r;
}

double TWBSCOList::Concentration(int index) const {
  if (index < 0 || index >= Count()) throw EIndexOutOfRange();
  return data_->concentration[static_cast<std::size_t>(index)];
}

void TWBSCOList::ClearItems() { data_.reset(); }

const std::string& TWBSCOList::ReadError() const {
  return data_ ? data_->readError : Empty().readError;
}

int TWBSCOList::NumberOfTimesteps() const { return data_ ? data_->timesteps : 0; }

int TWBSCOList::RecordsPerTimestep() const {
  const int layers = LayersPerTimestep();
  return layers > 0 ? layers + 1 : 0;
}

int TWBSCOList::LayersPerTimestep() const { return data_ ? data_->layers : 0; }

bool TWBSCOList::FindTimestep(int timestep, int& index) const {
  const int rows = RecordsPerTimestep();
  for (int t = 0; t < NumberOfTimesteps(); ++t) {
    if (data_->blockTimestep[static_cast<std::size_t>(t)] == timestep) {
      index = t * rows;
      return true;
    }
  }
  return false;
}

int TWBSCOList::TopIndex(int t) const {
  if (t < 1 || t > NumberOfTimesteps()) return -1;
  return t * RecordsPerTimestep() - 1;
}

int TWBSCOList::LayerIndex(int t, int layer) const {
  if (t < 1 || t > NumberOfTimesteps() || layer < 1 || layer > LayersPerTimestep()) return -1;
  return (t - 1) * RecordsPerTimestep() + layer - 1;
}

std::size_t TWBSCOList::MemoryBytes() const {
  if (!data_) return 0;
  return sizeof(TData) + data_->concentration.capacity() * sizeof(double) +
         data_->blockTime.capacity() * sizeof(double) +
         data_->blockTimestep.capacity() * sizeof(int);
}

}  // namespace kirmel::fe
