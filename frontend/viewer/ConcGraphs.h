// The series of the two concentration graphs, built from the readers: the
// water layer along the water body at one output time, depth profiles of
// the sediment, the water layer and the sediment's top layer in time, and
// the rows of the exposure table.
//
// Concentrations are shown in ug/L (the files' g/m3 x 1000).  Every builder
// takes only complete time blocks of its file: a time the file lacks, or a
// block shorter than the run's geometry, leaves the series empty (or ends it
// where the file ends) instead of reading past what was read.  Titles use
// the user's decimal separator.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "frontend/chart/Chart.h"
#include "frontend/viewer/EC.h"
#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/WLSOCO.h"

namespace kirmel::fe {

// "%.2f d" of output time t (1-based) of the water-layer file; empty when
// the file has no complete block t.
std::string OutputTimeTitle(const TWLSOCOList& wl, int t, char decimalSeparator);
// The titles of every output time of the water-layer file, in order.
std::vector<std::string> OutputTimeTitles(const TWLSOCOList& wl, char decimalSeparator);
// "%f m": a distance along the water body.
std::string DistanceTitle(double distance, char decimalSeparator);

// The water layer along the water body at output time t: title
// OutputTimeTitle, one point (mid-point distance, ug/L) per water-body
// segment in order.  Returns the kernel time step of the block (or its
// stand-in, StandInStep, where the step did not fit its field), 0 (and no
// points) when the file has no complete block t.
int FillAlongWaterBody(TSeries& series, const TINPUT& in, const TWLSOCOList& wl, int t,
                       char decimalSeparator);

// A depth profile: drawn against the top axis, points in file order (X
// unsorted, Y descending) so the curve runs from the surface down.  Fills
// the points (ug/L, -mid depth) of the run's sediment segments from the
// block of `timestep`; none when the file has no complete block of that
// time step or its blocks hold fewer layers than the run has.  A lower
// buffer and the top-layer row are not drawn.
void FillDepthProfile(TSeries& series, const TINPUT& in, const TWBSCOList& wb, int timestep);

// The depth axis of a profile chart: left axis manual from -1.1 x the
// deepest mid-point to 0 (0 .. 0 without sediment segments).
void SetDepthAxis(TChart& chart, const TINPUT& in);

// The water layer in time at water-body segment `segment` (1-based): title
// "%f m" of its mid-point, one point (time, ug/L) per complete output time.
void FillInTime(TSeries& series, const TINPUT& in, const TWLSOCOList& wl, int segment,
                char decimalSeparator);

// The sediment's top layer in time: one point (time, ug/L) of the "top" row
// for each of the first `outputTimes` complete blocks of the file.
void FillTopLayerInTime(TSeries& series, const TWBSCOList& wb, int outputTimes);

// The exposure table's cells (time of occurrence, concentration) for the
// windows of 0, 4, 21 and 28 days: "%g" of the value, "-" for a value the
// file left out; empty cells for rows the file does not hold.
using TExposureRows = std::array<std::array<std::string, 2>, 4>;
TExposureRows ExposureRows(const TECList& ec, char decimalSeparator);

}  // namespace kirmel::fe
