// The comparisons on the run given to the tool (its copy in the root's RUNS
// folder, where comparisons look for runs), compared with itself: the
// set-up dialogs of the comparison at one time and in time, and the chart
// window with the water layer at two times, the sediment profiles and the
// curves in time.
#include <cstdio>

#include "frontend/gui/MainForm.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/viewer/windows/Compare.h"
#include "frontend/viewer/windows/CompareConc.h"
#include "frontend/viewer/windows/CompareConcTime.h"
#include "frontend/viewer/windows/CompareGraph.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

// Chooses run 2 as the user would, through the directory chooser.
void ChooseRun2(viewer::TFrmCompareSetup& dialog, const std::string& run) {
  if (auto* scripted = dynamic_cast<qt::TScriptedDialogs*>(&qt::TheDialogs()))
    scripted->AnswerFolder(run);
  dialog.BtnChangeNameRunClick(2);
}

// The chart window of a comparison, or the reason the comparison has no
// chart (a run that could not be read, a choice missing) as a failure.
template <class Comparison>
void SaveChart(TScreenContext& c, QWidget* owner, const std::string& title,
               Comparison& comparison, const std::string& name) {
  if (const std::string problem = comparison.CheckView(); !problem.empty()) {
    c.Fail(name, problem);
    return;
  }
  viewer::TFrmCompareGraph graph(owner);
  graph.GraphTitle = title;
  graph.CompareChart() = comparison.View();
  c.Save(&graph, name);
  graph.hide();
}

void RenderComparisons(TScreenContext& c) {
  if (c.RunDir.empty()) {
    std::printf("No run directory given: the comparisons are left out\n");
    return;
  }
  viewer::ShowReaderMessagesAsErrors();
  const std::string& run = c.RunDir;

  // At one time: the water layer at the middle output time against the
  // same run at its last.
  {
    const std::string title = "Concentration of pesticide in waterbody";
    viewer::TFrmCompareConc dialog(&c.Main, title, viewer::kCompareWaterLayer, run, 0);
    dialog.show();
    dialog.RadioGroupTypeClick(0);
    ChooseRun2(dialog, run);
    fe::TCompareConc& comparison = dialog.Comparison();
    const int times = comparison.Run(1).WLSOCO.NumberOfTimesteps();
    comparison.ChooseTime(1, (times + 1) / 2);
    comparison.ChooseTime(2, times);
    dialog.UpdateControls();
    c.Save(&dialog, "TFrmCompareConc");
    SaveChart(c, &dialog, title, comparison, "TFrmCompareGraph");
    dialog.hide();

    // The sediment profiles of the last subsystem offered (one under the
    // water body) at the same two times.
    viewer::TFrmCompareConc sediment(&c.Main, title, viewer::kCompareSediment, run, 0);
    sediment.show();
    sediment.RadioGroupTypeClick(0);
    ChooseRun2(sediment, run);
    fe::TCompareConc& profiles = sediment.Comparison();
    const int subsystems = static_cast<int>(profiles.NodeLines(1).size());
    profiles.ChooseNode(1, subsystems);
    profiles.ChooseNode(2, subsystems);
    profiles.ChooseTime(1, (times + 1) / 2);
    profiles.ChooseTime(2, times);
    SaveChart(c, &sediment, title, profiles, "TFrmCompareGraph-Sediment");
    sediment.hide();
  }

  // In time: the middle segment against the last.
  {
    const std::string title = "Concentration of pesticide in time";
    viewer::TFrmCompareConcTime dialog(&c.Main, title, viewer::kCompareWaterLayer, run);
    dialog.show();
    dialog.RadioGroupTypeClick(0);
    ChooseRun2(dialog, run);
    fe::TCompareConcTime& comparison = dialog.Comparison();
    const int segments = comparison.Run(2).Input.NumberOfWLSegments();
    comparison.ChooseNode(1, (segments + 1) / 2);
    comparison.ChooseNode(2, segments);
    dialog.UpdateControls();
    c.Save(&dialog, "TFrmCompareConcTime");
    SaveChart(c, &dialog, title, comparison, "TFrmCompareGraph-Time");
    dialog.hide();
  }
}

TScreenRegistrar comparisons("45-comparisons", RenderComparisons);

}  // namespace
}  // namespace kirmel::screens
