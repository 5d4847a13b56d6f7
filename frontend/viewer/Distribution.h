// The series of the distribution graph, built from the distribution files:
// five compartments drawn as areas stacked on one another, so that the
// upper edge of the back area is the total.  The whole water body is shown
// in g as the file has it, a subsystem's lineic masses in mg/m (the file's
// g/m x 1000).
#pragma once

#include <array>
#include <vector>

#include "frontend/chart/Chart.h"
#include "frontend/viewer/DB.h"

namespace kirmel::fe {

// The compartments in drawing order: each area contains the ones after it.
enum TCompartment { kSuspSolids, kMacrophytes, kDissolved, kDissolvedSed, kSorbedSed };
inline constexpr int kCompartments = 5;

// The five compartment series in drawing order, without points: areas with
// their dividing lines and markers hidden, titled "Susp. solids",
// "Macrophytes", "Dissolved", "Dissolved sed." and "Sorbed sed." in maroon,
// green, aqua, blue and gray.
std::vector<TSeries> CompartmentSeries();

// The stacked values of one record x factor, in drawing order:
//   sorbed sed.     ss
//   dissolved sed.  ds + ss
//   dissolved       d + ds + ss
//   macrophytes     d + m + ds + ss
//   susp. solids    d + m + s + ds + ss   (the total)
std::array<double, kCompartments> StackedValues(const TDBRecord& r, double factor);

// The whole water body: the chart's five compartment series get one point a
// record (g); the value axis runs from 0 to 1.1 x the largest total, the
// time axis follows the data.
void FillMassGraph(TChart& chart, const TDBList& dbdit);

// The output times the lineic charts draw: the fewest rows over the water
// body's file and the subsystems' files.
int LineicRows(const TDBList& dbdit, const std::vector<TDBList>& subsystems);

// A subsystem's lineic masses: the chart's five compartment series get the
// first `rows` records of `subsystem` (mg/m) at the times of `times` (the
// first subsystem's file).  Returns the largest total drawn (0 for none).
double FillLineicChart(TChart& chart, const TDBList& times, const TDBList& subsystem, int rows);

// One value range for all lineic charts: 0 to 1.1 x `largest`.
void ScaleLineicCharts(const std::vector<TChart*>& charts, double largest);

}  // namespace kirmel::fe
