#include "frontend/viewer/WLSOCO.h"

namespace kirmel::fe {

struct TWLSOCOList::TData {
  std::vector<double> concentration;  // one a row
  std::vector<double> blockTime;      // one a block, the incomplete last one included
  std::vector<int> blockTimestep;
  int blockSize = 0;  // rows of a complete block; 0 before the first has ended
  int timesteps = 0;  // complete blocks
  std::string readError;
};

namespace {

const TWLSOCOList::TData& Empty() {
  static const TWLSOCOList::TData empty;
  return empty;
}

}  // namespace

bool TWLSOCOList::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TWLSOCOList::ReadFile(const std::string& fileName, TReadContext& context) {
  ClearItems();
  detail::TFileScan scan(context, fileName);
  scan.SetRowWidth(kRowWidth);
  if (!scan.Open()) return false;

  auto data = std::make_shared<TData>();
  TData& d = *data;
  int rows = 0;          // rows of the open block
  int lastSegment = 0;   // node of the row before
  try {
    std::string_view token;
    while (scan.First(token)) {
      const double time = scan.Real(token);
      const int segment = scan.Integer(scan.Next());
      scan.Skip(2);  // distance, total concentration
      const double concentration = scan.Real(scan.Next());
      scan.Skip(6);  // sorbed contents, percentages
      const int step = scan.Step(scan.Next());
      scan.ExpectEndOfLine();

      // A block starts where the step changes.  Where steps no longer fit
      // their field, a block starts once the one before has all its rows,
      // or where the time changes.
      bool starts = d.blockTime.empty();
      if (!starts) {
        const bool openDidNotFit = d.blockTimestep.back() < 0;
        starts = step == kStepDidNotFit && openDidNotFit
                     ? (d.blockSize != 0 && rows == d.blockSize) || time != d.blockTime.back()
                     : step != d.blockTimestep.back();
      }
      if (starts) {
        if (!d.blockTime.empty()) {
          // The first block's size is known once the second begins; every
          // later block is complete as soon as it has that many rows.
          if (d.blockSize == 0) {
            d.blockSize = rows;
            d.timesteps = 1;
          }
          if (rows != d.blockSize)
            scan.Fail("the time block before this line has " + std::to_string(rows) +
                      " rows where " + std::to_string(d.blockSize) + " were expected");
        }
        if (segment != 1) scan.Fail("a time block starts with segment " + std::to_string(segment));
        d.blockTime.push_back(time);
        d.blockTimestep.push_back(step == kStepDidNotFit ? StandInStep(d.blockTime.size()) : step);
        rows = 0;
      } else {
        if (segment != lastSegment + 1)
          scan.Fail("segment " + std::to_string(segment) + " follows segment " +
                    std::to_string(lastSegment));
        if (d.blockSize != 0 && rows == d.blockSize)
          scan.Fail("a time block has more than " + std::to_string(d.blockSize) + " rows");
        if (time != d.blockTime.back()) scan.Fail("the time changes inside a time block");
      }
      d.concentration.push_back(concentration);
      lastSegment = segment;
      ++rows;
      if (d.blockSize != 0 && rows == d.blockSize) ++d.timesteps;
    }
    if (d.blockTime.empty()) scan.FailAtEnd("the file ends before its first output time");
    if (d.blockSize == 0) {
      d.blockSize = rows;
      d.timesteps = 1;
    }
    if (rows != d.blockSize)
      scan.Fail("the file ends inside a time block (" + std::to_string(rows) + " of " +
                std::to_string(d.blockSize) + " rows)");
  } catch (const detail::TReadFault& fault) {
    d.readError = scan.Report(fault);
  }
  if (d.timesteps == 0) d.blockSize = 0;
  d.concentration.shrink_to_fit();
  d.blockTime.shrink_to_fit();
  d.blockTimestep.shrink_to_fit();
  data_ = std::move(data);
  return true;
}

int TWLSOCOList::Count() const {
  return data_ ? static_cast<int>(data_->concentration.size()) : 0;
}

TWLSOCORecord TWLSOCOList::GetItem(int index) const {
  if (index < 0 || index >= Count()) throw EIndexOutOfRange();
  const TData& d = *data_;
  // Every block before the last has blockSize rows; the rows beyond the
  // complete blocks all belong to the last.
  std::size_t block = 0;
  int segment = index + 1;
  if (d.blockSize > 0) {
    block = std::min(static_cast<std::size_t>(index / d.blockSize), d.blockTime.size() - 1);
    segment = index - static_cast<int>(block) * d.blockSize + 1;
  }
  TWLSOCORecord r;
  r.Time = d.blockTime[block];
  r.Segment = segment;
  r.Concentration = d.concentration[static_cast<std::size_t>(index)];
  r.Timestep = d.blockTimestep[block];
  return r;
}

void TWLSOCOList::ClearItems() { data_.reset(); }

const std::string& TWLSOCOList::ReadError() const {
  return data_ ? data_->readError : Empty().readError;
}

int TWLSOCOList::NumberOfTimesteps() const { return data_ ? data_->timesteps : 0; }

int TWLSOCOList::RecordsPerTimestep() const { return data_ ? data_->blockSize : 0; }

int TWLSOCOList::RecordIndex(int t, int segment) const {
  const int n = RecordsPerTimestep();
  if (t < 1 || t > NumberOfTimesteps() || segment < 1 || segment > n) return -1;
  return (t - 1) * n + segment - 1;
}

std::size_t TWLSOCOList::MemoryBytes() const {
  if (!data_) return 0;
  return sizeof(TData) + data_->concentration.capacity() * sizeof(double) +
         data_->blockTime.capacity() * sizeof(double) +
         data_->blockTimestep.capacity() * sizeof(int);
}

}  // namespace kirmel::fe
