// Line styles of the graph windows' series.
//
// The k-th line series of any graph (k = 1 .. 10) takes its colour, line
// pattern and marker from one fixed table, so the same time or place has the
// same look in every chart of a window and in its enlarged copy.
#pragma once

#include "frontend/chart/Chart.h"

namespace kirmel::viewer {

constexpr int kSeriesStyles = 10;

// Colour, line pattern, marker shape and marker fill of row k (1 .. 10);
// markers 2 x 2 pixels, flat and hidden.  std::out_of_range for another k.
void SetLineSeriesStyle(fe::TSeries& series, int k);

// Copies the look of `source` onto `destination`: the horizontal axis it is
// drawn against, colour, line pattern, whether it is a filled area, the
// area's dividing-line pen, the marker (size, visibility, 3-D flag, shape,
// fill) and the sort orders of X and Y.  Title, points, activity and the
// legend entry are not copied.
void CopyLineSeriesStyle(fe::TSeries& destination, const fe::TSeries& source);

}  // namespace kirmel::viewer
