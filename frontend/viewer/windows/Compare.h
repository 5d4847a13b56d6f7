// Opening the comparisons from the graph windows: the "Compare" buttons of
// the concentration graph (one output time) and of the concentration-in-time
// graph call these.
#pragma once

#include <functional>
#include <string>
#include <utility>

class QPushButton;
class QWidget;

namespace kirmel::viewer {

// Graph types of a comparison.
inline constexpr int kCompareWaterLayer = 100;
inline constexpr int kCompareSediment = 200;

// The "Compare" buttons of a graph window, the water layer's (BtnCompare1)
// and the sediment's (BtnCompare2); each calls `compare`, guarded, with its
// graph type.
std::pair<QPushButton*, QPushButton*> CompareButtons(QWidget* window,
                                                     std::function<void(int)> compare);

// The set-up dialog of the comparison at one output time, modal over owner;
// run 1 is runDir1, and for the sediment nodeRun1 (1-based index of the
// selected sediment subsystem) is preset.
void OpenCompareConc(QWidget* owner, const std::string& graphTitle, int graphType,
                     const std::string& runDir1, int nodeRun1);

// The set-up dialog of the comparison in time, modal over owner; run 1 is
// runDir1.
void OpenCompareConcTime(QWidget* owner, const std::string& graphTitle, int graphType,
                         const std::string& runDir1);

}  // namespace kirmel::viewer
