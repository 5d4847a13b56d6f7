#include "frontend/viewer/INPUT.h"

#include "frontend/model/KirExcpt.h"
#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe {

namespace {

// A count from the echo, refused outside 0 .. max.
int ReadCount(detail::TFileScan& scan, std::string_view token, int max, const std::string& what) {
  const int n = scan.Integer(token);
  if (n < 0) scan.Fail("illegal number of " + what + ": " + std::to_string(n));
  if (n > max)
    scan.Fail(std::to_string(n) + " " + what + "; at most " + std::to_string(max) +
              " can be shown");
  return n;
}

// The token at the start of the line under the heading word `word`.
std::string ValueUnder(detail::TFileScan& scan, const std::string& word) {
  scan.Find(word);
  if (!scan.NextLine()) scan.Fail("the file ends under the heading word \"" + word + "\"");
  std::string_view token;
  if (!scan.First(token)) scan.Fail("the file ends under the heading word \"" + word + "\"");
  return std::string(token);
}

// Mid-points of n consecutive lengths, read as the next n tokens.
std::vector<double> MidPoints(detail::TFileScan& scan, int n) {
  std::vector<double> mids;
  mids.reserve(static_cast<std::size_t>(n));
  double sum = 0;
  for (int i = 0; i < n; ++i) {
    const double length = scan.Real(scan.Next(false));
    mids.push_back(sum + length / 2);
    sum += length;
  }
  return mids;
}

}  // namespace

bool TINPUT::ReadFile(const std::string& fileName, Parser& parser) {
  TReadContext context(parser);
  return ReadFile(fileName, context);
}

bool TINPUT::ReadFile(const std::string& fileName, TReadContext& context) {
  detail::TFileRules rules;
  rules.LongestLine = kLongestEchoLine;
  detail::TFileScan scan(context, fileName, rules);
  if (!scan.Open()) return false;
  TINPUT in;
  try {
    std::string_view token;
    in.outputInterval_ = scan.Real(ValueUnder(scan, "Timestep"));
    const int subsystems =
        ReadCount(scan, ValueUnder(scan, "subsystems"), MaxSubsystems, "sediment subsystems");
    // A node beyond the run's water body is kept: the kernel ignores it and
    // writes no files for it, and the windows leave it out.
    for (int i = 0; i < subsystems; ++i) {
      const int node = scan.Integer(scan.Next(false));
      if (node < 1 || node > 2 * MaxBufferSegments + MaxSegments)
        scan.Fail("no water-layer node " + std::to_string(node));
      in.subsystems_.push_back(node);
    }

    in.timeStep_ = scan.Real(ValueUnder(scan, "Time"));
    in.simulationTime_ = scan.Real(scan.Next());
    in.waterBodyLength_ = scan.Real(ValueUnder(scan, "Space"));

    // Water body, front buffer, end buffer; echoes without buffer counts
    // have none.
    const int segments = ReadCount(scan, ValueUnder(scan, "Number"), MaxSegments,
                                   "water-layer segments");
    if (scan.NextOnLine(token))
      in.frontBuffer_ = ReadCount(scan, token, MaxBufferSegments, "front-buffer segments");
    if (scan.NextOnLine(token))
      in.endBuffer_ = ReadCount(scan, token, MaxBufferSegments, "end-buffer segments");

    // The lengths: front buffer first, then the water body.
    scan.Find("Lengths");
    if (!scan.NextLine()) scan.Fail("the file ends under the heading word \"Lengths\"");
    MidPoints(scan, in.frontBuffer_);
    in.wlMidDistance_ = MidPoints(scan, segments);

    scan.Find("wbin:");
    const int layers = ReadCount(scan, ValueUnder(scan, "Number"), MaxSegments,
                                 "sediment segments");
    scan.Find("Lengths");
    if (!scan.NextLine()) scan.Fail("the file ends under the heading word \"Lengths\"");
    in.sedimentMidDepth_ = MidPoints(scan, layers);
    // The echo goes on with the sediment's other input: a file that ends
    // here was cut, perhaps inside the last thickness.
    if (!scan.NextLine()) scan.Fail("the file ends after the sediment segments' lengths");
  } catch (const detail::TReadFault& fault) {
    scan.Refuse(fault);
    return false;
  }
  scan.Close();
  *this = std::move(in);
  return true;
}

namespace {

template <class T>
T At(const std::vector<T>& v, int i) {
  if (i < 1 || i > static_cast<int>(v.size())) throw EIndexOutOfRange();
  return v[static_cast<std::size_t>(i - 1)];
}

}  // namespace

double TINPUT::SedimentMidDepth(int i) const { return At(sedimentMidDepth_, i); }
double TINPUT::WLMidDistance(int i) const { return At(wlMidDistance_, i); }
int TINPUT::Subsystems(int i) const { return At(subsystems_, i); }

int TINPUT::WLSegmentOfNode(int node) const {
  const int i = node - frontBuffer_;
  return i >= 1 && i <= NumberOfWLSegments() ? i : 0;
}

}  // namespace kirmel::fe
